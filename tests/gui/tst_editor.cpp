// The channel grid and its overlay editors, driven with clicks and keys.
#include <QHeaderView>
#include <QLabel>
#include <QTranslator>
#include <QUndoStack>
#include <QtTest>

#include "core/radio/ChannelCodec.h"
#include "tests/gui/tst_editor_util.h"

namespace {

Image ImageWithChannels()
{
    Image image = NewDocumentImage();
    RecordFields a;  // row 2: 145.125 / 145.125, 67.0, D023N, High, Lock, Yes, Wide, "AB"
    a.rx = a.tx = 14512500;
    a.rxToneL = 0x70;
    a.rxToneH = 0x06;
    a.txToneL = 0x23;
    a.txToneH = 0x80;
    a.flags = 0x2E;
    a.name[0] = 10;
    a.name[1] = 11;
    PutRecord(image, 1, a);
    RecordFields b;  // row 3: 146.000 / 146.000, Middle power, an unlisted CTCSS 123.4, D024N
    b.rx = b.tx = 14600000;
    b.rxToneL = 0x34;
    b.rxToneH = 0x12;
    b.txToneL = 0x24;
    b.txToneH = 0x80;
    b.flags = 0x1A;  // Middle, Lock, no scan, Wide
    PutRecord(image, 2, b);
    return image;
}

}  // namespace

class TestEditor : public QObject {
    Q_OBJECT
private slots:
    void gridLayout();
    void chineseInterface();
    void typingFillsDefaultRow();
    void bandAndStepChecks_data();
    void bandAndStepChecks();
    void upperLimitIsExclusive();
    void typedFrequencyIsStoredAsTypedOrRefused();
    void changingRxKeepsTheRest();
    void clearingRxDeletesChannel();
    void txWithoutRxStaysEmpty();
    void settingsRefusedOnEmptyChannel();
    void enterWalksTheRow();
    void enterRechecksRxOnTheWayToNextRow();
    void enterWrapsFromLastRow();
    void keysMoveBetweenCells();
    void moveKeysCommitLikeEnter();
    void escapeKeepsTheCell();
    void listOpensOnRequest();
    void scrollDiscardsOpenEditor();
    void mendedListKeepsUnlistedText();
    void mendedTxOffStepEmptiesOnlyTx();
    void clickOnCurrentCellReopensEditor();
    void nameEditor();
    void toneTypeAheadSelectsVisibly();
    void bandBoxes();
    void bandBoxesOfImage();
    void f1Contexts();
    void captionAndSettingsSync();
    void saveEncodesGrid();
};

void TestEditor::gridLayout()
{
    EditorEnv env;
    ViewUnderTest t;
    CMSFlexGrid& g = t.Grid();
    QCOMPARE(g.GetRows(), 201L);
    QCOMPARE(g.GetCols(), 10L);
    QCOMPARE(g.GetFixedRows(), 1L);
    QCOMPARE(g.GetFixedCols(), 1L);
    QCOMPARE(g.GetHighLight(), 0L);
    QCOMPARE(g.GetForeColorFixed(), 0x00F03200UL);
    QCOMPARE(g.model()->headerData(3, Qt::Horizontal, Qt::ForegroundRole).value<QColor>(), QColor(0, 50, 240));

    const QStringList headings = {"CH",    "Rx Frequency", "Tx Frequency", "Rx Tone",   "Tx Tone",
                                  "Power", "Cha Lock",     "Scan Add",     "Bandwidth", "Cha Name"};
    for (int c = 0; c < 10; ++c) {
        QCOMPARE(t.Cell(0, c), headings[c]);
        QCOMPARE(g.model()->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString(), headings[c]);
    }
    QCOMPARE(t.Cell(1, 0), QString("Pr"));
    QCOMPARE(t.Cell(2, 0), QString("  1"));
    QCOMPARE(t.Cell(200, 0), QString("199"));
    QCOMPARE(g.model()->headerData(200, Qt::Vertical, Qt::DisplayRole).toString(), QString("199"));

    // Headings and labels are the table's headers: they stay while the cells scroll.
    QVERIFY(g.horizontalHeader()->isVisible());
    QVERIFY(g.verticalHeader()->isVisible());
    QLabel* corner = nullptr;
    for (QLabel* l : g.findChildren<QLabel*>())
        if (l->text() == "CH")
            corner = l;
    QVERIFY(corner && corner->isVisible());
    QVERIFY(g.isRowHidden(0));
    QVERIFY(g.isColumnHidden(0));
    g.verticalScrollBar()->setValue(g.verticalScrollBar()->maximum());
    QVERIFY(g.verticalScrollBar()->value() > 0);
    QVERIFY(g.horizontalHeader()->isVisible());

    for (int c = 0; c < 10; ++c)
        QCOMPARE(g.GetColAlignment(c), short(c == 6 ? 0 : 4));
    // Widths follow the factors against column 0's width W: 0.43 W for column 0 itself.
    const long col0 = g.GetColWidth(0);
    const long w = g.GetColWidth(3);  // factor 1.0
    QVERIFY(w > 0);
    QVERIFY(qAbs(col0 - long(w * 0.43)) <= 30);
    QVERIFY(qAbs(g.GetColWidth(1) - long(w * 1.1)) <= 30);
    QVERIFY(qAbs(g.GetColWidth(5) - long(w * 0.9)) <= 30);
    QCOMPARE(g.GetColWidth(1), g.GetColWidth(9));
    QCOMPARE(g.GetColWidth(6), 0L);
    QCOMPARE(g.columnWidth(6), 0);
    QVERIFY(!g.isColumnHidden(6));  // present and filled, only without width

    const QStringList& tones = t.view->ToneNames();
    QCOMPARE(tones.size(), 261);
    QCOMPARE(tones[0], QString("None"));
    QCOMPARE(tones[1], QString("67.0"));
    QCOMPARE(tones[50], QString("254.1"));
    QCOMPARE(tones[51], QString("D023N"));
    QCOMPARE(tones[155], QString("D754N"));
    QCOMPARE(tones[156], QString("D023I"));
    QCOMPARE(tones[260], QString("D754I"));

    struct Expect {
        int id;
        QStringList items;
    };
    const Expect lists[] = {{IDC_COMBO_POWER, {"High", "Low"}},
                            {IDC_COMBO_LOCK, {"Lock", "Unlock"}},
                            {IDC_COMBO_SCANADD, {"Yes", "No"}},
                            {IDC_COMBO_BANDWIDTH, {"Wide", "Narrow"}}};
    for (const Expect& e : lists) {
        auto* combo = qobject_cast<QComboBox*>(t.view->Control(e.id));
        QVERIFY(combo);
        QCOMPARE(combo->count(), e.items.size());
        for (int i = 0; i < e.items.size(); ++i)
            QCOMPARE(combo->itemText(i), e.items[i]);
    }
    for (int id : {IDC_COMBO_RXTONE, IDC_COMBO_TXTONE}) {
        auto* combo = qobject_cast<QComboBox*>(t.view->Control(id));
        QCOMPARE(combo->count(), 261);
        QCOMPARE(combo->itemText(260), QString("D754I"));
    }
    for (int id : {IDC_EDIT_RXFREQ, IDC_EDIT_TXFREQ, IDC_EDIT_NAME, IDC_COMBO_RXTONE, IDC_COMBO_TXTONE, IDC_COMBO_POWER,
                   IDC_COMBO_LOCK, IDC_COMBO_SCANADD, IDC_COMBO_BANDWIDTH}) {
        QWidget* e = t.view->Control(id);
        QVERIFY2(e, qPrintable(QString::number(id)));
        QCOMPARE(e->parentWidget(), g.viewport());
        QVERIFY(e->isHidden());
    }
}

