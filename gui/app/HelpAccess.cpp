#include "gui/app/HelpAccess.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QTextBrowser>
#include <QVBoxLayout>
#include <QScreen>
#include <QShortcut>
#include <QWindow>
#include <QWidget>

#include "gui/app/AppContext.h"
#include "core/app/Globals.h"
#include "core/app/IniFile.h"

#include <QAction>
#include <QDateTime>
#include <QHelpContentWidget>
#include <QHelpEngine>
#include <QHelpLink>
#include <QHelpSearchEngine>
#include <QHelpSearchQueryWidget>
#include <QRegularExpression>
#include <QSplitter>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTextDocument>
#include <QToolBar>
#include <QToolButton>
#include <algorithm>

namespace {

struct HelpState {
    // Owned by the application object, so it goes before the toolkit does.
    QPointer<QHelpEngine> engine;
    QString loadedStem;     // collection the engine holds
    QString namespaceName;  // its one documentation set
    bool unavailable = false;
    int attempts = 0;
    QString dir;
    HelpHook hook;
    QPointer<QWidget> window;
    // The engine's contents and search widgets went into a window; they go with it.
    bool engineWidgetsUsed = false;
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

// The search keeps its index beside the collection; an installed collection in
// a folder the user cannot write to is used through a copy in the user's cache.
QString WritableCollection(QHelpEngine* engine, const QString& path)
{
    if (QFileInfo(QFileInfo(path).absolutePath()).isWritable())
        return path;
    const QString cacheDir = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    if (cacheDir.isEmpty() || !QDir().mkpath(cacheDir))
        return path;
    const QString copy = QDir(cacheDir).filePath(QFileInfo(path).fileName());
    const QFileInfo copyInfo(copy);
    if (copyInfo.exists() && copyInfo.lastModified() >= QFileInfo(path).lastModified())
        return copy;
    QFile::remove(copy);
    return engine->copyCollectionFile(copy) ? copy : path;
}

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
    auto* engine = new QHelpEngine(path, QCoreApplication::instance());
    engine->setReadOnly(true);
    bool ok = engine->setupData();
    if (ok) {
        const QString used = WritableCollection(engine, path);
        if (used != path) {
            engine->setCollectionFile(used);
            ok = engine->setupData();
        }
    }
    if (!ok || engine->registeredDocumentations().isEmpty()) {
        delete engine;
        s.unavailable = true;
        return false;
    }
    s.namespaceName = engine->registeredDocumentations().constFirst();
    delete s.window.data();  // its contents and search belonged to the old engine
    delete s.engine.data();
    s.engineWidgetsUsed = false;
    s.engine = engine;
    s.loadedStem = stem;
    return true;
}

QString HelpText(const char* text) { return QCoreApplication::translate("HelpAccess", text); }

// The full-text index takes a run of Chinese characters for one word, so it
// finds no word inside such a run ("串口" in "选择串口"). A query with such
// characters is looked up in the pages' text instead.
bool IsCjkQuery(const QString& query)
{
    for (const char32_t c : query.toUcs4()) {
        const QChar::Script script = QChar::script(c);
        if (script == QChar::Script_Han || script == QChar::Script_Hiragana || script == QChar::Script_Katakana ||
            script == QChar::Script_Hangul || script == QChar::Script_Bopomofo)
            return true;
    }
    return false;
}

struct PageHit {
    QUrl url;
    QString title;
    QString snippet;  // plain text around the first match
    bool inTitle = false;
    qsizetype matches = 0;
};

// Pages whose text holds every word of the query (letter case aside): those
// with the words in their title first, then by how often the words occur.
QList<PageHit> SearchPageText(QHelpEngine* engine, const QString& ns, const QString& query)
{
    const QStringList words = query.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
    QList<PageHit> hits;
    if (words.isEmpty())
        return hits;
    for (const QUrl& url : engine->files(ns, QString(), QStringLiteral("html"))) {
        QTextDocument page;
        page.setHtml(QString::fromUtf8(engine->fileData(url)));
        const QString text = page.toPlainText();
        PageHit hit{url, page.metaInformation(QTextDocument::DocumentTitle), QString(), true, 0};
        bool all = true;
        for (const QString& word : words) {
            const qsizetype n = text.count(word, Qt::CaseInsensitive);
            all = all && n > 0;
            hit.matches += n;
            hit.inTitle = hit.inTitle && hit.title.contains(word, Qt::CaseInsensitive);
        }
        if (!all)
            continue;
        const qsizetype at = text.indexOf(words.constFirst(), 0, Qt::CaseInsensitive);
        const qsizetype from = std::max<qsizetype>(0, at - 40);
        hit.snippet = text.mid(from, words.constFirst().size() + 80).simplified();
        hits << hit;
    }
    std::stable_sort(hits.begin(), hits.end(), [](const PageHit& a, const PageHit& b) {
        return a.inTitle != b.inTitle ? a.inTitle : a.matches > b.matches;
    });
    return hits;
}

// The results as links to their pages, each with the text around the match
// (the words found in bold).
void ShowResults(QTextBrowser* results, const QString& query, const QList<PageHit>& hits, bool snippetIsHtml)
{
    QString html;
    if (hits.isEmpty() && !query.isEmpty())
        html = QStringLiteral("<p>%1</p>").arg(HelpText("No page contains \"%1\".").arg(query.toHtmlEscaped()));
    for (const PageHit& hit : hits) {
        QString snippet = snippetIsHtml ? hit.snippet : hit.snippet.toHtmlEscaped();
        if (!snippetIsHtml)
            for (const QString& word : query.split(QLatin1Char(' '), Qt::SkipEmptyParts))
                snippet.replace(QRegularExpression(QLatin1Char('(') + QRegularExpression::escape(word.toHtmlEscaped()) +
                                                       QLatin1Char(')'),
                                                   QRegularExpression::CaseInsensitiveOption),
                                QStringLiteral("<b>\\1</b>"));
        html += QStringLiteral("<p><a href=\"%1\">%2</a><br/>%3</p>")
                    .arg(hit.url.toString().toHtmlEscaped(), hit.title.toHtmlEscaped(), snippet);
    }
    results->setHtml(html);
}

QWidget* CreateHelpWindow(QHelpEngine* engine)
{
    auto* window = new QWidget(nullptr, Qt::Window);
    window->setAttribute(Qt::WA_DeleteOnClose, false);
    window->setAttribute(Qt::WA_QuitOnClose, false);
    window->setObjectName(QStringLiteral("HelpWindow"));
    window->setWindowTitle(HelpText("Help"));
    auto* layout = new QVBoxLayout(window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    auto* browser = new CHelpBrowser(window);
    browser->setObjectName(QStringLiteral("HelpBrowser"));
    browser->setAccessibleName(HelpText("Help page"));
    browser->setOpenLinks(true);

    auto* bar = new QToolBar(window);
    bar->setObjectName(QStringLiteral("HelpToolBar"));
    bar->setAccessibleName(HelpText("Help toolbar"));
    bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    // A screen reader finds the button for what a narrow window has no room for, hidden or not.
    if (auto* more = bar->findChild<QToolButton*>(QStringLiteral("qt_toolbar_ext_button")))
        more->setAccessibleName(HelpText("More toolbar buttons"));
    QAction* back = bar->addAction(HelpText("Back"), browser, &QTextBrowser::backward);
    back->setObjectName(QStringLiteral("HelpBack"));
    back->setShortcut(QKeySequence::Back);
    back->setEnabled(false);
    QAction* forward = bar->addAction(HelpText("Forward"), browser, &QTextBrowser::forward);
    forward->setObjectName(QStringLiteral("HelpForward"));
    forward->setShortcut(QKeySequence::Forward);
    forward->setEnabled(false);
    const QUrl home(QStringLiteral("qthelp://%1/doc/index.html").arg(State().namespaceName));
    QAction* contents = bar->addAction(HelpText("Contents"), browser, [browser, home] { browser->setSource(home); });
    contents->setObjectName(QStringLiteral("HelpHome"));
    contents->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Home));
    // Escape closes the help as it closes a dialog.
    auto* close = new QShortcut(QKeySequence(Qt::Key_Escape), window, window, &QWidget::close);
    close->setContext(Qt::WindowShortcut);
    QObject::connect(browser, &QTextBrowser::backwardAvailable, back, &QAction::setEnabled);
    QObject::connect(browser, &QTextBrowser::forwardAvailable, forward, &QAction::setEnabled);
    layout->addWidget(bar);

