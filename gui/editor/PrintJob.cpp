#include "gui/editor/PrintJob.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGraphicsView>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QToolBar>
#include <QToolButton>
#include <algorithm>

#include "core/app/Globals.h"
#include "core/app/IniFile.h"
#include "gui/app/AppPrinter.h"
#include "gui/app/FileDialogs.h"
#include "gui/app/LastFolder.h"
#include "gui/app/MessageBox.h"
#include "gui/app/StringTable.h"
#include "gui/radio/ProgramDoc.h"
#include "report/ReportPrinter.h"

namespace {

QString Tr(const char* text) { return QCoreApplication::translate("ReportPrinter", text); }

void ReportFailure(QWidget* parent, const QString& reason)
{
    AppMessageBox(parent, reason, QMessageBox::Ok, QMessageBox::Warning, LoadStringRes(IDS_CAUTION));
}

// The report in the language of the running program, with its owner in the footer.
ReportSettings Settings() { return ReportSettingsFromIni(theIniFile, g_strLanguage, g_bChinese != 0); }

// The job on a printer: the page range its dialog chose, else every page;
// afterwards the printer's own verdict.
bool PrintOn(CReportPrinter& report, QPrinter& printer, QString* error)
{
    int from = 1;
    int to = report.PageCount();
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        from = std::max(1, printer.fromPage());
        to = printer.toPage() > 0 ? std::min(report.PageCount(), printer.toPage()) : report.PageCount();
    }
    if (!report.Print(printer, from, to, error))
        return false;
    if (printer.printerState() == QPrinter::Error) {
        if (error)
            *error = Tr("The printer reported an error.");
        return false;
    }
    return true;
}

}  // namespace

CPrintJob::CPrintJob(const ITextGrid& grid, CProgramDoc* doc, QWidget* parent)
    : m_grid(grid), m_pDocument(doc), m_pParent(parent)
{
}

void CPrintJob::Print()
{
    if (!m_pDocument)
        return;
    CReportPrinter report(m_grid, m_pDocument->GetImage(), Settings());
    const int pages = report.OnPreparePrinting();
    m_pages = report.Pagination();

    QPrinter& printer = AppPrinter();
    QPrintDialog dialog(&printer, m_pParent);
    dialog.setMinMax(1, pages);
    dialog.setFromTo(1, pages);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
    dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
    // A PDF not yet chosen in this run goes where the last one went.
    if (printer.outputFileName().isEmpty())
        if (const QString folder = LastFolder(FolderKind::Report); !folder.isEmpty())
            if (auto* file = dialog.findChild<QLineEdit*>(QStringLiteral("filename")))
                file->setText(QDir(folder).filePath(QFileInfo(m_pDocument->GetTitle()).completeBaseName() +
                                                    QStringLiteral(".pdf")));
    // Without a printer, and without a file among the dialog's choices (Windows
    // offers "Microsoft Print to PDF" as a printer, where it has one), the
    // report goes into a PDF file.
    if (!dialog.findChild<QLineEdit*>(QStringLiteral("filename")) && QPrinterInfo::availablePrinterNames().isEmpty()) {
        PrintToPdfFile(report);
        m_pages = report.Pagination();
        return;
    }
    if (ExecDialog(&dialog) != QDialog::Accepted)
        return;  // cancelling the print dialog ends the job
    QString error;
    if (!PrintOn(report, printer, &error))
        ReportFailure(m_pParent, error);
    else if (printer.outputFormat() == QPrinter::PdfFormat)
        RememberFolder(FolderKind::Report, printer.outputFileName());
    m_pages = report.Pagination();
}

void CPrintJob::PrintToPdfFile(CReportPrinter& report)
{
    QFileDialog dlg(m_pParent, Tr("No printer is installed: save the report as PDF"));
    dlg.setObjectName(QStringLiteral("ReportPdfDlg"));
    UseProgramFileDialog(dlg);
    dlg.setAcceptMode(QFileDialog::AcceptSave);
    dlg.setNameFilter(Tr("PDF files (*.pdf)"));
    dlg.setDefaultSuffix(QStringLiteral("pdf"));
    OpenInLastFolder(dlg, FolderKind::Report);
    dlg.selectFile(QFileInfo(m_pDocument->GetTitle()).completeBaseName() + QStringLiteral(".pdf"));
    if (ExecDialog(&dlg) != QDialog::Accepted || dlg.selectedFiles().isEmpty())
        return;
    const QString path = dlg.selectedFiles().constFirst();
    QPrinter& printer = AppPrinter();
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    printer.setPrintRange(QPrinter::AllPages);
    QString error;
    const bool printed = PrintOn(report, printer, &error);
    // The printer stays the system's for the next job, which may find one.
    printer.setOutputFileName(QString());
    printer.setOutputFormat(QPrinter::NativeFormat);
    if (!printed)
        ReportFailure(m_pParent, error);
    else
        RememberFolder(FolderKind::Report, path);
}

void CPrintJob::PrintDirect()
{
    if (!m_pDocument)
        return;
    QPrinter& printer = AppPrinter();
    // Straight to the printer Print Setup chose, else the system's default one.
    if (printer.outputFormat() == QPrinter::NativeFormat && !printer.isValid()) {
        const QPrinterInfo fallback = QPrinterInfo::defaultPrinter();
        if (fallback.isNull()) {
            ReportFailure(m_pParent, Tr("No printer is installed."));
            return;
        }
        printer.setPrinterName(fallback.printerName());
    }
    CReportPrinter report(m_grid, m_pDocument->GetImage(), Settings());
    report.OnPreparePrinting();
    m_pages = report.Pagination();
    printer.setPrintRange(QPrinter::AllPages);
    QString error;
    if (!PrintOn(report, printer, &error))
        ReportFailure(m_pParent, error);
}

void CPrintJob::Preview()
{
    if (!m_pDocument)
        return;
    CReportPrinter report(m_grid, m_pDocument->GetImage(), Settings());
    report.OnPreparePrinting();
    m_pages = report.Pagination();

    QPrintPreviewDialog preview(&AppPrinter(), m_pParent);
    preview.setObjectName(QStringLiteral("PrintPreview"));
    preview.setWindowTitle(Tr("Print Preview"));
    // Qt's preview names none of its parts for a screen reader, and its
    // commands (print, zoom, pages) are buttons Tab would pass over.
    for (QToolBar* bar : preview.findChildren<QToolBar*>()) {
        bar->setAccessibleName(Tr("Print Preview"));
        for (QToolButton* button : bar->findChildren<QToolButton*>()) {
            button->setFocusPolicy(Qt::TabFocus);
            if (button->objectName() == QLatin1String("qt_toolbar_ext_button"))
                button->setAccessibleName(Tr("More commands"));
        }
    }
    for (QLineEdit* edit : preview.findChildren<QLineEdit*>())
        edit->setAccessibleName(qobject_cast<QComboBox*>(edit->parentWidget()) ? Tr("Zoom") : Tr("Page"));
    for (QComboBox* zoom : preview.findChildren<QComboBox*>())
        zoom->setAccessibleName(Tr("Zoom"));
    for (QGraphicsView* pages : preview.findChildren<QGraphicsView*>()) {
        pages->setAccessibleName(Tr("Pages"));
        pages->viewport()->setAccessibleName(Tr("Pages"));
    }
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview, [&report](QPrinter* printer) {
        // The preview shows the whole job whatever range the last print used.
        printer->setPrintRange(QPrinter::AllPages);
        QString ignored;
        PrintOn(report, *printer, &ignored);
    });
    ExecDialog(&preview);
}
