// The words of a transfer's end that the window, progtool and the fleet share:
// each outcome's piece and sentence in both languages, their numbers in the
// order each language puts them.
#include <gtest/gtest.h>

#include <functional>

#include "core/app/BiText.h"
#include "core/link/TransferText.h"

TEST(TransferText, EachOutcomeInBothLanguages)
{
    TransferResult r;
    r.dataPhase = true;
    r.frames = 300;
    r.framesTotal = 1023;
    r.bytes = 2400;
    r.bytesTotal = 8182;
    TransferResult unsent = r;
    unsent.dataPhase = false;
    struct Row {
        const char* name;
        std::function<EndText(bool)> text;
        const char *piece, *sentence, *pieceZh, *sentenceZh;
    };
    const Row rows[] = {
        {"cancelled read", [&](bool zh) { return CancelledText(r, TransferPart::Read, "COM1", zh); },
         "cancelled after 300 of 1023 frames", "The read from the radio on COM1 was stopped. Nothing is changed.",
         "已取消, 停止于第 300 帧, 共 1023 帧", "从COM1上的电台读数据已停止。没有任何改变。"},
        {"cancelled backup", [&](bool zh) { return CancelledText(r, TransferPart::Backup, "COM1", zh); },
         "cancelled after 300 of 1023 frames",
         "The backup read from the radio on COM1 was stopped. Nothing was written to the radio.",
         "已取消, 停止于第 300 帧, 共 1023 帧", "从 COM1 上的电台读取备份已停止。没有向电台写入任何数据。"},
        // The check reads frames, but the write sent none.
        {"cancelled check", [&](bool zh) { return CancelledText(r, TransferPart::Check, "COM1", zh); },
         "cancelled after 300 of 1023 frames",
         "The write to the radio on COM1 was stopped before any data was sent. The radio is unchanged.",
         "已取消, 停止于第 300 帧, 共 1023 帧", "向COM1上的电台写数据在发送任何数据之前已停止。电台没有改变。"},
        {"cancelled write, nothing sent",
         [&](bool zh) { return CancelledText(unsent, TransferPart::Write, "COM1", zh); },
         "cancelled after 300 of 1023 frames",
         "The write to the radio on COM1 was stopped before any data was sent. The radio is unchanged.",
         "已取消, 停止于第 300 帧, 共 1023 帧", "向COM1上的电台写数据在发送任何数据之前已停止。电台没有改变。"},
        {"cancelled write", [&](bool zh) { return CancelledText(r, TransferPart::Write, "COM1", zh); },
         "cancelled after 300 of 1023 frames",
         "The write to the radio on COM1 was stopped after 300 of 1023 frames (2400 of 8182 bytes).",
         "已取消, 停止于第 300 帧, 共 1023 帧",
         "向COM1上的电台写数据已停止：共1023帧，已写入300帧（共8182字节，已写入2400字节）。"},
        {"stopped write", [&](bool zh) { return StoppedText(r, TransferPart::Write, zh); },
         "stopped after 300 of 1023 frames",
         "300 of 1023 frames (2400 of 8182 bytes) were written before the link failed.", "停止于第 300 帧, 共 1023 帧",
         "连接中断前共1023帧中已写入300帧（共8182字节中已写入2400字节）。"},
        {"stopped read-back", [&](bool zh) { return StoppedText(r, TransferPart::ReadBack, zh); },
         "stopped after 300 of 1023 frames of the read-back", "", "停止于第 300 帧, 共 1023 帧 (回读)", ""},
        {"partly written", [](bool zh) { return PartlyWrittenText(zh); }, "the radio is left partly written",
         "The radio now holds a mix of old and new settings: write to it again before using it.",
         "电台数据只写入了一部分", "电台现在新旧设置混杂，使用前请重新写入。"},
        {"write completed", [](bool zh) { return WriteCompletedText("COM1", zh); }, "the write itself completed",
         "The write to the radio on COM1 completed, but reading it back to verify it did not.", "写入本身已完成",
         "向 COM1 上的电台写数据已完成，但为校验而回读未完成。"},
        {"read-back differs", [](bool zh) { return ReadBackDiffersText("a.dat", "COM1", zh); },
         "the read-back differs from a.dat:", "The radio on COM1 does not hold what was written; these differ:",
         "回读数据不同于 a.dat:", "COM1 上的电台中的数据与写入的不同；以下各项不一致："},
        {"not checked", [](bool zh) { return NotCheckedText("cancelled", zh); },
         "the radio could not be checked before the write (cancelled); nothing was written",
         "The radio could not be checked before the write, so nothing was written to it.",
         "写入前无法检查电台 (cancelled); 未写入任何数据", "写入前无法检查电台，因此未向其写入任何数据。"},
    };
    for (const Row& row : rows) {
        const EndText en = row.text(false), zh = row.text(true);
        EXPECT_EQ(en.piece, row.piece) << row.name;
        EXPECT_EQ(en.sentence, row.sentence) << row.name;
        EXPECT_EQ(zh.piece, row.pieceZh) << row.name;
        EXPECT_EQ(zh.sentence, row.sentenceZh) << row.name;
    }
}

TEST(TransferText, FleetSummaryAndJoinedSentences)
{
    EXPECT_EQ(PartlyWrittenSummary({}, false), "no radio was left partly written");
    EXPECT_EQ(PartlyWrittenSummary({}, true), "没有电台只写入了一部分");
    EXPECT_EQ(PartlyWrittenSummary({"COM1", "COM2"}, false), "left partly written: COM1, COM2");
    EXPECT_EQ(PartlyWrittenSummary({"COM1", "COM2"}, true), "只写入了一部分: COM1, COM2");
    EXPECT_EQ(NothingTransferredText(false), "nothing was transferred");
    EXPECT_EQ(NothingTransferredText(true), "未传输数据");
    // The window's sentence after a write cut short: a space only in English.
    EXPECT_EQ(JoinSentences("One.", "Two.", false), "One. Two.");
    EXPECT_EQ(JoinSentences("一。", "二。", true), "一。二。");
    // A value that holds a placeholder is not filled in again.
    EXPECT_EQ(FillText({"%1 and %2", "%2 与 %1"}, true, {"%2", "b"}), "b 与 %2");
}
