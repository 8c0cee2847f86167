#pragma once
// The document: one memory image, the single source of truth for a radio. It
// knows no window: whoever shows its channels listens to AboutToSave.
#include <QObject>
#include <QString>

#include "core/radio/Image.h"

class CProgramDoc : public QObject {
    Q_OBJECT
public:
    explicit CProgramDoc(QObject* parent = nullptr);

    // Default image, title "Channel Information", path name [Setup] AppName, g_bNewDocument.
    bool OnNewDocument();
    // Loads the file; on failure *error names the file and the reason and nothing changes.
    bool OnOpenDocument(const QString& path, QString* error);
    // Announces AboutToSave (the view encodes its grid into the image), then saves atomically.
    bool OnSaveDocument(const QString& path, QString* error);

    QString GetTitle() const { return m_strTitle; }
    void SetTitle(const QString& title) { m_strTitle = title; }
    QString GetPathName() const { return m_strPathName; }
    void SetPathName(const QString& path) { m_strPathName = path; }
    // True when the path name was given by Open or Save As rather than by OnNewDocument.
    bool HasFilePath() const { return m_bHasFilePath; }

    // The radio's memory as read (or a backup of it): a document without a
    // file, so Save asks for a name and never replaces a file.
    void SetRadioImage(const Image& image, const QString& title);

    // While a transfer to or from the radio runs, nothing may change the
    // document: the grid, the band boxes and the dialogs' OK ask here. reason
    // is what the user is told.
    void SetReadOnly(bool readOnly, const QString& reason = QString());
    bool IsReadOnly() const { return m_bReadOnly; }
    QString ReadOnlyReason() const { return m_strReadOnlyReason; }

    Image m_image{};

signals:
    // Before the image goes to a file: edits held elsewhere go into the image now.
    void AboutToSave();
    void ReadOnlyChanged(bool readOnly);

private:
    QString m_strTitle;
    QString m_strPathName;
    bool m_bHasFilePath = false;
    bool m_bReadOnly = false;
    QString m_strReadOnlyReason;
};