void TestEditor::chineseInterface()
{
    EditorEnv env(true);
    Image image = ImageWithChannels();
    RecordFields c;  // row 4: no tones, Low, Unlock, scan No, Narrow
    c.rx = c.tx = 43000000;
    c.flags = 0x00;
    PutRecord(image, 3, c);
    ViewUnderTest t(&image);
    const QStringList headings = {"信道", "接收频率", "发射频率", "接收信令", "发射信令",
                                  "功率", "信道锁定", "扫描添加", "带宽",     "信道名字"};
    for (int col = 0; col < 10; ++col)
        QCOMPARE(t.Cell(0, col), headings[col]);
    QCOMPARE(t.view->ToneNames()[0], QString("无"));
    QCOMPARE(t.view->ToneNames()[1], QString("67.0"));
    auto* power = qobject_cast<QComboBox*>(t.view->Control(IDC_COMBO_POWER));
    QCOMPARE(power->itemText(0), QString("高"));
    QCOMPARE(power->itemText(1), QString("低"));
    QCOMPARE(qobject_cast<QComboBox*>(t.view->Control(IDC_COMBO_LOCK))->itemText(1), QString("未锁定"));
    QCOMPARE(qobject_cast<QComboBox*>(t.view->Control(IDC_COMBO_SCANADD))->itemText(1), QString("无"));
    QCOMPARE(qobject_cast<QComboBox*>(t.view->Control(IDC_COMBO_BANDWIDTH))->itemText(0), QString("宽"));
    QCOMPARE(t.Row(4), QStringList({"430.00000", "430.00000", "无", "无", "低", "未锁定", "无", "窄", ""}));
    QCOMPARE(t.Row(3)[4], QString("中"));

    // The default row of a new channel is Chinese too, and the tone "无" and
    // scan "无" are told apart by column when encoding.
    t.Click(10, 1);
    t.Type("435.5");
    t.Enter();
    QCOMPARE(t.Row(10), QStringList({"435.50000", "435.50000", "无", "无", "高", "锁定", "有", "宽", ""}));
    t.view->GridToImage();
    QCOMPARE(t.doc.GetImage()[16 * 3 + 8], std::uint8_t(0xFF));
    QCOMPARE(t.doc.GetImage()[16 * 3 + 12] & 0x04, 0);
}

void TestEditor::typingFillsDefaultRow()
{
    EditorEnv env;
    ViewUnderTest t;
    t.Click(5, 1);
    QVERIFY(t.OpenEdit());
    QCOMPARE(ControlId(t.OpenEdit()), int(IDC_EDIT_RXFREQ));
    QCOMPARE(QApplication::focusWidget(), t.view->OpenEditor());
    t.Type("145.125");
    t.Enter();
    QCOMPARE(t.Row(5), QStringList({"145.12500", "145.12500", "None", "None", "High", "Lock", "Yes", "Wide", ""}));
    QVERIFY(env.m_messages.isEmpty());
    // Enter moved on to the transmit cell and opened its editor.
    QCOMPARE(t.Grid().GetRow(), 5L);
    QCOMPARE(t.Grid().GetCol(), 2L);
    QVERIFY(t.OpenEdit());
    QCOMPARE(t.OpenEdit()->text(), QString("145.12500"));

    // The editor lies inside its cell, centred within the cell's frame.
    const QRect cell = t.Grid().CellRect(5, 2);
    const QRect ed = t.view->OpenEditor()->geometry();
    QVERIFY(cell.contains(ed) && ed.width() < cell.width() && ed.height() < cell.height());
    QVERIFY((ed.center() - cell.center()).manhattanLength() <= 1);
}

void TestEditor::bandAndStepChecks_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("message");
    QTest::addColumn<QString>("stored");
    QTest::newRow("6.25 kHz raster") << "145.00625" << 0 << "145.00625";
    QTest::newRow("2.5 kHz raster") << "145.0075" << 0 << "145.00750";
    QTest::newRow("off both rasters") << "145.0065" << int(IDS_STEP_ERROR) << "";
    QTest::newRow("below VHF") << "100" << int(IDS_OUT_OF_RANGE) << "";
    QTest::newRow("between bands") << "300" << int(IDS_OUT_OF_RANGE) << "";
    QTest::newRow("UHF") << "439.99375" << 0 << "439.99375";
}

