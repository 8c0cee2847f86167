#include "gui/radio/ProductInfoDlg.h"

#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <optional>
#include <utility>

#include "gui/app/AppContext.h"
#include "core/app/Globals.h"
#include "core/app/IniFile.h"
#include "gui/app/MessageBox.h"
#include "gui/app/StringTable.h"
#include "core/app/SettingsStore.h"
#include "gui/app/ControlId.h"
#include "gui/app/HelpAccess.h"
#include "core/radio/RadioCatalogue.h"
#include "gui/radio/ProgramDoc.h"

namespace {
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;

// What shows the product choice outside the image: the main caption and the
// type and band remembered for the dialog and for new documents.
struct ProductShown {
    std::string caption;
    std::optional<std::uint32_t> type, field;

    static ProductShown Now()
    {
        const std::string key = SettingsKey(theIniFile);
        return {g_strTitle, AppSettings().ReadDword(key, kSettingType), AppSettings().ReadDword(key, kSettingField)};
    }
    void Show() const
    {
        const std::string key = SettingsKey(theIniFile);
        for (const auto& [name, value] : {std::pair{kSettingType, type}, std::pair{kSettingField, field}}) {
            if (value)
                AppSettings().WriteDword(key, name, *value);
            else
                AppSettings().RemoveValue(key, name);
        }
        SetMainCaption(QString::fromStdString(caption));
    }
};
}  // namespace

CProductInfoDlg::CProductInfoDlg(QWidget* parent) : QDialog(parent)
{
    m_pGroup = new QGroupBox(this);
    m_pTypeLabel = new QLabel(m_pGroup);
    m_pFrequencyLabel = new QLabel(m_pGroup);
    m_cbType = new QComboBox(m_pGroup);
    m_cbFrequency = new QComboBox(m_pGroup);
    SetControlId(m_cbType, IDC_COMBO_TYPE);
    SetControlId(m_cbFrequency, IDC_COMBO_FREQUENCY);
    m_cbType->setMinimumContentsLength(14);
    m_cbFrequency->setMinimumContentsLength(14);
    m_pTypeLabel->setBuddy(m_cbType);
    m_pFrequencyLabel->setBuddy(m_cbFrequency);

    auto* grid = new QGridLayout(m_pGroup);
    grid->addWidget(m_pTypeLabel, 0, 0);
    grid->addWidget(m_cbType, 0, 1);
    grid->addWidget(m_pFrequencyLabel, 1, 0);
    grid->addWidget(m_cbFrequency, 1, 1);

    m_pOk = new QPushButton(this);
    m_pCancel = new QPushButton(this);
    SetControlId(m_pOk, IDOK);
    SetControlId(m_pCancel, IDCANCEL);
    m_pOk->setDefault(true);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(m_pOk);
    buttons->addWidget(m_pCancel);
    buttons->addStretch(1);

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(m_pGroup, 1);
    layout->addLayout(buttons);

    setObjectName(QStringLiteral("dlg%1").arg(IDD_PRODUCT_INFO));
    RetranslateUi();

    connect(m_cbType, &QComboBox::activated, this, [this] { OnSelChangeType(); });
    connect(m_pOk, &QPushButton::clicked, this, &CProductInfoDlg::OnOK);
    connect(m_pCancel, &QPushButton::clicked, this, &QDialog::reject);
    for (QWidget* w : {static_cast<QWidget*>(m_cbType), static_cast<QWidget*>(m_cbFrequency),
                       static_cast<QWidget*>(m_pOk), static_cast<QWidget*>(m_pCancel)})
        w->installEventFilter(this);
}

void CProductInfoDlg::RetranslateUi()
{
    setWindowTitle(tr("Product Information"));
    m_pGroup->setTitle(tr("Setting"));
    m_pTypeLabel->setText(tr("Type"));
    m_pFrequencyLabel->setText(tr("Frequency"));
    m_pOk->setText(tr("OK"));
    m_pCancel->setText(tr("Cancel"));
}

