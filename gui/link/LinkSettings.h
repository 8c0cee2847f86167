#pragma once
// What the link keeps between transfers: the port COM Setup chose, the backup
// folder and how many backups stay, the Write choices (back up first,
// verify), the radios read since the program started, and the serial trace of
// this session.
#include <QObject>
#include <QString>
#include <iosfwd>
#include <memory>

#include "core/link/PortName.h"

// The port COM Setup's OK chose last, remembered across runs: "com1".."com4",
// a device path, or "COM1" while none was chosen (or the stored value is
// damaged). Every window without a port of its own uses it.
QString RememberedPort();
// 1..4 for the names COM Setup's buttons stand for ("com1" or "COM1", as the
// transfer maps them through [Ports]), else 0.
int ComPortNumber(const QString& port);
// The port as the user chose it ("com3" from COM Setup shows as "COM3").
QString PortLabel(const QString& port);
// port as a transfer would resolve it now (core ResolvePort).
ResolvedPort ResolvePort(const QString& port);
// Remembers port and tells every window (CPortChoice::Chosen).
void RememberPort(const QString& port);

// Tells the windows of this process that COM Setup chose a port.
class CPortChoice : public QObject {
    Q_OBJECT
public:
    static CPortChoice* Instance();
signals:
    void Chosen(const QString& port);
};

// The per-user backup folder, named after the program in the user's data
// folder ($XDG_DATA_HOME/tr5-programmer/backups; the one earlier versions
// wrote is listed and pruned with it).
QString BackupFolder();
int BackupsKept();
void SetBackupsKept(int count);

// The Write confirmation's check boxes, remembered.
bool VerifyAfterWriteSetting();
void SetVerifyAfterWriteSetting(bool on);
bool BackupBeforeWriteSetting();
void SetBackupBeforeWriteSetting(bool on);

// Setup > Log Serial Traffic: the file every transfer's trace is appended to
// ("" while off). SetTracePath checks that the file can be written.
QString TracePath();
bool SetTracePath(const QString& path, QString* error);
// Opens the trace file for one transfer; nullptr with error (the file and the
// system's reason) when it cannot be written.
std::shared_ptr<std::ostream> OpenTraceFile(QString* error);
