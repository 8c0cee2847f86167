#include "gui/frame/NavigationBar.h"

#include <QHelpEvent>
#include <QIcon>
#include <QMouseEvent>
#include <QPainter>
#include <QRubberBand>
#include <QToolTip>
#include <QTreeWidget>

#include "gui/app/AppContext.h"
#include "gui/app/AppResources.h"
#include "gui/app/Contrast.h"
#include "core/app/Globals.h"

namespace {
// Rectangles below are written as left, top, right, bottom with right and bottom excluded.
QRect Ltrb(int l, int t, int r, int b) { return QRect(QPoint(l, t), QPoint(r - 1, b - 1)); }
// The grey of res/icons/close.png.
const QColor kCloseMarkColor(0x50, 0x50, 0x50);
}  // namespace

CNavigationBar::CNavigationBar(QWidget* frame)
    : QWidget(frame), m_pFrame(frame), m_strTitle(IniString(g_strLanguage, "company"))
{
    setObjectName(QStringLiteral("NavigationBar"));
    EnsureAppResources();
    setWindowTitle(QStringLiteral("IE Control Bar"));
    m_font = QFont(QStringLiteral("Time New Roman"));
    m_font.setPixelSize(14);
    m_font.setWeight(QFont::Normal);
    setFont(m_font);
    setMouseTracking(true);
    setFixedWidth(m_nBarWidth);

    m_pTree = new QTreeWidget(this);
    m_pTree->setObjectName(QStringLiteral("NavigationTree"));
    m_pTree->setAccessibleName(tr("Navigation"));
    m_pTree->setHeaderHidden(true);
    m_pTree->setRootIsDecorated(true);
    m_pTree->setFont(m_font);
    m_pTree->setSelectionMode(QAbstractItemView::SingleSelection);

    m_pTrackLine = new QRubberBand(QRubberBand::Line, m_pFrame);
    m_pTrackLine->hide();
}

CNavigationBar::~CNavigationBar()
{
    delete m_pTree;
    m_pTree = nullptr;
    delete m_pTrackLine;
}

void CNavigationBar::SetBarWidth(int width)
{
    m_nBarWidth = width;
    // Hidden, resized and shown again so that the frame lays it out anew.
    const bool visible = isVisible();
    if (visible)
        hide();
    setFixedWidth(m_nBarWidth);
    if (visible)
        show();
    ComputeGeometry();
}

QRect CNavigationBar::SplitterRect() const
{
    if (m_rcInner.isEmpty())
        return QRect();
    return Ltrb(m_rcInner.right() + 1, m_rcInner.top(), m_rcInner.right() + 1 + 6, m_rcInner.bottom() + 1);
}

int CNavigationBar::HalfFrameWidth() const { return m_pFrame->width() / 2; }

void CNavigationBar::ComputeGeometry()
{
    const int w = width();
    const int h = height();
    // Border: left 3, top 6, right w - 6, bottom h - 6; the inner rectangle lies just inside it.
    const int l = 3, t = 6, r = w - 6, b = h - 6;
    if (r <= l + 1 || b <= t + 1) {
        m_rcInner = QRect();
        m_rcClose = QRect();
    } else {
        m_rcInner = Ltrb(l + 1, t + 1, r, b);
        const int ir = r, it = t + 1;
        m_rcClose = Ltrb(ir - m_nCaptionHeight - 5 + 7, it + 4, ir - 5 + 1, it + m_nCaptionHeight - 3);
    }
    LayoutTree();
}

void CNavigationBar::LayoutTree()
{
    if (!m_pTree)
        return;
    const int top = 8 + m_nCaptionHeight + 1;
    m_pTree->setGeometry(Ltrb(5, top, std::max(6, m_nBarWidth - 8), std::max(top + 1, height() - 8)));
}

void CNavigationBar::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    ComputeGeometry();
}

