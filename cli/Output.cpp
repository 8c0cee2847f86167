#include "cli/Output.h"

#include <iostream>

#include "core/app/Globals.h"
#include "core/radio/ChannelCodec.h"

namespace cli {

const char* Tr(const char* en, const char* zh) { return g_bChinese ? zh : en; }

void BeginJsonDocument(CJsonWriter& json, const char* command)
{
    json.BeginObject().Key("schema").Int(kJsonSchema).Key("command").String(command);
}

void PrintJson(const CJsonWriter& json) { std::cout << json.Text() << std::flush; }

const char* ColumnKey(int col)
{
    static const char* const keys[kGridCols] = {"channel", "rx_frequency", "tx_frequency", "rx_tone",   "tx_tone",
                                                "power",   "lock",         "scan_add",     "bandwidth", "name"};
    return col >= 0 && col < kGridCols ? keys[col] : "";
}

std::string ChannelLabel(int row)
{
    std::string label = GridRowLabel(row);
    label.erase(0, label.find_first_not_of(' '));
    return label;
}

}  // namespace cli
