#include "core/radio/Image.h"

#include <algorithm>

Image NewDocumentImage()
{
    Image img;
    img.fill(0xFF);
    img[mem::kSquelch] = 0x01;
    img[mem::kTimeOutTimer] = 0x01;
    img[mem::kRadioType] = 0x00;
    img[mem::kBandIndex] = 0x00;
    img[mem::kStep] = 0x04;
    img[mem::kFlags1] = 0xD4;
    img[mem::kFlags2] = 0x21;
    img[mem::kVoiceSensitivity] = 0x00;
    img[mem::kAltCallTone] = 0x01;
    img[mem::kCallTone] = 0x00;
    // VHF 130-180 MHz, UHF 400-520 MHz
    const std::uint8_t ranges[6] = {0x13, 0x17, 0x09, 0x40, 0x51, 0x09};
    for (int i = 0; i < 6; ++i)
        img[mem::kVhfRange + i] = ranges[i];
    return img;
}

Image WithChannelsOf(const Image& radio, const Image& plan)
{
    Image out = radio;
    for (const mem::Span& s : mem::kChannelArea)
        std::copy(plan.begin() + s.first, plan.begin() + s.last + 1, out.begin() + s.first);
    return out;
}