void CNavigationBar::paintEvent(QPaintEvent*)
{
    ComputeGeometry();
    if (m_rcInner.isEmpty())
        return;
    QPainter p(this);
    const int l = 3, t = 6, r = width() - 6, b = height() - 6;
    const QColor grey = palette().color(QPalette::Disabled, QPalette::WindowText);

    // Etched border: grey outline with a white (the palette's light) line inside its top and left edges.
    p.setPen(grey);
    p.drawRect(Ltrb(l, t, r, b));
    p.setPen(palette().color(QPalette::Light));
    p.drawLine(l + 1, t + 1, l + 1, b - 2);
    p.drawLine(l + 1, t + 1, r - 2, t + 1);
    p.drawLine(r, t, r, b);
    p.drawLine(l, b, r + 1, b);

    // Title, and a rule under the caption strip.
    p.setFont(m_font);
    p.setPen(palette().color(QPalette::WindowText));
    const int textWidth = p.fontMetrics().horizontalAdvance(m_strTitle);
    const QRect titleRect(m_rcInner.left() + 5, m_rcInner.top(), textWidth, m_nCaptionHeight);
    p.drawText(titleRect, Qt::AlignCenter | Qt::TextSingleLine, m_strTitle);
    p.setPen(grey);
    const int ruleY = m_rcInner.top() + m_nCaptionHeight;
    p.drawLine(m_rcInner.left() + 1, ruleY, m_rcInner.right(), ruleY);

    // Close button: raised while hovered, sunken while held.
    const QRect c = m_rcClose;
    if (m_bCloseHot || m_bClosePressed) {
        const QColor light = palette().color(QPalette::Light);
        const QColor dark = palette().color(QPalette::Dark);
        const QColor topLeft = m_bCloseHot ? light : dark;
        const QColor bottomRight = m_bCloseHot ? dark : light;
        p.setPen(topLeft);
        p.drawLine(c.topLeft(), c.topRight());
        p.drawLine(c.topLeft(), c.bottomLeft());
        p.setPen(bottomRight);
        p.drawLine(c.bottomLeft(), c.bottomRight());
        p.drawLine(c.topRight(), c.bottomRight());
    }
    // The mark is drawn in its own grey; on a dark ground in a colour that stands out from it.
    const QSize size(16, 16);
    QPixmap mark = QIcon(QStringLiteral(":/icons/close.png")).pixmap(size, devicePixelRatioF());
    const QColor ground = palette().color(backgroundRole());
    const QColor markColor = ReadableOn(kCloseMarkColor, ground, kMarkContrast);
    if (markColor != kCloseMarkColor) {
        QPainter tint(&mark);
        tint.setCompositionMode(QPainter::CompositionMode_SourceIn);
        tint.fillRect(mark.rect(), markColor);
    }
    p.drawPixmap(QRect(c.topLeft(), size), mark);
}

void CNavigationBar::UpdateCursor(const QPoint& pos)
{
    if (!m_rcInner.isEmpty() && SplitterRect().contains(pos))
        setCursor(Qt::SplitHCursor);
    else
        setCursor(Qt::ArrowCursor);
}

void CNavigationBar::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint pos = event->position().toPoint();
    if (!m_rcClose.isEmpty()) {
        m_bButtonDown = true;
        m_bCloseHot = false;
        if (m_rcClose.contains(pos))
            m_bClosePressed = true;
        update(m_rcClose);
    }
    if (SplitterRect().contains(pos))
        m_bDragging = true;
    // Not passed on: the bar is never dragged away from its edge.
    event->accept();
}

void CNavigationBar::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    UpdateCursor(pos);
    if (m_bDragging) {
        int x = pos.x();
        const int half = HalfFrameWidth();
        if (x < kMinTrackX)
            x = kMinTrackX;
        else if (x > half)
            x = half;
        ShowTrackingLine(x);
    }
    if (m_rcClose.isEmpty())
        return;
    if (m_rcClose.contains(pos)) {
        if (m_bCloseHot)
            return;
        m_bCloseHot = !m_bButtonDown;
        m_bClosePressed = m_bButtonDown;
    } else {
        if (!m_bCloseHot && !m_bClosePressed)
            return;
        m_bCloseHot = false;
        m_bClosePressed = false;
    }
    update(m_rcClose);
}

void CNavigationBar::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint pos = event->position().toPoint();
    m_bButtonDown = false;
    m_bCloseHot = false;
    m_bClosePressed = false;
    update(m_rcClose);
    HideTrackingLine();
    if (!m_rcClose.isEmpty() && m_rcClose.contains(pos))
        emit closeRequested();
    if (m_bDragging) {
        // The width is where the button went up; only the line was held to 80.
        int width = pos.x();
        const int half = HalfFrameWidth();
        if (width <= 10)
            width = kMinWidth;
        else if (width > half)
            width = half;
        m_bDragging = false;
        SetBarWidth(width);
    }
    m_bDragging = false;
}

void CNavigationBar::mouseDoubleClickEvent(QMouseEvent* event) { event->accept(); }

void CNavigationBar::leaveEvent(QEvent* event)
{
    if (!m_bButtonDown && (m_bCloseHot || m_bClosePressed)) {
        m_bCloseHot = false;
        m_bClosePressed = false;
        update(m_rcClose);
    }
    QWidget::leaveEvent(event);
}

bool CNavigationBar::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        if (!m_rcClose.isEmpty() && m_rcClose.contains(help->pos()))
            QToolTip::showText(help->globalPos(), tr("Close"), this, m_rcClose);
        else
            QToolTip::hideText();
        return true;
    }
    return QWidget::event(event);
}

void CNavigationBar::ShowTrackingLine(int barX)
{
    m_nTrackX = barX;
    const QPoint top = mapTo(m_pFrame, QPoint(barX, 0));
    m_pTrackLine->setGeometry(top.x(), top.y(), 2, height());
    m_pTrackLine->show();
    m_pTrackLine->raise();
}

void CNavigationBar::HideTrackingLine()
{
    m_nTrackX = -1;
    m_pTrackLine->hide();
}
