#include "gui/app/AppResources.h"

#include <QFileInfo>
#include <QIcon>
#include <QPixmap>
#include <QtGlobal>

void EnsureAppResources()
{
    static const bool done = [] {
        Q_INIT_RESOURCE(resources);
        return true;
    }();
    (void)done;
}

namespace {
const char kOwnIcon[] = ":/icons/app.png";

QString TitleFile()
{
    const QString file = QStringLiteral("title.ico");
    return QFileInfo(file).isFile() ? file : QString();
}
}  // namespace

QIcon TitleIcon()
{
    EnsureAppResources();
    const QString file = TitleFile();
    if (!file.isEmpty()) {
        const QIcon title(file);
        if (!title.pixmap(32, 32).isNull())
            return title;
    }
    return QIcon(QString::fromLatin1(kOwnIcon));
}

QPixmap TitlePixmap(int size) { return TitleIcon().pixmap(size, size); }
