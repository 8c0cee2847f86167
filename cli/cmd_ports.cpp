#include <iostream>

#include "cli/Common.h"
#include "cli/Output.h"
#include "core/app/Globals.h"
#include "core/link/Ports.h"
#include "core/link/PortName.h"

namespace cli {

namespace {

std::string StateText(const SerialDevice& d)
{
    if (d.Openable())
        return Tr("can be opened", "可以打开");
    // Without a state of its own the reason is the whole text: said once.
    if (d.state == PortState::Failed)
        return PortStateText(d, g_bChinese != 0);
    return Tr("cannot be opened: ", "无法打开: ") + d.reason + " (" + PortStateText(d, g_bChinese != 0) + ")";
}

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

void DeviceJson(CJsonWriter& doc, const SerialDevice& d)
{
    doc.Key("path").String(d.path).Key("kind").String(PortKindName(d.kind));
    doc.Key("target").String(d.target).Key("description").String(d.description);
    doc.Key("state").String(StateKey(d.state)).Key("openable").Bool(d.Openable());
    doc.Key("reason").String(d.reason);
}

}  // namespace

int CmdPorts(const std::vector<std::string>& argv)
{
    // --all is kept for scripts written when the device list was optional: it is always shown now.
    const Args args(argv, {}, {"--all", "--json"});
    args.RequirePositional(0, "");
    SetUpLanguage(args);
    const bool json = args.Has("--json");
    CJsonWriter doc;
    BeginJsonDocument(doc, "ports");

    const auto lookup = PortsLookup();
    doc.Key("com").BeginArray();
    for (int n = 1; n <= 4; ++n) {
        const std::string name = "COM" + std::to_string(n);
        const SerialDevice d = DescribeSerialDevice(MapPortName(name, lookup));
        if (json) {
            doc.BeginObject().Key("name").String(name).Key("device").String(d.path);
            doc.Key("openable").Bool(d.Openable()).Key("reason").String(d.reason).EndObject();
            continue;
        }
        std::cout << name << "  " << PadRight(ForTerminal(d.path), 16) << "  " << ForTerminal(StateText(d)) << "\n";
    }
    doc.EndArray();

    const std::vector<SerialDevice> devices = ListSerialDevices();
    doc.Key("devices").BeginArray();
    if (!json)
        std::cout << "\n"
                  << (devices.empty() ? Tr("no serial devices found", "未找到串口设备")
                                      : Tr("serial devices present:", "现有串口设备:"))
                  << "\n";
    for (const SerialDevice& d : devices) {
        doc.BeginObject();
        DeviceJson(doc, d);
        doc.EndObject();
        if (json)
            continue;
        std::cout << PadRight(d.path, 16) << "  " << PadRight(PortKindName(d.kind), 6);
        if (!d.description.empty())
            std::cout << "  " << d.description;
        if (d.target != d.path)
            std::cout << "  -> " << d.target;
        std::cout << "  " << StateText(d) << "\n";
    }
    doc.EndArray();
    doc.EndObject();
    if (json)
        PrintJson(doc);
    return kExitOk;
}

}  // namespace cli
