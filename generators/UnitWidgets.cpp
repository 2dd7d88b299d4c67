#include "UnitWidgets.h"

#include "Numbers.h"
#include "SignalsBlocked.h"

#include <QDoubleSpinBox>
#include <QSlider>

namespace {
constexpr double kGrooveMinMm = 3.0;
}

void ShowLength(QDoubleSpinBox* pSpin, const UnitRange& range, double dMm, int nRulerUnit)
{
    if (IsInchUnit(nRulerUnit))
        pSpin->setRange(range.dInchMin, range.dInchMax);
    else
        pSpin->setRange(range.dMmMin, range.dMmMax);
    pSpin->setValue(FromMm(dMm, nRulerUnit));
}

void ShowGrooveMax(QDoubleSpinBox* pSpin, QSlider* pSlider, double dMaxMm, int nRulerUnit)
{
    const SignalsBlocked blocked{pSpin, pSlider};
    const bool bInch = IsInchUnit(nRulerUnit);
    const double dShown = FromMm(dMaxMm, nRulerUnit);
    const int nTop = TruncToInt(bInch ? dMaxMm * 10 / kMmPerInch : dMaxMm * 10);
    // Maximum before minimum: a maximum under 3 mm leaves the box at 3.
    pSpin->setMaximum(dShown);
    pSpin->setMinimum(FromMm(kGrooveMinMm, nRulerUnit));
    pSlider->setRange(bInch ? 1 : 30, nTop);
    pSpin->setValue(dShown);
    pSlider->setValue(nTop);
}

void PlaceGrooveSlider(QSlider* pSlider, double dTenths)
{
    const QSignalBlocker blocked(pSlider);
    pSlider->setValue(TruncToInt(dTenths));
}

void FollowGrooveSlider(QSlider* pSlider, QDoubleSpinBox* pSpin)
{
    QObject::connect(pSlider, &QSlider::valueChanged, pSpin, [pSpin](int v) { pSpin->setValue(v / 10.0); });
}
