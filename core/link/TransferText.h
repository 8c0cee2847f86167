#pragma once
// How a transfer ended, in words written once for the window's messages,
// progtool's lines and the fleet's. progtool tells an outcome as a piece of
// its line, joined with "; " ("stopped after 300 of 1023 frames"); the window
// as a sentence. Both stand here side by side, in both languages.
#include <string>
#include <vector>

#include "core/link/Transfer.h"

// What ran when a job ended.
enum class TransferPart {
    Read,      // a read of the whole memory
    Backup,    // the read that keeps a backup before a write
    Check,     // the frames read before a write: is the radio still the one backed up?
    Write,     // the write itself
    ReadBack,  // the read that verifies a write
};

struct EndText {
    std::string piece;     // progtool's: lower case, no full stop
    std::string sentence;  // the window's ("" where it tells the outcome otherwise)
};

// port: the port as the window shows it.
// Stopped by the user (Cancel, Ctrl+C) after r.frames of r.framesTotal frames.
EndText CancelledText(const TransferResult& r, TransferPart part, const std::string& port, bool chinese);
// The link failed after r.frames of r.framesTotal data frames.
EndText StoppedText(const TransferResult& r, TransferPart part, bool chinese);
// Not one data frame moved.
std::string NothingTransferredText(bool chinese);
// A write cut short in its data phase: the radio holds part of each memory.
EndText PartlyWrittenText(bool chinese);
// An interrupted fleet's last line: the radios left partly written (named as
// they are shown), or that there is none.
std::string PartlyWrittenSummary(const std::vector<std::string>& radios, bool chinese);
// The write completed; its read-back did not.
EndText WriteCompletedText(const std::string& port, bool chinese);
// The read-back differs from what was sent (file: the image written); what
// differs follows both.
EndText ReadBackDiffersText(const std::string& file, const std::string& port, bool chinese);
// The check before the write could not read the radio; why: the reason in
// the piece's brackets.
EndText NotCheckedText(const std::string& why, bool chinese);
