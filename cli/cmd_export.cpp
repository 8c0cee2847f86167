#include <iostream>

#include "cli/Args.h"
#include "cli/Commands.h"
#include "cli/Common.h"
#include "cli/FileChecks.h"
#include "cli/Output.h"
#include "core/exchange/CsvChannels.h"

namespace cli {

CsvFormat ParseFormat(const std::string& text)
{
    if (text.empty() || text == "grid")
        return CsvFormat::Grid;
    if (text == "chirp")
        return CsvFormat::Chirp;
    throw UsageError(Tr("--format takes grid or chirp, not \"", "--format 只接受 grid 或 chirp, 而不是 \"") + text +
                     "\"");
}

int CmdExport(const std::vector<std::string>& argv)
{
    const Args args(argv, "export");
    args.RequirePositional(1, "FILE.dat");
    const CsvFormat format = ParseFormat(args.Value("--format"));
    const std::string powerAs = args.Value("--power", "words");
    if (powerAs != "words" && powerAs != "watts")
        throw UsageError(Tr("--power takes words or watts, not \"", "--power 只接受 words 或 watts, 而不是 \"") +
                         powerAs + "\"");
    if (args.Has("--power") && format != CsvFormat::Chirp)
        throw UsageError(Tr("--power is for --format chirp; the grid layout keeps the grid's words",
                            "--power 只用于 --format chirp; grid 格式保留表格中的文字"));
    SetUpLanguage(args);
    const std::string out = args.Has("-o") ? args.Value("-o") : args.Value("--output");
    const bool toFile = !out.empty() && out != "-";
    if (toFile)
        SetRunWork(RunWork::Effect);
    if (toFile && !CheckOutput(out, {args.Positional()[0]}, FileKind::Text, args.Has("--force")))
        return kExitFailed;
    ChannelDocument doc;
    if (!LoadDocument(args.Positional()[0], doc))
        return kExitFailed;
    const std::string csv = format == CsvFormat::Grid
                                ? GridToCsv(doc.grid)
                                : GridToChirpCsv(doc.grid, powerAs == "watts" ? ChirpPower::Watts : ChirpPower::Words);
    if (!toFile) {
        std::cout << csv;  // a failed write fails the command in main
        return kExitOk;
    }
    return WriteOutput(out, csv) ? kExitOk : kExitFailed;
}

}  // namespace cli
