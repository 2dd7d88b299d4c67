#include "Part.h"

#include "Pieces.h"

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

Part MakePart(const Outlines& outlines, double dGap)
{
    QVector<int> stray;
    QVector<Outlines> pieces = GroupPieces(outlines, &stray);
    // Nothing is left out: what lies in no closed cut is a piece of its own.
    for (int i : std::as_const(stray))
        pieces << Outlines{outlines[i]};
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
