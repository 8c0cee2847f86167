#include "gui/radio/ProgramDoc.h"

#include <QFile>
#include <QFileInfo>

#include "gui/app/AppContext.h"
#include "core/app/Globals.h"
#include "core/radio/DatFile.h"

CProgramDoc::CProgramDoc(QObject* parent) : QObject(parent)
{
    // A document made for opening a file holds no stale bytes before the file is read.
    m_image.fill(0xFF);
}

bool CProgramDoc::OnNewDocument()
{
    m_image = NewDocumentImage();
    m_strTitle = g_bChinese ? QString::fromUtf8("信道信息") : QStringLiteral("Channel Information");
    // The path name is the application's name, set as it is; Save asks where to put it.
    m_strPathName = IniString("Setup", "AppName");
    m_bHasFilePath = false;
    g_bNewDocument = true;
    return true;
}

bool CProgramDoc::OnOpenDocument(const QString& path, QString* error)
{
    Image loaded;
    const DatResult r = LoadDatFile(QFile::encodeName(path).toStdString(), loaded);
    if (!r.ok) {
        if (error)
            *error = QString::fromStdString(r.error);
        return false;
    }
    m_image = loaded;
    m_strPathName = path;
    m_strTitle = QFileInfo(path).fileName();
    m_bHasFilePath = true;
    g_bNewDocument = false;
    return true;
}

bool CProgramDoc::OnSaveDocument(const QString& path, QString* error)
{
    // The grid's cell texts are the working copy of the channels: the image is
    // brought up to date first.
    emit AboutToSave();
    const DatResult r = SaveDatFile(QFile::encodeName(path).toStdString(), m_image);
    if (!r.ok) {
        if (error)
            *error = QString::fromStdString(r.error);
        return false;
    }
    m_strPathName = path;
    m_strTitle = QFileInfo(path).fileName();
    m_bHasFilePath = true;
    return true;
}

void CProgramDoc::SetRadioImage(const Image& image, const QString& title)
{
    m_image = image;
    m_strTitle = title;
    m_strPathName.clear();
    m_bHasFilePath = false;
}

void CProgramDoc::SetReadOnly(bool readOnly, const QString& reason)
{
    m_strReadOnlyReason = readOnly ? reason : QString();
    if (m_bReadOnly == readOnly)
        return;
    m_bReadOnly = readOnly;
    emit ReadOnlyChanged(readOnly);
}
