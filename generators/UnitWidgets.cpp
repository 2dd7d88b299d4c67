#include "UnitWidgets.h"

#include "Numbers.h"
#include "SignalsBlocked.h"
#include "Validator.h"

#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QSlider>
#include <limits>

QLineEdit* InstallDecimalValidator(QWidget* pField, double dBottom, double dTop)
{
    auto* pEdit = qobject_cast<QLineEdit*>(pField);
    if (!pEdit)
        pEdit = pField->findChild<QLineEdit*>();
    constexpr double kResetToBottom = std::numeric_limits<double>::infinity();
    Validator::Install(pEdit, new Validator(pEdit, dBottom, dTop, 2, 0, 2, kResetToBottom));
    return pEdit;
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
    pSlider->setRange(TruncToInt(FromMm(kGrooveMinMm, nRulerUnit) * 10), nTop);
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
