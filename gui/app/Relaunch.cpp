#include "gui/app/Relaunch.h"

#include <QCoreApplication>
#include <QProcess>
#include <QStringList>

namespace {
RelaunchHook& relaunchHook()
{
    static RelaunchHook hook;
    return hook;
}
RelaunchGuard& relaunchGuard()
{
    static RelaunchGuard guard;
    return guard;
}
}  // namespace

void SetRelaunchHook(RelaunchHook hook) { relaunchHook() = std::move(hook); }

void Relaunch()
{
    // The running executable by its own absolute path, whatever the current directory.
    const QString program = QCoreApplication::applicationFilePath();
    if (relaunchHook()) {
        relaunchHook()(program);
        return;
    }
    QProcess::startDetached(program, QStringList());
}

void SetRelaunchGuard(RelaunchGuard guard) { relaunchGuard() = std::move(guard); }

bool MayRelaunch() { return !relaunchGuard() || relaunchGuard()(); }
