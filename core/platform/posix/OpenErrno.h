#pragma once
// The class of failure an open() of a serial device gave, for the transfer's
// open and the port list's probe alike.
#include "core/platform/Serial.h"

namespace platform {
SerialFault SerialFaultOfErrno(int err);
}
