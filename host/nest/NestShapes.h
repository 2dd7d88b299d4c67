// Pieces as the nest sees them: polygons in Clipper's whole units, closed
// (the first point again at the end), outer rings clockwise as the nesting
// library wants them. Everything grown or shrunk here errs on the safe side:
// a grown ring holds the piece grown by at least the distance asked for.
#pragma once

#include "Outline.h"

#include <libnest2d/backends/clipper/clipper_polygon.hpp>

#include <QTransform>
#include <utility>

namespace NestShapes {

using ClipperLib::IntPoint;
using ClipperLib::Path;
using ClipperLib::Paths;
using ClipperLib::Polygon;

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
// The ring grown by at least dByMm (and at most dByMm plus dSlackMm), with
// only as many corners as that slack needs.
Path Grown(const Path& ring, double dByMm, double dSlackMm);
// The room inside a hole that keeps dByMm from its edge (several rooms when
// a narrow neck closes), with few corners.
Paths Shrunk(const Path& hole, double dByMm, double dSlackMm);
Path Hull(const Path& ring);
// Whether a bay of the ring (between it and its hull) holds a disc of this radius.
bool HasBayFor(const Path& ring, double dRadiusMm);
double AreaMm2(const Path& ring);
QRectF BoundsMm(const Path& ring);
// The positions of the orbiter's top-right corner at which it overlaps the
// stationary ring, and that corner where the orbiter's bottom-left corner
// meets the stationary's top-right one; bays the orbiter fits into whole
// are holes of it.
std::pair<Polygon, IntPoint> NoFitPolygon(const Polygon& stationary, const Polygon& orbiter);
// The least distance between two pieces' cuts is at least dMm (a hair less
// for rounding): neither's grown cuts overlap the other's.
bool KeepApart(const Paths& a, const Paths& b, double dMm);
// Every closed cut of a piece, placed.
Paths Cuts(const Outlines& piece, const QTransform& placement = QTransform());

} // namespace NestShapes
