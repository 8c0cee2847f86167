// Editing like a spreadsheet, as a user does it in the whole program: undo
// and redo, unsaved changes, the clipboard, whole channels, fill and find,
// channel lists in CSV.
#include <QAction>
#include <QCheckBox>
#include <QRadioButton>
#include <QSpinBox>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QComboBox>
#include <QFile>
#include <QDir>
#include <QFileDialog>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QDragEnterEvent>
#include <QDrag>
#include <QDropEvent>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QTreeWidget>
#include <functional>
#include <QUndoStack>
#include <QtTest>
#ifndef _WIN32
#include <sys/stat.h>  // mkfifo
#endif

#include "core/app/IniFile.h"
#include "core/app/SettingsStore.h"
#include "core/radio/DatFile.h"
#include "core/radio/Document.h"
#include "gui/ProgramApp.h"
#include "gui/app/AppContext.h"
#include "gui/app/CommandIds.h"
#include "gui/app/HelpAccess.h"
#include "gui/app/LanguageDlg.h"
#include "gui/app/Relaunch.h"
#include "gui/editor/ImportPreviewDlg.h"
#include "gui/editor/ProgramView.h"
#include "gui/frame/ChildFrame.h"
#include "gui/frame/MDIClientWnd.h"
#include "gui/frame/MainFrame.h"
#include "gui/frame/NavigationBar.h"
#include "gui/link/LinkController.h"
#include "gui/link/ProcessDlg.h"
#include "gui/radio/ProductInfoDlg.h"
#include "gui/radio/ProgramDoc.h"
#include "tests/gui/support/ProgramFixture.h"

namespace {
const QString kSample = QStringLiteral(PROG_SOURCE_DIR "/res/samples/sample.dat");

QByteArray FileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
}  // namespace

class TestEditing : public ProgramFixture {
    Q_OBJECT

private:
    QString m_path;  // the sample, copied: the document the program opened
    QList<MessageRequest> m_messages;
    QList<QMessageBox::StandardButton> m_answers;  // to the messages, in turn; then OK

    void Start(const QStringList& args = {}, const QByteArray& language = "English")
    {
        ShellIni ini;
        ini.language = language;
        QVERIFY(NewProgramDir(ini));
        m_path = m_dir->WriteFile(QStringLiteral("sample.dat"), FileBytes(kSample));
        SetMessageHook([this](const MessageRequest& r) {
            m_messages << r;
            return m_answers.isEmpty() ? QMessageBox::Ok : m_answers.takeFirst();
        });
        QVERIFY(StartProgram(args.isEmpty() ? QStringList{m_path} : args));
        QVERIFY(ShowFrame({1000, 700}, true));
    }

    CProgramView* View() const { return m_frame->ActiveView(); }
    CProgramDoc* Doc() const { return m_frame->ActiveDocument(); }
    CMSFlexGrid& Grid() const { return View()->Grid(); }
    QWidget* Focus() const { return QApplication::focusWidget() ? QApplication::focusWidget() : m_frame; }
    void Key(int key, Qt::KeyboardModifiers mods = {}) { QTest::keyClick(Focus(), Qt::Key(key), mods); }
    void Type(const QString& text)
    {
        for (QChar c : text)
            QTest::keyClicks(Focus(), QString(c));
    }
    void Click(int row, int col, Qt::KeyboardModifiers mods = {})
    {
        Grid().scrollTo(Grid().model()->index(row, col));
        QTest::mouseClick(Grid().viewport(), Qt::LeftButton, mods, Grid().CellRect(row, col).center());
    }
    QStringList Row(int row) const
    {
        QStringList cells;
        for (int c = 1; c < kGridCols; ++c)
            cells << Grid().GetTextMatrix(row, c);
        return cells;
    }
    // A press on a row label, as the user selects whole channels.
    void ClickLabel(int row, Qt::KeyboardModifiers mods = {})
    {
        Grid().scrollTo(Grid().model()->index(row, 1));
        QHeaderView* labels = Grid().verticalHeader();
        const QPoint at(labels->width() / 2, labels->sectionViewportPosition(row) + labels->sectionSize(row) / 2);
        QTest::mouseClick(labels->viewport(), Qt::LeftButton, mods, at);
    }
    // The grid's context menu at a cell, as a right click opens it.
    QMenu* ContextMenuAt(int row, int col)
    {
        const QPoint at = Grid().CellRect(row, col).center();
        QTest::mousePress(Grid().viewport(), Qt::RightButton, {}, at);
        QContextMenuEvent e(QContextMenuEvent::Mouse, at, Grid().viewport()->mapToGlobal(at));
        QApplication::sendEvent(Grid().viewport(), &e);
        QTest::mouseRelease(Grid().viewport(), Qt::RightButton, {}, at);
        QMenu* menu = m_frame->GridMenu();
        return menu && menu->isVisible() ? menu : nullptr;
    }
    QList<QStringList> Rows(int first, int last) const
    {
        QList<QStringList> rows;
        for (int r = first; r <= last; ++r)
            rows << Row(r);
        return rows;
    }
    int Steps() const { return Doc()->UndoStack()->count(); }
    QString Caption() const { return m_frame->ActiveChildFrame()->windowTitle(); }
    // A name typed into the cell, as a modification of the document.
    void Rename(int row, const QString& name)
    {
        Click(row, kColName);
        Type(name);
        Key(Qt::Key_Return);
    }
    // The channel names a .dat file holds, as the grid would show them.
    static QString NameInFile(const QString& path, int row)
    {
        ChannelDocument d;
        return d.Load(QFile::encodeName(path).toStdString(), false).ok
                   ? QString::fromStdString(d.grid.TextMatrix(row, kColName))
                   : QStringLiteral("<no file>");
    }

