#include "core/app/IniFile.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>

#include "core/files/FileIO.h"
#include "core/files/TextFile.h"
#include "core/platform/Files.h"
#include "core/platform/Paths.h"
#include "core/files/TextLanguage.h"

#ifndef PROG_PACKAGE_NAME
#error "PROG_PACKAGE_NAME names the installed program's folders"
#endif

const char* const kPackageName = PROG_PACKAGE_NAME;

CIniFile theIniFile(4);

namespace {

constexpr const char* kWhiteSpace = " \t\r\n\v\f";

std::string Trim(const std::string& s)
{
    const std::size_t first = s.find_first_not_of(kWhiteSpace);
    if (first == std::string::npos)
        return std::string();
    const std::size_t last = s.find_last_not_of(kWhiteSpace);
    return s.substr(first, last - first + 1);
}

// ASCII letters fold; bytes of Chinese text (GB2312 or UTF-8, all >= 0x80)
// must compare exactly, so only the 7-bit range is touched.
unsigned char FoldAscii(unsigned char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<unsigned char>(c - 'a' + 'A') : c;
}

bool EqualText(const std::string& a, const std::string& b, bool ignoreCase)
{
    if (a.size() != b.size())
        return false;
    if (!ignoreCase)
        return a == b;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (FoldAscii(static_cast<unsigned char>(a[i])) != FoldAscii(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

std::string JoinPath(const std::string& dir, const std::string& name)
{
    return (dir.empty() || dir.back() == '/') ? dir + name : dir + "/" + name;
}

bool IsFile(const std::string& path) { return platform::Info(path).type == platform::FileType::Regular; }

std::string ParentDir(const std::string& path)
{
    const std::string parent = platform::PathText(platform::PathOf(path).parent_path());
    return parent.empty() ? std::string(".") : parent;
}

}  // namespace

std::string UserProfilePath(const std::string& fileName)
{
    const std::string base = platform::UserConfigFolder();
    if (base.empty())
        return std::string();
    return JoinPath(JoinPath(base, kPackageName), fileName);
}

ProfilePaths LocateProfile(const std::string& programDir, const std::string& fileName,
                           const std::function<bool(const std::string&)>& dirWritable)
{
    std::string shipped = JoinPath(programDir, fileName);
    if (!IsFile(shipped)) {
        const std::string installed = JoinPath(programDir, std::string("../lib/") + kPackageName + "/" + fileName);
        if (IsFile(installed))
            shipped = installed;
    }
    const std::string dir = ParentDir(shipped);
    const bool writable = dirWritable ? dirWritable(dir) : platform::CanWriteFolder(dir);
    const std::string user = writable ? std::string() : UserProfilePath(fileName);
    if (user.empty())
        return ProfilePaths{shipped, shipped, false};
    return ProfilePaths{IsFile(user) ? user : shipped, user, true};
}

CIniFile::CIniFile(int growBy) : m_nGrowBy(growBy > 0 ? growBy : 1) {}

CIniFile::~CIniFile()
{
    if (m_bWriteBackOnClose)
        Save(m_bBackupOnSave);
    Clear();
}

std::string CIniFile::ProgramDir() { return platform::ExecutableFolder(); }

bool CIniFile::LoadFromProgramDir(const std::string& fileName, bool writeBackOnClose, bool ignoreCase,
                                  bool backupOnSave)
{
    return LoadProfile(LocateProfile(ProgramDir(), fileName), writeBackOnClose, ignoreCase, backupOnSave);
}

bool CIniFile::LoadProfile(const ProfilePaths& paths, bool writeBackOnClose, bool ignoreCase, bool backupOnSave)
{
    const bool ok = Load(paths.read, writeBackOnClose, ignoreCase, backupOnSave);
    if (paths.perUser)
        m_strSavePath = paths.save;
    return ok;
}

bool CIniFile::NamesEqual(const std::string& a, const std::string& b) const { return EqualText(a, b, m_bIgnoreCase); }

int CIniFile::FindSection(const std::string& name) const
{
    for (std::size_t i = 0; i < m_sections.size(); ++i) {
        if (NamesEqual(m_sections[i].name, name))
            return static_cast<int>(i);
    }
    return -1;
}

int CIniFile::FindKey(const Section& s, const std::string& key, bool ignoreCase)
{
    // The last occurrence wins, as a later line in the file overrides an earlier one.
    for (std::size_t j = s.keys.size(); j-- > 0;) {
        if (EqualText(s.keys[j], key, ignoreCase))
            return static_cast<int>(j);
    }
    return -1;
}

void CIniFile::GrowSlots(std::size_t needed)
{
    // At least m_nGrowBy more, and at least double: loading stays linear in the sections.
    if (m_nSlotCapacity >= needed)
        return;
    m_nSlotCapacity = std::max({needed, m_nSlotCapacity + static_cast<std::size_t>(m_nGrowBy), m_nSlotCapacity * 2});
    m_sections.reserve(m_nSlotCapacity);
}

bool CIniFile::Load(const std::string& path, bool writeBackOnClose, bool ignoreCase, bool backupOnSave)
{
    if (!m_strFilePath.empty()) {
        Save(false);
        Clear();
    }
    m_strSavePath.clear();
    m_strLoadError.clear();
    m_bWriteBackOnClose = writeBackOnClose;
    m_bIgnoreCase = ignoreCase;
    m_bBackupOnSave = backupOnSave;

    // A missing file is created empty; an existing one is never truncated here.
    // Only a regular file of sane size is read: a FIFO or a device named as the
    // profile must not hold up start-up.
    std::string text;
    if (platform::Info(path).type != platform::FileType::None) {
        TextFileResult r = ReadBoundedTextFile(path);
        if (!r.ok) {
            m_strLoadError = r.error;
            return false;
        }
        text = std::move(r.text);
    } else {
        if (const std::string why = platform::CreateIfMissing(path); !why.empty()) {
            m_strLoadError = FileText("Cannot open \"", "无法打开 \"") + path + "\": " + why;
            return false;
        }
    }

    m_strFilePath = path;
    m_sections.clear();
    m_lines.clear();
    m_nSlotCapacity = 0;
    GrowSlots(static_cast<std::size_t>(m_nGrowBy));
    m_sections.push_back(Section{});
    m_sections.back().id = m_nextId++;

    auto handleLine = [this](std::string raw, std::string eol) {
        // Text after a zero byte is not part of the line (a file padded with
        // zeros by an earlier in-place save reads back as empty lines), and
        // the padding is no line to keep.
        const std::size_t nul = raw.find('\0');
        if (nul != std::string::npos) {
            raw.erase(nul);
            if (raw.empty())
                return;
        }
        const std::string line = Trim(raw);
        Line kept{std::move(raw), std::move(eol), m_sections.back().id};
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            GrowSlots(m_sections.size() + 1);
            Section s;
            s.name = line.substr(1, line.size() - 2);
            s.id = m_nextId++;
            kept.section = s.id;
            kept.header = true;
            m_sections.push_back(std::move(s));
            m_lines.push_back(std::move(kept));
            return;
        }
        std::string key, value;
        const std::size_t eq = line.find('=');
        if (eq == std::string::npos) {
            key = line;
        } else {
            key = Trim(line.substr(0, eq));
            value = Trim(line.substr(eq + 1));
        }
        const char c = key.empty() ? ';' : key.front();
        if (c != ';' && c != '/' && c != '*' && c != '\\') {
            Section& cur = m_sections.back();
            kept.pair = m_nextId++;
            cur.keys.push_back(std::move(key));
            cur.values.push_back(std::move(value));
            cur.ids.push_back(kept.pair);
            cur.changed.push_back(0);
        }
        m_lines.push_back(std::move(kept));
    };

    std::size_t start = 0;
    for (std::size_t lf; (lf = text.find('\n', start)) != std::string::npos; start = lf + 1) {
        std::string raw = text.substr(start, lf - start);
        const bool cr = !raw.empty() && raw.back() == '\r';
        if (cr)
            raw.pop_back();
        handleLine(std::move(raw), cr ? "\r\n" : "\n");
    }
    if (start < text.size())
        handleLine(text.substr(start), std::string());
    return true;
}

std::string CIniFile::GetString(const std::string& section, const std::string& key, const std::string& def) const
{
    const int si = FindSection(section);
    if (si < 0)
        return def;
    const Section& s = m_sections[static_cast<std::size_t>(si)];
    const int ki = FindKey(s, key, m_bIgnoreCase);
    if (ki < 0)
        return def;
    std::string value = s.values[static_cast<std::size_t>(ki)];
    // Trailing comments stay in the file but not in what callers see. The cut
    // is not followed by a trim: "Chinese // x" reads as "Chinese ".
    for (const char* marker : {"//", "\t;", "/*"}) {
        const std::size_t pos = value.find(marker);
        if (pos != std::string::npos)
            value.erase(pos);
    }
    return value;
}

void CIniFile::SetString(const std::string& section, const std::string& key, const std::string& value)
{
    if (m_strFilePath.empty())
        return;
    int si = FindSection(section);
    if (si < 0) {
        GrowSlots(m_sections.size() + 1);
        Section s;
        s.name = section;
        s.id = m_nextId++;
        m_sections.push_back(std::move(s));
        si = static_cast<int>(m_sections.size()) - 1;
        m_bModified = true;
    }
    Section& s = m_sections[static_cast<std::size_t>(si)];
    const int ki = FindKey(s, key, m_bIgnoreCase);
    if (ki < 0) {
        s.keys.push_back(key);
        s.values.push_back(value);
        s.ids.push_back(m_nextId++);
        s.changed.push_back(1);
        m_bModified = true;
        return;
    }
    std::string& stored = s.values[static_cast<std::size_t>(ki)];
    if (!NamesEqual(stored, value))
        m_bModified = true;
    if (stored != value)
        s.changed[static_cast<std::size_t>(ki)] = 1;
    stored = value;
}

std::string CIniFile::Save(bool makeBackup)
{
    m_bSaveFailed = false;
    m_strSaveError.clear();
    if (!m_bModified || m_strFilePath.empty())
        return std::string();

    if (makeBackup) {
        if (m_strBackupFileName.empty())
            MakeBackupName();
        // The copy is of the file this save replaces; one that cannot be
        // made does not stop the save.
        if (IsFile(GetSavePath()))
            platform::CopyReplacing(GetSavePath(), m_strBackupFileName);
    }

    const std::string text = m_bKeepLayout ? KeptLayoutText() : WholeTableText();
    if (!m_strSavePath.empty()) {
        // The user's copy is replaced whole or not at all. Its folders may not
        // exist yet: made private (0700), as settings folders are.
        std::string dir;
        for (const auto& part : platform::PathOf(ParentDir(m_strSavePath))) {
            dir = platform::PathText(platform::PathOf(dir) / part);
            platform::MakeFolder(dir);
        }
        const FileResult r = WriteFileAtomically(m_strSavePath, text.data(), text.size());
        if (!r.ok) {
            m_bSaveFailed = true;
            m_strSaveError = r.error;
            return std::string();
        }
        return m_strBackupFileName;
    }

    auto refuse = [this](const std::string& reason) {
        m_bSaveFailed = true;
        m_strSaveError = FileText("Cannot save \"", "无法保存 \"") + m_strFilePath + "\": " + reason;
        return std::string();
    };
    // Written in place, through a symbolic link to its target; never into a
    // device or FIFO, and never over a file made read-only.
    if (const platform::FileInfo old = platform::Info(m_strFilePath); old.type != platform::FileType::None) {
        if (old.type != platform::FileType::Regular)
            return refuse(
                FileText("it is not a regular file; only a regular file is written", "它不是普通文件; 只写入普通文件"));
        if (!old.writeBits || platform::WriteAccess(m_strFilePath) == platform::Access::Denied)
            return refuse(FileText("the file is read-only; make it writable (", "该文件是只读的; 请使其可写 (") +
                          platform::MakeWritableHint(false) + FileText(") to keep the settings", ") 以保存设置"));
    } else if (old.notFound && platform::WriteAccess(ParentDir(m_strFilePath)) == platform::Access::Denied) {
        return refuse(FileText("the folder \"", "文件夹 \"") + ParentDir(m_strFilePath) +
                      FileText("\" is not writable", "\" 不可写"));
    }
    if (const std::string why = platform::WriteInPlace(m_strFilePath, text); !why.empty())
        return refuse(why);
    return m_strBackupFileName;
}

std::string CIniFile::WholeTableText() const
{
    std::string text;
    for (const Section& s : m_sections) {
        // Every section but the unnamed first one keeps its heading, "[]"
        // included: without it its keys would join the section before.
        if (&s != &m_sections.front())
            text += "[" + s.name + "]\r\n";
        for (std::size_t j = 0; j < s.keys.size(); ++j) {
            if (s.keys[j].empty())
                text += s.values[j];
            else
                text += s.keys[j] + "=" + s.values[j];
            text += "\r\n";
        }
    }
    return text;
}

std::string CIniFile::KeptLayoutText() const
{
    // Where each section and pair is now: deleted ones are gone from the tables.
    std::map<long, std::size_t> sectionAt;
    std::map<long, std::pair<std::size_t, std::size_t>> pairAt;
    for (std::size_t si = 0; si < m_sections.size(); ++si) {
        sectionAt[m_sections[si].id] = si;
        for (std::size_t j = 0; j < m_sections[si].ids.size(); ++j)
            pairAt[m_sections[si].ids[j]] = {si, j};
    }
    // A pair added since loading goes after the last line of its section's
    // header or pairs, before the comments and blanks leading to the next one.
    std::set<long> fromFile, withLine;
    std::map<long, std::size_t> anchor;
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        const Line& l = m_lines[i];
        if (l.header)
            withLine.insert(l.section);
        if (l.pair >= 0 && pairAt.count(l.pair))
            fromFile.insert(l.pair);
        if (l.header || (l.pair >= 0 && pairAt.count(l.pair)))
            anchor[l.section] = i;
    }
    // New lines end as the file's lines do.
    std::string eolNew = "\r\n";
    for (const Line& l : m_lines) {
        if (!l.eol.empty()) {
            eolNew = l.eol;
            break;
        }
    }

    std::string out;
    auto put = [&](const std::string& text, const std::string& eol) {
        if (!out.empty() && out.back() != '\n')
            out += eolNew;
        out += text;
        out += eol;
    };
    auto pairText = [](const Section& s, std::size_t j) {
        return s.keys[j].empty() ? s.values[j] : s.keys[j] + "=" + s.values[j];
    };
    auto putAdded = [&](const Section& s) {
        for (std::size_t j = 0; j < s.ids.size(); ++j) {
            if (!fromFile.count(s.ids[j]))
                put(pairText(s, j), eolNew);
        }
    };

    const Section& unnamed = m_sections.front();
    bool unnamedAdded = anchor.count(unnamed.id) != 0;  // else they go before the first heading
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        const Line& l = m_lines[i];
        if (!sectionAt.count(l.section))
            continue;  // its section was deleted
        if (l.header && !unnamedAdded) {
            putAdded(unnamed);
            unnamedAdded = true;
        }
        if (l.pair >= 0) {
            const auto at = pairAt.find(l.pair);
            if (at == pairAt.end())
                continue;  // the key was deleted
            const Section& s = m_sections[at->second.first];
            const std::size_t j = at->second.second;
            put(s.changed[j] ? pairText(s, j) : l.text, l.eol);
        } else {
            put(l.text, l.eol);
        }
        if (const auto a = anchor.find(l.section); a != anchor.end() && a->second == i)
            putAdded(m_sections[sectionAt[l.section]]);
    }
    if (!unnamedAdded)
        putAdded(unnamed);
    for (const Section& s : m_sections) {
        if (&s == &unnamed || withLine.count(s.id))
            continue;
        put("[" + s.name + "]", eolNew);
        putAdded(s);
    }
    return out;
}