    // Left: the table of contents and the full-text search; right: the page.
    auto* tabs = new QTabWidget(window);
    tabs->setObjectName(QStringLiteral("HelpTabs"));
    tabs->setAccessibleName(HelpText("Contents and search"));
    QHelpContentWidget* toc = engine->contentWidget();
    toc->setObjectName(QStringLiteral("HelpContents"));
    toc->setAccessibleName(HelpText("Contents"));
    QObject::connect(toc, &QHelpContentWidget::linkActivated, browser,
                     [browser](const QUrl& url) { browser->setSource(url); });
    tabs->addTab(toc, HelpText("Contents"));

    QHelpSearchEngine* search = engine->searchEngine();
    auto* searchPage = new QWidget(tabs);
    auto* searchLayout = new QVBoxLayout(searchPage);
    QHelpSearchQueryWidget* query = search->queryWidget();
    query->setObjectName(QStringLiteral("HelpSearchQuery"));
    // One list for the index's results and for those of the pages' own text:
    // a link per page (Tab reaches each, Enter opens it).
    auto* results = new QTextBrowser(searchPage);
    results->setObjectName(QStringLiteral("HelpSearchResults"));
    results->setAccessibleName(HelpText("Search results"));
    results->setOpenLinks(false);
    searchLayout->addWidget(query);
    searchLayout->addWidget(results, 1);
    tabs->addTab(searchPage, HelpText("Search"));
    const QString ns = State().namespaceName;
    QObject::connect(query, &QHelpSearchQueryWidget::search, search, [engine, search, query, results, ns] {
        const QString input = query->searchInput().simplified();
        if (input.isEmpty())
            results->clear();
        else if (IsCjkQuery(input))
            ShowResults(results, input, SearchPageText(engine, ns, input), false);
        else
            search->search(input);
    });
    QObject::connect(search, &QHelpSearchEngine::searchingFinished, results, [search, results](int count) {
        QList<PageHit> hits;
        for (const QHelpSearchResult& r : search->searchResults(0, count))
            hits << PageHit{r.url(), r.title(), r.snippet(), false, 1};
        ShowResults(results, search->searchInput(), hits, true);
    });
    QObject::connect(results, &QTextBrowser::anchorClicked, browser,
                     [browser](const QUrl& url) { browser->setSource(url); });
    // Searching waits until the pages are indexed (once per collection, kept on disk).
    QObject::connect(search, &QHelpSearchEngine::indexingStarted, query, [query] { query->setEnabled(false); });
    QObject::connect(search, &QHelpSearchEngine::indexingFinished, query, [query] { query->setEnabled(true); });
    search->scheduleIndexDocumentation();

