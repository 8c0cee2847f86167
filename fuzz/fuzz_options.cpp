// Option fields: what the dialog shows of any image is what it shows again
// after an OK without changes; fields the user sets are the fields read back;
// the encode touches no byte outside the option bytes.
#include <algorithm>
#include <array>
#include <cstring>
#include <string>

#include "core/radio/OptionFields.h"
#include "fuzz/FuzzSupport.h"

namespace {

const int kOptionBytes[] = {
    mem::kBeep,   mem::kSquelch, mem::kTimeOutTimer,     mem::kVSqlAdjust,   mem::kUSqlAdjust, mem::kStep,
    mem::kFlags1, mem::kFlags2,  mem::kVoiceSensitivity, mem::kBatterySaver, mem::kCallTone,   mem::kPriScanTime};

bool IsOptionByte(int offset)
{
    static const std::array<bool, kImageSize> mask = [] {
        std::array<bool, kImageSize> m{};
        for (int i = 0; i < mem::kOptionClearLen; ++i)
            m[static_cast<std::size_t>(mem::kOptionClear + i)] = true;
        for (int i = 0; i < mem::kPowerOnNameLen; ++i)
            m[static_cast<std::size_t>(mem::kPowerOnName + i)] = true;
        for (int b : kOptionBytes)
            m[static_cast<std::size_t>(b)] = true;
        return m;
    }();
    return mask[static_cast<std::size_t>(offset)];
}

std::string Name(int id) { return OptionLabel(id, false); }

void CheckUntouched(const Image& before, const Image& after)
{
    for (int i = 0; i < static_cast<int>(kImageSize); ++i)
        if (!IsOptionByte(i))
            FUZZ_CHECK(before[i] == after[i], "byte " + std::to_string(i) + " changed by the options encode");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::Input in(data, size);
    // Option bytes live at the end of the image: the input fills it from 0x12E0.
    Image image;
    image.fill(0xFF);
    const std::size_t n = std::min(in.Remaining(), kImageSize - mem::kOptionClear);
    std::memcpy(image.data() + mem::kOptionClear, in.Here(), n);

    // Open the dialog on the image and press OK.
    const OptionFields shown = DecodeOptions(image);
    Image ok = image;
    EncodeOptions(shown, ok);
    CheckUntouched(image, ok);
    const OptionFields again = DecodeOptions(ok);
    for (const OptionControl& c : OptionControls()) {
        if (c.kind != OptionKind::List)
            continue;
        const int was = OptionIndex(shown, c.id);
        FUZZ_CHECK(was < static_cast<int>(OptionItems(c.id, false).size()), Name(c.id) + " shows no item");
        if (was >= 0)
            FUZZ_CHECK(OptionIndex(again, c.id) == was,
                       Name(c.id) + ": " + std::to_string(was) + " became " + std::to_string(OptionIndex(again, c.id)));
    }
    FUZZ_CHECK(again.beep == shown.beep, "Beep");
    FUZZ_CHECK(CheckPowerOnName(again.powerOnName).Ok(), "power-on name read back \"" + again.powerOnName + "\"");

    // Choose every list and the name from the input's last bytes, press OK.
    fuzz::Input choice(data + size - std::min<std::size_t>(size, 40), std::min<std::size_t>(size, 40));
    OptionFields set = again;
    for (const OptionControl& c : OptionControls()) {
        if (c.kind != OptionKind::List)
            continue;
        const int items = static_cast<int>(OptionItems(c.id, false).size());
        SetOptionIndex(set, c.id, choice.Byte() % items);
    }
    set.beep = choice.Byte() & 1;
    static const char kChars[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-_";
    set.powerOnName.clear();
    for (int len = choice.Byte() % (mem::kPowerOnNameLen + 1); len > 0; --len)
        set.powerOnName += kChars[choice.Byte() % (sizeof kChars - 1)];
    Image chosen = ok;
    EncodeOptions(set, chosen);
    CheckUntouched(ok, chosen);
    const OptionFields read = DecodeOptions(chosen);
    for (const OptionControl& c : OptionControls())
        if (c.kind == OptionKind::List)
            FUZZ_CHECK(OptionIndex(read, c.id) == OptionIndex(set, c.id),
                       Name(c.id) + ": set " + std::to_string(OptionIndex(set, c.id)) + ", read " +
                           std::to_string(OptionIndex(read, c.id)));
    FUZZ_CHECK(read.beep == set.beep, "Beep");
    FUZZ_CHECK(read.powerOnName == set.powerOnName,
               "name \"" + set.powerOnName + "\" read \"" + read.powerOnName + "\"");
    return 0;
}
