#include "core/platform/LocalTime.h"

namespace platform {

std::tm LocalTime(std::time_t when)
{
    std::tm tm{};
    localtime_r(&when, &tm);
    return tm;
}

}  // namespace platform