    auto* split = new QSplitter(window);
    split->addWidget(tabs);
    split->addWidget(browser);
    split->setStretchFactor(1, 1);
    split->setSizes({220, 600});
    layout->addWidget(split, 1);
    window->resize(860, 600);
    return window;
}

// A modal dialog blocks every window that is not its own: while one is up the
// help window becomes a window of that dialog, so it stays usable and in front,
// and it returns to the top level when the dialog goes away.
class CModalFollower : public QObject {
public:
    using QObject::QObject;
    // The first showing goes to the middle of the screen the program is on.
    static void PlaceFirst(QWidget* help)
    {
        if (IsPlaced(help))
            return;
        help->setProperty(kPlaced, true);
        const QWidget* near = QApplication::activeWindow();
        const QScreen* screen = near ? near->screen() : QGuiApplication::primaryScreen();
        if (!screen)
            return;
        QRect r(QPoint(), help->size());
        r.moveCenter(screen->availableGeometry().center());
        help->move(r.topLeft());
    }
    void Follow(QWidget* help)
    {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == help)
            modal = nullptr;
        if (help->parentWidget() == modal)
            return;
        if (QWidget* old = help->parentWidget())
            old->removeEventFilter(this);
        Reparent(help, modal);
        if (modal)
            modal->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        const bool leaving = event->type() == QEvent::Hide || event->type() == QEvent::Close;
        QWidget* help = State().window.data();
        if (leaving && help && help->parentWidget() == watched) {
            watched->removeEventFilter(this);
            const bool shown = help->isVisible();
            Reparent(help, nullptr);
            if (shown)
                help->show();
        }
        return QObject::eventFilter(watched, event);
    }

