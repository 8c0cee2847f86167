#include "gui/frame/DocManager.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QPointer>
#include <QRegularExpression>
#include <algorithm>
#include <utility>

#include "core/app/Globals.h"
#include "core/app/IniFile.h"
#include "core/app/SettingsStore.h"
#include "core/files/FileIO.h"
#include "core/radio/DatFile.h"
#include "gui/app/AppContext.h"
#include "gui/app/CommandIds.h"
#include "gui/app/FileDialogs.h"
#include "gui/app/LastFolder.h"
#include "gui/app/MessageBox.h"
#include "gui/app/ShownText.h"
#include "gui/app/StringTable.h"
#include "gui/editor/ProgramView.h"
#include "gui/frame/ChildFrame.h"
#include "gui/link/BackupsDlg.h"
#include "gui/link/LinkController.h"
#include "gui/radio/ProgramDoc.h"
#include "bridge/CorePath.h"

namespace {
// The frame had these texts before this class did: they keep its context in
// the translations (lupdate reads it from here).
struct FrameText {
    Q_DECLARE_TR_FUNCTIONS(CMainFrame)
};

// One file under two names (links, hard links), or one path not yet a file.
bool SameDocumentFile(const QString& a, const QString& b) { return SameFile(CorePath(a), CorePath(b)); }
}  // namespace

bool CDocManager::NewDocument()
{
    auto* doc = new CProgramDoc;
    doc->OnNewDocument();
    m_windows.AddChildFrame(doc);
    m_windows.UpdateFrameMenu();
    return true;
}

bool CDocManager::OpenDocumentFile(const QString& path)
{
    // A file open already is shown, not opened twice: two windows on one file
    // would each save over the other's changes.
    if (CChildFrame* f = FrameOfFile(path)) {
        m_windows.ShowChildFrame(f);
        AddRecentFile(path);
        return true;
    }
    auto* doc = new CProgramDoc;
    QString error;
    if (!doc->OnOpenDocument(path, &error)) {
        delete doc;
        MessageRequest r;
        r.parent = m_windows.DialogParent();
        r.text = FrameText::tr("The document could not be opened.");
        r.detail = error;
        AppMessageBox(r);
        return false;
    }
    // A window of its own: the other documents stay open as they are, unsaved
    // changes and transfers included.
    m_windows.AddChildFrame(doc);
    AddRecentFile(path);
    m_windows.UpdateFrameMenu();
    return true;
}

CChildFrame* CDocManager::OpenImageDocument(const Image& image, const QString& title, const QString& origin)
{
    auto* doc = new CProgramDoc;
    doc->SetRadioImage(image, title, origin);
    // Like a file: the grid takes the radio type from the image.
    g_bNewDocument = false;
    CChildFrame* frame = m_windows.AddChildFrame(doc);
    m_windows.UpdateFrameMenu();
    return frame;
}

void CDocManager::OnFileNew()
{
    // The question and the window it clears are the one the user sees; with
    // every window hidden there is nothing on screen to clear, and a hidden
    // document is asked about only when it really closes.
    if (CChildFrame* child = m_windows.FrontChildFrame()) {
        // Asked first, stopped last: a Cancel at the next question must find
        // the transfer still running, not the radio half written.
        QList<QPointer<CLinkController>> stopping;
        if (!CLinkController::AskStop({child->GetLink()}, &stopping))
            return;
        child->GetView()->FlushEdits();
        if (child->GetDocument()->IsModified()) {
            // Unsaved changes: the user saves or discards them, or stays.
            if (!child->GetDocument()->SaveModified(m_windows.DialogParent()))
                return;
        } else {
            MessageRequest r;
            r.parent = m_windows.DialogParent();
            r.text = LoadStringRes(IDS_CLEAR_ALL);
            r.buttons = QMessageBox::Ok | QMessageBox::Cancel;
            r.icon = QMessageBox::Warning;
            if (AppMessageBox(r) != QMessageBox::Ok)
                return;
        }
        const QPointer<CChildFrame> alive(child);
        CLinkController::Stop(stopping);
        if (alive)
            m_windows.DestroyChildFrame(child);
    }
    NewDocument();
}

