#pragma once
// What the CSV import asks of a layout: check the header line, find the grid
// row a line is for, and read the line into the texts of one channel. The
// import itself (CsvChannels) commits those texts as the cell editors would.
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "core/radio/ChannelText.h"
#include "core/files/Csv.h"

// Why a row was accepted with a change or refused, for the import's summary.
enum class ImportReason {
    // accepted with a change
    NameShortened,
    NameUpperCase,
    PowerMapped,  // watts turned into High, Middle or Low
    OtherChange,
    // refused
    OutsideBands,
    OffStep,
    ModeUnsupported,  // AM, DV, ...: the radio does FM and narrow FM only
    ToneUnsupported,  // a CTCSS tone or DCS code outside the radio's lists
    LocationOutside,  // no channel 0-199
    NoChannelLeft,    // renumbering ran past channel 199
    Duplicate,        // a channel the file gives twice
    BadValue,
    Count
};
inline constexpr bool IsRefusal(ImportReason r) { return r >= ImportReason::OutsideBands; }
// The group's label in the summary ("outside the radio's bands").
const char* ImportReasonText(ImportReason reason, bool chinese = false);

// One channel read from a line; flags left None keep what the default row gives.
struct CsvChannel {
    std::string rx, tx;
    ChannelTone rxTone, txTone;
    ChannelFlag power = ChannelFlag::None, lock = ChannelFlag::None, scan = ChannelFlag::None,
                bandwidth = ChannelFlag::None;
    std::string name;
    bool powerMapped = false;  // the file gave watts
};

class CsvLayoutReader {
public:
    virtual ~CsvLayoutReader() = default;

    // The first line; false with the reason when it is not this layout's header.
    virtual bool ReadHeader(const std::vector<std::string>& fields, std::string& why) = 0;
    // The number of fields every further line must have.
    virtual std::size_t FieldCount() const = 0;
    // Sees every line after the header before any is read, for rules that
    // depend on the whole file; EndSurvey's `notes` say once what such a rule decided.
    virtual void SurveyLine(const std::vector<std::string>& fields) { (void)fields; }
    virtual void EndSurvey(std::vector<std::string>& notes) { (void)notes; }
    // The grid row (1..200) a line is for; 0 with the reason when it names none.
    virtual int RowOf(const std::vector<std::string>& fields, std::string& why, ImportReason& kind) const = 0;

    enum class Line {
        Channel,  // `channel` holds the channel to commit
        Empty,    // the line leaves its channel empty
        Refused,  // `why` says why
    };
    // `notes` collects what is accepted with a change; `kind` says why a line is
    // refused when it is not a bad value.
    virtual Line ReadChannel(const std::vector<std::string>& fields, CsvChannel& channel,
                             std::vector<std::string>& notes, std::string& why, ImportReason& kind) const = 0;
};

// A layout whose reasons and notes are in the language `chinese` picks.
std::unique_ptr<CsvLayoutReader> MakeGridLayoutReader(bool chinese = false);
std::unique_ptr<CsvLayoutReader> MakeChirpLayoutReader(bool chinese = false);

// Why a field is no frequency, with the form and the band ranges accepted.
std::string FrequencyFormatReason(const std::string& what, const std::string& value, bool chinese = false);
