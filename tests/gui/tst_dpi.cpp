// The main window and every dialog on a high-DPI screen (ctest runs this at
// QT_SCALE_FACTOR 1.5 and 2 too) and under a dark palette: no label, button,
// group or list text clipped by its widget, no two controls overlapping, every
// text readable on its ground, the toolbar's pictures drawn for the screen.
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStyle>
#include <QStyleOption>
#include <QTextDocument>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>

#include "gui/ProgramApp.h"
#include "gui/app/AppContext.h"
#include "gui/app/CommandIds.h"
#include "gui/app/Contrast.h"
#include "gui/app/HelpAccess.h"
#include "gui/app/MessageBox.h"
#include "gui/editor/ProgramView.h"
#include "gui/frame/MainFrame.h"
#include "tests/gui/support/ProgramFixture.h"

namespace {

QString Shown(const QString& text, bool mnemonic)
{
    if (!mnemonic)
        return text;
    QString out;
    for (int i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('&') && i + 1 < text.size())
            ++i;
        out += text[i];
    }
    return out;
}

QString Name(const QWidget* w)
{
    return QStringLiteral("%1 \"%2\"")
        .arg(QString::fromLatin1(w->metaObject()->className()),
             w->objectName().isEmpty() ? w->accessibleName() : w->objectName());
}

// What paints behind a widget that does not fill its own background.
QColor Ground(const QWidget* w)
{
    for (const QWidget* p = w; p; p = p->parentWidget())
        if (p->autoFillBackground() || p->isWindow())
            return p->palette().color(p->backgroundRole());
    return w->palette().color(QPalette::Window);
}

struct Walker {
    QStringList problems;

    void Fits(const QWidget* w, const QString& text, int needed, int room)
    {
        if (needed > room)
            problems << QStringLiteral("%1: \"%2\" needs %3 px, has %4").arg(Name(w), text).arg(needed).arg(room);
    }
    void Reads(const QWidget* w, const QString& text, const QColor& fg, const QColor& bg)
    {
        if (!w->isEnabled())
            return;  // a disabled control may be dim
        const double ratio = ContrastRatio(fg, bg);
        if (ratio < kTextContrast)
            problems << QStringLiteral("%1: \"%2\" %3 on %4 is %5:1")
                            .arg(Name(w), text, fg.name(), bg.name())
                            .arg(ratio, 0, 'f', 2);
    }

    void Label(const QLabel* l)
    {
        if (l->text().isEmpty())
            return;
        const int m = l->margin();
        const QRect room = l->contentsRect().adjusted(m, m, -m, -m);
        const bool rich =
            l->textFormat() == Qt::RichText || (l->textFormat() == Qt::AutoText && Qt::mightBeRichText(l->text()));
        QTextDocument doc;
        doc.setDefaultFont(l->font());
        doc.setDocumentMargin(0);
        if (rich)
            doc.setHtml(l->text());
        else
            doc.setPlainText(Shown(l->text(), l->buddy() != nullptr));
        const QFontMetrics fm(l->font());
        if (l->wordWrap()) {
            const QRect need = fm.boundingRect(room, Qt::TextWordWrap | int(l->alignment()), doc.toPlainText());
            Fits(l, l->text(), need.height(), room.height());
        } else {
            for (const QString& line : doc.toPlainText().split(QChar::LineSeparator).join('\n').split('\n'))
                Fits(l, line, fm.horizontalAdvance(line), room.width());
        }
        Reads(l, l->text(), l->palette().color(l->foregroundRole()), Ground(l));
    }

