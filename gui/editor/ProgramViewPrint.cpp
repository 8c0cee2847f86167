// The view's printing commands: Print (with the print dialog), Print Direct
// (the default printer, no dialog) and Print Preview. The pages themselves are
// CReportPrinter's; the printer settings are shared with Print Setup.
#include <QCoreApplication>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <algorithm>

#include "gui/app/AppPrinter.h"
#include "gui/app/MessageBox.h"
#include "gui/app/StringTable.h"
#include "gui/editor/ProgramView.h"
#include "gui/editor/ReportPrinter.h"
#include "gui/radio/ProgramDoc.h"

namespace {

QString Tr(const char* text)
{
    return QCoreApplication::translate("ReportPrinter", text);
}

void ReportFailure(QWidget* parent, const QString& reason)
{
    AppMessageBox(parent, reason, QMessageBox::Ok, QMessageBox::Warning, LoadStringRes(IDS_CAUTION));
}

// OnPreparePrinting: the job's size, and the view's copy of the page boundaries.
int PreparePrinting(CProgramView& view, CReportPrinter& report)
{
    const int pages = report.OnPreparePrinting();
    const ChannelPagination& p = report.Pagination();
    std::copy(p.m_pageEnd.begin(), p.m_pageEnd.end(), view.m_pageEnd);
    view.m_nChannelCount = p.m_nChannelCount;
    return pages;
}

}  // namespace

void CProgramView::OnFilePrint()
{
    if (!GetDocument())
        return;
    CReportPrinter report(Grid(), GetDocument()->m_image);
    const int pages = PreparePrinting(*this, report);

    QPrinter& printer = AppPrinter();
    QPrintDialog dialog(&printer, this);
    dialog.setMinMax(1, pages);
    dialog.setFromTo(1, pages);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
    dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
    if (ExecDialog(&dialog) != QDialog::Accepted)
        return;  // cancelling the print dialog ends the job
    QString error;
    if (!report.Print(printer, &error))
        ReportFailure(this, error);
    const ChannelPagination& p = report.Pagination();
    std::copy(p.m_pageEnd.begin(), p.m_pageEnd.end(), m_pageEnd);
    m_nChannelCount = p.m_nChannelCount;
}

void CProgramView::OnFilePrintDirect()
{
    if (!GetDocument())
        return;
    QPrinter& printer = AppPrinter();
    // Straight to the printer Print Setup chose, else the system's default one.
    if (printer.outputFormat() == QPrinter::NativeFormat && !printer.isValid()) {
        const QPrinterInfo fallback = QPrinterInfo::defaultPrinter();
        if (fallback.isNull()) {
            ReportFailure(this, Tr("No printer is installed."));
            return;
        }
        printer.setPrinterName(fallback.printerName());
    }
    CReportPrinter report(Grid(), GetDocument()->m_image);
    PreparePrinting(*this, report);
    printer.setPrintRange(QPrinter::AllPages);
    QString error;
    if (!report.Print(printer, &error))
        ReportFailure(this, error);
}

void CProgramView::OnFilePrintPreview()
{
    if (!GetDocument())
        return;
    CReportPrinter report(Grid(), GetDocument()->m_image);
    PreparePrinting(*this, report);

    QPrintPreviewDialog preview(&AppPrinter(), this);
    preview.setObjectName(QStringLiteral("PrintPreview"));
    preview.setWindowTitle(Tr("Print Preview"));
    connect(&preview, &QPrintPreviewDialog::paintRequested, &preview, [&report](QPrinter* printer) {
        // The preview shows the whole job whatever range the last print used.
        printer->setPrintRange(QPrinter::AllPages);
        QString ignored;
        report.Print(*printer, &ignored);
    });
    ExecDialog(&preview);
}
