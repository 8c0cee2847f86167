#pragma once
// What an import of channels would change, shown before it is applied: how
// many channels it adds, changes and empties, and the import's report line by
// line. OK applies the import as one undo step; Cancel leaves everything.
#include <QDialog>

struct ImportPreview;
class QLabel;
class QPlainTextEdit;

class CImportPreviewDlg : public QDialog {
    Q_OBJECT
public:
    CImportPreviewDlg(const QString& file, const ImportPreview& preview, QWidget* parent = nullptr);

    QString Summary() const;
    QString Report() const;

private:
    QLabel* m_pSummary;
    QPlainTextEdit* m_pReport;
};
