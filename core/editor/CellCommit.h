#pragma once
// What happens to the channel grid when a cell editor is committed: the band
// and step checks of frequencies, the default row, deletion of a channel by
// clearing its receive frequency. The window and the command-line import both
// go through CommitCell so a value is accepted or refused the same way.
#include <string>
#include <vector>

#include "core/app/StringIds.h"
#include "core/editor/EditSnapshot.h"
#include "core/radio/Bands.h"
#include "core/radio/TextGrid.h"

// String-table entries of the refusals (caption 61458 "Caution").
inline constexpr int kMsgOutOfRange = IDS_OUT_OF_RANGE;      // frequency in neither band
inline constexpr int kMsgStepError = IDS_STEP_ERROR;         // frequency off the 2.5 kHz / 6.25 kHz raster
inline constexpr int kMsgFrequencyFormat = IDS_FREQ_FORMAT;  // text that is no frequency at all
inline constexpr int kMsgCaution = IDS_CAUTION;

enum class CommitTrigger { LeaveCell, Enter };

struct CommitResult {
    // The value was refused: the editor closes, the current cell stays, and an
    // Enter does not move on.
    bool stopped = false;
    int messageId = 0;                // 0, kMsgOutOfRange, kMsgStepError or kMsgFrequencyFormat
    std::vector<int> emptiedColumns;  // columns of the row emptied by this commit, ascending

    bool Committed() const { return !stopped; }
};

// Commits `editorText` (for a list editor: the text of the chosen item) into
// cell (row, col) of a channel row 1..200, column 1..9. Anything else commits
// nothing, and so does the text the cell already shows (leaving a cell
// untouched changes nothing). Band limits are the process-wide ones of IsInBand.
//
// A frequency column refuses text that is no frequency (kMsgFrequencyFormat)
// without touching the grid: a typing slip must not cost the channel. A
// number out of band or off the raster is refused and emptied: the whole row
// for a receive frequency, the transmit cell for a transmit frequency.
//
// A transmit frequency off the step raster empties only the transmit cell,
// whichever way the cell was left: a slip in the transmit frequency must not
// throw away the rest of the channel. `trigger` is kept for the callers'
// bookkeeping; both triggers apply the same rules.
//
// A name is stored as StoredName has it (eight characters at most); the name
// editor keeps typing within its own limit and says why it refuses a key.
CommitResult CommitCell(ITextGrid& grid, int row, int col, const std::string& editorText, CommitTrigger trigger,
                        bool chinese);

// Leaving a band box of `pair`: `shown` the boxes' texts as last shown,
// `typed` as they stand now, `r` the numbers they read. A pair that still
// shows its texts commits nothing (false, r as it is), even a range the rule
// would replace: leaving a box untouched changes nothing. A typed change goes
// through the band's rule (ApplyVhfEditRange, ApplyUhfEditRange), which may
// change r and sets the band limits (true).
enum class BandPair { Vhf, Uhf };
bool CommitBandBoxes(BandPair pair, const BandTexts& shown, const BandTexts& typed, EditRanges& r);

// A frequency as the editors read it. Accepted form: megahertz with at most
// five decimals, "." or "," as the decimal point, an optional sign, blanks
// around it ("145.125", " 145,125 "), and the unit "MHz" or "M" in any letter
// case after it ("145.125MHz", "145.125 mhz", "145.125 M"). Further decimals
// are taken only when they are zeros. Anything else (other letters or units,
// a second point, exponents, "inf") is no frequency: `number` is false and
// nothing else is set.
// For a number, `units` is its exact count of 10 Hz units and `text` the
// cell form "%3.5f" (145.12500); `valid` is false when the units do not fit
// the band limits' type, which the commit treats as out of band.
struct EnteredFrequency {
    bool number = false;
    bool valid = false;
    std::string text;
    long long units = 0;
};
EnteredFrequency ParseEnteredFrequency(const std::string& text);

// What a channel record's eight BCD digits hold, whatever the band edit
// ranges allow: 10.00000 to 999.99999 MHz in 10 Hz units (the first digit
// pair 00 marks an empty record).
inline constexpr long long kStorableLowUnits = 1000000;
inline constexpr long long kStorableHighUnits = 99999999;
bool IsStorableFrequency(long long units);

// The refusal a typed frequency earns against the band limits in force and
// the record's range (kMsgOutOfRange for either):
// 0 when accepted, else kMsgFrequencyFormat, kMsgOutOfRange or kMsgStepError.
int CheckFrequency(const std::string& text);

// The band ranges in force, for the refusal messages of the window and the
// import report: "VHF 136-174 MHz, UHF 400-520 MHz (upper limits excluded)",
// or its Chinese form; when a range reaches past what a record holds, the
// record's 10.00000 to 999.99999 MHz follows.
std::string BandRangesText(bool chinese);

// True when the units lie on the 2.5 kHz or the 6.25 kHz raster.
bool IsOnStep(long long units);

// For a frequency refused for its step: the nearest values below and above
// it that the same check (CheckFrequency) accepts, 0 where there is none (a
// band edge in between).
struct NearestFrequencies {
    long long below = 0;
    long long above = 0;
};
NearestFrequencies NearestAcceptedFrequencies(long long units);
// The refusal of a frequency off the step raster, in the given language: the
// string table's text, then the nearest accepted values of `typed`
// ("... Nearest accepted: 145.00625 or 145.00750 MHz."). The window's
// message, its paste and set refusals and the CSV import's reason all say it so.
std::string StepRefusalText(const std::string& typed, bool chinese);

// The row a new channel gets when its first receive frequency is accepted.
void WriteDefaultRow(ITextGrid& grid, int row, const std::string& frequencyText, bool chinese);

// Upper-cases ASCII letters and keeps at most `maxChars` characters (UTF-8
// aware), as the name editor does while the user types.
std::string NameEditorText(const std::string& text, int maxChars = 6);

// The characters a record's name holds: eight of 0-9, A-Z, - and _.
inline constexpr int kNameRecordChars = 8;
// The name a record stores for `text`: ASCII letters in upper case, ending
// before the first character a record cannot hold, at most `maxChars`
// characters ("rpt 3" -> "RPT").
std::string StoredName(const std::string& text, int maxChars = kNameRecordChars);

// The most characters the name editor takes in a cell showing `cellText`: six,
// or all of a longer name read from the radio (the record holds eight), so that
// such a name edited shorter is stored exactly as the editor shows it.
int NameEditorLimit(const std::string& cellText);

// List editors. The item a list selects when it opens on `cellText`: the
// first item beginning with the text (ASCII case ignored), or -1 when the text
// is empty or begins no item. With -1 the list shows no selection, and
// ListEditorText keeps the cell's own text unless the user picks an item, so
// merely visiting a "Middle" power or an unlisted tone never changes it.
int ListEditorSelection(const std::vector<std::string>& items, const std::string& cellText);
std::string ListEditorText(const std::string& cellText, const std::vector<std::string>& items, int pickedIndex);

// Items of the list editors of columns 5..8 in the given language
// ("High"/"Low", "Lock"/"Unlock", "Yes"/"No", "Wide"/"Narrow"); empty for
// other columns (tones come from ToneNames).
std::vector<std::string> FlagListItems(int col, bool chinese);
