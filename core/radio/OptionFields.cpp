#include "core/radio/OptionFields.h"

#include <algorithm>
#include <string>

#include "core/app/DisplayText.h"
#include "core/radio/ChannelCodec.h"

namespace {

constexpr const char* kOffZh = "关";
constexpr const char* kOnZh = "开";
constexpr const char* kAutoZh = "自动";
constexpr const char* kManualZh = "手动";

int Bits(std::uint8_t byte, int shift, int mask) { return (byte >> shift) & mask; }

void SetBit(std::uint8_t& byte, int bit, bool on)
{
    if (on)
        byte = static_cast<std::uint8_t>(byte | (1u << bit));
    else
        byte = static_cast<std::uint8_t>(byte & ~(1u << bit));
}

// Clears a two-bit field and stores 0 for index 0, 1 for index 1 and 2 for
// any other index, -1 included.
void SetTriField(std::uint8_t& byte, int shift, int index)
{
    const int value = index == 0 ? 0 : index == 1 ? 1 : 2;
    byte = static_cast<std::uint8_t>((byte & ~(3u << shift)) | (static_cast<unsigned>(value) << shift));
}

// A masked value beyond the list leaves the list without selection.
int MaskedIndex(int value, int itemCount) { return value < itemCount ? value : -1; }

// A whole-byte value beyond the list selects the first item.
int WholeByteIndex(int value, int itemCount) { return value < itemCount ? value : 0; }

std::uint8_t IndexOrZero(int index) { return static_cast<std::uint8_t>(index == -1 ? 0 : index); }

std::vector<std::string> Numbers(int first, int last)
{
    std::vector<std::string> v;
    for (int i = first; i <= last; ++i)
        v.push_back(std::to_string(i));
    return v;
}

std::vector<std::string> OffThenNumbers(int last, bool chinese)
{
    std::vector<std::string> v{chinese ? kOffZh : "Off"};
    for (int i = 1; i <= last; ++i)
        v.push_back(std::to_string(i));
    return v;
}

std::vector<std::string> OffOn(bool chinese)
{
    return chinese ? std::vector<std::string>{kOffZh, kOnZh} : std::vector<std::string>{"Off", "On"};
}

}  // namespace

OptionFields DecodeOptions(const Image& image)
{
    OptionFields f;
    const std::uint8_t flags1 = image[mem::kFlags1];
    const std::uint8_t flags2 = image[mem::kFlags2];

    f.vSqlAdjust = image[mem::kVSqlAdjust] >= 128 ? 30 : image[mem::kVSqlAdjust];
    f.uSqlAdjust = image[mem::kUSqlAdjust] >= 128 ? 20 : image[mem::kUSqlAdjust];

    for (int i = 0; i < mem::kPowerOnNameLen; ++i) {
        const std::uint8_t code = image[mem::kPowerOnName + i];
        if (code == 0xFF)
            break;
        const char c = DecodeNameChar(code);
        if (c == 0)
            break;  // a code without a character ends the name
        f.powerOnName += c;
    }

    f.beep = (image[mem::kBeep] & 0x01) != 0;
    f.squelch = MaskedIndex(Bits(image[mem::kSquelch], 0, 0x0F), 10);
    f.timeOutTimer = MaskedIndex(Bits(image[mem::kTimeOutTimer], 0, 0x0F), 4);
    f.callTone = MaskedIndex(Bits(image[mem::kCallTone], 0, 0x0F), 10);
    f.voiceSensitivity = MaskedIndex(Bits(image[mem::kVoiceSensitivity], 0, 0x1F), 17);
    f.step = MaskedIndex(Bits(image[mem::kStep], 0, 0x07), 5);
    f.priScanTime = WholeByteIndex(image[mem::kPriScanTime], 4);
    f.batterySaver = WholeByteIndex(image[mem::kBatterySaver], 6);

    f.channelDisplay = Bits(flags1, 7, 1) ? 0 : 1;  // bit set = "Off"
    f.busy = Bits(flags1, 6, 1) ? 0 : 1;            // bit set = "Off"
    f.scanMode = Bits(flags1, 4, 3) == 3 ? 2 : Bits(flags1, 4, 3);
    f.led = Bits(flags1, 2, 3) == 3 ? 2 : Bits(flags1, 2, 3);
    f.keypadLock = Bits(flags1, 1, 1);
    f.encoder = Bits(flags2, 7, 1);
    f.priorityScan = Bits(flags2, 6, 1);
    f.mode = Bits(flags2, 0, 3) == 3 ? 2 : Bits(flags2, 0, 3);
    return f;
}

PowerOnNameCheck CheckPowerOnName(const std::string& text)
{
    PowerOnNameCheck check;
    int chars = 0;
    for (std::size_t i = 0; i < text.size(); ++chars) {
        const unsigned char lead = static_cast<unsigned char>(text[i]);
        // A byte that is no valid UTF-8 counts as one character of its own.
        const std::size_t len = std::max<std::size_t>(Utf8SequenceLength(text, i), 1);
        std::string c = text.substr(i, len);
        i += len;
        if (len == 1 && lead >= 'a' && lead <= 'z')
            c[0] = static_cast<char>(lead - 'a' + 'A');
        if (check.refused.empty() && (len > 1 || EncodeNameChar(static_cast<unsigned char>(c[0])) == 0xFF))
            check.refused = c;
        check.name += c;
    }
    check.tooLong = chars > mem::kPowerOnNameLen;
    return check;
}

