#include "gui/frame/MDIClientWnd.h"

#include "gui/app/AppResources.h"

#include <QPainter>
#include <QPaintEvent>

CMDIClientWnd::CMDIClientWnd(QWidget* parent) : QMdiArea(parent)
{
    setObjectName(QStringLiteral("MDIClient"));
    // Document windows fit the area; one the user moves partly outside is
    // still reached through the scroll bars.
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
}

QImage CMDIClientWnd::LoadBackground()
{
    EnsureAppResources();
    QImage image(QString::fromLatin1(kBackgroundFile));  // bare name: the current directory
    if (image.isNull() || image.width() <= 0 || image.height() <= 0)
        image = QImage(QString::fromLatin1(kBuiltInBackground));
    return image;
}

QVector<QPoint> CMDIClientWnd::TilePositions(const QSize& client, const QSize& bitmap)
{
    QVector<QPoint> tiles;
    if (bitmap.width() <= 0 || bitmap.height() <= 0 || client.isEmpty())
        return tiles;
    const int columns = client.width() / bitmap.width();
    const int rows = client.height() / bitmap.height();
    tiles.reserve((columns + 1) * (rows + 1));
    for (int i = 0; i <= columns; ++i)
        for (int j = 0; j <= rows; ++j)
            tiles.append(QPoint(i * bitmap.width(), j * bitmap.height()));
    return tiles;
}

void CMDIClientWnd::paintEvent(QPaintEvent* event)
{
    QPainter painter(viewport());
    const QImage image = LoadBackground();
    if (image.isNull()) {
        // Neither picture could be read: a plain background instead of garbage.
        painter.fillRect(event->rect(), palette().color(QPalette::Dark));
        return;
    }
    const QRect client = viewport()->rect();
    for (const QPoint& p : TilePositions(client.size(), image.size()))
        painter.drawImage(client.topLeft() + p, image);
}

void CMDIClientWnd::resizeEvent(QResizeEvent* event)
{
    QMdiArea::resizeEvent(event);
    viewport()->update();
}
