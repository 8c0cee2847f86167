#include "core/files/TextLanguage.h"

#include <atomic>

namespace {
// Set once at start-up and on a language switch; read by the fleet's threads too.
std::atomic<bool> g_chinese{false};
}  // namespace

void SetFileTextsChinese(bool chinese) { g_chinese = chinese; }

bool FileTextsChinese() { return g_chinese; }

std::string FileText(const char* en, const char* zh) { return g_chinese ? zh : en; }
