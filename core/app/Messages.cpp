#include "core/app/Messages.h"

const char* EnglishMessage(int id)
{
    switch (id) {
    case IDS_OUT_OF_RANGE: return "Out of range,please input again.";
    case IDS_COMM_ERROR: return "Communication Error,Please check all the connections and the radio power";
    case IDS_CLEAR_ALL: return "All data will be Cleared!";
    case IDS_OPEN_PORT_FAIL:
        return "Could not Open the Port,Please check whether the Port are occupied or the device are ok";
    case IDS_PROGRAM_INTERRUPT: return "Program Interrupt, Please reset the radio and try again";
    case IDS_STEP_ERROR: return "Error data Value, please input according the step value(6.25K/5k).";
    case IDS_CAUTION: return "Caution";
    case IDS_FREQ_FORMAT:
        return "\"%1\" is not a frequency. Please type megahertz with up to five decimals, e.g. 145.125 or 145,125 "
               "(\"MHz\" or \"M\" may follow).";
    default: return nullptr;
    }
}

const char* ChineseMessage(int id)
{
    switch (id) {
    case IDS_OUT_OF_RANGE: return "超出范围，请重新输入。";
    case IDS_COMM_ERROR: return "通讯错误，请检查所有连接和对讲机电源。";
    case IDS_CLEAR_ALL: return "所有数据将被清除！";
    case IDS_OPEN_PORT_FAIL: return "无法打开串口，请检查串口是否被占用或设备是否正常。";
    case IDS_PROGRAM_INTERRUPT: return "写频中断，请将对讲机复位后重试。";
    case IDS_STEP_ERROR: return "数据错误，请按步进值（6.25K/5K）输入。";
    case IDS_CAUTION: return "警告";
    case IDS_FREQ_FORMAT:
        return "“%1”不是频率。请输入以兆赫（MHz）为单位、最多五位小数的频率，例如 145.125 或 "
               "145,125（数字后可带“MHz”或“M”）。";
    default: return nullptr;
    }
}
