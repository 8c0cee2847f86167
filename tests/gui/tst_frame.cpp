// The main frame's pieces: the navigation bar's mouse handling and tree, the
// Control Bar command, the tiled background, and the help layer.
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QCursor>
#include <QDir>
#include <QImage>
#include <QInputMethodEvent>
#include <QMenu>
#include <QMenuBar>
#include <QFile>
#include <QTemporaryDir>
#include <QPrinter>
#include <QPrintDialog>
#include <QFileInfo>
#ifndef _WIN32
#include <sys/stat.h>  // mkfifo
#endif
#include <QFileDialog>
#include <QMdiArea>
#include <QTextLayout>
#include <QStyle>
#include <QMessageBox>
#include <QPainter>
#include <QPointer>
#include <QScrollBar>
#include <QTabWidget>
#include <QTextBrowser>
#include <QToolBar>
#include <QRegularExpression>
#include <QLineEdit>
#include <QTreeWidget>
#include <QtTest>
#include <functional>

#include "gui/app/AppContext.h"
#include "gui/app/CommandIds.h"
#include "core/app/Globals.h"
#include "gui/ProgramApp.h"
#include "gui/frame/ChildFrame.h"
#include "gui/app/HelpAccess.h"
#include "gui/app/MessageBox.h"
#include "gui/link/LinkController.h"
#include "gui/link/LinkSession.h"
#include "gui/link/LinkSettings.h"
#include "gui/app/AppPrinter.h"
#include "gui/frame/MDIClientWnd.h"
#include "gui/frame/MainFrame.h"
#include "gui/frame/NavigationBar.h"
#include "gui/options/OptionFeaturesDlg.h"
#include "core/radio/ChannelCodec.h"
#include "core/radio/OptionFields.h"
#include "gui/editor/ProgramView.h"
#include "gui/editor/MSFlexGrid.h"
#include "gui/radio/ProductInfoDlg.h"
#include "gui/radio/ProgramDoc.h"
#include "tests/gui/support/ProgramFixture.h"

namespace {
void Press(QWidget* w, QPoint p) { QTest::mousePress(w, Qt::LeftButton, Qt::NoModifier, p); }
void Release(QWidget* w, QPoint p) { QTest::mouseRelease(w, Qt::LeftButton, Qt::NoModifier, p); }
// A move with the left button held, as the bar sees it while it has the implicit grab.
void DragMove(QWidget* w, QPoint p)
{
    QMouseEvent e(QEvent::MouseMove, p, w->mapToGlobal(p), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}
void HoverMove(QWidget* w, QPoint p)
{
    QMouseEvent e(QEvent::MouseMove, p, w->mapToGlobal(p), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}
// Clicks a tree entry with the pointer over it (the selection handler hit-tests the pointer).
void ClickItem(QTreeWidget* tree, QTreeWidgetItem* item)
{
    const QPoint p = tree->visualItemRect(item).center();
    QCursor::setPos(tree->viewport()->mapToGlobal(p));
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, Qt::NoModifier, p);
    QCoreApplication::processEvents();
}

// Every context a window asks for, with the dialog it asks from (0: a command or the grid).
const struct {
    int context;
    int dialog;
} kContexts[] = {
    {57600, 0},
    {57601, 0},
    {57603, 0},
    {57606, 0},
    {57607, 0},
    {57608, 0},
    {57609, 0},
    {57664, 0},
    {32773, 0},
    {32774, 0},
    {32777, 0},
    {32812, 0},
    {32780, 0},
    {32786, 0},
    {32787, 0},
    {32788, 0},
    {32799, 0},
    {2127, 0},
    {2128, 0},
    {2132, 0},
    {2133, 0},
    {1129, 0},
    {1127, 0},
    {1126, 0},
    {1134, 0},
    {1135, 0},
    {1003, 0},
    {1004, 0},
    {1005, 0},
    {1006, 0},
    {1013, 0},
    {1014, 0},
    {1000, 0},
    {131, 0},
    {1116, 132},
    {1117, 132},
    {1118, 132},
    {1119, 132},
    {1120, 132},
    {1121, 132},
    {1122, 132},
    {1123, 132},
    {1124, 132},
    {1125, 132},
    {1126, 132},
    {1127, 132},
    {1128, 132},
    {1129, 132},
    {1130, 132},
    {1131, 132},
    {1132, 132},
    {1002, 132},
    {1016, 132},
    // Editing many channels.
    {57643, 0},
    {57644, 0},
    {57635, 0},
    {57634, 0},
    {32900, 0},
    {57637, 0},
    {57632, 0},
    {57642, 0},
    {57636, 0},
    {57640, 0},
    {32901, 0},
    {32902, 0},
    {32903, 0},
    {32904, 0},
    {32905, 0},
    {32906, 0},
    {32907, 0},
    {32908, 0},
    {32909, 0},
    {32910, 0},
    {32911, 0},
    {32912, 0},
    {32913, 0},
    {32914, 0},
    {57616, 0},
    {57623, 0},
};

// The list of the help window's Search tab.
QTextBrowser* SearchResults(QWidget* help)
{
    auto* tabs = help->findChild<QTabWidget*>(QStringLiteral("HelpTabs"));
    return tabs && tabs->count() > 1 ? tabs->widget(1)->findChild<QTextBrowser*>() : nullptr;
}

// The heading of the section a topic points at, read from the built help.
class TopicReader {
public:
    explicit TopicReader(const QString& stem) : m_dir(QStringLiteral(PROG_BIN_DIR "/%1").arg(stem)) {}
    QString Heading(const QUrl& topic) const
    {
        const QString page = Read(topic.fileName());
        const QRegularExpression h(
            QStringLiteral("<h2 id=\"%1\">(?:<a [^>]*></a>)?([^<]*)</h2>").arg(topic.fragment()));
        return h.match(page).captured(1);
    }
    QStringList Pages()
    {
        QStringList pages;
        for (const QString& name : m_dir.entryList({QStringLiteral("*.html")}, QDir::Files))
            pages << Read(name);
        return pages;
    }

private:
    QString Read(const QString& name) const
    {
        QFile f(m_dir.filePath(name));
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }
    QDir m_dir;
};
}  // namespace

class TestFrame : public ProgramFixture {
    Q_OBJECT

private:
    void StartApp(const QByteArray& language = "English")
    {
        ShellIni ini;
        ini.language = language;
        QVERIFY(NewProgramDir(ini));
        QVERIFY(StartProgram());
        QVERIFY(ShowFrame({1000, 600}));
    }

private slots:
    void dragClampsLineAndWidth()
    {
        StartApp();
        CNavigationBar* bar = m_frame->NavigationBar();
        QCOMPARE(bar->BarWidth(), 220);
        QCOMPARE(bar->width(), 220);
        const QRect strip = bar->SplitterRect();
        QVERIFY(!strip.isEmpty());
        QVERIFY(strip.left() >= 200 && strip.right() < 220);
        const int half = m_frame->width() / 2;
        const int y = strip.center().y();

        // Released at 50: the line stopped at 80, the width is 50.
        Press(bar, strip.center());
        QVERIFY(bar->IsDragging());
        DragMove(bar, QPoint(50, y));
        QCOMPARE(bar->TrackingX(), 80);
        Release(bar, QPoint(50, y));
        QCOMPARE(bar->TrackingX(), -1);
        QVERIFY(!bar->IsDragging());
        QCOMPARE(bar->BarWidth(), 50);
        QCOMPARE(bar->width(), 50);

        // Released at 5: 11 pixels remain.
        Press(bar, bar->SplitterRect().center());
        DragMove(bar, QPoint(5, y));
        QCOMPARE(bar->TrackingX(), 80);
        Release(bar, QPoint(5, y));
        QCOMPARE(bar->BarWidth(), 11);

        // Grow it back, then beyond half the frame: exactly half.
        bar->SetBarWidth(220);
        Press(bar, bar->SplitterRect().center());
        DragMove(bar, QPoint(half + 150, y));
        QCOMPARE(bar->TrackingX(), half);
        Release(bar, QPoint(half + 150, y));
        QCOMPARE(bar->BarWidth(), half);

        // The splitter cursor shows over the strip only.
        HoverMove(bar, bar->SplitterRect().center());
        QCOMPARE(bar->cursor().shape(), Qt::SplitHCursor);
        HoverMove(bar, QPoint(100, y));
        QCOMPARE(bar->cursor().shape(), Qt::ArrowCursor);

        // A press away from the strip never drags.
        bar->SetBarWidth(220);
        Press(bar, QPoint(100, y));
        QVERIFY(!bar->IsDragging());
        Release(bar, QPoint(300, y));
        QCOMPARE(bar->BarWidth(), 220);
        QVERIFY(bar->isVisible());
    }

