// The rulers' ticks: where they fall and what the labelled ones read, in the
// unit the dialog shows, at the view's zoom.
#pragma once

#include <QString>
#include <QVector>

struct RulerTick
{
    double dMm;     // position on the sheet
    bool bLabelled; // a long tick with its figure
    QString label;  // in the unit shown
};

// Labels at least dMinLabelPx apart: steps of 1, 2 or 5 times a power of ten
// of the unit shown, with four short ticks between two labels.
QVector<RulerTick> RulerTicks(double dFromMm, double dToMm, double dPxPerMm, bool bInches, double dMinLabelPx = 48);
// The grid under the parts: its minor and major line spacing in millimetres.
QPair<double, double> GridSteps(bool bInches);
