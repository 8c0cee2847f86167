#pragma once
// Help > Save Support Report...: the report the core builds, shown read-only
// before anything is saved; the open document goes in only when ticked.
#include <QDialog>
#include <functional>

#include "core/radio/Image.h"

class QCheckBox;
class QPlainTextEdit;
class QPushButton;

class CSupportReportDlg : public QDialog {
    Q_OBJECT
public:
    // The front document's image and its name, or false when none is open.
    using DocumentSource = std::function<bool(Image& image, QString& name)>;
    // Whether a path is the file of an open document, which a report must not replace.
    using OpenFileTest = std::function<bool(const QString& path)>;
    CSupportReportDlg(QWidget* parent, DocumentSource document, OpenFileTest isOpenFile = {});

    // The report as shown now.
    QString ReportText() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Regenerate();
    void OnSave();
    void OnCopy();

    DocumentSource m_document;
    OpenFileTest m_isOpenFile;
    QPlainTextEdit* m_pPreview = nullptr;
    QCheckBox* m_pInclude = nullptr;
    QPushButton* m_pSave = nullptr;
};
