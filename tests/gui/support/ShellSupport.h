#pragma once
// Helpers for the shell tests: a throw-away program directory with its own
// Program.ini and language modules, and recorders for message boxes and dialogs.
#include <QByteArray>
#include <QList>
#include <QMessageBox>
#include <QString>
#include <QTemporaryDir>
#include <functional>
#include <memory>

#include "gui/app/MessageBox.h"

class QLabel;
class CProgramApp;

// What a label shows: its text, or what that renders to where the label
// reads it as markup.
QString Rendered(const QLabel* label);
// What the message box for `request` shows: its text, and its detail on a line below.
QString RenderedMessage(const MessageRequest& request);

struct ShellIni {
    QByteArray language = "English";
    QByteArray showLang = "1";  // "<none>" leaves the key out
    QByteArray englishCompany = "Tanager Radio Works";
    QByteArray chineseCompany = "唐纳格无线电";
    QByteArray extra;  // appended verbatim
};

// A temporary directory holding Program.ini and copies of the built language modules.
class ShellDir {
public:
    ShellDir();
    bool IsValid() const { return m_dir.isValid(); }
    QString Path() const { return m_dir.path(); }
    QString FilePath(const QString& name) const { return m_dir.filePath(name); }
    void WriteIni(const ShellIni& ini);
    void WriteRawIni(const QByteArray& bytes);
    QByteArray ReadIni() const;
    // Copies bin/<from> into the directory as <to>.
    bool CopyModule(const QString& from, const QString& to);
    // Program.ini from `ini` and both built language modules.
    bool Prepare(const ShellIni& ini);
    void RemoveModule(const QString& name);
    QString WriteFile(const QString& name, const QByteArray& bytes);

private:
    QTemporaryDir m_dir;
};

// The program started in `dir` prepared from `ini`, with `args` as its command
// line; nullptr when it does not start.
std::unique_ptr<CProgramApp> StartProgramIn(ShellDir& dir, const ShellIni& ini, const QStringList& args = {});

// Records every message box and answers it with `answer`.
struct MessageRecorder {
    MessageRecorder();
    ~MessageRecorder();
    QList<MessageRequest> requests;
    QMessageBox::StandardButton answer = QMessageBox::Ok;
};

// Answers every modal dialog through `handler` (default: rejects) and records its object name.
struct DialogRecorder {
    DialogRecorder();
    ~DialogRecorder();
    QStringList names;
    std::function<int(QDialog*)> handler;
};