std::string PowerOnNameRefusal(const PowerOnNameCheck& check, bool chinese)
{
    const std::string n = std::to_string(mem::kPowerOnNameLen);
    const std::string name = EscapeControlBytes(check.name);
    if (chinese) {
        const std::string takes = "它最多接受 " + n + " 个 0-9、A-Z、- 和 _ 字符（小写按大写处理）";
        if (!check.refused.empty())
            return "开机名称不能包含“" + EscapeControlBytes(check.refused) + "”（在“" + name + "”中）：" + takes;
        if (check.tooLong)
            return "开机名称“" + name + "”太长：" + takes;
        return {};
    }
    const std::string takes =
        "takes up to " + n + " characters of 0-9, A-Z, - and _ (lower case is taken as upper case)";
    if (!check.refused.empty())
        return "Power-on Name cannot hold \"" + EscapeControlBytes(check.refused) + "\" (in \"" + name + "\"): it " +
               takes;
    if (check.tooLong)
        return "Power-on Name \"" + name + "\" is too long: it " + takes;
    return {};
}

void EncodeOptions(const OptionFields& f, Image& image)
{
    // A list without selection is -1; stored as 0xFF in the whole-byte SQL fields.
    image[mem::kVSqlAdjust] = static_cast<std::uint8_t>(f.vSqlAdjust);
    image[mem::kUSqlAdjust] = static_cast<std::uint8_t>(f.uSqlAdjust);

    for (int i = 0; i < mem::kOptionClearLen; ++i)
        image[mem::kOptionClear + i] = 0xFF;
    for (int i = 0; i < mem::kPowerOnNameLen; ++i) {
        const std::size_t pos = static_cast<std::size_t>(i);
        image[mem::kPowerOnName + i] =
            pos < f.powerOnName.size() ? EncodeNameChar(static_cast<unsigned char>(f.powerOnName[pos])) : 0xFF;
    }

    image[mem::kTimeOutTimer] = static_cast<std::uint8_t>(f.timeOutTimer & 0x0F);
    image[mem::kSquelch] = static_cast<std::uint8_t>(f.squelch & 0x0F);
    SetBit(image[mem::kBeep], 0, f.beep);
    image[mem::kCallTone] = static_cast<std::uint8_t>(f.callTone & 0x0F);

    std::uint8_t& flags1 = image[mem::kFlags1];
    std::uint8_t& flags2 = image[mem::kFlags2];
    SetBit(flags1, 7, f.channelDisplay != 1);
    SetBit(flags2, 6, f.priorityScan != 0);
    SetBit(flags1, 6, f.busy == 0);

    image[mem::kPriScanTime] = IndexOrZero(f.priScanTime);

    SetTriField(flags1, 4, f.scanMode);
    SetBit(flags1, 1, f.keypadLock != 0);
    SetTriField(flags1, 2, f.led);
    SetTriField(flags2, 0, f.mode);
    SetBit(flags2, 7, f.encoder != 0);

    image[mem::kVoiceSensitivity] = static_cast<std::uint8_t>(f.voiceSensitivity & 0x1F);
    image[mem::kStep] = IndexOrZero(f.step);
    image[mem::kBatterySaver] = IndexOrZero(f.batterySaver);
}

const std::vector<OptionControl>& OptionControls()
{
    using K = OptionKind;
    using C = OptionColumn;
    static const std::vector<OptionControl> controls{
        {optid::kLed, K::List, C::Left, "led", "LED", "LED"},
        {optid::kBatterySaver, K::List, C::Left, "battery-saver", "Battery Saver", "电池省电"},
        {optid::kKeypadLock, K::List, C::Left, "keypad-lock", "Keypad Lock", "键盘锁定"},
        {optid::kTimeOutTimer, K::List, C::Left, "time-out-timer", "Time-Out Timer", "超时定时器"},
        {optid::kVoiceSensitivity, K::List, C::Left, "voice-sensitivity", "Voice Sensitivity", "声控灵敏度"},
        {optid::kPriorityScan, K::List, C::Left, "priority-scan", "Priority Scan", "优先扫描"},
        {optid::kChannelDisplay, K::List, C::Left, "channel-display", "Channel Display", "信道显示"},
        {optid::kPriScanTime, K::List, C::Left, "pri-scanning-time", "Pri-Scanning Time", "预扫描时间"},
        {optid::kPowerOnName, K::Edit, C::Left, "name", "Power-on Name", "开机名称"},
        {optid::kStep, K::List, C::Right, "step", "Step", "步长"},
        {optid::kCallTone, K::List, C::Right, "call-tone", "Call Tone", "呼叫铃音"},
        {optid::kSquelch, K::List, C::Right, "squelch", "Squelch Level", "静噪电平"},
        {optid::kEncoder, K::List, C::Right, "encoder", "Encoder", "编码器"},
        {optid::kMode, K::List, C::Right, "mode", "Mode", "模式"},
        {optid::kBusy, K::List, C::Right, "busy", "Busy", "繁忙"},
        {optid::kScanMode, K::List, C::Right, "scan-mode", "Scan Mode", "扫描模式"},
        {optid::kVSqlAdjust, K::List, C::Right, "v-sql-adjust", "V SQL Adjust", "V 静噪调整"},
        {optid::kUSqlAdjust, K::List, C::Right, "u-sql-adjust", "U SQL Adjust", "U 静噪调整"},
        {optid::kBeep, K::Check, C::Buttons, "beep", "Beep", "提示音"},
    };
    return controls;
}

