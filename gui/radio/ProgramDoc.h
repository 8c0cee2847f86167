#pragma once
// The document: one memory image, the single source of truth for a radio.
#include <QObject>
#include <QString>

#include "core/radio/Image.h"

class CProgramView;

class CProgramDoc : public QObject {
    Q_OBJECT
public:
    explicit CProgramDoc(QObject* parent = nullptr);

    // Default image, title "Channel Information", path name [Setup] AppName, g_bNewDocument.
    bool OnNewDocument();
    // Loads the file; on failure *error names the file and the reason and nothing changes.
    bool OnOpenDocument(const QString& path, QString* error);
    // Encodes the grid into the image (the view's GridToImage) and saves atomically.
    bool OnSaveDocument(const QString& path, QString* error);

    QString GetTitle() const { return m_strTitle; }
    void SetTitle(const QString& title) { m_strTitle = title; }
    QString GetPathName() const { return m_strPathName; }
    void SetPathName(const QString& path) { m_strPathName = path; }
    // True when the path name was given by Open or Save As rather than by OnNewDocument.
    bool HasFilePath() const { return m_bHasFilePath; }

    CProgramView* GetView() const { return m_pView; }
    void SetView(CProgramView* view) { m_pView = view; }

    Image m_image{};

private:
    QString m_strTitle;
    QString m_strPathName;
    bool m_bHasFilePath = false;
    CProgramView* m_pView = nullptr;
};
