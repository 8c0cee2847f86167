#pragma once
// One print command of a document window: the report of its grid and image
// through the print dialog (Print), straight to the printer (Print Direct) or
// on screen (Print Preview). The pages themselves are CReportPrinter's; the
// printer settings are shared with Print Setup.
#include "core/editor/ReportLayout.h"

class CProgramDoc;
class CReportPrinter;
class QWidget;

class CPrintJob {
public:
    // grid: the texts printed; doc: the image and the title (the PDF's name);
    // parent: where the dialogs and messages belong.
    CPrintJob(const ITextGrid& grid, CProgramDoc* doc, QWidget* parent);

    void Print();
    void PrintDirect();
    void Preview();

    // The page boundaries and used channels the job counted (OnPreparePrinting).
    const ChannelPagination& Pagination() const { return m_pages; }

private:
    // Print's way when the system has no printer and its dialog no file to print to.
    void PrintToPdfFile(CReportPrinter& report);

    const ITextGrid& m_grid;
    CProgramDoc* m_pDocument;
    QWidget* m_pParent;
    ChannelPagination m_pages;
};
