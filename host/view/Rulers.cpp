#include "Rulers.h"

#include <QPair>
#include <cmath>

namespace {
constexpr double kMmPerInch = 25.4;

// Steps of 1, 2 or 5 times a power of ten, the first at least least long.
double NiceStep(double least)
{
    const double power = std::pow(10.0, std::floor(std::log10(std::max(least, 1e-3))));
    for (double factor : {1.0, 2.0, 5.0, 10.0})
        if (factor * power >= least)
            return factor * power;
    return 10 * power;
}
} // namespace

QVector<RulerTick> RulerTicks(double dFromMm, double dToMm, double dPxPerMm, bool bInches, double dMinLabelPx)
{
    QVector<RulerTick> ticks;
    const double mmPerUnit = bInches ? kMmPerInch : 1.0;
    if (!(dPxPerMm > 0) || !(dToMm >= dFromMm))
        return ticks;
    const double label = NiceStep(dMinLabelPx / (dPxPerMm * mmPerUnit)); // in the unit shown
    const double tick = label / 5;
    for (long long i = std::llround(std::floor(dFromMm / mmPerUnit / tick)); i * tick * mmPerUnit <= dToMm; ++i) {
        const bool labelled = i % 5 == 0;
        ticks.append({i * tick * mmPerUnit, labelled,
                      labelled ? QString::number(i / 5 * label, 'g', 6) : QString()});
    }
    return ticks;
}

QPair<double, double> GridSteps(bool bInches)
{
    // Quarter inches and inches, or 10 and 50 mm: the grid counts what the rulers count.
    return bInches ? qMakePair(kMmPerInch / 4, kMmPerInch) : qMakePair(10.0, 50.0);
}