    void Button(QAbstractButton* b)
    {
        if (b->text().isEmpty())
            return;
        auto* tool = qobject_cast<QToolButton*>(b);
        if (tool && tool->toolButtonStyle() == Qt::ToolButtonIconOnly)
            return;
        QStyleOptionButton opt;
        opt.initFrom(b);
        opt.text = b->text();
        QStyle::SubElement element = QStyle::SE_PushButtonContents;
        if (qobject_cast<QCheckBox*>(b))
            element = QStyle::SE_CheckBoxContents;
        else if (qobject_cast<QRadioButton*>(b))
            element = QStyle::SE_RadioButtonContents;
        const QRect room = tool ? b->contentsRect() : b->style()->subElementRect(element, &opt, b);
        const QString text = Shown(b->text(), true);
        int needed = b->fontMetrics().horizontalAdvance(text);
        if (!b->icon().isNull() && element == QStyle::SE_PushButtonContents)
            needed += b->iconSize().width() + 4;
        Fits(b, text, needed, room.width());
        const bool push = element == QStyle::SE_PushButtonContents;
        Reads(b, text, b->palette().color(push ? QPalette::ButtonText : b->foregroundRole()),
              push ? b->palette().color(QPalette::Button) : Ground(b));
    }

    void Group(const QGroupBox* g)
    {
        if (g->title().isEmpty())
            return;
        const QString text = Shown(g->title(), true);
        Fits(g, text, g->fontMetrics().horizontalAdvance(text) + 2 * g->fontMetrics().averageCharWidth(), g->width());
        Reads(g, text, g->palette().color(QPalette::WindowText), Ground(g));
    }