void CIniFile::MakeBackupName()
{
    namespace fs = std::filesystem;
    const fs::path path = platform::PathOf(GetSavePath());
    fs::path dir = path.parent_path();
    if (dir.empty())
        dir = ".";
    std::string stem = platform::PathText(path.filename());
    const std::size_t dot = stem.rfind('.');
    if (dot != std::string::npos)
        stem.erase(dot);

    // Every file starting with the stem counts, the INI file and earlier
    // backups alike; only the last three characters of a name are read.
    int highest = 0;
    std::error_code ec;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = platform::PathText(it->path().filename());
        if (name.compare(0, stem.size(), stem) != 0)
            continue;
        const std::string tail = name.size() > 3 ? name.substr(name.size() - 3) : name;
        highest = std::max(highest, std::atoi(tail.c_str()));
    }
    char number[16];
    std::snprintf(number, sizeof number, "%.3d", highest + 1);
    m_strBackupFileName = GetSavePath() + "." + number;
}

void CIniFile::Clear()
{
    m_sections.clear();
    m_lines.clear();
    m_nSlotCapacity = 0;
    m_strFilePath.clear();
    m_bModified = false;
}

bool CIniFile::DeleteKey(const std::string& section, const std::string& key)
{
    const int si = FindSection(section);
    if (si < 0)
        return false;
    Section& s = m_sections[static_cast<std::size_t>(si)];
    const int ki = FindKey(s, key, m_bIgnoreCase);
    if (ki < 0)
        return false;
    s.keys.erase(s.keys.begin() + ki);
    s.values.erase(s.values.begin() + ki);
    s.ids.erase(s.ids.begin() + ki);
    s.changed.erase(s.changed.begin() + ki);
    m_bModified = true;
    return true;
}