    void closeButtonHidesOnlyWhenReleasedOverIt()
    {
        StartApp();
        CNavigationBar* bar = m_frame->NavigationBar();
        const QRect close = bar->CloseRect();
        QVERIFY(!close.isEmpty());
        QCOMPARE(close.size(), QSize(16, 15));

        HoverMove(bar, close.center());
        QVERIFY(bar->IsCloseHot());
        QVERIFY(!bar->IsClosePressed());
        Press(bar, close.center());
        QVERIFY(bar->IsClosePressed());
        QVERIFY(!bar->IsCloseHot());
        DragMove(bar, QPoint(60, 200));
        QVERIFY(!bar->IsClosePressed());
        Release(bar, QPoint(60, 200));
        QVERIFY(bar->isVisible());
        QVERIFY(m_frame->Action(ID_CONTROL_BAR)->isChecked());

        // Released over the button: hidden, wherever the press began.
        Press(bar, QPoint(60, 200));
        DragMove(bar, close.center());
        QVERIFY(bar->IsClosePressed());
        Release(bar, close.center());
        QVERIFY(bar->isHidden());
        QVERIFY(!m_frame->Action(ID_CONTROL_BAR)->isChecked());
    }

    void controlBarTogglesWithCheckMark()
    {
        StartApp();
        CNavigationBar* bar = m_frame->NavigationBar();
        QAction* a = m_frame->Action(ID_CONTROL_BAR);
        QVERIFY(a->isCheckable());
        QVERIFY(a->isChecked());
        QVERIFY(m_frame->Menu("ViewMenu")->actions().contains(a));
        a->trigger();
        QVERIFY(bar->isHidden());
        QVERIFY(!a->isChecked());
        a->trigger();
        QVERIFY(bar->isVisible());
        QVERIFY(a->isChecked());
        // The MDI area takes the room the bar leaves.
        const int withBar = m_frame->MdiClient()->width();
        a->trigger();
        QTRY_VERIFY(m_frame->MdiClient()->width() > withBar);
    }

    void treeEntriesActAndRootIsReselected()
    {
        StartApp();
        QTreeWidget* tree = m_frame->NavigationBar()->Tree();
        QTreeWidgetItem* root = m_frame->TreeRoot();
        QCOMPARE(tree->currentItem(), root);
        CChildFrame* child = m_frame->ActiveChildFrame();

        m_frame->Action(ID_FILE_CLOSE)->trigger();
        QVERIFY(child->isHidden());
        ClickItem(tree, root->child(0));
        QVERIFY(child->isVisible());
        QCOMPARE(tree->currentItem(), root);
        QVERIFY(tree->selectedItems() == QList<QTreeWidgetItem*>{root});

        // The same entry again repeats the action.
        child->close();
        QVERIFY(child->isHidden());
        ClickItem(tree, root->child(0));
        QVERIFY(child->isVisible());
        QCOMPARE(tree->currentItem(), root);

        // The entry under the pointer counts, not the item being selected.
        child->close();
        QCursor::setPos(tree->viewport()->mapToGlobal(QPoint(5, tree->viewport()->height() - 2)));
        tree->setCurrentItem(root->child(0));
        QVERIFY(child->isHidden());
        QCOMPARE(tree->currentItem(), root);

        // Optional Features and Product Information open their dialogs on the
        // window shown, none while it is closed; Product Information's OK
        // stores the choice in its document.
        DialogRecorder dialogs;
        ClickItem(tree, root->child(1));
        QVERIFY(dialogs.names.isEmpty());
        ClickItem(tree, root->child(0));
        QVERIFY(child->isVisible());
        ClickItem(tree, root->child(1));
        QCOMPARE(dialogs.names.size(), 1);
        dialogs.handler = [](QDialog* d) {
            auto* dlg = qobject_cast<CProductInfoDlg*>(d);
            if (!dlg)
                return int(QDialog::Rejected);
            dlg->m_cbType->setCurrentIndex(1);
            dlg->OnSelChangeType();
            dlg->m_cbFrequency->setCurrentIndex(1);
            dlg->OnOK();
            return dlg->result();
        };
        ClickItem(tree, root->child(2));
        QCOMPARE(dialogs.names.size(), 2);
        QCOMPARE(m_frame->ActiveDocument()->GetImage()[mem::kRadioType], 1);
        QCOMPARE(m_frame->ActiveDocument()->GetImage()[mem::kBandIndex], 1);
        QCOMPARE(tree->currentItem(), root);
    }

    // Alt and a letter reach one item only, in every menu and in the menu bar
    // with and without a document, in both languages.
    void menuMnemonicsAreUnique_data()
    {
        QTest::addColumn<QByteArray>("language");
        QTest::newRow("English") << QByteArray("English");
        QTest::newRow("Chinese") << QByteArray("Chinese");
    }

    void menuMnemonicsAreUnique()
    {
        QFETCH(QByteArray, language);
        StartApp(language);
        QStringList twice;
        auto check = [&twice](const QString& where, const QList<QAction*>& actions) {
            QMap<QKeySequence, QString> seen;
            for (QAction* a : actions) {
                const QKeySequence key = QKeySequence::mnemonic(a->text());
                if (key.isEmpty())
                    continue;
                if (seen.contains(key))
                    twice << QStringLiteral("%1: %2 / %3").arg(where, seen[key], a->text());
                seen.insert(key, a->text());
            }
        };
        const QList<QMenu*> menus = m_frame->findChildren<QMenu*>();
        QVERIFY(menus.contains(m_frame->GridMenu()));
        for (QMenu* m : menus)
            check(m->title().isEmpty() ? m->objectName() : m->title(), m->actions());
        check(QStringLiteral("menu bar"), m_frame->menuBar()->actions());
        m_frame->DestroyChildFrame(m_frame->ActiveChildFrame());
        QCOMPARE(m_frame->CurrentMenus().size(), 3);
        check(QStringLiteral("menu bar without a document"), m_frame->menuBar()->actions());
        QVERIFY2(twice.isEmpty(), qPrintable(twice.join(QLatin1Char('\n'))));
    }

