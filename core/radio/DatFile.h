#pragma once
// .dat files: the 8192 image bytes in offset order, nothing else.
#include <cstdint>
#include <string>

#include "core/files/FileIO.h"
#include "core/radio/Image.h"

// A file's outcome; LoadDatFile's `length` is the file's length, more than
// kImageSize when bytes follow the image.
using DatResult = FileResult;

// Loads the first 8192 bytes of path into image. A shorter (or empty) file is
// refused and image is left untouched; a longer one is loaded (its length
// tells, see CheckImageLength).
DatResult LoadDatFile(const std::string& path, Image& image);

// What is done with a loaded image file, for a file longer than an image.
enum class ImageUse {
    Read,     // shown, compared, exported, printed, served by a simulated radio
    Send,     // written to a radio
    Rewrite,  // changed and saved back over itself
};
struct ImageLengthCheck {
    bool refused = false;
    std::string text;  // "" for a file of the image's length, else the warning or the refusal
};
// A file longer than an image holds the image in its first 8192 bytes (so it
// is loaded); the rest is no part of the radio's memory. Reading it is only
// warned about; sending it (probably not a radio image) or saving it back (the
// bytes beyond would be lost) is refused unless forced, and then warned about.
ImageLengthCheck CheckImageLength(const std::string& path, std::uint64_t length, ImageUse use, bool force);

// Writes the image atomically (WriteFileAtomically), so a failed save never
// destroys the old file.
DatResult SaveDatFile(const std::string& path, const Image& image);
