#pragma once
// Shared pieces of the channel editor tests: a temporary Program.ini, an
// in-memory settings store, recorded message boxes and help requests, and a
// user's hands on the grid (clicks, typing, Enter).
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "gui/app/AppContext.h"
#include "core/app/Globals.h"
#include "core/app/IniFile.h"
#include "gui/app/MessageBox.h"
#include "core/app/SettingsStore.h"
#include "gui/app/StringTable.h"
#include "gui/editor/ProgramView.h"
#include "core/radio/Bands.h"
#include "core/radio/DatFile.h"
#include "gui/radio/ProgramDoc.h"
#include "tests/support/TestEnv.h"

inline const std::string kTestIni =
    "[Setup]\n"
    "Language=English\n"
    "AppName=EditorTestApp\n"
    "Type4=Unreachable\n" +
    testenv::RadioTypeLines("400-470MHz|430-440MHz|450-520MHz") +
    "[English]\n"
    "AppName=TR-5 Programming Tool\n"
    "[Chinese]\n"
    "AppName=TR-5 写频软件\n";

// Process-wide state for one test: language, Program.ini, settings and hooks.
class EditorEnv {
public:
    explicit EditorEnv(bool chinese = false, const std::string& ini = kTestIni) : m_ini(ini)
    {
        testenv::SetLanguage(chinese);
        g_strTitle.clear();
        SetAppSettingsStore(&m_store);
        SetMessageHook([this](const MessageRequest& r) {
            m_messages << r;
            return QMessageBox::Ok;
        });
        testenv::ResetBandLimits();
    }
    ~EditorEnv()
    {
        SetMessageHook({});
        SetDialogHook({});
        SetAppSettingsStore(nullptr);
        testenv::SetLanguage(false);
    }
    QString Path(const QString& name) const { return QString::fromStdString(m_ini.Path(name.toStdString())); }

    testenv::ProgramIni m_ini;
    CMemorySettingsStore m_store;
    QList<MessageRequest> m_messages;
};

// The view with its help requests recorded instead of opening the help.
class TestView : public CProgramView {
public:
    using CProgramView::CProgramView;
    QList<int> m_help;

protected:
    void OnHelp(int context) override { m_help << context; }
};

// A document and its view on screen, as the child frame makes them.
struct ViewUnderTest {
    CProgramDoc doc;
    std::unique_ptr<TestView> view;
    int enterCount = 0;
    int leaveCount = 0;

    // newDocument: File New's image; otherwise `image` as if opened from a file.
    explicit ViewUnderTest(const Image* image = nullptr)
    {
        if (image) {
            doc.LoadImage(*image);
            g_bNewDocument = false;
        } else {
            doc.OnNewDocument();
        }
        Show();
    }
    // A document opened from a .dat file.
    explicit ViewUnderTest(const QString& datPath)
    {
        QString error;
        opened = doc.OnOpenDocument(datPath, &error);
        Show();
    }
    bool opened = false;

    void Show()
    {
        view = std::make_unique<TestView>(&doc);
        view->resize(900, 520);
        view->show();
        QApplication::setActiveWindow(view.get());
        (void)QTest::qWaitForWindowActive(view.get());
        view->OnInitialUpdate();
        QObject::connect(&view->Grid(), &CMSFlexGrid::EnterCell, [this] { ++enterCount; });
        QObject::connect(&view->Grid(), &CMSFlexGrid::LeaveCell, [this] { ++leaveCount; });
    }

    CMSFlexGrid& Grid() { return view->Grid(); }
    QString Cell(int row, int col) { return Grid().GetTextMatrix(row, col); }

    // A click on the cell, scrolled into view first as a user would.
    void Click(int row, int col)
    {
        CMSFlexGrid& g = Grid();
        g.scrollTo(g.model()->index(row, col));
        QApplication::processEvents();
        QTest::mouseClick(g.viewport(), Qt::LeftButton, {}, g.CellRect(row, col).center());
    }
    QWidget* Focus()
    {
        if (QWidget* w = QApplication::focusWidget())
            return w;
        if (QWidget* e = view->OpenEditor())
            return e;
        return &Grid();
    }
    // Each key goes where the focus is by then, as a user's keys do.
    void Type(const QString& text)
    {
        for (QChar c : text)
            QTest::keyClicks(Focus(), QString(c));
    }
    // Picks a list item as a user does: typing opens the list at the first item
    // beginning with the text, Enter in the list takes it.
    void Pick(const QString& text)
    {
        QComboBox* list = OpenList();
        QVERIFY(list);
        Type(text);
        QVERIFY(list->view()->isVisible());
        QCOMPARE(QApplication::focusWidget(), list->view());
        QTest::keyClick(list->view(), Qt::Key_Return);
        QVERIFY(!list->view()->isVisible());
    }
    void Enter() { QTest::keyClick(Focus(), Qt::Key_Return); }
    void Key(Qt::Key key, Qt::KeyboardModifiers mods = {}) { QTest::keyClick(Focus(), key, mods); }
    void ClearEditor()
    {
        Key(Qt::Key_A, Qt::ControlModifier);
        Key(Qt::Key_Backspace);
    }
    QLineEdit* OpenEdit() { return qobject_cast<QLineEdit*>(view->OpenEditor()); }
    QComboBox* OpenList() { return qobject_cast<QComboBox*>(view->OpenEditor()); }
    // Types into a band box and leaves it for another control.
    void TypeBand(int id, const QString& text, int leaveTo)
    {
        QLineEdit* box = view->BandEdit(id);
        QTest::mouseClick(box, Qt::LeftButton);
        box->selectAll();
        QTest::keyClicks(box, text);
        QTest::mouseClick(view->BandEdit(leaveTo), Qt::LeftButton);
    }
    QStringList Row(int row)
    {
        QStringList cells;
        for (int c = 1; c < kGridCols; ++c)
            cells << Cell(row, c);
        return cells;
    }
};

// One channel record: Rx and Tx as 8 BCD digits of 10 Hz units.
inline void PutBcd(Image& image, int offset, long units)
{
    for (int i = 0; i < 4; ++i) {
        const int v = static_cast<int>(units % 100);
        image[offset + i] = static_cast<std::uint8_t>(16 * (v / 10) + v % 10);
        units /= 100;
    }
}

struct RecordFields {
    long rx = 0, tx = 0;  // 0: absent
    std::uint8_t rxToneL = 0xFF, rxToneH = 0xFF, txToneL = 0xFF, txToneH = 0xFF;
    std::uint8_t flags = 0x2E;
    std::uint8_t tail[3] = {0xFF, 0xFF, 0xFF};
    std::uint8_t name[8] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
};

inline void PutRecord(Image& image, int channel, const RecordFields& s)
{
    const int base = 16 * channel;
    for (int i = 0; i < 8; ++i)
        image[base + i] = 0xFF;
    if (s.rx)
        PutBcd(image, base, s.rx);
    if (s.tx)
        PutBcd(image, base + 4, s.tx);
    image[base + 8] = s.rxToneL;
    image[base + 9] = s.rxToneH;
    image[base + 10] = s.txToneL;
    image[base + 11] = s.txToneH;
    image[base + 12] = s.flags;
    for (int i = 0; i < 3; ++i)
        image[base + 13 + i] = s.tail[i];
    for (int i = 0; i < 8; ++i)
        image[mem::kNameBase + 8 * channel + i] = s.name[i];
}
