#include "EngineOutline.h"

#include <QtMath>
#include <algorithm>
#include <cmath>

namespace EngineOutline {

namespace {
constexpr int kMaxFingersPerEdge = 999;
constexpr int kMinFingersForJoint = 3;
// Only bounds the work for a radius no record reaches.
constexpr int kMaxArcSegments = 1 << 16;
constexpr double kSamePointEpsilon = 1e-7;
// Cross products below this (relative to the edge lengths) count as straight.
constexpr double kCollinearEpsilon = 1e-9;

int LargestOddAtMost(double value)
{
    const int n = int(std::floor(value));
    return n % 2 == 0 ? n - 1 : n;
}

double WidthError(double length, int count, double fingerSize)
{
    return std::abs(length / count - fingerSize);
}

double Cross(const QPointF& a, const QPointF& b) { return a.x() * b.y() - a.y() * b.x(); }
double Dot(const QPointF& a, const QPointF& b) { return a.x() * b.x() + a.y() * b.y(); }
double Length(const QPointF& v) { return std::hypot(v.x(), v.y()); }

bool SamePoint(const QPointF& a, const QPointF& b)
{
    return Length(a - b) <= kSamePointEpsilon;
}

bool Straight(const QPointF& prev, const QPointF& p, const QPointF& next)
{
    const QPointF a = p - prev;
    const QPointF b = next - p;
    return std::abs(Cross(a, b)) <= kCollinearEpsilon * std::max(1.0, Length(a) * Length(b));
}
} // namespace

int FingerCount(double length, double fingerSize, double minFinger)
{
    if (!(length > 0.0) || !(fingerSize > 0.0) || !(minFinger > 0.0))
        return 1;
    const int most = LargestOddAtMost(std::min(length / minFinger, double(kMaxFingersPerEdge)));
    if (most < kMinFingersForJoint)
        return 1;
    // The odd counts on either side of the ideal one; the nearer width wins.
    const int below = std::clamp(LargestOddAtMost(std::min(length / fingerSize, double(kMaxFingersPerEdge))),
                                 kMinFingersForJoint, most);
    const int above = std::min(below + 2, most);
    return WidthError(length, above, fingerSize) < WidthError(length, below, fingerSize) ? above : below;
}

QVector<Run> FingerRuns(double start, double length, int count, bool keepEven, double cutDepth)
{
    QVector<Run> runs;
    count = std::max(1, count);
    runs.reserve(count);
    const double step = length / count;
    for (int i = 0; i < count; ++i) {
        const bool kept = (i % 2 == 0) == keepEven;
        const double s1 = i + 1 == count ? start + length : start + (i + 1) * step;
        runs.append({start + i * step, s1, kept ? 0.0 : cutDepth});
    }
    return runs;
}

QVector<Run> ReversedRuns(const QVector<Run>& runs, double total)
{
    QVector<Run> reversed;
    reversed.reserve(runs.size());
    for (auto it = runs.crbegin(); it != runs.crend(); ++it)
        reversed.append({total - it->s1, total - it->s0, it->depth});
    return reversed;
}

void AppendProfiledEdge(QPolygonF& outline, const EdgeFrame& edge, const QVector<Run>& runs,
                        double entryDepth, double exitDepth)
{
    if (runs.isEmpty())
        return;
    outline << edge.At(runs.first().s0, entryDepth);
    for (const Run& run : runs)
        outline << edge.At(run.s0, run.depth) << edge.At(run.s1, run.depth);
    outline << edge.At(runs.last().s1, exitDepth);
}

QVector<QPointF> ArcPoints(const QPointF& centre, double radius, double a0, double a1, double tolerance)
{
    QVector<QPointF> points;
    int segments = 1;
    if (radius > tolerance) {
        const double stepAngle = 2.0 * std::acos(1.0 - tolerance / radius);
        // Capped before the cast: a tiny step would overflow int.
        segments = std::max(1, int(std::min(std::ceil(std::abs(a1 - a0) / stepAngle), double(kMaxArcSegments))));
    }
    points.reserve(segments + 1);
    for (int i = 0; i <= segments; ++i) {
        const double a = a0 + (a1 - a0) * i / segments;
        points.append(centre + radius * QPointF(std::cos(a), std::sin(a)));
    }
    return points;
}

QPainterPath Circle(const QPointF& centre, double radius)
{
    // At least a hexagon, so that a tiny circle stays a closed area.
    const double tolerance = std::min(kChordTolerance, radius * (1.0 - std::cos(M_PI / 6.0)));
    QPolygonF circle(ArcPoints(centre, radius, 0.0, 2.0 * M_PI, tolerance));
    circle.removeLast();
    return ClosedPath(circle);
}

QPolygonF CleanPolygon(const QPolygonF& polygon)
{
    QPolygonF points;
    points.reserve(polygon.size());
    for (const QPointF& p : polygon)
        if (points.isEmpty() || !SamePoint(points.last(), p))
            points.append(p);
    while (points.size() > 1 && SamePoint(points.first(), points.last()))
        points.removeLast();

    // Removing one point can make its neighbour redundant, so sweep until stable.
    bool changed = true;
    while (changed && points.size() > 2) {
        changed = false;
        for (int i = 0; i < points.size() && points.size() > 2; ++i) {
            const int n = points.size();
            const QPointF& prev = points[(i + n - 1) % n];
            const QPointF& next = points[(i + 1) % n];
            if (SamePoint(prev, points[i]) || Straight(prev, points[i], next)) {
                points.remove(i);
                --i;
                changed = true;
            }
        }
    }
    return points;
}

QPolygonF OffsetOutward(const QPolygonF& polygon, double distance)
{
    const int n = polygon.size();
    if (n < 3 || distance == 0.0)
        return polygon;
    // Outward is to the left of travel for clockwise-on-screen (positive area in y-down) outlines.
    const double side = SignedArea(polygon) > 0.0 ? -1.0 : 1.0;
    auto outwardNormal = [&](int i) {
        const QPointF d = polygon[(i + 1) % n] - polygon[i];
        const double len = Length(d);
        return len > 0.0 ? side * QPointF(-d.y(), d.x()) / len : QPointF();
    };
    QPolygonF result;
    result.reserve(n);
    for (int i = 0; i < n; ++i) {
        const QPointF before = outwardNormal((i + n - 1) % n);
        const QPointF after = outwardNormal(i);
        const double denominator = 1.0 + Dot(before, after);
        const QPointF mitre = denominator > kCollinearEpsilon ? (before + after) / denominator : after;
        result.append(polygon[i] + distance * mitre);
    }
    return result;
}

double SignedArea(const QPolygonF& polygon)
{
    double twice = 0.0;
    const int n = polygon.size();
    for (int i = 0; i < n; ++i)
        twice += Cross(polygon[i], polygon[(i + 1) % n]);
    return twice / 2.0;
}

QPainterPath ClosedPath(const QPolygonF& polygon)
{
    QPainterPath path;
    path.addPolygon(polygon);
    path.closeSubpath();
    return path;
}

} // namespace EngineOutline