void CProductInfoDlg::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        RetranslateUi();
    QDialog::changeEvent(event);
}

int CProductInfoDlg::DoModal()
{
    OnInitDialog();
    const int result = ExecDialog(this);
    m_bInitialised = false;
    return result;
}

void CProductInfoDlg::done(int result)
{
    // The next showing starts from Program.ini and the settings again.
    m_bInitialised = false;
    QDialog::done(result);
}

void CProductInfoDlg::showEvent(QShowEvent* event)
{
    // Shown by ExecDialog or exec without DoModal: initialise all the same.
    if (!m_bInitialised)
        OnInitDialog();
    QDialog::showEvent(event);
}

void CProductInfoDlg::OnInitDialog()
{
    m_bInitialised = true;
    m_cbType->clear();
    for (const std::string& type : CRadioCatalogue(theIniFile).TypeNames())
        m_cbType->addItem(FromIni(type));

    ISettingsStore& store = AppSettings();
    const std::string key = SettingsKey(theIniFile);
    const std::uint32_t type = store.ReadDword(key, kSettingType).value_or(0);
    const std::uint32_t field = store.ReadDword(key, kSettingField).value_or(0);

    // A remembered position beyond the list leaves nothing selected.
    m_cbType->setCurrentIndex(type < static_cast<std::uint32_t>(m_cbType->count()) ? static_cast<int>(type) : -1);
    OnSelChangeType();
    m_cbFrequency->setCurrentIndex(field < static_cast<std::uint32_t>(m_cbFrequency->count()) ? static_cast<int>(field)
                                                                                              : -1);
}

void CProductInfoDlg::OnSelChangeType()
{
    // Field<n> for type position n - 1; with no type selected that is Field0,
    // normally absent, which leaves one empty item.
    m_cbFrequency->clear();
    for (const std::string& band : CRadioCatalogue(theIniFile).Bands(m_cbType->currentIndex()))
        m_cbFrequency->addItem(FromIni(band));
    m_cbFrequency->setCurrentIndex(0);
}

void CProductInfoDlg::OnOK()
{
    // A transfer runs on the document: it takes no change until it has ended.
    if (CProgramDoc* doc = TargetDocument(); doc && doc->IsReadOnly()) {
        AppMessageBox(this, doc->ReadOnlyReason(), QMessageBox::Ok, QMessageBox::Warning, LoadStringRes(IDS_CAUTION));
        return;
    }
    ProductChoice choice;
    choice.type = m_cbType->currentIndex();
    choice.band = m_cbFrequency->currentIndex();
    choice.typeText = m_cbType->currentText().toStdString();
    choice.bandText = m_cbFrequency->currentText().toStdString();
    CProgramDoc* doc = TargetDocument();
    const ProductShown before = ProductShown::Now();
    const auto apply = [&choice](Image* image) {
        ApplyProductChoice(choice, image, theIniFile, AppSettings());
        const std::string appName = IniString(g_strLanguage, "AppName").toStdString();
        SetMainCaption(QString::fromStdString(ProductCaption(appName, choice)));
    };
    if (doc) {
        // Undo brings back the caption and the choice the dialog opens on, not only the bytes.
        auto after = std::make_shared<ProductShown>();
        doc->Change(
            tr("Product Information"),
            [&](Image& image) {
                apply(&image);
                *after = ProductShown::Now();
            },
            [before, after](bool undone) { (undone ? before : *after).Show(); });
    } else {
        apply(nullptr);
    }
    accept();
}

bool CProductInfoDlg::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_F1) {
        OnHelp(ControlId(qobject_cast<QWidget*>(watched)));
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void CProductInfoDlg::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F1) {
        OnHelp(ControlId(focusWidget()));
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void CProductInfoDlg::OnHelp(int context) { HtmlHelp(context); }
