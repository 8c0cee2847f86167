#pragma once
// What an import of channels would change, shown before it is applied: where
// the rows go (on their own locations or renumbered from a channel, replacing
// the channels on screen or merged into them), how many channels it adds,
// changes and empties, the rows changed and refused by reason, and the
// import's report line by line, and above them what the file's own notes say
// (where a list comes from, what a licence allows). Every choice works the
// preview out again; the controls keep their places while it does. Import
// applies it as one undo step, after asking when a replace empties most of
// the channels in use; Cancel leaves everything.
#include <QDialog>
#include <memory>
#include <string>

#include "core/exchange/CsvChannels.h"

struct ImportPreview;
class ITextGrid;
class QCheckBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;

class CImportPreviewDlg : public QDialog {
    Q_OBJECT
public:
    CImportPreviewDlg(const QString& file, const ITextGrid& current, std::string text, CsvFormat format, bool chinese,
                      QWidget* parent = nullptr);
    ~CImportPreviewDlg() override;

    // The import as the choices now stand (what OK applies).
    const ImportPreview& Preview() const { return *m_preview; }
    ImportOptions Options() const;

    QString Summary() const;
    QString Report() const;
    // The file's leading comments as the dialog shows them ("" without any).
    QString Notes() const;

public slots:
    void accept() override;

private:
    void Update();

    QString m_file;
    const ITextGrid& m_current;
    std::string m_text;
    CsvFormat m_format;
    bool m_chinese;
    std::unique_ptr<ImportPreview> m_preview;
    QCheckBox* m_pRenumber;
    QSpinBox* m_pFrom;
    QRadioButton* m_pReplace;
    QRadioButton* m_pMerge;
    QPushButton* m_pImport;
    QPushButton* m_pCancel;
    QLabel* m_pSummary;
    QPlainTextEdit* m_pNotes = nullptr;
    QPlainTextEdit* m_pReport;
};
