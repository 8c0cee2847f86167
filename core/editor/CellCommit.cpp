#include "core/editor/CellCommit.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdint>
#include <cstdio>

#include "core/app/Messages.h"
#include "core/radio/Bands.h"
#include "core/radio/ChannelCodec.h"
#include "core/radio/Decimal.h"
#include "core/radio/ChannelText.h"

namespace {

void EmptyColumns(ITextGrid& grid, int row, int first, int last, CommitResult& result)
{
    for (int c = first; c <= last; ++c) {
        grid.SetTextMatrix(row, c, "");
        result.emptiedColumns.push_back(c);
    }
}

CommitResult Refuse(int messageId)
{
    CommitResult r;
    r.stopped = true;
    r.messageId = messageId;
    return r;
}

// Format, band and raster check shared by both frequency columns; 0 when accepted.
int CheckEntered(const EnteredFrequency& f)
{
    if (!f.number)
        return kMsgFrequencyFormat;
    if (!f.valid || !IsStorableFrequency(f.units) || !IsInBand(static_cast<std::int32_t>(f.units)))
        return kMsgOutOfRange;
    if (!IsOnStep(f.units))
        return kMsgStepError;
    return 0;
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// A band limit in MHz, exactly; whole numbers without decimals.
std::string LimitText(std::int32_t units)
{
    const long long u = units;
    const long long a = u < 0 ? -u : u;
    std::string out = (u < 0 ? "-" : "") + std::to_string(a / 100000);
    if (a % 100000) {
        char frac[8];
        std::snprintf(frac, sizeof frac, "%05lld", a % 100000);
        std::string f = frac;
        f.erase(f.find_last_not_of('0') + 1);
        out += "." + f;
    }
    return out;
}

bool StartsWithNoCase(const std::string& item, const std::string& prefix)
{
    if (prefix.size() > item.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        unsigned char a = static_cast<unsigned char>(item[i]);
        unsigned char b = static_cast<unsigned char>(prefix[i]);
        if (a < 0x80 && b < 0x80) {
            if (std::tolower(a) != std::tolower(b))
                return false;
        } else if (a != b) {
            return false;
        }
    }
    return true;
}

}  // namespace

EnteredFrequency ParseEnteredFrequency(const std::string& text)
{
    EnteredFrequency f;
    std::size_t b = 0, e = text.size();
    while (b < e && IsBlank(text[b]))
        ++b;
    while (e > b && IsBlank(text[e - 1]))
        --e;
    // The unit people write after a frequency, as the number's own end: "MHz"
    // or "M" in any letter case, with or without a blank before it.
    for (const char* unit : {"mhz", "m"}) {
        const std::size_t n = std::char_traits<char>::length(unit);
        if (e - b > n && LowerAscii(text.substr(e - n, n)) == unit) {
            e -= n;
            while (e > b && IsBlank(text[e - 1]))
                --e;
            break;
        }
    }
    bool negative = false;
    if (b < e && (text[b] == '+' || text[b] == '-'))
        negative = text[b++] == '-';
    std::string whole, decimals;
    bool point = false;
    for (std::size_t i = b; i < e; ++i) {
        const char c = text[i];
        if (IsDigit(c))
            (point ? decimals : whole) += c;
        else if ((c == '.' || c == ',') && !point)
            point = true;  // a decimal comma is read as a decimal point
        else
            return f;
    }
    if (whole.empty() && decimals.empty())
        return f;
    // The cells hold five decimals (10 Hz); more are only taken when they are
    // zeros, so a value is never stored as a different number.
    if (decimals.size() > 5) {
        if (decimals.find_first_not_of('0', 5) != std::string::npos)
            return f;
        decimals.resize(5);
    }
    decimals.resize(5, '0');
    f.number = true;

    whole.erase(0, std::min(whole.find_first_not_of('0'), whole.size()));
    const bool zero = whole.empty() && decimals == "00000";
    f.text = (negative && !zero ? "-" : "") + (whole.empty() ? std::string("0") : whole) + "." + decimals;
    // Ten digits of MHz already exceed any band limit (units are 32-bit).
    if (whole.size() > 9)
        return f;
    const long long units = (whole.empty() ? 0 : std::stoll(whole)) * 100000 + std::stoll(decimals);
    f.units = negative ? -units : units;
    f.valid = f.units >= INT32_MIN && f.units <= INT32_MAX;
    return f;
}

int CheckFrequency(const std::string& text) { return CheckEntered(ParseEnteredFrequency(text)); }

std::string BandRangesText(bool chinese)
{
    const std::string vhf = "VHF " + LimitText(g_nVhfLow) + "-" + LimitText(g_nVhfHigh) + " MHz";
    const std::string uhf = "UHF " + LimitText(g_nUhfLow) + "-" + LimitText(g_nUhfHigh) + " MHz";
    // Edit ranges read from a file may reach past what a record holds; the
    // record's limits then decide, and the text must say so.
    const auto beyond = [](std::int32_t low, std::int32_t high) {
        return low < kStorableLowUnits || high > kStorableHighUnits + 1;
    };
    const bool clipped = beyond(g_nVhfLow, g_nVhfHigh) || beyond(g_nUhfLow, g_nUhfHigh);
    if (chinese)
        return vhf + "，" + uhf + "（不含上限）" + (clipped ? "；信道只能存储 10.00000 至 999.99999 MHz" : "");
    return vhf + ", " + uhf + " (upper limits excluded)" +
           (clipped ? "; a channel holds only 10.00000 to 999.99999 MHz" : "");
}

bool IsStorableFrequency(long long units) { return units >= kStorableLowUnits && units <= kStorableHighUnits; }

bool IsOnStep(long long units) { return units % 250 == 0 || units % 625 == 0; }

namespace {
// The check CheckFrequency makes, on units.
bool AcceptedUnits(long long units)
{
    return units >= INT32_MIN && units <= INT32_MAX && IsStorableFrequency(units) &&
           IsInBand(static_cast<std::int32_t>(units)) && IsOnStep(units);
}
long long FloorTo(long long v, long long step) { return v - ((v % step) + step) % step; }
}  // namespace

NearestFrequencies NearestAcceptedFrequencies(long long units)
{
    NearestFrequencies n;
    // The raster's points next to `units` on each side: the nearer of the two steps' points.
    const long long below = std::max(FloorTo(units - 1, 250), FloorTo(units - 1, 625));
    const long long above = std::min(FloorTo(units, 250) + 250, FloorTo(units, 625) + 625);
    n.below = AcceptedUnits(below) ? below : 0;
    n.above = AcceptedUnits(above) ? above : 0;
    return n;
}

std::string StepRefusalText(const std::string& typed, bool chinese)
{
    std::string text = chinese ? ChineseMessage(IDS_STEP_ERROR) : EnglishMessage(IDS_STEP_ERROR);
    const EnteredFrequency f = ParseEnteredFrequency(typed);
    if (!f.valid)
        return text;
    const NearestFrequencies n = NearestAcceptedFrequencies(f.units);
    std::vector<std::string> values;
    for (long long u : {n.below, n.above})
        if (u)
            values.push_back(UnitsToFrequencyText(static_cast<long>(u)));
    if (values.empty())
        return text;
    const std::string list = values.size() == 1 ? values[0] : values[0] + (chinese ? " 或 " : " or ") + values[1];
    return text + (chinese ? "最接近的可接受值：" + list + " MHz。" : " Nearest accepted: " + list + " MHz.");
}

void WriteDefaultRow(ITextGrid& grid, int row, const std::string& frequencyText, bool chinese)
{
    const FlagWords& w = Words(chinese);
    grid.SetTextMatrix(row, kColRxFreq, frequencyText);
    grid.SetTextMatrix(row, kColTxFreq, frequencyText);
    grid.SetTextMatrix(row, kColRxTone, w.none);
    grid.SetTextMatrix(row, kColTxTone, w.none);
    grid.SetTextMatrix(row, kColPower, w.high);
    grid.SetTextMatrix(row, kColLock, w.lock);
    grid.SetTextMatrix(row, kColScanAdd, w.yes);
    grid.SetTextMatrix(row, kColBandwidth, w.wide);
    grid.SetTextMatrix(row, kColName, "");
}

CommitResult CommitCell(ITextGrid& grid, int row, int col, const std::string& editorText, CommitTrigger trigger,
                        bool chinese)
{
    (void)trigger;  // both ways of leaving a cell follow the same rules
    CommitResult result;
    if (row < 1 || row >= kGridRows || col < kColRxFreq || col > kColName)
        return result;
    // Passing through a cell is no edit: what it shows stays, even a value the
    // rules would refuse now (a record read from a radio, a band changed since).
    if (editorText == grid.TextMatrix(row, col))
        return result;

    const std::string rx0 = grid.TextMatrix(row, kColRxFreq);
    const std::string tx0 = grid.TextMatrix(row, kColTxFreq);

    if (col == kColRxFreq) {
        if (editorText.empty()) {
            // Clearing the receive frequency deletes the channel.
            EmptyColumns(grid, row, kColRxFreq, kColName, result);
            return result;
        }
        const EnteredFrequency f = ParseEnteredFrequency(editorText);
        if (int msg = CheckEntered(f)) {
            result = Refuse(msg);
            if (msg != kMsgFrequencyFormat)
                EmptyColumns(grid, row, kColRxFreq, kColName, result);
            return result;
        }
        if (rx0.empty())
            WriteDefaultRow(grid, row, f.text, chinese);
        else
            grid.SetTextMatrix(row, kColRxFreq, f.text);
        return result;
    }

    if (col == kColTxFreq) {
        if (editorText.empty()) {
            EmptyColumns(grid, row, kColTxFreq, kColTxFreq, result);
            return result;
        }
        const EnteredFrequency f = ParseEnteredFrequency(editorText);
        if (int msg = CheckEntered(f)) {
            result = Refuse(msg);
            if (msg != kMsgFrequencyFormat)
                EmptyColumns(grid, row, kColTxFreq, kColTxFreq, result);
            return result;
        }
        // No transmit frequency without a receive frequency.
        const std::string t = rx0.empty() ? std::string() : f.text;
        grid.SetTextMatrix(row, kColTxFreq, t);
        if (t.empty())
            result.emptiedColumns.push_back(kColTxFreq);
        return result;
    }

    // An empty channel takes no settings.
    if (rx0.empty() && tx0.empty()) {
        EmptyColumns(grid, row, col, col, result);
        return result;
    }
    // The name editor holds typing to its own limit; whatever comes in is
    // stored as the record holds it, so the cell shows what is stored.
    const std::string text = col == kColName ? StoredName(editorText) : editorText;
    grid.SetTextMatrix(row, col, text);
    return result;
}

namespace {
std::size_t Utf8Length(unsigned char lead)
{
    if (lead >= 0xF0)
        return 4;
    if (lead >= 0xE0)
        return 3;
    if (lead >= 0xC0)
        return 2;
    return 1;
}
}  // namespace

int NameEditorLimit(const std::string& cellText)
{
    int chars = 0;
    for (std::size_t i = 0; i < cellText.size(); i += Utf8Length(static_cast<unsigned char>(cellText[i])))
        ++chars;
    return std::clamp(chars, 6, 8);
}

std::string StoredName(const std::string& text, int maxChars)
{
    std::string out;
    for (char c : text) {
        const char upper = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
        if (static_cast<int>(out.size()) == maxChars || EncodeNameChar(static_cast<unsigned char>(upper)) == 0xFF)
            break;
        out += upper;
    }
    return out;
}

std::string NameEditorText(const std::string& text, int maxChars)
{
    std::string out;
    int chars = 0;
    for (std::size_t i = 0; i < text.size();) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        const std::size_t len = Utf8Length(c);
        if (chars == maxChars)
            break;
        if (len == 1) {
            out += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : static_cast<char>(c);
        } else {
            out.append(text, i, len);
        }
        ++chars;
        i += len;
    }
    return out;
}

