#include "core/app/Globals.h"

unsigned char g_bChinese = 0;
std::string g_strLanguage;
std::string g_strHelpFile;
bool g_bNewDocument = false;
std::string g_strTitle;
