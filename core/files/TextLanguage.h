#pragma once
// The language of this layer's messages (a file that cannot be saved or read).
// core/files sits below core/app and its g_bChinese: ApplyLanguage sets both.
#include <string>

void SetFileTextsChinese(bool chinese);
bool FileTextsChinese();
// en or zh, as the language is set.
std::string FileText(const char* en, const char* zh);
