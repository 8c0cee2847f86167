#pragma once
// Whether a port still holds the radio that was read on it. Between a read and
// the write that follows (a reconcile after every read of a fleet, a write
// after its backup) the radio may be swapped: the other radio would get the
// first one's memory and lose its own, of which no backup was kept. A few
// frames are read again and compared with what the read gave: the power-on
// name's, the option area's (which also hold the model, the band limits and
// the ten bytes a write never sends), the selected band record's and one frame
// of every 256 bytes across the channels and names.
#include <string>
#include <vector>

#include "core/link/Transfer.h"
#include "core/link/Verify.h"

// The frames read again, ascending.
std::vector<int> RadioCheckFrames();

// Where `now` (the frames read again, over what was read) differs from
// `read`, named as a verify names them.
std::vector<WriteDifference> RadioChanges(const Image& read, const Image& now, bool chinese);

// What a guarded write came to.
struct GuardedWrite {
    // The write's; the check's when the check ended it, Failed (message 0,
    // no data phase) when it found another radio.
    TransferResult result;
    bool checkEnded = false;               // nothing was sent: the check failed or found another radio
    bool radioChanged = false;             // the radio on the port is not the one read
    std::vector<WriteDifference> changes;  // where it differs from what was read
};

// Writes image to the radio on device only while it is the radio `read` came
// from: the check's frames are read first and must hold what `read` holds.
// The write's handshake never asks to retry (the radio could be swapped while
// the question is up): when its first attempts fail, the radio is checked
// again, its handshake asking as usual, then written.
GuardedWrite WriteToRadioRead(CTransferEngine& engine, const std::string& device, const Image& image, const Image& read,
                              bool chinese);

// The message of a radio changed: it was not written, and its memory has no
// backup ("a radio was changed: ...").
std::string RadioChangedText(const std::vector<WriteDifference>& changes, bool chinese);
