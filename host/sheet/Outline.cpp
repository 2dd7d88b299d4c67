#include "Outline.h"

#include "CShape.h"
#include "CShapeList.h"

#include <QTransform>
#include <algorithm>
#include <cmath>

namespace {
// Curves are flattened at this scale: Qt flattens to half a unit.
constexpr double kFlattenScale = 50.0;
} // namespace

double RingArea(const QPolygonF& polygon)
{
    double twice = 0.0;
    for (int i = 0, n = int(polygon.size()); i < n; ++i)
        twice += polygon[i].x() * polygon[(i + 1) % n].y() - polygon[(i + 1) % n].x() * polygon[i].y();
    return twice / 2;
}

QColor LayerColour(int nLayer)
{
    return IsEngraving(nLayer) ? QColor(0, 0, 255) : QColor(255, 0, 0);
}

bool IsEngraving(int nLayer)
{
    return nLayer == CShape::LayerEngrave;
}

Outlines OutlinesOf(CShapeList& shapes)
{
    Outlines outlines;
    for (unsigned int i = 0; i < shapes.GetCount(); ++i) {
        CShape* shape = shapes.GetShape(i);
        const QPainterPath* path = shape ? shape->GetPath(false) : nullptr;
        if (path && !path->isEmpty())
            outlines.append({*path, shape->GetLayer()});
    }
    return outlines;
}

QRectF BoundsOf(const Outlines& outlines)
{
    QRectF bounds;
    for (const Outline& outline : outlines)
        bounds = bounds.united(outline.path.boundingRect());
    return bounds;
}

bool IsFinite(const Outlines& outlines)
{
    for (const Outline& outline : outlines)
        for (int i = 0; i < outline.path.elementCount(); ++i) {
            const QPainterPath::Element e = outline.path.elementAt(i);
            if (!std::isfinite(e.x) || !std::isfinite(e.y))
                return false;
        }
    return true;
}

Outlines Mapped(const Outlines& outlines, const QTransform& transform)
{
    Outlines mapped = outlines;
    for (Outline& outline : mapped)
        outline.path = transform.map(outline.path);
    return mapped;
}

QList<QPolygonF> FlatPolygons(const QPainterPath& path)
{
    QList<QPolygonF> polygons = path.toSubpathPolygons(QTransform::fromScale(kFlattenScale, kFlattenScale));
    for (QPolygonF& polygon : polygons)
        for (QPointF& p : polygon)
            p /= kFlattenScale;
    return polygons;
}

double PieceArea(const Outlines& piece)
{
    QList<QPolygonF> closed;
    for (const Outline& outline : piece)
        if (!IsEngraving(outline.nLayer))
            for (const QPolygonF& polygon : FlatPolygons(outline.path))
                if (polygon.size() > 3 && polygon.isClosed())
                    closed << polygon;
    if (closed.isEmpty())
        return 0.0;
    const auto larger = [](const QPolygonF& a, const QPolygonF& b) { return std::abs(RingArea(a)) < std::abs(RingArea(b)); };
    const QPolygonF outer = *std::max_element(closed.cbegin(), closed.cend(), larger);
    double area = std::abs(RingArea(outer));
    for (const QPolygonF& hole : std::as_const(closed))
        if (hole != outer && outer.containsPoint(hole.first(), Qt::OddEvenFill))
            area -= std::abs(RingArea(hole));
    return std::max(area, 0.0);
}
