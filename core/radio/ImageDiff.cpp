#include "core/radio/ImageDiff.h"

#include <algorithm>
#include <cstdio>

#include "core/radio/Document.h"
#include "core/radio/OptionFields.h"

namespace {

template <typename Pred>
std::vector<ByteRange> RangesWhere(int from, int to, Pred pred)
{
    std::vector<ByteRange> out;
    for (int i = from; i < to; ++i) {
        if (!pred(static_cast<std::size_t>(i)))
            continue;
        if (!out.empty() && out.back().last == i - 1)
            out.back().last = i;
        else
            out.push_back({i, i});
    }
    return out;
}

}  // namespace

std::vector<ByteRange> DifferingRanges(const Image& a, const Image& b, int from, int to)
{
    return RangesWhere(from, to, [&](std::size_t i) { return a[i] != b[i]; });
}

std::string ByteRangeText(const ByteRange& r)
{
    char t[32];
    if (r.first == r.last)
        std::snprintf(t, sizeof t, "0x%04X", r.first);
    else
        std::snprintf(t, sizeof t, "0x%04X-0x%04X", r.first, r.last);
    return t;
}

std::string AddressRangesText(const std::vector<ByteRange>& ranges)
{
    std::string text;
    for (const ByteRange& r : ranges)
        text += (text.empty() ? "" : ", ") + ByteRangeText(r);
    return text;
}

bool ImageDiff::RangesDiffer() const
{
    return rangesA.vhfLow != rangesB.vhfLow || rangesA.vhfHigh != rangesB.vhfHigh || rangesA.uhfLow != rangesB.uhfLow ||
           rangesA.uhfHigh != rangesB.uhfHigh;
}

bool ImageDiff::Equal() const
{
    return !RangesDiffer() && !ModelDiffers() && channels.empty() && options.empty() && otherBytes.empty();
}

namespace {

// Everything of one image the user can see, and how it goes back into bytes.
struct Facts {
    ChannelDocument doc;
    OptionFields options;
    ModelFacts model;

    Facts(const Image& image, bool chinese)
    {
        doc.Open(image, chinese);
        options = DecodeOptions(image);
        model.type = image[mem::kRadioType];
        model.band = image[mem::kBandIndex];
        const std::uint8_t* rec = image.data() + mem::kSelectedBand;
        if (rec[0] != 0xFF || rec[1] != 0xFF || rec[2] != 0xFF) {
            const BandRange r = DecodeBandRecord(rec);
            model.bandRecord = std::to_string(r.low) + "-" + std::to_string(r.high) + "MHz";
        }
    }

    // x with these facts written over it by the program's own encoders; bytes
    // and bits no encoder owns keep x's values.
    Image WrittenOver(Image x) const
    {
        EncodeDocument(doc.ranges, doc.grid, x);
        const Image beforeOptions = x;
        EncodeOptions(options, x);
        // The dialog's OK also erases six bytes; that is no field of the options.
        for (int i = 0; i < mem::kOptionClearLen; ++i)
            x[mem::kOptionClear + i] = beforeOptions[mem::kOptionClear + i];
        x[mem::kRadioType] = static_cast<std::uint8_t>(model.type);
        x[mem::kBandIndex] = static_cast<std::uint8_t>(model.band);
        std::uint8_t* rec = x.data() + mem::kSelectedBand;
        const BandRange r = ParseBandItem(model.bandRecord);
        if (model.bandRecord.empty())
            rec[0] = rec[1] = rec[2] = 0xFF;
        else
            EncodeBandRecord(r.low, r.high, rec);
        return x;
    }
};

std::string OptionText(const OptionFields& f, const OptionControl& c, bool chinese)
{
    if (c.kind == OptionKind::Edit)
        return f.powerOnName;
    if (c.kind == OptionKind::Check)
        return OptionItems(optid::kPriorityScan, chinese).at(f.beep ? 1 : 0);  // the dialog's Off/On words
    return OptionValueText(f, c.id, chinese);
}

}  // namespace

ImageDiff DiffImages(const Image& a, const Image& b, bool chinese)
{
    const Facts fa(a, chinese), fb(b, chinese);
    ImageDiff d;
    d.rangesA = fa.doc.ranges;
    d.rangesB = fb.doc.ranges;
    d.modelA = fa.model;
    d.modelB = fb.model;

    for (int row = 1; row < kGridRows; ++row) {
        const bool usedA = !fa.doc.grid.TextMatrix(row, kColRxFreq).empty();
        const bool usedB = !fb.doc.grid.TextMatrix(row, kColRxFreq).empty();
        if (!usedA && !usedB)
            continue;
        ChannelDiff c;
        c.row = row;
        c.change = !usedA ? ChannelChange::Added : !usedB ? ChannelChange::Removed : ChannelChange::Changed;
        for (int col = kColRxFreq; col <= kColName; ++col) {
            const std::string ta = fa.doc.grid.TextMatrix(row, col), tb = fb.doc.grid.TextMatrix(row, col);
            if (ta != tb)
                c.cells.push_back({col, ta, tb});
        }
        if (!c.cells.empty())
            d.channels.push_back(std::move(c));
    }

    for (const OptionControl& c : OptionControls()) {
        const std::string ta = OptionText(fa.options, c, chinese), tb = OptionText(fb.options, c, chinese);
        if (ta != tb)
            d.options.push_back({c.id, ta, tb});
    }

    // A differing byte is explained when B's fields, written over A, give B's
    // byte and A's own fields would have given something else there, or the
    // same from B's side (a removed channel's name bytes stay, as an empty
    // channel never shows them): A against B and B against A tell the same.
    const Image canonA = fa.WrittenOver(a), canonB = fb.WrittenOver(b);
    const Image aToB = fb.WrittenOver(a), bToA = fa.WrittenOver(b);
    d.otherBytes = RangesWhere(0, static_cast<int>(kImageSize), [&](std::size_t i) {
        const bool explainedAB = aToB[i] == b[i] && canonA[i] != aToB[i];
        const bool explainedBA = bToA[i] == a[i] && canonB[i] != bToA[i];
        return a[i] != b[i] && !explainedAB && !explainedBA;
    });
    return d;
}

ImageDiff DiffWithPlan(const Image& plan, const Image& radio, bool chinese)
{
    Image written = radio;
    std::copy(plan.begin() + mem::kWriteEnd, plan.end(), written.begin() + mem::kWriteEnd);
    return DiffImages(plan, written, chinese);
}