void TestEditor::bandAndStepChecks()
{
    QFETCH(QString, typed);
    QFETCH(int, message);
    QFETCH(QString, stored);
    EditorEnv env;
    Image image = ImageWithChannels();
    ViewUnderTest t(&image);
    // By Enter in an empty row, and by a click away from a filled one.
    for (int row : {20, 2}) {
        env.m_messages.clear();
        t.Click(row, 1);
        t.ClearEditor();
        t.Type(typed);
        if (row == 20)
            t.Enter();
        else
            t.Click(row + 1, 4);
        QCOMPARE(t.Cell(row, 1), stored);
        if (message) {
            QCOMPARE(env.m_messages.size(), 1);
            QVERIFY(env.m_messages[0].text.startsWith(LoadStringRes(message)));
            QCOMPARE(env.m_messages[0].caption, QString("Caution"));
            // A refused receive frequency empties the whole row.
            QCOMPARE(t.Row(row), QStringList(QVector<QString>(9)));
            QVERIFY(!t.view->OpenEditor() || row != 20);
            if (row == 20) {  // Enter stays on the cell with the editor closed
                QCOMPARE(t.Grid().GetRow(), 20L);
                QCOMPARE(t.Grid().GetCol(), 1L);
            }
        } else {
            QVERIFY(env.m_messages.isEmpty());
        }
    }
}

void TestEditor::upperLimitIsExclusive()
{
    EditorEnv env;
    ViewUnderTest t;
    t.TypeBand(IDC_VHF_LOW, "136", IDC_VHF_HIGH);
    t.TypeBand(IDC_VHF_HIGH, "175", IDC_UHF_LOW);
    QCOMPARE(g_nVhfHigh, 17500000);
    t.Click(3, 1);
    t.Type("175");
    t.Enter();
    QCOMPARE(env.m_messages.size(), 1);
    // The standard text, and under it the ranges in force.
    QCOMPARE(env.m_messages[0].text,
             QString("Out of range,please input again.\nVHF 136-175 MHz, UHF 400-520 MHz (upper limits excluded)"));
    QCOMPARE(t.Cell(3, 1), QString());
    t.Click(3, 1);
    t.Type("136");
    t.Enter();
    QCOMPARE(env.m_messages.size(), 1);
    QCOMPARE(t.Cell(3, 1), QString("136.00000"));

    // Edit ranges past what a record holds let in no frequency it cannot store.
    t.TypeBand(IDC_VHF_LOW, "0", IDC_VHF_HIGH);
    t.TypeBand(IDC_VHF_HIGH, "1065", IDC_UHF_LOW);
    for (const char* typed : {"5", "0", "1000"}) {
        env.m_messages.clear();
        t.Click(4, 1);
        t.Type(typed);
        t.Enter();
        QCOMPARE(env.m_messages.size(), 1);
        QCOMPARE(env.m_messages[0].text, QString("Out of range,please input again.\nVHF 0-1065 MHz, UHF 400-520 MHz "
                                                 "(upper limits excluded); a channel holds only 10.00000 to "
                                                 "999.99999 MHz"));
        QCOMPARE(t.Cell(4, 1), QString());
    }
}

void TestEditor::typedFrequencyIsStoredAsTypedOrRefused()
{
    EditorEnv env;
    Image image = ImageWithChannels();
    ViewUnderTest t(&image);
    // A decimal comma is a decimal point; the unit may follow the number.
    for (const char* typed : {"146.5 MHz", "147,33"}) {
        t.Click(2, 1);
        t.ClearEditor();
        t.Type(typed);
        t.Enter();
    }
    QCOMPARE(t.Cell(2, 1), QString("147.33000"));
    QVERIFY(env.m_messages.isEmpty());
    // Junk after the number is refused with the accepted form and the ranges,
    // in either frequency column; nothing of the row is lost.
    const QStringList before = t.Row(2);
    for (int col : {1, 2}) {
        env.m_messages.clear();
        t.Click(2, col);
        t.ClearEditor();
        t.Type("146.94000Q");
        QCOMPARE(t.OpenEdit()->text(), QString("146.94000Q"));
        t.Enter();
        QCOMPARE(env.m_messages.size(), 1);
        QCOMPARE(env.m_messages[0].text,
                 QString("\"146.94000Q\" is not a frequency. Please type megahertz with up to five decimals, "
                         "e.g. 145.125 or 145,125 (\"MHz\" or \"M\" may follow).\nVHF 130-180 MHz, UHF 400-520 MHz "
                         "(upper limits excluded)"));
        QCOMPARE(env.m_messages[0].caption, QString("Caution"));
        QCOMPARE(t.Row(2), before);
        QCOMPARE(t.Grid().GetCol(), long(col));  // Enter does not move on
    }
}

void TestEditor::changingRxKeepsTheRest()
{
    EditorEnv env;
    Image image = ImageWithChannels();
    ViewUnderTest t(&image);
    const QStringList before = t.Row(2);
    t.Click(2, 1);
    t.ClearEditor();
    t.Type("146.5");
    t.Click(10, 3);
    QStringList expected = before;
    expected[0] = "146.50000";
    QCOMPARE(t.Row(2), expected);
}

void TestEditor::clearingRxDeletesChannel()
{
    EditorEnv env;
    Image image = ImageWithChannels();
    ViewUnderTest t(&image);
    QVERIFY(!t.Cell(2, 9).isEmpty());
    t.Click(2, 1);
    t.ClearEditor();
    t.Click(2, 5);  // leaving the cell commits the empty text
    QCOMPARE(t.Row(2), QStringList(QVector<QString>(9)));
    QVERIFY(env.m_messages.isEmpty());
    // Encoding keeps the hidden name bytes of the now empty channel.
    t.view->GridToImage();
    for (int i = 0; i < 16; ++i)
        QCOMPARE(t.doc.GetImage()[16 + i], std::uint8_t(0xFF));
    QCOMPARE(t.doc.GetImage()[mem::kNameBase + 8], std::uint8_t(10));
}

void TestEditor::txWithoutRxStaysEmpty()
{
    EditorEnv env;
    ViewUnderTest t;
    t.Click(7, 2);
    t.Type("145.125");
    t.Enter();
    QCOMPARE(t.Cell(7, 2), QString());
    QVERIFY(env.m_messages.isEmpty());
    QCOMPARE(t.Grid().GetCol(), 3L);
}

void TestEditor::settingsRefusedOnEmptyChannel()
{
    EditorEnv env;
    ViewUnderTest t;
    t.Click(8, 5);
    t.Pick("L");
    QCOMPARE(t.OpenList()->currentText(), QString("Low"));
    t.Enter();
    t.Click(8, 9);
    t.Type("ABC");
    t.Enter();
    QCOMPARE(t.Row(8), QStringList(QVector<QString>(9)));
}

