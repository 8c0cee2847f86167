#pragma once
// The program's own INI profile file: the whole file held in memory as ordered
// sections of ordered key/value pairs. Text is bytes (UTF-8, GB2312/GBK pass through).
#include <string>
#include <vector>

class CIniFile {
public:
    explicit CIniFile(int growBy = 4);
    ~CIniFile();
    CIniFile(const CIniFile&) = delete;
    CIniFile& operator=(const CIniFile&) = delete;

    // Loads fileName from the directory of the running executable.
    bool LoadFromProgramDir(const std::string& fileName, bool writeBackOnClose, bool ignoreCase,
                            bool backupOnSave);
    bool Load(const std::string& path, bool writeBackOnClose, bool ignoreCase, bool backupOnSave);

    std::string GetString(const std::string& section, const std::string& key, const std::string& def) const;
    std::string GetString(const std::string& key) const { return GetString("", key, ""); }
    void SetString(const std::string& section, const std::string& key, const std::string& value);
    void SetString(const std::string& key, const std::string& value) { SetString("", key, value); }

    // Writes the file when modified; returns this object's backup file name or "".
    // A file that cannot be opened or written also gives "" and sets SaveFailed().
    std::string Save(bool makeBackup);
    bool SaveFailed() const { return m_bSaveFailed; }
    void MakeBackupName();
    void Clear();

    bool DeleteKey(const std::string& section, const std::string& key);
    bool DeleteSection(const std::string& section);
    void GetSectionNames(std::vector<std::string>& out) const;
    void GetKeyNames(const std::string& section, std::vector<std::string>& out) const;
    std::string GetListItem(const std::string& section, const std::string& key, int index, char sep) const;
    static void SplitList(const std::string& text, char sep, std::vector<std::string>& out);

    bool GetWriteBackOnClose() const { return m_bWriteBackOnClose; }
    void SetWriteBackOnClose(bool b) { m_bWriteBackOnClose = b; }
    void SetBackupFileName(const std::string& name) { m_strBackupFileName = name; }
    const std::string& GetBackupFileName() const { return m_strBackupFileName; }
    const std::string& GetFilePath() const { return m_strFilePath; }
    bool IsModified() const { return m_bModified; }
    bool GetIgnoreCase() const { return m_bIgnoreCase; }

    // The directory of the running executable (its real path), without a trailing separator.
    static std::string ProgramDir();

private:
    struct Section {
        std::string name;
        std::vector<std::string> keys;
        std::vector<std::string> values;
    };
    int FindSection(const std::string& name) const;
    static int FindKey(const Section& s, const std::string& key, bool ignoreCase);
    bool NamesEqual(const std::string& a, const std::string& b) const;
    void GrowSlots(std::size_t needed);

    std::string m_strFilePath;
    std::vector<Section> m_sections;   // section 0 is the unnamed section
    std::size_t m_nSlotCapacity = 0;   // slot tables grow by m_nGrowBy
    int m_nGrowBy;
    bool m_bIgnoreCase = true;
    bool m_bWriteBackOnClose = false;
    bool m_bBackupOnSave = false;
    std::string m_strBackupFileName;
    bool m_bModified = false;
    bool m_bSaveFailed = false;
};

// The one instance holding Program.ini.
extern CIniFile theIniFile;
