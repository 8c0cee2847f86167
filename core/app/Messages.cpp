#include "core/app/Messages.h"

#include "core/app/BiText.h"

namespace {

struct Entry {
    int id;
    BiText text;
};

// The window's Chinese comes from its language module (context "StringTable"),
// which must say the same (a test compares).
const Entry kTable[] = {
    {IDS_OUT_OF_RANGE, {"Out of range,please input again.", "超出范围，请重新输入。"}},
    {IDS_COMM_ERROR,
     {"Communication Error,Please check all the connections and the radio power",
      "通讯错误，请检查所有连接和电台电源。"}},
    {IDS_CLEAR_ALL, {"All data will be Cleared!", "所有数据将被清除！"}},
    {IDS_OPEN_PORT_FAIL,
     {"Could not Open the Port,Please check whether the Port are occupied or the device are ok",
      "无法打开串口，请检查串口是否被占用或设备是否正常。"}},
    {IDS_PROGRAM_INTERRUPT,
     {"Program Interrupt, Please reset the radio and try again", "写频中断，请将电台复位后重试。"}},
    {IDS_STEP_ERROR,
     {"Error data Value, please input according the step value(6.25K/5k).", "数据错误，请按步进值（6.25K/5K）输入。"}},
    {IDS_CAUTION, {"Caution", "警告"}},
    {IDS_FREQ_FORMAT,
     {"\"%1\" is not a frequency. Please type megahertz with up to five decimals, e.g. 145.125 or 145,125 "
      "(\"MHz\" or \"M\" may follow).",
      "“%1”不是频率。请输入以兆赫（MHz）为单位、最多五位小数的频率，例如 145.125 或 "
      "145,125（数字后可带“MHz”或“M”）。"}},
};

const char* Message(int id, bool chinese)
{
    for (const Entry& e : kTable)
        if (e.id == id)
            return e.text.In(chinese);
    return nullptr;
}

}  // namespace

const char* EnglishMessage(int id) { return Message(id, false); }

const char* ChineseMessage(int id) { return Message(id, true); }
