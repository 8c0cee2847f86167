#include "gui/app/LanguageDlg.h"

#include <QDialogButtonBox>
#include <QKeyEvent>
#include <QMainWindow>
#include <QPointer>
#include <QRadioButton>
#include <QStatusBar>
#include <QVBoxLayout>
#include <cstdio>

#include "gui/app/AppContext.h"
#include "gui/app/CommandIds.h"
#include "core/app/Globals.h"
#include "core/app/IniFile.h"
#include "gui/app/MessageBox.h"
#include "gui/app/HelpAccess.h"
#include "gui/app/Relaunch.h"

CLanguageDlg::CLanguageDlg(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("LanguageDlg"));
    setWindowTitle(tr("Language"));
    m_pEnglish = new QRadioButton(tr("English"), this);
    m_pChinese = new QRadioButton(tr("Chinese"), this);
    m_pEnglish->setObjectName(QStringLiteral("radio1006"));
    m_pChinese->setObjectName(QStringLiteral("radio1007"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CLanguageDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pEnglish);
    layout->addWidget(m_pChinese);
    layout->addWidget(buttons);
    SetSelection(g_bChinese ? 1 : 0);
}

int CLanguageDlg::Selection() const
{
    if (m_pChinese->isChecked())
        return 1;
    if (m_pEnglish->isChecked())
        return 0;
    return -1;
}

void CLanguageDlg::SetSelection(int index) { (index == 1 ? m_pChinese : m_pEnglish)->setChecked(true); }

void CLanguageDlg::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F1)
        HtmlHelp(ID_LANGUAGE);
    QDialog::keyPressEvent(event);
}

void RunLanguageCommand(QWidget* parent)
{
    // One dialog per owner, reused.
    static QPointer<CLanguageDlg> dlg;
    if (!dlg || dlg->parent() != parent)
        dlg = new CLanguageDlg(parent);
    dlg->SetSelection(g_bChinese ? 1 : 0);
    if (ExecDialog(dlg) != QDialog::Accepted || dlg->Selection() == static_cast<int>(g_bChinese))
        return;
    // With two choices the one picked is the other language.
    const std::string chosen = g_bChinese ? "English" : "Chinese";
    // The new instance reads Program.ini at once: the choice must be on disk
    // first, written only once every question of the restart is answered. A
    // restart after a failed save would come back in the old language, so the
    // window stays, says why, and the setting is as it was.
    const auto commit = [&chosen] {
        const std::string absent = "\n";  // no value of a line holds one
        const std::string before = theIniFile.GetString("Setup", "Language", absent);
        theIniFile.SetString("Setup", "Language", chosen);
        // The file as it was is kept beside it (Program.ini.001...).
        theIniFile.Save(true);
        if (!theIniFile.SaveFailed())
            return true;
        const QString text = CLanguageDlg::tr("The language choice could not be saved: %1")
                                 .arg(QString::fromStdString(theIniFile.SaveError()));
        if (before == absent)
            theIniFile.DeleteKey("Setup", "Language");
        else
            theIniFile.SetString("Setup", "Language", before);
        std::fprintf(stderr, "Program: %s\n", text.toLocal8Bit().constData());
        std::fflush(stderr);
        if (auto* frame = qobject_cast<QMainWindow*>(MainWindow()))
            frame->statusBar()->showMessage(text);
        return false;
    };
    // The restart ends every transfer and asks about unsaved changes first.
    if (!MayRelaunch(commit))
        return;
    QWidget* main = MainWindow();
    if (main && !main->close())
        return;
    Relaunch();
}
