// Length widgets in the ruler unit: their ranges in millimetres and inches,
// and the groove spin box and slider pairs of the two boxes.
#pragma once

#include "ParameterTable.h"
#include "Settings.h"

#include "TextField.h"

class QDoubleSpinBox;
class QLineEdit;
class QSlider;
class QWidget;

// The smallest finger size either box allows.
constexpr double kGrooveMinMm = 3.0;

using ParameterTable::kLaserWidthRange;
using ParameterTable::kThicknessRange;
using ParameterTable::UnitRange;

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

// One value in the widget a row names, its signals blocked: a spin box in
// the ruler unit (its range first, when the row has one), a line edit as
// text, a check box checked.
void ShowNumber(QWidget* pWidget, ParameterTable::Kind kind, const UnitRange* pRange, double dValue, bool bWhole,
                int nRulerUnit);
void ShowText(QWidget* pWidget, ParameterTable::Kind kind, const QString& text);
// "1=a,0=b": the button of nValue checked, the others not; the buttons
// signal when bSignals, so the checked one stores what it shows.
void ShowChoice(const QWidget* pForm, const char* pszButtons, int nValue, bool bSignals);
QWidget* FieldWidget(const QWidget* pForm, const char* pszName);

// Every row's value in its widget, the choices last.
template <typename Record, size_t N>
void ShowFields(const QWidget* pForm, const ParameterTable::Row<Record> (&rows)[N], Record& record, int nRulerUnit,
                bool bChoicesSignal = false)
{
    using ParameterTable::Kind;
    for (const ParameterTable::Row<Record>& row : rows) {
        if (!row.pszWidget || row.kind == Kind::Choice)
            continue;
        QWidget* pWidget = FieldWidget(pForm, row.pszWidget);
        if (row.pNumber)
            ShowNumber(pWidget, row.kind, row.pRange, row.pNumber(record), false, nRulerUnit);
        else if (row.pCount)
            ShowNumber(pWidget, row.kind, nullptr, row.pCount(record), true, nRulerUnit);
        else if (row.pFlag)
            ShowNumber(pWidget, row.kind, nullptr, row.pFlag(record), true, nRulerUnit);
        else if (row.pText)
            ShowText(pWidget, row.kind, Utf8FieldToString(row.pText(record)));
    }
    for (const ParameterTable::Row<Record>& row : rows)
        if (row.pszWidget && row.kind == Kind::Choice && (row.pFlag || row.pCount)) // a page's own choice has no field
            ShowChoice(pForm, row.pszWidget, row.pFlag ? int(row.pFlag(record)) : row.pCount(record), bChoicesSignal);
}