void TestEditor::enterWalksTheRow()
{
    EditorEnv env;
    Image image = ImageWithChannels();
    ViewUnderTest t(&image);
    const QStringList before = t.Row(2);
    t.Click(2, 1);
    t.enterCount = t.leaveCount = 0;
    // The hidden lock column (6) is passed over.
    const std::pair<int, int> expected[] = {{2, IDC_EDIT_TXFREQ}, {3, IDC_COMBO_RXTONE},  {4, IDC_COMBO_TXTONE},
                                            {5, IDC_COMBO_POWER}, {7, IDC_COMBO_SCANADD}, {8, IDC_COMBO_BANDWIDTH},
                                            {9, IDC_EDIT_NAME}};
    for (const auto& [col, id] : expected) {
        t.Enter();
        QCOMPARE(t.Grid().GetRow(), 2L);
        QCOMPARE(t.Grid().GetCol(), long(col));
        QWidget* ed = t.view->OpenEditor();
        QVERIFY(ed);
        QCOMPARE(ControlId(ed), id);
        QCOMPARE(QApplication::focusWidget(), ed);
    }
    QCOMPARE(t.enterCount, 7);
    QCOMPARE(t.leaveCount, 7);
    // From column 9 to the next row goes through (2, 1): two moves.
    t.Enter();
    QCOMPARE(t.Grid().GetRow(), 3L);
    QCOMPARE(t.Grid().GetCol(), 1L);
    QCOMPARE(t.enterCount, 9);
    QCOMPARE(t.leaveCount, 9);
    QCOMPARE(ControlId(t.view->OpenEditor()), int(IDC_EDIT_RXFREQ));
    QCOMPARE(t.Row(2), before);  // walking through changes nothing
    QCOMPARE(t.Cell(2, 6), QString("Lock"));
}

void TestEditor::enterRechecksRxOnTheWayToNextRow()
{
    EditorEnv env;
    Image image = ImageWithChannels();
    ViewUnderTest t(&image);
    t.Click(2, 9);
    // The VHF range is narrowed meanwhile; 145.125 falls outside it.
    t.TypeBand(IDC_VHF_LOW, "150", IDC_VHF_HIGH);
    t.TypeBand(IDC_VHF_HIGH, "160", IDC_UHF_LOW);
    const QStringList before = t.Row(2);
    // Walking through the row with Enter changes nothing the user did not type.
    t.Click(2, 9);
    t.Enter();
    QCOMPARE(env.m_messages.size(), 0);
    QCOMPARE(t.Row(2), before);
    QCOMPARE(t.Grid().GetRow(), 3L);
    QCOMPARE(t.Grid().GetCol(), 1L);
    // The Rx typed again meets the narrowed range.
    t.Click(2, 1);
    t.ClearEditor();
    t.Type("145.125");
    t.Enter();
    QCOMPARE(env.m_messages.size(), 1);
    QVERIFY(env.m_messages[0].text.startsWith(LoadStringRes(IDS_OUT_OF_RANGE)));
    QCOMPARE(t.Row(2), QStringList(QVector<QString>(9)));
}

void TestEditor::enterWrapsFromLastRow()
{
    EditorEnv env;
    ViewUnderTest t;
    t.Click(200, 9);
    QVERIFY(t.Grid().verticalScrollBar()->value() > 0);
    t.Enter();
    QCOMPARE(t.Grid().GetRow(), 1L);
    QCOMPARE(t.Grid().GetCol(), 1L);
    QCOMPARE(t.Grid().verticalScrollBar()->value(), 0);
    QCOMPARE(ControlId(t.view->OpenEditor()), int(IDC_EDIT_RXFREQ));
    // The new cell's editor is placed after the scroll, over its cell.
    QVERIFY(t.Grid().CellRect(1, 1).contains(t.view->OpenEditor()->geometry()));
    t.Type("440");
    t.Enter();
    QCOMPARE(t.Cell(1, 1), QString("440.00000"));
}

void TestEditor::keysMoveBetweenCells()
{
    EditorEnv env;
    Image image = ImageWithChannels();
    ViewUnderTest t(&image);
    const QStringList row2 = t.Row(2), row3 = t.Row(3);
    QList<long> entered;
    QObject::connect(&t.Grid(), &CMSFlexGrid::EnterCell, [&] { entered << t.Grid().GetCol(); });
    const struct {
        int row, col;
        Qt::Key key;
        Qt::KeyboardModifiers mods;
        bool editing;  // false: Escape first, the grid itself has the key
        int toRow, toCol;
    } moves[] = {
        {2, 1, Qt::Key_Tab, {}, true, 2, 2},
        {2, 5, Qt::Key_Tab, {}, true, 2, 7},
        {2, 5, Qt::Key_Return, {}, true, 2, 7},
        {2, 9, Qt::Key_Tab, {}, true, 3, 1},
        {2, 7, Qt::Key_Backtab, Qt::ShiftModifier, true, 2, 5},
        {2, 7, Qt::Key_Tab, Qt::ShiftModifier, true, 2, 5},
        {3, 1, Qt::Key_Backtab, Qt::ShiftModifier, true, 2, 9},
        {1, 1, Qt::Key_Backtab, Qt::ShiftModifier, true, 200, 9},
        {2, 3, Qt::Key_Down, {}, true, 3, 3},
        {3, 5, Qt::Key_Up, {}, true, 2, 5},
        {2, 8, Qt::Key_Down, {}, true, 3, 8},
        {2, 1, Qt::Key_Down, {}, true, 3, 1},
        {3, 9, Qt::Key_Up, {}, true, 2, 9},
        {2, 5, Qt::Key_Right, {}, false, 2, 7},
        {2, 7, Qt::Key_Left, {}, false, 2, 5},
        {3, 4, Qt::Key_Down, {}, false, 4, 4},
    };
    for (const auto& m : moves) {
        const QString what =
            QStringLiteral("%1 at (%2, %3)").arg(QKeySequence(m.key | m.mods).toString()).arg(m.row).arg(m.col);
        t.Click(m.row, m.col);
        if (!m.editing)
            t.Key(Qt::Key_Escape);
        entered.clear();
        t.Key(m.key, m.mods);
        QVERIFY2(t.Grid().GetRow() == m.toRow && t.Grid().GetCol() == m.toCol, qPrintable(what));
        // The hidden lock column is never entered, and the keys stay in the grid.
        QVERIFY2(!entered.contains(kColLock), qPrintable(what));
        QVERIFY2(t.view->OpenEditor() && QApplication::focusWidget() == t.view->OpenEditor(), qPrintable(what));
    }
    // Walking changes no value, seen or unseen.
    QCOMPARE(t.Row(2), row2);
    QCOMPARE(t.Row(3), row3);
    QVERIFY(env.m_messages.isEmpty());
}

