#include "gui/editor/ImportPreviewDlg.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "core/exchange/ImportPreview.h"
#include "core/exchange/StockLists.h"
#include "gui/app/MessageBox.h"
#include "gui/app/ShownText.h"

namespace {

QString ReasonText(ImportReason reason)
{
    switch (reason) {
    case ImportReason::NameShortened: return CImportPreviewDlg::tr("name shortened");
    case ImportReason::NameUpperCase: return CImportPreviewDlg::tr("name in upper case");
    case ImportReason::PowerMapped: return CImportPreviewDlg::tr("power mapped from watts");
    case ImportReason::OtherChange: return CImportPreviewDlg::tr("other change");
    case ImportReason::OutsideBands: return CImportPreviewDlg::tr("outside the radio's bands");
    case ImportReason::OffStep: return CImportPreviewDlg::tr("off the 2.5 kHz and 6.25 kHz steps");
    case ImportReason::ModeUnsupported: return CImportPreviewDlg::tr("mode the radio cannot do");
    case ImportReason::ToneUnsupported: return CImportPreviewDlg::tr("tone or code the radio cannot hold");
    case ImportReason::LocationOutside: return CImportPreviewDlg::tr("location outside 0-199");
    case ImportReason::NoChannelLeft: return CImportPreviewDlg::tr("no channel left");
    case ImportReason::Duplicate: return CImportPreviewDlg::tr("channel given twice");
    case ImportReason::BadValue: return CImportPreviewDlg::tr("bad value");
    case ImportReason::Count: break;
    }
    return {};
}

// "outside the radio's bands (4), name shortened (2)": the groups of one side, largest first.
QString Groups(const ImportReport& rep, bool refusals)
{
    std::vector<ImportReason> kinds;
    for (int k = 0; k < static_cast<int>(ImportReason::Count); ++k)
        if (rep.Count(static_cast<ImportReason>(k)) > 0 && IsRefusal(static_cast<ImportReason>(k)) == refusals)
            kinds.push_back(static_cast<ImportReason>(k));
    std::stable_sort(kinds.begin(), kinds.end(),
                     [&](ImportReason a, ImportReason b) { return rep.Count(a) > rep.Count(b); });
    QStringList items;
    for (ImportReason r : kinds)
        items << QStringLiteral("%1 (%2)").arg(ReasonText(r)).arg(rep.Count(r));
    return items.join(QStringLiteral(", "));
}

}  // namespace