bool CIniFile::DeleteSection(const std::string& section)
{
    const int si = FindSection(section);
    if (si < 0)
        return false;
    m_sections.erase(m_sections.begin() + si);
    m_bModified = true;
    return true;
}

void CIniFile::GetSectionNames(std::vector<std::string>& out) const
{
    for (const Section& s : m_sections) {
        if (!s.name.empty())
            out.push_back(s.name);
    }
}

void CIniFile::GetKeyNames(const std::string& section, std::vector<std::string>& out) const
{
    const int si = FindSection(section);
    if (si < 0)
        return;
    const Section& s = m_sections[static_cast<std::size_t>(si)];
    out.insert(out.end(), s.keys.begin(), s.keys.end());
}

std::string CIniFile::GetListItem(const std::string& section, const std::string& key, int index, char sep) const
{
    const std::string value = Trim(GetString(section, key, ""));
    if (value.empty())
        return std::string();
    std::vector<std::string> items;
    SplitList(value, sep, items);
    if (index < 0 || static_cast<std::size_t>(index) >= items.size())
        return std::string();
    return Trim(items[static_cast<std::size_t>(index)]);
}

void CIniFile::SplitList(const std::string& text, char sep, std::vector<std::string>& out)
{
    if (text.empty() || text == "(null)")
        return;
    std::size_t start = 0;
    for (std::size_t pos; (pos = text.find(sep, start)) != std::string::npos; start = pos + 1)
        out.push_back(text.substr(start, pos - start));
    out.push_back(text.substr(start));
}
