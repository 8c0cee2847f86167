// Every command's parser against its --help as progtool prints it: an option
// the parser takes that the help does not list fails, and so does a listed
// one it refuses, or one listed as a flag that takes a value (or the reverse).
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "cli/Args.h"
#include "cli/Options.h"

namespace {

std::string Progtool(const std::string& args)
{
    std::string out;
    FILE* p = popen(("'" PROG_PROGTOOL "' " + args + " 2>&1").c_str(), "r");
    if (!p)
        return out;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, p)) > 0;)
        out.append(buffer, n);
    pclose(p);
    return out;
}

// The commands "progtool --help" lists.
std::vector<std::string> HelpCommands()
{
    std::vector<std::string> names;
    std::istringstream in(Progtool("--help"));
    bool on = false;
    for (std::string line; std::getline(in, line);) {
        if (line == "Commands:")
            on = true;
        else if (on && line.empty())
            break;
        else if (on)
            names.push_back(line.substr(2, line.find(' ', 2) - 2));
    }
    return names;
}

// The options a help's option lines begin with ("  --port PORT  ...", "  --progress=json  ..."),
// each with whether the line shows a value after it.
std::map<std::string, bool> Listed(const std::string& help)
{
    std::map<std::string, bool> options;
    static const std::regex line("^  (--?[a-zA-Z][a-zA-Z0-9-]*)(=\\S| \\S)?");
    std::istringstream in(help);
    for (std::string text; std::getline(in, text);)
        if (std::smatch m; std::regex_search(text, m, line))
            options[m[1]] = options[m[1]] || m[2].matched;
    return options;
}

bool Refused(const std::vector<std::string>& argv, const std::string& command)
{
    try {
        cli::Args args(argv, command);
        return false;
    } catch (const cli::UsageError&) {
        return true;
    }
}

TEST(CliOptions, EveryCommandOfTheHelpHasItsOptionsDeclared)
{
    const std::vector<std::string> listed = HelpCommands();
    ASSERT_FALSE(listed.empty());
    EXPECT_EQ(listed, cli::OptionCommands());
}

TEST(CliOptions, TheHelpListsWhatTheParserTakes)
{
    for (const std::string& command : cli::OptionCommands()) {
        SCOPED_TRACE(command);
        const std::map<std::string, bool> listed = Listed(Progtool(command + " --help"));
        const cli::OptionSets sets = cli::OptionsOf(command);
        std::set<std::string> taken = sets.withValue;
        taken.insert(sets.flags.begin(), sets.flags.end());
        std::set<std::string> names;
        for (const auto& [name, value] : listed)
            names.insert(name);
        EXPECT_EQ(names, taken);
        for (const auto& [name, value] : listed) {
            SCOPED_TRACE(name);
            if (value) {
                // As listed: "--opt VALUE" and "--opt=VALUE" ("-o VALUE"); alone it lacks its value.
                EXPECT_EQ(cli::Args({name, "x"}, command).Value(name), "x");
                if (name.rfind("--", 0) == 0) {
                    EXPECT_EQ(cli::Args({name + "=x"}, command).Value(name), "x");
                }
                EXPECT_TRUE(Refused({name}, command));
            } else {
                EXPECT_TRUE(cli::Args({name}, command).Has(name));
                EXPECT_TRUE(Refused({name + "=x"}, command));
            }
        }
        EXPECT_TRUE(Refused({"--no-such-option"}, command));
    }
}

TEST(CliOptions, EveryOptionLineHasItsChinese)
{
    for (const std::string& command : cli::OptionCommands()) {
        SCOPED_TRACE(command);
        const std::string en = cli::OptionHelp(command), zh = cli::OptionHelp(command, true);
        EXPECT_EQ(Listed(zh), Listed(en));
        // Each option with its continuation lines says something in Chinese.
        std::istringstream in(zh);
        std::vector<std::string> entries;
        for (std::string line; std::getline(in, line);) {
            if (line.rfind("  -", 0) == 0 || entries.empty())
                entries.emplace_back();
            entries.back() += line.substr(line.find_first_not_of(' ')) + "\n";
        }
        for (const std::string& entry : entries)
            EXPECT_NE(entry.find_first_of("\xe4\xe5\xe6\xe7\xe8\xe9"), std::string::npos) << entry;
    }
}

}  // namespace
