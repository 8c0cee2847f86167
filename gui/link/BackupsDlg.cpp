#include "gui/link/BackupsDlg.h"

#include <QDateTime>
#include <QDialogButtonBox>
#include <QFile>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "core/app/Globals.h"
#include "gui/app/AppContext.h"
#include "gui/app/DialogUnits.h"
#include "gui/app/MessageBox.h"
#include "gui/app/ShownText.h"
#include "gui/link/LinkSettings.h"
#include "bridge/CorePath.h"

namespace {
QString Date(std::time_t t)
{
    return QDateTime::fromSecsSinceEpoch(static_cast<qint64>(t)).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}
}  // namespace

CBackupsDlg::CBackupsDlg(QWidget* parent, const QString& folder)
    : QDialog(parent), m_strFolder(folder.isEmpty() ? BackupFolder() : folder)
{
    setObjectName(QStringLiteral("BackupsDlg"));
    setFont(DialogTemplateFont());
    setWindowTitle(tr("Backups"));
    m_pFolder = new QLabel(this);
    m_pFolder->setTextFormat(Qt::PlainText);
    m_pFolder->setWordWrap(true);
    m_pFolder->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_pList = new QTreeWidget(this);
    m_pList->setRootIsDecorated(false);
    m_pList->setAccessibleName(tr("Backups"));
    m_pList->setHeaderLabels({tr("Date"), tr("Port"), tr("Channels"), tr("First names"), tr("Pinned")});
    m_pList->setSelectionMode(QAbstractItemView::SingleSelection);
    m_pList->setAllColumnsShowFocus(true);
    m_pKeep = new QSpinBox(this);
    m_pKeep->setRange(1, 10000);
    m_pKeep->setValue(BackupsKept());
    auto* keepRow = new QHBoxLayout;
    auto* keepLabel = new QLabel(tr("Keep the newest"), this);
    keepLabel->setBuddy(m_pKeep);
    keepRow->addWidget(keepLabel);
    keepRow->addWidget(m_pKeep);
    keepRow->addWidget(new QLabel(tr("backups (pinned ones are never deleted)"), this));
    m_pKeep->setAccessibleDescription(tr("backups (pinned ones are never deleted)"));
    keepRow->addStretch(1);
    auto* buttons = new QDialogButtonBox(this);
    m_pOpen = buttons->addButton(tr("Open"), QDialogButtonBox::AcceptRole);
    m_pOpen->setDefault(true);
    buttons->addButton(tr("Close"), QDialogButtonBox::RejectRole);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pFolder);
    layout->addWidget(m_pList, 1);
    layout->addLayout(keepRow);
    layout->addWidget(buttons);
    resize(DialogUnitRect(this, 0, 0, 360, 200).size());

    connect(buttons, &QDialogButtonBox::accepted, this, &CBackupsDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CBackupsDlg::reject);
    connect(m_pList, &QTreeWidget::itemDoubleClicked, this, [this] { accept(); });
    connect(m_pList, &QTreeWidget::currentItemChanged, this,
            [this] { m_pOpen->setEnabled(m_pList->currentItem() != nullptr); });
    connect(m_pList, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* item, int column) {
        if (!m_bFilling && column == kColPinned)
            OnItemChanged(m_pList->indexOfTopLevelItem(item), item->checkState(kColPinned) == Qt::Checked);
    });
    connect(m_pKeep, &QSpinBox::valueChanged, this, [](int n) { SetBackupsKept(n); });
    Reload();
}

void CBackupsDlg::Reload()
{
    m_backups = ListBackups(CorePath(m_strFolder));
    m_nChosen = -1;
    m_bFilling = true;
    m_pList->clear();
    for (const BackupInfo& b : m_backups) {
        auto* item = new QTreeWidgetItem(m_pList);
        item->setText(kColDate, Date(b.time));
        item->setToolTip(kColDate, PlainToolTip(ShownName(b.path)));  // also those of the earlier folder
        item->setText(kColPort, ShownName(b.port));
        if (b.readable) {
            item->setText(kColChannels, QString::number(b.channels));
            QStringList names;
            for (const std::string& n : b.firstNames)
                names << QString::fromStdString(n);
            item->setText(kColNames, names.join(QStringLiteral(", ")));
        } else {
            item->setText(kColNames, QString::fromStdString(b.error));
        }
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(kColPinned, b.pinned ? Qt::Checked : Qt::Unchecked);
    }
    m_bFilling = false;
    m_pFolder->setText(m_backups.empty() ? tr("No backups yet in %1.").arg(ShownName(m_strFolder))
                                         : tr("Backups in %1:").arg(ShownName(m_strFolder)));
    if (m_pList->topLevelItemCount() > 0)
        m_pList->setCurrentItem(m_pList->topLevelItem(0));
    m_pOpen->setEnabled(m_pList->currentItem() != nullptr);
    for (int c = 0; c <= kColPinned; ++c)
        m_pList->resizeColumnToContents(c);
}

void CBackupsDlg::OnItemChanged(int row, bool pinned)
{
    if (row < 0 || row >= static_cast<int>(m_backups.size()))
        return;
    BackupInfo& b = m_backups[static_cast<std::size_t>(row)];
    std::string error;
    if (SetBackupPinned(b.path, pinned, error)) {
        b.pinned = pinned;
        return;
    }
    AppMessageBox(this, QString::fromStdString(error));
    m_bFilling = true;
    m_pList->topLevelItem(row)->setCheckState(kColPinned, b.pinned ? Qt::Checked : Qt::Unchecked);
    m_bFilling = false;
}

void CBackupsDlg::accept()
{
    const int row = m_pList->indexOfTopLevelItem(m_pList->currentItem());
    if (row < 0)
        return;
    m_nChosen = row;
    QDialog::accept();
}

QString CBackupsDlg::DocumentTitle(const BackupInfo& b)
{
    return tr("%1 - backup of %2, %3")
        .arg(IniString(g_strLanguage, "AppName"), QString::fromStdString(b.port),
             QDateTime::fromSecsSinceEpoch(static_cast<qint64>(b.time)).toString(QStringLiteral("yyyy-MM-dd HH:mm")));
}
