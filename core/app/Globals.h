#pragma once
// Process-wide values shared by the radio logic and the windows.
#include <string>

extern unsigned char g_bChinese;   // 1 when the Chinese interface is active
extern std::string g_strLanguage;  // [Setup] Language as read; names the branding section
extern std::string g_strHelpFile;  // "chHelp.chm" or "enHelp.chm"
extern bool g_bNewDocument;        // the image on screen came from File New
extern std::string g_strTitle;     // main window caption