int ListEditorSelection(const std::vector<std::string>& items, const std::string& cellText)
{
    if (cellText.empty())
        return -1;
    for (std::size_t i = 0; i < items.size(); ++i)
        if (StartsWithNoCase(items[i], cellText))
            return static_cast<int>(i);
    return -1;
}

std::string ListEditorText(const std::string& cellText, const std::vector<std::string>& items, int pickedIndex)
{
    if (pickedIndex >= 0 && static_cast<std::size_t>(pickedIndex) < items.size())
        return items[static_cast<std::size_t>(pickedIndex)];
    return cellText;
}

std::vector<std::string> FlagListItems(int col, bool chinese)
{
    const FlagWords& w = Words(chinese);
    switch (col) {
    case kColPower: return {w.high, w.low};
    case kColLock: return {w.lock, w.unlock};
    case kColScanAdd: return {w.yes, w.no};
    case kColBandwidth: return {w.wide, w.narrow};
    default: return {};
    }
}

bool CommitBandBoxes(BandPair pair, const BandTexts& shown, const BandTexts& typed, EditRanges& r)
{
    const std::size_t first = pair == BandPair::Vhf ? 0 : 2;
    if (shown[first] == typed[first] && shown[first + 1] == typed[first + 1])
        return false;
    if (pair == BandPair::Vhf)
        ApplyVhfEditRange(r);
    else
        ApplyUhfEditRange(r);
    return true;
}