private:
    static void Reparent(QWidget* help, QWidget* parent)
    {
        // A window shown before keeps its place.
        const QRect geometry = help->geometry();
        help->setParent(parent, help->windowFlags() | Qt::Window);
        if (IsPlaced(help))
            help->setGeometry(geometry);
    }
    static bool IsPlaced(const QWidget* help) { return help->property(kPlaced).toBool(); }
    static constexpr const char* kPlaced = "helpPlaced";
};

CModalFollower& Follower()
{
    static auto* follower = new CModalFollower(QCoreApplication::instance());
    return *follower;
}

}  // namespace

void SetHelpDirectory(const QString& dir) { State().dir = dir; }

QString HelpDirectory()
{
    HelpState& s = State();
    if (!s.dir.isEmpty())
        return s.dir;
    return QString::fromStdString(CIniFile::ProgramDir());
}

QUrl HelpTopicFor(int context, int dialog)
{
    if (!EnsureEngine())
        return QUrl();
    HelpState& s = State();
    // Each topic page registers the context numbers it explains as keyword ids.
    const QStringList ids = dialog != 0
                                ? QStringList{QStringLiteral("%1.%2").arg(dialog).arg(context), QString::number(dialog)}
                                : QStringList{QString::number(context)};
    for (const QString& id : ids) {
        const QList<QHelpLink> links = s.engine->documentsForIdentifier(id);
        if (!links.isEmpty())
            return links.constFirst().url;
    }
    return QUrl(QStringLiteral("qthelp://%1/doc/index.html").arg(s.namespaceName));
}

void HtmlHelp(int context, int dialog)
{
    const QUrl topic = HelpTopicFor(context, dialog);
    if (topic.isEmpty())
        return;
    HelpState& s = State();
    if (s.hook) {
        s.hook(context, topic);
        return;
    }
    if (!s.window && s.engineWidgetsUsed) {
        // The window went away with a dialog it belonged to: start from a fresh engine.
        delete s.engine.data();
        s.loadedStem.clear();
        if (!EnsureEngine())
            return;
    }
    if (!s.window) {
        s.window = CreateHelpWindow(s.engine);
        s.engineWidgetsUsed = true;
    }
    if (auto* browser = s.window->findChild<QTextBrowser*>(QStringLiteral("HelpBrowser")))
        browser->setSource(topic);
    Follower().Follow(s.window);
    CModalFollower::PlaceFirst(s.window);
    s.window->show();
    s.window->raise();
    s.window->activateWindow();
}

bool IsHelpUnavailable() { return State().unavailable; }

QWidget* HelpWindow() { return State().window.data(); }

void SetHelpHook(HelpHook hook) { State().hook = std::move(hook); }

int HelpLoadAttempts() { return State().attempts; }

void CloseHelp()
{
    HelpState& s = State();
    // The window first: it holds views of the engine's models.
    delete s.window.data();
    delete s.engine.data();
    s.loadedStem.clear();
    s.namespaceName.clear();
    s.engineWidgetsUsed = false;
}

void ResetHelpState()
{
    HelpState& s = State();
    CloseHelp();
    s.unavailable = false;
    s.attempts = 0;
}
