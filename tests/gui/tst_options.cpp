// The Option Features dialog offscreen: what it shows for an image, what OK
// writes, that Cancel writes nothing, F1 with the focused control's id, the
// layout of template 132 and its Chinese texts.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QToolTip>
#include <QTranslator>
#include <QUndoStack>
#include <QtTest>
#include <functional>

#include "core/app/Globals.h"
#include "gui/app/MessageBox.h"
#include "gui/app/HelpAccess.h"
#include "gui/options/OptionFeaturesDlg.h"
#include "gui/radio/ProgramDoc.h"

namespace {

// Runs the dialog through DoModal with `body` standing in for the user.
int RunDialog(COptionFeaturesDlg& dlg, const std::function<int(COptionFeaturesDlg&)>& body)
{
    SetDialogHook([&](QDialog* d) {
        auto* options = qobject_cast<COptionFeaturesDlg*>(d);
        return options ? body(*options) : int(QDialog::Rejected);
    });
    const int result = dlg.DoModal();
    SetDialogHook({});
    return result;
}

QString Shown(COptionFeaturesDlg& dlg, int id) { return dlg.List(id)->currentText(); }

int ClickOk(COptionFeaturesDlg& d)
{
    QTest::mouseClick(qobject_cast<QPushButton*>(d.Control(1)), Qt::LeftButton);
    return d.result();
}

int ClickCancel(COptionFeaturesDlg& d)
{
    QTest::mouseClick(qobject_cast<QPushButton*>(d.Control(2)), Qt::LeftButton);
    return d.result();
}

}  // namespace

