#include "Outline.h"

#include "CShape.h"
#include "CShapeList.h"

#include <QTransform>
#include <cmath>

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
