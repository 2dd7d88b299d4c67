#include "NestShapes.h"

#include <polyclipping/clipper.hpp>

#include <algorithm>
#include <cmath>

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

Paths Normalised(const Paths& rings, ClipperLib::PolyFillType fill)
{
    ClipperLib::Clipper clipper;
    clipper.AddPaths(rings, ClipperLib::ptSubject, true);
    Paths out;
    clipper.Execute(ClipperLib::ctUnion, out, fill, fill);
    return out;
}

const Path& Largest(const Paths& paths)
{
    return *std::max_element(paths.cbegin(), paths.cend(), [](const Path& a, const Path& b) {
        return std::abs(ClipperLib::Area(a)) < std::abs(ClipperLib::Area(b));
    });
}

IntPoint Corner(const Path& ring, bool bTopRight)
{
    // The library's reference corners: greatest (least) y, then x.
    const auto before = [](const IntPoint& a, const IntPoint& b) { return a.Y == b.Y ? a.X < b.X : a.Y < b.Y; };
    return bTopRight ? *std::max_element(ring.cbegin(), ring.cend(), before)
                     : *std::min_element(ring.cbegin(), ring.cend(), before);
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

Path Grown(const Path& ring, double dByMm, double dSlackMm)
{
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
    // Andrew's monotone chain.
    Path points = Open(ring);
    std::sort(points.begin(), points.end(), [](const IntPoint& a, const IntPoint& b) {
        return a.X == b.X ? a.Y < b.Y : a.X < b.X;
    });
    points.erase(std::unique(points.begin(), points.end()), points.end());
    if (points.size() < 3)
        return Path();
    const auto cross = [](const IntPoint& o, const IntPoint& a, const IntPoint& b) {
        return double(a.X - o.X) * double(b.Y - o.Y) - double(a.Y - o.Y) * double(b.X - o.X);
    };
    Path hull(2 * points.size());
    size_t k = 0;
    for (size_t i = 0; i < points.size(); ++i) {
        while (k >= 2 && cross(hull[k - 2], hull[k - 1], points[i]) <= 0)
            --k;
        hull[k++] = points[i];
    }
    for (size_t i = points.size() - 1, t = k + 1; i-- > 0;) {
        while (k >= t && cross(hull[k - 2], hull[k - 1], points[i]) <= 0)
            --k;
        hull[k++] = points[i];
    }
    hull.resize(k - 1);
    return Ring(hull);
}

bool HasBayFor(const Path& ring, double dRadiusMm)
{
    ClipperLib::Clipper clipper;
    clipper.AddPath(Hull(ring), ClipperLib::ptSubject, true);
    clipper.AddPath(ring, ClipperLib::ptClip, true);
    Paths bays;
    clipper.Execute(ClipperLib::ctDifference, bays, ClipperLib::pftNonZero, ClipperLib::pftNonZero);
    return !Offset(bays, -dRadiusMm, ClipperLib::jtRound).empty();
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

std::pair<Polygon, IntPoint> NoFitPolygon(const Polygon& stationary, const Polygon& orbiter)
{
    const Path a = Open(stationary.Contour), b = Open(orbiter.Contour);
    // Every a - b: where the orbiter, moved by it, crosses the stationary's edge.
    Paths sum;
    ClipperLib::MinkowskiDiff(a, b, sum);
    ClipperLib::Clipper clipper;
    clipper.AddPaths(sum, ClipperLib::ptSubject, true);
    ClipperLib::PolyTree tree;
    clipper.Execute(ClipperLib::ctUnion, tree, ClipperLib::pftNonZero, ClipperLib::pftNonZero);
    const ClipperLib::PolyNode* pOuter = nullptr;
    for (const ClipperLib::PolyNode* pNode : tree.Childs)
        if (!pOuter || std::abs(ClipperLib::Area(pNode->Contour)) > std::abs(ClipperLib::Area(pOuter->Contour)))
            pOuter = pNode;
    // The orbiter's reference corner rides on these positions.
    const IntPoint reference = Corner(b, true);
    const auto moved = [&reference](Path path) {
        for (IntPoint& p : path)
            p.X += reference.X, p.Y += reference.Y;
        return path;
    };
    Polygon nfp;
    if (pOuter) {
        nfp.Contour = Ring(moved(pOuter->Contour));
        // A hole of the sum is room only where the orbiter lies wholly
        // outside the stationary (in a closed bay), not wholly inside it.
        for (const ClipperLib::PolyNode* pHole : pOuter->Childs) {
            const Paths inside = Offset({pHole->Contour}, -0.001, ClipperLib::jtMiter);
            if (inside.empty() || inside.front().empty())
                continue;
            const IntPoint d = inside.front().front();
            const IntPoint probe(b.front().X + d.X, b.front().Y + d.Y);
            Path placed = b;
            for (IntPoint& p : placed)
                p.X += d.X, p.Y += d.Y;
            if (ClipperLib::PointInPolygon(probe, a) == 0 && ClipperLib::PointInPolygon(a.front(), placed) == 0)
                nfp.Holes.push_back(Ring(moved(pHole->Contour), true));
        }
    }
    const IntPoint touch = Corner(a, true), low = Corner(b, false);
    return {nfp, IntPoint(reference.X + touch.X - low.X, reference.Y + touch.Y - low.Y)};
}

Paths Cuts(const Outlines& piece, const QTransform& placement)
{
    Paths cuts;
    for (const Outline& outline : piece)
        if (!IsEngraving(outline.nLayer))
            for (const QPolygonF& polygon : FlatPolygons(placement.map(outline.path)))
                if (polygon.size() > 3 && polygon.isClosed()) {
                    Path path;
                    for (const QPointF& p : polygon)
                        path.push_back(ToUnits(p));
                    cuts.push_back(Open(path));
                }
    return cuts;
}

bool KeepApart(const Paths& a, const Paths& b, double dMm)
{
    // Each grown by half the distance, less a hair for the round joins'
    // chords and the flattening, must not meet the other.
    const double half = std::max(0.0, dMm / 2 - 0.01);
    ClipperLib::Clipper clipper;
    clipper.AddPaths(Offset(Normalised(a, ClipperLib::pftEvenOdd), half, ClipperLib::jtRound), ClipperLib::ptSubject, true);
    clipper.AddPaths(Offset(Normalised(b, ClipperLib::pftEvenOdd), half, ClipperLib::jtRound), ClipperLib::ptClip, true);
    Paths overlap;
    clipper.Execute(ClipperLib::ctIntersection, overlap, ClipperLib::pftNonZero, ClipperLib::pftNonZero);
    double area = 0.0;
    for (const Path& path : overlap)
        area += std::abs(ClipperLib::Area(path));
    return area / (kUnitsPerMm * kUnitsPerMm) < 1e-4;
}

} // namespace NestShapes