class TestOptions : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        g_bChinese = 0;
        m_doc.LoadImage(NewDocumentImage());
    }

    void newDocumentShowsItsDefaults()
    {
        COptionFeaturesDlg dlg;
        dlg.SetDocument(&m_doc);
        const int result = RunDialog(dlg, [this](COptionFeaturesDlg& d) {
            const std::pair<int, const char*> expected[] = {
                {optid::kSquelch, "1"},        {optid::kTimeOutTimer, "1"},
                {optid::kVSqlAdjust, "30"},    {optid::kUSqlAdjust, "20"},
                {optid::kStep, "25k"},         {optid::kChannelDisplay, "Off"},
                {optid::kBusy, "Off"},         {optid::kScanMode, "CO"},
                {optid::kLed, "Auto"},         {optid::kKeypadLock, "Manual"},
                {optid::kEncoder, "Off"},      {optid::kPriorityScan, "Off"},
                {optid::kMode, "Frequency"},   {optid::kVoiceSensitivity, "Off"},
                {optid::kBatterySaver, "Off"}, {optid::kCallTone, "Off"},
                {optid::kPriScanTime, "3s"},
            };
            for (const auto& [id, text] : expected)
                EXPECT_SHOWN(d, id, text);
            m_ok = m_ok && d.BeepBox()->isChecked() && d.NameEdit()->text().isEmpty();
            // Lists filled at run time hold exactly the program's items.
            m_ok = m_ok && d.List(optid::kStep)->count() == 5 && d.List(optid::kVSqlAdjust)->count() == 128 &&
                   d.List(optid::kUSqlAdjust)->count() == 128 && d.NameEdit()->maxLength() == 6;
            return ClickCancel(d);
        });
        QVERIFY2(m_ok, qPrintable(m_failure));
        QCOMPARE(result, int(QDialog::Rejected));
    }

    void okWithoutChangesRewritesWhatWasShown()
    {
        {
            Image im = m_doc.GetImage();
            im[mem::kVoiceSensitivity] = 0xE3;  // bits above the field go
            im[mem::kFlags1] |= 0x01;           // a bit no option owns stays
            m_doc.LoadImage(im);
        }
        COptionFeaturesDlg dlg;
        dlg.SetDocument(&m_doc);
        m_doc.ResetHistory();
        const Image before = m_doc.GetImage();
        QCOMPARE(RunDialog(dlg, ClickOk), int(QDialog::Accepted));
        const Image& im = m_doc.GetImage();
        QCOMPARE(int(im[mem::kVSqlAdjust]), 0x1E);
        QCOMPARE(int(im[mem::kUSqlAdjust]), 0x14);
        QCOMPARE(int(im[mem::kBatterySaver]), 0);
        QCOMPARE(int(im[mem::kPriScanTime]), 0);
        QCOMPARE(int(im[mem::kVoiceSensitivity]), 0x03);
        QCOMPARE(int(im[mem::kFlags1]), 0xD5);
        for (int i = 0; i < 6; ++i) {
            QCOMPARE(int(im[mem::kOptionClear + i]), 0xFF);
            QCOMPARE(int(im[mem::kPowerOnName + i]), 0xFF);
        }
        // Everything outside the option bytes is untouched.
        for (int i = 0; i < mem::kOptionClear; ++i)
            QCOMPARE(im[i], before[i]);
        // OK is one undo step of the document.
        m_doc.UndoStack()->undo();
        QVERIFY(m_doc.GetImage() == before);
    }

    void okEncodesTheEditedControls()
    {
        COptionFeaturesDlg dlg;
        dlg.SetDocument(&m_doc);
        RunDialog(dlg, [](COptionFeaturesDlg& d) {
            d.show();
            d.NameEdit()->setFocus();
            QTest::keyClicks(d.NameEdit(), "AB-1XYZ");  // the box stops at six
            d.List(optid::kLed)->setCurrentIndex(2);    // Auto -> On
            d.List(optid::kStep)->setCurrentIndex(2);   // 6.25k
            d.List(optid::kCallTone)->setCurrentIndex(9);
            QTest::mouseClick(d.BeepBox(), Qt::LeftButton);  // unchecks
            return ClickOk(d);
        });
        const Image& im = m_doc.GetImage();
        const int name[6] = {0x0A, 0x0B, 0x24, 0x01, 0x21, 0x22};
        for (int i = 0; i < 6; ++i)
            QCOMPARE(int(im[mem::kPowerOnName + i]), name[i]);
        QCOMPARE((im[mem::kFlags1] >> 2) & 3, 2);
        QCOMPARE(int(im[mem::kStep]), 2);
        QCOMPARE(int(im[mem::kCallTone]), 9);
        QCOMPARE(im[mem::kBeep] & 1, 0);
        QCOMPARE(im[mem::kBeep] & 0xFE, 0xFE);  // the other bits of the Beep byte stay

        // The next opening shows what OK stored.
        dlg.SetDocument(&m_doc);
        RunDialog(dlg, [this](COptionFeaturesDlg& d) {
            EXPECT_SHOWN(d, optid::kLed, "On");
            EXPECT_SHOWN(d, optid::kStep, "6.25k");
            EXPECT_SHOWN(d, optid::kCallTone, "1750");
            m_ok = m_ok && d.NameEdit()->text() == QLatin1String("AB-1XY") && !d.BeepBox()->isChecked();
            return ClickCancel(d);
        });
        QVERIFY2(m_ok, qPrintable(m_failure));
    }

    void powerOnNameTakesOnlyWhatTheRadioShows()
    {
        QList<MessageRequest> messages;
        SetMessageHook([&messages](const MessageRequest& r) {
            messages << r;
            return QMessageBox::Ok;
        });
        COptionFeaturesDlg dlg;
        dlg.SetDocument(&m_doc);
        // Typed: lower case turns to upper case, a space is not taken and the box says why.
        QString typed, tip;
        RunDialog(dlg, [&](COptionFeaturesDlg& d) {
            d.show();
            d.NameEdit()->setFocus();
            QTest::keyClicks(d.NameEdit(), "ab c1");
            typed = d.NameEdit()->text();
            tip = QToolTip::text();
            return ClickOk(d);
        });
        QCOMPARE(typed, QStringLiteral("ABC1"));
        QVERIFY2(tip.contains(QStringLiteral("0-9, A-Z, - and _")), qPrintable(tip));
        QVERIFY(messages.isEmpty());
        const int abc1[6] = {0x0A, 0x0B, 0x0C, 0x01, 0xFF, 0xFF};
        for (int i = 0; i < 6; ++i)
            QCOMPARE(int(m_doc.GetImage()[mem::kPowerOnName + i]), abc1[i]);

        // Put in without typing: OK names the character and the dialog stays open.
        bool stayedOpen = false;
        const int result = RunDialog(dlg, [&](COptionFeaturesDlg& d) {
            d.show();
            d.NameEdit()->setText(QStringLiteral("a b"));
            ClickOk(d);
            stayedOpen = d.isVisible();
            QTest::keyClick(d.NameEdit(), Qt::Key_Backspace);  // OK selected the name: start again
            QTest::keyClicks(d.NameEdit(), "ab");
            return ClickOk(d);
        });
        SetMessageHook({});
        QVERIFY(stayedOpen);
        QCOMPARE(messages.size(), 1);
        QCOMPARE(messages[0].text, QStringLiteral("The power-on name cannot hold \" \".\nThe power-on name takes up "
                                                  "to six characters: 0-9, A-Z, - and _ (lower case becomes upper "
                                                  "case)."));
        QCOMPARE(messages[0].caption, QStringLiteral("Caution"));
        QCOMPARE(result, int(QDialog::Accepted));
        const int ab[6] = {0x0A, 0x0B, 0xFF, 0xFF, 0xFF, 0xFF};
        for (int i = 0; i < 6; ++i)
            QCOMPARE(int(m_doc.GetImage()[mem::kPowerOnName + i]), ab[i]);

        // A code without a character (37) ends the shown name.
        const std::uint8_t stored[6] = {0x0C, 0x0D, 37, 0x0E, 0xFF, 0xFF};
        {
            Image im = m_doc.GetImage();
            std::copy(stored, stored + 6, im.begin() + mem::kPowerOnName);
            m_doc.LoadImage(im);
        }
        QString shown;
        RunDialog(dlg, [&shown](COptionFeaturesDlg& d) {
            shown = d.NameEdit()->text();
            return ClickCancel(d);
        });
        QCOMPARE(shown, QStringLiteral("CD"));
    }

    void fallbacksAndValuesBeyondTheLists()
    {
        {
            Image im = m_doc.GetImage();
            im[mem::kVSqlAdjust] = 0x80;  // >= 128: item 30
            im[mem::kUSqlAdjust] = 0x7F;
            im[mem::kBatterySaver] = 9;  // whole byte beyond the list: item 0
            im[mem::kPriScanTime] = 4;
            im[mem::kSquelch] = 0x0C;                              // masked 12 of 10 items: no selection
            im[mem::kFlags1] = (im[mem::kFlags1] & ~0x3C) | 0x3C;  // scan 3, LED 3
            m_doc.LoadImage(im);
        }
        COptionFeaturesDlg dlg;
        dlg.SetDocument(&m_doc);
        int squelchIndex = 0;
        RunDialog(dlg, [&](COptionFeaturesDlg& d) {
            EXPECT_SHOWN(d, optid::kVSqlAdjust, "30");
            EXPECT_SHOWN(d, optid::kUSqlAdjust, "127");
            EXPECT_SHOWN(d, optid::kBatterySaver, "Off");
            EXPECT_SHOWN(d, optid::kPriScanTime, "3s");
            EXPECT_SHOWN(d, optid::kScanMode, "TO");
            EXPECT_SHOWN(d, optid::kLed, "On");
            squelchIndex = d.List(optid::kSquelch)->currentIndex();
            return ClickOk(d);
        });
        QVERIFY2(m_ok, qPrintable(m_failure));
        QCOMPARE(squelchIndex, -1);
        // An empty list is stored as its "none" value: the low bits of -1.
        QCOMPARE(int(m_doc.GetImage()[mem::kSquelch]), 0x0F);
        QCOMPARE(int(m_doc.GetImage()[mem::kVSqlAdjust]), 30);
    }

    void cancelChangesNothing()
    {
        {
            Image im = m_doc.GetImage();
            for (int i = 0; i < 6; ++i)
                im[mem::kOptionClear + i] = static_cast<std::uint8_t>(i);
            im[mem::kVSqlAdjust] = 0x90;
            m_doc.LoadImage(im);
        }
        const Image before = m_doc.GetImage();
        COptionFeaturesDlg dlg;
        dlg.SetDocument(&m_doc);
        QCOMPARE(RunDialog(dlg,
                           [](COptionFeaturesDlg& d) {
                               d.NameEdit()->setText(QStringLiteral("ZZZ"));
                               for (const OptionControl& c : OptionControls())
                                   if (c.kind == OptionKind::List)
                                       d.List(c.id)->setCurrentIndex(1);
                               return ClickCancel(d);
                           }),
                 int(QDialog::Rejected));
        QVERIFY(m_doc.GetImage() == before);

        // Escape is Cancel too.
        RunDialog(dlg, [](COptionFeaturesDlg& d) {
            d.show();
            d.List(optid::kLed)->setCurrentIndex(0);
            QTest::keyClick(&d, Qt::Key_Escape);
            return d.result();
        });
        QVERIFY(m_doc.GetImage() == before);
    }

    void withoutDocumentNothingOpens()
    {
        COptionFeaturesDlg dlg;  // no main frame, no document
        bool opened = false;
        const int result = RunDialog(dlg, [&opened](COptionFeaturesDlg&) {
            opened = true;
            return int(QDialog::Accepted);
        });
        QVERIFY(!opened);
        QCOMPARE(result, int(QDialog::Rejected));
    }

    void f1AsksForTheFocusedControl()
    {
        COptionFeaturesDlg dlg;
        dlg.SetDocument(&m_doc);
        QSignalSpy spy(&dlg, &COptionFeaturesDlg::HelpRequested);
        // The program's own English help collection, so the requests reach the help.
        g_strHelpFile = "enHelp.chm";
        SetHelpDirectory(QStringLiteral(PROG_BIN_DIR));
        ResetHelpState();
        QList<int> helped;
        SetHelpHook([&helped](int context, const QUrl&) { helped << context; });
        RunDialog(dlg, [](COptionFeaturesDlg& d) {
            d.show();
            d.activateWindow();
            if (!QTest::qWaitForWindowActive(&d))
                return int(QDialog::Rejected);
            for (int id : {optid::kScanMode, optid::kPowerOnName, optid::kBeep, optid::kUSqlAdjust, 1}) {
                d.Control(id)->setFocus();
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_F1);
            }
            return ClickCancel(d);
        });
        SetHelpHook({});
        QCOMPARE(spy.count(), 5);
        const int expected[5] = {optid::kScanMode, optid::kPowerOnName, optid::kBeep, optid::kUSqlAdjust, 1};
        for (int i = 0; i < 5; ++i)
            QCOMPARE(spy.at(i).at(0).toInt(), expected[i]);
        QVERIFY(!IsHelpUnavailable());
        QCOMPARE(helped, QList<int>(std::begin(expected), std::end(expected)));
        // As the program does at exit: the engine's worker threads end with it,
        // not under the toolkit's teardown.
        CloseHelp();
    }

    void layoutFollowsTheTemplate()
    {
        COptionFeaturesDlg dlg;
        dlg.SetDocument(&m_doc);
        RunDialog(dlg, [this](COptionFeaturesDlg& d) {
            d.show();
            Expect(QTest::qWaitForWindowExposed(&d), "dialog shown");
            QList<const OptionControl*> left;
            QList<const OptionControl*> right;
            for (const OptionControl& c : OptionControls())
                (c.column == OptionColumn::Left ? left : right) << &c;
            CheckColumn(d, left);
            right.removeLast();  // Beep sits with the buttons
            CheckColumn(d, right);
            const int leftX = d.Control(left.first()->id)->x();
            const int rightX = d.Control(right.first()->id)->x();
            Expect(leftX < rightX, "left column left of the right column");
            const int ok = d.Control(1)->x();
            const int beep = d.BeepBox()->x();
            const int cancel = d.Control(2)->x();
            Expect(ok < beep && beep < cancel, "Beep between OK and Cancel");
            Expect(d.Control(1)->y() > d.Control(optid::kUSqlAdjust)->y(), "buttons under the columns");
            // Each list stands to the right of its label, on its row.
            for (const OptionControl* c : left + right) {
                auto* label = qobject_cast<QLabel*>(LabelFor(d, c->id));
                Expect(label && label->x() < d.Control(c->id)->x() &&
                           qAbs(label->geometry().center().y() - d.Control(c->id)->geometry().center().y()) < 8,
                       c->labelEn);
            }
            return ClickCancel(d);
        });
        QVERIFY2(m_ok, qPrintable(m_failure));
    }

    void chineseModuleTranslatesTheDialog()
    {
        QTranslator chinese;
        QVERIFY(chinese.load(QStringLiteral(PROG_BIN_DIR "/Chinese.qm")));
        QCoreApplication::installTranslator(&chinese);
        g_bChinese = 1;
        COptionFeaturesDlg dlg;
        dlg.SetDocument(&m_doc);
        QCoreApplication::removeTranslator(&chinese);
        RunDialog(dlg, [this](COptionFeaturesDlg& d) {
            Expect(d.windowTitle() == QString::fromUtf8("可选功能"), "caption");
            Expect(d.BeepBox()->text() == QString::fromUtf8("提示音"), "Beep");
            const std::pair<int, const char*> labels[] = {
                {optid::kScanMode, "扫描模式"}, {optid::kPowerOnName, "开机名称"}, {optid::kKeypadLock, "键盘锁定"}};
            for (const auto& [id, text] : labels) {
                auto* label = qobject_cast<QLabel*>(LabelFor(d, id));
                Expect(label && label->text() == QString::fromUtf8(text), text);
            }
            const std::pair<int, QStringList> lists[] = {
                {optid::kMode, {"信道", "频率", "存储"}},
                {optid::kLed, {"关", "自动", "开"}},
                {optid::kTimeOutTimer, {"关", "1", "3", "10"}},
            };
            for (const auto& [id, wanted] : lists) {
                QStringList shown;
                for (int i = 0; i < d.List(id)->count(); ++i)
                    shown << d.List(id)->itemText(i);
                Expect(shown == wanted, shown.join(QLatin1Char(',')));
            }
            Expect(qobject_cast<QPushButton*>(d.Control(2))->text() == QString::fromUtf8("取消"), "Cancel");
            EXPECT_SHOWN(d, optid::kLed, "自动");
            EXPECT_SHOWN(d, optid::kMode, "频率");
            return ClickCancel(d);
        });
        g_bChinese = 0;
        QVERIFY2(m_ok, qPrintable(m_failure));
    }

    void cleanup()
    {
        m_ok = true;
        m_failure.clear();
    }

