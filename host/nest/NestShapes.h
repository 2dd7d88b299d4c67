// Pieces as the nest sees them: polygons in Clipper's whole units, closed
// (the first point again at the end), outer rings clockwise. Everything
// grown or shrunk here errs on the safe side: a grown ring holds the piece
// grown by at least the distance asked for.
#pragma once

#include "Outline.h"

#include <polyclipping/clipper.hpp>

#include <QTransform>
#include <utility>

namespace NestShapes {

using ClipperLib::IntPoint;
using ClipperLib::Path;
using ClipperLib::Paths;

constexpr double kUnitsPerMm = 10000.0;

struct PieceShape
{
    Path outer;  // the largest closed cut; the hull of everything when it has none
    Paths holes; // closed cuts inside it that fall out, largest first
};

// Closed, outer rings clockwise (a negative area, as Clipper reckons), holes the other way.
Path Ring(Path path, bool bHole = false);
// The piece's outlines as they lie on the sheet.
PieceShape ShapeOf(const Outlines& piece);
// Whether a cut of the piece is curved: flattened, it lies within 0.01 mm inside the curve.
bool HasCurves(const Outlines& piece);
// The ring grown by at least dByMm (and at most dByMm plus dSlackMm), with
// only as many corners as that slack needs; the ring itself when both are 0.
Path Grown(const Path& ring, double dByMm, double dSlackMm);
// The room inside a hole that keeps dByMm from its edge (several rooms when
// a narrow neck closes), with few corners.
Paths Shrunk(const Path& hole, double dByMm, double dSlackMm);
Path Hull(const Path& ring);
// The ring with every bay (between it and its hull) filled that holds no
// disc of this radius or is less than this share of the hull.
Path BaysFilled(const Path& ring, double dRadiusMm, double dShare);
double AreaMm2(const Path& ring);
// The turn (degrees) that squares the ring's narrowest enclosing box to the sheet.
double SquaringTurn(const Path& ring);
QRectF BoundsMm(const Path& ring);
} // namespace NestShapes
