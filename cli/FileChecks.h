#pragma once
// The files a command reads and writes: loading an image or a document,
// checking an output before anything is done, and saving atomically; each
// prints its reason (naming the file) when it fails.
#include <string>
#include <vector>

#include "core/radio/DatFile.h"
#include "core/radio/Document.h"
#include "core/radio/Image.h"

namespace cli {

// Loads a .dat file; on failure prints the reason (naming the file) and returns false.
// A file longer than an image is warned about, or refused unless `force` when
// the command would send it or save it back (CheckImageLength).
bool LoadImageFile(const std::string& path, Image& image, ImageUse use = ImageUse::Read, bool force = false);
// Before a command writes `output`: it is none of `inputs` (after links), an
// existing file of another kind than `kind` goes only with --force, and the save
// can happen (CheckSaveTarget); "-" is refused (RefuseStdoutDash). False with
// the reason printed.
// `after` tells what did not happen (by default "; nothing was written").
bool CheckOutput(const std::string& output, const std::vector<std::string>& inputs, FileKind kind, bool force,
                 const std::string& after = {});
// A read's -o FILE.dat that exists (any file, or a link) is replaced only with
// --force: a plan typed as the output would be lost. False with the refusal printed.
bool RefuseExistingRead(const std::string& output, bool force);
// "-" names standard output only for export -o -: anywhere else a UsageError
// (naming `option`) instead of a file called "-".
void RefuseStdoutDash(const std::string& value, const std::string& option);
// Writes bytes atomically; on failure prints the reason and returns false.
bool WriteOutput(const std::string& path, const std::string& bytes);
bool SaveImageFile(const std::string& path, const Image& image);
// Reads a whole text file (a regular file of at most kTextFileLimit bytes);
// on failure prints the reason and returns false.
bool ReadTextFile(const std::string& path, std::string& text);

// Loads and decodes a .dat file in the active language, as the window opens
// one; false (reason printed) when the file cannot be loaded.
bool LoadDocument(const std::string& path, ChannelDocument& doc);

}  // namespace cli
