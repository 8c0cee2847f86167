#include <iostream>

#include "cli/Common.h"
#include "cli/Output.h"
#include "core/link/Ports.h"
#include "core/link/SerialPort.h"

namespace cli {

namespace {

const char* StateKey(PortState s)
{
    switch (s) {
    case PortState::NotProbed: return "not-probed";
    case PortState::Openable: return "openable";
    case PortState::Missing: return "missing";
    case PortState::Busy: return "busy";
    case PortState::Permission: return "permission";
    case PortState::NotSerial: return "not-serial";
    case PortState::Failed: return "failed";
    }
    return "";
}

}  // namespace

int CmdPorts(const std::vector<std::string>& argv)
{
    const Args args(argv, {}, {"--all", "--json"});
    args.RequirePositional(0, "");
    SetUpLanguage(args);
    const bool json = args.Has("--json");
    CJsonWriter doc;
    BeginJsonDocument(doc, "ports");
    doc.Key("com").BeginArray();
    for (int n = 1; n <= 4; ++n) {
        const std::string name = "COM" + std::to_string(n);
        CPosixSerialPort port;
        const bool ok = port.Open(name);
        const std::string device = ok ? port.DevicePath() : MapPortName(name);
        if (json) {
            doc.BeginObject().Key("name").String(name).Key("device").String(device).Key("openable").Bool(ok);
            doc.Key("reason").String(ok ? "" : port.ErrorText()).EndObject();
            port.Close();
            continue;
        }
        std::cout << name << "  " << PadRight(device, 16) << "  ";
        if (ok)
            std::cout << "can be opened\n";
        else
            std::cout << "cannot be opened: " << port.ErrorText() << "\n";
        port.Close();
    }
    doc.EndArray();
    if (args.Has("--all")) {
        const std::vector<SerialDevice> devices = ListSerialDevices();
        doc.Key("devices").BeginArray();
        if (!json)
            std::cout << (devices.empty() ? Tr("no serial devices found\n", "未找到串口设备\n")
                                          : Tr("serial devices:\n", "串口设备:\n"));
        for (const SerialDevice& d : devices) {
            doc.BeginObject().Key("path").String(d.path).Key("kind").String(PortKindName(d.kind));
            doc.Key("target").String(d.target).Key("description").String(d.description);
            doc.Key("state").String(StateKey(d.state)).Key("openable").Bool(d.Openable());
            doc.Key("reason").String(d.reason).EndObject();
            if (json)
                continue;
            std::cout << PadRight(d.path, 16) << "  " << PadRight(PortKindName(d.kind), 6) << "  "
                      << (d.description.empty() ? "" : d.description + "  ")
                      << (d.target == d.path ? "" : "-> " + d.target + "  ")
                      << (d.Openable() ? std::string(Tr("can be opened", "可以打开"))
                                       : Tr("cannot be opened: ", "无法打开: ") + d.reason)
                      << "\n";
        }
        doc.EndArray();
    }
    doc.EndObject();
    if (json)
        PrintJson(doc);
    return kExitOk;
}

}  // namespace cli
