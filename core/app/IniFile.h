#pragma once
// The program's own INI profile file: the whole file held in memory as ordered
// sections of ordered key/value pairs. Text is bytes (UTF-8, GB2312/GBK pass through).
#include <functional>
#include <string>
#include <vector>

// The installed program's name: its folder under <prefix>/lib and the user's
// settings folder under $XDG_CONFIG_HOME.
extern const char* const kPackageName;

// Where Program.ini is read and where changes to it go.
struct ProfilePaths {
    std::string read;
    std::string save;
    bool perUser = false;  // save is the user's copy, written atomically
};

// The user's copy of fileName: $XDG_CONFIG_HOME/<package>/fileName, or
// ~/.config/<package>/fileName when XDG_CONFIG_HOME is unset or relative;
// "" without a home directory.
std::string UserProfilePath(const std::string& fileName);

// The profile of a program in programDir. The shipped copy is fileName beside
// the program, else <programDir>/../lib/<package>/fileName (progtool installed
// in <prefix>/bin). When the shipped copy's folder is writable it is read and
// saved in place (a build tree, a private install). Otherwise the user's copy
// is read when it exists, else the shipped one, and every save goes to the
// user's copy. dirWritable decides writability (default: access(W_OK)).
ProfilePaths LocateProfile(const std::string& programDir, const std::string& fileName,
                           const std::function<bool(const std::string&)>& dirWritable = {});

class CIniFile {
public:
    explicit CIniFile(int growBy = 4);
    ~CIniFile();
    CIniFile(const CIniFile&) = delete;
    CIniFile& operator=(const CIniFile&) = delete;

    // Loads fileName for the running executable by LocateProfile.
    bool LoadFromProgramDir(const std::string& fileName, bool writeBackOnClose, bool ignoreCase, bool backupOnSave);
    // False when path cannot be read or created; LoadError() then names it and the
    // reason (a directory, device, FIFO or a file over kTextFileLimit is refused).
    bool Load(const std::string& path, bool writeBackOnClose, bool ignoreCase, bool backupOnSave);
    const std::string& LoadError() const { return m_strLoadError; }
    // Loads paths.read; with paths.perUser every later Save writes paths.save.
    bool LoadProfile(const ProfilePaths& paths, bool writeBackOnClose, bool ignoreCase, bool backupOnSave);

    std::string GetString(const std::string& section, const std::string& key, const std::string& def) const;
    std::string GetString(const std::string& key) const { return GetString("", key, ""); }
    void SetString(const std::string& section, const std::string& key, const std::string& value);
    void SetString(const std::string& key, const std::string& value) { SetString("", key, value); }

    // Writes the file when modified; returns this object's backup file name or "".
    // A file that cannot be opened or written also gives "" and sets SaveFailed();
    // SaveError() then names the file and the reason.
    std::string Save(bool makeBackup);
    bool SaveFailed() const { return m_bSaveFailed; }
    const std::string& SaveError() const { return m_strSaveError; }
    void MakeBackupName();
    void Clear();

    bool DeleteKey(const std::string& section, const std::string& key);
    bool DeleteSection(const std::string& section);
    void GetSectionNames(std::vector<std::string>& out) const;
    void GetKeyNames(const std::string& section, std::vector<std::string>& out) const;
    std::string GetListItem(const std::string& section, const std::string& key, int index, char sep) const;
    static void SplitList(const std::string& text, char sep, std::vector<std::string>& out);

    // With the layout kept, Save rewrites only the lines of changed pairs and
    // adds lines for new ones; comments, blank lines and every untouched line
    // stay byte for byte. Off by default: the whole table is written out.
    void SetKeepLayout(bool keep) { m_bKeepLayout = keep; }
    bool GetKeepLayout() const { return m_bKeepLayout; }

    bool GetWriteBackOnClose() const { return m_bWriteBackOnClose; }
    void SetWriteBackOnClose(bool b) { m_bWriteBackOnClose = b; }
    void SetBackupFileName(const std::string& name) { m_strBackupFileName = name; }
    const std::string& GetBackupFileName() const { return m_strBackupFileName; }
    const std::string& GetFilePath() const { return m_strFilePath; }
    // Where Save writes: the user's copy, or the loaded file itself.
    const std::string& GetSavePath() const { return m_strSavePath.empty() ? m_strFilePath : m_strSavePath; }
    bool IsModified() const { return m_bModified; }
    bool GetIgnoreCase() const { return m_bIgnoreCase; }

    // The directory of the running executable (its real path), without a trailing separator.
    static std::string ProgramDir();

private:
    struct Section {
        std::string name;
        std::vector<std::string> keys;
        std::vector<std::string> values;
        // Parallel to keys: each pair's identity (its line in m_lines refers to
        // it) and whether its value changed since it was read.
        std::vector<long> ids;
        std::vector<char> changed;
        long id = 0;
    };
    // One line of the file as read, with its ending ("\r\n", "\n" or "" for a
    // last line without one), the section it lies in and the pair or header
    // it holds (-1: a comment, a blank or another dropped line).
    struct Line {
        std::string text;
        std::string eol;
        long section = 0;
        long pair = -1;
        bool header = false;
    };
    std::string WholeTableText() const;
    std::string KeptLayoutText() const;
    int FindSection(const std::string& name) const;
    static int FindKey(const Section& s, const std::string& key, bool ignoreCase);
    bool NamesEqual(const std::string& a, const std::string& b) const;
    void GrowSlots(std::size_t needed);

    std::string m_strFilePath;
    std::vector<Section> m_sections;  // section 0 is the unnamed section
    std::size_t m_nSlotCapacity = 0;  // slot tables grow by m_nGrowBy, at least doubling
    int m_nGrowBy;
    bool m_bIgnoreCase = true;
    bool m_bWriteBackOnClose = false;
    bool m_bBackupOnSave = false;
    std::string m_strBackupFileName;
    bool m_bModified = false;
    bool m_bSaveFailed = false;
    std::string m_strSaveError;
    std::string m_strLoadError;
    std::string m_strSavePath;  // the user's copy; empty: save in place
    bool m_bKeepLayout = false;
    std::vector<Line> m_lines;  // the file as read, for a save that keeps its layout
    long m_nextId = 1;
};

// The one instance holding Program.ini.
extern CIniFile theIniFile;
