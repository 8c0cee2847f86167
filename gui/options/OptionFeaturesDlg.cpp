#include "gui/options/OptionFeaturesDlg.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolTip>
#include <QVBoxLayout>
#include <QValidator>

#include "gui/app/MessageBox.h"
#include "gui/app/StringTable.h"
#include "gui/app/ControlId.h"
#include "gui/app/HelpAccess.h"
#include "gui/radio/ProgramDoc.h"

namespace {

constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;

// The dialog's words come from the language module, keyed by the English text.
QString Tr(const char* english) { return QCoreApplication::translate("COptionFeaturesDlg", english); }

// Step and the two SQL Adjust lists are filled by the program itself, with
// words that are the same in every language.
bool FilledAtRunTime(int id) { return id == optid::kStep || id == optid::kVSqlAdjust || id == optid::kUSqlAdjust; }

// The name box holds UTF-16; the image holds one code per character position.
// Characters outside ASCII have no code, so each stands as a space (0xFF) in
// its own position instead of spreading over several UTF-8 bytes.
std::string NameForImage(const QString& text)
{
    std::string name;
    for (QChar c : text)
        name += c.unicode() < 0x80 ? static_cast<char>(c.unicode()) : ' ';
    return name;
}

QString NameTakes()
{
    return Tr(
        "The power-on name takes up to six characters: 0-9, A-Z, - and _ "
        "(lower case becomes upper case).");
}

// The power-on name box takes only what the radio can show: lower case turns
// to upper case as it is typed, any other character is not taken.
class CPowerOnNameValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override
    {
        const PowerOnNameCheck check = CheckPowerOnName(input.toStdString());
        if (!check.refused.empty())
            return Invalid;
        input = QString::fromStdString(check.name);
        return Acceptable;
    }
};

}  // namespace

COptionFeaturesDlg::COptionFeaturesDlg(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("OptionFeaturesDlg"));
    setWindowTitle(Tr(OptionDialogCaption(false)));
    setFont(QFont(QStringLiteral("Times New Roman"), 9));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setProperty("controlId", optid::kDialog);

    auto* columns = new QGridLayout;
    columns->setHorizontalSpacing(10);
    columns->setColumnStretch(1, 1);
    columns->setColumnStretch(4, 1);
    columns->setColumnMinimumWidth(2, 16);
    int leftRow = 0;
    int rightRow = 0;

    auto* buttons = new QHBoxLayout;
    for (const OptionControl& c : OptionControls()) {
        QWidget* w = nullptr;
        switch (c.kind) {
        case OptionKind::List: {
            auto* combo = new QComboBox(this);
            combo->setEditable(false);
            combo->setMaxVisibleItems(12);
            w = combo;
            break;
        }
        case OptionKind::Edit:
            m_editName = new QLineEdit(this);
            m_editName->setMaxLength(mem::kPowerOnNameLen);
            m_editName->setValidator(new CPowerOnNameValidator(m_editName));
            // A key the box does not take is answered at the box, not ignored.
            connect(m_editName, &QLineEdit::inputRejected, this, [this] {
                QToolTip::showText(m_editName->mapToGlobal(QPoint(0, m_editName->height())), NameTakes(), m_editName);
            });
            w = m_editName;
            break;
        case OptionKind::Check:
            m_checkBeep = new QCheckBox(Tr(c.labelEn), this);
            w = m_checkBeep;
            break;
        }
        Register(w, c.id);
        if (c.column == OptionColumn::Buttons)
            continue;
        auto* label = new QLabel(Tr(c.labelEn), this);
        label->setBuddy(w);
        const bool left = c.column == OptionColumn::Left;
        int& row = left ? leftRow : rightRow;
        const int col = left ? 0 : 3;
        columns->addWidget(label, row, col);
        columns->addWidget(w, row, col + 1);
        ++row;
    }

    // Beep sits between OK and Cancel.
    m_buttonOk = new QPushButton(Tr("OK"), this);
    m_buttonOk->setDefault(true);
    m_buttonCancel = new QPushButton(Tr("Cancel"), this);
    Register(m_buttonOk, kIdOk);
    Register(m_buttonCancel, kIdCancel);
    buttons->addStretch(1);
    buttons->addWidget(m_buttonOk);
    buttons->addStretch(1);
    buttons->addWidget(m_checkBeep);
    buttons->addStretch(1);
    buttons->addWidget(m_buttonCancel);
    buttons->addStretch(1);
    connect(m_buttonOk, &QPushButton::clicked, this, &COptionFeaturesDlg::accept);
    connect(m_buttonCancel, &QPushButton::clicked, this, &COptionFeaturesDlg::reject);

    auto* top = new QVBoxLayout(this);
    top->addLayout(columns);
    top->addSpacing(12);
    top->addLayout(buttons);

    // The template's own lists; Step and SQL Adjust are filled when it opens.
    for (const OptionControl& c : OptionControls()) {
        if (c.kind != OptionKind::List || FilledAtRunTime(c.id))
            continue;
        QComboBox* combo = List(c.id);
        for (const std::string& item : OptionItems(c.id, false))
            combo->addItem(Tr(item.c_str()));
    }
}