    // Channels 1..6 as record and name bytes, of every kind a record holds:
    // every power (bits 11 show no word), tones of every kind and some no list
    // offers, flag bits no cell shows, odd bytes 13..15, names of every
    // character a name holds and a stray code after a name's end.
    static QList<QByteArray> OddChannels()
    {
        return {
            QByteArray::fromHex("0025511400255114700623802E123456"
                                "0A0B0C0D0E0F1011"),  // High, 67.0 / D023N, ABCDEFGH
            QByteArray::fromHex("00206514FFFFFFFFFFFF54C71C000000"
                                "1213141516171819"),  // Middle, no Tx, None / D754I
            QByteArray::fromHex("25060044250650443518660600FF00FF"
                                "1A1B1C1D1E1F2021"),  // Low, 183.5 / 66.6 (no list item)
            QByteArray::fromHex("005025160050251623C0FF00F3ABCDEF"
                                "2223000102030405"),  // power bits 11, D023I / None from FF 00
            QByteArray::fromHex("000035430000354347C04125EE807F01"
                                "060708092426FFFF"),  // High, D047I / 254.1, 6789-_
            QByteArray::fromHex("0000501400000000FFFFFFFF20123456"
                                "0A250CFFFFFFFFFF"),  // Tx 00 00 00 00, "A" then code 37
        };
    }
    // The sample with no channel but OddChannels() on channels 1..6.
    static QByteArray OddChannelsFile()
    {
        QByteArray image = FileBytes(kSample);
        for (int slot = 0; slot < mem::kChannelCount; ++slot)
            image.replace(16 * slot, 16, QByteArray(16, char(0xFF)));
        const QList<QByteArray> channels = OddChannels();
        for (int i = 0; i < channels.size(); ++i) {
            image.replace(16 * (i + 1), 16, channels[i].left(16));
            image.replace(mem::kNameBase + 8 * (i + 1), 8, channels[i].mid(16));
        }
        return image;
    }
    // The record and name bytes of grid row `row` as `view` saves them.
    static QByteArray SavedChannel(CProgramView* view, int row)
    {
        view->GridToImage();
        const Image& image = view->GetDocument()->GetImage();
        const auto* bytes = reinterpret_cast<const char*>(image.data());
        return QByteArray(bytes + 16 * (row - 1), 16) + QByteArray(bytes + mem::kNameBase + 8 * (row - 1), 8);
    }
    // A user's drag of the selected channels by the label of `fromRow` of
    // `source`, dropped on row `row` of `target` with `mods` held; the hook
    // plays the window system's part, as it delivers a drag to the window
    // under the pointer.
    void DragChannels(CProgramView* source, int fromRow, CProgramView* target, int row, Qt::KeyboardModifiers mods)
    {
        int drags = 0;
        SetDragHook([&](QDrag* drag) {
            ++drags;
            CMSFlexGrid& grid = target->Grid();
            grid.scrollTo(grid.model()->index(row, kColRxFreq));
            const QPoint at = grid.CellRect(row, kColRxFreq).center();
            QDragEnterEvent enter(at, drag->supportedActions(), drag->mimeData(), Qt::LeftButton, mods);
            QApplication::sendEvent(grid.viewport(), &enter);
            if (!enter.isAccepted())
                return Qt::IgnoreAction;
            QDragMoveEvent move(at, drag->supportedActions(), drag->mimeData(), Qt::LeftButton, mods);
            QApplication::sendEvent(grid.viewport(), &move);
            QDropEvent drop(QPointF(at), drag->supportedActions(), drag->mimeData(), Qt::LeftButton, mods);
            QApplication::sendEvent(grid.viewport(), &drop);
            return drop.dropAction();
        });
        CMSFlexGrid& grid = source->Grid();
        grid.scrollTo(grid.model()->index(fromRow, 1));
        QHeaderView* labels = grid.verticalHeader();
        const QPoint at(labels->width() / 2,
                        labels->sectionViewportPosition(fromRow) + labels->sectionSize(fromRow) / 2);
        const QPoint away = at + QPoint(0, 2 * QApplication::startDragDistance());
        QTest::mousePress(labels->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseMove(labels->viewport(), away);
        QTest::mouseRelease(labels->viewport(), Qt::LeftButton, {}, away);
        QApplication::processEvents();  // the drop's work comes after the drop
        SetDragHook({});
        QCOMPARE(drags, 1);
    }

private slots:
    void cleanup() override
    {
        ProgramFixture::cleanup();
        m_messages.clear();
        m_answers.clear();
    }

    void undoBringsBackARowWipedByARefusedFrequency()
    {
        Start();
        const Image opened = Doc()->GetImage();
        const QStringList channel = Row(3);
        QVERIFY(!channel[0].isEmpty());
        QCOMPARE(Caption(), QStringLiteral("sample.dat"));

        Click(3, kColRxFreq);
        Type(QStringLiteral("999"));
        Key(Qt::Key_Return);
        QCOMPARE(m_messages.size(), 1);
        QVERIFY(m_messages[0].text.startsWith(QStringLiteral("Out of range,please input again.")));
        QCOMPARE(Row(3), QStringList(9, QString()));
        QCOMPARE(Caption(), QStringLiteral("sample.dat*"));
        QCOMPARE(m_frame->Action(ID_EDIT_UNDO)->text(), QStringLiteral("&Undo Edit Channel 2, Rx Frequency"));

        Key(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(Row(3), channel);
        QCOMPARE(Doc()->GetImage(), opened);
        QVERIFY(!Doc()->IsModified());
        QCOMPARE(Caption(), QStringLiteral("sample.dat"));
        QCOMPARE(m_frame->Action(ID_EDIT_REDO)->text(), QStringLiteral("&Redo Edit Channel 2, Rx Frequency"));

        // Both redo keys.
        for (const QKeySequence& redo :
             {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)}) {
            QTest::keySequence(Focus(), redo);
            QCOMPARE(Row(3), QStringList(9, QString()));
            Key(Qt::Key_Z, Qt::ControlModifier);
            QCOMPARE(Row(3), channel);
        }
        // A save is where "unmodified" now lies; undo past it modifies again.
        Rename(3, QStringLiteral("NEW"));
        QVERIFY(m_frame->OnFileSave());
        QVERIFY(!Doc()->IsModified());
        QCOMPARE(NameInFile(m_path, 3), QStringLiteral("NEW"));
        Key(Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(Doc()->IsModified());
        QCOMPARE(Doc()->GetImage(), opened);
    }

    void copyThreeRowsPasteThemElsewhere();
    void spreadsheetPasteRefusesOneFrequencyAndAppliesTheRest();
    void wholeChannelsMoveAndComeBackWithUndo_data();
    void wholeChannelsMoveAndComeBackWithUndo();

    void oneValueSetsTheSelectedCellsOfAColumn_data();
    void oneValueSetsTheSelectedCellsOfAColumn();
    void refusedValuesAndSeveralColumnsChangeNothingRefused();
    void channelsDraggedBetweenDocuments_data();
    void channelsDraggedBetweenDocuments();
    void channelsLandByteForByte_data();
    void channelsLandByteForByte();
    void pastedRowWithARefusedFrequencyChangesNothing();
    void droppedFilesOpenImportOrAreRefused_data();
    void droppedFilesOpenImportOrAreRefused();

    void importPreviewsThenAppliesOneStep();
    void importFromStockListPreviewsThenApplies_data();
    void importFromStockListPreviewsThenApplies();
    void importRenumbersAndMergesAsChosen();
    void importThatWouldEmptyTheRadioWarnsOrIsRefused();
    void fillFindAndRecentFiles();
    void documentWindowShowsEveryColumnAndKeepsTheFocusInTheGrid();
    void supportReportShowsTheDocumentOnlyWhenTicked();
    void supportReportLeavesTextBeingTypedAlone();

    void leavingWithUnsavedChangesAsks_data()
    {
        QTest::addColumn<int>("path");  // 0 Exit, 1 the language relaunch
        QTest::addColumn<int>("answer");
        const int answers[] = {QMessageBox::Cancel, QMessageBox::Discard, QMessageBox::Save};
        for (int path : {0, 1})
            for (int answer : answers)
                QTest::addRow("%d/%x", path, answer) << path << answer;
    }
    void leavingWithUnsavedChangesAsks()
    {
        QFETCH(int, path);
        QFETCH(int, answer);
        Start();
        const QByteArray saved = FileBytes(m_path);
        QStringList launched;
        SetRelaunchHook(
            [&](const QString&, const QStringList& args) { launched = args + QStringList{QStringLiteral("ran")}; });
        SetDialogHook([](QDialog* d) {
            auto* lang = qobject_cast<CLanguageDlg*>(d);
            if (!lang)
                return int(QDialog::Rejected);
            lang->SetSelection(1);
            lang->accept();
            return lang->result();
        });
        Rename(2, QStringLiteral("EDITED"));
        m_answers << QMessageBox::StandardButton(answer);
        m_frame->Action(path == 0 ? ID_APP_EXIT : ID_LANGUAGE)->trigger();

        QCOMPARE(m_messages.size(), 1);
        QCOMPARE(m_messages[0].text, QStringLiteral("Save changes to sample.dat?"));
        QCOMPARE(m_messages[0].buttons, QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
        const bool stays = answer == QMessageBox::Cancel;
        QCOMPARE(m_frame->isVisible(), stays);
        QCOMPARE(FileBytes(m_path) == saved, answer != QMessageBox::Save);
        const QString inFile = answer == QMessageBox::Save ? QStringLiteral("EDITED") : QStringLiteral("RPT-N");
        QCOMPARE(NameInFile(m_path, 2), inFile);
        // The language relaunch opens the document again, as saved.
        const QStringList relaunched = path == 1 && !stays ? QStringList{m_path, QStringLiteral("ran")} : QStringList();
        QCOMPARE(launched, relaunched);
        // Discard only leaves the edit out of the file.
        QCOMPARE(Grid().GetTextMatrix(2, kColName), QStringLiteral("EDITED"));
        QCOMPARE(Doc()->IsModified(), answer != QMessageBox::Save);
        if (!stays)
            return;
        // A cancelled switch leaves the language setting as it was, in memory
        // and on disk, and choosing the language running restarts nothing.
        QCOMPARE(theIniFile.GetString("Setup", "Language", ""), std::string("English"));
        QVERIFY(CProgramApp::SaveProfile());
        QVERIFY(!m_dir->ReadIni().contains("Language=Chinese"));
        SetDialogHook([](QDialog* d) {
            auto* lang = static_cast<CLanguageDlg*>(d);
            lang->SetSelection(0);
            lang->accept();
            return lang->result();
        });
        m_frame->Action(ID_LANGUAGE)->trigger();
        QCOMPARE(m_messages.size(), 1);
        QVERIFY(launched.isEmpty() && m_frame->isVisible());
    }

    // Two documents with unsaved changes, the radio's in front: every answer
    // is in before anything closes, Discard changes nothing, and what does
    // not close is asked nothing.
    void onlyDocumentsThatCloseAreAskedAbout_data()
    {
        QTest::addColumn<int>("path");  // 0 Exit, 1 the language relaunch, 2 Open, 3 closing the front window
        QTest::addColumn<QList<int>>("answers");
        QTest::addColumn<bool>("closes");
        const int discard = QMessageBox::Discard, cancel = QMessageBox::Cancel, save = QMessageBox::Save;
        QTest::newRow("Exit: Discard, Cancel") << 0 << QList<int>{discard, cancel} << false;
        QTest::newRow("Exit: Discard, a Save that fails") << 0 << QList<int>{discard, save} << false;
        QTest::newRow("Exit: Save, Cancel") << 0 << QList<int>{save, cancel} << false;
        QTest::newRow("Exit: Save, a Save that fails") << 0 << QList<int>{save, save} << false;
        QTest::newRow("relaunch: Discard, Cancel") << 1 << QList<int>{discard, cancel} << false;
        QTest::newRow("relaunch: Save, Cancel") << 1 << QList<int>{save, cancel} << false;
        QTest::newRow("relaunch: Discard, Discard") << 1 << QList<int>{discard, discard} << true;
        QTest::newRow("Open (Ctrl+O)") << 2 << QList<int>{} << false;
        QTest::newRow("close the window (Ctrl+F4)") << 3 << QList<int>{} << false;
    }
    void onlyDocumentsThatCloseAreAskedAbout()
    {
        QFETCH(int, path);
        QFETCH(QList<int>, answers);
        QFETCH(bool, closes);
        Start();
        const QString other = m_dir->WriteFile(QStringLiteral("other.dat"), FileBytes(kSample));
        bool launched = false;
        SetRelaunchHook([&](const QString&, const QStringList&) { launched = true; });
        SetDialogHook([&](QDialog* d) {
            if (auto* fd = qobject_cast<QFileDialog*>(d)) {
                fd->selectFile(other);
                return int(QDialog::Accepted);
            }
            auto* lang = qobject_cast<CLanguageDlg*>(d);
            lang->SetSelection(1);
            lang->accept();
            return lang->result();
        });
        CChildFrame* file = m_frame->ActiveChildFrame();
        Rename(2, QStringLiteral("EDITED"));
        CChildFrame* radio = m_frame->OpenImageDocument(Doc()->GetImage(), QStringLiteral("radio"));
        Rename(3, QStringLiteral("RADIO"));
        const int steps[] = {file->GetDocument()->UndoStack()->index(), radio->GetDocument()->UndoStack()->index()};
        // sample.dat cannot be written any more: its Save fails.
        QVERIFY(QFile::remove(m_path) && QDir().mkdir(m_path));
        for (int a : answers)
            m_answers << QMessageBox::StandardButton(a);

        const auto menuKey = [this](const char* menu, Qt::Key key) {
            QMenu* m = m_frame->Menu(QString::fromLatin1(menu));
            m->popup(m_frame->mapToGlobal(QPoint(10, 10)));
            QTest::keyClick(m, key);
        };
        switch (path) {
        case 0: menuKey("FileMenu", Qt::Key_X); break;
        case 1: menuKey("SetupMenu", Qt::Key_L); break;
        case 2: Key(Qt::Key_O, Qt::ControlModifier); break;
        default: Key(Qt::Key_F4, Qt::ControlModifier);
        }

        QStringList asked;
        for (const MessageRequest& m : std::as_const(m_messages))
            asked << m.text;
        // Nothing is saved before every answer is in; a save that fails says
        // what was saved before it.
        const bool radioSaved = answers.value(0) == QMessageBox::Save && answers.value(1) == QMessageBox::Save;
        QStringList expected = {QStringLiteral("Save changes to radio?"), QStringLiteral("Save changes to sample.dat?"),
                                QStringLiteral("The document could not be saved.\n") +
                                    (radioSaved ? QStringLiteral("The program stays open. Saved before it, and kept "
                                                                 "so: ") +
                                                      QDir::toNativeSeparators(other)
                                                : QStringLiteral("Nothing was saved, and the program stays open."))};
        QCOMPARE(asked, expected.mid(0, answers.size() + (answers.value(1) == QMessageBox::Save)));
        QCOMPARE(FileBytes(other) == FileBytes(kSample), !radioSaved);
        QCOMPARE(m_frame->isVisible(), !closes);
        QCOMPARE(launched, closes);
        // Each window stays as it was (the front one hidden by its close) ...
        QCOMPARE(file->isVisible(), !closes);
        QCOMPARE(radio->isVisible(), !closes && path != 3);
        QCOMPARE(m_frame->ChildFrames().size(), path == 2 ? 3 : 2);
        // ... and so does each document: edits, undo steps, unsaved state.
        QCOMPARE(file->GetView()->Grid().GetTextMatrix(2, kColName), QStringLiteral("EDITED"));
        QCOMPARE(radio->GetView()->Grid().GetTextMatrix(3, kColName), QStringLiteral("RADIO"));
        QCOMPARE(file->GetDocument()->UndoStack()->index(), steps[0]);
        QCOMPARE(radio->GetDocument()->UndoStack()->index(), steps[1]);
        QVERIFY(file->GetDocument()->IsModified());
        QCOMPARE(radio->GetDocument()->IsModified(), !radioSaved);
    }

    // With a window closed (hidden), File > New asks about the window in front
    // and clears that one; with none shown it asks nothing and clears nothing.
    void newActsOnTheWindowInFront()
    {
        Start();
        QPointer<CChildFrame> file = m_frame->ActiveChildFrame();
        Rename(2, QStringLiteral("EDITED"));
        QPointer<CChildFrame> radio = m_frame->OpenImageDocument(Doc()->GetImage(), QStringLiteral("radio"));
        Key(Qt::Key_F4, Qt::ControlModifier);
        QVERIFY(radio->isHidden());
        QCOMPARE(m_frame->ActiveChildFrame(), file);  // Save, Write, Print: the window shown

        m_answers << QMessageBox::Discard;
        Key(Qt::Key_N, Qt::ControlModifier);
        QCOMPARE(m_messages.size(), 1);
        QCOMPARE(m_messages[0].text, QStringLiteral("Save changes to sample.dat?"));
        QVERIFY(file.isNull());
        QVERIFY(radio && radio->isHidden());
        QPointer<CChildFrame> fresh = m_frame->ActiveChildFrame();
        QVERIFY(fresh && fresh != radio && fresh->isVisible());

        Key(Qt::Key_F4, Qt::ControlModifier);
        QVERIFY(fresh->isHidden());
        Key(Qt::Key_N, Qt::ControlModifier);
        QCOMPARE(m_messages.size(), 1);
        QVERIFY(radio && fresh);
        QCOMPARE(m_frame->ChildFrames().size(), 3);
        QVERIFY(m_frame->ActiveChildFrame()->isVisible());
        // Channel Information brings back the window closed last.
        m_frame->Action(ID_CHANNEL_INFORMATION)->trigger();
        QVERIFY(fresh->isVisible() && radio->isHidden());
        QCOMPARE(m_frame->ActiveChildFrame(), fresh);
    }

    // Undo of Product Information brings back the caption and the choice the
    // dialog opens on; redo the new ones.
    // With every document window closed (hidden) no command reaches a
    // document: each is disabled and its key does nothing; Channel
    // Information brings the window back, and its commands with it.
    void commandsActOnlyOnAWindowShown()
    {
        Start();
        Rename(2, QStringLiteral("EDITED"));
        QApplication::clipboard()->setText(QStringLiteral("146.52\t146.52\r\n"));
        QPointer<CChildFrame> file = m_frame->ActiveChildFrame();
        CProgramDoc* doc = file->GetDocument();
        const Image image = doc->GetImage();
        const int step = doc->UndoStack()->index();
        const QByteArray saved = FileBytes(m_path);
        QStringList dialogs;
        SetDialogHook([&](QDialog* d) {
            dialogs << d->objectName();
            return int(QDialog::Rejected);
        });
        Key(Qt::Key_F4, Qt::ControlModifier);
        QVERIFY(file->isHidden());
        for (int id :
             {ID_WRITE, ID_READ, ID_EDIT_PASTE, ID_EDIT_CUT, ID_EDIT_CLEAR, ID_EDIT_UNDO, ID_FILE_SAVE, ID_FILE_SAVE_AS,
              ID_FILE_PRINT, ID_FILE_IMPORT_CHANNELS, ID_OPTION_FEATURES, ID_PRODUCT_INFORMATION, ID_CHANNEL_DELETE})
            QVERIFY2(!m_frame->Action(id)->isEnabled(), qPrintable(QString::number(id)));
        for (Qt::Key k : {Qt::Key_W, Qt::Key_V, Qt::Key_X, Qt::Key_Z, Qt::Key_S, Qt::Key_P})
            QTest::keyClick(m_frame, k, Qt::ControlModifier);
        // Optional Features and Product Information from the tree, by keys.
        QTreeWidget* tree = m_frame->NavigationBar()->Tree();
        for (int entry : {2, 3}) {
            tree->setFocus();
            for (int i = 0; i < entry; ++i)
                QTest::keyClick(tree, Qt::Key_Down);
            QTest::keyClick(tree, Qt::Key_Return);
        }
        QVERIFY2(dialogs.isEmpty() && m_messages.isEmpty(), qPrintable(dialogs.join(',')));
        QVERIFY(!file->GetLink()->ProcessDlg()->IsWindow());
        QCOMPARE(doc->GetImage(), image);
        QCOMPARE(doc->UndoStack()->index(), step);
        QCOMPARE(file->GetView()->Grid().GetTextMatrix(2, kColName), QStringLiteral("EDITED"));
        QCOMPARE(FileBytes(m_path), saved);

        m_frame->Action(ID_CHANNEL_INFORMATION)->trigger();
        QVERIFY(file->isVisible());
        QVERIFY(m_frame->Action(ID_FILE_SAVE)->isEnabled() && m_frame->Action(ID_EDIT_UNDO)->isEnabled());
        Key(Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(NameInFile(m_path, 2), QStringLiteral("EDITED"));
    }

    // Bytes the window writes as it shows a document (the band record over
    // channel 106's name) and band boxes only visited change nothing: the
    // file is saved as it was read.
    void aDocumentOnlyLookedAtIsSavedAsRead()
    {
        Start();
        QByteArray bytes = FileBytes(kSample);
        bytes.replace(16 * 106, 16, QByteArray::fromHex("0025511400255114700623802EFFFFFF"));
        bytes.replace(mem::kSelectedBand, 8, QByteArray::fromHex("0A0B0C251415FFFF"));  // channel 106: "ABC"
        bytes.replace(mem::kVhfRange, 6, QByteArray::fromHex("1A1709454409"));          // 200-180, 450-450
        const QString path = m_dir->WriteFile(QStringLiteral("odd.dat"), bytes);
        m_frame->DestroyChildFrame(m_frame->ActiveChildFrame());
        QVERIFY(m_frame->OpenDocumentFile(path));
        QCOMPARE(Grid().GetTextMatrix(107, kColName), QStringLiteral("ABC"));
        QCOMPARE(View()->BandEdit(IDC_VHF_LOW)->text(), QStringLiteral("200"));
        // F6 into the band boxes, a click in each, F6 on to the grid; then the
        // window closed and shown again, which gives the first band box the
        // keys for a moment.
        QTRY_COMPARE(m_frame->focusWidget(), static_cast<QWidget*>(&Grid()));
        Key(Qt::Key_F6);
        Key(Qt::Key_F6);
        QCOMPARE(Focus(), View()->BandEdit(IDC_VHF_LOW));
        for (int id : {IDC_VHF_HIGH, IDC_UHF_LOW, IDC_UHF_HIGH})
            QTest::mouseClick(View()->BandEdit(id), Qt::LeftButton);
        Key(Qt::Key_F6);
        QCOMPARE(Focus(), static_cast<QWidget*>(&Grid()));
        Key(Qt::Key_F4, Qt::ControlModifier);
        m_frame->Action(ID_CHANNEL_INFORMATION)->trigger();
        QTRY_COMPARE(m_frame->focusWidget(), static_cast<QWidget*>(&Grid()));
        QCOMPARE(Caption(), QStringLiteral("odd.dat"));
        Key(Qt::Key_S, Qt::ControlModifier);
        QVERIFY(m_messages.isEmpty());
        const QByteArray after = FileBytes(path);
        QCOMPARE(after.size(), bytes.size());
        for (int i = 0; i < bytes.size(); ++i)
            QVERIFY2(after[i] == bytes[i], qPrintable(QString::number(i, 16)));
    }

    // Save As refuses the file another window has open, as Open does.
    void saveAsOntoAFileOpenElsewhereIsRefused()
    {
        Start();
        const QByteArray saved = FileBytes(m_path);
        QVERIFY(m_frame->NewDocument());
        Click(2, kColRxFreq);
        Type(QStringLiteral("146.52"));
        Key(Qt::Key_Return);
        QVERIFY(Doc()->IsModified());
        SetDialogHook([&](QDialog* d) {
            auto* fd = qobject_cast<QFileDialog*>(d);
            if (!fd)
                return int(QDialog::Rejected);
            fd->selectFile(m_path);
            return int(QDialog::Accepted);
        });
        m_frame->Action(ID_FILE_SAVE_AS)->trigger();
        QCOMPARE(m_messages.size(), 1);
        QCOMPARE(m_messages[0].text, QStringLiteral("%1 is open in another window of this program. Nothing was "
                                                    "saved: choose another name, or close that window first.")
                                         .arg(QDir::toNativeSeparators(m_path)));
        QCOMPARE(FileBytes(m_path), saved);
        QVERIFY(!Doc()->HasFilePath() && Doc()->IsModified());
        QCOMPARE(m_frame->ChildFrames().size(), 2);
    }

    // Exit asks about each document with its window shown in front; two of one
    // title are told apart by their files.
    void exitShowsEachDocumentItAsksAbout()
    {
        Start();
        QVERIFY(QDir(m_dir->Path()).mkdir(QStringLiteral("copy")));
        const QString copy = m_dir->WriteFile(QStringLiteral("copy/sample.dat"), FileBytes(kSample));
        Rename(2, QStringLiteral("ONE"));
        QVERIFY(m_frame->OpenDocumentFile(copy));
        Rename(2, QStringLiteral("TWO"));
        m_frame->Action(ID_FILE_CLOSE)->trigger();
        m_frame->Action(ID_FILE_CLOSE)->trigger();
        QVERIFY(!m_frame->FrontChildFrame());
        QStringList inFront;
        SetMessageHook([&](const MessageRequest& r) {
            m_messages << r;
            CChildFrame* front = m_frame->FrontChildFrame();
            inFront << (front && front->isVisible() ? QDir::toNativeSeparators(front->GetDocument()->GetPathName())
                                                    : QString());
            return m_messages.size() == 1 ? QMessageBox::Discard : QMessageBox::Cancel;
        });
        m_frame->Action(ID_APP_EXIT)->trigger();
        QCOMPARE(m_messages.size(), 2);
        QStringList details;
        for (const MessageRequest& m : std::as_const(m_messages)) {
            QCOMPARE(m.text, QStringLiteral("Save changes to sample.dat?"));
            details << m.detail;
        }
        QCOMPARE(details, inFront);
        details.sort();
        QCOMPARE(details, (QStringList{QDir::toNativeSeparators(copy), QDir::toNativeSeparators(m_path)}));
        QVERIFY(m_frame->isVisible());
    }

    // The refusal count reads whole in Chinese, however many cells.
    void chineseRefusalCountReadsWhole()
    {
        Start({}, "Chinese");
        QApplication::clipboard()->setText(QStringLiteral("999\n").repeated(12));
        Click(60, kColRxFreq);
        Key(Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(m_messages.size(), 1);
        QVERIFY2(m_messages[0].text.endsWith(QString::fromUtf8(" 12 个单元格")), qPrintable(m_messages[0].text));
    }

    void productInformationUndoneWholly()
    {
        Start();
        const auto shown = [this] {
            return QStringList{m_frame->windowTitle(),
                               QString::number(m_store.ReadDword("TanagerTest", kSettingType).value_or(99)),
                               QString::number(m_store.ReadDword("TanagerTest", kSettingField).value_or(99))};
        };
        QStringList opensOn;
        bool change = true;
        SetDialogHook([&](QDialog* d) {
            auto* dlg = static_cast<CProductInfoDlg*>(d);
            dlg->show();
            opensOn = {QString::number(dlg->m_cbType->currentIndex()),
                       QString::number(dlg->m_cbFrequency->currentIndex())};
            if (change) {
                QTest::keyClick(dlg->m_cbType, Qt::Key_Down);
                QTest::keyClick(dlg->m_cbFrequency, Qt::Key_Down);
                QTest::keyClick(dlg, Qt::Key_Return);  // OK
            }
            dlg->hide();
            return dlg->result();
        });
        const QStringList before = shown();
        m_frame->Action(ID_PRODUCT_INFORMATION)->trigger();
        const QStringList after = shown();
        QCOMPARE(after, QStringList({QStringLiteral("Test Tool  [ Type:TR-5U  Fre:430-440MHz ]"), "1", "1"}));
        QApplication::setActiveWindow(m_frame);
        QVERIFY(QTest::qWaitForWindowActive(m_frame));

        Key(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(shown(), before);
        change = false;
        m_frame->Action(ID_PRODUCT_INFORMATION)->trigger();
        QCOMPARE(opensOn, before.mid(1));
        Key(Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(shown(), after);
    }
};

void TestEditing::copyThreeRowsPasteThemElsewhere()
{
    Start();
    ClickLabel(2);
    ClickLabel(4, Qt::ShiftModifier);
    QCOMPARE(Grid().SelectedRows(), (std::set<int>{2, 3, 4}));
    QVERIFY(!View()->OpenEditor());
    const QList<QStringList> copied = Rows(2, 4);
    Key(Qt::Key_C, Qt::ControlModifier);
    // Tab-separated cell texts in the platform's lines, every column of whole
    // rows (the hidden lock too), and CSV.
    const QMimeData* mime = QApplication::clipboard()->mimeData();
#ifdef Q_OS_WIN
    const QString eol = QStringLiteral("\r\n");
#else
    const QString eol = QStringLiteral("\n");
#endif
    const QStringList lines = mime->text().split(eol, Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 3);
    QCOMPARE(lines[0], copied[0].join(QLatin1Char('\t')));
    QVERIFY(mime->hasFormat(QStringLiteral("text/csv")));
    QVERIFY(QString::fromUtf8(mime->data(QStringLiteral("text/csv"))).startsWith(copied[0].join(QLatin1Char(','))));

    const Image before = Doc()->GetImage();
    const int steps = Steps();
    Click(30, kColRxFreq);
    QVERIFY(View()->OpenEditor());  // Ctrl+V still pastes the rows, not into the cell's editor
    Key(Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(Rows(30, 32), copied);
    QCOMPARE(Steps(), steps + 1);
    QCOMPARE(m_frame->Action(ID_EDIT_UNDO)->text(), QStringLiteral("&Undo Paste 3 channels"));
    QVERIFY(m_messages.isEmpty());
    Key(Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(Rows(30, 32), QList<QStringList>(3, QStringList(9, QString())));
    QCOMPARE(Doc()->GetImage(), before);
    Key(Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(Rows(30, 32), copied);

    // Cut leaves empty channels where they were; the next keeps its place.
    const QStringList next = Row(5);
    ClickLabel(3);
    Key(Qt::Key_X, Qt::ControlModifier);
    QCOMPARE(Row(3), QStringList(9, QString()));
    QCOMPARE(Row(5), next);
    QVERIFY(QApplication::clipboard()->text().startsWith(copied[1].join(QLatin1Char('\t'))));
}

void TestEditing::spreadsheetPasteRefusesOneFrequencyAndAppliesTheRest()
{
    Start();
    QApplication::clipboard()->setText(
        QStringLiteral("146.52\t146.52\tNone\r\n999\t146.5\t88.5\r\n147.015\t147.615\t88.5\r\n"));
    const int steps = Steps();
    Click(40, kColRxFreq);
    Key(Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(Grid().GetTextMatrix(40, kColRxFreq), QStringLiteral("146.52000"));
    QCOMPARE(Row(41), QStringList(9, QString()));
    QCOMPARE(Row(42).mid(0, 4), (QStringList{"147.01500", "147.61500", "88.5", "None"}));
    QCOMPARE(m_messages.size(), 1);
    // One line for the channel whose Rx Frequency was refused, none for its other cells.
    const QString text = m_messages[0].text + QLatin1Char('\n') + m_messages[0].detail;
    QVERIFY2(text.contains(QStringLiteral("Channel 40, Rx Frequency: \"999\" is out of range")), qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("the channel's 2 other cells were not entered either")), qPrintable(text));
    QVERIFY2(!text.contains(QStringLiteral("Channel 40, Tx")) && !text.contains(QStringLiteral("Channel 40, Rx Tone")),
             qPrintable(text));
    QCOMPARE(Steps(), steps + 1);
    Key(Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(Rows(40, 42), QList<QStringList>(3, QStringList(9, QString())));

    // Thirty refusals: each is listed, in an area that scrolls, and the keys or
    // the Copy button put the whole list on the clipboard.
    QApplication::clipboard()->setText(QStringLiteral("999\n").repeated(30));
    SetMessageHook({});
    QString shown, selected, copied;
    int scrolls = 0;
    SetDialogHook([&](QDialog* d) {
        auto* details = d->findChild<QPlainTextEdit*>(QStringLiteral("MessageDetails"));
        auto* copy = d->findChild<QPushButton*>(QStringLiteral("MessageCopy"));
        if (!details || !copy)
            return int(QDialog::Rejected);
        d->show();
        QApplication::setActiveWindow(d);
        if (!QTest::qWaitForWindowActive(d))
            return int(QDialog::Rejected);
        shown = details->toPlainText();
        scrolls = details->verticalScrollBar()->maximum();
        QApplication::clipboard()->clear();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_C, Qt::ControlModifier);
        selected = QApplication::clipboard()->text();
        QTest::mouseClick(copy, Qt::LeftButton);
        copied = QApplication::clipboard()->text();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        return d->result();
    });
    Click(60, kColRxFreq);
    Key(Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(shown.split(QLatin1Char('\n')).size(), 30);
    QVERIFY2(shown.startsWith(QStringLiteral("Channel 59, Rx Frequency: \"999\" is out of range")) &&
                 shown.section(QLatin1Char('\n'), -1).startsWith(QStringLiteral("Channel 88, Rx Frequency:")),
             qPrintable(shown));
    QVERIFY(scrolls > 0);
    QCOMPARE(selected, shown);
    QVERIFY2(copied.startsWith(QStringLiteral("Not pasted: 30 cells\n")) && copied.endsWith(shown), qPrintable(copied));
}

void TestEditing::wholeChannelsMoveAndComeBackWithUndo_data()
{
    QTest::addColumn<int>("op");
    QTest::addColumn<QList<int>>("expect");  // the old row each of rows 2..9 shows afterwards; 0 empty
    QTest::newRow("insert") << 0 << QList<int>{2, 0, 0, 3, 4, 5, 6, 7};
    QTest::newRow("delete") << 1 << QList<int>{2, 5, 6, 7, 8, 9, 10, 11};
    QTest::newRow("move up") << 2 << QList<int>{3, 4, 2, 5, 6, 7, 8, 9};
    QTest::newRow("move down") << 3 << QList<int>{2, 5, 3, 4, 6, 7, 8, 9};
    QTest::newRow("sort") << 4 << QList<int>{};
}
void TestEditing::wholeChannelsMoveAndComeBackWithUndo()
{
    QFETCH(int, op);
    QFETCH(QList<int>, expect);
    Start();
    const Image before = Doc()->GetImage();
    const QList<QStringList> rows = Rows(1, 200);
    ClickLabel(3);
    ClickLabel(4, Qt::ShiftModifier);
    switch (op) {
    case 0:
    case 1: {
        QMenu* menu = ContextMenuAt(3, kColRxFreq);
        QVERIFY(menu);
        QTest::keyClick(menu, op == 0 ? Qt::Key_I : Qt::Key_D);
        break;
    }
    case 2: Key(Qt::Key_Up, Qt::ControlModifier); break;
    case 3: Key(Qt::Key_Down, Qt::ControlModifier); break;
    default: {
        Grid().SelectCurrentCell();
        QMenu* menu = ContextMenuAt(5, kColRxFreq);
        QTest::keyClick(menu, Qt::Key_H);  // Sort C&hannels
        QMenu* sort = menu->findChild<QMenu*>(QStringLiteral("SortMenu"));
        QVERIFY(sort && sort->isVisible());
        QTest::keyClick(sort, Qt::Key_R);
    }
    }
    QCOMPARE(Row(1), rows[0]);  // "Pr" never moves
    for (int i = 0; i < expect.size(); ++i)
        QCOMPARE(Row(2 + i), expect[i] ? rows[expect[i] - 1] : QStringList(9, QString()));
    if (op == 4) {
        double last = 0;
        for (int r = 2; r <= 200 && !Grid().GetTextMatrix(r, 1).isEmpty(); ++r) {
            QVERIFY(Grid().GetTextMatrix(r, 1).toDouble() >= last);
            last = Grid().GetTextMatrix(r, 1).toDouble();
        }
    }
    QVERIFY(Doc()->GetImage() != before);
    Key(Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(Doc()->GetImage(), before);
    QCOMPARE(Rows(1, 200), rows);
    QVERIFY(!Doc()->IsModified());
    // After the context menu, moving with the keys opens the cell's editor again.
    Grid().setFocus();
    Key(Qt::Key_Down);
    QVERIFY(View()->OpenEditor());
}

// Several cells of one column take one value: typed and Ctrl+Enter, or
// through Edit > Set Selected Cells; one undo step brings them all back.
void TestEditing::oneValueSetsTheSelectedCellsOfAColumn_data()
{
    QTest::addColumn<int>("dialog");  // 0 typed into the cell, 1 from the Edit menu, 2 Ctrl+Enter on the grid
    QTest::addColumn<int>("col");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("expect");
    QTest::newRow("typed Tx Frequency") << 0 << int(kColTxFreq) << "146.52"
                                        << "146.52000";
    QTest::newRow("Power picked in its list") << 0 << int(kColPower) << "L"
                                              << "Low";
    QTest::newRow("dialog, Bandwidth list") << 1 << int(kColBandwidth) << "N"
                                            << "Narrow";
    QTest::newRow("dialog, typed name") << 2 << int(kColName) << "club"
                                        << "CLUB";
}
void TestEditing::oneValueSetsTheSelectedCellsOfAColumn()
{
    QFETCH(int, dialog);
    QFETCH(int, col);
    QFETCH(QString, keys);
    QFETCH(QString, expect);
    Start();
    const QList<QStringList> before = Rows(1, 200);
    const int steps = Steps();
    Click(3, col);
    Click(6, col, Qt::ShiftModifier);
    QString label;
    if (dialog) {
        SetDialogHook([&](QDialog* d) {
            d->show();
            QApplication::setActiveWindow(d);
            if (!QTest::qWaitForWindowActive(d))
                return int(QDialog::Rejected);
            label = d->findChild<QLabel*>()->text();
            QWidget* value = d->findChild<QWidget*>(QStringLiteral("SetCellsValue"));
            if (QApplication::focusWidget() != value)
                return int(QDialog::Rejected);
            if (auto* edit = qobject_cast<QLineEdit*>(value))
                edit->clear();
            QTest::keyClicks(value, keys);
            QTest::keyClick(value, Qt::Key_Return);
            return d->result();
        });
        if (dialog == 1)
            m_frame->Action(ID_EDIT_SET_CELLS)->trigger();
        else
            Key(Qt::Key_Return, Qt::ControlModifier);
        QVERIFY2(label.startsWith(Grid().GetTextMatrix(0, col) + QStringLiteral(" of the 4 selected cells")),
                 qPrintable(label));
    } else {
        Type(keys);
        Key(Qt::Key_Return, Qt::ControlModifier);
    }
    QVERIFY2(m_messages.isEmpty(), qPrintable(m_messages.value(0).text));
    for (int row = 1; row <= 200; ++row) {
        QStringList want = before[row - 1];
        if (row >= 3 && row <= 6)
            want[col - 1] = expect;
        QCOMPARE(Row(row), want);
    }
    QCOMPARE(Steps(), steps + 1);
    QCOMPARE(m_frame->Action(ID_EDIT_UNDO)->text(), QStringLiteral("&Undo Set 4 cells"));
    QCOMPARE(Grid().SelectedRows(), (std::set<int>{3, 4, 5, 6}));
    Key(Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(Rows(1, 200), before);
    QVERIFY(!Doc()->IsModified());
}

void TestEditing::refusedValuesAndSeveralColumnsChangeNothingRefused()
{
    Start();
    const QList<QStringList> before = Rows(1, 200);
    const int steps = Steps();
    auto message = [this] {
        return m_messages.isEmpty() ? QString() : m_messages.last().text + QLatin1Char('\n') + m_messages.last().detail;
    };
    // An Rx Frequency out of band is refused in every cell, and no channel is emptied for it.
    Click(3, kColRxFreq);
    Click(5, kColRxFreq, Qt::ShiftModifier);
    Type(QStringLiteral("999"));
    Key(Qt::Key_Return, Qt::ControlModifier);
    QCOMPARE(Rows(1, 200), before);
    QCOMPARE(m_messages.size(), 1);
    QVERIFY2(message().startsWith(QStringLiteral("Not set: 3 cells")), qPrintable(message()));
    for (int channel : {2, 3, 4})
        QVERIFY2(message().contains(QStringLiteral("Channel %1, Rx Frequency: \"999\" is out of range").arg(channel)),
                 qPrintable(message()));

    // Power over used and empty channels: set where there is a channel, the rest refused in the same one message.
    int last = 2;
    while (!Grid().GetTextMatrix(last + 1, kColRxFreq).isEmpty())
        ++last;
    Click(last - 1, kColPower);
    Click(last + 2, kColPower, Qt::ShiftModifier);
    Type(QStringLiteral("L"));
    Key(Qt::Key_Return, Qt::ControlModifier);
    QCOMPARE(m_messages.size(), 2);
    QCOMPARE(Grid().GetTextMatrix(last - 1, kColPower), QStringLiteral("Low"));
    QCOMPARE(Grid().GetTextMatrix(last, kColPower), QStringLiteral("Low"));
    QCOMPARE(Row(last + 1), QStringList(9, QString()));
    QCOMPARE(Row(last + 2), QStringList(9, QString()));
    QVERIFY2(message().startsWith(QStringLiteral("Not set: 2 cells")), qPrintable(message()));
    QVERIFY2(
        message().contains(QStringLiteral("Channel %1, Power: \"Low\" needs a channel with an Rx Frequency").arg(last)),
        qPrintable(message()));
    QCOMPARE(Steps(), steps + 1);

    // Several columns take no single value, by keys or from the menu: the user is told, nothing changes.
    const QList<QStringList> now = Rows(1, 200);
    int dialogs = 0;
    SetDialogHook([&](QDialog*) {
        ++dialogs;
        return int(QDialog::Rejected);
    });
    Click(3, kColRxFreq);
    Click(4, kColTxFreq, Qt::ShiftModifier);
    Type(QStringLiteral("146.52"));
    Key(Qt::Key_Return, Qt::ControlModifier);
    QCOMPARE(m_messages.size(), 3);
    QVERIFY2(message().contains(QStringLiteral("the selection spans 2 columns (Rx Frequency, Tx Frequency). Nothing "
                                               "was changed")),
             qPrintable(message()));
    QVERIFY(View()->OpenEditor());  // Enter still sets the one cell typed into
    Key(Qt::Key_Escape);
    m_frame->Action(ID_EDIT_SET_CELLS)->trigger();
    QCOMPARE(m_messages.size(), 4);
    QCOMPARE(m_messages[3].text, m_messages[2].text);
    QCOMPARE(dialogs, 0);
    QCOMPARE(Rows(1, 200), now);
    QCOMPARE(Steps(), steps + 1);
}

// Channels dragged from one document window to another, or within one, as
// Qt delivers the drag to the window under the pointer.
void TestEditing::channelsDraggedBetweenDocuments_data()
{
    QTest::addColumn<bool>("sameWindow");
    QTest::addColumn<bool>("shift");
    QTest::addColumn<bool>("readOnly");
    QTest::newRow("copy to another document") << false << false << false;
    QTest::newRow("Shift moves them") << false << true << false;
    QTest::newRow("within one window a move") << true << false << false;
    QTest::newRow("read-only target refuses") << false << false << true;
}
void TestEditing::channelsDraggedBetweenDocuments()
{
    QFETCH(bool, sameWindow);
    QFETCH(bool, shift);
    QFETCH(bool, readOnly);
    Start();
    CProgramView* source = View();
    const QList<QStringList> sourceRows = Rows(1, 200);
    ClickLabel(3);
    ClickLabel(5, Qt::ShiftModifier);
    std::unique_ptr<QMimeData> mime(source->ChannelDragData());
    QVERIFY(mime);
    if (!sameWindow)
        QVERIFY(m_frame->NewDocument());
    CProgramView* target = View();
    QCOMPARE(target == source, sameWindow);
    QUndoStack* sourceSteps = source->GetDocument()->UndoStack();
    QUndoStack* targetSteps = target->GetDocument()->UndoStack();
    const int sourceCount = sourceSteps->count(), targetCount = targetSteps->count();
    const QList<QStringList> targetRows = Rows(1, 200);
    if (readOnly)
        target->GetDocument()->SetReadOnly(true, QStringLiteral("A transfer runs here."));

    CMSFlexGrid& grid = target->Grid();
    grid.scrollTo(grid.model()->index(10, kColRxFreq));
    const QPoint at = grid.CellRect(10, kColRxFreq).center();
    const Qt::KeyboardModifiers mods = shift ? Qt::ShiftModifier : Qt::NoModifier;
    const Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction;
    QDragEnterEvent enter(at, actions, mime.get(), Qt::LeftButton, mods);
    QApplication::sendEvent(grid.viewport(), &enter);
    QCOMPARE(enter.isAccepted(), !readOnly);
    QDragMoveEvent move(at, actions, mime.get(), Qt::LeftButton, mods);
    QApplication::sendEvent(grid.viewport(), &move);
    QDropEvent drop(QPointF(at), actions, mime.get(), Qt::LeftButton, mods);
    QApplication::sendEvent(grid.viewport(), &drop);
    QCOMPARE(drop.dropAction(), shift || sameWindow ? Qt::MoveAction : Qt::CopyAction);
    QApplication::processEvents();

    if (readOnly) {  // refused at the enter: the pointer says no, the banner says why
        QCOMPARE(Rows(1, 200), targetRows);
        QCOMPARE(targetSteps->count(), targetCount);
        QVERIFY(target->ReadOnlyBanner()->isVisible());
        return;
    }
    QVERIFY2(m_messages.isEmpty(), qPrintable(m_messages.value(0).text + m_messages.value(0).detail));
    // Rows 10..12 hold the channels dragged; within one window the rows between close up.
    for (int i = 0; i < 3; ++i)
        QCOMPARE(target->Grid().GetTextMatrix(10 + i, kColName), sourceRows[2 + i][kColName - 1]);
    QCOMPARE(Rows(10, 12), sourceRows.mid(2, 3));
    if (sameWindow)
        QCOMPARE(Rows(3, 9), sourceRows.mid(5, 7));
    QCOMPARE(targetSteps->count(), targetCount + 1);
    QCOMPARE(sourceSteps->count(), sourceCount + (shift || sameWindow ? 1 : 0));
    const int sourceRow3 = shift || sameWindow ? 6 : 3;
    QCOMPARE(source->Grid().GetTextMatrix(3, kColName), sourceRows[sourceRow3 - 1][kColName - 1]);
    // Each side's step comes back on its own.
    targetSteps->undo();
    if (!sameWindow)
        QCOMPARE(Rows(1, 200), targetRows);
    sourceSteps->undo();
    for (int row = 1; row <= 200; ++row)
        QCOMPARE(source->Grid().GetTextMatrix(row, kColName), sourceRows[row - 1][kColName - 1]);
}

// Whole channels copied and pasted with the keys, or dragged by their labels
// within a window or to another, land with their 16 record and 8 name bytes.
void TestEditing::channelsLandByteForByte_data()
{
    QTest::addColumn<bool>("drag");
    QTest::addColumn<bool>("otherWindow");
    QTest::addColumn<int>("mods");  // of the drag's drop
    QTest::newRow("Ctrl+C, Ctrl+V here") << false << false << 0;
    QTest::newRow("Ctrl+C, Ctrl+V in another window") << false << true << 0;
    QTest::newRow("drag within the window moves") << true << false << 0;
    QTest::newRow("Ctrl+drag within the window copies") << true << false << int(Qt::ControlModifier);
    QTest::newRow("drag to another window copies") << true << true << 0;
    QTest::newRow("Shift+drag to another window moves") << true << true << int(Qt::ShiftModifier);
}
void TestEditing::channelsLandByteForByte()
{
    QFETCH(bool, drag);
    QFETCH(bool, otherWindow);
    QFETCH(int, mods);
    ShellIni ini;
    QVERIFY(NewProgramDir(ini));
    SetMessageHook([this](const MessageRequest& r) {
        m_messages << r;
        return QMessageBox::Ok;
    });
    QVERIFY(StartProgram({m_dir->WriteFile(QStringLiteral("odd.dat"), OddChannelsFile())}));
    QVERIFY(ShowFrame({1000, 700}, true));
    const QList<QByteArray> channels = OddChannels();
    CProgramView* source = View();
    for (int i = 0; i < channels.size(); ++i)
        QCOMPARE(SavedChannel(source, 2 + i).toHex(), channels[i].toHex());  // as read
    const QList<QStringList> shown = Rows(2, 7);
    QCOMPARE(shown[1][kColPower - 1], QStringLiteral("Middle"));
    QCOMPARE(shown[3][kColPower - 1], QString());
    ClickLabel(2);
    ClickLabel(7, Qt::ShiftModifier);
    if (!drag)
        Key(Qt::Key_C, Qt::ControlModifier);
    if (otherWindow)
        QVERIFY(m_frame->NewDocument());
    CProgramView* target = View();
    const bool move = drag && (otherWindow ? mods == Qt::ShiftModifier : mods != Qt::ControlModifier);
    if (drag) {
        DragChannels(source, 4, target, 20, Qt::KeyboardModifiers(mods));
    } else {
        ClickLabel(20);
        Key(Qt::Key_V, Qt::ControlModifier);
    }
    QVERIFY2(m_messages.isEmpty(), qPrintable(m_messages.value(0).text + m_messages.value(0).detail));
    for (int i = 0; i < channels.size(); ++i) {
        for (int col = kColRxFreq; col <= kColName; ++col)
            QCOMPARE(target->Grid().GetTextMatrix(20 + i, col), shown[i][col - 1]);
        QCOMPARE(SavedChannel(target, 20 + i).toHex(), channels[i].toHex());
    }
    // A copy leaves the channels where they were; a move takes them away.
    for (int i = 0; i < channels.size(); ++i)
        if (target != source || !move) {
            const QByteArray left = SavedChannel(source, 2 + i).toHex();
            QCOMPARE(move ? left.left(32) : left, move ? QByteArray(32, 'f') : channels[i].toHex());
        }
}

// A pasted row whose Rx or Tx Frequency is refused changes nothing of its
// channel; a name stored otherwise than pasted is listed; an off-step
// frequency is told the nearest values, pasted or set.
void TestEditing::pastedRowWithARefusedFrequencyChangesNothing()
{
    Start();
    const QStringList ch14 = Row(15);  // 446.00000, D411N, Middle, UHF-SX
    const QStringList ch13 = Row(14);
    QCOMPARE(ch14[0], QStringLiteral("446.00000"));
    QApplication::clipboard()->setText(
        QStringLiteral("999\t146.5\tNone\t88.5\tHigh\tLock\tYes\tWide\tNEW\n"
                       "146.0065\t146.5\tNone\t88.5\tHigh\tLock\tYes\tWide\tNEW\n"
                       "146.5\t146.5\tNone\t88.5\tHigh\tLock\tYes\tWide\tRPT 3\n"));
    const int steps = Steps();
    ClickLabel(14);
    Key(Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(Row(14), ch13);
    QCOMPARE(Row(15), ch14);
    QCOMPARE(Row(16), (QStringList{"146.50000", "146.50000", "None", "88.5", "High", "Lock", "Yes", "Wide", "RPT"}));
    QCOMPARE(Steps(), steps + 1);
    QCOMPARE(m_messages.size(), 1);
    QCOMPARE(m_messages[0].text, QStringLiteral("Not pasted: 18 cells\nStored otherwise than given: 1 name"));
    const QStringList lines = m_messages[0].detail.split(QLatin1Char('\n'));
    QCOMPARE(lines,
             (QStringList{"Channel 13, Rx Frequency: \"999\" is out of range: VHF 130-180 MHz, UHF 400-520 MHz (upper "
                          "limits excluded); the channel's 8 other cells were not entered either",
                          "Channel 14, Rx Frequency: \"146.0065\": Error data Value, please input according the step "
                          "value(6.25K/5k). Nearest accepted: 146.00625 or 146.00750 MHz; the channel's 8 other cells "
                          "were not entered either",
                          "Channel 15, Cha Name: \"RPT 3\" is stored as \"RPT\". A channel name holds up to 8 "
                          "characters, each A-Z, 0-9, - or _; letters are stored in upper case."}));

    // Set Selected Cells offers a value its list lacks as the cell shows it, and sets it.
    Click(4, kColTxFreq);
    Click(5, kColTxFreq, Qt::ShiftModifier);
    Type(QStringLiteral("145.0065"));
    Key(Qt::Key_Return, Qt::ControlModifier);
    QCOMPARE(m_messages.size(), 2);
    QVERIFY2(m_messages[1].detail.startsWith(QStringLiteral("Channel 3, Tx Frequency: \"145.0065\": Error data Value, "
                                                            "please input according the step value(6.25K/5k). Nearest "
                                                            "accepted: 145.00625 or 145.00750 MHz.")),
             qPrintable(m_messages[1].detail));
    QString offered;
    SetDialogHook([&](QDialog* d) {
        auto* list = d->findChild<QComboBox*>(QStringLiteral("SetCellsValue"));
        offered = list ? list->currentText() : QString();
        return int(QDialog::Accepted);
    });
    Click(4, kColPower);  // channel 3: Middle
    Click(7, kColPower, Qt::ShiftModifier);
    m_frame->Action(ID_EDIT_SET_CELLS)->trigger();
    QCOMPARE(offered, QStringLiteral("Middle"));
    for (int row = 4; row <= 7; ++row)
        QCOMPARE(Grid().GetTextMatrix(row, kColPower), QStringLiteral("Middle"));
}

// A file dropped on the main window or a document window, friendly or hostile.
void TestEditing::droppedFilesOpenImportOrAreRefused_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<bool>("onDocument");
    QTest::addColumn<int>("windows");   // document windows afterwards
    QTest::addColumn<QString>("told");  // what the message says, or the preview
    QTest::newRow(".dat opens") << QStringList{"other.dat"} << false << 2 << QString();
    QTest::newRow(".dat on a document window opens") << QStringList{"other.dat"} << true << 2 << QString();
    QTest::newRow(".dat open already is shown") << QStringList{"sample.dat"} << false << 1 << QString();
    QTest::newRow("huge .dat opens, told")
        << QStringList{"huge.dat"} << false << 2 << "only its first 8192 bytes were opened";
    QTest::newRow(".csv previewed") << QStringList{"list.csv"} << true << 1 << "1 channel added";
    QTest::newRow(".csv beside the windows")
        << QStringList{"list.csv"} << false << 1 << "drop it on the window of the configuration";
    QTest::newRow("huge .csv") << QStringList{"huge.csv"} << true << 1 << "cannot be read";
    QTest::newRow("two files") << QStringList{"other.dat", "list.csv"} << false << 1 << "2 files were dropped";
    QTest::newRow("a folder") << QStringList{"folder.dat"} << false << 1 << "is a folder";
#ifndef _WIN32  // no FIFO, and no link to a device, to drop on Windows
    QTest::newRow("a FIFO") << QStringList{"fifo.dat"} << false << 1 << "could not be opened";
    QTest::newRow("a device") << QStringList{"zero.dat"} << false << 1 << "could not be opened";
#endif
    QTest::newRow("vanished") << QStringList{"gone.dat"} << false << 1 << "could not be opened";
    QTest::newRow("another kind") << QStringList{"notes.txt"} << true << 1 << "was not opened";
}
void TestEditing::droppedFilesOpenImportOrAreRefused()
{
    QFETCH(QStringList, files);
    QFETCH(bool, onDocument);
    QFETCH(int, windows);
    QFETCH(QString, told);
    Start();
    m_dir->WriteFile(QStringLiteral("other.dat"), FileBytes(kSample));
    m_dir->WriteFile(QStringLiteral("list.csv"), "Location,Name,Frequency\r\n40,ONE,146.52\r\n");
    // Sparse: a gigabyte costs no time to make.
    for (const QString& name : {QStringLiteral("huge.dat"), QStringLiteral("huge.csv")}) {
        QFile huge(m_dir->WriteFile(name, name.endsWith(QLatin1String("dat")) ? FileBytes(kSample) : "a,b\n"));
        QVERIFY(huge.resize(qint64(1) << 30));
    }
    m_dir->WriteFile(QStringLiteral("notes.txt"), "x");
    QVERIFY(QDir(m_dir->Path()).mkdir(QStringLiteral("folder.dat")));
#ifndef _WIN32
    QVERIFY(QFile::link(QStringLiteral("/dev/zero"), m_dir->FilePath(QStringLiteral("zero.dat"))));
    QVERIFY(::mkfifo(QFile::encodeName(m_dir->FilePath(QStringLiteral("fifo.dat"))).constData(), 0600) == 0);
#endif
    QString preview;
    SetDialogHook([&](QDialog* d) {
        if (auto* p = qobject_cast<CImportPreviewDlg*>(d))
            preview = p->Summary();
        return int(QDialog::Rejected);
    });
    const Image before = Doc()->GetImage();
    QMimeData mime;
    QList<QUrl> urls;
    for (const QString& f : files)
        urls << QUrl::fromLocalFile(m_dir->FilePath(f));
    mime.setUrls(urls);
    QWidget* on = m_frame;
    QPoint at = m_frame->NavigationBar()->mapTo(m_frame, m_frame->NavigationBar()->rect().center());
    if (onDocument) {
        on = Grid().viewport();
        at = Grid().CellRect(2, kColRxFreq).center();
    }
    QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, {});
    QApplication::sendEvent(on, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(at), Qt::CopyAction, &mime, Qt::LeftButton, {});
    QApplication::sendEvent(on, &drop);
    QApplication::processEvents();  // the drop's work comes once it is over
    QCOMPARE(m_frame->ChildFrames().size(), windows);
    const QString shown =
        m_messages.isEmpty() ? preview : m_messages.last().text + QLatin1Char('\n') + m_messages.last().detail;
    QVERIFY2(told.isEmpty() ? m_messages.isEmpty() && preview.isEmpty() : shown.contains(told), qPrintable(shown));
    QVERIFY(m_messages.size() <= 1);
    if (windows == 2)
        QCOMPARE(Caption(), QFileInfo(files[0]).fileName());
    if (windows == 1)
        QCOMPARE(m_frame->ChildFrames()[0]->GetDocument()->GetImage(), before);
}

// A published club list with locations past 199: renumbered from channel 20
// and merged, the channels on screen stay; the summary is shown first.
void TestEditing::importRenumbersAndMergesAsChosen()
{
    Start();
    QString summary, selected, copied;
    SetDialogHook([&](QDialog* d) {
        if (auto* files = qobject_cast<QFileDialog*>(d)) {
            files->selectFile(QStringLiteral(PROG_SOURCE_DIR "/tests/data/csv/club-legacy.csv"));
            files->selectNameFilter(files->nameFilters().at(1));
            return int(QDialog::Accepted);
        }
        if (auto* preview = qobject_cast<CImportPreviewDlg*>(d)) {
            preview->findChild<QCheckBox*>(QStringLiteral("RenumberCheck"))->setChecked(true);
            preview->findChild<QSpinBox*>(QStringLiteral("RenumberFrom"))->setValue(20);
            preview->findChild<QRadioButton*>(QStringLiteral("MergeChannels"))->setChecked(true);
            summary = preview->Summary();
            // The refused lines can be copied: selected with the keys, or all with Copy.
            preview->show();
            QApplication::setActiveWindow(preview);
            if (QTest::qWaitForWindowActive(preview)) {
                preview->findChild<QPlainTextEdit*>(QStringLiteral("ImportReport"))->setFocus();
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_C, Qt::ControlModifier);
                selected = QApplication::clipboard()->text();
                if (auto* copy = preview->findChild<QPushButton*>(QStringLiteral("ImportCopy")))
                    QTest::mouseClick(copy, Qt::LeftButton);
                copied = QApplication::clipboard()->text();
            }
            preview->hide();
            return int(QDialog::Accepted);
        }
        return int(QDialog::Rejected);
    });
    const QStringList kept = Row(2);
    const int steps = Steps();
    m_frame->Action(ID_FILE_IMPORT_CHANNELS)->trigger();
    QVERIFY2(summary.contains(QStringLiteral("merges into the channels on screen")), qPrintable(summary));
    QVERIFY2(
        summary.contains(QStringLiteral("12 channels added, 0 changed, 0 emptied (not in the file), 4 lines refused")),
        qPrintable(summary));
    QVERIFY2(summary.contains(QStringLiteral("Refused: outside the radio's bands (4)")), qPrintable(summary));
    QCOMPARE(selected.count(QStringLiteral(", refused: ")), 4);
    QVERIFY2(copied == summary + QLatin1Char('\n') + selected, qPrintable(copied));
    QCOMPARE(Row(2), kept);
    QCOMPARE(Row(21),
             (QStringList{"145.13000", "144.53000", "None", "127.3", "High", "Lock", "Yes", "Wide", "KB2MTN"}));
    QCOMPARE(Grid().GetTextMatrix(32, kColName), QStringLiteral("ARES-U"));
    QCOMPARE(Steps(), steps + 1);
    Key(Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(Row(21), QStringList(9, QString()));
}

void TestEditing::importPreviewsThenAppliesOneStep()
{
    Start();
    const QString csv = m_dir->Path() + QStringLiteral("/channels.csv");
    QStringList previews;
    bool acceptPreview = false;
    SetDialogHook([&](QDialog* d) {
        if (auto* files = qobject_cast<QFileDialog*>(d)) {
            files->selectFile(csv);
            files->selectNameFilter(files->nameFilters().constFirst());
            return int(QDialog::Accepted);
        }
        if (auto* preview = qobject_cast<CImportPreviewDlg*>(d)) {
            previews << preview->Summary() + QLatin1Char('|') + preview->Report();
            return int(acceptPreview ? QDialog::Accepted : QDialog::Rejected);
        }
        return int(QDialog::Rejected);
    });
    m_frame->Action(ID_FILE_EXPORT_CHANNELS)->trigger();
    QByteArray text = FileBytes(csv);
    QVERIFY(text.startsWith("CH,Rx Frequency,Tx Frequency,"));
    // A dealer's edit of the list: one name changed, one channel added, one line refused.
    text.replace("RPT-N", "NORTH");
    text.replace("\" 30\",,,,,,,,,", "30,145.5,145.5,None,None,Low,Lock,Yes,Narrow,NEW");
    text.replace("\" 31\",,,,,,,,,", "31,999,999,None,None,Low,Lock,Yes,Narrow,BAD");
    QFile out(csv);
    QVERIFY(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
    out.write(text);
    out.close();

    const Image before = Doc()->GetImage();
    const int steps = Steps();
    m_frame->Action(ID_FILE_IMPORT_CHANNELS)->trigger();  // previewed, then cancelled
    QCOMPARE(previews.size(), 1);
    QVERIFY2(
        previews[0].contains(QStringLiteral("1 channel added, 1 changed, 0 emptied (not in the file), 1 line refused")),
        qPrintable(previews[0]));
    QVERIFY2(previews[0].contains(QStringLiteral("refused: Rx Frequency \"999\" is out of range")),
             qPrintable(previews[0]));
    QCOMPARE(Steps(), steps);
    QCOMPARE(Grid().GetTextMatrix(2, kColName), QStringLiteral("RPT-N"));

    acceptPreview = true;
    m_frame->Action(ID_FILE_IMPORT_CHANNELS)->trigger();
    QCOMPARE(Grid().GetTextMatrix(2, kColName), QStringLiteral("NORTH"));
    QCOMPARE(Row(31), (QStringList{"145.50000", "145.50000", "None", "None", "Low", "Lock", "Yes", "Narrow", "NEW"}));
    QCOMPARE(Row(32), QStringList(9, QString()));
    QCOMPARE(Steps(), steps + 1);
    QCOMPARE(m_frame->Action(ID_EDIT_UNDO)->text(), QStringLiteral("&Undo Import Channels"));
    Key(Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(Doc()->GetImage(), before);
    QCOMPARE(Grid().GetTextMatrix(2, kColName), QStringLiteral("RPT-N"));
}

// File > Import Channels > Stock lists offers the shipped lists by title; one
// goes through the same preview as a file, with the list's own notes (its
// source and licence) and, for a receive-only list, no Tx frequency, said so;
// it is one undo step. A list for the other radio type is told at once and
// imports nothing.
void TestEditing::importFromStockListPreviewsThenApplies_data()
{
    QTest::addColumn<QByteArray>("language");
    QTest::newRow("English") << QByteArray("English");
    QTest::newRow("Chinese") << QByteArray("Chinese");
}
void TestEditing::importFromStockListPreviewsThenApplies()
{
    QFETCH(QByteArray, language);
    const bool zh = language == "Chinese";
    Start({}, language);
    QString title, summary, notes;
    bool accept = false;
    SetDialogHook([&](QDialog* d) {
        if (auto* preview = qobject_cast<CImportPreviewDlg*>(d)) {
            title = preview->windowTitle();
            summary = preview->Summary() + QLatin1Char('|') + preview->Report();
            notes = preview->Notes();
            return int(accept ? QDialog::Accepted : QDialog::Rejected);
        }
        return int(QDialog::Rejected);
    });
    auto* import = m_frame->findChild<QMenu*>(QStringLiteral("ImportChannelsMenu"));
    auto* stock = m_frame->findChild<QMenu*>(QStringLiteral("StockListsMenu"));
    QVERIFY(import && stock);
    QVERIFY(import->actions().contains(m_frame->Action(ID_FILE_IMPORT_CHANNELS)));
    QVERIFY(import->actions().contains(stock->menuAction()));
    Q_EMIT stock->aboutToShow();
    const QDir shipped(QCoreApplication::applicationDirPath() + QStringLiteral("/stock"));
    QCOMPARE(stock->actions().size(), int(shipped.entryList({QStringLiteral("*.csv")}, QDir::Files).size()));
    QAction* marine = nullptr;
    QAction* frs = nullptr;
    QStringList numbers;
    for (QAction* a : stock->actions()) {
        numbers << a->text().section(QLatin1Char(' '), 0, 0);
        const QString text = a->text().section(QLatin1Char(' '), 1);
        if (text.startsWith(zh ? QString::fromUtf8("海上甚高频") : QStringLiteral("Marine VHF")))
            marine = a;
        if (text.startsWith(QStringLiteral("FRS/GMRS")))
            frs = a;
    }
    QCOMPARE(numbers.mid(0, 3), (QStringList{"&1", "&2", "&3"}));  // letters for the keyboard
    QVERIFY(marine && marine->isEnabled() && frs);
    // The sample is a TR-5V: the UHF list says so in the menu, and when chosen.
    QVERIFY2(frs->text().endsWith(zh ? QString::fromUtf8("（不适用于本机型）")
                                     : QStringLiteral(" (not for this radio type)")),
             qPrintable(frs->text()));
    QVERIFY(!marine->text().contains(QStringLiteral("(")));
    const Image before = Doc()->GetImage();
    const int steps = Steps();
    frs->trigger();
    QVERIFY(title.isEmpty());
    QCOMPARE(m_messages.size(), 1);
    QVERIFY2(m_messages[0].text.contains(zh ? QString::fromUtf8("其中 22 个信道在 TR-5V 的频段")
                                            : QStringLiteral("does not fit this radio type: 22 of its 22 channels lie "
                                                             "outside the bands of the TR-5V")),
             qPrintable(m_messages[0].text));
    QVERIFY(m_messages[0].text.contains(QStringLiteral("TR-5U")));

    marine->trigger();  // previewed, then cancelled: nothing changes
    QCOMPARE(title, zh ? QString::fromUtf8("导入信道") : QStringLiteral("Import Channels"));
    if (!zh)
        QVERIFY2(summary.contains(QStringLiteral("Importing marine-vhf.csv replaces the channels on screen:\n43 "
                                                 "channels added, 13 changed, 1 emptied (not in the file), 0 lines "
                                                 "refused.")),
                 qPrintable(summary));
    QVERIFY2(
        summary.contains(zh ? QString::fromUtf8("所有信道都仅接收") : QStringLiteral("Every channel is receive only")),
        qPrintable(summary));
    QVERIFY2(notes.startsWith(zh ? QString::fromUtf8("海上甚高频国际频道，仅接收\nSource: ITU")
                                 : QStringLiteral("Marine VHF, international channels, receive only\nSource: ITU")),
             qPrintable(notes));
    QVERIFY2(notes.contains(QStringLiteral("\nLicence: transmitting needs a ship station licence")), qPrintable(notes));
    QCOMPARE(Doc()->GetImage(), before);
    QCOMPARE(Steps(), steps);
    accept = true;
    marine->trigger();
    const QString wide = zh ? QString::fromUtf8("宽") : QStringLiteral("Wide");
    QCOMPARE(Row(17).at(0), QStringLiteral("156.80000"));
    QCOMPARE(Row(2).mid(0, 2), (QStringList{"160.65000", ""}));
    QCOMPARE(Row(2).at(7), wide);
    for (int row = 1; row < kGridRows; ++row)
        if (!Grid().GetTextMatrix(row, kColRxFreq).isEmpty())
            QVERIFY2(Grid().GetTextMatrix(row, kColTxFreq).isEmpty(), qPrintable(QString::number(row)));
    QCOMPARE(Steps(), steps + 1);
    Key(Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(Doc()->GetImage(), before);
}

// Headings alone (a download cut short) and a list none of whose rows lies in
// the radio's bands are refused before any preview. A file that empties most
// of the 14 channels is previewed with a caution, Enter no longer imports it,
// and Import asks first, naming how many; No keeps the dialog open. While the
// preview changes with the choices the controls stay where they are, so the
// click meant for Merge lands on it.
void TestEditing::importThatWouldEmptyTheRadioWarnsOrIsRefused()
{
    Start();
    const QString csv = m_dir->Path() + QStringLiteral("/short.csv");
    QString summary;
    bool importIsDefault = true;
    QStringList moved;
    bool stillOpen = false;
    int previews = 0;
    SetDialogHook([&](QDialog* d) {
        if (auto* files = qobject_cast<QFileDialog*>(d)) {
            files->selectFile(csv);
            return int(QDialog::Accepted);
        }
        auto* preview = qobject_cast<CImportPreviewDlg*>(d);
        if (!preview)
            return int(QDialog::Rejected);
        ++previews;
        summary = preview->Summary();
        QPushButton* import = preview->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
        importIsDefault = import->isDefault();
        preview->show();
        if (!QTest::qWaitForWindowExposed(preview))
            return int(QDialog::Rejected);
        auto* merge = preview->findChild<QRadioButton*>(QStringLiteral("MergeChannels"));
        auto* renumber = preview->findChild<QCheckBox*>(QStringLiteral("RenumberCheck"));
        QList<QWidget*> controls{merge, renumber, import,
                                 preview->findChild<QRadioButton*>(QStringLiteral("ReplaceChannels"))};
        QList<QRect> places;
        for (QWidget* w : controls)
            places << QRect(w->mapTo(preview, QPoint()), w->size());
        auto click = [](QWidget* w) { QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(8, w->height() / 2)); };
        // Import asks first; No keeps the preview open and the channels as they are.
        m_answers << QMessageBox::No;
        click(import);
        stillOpen = preview->isVisible();
        // Renumbering adds its note to the report: nothing moves.
        click(renumber);
        click(renumber);
        for (int i = 0; i < controls.size(); ++i)
            if (QRect(controls[i]->mapTo(preview, QPoint()), controls[i]->size()) != places[i])
                moved << controls[i]->objectName();
        click(merge);
        const int result = merge->isChecked() ? (click(import), preview->result()) : int(QDialog::Rejected);
        preview->hide();
        return result;
    });
    const Image before = Doc()->GetImage();
    m_dir->WriteFile(QStringLiteral("short.csv"), "Location,Name,Frequency\r\n");
    m_frame->Action(ID_FILE_IMPORT_CHANNELS)->trigger();
    QCOMPARE(previews, 0);
    QCOMPARE(m_messages.size(), 1);
    QVERIFY2(m_messages[0].text.contains(QStringLiteral("the file holds the headings but no channel rows")),
             qPrintable(m_messages[0].text));

    // A 6 m list for this VHF and UHF radio: nothing fits, so nothing is previewed.
    m_messages.clear();
    m_dir->WriteFile(QStringLiteral("short.csv"), "Location,Name,Frequency\r\n0,SIX,50.5\r\n1,SIX2,51.0\r\n");
    m_frame->Action(ID_FILE_IMPORT_CHANNELS)->trigger();
    QCOMPARE(previews, 0);
    QCOMPARE(m_messages.size(), 1);
    QVERIFY2(m_messages[0].text.contains(QStringLiteral(
                 "cannot be imported: none of the 2 channels of the file lies in the radio's bands (VHF 130-180 MHz")),
             qPrintable(m_messages[0].text));
    QVERIFY(m_messages[0].text.endsWith(QStringLiteral("it does not fit this radio type. Nothing was imported.")));
    QCOMPARE(Doc()->GetImage(), before);

    m_messages.clear();
    const int steps = Steps();
    m_dir->WriteFile(QStringLiteral("short.csv"), "Location,Name,Frequency\r\n0,ONE,146.52\r\n");
    m_frame->Action(ID_FILE_IMPORT_CHANNELS)->trigger();
    QCOMPARE(previews, 1);
    QVERIFY2(summary.contains(QStringLiteral("Caution: this empties 13 of the 14 channels in use.")),
             qPrintable(summary));
    QVERIFY(!importIsDefault);
    QCOMPARE(m_messages.size(), 1);
    QVERIFY2(m_messages[0].text.startsWith(QStringLiteral(
                 "Replacing the channels with those of short.csv empties 13 of the 14 channels in use (the file gives "
                 "1).")),
             qPrintable(m_messages[0].text));
    QCOMPARE(m_messages[0].defaultButton, QMessageBox::No);
    QVERIFY(stillOpen);
    QVERIFY2(moved.isEmpty(), qPrintable(moved.join(QLatin1Char(' '))));
    // Merged: the one channel written, the other thirteen kept.
    QCOMPARE(Row(1).mid(0, 1), QStringList{"146.52000"});
    QCOMPARE(Row(2).at(8), QStringLiteral("RPT-N"));
    QCOMPARE(Steps(), steps + 1);
}

void TestEditing::fillFindAndRecentFiles()
{
    Start();
    // Fill down the first row of the selection, then step it by 12.5 kHz.
    Click(20, kColRxFreq);
    Type(QStringLiteral("146.5"));
    Key(Qt::Key_Return);
    ClickLabel(20);
    ClickLabel(23, Qt::ShiftModifier);
    Key(Qt::Key_D, Qt::ControlModifier);
    QCOMPARE(Rows(21, 23), QList<QStringList>(3, Row(20)));
    QMenu* menu = ContextMenuAt(21, kColRxFreq);
    QVERIFY(menu);
    QTest::keyClick(menu, Qt::Key_S);
    QMenu* series = menu->findChild<QMenu*>(QStringLiteral("FillSeriesMenu"));
    QVERIFY(series && series->isVisible());
    QTest::keyClick(series, Qt::Key_1);
    const QStringList rx{"146.50000", "146.51250", "146.52500", "146.53750"};
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(Grid().GetTextMatrix(20 + i, kColRxFreq), rx[i]);
        QCOMPARE(Grid().GetTextMatrix(20 + i, kColTxFreq), rx[i]);
    }
    QCOMPARE(m_frame->Action(ID_EDIT_UNDO)->text(), QStringLiteral("&Undo Fill Series"));

    // Find by name, then the next frequency that begins alike with F3.
    SetDialogHook([](QDialog* d) {
        auto* text = d->findChild<QLineEdit*>(QStringLiteral("FindText"));
        if (!text)
            return int(QDialog::Rejected);
        text->setText(QStringLiteral("simplx"));
        return int(QDialog::Accepted);
    });
    Key(Qt::Key_F, Qt::ControlModifier);
    QCOMPARE(Grid().GetRow(), 5L);
    QCOMPARE(Grid().GetCol(), long(kColName));
    SetDialogHook([](QDialog* d) {
        d->findChild<QLineEdit*>(QStringLiteral("FindText"))->setText(QStringLiteral("146.5"));
        return int(QDialog::Accepted);
    });
    Key(Qt::Key_F, Qt::ControlModifier);
    QCOMPARE(Grid().GetRow(), 20L);
    Key(Qt::Key_F3);
    QCOMPARE(Grid().GetRow(), 21L);

    // The file opened at start is the first recent file; the menu opens it again.
    QCOMPARE(m_frame->RecentFiles().value(0), QFileInfo(m_path).absoluteFilePath());
    QCOMPARE(m_store.m_strings.at("TanagerTest\\Recent1"), QFileInfo(m_path).absoluteFilePath().toStdString());
    m_frame->RecentMenu()->popup(QPoint(0, 0));
    QCOMPARE(m_frame->RecentMenu()->actions().value(0)->text(),
             QStringLiteral("&1 ") + QFileInfo(m_path).absoluteFilePath());
    CProgramDoc* filled = Doc();
    QTest::keyClick(m_frame->RecentMenu(), Qt::Key_1);
    // Open already: its window, fills and all, asking nothing.
    QVERIFY(m_messages.isEmpty());
    QCOMPARE(Doc(), filled);
    QCOMPARE(m_frame->ChildFrames().size(), 1);
    QVERIFY(Doc()->IsModified());
}

void TestEditing::documentWindowShowsEveryColumnAndKeepsTheFocusInTheGrid()
{
    Start();
    m_frame->resize(1400, 900);
    CChildFrame* child = m_frame->ActiveChildFrame();
    QTRY_VERIFY(!child->isMaximized());
    // Every column the user can see fits, within the area.
    const QRect name = Grid().CellRect(1, kColName);
    QVERIFY2(name.right() < Grid().viewport()->width(), qPrintable(QString::number(name.right())));
    QVERIFY(m_frame->MdiClient()->viewport()->rect().contains(child->geometry()));

    // The tone list drops down sixteen items at a time and scrolls.
    Click(2, kColRxTone);
    Key(Qt::Key_F4);
    auto* tones = qobject_cast<QComboBox*>(View()->OpenEditor());
    QVERIFY(tones && tones->view()->isVisible());
    QVERIFY(tones->view()->height() <= 17 * tones->view()->sizeHintForRow(0));
    QVERIFY(tones->view()->verticalScrollBar()->maximum() > 0);
    Key(Qt::Key_Escape);
    QTRY_VERIFY(!tones->view()->isVisible());
    QApplication::setActiveWindow(m_frame);

    // Shown again, the window gives the keys to the grid, not to a band box.
    const std::function<void()> showAgain[] = {
        [&] {
            QTest::keyClick(Focus(), Qt::Key_F4, Qt::ControlModifier);
            QVERIFY(child->isHidden());
            m_frame->Action(ID_CHANNEL_INFORMATION)->trigger();
        },
        [&] { child->showMaximized(); },
        [&] { child->showNormal(); },
    };
    for (const auto& show : showAgain) {
        QTest::mouseClick(View()->BandEdit(IDC_VHF_LOW), Qt::LeftButton);
        QCOMPARE(m_frame->focusWidget(), View()->BandEdit(IDC_VHF_LOW));
        show();
        QTRY_COMPARE(m_frame->focusWidget(), static_cast<QWidget*>(&Grid()));
    }
}

// Help > Save Support Report...: the preview before anything is saved, the
// document only when ticked, and a save that fails keeps the dialog open.
// Opening the report, ticking the document in and out, is no edit: text still
// being typed in a cell stays there, uncommitted, and nothing is marked modified.
void TestEditing::supportReportLeavesTextBeingTypedAlone()
{
    const QByteArray oldData = qgetenv("XDG_DATA_HOME");
    Start();
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_dir->FilePath(QStringLiteral("data"))));
    Click(3, kColRxFreq);
    Type(QStringLiteral("999"));
    QString report;
    SetDialogHook([&](QDialog* d) {
        auto* include = d->findChild<QCheckBox*>(QStringLiteral("IncludeDocument"));
        include->setFocus();
        QTest::keyClick(include, Qt::Key_Space);
        report = d->findChild<QPlainTextEdit*>(QStringLiteral("Preview"))->toPlainText();
        QTest::keyClick(include, Qt::Key_Space);
        return int(QDialog::Rejected);
    });
    m_frame->Action(ID_SUPPORT_REPORT)->trigger();
    qputenv("XDG_DATA_HOME", oldData);
    QVERIFY(report.contains(QStringLiteral("RPT-N")));
    QVERIFY(m_messages.isEmpty());
    QVERIFY(!Doc()->IsModified());
    QVERIFY(!m_frame->Action(ID_EDIT_UNDO)->isEnabled());
    auto* editor = qobject_cast<QLineEdit*>(View()->OpenEditor());
    QVERIFY(editor && editor->text() == QStringLiteral("999"));
}

void TestEditing::supportReportShowsTheDocumentOnlyWhenTicked()
{
    const QByteArray oldData = qgetenv("XDG_DATA_HOME");
    Start();
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_dir->FilePath(QStringLiteral("data"))));
    QAction* command = nullptr;
    for (QAction* menu : m_frame->menuBar()->actions())
        if (menu->menu() && menu->menu()->objectName() == QLatin1String("HelpMenu"))
            for (QAction* a : menu->menu()->actions())
                if (a->text() == QLatin1String("Save Support &Report..."))
                    command = a;
    QVERIFY(command && command->isEnabled());

    const QString saved = m_dir->FilePath(QStringLiteral("report.txt"));
    const QByteArray document = FileBytes(m_path);
    const QString ini = m_dir->FilePath(QStringLiteral("Program.ini"));
    const QByteArray settings = FileBytes(ini);
    QStringList targets{m_dir->FilePath(QStringLiteral("missing/report.txt")), m_path, ini, saved}, offered;
    QString before, after, afterFailure, helpPage;
    bool includeEnabled = false;
    SetHelpDirectory(QStringLiteral(PROG_BIN_DIR));
    SetHelpHook([&](int, const QUrl& topic) { helpPage = topic.fileName(); });
    SetDialogHook([&](QDialog* d) {
        if (auto* files = qobject_cast<QFileDialog*>(d)) {
            offered << QFileInfo(files->selectedFiles().value(0)).fileName();
            files->selectFile(targets.takeFirst());
            return int(QDialog::Accepted);
        }
        auto* include = d->findChild<QCheckBox*>(QStringLiteral("IncludeDocument"));
        auto* preview = d->findChild<QPlainTextEdit*>(QStringLiteral("Preview"));
        auto* save = d->findChild<QPushButton*>(QStringLiteral("Save"));
        before = preview->toPlainText();
        includeEnabled = include->isEnabled();
        QTest::keyClick(preview, Qt::Key_F1);
        include->setFocus();
        QTest::keyClick(include, Qt::Key_Space);
        after = preview->toPlainText();
        QTest::mouseClick(save, Qt::LeftButton);  // into a folder that does not exist
        afterFailure = d->isVisible() || d->result() != QDialog::Accepted ? preview->toPlainText() : QString();
        QTest::mouseClick(save, Qt::LeftButton);  // over the open document
        QTest::mouseClick(save, Qt::LeftButton);  // over the settings it quotes
        QTest::mouseClick(save, Qt::LeftButton);
        return d->result();
    });
    command->trigger();
    qputenv("XDG_DATA_HOME", oldData);
    SetHelpHook(nullptr);
    ResetHelpState();
    QCOMPARE(helpPage, QStringLiteral("support.html"));

    QVERIFY2(before.contains(QStringLiteral("Program: Program " PROG_VERSION)), qPrintable(before));
    QVERIFY(!before.contains(QStringLiteral("RPT-N")));
    QVERIFY(includeEnabled);
    QVERIFY(after.contains(QStringLiteral("RPT-N")));
    QCOMPARE(afterFailure, after);
    QCOMPARE(m_messages.size(), 3);
    QVERIFY(m_messages[0].text.contains(QStringLiteral("missing/report.txt")));
    QVERIFY2(m_messages[1].text.contains(QStringLiteral("is an open document")), qPrintable(m_messages[1].text));
    QVERIFY2(m_messages[2].text.contains(QStringLiteral("Program.ini is a file the support report quotes")),
             qPrintable(m_messages[2].text));
    QCOMPARE(FileBytes(m_path), document);
    QCOMPARE(FileBytes(ini), settings);
    QCOMPARE(offered.size(), 4);
    QVERIFY2(QRegularExpression(QStringLiteral("^support-report-\\d{8}-\\d{6}\\.txt$")).match(offered[0]).hasMatch(),
             qPrintable(offered[0]));
    QFile file(saved);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(file.readAll()), after);
}

QTEST_MAIN(TestEditing)
#include "tst_editing.moc"
