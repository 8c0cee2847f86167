#include <iostream>

#include "cli/Args.h"
#include "cli/Commands.h"
#include "cli/Common.h"
#include "cli/FileChecks.h"
#include "cli/Output.h"
#include "core/app/Globals.h"
#include "core/app/IniFile.h"
#include "core/radio/RadioCatalogue.h"
#include "core/radio/ShowText.h"
#include "core/exchange/CsvChannels.h"

namespace cli {

namespace {

// The same facts as the table, every column included (the CSV has Cha Lock too).
void PrintShowJson(const std::string& path, const ChannelDocument& doc, const std::vector<int>& rows)
{
    const bool zh = g_bChinese != 0;
    const int type = doc.image[mem::kRadioType];
    const int band = doc.image[mem::kBandIndex];
    const CRadioCatalogue catalogue(theIniFile);
    CJsonWriter json;
    BeginJsonDocument(json, "show");
    json.Key("file").String(path).Key("language").String(zh ? "zh" : "en");
    json.Key("ranges").BeginObject();
    json.Key("vhf").BeginObject().Key("low").Int(doc.ranges.vhfLow).Key("high").Int(doc.ranges.vhfHigh).EndObject();
    json.Key("uhf").BeginObject().Key("low").Int(doc.ranges.uhfLow).Key("high").Int(doc.ranges.uhfHigh).EndObject();
    json.EndObject();
    json.Key("type").BeginObject().Key("index").Int(type).Key("name").String(catalogue.TypeName(type)).EndObject();
    json.Key("band").BeginObject().Key("index").Int(band).Key("name").String(catalogue.Band(type, band)).EndObject();
    json.Key("columns").BeginArray();
    for (int c = kColRxFreq; c < kGridCols; ++c)
        json.BeginObject().Key("key").String(ColumnKey(c)).Key("heading").String(doc.grid.TextMatrix(0, c)).EndObject();
    json.EndArray().Key("channels").BeginArray();
    for (int r : rows) {
        json.BeginObject().Key("channel").String(ChannelLabel(r)).Key("record").Int(r - 1);
        for (int c = kColRxFreq; c < kGridCols; ++c)
            json.Key(ColumnKey(c)).String(doc.grid.TextMatrix(r, c));
        json.EndObject();
    }
    json.EndArray().Key("channels_used").Int(static_cast<long long>(rows.size())).EndObject();
    PrintJson(json);
}

}  // namespace

int CmdShow(const std::vector<std::string>& argv)
{
    const Args args(argv, "show");
    args.RequirePositional(1, "FILE.dat");
    if (args.Has("--csv") && args.Has("--json"))
        throw UsageError(Tr("--csv and --json exclude each other", "--csv 和 --json 不能同时使用"));
    SetUpLanguage(args);
    const std::string& path = args.Positional()[0];
    ChannelDocument doc;
    if (!LoadDocument(path, doc))
        return kExitFailed;
    if (args.Has("--csv")) {
        std::cout << GridToCsv(doc.grid);
        return kExitOk;
    }

    if (args.Has("--json")) {
        std::vector<int> used;
        for (int r = 1; r < kGridRows; ++r)
            if (!doc.grid.TextMatrix(r, kColRxFreq).empty())
                used.push_back(r);
        PrintShowJson(path, doc, used);
        return kExitOk;
    }

    std::cout << ChannelTableText(doc, CRadioCatalogue(theIniFile), g_bChinese != 0);
    return kExitOk;
}

}  // namespace cli