const OptionControl* FindOptionControl(int id)
{
    for (const OptionControl& c : OptionControls())
        if (c.id == id)
            return &c;
    return nullptr;
}

const OptionControl* FindOptionControlByKey(const std::string& key)
{
    for (const OptionControl& c : OptionControls())
        if (key == c.key)
            return &c;
    return nullptr;
}

const char* OptionLabel(int id, bool chinese)
{
    const OptionControl* c = FindOptionControl(id);
    if (!c)
        return "";
    return chinese ? c->labelZh : c->labelEn;
}

const char* OptionDialogCaption(bool chinese) { return chinese ? "可选功能" : "Option Features"; }

std::vector<std::string> OptionItems(int id, bool chinese)
{
    switch (id) {
    case optid::kLed:
        return chinese ? std::vector<std::string>{kOffZh, kAutoZh, kOnZh}
                       : std::vector<std::string>{"Off", "Auto", "On"};
    case optid::kBatterySaver: {
        std::vector<std::string> v{chinese ? kOffZh : "Off", "0.2", "0.4", "0.6", "0.8", "1.0"};
        return v;
    }
    case optid::kKeypadLock:
        return chinese ? std::vector<std::string>{kManualZh, kAutoZh} : std::vector<std::string>{"Manual", "Auto"};
    case optid::kTimeOutTimer: {
        std::vector<std::string> v{chinese ? kOffZh : "Off", "1", "3", "10"};
        return v;
    }
    case optid::kVoiceSensitivity: return OffThenNumbers(16, chinese);
    case optid::kPriorityScan:
    case optid::kChannelDisplay:
    case optid::kEncoder:
    case optid::kBusy: return OffOn(chinese);
    case optid::kPriScanTime: return {"3s", "5s", "8s", "10s"};
    case optid::kStep: return {"5k", "10k", "6.25k", "12.5k", "25k"};
    case optid::kCallTone: {
        std::vector<std::string> v = OffThenNumbers(8, chinese);
        v.push_back("1750");
        return v;
    }
    case optid::kSquelch: return Numbers(0, 9);
    case optid::kMode:
        return chinese ? std::vector<std::string>{"信道", "频率", "存储"}
                       : std::vector<std::string>{"Channel", "Frequency", "Memory"};
    case optid::kScanMode: return {"SE", "CO", "TO"};
    case optid::kVSqlAdjust:
    case optid::kUSqlAdjust: return Numbers(0, 127);
    default: return {};
    }
}

namespace {

using IndexPtr = int OptionFields::*;

IndexPtr IndexMember(int id)
{
    switch (id) {
    case optid::kLed: return &OptionFields::led;
    case optid::kBatterySaver: return &OptionFields::batterySaver;
    case optid::kKeypadLock: return &OptionFields::keypadLock;
    case optid::kTimeOutTimer: return &OptionFields::timeOutTimer;
    case optid::kVoiceSensitivity: return &OptionFields::voiceSensitivity;
    case optid::kPriorityScan: return &OptionFields::priorityScan;
    case optid::kChannelDisplay: return &OptionFields::channelDisplay;
    case optid::kPriScanTime: return &OptionFields::priScanTime;
    case optid::kStep: return &OptionFields::step;
    case optid::kCallTone: return &OptionFields::callTone;
    case optid::kSquelch: return &OptionFields::squelch;
    case optid::kEncoder: return &OptionFields::encoder;
    case optid::kMode: return &OptionFields::mode;
    case optid::kBusy: return &OptionFields::busy;
    case optid::kScanMode: return &OptionFields::scanMode;
    case optid::kVSqlAdjust: return &OptionFields::vSqlAdjust;
    case optid::kUSqlAdjust: return &OptionFields::uSqlAdjust;
    default: return nullptr;
    }
}

}  // namespace

int OptionIndex(const OptionFields& fields, int id)
{
    IndexPtr m = IndexMember(id);
    return m ? fields.*m : -1;
}

void SetOptionIndex(OptionFields& fields, int id, int index)
{
    if (IndexPtr m = IndexMember(id))
        fields.*m = index;
}

std::string OptionValueText(const OptionFields& fields, int id, bool chinese)
{
    const int index = OptionIndex(fields, id);
    const std::vector<std::string> items = OptionItems(id, chinese);
    if (index < 0 || static_cast<std::size_t>(index) >= items.size())
        return "";
    return items[static_cast<std::size_t>(index)];
}
