// The printed report through a real QPrinter: a sample document printed to
// PDF offscreen, its pages read back with pdftotext (poppler-utils), in both
// languages, and the view's Print, Print Direct and Print Preview commands.
#include <QFontMetricsF>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>
#include <cstdio>

#include "gui/app/AppPrinter.h"
#include "core/app/Globals.h"
#include "core/app/IniFile.h"
#include "gui/app/MessageBox.h"
#include "gui/editor/PrintJob.h"
#include "gui/editor/ProgramView.h"
#include "core/radio/ChannelCodec.h"
#include "gui/radio/ProgramDoc.h"
#include "tests/support/TestEnv.h"
#include "report/ReportPrinter.h"

namespace {

std::string Frequency(int row)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%3.5f", 136.0 + row * 0.125);
    return buf;
}

// A channel row as the grid holds it after a decode; the lock column gets a
// word of its own so the test can see that the hidden column is printed.
void FillRow(ITextGrid& grid, int row)
{
    grid.SetTextMatrix(row, kColRxFreq, Frequency(row));
    grid.SetTextMatrix(row, kColTxFreq, Frequency(row + 1));
    grid.SetTextMatrix(row, kColRxTone, "D023N");
    grid.SetTextMatrix(row, kColTxTone, "88.5");
    grid.SetTextMatrix(row, kColPower, "High");
    grid.SetTextMatrix(row, kColLock, "Locked" + std::to_string(row));
    grid.SetTextMatrix(row, kColScanAdd, "Add");
    grid.SetTextMatrix(row, kColBandwidth, "Wide");
    grid.SetTextMatrix(row, kColName, "CH" + std::to_string(row));
}

void ClearRow(ITextGrid& grid, int row)
{
    for (int c = 1; c < kGridCols; ++c)
        grid.SetTextMatrix(row, c, "");
}