void TestEditor::moveKeysCommitLikeEnter()
{
    EditorEnv env;
    ViewUnderTest t;
    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers mods;
        int row, toRow, toCol;
    } keys[] = {{Qt::Key_Return, {}, 10, 10, 2},
                {Qt::Key_Tab, {}, 20, 20, 2},
                {Qt::Key_Backtab, Qt::ShiftModifier, 30, 29, 9},
                {Qt::Key_Down, {}, 40, 41, 1},
                {Qt::Key_Up, {}, 50, 49, 1}};
    for (const auto& k : keys) {
        const QString what = QKeySequence(k.key | k.mods).toString();
        // A refused value: the message, and the cell stays where it was.
        env.m_messages.clear();
        t.Click(k.row, 1);
        t.Type("300");
        t.Key(k.key, k.mods);
        QVERIFY2(env.m_messages.size() == 1, qPrintable(what));
        QVERIFY2(t.Grid().GetRow() == k.row && t.Grid().GetCol() == 1, qPrintable(what));
        // An accepted one fills the row and moves on; typing then goes to the new cell.
        t.Click(k.row, 1);
        t.Type("145.125");
        t.Key(k.key, k.mods);
        QCOMPARE(t.Cell(k.row, 1), QString("145.12500"));
        QCOMPARE(t.Cell(k.row, 6), QString("Lock"));
        QVERIFY2(t.Grid().GetRow() == k.toRow && t.Grid().GetCol() == k.toCol, qPrintable(what));
        QCOMPARE(env.m_messages.size(), 1);
        t.Type("9");
        QCOMPARE(t.OpenEdit() ? t.OpenEdit()->text() : QString(), QString("9"));
        t.Key(Qt::Key_Escape);
    }
    // Nothing typed reached the band boxes.
    QCOMPARE(t.view->BandEdit(IDC_VHF_LOW)->text(), QString("130"));
    QCOMPARE(t.view->BandEdit(IDC_VHF_HIGH)->text(), QString("180"));
}

void TestEditor::escapeKeepsTheCell()
{
    EditorEnv env;
    Image image = ImageWithChannels();
    ViewUnderTest t(&image);
    CMSFlexGrid& g = t.Grid();
    const QColor frame = g.palette().color(QPalette::Active, QPalette::Highlight);
    auto framed = [&](int row, int col) {
        const QImage shot = g.viewport()->grab().toImage();
        const QRect cell = g.CellRect(row, col);
        return QColor(shot.pixel(cell.left(), cell.center().y())) == frame &&
               QColor(shot.pixel(cell.center().x(), cell.bottom())) == frame;
    };
    t.Click(2, 9);
    QVERIFY(framed(2, 9));
    QVERIFY(!framed(3, 9));
    t.Type("ZZZ");
    QCOMPARE(t.OpenEdit()->text(), QString("ZZZ"));
    t.Key(Qt::Key_Escape);
    QVERIFY(!t.view->OpenEditor());
    QCOMPARE(t.Cell(2, 9), QString("AB"));
    QCOMPARE(QApplication::focusWidget(), &g);
    QVERIFY(framed(2, 9));  // still the current cell
    t.Click(5, 5);
    QCOMPARE(t.Cell(2, 9), QString("AB"));
    QVERIFY(framed(5, 5));
    QVERIFY(!framed(2, 9));

    // Typing into a cell that is not being edited replaces its text.
    t.Click(2, 1);
    t.Key(Qt::Key_Escape);
    t.Type("146.5");
    QCOMPARE(t.OpenEdit()->text(), QString("146.5"));
    t.Enter();
    QCOMPARE(t.Cell(2, 1), QString("146.50000"));

    // A list picked, then Escape: the old value stays.
    t.Click(2, 5);
    t.Pick("L");
    t.Key(Qt::Key_Escape);
    QCOMPARE(t.Cell(2, 5), QString("High"));
    t.Click(3, 5);
    QCOMPARE(t.Cell(2, 5), QString("High"));
    QVERIFY(env.m_messages.isEmpty());
}

void TestEditor::listOpensOnRequest()
{
    EditorEnv env;
    Image image = ImageWithChannels();
    ViewUnderTest t(&image);
    t.Click(2, 3);  // Rx tone 67.0
    QComboBox* list = t.OpenList();
    QVERIFY(list && !list->view()->isVisible());
    // F4 and Alt+Down open the list, in the editor or on the grid; Escape closes it.
    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers mods;
        bool onGrid;
    } openers[] = {{Qt::Key_F4, {}, false},
                   {Qt::Key_Down, Qt::AltModifier, false},
                   {Qt::Key_F4, {}, true},
                   {Qt::Key_Down, Qt::AltModifier, true}};
    for (const auto& o : openers) {
        if (o.onGrid)
            t.Key(Qt::Key_Escape);
        t.Key(o.key, o.mods);
        QVERIFY(t.OpenList() == list && list->view()->isVisible());
        t.Key(Qt::Key_Escape);
        QVERIFY(!list->view()->isVisible());
        QVERIFY(t.OpenList());
        QCOMPARE(list->currentText(), QString("67.0"));
    }
    // In the open list the arrows choose; Enter takes the item, the next Enter stores it.
    t.Key(Qt::Key_F4);
    t.Key(Qt::Key_Down);
    t.Key(Qt::Key_Return);
    QCOMPARE(list->currentText(), QString("69.3"));
    QCOMPARE(t.Grid().GetCol(), 3L);
    t.Enter();
    QCOMPARE(t.Cell(2, 3), QString("69.3"));
    // Typing opens it at the first item that begins with the text.
    t.Click(2, 4);
    t.Pick("D");
    t.Enter();
    QCOMPARE(t.Cell(2, 4), QString("D023N"));
    t.Click(2, 4);
    t.Pick("D7");
    t.Enter();
    QCOMPARE(t.Cell(2, 4), QString("D703N"));
}

