#pragma once
// The documents of the main window: new ones, opened ones (a file, files
// dropped, an image read from a radio or a backup), Save and Save As, the
// recent files, and the questions before the program quits. The windows they
// show in are the frame's, reached through IWindows.
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

#include "core/radio/Image.h"

class CChildFrame;
class CProgramDoc;
class QMenu;
class QWidget;

class CDocManager {
public:
    // What the documents need of the window that holds them.
    class IWindows {
    public:
        virtual ~IWindows() = default;
        // The parent of the file dialogs and messages.
        virtual QWidget* DialogParent() = 0;
        virtual QList<CChildFrame*> ChildFrames() const = 0;
        virtual CChildFrame* ActiveChildFrame() const = 0;
        virtual CChildFrame* FrontChildFrame() const = 0;
        // A new document window for doc, which it takes, shown in front.
        virtual CChildFrame* AddChildFrame(CProgramDoc* doc) = 0;
        virtual void ShowChildFrame(CChildFrame* frame) = 0;
        virtual void DestroyChildFrame(CChildFrame* frame) = 0;
        virtual void UpdateFrameMenu() = 0;
    };

    explicit CDocManager(IWindows& windows) : m_windows(windows) {}

    // A new default document, or one from a file. A failed open shows a
    // message naming the file and the reason and changes nothing; an open
    // adds a window and leaves the others as they are; a file open already
    // is shown, not opened twice.
    bool NewDocument();
    bool OpenDocumentFile(const QString& path);
    // A document of an image without a file (a read from the radio, a
    // backup): Save asks for a name. origin tells it apart from another of the same title.
    CChildFrame* OpenImageDocument(const Image& image, const QString& title, const QString& origin = QString());

    // File > New: asks before discarding the document in front, then makes a new one.
    void OnFileNew();
    void OnFileOpen();
    void OnFileBackups();
    // Save of any document: to its file, or Save As when it has none (or `askName`).
    // A file open in another window is refused: two windows would save over each other.
    bool SaveDocument(CProgramDoc* doc, bool askName = false);
    // The window whose document has `path` as its file, other than `except`'s.
    CChildFrame* FrameOfFile(const QString& path, const CProgramDoc* except = nullptr) const;

    // The recent files, most recent first (kept in the per-user settings).
    QStringList RecentFiles() const;
    void AddRecentFile(const QString& path);
    // A file gone since is taken off the list, with a message.
    void OpenRecentFile(const QString& path);
    // Recent Files, as it opens: the files numbered, or that there are none.
    void FillRecentMenu(QMenu* menu);

    // Files dropped on the main window, or on `target`'s document window: one
    // radio document (.dat) opens as File > Open does; one channel list (.csv)
    // is imported into `target` after its preview; anything else is refused,
    // and so are several files at once.
    void OpenDroppedFiles(const QStringList& paths, CChildFrame* target);

    // Exit and the language relaunch. Every question comes first and does
    // nothing: a transfer running may stop? then each document with unsaved
    // changes, its window shown in front: "Save changes to <name>?" (and where,
    // for one without a file). Only with no Cancel are the saves made, in
    // order, then `commit` runs (the relaunch's language), then the transfers
    // stop. False: the program stays, transfers run on, and every document is
    // as it was, but those saved before a save that failed.
    bool PrepareToQuit(const std::function<bool()>& commit = {});

private:
    bool SaveTo(CProgramDoc* doc, const QString& path);
    // The Save As dialog for doc: the name chosen, "" when cancelled or refused
    // (open in another window, or among `taken`).
    QString AskSaveName(CProgramDoc* doc, const QStringList& taken = {});
    void WriteRecentFiles(const QStringList& files);
    // Beside "Save changes to <title>?": where the document came from, when
    // another open document has the same title.
    QString SaveQuestionDetail(const CChildFrame* frame) const;

    IWindows& m_windows;
};
