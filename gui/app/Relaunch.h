#pragma once
// Starting the program anew, which a language change needs. Work that a
// restart would cut off (a transfer in a document window) is guarded by
// whoever holds it: the main frame installs the guard.
#include <QString>
#include <QStringList>
#include <functional>

// Starts the running executable again, by its own absolute path, with the
// arguments the installed provider gives (the document to open again). A test
// may observe it instead.
void Relaunch();
using RelaunchHook = std::function<void(const QString& program, const QStringList& arguments)>;
void SetRelaunchHook(RelaunchHook hook);
using RelaunchArguments = std::function<QStringList()>;
void SetRelaunchArguments(RelaunchArguments provider);

// Asked before anything of a restart happens; false leaves everything as it is.
// The guard runs `commit` (what makes the restart take effect) once every
// question is answered and before it ends anything; a commit that fails stops
// the restart. An empty guard (nothing installed) runs the commit alone.
using RelaunchCommit = std::function<bool()>;
using RelaunchGuard = std::function<bool(const RelaunchCommit& commit)>;
void SetRelaunchGuard(RelaunchGuard guard);
bool MayRelaunch(const RelaunchCommit& commit = {});
