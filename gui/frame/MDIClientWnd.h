#pragma once
// The area behind the document windows, tiled with "background.bmp" from the
// current directory or, when that cannot be read, with the built-in picture.
#include <QImage>
#include <QMdiArea>
#include <QPoint>
#include <QSize>
#include <QVector>

class CMDIClientWnd : public QMdiArea {
    Q_OBJECT
public:
    explicit CMDIClientWnd(QWidget* parent = nullptr);

    // The picture a paint uses: "background.bmp" is read from disk at every
    // paint, nothing of it is kept; the built-in picture is decoded once.
    static QImage LoadBackground();
    // Top-left corners of the tiles for a client area: columns 0..w/bw and rows
    // 0..h/bh inclusive, so the last column and row may lie partly outside.
    static QVector<QPoint> TilePositions(const QSize& client, const QSize& bitmap);

    static constexpr const char* kBackgroundFile = "background.bmp";
    static constexpr const char* kBuiltInBackground = ":/bitmaps/background137.png";

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
};