CImportPreviewDlg::CImportPreviewDlg(const QString& file, const ITextGrid& current, std::string text, CsvFormat format,
                                     bool chinese, QWidget* parent)
    : QDialog(parent),
      m_file(file),
      m_current(current),
      m_text(std::move(text)),
      m_format(format),
      m_chinese(chinese),
      m_preview(std::make_unique<ImportPreview>())
{
    setObjectName(QStringLiteral("ImportPreviewDlg"));
    setWindowTitle(tr("Import Channels"));

    auto* placing = new QGroupBox(tr("Where the rows go"), this);
    m_pRenumber = new QCheckBox(tr("Renumber from channel"), placing);
    m_pRenumber->setObjectName(QStringLiteral("RenumberCheck"));
    m_pFrom = new QSpinBox(placing);
    m_pFrom->setObjectName(QStringLiteral("RenumberFrom"));
    m_pFrom->setRange(0, kGridRows - 2);
    m_pFrom->setSpecialValueText(QStringLiteral("Pr"));
    m_pFrom->setValue(1);
    m_pFrom->setEnabled(false);
    m_pReplace = new QRadioButton(tr("Replace all channels (those not in the file become empty)"), placing);
    m_pReplace->setObjectName(QStringLiteral("ReplaceChannels"));
    m_pReplace->setChecked(true);
    m_pMerge = new QRadioButton(tr("Merge: keep the channels the file does not carry"), placing);
    m_pMerge->setObjectName(QStringLiteral("MergeChannels"));
    // Nothing above the buttons grows or shrinks with the preview.
    placing->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    auto* renumberRow = new QHBoxLayout;
    renumberRow->addWidget(m_pRenumber);
    renumberRow->addWidget(m_pFrom);
    renumberRow->addStretch(1);
    auto* placingLayout = new QVBoxLayout(placing);
    placingLayout->addLayout(renumberRow);
    placingLayout->addWidget(m_pReplace);
    placingLayout->addWidget(m_pMerge);

    // The list's own notes: its source, and what a licence allows there.
    QStringList notes;
    for (const std::string& note : CsvListNotes(m_text, m_chinese))
        notes << ShownName(note);
    if (!notes.isEmpty()) {
        m_pNotes = new QPlainTextEdit(notes.join(QLatin1Char('\n')), this);
        m_pNotes->setObjectName(QStringLiteral("ImportNotes"));
        m_pNotes->setAccessibleName(tr("Notes in the file"));
        m_pNotes->setReadOnly(true);
        m_pNotes->setFixedHeight(m_pNotes->fontMetrics().lineSpacing() * 6 + 8);
    }
    m_pSummary = new QLabel(this);
    m_pSummary->setObjectName(QStringLiteral("ImportSummary"));
    m_pSummary->setTextFormat(Qt::PlainText);  // it names the file
    m_pSummary->setWordWrap(true);
    m_pSummary->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // Room for its longest form, so that the controls stay where the pointer is.
    m_pSummary->setMinimumHeight(m_pSummary->fontMetrics().lineSpacing() * 9);
    m_pSummary->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    m_pReport = new QPlainTextEdit(this);
    m_pReport->setObjectName(QStringLiteral("ImportReport"));
    m_pReport->setAccessibleName(tr("Changed and refused lines"));
    m_pReport->setPlaceholderText(tr("No line is changed or refused."));
    m_pReport->setReadOnly(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_pImport = buttons->button(QDialogButtonBox::Ok);
    m_pImport->setText(tr("Import"));
    m_pCancel = buttons->button(QDialogButtonBox::Cancel);
    // The summary and every line of the report, for a message to the list's author.
    QPushButton* copy = buttons->addButton(tr("Cop&y"), QDialogButtonBox::ActionRole);
    copy->setObjectName(QStringLiteral("ImportCopy"));
    copy->setAutoDefault(false);
    connect(copy, &QPushButton::clicked, this,
            [this] { QApplication::clipboard()->setText(Summary() + QLatin1Char('\n') + Report()); });
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_pRenumber, &QCheckBox::toggled, m_pFrom, &QWidget::setEnabled);
    connect(m_pRenumber, &QCheckBox::toggled, this, &CImportPreviewDlg::Update);
    connect(m_pFrom, &QSpinBox::valueChanged, this, &CImportPreviewDlg::Update);
    connect(m_pMerge, &QRadioButton::toggled, this, &CImportPreviewDlg::Update);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(placing);
    if (m_pNotes) {
        auto* notesLabel = new QLabel(tr("&Notes in the file:"), this);
        notesLabel->setBuddy(m_pNotes);
        layout->addWidget(notesLabel);
        layout->addWidget(m_pNotes);
    }
    layout->addWidget(m_pSummary);
    layout->addWidget(m_pReport, 1);
    layout->addWidget(buttons);
    Update();
    resize(sizeHint().expandedTo(QSize(600, m_pNotes ? 560 : 440)));
}

CImportPreviewDlg::~CImportPreviewDlg() = default;

ImportOptions CImportPreviewDlg::Options() const
{
    ImportOptions options;
    options.merge = m_pMerge->isChecked();
    options.renumberFrom = m_pRenumber->isChecked() ? m_pFrom->value() : -1;
    return options;
}

