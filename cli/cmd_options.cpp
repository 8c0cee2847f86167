#include <cctype>
#include <charconv>
#include <iostream>

#include "cli/Args.h"
#include "cli/Commands.h"
#include "cli/Common.h"
#include "cli/FileChecks.h"
#include "cli/Output.h"
#include "core/app/DisplayText.h"
#include "core/app/Globals.h"
#include "core/radio/OptionFields.h"
#include "core/radio/ShowText.h"

namespace cli {

namespace {

std::string Lower(std::string s)
{
    for (char& c : s)
        if (static_cast<unsigned char>(c) < 0x80)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

const OptionControl* FindControl(const std::string& key)
{
    const std::string k = Lower(key);
    for (const OptionControl& c : OptionControls())
        if (k == c.key || k == Lower(c.labelEn) || key == c.labelZh)
            return &c;
    return nullptr;
}

std::string KeyList()
{
    std::string out;
    for (const OptionControl& c : OptionControls())
        out += std::string(out.empty() ? "" : ", ") + c.key;
    return out;
}

// The values a list takes, as the dialog lists them; runs of whole numbers as "1 to 16".
std::string ItemsText(const std::vector<std::string>& items)
{
    const auto number = [&](std::size_t i, int& v) {
        const std::string& t = items[i];
        return std::from_chars(t.data(), t.data() + t.size(), v).ptr == t.data() + t.size() && !t.empty();
    };
    std::string out;
    for (std::size_t i = 0; i < items.size();) {
        std::size_t j = i + 1;
        int first = 0, v = 0;
        if (number(i, first))
            while (j < items.size() && number(j, v) && v == first + static_cast<int>(j - i))
                ++j;
        if (j - i < 4)
            j = i + 1;
        out += (out.empty() ? "" : ", ") + (j - i > 1 ? items[i] + Tr(" to ", " 到 ") + items[j - 1] : items[i]);
        i = j;
    }
    return out;
}

// --set help=: every key with its label and the values it takes.
void PrintSettingsHelp()
{
    std::cout << Tr(
        "--set KEY=VALUE: KEY is the short name below or the label (English or Chinese, letter case\n"
        "ignored); VALUE one of the values listed (or the dialog's Chinese item).\n",
        "--set KEY=VALUE: KEY 是下面的简称或标签（英文或中文，不区分大小写）；\n"
        "VALUE 是列出的值之一（或对话框中的中文选项）。\n");
    const bool zh = g_bChinese != 0;
    for (const OptionControl& c : OptionControls()) {
        std::string values;
        if (c.kind == OptionKind::Edit)
            values = Tr("up to ", "最多 ") + std::to_string(mem::kPowerOnNameLen) +
                     Tr(" characters of 0-9, A-Z, - and _ (lower case is taken as upper case); empty clears it",
                        " 个 0-9、A-Z、- 和 _ 字符（小写按大写处理）；空值清除它");
        else if (c.kind == OptionKind::Check)
            values = Tr("on or off (also 1 or 0, yes or no)", "on 或 off（也可用 1 或 0、yes 或 no）");
        else
            values = ItemsText(OptionItems(c.id, zh));
        std::cout << "  " << PadRight(c.key, 19) << PadRight(zh ? c.labelZh : c.labelEn, 19) << values << "\n";
    }
}

// Applies one KEY=VALUE; throws UsageError for what the dialog could not set.
void ApplySetting(OptionFields& f, const std::string& setting)
{
    const auto eq = setting.find('=');
    if (eq == std::string::npos)
        throw UsageError(Tr("--set needs KEY=VALUE, not \"", "--set 需要 KEY=VALUE, 而不是 \"") + setting +
                         Tr("\"; keys: ", "\"; 可用的键: ") + KeyList());
    const std::string key = setting.substr(0, eq), value = setting.substr(eq + 1);
    const OptionControl* c = FindControl(key);
    if (!c)
        throw UsageError(Tr("unknown setting \"", "未知设置 \"") + key + Tr("\"; keys: ", "\"; 可用的键: ") +
                         KeyList());
    if (c->kind == OptionKind::Edit) {
        // The dialog's rule: upper case as typed, nothing the radio cannot show, six at most.
        const PowerOnNameCheck name = CheckPowerOnName(value);
        if (!name.Ok())
            throw UsageError(PowerOnNameRefusal(name, g_bChinese != 0));
        f.powerOnName = name.name;
        return;
    }
    if (c->kind == OptionKind::Check) {
        const std::string v = Lower(value);
        if (v == "on" || v == "1" || v == "yes" || value == OptionCheckText(true, true))
            f.beep = true;
        else if (v == "off" || v == "0" || v == "no" || value == OptionCheckText(false, true))
            f.beep = false;
        else
            throw UsageError(Tr("beep takes on or off, not \"", "beep 只接受 on 或 off, 而不是 \"") + value + "\"");
        return;
    }
    for (bool zh : {false, true}) {
        const std::vector<std::string> items = OptionItems(c->id, zh);
        for (std::size_t i = 0; i < items.size(); ++i)
            if (Lower(items[i]) == Lower(value)) {
                SetOptionIndex(f, c->id, static_cast<int>(i));
                return;
            }
    }
    std::string allowed;
    for (const std::string& item : OptionItems(c->id, g_bChinese != 0))
        allowed += (allowed.empty() ? "" : ", ") + item;
    throw UsageError(std::string(g_bChinese ? c->labelZh : c->labelEn) + Tr(" takes one of ", " 只接受 ") + allowed +
                     Tr(", not \"", ", 而不是 \"") + value + "\"");
}

}  // namespace

int CmdOptions(const std::vector<std::string>& argv)
{
    const Args args(argv, "options");
    args.RequirePositional(1, "FILE.dat");
    SetUpLanguage(args);
    const bool zh = g_bChinese != 0;
    const std::string& path = args.Positional()[0];
    for (const std::string& s : args.Values("--set"))
        if (Lower(s.substr(0, s.find('='))) == "help") {
            PrintSettingsHelp();
            return kExitOk;
        }
    const std::string out = args.Has("-o") ? args.Value("-o") : args.Value("--output");
    if (!out.empty() && !args.Has("--set"))
        throw UsageError(Tr("-o names where --set saves the changed image; give --set KEY=VALUE",
                            "-o 指定 --set 保存修改后映像的位置; 请给出 --set KEY=VALUE"));
    const bool set = args.Has("--set"), force = args.Has("--force");
    if (set) {
        SetRunWork(RunWork::Effect);
        if (!out.empty() && !CheckOutput(out, {path}, FileKind::Binary, force))
            return kExitFailed;
    }
    // Changed in place: the read, the change and the save hold the file, so a
    // second run at the same time changes what this one saved, not what it read.
    CFileUpdateLock lock;
    if (std::string error; set && out.empty() && !lock.Acquire(path, kFileLockWait, error)) {
        Error(error + Tr("; nothing was changed", "; 未作任何修改"));
        return kExitFailed;
    }
    Image image{};
    if (!LoadImageFile(path, image, set && out.empty() ? ImageUse::Rewrite : ImageUse::Read, force))
        return kExitFailed;
    OptionFields fields = DecodeOptions(image);

    if (set) {
        for (const std::string& s : args.Values("--set"))
            ApplySetting(fields, s);
        // The dialog's OK: every field is written back, as shown.
        EncodeOptions(fields, image);
        if (!SaveImageFile(out.empty() ? path : out, image))
            return kExitFailed;
        fields = DecodeOptions(image);
    }

    if (!args.Has("--json")) {
        std::cout << OptionsText(image, zh);
        return kExitOk;
    }
    CJsonWriter json;
    BeginJsonDocument(json, "options");
    json.Key("file").String(path).Key("language").String(zh ? "zh" : "en").Key("options").BeginArray();
    for (const OptionControl& c : OptionControls()) {
        const std::string value = OptionShownText(fields, c, zh);
        json.BeginObject()
            .Key("key")
            .String(c.key)
            .Key("label")
            .String(zh ? c.labelZh : c.labelEn)
            .Key("value")
            .String(value)
            .EndObject();
    }
    json.EndArray().Key("saved").Bool(args.Has("--set")).EndObject();
    PrintJson(json);
    return kExitOk;
}

}  // namespace cli
