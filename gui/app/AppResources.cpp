#include "gui/app/AppResources.h"

#include <QtGlobal>

void EnsureAppResources()
{
    static const bool done = [] {
        Q_INIT_RESOURCE(resources);
        return true;
    }();
    (void)done;
}