void TestEditor::scrollDiscardsOpenEditor()
{
    EditorEnv env;
    Image image = ImageWithChannels();
    ViewUnderTest t(&image);
    t.Click(2, 1);
    t.ClearEditor();
    t.Type("146");
    QScrollBar* bar = t.Grid().verticalScrollBar();
    bar->setValue(bar->value() + 5);
    QVERIFY(!t.view->OpenEditor());
    QCOMPARE(t.Cell(2, 1), QString("145.12500"));
    bar->setValue(0);
    t.Click(3, 3);  // the LeaveCell finds no editor to commit
    QCOMPARE(t.Cell(2, 1), QString("145.12500"));

    // A list picked and then scrolled away keeps the cell's old text.
    t.Click(2, 5);
    t.Pick("L");
    QCOMPARE(t.OpenList()->currentText(), QString("Low"));
    bar->setValue(3);
    bar->setValue(0);
    t.Click(2, 7);
    QCOMPARE(t.Cell(2, 5), QString("High"));
    QVERIFY(env.m_messages.isEmpty());
}

void TestEditor::mendedListKeepsUnlistedText()
{
    EditorEnv env;
    Image image = ImageWithChannels();
    const Image original = image;
    ViewUnderTest t(&image);
    QCOMPARE(t.Row(3), QStringList({"146.00000", "146.00000", "123.4", "D024N", "Middle", "Lock", "No", "Wide", ""}));
    // Walk the whole row with Enter: nothing is picked, nothing changes.
    t.Click(3, 1);
    for (int i = 0; i < 8; ++i)
        t.Enter();
    QCOMPARE(t.Row(3), QStringList({"146.00000", "146.00000", "123.4", "D024N", "Middle", "Lock", "No", "Wide", ""}));
    t.view->GridToImage();
    for (int i = 0; i < 16; ++i)
        QCOMPARE(t.doc.GetImage()[32 + i], original[32 + i]);

    // The list shows the cell's text without selecting an item...
    t.Click(3, 5);
    QCOMPARE(t.OpenList()->currentIndex(), -1);
    QCOMPARE(t.OpenList()->placeholderText(), QString("Middle"));
    // ...and picking one replaces it.
    t.Pick("H");
    t.Enter();
    QCOMPARE(t.Cell(3, 5), QString("High"));
    // A listed text opens with its item selected.
    t.Click(2, 3);
    QCOMPARE(t.OpenList()->currentText(), QString("67.0"));
}

void TestEditor::mendedTxOffStepEmptiesOnlyTx()
{
    EditorEnv env;
    Image image = ImageWithChannels();
    ViewUnderTest t(&image);
    const QStringList before = t.Row(2);
    QStringList expected = before;
    expected[1] = "";
    // Left by Enter.
    t.Click(2, 2);
    t.ClearEditor();
    t.Type("145.0065");
    t.Enter();
    QCOMPARE(env.m_messages.size(), 1);
    // The string table's text, then the nearest values the check takes on either side.
    QCOMPARE(env.m_messages[0].text,
             LoadStringRes(IDS_STEP_ERROR) + QStringLiteral(" Nearest accepted: 145.00625 or 145.00750 MHz."));
    QCOMPARE(t.Row(2), expected);
    QCOMPARE(t.Grid().GetCol(), 2L);
    // Left by a click elsewhere.
    t.Click(2, 2);
    t.Type("145.0065");
    t.Click(5, 5);
    QCOMPARE(env.m_messages.size(), 2);
    QCOMPARE(t.Row(2), expected);
    // Out of band: only the transmit cell, too.
    t.Click(2, 2);
    t.Type("300");
    t.Enter();
    QCOMPARE(env.m_messages.size(), 3);
    QVERIFY(env.m_messages[2].text.startsWith(LoadStringRes(IDS_OUT_OF_RANGE)));
    QCOMPARE(t.Row(2), expected);
}

void TestEditor::clickOnCurrentCellReopensEditor()
{
    EditorEnv env;
    ViewUnderTest t;
    t.Click(4, 1);
    t.Type("999");
    t.Enter();
    QVERIFY(!t.view->OpenEditor());
    const int enters = t.enterCount;
    t.Click(4, 1);  // same cell: MouseDown only
    QCOMPARE(t.enterCount, enters);
    QVERIFY(t.OpenEdit());
    QCOMPARE(t.OpenEdit()->text(), QString());
    t.Type("146");
    t.Enter();
    QCOMPARE(t.Cell(4, 1), QString("146.00000"));
}

void TestEditor::nameEditor()
{
    EditorEnv env;
    Image image = ImageWithChannels();
    RecordFields eight;
    eight.rx = eight.tx = 14700000;
    const std::uint8_t name[8] = {10, 11, 12, 13, 14, 15, 16, 17};  // ABCDEFGH
    std::copy(name, name + 8, eight.name);
    PutRecord(image, 5, eight);
    ViewUnderTest t(&image);
    QTranslator english, chinese;
    QVERIFY(english.load(QStringLiteral(PROG_BIN_DIR "/English.qm")));
    QVERIFY(chinese.load(QStringLiteral(PROG_BIN_DIR "/Chinese.qm")));
    QCoreApplication::installTranslator(&english);
    // A key the name cannot hold is refused, and the editor says why below
    // the cell until the next key it takes.
    auto rule = [&] {
        QLabel* tip = t.view->NameRule();
        return tip && tip->isVisible() ? tip->text() : QString();
    };
    const QString six =
        "A channel name holds up to 6 characters, each A-Z, 0-9, - or _; letters are stored in upper "
        "case.";
    t.Click(2, 9);
    t.Type("a b!c");
    QCOMPARE(t.OpenEdit()->text(), QString("ABC"));
    t.Key(Qt::Key_Space);
    QCOMPARE(rule(), six);
    QCOMPARE(t.OpenEdit()->accessibleDescription(), six);
    t.Key(Qt::Key_Backspace);
    QCOMPARE(rule(), QString());
    t.Enter();
    QCOMPARE(t.Cell(2, 9), QString("AB"));
    t.Click(2, 9);
    t.Type("ab-c1_xyz");  // the cell's "AB" is selected: typing replaces it
    QCOMPARE(t.OpenEdit()->text(), QString("AB-C1_"));
    QCOMPARE(rule(), six);
    t.Enter();
    QCOMPARE(rule(), QString());
    QCOMPARE(t.Cell(2, 9), QString("AB-C1_"));
    // A longer name read from the radio survives a visit...
    QCOMPARE(t.Cell(6, 9), QString("ABCDEFGH"));
    t.Click(6, 9);
    QCOMPARE(t.OpenEdit()->text(), QString("ABCDEFGH"));
    t.Enter();
    QCOMPARE(t.Cell(6, 9), QString("ABCDEFGH"));
    // ...and edited shorter it is stored exactly as the editor shows it.
    t.Click(6, 9);
    t.Key(Qt::Key_End);
    t.Type("Z");  // no room to grow
    QCOMPARE(t.OpenEdit()->text(), QString("ABCDEFGH"));
    QCOMPARE(rule(), QString(six).replace("6", "8"));
    t.Key(Qt::Key_Backspace);
    QCOMPARE(t.OpenEdit()->text(), QString("ABCDEFG"));
    t.Enter();
    QCOMPARE(t.Cell(6, 9), QString("ABCDEFG"));
    QVERIFY(env.m_messages.isEmpty());

    // The same words in Chinese.
    QCoreApplication::removeTranslator(&english);
    QCoreApplication::installTranslator(&chinese);
    t.Click(2, 9);
    t.Type("!");
    QCoreApplication::removeTranslator(&chinese);
    QCOMPARE(rule(), QString("信道名字最多可存 6 个字符，每个字符为 A-Z、0-9、- 或 _；字母以大写存储。"));
}

