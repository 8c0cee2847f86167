#pragma once
// The document: one memory image, the single source of truth for a radio. It
// knows no window: whoever shows its channels is its working copy
// (IWorkingCopy), which undo snapshots take with the image. The image changes
// only here: every edit comes through Change.
#include <QObject>
#include <QString>
#include <functional>
#include <memory>

#include "core/editor/EditSnapshot.h"
#include "core/radio/Image.h"

class QUndoStack;
class QWidget;

class CProgramDoc : public QObject {
    Q_OBJECT
public:
    // The grid texts and band boxes of the window that shows the document.
    class IWorkingCopy {
    public:
        virtual ~IWorkingCopy() = default;
        virtual CEditSnapshot TakeSnapshot() const = 0;
        // The texts and band boxes of `snapshot`; the document has its image back already.
        virtual void RestoreSnapshot(const CEditSnapshot& snapshot) = 0;
        // The image was replaced: show it anew (ImageToGrid). Showing it may
        // bring the radio type up to date in `image`.
        virtual void DecodeImage(Image& image) = 0;
        // The cell editor still open is committed, as leaving its cell does.
        virtual void CommitOpenEditor() = 0;
        // What is typed is committed and the texts go into `image` (GridToImage).
        virtual void EncodeImage(Image& image) = 0;
    };

    explicit CProgramDoc(QObject* parent = nullptr);
    ~CProgramDoc() override;

    // Default image, title "Channel Information", path name [Setup] AppName, g_bNewDocument.
    bool OnNewDocument();
    // Loads the file; on failure *error names the file and the reason and nothing changes.
    bool OnOpenDocument(const QString& path, QString* error);
    // Brings the image up to date from the working copy (EncodeImage), then
    // saves atomically; a saved document is no longer modified.
    bool OnSaveDocument(const QString& path, QString* error);

    QString GetTitle() const { return m_strTitle; }
    void SetTitle(const QString& title);
    QString GetPathName() const { return m_strPathName; }
    void SetPathName(const QString& path) { m_strPathName = path; }
    // True when the path name was given by Open or Save As rather than by OnNewDocument.
    bool HasFilePath() const { return m_bHasFilePath; }

    // The radio's memory as read (or a backup of it): a document without a
    // file, so Save asks for a name and never replaces a file. origin says
    // where it came from ("read from the radio on COM1 at 10:42:07").
    void SetRadioImage(const Image& image, const QString& title, const QString& origin = QString());
    // Where the document comes from, to tell two of one title apart: its
    // file's full path, else what SetRadioImage or OnNewDocument gave.
    QString Origin() const;
    // The file a document without a file of its own was opened from (a
    // backup): no backup pruning removes it while the document is open.
    void SetSourceFile(const QString& path) { m_strSourceFile = path; }
    QString SourceFile() const { return m_strSourceFile; }

    // While a transfer to or from the radio runs, nothing may change the
    // document: the grid, the band boxes and the dialogs' OK ask here. reason
    // is what the user is told.
    void SetReadOnly(bool readOnly, const QString& reason = QString());
    bool IsReadOnly() const { return m_bReadOnly; }
    QString ReadOnlyReason() const { return m_strReadOnlyReason; }

    // ---- undo and the modified state ---------------------------------------
    static constexpr int kUndoLimit = 200;

    void SetWorkingCopy(IWorkingCopy* copy) { m_pWorkingCopy = copy; }
    // Before a transfer: the edit in progress is committed, and for a write
    // every text goes into the image it sends (then the same state: no undo
    // step). Nothing without a working copy.
    void CommitOpenEditor();
    void EncodeImage();
    // The working copy shows the image anew (after a load, on the first show).
    void DecodeImage();
    QUndoStack* UndoStack() const { return m_pUndoStack; }
    // The state now shown is where undo starts and what counts as unmodified
    // (a new or opened document, once its window shows it).
    void ResetHistory();
    // What a step changed outside the document (the main caption, the choice
    // remembered for new documents): called with true when the step is undone,
    // false when it is redone.
    using OutsideState = std::function<void(bool undone)>;
    // The one door for an edit, from the grid, the clipboard, a drop or a
    // dialog: refused while the document is read-only (false, and `change`
    // does not run); else `change` runs on the image (and on the working copy
    // it may touch), and all it changed becomes one undo step named `action`.
    // False also when nothing changed, or before the first ResetHistory (there
    // is no earlier state to go back to).
    using ChangeFn = std::function<void(Image& image)>;
    bool Change(const QString& action, const ChangeFn& change, OutsideState outside = {});
    // The state the next step starts from (nullptr before the first).
    const CEditSnapshot* LastState() const { return m_pLast.get(); }
    // The image replaced whole, as a completed read does: shown anew and one
    // undo step that brings back the document as it was before.
    void ReplaceImage(const Image& image, const QString& action);

    // Differs from what was last opened, saved or read.
    bool IsModified() const;
    // The state now shown is what was saved or read.
    void SetModifiedBaseline();
    // When modified, asks "Save changes to <title>?" with Save, Discard and
    // Cancel: Save runs the save command. True: the caller may close the
    // document (saved, or Discard: nothing is changed here, since a later
    // answer may still keep it open). False: the caller stops (cancelled, or
    // the save did not happen).
    bool SaveModified(QWidget* parent);
    // The question alone, with `detail` below it; nothing is done. Unmodified
    // when there is nothing to ask.
    enum class SaveAnswer { Unmodified, Save, Discard, Cancel };
    SaveAnswer AskSaveChanges(QWidget* parent, const QString& detail = QString());
    using SaveCommand = std::function<bool(CProgramDoc*)>;
    static void SetSaveCommand(SaveCommand save);

    // Memory the undo steps hold.
    std::size_t UndoBytes() const;

    // The radio's memory. It changes through Change, the loads, a read
    // (ReplaceImage, SetRadioImage) and undo only.
    const Image& GetImage() const { return m_image; }
    // The image replaced as a file's load replaces it, from memory: no undo
    // step, and shown when the working copy is told (DecodeImage). For
    // documents a test or a measurement sets up; an edit goes through Change.
    void LoadImage(const Image& image) { m_image = image; }

signals:
    void ReadOnlyChanged(bool readOnly);
    void ModifiedChanged(bool modified);
    void TitleChanged();

private:
    friend class CSnapshotCommand;
    using Snapshot = std::shared_ptr<const CEditSnapshot>;
    Snapshot Take() const;
    void Apply(const Snapshot& snapshot);
    void Push(Snapshot before, Snapshot after, const QString& action, OutsideState outside = {});
    bool RecordChange(const QString& action, OutsideState outside);

    Image m_image{};

    QString m_strTitle;
    QString m_strPathName;
    QString m_strOrigin;
    QString m_strSourceFile;
    bool m_bHasFilePath = false;
    bool m_bReadOnly = false;
    QString m_strReadOnlyReason;

    IWorkingCopy* m_pWorkingCopy = nullptr;
    QUndoStack* m_pUndoStack = nullptr;
    Snapshot m_pLast;        // the state the next step starts from
    Snapshot m_pCleanState;  // the unmodified state
};
