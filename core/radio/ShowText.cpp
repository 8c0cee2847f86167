#include "core/radio/ShowText.h"

#include <algorithm>
#include <vector>

#include "core/app/DisplayText.h"
#include "core/radio/OptionFields.h"
#include "core/radio/RadioCatalogue.h"

std::string ChannelTableText(const ChannelDocument& doc, const CRadioCatalogue& catalogue, bool zh)
{
    const int type = doc.image[mem::kRadioType];
    const int band = doc.image[mem::kBandIndex];
    const std::string typeName = catalogue.TypeName(type);
    const std::string bandName = catalogue.Band(type, band);
    std::string out = "VHF: " + std::to_string(doc.ranges.vhfLow) + " - " + std::to_string(doc.ranges.vhfHigh) +
                      "   UHF: " + std::to_string(doc.ranges.uhfLow) + " - " + std::to_string(doc.ranges.uhfHigh) +
                      "\n";
    out += (zh ? "机型: " : "Type: ") + std::to_string(type);
    if (!typeName.empty())
        out += " (" + typeName + ")";
    out += std::string("   ") + (zh ? "频段: " : "Band: ") + std::to_string(band);
    if (!bandName.empty())
        out += " (" + bandName + ")";
    out += "\n";

    // The window hides the Cha Lock column; so does this table.
    std::vector<int> cols;
    for (int c = 0; c < kGridCols; ++c)
        if (c != kColLock)
            cols.push_back(c);
    std::vector<int> rows = {0};
    for (int r = 1; r < kGridRows; ++r)
        if (!doc.grid.TextMatrix(r, kColRxFreq).empty())
            rows.push_back(r);
    std::vector<int> width(kGridCols, 0);
    for (int r : rows)
        for (int c : cols)
            width[c] = std::max(width[c], DisplayWidth(doc.grid.TextMatrix(r, c)));
    for (int r : rows) {
        std::string line;
        for (std::size_t k = 0; k < cols.size(); ++k) {
            const std::string cell = doc.grid.TextMatrix(r, cols[k]);
            line += k + 1 < cols.size() ? PadRight(cell, width[cols[k]] + 2) : cell;
        }
        while (!line.empty() && line.back() == ' ')
            line.pop_back();
        out += line + "\n";
    }
    out += std::to_string(rows.size() - 1) + (zh ? " 个信道\n" : " channels used\n");
    return out;
}

std::string OptionCheckText(bool on, bool chinese) { return OptionItems(optid::kPriorityScan, chinese).at(on ? 1 : 0); }

std::string OptionShownText(const OptionFields& fields, const OptionControl& c, bool zh)
{
    if (c.kind == OptionKind::Edit)
        return fields.powerOnName;
    if (c.kind == OptionKind::Check)
        return OptionCheckText(fields.beep, zh);
    return OptionValueText(fields, c.id, zh);
}

std::string OptionsText(const Image& image, bool zh)
{
    const OptionFields fields = DecodeOptions(image);
    std::string out;
    for (const OptionControl& c : OptionControls())
        out += std::string(zh ? c.labelZh : c.labelEn) + ": " + OptionShownText(fields, c, zh) + "\n";
    return out;
}
