// A nest judged from the files it wrote, with CGAL's exact arithmetic, which
// the nest's own check does not use: every piece inside the margin as the
// maker set it (one larger than the board alone, in the margin's corner),
// no two pieces overlapping, and every two pieces of a sheet, a piece in
// another's hole too, at least the gap apart.
#pragma once

#include <QPolygonF>
#include <QSizeF>
#include <QString>
#include <QVector>

struct Board
{
    QSizeF size;
    double dMarginMm = 0;
    double dGapMm = 0; // the spacing plus the widest kerf
};

// Each sheet's closed cuts in millimetres, y down, from exported files:
// SVG paths flattened by Qt, DXF vertices as ezdxf reads them; a file per
// sheet, or one with a layer per sheet.
QVector<QList<QPolygonF>> SheetCuts(const QStringList& files);
// The first rule the sheets break, with where; empty when they keep every
// one. dTolerance covers the files' rounding and curves' flattening.
QString JudgeNest(const QVector<QList<QPolygonF>>& sheets, const Board& board, double dTolerance = 2e-3);