void COptionFeaturesDlg::Register(QWidget* w, int id)
{
    SetControlId(w, id);
    m_controls.insert(id, w);
    w->installEventFilter(this);
}

QWidget* COptionFeaturesDlg::Control(int id) const { return m_controls.value(id, nullptr); }

QComboBox* COptionFeaturesDlg::List(int id) const { return qobject_cast<QComboBox*>(Control(id)); }

int COptionFeaturesDlg::DoModal()
{
    // The dialog edits an image; with no document there is nothing to show.
    if (!Document())
        return QDialog::Rejected;
    OnInitDialog();
    const int result = ExecDialog(this);
    m_bInitialised = false;
    return result;
}

void COptionFeaturesDlg::showEvent(QShowEvent* event)
{
    // Opened by exec or show rather than DoModal: decode all the same.
    if (!m_bInitialised)
        OnInitDialog();
    QDialog::showEvent(event);
}

void COptionFeaturesDlg::done(int result)
{
    QDialog::done(result);
    m_bInitialised = false;
}

void COptionFeaturesDlg::FillList(int id, const std::vector<std::string>& items)
{
    QComboBox* combo = List(id);
    combo->clear();
    for (const std::string& item : items)
        combo->addItem(QString::fromStdString(item));
}

void COptionFeaturesDlg::OnInitDialog()
{
    m_bInitialised = true;
    FillList(optid::kStep, OptionItems(optid::kStep, false));
    FillList(optid::kVSqlAdjust, OptionItems(optid::kVSqlAdjust, false));
    FillList(optid::kUSqlAdjust, OptionItems(optid::kUSqlAdjust, false));

    CProgramDoc* doc = Document();
    if (!doc)
        return;
    const OptionFields f = DecodeOptions(doc->GetImage());
    for (const OptionControl& c : OptionControls()) {
        if (c.kind == OptionKind::List)
            List(c.id)->setCurrentIndex(OptionIndex(f, c.id));
    }
    m_editName->setText(QString::fromStdString(f.powerOnName));
    m_checkBeep->setChecked(f.beep);
}

OptionFields COptionFeaturesDlg::FieldsFromControls() const
{
    OptionFields f;
    for (const OptionControl& c : OptionControls()) {
        if (c.kind == OptionKind::List)
            SetOptionIndex(f, c.id, List(c.id)->currentIndex());
    }
    f.powerOnName = NameForImage(QString::fromStdString(CheckPowerOnName(m_editName->text().toStdString()).name));
    f.beep = m_checkBeep->isChecked();
    return f;
}

void COptionFeaturesDlg::OnOK()
{
    // A transfer runs on the document: it takes no change until it has ended.
    if (CProgramDoc* doc = Document(); doc && doc->IsReadOnly()) {
        AppMessageBox(this, doc->ReadOnlyReason(), QMessageBox::Ok, QMessageBox::Warning, LoadStringRes(IDS_CAUTION));
        return;
    }
    // Text set rather than typed has not passed the box's check and may still
    // hold a character the radio cannot show: say so and keep the dialog open.
    const PowerOnNameCheck name = CheckPowerOnName(m_editName->text().toStdString());
    if (!name.Ok()) {
        QString text = NameTakes();
        if (!name.refused.empty())
            text = Tr("The power-on name cannot hold \"%1\".").arg(QString::fromStdString(name.refused)) +
                   QLatin1Char('\n') + text;
        AppMessageBox(this, text, QMessageBox::Ok, QMessageBox::Warning, LoadStringRes(IDS_CAUTION));
        m_editName->setFocus(Qt::OtherFocusReason);
        m_editName->selectAll();
        return;
    }
    if (CProgramDoc* doc = Document()) {
        const OptionFields fields = FieldsFromControls();
        doc->Change(tr("Optional Features"), [&fields](Image& image) { EncodeOptions(fields, image); });
    }
    QDialog::accept();
}

void COptionFeaturesDlg::accept() { OnOK(); }

void COptionFeaturesDlg::OnHelp()
{
    QWidget* focus = QApplication::focusWidget();
    int context = ControlId(focus);
    if (context == 0 || !isAncestorOf(focus))
        context = optid::kDialog;
    emit HelpRequested(context);
    HtmlHelp(context, optid::kDialog);
}

bool COptionFeaturesDlg::eventFilter(QObject* watched, QEvent* event)
{
    // Seen before the control handles the key; the key goes on to it afterwards.
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_F1)
        OnHelp();
    return QDialog::eventFilter(watched, event);
}

void COptionFeaturesDlg::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F1 && !m_controls.key(QApplication::focusWidget(), 0)) {
        OnHelp();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
