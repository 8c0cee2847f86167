// .dat load: a file of 8192 bytes or more loads its first 8192 bytes, a
// shorter one is refused with the image untouched; a loaded document saves
// and loads again to the same bytes.
#include <cstring>
#include <string>

#include "core/radio/DatFile.h"
#include "core/radio/Document.h"
#include "fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::SetLanguage(false);
    fuzz::SetBandLimits(false);
    const std::string path = fuzz::ScratchFile("in.dat");
    FUZZ_CHECK(fuzz::WriteFile(path, std::string(reinterpret_cast<const char*>(data), size)), path);

    Image image;
    image.fill(0x5A);
    const DatResult r = LoadDatFile(path, image);
    FUZZ_CHECK(r.ok == (size >= kImageSize), r.error);
    if (!r.ok) {
        FUZZ_CHECK(!r.error.empty() && r.error.find(path) != std::string::npos, r.error);
        for (std::uint8_t b : image)
            FUZZ_CHECK(b == 0x5A, "a refused file changed the image");
        return 0;
    }
    FUZZ_CHECK(std::memcmp(image.data(), data, kImageSize) == 0, "loaded bytes differ from the file's");

    ChannelDocument doc;
    FUZZ_CHECK(doc.Load(path, false).ok, path);
    const std::string saved = fuzz::ScratchFile("saved.dat");
    const DatResult s = doc.Save(saved);
    FUZZ_CHECK(s.ok, s.error);
    ChannelDocument again;
    FUZZ_CHECK(again.Load(saved, false).ok, saved);
    FUZZ_CHECK(again.image == doc.image, "the saved image reads back different");
    return 0;
}