void CImportPreviewDlg::Update()
{
    *m_preview = PreviewImport(m_current, m_text, m_format, m_chinese, Options());
    const ImportPreview& preview = *m_preview;
    const ImportReport& rep = preview.report;
    QString summary = (m_pMerge->isChecked() ? tr("Importing %1 merges into the channels on screen:")
                                             : tr("Importing %1 replaces the channels on screen:"))
                          .arg(ShownName(m_file)) +
                      QLatin1Char('\n') + tr("%n channel(s) added", nullptr, static_cast<int>(preview.added.size())) +
                      QStringLiteral(", ") + tr("%n changed", nullptr, static_cast<int>(preview.changed.size())) +
                      QStringLiteral(", ") +
                      tr("%n emptied (not in the file)", nullptr, static_cast<int>(preview.removed.size())) +
                      QStringLiteral(", ") + tr("%n line(s) refused", nullptr, rep.rejected) + QLatin1Char('.');
    // The summary by reason, as the command-line tool ends its report.
    summary += QLatin1Char('\n') + tr("%n row(s) imported", nullptr, rep.channels);
    if (rep.receiveOnly > 0)
        summary +=
            QLatin1Char('\n') + (rep.receiveOnly == rep.channels
                                     ? tr("Every channel is receive only: no Tx frequency, nothing to transmit on.")
                                     : tr("%n channel(s) receive only: no Tx frequency.", nullptr, rep.receiveOnly));
    if (rep.changedRows > 0)
        summary += QLatin1Char('\n') + tr("Changed: %1").arg(Groups(rep, false));
    if (rep.rejected > 0)
        summary += QLatin1Char('\n') + tr("Refused: %1").arg(Groups(rep, true));
    // The rule progtool applies before it asks for --force: here the user is
    // told, and Enter no longer imports.
    const bool emptiesMost = preview.EmptiesMost();
    if (emptiesMost)
        summary += QLatin1Char('\n') +
                   tr("Caution: this empties %1 of the %2 channels in use. Is it the right file, and complete?")
                       .arg(preview.removed.size())
                       .arg(preview.usedBefore);
    // A list for another radio type gives nothing to import; the window says so before it shows.
    if (preview.FitsNoBand())
        summary += QLatin1Char('\n') + QString::fromStdString(FitsNoBandText(preview, m_chinese));
    m_pSummary->setText(summary);
    m_pImport->setEnabled(!preview.FitsNoBand());
    m_pImport->setDefault(!emptiesMost);
    m_pImport->setAutoDefault(!emptiesMost);
    m_pCancel->setDefault(emptiesMost);

    QStringList lines;
    for (const std::string& note : rep.notes)
        lines << QString::fromStdString(note);
    for (const ImportIssue& issue : rep.issues) {
        const QString reason = QString::fromStdString(issue.reason);
        lines << (issue.rejected ? tr("Line %1, refused: %2") : tr("Line %1, changed: %2")).arg(issue.line).arg(reason);
    }
    if (rep.unlisted > 0)
        lines << tr("... and %n more line(s), counted in the summary", nullptr, rep.unlisted);
    m_pReport->setPlainText(lines.join(QLatin1Char('\n')));
}

void CImportPreviewDlg::accept()
{
    const ImportPreview& preview = *m_preview;
    if (preview.FitsNoBand())
        return;
    // As progtool asks for --force: a replace that empties most channels is most
    // likely the wrong file, or one cut short.
    if (preview.EmptiesMost()) {
        MessageRequest r;
        r.parent = this;
        r.text = tr("Replacing the channels with those of %1 empties %2 of the %3 channels in use (the file gives "
                    "%4).\nReplace them all the same? Merge keeps the channels the file does not carry.")
                     .arg(ShownName(m_file))
                     .arg(preview.removed.size())
                     .arg(preview.usedBefore)
                     .arg(preview.report.channels);
        r.buttons = QMessageBox::Yes | QMessageBox::No;
        r.defaultButton = QMessageBox::No;
        r.icon = QMessageBox::Warning;
        if (AppMessageBox(r) != QMessageBox::Yes)
            return;
    }
    QDialog::accept();
}

QString CImportPreviewDlg::Notes() const { return m_pNotes ? m_pNotes->toPlainText() : QString(); }

QString CImportPreviewDlg::Summary() const { return m_pSummary->text(); }

QString CImportPreviewDlg::Report() const { return m_pReport->toPlainText(); }
