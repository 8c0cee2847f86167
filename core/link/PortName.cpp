#include "core/link/PortName.h"

#include <atomic>
#include <memory>
#include <mutex>

#include "core/app/IniFile.h"
#include "core/platform/Files.h"
#include "core/platform/Serial.h"

namespace {

// Program.ini as last read for its [Ports], and what the file looked like then.
struct PortsCache {
    std::mutex lock;
    std::string path;
    bool ignoreCase = true;
    platform::FileInfo seen;
    std::shared_ptr<const CIniFile> ini;
};

PortsCache& Cache()
{
    static PortsCache cache;
    return cache;
}

std::atomic<std::uint64_t> g_reads{0};

bool SameFile(const platform::FileInfo& a, const platform::FileInfo& b)
{
    return a.id == b.id && a.size == b.size && a.modified == b.modified && a.changed == b.changed;
}

}  // namespace

int ComPortNumber(const std::string& name)
{
    const bool com = name.size() == 4 && (name.compare(0, 3, "COM") == 0 || name.compare(0, 3, "com") == 0);
    return com && name[3] >= '1' && name[3] <= '4' ? name[3] - '0' : 0;
}

std::string PortLabel(const std::string& name)
{
    // COM Setup stores its choice in lower case; the dialog shows it in upper.
    const int n = ComPortNumber(name);
    return n ? "COM" + std::to_string(n) : name;
}

std::string MapPortName(const std::string& name, const PortsTable& table)
{
    const int n = ComPortNumber(name);
    if (!n)
        return name;
    const std::string mapped = table ? table("COM" + std::to_string(n)) : std::string();
    return mapped.empty() ? platform::DefaultComDevice(n) : mapped;
}

PortsTable PortsLookup()
{
    const std::string path = theIniFile.GetFilePath();
    const platform::FileInfo st = path.empty() ? platform::FileInfo() : platform::Info(path);
    if (st.type != platform::FileType::Regular)
        return [](const std::string& key) { return theIniFile.GetString("Ports", key, ""); };
    PortsCache& cache = Cache();
    const std::lock_guard<std::mutex> hold(cache.lock);
    const bool ignoreCase = theIniFile.GetIgnoreCase();
    if (!cache.ini || cache.path != path || cache.ignoreCase != ignoreCase || !SameFile(cache.seen, st)) {
        auto fresh = std::make_shared<CIniFile>();
        ++g_reads;
        if (!fresh->Load(path, false, ignoreCase, false)) {
            cache.ini.reset();
            return [](const std::string& key) { return theIniFile.GetString("Ports", key, ""); };
        }
        cache.path = path;
        cache.ignoreCase = ignoreCase;
        cache.seen = st;
        cache.ini = std::move(fresh);
    }
    return [ini = cache.ini](const std::string& key) { return ini->GetString("Ports", key, ""); };
}

std::string MapPortName(const std::string& name)
{
    return MapPortName(name, ComPortNumber(name) ? PortsLookup() : PortsTable());
}

ResolvedPort ResolvePort(const std::string& name, const PortsTable& table)
{
    ResolvedPort port;
    port.name = name;
    port.label = PortLabel(name);
    port.device = MapPortName(name, table);
    // A port that is its own device (Windows' COMn) is named once.
    port.description =
        port.device == name || port.device == port.label ? port.device : port.label + " (" + port.device + ")";
    return port;
}

ResolvedPort ResolvePort(const std::string& name)
{
    return ResolvePort(name, ComPortNumber(name) ? PortsLookup() : PortsTable());
}

std::vector<ResolvedPort> ResolvePorts(const std::vector<std::string>& names)
{
    const PortsTable table = PortsLookup();
    std::vector<ResolvedPort> ports;
    for (const std::string& name : names)
        ports.push_back(ResolvePort(name, table));
    return ports;
}

std::uint64_t PortsTableReads() { return g_reads.load(); }
