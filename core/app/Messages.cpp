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
