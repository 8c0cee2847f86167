#include "gui/app/Contrast.h"

#include <algorithm>
#include <cmath>

namespace {
double Linear(double channel)
{
    return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
}
}  // namespace

double RelativeLuminance(const QColor& c)
{
    const QColor rgb = c.toRgb();
    return 0.2126 * Linear(rgb.redF()) + 0.7152 * Linear(rgb.greenF()) + 0.0722 * Linear(rgb.blueF());
}

double ContrastRatio(const QColor& a, const QColor& b)
{
    const double la = RelativeLuminance(a), lb = RelativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor ReadableOn(const QColor& preferred, const QColor& ground, double ratio)
{
    if (ContrastRatio(preferred, ground) >= ratio)
        return preferred;
    const QColor target =
        ContrastRatio(Qt::white, ground) >= ContrastRatio(Qt::black, ground) ? QColor(Qt::white) : QColor(Qt::black);
    const QColor from = preferred.toRgb();
    for (int step = 1; step <= 20; ++step) {
        const double t = step / 20.0;
        const QColor mixed = QColor::fromRgbF(float(from.redF() + (target.redF() - from.redF()) * t),
                                              float(from.greenF() + (target.greenF() - from.greenF()) * t),
                                              float(from.blueF() + (target.blueF() - from.blueF()) * t));
        if (ContrastRatio(mixed, ground) >= ratio)
            return mixed;
    }
    return target;
}
