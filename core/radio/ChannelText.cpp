#include "core/radio/ChannelText.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "core/radio/Decimal.h"
#include "core/radio/TextGrid.h"

namespace {

const std::vector<std::string> kCtcss = {
    "67.0",  "69.3",  "71.9",  "74.4",  "77.0",  "79.7",  "82.5",  "85.4",  "88.5",  "91.5",  "94.8",  "97.4",  "100.0",
    "103.5", "107.2", "110.9", "114.8", "118.8", "123.0", "127.3", "131.8", "136.5", "141.3", "146.2", "151.4", "156.7",
    "159.8", "162.2", "165.5", "167.9", "171.3", "173.8", "177.3", "179.9", "183.5", "186.2", "189.9", "192.8", "196.6",
    "199.5", "203.5", "206.5", "210.7", "218.1", "225.7", "229.1", "233.6", "241.8", "250.3", "254.1",
};

const std::vector<std::string> kDcs = {
    "023", "025", "026", "031", "032", "036", "043", "047", "051", "053", "054", "065", "071", "072", "073",
    "074", "114", "115", "116", "122", "125", "131", "132", "134", "143", "145", "152", "155", "156", "162",
    "165", "172", "174", "205", "212", "223", "225", "226", "243", "244", "245", "246", "251", "252", "255",
    "261", "263", "265", "266", "271", "274", "306", "311", "315", "325", "331", "332", "343", "346", "351",
    "356", "364", "365", "371", "411", "412", "413", "423", "431", "432", "445", "446", "452", "454", "455",
    "462", "464", "465", "466", "503", "506", "516", "523", "526", "532", "546", "565", "606", "612", "624",
    "627", "631", "632", "645", "654", "662", "664", "703", "712", "723", "731", "732", "734", "743", "754",
};

constexpr FlagWords kEnglishWords = {"High", "Middle", "Low", "Lock", "Unlock", "Yes", "No", "Wide", "Narrow", "None"};
constexpr FlagWords kChineseWords = {"高", "中", "低", "锁定", "未锁定", "有", "无", "宽", "窄", "无"};

std::vector<std::string> BuildToneNames(bool chinese)
{
    std::vector<std::string> names;
    names.reserve(kToneCount);
    names.push_back(Words(chinese).none);
    names.insert(names.end(), kCtcss.begin(), kCtcss.end());
    for (const auto& code : kDcs)
        names.push_back("D" + code + "N");
    for (const auto& code : kDcs)
        names.push_back("D" + code + "I");
    return names;
}

// The flag of column `col` whose word `is` accepts, English words first.
template <class Match>
ChannelFlag FindFlag(int col, Match is)
{
    for (bool zh : {false, true}) {
        const FlagWords& w = Words(zh);
        switch (col) {
        case kColPower:
            if (is(w.high, zh))
                return ChannelFlag::High;
            if (is(w.middle, zh))
                return ChannelFlag::Middle;
            if (is(w.low, zh))
                return ChannelFlag::Low;
            break;
        case kColLock:
            if (is(w.lock, zh))
                return ChannelFlag::Lock;
            if (is(w.unlock, zh))
                return ChannelFlag::Unlock;
            break;
        case kColScanAdd:
            if (is(w.yes, zh))
                return ChannelFlag::Yes;
            if (is(w.no, zh))
                return ChannelFlag::No;
            break;
        case kColBandwidth:
            if (is(w.wide, zh))
                return ChannelFlag::Wide;
            if (is(w.narrow, zh))
                return ChannelFlag::Narrow;
            break;
        default: break;
        }
    }
    return ChannelFlag::None;
}

// Whole text is one decimal number (after trimming).
bool IsNumber(const std::string& text)
{
    const std::string t = TrimBlanks(text);
    if (t.empty())
        return false;
    char* end = nullptr;
    std::strtod(t.c_str(), &end);
    return end && *end == '\0';
}

bool IsListed(const std::vector<std::string>& list, const std::string& text)
{
    return std::find(list.begin(), list.end(), text) != list.end();
}

}  // namespace

const std::vector<std::string>& ToneNames(bool chinese)
{
    static const std::vector<std::string> english = BuildToneNames(false);
    static const std::vector<std::string> chineseNames = BuildToneNames(true);
    return chinese ? chineseNames : english;
}

const std::vector<std::string>& CtcssTones() { return kCtcss; }
const std::vector<std::string>& DcsCodes() { return kDcs; }

const FlagWords& Words(bool chinese) { return chinese ? kChineseWords : kEnglishWords; }

ChannelFlag FlagOfCell(int col, const std::string& text)
{
    return FindFlag(col, [&](const char* word, bool) { return text == word; });
}

ChannelFlag FlagOfTypedWord(int col, const std::string& text)
{
    const std::string t = TrimBlanks(text);
    return FindFlag(col, [&](const char* word, bool zh) { return zh ? t == word : EqualsNoCase(t, word); });
}