    void Combo(const QComboBox* c)
    {
        QStyleOptionComboBox opt;
        opt.initFrom(c);
        opt.editable = c->isEditable();
        const QRect room = c->style()->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxEditField, c);
        Fits(c, c->currentText(), c->fontMetrics().horizontalAdvance(c->currentText()), room.width());
        if (c->isEditable())
            Reads(c, c->currentText(), c->palette().color(QPalette::Text), c->palette().color(QPalette::Base));
        else
            Reads(c, c->currentText(), c->palette().color(QPalette::ButtonText), c->palette().color(QPalette::Button));
    }

    // The grid: headings and row labels in the colour the program gives them,
    // on the sections' button colour; cells in the text colour on the base.
    void Grid(CMSFlexGrid& g)
    {
        const QAbstractItemModel* m = g.model();
        const QFontMetrics fm(g.font());
        for (int col = 1; col < m->columnCount(); ++col) {
            if (!g.IsColumnShown(col))
                continue;
            const QString heading = m->headerData(col, Qt::Horizontal).toString();
            Fits(&g, heading, fm.horizontalAdvance(heading) + 2, g.columnWidth(col));
            Reads(&g, heading, m->headerData(col, Qt::Horizontal, Qt::ForegroundRole).value<QColor>(),
                  g.horizontalHeader()->palette().color(QPalette::Button));
            for (int row = 1; row < m->rowCount(); ++row) {
                const QString cell = m->index(row, col).data().toString();
                Fits(&g, cell, fm.horizontalAdvance(cell) + 2, g.columnWidth(col));
            }
        }
        for (int row = 1; row < m->rowCount(); row += 50) {
            const QString label = m->headerData(row, Qt::Vertical).toString();
            Fits(&g, label, fm.horizontalAdvance(label) + 2, g.verticalHeader()->width());
            Fits(&g, label, fm.height(), g.rowHeight(row));
        }
        Reads(&g, QStringLiteral("cells"), g.palette().color(QPalette::Text), g.palette().color(QPalette::Base));
    }

    // Where a widget draws: a label's text, a check box's mark and text, else the whole widget.
    static QRect Ink(const QWidget* w)
    {
        if (const auto* l = qobject_cast<const QLabel*>(w); l && !l->text().isEmpty() && l->pixmap().isNull()) {
            const int flags =
                int(l->alignment()) | (l->wordWrap() ? Qt::TextWordWrap : 0) | (l->buddy() ? Qt::TextShowMnemonic : 0);
            return l->fontMetrics().boundingRect(l->contentsRect(), flags, l->text()).translated(w->pos());
        }
        const auto* b = qobject_cast<const QAbstractButton*>(w);
        if (b && (qobject_cast<const QCheckBox*>(w) || qobject_cast<const QRadioButton*>(w))) {
            QStyleOptionButton opt;
            opt.initFrom(b);
            opt.text = b->text();
            const bool check = qobject_cast<const QCheckBox*>(w);
            QRect text = b->style()->subElementRect(
                check ? QStyle::SE_CheckBoxContents : QStyle::SE_RadioButtonContents, &opt, b);
            const int h = b->fontMetrics().height();
            text = QRect(text.left(), text.center().y() - h / 2, text.width(), h);
            const QRect mark = b->style()->subElementRect(
                check ? QStyle::SE_CheckBoxIndicator : QStyle::SE_RadioButtonIndicator, &opt, b);
            return text.united(mark).translated(w->pos());
        }
        return w->geometry();
    }

    void Overlaps(const QWidget* parent)
    {
        QList<const QWidget*> shown;
        for (const QObject* o : parent->children()) {
            const auto* w = qobject_cast<const QWidget*>(o);
            if (w && w->isVisible() && !w->isWindow())
                shown << w;
        }
        for (int i = 0; i < shown.size(); ++i)
            for (int j = i + 1; j < shown.size(); ++j) {
                const QRect a = Ink(shown[i]), b = Ink(shown[j]);
                // One laid over the other whole (an editor over its cell, a control in its group) is meant.
                if (a.intersects(b) && !a.contains(b) && !b.contains(a))
                    problems << QStringLiteral("%1 overlaps %2").arg(Name(shown[i]), Name(shown[j]));
            }
    }

    void Walk(QWidget* top)
    {
        QList<QWidget*> all = top->findChildren<QWidget*>();
        all.prepend(top);
        for (QWidget* w : all) {
            if (!w->isVisible() || (w != top && w->window() != top))
                continue;
            if (!qobject_cast<QAbstractScrollArea*>(w) && !qobject_cast<QAbstractSpinBox*>(w) &&
                !qobject_cast<QComboBox*>(w))
                Overlaps(w);
            if (auto* l = qobject_cast<QLabel*>(w))
                Label(l);
            else if (auto* b = qobject_cast<QAbstractButton*>(w))
                Button(b);
            else if (auto* g = qobject_cast<QGroupBox*>(w))
                Group(g);
            else if (auto* c = qobject_cast<QComboBox*>(w))
                Combo(c);
            else if (auto* e = qobject_cast<QLineEdit*>(w)) {
                if (!e->text().isEmpty())
                    Reads(e, e->text(), e->palette().color(QPalette::Text), e->palette().color(QPalette::Base));
            } else if (auto* t = qobject_cast<QTreeWidget*>(w))
                Reads(t, QStringLiteral("items"), t->palette().color(QPalette::Text),
                      t->palette().color(QPalette::Base));
            else if (auto* g = qobject_cast<CMSFlexGrid*>(w))
                Grid(*g);
        }
    }
};

}  // namespace

class TestDpi : public ProgramFixture {
    Q_OBJECT

private:
    CMainFrame* Start(const QByteArray& language)
    {
        ShellIni ini;
        ini.language = language;
        const bool shown = NewProgramDir(ini) &&
                           StartProgram({QStringLiteral(PROG_SOURCE_DIR "/res/samples/sample.dat")}) &&
                           ShowFrame({1000, 650});
        return shown ? m_frame : nullptr;
    }

