// Which outline lies inside which: the one rule by which outlines make
// pieces (a closed cut with the cuts inside it as its holes) and by which
// the laser cuts from the inside out.
#pragma once

#include "Outline.h"

#include <QPolygonF>
#include <QRectF>

// A point this close outside a closed outline still lies inside it: the
// rounding of drawing programs, and curves flattened on either side
// (0.01 mm each).
constexpr double kInsideToleranceMm = 0.05;

// An outline as containment sees it: its subpaths flattened.
struct FlatOutline
{
    QList<QPolygonF> rings;
    QRectF bounds;
    bool bClosed = false; // its first subpath returns to its start
    double dArea = 0.0;   // of its first subpath; 0 when open
};
FlatOutline Flattened(const Outline& outline);
QVector<FlatOutline> Flattened(const Outlines& outlines);

// Whether inner lies inside the closed outer (odd-even over outer's
// subpaths): points along inner all inside, or within the tolerance of an edge.
bool LiesInside(const FlatOutline& inner, const FlatOutline& outer);

// For every outline, the indexes of the closed cuts it lies inside
// (smallest first); a closed cut never lies inside one smaller than itself.
QVector<QVector<int>> ContainersOf(const Outlines& outlines, const QVector<FlatOutline>& flat);

// The outlines as pieces that are cut free: each closed cut that lies in
// no other, or in a hole of one (it falls out whole), with the closed cuts
// directly inside it as its holes and every other outline inside it.
// Outlines inside no closed cut go to *pStray (their indexes), in no piece.
QVector<Outlines> GroupPieces(const Outlines& outlines, QVector<int>* pStray);
