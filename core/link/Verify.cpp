#include "core/link/Verify.h"

#include <algorithm>
#include <cstdio>

#include "core/radio/ChannelCodec.h"
#include "core/radio/OptionFields.h"

namespace {

struct Collector {
    std::vector<WriteDifference> out;
    std::vector<std::vector<std::string>> parts;  // per entry: columns named so far
    std::vector<std::string> keys;

    void Add(const std::string& key, const std::string& part, int a)
    {
        std::size_t i = 0;
        while (i < keys.size() && keys[i] != key)
            ++i;
        if (i == keys.size()) {
            keys.push_back(key);
            parts.emplace_back();
            out.push_back({key, {}});
        }
        if (!part.empty() && std::find(parts[i].begin(), parts[i].end(), part) == parts[i].end())
            parts[i].push_back(part);
        auto& r = out[i].ranges;
        if (!r.empty() && r.back().last == a - 1)
            r.back().last = a;
        else if (r.empty() || r.back().last != a)
            r.push_back({a, a});
    }

    std::vector<WriteDifference> Take(bool chinese)
    {
        for (std::size_t i = 0; i < out.size(); ++i) {
            std::string joined;
            for (const std::string& p : parts[i])
                joined += (joined.empty() ? "" : chinese ? "、" : ", ") + p;
            if (!joined.empty())
                out[i].where += (chinese ? "：" : ": ") + joined;
        }
        return std::move(out);
    }
};

std::string ChannelText(int record, bool chinese)
{
    std::string label = GridRowLabel(record + 1);
    label.erase(0, label.find_first_not_of(' '));
    return (chinese ? "信道 " : "channel ") + label;
}

bool OptionByte(int a)
{
    return (a >= mem::kPowerOnName && a < mem::kPowerOnName + mem::kPowerOnNameLen) ||
           (a >= mem::kBeep && a <= mem::kUSqlAdjust) || (a >= mem::kStep && a <= mem::kPriScanTime);
}

// The Optional Features controls that show byte a differently: the sent
// image with only that byte as the radio has it, decoded as the dialog does.
std::vector<std::string> OptionsAt(const Image& sent, const Image& back, int a, bool chinese)
{
    Image mixed = sent;
    mixed[static_cast<std::size_t>(a)] = back[static_cast<std::size_t>(a)];
    const OptionFields before = DecodeOptions(sent);
    const OptionFields after = DecodeOptions(mixed);
    std::vector<std::string> labels;
    for (const OptionControl& c : OptionControls()) {
        const bool differs = c.kind == OptionKind::List   ? OptionIndex(before, c.id) != OptionIndex(after, c.id)
                             : c.kind == OptionKind::Edit ? before.powerOnName != after.powerOnName
                                                          : before.beep != after.beep;
        if (differs)
            labels.push_back(OptionLabel(c.id, chinese));
    }
    return labels;
}

}  // namespace

std::vector<WriteDifference> CompareWrittenImage(const Image& sent, const Image& back, bool chinese)
{
    const std::string hidden = chinese ? "界面不显示的字节" : "bytes no screen shows";
    const std::string channelFields[] = {GridHeading(kColRxFreq, chinese), GridHeading(kColTxFreq, chinese),
                                         GridHeading(kColRxTone, chinese), GridHeading(kColTxTone, chinese)};
    Collector c;
    for (int a = 0; a < mem::kWriteEnd; ++a) {
        const auto i = static_cast<std::size_t>(a);
        if (sent[i] == back[i])
            continue;
        if (a < mem::kChannelCount * mem::kChannelSize) {
            const int o = a % mem::kChannelSize;
            const std::string ch = ChannelText(a / mem::kChannelSize, chinese);
            if (o < 12) {
                // Rx and Tx frequency take four bytes each, the two tones two.
                c.Add(ch, channelFields[o < 8 ? o / 4 : 2 + (o - 8) / 2], a);
            } else if (o == 12) {
                // The flag byte: each column has its bits.
                const int diff = sent[i] ^ back[i];
                const std::pair<int, int> bits[] = {
                    {0x30, kColPower}, {0x08, kColLock}, {0x04, kColScanAdd}, {0x02, kColBandwidth}};
                bool named = false;
                for (const auto& [mask, col] : bits)
                    if (diff & mask) {
                        c.Add(ch, GridHeading(col, chinese), a);
                        named = true;
                    }
                if (!named)
                    c.Add(hidden, "", a);
            } else {
                c.Add(hidden, "", a);
            }
        } else if (a >= mem::kNameBase && a < mem::kNameBase + mem::kChannelCount * mem::kNameSize) {
            c.Add(ChannelText((a - mem::kNameBase) / mem::kNameSize, chinese), GridHeading(kColName, chinese), a);
            if (a >= mem::kSelectedBand && a < mem::kSelectedBand + 3)
                c.Add(chinese ? "所选频段" : "selected band", "", a);
        } else if (OptionByte(a)) {
            const std::vector<std::string> labels = OptionsAt(sent, back, a, chinese);
            for (const std::string& label : labels)
                c.Add(label, "", a);
            if (labels.empty())
                c.Add(hidden, "", a);
        } else if (a == mem::kRadioType) {
            c.Add(chinese ? "机型（类型设置）" : "radio type (Product Information)", "", a);
        } else if (a == mem::kBandIndex) {
            c.Add(chinese ? "频段（类型设置）" : "frequency band (Product Information)", "", a);
        } else if (a >= mem::kVhfRange && a < mem::kVhfRange + 3) {
            c.Add(chinese ? "VHF 编辑范围" : "VHF edit range", "", a);
        } else if (a >= mem::kUhfRange && a < mem::kUhfRange + 3) {
            c.Add(chinese ? "UHF 编辑范围" : "UHF edit range", "", a);
        } else {
            c.Add(hidden, "", a);
        }
    }
    return c.Take(chinese);
}
