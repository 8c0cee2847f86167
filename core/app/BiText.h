#pragma once
// A text in both of the program's languages. The texts the core, progtool and
// the window share are written as one of these, so their two languages stand
// side by side once; the window's own widget texts go through tr() instead.
#include <initializer_list>
#include <string>

struct BiText {
    const char* en;
    const char* zh;

    const char* In(bool chinese) const { return chinese ? zh : en; }
    // In the interface's language (g_bChinese).
    const char* Pick() const;
};

// The text in the language asked with %1, %2 ... %9 replaced by args in order,
// as Qt's arg() does: a translation may put them in another order.
std::string FillText(const BiText& text, bool chinese, std::initializer_list<std::string> args);

// Sentences one after the other: a space between them in English, none in Chinese.
std::string JoinSentences(const std::string& first, const std::string& second, bool chinese);
