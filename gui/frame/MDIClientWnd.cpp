#include "gui/frame/MDIClientWnd.h"

#include "gui/app/AppResources.h"

#include <QFileInfo>
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
    const QString file = QString::fromLatin1(kBackgroundFile);  // bare name: the current directory
    // Only a regular file: a FIFO of that name would block the paint for good.
    if (QFileInfo(file).isFile()) {
        const QImage image(file);
        if (!image.isNull() && image.width() > 0 && image.height() > 0)
            return image;
    }
    // The built-in picture never changes: decoded once.
    static const QImage builtIn(QString::fromLatin1(kBuiltInBackground));
    return builtIn;
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
    QImage image = LoadBackground();
    // Converted once to the backing store's format, not again for every tile.
    if (!image.isNull())
        image =
            image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
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
