#include "gui/app/Announce.h"

#include <QAccessible>

namespace {
AnnounceHook& Hook()
{
    static AnnounceHook hook;
    return hook;
}
}  // namespace

void Announce(QAccessibleEvent* event)
{
    if (Hook())
        Hook()(event);
    QAccessible::updateAccessibility(event);
}

void SetAnnounceHook(AnnounceHook hook) { Hook() = std::move(hook); }
