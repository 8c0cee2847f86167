#pragma once
// File > Backups...: the backups of radios kept in the backup folder, newest
// first, with date, port, channels used and the first channel names. One can
// be opened (as a new untitled document) and pinned so it is never pruned;
// the number kept is a setting here too.
#include <QDialog>
#include <vector>

#include "core/link/Backups.h"

class QLabel;
class QPushButton;
class QSpinBox;
class QTreeWidget;

class CBackupsDlg : public QDialog {
    Q_OBJECT
public:
    enum Column { kColDate, kColPort, kColChannels, kColNames, kColPinned };

    // folder: where the backups are ("" for the window's backup folder).
    explicit CBackupsDlg(QWidget* parent = nullptr, const QString& folder = QString());

    // Reads the folder again.
    void Reload();
    // The backup chosen by Open; empty until then.
    const BackupInfo* Chosen() const
    {
        return m_nChosen >= 0 ? &m_backups[static_cast<std::size_t>(m_nChosen)] : nullptr;
    }
    // The title of the document a backup opens as: "<AppName> - backup of COM1, 2026-05-01 14:30".
    static QString DocumentTitle(const BackupInfo& backup);

    QTreeWidget* List() const { return m_pList; }
    QPushButton* OpenButton() const { return m_pOpen; }
    QSpinBox* KeepBox() const { return m_pKeep; }

public slots:
    void accept() override;

private:
    void OnItemChanged(int row, bool pinned);

    QString m_strFolder;
    std::vector<BackupInfo> m_backups;
    int m_nChosen = -1;
    bool m_bFilling = false;
    QLabel* m_pFolder;
    QTreeWidget* m_pList;
    QSpinBox* m_pKeep;
    QPushButton* m_pOpen;
};
