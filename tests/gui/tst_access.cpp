// Screen readers and the keyboard alone: every control of the main window and
// of each dialog has a name in both languages, the grid reads as a table whose
// changes are announced, every menu item has its letter, and Tab goes round
// each dialog without a trap.
#include <QAccessible>
#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDialog>
#include <QLineEdit>
#include <QMenu>
#include <QPrintPreviewDialog>
#include <QRadioButton>
#include <QRegularExpression>
#include <QtTest>
#include <functional>

#include "core/app/Globals.h"
#include "gui/ProgramApp.h"
#include "gui/app/Announce.h"
#include "gui/app/AppContext.h"
#include "gui/app/CommandIds.h"
#include "gui/app/HelpAccess.h"
#include "gui/app/MessageBox.h"
#include "gui/editor/MSFlexGrid.h"
#include "gui/editor/ProgramView.h"
#include "gui/frame/MainFrame.h"
#include "tests/gui/support/ProgramFixture.h"

namespace {
// Roles a user operates or reads as a control.
bool IsControl(QAccessible::Role role)
{
    switch (role) {
    case QAccessible::PushButton:
    case QAccessible::CheckBox:
    case QAccessible::RadioButton:
    case QAccessible::ComboBox:
    case QAccessible::EditableText:
    case QAccessible::SpinBox:
    case QAccessible::Slider:
    case QAccessible::List:
    case QAccessible::Table:
    case QAccessible::Tree:
    case QAccessible::ProgressBar:
    case QAccessible::ButtonMenu:
    case QAccessible::ButtonDropDown:
    case QAccessible::MenuItem:
    case QAccessible::PageTab:
    case QAccessible::ToolBar:
    case QAccessible::StatusBar:
    case QAccessible::MenuBar:
    case QAccessible::Dialog:
    case QAccessible::AlertMessage: return true;
    default: return false;
    }
}

QString Describe(QAccessibleInterface* iface)
{
    QObject* o = iface->object();
    return QStringLiteral("%1 %2 in %3 (role %4)")
        .arg(o ? QString::fromLatin1(o->metaObject()->className()) : QStringLiteral("-"),
             o ? o->objectName() : QString(),
             o && o->parent() ? QString::fromLatin1(o->parent()->metaObject()->className()) : QString())
        .arg(int(iface->role()));
}

const QRegularExpression kHan(QStringLiteral("\\p{Han}"));

// The visible controls under `root` without a name; in Chinese also the names
// the program set that have no Chinese in them. The cells of a table are the
// table test's. A tool bar's children count hidden too, as a screen reader
// lists them.
QStringList Unnamed(QObject* root, bool chinese)
{
    QStringList out;
    std::function<void(QAccessibleInterface*, int)> walk = [&](QAccessibleInterface* iface, int depth) {
        const bool inToolBar = iface && iface->parent() && iface->parent()->role() == QAccessible::ToolBar;
        if (!iface || depth > 30 || (depth > 0 && iface->state().invisible && !inToolBar))
            return;
        const QString name = iface->text(QAccessible::Name).trimmed();
        auto* w = qobject_cast<QWidget*>(iface->object());
        const bool focusable = w && (w->focusPolicy() & Qt::TabFocus) && w->isEnabled();
        if ((IsControl(iface->role()) || focusable) && iface->role() != QAccessible::ScrollBar) {
            if (name.isEmpty())
                out << Describe(iface);
            else if (chinese && w && !w->accessibleName().isEmpty() && !w->accessibleName().contains(kHan))
                out << Describe(iface) + QLatin1String(" English: ") + name;
        }
        if (iface->role() == QAccessible::Table)
            return;
        for (int i = 0; i < iface->childCount(); ++i)
            walk(iface->child(i), depth + 1);
    };
    walk(QAccessible::queryAccessibleInterface(root), 0);
    return out;
}

// The widgets Tab should reach in `dialog`.
QList<QWidget*> TabStops(QWidget* dialog)
{
    QList<QWidget*> stops;
    for (QWidget* w : dialog->findChildren<QWidget*>())
        if (w->isVisibleTo(dialog) && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus) && !w->focusProxy() &&
            w->window() == dialog)
            stops << w;
    return stops;
}

