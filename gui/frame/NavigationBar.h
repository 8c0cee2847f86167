#pragma once
// The panel at the left of the main frame: a title, a border, a close button,
// a draggable right edge that sets its width, and the navigation tree.
#include <QFont>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QWidget>

class QRubberBand;
class QTreeWidget;

class CNavigationBar : public QWidget {
    Q_OBJECT
public:
    explicit CNavigationBar(QWidget* frame);
    ~CNavigationBar() override;

    QTreeWidget* Tree() const { return m_pTree; }
    QString Title() const { return m_strTitle; }
    int BarWidth() const { return m_nBarWidth; }
    void SetBarWidth(int width);

    // Geometry computed at each paint, in the bar's coordinates (empty before the first paint).
    QRect InnerRect() const { return m_rcInner; }
    QRect CloseRect() const { return m_rcClose; }
    // The strip right of the border where a press starts a width drag.
    QRect SplitterRect() const;

    bool IsCloseHot() const { return m_bCloseHot; }
    bool IsClosePressed() const { return m_bClosePressed; }
    bool IsDragging() const { return m_bDragging; }
    // Frame x of the tracking line while dragging, -1 when none is shown.
    int TrackingX() const { return m_nTrackX; }

    static constexpr int kCaptionHeight = 22;
    static constexpr int kInitialWidth = 220;
    static constexpr int kMinTrackX = 80;
    static constexpr int kMinWidth = 11;
    static constexpr int kTreeId = 1032;

signals:
    // The close button was released over: the frame hides the bar.
    void closeRequested();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    bool event(QEvent* event) override;

private:
    int HalfFrameWidth() const;
    void ComputeGeometry();
    void LayoutTree();
    void ShowTrackingLine(int barX);
    void HideTrackingLine();
    void UpdateCursor(const QPoint& p);

    QWidget* m_pFrame;
    QString m_strTitle;
    QFont m_font;
    int m_nCaptionHeight = kCaptionHeight;
    int m_nBarWidth = kInitialWidth;
    QTreeWidget* m_pTree = nullptr;
    QRect m_rcInner;
    QRect m_rcClose;
    QRubberBand* m_pTrackLine = nullptr;
    int m_nTrackX = -1;
    bool m_bDragging = false;
    bool m_bButtonDown = false;
    bool m_bCloseHot = false;
    bool m_bClosePressed = false;
};
