#include <cstdio>
#include <iostream>

#include "cli/Args.h"
#include "cli/Commands.h"
#include "cli/Common.h"
#include "cli/DiffOutput.h"
#include "cli/FileChecks.h"
#include "cli/Output.h"
#include "cli/Transfers.h"
#include "core/app/Globals.h"
#include "core/app/IniFile.h"
#include "core/link/PortName.h"
#include "core/radio/ChannelCodec.h"
#include "core/radio/ImageDiff.h"
#include "core/radio/OptionFields.h"
#include "core/radio/RadioCatalogue.h"

namespace cli {

namespace {

inline constexpr std::size_t kBytesShown = 8;

std::string HexBytes(const Image& img, const ByteRange& r)
{
    std::string out;
    for (int i = r.first; i <= r.last; ++i) {
        char t[4];
        std::snprintf(t, sizeof t, "%02X", img[static_cast<std::size_t>(i)]);
        out += out.empty() ? t : std::string(" ") + t;
    }
    return out;
}

std::size_t RangeSize(const ByteRange& r) { return static_cast<std::size_t>(r.last - r.first + 1); }

std::string ChangeWord(ChannelChange c)
{
    return c == ChannelChange::Added     ? Tr("added", "新增")
           : c == ChannelChange::Removed ? Tr("removed", "删除")
                                         : Tr("changed", "修改");
}
const char* ChangeKey(ChannelChange c)
{
    return c == ChannelChange::Added ? "added" : c == ChannelChange::Removed ? "removed" : "changed";
}

std::string ModelText(const CRadioCatalogue& cat, int type, int band)
{
    std::string t = std::to_string(type);
    if (const std::string name = cat.TypeName(type); !name.empty())
        t += " (" + name + ")";
    t += "  " + std::string(Tr("Band: ", "频段: ")) + std::to_string(band);
    if (const std::string name = cat.Band(type, band); !name.empty())
        t += " (" + name + ")";
    return t;
}

struct Side {
    std::string file, port, device;
    Image image{};
};

void JsonSide(CJsonWriter& json, const Side& s)
{
    json.BeginObject();
    if (s.port.empty())
        json.Key("file").String(s.file);
    else
        json.Key("port").String(s.port).Key("device").String(s.device);
    json.EndObject();
}

void JsonModel(CJsonWriter& json, const CRadioCatalogue& cat, const ModelFacts& m)
{
    json.BeginObject()
        .Key("type")
        .Int(m.type)
        .Key("type_name")
        .String(cat.TypeName(m.type))
        .Key("band")
        .Int(m.band)
        .Key("band_name")
        .String(cat.Band(m.type, m.band))
        .Key("band_record")
        .String(m.bandRecord)
        .EndObject();
}

bool TypeDiffers(const ImageDiff& d) { return d.modelA.type != d.modelB.type || d.modelA.band != d.modelB.band; }

// One per line of DiffLines: the type and the band record are told apart.
int Count(const ImageDiff& d)
{
    const bool vhf = d.rangesA.vhfLow != d.rangesB.vhfLow || d.rangesA.vhfHigh != d.rangesB.vhfHigh;
    const bool uhf = d.rangesA.uhfLow != d.rangesB.uhfLow || d.rangesA.uhfHigh != d.rangesB.uhfHigh;
    const bool record = d.modelA.bandRecord != d.modelB.bandRecord;
    return static_cast<int>(d.channels.size() + d.options.size() + d.otherBytes.size()) + vhf + uhf + TypeDiffers(d) +
           record;
}

// An erased band record is named, not left blank.
std::string BandRecordText(const std::string& record) { return record.empty() ? Tr("none", "无") : record; }

}  // namespace

void JsonDiffFields(CJsonWriter& json, const Image& a, const Image& b, const ImageDiff& d, bool zh)
{
    const CRadioCatalogue cat(theIniFile);
    json.Key("equal").Bool(d.Equal()).Key("differences").Int(Count(d));

    json.Key("ranges").BeginArray();
    const struct {
        const char* band;
        int al, ah, bl, bh;
    } bands[] = {{"VHF", d.rangesA.vhfLow, d.rangesA.vhfHigh, d.rangesB.vhfLow, d.rangesB.vhfHigh},
                 {"UHF", d.rangesA.uhfLow, d.rangesA.uhfHigh, d.rangesB.uhfLow, d.rangesB.uhfHigh}};
    for (const auto& r : bands) {
        if (r.al == r.bl && r.ah == r.bh)
            continue;
        json.BeginObject().Key("band").String(r.band);
        json.Key("a").BeginObject().Key("low").Int(r.al).Key("high").Int(r.ah).EndObject();
        json.Key("b").BeginObject().Key("low").Int(r.bl).Key("high").Int(r.bh).EndObject();
        json.EndObject();
    }
    json.EndArray();

    json.Key("model");
    if (d.ModelDiffers()) {
        json.BeginObject().Key("a");
        JsonModel(json, cat, d.modelA);
        json.Key("b");
        JsonModel(json, cat, d.modelB);
        json.EndObject();
    } else {
        json.Null();
    }

    json.Key("channels").BeginArray();
    for (const ChannelDiff& c : d.channels) {
        json.BeginObject().Key("channel").String(ChannelLabel(c.row)).Key("record").Int(c.row - 1);
        json.Key("change").String(ChangeKey(c.change)).Key("cells").BeginArray();
        for (const CellChange& cell : c.cells)
            json.BeginObject()
                .Key("column")
                .String(ColumnKey(cell.col))
                .Key("heading")
                .String(GridHeading(cell.col, zh))
                .Key("a")
                .String(cell.a)
                .Key("b")
                .String(cell.b)
                .EndObject();
        json.EndArray().EndObject();
    }
    json.EndArray();

    json.Key("options").BeginArray();
    for (const OptionDiff& o : d.options) {
        const OptionControl* c = FindOptionControl(o.id);
        json.BeginObject().Key("key").String(c ? c->key : "").Key("label").String(OptionLabel(o.id, zh));
        json.Key("a").String(o.a).Key("b").String(o.b).EndObject();
    }
    json.EndArray();

    json.Key("bytes").BeginArray();
    for (const ByteRange& r : d.otherBytes) {
        json.BeginObject().Key("first").Int(r.first).Key("last").Int(r.last).Key("range").String(ByteRangeText(r));
        if (RangeSize(r) <= kBytesShown)
            json.Key("a").String(HexBytes(a, r)).Key("b").String(HexBytes(b, r));
        json.EndObject();
    }
    json.EndArray();
}

std::vector<std::string> DiffLines(const Image& a, const Image& b, const ImageDiff& d, bool zh)
{
    const CRadioCatalogue cat(theIniFile);
    std::vector<std::string> lines;
    auto range = [](const char* band, int al, int ah, int bl, int bh) {
        return std::string(band) + ": " + std::to_string(al) + " - " + std::to_string(ah) + " -> " +
               std::to_string(bl) + " - " + std::to_string(bh);
    };
    auto quoted = [](const std::string& t) { return t.empty() ? std::string("\"\"") : t; };
    if (d.rangesA.vhfLow != d.rangesB.vhfLow || d.rangesA.vhfHigh != d.rangesB.vhfHigh)
        lines.push_back(range("VHF", d.rangesA.vhfLow, d.rangesA.vhfHigh, d.rangesB.vhfLow, d.rangesB.vhfHigh));
    if (d.rangesA.uhfLow != d.rangesB.uhfLow || d.rangesA.uhfHigh != d.rangesB.uhfHigh)
        lines.push_back(range("UHF", d.rangesA.uhfLow, d.rangesA.uhfHigh, d.rangesB.uhfLow, d.rangesB.uhfHigh));
    if (TypeDiffers(d))
        lines.push_back(Tr("Type: ", "机型: ") + ModelText(cat, d.modelA.type, d.modelA.band) + " -> " +
                        ModelText(cat, d.modelB.type, d.modelB.band));
    if (d.modelA.bandRecord != d.modelB.bandRecord)
        lines.push_back(Tr("Band record: ", "频段记录: ") + BandRecordText(d.modelA.bandRecord) + " -> " +
                        BandRecordText(d.modelB.bandRecord));
    for (const ChannelDiff& c : d.channels) {
        std::string line = Tr("Channel ", "信道 ") + ChannelLabel(c.row) + " " + ChangeWord(c.change) + ":";
        const char* sep = " ";
        for (const CellChange& cell : c.cells) {
            line += sep + GridHeading(cell.col, zh) + " ";
            if (c.change == ChannelChange::Changed)
                line += quoted(cell.a) + " -> " + quoted(cell.b);
            else
                line += c.change == ChannelChange::Added ? cell.b : cell.a;
            sep = "; ";
        }
        lines.push_back(line);
    }
    for (const OptionDiff& o : d.options)
        lines.push_back(std::string(Tr("Option ", "选项 ")) + OptionLabel(o.id, zh) + ": " + quoted(o.a) + " -> " +
                        quoted(o.b));
    for (const ByteRange& r : d.otherBytes) {
        std::string line = Tr("Bytes ", "字节 ") + ByteRangeText(r) + ": ";
        if (RangeSize(r) <= kBytesShown)
            line += HexBytes(a, r) + " -> " + HexBytes(b, r);
        else
            line += std::to_string(RangeSize(r)) + Tr(" bytes differ", " 个字节不同");
        lines.push_back(line);
    }
    if (d.Equal())
        lines.push_back(Tr("the images are equal", "两份数据相同"));
    else
        lines.push_back(std::to_string(Count(d)) + Tr(" difference(s)", " 处不同"));
    return lines;
}

namespace {

void PrintJsonDiff(const Side& a, const Side& b, const ImageDiff& d, bool zh)
{
    CJsonWriter json;
    BeginJsonDocument(json, "diff");
    json.Key("language").String(zh ? "zh" : "en");
    json.Key("a");
    JsonSide(json, a);
    json.Key("b");
    JsonSide(json, b);
    JsonDiffFields(json, a.image, b.image, d, zh);
    json.EndObject();
    PrintJson(json);
}

void PrintTextDiff(const Side& a, const Side& b, const ImageDiff& d, bool zh)
{
    std::cout << "--- " << ForTerminal(a.file) << "\n+++ "
              << ForTerminal(b.port.empty() ? b.file : Tr("the radio on ", "电台 ") + b.port) << "\n";
    for (const std::string& line : DiffLines(a.image, b.image, d, zh))
        std::cout << line << "\n";
}

}  // namespace

int CmdDiff(const std::vector<std::string>& argv)
{
    const Args args(argv, "diff");
    const bool fromRadio = args.Has("--port");
    args.RequirePositional(
        fromRadio ? 1 : 2,
        fromRadio ? "A.dat" : Tr("A.dat and B.dat (or --port PORT)", "A.dat 和 B.dat (或 --port PORT)"));
    // Program.ini first: its [Ports] tell which two names are one device.
    SetUpLanguage(args);
    RefusePortNamedTwice(args.Values("--port"));
    if (args.Values("--port").size() > 1)
        throw UsageError(
            Tr("diff compares with one radio: give --port once", "diff 只与一台电台比较: 请只给一次 --port"));
    const int retries = args.IntValue("--retries", 0, 0, 1000);
    const bool zh = g_bChinese != 0;

    Side a, b;
    a.file = args.Positional()[0];
    if (!LoadImageFile(a.file, a.image))
        return kExitDiffTrouble;
    if (fromRadio) {
        b.port = args.Value("--port");
        const ResolvedPort resolved = ResolvePort(b.port);
        b.device = resolved.device;
        if (!RunTransfer(false, resolved, b.image, retries))
            return kExitDiffTrouble;
    } else {
        b.file = args.Positional()[1];
        if (!LoadImageFile(b.file, b.image))
            return kExitDiffTrouble;
    }
    const ImageDiff d = DiffImages(a.image, b.image, zh);
    if (args.Has("--json"))
        PrintJsonDiff(a, b, d, zh);
    else
        PrintTextDiff(a, b, d, zh);
    return d.Equal() ? kExitOk : kExitFailed;
}

}  // namespace cli