// What the user set in `dialog`: every check, text, choice and number.
QStringList Values(QWidget* dialog)
{
    QStringList values;
    for (QWidget* w : dialog->findChildren<QWidget*>()) {
        if (auto* b = qobject_cast<QAbstractButton*>(w))
            values << QString::number(b->isChecked());
        else if (auto* e = qobject_cast<QLineEdit*>(w))
            values << e->text();
        else if (auto* c = qobject_cast<QComboBox*>(w))
            values << c->currentText();
        else if (auto* s = qobject_cast<QAbstractSpinBox*>(w))
            values << s->text();
    }
    return values;
}

// Tab from the first focus: what it never reached, or that it never came back.
QString TabRound(QWidget* dialog, bool backwards)
{
    QWidget* start = QApplication::focusWidget();
    if (!start || start->window() != dialog)
        return QStringLiteral("no first focus");
    const QList<QWidget*> stops = TabStops(dialog);
    QSet<QWidget*> seen{start};
    for (int i = 0; i <= stops.size() + 64; ++i) {
        QWidget* before = QApplication::focusWidget();
        QTest::keyClick(before, backwards ? Qt::Key_Backtab : Qt::Key_Tab,
                        backwards ? Qt::ShiftModifier : Qt::NoModifier);
        QWidget* now = QApplication::focusWidget();
        if (!now || now->window() != dialog)
            return QStringLiteral("left the dialog");
        // A page's links take Tab in turn before it moves on.
        if (now == before && stops.size() > 1)
            continue;
        if (!seen.contains(now) && stops.size() > 1) {
            seen << now;
            continue;
        }
        // Round again: at the start, or past the view port it handed the focus to.
        if (now != start && std::none_of(seen.begin(), seen.end(), [&](QWidget* w) { return start->isAncestorOf(w); }))
            break;
        QStringList missed;
        // Tab enters a group of radio buttons at its checked one; the arrows move within.
        auto sameGroup = [&](QWidget* w) {
            auto* radio = qobject_cast<QRadioButton*>(w);
            return radio && !radio->isChecked() && std::any_of(seen.begin(), seen.end(), [&](QWidget* s) {
                       auto* other = qobject_cast<QRadioButton*>(s);
                       return other && (radio->group() ? other->group() == radio->group()
                                                       : other->parentWidget() == radio->parentWidget());
                   });
        };
        for (QWidget* w : stops)
            if (!seen.contains(w) && !sameGroup(w) && !w->isAncestorOf(start) && !start->isAncestorOf(w))
                missed << QString::fromLatin1(w->metaObject()->className()) + QLatin1Char(' ') + w->objectName();
        return missed.isEmpty() ? QString() : QStringLiteral("not reached: ") + missed.join(QLatin1String(", "));
    }
    return QStringLiteral("never back at %1 (%2)")
        .arg(QString::fromLatin1(start->metaObject()->className()), start->objectName());
}

// What the program told a reader: the cell's name, and its value or "focus".
struct Announced {
    QString name;
    QString value;
};
}  // namespace

class TestAccess : public ProgramFixture {
    Q_OBJECT

private:
    void StartApp(const QByteArray& language)
    {
        ShellIni ini;
        ini.language = language;
        QVERIFY(NewProgramDir(ini));
        QVERIFY(StartProgram());
        QVERIFY(ShowFrame({1000, 600}, true));
    }

    // The help window on a page, shown and active.
    QWidget* OpenHelp(bool chinese)
    {
        ResetHelpState();
        SetHelpDirectory(QStringLiteral(PROG_BIN_DIR));
        g_strHelpFile = chinese ? "chHelp.chm" : "enHelp.chm";
        HtmlHelp(ID_READ);
        QWidget* help = HelpWindow();
        if (help) {
            QApplication::setActiveWindow(help);
            (void)QTest::qWaitForWindowActive(help);
        }
        return help;
    }

