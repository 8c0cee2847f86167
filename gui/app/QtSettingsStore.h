#pragma once
// Per-user settings through QSettings: on Windows the registry key
// HKEY_CURRENT_USER\Software\<AppName>, elsewhere the platform's user settings.
#include "core/app/SettingsStore.h"

class CQtSettingsStore : public ISettingsStore {
public:
    std::optional<std::uint32_t> ReadDword(const std::string& key, const std::string& name) override;
    void WriteDword(const std::string& key, const std::string& name, std::uint32_t value) override;
    std::optional<std::string> ReadString(const std::string& key, const std::string& name) override;
    void WriteString(const std::string& key, const std::string& name, const std::string& value) override;
};
