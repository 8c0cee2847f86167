#pragma once
// The Option Features dialog (template 132): the radio-wide options of the
// active document's image as drop-down lists, the Beep box and the power-on
// name. It decodes the image when it opens and encodes it back on OK only.
#include <QDialog>
#include <QMap>
#include <QPointer>

#include "core/radio/OptionFields.h"

class CProgramDoc;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

class COptionFeaturesDlg : public QDialog {
    Q_OBJECT
public:
    explicit COptionFeaturesDlg(QWidget* parent = nullptr);

    // The document edited; whoever shows the dialog sets it first.
    CProgramDoc* Document() const { return m_pDocument; }
    void SetDocument(CProgramDoc* doc) { m_pDocument = doc; }

    // Fills the lists and decodes the image into the controls, then runs the
    // dialog modally through ExecDialog. Without a document nothing is shown.
    int DoModal();
    // Refills the run-time lists and shows the image's options.
    void OnInitDialog();
    // Encodes the controls into the image and closes with OK.
    void OnOK();

    // The options as the controls show them now.
    OptionFields FieldsFromControls() const;

    // Controls by their template id (lists, name box 1002, Beep 1016, OK 1, Cancel 2).
    QWidget* Control(int id) const;
    QComboBox* List(int id) const;
    QLineEdit* NameEdit() const { return m_editName; }
    QCheckBox* BeepBox() const { return m_checkBeep; }

    void accept() override;

signals:
    // F1 was pressed; context is the id of the control with the keyboard focus.
    void HelpRequested(int context);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void done(int result) override;

private:
    void OnHelp();
    void Register(QWidget* w, int id);
    void FillList(int id, const std::vector<std::string>& items);

    QPointer<CProgramDoc> m_pDocument;
    QMap<int, QWidget*> m_controls;
    QLineEdit* m_editName = nullptr;
    QCheckBox* m_checkBeep = nullptr;
    QPushButton* m_buttonOk = nullptr;
    QPushButton* m_buttonCancel = nullptr;
    bool m_bInitialised = false;
};
