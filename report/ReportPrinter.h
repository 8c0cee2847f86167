#pragma once
// The printed report on a real device: the core lays each page out in twips,
// this side measures the fonts and paints the operations with QPainter on a
// paged device (a printer, the print preview or a PDF file).
#include <QFont>
#include <QString>
#include <string>

#include "core/editor/ReportLayout.h"

class CIniFile;
class QPagedPaintDevice;
class QPainter;

// What the report takes from the program that prints it: the language of its
// labels and the owner line of its footer.
struct ReportSettings {
    bool chinese = false;
    std::string copyrightsOwner;  // UTF-8; nothing is printed when empty
};

// The settings of a program whose branding section of Program.ini is
// `language` ([Setup] Language): the footer names that section's "Copyrights Owner".
ReportSettings ReportSettingsFromIni(const CIniFile& ini, const std::string& language, bool chinese);

class CReportPrinter {
public:
    CReportPrinter(const ITextGrid& grid, const Image& image, const ReportSettings& settings);

    // Counts the used channels and returns the job's page count: the option
    // page plus CountChannelPages channel pages.
    int OnPreparePrinting();
    int PageCount() const { return m_nPageCount; }
    const ChannelPagination& Pagination() const { return m_pages; }

    // Paints page `page` (1 = options) with the painter already begun on device.
    void OnPrint(QPainter& painter, QPagedPaintDevice& device, int page);

    // Pages from..to of the job, each on a sheet of its own. False with *error
    // set when the device cannot be started or a page not begun.
    bool Print(QPagedPaintDevice& device, int from, int to, QString* error);

    // The context OnPrint hands to the layout for this device: geometry from
    // the printable area and resolution, L and text widths from the real fonts.
    ReportContext MeasureContext(QPagedPaintDevice& device) const;

    // What OnPrint draws on page `page`, and the context it was laid out with.
    std::vector<DrawOp> LayOutPage(QPagedPaintDevice& device, int page, ReportContext* used = nullptr);

    // The page and small fonts for a geometry, in twips (the painter's unit).
    static QFont MakeFont(const FontSize& size);

private:
    const ITextGrid& m_grid;
    const Image& m_image;
    ReportSettings m_settings;
    ChannelPagination m_pages;
    int m_nPageCount = 1;
};

// Prints the whole report of grid and image into a PDF file (A4). The file is
// written beside the target and renamed into place only when complete, so a
// failed job leaves any earlier file untouched. Needs a QGuiApplication.
bool PrintReportToPdf(const ITextGrid& grid, const Image& image, const ReportSettings& settings, const QString& pdfPath,
                      QString* error);
