#pragma once
// String-table ids of the program's messages; the windows and the command-line
// tool turn them into text in the active language.
inline constexpr int IDS_OUT_OF_RANGE = 61448;       // "Out of range,please input again."
inline constexpr int IDS_COMM_ERROR = 61451;         // "Communication Error,..." (Retry, Cancel)
inline constexpr int IDS_CLEAR_ALL = 61452;          // "All data will be Cleared!"
inline constexpr int IDS_OPEN_PORT_FAIL = 61453;     // "Could not Open the Port,..."
inline constexpr int IDS_PROGRAM_INTERRUPT = 61454;  // "Program Interrupt, ..."
inline constexpr int IDS_STEP_ERROR = 61456;         // "Error data Value, ... (6.25K/5k)."
inline constexpr int IDS_CAUTION = 61458;            // "Caution"
inline constexpr int IDS_FREQ_FORMAT = 61460;        // "\"%1\" is not a frequency. ..." (typed text)
