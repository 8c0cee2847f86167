#include <iostream>

#include "cli/Args.h"
#include "cli/Commands.h"
#include "cli/Common.h"
#include "cli/Output.h"
#include "core/app/Globals.h"
#include "core/link/Ports.h"
#include "core/link/PortName.h"

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
    const Args args(argv, "ports");
    args.RequirePositional(0, "");
    SetUpLanguage(args);
    const bool json = args.Has("--json");
    CJsonWriter doc;
    BeginJsonDocument(doc, "ports");

    if (!json) {
        std::cout << PortListText(g_bChinese != 0);
        return kExitOk;
    }
    const auto lookup = PortsLookup();
    doc.Key("com").BeginArray();
    for (int n = 1; n <= 4; ++n) {
        const std::string name = "COM" + std::to_string(n);
        const SerialDevice d = DescribeSerialDevice(MapPortName(name, lookup));
        doc.BeginObject().Key("name").String(name).Key("device").String(d.path);
        doc.Key("openable").Bool(d.Openable()).Key("reason").String(d.reason).EndObject();
    }
    doc.EndArray();

    doc.Key("devices").BeginArray();
    for (const SerialDevice& d : ListSerialDevices()) {
        doc.BeginObject();
        DeviceJson(doc, d);
        doc.EndObject();
    }
    doc.EndArray();
    doc.EndObject();
    PrintJson(doc);
    return kExitOk;
}

}  // namespace cli
