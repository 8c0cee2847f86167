#pragma once
// Program.ini text as Qt text: UTF-8 when valid, else GB18030 (files saved on
// Chinese Windows). The window and progtool's report read branding alike.
#include <QString>
#include <string>

QString FromIni(const std::string& bytes);
