#pragma once
// The English text of every string-table entry: the program's own language.
// The window shows it through its translation (context "StringTable"); the
// command-line tool prints it as it is.
#include "core/app/StringIds.h"

// nullptr for an id the table does not hold.
const char* EnglishMessage(int id);

// The same in Chinese, for the command-line tool, which has no language
// module: it must say what the window's Chinese module says (a test compares).
const char* ChineseMessage(int id);
