#pragma once
// The printed report on a real device: the core lays each page out in twips,
// this side measures the fonts and paints the operations with QPainter on a
// QPrinter (a printer, a PDF file or the print preview).
#include <QFont>
#include <QString>

#include "core/editor/ReportLayout.h"

class QPainter;
class QPrinter;

class CReportPrinter {
public:
    CReportPrinter(const ITextGrid& grid, const Image& image);

    // Counts the used channels and returns the job's page count: the option
    // page plus CountChannelPages channel pages.
    int OnPreparePrinting();
    int PageCount() const { return m_nPageCount; }
    const ChannelPagination& Pagination() const { return m_pages; }

    // Paints page `page` (1 = options) with the painter already begun on printer.
    void OnPrint(QPainter& painter, QPrinter& printer, int page);

    // The whole job, or the printer's from/to range when one is set. False
    // with *error set when the device cannot be started or a page not begun.
    bool Print(QPrinter& printer, QString* error);

    // The context OnPrint hands to the layout for this device: geometry from
    // the printable area and resolution, L and text widths from the real fonts.
    ReportContext MeasureContext(QPrinter& printer) const;

    // What OnPrint draws on page `page`, and the context it was laid out with.
    std::vector<DrawOp> LayOutPage(QPrinter& printer, int page, ReportContext* used = nullptr);

    // The page and small fonts for a geometry, in twips (the painter's unit).
    static QFont MakeFont(const FontSize& size);

private:
    const ITextGrid& m_grid;
    const Image& m_image;
    ChannelPagination m_pages;
    int m_nPageCount = 1;
};

// Prints the report of grid and image into a PDF file (A4). The file is
// written beside the target and renamed into place only when complete, so a
// failed job leaves any earlier file untouched. Needs a QGuiApplication.
bool PrintReportToPdf(const ITextGrid& grid, const Image& image, const QString& pdfPath, QString* error);
