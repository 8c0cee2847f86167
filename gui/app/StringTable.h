#pragma once
// The string table of the active language module: the program's messages.
#include <QString>

#include "core/app/StringIds.h"

// Text of a string-table entry in the language of the loaded module.
QString LoadStringRes(int id);