    // A message box keeps its caption whole beside a title bar's icon and
    // buttons (bold, as window managers draw it), Save, Discard and Cancel
    // have letters of their own, and names in its text and detail are no markup.
    void messageBoxCaptionAndButtons_data() { menuMnemonicsAreUnique_data(); }

    void messageBoxCaptionAndButtons()
    {
        QFETCH(QByteArray, language);
        StartApp(language);
        MessageRequest r;
        r.parent = m_frame;
        r.text = QStringLiteral("Cleared!");
        const std::unique_ptr<QMessageBox> box(CreateMessageBox(r));
        box->show();
        QVERIFY(QTest::qWaitForWindowExposed(box.get()));
        QCOMPARE(box->windowTitle(), IniString(g_strLanguage, "Company"));
        QFont bold = QApplication::font("QMdiSubWindowTitleBar");
        bold.setBold(true);
        const int room = QFontMetrics(bold).horizontalAdvance(box->windowTitle()) +
                         4 * box->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, box.get());
        QVERIFY2(box->width() >= room, qPrintable(QStringLiteral("%1 < %2").arg(box->width()).arg(room)));

        // A path in the text breaks at none of its "/": each line of the label holds it whole or not at all.
        r.text = QStringLiteral(
            "The document could not be opened: /home/somebody/radios/club/a-long-name.dat "
            "is not there. Check the folder and the name, then open it again.");
        const std::unique_ptr<QMessageBox> paths(CreateMessageBox(r));
        paths->show();
        QVERIFY(QTest::qWaitForWindowExposed(paths.get()));
        auto* label = paths->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
        QVERIFY(label);
        QTextLayout layout(label->text(), label->font());
        layout.beginLayout();
        QStringList lines;
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(label->contentsRect().width());
            lines << label->text().mid(line.textStart(), line.textLength()).remove(QChar(0x2060));
        }
        layout.endLayout();
        QVERIFY2(lines.size() > 1, qPrintable(lines.join(QLatin1Char('|'))));
        QVERIFY2(std::any_of(lines.begin(), lines.end(),
                             [](const QString& l) {
                                 return l.contains(QLatin1String("/home/somebody/radios/club/a-long-name.dat"));
                             }),
                 qPrintable(lines.join(QLatin1Char('|'))));
        paths->hide();

