#include "gui/app/ControlId.h"

#include <QVariant>
#include <QWidget>

namespace {
const char* const kControlIdProperty = "controlId";
}  // namespace

int ControlId(const QWidget* w) { return w ? w->property(kControlIdProperty).toInt() : 0; }

void SetControlId(QWidget* w, int id)
{
    w->setProperty(kControlIdProperty, id);
    w->setObjectName(QStringLiteral("ctl%1").arg(id));
}
