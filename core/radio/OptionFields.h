#pragma once
// The radio-wide options as the Option Features dialog shows them: one list
// index per drop-down (-1 when the list shows no selection), the Beep box and
// the power-on name. DecodeOptions reads them from the image the way the
// dialog fills its controls; EncodeOptions writes them back the way its OK
// does, so bits the dialog does not own keep what the radio or file supplied.
#include <string>
#include <vector>

#include "core/radio/Image.h"

struct OptionFields {
    // left column
    int led = -1;               // 0 Off, 1 Auto, 2 On
    int batterySaver = -1;      // 0 Off, 1..5 = 0.2 .. 1.0
    int keypadLock = -1;        // 0 Manual, 1 Auto
    int timeOutTimer = -1;      // 0 Off, 1 "1", 2 "3", 3 "10"
    int voiceSensitivity = -1;  // 0 Off, 1..16
    int priorityScan = -1;      // 0 Off, 1 On
    int channelDisplay = -1;    // 0 Off, 1 On
    int priScanTime = -1;       // 0 3s, 1 5s, 2 8s, 3 10s
    std::string powerOnName;    // up to six characters
    // right column
    int step = -1;        // 0 5k, 1 10k, 2 6.25k, 3 12.5k, 4 25k
    int callTone = -1;    // 0 Off, 1..8, 9 1750
    int squelch = -1;     // 0..9
    int encoder = -1;     // 0 Off, 1 On
    int mode = -1;        // 0 Channel, 1 Frequency, 2 Memory
    int busy = -1;        // 0 Off, 1 On
    int scanMode = -1;    // 0 SE, 1 CO, 2 TO
    int vSqlAdjust = -1;  // 0..127
    int uSqlAdjust = -1;  // 0..127
    bool beep = false;

    bool operator==(const OptionFields&) const = default;
};

OptionFields DecodeOptions(const Image& image);
void EncodeOptions(const OptionFields& fields, Image& image);

// A power-on name as the user gives it, against what the radio can show:
// the name character code's 0-9, A-Z, '-' and '_', at most six of them.
// Lower-case letters are taken as upper case; any other character is refused,
// never stored as a blank.
struct PowerOnNameCheck {
    std::string name;      // the text, lower case turned to upper case
    std::string refused;   // the first character the radio cannot show (UTF-8), "" when none
    bool tooLong = false;  // more than six characters
    bool Ok() const { return refused.empty() && !tooLong; }
};
PowerOnNameCheck CheckPowerOnName(const std::string& utf8);
// Why a name is refused, naming the character and what is accepted.
std::string PowerOnNameRefusal(const PowerOnNameCheck& check, bool chinese = false);

// Control ids of the dialog (template 132).
namespace optid {
inline constexpr int kDialog = 132;
inline constexpr int kPowerOnName = 1002;
inline constexpr int kBeep = 1016;
inline constexpr int kSquelch = 1116;
inline constexpr int kStep = 1117;
inline constexpr int kTimeOutTimer = 1118;
inline constexpr int kLed = 1119;
inline constexpr int kBatterySaver = 1120;
inline constexpr int kKeypadLock = 1121;
inline constexpr int kVoiceSensitivity = 1122;
inline constexpr int kPriorityScan = 1123;
inline constexpr int kChannelDisplay = 1124;
inline constexpr int kPriScanTime = 1125;
inline constexpr int kScanMode = 1126;
inline constexpr int kBusy = 1127;
inline constexpr int kMode = 1128;
inline constexpr int kEncoder = 1129;
inline constexpr int kCallTone = 1130;
inline constexpr int kVSqlAdjust = 1131;
inline constexpr int kUSqlAdjust = 1132;
}  // namespace optid

enum class OptionKind { List, Edit, Check };
enum class OptionColumn { Left, Right, Buttons };

struct OptionControl {
    int id;
    OptionKind kind;
    OptionColumn column;
    const char* key;  // short name for the command line ("led", "step", "name", "beep")
    const char* labelEn;
    const char* labelZh;
};

// Every control in the dialog's order: the left column top to bottom, the
// right column top to bottom, then Beep (between OK and Cancel).
const std::vector<OptionControl>& OptionControls();
const OptionControl* FindOptionControl(int id);
const OptionControl* FindOptionControlByKey(const std::string& key);
const char* OptionLabel(int id, bool chinese);
const char* OptionDialogCaption(bool chinese);  // "Option Features"

// The items of a drop-down in the given language (UTF-8); empty for the name
// box and the Beep box.
std::vector<std::string> OptionItems(int id, bool chinese);

// The list index of drop-down `id`, and setting it (ignored for non-lists).
int OptionIndex(const OptionFields& fields, int id);
void SetOptionIndex(OptionFields& fields, int id, int index);

// The text a drop-down shows for its selection, "" for none.
std::string OptionValueText(const OptionFields& fields, int id, bool chinese);