private:
    // Checks inside the dialog hook collect failures instead of returning early,
    // so the dialog is always closed.
    void Expect(bool condition, const QString& what)
    {
        if (!condition && m_ok) {
            m_ok = false;
            m_failure = what;
        }
    }
    void EXPECT_SHOWN(COptionFeaturesDlg& d, int id, const char* text)
    {
        const QString shown = Shown(d, id);
        Expect(shown == QString::fromUtf8(text),
               QStringLiteral("%1 shows '%2', expected '%3'").arg(OptionLabel(id, false), shown, text));
    }
    static QWidget* LabelFor(COptionFeaturesDlg& d, int id)
    {
        for (QLabel* l : d.findChildren<QLabel*>())
            if (l->buddy() == d.Control(id))
                return l;
        return nullptr;
    }
    void CheckColumn(COptionFeaturesDlg& d, const QList<const OptionControl*>& column)
    {
        for (int i = 1; i < column.size(); ++i) {
            QWidget* above = d.Control(column[i - 1]->id);
            QWidget* below = d.Control(column[i]->id);
            Expect(above->y() < below->y() && above->x() == below->x(),
                   QStringLiteral("%1 above %2").arg(column[i - 1]->labelEn, column[i]->labelEn));
        }
    }

    CProgramDoc m_doc;
    bool m_ok = true;
    QString m_failure;
};

QTEST_MAIN(TestOptions)
#include "tst_options.moc"
