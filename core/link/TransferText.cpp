#include "core/link/TransferText.h"

#include "core/app/BiText.h"

namespace {

std::string N(int v) { return std::to_string(v); }

}  // namespace

EndText CancelledText(const TransferResult& r, TransferPart part, const std::string& port, bool chinese)
{
    static const BiText piece{"cancelled after %1 of %2 frames", "已取消, 停止于第 %1 帧, 共 %2 帧"};
    static const BiText read{"The read from the radio on %1 was stopped. Nothing is changed.",
                             "从%1上的电台读数据已停止。没有任何改变。"};
    static const BiText backup{"The backup read from the radio on %1 was stopped. Nothing was written to the radio.",
                               "从 %1 上的电台读取备份已停止。没有向电台写入任何数据。"};
    static const BiText unsent{
        "The write to the radio on %1 was stopped before any data was sent. The radio is unchanged.",
        "向%1上的电台写数据在发送任何数据之前已停止。电台没有改变。"};
    static const BiText sent{"The write to the radio on %1 was stopped after %2 of %3 frames (%4 of %5 bytes).",
                             "向%1上的电台写数据已停止：共%3帧，已写入%2帧（共%5字节，已写入%4字节）。"};
    EndText t;
    t.piece = FillText(piece, chinese, {N(r.frames), N(r.framesTotal)});
    switch (part) {
    case TransferPart::Read: t.sentence = FillText(read, chinese, {port}); break;
    case TransferPart::Backup: t.sentence = FillText(backup, chinese, {port}); break;
    case TransferPart::Check: t.sentence = FillText(unsent, chinese, {port}); break;
    case TransferPart::Write:
        t.sentence = r.dataPhase
                         ? FillText(sent, chinese, {port, N(r.frames), N(r.framesTotal), N(r.bytes), N(r.bytesTotal)})
                         : FillText(unsent, chinese, {port});
        break;
    case TransferPart::ReadBack: break;  // the window tells the write that completed
    }
    return t;
}

EndText StoppedText(const TransferResult& r, TransferPart part, bool chinese)
{
    static const BiText piece{"stopped after %1 of %2 frames", "停止于第 %1 帧, 共 %2 帧"};
    static const BiText readBack{"stopped after %1 of %2 frames of the read-back", "停止于第 %1 帧, 共 %2 帧 (回读)"};
    static const BiText written{"%1 of %2 frames (%3 of %4 bytes) were written before the link failed.",
                                "连接中断前共%2帧中已写入%1帧（共%4字节中已写入%3字节）。"};
    EndText t;
    t.piece = FillText(part == TransferPart::ReadBack ? readBack : piece, chinese, {N(r.frames), N(r.framesTotal)});
    if (part == TransferPart::Write)
        t.sentence = FillText(written, chinese, {N(r.frames), N(r.framesTotal), N(r.bytes), N(r.bytesTotal)});
    return t;
}

std::string NothingTransferredText(bool chinese) { return BiText{"nothing was transferred", "未传输数据"}.In(chinese); }

EndText PartlyWrittenText(bool chinese)
{
    return {BiText{"the radio is left partly written", "电台数据只写入了一部分"}.In(chinese),
            BiText{"The radio now holds a mix of old and new settings: write to it again before using it.",
                   "电台现在新旧设置混杂，使用前请重新写入。"}
                .In(chinese)};
}

std::string PartlyWrittenSummary(const std::vector<std::string>& radios, bool chinese)
{
    if (radios.empty())
        return BiText{"no radio was left partly written", "没有电台只写入了一部分"}.In(chinese);
    std::string t = BiText{"left partly written: ", "只写入了一部分: "}.In(chinese);
    for (std::size_t i = 0; i < radios.size(); ++i)
        t += (i ? ", " : "") + radios[i];
    return t;
}

EndText WriteCompletedText(const std::string& port, bool chinese)
{
    static const BiText sentence{"The write to the radio on %1 completed, but reading it back to verify it did not.",
                                 "向 %1 上的电台写数据已完成，但为校验而回读未完成。"};
    return {BiText{"the write itself completed", "写入本身已完成"}.In(chinese), FillText(sentence, chinese, {port})};
}

EndText ReadBackDiffersText(const std::string& file, const std::string& port, bool chinese)
{
    static const BiText piece{"the read-back differs from %1:", "回读数据不同于 %1:"};
    static const BiText sentence{"The radio on %1 does not hold what was written; these differ:",
                                 "%1 上的电台中的数据与写入的不同；以下各项不一致："};
    return {FillText(piece, chinese, {file}), FillText(sentence, chinese, {port})};
}

EndText NotCheckedText(const std::string& why, bool chinese)
{
    static const BiText piece{"the radio could not be checked before the write (%1); nothing was written",
                              "写入前无法检查电台 (%1); 未写入任何数据"};
    return {FillText(piece, chinese, {why}),
            BiText{"The radio could not be checked before the write, so nothing was written to it.",
                   "写入前无法检查电台，因此未向其写入任何数据。"}
                .In(chinese)};
}
