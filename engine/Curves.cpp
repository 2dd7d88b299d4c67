#include "Curves.h"

#include <QtMath>
#include <algorithm>

namespace EngineOutline {

namespace {
// Only bounds the work for a radius no record reaches.
constexpr int kMaxArcSegments = 1 << 16;
constexpr double kSamePointEpsilon = 1e-7;

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
    // Dropping a point can make the one before it redundant: look back.
    for (const QPointF& p : polygon) {
        if (!points.isEmpty() && SamePoint(points.constLast(), p))
            continue;
        while (points.size() > 1 && Straight(points[points.size() - 2], points.constLast(), p))
            points.removeLast();
        points.append(p);
    }
    // Then round the seam, where the last point meets the first.
    while (points.size() > 1 && SamePoint(points.constFirst(), points.constLast()))
        points.removeLast();
    while (points.size() > 2) {
        const int n = points.size();
        if (Straight(points[n - 2], points[n - 1], points[0]))
            points.removeLast();
        else if (Straight(points[n - 1], points[0], points[1]))
            points.removeFirst();
        else
            break;
    }
    return points;
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
    path.reserve(polygon.size() + 1);
    path.addPolygon(polygon);
    path.closeSubpath();
    return path;
}

} // namespace EngineOutline
