#pragma once
// Every option of every progtool command, declared once (Options.cpp): each
// command's parser (Args) and the option lines of its --help are made from the
// same table, so an option cannot be taken without being listed. The manual
// page and the bash completion read the help.
#include <set>
#include <string>
#include <vector>

namespace cli {

// What a command's parser takes besides --help and -h: options that take the
// next argument (or "--opt=value") and flags that take none.
struct OptionSets {
    std::set<std::string> withValue;
    std::set<std::string> flags;
};
// The command's options; none for a name the table lacks.
OptionSets OptionsOf(const std::string& command);

// The option lines of the command's --help, in the order it lists them: the
// option at two spaces, its text at the command's column (on the next line
// when the option is too long to leave two spaces before it).
std::string OptionHelp(const std::string& command, bool chinese = false);

// The commands the table has options for.
std::vector<std::string> OptionCommands();

}  // namespace cli
