// The JSON the tool prints must parse whatever text it carries.
#include <gtest/gtest.h>

#include <cmath>

#include "core/app/JsonWriter.h"

TEST(Json, QuoteEscapesAndRepairsText)
{
    const struct {
        std::string in, out;
    } cases[] = {
        {"plain", "\"plain\""},
        {"say \"hi\"\\", "\"say \\\"hi\\\"\\\\\""},
        {"a\nb\tc\r", "\"a\\nb\\tc\\r\""},
        {std::string("\x01\x1f\x7f", 3), "\"\\u0001\\u001f\\u007f\""},
        {std::string("nul\0x", 5), "\"nul\\u0000x\""},
        {"高 D023N", "\"高 D023N\""},                                  // UTF-8 passes unchanged
        {"\xF0\x9F\x93\xBB", "\"\xF0\x9F\x93\xBB\""},                  // four-byte sequence
        {"/dev/tty\xFF", "\"/dev/tty\xEF\xBF\xBD\""},                  // a stray byte
        {"\xE9\xAB", "\"\xEF\xBF\xBD\xEF\xBF\xBD\""},                  // a cut-off sequence
        {"\xC0\xAF", "\"\xEF\xBF\xBD\xEF\xBF\xBD\""},                  // overlong '/'
        {"\xED\xA0\x80", "\"\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\""},  // a surrogate
    };
    for (const auto& c : cases)
        EXPECT_EQ(JsonQuote(c.in), c.out) << c.in;
}

TEST(Json, WriterNestsAndSeparates)
{
    CJsonWriter line(0);
    line.BeginObject().Key("schema").Int(1).Key("ports").BeginArray();
    line.BeginObject().Key("ok").Bool(true).Key("s").Number(1.25, 1).EndObject();
    line.BeginArray().EndArray().Null().Number(NAN, 2);
    line.EndArray().Key("empty").BeginObject().EndObject().EndObject();
    EXPECT_EQ(line.Text(), "{\"schema\":1,\"ports\":[{\"ok\":true,\"s\":1.2},[],null,null],\"empty\":{}}\n");

    // Indented; a short container of plain values on one line, a long one not.
    CJsonWriter doc(2);
    doc.BeginObject().Key("a").BeginArray().Int(1).Int(-2).EndArray().Key("b").String("x");
    doc.Key("c").BeginArray().String(std::string(70, 'y')).Bool(false).EndArray().EndObject();
    EXPECT_EQ(doc.Text(), "{\n  \"a\": [1, -2],\n  \"b\": \"x\",\n  \"c\": [\n    \"" + std::string(70, 'y') +
                              "\",\n    false\n  ]\n}\n");
}