// Typing in a tone cell picks the first tone that begins with the keys (a
// DCS code by its digits too), shown in the box and in sight in the list;
// the arrows keep the item they reach in sight.
void TestEditor::toneTypeAheadSelectsVisibly()
{
    EditorEnv env;
    Image image = ImageWithChannels();
    ViewUnderTest t(&image);
    auto inSight = [&](QComboBox* list) {
        QAbstractItemView* view = list->view();
        return view->isVisible() && view->viewport()->rect().contains(view->visualRect(view->currentIndex()));
    };
    const struct {
        QString keys;
        QString chosen;
    } cases[] = {{"1", "100.0"}, {"14", "141.3"}, {"3", "D306N"}, {"65", "D654N"}};
    for (const auto& c : cases) {
        t.Click(2, 4);  // D023N
        t.Type(c.keys);
        QComboBox* list = t.OpenList();
        QVERIFY(list);
        QCOMPARE(list->currentText(), c.chosen);
        QCOMPARE(list->view()->currentIndex().data().toString(), c.chosen);
        QVERIFY2(inSight(list), qPrintable(c.keys));
        t.Key(Qt::Key_Escape);
        t.Key(Qt::Key_Escape);
        QCOMPARE(t.Cell(2, 4), QString("D023N"));  // Escape: the cell keeps its tone
        // The offscreen platform leaves the closed list's window the active one.
        QApplication::setActiveWindow(t.view.get());
    }
    // On the grid itself the first key opens the list; the arrows walk it in sight; Enter twice stores.
    t.Click(2, 3);
    t.Key(Qt::Key_Escape);
    t.Type("8");
    QComboBox* list = t.OpenList();
    QVERIFY(list);
    QCOMPARE(list->currentText(), QString("82.5"));
    for (int i = 0; i < 40; ++i) {
        t.Key(Qt::Key_Down);
        QVERIFY2(inSight(list), qPrintable(list->view()->currentIndex().data().toString()));
    }
    QCOMPARE(list->view()->currentIndex().data().toString(), QString("233.6"));
    t.Key(Qt::Key_Return);
    QApplication::setActiveWindow(t.view.get());
    t.Enter();
    QCOMPARE(t.Cell(2, 3), QString("233.6"));
    QVERIFY(env.m_messages.isEmpty());
}

void TestEditor::bandBoxes()
{
    EditorEnv env;
    ViewUnderTest t;
    auto text = [&](int id) { return t.view->BandEdit(id)->text(); };
    // A new document's ranges.
    QCOMPARE(text(IDC_VHF_LOW), QString("130"));
    QCOMPARE(text(IDC_VHF_HIGH), QString("180"));
    QCOMPARE(text(IDC_UHF_LOW), QString("400"));
    QCOMPARE(text(IDC_UHF_HIGH), QString("520"));
    const Image before = t.doc.GetImage();

    // Reversed VHF pair: replaced on leaving the box.
    t.TypeBand(IDC_VHF_LOW, "190", IDC_VHF_HIGH);
    QCOMPARE(text(IDC_VHF_LOW), QString("130"));
    QCOMPARE(text(IDC_VHF_HIGH), QString("180"));
    QCOMPARE(g_nVhfLow, 13000000);
    QCOMPARE(g_nVhfHigh, 18000000);
    // Equal VHF pair: kept, and no VHF frequency passes.
    t.TypeBand(IDC_VHF_LOW, "150", IDC_VHF_HIGH);
    t.TypeBand(IDC_VHF_HIGH, "150", IDC_UHF_LOW);
    QCOMPARE(text(IDC_VHF_LOW), QString("150"));
    QCOMPARE(text(IDC_VHF_HIGH), QString("150"));
    QCOMPARE(g_nVhfLow, 15000000);
    QCOMPARE(g_nVhfHigh, 15000000);
    // Equal UHF pair: replaced.
    t.TypeBand(IDC_UHF_LOW, "450", IDC_UHF_HIGH);
    t.TypeBand(IDC_UHF_HIGH, "450", IDC_VHF_LOW);
    QCOMPARE(text(IDC_UHF_LOW), QString("400"));
    QCOMPARE(text(IDC_UHF_HIGH), QString("520"));
    t.TypeBand(IDC_UHF_LOW, "430", IDC_UHF_HIGH);
    t.TypeBand(IDC_UHF_HIGH, "440", IDC_VHF_LOW);
    QCOMPARE(g_nUhfLow, 43000000);
    QCOMPARE(g_nUhfHigh, 44000000);

    t.Click(2, 1);
    t.Type("150");
    t.Enter();
    QCOMPARE(env.m_messages.size(), 1);  // the empty VHF range takes nothing

    // The image changes only at the next GridToImage.
    for (int i = 0; i < 6; ++i)
        QCOMPARE(t.doc.GetImage()[mem::kVhfRange + i], before[mem::kVhfRange + i]);
    t.view->GridToImage();
    const std::uint8_t stored[6] = {0x15, 0x14, 0x09, 0x43, 0x43, 0x09};  // 150-150, 430-440
    for (int i = 0; i < 6; ++i)
        QCOMPARE(t.doc.GetImage()[mem::kVhfRange + i], stored[i]);

    // Values never left through their box are stored as typed.
    t.view->BandEdit(IDC_VHF_LOW)->setText("200");
    t.view->GridToImage();
    QCOMPARE(g_nVhfLow, 20000000);
    QCOMPARE(t.doc.GetImage()[mem::kVhfRange], std::uint8_t(0x20));
}