    // Runs `check` on every dialog the commands open, shown and active.
    void ForEachDialog(const std::function<void(QDialog*)>& check)
    {
        SetDialogHook([&](QDialog* d) {
            d->show();
            QApplication::setActiveWindow(d);
            if (QTest::qWaitForWindowActive(d))
                check(d);
            d->hide();
            return int(QDialog::Rejected);
        });
        for (int id :
             {ID_COM_SETUP, ID_CHECK_CONNECTION, ID_FILE_BACKUPS, ID_WRITE, ID_OPTION_FEATURES, ID_PRODUCT_INFORMATION,
              ID_LANGUAGE, ID_APP_ABOUT, ID_EDIT_SET_CELLS, ID_EDIT_FIND, ID_FILE_PRINT_PREVIEW}) {
            m_frame->Action(id)->trigger();
            // The Process window stays open beside the document.
            for (QDialog* d : m_frame->findChildren<QDialog*>())
                if (d->isVisible()) {
                    QApplication::setActiveWindow(d);
                    if (QTest::qWaitForWindowActive(d))
                        check(d);
                    d->reject();
                }
        }
        const QString csv =
            m_dir->WriteFile(QStringLiteral("list.csv"), "Location,Name,Frequency\r\n40,ONE,146.52\r\n");
        m_frame->ActiveView()->ImportChannelsFrom(csv, true);
        SetDialogHook({});
        MessageRequest r;
        r.parent = m_frame;
        r.text = QStringLiteral("Out of range,please input again.");
        const std::unique_ptr<QMessageBox> box(CreateMessageBox(r));
        box->show();
        QApplication::setActiveWindow(box.get());
        if (QTest::qWaitForWindowActive(box.get()))
            check(box.get());
    }

private slots:
    void language_data()
    {
        QTest::addColumn<QByteArray>("language");
        QTest::newRow("English") << QByteArray("English");
        QTest::newRow("Chinese") << QByteArray("Chinese");
    }

    // The main window (its menus too, open or not) and every dialog.
    void everyControlHasAName_data() { language_data(); }
    void everyControlHasAName()
    {
        QFETCH(QByteArray, language);
        StartApp(language);
        const bool chinese = language == "Chinese";
        QStringList missing = Unnamed(m_frame, chinese);
        for (QMenu* menu : m_frame->findChildren<QMenu*>())
            missing << Unnamed(menu, chinese);
        int dialogs = 0;
        ForEachDialog([&](QDialog* d) {
            ++dialogs;
            for (const QString& m : Unnamed(d, chinese))
                missing << d->metaObject()->className() + QLatin1String(": ") + m;
        });
        QWidget* help = OpenHelp(chinese);
        QVERIFY(help);
        missing << Unnamed(help, chinese);
        QVERIFY2(missing.isEmpty(), qPrintable(missing.join(QLatin1Char('\n'))));
        QCOMPARE(dialogs, 13);
    }

    // Every menu item has a letter (or a key of its own), so Alt and the letters reach every command.
    void everyMenuItemHasALetter_data() { language_data(); }
    void everyMenuItemHasALetter()
    {
        QFETCH(QByteArray, language);
        StartApp(language);
        QStringList none;
        for (QMenu* menu : m_frame->findChildren<QMenu*>())
            for (QAction* a : menu->actions())
                if (!a->isSeparator() && a->isEnabled() && !a->text().isEmpty() &&
                    QKeySequence::mnemonic(a->text()).isEmpty() && a->shortcuts().isEmpty())
                    none << menu->title() + QLatin1String(" > ") + a->text();
        QVERIFY2(none.isEmpty(), qPrintable(none.join(QLatin1Char('\n'))));
    }

