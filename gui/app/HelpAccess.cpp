#include "gui/app/HelpAccess.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHash>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMap>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QShortcut>
#include <QSplitter>
#include <QTabWidget>
#include <QTextBrowser>
#include <QTextDocument>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QVBoxLayout>
#include <QWidget>
#include <QWindow>
#include <QXmlStreamReader>
#include <algorithm>
#include <memory>

#include "core/app/Globals.h"
#include "core/app/IniFile.h"
#include "gui/app/AppContext.h"

namespace {

// One language's help: the pages in its folder and what its index (the
// project file <stem>.qhp) says of them.
struct HelpBook {
    struct Entry {
        QString title;
        QString ref;  // page, with "#section"
        int depth = 0;
    };
    struct Keyword {
        QString name;
        QString id;  // a context number, "<dialog>.<control>" or empty
        QString ref;
    };
    QString folder;
    QString ns;                     // the namespace, the host of the topics' URLs
    QString virtualFolder = "doc";  // their first path part
    QList<Entry> toc;
    QList<Keyword> keywords;
    QStringList files;  // what the pages may load: nothing outside this list
    struct Page {
        QString title;
        QString text;
    };
    QHash<QString, Page> pages;  // read once, for the search

    QUrl Url(const QString& ref) const { return QUrl(QStringLiteral("qthelp://%1/%2/%3").arg(ns, virtualFolder, ref)); }
    // The file behind one of this book's URLs; "" for any other.
    QString FileOf(const QUrl& url) const
    {
        if (url.scheme() != QLatin1String("qthelp") || url.host().compare(ns, Qt::CaseInsensitive) != 0)
            return QString();
        const QString prefix = QLatin1Char('/') + virtualFolder + QLatin1Char('/');
        const QString path = QDir::cleanPath(url.path());
        if (!path.startsWith(prefix))
            return QString();
        const QString name = path.mid(prefix.size());
        return files.contains(name) ? name : QString();
    }
    QByteArray Data(const QString& name) const
    {
        QFile f(QDir(folder).filePath(name));
        constexpr qint64 kPageLimit = 4 * 1024 * 1024;
        if (name.isEmpty() || !f.open(QIODevice::ReadOnly) || f.size() > kPageLimit)
            return QByteArray();
        return f.readAll();
    }
    const Page& PageOf(const QString& name)
    {
        auto it = pages.find(name);
        if (it != pages.end())
            return *it;
        QTextDocument doc;
        const QString source = QString::fromUtf8(Data(name));
        Page page;
        if (name.endsWith(QLatin1String(".md"))) {
            doc.setMarkdown(source);
            page.title = doc.toPlainText().section(QLatin1Char('\n'), 0, 0).trimmed();
        } else {
            doc.setHtml(source);
            page.title = doc.metaInformation(QTextDocument::DocumentTitle);
        }
        page.text = doc.toPlainText();
        return *pages.insert(name, page);
    }
};

// Reads <folder>/<stem>.qhp; null when it is missing or not such an index.
std::unique_ptr<HelpBook> ReadBook(const QString& folder, const QString& stem)
{
    QFile file(QDir(folder).filePath(stem + QStringLiteral(".qhp")));
    constexpr qint64 kIndexLimit = 1024 * 1024;
    if (stem.isEmpty() || !QFileInfo(file.fileName()).isFile() || file.size() > kIndexLimit ||
        !file.open(QIODevice::ReadOnly))
        return nullptr;
    auto book = std::make_unique<HelpBook>();
    book->folder = folder;
    QXmlStreamReader xml(&file);
    int depth = 0;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            const auto name = xml.name();
            const QXmlStreamAttributes a = xml.attributes();
            if (name == QLatin1String("namespace")) {
                book->ns = xml.readElementText().trimmed();
            } else if (name == QLatin1String("virtualFolder")) {
                book->virtualFolder = xml.readElementText().trimmed();
            } else if (name == QLatin1String("section")) {
                book->toc << HelpBook::Entry{a.value(QLatin1String("title")).toString(),
                                             a.value(QLatin1String("ref")).toString(), depth++};
            } else if (name == QLatin1String("keyword")) {
                book->keywords << HelpBook::Keyword{a.value(QLatin1String("name")).toString(),
                                                    a.value(QLatin1String("id")).toString(),
                                                    a.value(QLatin1String("ref")).toString()};
            } else if (name == QLatin1String("file")) {
                book->files << xml.readElementText().trimmed();
            }
        } else if (xml.isEndElement() && xml.name() == QLatin1String("section")) {
            --depth;
        }
    }
    if (xml.hasError() || book->ns.isEmpty() || !book->files.contains(QStringLiteral("index.html")))
        return nullptr;
    return book;
}

