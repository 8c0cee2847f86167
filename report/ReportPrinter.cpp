#include "report/ReportPrinter.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "core/app/IniFile.h"
#include "core/radio/DatFile.h"
#include "bridge/IniText.h"
#include "bridge/CorePath.h"

namespace {

QString Tr(const char* text) { return QCoreApplication::translate("ReportPrinter", text); }

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

// The printable area in device pixels; the origin of painting is its top-left
// corner unless the device paints the full page.
QRect PrintableArea(const QPagedPaintDevice& device)
{
    return device.pageLayout().paintRectPixels(device.logicalDpiX());
}

}  // namespace

ReportSettings ReportSettingsFromIni(const CIniFile& ini, const std::string& language, bool chinese)
{
    ReportSettings settings;
    settings.chinese = chinese;
    settings.copyrightsOwner = FromIni(ini.GetString(language, "Copyrights Owner", "")).toStdString();
    return settings;
}

CReportPrinter::CReportPrinter(const ITextGrid& grid, const Image& image, const ReportSettings& settings)
    : m_grid(grid), m_image(image), m_settings(settings)
{
}

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
    // The Latin face stays Times New Roman or what the system puts in its
    // place. Han characters come from a Simplified Chinese face, not whatever
    // the system falls back to (often a Japanese one, with other glyph shapes);
    // WenQuanYi first: a PDF's text maps each glyph back to the first character
    // the face draws with it, and faces whose Kangxi radicals share the
    // ideographs' glyphs (Noto CJK) make 提示音 read "提⽰⾳" to search and copy.
    font.setFamilies({QFontInfo(font).family(), QStringLiteral("WenQuanYi Micro Hei"),
                      QStringLiteral("WenQuanYi Zen Hei"), QStringLiteral("Noto Serif CJK SC"),
                      QStringLiteral("Noto Sans CJK SC"), QStringLiteral("Source Han Serif SC"),
                      QStringLiteral("Source Han Sans SC")});
    font.setPixelSize(std::max(1, size.height));
    font.setWeight(QFont::Normal);
    font.setItalic(false);
    font.setUnderline(false);
    font.setStrikeOut(false);
    // No ligatures: a printed "Off" must be found by searching the PDF for
    // "Off", not for an "ff" glyph. Latin and CJK text need no shaping.
    font.setStyleStrategy(QFont::PreferNoShaping);
    // The page is a grid of 66 columns: stretch the face to the average
    // character width the layout assumes.
    const qreal average = QFontMetricsF(font).averageCharWidth();
    if (average > 0 && size.width > 0) {
        const int stretch = static_cast<int>(100.0 * size.width / average + 0.5);
        font.setStretch(std::clamp(stretch, 1, 4000));
    }
    return font;
}

ReportContext CReportPrinter::MeasureContext(QPagedPaintDevice& device) const
{
    ReportContext ctx;
    const QRect area = PrintableArea(device);
    ctx.metrics.geometry = ComputePageGeometry(area.width(), area.height(), device.logicalDpiX(), device.logicalDpiY());
    // Font sizes are twips, which the painter's scale turns into device
    // pixels; metrics taken on the device in those sizes are twips again.
    const QFontMetricsF page(MakeFont(PageFontSize(ctx.metrics.geometry)), &device);
    const QFontMetricsF small(MakeFont(SmallFontSize(ctx.metrics.geometry)), &device);
    ctx.metrics.pageLine = LineHeight(page);
    ctx.metrics.smallLine = LineHeight(small);
    ctx.textWidth = [page, small](FontId font, const std::string& text) {
        return ReachOf(font == FontId::Small ? small : page, text);
    };
    ctx.chinese = m_settings.chinese;
    ctx.copyrightsOwner = m_settings.copyrightsOwner;
    return ctx;
}

std::vector<DrawOp> CReportPrinter::LayOutPage(QPagedPaintDevice& device, int page, ReportContext* used)
{
    const ReportContext ctx = MeasureContext(device);
    if (used)
        *used = ctx;
    return BuildPage(page, m_nPageCount, m_grid, m_image, m_pages, ctx);
}

void CReportPrinter::OnPrint(QPainter& painter, QPagedPaintDevice& device, int page)
{
    ReportContext ctx;
    const std::vector<DrawOp> ops = LayOutPage(device, page, &ctx);

    const QFont pageFont = MakeFont(PageFontSize(ctx.metrics.geometry));
    const QFont smallFont = MakeFont(SmallFontSize(ctx.metrics.geometry));
    const qreal pageAscent = QFontMetricsF(pageFont, &device).ascent();
    const qreal smallAscent = QFontMetricsF(smallFont, &device).ascent();

    painter.save();
    // Twips with the origin at the top-left of the printable area; the layout's
    // y grows upward, so every y is negated on the way to the device.
    if (device.pageLayout().mode() == QPageLayout::FullPageMode)
        painter.translate(PrintableArea(device).topLeft());
    painter.scale(device.logicalDpiX() / 1440.0, device.logicalDpiY() / 1440.0);
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
        painter.drawText(QPointF(op.x, -op.y + (small ? smallAscent : pageAscent)), QString::fromStdString(op.text));
    }
    painter.restore();
}

bool CReportPrinter::Print(QPagedPaintDevice& device, int from, int to, QString* error)
{
    QPainter painter;
    if (!painter.begin(&device)) {
        if (error)
            *error = Tr("The printer could not be started.");
        return false;
    }
    for (int page = from; page <= to; ++page) {
        if (page > from && !device.newPage()) {
            painter.end();
            if (error)
                *error = Tr("The printer could not start a new page.");
            return false;
        }
        OnPrint(painter, device, page);
    }
    painter.end();
    return true;
}

bool PrintReportToPdf(const ITextGrid& grid, const Image& image, const ReportSettings& settings, const QString& pdfPath,
                      QString* error)
{
    const QFileInfo target(pdfPath);
    const auto fail = [&](const QString& reason) {
        if (error)
            *error = Tr("Cannot write %1: %2").arg(QDir::toNativeSeparators(target.absoluteFilePath()), reason);
        return false;
    };
    if (target.isDir())
        return fail(Tr("it is a folder"));
    // The finished PDF is saved as every other file is: atomically, through a
    // symbolic link, never over a device or a read-only file, with the umask's mode.
    const std::string path = CorePath(pdfPath);
    if (const DatResult check = CheckSaveTarget(path); !check.ok)
        return fail(QString::fromStdString(check.error));

    QBuffer pdf;
    pdf.open(QIODevice::WriteOnly);
    {
        // 1200 dots per inch, as a high-resolution printer.
        QPdfWriter writer(&pdf);
        writer.setResolution(1200);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setTitle(target.completeBaseName());
        writer.setCreator(QCoreApplication::applicationName());

        CReportPrinter report(grid, image, settings);
        const int pages = report.OnPreparePrinting();
        QString reason;
        if (!report.Print(writer, 1, pages, &reason))
            return fail(reason);
    }
    if (pdf.data().isEmpty())
        return fail(Tr("nothing was printed"));
    const DatResult saved = WriteFileAtomically(path, pdf.data().constData(), static_cast<std::size_t>(pdf.size()));
    if (!saved.ok)
        return fail(QString::fromStdString(saved.error));
    return true;
}