void CDocManager::OnFileOpen()
{
    QFileDialog dlg(m_windows.DialogParent(), FrameText::tr("Open"));
    UseProgramFileDialog(dlg);
    dlg.setAcceptMode(QFileDialog::AcceptOpen);
    dlg.setFileMode(QFileDialog::ExistingFile);
    dlg.setNameFilters({FrameText::tr("Program Document (*.dat)"), FrameText::tr("All Files (*)")});
    OpenInLastFolder(dlg, FolderKind::Documents);
    if (ExecDialog(&dlg) != QDialog::Accepted || dlg.selectedFiles().isEmpty())
        return;
    RememberFolder(FolderKind::Documents, dlg.selectedFiles().constFirst());
    OpenDocumentFile(dlg.selectedFiles().constFirst());
}

void CDocManager::OnFileBackups()
{
    CBackupsDlg dlg(m_windows.DialogParent());
    if (ExecDialog(&dlg) != QDialog::Accepted || !dlg.Chosen())
        return;
    const BackupInfo& b = *dlg.Chosen();
    Image image{};
    const DatResult r = LoadDatFile(b.path, image);
    if (!r.ok) {
        MessageRequest m;
        m.parent = m_windows.DialogParent();
        m.text = FrameText::tr("The backup could not be opened.");
        m.detail = QString::fromStdString(r.error);
        AppMessageBox(m);
        return;
    }
    CChildFrame* opened = OpenImageDocument(
        image, CBackupsDlg::DocumentTitle(b),
        FrameText::tr("opened from the backup %1").arg(QDir::toNativeSeparators(QString::fromStdString(b.path))));
    opened->GetDocument()->SetSourceFile(FromCorePath(b.path));
}

bool CDocManager::SaveTo(CProgramDoc* doc, const QString& path)
{
    QString error;
    if (!doc->OnSaveDocument(path, &error)) {
        MessageRequest r;
        r.parent = m_windows.DialogParent();
        r.text = FrameText::tr("The document could not be saved.");
        r.detail = error;
        AppMessageBox(r);
        return false;
    }
    AddRecentFile(path);
    return true;
}

bool CDocManager::SaveDocument(CProgramDoc* doc, bool askName)
{
    if (!doc)
        return false;
    // A new document's path name is only the application's name: ask where it goes.
    if (doc->HasFilePath() && !askName)
        return SaveTo(doc, doc->GetPathName());
    const QString path = AskSaveName(doc);
    return !path.isEmpty() && SaveTo(doc, path);
}

QString CDocManager::AskSaveName(CProgramDoc* doc, const QStringList& taken)
{
    QFileDialog dlg(m_windows.DialogParent(), FrameText::tr("Save As"));
    UseProgramFileDialog(dlg);
    dlg.setAcceptMode(QFileDialog::AcceptSave);
    dlg.setFileMode(QFileDialog::AnyFile);
    dlg.setNameFilter(FrameText::tr("Program Document (*.dat)"));
    dlg.setDefaultSuffix(QStringLiteral("dat"));
    QString proposal = doc->GetPathName();
    // A document read from a radio or opened from a backup has no name yet: its title gives one.
    if (proposal.isEmpty())
        proposal = doc->GetTitle().replace(QRegularExpression(QStringLiteral("[/\\\\:*?\"<>|\\x00-\\x1f]")),
                                           QStringLiteral("-"));
    if (!doc->HasFilePath() && !proposal.isEmpty() && QFileInfo(proposal).suffix().isEmpty())
        proposal += QStringLiteral(".dat");
    // A document with a file proposes that file, where it is; a new one its name in the last folder.
    OpenInLastFolder(dlg, FolderKind::Documents);
    if (!proposal.isEmpty())
        dlg.selectFile(proposal);
    if (ExecDialog(&dlg) != QDialog::Accepted || dlg.selectedFiles().isEmpty())
        return QString();
    const QString path = dlg.selectedFiles().constFirst();
    RememberFolder(FolderKind::Documents, path);
    // As Open refuses a second window on one file, so does Save As: each
    // window's Save would overwrite the other's.
    const bool chosen =
        std::any_of(taken.begin(), taken.end(), [&](const QString& t) { return SameDocumentFile(t, path); });
    if (FrameOfFile(path, doc) || chosen) {
        MessageRequest r;
        r.parent = m_windows.DialogParent();
        r.text = FrameText::tr(
                     "%1 is open in another window of this program. Nothing was saved: choose another name, or "
                     "close that window first.")
                     .arg(QDir::toNativeSeparators(path));
        AppMessageBox(r);
        return QString();
    }
    return path;
}

