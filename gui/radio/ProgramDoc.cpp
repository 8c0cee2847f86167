#include "gui/radio/ProgramDoc.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTime>
#include <QUndoStack>
#include <set>
#include <utility>

#include "core/app/Globals.h"
#include "core/radio/DatFile.h"
#include "gui/app/AppContext.h"
#include "gui/app/MessageBox.h"
#include "bridge/CorePath.h"

namespace {
CProgramDoc::SaveCommand& SaveCommandSlot()
{
    static CProgramDoc::SaveCommand save;
    return save;
}
}  // namespace

// An undo step: the document's whole state before and after. Pushed once the
// change is made, so its first redo has nothing to do.
class CSnapshotCommand : public QUndoCommand {
public:
    CSnapshotCommand(CProgramDoc* doc, CProgramDoc::Snapshot before, CProgramDoc::Snapshot after, const QString& text,
                     CProgramDoc::OutsideState outside)
        : QUndoCommand(text),
          m_pDoc(doc),
          m_pBefore(std::move(before)),
          m_pAfter(std::move(after)),
          m_outside(std::move(outside))
    {
    }
    void undo() override
    {
        m_pDoc->Apply(m_pBefore);
        if (m_outside)
            m_outside(true);
    }
    void redo() override
    {
        if (m_bDone) {
            m_pDoc->Apply(m_pAfter);
            if (m_outside)
                m_outside(false);
        }
        m_bDone = true;
    }
    const CEditSnapshot* Before() const { return m_pBefore.get(); }
    const CEditSnapshot* After() const { return m_pAfter.get(); }

private:
    CProgramDoc* m_pDoc;
    CProgramDoc::Snapshot m_pBefore;
    CProgramDoc::Snapshot m_pAfter;
    CProgramDoc::OutsideState m_outside;
    bool m_bDone = false;
};

CProgramDoc::CProgramDoc(QObject* parent) : QObject(parent), m_pUndoStack(new QUndoStack(this))
{
    // A document made for opening a file holds no stale bytes before the file is read.
    m_image.fill(0xFF);
    m_pUndoStack->setUndoLimit(kUndoLimit);
    connect(m_pUndoStack, &QUndoStack::cleanChanged, this, [this](bool clean) { emit ModifiedChanged(!clean); });
}

CProgramDoc::~CProgramDoc()
{
    // The steps reach back into the document; they go first.
    m_pUndoStack->clear();
}

void CProgramDoc::CommitOpenEditor()
{
    if (m_pWorkingCopy)
        m_pWorkingCopy->CommitOpenEditor();
}

void CProgramDoc::EncodeImage()
{
    if (!m_pWorkingCopy)
        return;
    m_pWorkingCopy->EncodeImage(m_image);
    // The same state in other bytes: no step, but later steps start from these.
    m_pLast = Take();
}

void CProgramDoc::DecodeImage()
{
    if (m_pWorkingCopy)
        m_pWorkingCopy->DecodeImage(m_image);
}

void CProgramDoc::SetTitle(const QString& title)
{
    m_strTitle = title;
    emit TitleChanged();
}

bool CProgramDoc::OnNewDocument()
{
    m_image = NewDocumentImage();
    SetTitle(g_bChinese ? QString::fromUtf8("信道信息") : QStringLiteral("Channel Information"));
    // The path name is the application's name, set as it is; Save asks where to put it.
    m_strPathName = IniString("Setup", "AppName");
    m_strOrigin = tr("a new document, made at %1").arg(QTime::currentTime().toString(QStringLiteral("HH:mm:ss")));
    m_bHasFilePath = false;
    g_bNewDocument = true;
    return true;
}

bool CProgramDoc::OnOpenDocument(const QString& path, QString* error)
{
    Image loaded;
    const DatResult r = LoadDatFile(CorePath(path), loaded);
    if (!r.ok) {
        if (error)
            *error = QString::fromStdString(r.error);
        return false;
    }
    m_image = loaded;
    m_strPathName = path;
    m_bHasFilePath = true;
    SetTitle(QFileInfo(path).fileName());
    g_bNewDocument = false;
    return true;
}

namespace {
constexpr std::chrono::seconds kSaveLockWait{2};
}  // namespace

bool CProgramDoc::OnSaveDocument(const QString& path, QString* error)
{
    // The grid's cell texts are the working copy of the channels: the image is
    // brought up to date first.
    EncodeImage();
    // A change progtool makes in place holds the file's lock from its read to
    // its save: waiting for it keeps the two saves from crossing, so neither
    // is lost unseen. progtool holds it for moments; a lock held on is told.
    const std::string file = CorePath(path);
    CFileUpdateLock lock;
    std::string busy;
    if (!lock.Acquire(file, kSaveLockWait, busy)) {
        if (error)
            *error = QString::fromStdString(busy);
        return false;
    }
    const DatResult r = SaveDatFile(file, m_image);
    if (!r.ok) {
        if (error)
            *error = QString::fromStdString(r.error);
        return false;
    }
    m_strPathName = path;
    m_bHasFilePath = true;
    SetTitle(QFileInfo(path).fileName());
    SetModifiedBaseline();
    return true;
}

