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
RelaunchArguments& relaunchArguments()
{
    static RelaunchArguments provider;
    return provider;
}
RelaunchGuard& relaunchGuard()
{
    static RelaunchGuard guard;
    return guard;
}
}  // namespace

void SetRelaunchHook(RelaunchHook hook) { relaunchHook() = std::move(hook); }

void SetRelaunchArguments(RelaunchArguments provider) { relaunchArguments() = std::move(provider); }

void Relaunch()
{
    // The running executable by its own absolute path, whatever the current directory.
    const QString program = QCoreApplication::applicationFilePath();
    const QStringList arguments = relaunchArguments() ? relaunchArguments()() : QStringList();
    if (relaunchHook()) {
        relaunchHook()(program, arguments);
        return;
    }
    QProcess::startDetached(program, arguments);
}

void SetRelaunchGuard(RelaunchGuard guard) { relaunchGuard() = std::move(guard); }

bool MayRelaunch(const RelaunchCommit& commit)
{
    if (relaunchGuard())
        return relaunchGuard()(commit);
    return !commit || commit();
}
