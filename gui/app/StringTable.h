#pragma once
// The string table of the active language module: the program's messages.
#include <QString>

enum StringId {
    IDS_OUT_OF_RANGE = 61448,      // "Out of range,please input again."
    IDS_COMM_ERROR = 61451,        // "Communication Error,Please check all the connections and the radio power"
    IDS_CLEAR_ALL = 61452,         // "All data will be Cleared!"
    IDS_OPEN_PORT_FAIL = 61453,    // "Could not Open the Port,Please check whether the Port are occupied or the device are ok"
    IDS_PROGRAM_INTERRUPT = 61454, // "Program Interrupt, Please reset the radio and try again"
    IDS_STEP_ERROR = 61456,        // "Error data Value, please input according the step value(6.25K/5k)."
    IDS_CAUTION = 61458,           // "Caution"
};

// Text of a string-table entry in the language of the loaded module.
QString LoadStringRes(int id);
