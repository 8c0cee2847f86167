#pragma once
// The channel grid's words and tones as text: the tone list, the flag words of
// both languages, and how a tone or flag cell is read and written. The codec's
// encoder, the cell commits and the CSV layouts all read cells through here.
#include <string>
#include <vector>

inline constexpr int kToneCount = 261;  // "None", 50 CTCSS, 105 DCS N, 105 DCS I

// The 261 tone texts in list order; entry 0 is "None" or "无".
const std::vector<std::string>& ToneNames(bool chinese);
const std::vector<std::string>& CtcssTones();  // "67.0" .. "254.1"
const std::vector<std::string>& DcsCodes();    // "023" .. "754"

// Flag words of both languages (UTF-8).
struct FlagWords {
    const char* high;
    const char* middle;
    const char* low;
    const char* lock;
    const char* unlock;
    const char* yes;
    const char* no;
    const char* wide;
    const char* narrow;
    const char* none;
};
const FlagWords& Words(bool chinese);

// ---- flag cells (columns Power, Cha Lock, Scan Add, Bandwidth) ---------------

enum class ChannelFlag { None, High, Middle, Low, Lock, Unlock, Yes, No, Wide, Narrow };

// The word of column `col` a grid cell holds, in either language, compared
// exactly (the encoder's reading); None for any other text.
ChannelFlag FlagOfCell(int col, const std::string& text);
// The same for a word someone typed: blanks around it and the letter case of
// the English words do not matter.
ChannelFlag FlagOfTypedWord(int col, const std::string& text);
// The word of a flag in the given language; "" for None.
std::string FlagWord(ChannelFlag flag, bool chinese);

// ---- tone cells ---------------------------------------------------------------

// A tone cell read the way the encoder stores it: a text holding "D" is a DCS
// code (the number after the first character; normal when an "N" follows,
// else inverted), any other text a CTCSS tone by its value.
struct ToneReading {
    bool dcs = false;
    long code = 0;              // DCS: the number as strtol reads it
    bool codeOverflow = false;  // DCS: the number does not fit a long
    bool normal = false;        // DCS: "N" after the first character
    double hz = 0;              // CTCSS: the value as atof reads it
    double tenths = 0;          // CTCSS: the value in tenths of a hertz, truncated
};
ToneReading ReadToneCell(const std::string& text);

// A CTCSS frequency as the tone list writes it ("%3.1f": 67.0, 254.1).
std::string CtcssText(double hz);

// A tone picked apart: kind, CTCSS list text, DCS code and polarity.
struct ChannelTone {
    enum Kind { None, Ctcss, Dcs } kind = None;
    std::string ctcss;    // "67.0"
    std::string dcs;      // "023"
    char polarity = 'N';  // 'N' normal, 'I' inverted
};
// A tone cell as the encoder reads it, for export: CTCSS values above 0 by
// their stored tenths, DCS codes modulo 1000 with three digits.
ChannelTone ToneOfCell(const std::string& text);
// A tone someone typed in a cell: "None"/"无"/"", a listed CTCSS tone or a
// listed DCS code with suffix N or I (letters in either case). False with the
// reason otherwise.
bool ParseTypedTone(const std::string& cell, ChannelTone& tone, std::string& why, bool chinese = false);
// A CTCSS value typed as a number ("88.5", "88.50", "100") to its list text;
// false when it is no number or not in the list.
bool CtcssFromText(const std::string& text, std::string& hz);
// A DCS code typed as a whole number ("23", "023") to its three digits; false
// when it is not in the list.
bool DcsFromText(const std::string& text, std::string& code);
// The cell text of a tone in the given language ("None", "88.5", "D023I").
std::string ToneCellText(const ChannelTone& tone, bool chinese);

// ---- small text rules of typed cells --------------------------------------------

std::string TrimBlanks(const std::string& s);  // spaces and tabs around the text
std::string LowerAscii(std::string s);         // ASCII letters only
bool EqualsNoCase(const std::string& a, const std::string& b);
// The whole text (blanks around it aside) is one whole number.
bool ParseWholeNumber(const std::string& text, long& value);
