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
double Area(const QRectF& r)
{
    return r.width() * r.height();
}

bool Closed(const QPainterPath& path)
{
    const QPolygonF first = path.toSubpathPolygons().value(0);
    return first.size() > 2 && first.isClosed();
}
} // namespace

Part MakePart(const Outlines& outlines, double dGap)
{
    // Outer outlines: closed, and inside no other closed outline.
    QVector<int> owner(outlines.size(), -1);
    for (int i = 0; i < outlines.size(); ++i) {
        const QPainterPath& path = outlines[i].path;
        const QPointF probe = path.elementCount() ? QPointF(path.elementAt(0)) : QPointF();
        double smallest = qInf();
        for (int j = 0; j < outlines.size(); ++j) {
            const QPainterPath& other = outlines[j].path;
            const QRectF around = other.boundingRect();
            if (j == i || !Closed(other) || Area(around) >= smallest || Area(around) <= Area(path.boundingRect())
                || !around.contains(path.boundingRect()) || !other.contains(probe))
                continue;
            smallest = Area(around);
            owner[i] = j;
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
