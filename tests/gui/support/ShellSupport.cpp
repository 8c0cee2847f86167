#include "tests/gui/support/ShellSupport.h"

#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTextDocument>
#include <memory>

#include "gui/ProgramApp.h"
#include "tests/support/TestEnv.h"

#ifndef PROG_BIN_DIR
#define PROG_BIN_DIR "."
#endif

QString Rendered(const QLabel* label)
{
    const Qt::TextFormat format = label->textFormat();
    if (format == Qt::PlainText || (format == Qt::AutoText && !Qt::mightBeRichText(label->text())))
        return label->text();
    QTextDocument doc;
    doc.setHtml(label->text());
    return doc.toPlainText();
}

QString RenderedMessage(const MessageRequest& request)
{
    const std::unique_ptr<QMessageBox> box(CreateMessageBox(request));
    QString shown;
    if (const auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label")))
        shown = Rendered(label);
    if (const auto* detail = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_informativelabel")))
        shown += QLatin1Char('\n') + Rendered(detail);
    return shown.remove(QChar(0x2060));  // a word joiner is not read
}

ShellDir::ShellDir() = default;

void ShellDir::WriteIni(const ShellIni& ini)
{
    QByteArray text;
    text += "[Setup]\r\nLanguage=" + ini.language + "\r\n";
    if (ini.showLang != "<none>")
        text += "ShowLang=" + ini.showLang + "\r\n";
    text += "AppName=TanagerTest\r\n";
    text += QByteArray::fromStdString(testenv::RadioTypeLines("400-470MHz|430-440MHz", "\r\n")) + "\r\n";
    text += "[English]\r\nCompany=" + ini.englishCompany +
            "\r\nAbout Title=About the Test Tool\r\nVersion=Test Tool 1.0\r\n"
            "Copyrights=Copyright (C) 2026\r\nCopyrights Owner=Test Owner\r\nAppName=Test Tool\r\n\r\n";
    text += "[Chinese]\r\nCompany=" + ini.chineseCompany +
            "\r\nAbout Title=关于测试软件\r\nVersion=测试软件 1.0\r\n"
            "Copyrights=版权所有 (C) 2026\r\nCopyrights Owner=测试所有者\r\nAppName=测试软件\r\n";
    text += ini.extra;
    WriteRawIni(text);
}

void ShellDir::WriteRawIni(const QByteArray& bytes) { WriteFile(QStringLiteral("Program.ini"), bytes); }

QByteArray ShellDir::ReadIni() const
{
    QFile f(m_dir.filePath(QStringLiteral("Program.ini")));
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray();
    return f.readAll();
}

bool ShellDir::CopyModule(const QString& from, const QString& to)
{
    QFile::remove(m_dir.filePath(to));
    return QFile::copy(QDir(QStringLiteral(PROG_BIN_DIR)).filePath(from), m_dir.filePath(to));
}

void ShellDir::RemoveModule(const QString& name) { QFile::remove(m_dir.filePath(name)); }

QString ShellDir::WriteFile(const QString& name, const QByteArray& bytes)
{
    const QString path = m_dir.filePath(name);
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(bytes);
    return path;
}

MessageRecorder::MessageRecorder()
{
    SetMessageHook([this](const MessageRequest& r) {
        requests.append(r);
        return answer;
    });
}

MessageRecorder::~MessageRecorder() { SetMessageHook(nullptr); }

DialogRecorder::DialogRecorder()
{
    SetDialogHook([this](QDialog* d) {
        names.append(d->objectName().isEmpty() ? QString::fromLatin1(d->metaObject()->className()) : d->objectName());
        return handler ? handler(d) : int(QDialog::Rejected);
    });
}

DialogRecorder::~DialogRecorder() { SetDialogHook(nullptr); }

bool ShellDir::Prepare(const ShellIni& ini)
{
    WriteIni(ini);
    // Qt's own Chinese texts ship beside the program where the build found
    // them; on Windows there is no system copy to fall back on.
    const QString toolkit = QStringLiteral("qtbase_zh_CN.qm");
    if (QFile::exists(QDir(QStringLiteral(PROG_BIN_DIR)).filePath(toolkit)) && !CopyModule(toolkit, toolkit))
        return false;
    return CopyModule(QStringLiteral("English.qm"), QStringLiteral("English.qm")) &&
           CopyModule(QStringLiteral("Chinese.qm"), QStringLiteral("Chinese.qm"));
}

std::unique_ptr<CProgramApp> StartProgramIn(ShellDir& dir, const ShellIni& ini, const QStringList& args)
{
    if (!dir.Prepare(ini))
        return nullptr;
    CProgramApp::SetProgramDirForTests(dir.Path());
    auto app = std::make_unique<CProgramApp>();
    return app->InitInstance(args) ? std::move(app) : nullptr;
}