struct HelpState {
    std::unique_ptr<HelpBook> book;
    QString loadedStem;  // the help the book holds
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

QString HelpStem()
{
    // g_strHelpFile keeps the names "enHelp.chm" / "chHelp.chm"; the stem names the help's folder.
    return QFileInfo(QString::fromStdString(g_strHelpFile)).completeBaseName();
}

// Reading happens once: a missing or broken help marks it unavailable for good.
bool EnsureBook()
{
    HelpState& s = State();
    if (s.unavailable)
        return false;
    const QString stem = HelpStem();
    if (s.book && s.loadedStem == stem)
        return true;
    ++s.attempts;
    std::unique_ptr<HelpBook> book = ReadBook(QDir(HelpDirectory()).filePath(stem), stem);
    if (!book) {
        s.unavailable = true;
        return false;
    }
    delete s.window.data();  // its contents and index were the other language's
    s.book = std::move(book);
    s.loadedStem = stem;
    return true;
}

QString HelpText(const char* text) { return QCoreApplication::translate("HelpAccess", text); }

// The page view reads its pages and pictures out of the book, and follows
// only links to them (or to the web, in the user's browser).
class CHelpBrowser : public QTextBrowser {
public:
    explicit CHelpBrowser(QWidget* parent) : QTextBrowser(parent) {}
    QVariant loadResource(int type, const QUrl& url) override
    {
        HelpBook* book = State().book.get();
        if (!book)
            return QVariant();
        const QByteArray data = book->Data(book->FileOf(url));
        if (type == QTextDocument::ImageResource)
            return data;
        return QString::fromUtf8(data);
    }
};

bool IsCjk(const QString& word)
{
    for (const char32_t c : word.toUcs4()) {
        const QChar::Script script = QChar::script(c);
        if (script == QChar::Script_Han || script == QChar::Script_Hiragana || script == QChar::Script_Katakana ||
            script == QChar::Script_Hangul || script == QChar::Script_Bopomofo)
            return true;
    }
    return false;
}

// How often word occurs in text: Chinese anywhere (its words are not set
// apart), other words where a word begins ("port" finds "ports").
qsizetype Occurrences(const QString& text, const QString& word, qsizetype* first)
{
    const bool anywhere = IsCjk(word);
    qsizetype n = 0;
    for (qsizetype at = text.indexOf(word, 0, Qt::CaseInsensitive); at >= 0;
         at = text.indexOf(word, at + 1, Qt::CaseInsensitive)) {
        if (!anywhere && at > 0 && text[at - 1].isLetterOrNumber())
            continue;
        if (n++ == 0 && first)
            *first = at;
    }
    return n;
}

// About a line of text around a match, cut at spaces where the text has them.
QString Snippet(const QString& text, qsizetype at, qsizetype length)
{
    qsizetype from = std::max<qsizetype>(0, at - 40);
    qsizetype to = std::min<qsizetype>(text.size(), at + length + 60);
    const qsizetype space = from > 0 ? text.indexOf(QLatin1Char(' '), from) : -1;
    if (space >= 0 && space < at)
        from = space + 1;
    const qsizetype last = to < text.size() ? text.lastIndexOf(QLatin1Char(' '), to) : -1;
    if (last > at + length)
        to = last;
    const QString ellipsis(QChar(0x2026));
    return (from > 0 ? ellipsis : QString()) + text.mid(from, to - from).simplified() +
           (to < text.size() ? ellipsis : QString());
}

struct PageHit {
    QUrl url;
    QString title;
    QString snippet;  // plain text around the first match
    bool inTitle = false;
    qsizetype matches = 0;
};

// Pages that hold every word of the query (letter case aside): those with the
// words in their title first, then by how often the words occur; the
// troubleshooting guide last.
QList<PageHit> SearchPages(HelpBook& book, const QString& query)
{
    const QStringList words = query.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
    QList<PageHit> hits;
    if (words.isEmpty())
        return hits;
    for (const QString& name : book.files) {
        if (!name.endsWith(QLatin1String(".html")) && !name.endsWith(QLatin1String(".md")))
            continue;
        const HelpBook::Page& page = book.PageOf(name);
        PageHit hit{book.Url(name), page.title, QString(), true, 0};
        qsizetype first = -1;
        bool all = true;
        for (const QString& word : words) {
            const qsizetype n = Occurrences(page.text, word, first < 0 ? &first : nullptr);
            all = all && n > 0;
            hit.matches += n;
            hit.inTitle = hit.inTitle && Occurrences(hit.title, word, nullptr) > 0;
        }
        if (!all)
            continue;
        hit.snippet = Snippet(page.text, first, words.constFirst().size());
        hits << hit;
    }
    // The help's own pages before the guide, which is in English only.
    std::stable_sort(hits.begin(), hits.end(), [](const PageHit& a, const PageHit& b) {
        const bool guideA = a.url.path().endsWith(QLatin1String(".md"));
        const bool guideB = b.url.path().endsWith(QLatin1String(".md"));
        if (guideA != guideB)
            return guideB;
        return a.inTitle != b.inTitle ? a.inTitle : a.matches > b.matches;
    });
    return hits;
}

// The results as links to their pages, each with the text around the match
// (the words found in bold).
void ShowResults(QTextBrowser* results, const QString& query, const QList<PageHit>& hits)
{
    QString html;
    if (hits.isEmpty() && !query.isEmpty())
        html = QStringLiteral("<p>%1</p>").arg(HelpText("No page contains \"%1\".").arg(query.toHtmlEscaped()));
    for (const PageHit& hit : hits) {
        QString snippet = hit.snippet.toHtmlEscaped();
        for (const QString& word : query.split(QLatin1Char(' '), Qt::SkipEmptyParts))
            snippet.replace(QRegularExpression(
                                QLatin1Char('(') + QRegularExpression::escape(word.toHtmlEscaped()) + QLatin1Char(')'),
                                QRegularExpression::CaseInsensitiveOption),
                            QStringLiteral("<b>\\1</b>"));
        html += QStringLiteral("<p><a href=\"%1\">%2</a><br/>%3</p>")
                    .arg(hit.url.toString().toHtmlEscaped(), hit.title.toHtmlEscaped(), snippet);
    }
    results->setHtml(html);
}

// The book's page for url, a web address in the user's browser; anything else stays put.
void FollowLink(QTextBrowser* browser, const QUrl& link)
{
    HelpBook* book = State().book.get();
    const QUrl url = browser->source().resolved(link);
    if (book && !book->FileOf(url).isEmpty())
        browser->setSource(url);
    else if (link.scheme() == QLatin1String("https") || link.scheme() == QLatin1String("http") ||
             link.scheme() == QLatin1String("mailto"))
        QDesktopServices::openUrl(link);
}

QWidget* ContentsTab(HelpBook& book, QTextBrowser* browser, QWidget* parent)
{
    auto* toc = new QTreeWidget(parent);
    toc->setObjectName(QStringLiteral("HelpContents"));
    toc->setAccessibleName(HelpText("Contents"));
    toc->setHeaderHidden(true);
    QList<QTreeWidgetItem*> open;  // the last item of each depth
    for (const HelpBook::Entry& e : book.toc) {
        const int depth = std::min<int>(e.depth, static_cast<int>(open.size()));
        open.resize(depth);
        auto* item = depth == 0 ? new QTreeWidgetItem(toc) : new QTreeWidgetItem(open.constLast());
        item->setText(0, e.title);
        item->setData(0, Qt::UserRole, book.Url(e.ref));
        open << item;
    }
    toc->expandToDepth(0);
    const auto go = [browser](QTreeWidgetItem* item) {
        if (item)
            browser->setSource(item->data(0, Qt::UserRole).toUrl());
    };
    // The contents show where the page is: its section, else its page.
    QObject::connect(browser, &QTextBrowser::sourceChanged, toc, [toc](const QUrl& url) {
        QTreeWidgetItem* page = nullptr;
        for (QTreeWidgetItemIterator it(toc); *it; ++it) {
            const QUrl at = (*it)->data(0, Qt::UserRole).toUrl();
            if (at == url) {
                toc->setCurrentItem(*it);
                return;
            }
            if (!page && at.adjusted(QUrl::RemoveFragment) == url.adjusted(QUrl::RemoveFragment))
                page = *it;
        }
        if (page)
            toc->setCurrentItem(page);
    });
    QObject::connect(toc, &QTreeWidget::itemActivated, browser, go);
    QObject::connect(toc, &QTreeWidget::itemClicked, browser, go);
    return toc;
}

// The keywords in order, narrowed as the user types; Enter opens the one chosen.
QWidget* IndexTab(HelpBook& book, QTextBrowser* browser, QWidget* parent)
{
    auto* page = new QWidget(parent);
    auto* layout = new QVBoxLayout(page);
    auto* filter = new QLineEdit(page);
    filter->setObjectName(QStringLiteral("HelpIndexFilter"));
    filter->setAccessibleName(HelpText("Look for a topic"));
    filter->setPlaceholderText(HelpText("Type the first letters"));
    auto* list = new QListWidget(page);
    list->setObjectName(QStringLiteral("HelpIndex"));
    list->setAccessibleName(HelpText("Index"));
    QMap<QString, QUrl> byName;  // one entry a name: the first topic it names
    for (const HelpBook::Keyword& k : book.keywords) {
        const QString key = k.name.toCaseFolded();
        if (!k.name.isEmpty() && !byName.contains(key))
            byName.insert(key, book.Url(k.ref));
    }
    for (const HelpBook::Keyword& k : book.keywords) {
        const QString key = k.name.toCaseFolded();
        if (!byName.contains(key))
            continue;
        auto* item = new QListWidgetItem(k.name);
        item->setData(Qt::UserRole, byName.take(key));
        item->setData(Qt::UserRole + 1, key);
        list->addItem(item);
    }
    list->sortItems();
    layout->addWidget(filter);
    layout->addWidget(list, 1);
    QObject::connect(filter, &QLineEdit::textChanged, list, [list](const QString& text) {
        const QString wanted = text.trimmed().toCaseFolded();
        QListWidgetItem* first = nullptr;
        for (int i = 0; i < list->count(); ++i) {
            QListWidgetItem* item = list->item(i);
            const QString key = item->data(Qt::UserRole + 1).toString();
            item->setHidden(!key.contains(wanted));
            if (!first && key.startsWith(wanted))
                first = item;
        }
        if (first)
            list->setCurrentItem(first);
    });
    const auto go = [browser](QListWidgetItem* item) {
        if (item)
            browser->setSource(item->data(Qt::UserRole).toUrl());
    };
    QObject::connect(filter, &QLineEdit::returnPressed, list, [list, go] { go(list->currentItem()); });
    QObject::connect(list, &QListWidget::itemActivated, browser, go);
    QObject::connect(list, &QListWidget::itemClicked, browser, go);
    return page;
}

QWidget* SearchTab(HelpBook& book, QTextBrowser* browser, QWidget* parent)
{
    auto* page = new QWidget(parent);
    auto* layout = new QVBoxLayout(page);
    auto* row = new QHBoxLayout;
    auto* query = new QLineEdit(page);
    query->setObjectName(QStringLiteral("HelpSearchQuery"));
    query->setAccessibleName(HelpText("Search for"));
    auto* find = new QPushButton(HelpText("&Search"), page);
    find->setObjectName(QStringLiteral("HelpSearchButton"));
    row->addWidget(query, 1);
    row->addWidget(find);
    // A link per page (Tab reaches each, Enter opens it).
    auto* results = new QTextBrowser(page);
    results->setObjectName(QStringLiteral("HelpSearchResults"));
    results->setAccessibleName(HelpText("Search results"));
    results->setOpenLinks(false);
    layout->addLayout(row);
    layout->addWidget(results, 1);
    const auto search = [&book, query, results] {
        const QString input = query->text().simplified();
        if (input.isEmpty())
            results->clear();
        else
            ShowResults(results, input, SearchPages(book, input));
    };
    QObject::connect(query, &QLineEdit::returnPressed, results, search);
    QObject::connect(find, &QPushButton::clicked, results, search);
    QObject::connect(results, &QTextBrowser::anchorClicked, browser,
                     [browser](const QUrl& url) { browser->setSource(url); });
    return page;
}

QWidget* CreateHelpWindow(HelpBook& book)
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
    browser->setOpenLinks(false);
    QObject::connect(browser, &QTextBrowser::anchorClicked, browser,
                     [browser](const QUrl& link) { FollowLink(browser, link); });

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
    const QUrl home = book.Url(QStringLiteral("index.html"));
    QAction* contents = bar->addAction(HelpText("Contents"), browser, [browser, home] { browser->setSource(home); });
    contents->setObjectName(QStringLiteral("HelpHome"));
    contents->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Home));
    // Escape closes the help as it closes a dialog.
    auto* close = new QShortcut(QKeySequence(Qt::Key_Escape), window, window, &QWidget::close);
    close->setContext(Qt::WindowShortcut);
    QObject::connect(browser, &QTextBrowser::backwardAvailable, back, &QAction::setEnabled);
    QObject::connect(browser, &QTextBrowser::forwardAvailable, forward, &QAction::setEnabled);
    layout->addWidget(bar);

    // Left: the contents, the index and the search; right: the page.
    auto* tabs = new QTabWidget(window);
    tabs->setObjectName(QStringLiteral("HelpTabs"));
    tabs->setAccessibleName(HelpText("Contents and search"));
    tabs->addTab(ContentsTab(book, browser, tabs), HelpText("Contents"));
    tabs->addTab(SearchTab(book, browser, tabs), HelpText("Search"));
    tabs->addTab(IndexTab(book, browser, tabs), HelpText("Index"));
    // A tab chosen takes the keys: the search's and the index's line to type in.
    QObject::connect(tabs, &QTabWidget::currentChanged, tabs, [tabs](int) {
        if (auto* input = tabs->currentWidget()->findChild<QLineEdit*>())
            input->setFocus();
    });

    auto* split = new QSplitter(window);
    split->addWidget(tabs);
    split->addWidget(browser);
    split->setStretchFactor(1, 1);
    split->setSizes({240, 600});
    layout->addWidget(split, 1);
    window->resize(880, 600);
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
    if (!EnsureBook())
        return QUrl();
    const HelpBook& book = *State().book;
    // Each topic registers the context numbers it explains as keyword ids.
    const QStringList ids = dialog != 0
                                ? QStringList{QStringLiteral("%1.%2").arg(dialog).arg(context), QString::number(dialog)}
                                : QStringList{QString::number(context)};
    for (const QString& id : ids) {
        for (const HelpBook::Keyword& k : book.keywords) {
            if (k.id == id)
                return book.Url(k.ref);
        }
    }
    return book.Url(QStringLiteral("index.html"));
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
    if (!s.window)
        s.window = CreateHelpWindow(*s.book);
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
    // The window first: its tabs search the book.
    delete s.window.data();
    s.book.reset();
    s.loadedStem.clear();
}

void ResetHelpState()
{
    HelpState& s = State();
    CloseHelp();
    s.unavailable = false;
    s.attempts = 0;
}