        // A dialog narrower than its title is widened to it.
        int titleRoom = 0, width = 0;
        SetDialogHook([&](QDialog* d) {
            d->show();
            if (QTest::qWaitForWindowExposed(d)) {
                width = d->width();
                titleRoom = QFontMetrics(bold).horizontalAdvance(d->windowTitle()) +
                            4 * d->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, d);
            }
            return int(QDialog::Rejected);
        });
        // A list column: the narrowest form of the dialog.
        CMSFlexGrid& grid = m_frame->ActiveView()->Grid();
        grid.SetRow(2);
        grid.SetCol(kColScanAdd);
        grid.SelectCurrentCell();
        m_frame->Action(ID_EDIT_SET_CELLS)->trigger();
        SetDialogHook({});
        QVERIFY(titleRoom > 0);
        QVERIFY2(width >= titleRoom, qPrintable(QStringLiteral("%1 < %2").arg(width).arg(titleRoom)));

        r.buttons = QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel;
        r.text = QStringLiteral("Save changes to <i>a&amp;b</i>.dat?");
        r.detail = QStringLiteral("<u>/tmp/a&amp;b</u>.dat");
        QCOMPARE(RenderedMessage(r), r.text + QLatin1Char('\n') + r.detail);
        const std::unique_ptr<QMessageBox> save(CreateMessageBox(r));
        QSet<QKeySequence> letters;
        for (auto b : {QMessageBox::Save, QMessageBox::Discard, QMessageBox::Cancel})
            letters << QKeySequence::mnemonic(save->button(b)->text());
        letters.remove(QKeySequence());
        QCOMPARE(letters.size(), 3);
    }

    // Windows that reads open step down and right from each other at their
    // own size, none covering another exactly.
    void newWindowsCascade()
    {
        StartApp();
        m_frame->resize(1600, 1100);
        QCoreApplication::processEvents();
        CChildFrame* first = m_frame->ActiveChildFrame();
        QVERIFY(!first->isMaximized());
        for (const char* port : {"COM1", "COM2", "COM3"})
            emit m_frame->ActiveLink()->Session()->RadioRead(NewDocumentImage(), QLatin1String(port));
        QList<QPoint> corners;
        for (CChildFrame* f : m_frame->ChildFrames()) {
            QCOMPARE(f->size(), first->size());
            corners << f->pos();
        }
        QCOMPARE(corners.size(), 4);
        const int step = corners[1].x() - corners[0].x();
        QVERIFY(step > 0);
        for (int i = 0; i < corners.size(); ++i)
            QCOMPARE(corners[i], QPoint(i * step, i * step));
    }

    // Window arranges the document windows and lists them, numbered, the one
    // in front checked; windows of one title are told apart in their titles,
    // and Save As proposes a name for a document that has none yet.
    void windowMenuListsAndArrangesTheWindows()
    {
        StartApp();
        m_frame->resize(1600, 1100);
        QCoreApplication::processEvents();
        QVERIFY(m_frame->NewDocument());
        for (const char* port : {"COM1", "COM1"})
            emit m_frame->ActiveLink()->Session()->RadioRead(NewDocumentImage(), QLatin1String(port));
        QStringList titles;
        for (CChildFrame* f : m_frame->ChildFrames())
            titles << f->windowTitle();
        const QString radio = QStringLiteral("Test Tool - radio on COM1");
        QCOMPARE(titles, (QStringList{"Channel Information", "Channel Information (2)", radio, radio + " (2)"}));
        // The titles that the Help item rewrite and the menus address stay where they were.
        QStringList menus;
        for (QMenu* m : m_frame->CurrentMenus())
            menus << m->title();
        QCOMPARE(menus, (QStringList{"&File", "&Edit", "&Program", "&View", "&Setup", "&Window", "&Help"}));
        QCOMPARE(m_frame->CurrentMenus().constLast()->actions().value(0), m_frame->Action(ID_APP_ABOUT));
        QMenu* window = m_frame->Menu(QStringLiteral("WindowMenu"));
        QVERIFY(window);
        m_frame->ChildFrames().at(1)->close();  // hidden, and listed so
        Q_EMIT window->aboutToShow();
        QStringList items;
        QAction* second = nullptr;
        for (QAction* a : window->actions())
            if (!a->isSeparator()) {
                items << a->text() + (a->isChecked() ? QStringLiteral(" *") : QString());
                if (a->text().startsWith(QLatin1String("&2 ")))
                    second = a;
            }
        QCOMPARE(items, (QStringList{"&Cascade", "&Tile", "Next Window", "Previous Window", "&1 Channel Information",
                                     "&2 Channel Information (2) (closed)", "&3 " + radio, "&4 " + radio + " (2) *"}));
        second->trigger();
        QCOMPARE(m_frame->FrontChildFrame(), m_frame->ChildFrames().at(1));
        // Tile: side by side, none over another; Cascade: stepped down and right.
        m_frame->Action(ID_WINDOW_TILE)->trigger();
        QList<QRect> tiles;
        for (CChildFrame* f : m_frame->ChildFrames())
            tiles << f->geometry();
        for (int i = 0; i < tiles.size(); ++i)
            for (int j = i + 1; j < tiles.size(); ++j)
                QVERIFY(!tiles[i].intersects(tiles[j]));
        m_frame->Action(ID_WINDOW_CASCADE)->trigger();
        QList<QPoint> corners;
        for (CChildFrame* f : m_frame->ChildFrames())
            corners << f->pos();
        std::sort(corners.begin(), corners.end(), [](QPoint a, QPoint b) { return a.x() < b.x(); });
        for (int i = 1; i < corners.size(); ++i)
            QVERIFY(corners[i].x() > corners[i - 1].x() && corners[i].y() > corners[i - 1].y());

        // Save As of the radio's document proposes its title as the file name.
        QString proposed;
        SetDialogHook([&](QDialog* d) {
            if (auto* files = qobject_cast<QFileDialog*>(d))
                proposed = files->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->text();
            return int(QDialog::Rejected);
        });
        m_frame->ActiveDocument()->SetRadioImage(
            NewDocumentImage(), QStringLiteral("Test Tool - backup of /dev/ttyUSB0, 2026-05-01 12:00"));
        QVERIFY(!m_frame->OnFileSaveAs());
        QCOMPARE(proposed, QStringLiteral("Test Tool - backup of -dev-ttyUSB0, 2026-05-01 12-00.dat"));
    }

    // Each file dialog opens, in the next run too, in the folder where a file
    // of its kind was last chosen.
    void dialogsStartInTheFolderLastUsed_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("name");
        QTest::newRow("Open") << int(ID_FILE_OPEN) << QStringLiteral("a.dat");
        QTest::newRow("Save As") << int(ID_FILE_SAVE_AS) << QStringLiteral("b.dat");
        QTest::newRow("Import") << int(ID_FILE_IMPORT_CHANNELS) << QStringLiteral("c.csv");
        QTest::newRow("Export") << int(ID_FILE_EXPORT_CHANNELS) << QStringLiteral("d.csv");
        QTest::newRow("Log Serial Traffic") << int(ID_LOG_SERIAL) << QStringLiteral("e.trace");
        QTest::newRow("Print to PDF") << int(ID_FILE_PRINT) << QStringLiteral("f.pdf");
    }

    void dialogsStartInTheFolderLastUsed()
    {
        QFETCH(int, id);
        QFETCH(QString, name);
        QTemporaryDir folder;
        QFile dat(folder.filePath(QStringLiteral("a.dat")));
        QVERIFY(dat.open(QIODevice::WriteOnly) && dat.write(QByteArray(8192, '\xFF')) == 8192);
        dat.close();
        QFile csv(folder.filePath(QStringLiteral("c.csv")));
        QVERIFY(csv.open(QIODevice::WriteOnly) && csv.write("Pr,145.125\n") > 0);
        csv.close();
        QString seen;
        DialogRecorder dialogs;
        dialogs.handler = [&](QDialog* d) {
            if (auto* files = qobject_cast<QFileDialog*>(d)) {
                seen = files->directory().absolutePath();
                files->selectFile(folder.filePath(name));
                return int(QDialog::Accepted);
            }
            if (auto* print = qobject_cast<QPrintDialog*>(d)) {
                const auto* file = print->findChild<QLineEdit*>(QStringLiteral("filename"));
                seen = file ? QFileInfo(file->text()).absolutePath() : QStringLiteral("no file box");
                print->printer()->setOutputFormat(QPrinter::PdfFormat);
                print->printer()->setOutputFileName(folder.filePath(name));
                return int(QDialog::Accepted);
            }
            return int(QDialog::Rejected);
        };
        MessageRecorder messages;
        for (int run = 0; run < 2; ++run) {
            if (run) {  // the next run of the program, whose dialogs know no folder of their own
                m_app.reset();
                SetTracePath(QString(), nullptr);
                AppPrinter().setOutputFileName(QString());
                QFileDialog().setDirectory(QDir::currentPath());
            }
            StartApp();
            seen.clear();
            m_frame->Action(id)->trigger();
            QVERIFY2(!seen.isEmpty(), "no file dialog");
            QVERIFY2((seen == QDir(folder.path()).absolutePath()) == (run == 1), qPrintable(seen));
        }
        SetTracePath(QString(), nullptr);
        AppPrinter().setOutputFileName(QString());
        AppPrinter().setOutputFormat(QPrinter::NativeFormat);
    }

    void chineseTreeIgnoresEnglishTexts()
    {
        StartApp("Chinese");
        QTreeWidget* tree = m_frame->NavigationBar()->Tree();
        QTreeWidgetItem* root = m_frame->TreeRoot();
        CChildFrame* child = m_frame->ActiveChildFrame();
        child->close();
        QCOMPARE(root->child(0)->text(0), QString::fromUtf8("信道信息"));
        root->child(0)->setText(0, QStringLiteral("Channel Information"));
        ClickItem(tree, root->child(0));
        QVERIFY(child->isHidden());
        root->child(0)->setText(0, QString::fromUtf8("信道信息"));
        ClickItem(tree, root->child(0));
        QVERIFY(child->isVisible());
    }

    void tilingGeometry()
    {
        const QSize bmp(238, 157);
        // Exactly twice the width still draws a third column, outside the area.
        QVector<QPoint> tiles = CMDIClientWnd::TilePositions(QSize(476, 157), bmp);
        QCOMPARE(tiles.size(), 3 * 2);
        QVERIFY(tiles.contains(QPoint(476, 157)));
        tiles = CMDIClientWnd::TilePositions(QSize(500, 100), bmp);
        QCOMPARE(tiles.size(), 3 * 1);
        QCOMPARE(tiles, (QVector<QPoint>{{0, 0}, {238, 0}, {476, 0}}));
        QVERIFY(CMDIClientWnd::TilePositions(QSize(100, 100), QSize()).isEmpty());
    }

    void backgroundFileOrBuiltInPicture()
    {
        const QString old = QDir::currentPath();
        QTemporaryDir dir;
        QVERIFY(QDir::setCurrent(dir.path()));
        // Without background.bmp the built-in 238 x 157 picture is used; so it
        // is with a FIFO of that name, which is never opened (it would block).
        const QByteArray fifo = QFile::encodeName(dir.filePath(QStringLiteral("background.bmp")));
#ifndef _WIN32
        QCOMPARE(mkfifo(fifo.constData(), 0600), 0);
#endif
        QImage builtIn = CMDIClientWnd::LoadBackground();
        QCOMPARE(builtIn.size(), QSize(238, 157));
        QFile::remove(QFile::decodeName(fifo));

        CMDIClientWnd area;
        area.resize(600, 400);
        area.show();
        QVERIFY(QTest::qWaitForWindowExposed(&area));
        QImage shot = area.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
        builtIn = builtIn.convertToFormat(QImage::Format_RGB32);
        QCOMPARE(shot.pixel(238 + 10, 157 + 20), builtIn.pixel(10, 20));
        QCOMPARE(shot.pixel(476 + 3, 3), builtIn.pixel(3, 3));

        // A background.bmp in the current directory is read at the next paint.
        QImage red(50, 40, QImage::Format_RGB32);
        red.fill(QColor(200, 10, 10));
        QPainter(&red).fillRect(0, 0, 5, 5, Qt::blue);
        QVERIFY(red.save(dir.filePath(QStringLiteral("background.bmp")), "BMP"));
        shot = area.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(QColor(shot.pixel(50 * 3 + 1, 40 * 2 + 1)), QColor(Qt::blue));
        QCOMPARE(QColor(shot.pixel(50 * 3 + 20, 40 * 2 + 20)), QColor(200, 10, 10));
        QVERIFY(QDir::setCurrent(old));
    }

    void helpContextsMapToTopics()
    {
        SetHelpDirectory(QStringLiteral(PROG_BIN_DIR));
        for (const char* file : {"enHelp.chm", "chHelp.chm"}) {
            ResetHelpState();
            g_strHelpFile = file;
            for (const auto& c : kContexts) {
                const QUrl topic = HelpTopicFor(c.context, c.dialog);
                QVERIFY2(topic.isValid() && !topic.isEmpty(), qPrintable(QString::number(c.context)));
                QVERIFY2(!topic.path().endsWith(QLatin1String("index.html")),
                         qPrintable(QStringLiteral("%1 %2").arg(c.context).arg(topic.toString())));
            }
            QVERIFY(!IsHelpUnavailable());
            QCOMPARE(HelpLoadAttempts(), 1);
        }
        ResetHelpState();
        g_strHelpFile = "enHelp.chm";
        QCOMPARE(HelpTopicFor(32773).fileName(), QStringLiteral("transfer.html"));
        QCOMPARE(HelpTopicFor(32773).fragment(), QStringLiteral("read"));
        QCOMPARE(HelpTopicFor(1116, 132).fragment(), QStringLiteral("squelch"));
        QCOMPARE(HelpTopicFor(4242).fileName(), QStringLiteral("index.html"));
        ResetHelpState();
        g_strHelpFile = "chHelp.chm";
        QVERIFY(HelpTopicFor(32774).host().endsWith(QLatin1String(".zh")));

        // A request opens the help window at that topic.
        ResetHelpState();
        g_strHelpFile = "enHelp.chm";
        HtmlHelp(32799);
        QVERIFY(HelpWindow());
        QVERIFY(HelpWindow()->isVisible());
        auto* browser = HelpWindow()->findChild<QTextBrowser*>();
        QVERIFY(browser);
        QVERIFY(browser->toPlainText().contains(QStringLiteral("English and Chinese")));
    }

    void helpTopicsFollowTheDialogAndItsWords()
    {
        SetHelpDirectory(QStringLiteral(PROG_BIN_DIR));
        // A control id that two windows share opens the topic of the window asking.
        const struct {
            int context;
            int dialog;
            const char* topic;
        } cases[] = {
            {IDC_EDIT_NAME, 0, "grid.html#name"},
            {optid::kScanMode, optid::kDialog, "options.html#scanmode"},
            {IDC_COMBO_LOCK, 0, "grid.html#lock"},
            {optid::kBusy, optid::kDialog, "options.html#busy"},
            {IDC_COMBO_POWER, 0, "grid.html#power"},
            {optid::kEncoder, optid::kDialog, "options.html#encoder"},
            {1, optid::kDialog, "options.html#dialog"},
            {optid::kDialog, optid::kDialog, "options.html#dialog"},
            {ID_HELP, 0, "index.html"},
        };
        // The grid's columns in order, by the id of their editor.
        const int columnIds[kGridCols] = {0,
                                          IDC_EDIT_RXFREQ,
                                          IDC_EDIT_TXFREQ,
                                          IDC_COMBO_RXTONE,
                                          IDC_COMBO_TXTONE,
                                          IDC_COMBO_POWER,
                                          IDC_COMBO_LOCK,
                                          IDC_COMBO_SCANADD,
                                          IDC_COMBO_BANDWIDTH,
                                          IDC_EDIT_NAME};
        for (const bool zh : {false, true}) {
            ResetHelpState();
            g_strHelpFile = zh ? "chHelp.chm" : "enHelp.chm";
            for (const auto& c : cases) {
                const QUrl t = HelpTopicFor(c.context, c.dialog);
                const QString got = t.fileName() + (t.hasFragment() ? QLatin1Char('#') + t.fragment() : QString());
                QCOMPARE(got, QString::fromLatin1(c.topic));
            }
            // Each topic is headed with the words the window itself shows.
            TopicReader reader(zh ? QStringLiteral("chHelp") : QStringLiteral("enHelp"));
            for (const OptionControl& c : OptionControls())
                QCOMPARE(reader.Heading(HelpTopicFor(c.id, optid::kDialog)), QString::fromUtf8(OptionLabel(c.id, zh)));
            for (int col = 1; col < kGridCols; ++col)
                QCOMPARE(reader.Heading(HelpTopicFor(columnIds[col])), QString::fromStdString(GridHeading(col, zh)));
            // Pages speak to users: no notes about help numbers; the grid's "无", which
            // stands for both "None" (tone) and "No" (scan add), always says which it is;
            // the Encoder is called by its one name.
            const QStringList pages = reader.Pages();
            QVERIFY(pages.size() >= 10);
            for (const QString& page : pages) {
                QVERIFY(!page.contains(QLatin1String("help number")));
                QVERIFY(!page.contains(QString::fromUtf8("帮助编号")));
                QVERIFY(!page.contains(QString::fromUtf8("加密")));
                QVERIFY2(!page.contains(QRegularExpression(QString::fromUtf8("<b>无</b>(?!（)"))), qPrintable(page));
            }
        }
    }

    void optionFeaturesF1OpensItsOwnTopics()
    {
        StartApp();
        SetHelpDirectory(QStringLiteral(PROG_BIN_DIR));
        QStringList fragments;
        SetHelpHook([&fragments](int, const QUrl& topic) { fragments << topic.fragment(); });
        DialogRecorder dialogs;
        dialogs.handler = [](QDialog* d) {
            auto* dlg = qobject_cast<COptionFeaturesDlg*>(d);
            d->show();
            QApplication::setActiveWindow(d);
            if (!dlg || !QTest::qWaitForWindowActive(d))
                return int(QDialog::Rejected);
            for (int id : {optid::kScanMode, optid::kBusy, optid::kEncoder}) {
                dlg->Control(id)->setFocus();
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_F1);
            }
            d->hide();
            return int(QDialog::Rejected);
        };
        m_frame->Action(ID_OPTION_FEATURES)->trigger();
        QCOMPARE(fragments, QStringList({"scanmode", "busy", "encoder"}));
    }

    void helpWindowNavigatesSearchesAndServesModalDialogs()
    {
        ResetHelpState();
        SetHelpDirectory(QStringLiteral(PROG_BIN_DIR));
        g_strHelpFile = "enHelp.chm";
        HtmlHelp(ID_READ);
        HtmlHelp(ID_LANGUAGE);
        QWidget* help = HelpWindow();
        QVERIFY(help && help->isVisible());
        QVERIFY(QTest::qWaitForWindowExposed(help));
        auto* browser = help->findChild<QTextBrowser*>(QStringLiteral("HelpBrowser"));
        auto* bar = help->findChild<QToolBar*>(QStringLiteral("HelpToolBar"));
        auto button = [&](const char* name) {
            return bar->widgetForAction(help->findChild<QAction*>(QLatin1String(name)));
        };
        QTest::mouseClick(button("HelpBack"), Qt::LeftButton);
        QCOMPARE(browser->source().fileName(), QStringLiteral("transfer.html"));
        QTest::mouseClick(button("HelpForward"), Qt::LeftButton);
        QCOMPARE(browser->source().fileName(), QStringLiteral("language.html"));
        QTest::mouseClick(button("HelpHome"), Qt::LeftButton);
        QCOMPARE(browser->source().fileName(), QStringLiteral("index.html"));

        // Full-text search: a word found only in the body of a page lists that page.
        QTextBrowser* results = SearchResults(help);
        auto* input = help->findChild<QLineEdit*>(QStringLiteral("HelpSearchQuery"));
        QVERIFY(input && results);
        QTest::keyClicks(input, QStringLiteral("scrambles"));
        QTest::keyClick(input, Qt::Key_Return);
        QVERIFY2(results->toPlainText().contains(QLatin1String("Optional Features")),
                 qPrintable(results->toPlainText()));
        // A word begins where the query does: "scram" finds it too, "crambles" does not.
        for (const auto& [query, found] : {std::pair{"scram", true}, std::pair{"crambles", false}}) {
            input->selectAll();
            QTest::keyClicks(input, QLatin1String(query));
            QTest::keyClick(input, Qt::Key_Return);
            QCOMPARE(results->toPlainText().contains(QLatin1String("Optional Features")), found);
        }

        // The index: the first letters choose a topic, Enter opens it.
        auto* tabs = help->findChild<QTabWidget*>(QStringLiteral("HelpTabs"));
        auto* filter = help->findChild<QLineEdit*>(QStringLiteral("HelpIndexFilter"));
        QVERIFY(tabs && filter);
        tabs->setCurrentWidget(filter->parentWidget());
        QTest::keyClicks(filter, QStringLiteral("squelch"));
        QTest::keyClick(filter, Qt::Key_Return);
        QCOMPARE(browser->source().fileName(), QStringLiteral("options.html"));
        QCOMPARE(browser->source().fragment(), QStringLiteral("squelch"));
        // A link to the troubleshooting guide opens it in the help; one out of the help is not followed.
        browser->setSource(HelpTopicFor(ID_READ));
        const QUrl guide = browser->source().resolved(QUrl(QStringLiteral("troubleshooting.md")));
        emit browser->anchorClicked(QUrl(QStringLiteral("troubleshooting.md")));
        QCOMPARE(browser->source(), guide);
        QVERIFY2(browser->toPlainText().contains(QLatin1String("Check Connection")),
                 qPrintable(browser->toPlainText().left(200)));
        emit browser->anchorClicked(QUrl(QStringLiteral("../README.md")));
        QCOMPARE(browser->source(), guide);
        QTest::mouseClick(button("HelpBack"), Qt::LeftButton);
        QCOMPARE(browser->source().fileName(), QStringLiteral("transfer.html"));
        QTest::mouseClick(button("HelpHome"), Qt::LeftButton);
        QTest::mouseClick(button("HelpHome"), Qt::LeftButton);

        // Over a modal dialog the help window comes up in front and takes input.
        QDialog modal;
        modal.setModal(true);
        modal.show();
        QVERIFY(QTest::qWaitForWindowExposed(&modal));
        QCOMPARE(QApplication::activeModalWidget(), &modal);
        HtmlHelp(ID_COM_SETUP);
        QCOMPARE(HelpWindow(), help);
        QVERIFY(help->isVisible());
        QVERIFY(QTest::qWaitForWindowExposed(help));
        QWidget* back = button("HelpBack");
        QTest::mouseClick(help->windowHandle(), Qt::LeftButton, Qt::NoModifier,
                          back->mapTo(help, back->rect().center()));
        QCOMPARE(browser->source().fileName(), QStringLiteral("index.html"));
        // The dialog gone, the help stays open on its own; Escape closes it.
        modal.hide();
        QVERIFY(help->isVisible());
        QVERIFY(!help->parentWidget());
        QApplication::setActiveWindow(help);
        QVERIFY(QTest::qWaitForWindowActive(help));
        QTest::keyClick(browser, Qt::Key_Escape);
        QVERIFY(!help->isVisible());
    }

    // The help goes when the program does, before the toolkit: left to the
    // application object, the engine's models would go after the event loop,
    // and its window's views would start timers there.
    void helpGoesWithTheProgram()
    {
        StartApp();
        ResetHelpState();
        SetHelpDirectory(QStringLiteral(PROG_BIN_DIR));
        m_frame->Action(ID_HELP)->trigger();
        const QPointer<QWidget> help = HelpWindow();
        QVERIFY(help && help->isVisible());
        const QPointer<QTreeWidget> contents = help->findChild<QTreeWidget*>(QStringLiteral("HelpContents"));
        QVERIFY(contents);
        m_app->ExitInstance();
        QVERIFY(!help);
        QVERIFY(!contents);
    }

    // Chinese words are found inside the runs of characters the index keeps
    // whole; the index still answers the words it splits. Enter on the first
    // result, reached with Tab, opens its page.
    void helpSearchFindsChineseWords()
    {
        const struct {
            const char* query;
            const char* page;
        } cases[] = {{"串口", "comsetup.html"}, {"校验 备份", "transfer.html"}, {"dialout", "comsetup.html"}};
        ResetHelpState();
        SetHelpDirectory(QStringLiteral(PROG_BIN_DIR));
        g_strHelpFile = "chHelp.chm";
        HtmlHelp(ID_HELP);
        QWidget* help = HelpWindow();
        QVERIFY(help && QTest::qWaitForWindowExposed(help));
        auto* browser = help->findChild<QTextBrowser*>(QStringLiteral("HelpBrowser"));
        auto* input = help->findChild<QLineEdit*>(QStringLiteral("HelpSearchQuery"));
        QTextBrowser* results = SearchResults(help);
        QVERIFY(browser && input && results);
        for (const auto& c : cases) {
            results->clear();
            input->selectAll();
            // Latin keys pressed, Chinese characters committed as an input method does.
            for (const QChar ch : QString::fromUtf8(c.query)) {
                if (ch.unicode() < 0x80) {
                    QTest::keyClicks(input, QString(ch));
                    continue;
                }
                QInputMethodEvent typed;
                typed.setCommitString(QString(ch));
                QApplication::sendEvent(input, &typed);
            }
            QTest::keyClick(input, Qt::Key_Return);
            QTRY_VERIFY2(results->toHtml().contains(QLatin1String(".html")), c.query);
            results->setFocus();
            QTest::keyClick(results, Qt::Key_Tab);
            QTest::keyClick(results, Qt::Key_Return);
            QCOMPARE(browser->source().fileName(), QLatin1String(c.page));
        }
    }

    void missingHelpIsNotTriedAgain()
    {
        QTemporaryDir empty;
        ResetHelpState();
        SetHelpDirectory(empty.path());
        g_strHelpFile = "enHelp.chm";
        int shown = 0;
        SetHelpHook([&shown](int, const QUrl&) { ++shown; });
        HtmlHelp(32773);
        QVERIFY(IsHelpUnavailable());
        QCOMPARE(HelpLoadAttempts(), 1);
        // Even once the collection appears, this run does not look again.
        SetHelpDirectory(QStringLiteral(PROG_BIN_DIR));
        HtmlHelp(32774);
        HtmlHelp(57600);
        QCOMPARE(HelpLoadAttempts(), 1);
        QCOMPARE(shown, 0);
        QVERIFY(!HelpWindow());
    }

    void frameHelpAndMenuF1UseCommandIds()
    {
        StartApp();
        QList<int> contexts;
        SetHelpHook([&contexts](int c, const QUrl&) { contexts << c; });
        SetHelpDirectory(QStringLiteral(PROG_BIN_DIR));
        m_frame->WinHelp(ID_READ);
        QMenu* program = m_frame->Menu("ProgramMenu");
        program->popup(m_frame->mapToGlobal(QPoint(20, 20)));
        QVERIFY(QTest::qWaitForWindowExposed(program));
        program->setActiveAction(m_frame->Action(ID_WRITE));
        QTest::keyClick(program, Qt::Key_F1);
        program->hide();
        QCOMPARE(contexts, (QList<int>{ID_READ, ID_WRITE}));
        // Help > Help Topics opens the contents.
        contexts.clear();
        QVERIFY(m_frame->Menu("HelpMenu")->actions().contains(m_frame->Action(ID_HELP)));
        m_frame->Action(ID_HELP)->trigger();
        QCOMPARE(contexts, QList<int>{ID_HELP});
        // F1 that no window below answers is the frame's: the help's start page.
        contexts.clear();
        QTest::keyClick(m_frame->ToolBar(), Qt::Key_F1);
        QCOMPARE(contexts, QList<int>{ID_HELP});
        // F1 in the channel window is the view's own: one request, not two.
        contexts.clear();
        QWidget* inView =
            m_frame->ActiveView()->focusWidget() ? m_frame->ActiveView()->focusWidget() : m_frame->ActiveView();
        QTest::keyClick(inView, Qt::Key_F1);
        QCOMPARE(contexts.size(), 1);
    }

    void menusFollowTheDocument()
    {
        StartApp();
        QCOMPARE(m_frame->CurrentMenus().size(), 7);
        QCOMPARE(m_frame->Action(ID_FILE_NEW)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_N));
        QCOMPARE(m_frame->Action(ID_WRITE)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_W));
        QCOMPARE(m_frame->Action(ID_PREV_PANE)->shortcut(), QKeySequence(Qt::SHIFT | Qt::Key_F6));
        // Without a document: menu 128 (File, View, Help) and no document commands.
        m_frame->DestroyChildFrame(m_frame->ActiveChildFrame());
        QCOMPARE(m_frame->CurrentMenus().size(), 3);
        QVERIFY(!m_frame->Action(ID_FILE_SAVE)->isEnabled());
        QVERIFY(!m_frame->Action(ID_READ)->isEnabled());
        // The options dialog edits a document's image: nothing to edit, nothing to open.
        QVERIFY(!m_frame->Action(ID_OPTION_FEATURES)->isEnabled());
        {
            DialogRecorder dialogs;
            m_frame->OnOptionFeatures();
            QVERIFY(dialogs.names.isEmpty());
        }
        // File New needs no confirmation then.
        MessageRecorder messages;
        m_frame->Action(ID_FILE_NEW)->trigger();
        QVERIFY(messages.requests.isEmpty());
        QCOMPARE(m_frame->CurrentMenus().size(), 7);
        QVERIFY(m_frame->Action(ID_READ)->isEnabled());
        QVERIFY(m_frame->Action(ID_OPTION_FEATURES)->isEnabled());
        // Opening a file with no document window at all asks nobody to close.
        m_frame->DestroyChildFrame(m_frame->ActiveChildFrame());
        QVERIFY(m_frame->isVisible());
        const QString path = m_dir->WriteFile(QStringLiteral("a.dat"), QByteArray(8192, '\x11'));
        QVERIFY(m_frame->OpenDocumentFile(path));
        QVERIFY(m_frame->isVisible());
        QVERIFY(m_frame->ActiveChildFrame()->isVisible());
        QCOMPARE(m_frame->ActiveDocument()->GetImage()[100], 0x11);
        // Toolbar: New, Open, Save | Read, Write | Print | About, where users know them; then Undo, Redo.
        QStringList ids;
        for (QAction* a : m_frame->ToolBar()->actions())
            ids << (a->isSeparator() ? QStringLiteral("|") : a->data().toString());
        QCOMPARE(ids.join(' '), QStringLiteral("57600 57601 57603 | 32773 32774 | 57607 | 57664 | 57643 57644"));
        for (QAction* a : m_frame->ToolBar()->actions())
            QVERIFY(a->isSeparator() || !a->icon().isNull());
    }

    void acceleratorsWhereverTheFocusIs()
    {
        StartApp();
        QApplication::setActiveWindow(m_frame);
        QVERIFY(QTest::qWaitForWindowActive(m_frame));
        const struct {
            QKeySequence key;
            int id;
        } accels[] = {{Qt::CTRL | Qt::Key_N, ID_FILE_NEW},
                      {Qt::CTRL | Qt::Key_O, ID_FILE_OPEN},
                      {Qt::CTRL | Qt::Key_P, ID_FILE_PRINT},
                      {Qt::CTRL | Qt::Key_R, ID_READ},
                      {Qt::CTRL | Qt::Key_S, ID_FILE_SAVE},
                      {Qt::CTRL | Qt::Key_W, ID_WRITE},
                      {Qt::Key_F6, ID_NEXT_PANE},
                      {Qt::SHIFT | Qt::Key_F6, ID_PREV_PANE},
                      {Qt::CTRL | Qt::Key_Tab, ID_NEXT_WINDOW},
                      {Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab, ID_PREV_WINDOW}};
        // Only whether the key reaches its command counts here, not what the command does.
        QMap<int, int> fired;
        for (const auto& a : accels) {
            QAction* action = m_frame->Action(a.id);
            disconnect(action, &QAction::triggered, nullptr, nullptr);
            connect(action, &QAction::triggered, this, [&fired, id = a.id] { ++fired[id]; });
        }
        CProgramView* view = m_frame->ActiveView();
        CMSFlexGrid& grid = view->Grid();
        auto clickCell = [&](int row, int col) {
            QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, grid.CellRect(row, col).center());
            QWidget* editor = view->OpenEditor();
            return editor == QApplication::focusWidget() ? editor : nullptr;
        };
        const std::pair<const char*, std::function<QWidget*()>> places[] = {
            {"grid",
             [&] {
                 grid.setFocus();
                 return static_cast<QWidget*>(&grid);
             }},
            {"frequency editor", [&] { return clickCell(2, 1); }},
            {"list editor", [&] { return clickCell(2, 3); }},
            {"name editor", [&] { return clickCell(2, 9); }},
            {"band box",
             [&] {
                 QTest::mouseClick(view->BandEdit(IDC_VHF_LOW), Qt::LeftButton);
                 return QApplication::focusWidget();
             }},
            {"tree",
             [&] {
                 m_frame->NavigationBar()->Tree()->setFocus();
                 return QApplication::focusWidget();
             }},
        };
        for (const auto& [name, focus] : places) {
            QWidget* w = focus();
            QVERIFY2(w, name);
            for (const auto& a : accels) {
                fired.clear();
                QTest::keySequence(QApplication::focusWidget(), a.key);
                QVERIFY2(fired.value(a.id) == 1,
                         qPrintable(QStringLiteral("%1 in the %2").arg(a.key.toString(), QLatin1String(name))));
            }
        }
        // The document window keeps Ctrl+F4 for its own Close.
        CChildFrame* child = m_frame->ActiveChildFrame();
        clickCell(3, 1);
        QTest::keySequence(QApplication::focusWidget(), QKeySequence(Qt::CTRL | Qt::Key_F4));
        QVERIFY(child->isHidden());
    }

    // Keyboard only: F6 and Shift+F6 go round the tree, the band boxes and the grid
    // (an open editor commits first); Ctrl+Tab and Ctrl+Shift+Tab go round the
    // document windows on show. Tab stays the grid's.
    void f6AndCtrlTabLeaveTheGrid()
    {
        StartApp();
        QApplication::setActiveWindow(m_frame);
        QVERIFY(QTest::qWaitForWindowActive(m_frame));
        CProgramView* view = m_frame->ActiveView();
        CMSFlexGrid& grid = view->Grid();
        QTreeWidget* tree = m_frame->NavigationBar()->Tree();
        QWidget* vhfLow = view->BandEdit(IDC_VHF_LOW);
        auto focus = [] { return QApplication::focusWidget(); };
        auto key = [&](Qt::Key k, Qt::KeyboardModifiers mods = {}) { QTest::keyClick(focus(), k, mods); };
        // In the tree the arrows reach an entry and Enter opens it: the closed window comes back.
        CChildFrame* first = m_frame->ActiveChildFrame();
        first->close();
        key(Qt::Key_F6);
        QCOMPARE(focus(), tree);
        key(Qt::Key_Down);
        QCOMPARE(tree->currentItem()->text(0), QStringLiteral("Channel Information"));
        QVERIFY(first->isHidden());
        key(Qt::Key_Return);
        QVERIFY(first->isVisible());
        QCOMPARE(tree->currentItem(), m_frame->TreeRoot());

        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, grid.CellRect(2, 1).center());
        QVERIFY(view->OpenEditor() && focus() == view->OpenEditor());
        QTest::keyClicks(focus(), QStringLiteral("145.125"));
        key(Qt::Key_Tab);  // the next cell, as before
        QCOMPARE(grid.GetCol(), 2L);
        QTest::keyClicks(focus(), QStringLiteral("146.5"));
        const struct {
            Qt::KeyboardModifiers mods;
            QWidget* to;
        } steps[] = {{{}, tree},
                     {{}, vhfLow},
                     {{}, &grid},
                     {{}, tree},
                     {Qt::ShiftModifier, &grid},
                     {Qt::ShiftModifier, vhfLow},
                     {Qt::ShiftModifier, tree}};
        for (const auto& s : steps) {
            key(Qt::Key_F6, s.mods);
            QCOMPARE(focus(), s.to);
        }
        QCOMPARE(grid.GetTextMatrix(2, 2), QStringLiteral("146.50000"));  // committed on the way out
        QVERIFY(!view->OpenEditor());

        // A refused value's message takes the keys; the main window, active again
        // (on a desktop only after the box returned), gives them back to the grid.
        SetMessageHook([](const MessageRequest& r) {
            QDialog box(r.parent);
            box.show();
            QApplication::setActiveWindow(&box);
            (void)QTest::qWaitForWindowActive(&box);
            box.hide();
            QApplication::setActiveWindow(nullptr);
            return QMessageBox::Ok;
        });
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, grid.CellRect(3, 1).center());
        QTest::keyClicks(focus(), QStringLiteral("999"));
        key(Qt::Key_Tab);
        SetMessageHook({});
        QApplication::setActiveWindow(m_frame);
        QCOMPARE(focus(), &grid);

        // Three documents, one closed (hidden): Ctrl+Tab passes it over.
        m_frame->NewDocument();
        m_frame->ActiveChildFrame()->close();
        m_frame->NewDocument();
        CChildFrame* last = m_frame->ActiveChildFrame();
        QTRY_VERIFY(last->GetView()->isAncestorOf(focus()));
        int col = 0;
        for (CChildFrame* expect : {first, last, first}) {
            // From a cell's editor, a list's or an edit's, alike.
            CMSFlexGrid& g = m_frame->ActiveView()->Grid();
            QTest::mouseClick(g.viewport(), Qt::LeftButton, {}, g.CellRect(2, ++col).center());
            QVERIFY(m_frame->ActiveView()->OpenEditor() == focus());
            key(Qt::Key_Tab, Qt::ControlModifier);
            QTRY_COMPARE(m_frame->ActiveChildFrame(), expect);
            QTRY_VERIFY(expect->GetView()->isAncestorOf(focus()));
        }
        key(Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
        QTRY_COMPARE(m_frame->ActiveChildFrame(), last);
        tree->setFocus();
        key(Qt::Key_Tab, Qt::ControlModifier);
        QTRY_COMPARE(m_frame->ActiveChildFrame(), first);
    }

    void documentWindowFitsTheArea()
    {
        StartApp();
        CChildFrame* child = m_frame->ActiveChildFrame();
        QWidget* area = m_frame->MdiClient()->viewport();
        QScrollBar* rows = m_frame->ActiveView()->Grid().verticalScrollBar();
        const QSize form = child->FormFrameSize();
        // The whole window and the grid's scroll bar lie inside the area; the area needs none of its own.
        auto inReach = [&] {
            const QRect bar(rows->mapTo(area, QPoint(0, 0)), rows->size());
            return area->rect().contains(child->geometry()) && rows->isVisible() && area->rect().contains(bar) &&
                   !m_frame->MdiClient()->verticalScrollBar()->isVisible() &&
                   !m_frame->MdiClient()->horizontalScrollBar()->isVisible();
        };
        // Room for the form: the window takes the form's size.
        m_frame->resize(form.width() + 600, form.height() + 400);
        QTRY_VERIFY(!child->isMaximized());
        QCOMPARE(child->size(), form);
        QVERIFY(inReach());
        // Less room than the form: maximized, and it follows the main window.
        m_frame->resize(form.width(), form.height());
        QTRY_VERIFY(child->isMaximized());
        QTRY_COMPARE(child->geometry(), area->rect());
        QVERIFY(inReach());
        m_frame->resize(form.width() + 100, form.height());
        QTRY_COMPARE(child->geometry(), area->rect());
        // Room again: back to the form's size.
        m_frame->resize(form.width() + 600, form.height() + 400);
        QTRY_VERIFY(!child->isMaximized());
        QCOMPARE(child->size(), form);
        QVERIFY(inReach());
    }

    void captionIgnoresMaximizedDocument()
    {
        StartApp();
        const QString caption = m_frame->windowTitle();
        QVERIFY(!caption.isEmpty());
        // The document window's title never joins the frame's caption, maximized or not.
        CChildFrame* child = m_frame->ActiveChildFrame();
        child->showMaximized();
        QCoreApplication::processEvents();
        QCOMPARE(m_frame->windowTitle(), caption);
        SetMainCaption(QStringLiteral("Tool  [ Type:A  Fre:136-174MHz ]"));
        QCoreApplication::processEvents();
        QCOMPARE(m_frame->windowTitle(), QStringLiteral("Tool  [ Type:A  Fre:136-174MHz ]"));
        child->showNormal();
        QCoreApplication::processEvents();
        QCOMPARE(m_frame->windowTitle(), QStringLiteral("Tool  [ Type:A  Fre:136-174MHz ]"));
        child->showMaximized();
        QCoreApplication::processEvents();
        QCOMPARE(m_frame->windowTitle(), QStringLiteral("Tool  [ Type:A  Fre:136-174MHz ]"));
    }
};

QTEST_MAIN(TestFrame)
#include "tst_frame.moc"