    // Walks the main window, then each dialog and message its commands open.
    QStringList WalkAll(CMainFrame* f, QStringList* seen)
    {
        Walker walker;
        walker.Walk(f);
        SetDialogHook([&](QDialog* d) {
            d->show();
            QCoreApplication::processEvents();
            seen->append(d->windowTitle());
            Walker w;
            w.Walk(d);
            for (const QString& p : std::as_const(w.problems))
                walker.problems << d->windowTitle() + QStringLiteral(": ") + p;
            d->hide();
            return int(QDialog::Rejected);
        });
        SetMessageHook([&](const MessageRequest& r) {
            std::unique_ptr<QMessageBox> box(CreateMessageBox(r));
            box->show();
            QCoreApplication::processEvents();
            seen->append(r.caption);
            Walker w;
            w.Walk(box.get());
            for (const QString& p : std::as_const(w.problems))
                walker.problems << r.text.left(30) + QStringLiteral(": ") + p;
            return (r.buttons & QMessageBox::Cancel) ? QMessageBox::Cancel : QMessageBox::No;
        });
        for (int id :
             {ID_OPTION_FEATURES, ID_PRODUCT_INFORMATION, ID_COM_SETUP, ID_LANGUAGE, ID_APP_ABOUT, ID_READ, ID_WRITE,
              ID_FILE_BACKUPS, ID_CHECK_CONNECTION, ID_EDIT_FIND, ID_EDIT_SET_CELLS, ID_FILE_PRINT_PREVIEW}) {
            f->ActiveView()->FocusGrid();
            f->Action(id)->trigger();
            QCoreApplication::processEvents();
            // The Process window is no modal dialog: it stays open beside the main window.
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* d = qobject_cast<QDialog*>(w); d && d->isVisible()) {
                    seen->append(d->windowTitle());
                    Walker each;
                    each.Walk(d);
                    for (const QString& p : std::as_const(each.problems))
                        walker.problems << d->windowTitle() + QStringLiteral(": ") + p;
                    d->reject();
                }
        }
        SetDialogHook(nullptr);
        SetMessageHook(nullptr);
        return walker.problems;
    }

private slots:
    void init() override
    {
        ProgramFixture::init();
        SetHelpHook([](int, const QUrl&) {});
    }
    void cleanup() override
    {
        ProgramFixture::cleanup();
        QApplication::setPalette(QApplication::style()->standardPalette());
    }

    void textsFitAndNothingOverlaps_data()
    {
        QTest::addColumn<QByteArray>("language");
        QTest::newRow("English") << QByteArray("English");
        QTest::newRow("Chinese") << QByteArray("Chinese");
    }
    void textsFitAndNothingOverlaps()
    {
        QFETCH(QByteArray, language);
        CMainFrame* f = Start(language);
        QVERIFY(f);
        QStringList seen;
        const QStringList problems = WalkAll(f, &seen);
        QVERIFY2(seen.size() >= 12, qPrintable(seen.join(QLatin1String(", "))));
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QLatin1Char('\n'))));
    }

    void darkPaletteTextsRead()
    {
        QApplication::setPalette(QPalette(QColor(53, 53, 53)));  // derives light text on dark grounds
        CMainFrame* f = Start("English");
        QVERIFY(f);
        QStringList seen;
        const QStringList problems = WalkAll(f, &seen);
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QLatin1Char('\n'))));
        // When the desktop turns light again the headings are blue again.
        QApplication::setPalette(QApplication::style()->standardPalette());
        QCoreApplication::processEvents();  // the change reaches the widgets posted
        QCOMPARE(f->ActiveView()->Grid().ShownFixedColor(), QColor(0, 50, 240));
    }

    void toolbarPicturesAreDrawnForTheScreen()
    {
        CMainFrame* f = Start("English");
        QVERIFY(f);
        const qreal ratio = f->devicePixelRatioF();
        auto* bar = f->findChild<QToolBar*>(QStringLiteral("ToolBar"));
        QVERIFY(bar);
        int pictures = 0;
        for (QAction* a : bar->actions()) {
            if (a->isSeparator())
                continue;
            ++pictures;
            // Never a small picture enlarged: one with at least as many pixels as the screen shows.
            int widest = 0;
            for (const QSize& s : a->icon().availableSizes())
                widest = std::max(widest, s.width());
            QVERIFY2(widest >= qCeil(18 * ratio), qPrintable(a->text()));
        }
        QCOMPARE(pictures, 9);
    }
};

QTEST_MAIN(TestDpi)
#include "tst_dpi.moc"
