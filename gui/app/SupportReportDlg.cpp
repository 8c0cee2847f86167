#include "gui/app/FileDialogs.h"
#include "gui/app/SupportReportDlg.h"

#include <algorithm>

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/app/Globals.h"
#include "core/app/IniFile.h"
#include "core/files/FileIO.h"
#include "core/link/SupportReport.h"
#include "gui/app/CommandIds.h"
#include "gui/app/HelpAccess.h"
#include "gui/app/LastFolder.h"
#include "gui/app/MessageBox.h"
#include "gui/app/ShownText.h"
#include "bridge/CorePath.h"

CSupportReportDlg::CSupportReportDlg(QWidget* parent, DocumentSource document, OpenFileTest isOpenFile)
    : QDialog(parent), m_document(std::move(document)), m_isOpenFile(std::move(isOpenFile))
{
    setObjectName(QStringLiteral("SupportReportDlg"));
    setWindowTitle(tr("Save Support Report"));
    auto* layout = new QVBoxLayout(this);
    m_pPreview = new QPlainTextEdit(this);
    m_pPreview->setObjectName(QStringLiteral("Preview"));
    m_pPreview->setReadOnly(true);
    m_pPreview->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    m_pPreview->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_pPreview->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    layout->addWidget(m_pPreview);

    Image probe{};
    QString name;
    m_pInclude = new QCheckBox(tr("&Include the open document (its channels and options)"), this);
    m_pInclude->setObjectName(QStringLiteral("IncludeDocument"));
    m_pInclude->setEnabled(m_document && m_document(probe, name));
    connect(m_pInclude, &QCheckBox::toggled, this, [this] { Regenerate(); });
    layout->addWidget(m_pInclude);

    auto* buttons = new QDialogButtonBox(this);
    m_pSave = buttons->addButton(tr("&Save..."), QDialogButtonBox::AcceptRole);
    m_pSave->setObjectName(QStringLiteral("Save"));
    QPushButton* copy = buttons->addButton(tr("&Copy"), QDialogButtonBox::ActionRole);
    copy->setObjectName(QStringLiteral("Copy"));
    QPushButton* close = buttons->addButton(QDialogButtonBox::Close);
    close->setText(tr("Close"));
    close->setObjectName(QStringLiteral("Close"));
    // Save keeps the dialog open when the file cannot be written: not the box's accept.
    disconnect(buttons, &QDialogButtonBox::accepted, this, nullptr);
    connect(m_pSave, &QPushButton::clicked, this, [this] { OnSave(); });
    connect(copy, &QPushButton::clicked, this, [this] { OnCopy(); });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    layout->addWidget(buttons);
    m_pSave->setDefault(true);
    resize(720, 520);
    Regenerate();
}

QString CSupportReportDlg::ReportText() const { return m_pPreview->toPlainText(); }

void CSupportReportDlg::Regenerate()
{
    SupportFacts facts;
    facts.program = "Program";
    facts.qt = qVersion();
    facts.chinese = g_bChinese != 0;
    facts.ini = &theIniFile;
    ChannelDocument doc;
    Image image{};
    QString name;
    if (m_pInclude->isChecked() && m_document && m_document(image, name)) {
        doc.Open(image, facts.chinese);
        facts.document = &doc;
        facts.documentName = CorePath(name);
    }
    m_pPreview->setPlainText(QString::fromStdString(SupportReportText(BuildSupportReport(facts))));
}

void CSupportReportDlg::OnSave()
{
    QFileDialog dlg(this, tr("Save Support Report"));
    dlg.setObjectName(QStringLiteral("SaveSupportReportDlg"));
    UseProgramFileDialog(dlg);
    dlg.setAcceptMode(QFileDialog::AcceptSave);
    dlg.setFileMode(QFileDialog::AnyFile);
    dlg.setNameFilters({tr("Text files (*.txt)"), tr("All files (*)")});
    dlg.setDefaultSuffix(QStringLiteral("txt"));
    OpenInLastFolder(dlg, FolderKind::Support);
    dlg.selectFile(QString::fromStdString(DefaultSupportReportName()));
    if (ExecDialog(&dlg) != QDialog::Accepted || dlg.selectedFiles().isEmpty())
        return;
    const QString path = dlg.selectedFiles().constFirst();
    // The file dialog's overwrite question does not say the file is a document being edited.
    if (m_isOpenFile && m_isOpenFile(path)) {
        AppMessageBox(this, tr("%1 is an open document: the support report is not saved over it. Choose another name.")
                                .arg(ShownName(path)));
        return;
    }
    const std::vector<std::string> quoted = SupportReportInputs(&theIniFile);
    if (std::any_of(quoted.begin(), quoted.end(),
                    [&](const std::string& in) { return SameFile(CorePath(path), in); })) {
        AppMessageBox(this, tr("%1 is a file the support report quotes (such as Program.ini): the report is not saved "
                               "over it. Choose another name.")
                                .arg(ShownName(path)));
        return;
    }
    const std::string text = ReportText().toStdString();
    // Written whole or not at all; a failure leaves the dialog open to try elsewhere.
    const FileResult saved = WriteFileAtomically(CorePath(path), text.data(), text.size());
    if (!saved.ok) {
        AppMessageBox(this, tr("The support report cannot be saved to %1: %2")
                                .arg(ShownName(path), QString::fromStdString(saved.error)));
        return;
    }
    RememberFolder(FolderKind::Support, path);
    accept();
}

void CSupportReportDlg::OnCopy() { QApplication::clipboard()->setText(ReportText()); }

void CSupportReportDlg::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F1) {
        HtmlHelp(ID_SUPPORT_REPORT);
        return;
    }
    QDialog::keyPressEvent(event);
}
