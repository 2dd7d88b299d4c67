#include "NestShapes.h"

#include "NestGeometry.h"

#include <polyclipping/clipper.hpp>

#include <algorithm>
#include <cmath>
#include <QtMath>

namespace NestShapes {
namespace {
using ClipperLib::cInt;

IntPoint ToUnits(const QPointF& p)
{
    return IntPoint(cInt(std::llround(p.x() * kUnitsPerMm)), cInt(std::llround(p.y() * kUnitsPerMm)));
}

} // namespace

Path Ring(Path path, bool bHole)
{
    while (path.size() > 1 && path.front() == path.back())
        path.pop_back();
    if (path.size() < 3)
        return Path();
    if (ClipperLib::Orientation(path) != bHole)
        ClipperLib::ReversePath(path);
    path.push_back(path.front());
    return path;
}

namespace {

Path Open(Path ring)
{
    while (ring.size() > 1 && ring.front() == ring.back())
        ring.pop_back();
    return ring;
}

double Distance(const IntPoint& p, const IntPoint& a, const IntPoint& b)
{
    const double dx = double(b.X - a.X), dy = double(b.Y - a.Y);
    const double length2 = dx * dx + dy * dy;
    double t = length2 > 0 ? ((p.X - a.X) * dx + (p.Y - a.Y) * dy) / length2 : 0.0;
    t = std::clamp(t, 0.0, 1.0);
    return std::hypot(p.X - a.X - t * dx, p.Y - a.Y - t * dy);
}

// Douglas-Peucker between first and last, both kept.
void Simplify(const Path& in, size_t first, size_t last, double tolerance, std::vector<bool>& keep)
{
    double farthest = 0.0;
    size_t at = first;
    for (size_t i = first + 1; i < last; ++i)
        if (const double d = Distance(in[i], in[first], in[last]); d > farthest)
            farthest = d, at = i;
    if (farthest <= tolerance)
        return;
    keep[at] = true;
    Simplify(in, first, at, tolerance, keep);
    Simplify(in, at, last, tolerance, keep);
}

// Corners closer than the tolerance to the line of their neighbours dropped.
Path Simplified(const Path& ring, double dToleranceMm)
{
    Path open = Open(ring);
    if (open.size() < 4)
        return Ring(open);
    // Split the ring at its two points farthest apart along x.
    const auto [lo, hi] = std::minmax_element(open.cbegin(), open.cend(),
                                              [](const IntPoint& a, const IntPoint& b) { return a.X < b.X; });
    std::rotate(open.begin(), open.begin() + (lo - open.cbegin()), open.end());
    const size_t split = size_t((hi - lo + long(open.size())) % long(open.size()));
    open.push_back(open.front());
    std::vector<bool> keep(open.size(), false);
    keep.front() = keep.back() = keep[split] = true;
    const double tolerance = dToleranceMm * kUnitsPerMm;
    Simplify(open, 0, split, tolerance, keep);
    Simplify(open, split, open.size() - 1, tolerance, keep);
    Path kept;
    for (size_t i = 0; i + 1 < open.size(); ++i)
        if (keep[i])
            kept.push_back(open[i]);
    return Ring(kept);
}

Paths Offset(const Paths& paths, double dMm, ClipperLib::JoinType join)
{
    ClipperLib::ClipperOffset offset(2.0, 0.005 * kUnitsPerMm);
    offset.AddPaths(paths, join, ClipperLib::etClosedPolygon);
    Paths out;
    offset.Execute(out, dMm * kUnitsPerMm);
    return out;
}

const Path& Largest(const Paths& paths)
{
    return *std::max_element(paths.cbegin(), paths.cend(), [](const Path& a, const Path& b) {
        return std::abs(ClipperLib::Area(a)) < std::abs(ClipperLib::Area(b));
    });
}

} // namespace

PieceShape ShapeOf(const Outlines& piece)
{
    Paths closed;
    Path everything;
    for (const Outline& outline : piece)
        for (const QPolygonF& polygon : FlatPolygons(outline.path)) {
            Path path;
            for (const QPointF& p : polygon)
                path.push_back(ToUnits(p));
            everything.insert(everything.end(), path.begin(), path.end());
            if (!IsEngraving(outline.nLayer) && polygon.size() > 3 && polygon.isClosed() && !Ring(path).empty())
                closed.push_back(Ring(path));
        }
    PieceShape shape;
    if (closed.empty())
        return shape.outer = Hull(everything), shape;
    std::stable_sort(closed.begin(), closed.end(), [](const Path& a, const Path& b) {
        return std::abs(ClipperLib::Area(a)) > std::abs(ClipperLib::Area(b));
    });
    shape.outer = closed.front();
    // Whatever lies outside the outer cut (an engraving past the rim) is
    // covered by the hull of all.
    const QRectF bounds = BoundsMm(shape.outer).adjusted(-1e-3, -1e-3, 1e-3, 1e-3);
    for (const IntPoint& p : everything)
        if (!bounds.contains(QPointF(p.X, p.Y) / kUnitsPerMm) || ClipperLib::PointInPolygon(p, shape.outer) == 0)
            return shape.outer = Hull(everything), shape;
    for (size_t i = 1; i < closed.size(); ++i)
        shape.holes.push_back(Ring(closed[i], true));
    return shape;
}

bool HasCurves(const Outlines& piece)
{
    for (const Outline& outline : piece)
        for (int i = 0; !IsEngraving(outline.nLayer) && i < outline.path.elementCount(); ++i)
            if (outline.path.elementAt(i).type == QPainterPath::CurveToElement)
                return true;
    return false;
}

Path Grown(const Path& ring, double dByMm, double dSlackMm)
{
    if (dByMm <= 0 && dSlackMm <= 0)
        return Ring(ring);
    const Paths grown = Offset({ring}, dByMm + dSlackMm, ClipperLib::jtMiter);
    return grown.empty() ? Path() : Simplified(Largest(grown), dSlackMm);
}

Paths Shrunk(const Path& hole, double dByMm, double dSlackMm)
{
    Paths rooms;
    for (const Path& room : Offset({Ring(hole)}, -(dByMm + dSlackMm), ClipperLib::jtMiter))
        if (Path ring = Simplified(room, dSlackMm); !ring.empty() && ClipperLib::Orientation(room))
            rooms.push_back(ring);
    return rooms;
}

Path Hull(const Path& ring)
{
    NestGeometry::Ring points;
    for (const IntPoint& p : ring)
        points.push_back({p.X, p.Y});
    Path hull;
    for (const NestGeometry::Pt& p : NestGeometry::Hull(points))
        hull.push_back(IntPoint(p.x, p.y));
    return Ring(hull);
}

Path BaysFilled(const Path& ring, double dRadiusMm, double dShare)
{
    const Path hull = Hull(ring);
    ClipperLib::Clipper clipper;
    clipper.AddPath(hull, ClipperLib::ptSubject, true);
    clipper.AddPath(ring, ClipperLib::ptClip, true);
    Paths bays;
    clipper.Execute(ClipperLib::ctDifference, bays, ClipperLib::pftNonZero, ClipperLib::pftNonZero);
    Paths filled{ring};
    const double small = dShare * std::abs(ClipperLib::Area(hull));
    for (const Path& bay : bays)
        if (std::abs(ClipperLib::Area(bay)) < small || Offset({bay}, -dRadiusMm, ClipperLib::jtRound).empty())
            filled.push_back(bay);
    if (filled.size() == bays.size() + 1)
        return hull;
    if (filled.size() == 1)
        return ring;
    ClipperLib::Clipper join;
    join.AddPaths(filled, ClipperLib::ptSubject, true);
    Paths out;
    join.Execute(ClipperLib::ctUnion, out, ClipperLib::pftNonZero, ClipperLib::pftNonZero);
    return out.size() == 1 ? Ring(out.front()) : ring;
}

double AreaMm2(const Path& ring)
{
    return std::abs(ClipperLib::Area(ring)) / (kUnitsPerMm * kUnitsPerMm);
}

QRectF BoundsMm(const Path& ring)
{
    if (ring.empty())
        return QRectF();
    cInt x0 = ring[0].X, x1 = x0, y0 = ring[0].Y, y1 = y0;
    for (const IntPoint& p : ring)
        x0 = std::min(x0, p.X), x1 = std::max(x1, p.X), y0 = std::min(y0, p.Y), y1 = std::max(y1, p.Y);
    return QRectF(QPointF(x0, y0) / kUnitsPerMm, QPointF(x1, y1) / kUnitsPerMm);
}

double SquaringTurn(const Path& ring)
{
    const Path hull = Hull(ring);
    double best = qInf(), turn = 0.0;
    for (size_t i = 0; i + 1 < hull.size(); ++i) {
        const double angle = std::atan2(double(hull[i + 1].Y - hull[i].Y), double(hull[i + 1].X - hull[i].X));
        const double c = std::cos(-angle), s = std::sin(-angle);
        double x0 = qInf(), x1 = -qInf(), y0 = qInf(), y1 = -qInf();
        for (const IntPoint& p : hull) {
            const double x = p.X * c - p.Y * s, y = p.X * s + p.Y * c;
            x0 = std::min(x0, x), x1 = std::max(x1, x), y0 = std::min(y0, y), y1 = std::max(y1, y);
        }
        if ((x1 - x0) * (y1 - y0) < best)
            best = (x1 - x0) * (y1 - y0), turn = -angle;
    }
    return std::round(qRadiansToDegrees(turn) * 1e6) / 1e6;
}

} // namespace NestShapes