std::string FlagWord(ChannelFlag flag, bool chinese)
{
    const FlagWords& w = Words(chinese);
    switch (flag) {
    case ChannelFlag::High: return w.high;
    case ChannelFlag::Middle: return w.middle;
    case ChannelFlag::Low: return w.low;
    case ChannelFlag::Lock: return w.lock;
    case ChannelFlag::Unlock: return w.unlock;
    case ChannelFlag::Yes: return w.yes;
    case ChannelFlag::No: return w.no;
    case ChannelFlag::Wide: return w.wide;
    case ChannelFlag::Narrow: return w.narrow;
    case ChannelFlag::None: break;
    }
    return {};
}

ToneReading ReadToneCell(const std::string& text)
{
    ToneReading r;
    if (text.find('D') != std::string::npos) {
        r.dcs = true;
        const std::string rest = text.substr(1);
        errno = 0;
        r.code = std::strtol(rest.c_str(), nullptr, 10);  // atoi without its overflow
        r.codeOverflow = errno == ERANGE;
        r.normal = rest.find('N') != std::string::npos;
        return r;
    }
    r.hz = std::atof(text.c_str());
    r.tenths = std::trunc(MulDecimal(r.hz, 10.0));
    return r;
}

std::string CtcssText(double hz)
{
    char text[32];
    std::snprintf(text, sizeof text, "%3.1f", hz);
    return text;
}

ChannelTone ToneOfCell(const std::string& text)
{
    ChannelTone t;
    const ToneReading r = ReadToneCell(text);
    if (r.dcs) {
        t.kind = ChannelTone::Dcs;
        char code[16];
        std::snprintf(code, sizeof code, "%03d", static_cast<int>(r.code) % 1000);
        t.dcs = code;
        t.polarity = r.normal ? 'N' : 'I';
        return t;
    }
    if (!(r.hz > 0.0))
        return t;
    t.kind = ChannelTone::Ctcss;
    t.ctcss = CtcssText(MulDecimal(r.tenths, 0.1));
    return t;
}

bool CtcssFromText(const std::string& text, std::string& hz)
{
    if (!IsNumber(text))
        return false;
    hz = CtcssText(std::atof(TrimBlanks(text).c_str()));
    return IsListed(kCtcss, hz);
}

bool DcsFromText(const std::string& text, std::string& code)
{
    long v = 0;
    if (!ParseWholeNumber(text, v) || v < 0 || v > 999)
        return false;
    char buf[16];
    std::snprintf(buf, sizeof buf, "%03ld", v);
    code = buf;
    return IsListed(kDcs, code);
}

bool ParseTypedTone(const std::string& cell, ChannelTone& tone, std::string& why, bool chinese)
{
    const std::string t = TrimBlanks(cell);
    tone = ChannelTone{};
    if (t.empty() || EqualsNoCase(t, Words(false).none) || t == Words(true).none)
        return true;
    if (t[0] == 'D' || t[0] == 'd') {
        const char suffix = static_cast<char>(std::toupper(static_cast<unsigned char>(t.back())));
        if (t.size() >= 3 && (suffix == 'N' || suffix == 'I') && DcsFromText(t.substr(1, t.size() - 2), tone.dcs)) {
            tone.kind = ChannelTone::Dcs;
            tone.polarity = suffix;
            return true;
        }
        why = chinese ? "亚音 “" + t + "” 不是亚音列表中的 DCS 数码（D023N .. D754I）"
                      : "tone \"" + t + "\" is not a DCS code of the tone list (D023N .. D754I)";
        return false;
    }
    if (CtcssFromText(t, tone.ctcss)) {
        tone.kind = ChannelTone::Ctcss;
        return true;
    }
    why = chinese ? "亚音 “" + t + "” 不在亚音列表中" : "tone \"" + t + "\" is not in the tone list";
    return false;
}

std::string ToneCellText(const ChannelTone& tone, bool chinese)
{
    switch (tone.kind) {
    case ChannelTone::None: return ToneNames(chinese)[0];
    case ChannelTone::Ctcss: return tone.ctcss;
    case ChannelTone::Dcs: return "D" + tone.dcs + tone.polarity;
    }
    return {};
}

std::string TrimBlanks(const std::string& s)
{
    std::size_t b = 0, e = s.size();
    while (b < e && (s[b] == ' ' || s[b] == '\t'))
        ++b;
    while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t'))
        --e;
    return s.substr(b, e - b);
}

std::string LowerAscii(std::string s)
{
    for (char& c : s)
        if (static_cast<unsigned char>(c) < 0x80)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

bool EqualsNoCase(const std::string& a, const std::string& b) { return LowerAscii(a) == LowerAscii(b); }

bool ParseWholeNumber(const std::string& text, long& value)
{
    const std::string t = TrimBlanks(text);
    if (t.empty())
        return false;
    char* end = nullptr;
    value = std::strtol(t.c_str(), &end, 10);
    return end && *end == '\0';
}
