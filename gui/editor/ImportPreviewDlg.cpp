#include "gui/editor/ImportPreviewDlg.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/editor/ImportPreview.h"

CImportPreviewDlg::CImportPreviewDlg(const QString& file, const ImportPreview& preview, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("ImportPreviewDlg"));
    setWindowTitle(tr("Import Channels"));
    const ImportReport& rep = preview.report;
    m_pSummary = new QLabel(this);
    m_pSummary->setWordWrap(true);
    m_pSummary->setText(tr("Importing %1 replaces the channels on screen:").arg(file) + QLatin1Char('\n') +
                        tr("%n channel(s) added", nullptr, static_cast<int>(preview.added.size())) +
                        QStringLiteral(", ") + tr("%n changed", nullptr, static_cast<int>(preview.changed.size())) +
                        QStringLiteral(", ") +
                        tr("%n emptied (not in the file)", nullptr, static_cast<int>(preview.removed.size())) +
                        QStringLiteral(", ") + tr("%n line(s) refused", nullptr, rep.rejected) + QLatin1Char('.'));
    // The import's own report, as the command-line tool prints it.
    QStringList lines;
    for (const ImportIssue& issue : rep.issues) {
        const QString reason = QString::fromStdString(issue.reason);
        lines << (issue.rejected ? tr("Line %1, refused: %2") : tr("Line %1, changed: %2")).arg(issue.line).arg(reason);
    }
    m_pReport = new QPlainTextEdit(lines.join(QLatin1Char('\n')), this);
    m_pReport->setObjectName(QStringLiteral("ImportReport"));
    m_pReport->setReadOnly(true);
    m_pReport->setVisible(!lines.isEmpty());
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(tr("Import"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pSummary);
    layout->addWidget(m_pReport, 1);
    layout->addWidget(buttons);
    resize(sizeHint().expandedTo(QSize(520, lines.isEmpty() ? 0 : 300)));
}

QString CImportPreviewDlg::Summary() const { return m_pSummary->text(); }

QString CImportPreviewDlg::Report() const { return m_pReport->toPlainText(); }
