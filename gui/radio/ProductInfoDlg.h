#pragma once
// Product Information: the radio type and its frequency band, chosen from the
// [Setup] TypeN / FieldN lists of Program.ini. OK stores the choice in the
// active document's image, in the settings store for new documents, and in
// the main window caption.
#include <QDialog>
#include <QPointer>

class CProgramDoc;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;

enum ProductInfoControl {
    IDD_PRODUCT_INFO = 136,
    IDC_COMBO_TYPE = 1013,
    IDC_COMBO_FREQUENCY = 1014,
};

class CProductInfoDlg : public QDialog {
    Q_OBJECT
public:
    explicit CProductInfoDlg(QWidget* parent);

    // Runs the dialog modally (through ExecDialog) after OnInitDialog.
    int DoModal();

    // The document OK writes to; whoever shows the dialog sets it first (none:
    // only the remembered choice and the caption change).
    void SetDocument(CProgramDoc* doc) { m_pDocument = doc; }
    CProgramDoc* TargetDocument() const { return m_pDocument; }

    void OnInitDialog();
    void OnSelChangeType();
    void OnOK();

    QComboBox* m_cbType = nullptr;
    QComboBox* m_cbFrequency = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;
    // F1: the help topic of the focused control.
    virtual void OnHelp(int context);

private:
    void RetranslateUi();

    QPointer<CProgramDoc> m_pDocument;
    bool m_bInitialised = false;
    QGroupBox* m_pGroup = nullptr;
    QLabel* m_pTypeLabel = nullptr;
    QLabel* m_pFrequencyLabel = nullptr;
    QPushButton* m_pOk = nullptr;
    QPushButton* m_pCancel = nullptr;
};
