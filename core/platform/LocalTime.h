#pragma once
// The local calendar time of a moment, safe on any thread (localtime_r on
// POSIX, localtime_s on Windows).
#include <ctime>

namespace platform {

// when in the local time zone; all zero when it cannot be told.
std::tm LocalTime(std::time_t when);

}  // namespace platform
