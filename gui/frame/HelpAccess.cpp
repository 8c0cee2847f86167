#include "frame/HelpAccess.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QTextBrowser>
#include <QVBoxLayout>
#include <QWidget>

#include "app/AppContext.h"
#include "app/Globals.h"
#include "app/IniFile.h"

#ifdef PROG_HAVE_QTHELP
#include <QHelpEngineCore>
#include <QHelpLink>
#endif

namespace {

struct HelpState {
#ifdef PROG_HAVE_QTHELP
    // Owned by the application object, so it goes before the toolkit does.
    QPointer<QHelpEngineCore> engine;
#endif
    QString loadedStem;      // collection the engine holds
    QString namespaceName;   // its one documentation set
    bool unavailable = false;
    int attempts = 0;
    QString dir;
    HelpHook hook;
    QPointer<QWidget> window;
};

HelpState& State()
{
    static HelpState s;
    return s;
}

QString CollectionStem()
{
    // g_strHelpFile keeps the names "enHelp.chm" / "chHelp.chm"; the stem names the collection.
    return QFileInfo(QString::fromStdString(g_strHelpFile)).completeBaseName();
}

#ifdef PROG_HAVE_QTHELP
// The help window reads every page and picture out of the collection.
class CHelpBrowser : public QTextBrowser {
public:
    explicit CHelpBrowser(QWidget* parent) : QTextBrowser(parent) {}
    QVariant loadResource(int type, const QUrl& url) override
    {
        HelpState& s = State();
        if (url.scheme() == QLatin1String("qthelp") && s.engine) {
            const QByteArray data = s.engine->fileData(url);
            if (type == QTextDocument::HtmlResource || type == QTextDocument::StyleSheetResource)
                return QString::fromUtf8(data);
            return data;
        }
        return QTextBrowser::loadResource(type, url);
    }
};

// Binding happens once: a missing or empty collection marks the help unavailable for good.
bool EnsureEngine()
{
    HelpState& s = State();
    if (s.unavailable)
        return false;
    const QString stem = CollectionStem();
    if (s.engine && s.loadedStem == stem)
        return true;
    ++s.attempts;
    const QString path = QDir(HelpDirectory()).filePath(stem + QStringLiteral(".qhc"));
    if (stem.isEmpty() || !QFileInfo::exists(path)) {
        s.unavailable = true;
        return false;
    }
    auto* engine = new QHelpEngineCore(path, QCoreApplication::instance());
    engine->setReadOnly(true);
    if (!engine->setupData() || engine->registeredDocumentations().isEmpty()) {
        delete engine;
        s.unavailable = true;
        return false;
    }
    s.namespaceName = engine->registeredDocumentations().constFirst();
    delete s.engine.data();
    s.engine = engine;
    s.loadedStem = stem;
    return true;
}
#endif

}  // namespace

void SetHelpDirectory(const QString& dir) { State().dir = dir; }

QString HelpDirectory()
{
    HelpState& s = State();
    if (!s.dir.isEmpty())
        return s.dir;
    return QString::fromStdString(CIniFile::ProgramDir());
}

QUrl HelpTopicFor(int context)
{
#ifdef PROG_HAVE_QTHELP
    if (!EnsureEngine())
        return QUrl();
    HelpState& s = State();
    // Each topic page registers the context numbers it explains as keyword ids.
    const QList<QHelpLink> links = s.engine->documentsForIdentifier(QString::number(context));
    if (!links.isEmpty())
        return links.constFirst().url;
    return QUrl(QStringLiteral("qthelp://%1/doc/index.html").arg(s.namespaceName));
#else
    (void)context;
    State().unavailable = true;
    return QUrl();
#endif
}

void HtmlHelp(int context)
{
    const QUrl topic = HelpTopicFor(context);
    if (topic.isEmpty())
        return;
    HelpState& s = State();
    if (s.hook) {
        s.hook(context, topic);
        return;
    }
#ifdef PROG_HAVE_QTHELP
    if (!s.window) {
        auto* window = new QWidget(nullptr, Qt::Window);
        window->setAttribute(Qt::WA_DeleteOnClose, false);
        window->setAttribute(Qt::WA_QuitOnClose, false);
        window->setObjectName(QStringLiteral("HelpWindow"));
        window->setWindowTitle(QCoreApplication::translate("HelpAccess", "Help"));
        auto* layout = new QVBoxLayout(window);
        layout->setContentsMargins(0, 0, 0, 0);
        auto* browser = new CHelpBrowser(window);
        browser->setObjectName(QStringLiteral("HelpBrowser"));
        browser->setOpenLinks(true);
        layout->addWidget(browser);
        window->resize(720, 560);
        s.window = window;
    }
    if (auto* browser = s.window->findChild<QTextBrowser*>())
        browser->setSource(topic);
    s.window->show();
    s.window->raise();
    s.window->activateWindow();
#endif
}

bool IsHelpUnavailable() { return State().unavailable; }

QWidget* HelpWindow() { return State().window.data(); }

void SetHelpHook(HelpHook hook) { State().hook = std::move(hook); }

int HelpLoadAttempts() { return State().attempts; }

void ResetHelpState()
{
    HelpState& s = State();
#ifdef PROG_HAVE_QTHELP
    delete s.engine.data();
#endif
    s.loadedStem.clear();
    s.namespaceName.clear();
    s.unavailable = false;
    s.attempts = 0;
    delete s.window.data();
}