CChildFrame* CDocManager::FrameOfFile(const QString& path, const CProgramDoc* except) const
{
    for (CChildFrame* f : m_windows.ChildFrames()) {
        const CProgramDoc* doc = f->GetDocument();
        if (doc != except && doc->HasFilePath() && SameDocumentFile(doc->GetPathName(), path))
            return f;
    }
    return nullptr;
}

QStringList CDocManager::RecentFiles() const
{
    QStringList files;
    const std::string key = SettingsKey(theIniFile);
    for (int i = 1; i <= kRecentFileCount; ++i)
        if (const auto path = AppSettings().ReadString(key, kSettingRecentPrefix + std::to_string(i));
            path && !path->empty())
            files << QString::fromStdString(*path);
    return files;
}

void CDocManager::WriteRecentFiles(const QStringList& files)
{
    const std::string key = SettingsKey(theIniFile);
    for (int i = 1; i <= kRecentFileCount; ++i)
        AppSettings().WriteString(key, kSettingRecentPrefix + std::to_string(i),
                                  i <= files.size() ? files[i - 1].toStdString() : std::string());
}

void CDocManager::AddRecentFile(const QString& path)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    QStringList files = RecentFiles();
    files.removeAll(absolute);
    files.prepend(absolute);
    WriteRecentFiles(files.mid(0, kRecentFileCount));
}

void CDocManager::OpenRecentFile(const QString& path)
{
    if (!QFileInfo::exists(path)) {
        QStringList files = RecentFiles();
        files.removeAll(path);
        WriteRecentFiles(files);
        AppMessageBox(m_windows.DialogParent(),
                      FrameText::tr("%1 no longer exists; it is taken off the recent files.").arg(path));
        return;
    }
    OpenDocumentFile(path);
}

void CDocManager::FillRecentMenu(QMenu* menu)
{
    menu->clear();
    const QStringList files = RecentFiles();
    for (int i = 0; i < files.size(); ++i) {
        // A name's own "&" is no mnemonic.
        QAction* a = menu->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(
            ShownName(files[i]).replace(QLatin1Char('&'), QStringLiteral("&&"))));
        a->setData(ID_FILE_MRU_FILE1 + i);
        QObject::connect(a, &QAction::triggered, m_windows.DialogParent(),
                         [this, path = files[i]] { OpenRecentFile(path); });
    }
    if (files.isEmpty())
        menu->addAction(FrameText::tr("No recent files"))->setEnabled(false);
}

