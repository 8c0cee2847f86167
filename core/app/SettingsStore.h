#pragma once
// Per-user settings (the last radio type, band and serial port), kept under a
// key named after [Setup] AppName. The windows use a QSettings-backed store;
// the tests and the command-line tool use the in-memory one.
#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "core/app/IniFile.h"

// The key the settings live under: [Setup] AppName.
inline std::string SettingsKey(const CIniFile& ini) { return ini.GetString("Setup", "AppName", ""); }

// Value names under that key: the last radio type and band, the last serial port.
inline constexpr const char* kSettingType = "Type";
inline constexpr const char* kSettingField = "Field";
inline constexpr const char* kSettingCom = "com";
// The device path chosen in COM Setup when it is none of COM1..COM4.
inline constexpr const char* kSettingDevice = "Device";
// Transfers: verify after a write, back the radio up before one, backups kept.
inline constexpr const char* kSettingVerify = "VerifyAfterWrite";
inline constexpr const char* kSettingBackupFirst = "BackupBeforeWrite";
inline constexpr const char* kSettingBackupKeep = "BackupsKept";
// The recent files, most recent first: "Recent1" .. "Recent8".
inline constexpr const char* kSettingRecentPrefix = "Recent";
// The folder file dialogs last used, by kind: "FolderDocuments", "FolderChannels", ...
inline constexpr const char* kSettingFolderPrefix = "Folder";

class ISettingsStore {
public:
    virtual ~ISettingsStore() = default;
    // The 4-byte value `name` under `key`; nullopt when missing or not a 4-byte value.
    virtual std::optional<std::uint32_t> ReadDword(const std::string& key, const std::string& name) = 0;
    virtual void WriteDword(const std::string& key, const std::string& name, std::uint32_t value) = 0;
    // Text values (a device path, a recent file); nullopt when missing. Writing "" removes it.
    virtual std::optional<std::string> ReadString(const std::string& key, const std::string& name) = 0;
    virtual void WriteString(const std::string& key, const std::string& name, const std::string& value) = 0;
    virtual void RemoveValue(const std::string& key, const std::string& name) = 0;
};

class CMemorySettingsStore : public ISettingsStore {
public:
    std::optional<std::uint32_t> ReadDword(const std::string& key, const std::string& name) override
    {
        auto it = m_values.find(key + "\\" + name);
        if (it == m_values.end())
            return std::nullopt;
        return it->second;
    }
    void WriteDword(const std::string& key, const std::string& name, std::uint32_t value) override
    {
        m_values[key + "\\" + name] = value;
    }
    std::optional<std::string> ReadString(const std::string& key, const std::string& name) override
    {
        auto it = m_strings.find(key + "\\" + name);
        if (it == m_strings.end())
            return std::nullopt;
        return it->second;
    }
    void WriteString(const std::string& key, const std::string& name, const std::string& value) override
    {
        if (value.empty())
            m_strings.erase(key + "\\" + name);
        else
            m_strings[key + "\\" + name] = value;
    }
    void RemoveValue(const std::string& key, const std::string& name) override
    {
        m_values.erase(key + "\\" + name);
        m_strings.erase(key + "\\" + name);
    }
    std::map<std::string, std::uint32_t> m_values;
    std::map<std::string, std::string> m_strings;
};
