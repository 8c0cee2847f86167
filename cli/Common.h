#pragma once
// What the commands share besides output, files and transfers: the language
// switch, a word as the shell takes it back, and ports named twice.
#include <string>
#include <vector>

namespace cli {

class Args;

// Loads Program.ini from beside the executable (quietly: every value read
// from it has a default) and picks the language: --lang en|zh, else the
// [Setup] Language value by the window's rule (LanguageFromSetting). Sets
// g_bChinese, g_strLanguage and g_strHelpFile.
void SetUpLanguage(const Args& args);
// Before a command reads its arguments, so that a usage error is told in the
// language asked for: --lang en|zh wherever it stands (a wrong value is left
// to SetUpLanguage), else Program.ini's.
void SetUpLanguageEarly(const std::vector<std::string>& argv);

// A word (a port, a path) as a shell takes it back on a command line: quoted only when it must be.
std::string ShellWord(const std::string& word);

// A UsageError when one port is among names twice (FindPortNamedTwice): two
// transfers on one device would talk over each other.
void RefusePortNamedTwice(const std::vector<std::string>& names);

}  // namespace cli