void TestEditor::bandBoxesOfImage()
{
    EditorEnv env;
    Image image = NewDocumentImage();
    for (int i = 0; i < 6; ++i)
        image[mem::kVhfRange + i] = 0xFF;
    ViewUnderTest t(&image);
    QCOMPARE(t.view->BandEdit(IDC_VHF_LOW)->text(), QString("136"));
    QCOMPARE(t.view->BandEdit(IDC_VHF_HIGH)->text(), QString("174"));
    QCOMPARE(t.view->BandEdit(IDC_UHF_LOW)->text(), QString("400"));
    QCOMPARE(t.view->BandEdit(IDC_UHF_HIGH)->text(), QString("520"));
    QCOMPARE(t.doc.GetImage()[mem::kVhfRange + 2], std::uint8_t(0x63));
    QCOMPARE(g_nVhfHigh, 17400000);
    t.Click(2, 1);
    t.Type("173.99999");  // not on the raster, but inside the band
    t.Enter();
    QCOMPARE(env.m_messages.size(), 1);
    // 174.00000 lies beyond the band's upper limit: only the value below is offered.
    QCOMPARE(env.m_messages[0].text,
             LoadStringRes(IDS_STEP_ERROR) + QStringLiteral(" Nearest accepted: 173.99750 MHz."));
    t.Click(2, 1);
    t.Type("174");
    t.Enter();
    QCOMPARE(env.m_messages.size(), 2);
    QVERIFY(env.m_messages[1].text.startsWith(LoadStringRes(IDS_OUT_OF_RANGE)));
}

void TestEditor::f1Contexts()
{
    EditorEnv env;
    Image image = ImageWithChannels();
    ViewUnderTest t(&image);
    t.Click(2, 1);
    t.Key(Qt::Key_F1);
    t.Click(2, 3);
    t.Key(Qt::Key_F1);
    t.Click(2, 9);
    t.Key(Qt::Key_F1);
    QTest::mouseClick(t.view->BandEdit(IDC_UHF_HIGH), Qt::LeftButton);
    t.Key(Qt::Key_F1);
    t.Grid().setFocus();
    t.Key(Qt::Key_F1);
    QCOMPARE(t.view->m_help, QList<int>({IDC_EDIT_RXFREQ, IDC_COMBO_RXTONE, IDC_EDIT_NAME, IDC_UHF_HIGH, IDC_GRID}));
    // Enter in a band box also drives the grid: it commits the grid's open
    // editor and moves the grid's current cell on.
    t.Click(2, 4);
    t.Pick("D025");
    QTest::mouseClick(t.view->BandEdit(IDC_VHF_LOW), Qt::LeftButton);
    t.Key(Qt::Key_Return);
    QCOMPARE(t.Grid().GetRow(), 2L);
    QCOMPARE(t.Grid().GetCol(), 5L);
    QCOMPARE(t.Cell(2, 4), QString("D025N"));
}

void TestEditor::captionAndSettingsSync()
{
    EditorEnv env;
    env.m_store.WriteDword("EditorTestApp", "Type", 1);
    env.m_store.WriteDword("EditorTestApp", "Field", 2);
    {
        ViewUnderTest t;  // a new document takes the remembered type and band
        QCOMPARE(t.doc.GetImage()[mem::kRadioType], std::uint8_t(1));
        QCOMPARE(t.doc.GetImage()[mem::kBandIndex], std::uint8_t(2));
        // 450-520MHz: 0x45, 0x51, 0x09
        QCOMPARE(t.doc.GetImage()[mem::kSelectedBand], std::uint8_t(0x45));
        QCOMPARE(t.doc.GetImage()[mem::kSelectedBand + 1], std::uint8_t(0x51));
        QCOMPARE(QString::fromStdString(g_strTitle), QString("TR-5 Programming Tool"));
    }
    Image image = ImageWithChannels();
    image[mem::kRadioType] = 0;
    image[mem::kBandIndex] = 1;
    ViewUnderTest t(&image);  // a document from a file stores its own
    QCOMPARE(*env.m_store.ReadDword("EditorTestApp", "Type"), 0u);
    QCOMPARE(*env.m_store.ReadDword("EditorTestApp", "Field"), 1u);
}

void TestEditor::saveEncodesGrid()
{
    EditorEnv env;
    ViewUnderTest t;
    t.Click(2, 1);
    t.Type("145.125");
    t.Enter();
    t.Click(2, 9);
    t.Type("ab");  // still open when saving: the save commits it
    const QString path = env.Path("saved.dat");
    QString error;
    QVERIFY(t.doc.OnSaveDocument(path, &error));
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    QCOMPARE(bytes.size(), 8192);
    const std::uint8_t rec[13] = {0x00, 0x25, 0x51, 0x14, 0x00, 0x25, 0x51, 0x14, 0xFF, 0xFF, 0xFF, 0xFF, 0xEF};
    for (int i = 0; i < 13; ++i)
        QCOMPARE(std::uint8_t(bytes[16 + i]), rec[i]);
    QCOMPARE(std::uint8_t(bytes[mem::kNameBase + 8]), std::uint8_t(10));
    QCOMPARE(std::uint8_t(bytes[mem::kNameBase + 9]), std::uint8_t(11));
    QCOMPARE(std::uint8_t(bytes[mem::kNameBase + 10]), std::uint8_t(0xFF));
}

QTEST_MAIN(TestEditor)
#include "tst_editor.moc"
