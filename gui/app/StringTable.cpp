#include "gui/app/StringTable.h"

#include <QCoreApplication>

QString LoadStringRes(int id)
{
    // The English texts are the program's own; the language module translates
    // them under the context "StringTable".
    switch (id) {
    case IDS_OUT_OF_RANGE:
        return QCoreApplication::translate("StringTable", "Out of range,please input again.");
    case IDS_COMM_ERROR:
        return QCoreApplication::translate(
            "StringTable", "Communication Error,Please check all the connections and the radio power");
    case IDS_CLEAR_ALL:
        return QCoreApplication::translate("StringTable", "All data will be Cleared!");
    case IDS_OPEN_PORT_FAIL:
        return QCoreApplication::translate(
            "StringTable",
            "Could not Open the Port,Please check whether the Port are occupied or the device are ok");
    case IDS_PROGRAM_INTERRUPT:
        return QCoreApplication::translate("StringTable",
                                           "Program Interrupt, Please reset the radio and try again");
    case IDS_STEP_ERROR:
        return QCoreApplication::translate(
            "StringTable", "Error data Value, please input according the step value(6.25K/5k).");
    case IDS_CAUTION:
        return QCoreApplication::translate("StringTable", "Caution");
    case IDS_FREQ_FORMAT:
        return QCoreApplication::translate(
            "StringTable",
            "\"%1\" is not a frequency. Please type megahertz with up to five decimals, e.g. 145.125 or 145,125.");
    default:
        return QString();
    }
}
