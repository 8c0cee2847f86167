// The fleet's ports resolved once (--port, --ports, --ports all) and the file each read goes to.
#include <cctype>
#include <filesystem>
#include <future>
#include <set>
#include <sstream>

#include "cli/Args.h"
#include "cli/Common.h"
#include "cli/FileChecks.h"
#include "cli/FleetCommand.h"
#include "cli/FleetText.h"
#include "cli/Output.h"
#include "cli/TransferTrace.h"
#include "core/app/Globals.h"
#include "core/link/SerialPort.h"
#include "core/platform/Files.h"
#include "core/radio/DatFile.h"

namespace cli {

namespace fs = std::filesystem;

// Every serial device of the computer and every COMn Program.ini maps to an
// existing device, once each.
std::vector<std::string> CFleetCommand::AllPorts()
{
    std::vector<std::string> names;
    std::vector<std::string> devices;
    // Once each, as the check of a port named twice tells them (links, a
    // second node of one device).
    auto add = [&](const std::string& name, const std::string& device) {
        std::vector<std::string> all = devices;
        all.push_back(device);
        if (!FindPortNamedTwice(all)) {
            devices.push_back(device);
            names.push_back(name);
        }
    };
    for (int n = 1; n <= 4; ++n) {
        const std::string name = "COM" + std::to_string(n);
        const std::string device = MapPortName(name);
        std::error_code ec;
        if (fs::exists(platform::PathOf(device), ec))
            add(name, device);
    }
    for (const SerialDevice& d : ListSerialDevices())
        add(d.path, d.path);
    return names;
}

bool CFleetCommand::ResolvePorts()
{
    std::vector<std::string> names = m_args.Values("--port");
    bool all = false;
    for (const std::string& list : m_args.Values("--ports")) {
        std::stringstream s(list);
        std::string item;
        while (std::getline(s, item, ','))
            if (item == "all")
                all = true;
            else if (!item.empty())
                names.push_back(item);
    }
    if (all) {
        if (!names.empty())
            throw UsageError(Tr("--ports all takes no other ports", "--ports all 不能再加其他端口"));
        names = AllPorts();
    }
    if (names.empty())
        throw UsageError(all ? Tr("no serial device found for --ports all", "--ports all 未找到串口设备")
                             : Tr("--port PORT (or --ports LIST) is required", "需要 --port PORT (或 --ports LIST)"));
    // A read of one named port into -o FILE stays a read into that file,
    // whatever the options; several ports (or "all") read into a directory.
    if (!m_bWrite && !m_bAudit && !all && names.size() == 1) {
        std::error_code ec;
        m_bSingleFile = !fs::is_directory(platform::PathOf(m_strFile), ec) && m_strFile.back() != '/';
    }

    RefusePortNamedTwice(names);
    bool unmapped = false;
    for (const std::string& name : names)
        if (const std::string text = UnmappedComNameText(name, g_bChinese != 0); !text.empty()) {
            Error(text + Tr(" (progtool ports lists them)", " (progtool ports 列出它们)"));
            unmapped = true;
        }
    if (unmapped) {
        Error(Tr("nothing was started", "未开始任何传输"));
        return false;
    }
    for (const ResolvedPort& port : ::ResolvePorts(names))
        m_targets.push_back(Target{port, {}});

    // A watched port may have no radio yet; any other must be there now.
    if (m_bWatch)
        return true;
    std::vector<Target> ready;
    std::vector<std::string> errors;
    for (const Target& t : m_targets) {
        const SerialDevice d = DescribeSerialDevice(t.device);
        const bool busy = d.state == PortState::Busy;
        if (d.Openable()) {
            ready.push_back(t);
        } else if (all) {
            continue;  // "all" asks only the devices that can be opened
        } else if (busy && m_args.Has("--skip-busy")) {
            m_skipped.push_back(t);
            m_skipReasons[t.name] = d.reason;
        } else {
            std::string hint;
            if (busy)
                hint = Tr("; another program holds it (--skip-busy leaves busy ports out)",
                          "; 该端口正被其他程序使用 (用 --skip-busy 跳过被占用的端口)");
            else if (d.state == PortState::Permission)
                hint =
                    Tr("; the user must be allowed to use serial devices (for example be a member of the "
                       "\"dialout\" group)",
                       "; 当前用户没有使用串口设备的权限 (例如需加入 \"dialout\" 组)");
            errors.push_back(Where(t.name, t.device) + ": " + d.reason + hint + "; " + DoctorHint(t.name));
        }
    }
    if (all) {
        // "all" means the devices a radio answers on; ask each at once.
        std::vector<std::future<bool>> answers;
        for (const Target& t : ready)
            answers.push_back(std::async(std::launch::async, [t] {
                CSerialPort port;
                return RadioAnswers(port, t.device);
            }));
        std::vector<Target> answering;
        for (std::size_t i = 0; i < ready.size(); ++i)
            if (answers[i].get())
                answering.push_back(ready[i]);
        if (answering.empty()) {
            Error(Tr("--ports all: no radio answers on any serial device", "--ports all: 没有串口设备上的电台应答"));
            return false;
        }
        ready = answering;
    }
    for (const std::string& e : errors)
        Error(e);
    if (!errors.empty()) {
        Error(Tr("nothing was started", "未开始任何传输"));
        return false;
    }
    if (ready.empty()) {
        Error(Tr("every port is busy; nothing was started", "所有端口都被占用; 未开始任何传输"));
        return false;
    }
    m_targets = ready;
    return true;
}

bool CFleetCommand::CheckOutputs()
{
    // Before any transfer: a read is not thrown away for want of a place to keep it.
    if (m_bSingleFile) {
        m_targets.front().output = m_strFile;
        // As the plain read: no file of another kind replaced unless forced.
        return CheckOutput(m_strFile, {}, FileKind::Binary, m_args.Has("--force"),
                           Tr("; nothing was read", "; 未读取")) &&
               RefuseExistingRead(m_strFile, m_args.Has("--force"));
    }
    std::error_code ec;
    if (!fs::is_directory(platform::PathOf(m_strFile), ec)) {
        Error(m_strFile + Tr(": no such directory; the reads save one file per port into an existing directory",
                             ": 目录不存在; 读取时每个端口保存一个文件到已有的目录"));
        return false;
    }
    if (std::string why; !platform::FolderWritable(m_strFile, why)) {
        Error(m_strFile + Tr(": the directory is not writable", ": 目录不可写"));
        return false;
    }
    // One file per port, named by the port: "COM1.dat", "ttyUSB0.dat"; the
    // whole path when two ports end alike.
    auto clean = [](std::string s) {
        for (char& c : s)
            if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '.' || c == '-' || c == '_'))
                c = '_';
        s.erase(0, s.find_first_not_of('_'));
        return s.empty() ? std::string("port") : s;
    };
    std::map<std::string, int> count;
    for (const Target& t : m_targets)
        ++count[clean(platform::PathText(platform::PathOf(t.name).filename()))];
    std::map<std::string, std::string> portOf;  // output file -> the port saved there
    std::vector<std::string> errors;
    for (Target& t : m_targets) {
        std::string base = clean(platform::PathText(platform::PathOf(t.name).filename()));
        if (count[base] > 1)
            base = clean(t.name);
        // Windows takes "COM5.dat" as the port itself, wherever it stands.
        if (platform::DeviceFileName(base + ".dat"))
            base += "-radio";
        t.output = platform::PathText(platform::PathOf(m_strFile) / (base + ".dat"));
        // Two radios into one file would lose one of them: refused, not renamed,
        // so that DIR/PORT.dat always holds the radio of that port.
        if (const auto it = portOf.find(t.output); it != portOf.end()) {
            errors.push_back(Tr("ports ", "端口 ") + it->second + Tr(" and ", " 和 ") + t.name +
                             Tr(" would both be saved as ", " 都会保存为 ") + t.output +
                             Tr(" (read one of them with -o FILE)", " (请用 -o FILE 单独读取其中一个)"));
            continue;
        }
        portOf[t.output] = t.name;
        if (const DatResult r = CheckSaveTarget(t.output); !r.ok)
            errors.push_back(r.error);
        else if (!m_args.Has("--force") && platform::LinkInfo(t.output).type != platform::FileType::None)
            errors.push_back(t.output +
                             Tr(": the file exists (--force replaces it)", ": 文件已存在 (用 --force 替换)"));
    }
    for (const std::string& e : errors)
        Error(e);
    if (!errors.empty())
        Error(Tr("nothing was read", "未读取"));
    return errors.empty();
}

}  // namespace cli
