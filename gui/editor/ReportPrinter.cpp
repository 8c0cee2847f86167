#include "gui/editor/ReportPrinter.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>
#include <QTemporaryFile>
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "gui/app/AppContext.h"
#include "core/app/Globals.h"

namespace {

QString Tr(const char* text)
{
    return QCoreApplication::translate("ReportPrinter", text);
}

// L: character height plus external leading, as the layout counts lines;
// rounded up, so that lines one L apart never overlap.
int LineHeight(const QFontMetricsF& fm)
{
    return static_cast<int>(std::ceil(fm.height() + std::max<qreal>(0.0, fm.leading())));
}

// How far a text reaches to the right of where it starts: its advance, or
// its ink where a glyph overhangs.
int ReachOf(const QFontMetricsF& fm, const std::string& text)
{
    const QString s = QString::fromStdString(text);
    return static_cast<int>(std::ceil(std::max(fm.horizontalAdvance(s), fm.boundingRect(s).right())));
}

}  // namespace

CReportPrinter::CReportPrinter(const ITextGrid& grid, const Image& image) : m_grid(grid), m_image(image) {}

int CReportPrinter::OnPreparePrinting()
{
    m_nPageCount = m_pages.CountChannelPages(m_grid) + 1;
    return m_nPageCount;
}

QFont CReportPrinter::MakeFont(const FontSize& size)
{
    // Sizes are twips, which is the painter's unit while a page is drawn, so
    // the font is sized in pixels of that unit.
    QFont font(QStringLiteral("Times New Roman"));
    font.setStyleHint(QFont::Serif);
    font.setPixelSize(std::max(1, size.height));
    font.setWeight(QFont::Normal);
    font.setItalic(false);
    font.setUnderline(false);
    font.setStrikeOut(false);
    // The page is a grid of 66 columns: stretch the face to the average
    // character width the layout assumes.
    const qreal average = QFontMetricsF(font).averageCharWidth();
    if (average > 0 && size.width > 0) {
        const int stretch = static_cast<int>(100.0 * size.width / average + 0.5);
        font.setStretch(std::clamp(stretch, 1, 4000));
    }
    return font;
}

ReportContext CReportPrinter::MeasureContext(QPrinter& printer) const
{
    ReportContext ctx;
    const QRectF area = printer.pageRect(QPrinter::DevicePixel);
    ctx.metrics.geometry = ComputePageGeometry(static_cast<int>(area.width()), static_cast<int>(area.height()),
                                               printer.logicalDpiX(), printer.logicalDpiY());
    // Font sizes are twips, which the painter's scale turns into device
    // pixels; metrics taken on the device in those sizes are twips again.
    const QFontMetricsF page(MakeFont(PageFontSize(ctx.metrics.geometry)), &printer);
    const QFontMetricsF small(MakeFont(SmallFontSize(ctx.metrics.geometry)), &printer);
    ctx.metrics.pageLine = LineHeight(page);
    ctx.metrics.smallLine = LineHeight(small);
    ctx.textWidth = [page, small](FontId font, const std::string& text) {
        return ReachOf(font == FontId::Small ? small : page, text);
    };
    ctx.chinese = g_bChinese != 0;
    ctx.copyrightsOwner = IniString(g_strLanguage, "Copyrights Owner").toStdString();
    return ctx;
}

std::vector<DrawOp> CReportPrinter::LayOutPage(QPrinter& printer, int page, ReportContext* used)
{
    const ReportContext ctx = MeasureContext(printer);
    if (used)
        *used = ctx;
    return BuildPage(page, m_nPageCount, m_grid, m_image, m_pages, ctx);
}

void CReportPrinter::OnPrint(QPainter& painter, QPrinter& printer, int page)
{
    ReportContext ctx;
    const std::vector<DrawOp> ops = LayOutPage(printer, page, &ctx);

    const QFont pageFont = MakeFont(PageFontSize(ctx.metrics.geometry));
    const QFont smallFont = MakeFont(SmallFontSize(ctx.metrics.geometry));
    const qreal pageAscent = QFontMetricsF(pageFont, &printer).ascent();
    const qreal smallAscent = QFontMetricsF(smallFont, &printer).ascent();

    painter.save();
    // Twips with the origin at the top-left of the printable area; the layout's
    // y grows upward, so every y is negated on the way to the device.
    if (printer.fullPage())
        painter.translate(printer.pageRect(QPrinter::DevicePixel).topLeft());
    painter.scale(printer.logicalDpiX() / 1440.0, printer.logicalDpiY() / 1440.0);
    QPen pen(Qt::black);
    pen.setCosmetic(true);
    pen.setWidth(1);
    painter.setPen(pen);

    for (const DrawOp& op : ops) {
        if (op.kind == DrawOp::Line) {
            painter.drawLine(QPointF(op.x, -op.y), QPointF(op.x2, -op.y2));
            continue;
        }
        const bool small = op.font == FontId::Small;
        painter.setFont(small ? smallFont : pageFont);
        // The layout gives the top-left corner; Qt draws from the baseline.
        painter.drawText(QPointF(op.x, -op.y + (small ? smallAscent : pageAscent)),
                         QString::fromStdString(op.text));
    }
    painter.restore();
}

bool CReportPrinter::Print(QPrinter& printer, QString* error)
{
    int from = 1;
    int to = m_nPageCount;
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        from = std::max(1, printer.fromPage());
        to = printer.toPage() > 0 ? std::min(m_nPageCount, printer.toPage()) : m_nPageCount;
    }
    QPainter painter;
    if (!painter.begin(&printer)) {
        if (error)
            *error = Tr("The printer could not be started.");
        return false;
    }
    for (int page = from; page <= to; ++page) {
        if (page > from && !printer.newPage()) {
            painter.end();
            if (error)
                *error = Tr("The printer could not start a new page.");
            return false;
        }
        OnPrint(painter, printer, page);
    }
    painter.end();
    if (printer.printerState() == QPrinter::Error) {
        if (error)
            *error = Tr("The printer reported an error.");
        return false;
    }
    return true;
}

bool PrintReportToPdf(const ITextGrid& grid, const Image& image, const QString& pdfPath, QString* error)
{
    const QFileInfo target(pdfPath);
    const auto fail = [&](const QString& reason) {
        if (error)
            *error = Tr("Cannot write %1: %2").arg(QDir::toNativeSeparators(target.absoluteFilePath()), reason);
        return false;
    };
    if (target.isDir())
        return fail(Tr("it is a folder"));

    QTemporaryFile part(target.absolutePath() + QStringLiteral("/.") + target.fileName() +
                        QStringLiteral(".XXXXXX"));
    if (!part.open())
        return fail(part.errorString());
    part.close();

    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(part.fileName());
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setDocName(target.completeBaseName());
    printer.setCreator(QCoreApplication::applicationName());

    CReportPrinter report(grid, image);
    report.OnPreparePrinting();
    QString reason;
    if (!report.Print(printer, &reason))
        return fail(reason);
    if (QFileInfo(part.fileName()).size() == 0)
        return fail(Tr("nothing was printed"));

    // rename() replaces an existing file in one step.
    if (std::rename(QFile::encodeName(part.fileName()).constData(),
                    QFile::encodeName(target.absoluteFilePath()).constData()) != 0)
        return fail(Tr("the finished file could not be moved into place"));
    part.setAutoRemove(false);
    return true;
}