void CDocManager::OpenDroppedFiles(const QStringList& paths, CChildFrame* target)
{
    QWidget* parent = m_windows.DialogParent();
    const QString kinds = FrameText::tr("a radio document (.dat) or a channel list (.csv)");
    if (paths.size() != 1) {
        AppMessageBox(parent, FrameText::tr("%n files were dropped: drop one file at a time, %1.", nullptr,
                                            static_cast<int>(paths.size()))
                                  .arg(kinds));
        return;
    }
    const QString path = paths.constFirst();
    const QFileInfo info(path);
    if (!info.isAbsolute()) {
        AppMessageBox(parent, FrameText::tr("%1 is not a file on this computer: drop %2.").arg(path, kinds));
        return;
    }
    if (info.isDir()) {
        AppMessageBox(parent, FrameText::tr("%1 is a folder: drop %2.").arg(path, kinds));
        return;
    }
    const QString suffix = info.suffix().toLower();
    if (suffix == QLatin1String("csv")) {
        if (!target || !target->GetView()) {
            AppMessageBox(parent,
                          FrameText::tr("%1 is a channel list: drop it on the window of the configuration it goes "
                                        "into, and it is imported there after a preview.")
                              .arg(path));
            return;
        }
        m_windows.ShowChildFrame(target);
        target->GetView()->ImportChannelsFrom(path);
        return;
    }
    if (suffix != QLatin1String("dat")) {
        AppMessageBox(parent, FrameText::tr("%1 was not opened: drop %2.").arg(path, kinds));
        return;
    }
    // As File > Open: a file open already is shown; a missing, unreadable or
    // short file, a FIFO or a device is refused with the reason.
    const bool openAlready = FrameOfFile(path) != nullptr;
    if (!OpenDocumentFile(path) || openAlready || info.size() <= static_cast<qint64>(kImageSize))
        return;
    AppMessageBox(
        parent,
        FrameText::tr("%1 is %2 bytes long, longer than a radio image: only its first %3 bytes were opened, and "
                      "saving it keeps those alone.")
            .arg(path)
            .arg(info.size())
            .arg(kImageSize),
        QMessageBox::Ok, QMessageBox::Information);
}

bool CDocManager::PrepareToQuit(const std::function<bool()>& commit)
{
    QList<CChildFrame*> order = m_windows.ChildFrames();
    // The window in front is asked about first.
    if (CChildFrame* active = m_windows.ActiveChildFrame(); active && order.removeOne(active))
        order.prepend(active);
    QList<CLinkController*> links;
    QList<QPointer<CChildFrame>> frames;
    for (CChildFrame* f : order) {
        links << f->GetLink();
        frames << f;
    }
    QList<QPointer<CLinkController>> stopping;
    if (!CLinkController::AskStop(links, &stopping))
        return false;

    struct PendingSave {
        QPointer<CChildFrame> frame;
        QString path;
    };
    QList<PendingSave> saves;
    QStringList taken;
    for (const QPointer<CChildFrame>& f : std::as_const(frames)) {
        if (!f)
            continue;
        f->GetView()->FlushEdits();
        CProgramDoc* doc = f->GetDocument();
        if (!doc->IsModified())
            continue;
        // The question is about a window the user sees.
        m_windows.ShowChildFrame(f);
        const CProgramDoc::SaveAnswer answer = doc->AskSaveChanges(m_windows.DialogParent(), SaveQuestionDetail(f));
        if (answer == CProgramDoc::SaveAnswer::Cancel)
            return false;
        if (!f)
            continue;
        if (answer != CProgramDoc::SaveAnswer::Save)
            continue;
        const QString path = doc->HasFilePath() ? doc->GetPathName() : AskSaveName(doc, taken);
        if (path.isEmpty())
            return false;
        taken << path;
        saves.append({f, path});
    }

    // Every answer is in: the saves, in the order asked.
    QStringList saved;
    for (const PendingSave& s : std::as_const(saves)) {
        if (!s.frame)
            continue;
        QString error;
        if (!s.frame->GetDocument()->OnSaveDocument(s.path, &error)) {
            MessageRequest r;
            r.parent = m_windows.DialogParent();
            r.text = FrameText::tr("The document could not be saved.") + QLatin1Char('\n') +
                     (saved.isEmpty() ? FrameText::tr("Nothing was saved, and the program stays open.")
                                      : FrameText::tr("The program stays open. Saved before it, and kept so: %1")
                                            .arg(saved.join(QStringLiteral(", "))));
            r.detail = error;
            AppMessageBox(r);
            return false;
        }
        AddRecentFile(s.path);
        saved << QDir::toNativeSeparators(s.path);
    }
    if (commit && !commit())
        return false;
    CLinkController::Stop(stopping);
    return true;
}

QString CDocManager::SaveQuestionDetail(const CChildFrame* frame) const
{
    const QString title = frame->GetDocument()->GetTitle();
    for (CChildFrame* f : m_windows.ChildFrames())
        if (f != frame && f->GetDocument()->GetTitle() == title)
            return frame->GetDocument()->Origin();
    return QString();
}
