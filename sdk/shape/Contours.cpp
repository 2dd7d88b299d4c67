#include "Contours.h"
#include "TextOutline.h"

#include <algorithm>
#include <clipper.hpp>
#include <cmath>

namespace TextOutline {

// Clipper computes in integers, fastest below 2^30: coordinates are scaled
// so that the largest comes to this.
constexpr double kClipperReach = 1e9;
// Segments per curve at most, whatever the tolerance asked.
constexpr int kMaxCurveSteps = 1000;

// Closed contours of path mapped by transform, each curve replaced by
// straight lines within tolerance of it (the chord error of n equal steps
// along a cubic is at most 3/4 of its largest second difference over n^2).
QVector<QPolygonF> Sampled(const QPainterPath& path, const QTransform& transform, double tolerance)
{
    QVector<QPolygonF> contours;
    QPolygonF current;
    const int n = path.elementCount();
    for (int i = 0; i < n; ++i) {
        const QPainterPath::Element& e = path.elementAt(i);
        const QPointF p = transform.map(QPointF(e));
        if (e.isMoveTo()) {
            if (current.size() > 2)
                contours << current;
            current = QPolygonF{p};
        } else if (e.isLineTo()) {
            current << p;
        } else if (e.isCurveTo() && i + 2 < n && !current.isEmpty()) {
            const QPointF p0 = current.last(), c2 = transform.map(QPointF(path.elementAt(i + 1)));
            const QPointF p3 = transform.map(QPointF(path.elementAt(i + 2)));
            const QPointF d1 = p0 - 2.0 * p + c2, d2 = p - 2.0 * c2 + p3;
            const double m = std::max(std::hypot(d1.x(), d1.y()), std::hypot(d2.x(), d2.y()));
            const int steps = std::clamp(int(std::ceil(std::sqrt(0.75 * m / tolerance))), 1, kMaxCurveSteps);
            for (int k = 1; k <= steps; ++k) {
                const double t = double(k) / steps, u = 1.0 - t;
                current << u * u * u * p0 + 3.0 * u * u * t * p + 3.0 * u * t * t * c2 + t * t * t * p3;
            }
            i += 2;
        }
    }
    if (current.size() > 2)
        contours << current;
    return contours;
}

namespace {

double ClipperScale(const QVector<QPolygonF>& polygons)
{
    double reach = 1.0;
    for (const QPolygonF& polygon : polygons)
        for (const QPointF& p : polygon)
            reach = std::max({reach, std::abs(p.x()), std::abs(p.y())});
    return kClipperReach / reach;
}

ClipperLib::Paths ToClipper(const QVector<QPolygonF>& polygons, double scale)
{
    ClipperLib::Paths paths;
    paths.reserve(size_t(polygons.size()));
    for (const QPolygonF& polygon : polygons) {
        ClipperLib::Path path;
        path.reserve(size_t(polygon.size()));
        for (const QPointF& p : polygon)
            path.emplace_back(ClipperLib::cInt(std::llround(p.x() * scale)),
                              ClipperLib::cInt(std::llround(p.y() * scale)));
        paths.push_back(std::move(path));
    }
    return paths;
}

void AppendClosed(QPainterPath& target, const ClipperLib::Paths& paths, double scale)
{
    for (const ClipperLib::Path& path : paths) {
        if (path.size() < 3)
            continue;
        QPolygonF polygon;
        polygon.reserve(int(path.size()) + 1);
        for (const ClipperLib::IntPoint& p : path)
            polygon << QPointF(double(p.X) / scale, double(p.Y) / scale);
        polygon << polygon.first();
        target.addPolygon(polygon);
    }
}

} // namespace

void MergeOwnContours(QPainterPath& outline)
{
    const QVector<QPolygonF> sampled = Sampled(outline, QTransform(), kLayoutTolerance);
    const double scale = ClipperScale(sampled);
    const ClipperLib::Paths contours = ToClipper(sampled, scale);
    double sum = 0.0;
    for (const ClipperLib::Path& contour : contours)
        sum += ClipperLib::Area(contour);
    ClipperLib::Paths merged;
    ClipperLib::SimplifyPolygons(contours, merged, ClipperLib::pftNonZero);
    double area = 0.0;
    for (const ClipperLib::Path& contour : merged)
        area += ClipperLib::Area(contour);
    // Contours that do not overlap cover exactly the sum of their signed areas.
    if (std::abs(std::abs(sum) - std::abs(area)) <= 1e-9 * std::abs(area))
        return;
    outline = QPainterPath();
    outline.setFillRule(Qt::WindingFill);
    AppendClosed(outline, merged, scale);
}

void AppendUnion(QPainterPath& target, const QVector<QPolygonF>& contours)
{
    const double scale = ClipperScale(contours);
    ClipperLib::Clipper clipper;
    clipper.AddPaths(ToClipper(contours, scale), ClipperLib::ptSubject, true);
    ClipperLib::Paths merged;
    clipper.Execute(ClipperLib::ctUnion, merged, ClipperLib::pftNonZero, ClipperLib::pftNonZero);
    AppendClosed(target, merged, scale);
}

} // namespace TextOutline
