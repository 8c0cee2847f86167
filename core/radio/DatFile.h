#pragma once
// .dat files: the 8192 image bytes in offset order, nothing else.
#include <string>

#include "core/radio/Image.h"

struct DatResult {
    bool ok = false;
    std::string error;  // names the file and the reason when !ok
};

// Loads the first 8192 bytes of path into image. A shorter (or empty) file is
// refused and image is left untouched.
DatResult LoadDatFile(const std::string& path, Image& image);

// Writes the image atomically: a temporary file beside the target is written,
// flushed and renamed over it, so a failed save never destroys the old file.
DatResult SaveDatFile(const std::string& path, const Image& image);

// Writes any byte string atomically (used for the .dat image and other outputs).
DatResult WriteFileAtomically(const std::string& path, const void* data, std::size_t size);
