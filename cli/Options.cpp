#include "cli/Options.h"

#include <stdexcept>
#include <string_view>

namespace cli {

namespace {

// A text in both languages; lines after the first continue it at the column.
struct OptionText {
    const char* en = nullptr;
    const char* zh = nullptr;
};

// An option: its name, its value's placeholder (none for a flag) and, where
// every command means the same by it, its help.
struct OptionDecl {
    const char* name;
    const char* value;
    OptionText help;
};

// One line of a command's option list: the option, the command's own text
// where it means something of its own there, and the option as listed when
// not "NAME VALUE" (export's "--format grid" and "--format chirp").
struct OptionLine {
    const char* name;
    OptionText help = {};
    const char* shown = nullptr;
};

// A command's options in the order its --help lists them, their texts at `column`.
struct CommandOptions {
    const char* command;
    int column;
    std::vector<OptionLine> lines;
};

// The help's words for the system's own places.
#ifdef _WIN32
#define PROG_NULL_DEVICE "NUL"
#define PROG_BACKUPS_EN                                              \
    "is also kept in %LOCALAPPDATA%\\tr5-programmer\\backups, the\n" \
    "window's File > Backups;\n"
#define PROG_BACKUPS_ZH "也保存在 %LOCALAPPDATA%\\tr5-programmer\\backups, 即\n窗口程序的 文件 > 备份;\n"
#define PROG_FIND_EN "appears is named with the --port to use"
#define PROG_FIND_ZH "会被指出, 并给出要用的 --port"
#else
#define PROG_NULL_DEVICE "/dev/null"
#define PROG_BACKUPS_EN                                       \
    "is also kept in $XDG_DATA_HOME/tr5-programmer/backups\n" \
    "(~/.local/share/... when unset), the window's File > Backups;\n"
#define PROG_BACKUPS_ZH                                    \
    "也保存在 $XDG_DATA_HOME/tr5-programmer/backups\n" \
    "(未设置时为 ~/.local/share/...), 即窗口程序的 文件 > 备份;\n"
#define PROG_FIND_EN                                            \
    "appears is named (by its /dev/serial/by-id link when it\n" \
    "has one) with the --port to use"
#define PROG_FIND_ZH "会被指出 (有 /dev/serial/by-id 链接时用它),\n并给出要用的 --port"
#endif

const std::vector<OptionDecl>& Declarations()
{
    static const std::vector<OptionDecl> options = {
        {"--lang", "en|zh", {"language of the messages (default: Program.ini)", "消息的语言 (默认: Program.ini)"}},
        {"--json",
         nullptr,
         {"print one JSON document instead (docs/JSON.md)", "改为输出一个 JSON 文档 (docs/JSON.md)"}},
        {"--force", nullptr, {}},
        {"-o", "FILE", {}},
        {"--output", "FILE", {"the same as -o", "同 -o"}},
        {"--port", "PORT", {"a port; give it once per radio", "一个端口; 每台电台给一次"}},
        {"--ports",
         "LIST",
         {"ports separated by commas; \"all\": every serial device (and\n"
          "COM1..COM4 of Program.ini) on which a radio answers",
          "以逗号分隔的端口; \"all\": 有电台应答的每个串口设备 (以及\n"
          "Program.ini 的 COM1..COM4)"}},
        {"--retries",
         "N",
         {"further series of 15 handshake attempts (default 0)", "再进行几轮 15 次握手尝试 (默认 0)"}},
        {"--trace",
         "FILE",
         {"write the serial trace (every byte with its time, and the\n"
          "frames; \"progtool trace\" decodes it) to FILE; one port only;\n"
          "FILE is a regular file or " PROG_NULL_DEVICE ", never a port or device",
          "把串口跟踪 (每个字节及其时间, 以及帧; \"progtool\n"
          "trace\" 可解码) 写入 FILE; 仅限一个端口;\n"
          "FILE 是普通文件或 " PROG_NULL_DEVICE ", 绝不能是端口或设备"}},
        {"--skip-busy",
         nullptr,
         {"leave out ports another program holds (else an error); a port\n"
          "left out is not a success (exit status 1)",
          "跳过其他程序占用的端口 (否则报错); 被跳过的\n"
          "端口不算成功 (退出状态 1)"}},
        {"--quiet", nullptr, {"no progress; only failures are reported", "不显示进度; 只报告失败"}},
        {"--progress",
         "json",
         {"progress as JSON lines on stderr, for wrappers", "在标准错误上以 JSON 行输出进度, 供封装程序使用"}},
        {"--watch",
         nullptr,
         {"keep running: program each radio once as it starts answering\n"
          "on a port (plugged in or switched on), with a running count;\n"
          "Ctrl+C ends it",
          "持续运行: 每台电台在端口上开始应答时 (插上或开机)\n"
          "对其编程一次, 并显示累计数; 按 Ctrl+C 结束"}},
        {"--verify",
         nullptr,
         {"read the radio back and report any differing byte ranges", "回读电台并报告不同的字节范围"}},
        {"--no-backup",
         nullptr,
         {"keep no backup of what was read; by default every complete read\n" PROG_BACKUPS_EN
          "a backup that cannot be kept fails the run (the read is saved);\n"
          "the oldest backups progtool or the window wrote there beyond\n"
          "the number the window keeps are removed, and named (never a\n"
          "file of yours, nor one named on the command line)",
          "不保留读取内容的备份; 默认每次完整的读取\n" PROG_BACKUPS_ZH "无法保留备份时运行失败 (读取的数据仍会保存);\n"
          "progtool 或窗口程序在那里写的超出窗口保留数量的\n"
          "最旧备份会被删除并列出 (绝不删除你的文件,\n"
          "也不删除命令行中指定的文件)"}},
        {"--csv",
         nullptr,
         {"print instead every cell of the 201 x 10 grid as CSV", "改为以 CSV 输出 201 x 10 表格的每个单元格"}},
        {"--set", "KEY=VALUE", {}},
        {"--format", "LAYOUT", {}},
        {"--power", "words|watts", {}},
        {"--stock", "NAME", {}},
        {"--renumber", "[FROM]", {}},
        {"--merge", nullptr, {}},
        {"--skip-bad", nullptr, {}},
        {"--pdf", "OUT.pdf", {}},
        {"--image", "FILE.dat", {}},
        {"--save", "FILE.dat", {}},
        {"--link", "PATH", {}},
        {"--pace", nullptr, {}},
        {"--fault", "KIND", {}},
        {"--plan", "PLAN.dat", {}},
        {"--reconcile", "channels|all", {}},
        {"--backup-dir", "DIR", {}},
        {"--prune", nullptr, {}},
        {"--all", nullptr, {}},
        {"--find", nullptr, {}},
        {"--timeout", "SECONDS", {}},
        {"--include-document", "FILE.dat", {}},
    };
    return options;
}

// Texts several commands share in their own words.
constexpr OptionText kResultsJson = {"print the results as one JSON document (docs/JSON.md)",
                                     "以一个 JSON 文档输出结果 (docs/JSON.md)"};
constexpr OptionText kLangHeadingsWords = {"language of headings and words (default: Program.ini)",
                                           "标题和用词的语言 (默认: Program.ini)"};
constexpr OptionText kLangLabels = {"language of headings, labels and words (default: Program.ini)",
                                    "标题, 标签和用词的语言 (默认: Program.ini)"};

const std::vector<CommandOptions>& Table()
{
    static const std::vector<CommandOptions> commands = {
        {"new",
         17,
         {
             {"--force", {"replace FILE.dat when it exists", "FILE.dat 已存在时替换它"}},
             {"--lang"},
         }},
        {"show",
         17,
         {
             {"--lang", kLangHeadingsWords},
             {"--csv"},
             {"--json",
              {"print one JSON document instead: ranges, type, band and every\n"
               "column of the used channels (docs/JSON.md)",
               "改为输出一个 JSON 文档: 范围, 类型, 频段和已用信道的\n"
               "每一列 (docs/JSON.md)"}},
         }},
        {"options",
         20,
         {
             {"--set",
              {"change a setting and save FILE.dat as the dialog's OK does;\n"
               "KEY is the label or its short name (led, step, name, beep, ...),\n"
               "VALUE one of the items the dialog lists (name: up to 6 characters\n"
               "of 0-9 A-Z - _, lower case taken as upper case; beep: on or off).\n"
               "--set help= lists every key and the values it takes. Another\n"
               "run changing FILE.dat is waited for (up to 10 s).",
               "修改一项设置并像对话框的 OK 一样保存 FILE.dat;\n"
               "KEY 是标签或其简称 (led, step, name, beep, ...),\n"
               "VALUE 是对话框列出的一项 (name: 最多 6 个字符,\n"
               "取 0-9 A-Z - _, 小写按大写处理; beep: on 或 off)。\n"
               "--set help= 列出每个键及其取值。另一个\n"
               "正在修改 FILE.dat 的运行会被等待 (最多 10 秒)。"}},
             {"-o",
              {"with --set: save the changed image to OUT.dat (atomically) and\n"
               "leave FILE.dat as it is; never FILE.dat itself (also through a link)",
               "与 --set 一起: 把修改后的映像 (原子地) 保存到 OUT.dat,\n"
               "FILE.dat 保持不变; 绝不能是 FILE.dat 本身 (经链接也不行)"},
              "-o OUT.dat"},
             {"--output", {}, "--output OUT.dat"},
             {"--force",
              {"with --set: change a FILE.dat longer than 8192 bytes in place (the\n"
               "bytes beyond are lost), or replace an OUT.dat that holds something\n"
               "else than a radio image",
               "与 --set 一起: 就地修改超过 8192 字节的 FILE.dat (多出的\n"
               "字节会丢失), 或替换内容不是电台映像的 OUT.dat"}},
             {"--json",
              {"print one JSON document instead: key, label and value of each\n"
               "setting (docs/JSON.md)",
               "改为输出一个 JSON 文档: 每项设置的键, 标签和值\n"
               "(docs/JSON.md)"}},
             {"--lang",
              {"language of the labels and values (default: Program.ini)", "标签和取值的语言 (默认: Program.ini)"}},
         }},
        {"export",
         20,
         {
             {"-o",
              {"write to OUT.csv (atomically) instead of standard output; never\n"
               "FILE.dat itself (also through a link)",
               "(原子地) 写入 OUT.csv 而不是标准输出; 绝不能是\n"
               "FILE.dat 本身 (经链接也不行)"},
              "-o OUT.csv"},
             {"--output", {}, "--output OUT.csv"},
             {"--force",
              {"replace OUT.csv also when it holds something else than text\n"
               "(a radio image, a PDF)",
               "OUT.csv 的内容不是文本 (电台映像, PDF) 时也替换它"}},
             {"--format",
              {"every cell of the grid, as show --csv (default)", "表格的每个单元格, 同 show --csv (默认)"},
              "--format grid"},
             {"--format",
              {"the channel list layout (Location,Name,Frequency,Duplex,...)",
               "信道列表格式 (Location,Name,Frequency,Duplex,...)"},
              "--format chirp"},
             {"--power",
              {"the chirp layout's Power column as High/Middle/Low (default)\n"
               "or as 5.0W/2.0W/1.0W, as other programs expect",
               "chirp 格式的 Power 列写作 High/Middle/Low (默认)\n"
               "或 5.0W/2.0W/1.0W, 以符合其他程序的要求"}},
             {"--lang", kLangHeadingsWords},
         }},
        {"import",
         21,
         {
             {"--stock",
              {"import the stock list NAME (\"progtool stock\" lists them) as\n"
               "IN.csv would be; its licence comment is printed first. A\n"
               "list made for the other radio type (FITS in \"progtool\n"
               "stock\") is refused, unless --force",
               "像 IN.csv 一样导入现成列表 NAME (\"progtool stock\" 列出\n"
               "它们); 先输出其许可说明。为另一种电台类型制作的\n"
               "列表 (\"progtool stock\" 的 FITS) 会被拒绝, 除非 --force"}},
             {"--format",
              {"grid or chirp; without it the first line's headings tell", "grid 或 chirp; 不给时由第一行的标题决定"}},
             {"--renumber",
              {"place the imported rows in file order on consecutive\n"
               "channels from FROM (default 1; 0 is \"Pr\"), whatever their\n"
               "Location",
               "按文件顺序把导入的行放到从 FROM 开始的连续信道上\n"
               "(默认 1; 0 是 \"Pr\"), 不论其 Location"}},
             {"--merge",
              {"write only the channels the file carries and keep the others", "只写入文件中有的信道, 保留其他信道"}},
             {"--skip-bad", {"write the other rows when some are refused", "有行被拒绝时仍写入其他行"}},
             {"--force",
              {"replace the channels even when more than half of those in use\n"
               "would become empty (else refused: the wrong file, or one cut short);\n"
               "also import into a FILE.dat longer than 8192 bytes (the bytes\n"
               "beyond are lost); and a stock list for the other radio type",
               "即使一半以上已用信道会变空也替换信道 (否则拒绝: 文件\n"
               "不对或被截断); 也导入到超过 8192 字节的 FILE.dat (多出的\n"
               "字节会丢失); 以及为另一种电台类型制作的现成列表"}},
             {"--lang"},
         }},
        {"stock",
         17,
         {
             {"--json"},
             {"--lang",
              {"language of the titles and headings (default: Program.ini)", "标题和表头的语言 (默认: Program.ini)"}},
         }},
        {"read",
         19,
         {
             {"--retries"},
             {"--port"},
             {"--ports"},
             {"-o",
              {"save the read to FILE.dat; with several ports, or naming a\n"
               "directory (DIR/), one DIR/PORT.dat per port",
               "把读取的数据保存到 FILE.dat; 多个端口时, 或指定目录\n"
               "(DIR/) 时, 每个端口一个 DIR/PORT.dat"},
              "-o FILE.dat"},
             {"--output", {}, "--output FILE"},
             {"--force",
              {"replace a FILE.dat or DIR/PORT.dat that exists, also one that\n"
               "holds something else than a radio image (else nothing is read)",
               "替换已存在的 FILE.dat 或 DIR/PORT.dat, 包括内容不是\n"
               "电台映像的文件 (否则不读取)"}},
             {"--skip-busy"},
             {"--trace"},
             {"--no-backup"},
             {"--watch", {"only with write (read refuses it)", "只用于 write (read 拒绝它)"}},
             {"--json", kResultsJson},
             {"--quiet"},
             {"--progress", {}, "--progress=json"},
             {"--lang"},
         }},
        {"write",
         19,
         {
             {"--verify"},
             {"--retries"},
             {"--port"},
             {"--ports"},
             {"--watch"},
             {"--skip-busy"},
             {"--trace"},
             {"--force",
              {"send the first 8192 bytes of a longer file all the same", "对更长的文件照样发送其前 8192 字节"}},
             {"--json", kResultsJson},
             {"--quiet"},
             {"--progress", {}, "--progress=json"},
             {"--lang"},
         }},
        {"print",
         12,
         {
             {"--pdf", {"the PDF file to write (atomically)", "要 (原子地) 写入的 PDF 文件"}},
             {"--force",
              {"replace OUT.pdf also when it holds something else than a PDF", "OUT.pdf 的内容不是 PDF 时也替换它"}},
             {"--lang",
              {"language of the report and the messages (default: Program.ini)",
               "报表和消息的语言 (默认: Program.ini)"}},
         }},
        {"simulate",
         21,
         {
             {"--image",
              {"the radio's memory at start (default: a new document's image)",
               "电台启动时的存储内容 (默认: 新文档的映像)"}},
             {"--save",
              {"save the memory to FILE.dat when stopping (checked at start:\n"
               "its folder, and a file that is no radio image only with --force)",
               "停止时把存储内容保存到 FILE.dat (启动时检查:\n"
               "其目录; 不是电台映像的文件只在 --force 时替换)"}},
             {"--force",
              {"with --save: replace a FILE.dat that holds something else\n"
               "than a radio image",
               "与 --save 一起: 替换内容不是电台映像的 FILE.dat"}},
             {"--link",
              {"make PATH a symbolic link to the device; an existing PATH is\n"
               "replaced only when it is a link an earlier simulated radio\n"
               "left (to a /dev/pts device that is gone)",
               "把 PATH 设为指向该设备的符号链接; 已存在的 PATH 只有\n"
               "是之前的模拟电台留下的链接 (指向已消失的 /dev/pts\n"
               "设备) 时才被替换"}},
             {"--pace", {"answer at the real 9600-baud speed", "以真实的 9600 波特速度应答"}},
             {"--fault",
              {"the radio misbehaves (KIND may be given several times):\n"
               "silent (answers nothing: a radio switched off), echo (every\n"
               "byte comes back: a cable without a radio), garbage (noise,\n"
               "never an acknowledgement), no-entry-ack, no-ident (the\n"
               "handshake stops after the entry code), no-final-ack (it stops\n"
               "before its last acknowledgement), random-headers,\n"
               "short-reply@F, wrong-ack@F, missing-ack@F, drop@F,\n"
               "lose-write@F (acknowledged, not stored) (F: data frame number\n"
               "from 0), slow@MS (MS milliseconds before each answer)",
               "电台出错 (KIND 可给多次):\n"
               "silent (不应答: 电台关机), echo (每个\n"
               "字节都返回: 线缆未连电台), garbage (杂乱数据,\n"
               "从不确认), no-entry-ack, no-ident (握手\n"
               "在进入码后停止), no-final-ack (在最后的确认前\n"
               "停止), random-headers,\n"
               "short-reply@F, wrong-ack@F, missing-ack@F, drop@F,\n"
               "lose-write@F (确认但未保存) (F: 从 0 起的数据帧\n"
               "编号), slow@MS (每次应答前等待 MS 毫秒)"}},
             {"--lang"},
         }},
        {"diff",
         17,
         {
             {"--port", {"read the radio on PORT and compare it as B", "读取 PORT 上的电台并作为 B 比较"}},
             {"--retries"},
             {"--lang", kLangLabels},
             {"--json"},
         }},
        {"audit",
         20,
         {
             {"--plan", {"the image every radio should hold", "每台电台应有的映像"}},
             {"--port"},
             {"--ports"},
             {"--reconcile",
              {"write each radio that differs with its own memory and the\n"
               "plan's channels and band limits put in (records 0x0000-0x0C7F,\n"
               "names 0x0CA0-0x12DF but 0x0FF0-0x0FF2, limits 0x1FF0-0x1FF5);\n"
               "the power-on name and every other radio-wide byte stay its own",
               "把每台不同的电台写入其自己的存储内容, 其中放入\n"
               "计划的信道和频段限制 (记录 0x0000-0x0C7F,\n"
               "名称 0x0CA0-0x12DF 但不含 0x0FF0-0x0FF2, 限制 0x1FF0-0x1FF5);\n"
               "开机名称和其他所有全机字节保持其自己的"},
              "--reconcile channels"},
             {"--reconcile",
              {"write the plan whole to each radio that differs", "把整个计划写入每台不同的电台"},
              "--reconcile all"},
             {"--backup-dir",
              {"keep the backups in DIR (created when missing) instead of the\n"
               "window's backup folder; nothing there is removed unless --prune",
               "把备份保存在 DIR (不存在时创建), 而不是窗口程序的\n"
               "备份文件夹; 除非 --prune, 那里的文件都不会被删除"}},
             {"--prune",
              {"with --backup-dir: remove the oldest backups progtool wrote in\n"
               "DIR beyond the number the window keeps (never a file of yours,\n"
               "nor one named on the command line, nor this run's own)",
               "与 --backup-dir 一起: 删除 progtool 在 DIR 中写的超出\n"
               "窗口保留数量的最旧备份 (绝不删除你的文件,\n"
               "命令行中指定的文件, 也不删除本次运行的备份)"}},
             {"--skip-busy",
              {"leave out ports another program holds (else an error); a port\n"
               "left out is not a success",
               "跳过其他程序占用的端口 (否则报错); 被跳过的\n"
               "端口不算成功"}},
             {"--retries"},
             {"--force",
              {"take a PLAN.dat longer than 8192 bytes (its first 8192 bytes)",
               "接受超过 8192 字节的 PLAN.dat (取其前 8192 字节)"}},
             {"--json"},
             {"--lang", kLangLabels},
         }},
        {"ports",
         17,
         {
             {"--json"},
             {"--lang",
              {"language of the states and headings (default: Program.ini)", "状态和表头的语言 (默认: Program.ini)"}},
             // Kept for scripts written when the device list was optional.
             {"--all", {"the same as without it: the devices are always listed", "与不给时相同: 设备总会列出"}},
         }},
        {"doctor",
         21,
         {
             {"--port",
              {"a port to check: COM1..COM4 (mapped by [Ports] of\n"
               "Program.ini) or a device path; give it once per port",
               "要检查的端口: COM1..COM4 (由 Program.ini 的 [Ports]\n"
               "映射) 或设备路径; 每个端口给一次"}},
             {"--find",
              {"find the cable: unplug it and plug it in; the port that\n" PROG_FIND_EN,
               "找线缆: 拔下再插上; 出现的端口\n" PROG_FIND_ZH}},
             {"--timeout",
              {"with --find: how long to wait for the cable (default 60)", "与 --find 一起: 等待线缆的时长 (默认 60)"}},
             {"--trace",
              {"write the serial trace of the checks to FILE (\"progtool\n"
               "trace\" decodes it); a regular file or " PROG_NULL_DEVICE,
               "把检查的串口跟踪写入 FILE (\"progtool trace\"\n"
               "可解码); 普通文件或 " PROG_NULL_DEVICE}},
             {"--json"},
             {"--lang", {"language of the advice (default: Program.ini)", "建议的语言 (默认: Program.ini)"}},
         }},
        {"trace",
         17,
         {
             {"--lang"},
         }},
        {"support-report",
         20,
         {
             {"-o",
              {"save the report to FILE (atomically) and print its sections",
               "把报告 (原子地) 保存到 FILE 并输出其各节"},
              "-o FILE"},
             {"--output", {}, "--output FILE"},
             {"--force", {"replace FILE when it exists (else refused)", "FILE 已存在时替换它 (否则拒绝)"}},
             {"--include-document",
              {"append that document: its channels and options as show and\n"
               "options print them, and its 8192 bytes in hex",
               "附上该文档: 其信道和选项 (如 show 和 options\n"
               "所输出) 及其 8192 字节的十六进制"}},
             {"--json",
              {"print one JSON document instead: the sections, each with its\n"
               "key, title and text (docs/JSON.md)",
               "改为输出一个 JSON 文档: 各节, 每节有其键, 标题和\n"
               "文本 (docs/JSON.md)"}},
             {"--lang",
              {"language of the headings and words (default: Program.ini)", "标题和用词的语言 (默认: Program.ini)"}},
         }},
    };
    return commands;
}

const OptionDecl& Declared(const char* name)
{
    for (const OptionDecl& d : Declarations())
        if (std::string_view(d.name) == name)
            return d;
    throw std::logic_error(std::string("option ") + name + " is not declared");
}

const CommandOptions* Find(const std::string& command)
{
    for (const CommandOptions& c : Table())
        if (command == c.command)
            return &c;
    return nullptr;
}

}  // namespace

OptionSets OptionsOf(const std::string& command)
{
    OptionSets sets;
    if (const CommandOptions* c = Find(command))
        for (const OptionLine& line : c->lines) {
            const OptionDecl& d = Declared(line.name);
            (d.value ? sets.withValue : sets.flags).insert(d.name);
        }
    return sets;
}

std::string OptionHelp(const std::string& command, bool chinese)
{
    std::string out;
    const CommandOptions* c = Find(command);
    if (!c)
        return out;
    const std::string indent(static_cast<std::size_t>(c->column), ' ');
    for (const OptionLine& line : c->lines) {
        const OptionDecl& d = Declared(line.name);
        const std::string shown = line.shown ? line.shown : d.value ? std::string(d.name) + " " + d.value : d.name;
        const OptionText& help = line.help.en ? line.help : d.help;
        const char* text = chinese ? help.zh : help.en;
        if (!text)
            throw std::logic_error(command + " " + d.name + " has no help");
        // Two spaces at least between the option and its text, else the text starts below.
        out += "  " + shown;
        if (2 + shown.size() + 2 > indent.size())
            out += "\n" + indent;
        else
            out += std::string(indent.size() - 2 - shown.size(), ' ');
        for (std::string_view rest = text;;) {
            const std::size_t nl = rest.find('\n');
            out += rest.substr(0, nl);
            out += '\n';
            if (nl == std::string_view::npos)
                break;
            rest.remove_prefix(nl + 1);
            out += indent;
        }
    }
    return out;
}

std::vector<std::string> OptionCommands()
{
    std::vector<std::string> names;
    for (const CommandOptions& c : Table())
        names.push_back(c.command);
    return names;
}

}  // namespace cli
