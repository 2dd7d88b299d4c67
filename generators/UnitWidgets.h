// Length widgets in the ruler unit: their ranges in millimetres and inches,
// and the groove spin box and slider pairs of the two boxes.
#pragma once

#include "Settings.h"

class QDoubleSpinBox;
class QLineEdit;
class QSlider;
class QWidget;

// The smallest finger size either box allows.
constexpr double kGrooveMinMm = 3.0;

// Millimetre and inch ranges of one length widget.
struct UnitRange
{
    double dMmMin;
    double dMmMax;
    double dInchMin;
    double dInchMax;
};

constexpr UnitRange kThicknessRange{1.0, 10.0, 0.04, 0.39};
constexpr UnitRange kLaserWidthRange{0.1, 0.8, 0.004, 0.03};

// A two-decimal range check, reset to its bottom when left out of range, on
// a line edit or a spin box's own line edit; returns the edit it is on.
QLineEdit* InstallDecimalValidator(QWidget* pField, double dBottom, double dTop);

// Sets the range for the ruler unit, then shows dMm in that unit.
void ShowLength(QDoubleSpinBox* pSpin, const UnitRange& range, double dMm, int nRulerUnit);

// A groove spin box may go from 3 mm up to dMaxMm, and its slider, counting
// tenths of the shown unit, covers the same span; both then show dMaxMm.
// Signals of both stay blocked.
void ShowGrooveMax(QDoubleSpinBox* pSpin, QSlider* pSlider, double dMaxMm, int nRulerUnit);

// Puts the slider at trunc(dTenths) without signalling.
void PlaceGrooveSlider(QSlider* pSlider, double dTenths);

// Moving the slider sets the spin box to tenths, unblocked, so the spin
// box's own handler stores the size and rebuilds.
void FollowGrooveSlider(QSlider* pSlider, QDoubleSpinBox* pSpin);
