#pragma once
// The support report: one plain UTF-8 text a user attaches to a bug report,
// in headed sections: the program and its build, the system, the settings of
// Program.ini, the serial ports, the last transfer, the serial trace kept of
// the last failed handshake (decoded), the last messages shown and, only when
// asked, the open document. The user's home folder is never named (it is
// shown as "~"), and no document goes in unless asked for (the messages are
// quoted as shown, a value the user typed in one of them included).
#include <string>
#include <vector>

#include "core/radio/Document.h"

class CIniFile;

struct SupportFacts {
    std::string program;  // "progtool", "Program"
    std::string qt = "none";
    bool chinese = false;  // the language the user sees; also of the port list and the document
    const CIniFile* ini = nullptr;
    // The home folder to hide; HomeFolder() by default.
    std::string home;
    // The login name to hide where removable drives are mounted; UserName() by default.
    std::string user;
    // Appended only when given (the user asked for it), under its file name.
    const ChannelDocument* document = nullptr;
    std::string documentName;
};

struct SupportSection {
    std::string key;    // "program", "settings", "ports", "transfer", "trace", "messages", "document"
    std::string title;  // in the user's language
    std::string text;   // lines, each ending in '\n'
};

// The longest decoded trace a report carries, in lines; a failed handshake
// takes a few dozen.
inline constexpr std::size_t kReportTraceLines = 400;

// The sections, the home folder already hidden in each.
std::vector<SupportSection> BuildSupportReport(const SupportFacts& facts);
// The whole text: a heading line per section, its text, a blank line.
std::string SupportReportText(const std::vector<SupportSection>& sections);

// text with every mention of the folder home (not of a longer name that
// begins like it) written as "~".
std::string HideHome(const std::string& text, const std::string& home);
// text with the login name in the folders removable drives are mounted under
// (/media/NAME, /run/media/NAME) written as "<user>".
std::string HideUserInMounts(const std::string& text, const std::string& user);

// The files a report quotes (Program.ini, where it is saved, the kept transfer,
// messages and trace): a report saved over one would destroy what it describes.
std::vector<std::string> SupportReportInputs(const CIniFile* ini);

// "support-report-YYYYMMDD-HHMMSS.txt" for the local time now.
std::string DefaultSupportReportName();