void CProgramDoc::SetRadioImage(const Image& image, const QString& title, const QString& origin)
{
    m_image = image;
    m_strOrigin = origin;
    m_strSourceFile.clear();
    m_strPathName.clear();
    m_bHasFilePath = false;
    SetTitle(title);
}

void CProgramDoc::SetReadOnly(bool readOnly, const QString& reason)
{
    m_strReadOnlyReason = readOnly ? reason : QString();
    if (m_bReadOnly == readOnly)
        return;
    m_bReadOnly = readOnly;
    emit ReadOnlyChanged(readOnly);
}

CProgramDoc::Snapshot CProgramDoc::Take() const
{
    if (m_pWorkingCopy)
        return std::make_shared<const CEditSnapshot>(m_pWorkingCopy->TakeSnapshot());
    static const CTextGrid noTexts;
    return std::make_shared<const CEditSnapshot>(m_image, noTexts, BandTexts{});
}

void CProgramDoc::Apply(const Snapshot& snapshot)
{
    m_pLast = snapshot;
    m_image = snapshot->GetImage();
    if (m_pWorkingCopy)
        m_pWorkingCopy->RestoreSnapshot(*snapshot);
}

void CProgramDoc::Push(Snapshot before, Snapshot after, const QString& action, OutsideState outside)
{
    m_pLast = after;
    m_pUndoStack->push(new CSnapshotCommand(this, before, after, action, std::move(outside)));
}

void CProgramDoc::ResetHistory()
{
    m_pUndoStack->clear();
    m_pLast = Take();
    m_pCleanState = m_pLast;
}

bool CProgramDoc::Change(const QString& action, const ChangeFn& change, OutsideState outside)
{
    if (m_bReadOnly)
        return false;
    if (change)
        change(m_image);
    return RecordChange(action, std::move(outside));
}

bool CProgramDoc::RecordChange(const QString& action, OutsideState outside)
{
    const Snapshot now = Take();
    if (!m_pLast) {
        m_pLast = m_pCleanState = now;
        return false;
    }
    if (*now == *m_pLast)
        return false;
    Push(m_pLast, now, action, std::move(outside));
    return true;
}

void CProgramDoc::ReplaceImage(const Image& image, const QString& action)
{
    // Exactly what was shown before, edits not yet recorded included.
    const Snapshot before = Take();
    m_image = image;
    DecodeImage();
    const Snapshot after = Take();
    if (*after == *before)
        m_pLast = after;
    else
        Push(before, after, action);
    if (!m_pCleanState)
        m_pCleanState = before;
}

bool CProgramDoc::IsModified() const { return !m_pUndoStack->isClean(); }

void CProgramDoc::SetModifiedBaseline()
{
    if (!m_pLast)
        m_pLast = Take();
    m_pCleanState = m_pLast;
    m_pUndoStack->setClean();
}

QString CProgramDoc::Origin() const
{
    return m_bHasFilePath ? QDir::toNativeSeparators(QFileInfo(m_strPathName).absoluteFilePath()) : m_strOrigin;
}

CProgramDoc::SaveAnswer CProgramDoc::AskSaveChanges(QWidget* parent, const QString& detail)
{
    if (!IsModified())
        return SaveAnswer::Unmodified;
    MessageRequest r;
    r.parent = parent;
    r.text = tr("Save changes to %1?").arg(m_strTitle);
    r.detail = detail;
    r.buttons = QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel;
    r.defaultButton = QMessageBox::Save;
    r.icon = QMessageBox::Question;
    switch (AppMessageBox(r)) {
    case QMessageBox::Save: return SaveAnswer::Save;
    case QMessageBox::Discard: return SaveAnswer::Discard;
    default: return SaveAnswer::Cancel;
    }
}

bool CProgramDoc::SaveModified(QWidget* parent)
{
    switch (AskSaveChanges(parent)) {
    case SaveAnswer::Unmodified:
    case SaveAnswer::Discard: return true;
    case SaveAnswer::Save: return SaveCommandSlot() && SaveCommandSlot()(this) && !IsModified();
    case SaveAnswer::Cancel: break;
    }
    return false;
}

void CProgramDoc::SetSaveCommand(SaveCommand save) { SaveCommandSlot() = std::move(save); }

std::size_t CProgramDoc::UndoBytes() const
{
    std::set<const CEditSnapshot*> seen;
    std::size_t bytes = 0;
    auto add = [&](const CEditSnapshot* s) {
        if (s && seen.insert(s).second)
            bytes += s->Bytes();
    };
    for (int i = 0; i < m_pUndoStack->count(); ++i)
        if (const auto* c = dynamic_cast<const CSnapshotCommand*>(m_pUndoStack->command(i))) {
            add(c->Before());
            add(c->After());
        }
    return bytes;
}
