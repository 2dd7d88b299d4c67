#include "Part.h"

#include <algorithm>
#include <cmath>

QSizeF Part::Size() const
{
    QRectF frame;
    for (const Outlines& piece : pieces)
        frame = frame.united(BoundsOf(piece));
    return frame.size();
}

QTransform Part::Placement() const
{
    const QPointF centre = QRectF(QPointF(), Size()).center();
    QTransform t;
    t.translate(position.x() + centre.x(), position.y() + centre.y());
    t.rotate(dRotation);
    if (bMirrored)
        t.scale(-1, 1);
    t.translate(-centre.x(), -centre.y());
    return t;
}

Outlines Part::Placed() const
{
    const QTransform placement = Placement();
    Outlines placed;
    for (const Outlines& piece : pieces)
        placed += Mapped(piece, placement);
    return placed;
}

QRectF Part::Bounds() const
{
    return BoundsOf(Placed());
}

QVector<Outlines> Framed(const QVector<Outlines>& pieces)
{
    QRectF frame;
    for (const Outlines& piece : pieces)
        frame = frame.united(BoundsOf(piece));
    QVector<Outlines> framed;
    for (const Outlines& piece : pieces)
        framed << Mapped(piece, QTransform::fromTranslate(-frame.left(), -frame.top()));
    return framed;
}

namespace {
// A shape on its piece's outline (a badge's inner ring as wide as its rim)
// belongs to that piece: points this close to an edge count as inside.
constexpr double kOnOutlineMm = 0.01;

double DistanceToEdges(const QPointF& p, const QPolygonF& ring)
{
    double nearest = qInf();
    for (int i = 0; i + 1 < ring.size(); ++i) {
        const QPointF a = ring[i], d = ring[i + 1] - a;
        const double length2 = QPointF::dotProduct(d, d);
        const double t = length2 > 0 ? std::clamp(QPointF::dotProduct(p - a, d) / length2, 0.0, 1.0) : 0.0;
        nearest = std::min(nearest, QLineF(p, a + t * d).length());
    }
    return nearest;
}

struct Shape
{
    QList<QPolygonF> polygons; // flattened
    QPolygonF ring;            // the first subpath when it closes; empty when open
    QRectF bounds;
    double area = 0.0;         // inside the ring
};

bool Within(const Shape& inner, const Shape& outer)
{
    // By hand: a line's bounds have no height, and Qt's rectangles hold none such.
    const QRectF& a = outer.bounds;
    const QRectF& b = inner.bounds;
    if (b.left() < a.left() - kOnOutlineMm || b.top() < a.top() - kOnOutlineMm || b.right() > a.right() + kOnOutlineMm
        || b.bottom() > a.bottom() + kOnOutlineMm)
        return false;
    for (const QPolygonF& polygon : inner.polygons)
        for (const QPointF& p : polygon)
            if (!outer.ring.containsPoint(p, Qt::OddEvenFill) && DistanceToEdges(p, outer.ring) > kOnOutlineMm)
                return false;
    return true;
}
} // namespace

Part MakePart(const Outlines& outlines, double dGap)
{
    QVector<Shape> shapes;
    for (const Outline& outline : outlines) {
        Shape shape;
        shape.polygons = FlatPolygons(outline.path);
        const QPolygonF first = shape.polygons.value(0);
        if (first.size() > 2 && first.isClosed())
            shape.ring = first, shape.area = std::abs(SignedArea(first));
        shape.bounds = outline.path.boundingRect();
        shapes << shape;
    }
    // Each shape belongs to the smallest closed outline it lies within; of
    // two alike the first holds the second.
    QVector<int> owner(outlines.size(), -1);
    for (int i = 0; i < shapes.size(); ++i) {
        double smallest = qInf();
        for (int j = 0; j < shapes.size(); ++j) {
            const Shape& other = shapes[j];
            const bool larger = other.area > shapes[i].area || (other.area == shapes[i].area && j < i);
            if (j != i && !other.ring.isEmpty() && larger && other.area < smallest && Within(shapes[i], other))
                smallest = other.area, owner[i] = j;
        }
    }
    QVector<Outlines> pieces;
    QVector<int> pieceOf(outlines.size(), -1);
    for (int i = 0; i < outlines.size(); ++i)
        if (owner[i] < 0)
            pieceOf[i] = int(pieces.size()), pieces.append(Outlines{outlines[i]});
    for (int i = 0; i < outlines.size(); ++i) {
        int top = i;
        while (owner[top] >= 0)
            top = owner[top];
        if (top != i)
            pieces[pieceOf[top]].append(outlines[i]);
    }
    // Pieces closer than the gap would be cut into each other: a row instead.
    // Exactly the gap apart, as the engine lays them, is not closer.
    const double grow = dGap / 2 - 1e-6;
    bool crowded = false;
    for (int a = 0; a < pieces.size() && !crowded; ++a)
        for (int b = a + 1; b < pieces.size() && !crowded; ++b)
            crowded = BoundsOf(pieces[a]).adjusted(-grow, -grow, grow, grow)
                          .intersects(BoundsOf(pieces[b]).adjusted(-grow, -grow, grow, grow));
    if (crowded)
        pieces = InRows(pieces, dGap, qInf());
    Part part;
    part.pieces = Framed(pieces);
    part.bGrouped = true;
    return part;
}

QVector<Outlines> InRows(const QVector<Outlines>& pieces, double dGap, double dWidth)
{
    QVector<Outlines> laid;
    double left = 0.0, top = 0.0, rowHeight = 0.0;
    for (const Outlines& piece : pieces) {
        const QRectF bounds = BoundsOf(piece);
        if (left > 0.0 && left + bounds.width() > dWidth + 1e-9)
            left = 0.0, top += rowHeight + dGap, rowHeight = 0.0;
        laid << Mapped(piece, QTransform::fromTranslate(left - bounds.left(), top - bounds.top()));
        left += bounds.width() + dGap;
        rowHeight = std::max(rowHeight, bounds.height());
    }
    return Framed(laid);
}