QString Run(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

int PdfPages(const QString& pdf)
{
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(Run(QStringLiteral("pdfinfo"), {pdf}));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

// Text of one page with runs of white space made single spaces. NFKC undoes
// what the font's glyph names leave behind: ligatures ("ﬀ") and CJK radicals.
QString PageText(const QString& pdf, int page)
{
    const QString n = QString::number(page);
    QString text = Run(QStringLiteral("pdftotext"), {QStringLiteral("-f"), n, QStringLiteral("-l"), n,
                                                     QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    return text.normalized(QString::NormalizationForm_KC).simplified();
}

struct Word {
    double x = 0, y = 0, xMax = 0;
};
// Word boxes of one page (pdftotext -bbox) in points.
QList<QPair<QString, Word>> PageWords(const QString& pdf, int page)
{
    const QString n = QString::number(page);
    const QString html = Run(QStringLiteral("pdftotext"), {QStringLiteral("-f"), n, QStringLiteral("-l"), n,
                                                           QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    QList<QPair<QString, Word>> words;
    static const QRegularExpression re(
        QStringLiteral("<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\"[^>]*>([^<]*)</word>"));
    for (auto it = re.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        const Word box{m.captured(1).toDouble(), m.captured(2).toDouble(), m.captured(3).toDouble()};
        words.append({m.captured(4), box});
    }
    return words;
}

// The nth occurrence of a word.
Word Find(const QList<QPair<QString, Word>>& words, const QString& text, int nth = 0)
{
    for (const auto& w : words)
        if (w.first == text && nth-- == 0)
            return w.second;
    return Word{-1, -1, -1};
}

using Bytes = QList<QPair<int, int>>;  // image offset, byte

struct TextBox {
    QRectF box;
    QString text;
};

// The text boxes of one page as the printer draws them in its fonts (across:
// the advance and any overhanging ink; down: the ink, as fallback fonts for
// Chinese have lines of their own), and its rules; twips down from the
// top-left corner of the printable area.
QList<TextBox> PageBoxes(CReportPrinter& report, QPrinter& printer, int page, QList<QLineF>& rules)
{
    ReportContext ctx;
    const std::vector<DrawOp> ops = report.LayOutPage(printer, page, &ctx);
    const QFontMetricsF pageFont(CReportPrinter::MakeFont(PageFontSize(ctx.metrics.geometry)), &printer);
    const QFontMetricsF smallFont(CReportPrinter::MakeFont(SmallFontSize(ctx.metrics.geometry)), &printer);
    QList<TextBox> boxes;
    for (const DrawOp& op : ops) {
        if (op.kind == DrawOp::Line) {
            rules.append(QLineF(op.x, -op.y, op.x2, -op.y2));
            continue;
        }
        const QFontMetricsF& fm = op.font == FontId::Small ? smallFont : pageFont;
        const QString text = QString::fromStdString(op.text);
        const QRectF ink = fm.tightBoundingRect(text);  // from the baseline
        const QPointF topLeft(op.x + std::min<qreal>(0, ink.left()), -op.y + fm.ascent() + ink.top());
        const QPointF bottomRight(op.x + std::max(fm.horizontalAdvance(text), ink.right()),
                                  -op.y + fm.ascent() + ink.bottom());
        boxes.append({QRectF(topLeft, bottomRight), text});
    }
    return boxes;
}

// The report as the running program prints it: its language and Program.ini's owner.
ReportSettings Settings() { return ReportSettingsFromIni(theIniFile, g_strLanguage, g_bChinese != 0); }

// scripts/report-screenshots.sh asks for the sample reports by naming a folder.
void KeepForScreenshots(const QString& pdf, const QString& name)
{
    const QString dir = qEnvironmentVariable("PROG_REPORT_PDF_DIR");
    if (dir.isEmpty())
        return;
    QFile::remove(dir + QLatin1Char('/') + name);
    QFile::copy(pdf, dir + QLatin1Char('/') + name);
}

}  // namespace

class TestPrint : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
#ifdef _WIN32
        QSKIP(
            "the pages are read back with poppler's pdftotext, a Linux program: the Wine run reads the PDFs "
            "progtool.exe prints");
#endif
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty() ||
            QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty()) {
            // In CI a missing tool is a fault of the machine's set-up, not a reason to pass.
            if (qEnvironmentVariableIsSet("CI"))
                QFAIL("pdftotext/pdfinfo (poppler-utils) are not installed: scripts/install-deps.sh installs them");
            QSKIP("pdftotext/pdfinfo (poppler-utils) are not installed: scripts/install-deps.sh installs them");
        }
        QVERIFY(m_dir.isValid());
        QVERIFY(theIniFile.Load(PROG_BIN_DIR "/Program.ini", false, true, false));
    }

    void init()
    {
        testenv::SetLanguage(false);
        m_grid = CTextGrid();
        m_image = NewDocumentImage();
    }

    void englishReportOfEightChannels()
    {
        for (int r = 1; r <= 7; ++r)
            FillRow(m_grid, r);
        FillRow(m_grid, 200);
        const QString pdf = m_dir.filePath(QStringLiteral("en.pdf"));
        QString error;
        QVERIFY2(PrintReportToPdf(m_grid, m_image, Settings(), pdf, &error), qPrintable(error));
        QCOMPARE(PdfPages(pdf), 3);
        KeepForScreenshots(pdf, QStringLiteral("report_en.pdf"));

        const QString options = PageText(pdf, 1);
        for (const char* text : {"Option", "Function", "Time Out Timer: 1", "Squelch Level: 1", "Beep: On",
                                 "Call Tone: Off", "Channel Display: Off", "Busy Off", "Scan Mode: CO",
                                 "Keypad Lock: Manual", "LED Auto", "Mode: Frequency", "Encoder Off", "Step: 25k",
                                 "Battery Saver: Off", "Pri-Scanning Time: 3s", "Tanager Radio Works", "Page 1 of 3"})
            QVERIFY2(options.contains(QLatin1String(text)), qPrintable(QStringLiteral("%1 in: %2").arg(text, options)));

        const QString first = PageText(pdf, 2);
        QVERIFY2(first.contains(QLatin1String("Channel 0:")), qPrintable(first));  // the "Pr" row
        for (int r = 1; r <= 7; ++r) {
            QVERIFY(first.contains(QStringLiteral("Channel %1:").arg(r - 1)));
            QVERIFY(first.contains(QString::fromStdString(Frequency(r))));
            QVERIFY(first.contains(QStringLiteral("Locked%1").arg(r)));
            QVERIFY(first.contains(QStringLiteral("CH%1").arg(r)));
        }
        for (const char* text : {"Receive Frequency:", "Transceive Frequency:", "QT/DQT Decode: D023N",
                                 "QT/DQT Encode: 88.5", "Power: High", "Channel Lock:", "Page 2 of 3"})
            QVERIFY2(first.contains(QLatin1String(text)), text);
        QVERIFY(!first.contains(QLatin1String("Channel 199:")));

        const QString last = PageText(pdf, 3);
        QVERIFY(last.contains(QLatin1String("Channel 199:")));
        QVERIFY(last.contains(QLatin1String("Locked200")));
        QVERIFY(!last.contains(QLatin1String("Channel 6:")));
        QVERIFY(last.contains(QLatin1String("Page 3 of 3")));
    }

    void pagesFollowTheLayoutGeometry()
    {
        for (int r = 1; r <= 3; ++r)
            FillRow(m_grid, r);
        const QString pdf = m_dir.filePath(QStringLiteral("geometry.pdf"));
        QVERIFY(PrintReportToPdf(m_grid, m_image, Settings(), pdf, nullptr));
        const auto words = PageWords(pdf, 2);
        const Word title = Find(words, QStringLiteral("Channel"), 0);
        const Word block0 = Find(words, QStringLiteral("0:"));
        const Word block1 = Find(words, QStringLiteral("1:"));
        const Word receive = Find(words, QStringLiteral("Receive"));
        const Word rx = Find(words, QString::fromStdString(Frequency(1)));
        const Word transceive = Find(words, QStringLiteral("Transceive"));
        const Word tx = Find(words, QString::fromStdString(Frequency(2)));
        const Word page = Find(words, QStringLiteral("Page"));
        QVERIFY(title.y >= 0 && block0.y > title.y && block1.y > block0.y && page.y > block1.y);
        // Down the page: a block is 5.7 small lines high, the label line one line under the heading.
        const double line = receive.y - block0.y;
        QVERIFY(line > 0);
        QVERIFY2(qAbs((block1.y - block0.y) / line - 5.7) < 0.1,
                 qPrintable(QString::number((block1.y - block0.y) / line)));
        // Across: the columns stay at 5, 22, 36 and 55 Wd where their texts
        // fit, the value running past the rules' end (60 Wd).
        const double wd = (rx.x - receive.x) / 17.0;
        QVERIFY(wd > 0);
        QVERIFY2(qAbs((transceive.x - receive.x) / wd - 31) < 0.3,
                 qPrintable(QString::number((transceive.x - receive.x) / wd)));
        QVERIFY2(qAbs((tx.x - receive.x) / wd - 50) < 0.3, qPrintable(QString::number((tx.x - receive.x) / wd)));
        const Word colon = Find(words, QStringLiteral("Frequency:"), 1);  // "Transceive Frequency:"
        QVERIFY(transceive.x > rx.xMax && colon.xMax < tx.x);
        // The footer's page number at 45 Wd, the title one column right of the rules' start.
        QVERIFY(qAbs((page.x - receive.x) / wd - 40) < 0.3);
        QVERIFY(qAbs((title.x - receive.x) / wd - 1) < 0.3);
    }

    // Every byte prints a word of the page's table, also where the dialog's
    // lists have no item for it.
    void optionPageWordsForEveryByte_data()
    {
        QTest::addColumn<bool>("chinese");
        QTest::addColumn<Bytes>("bytes");
        QTest::addColumn<QStringList>("lines");
        using B = Bytes;
        QTest::newRow("beyond the lists")
            << false << B{{mem::kTimeOutTimer, 0x05}, {mem::kSquelch, 0x0C}, {mem::kVoiceSensitivity, 20},
                          {mem::kCallTone, 12},       {mem::kStep, 0xFF},    {mem::kBatterySaver, 6},
                          {mem::kFlags1, 0x3C},       {mem::kFlags2, 0x03},  {mem::kPriScanTime, 0x07}}
            << QStringList{"Time Out Timer: 1", "Squelch Level: 12",    "Voice Sensitivity: 20", "Call Tone: 12",
                           "Step: 25k",         "Battery Saver: 1.2",   "Scan Mode: TO",         "LED On",
                           "Mode: Memory",      "Pri-Scanning Time: 3s"};
        QTest::newRow("high bits")
            << false << B{{mem::kTimeOutTimer, 0xFE}, {mem::kSquelch, 0xFF}, {mem::kVoiceSensitivity, 0xFF},
                          {mem::kCallTone, 0x19},     {mem::kStep, 0x08},    {mem::kBatterySaver, 0xFF}}
            << QStringList{"Time Out Timer: 3", "Squelch Level: 15", "Voice Sensitivity: 31",
                           "Call Tone: 1750",   "Step: 25k",         "Battery Saver: Off"};
        QTest::newRow("chinese") << true
                                 << B{{mem::kTimeOutTimer, 0x04},
                                      {mem::kVoiceSensitivity, 0xE0},
                                      {mem::kCallTone, 0x0F},
                                      {mem::kStep, 0x03},
                                      {mem::kBatterySaver, 7}}
                                 << QStringList{"超时定时器:关", "声控灵敏度:关", "呼叫铃音:15", "步长:12.5k",
                                                "电池省电:1.4"};
    }

    void optionPageWordsForEveryByte()
    {
        QFETCH(bool, chinese);
        QFETCH(Bytes, bytes);
        QFETCH(QStringList, lines);
        testenv::SetLanguage(chinese);
        for (const auto& [offset, byte] : bytes)
            m_image[static_cast<std::size_t>(offset)] = static_cast<std::uint8_t>(byte);
        const QString pdf = m_dir.filePath(QStringLiteral("options.pdf"));
        QVERIFY(PrintReportToPdf(m_grid, m_image, Settings(), pdf, nullptr));
        QString text = PageText(pdf, 1);
        if (chinese) {
            text.remove(QLatin1Char(' '));
            // CJK fonts share a glyph between an ideograph and its radical form;
            // the text extracted then names the radical (U+2ED3 for 长).
            text = text.normalized(QString::NormalizationForm_KC).replace(QChar(0x2ED3), QChar(0x957F));
        }
        for (const QString& line : lines)
            QVERIFY2(text.contains(line), qPrintable(line + " in " + text));
    }

    // A page full of long values, at A4 and Letter, in both languages: no text
    // box crosses another, a rule or the printable area's edge.
    void nothingOverlaps_data()
    {
        QTest::addColumn<int>("paper");
        QTest::addColumn<bool>("chinese");
        QTest::newRow("A4 English") << int(QPageSize::A4) << false;
        QTest::newRow("A4 Chinese") << int(QPageSize::A4) << true;
        QTest::newRow("Letter English") << int(QPageSize::Letter) << false;
        QTest::newRow("Letter Chinese") << int(QPageSize::Letter) << true;
    }

    void nothingOverlaps()
    {
        QFETCH(int, paper);
        QFETCH(bool, chinese);
        testenv::SetLanguage(chinese);
        for (int r = 1; r <= 8; ++r) {
            m_grid.SetTextMatrix(r, kColRxFreq, "479.99500");
            m_grid.SetTextMatrix(r, kColTxFreq, "479.99500");
            m_grid.SetTextMatrix(r, kColRxTone, "D754I");
            m_grid.SetTextMatrix(r, kColTxTone, r % 2 ? "D754I" : "254.1");
            m_grid.SetTextMatrix(r, kColPower, r % 2 ? "Middle" : "中");
            m_grid.SetTextMatrix(r, kColLock, r % 2 ? "Unlock" : "未锁定");
            m_grid.SetTextMatrix(r, kColName, "WWWWWWWW");
        }
        m_image[mem::kFlags2] = 0x01;  // "Frequency"
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(m_dir.filePath(QStringLiteral("boxes.pdf")));
        printer.setPageSize(QPageSize(QPageSize::PageSizeId(paper)));
        const QRectF area = printer.pageRect(QPrinter::DevicePixel);
        const QRectF printable(0, 0, area.width() * 1440 / printer.logicalDpiX(),
                               area.height() * 1440 / printer.logicalDpiY());

        CReportPrinter report(m_grid, m_image, Settings());
        QCOMPARE(report.OnPreparePrinting(), 3);
        for (int page = 1; page <= 3; ++page) {
            QList<QLineF> rules;
            const QList<TextBox> boxes = PageBoxes(report, printer, page, rules);
            QCOMPARE(rules.size(), 3);
            QVERIFY(boxes.size() >= 18);  // the last page holds one channel
            for (qsizetype i = 0; i < boxes.size(); ++i) {
                const QRectF& b = boxes[i].box;
                const QString& t = boxes[i].text;
                QVERIFY2(printable.contains(b), qPrintable(t));
                for (const QLineF& rule : rules)
                    QVERIFY2(b.top() >= rule.y1() || b.bottom() <= rule.y1(), qPrintable(t));
                for (qsizetype j = i + 1; j < boxes.size(); ++j)
                    QVERIFY2(!b.intersects(boxes[j].box), qPrintable(t + " / " + boxes[j].text));
            }
        }
    }

    void chineseReport()
    {
        testenv::SetLanguage(true);
        FillRow(m_grid, 1);
        FillRow(m_grid, 9);
        const QString pdf = m_dir.filePath(QStringLiteral("zh.pdf"));
        QVERIFY(PrintReportToPdf(m_grid, m_image, Settings(), pdf, nullptr));
        QCOMPARE(PdfPages(pdf), 2);
        KeepForScreenshots(pdf, QStringLiteral("report_zh.pdf"));
        const QString options = PageText(pdf, 1).remove(QLatin1Char(' '));
        for (const char* text : {"可选功能", "功能", "超时定时器:1", "提示音:开", "键盘锁定:手动", "LED自动",
                                 "模式:频率", "唐纳格无线电", "Page1of2"})
            QVERIFY2(options.contains(QString::fromUtf8(text)), qPrintable(QString::fromUtf8(text) + " in " + options));
        const QString channels = PageText(pdf, 2).remove(QLatin1Char(' '));
        for (const char* text : {"信道", "信道0:", "信道8:", "接收频率:", "发射频率:", "QT/DQT解码:D023N", "功率:High",
                                 "信道锁定:Locked1", "信道名字:CH9"})
            QVERIFY2(channels.contains(QString::fromUtf8(text)),
                     qPrintable(QString::fromUtf8(text) + " in " + channels));
    }

    void pageBoundariesAreRebuiltForEveryJob()
    {
        for (int r = 1; r <= 200; ++r)
            FillRow(m_grid, r);
        const QString full = m_dir.filePath(QStringLiteral("full.pdf"));
        QVERIFY(PrintReportToPdf(m_grid, m_image, Settings(), full, nullptr));
        QCOMPARE(PdfPages(full), 30);  // 200 channels: 29 channel pages
        QVERIFY(PageText(full, 30).contains(QLatin1String("Channel 199:")));

        for (int r = 1; r <= 200; ++r)
            if (r != 5 && r != 100 && r != 200)
                ClearRow(m_grid, r);
        const QString few = m_dir.filePath(QStringLiteral("few.pdf"));
        QVERIFY(PrintReportToPdf(m_grid, m_image, Settings(), few, nullptr));
        QCOMPARE(PdfPages(few), 2);
        const QString page = PageText(few, 2);
        for (const char* text : {"Channel 4:", "Channel 99:", "Channel 199:", "Page 2 of 2"})
            QVERIFY2(page.contains(QLatin1String(text)), text);

        ClearRow(m_grid, 5);
        ClearRow(m_grid, 100);
        ClearRow(m_grid, 200);
        QVERIFY(PrintReportToPdf(m_grid, m_image, Settings(), few, nullptr));  // replaces the earlier file
        QCOMPARE(PdfPages(few), 1);
        QVERIFY(PageText(few, 1).contains(QLatin1String("Page 1 of 1")));
    }

    void unwritableTargetIsReported()
    {
        const QString pdf = m_dir.filePath(QStringLiteral("missing/dir/report.pdf"));
        QString error;
        QVERIFY(!PrintReportToPdf(m_grid, m_image, Settings(), pdf, &error));
        QVERIFY2(error.contains(QLatin1String("report.pdf")), qPrintable(error));
        QVERIFY(!QFile::exists(pdf));
        QVERIFY(!PrintReportToPdf(m_grid, m_image, Settings(), m_dir.path(), &error));  // a folder
    }

    void viewCommands()
    {
        CProgramDoc doc;
        QVERIFY(doc.OnNewDocument());
        CProgramView view(&doc);
        view.OnInitialUpdate();
        for (int r = 1; r <= 8; ++r)
            FillRow(view.Grid(), r);
        CPrintJob job(view.Grid(), &doc, &view);

        // Preview: the whole job, option page plus two channel pages.
        int previewPages = -1;
        SetDialogHook([&previewPages](QDialog* d) {
            if (auto* preview = qobject_cast<QPrintPreviewDialog*>(d)) {
                auto* widget = preview->findChild<QPrintPreviewWidget*>();
                widget->updatePreview();
                previewPages = widget->pageCount();
            }
            return int(QDialog::Rejected);
        });
        job.Preview();
        QCOMPARE(previewPages, 3);
        QCOMPARE(job.Pagination().m_nChannelCount, 8);
        QCOMPARE(job.Pagination().m_pageEnd[1], 7);
        QCOMPARE(job.Pagination().m_pageEnd[2], 200);

        // Print: the dialog offers pages 1 to 3; cancelling prints nothing.
        const QString pdf = m_dir.filePath(QStringLiteral("view.pdf"));
        AppPrinter().setOutputFormat(QPrinter::PdfFormat);
        AppPrinter().setOutputFileName(pdf);
        int minPage = 0, maxPage = 0;
        SetDialogHook([&](QDialog* d) {
            auto* dialog = qobject_cast<QPrintDialog*>(d);
            minPage = dialog->minPage();
            maxPage = dialog->maxPage();
            return int(QDialog::Rejected);
        });
        job.Print();
        QCOMPARE(minPage, 1);
        QCOMPARE(maxPage, 3);
        QVERIFY(!QFile::exists(pdf));

        // Accepted with pages 2 to 3 only.
        SetDialogHook([](QDialog* d) {
            auto* dialog = qobject_cast<QPrintDialog*>(d);
            dialog->printer()->setPrintRange(QPrinter::PageRange);
            dialog->printer()->setFromTo(2, 3);
            return int(QDialog::Accepted);
        });
        job.Print();
        SetDialogHook({});
        QCOMPARE(PdfPages(pdf), 2);
        QVERIFY(PageText(pdf, 1).contains(QLatin1String("Page 2 of 3")));

        // Direct: no dialog, the whole job on the chosen printer.
        ClearRow(view.Grid(), 8);
        QFile::remove(pdf);
        bool asked = false;
        SetDialogHook([&asked](QDialog*) {
            asked = true;
            return int(QDialog::Rejected);
        });
        job.PrintDirect();
        SetDialogHook({});
        QVERIFY(!asked);
        QCOMPARE(PdfPages(pdf), 2);
        QVERIFY(PageText(pdf, 2).contains(QLatin1String("Channel 6:")));
        AppPrinter().setOutputFormat(QPrinter::NativeFormat);
    }

private:
    QTemporaryDir m_dir;
    CTextGrid m_grid;
    Image m_image{};
};

QTEST_MAIN(TestPrint)
#include "tst_print.moc"