    // The grid reads as a table of channels: its shape, headings, the current
    // cell's name, and what moving and typing announce; the editor over a cell
    // is named as the cell.
    void gridIsATable_data()
    {
        QTest::addColumn<QByteArray>("language");
        QTest::addColumn<QString>("name");
        QTest::newRow("English") << QByteArray("English") << QStringLiteral("Channel 2, Rx Frequency, 146.52000");
        QTest::newRow("Chinese") << QByteArray("Chinese") << QStringLiteral("信道 2，接收频率，146.52000");
    }
    void gridIsATable()
    {
        QFETCH(QByteArray, language);
        QFETCH(QString, name);
        StartApp(language);
        QList<Announced> told;
        SetAnnounceHook([&told](QAccessibleEvent* e) {
            const bool focus = e->type() == QAccessible::Focus;
            if (focus || e->type() == QAccessible::ValueChanged)
                told << Announced{
                    e->accessibleInterface()->text(QAccessible::Name),
                    focus ? QStringLiteral("focus") : static_cast<QAccessibleValueChangeEvent*>(e)->value().toString()};
        });
        CMSFlexGrid& grid = m_frame->ActiveView()->Grid();
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(&grid);
        QVERIFY(iface);
        QAccessibleTableInterface* table = iface->tableInterface();
        QVERIFY(table);
        QCOMPARE(table->rowCount(), int(grid.GetRows() - 1));
        int shown = 0;
        for (int c = 1; c < grid.GetCols(); ++c)
            shown += grid.IsColumnShown(c) ? 1 : 0;
        QCOMPARE(table->columnCount(), shown);
        QCOMPARE(table->columnDescription(0), grid.GetTextMatrix(0, 1));
        QCOMPARE(table->rowDescription(2), QStringLiteral("2"));
        QVERIFY(!iface->text(QAccessible::Name).isEmpty());

        grid.setFocus();
        grid.SetRow(3);
        grid.SetCol(1);
        QWidget* editor = m_frame->ActiveView()->OpenEditor();
        QVERIFY(editor);
        QTest::keyClicks(editor, QStringLiteral("146.52"));
        QTest::keyClick(editor, Qt::Key_Down);
        QCOMPARE(grid.GetTextMatrix(3, 1), QStringLiteral("146.52000"));
        QAccessibleInterface* cell = table->cellAt(2, 0);
        QVERIFY(cell && cell->tableCellInterface());
        QCOMPARE(cell->text(QAccessible::Name), name);
        QCOMPARE(cell->tableCellInterface()->rowIndex(), 2);
        QCOMPARE(iface->indexOfChild(cell), 2 * shown);
        auto announced = [&told](QAccessibleInterface* at, const QString& value) {
            return std::any_of(told.begin(), told.end(), [&](const Announced& a) {
                return a.name == at->text(QAccessible::Name) && a.value == value;
            });
        };
        QVERIFY(announced(cell, QStringLiteral("146.52000")));
        // The editor opened on the cell below reads as that cell.
        QAccessibleInterface* below = table->cellAt(3, 0);
        QCOMPARE(iface->focusChild(), below);
        QVERIFY(m_frame->ActiveView()->OpenEditor());
        const QString editorName =
            QAccessible::queryAccessibleInterface(m_frame->ActiveView()->OpenEditor())->text(QAccessible::Name);
        QCOMPARE(editorName, grid.CellName(4, 1, false));
        QVERIFY(below->text(QAccessible::Name).startsWith(editorName));
        // The menu key there offers the grid's commands below the cell, not the editor's text menu.
        QContextMenuEvent menuKey(QContextMenuEvent::Keyboard, QPoint(), QPoint());
        QApplication::sendEvent(m_frame->ActiveView()->OpenEditor(), &menuKey);
        QTRY_VERIFY(m_frame->GridMenu()->isVisible());
        QCOMPARE(m_frame->GridMenu()->x(), grid.viewport()->mapToGlobal(grid.CellRect(4, 1).bottomLeft()).x());
        m_frame->GridMenu()->hide();
        // Whole channels selected from the keyboard: no editor, the grid announces its current cell.
        grid.setFocus();
        grid.SelectRows({6, 7});
        QVERIFY(grid.hasFocus());
        QVERIFY(announced(table->cellAt(5, 0), QStringLiteral("focus")));
        // A cell a reader still holds after the grid shrank is no child any more.
        QAccessibleInterface* last = table->cellAt(table->rowCount() - 1, 0);
        grid.SetRows(4);
        QCOMPARE(iface->indexOfChild(last), -1);
    }

    // From each dialog's first focus, and in the help window, Tab and Shift+Tab
    // reach every enabled control and come back, changing nothing on the way.
    void tabGoesRoundEveryDialog()
    {
        StartApp("English");
        QStringList faults;
        auto check = [&](QWidget* d) {
            QWidget* start = QApplication::focusWidget();
            const QStringList before = Values(d);
            for (bool back : {false, true}) {
                const QString fault = TabRound(d, back);
                if (!fault.isEmpty())
                    faults << QStringLiteral("%1%2: %3")
                                  .arg(QString::fromLatin1(d->metaObject()->className()), back ? " back" : "", fault);
                if (start)
                    start->setFocus();
            }
            // Qt's print preview takes its zoom box's text as a chosen zoom when Tab leaves it.
            if (Values(d) != before && !qobject_cast<QPrintPreviewDialog*>(d))
                faults << QString::fromLatin1(d->metaObject()->className()) + QLatin1String(": Tab changed a value");
        };
        ForEachDialog(check);
        QWidget* help = OpenHelp(false);
        QVERIFY(help);
        check(help);
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
    }
};

QTEST_MAIN(TestAccess)
#include "tst_access.moc"
