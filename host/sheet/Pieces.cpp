#include "Pieces.h"

#include <QLineF>
#include <algorithm>
#include <cmath>
#include <numeric>

namespace {
// Enough points along an outline to tell whether it crosses another.
constexpr int kSamples = 32;

double DistanceToSegment(const QPointF& p, const QPointF& a, const QPointF& b)
{
    const QPointF ab = b - a;
    const double length2 = QPointF::dotProduct(ab, ab);
    const double t = length2 > 0 ? std::clamp(QPointF::dotProduct(p - a, ab) / length2, 0.0, 1.0) : 0.0;
    return QLineF(p, a + t * ab).length();
}

// Inside by odd-even crossings, or near an edge.
bool InsideOrNear(const QPointF& p, const QList<QPolygonF>& rings)
{
    const double t = kInsideToleranceMm;
    bool inside = false;
    for (const QPolygonF& ring : rings)
        for (int i = 0, n = int(ring.size()); i < n; ++i) {
            const QPointF& a = ring[i];
            const QPointF& b = ring[(i + 1) % n];
            if (p.y() >= std::min(a.y(), b.y()) - t && p.y() <= std::max(a.y(), b.y()) + t
                && p.x() >= std::min(a.x(), b.x()) - t && p.x() <= std::max(a.x(), b.x()) + t
                && DistanceToSegment(p, a, b) <= t)
                return true;
            if ((a.y() > p.y()) != (b.y() > p.y())
                && p.x() < a.x() + (p.y() - a.y()) * (b.x() - a.x()) / (b.y() - a.y()))
                inside = !inside;
        }
    return inside;
}
} // namespace

FlatOutline Flattened(const Outline& outline)
{
    FlatOutline flat;
    flat.rings = FlatPolygons(outline.path);
    flat.bounds = outline.path.boundingRect();
    const QPolygonF first = flat.rings.value(0);
    flat.bClosed = first.size() > 3 && first.isClosed();
    flat.dArea = flat.bClosed ? std::abs(RingArea(first)) : 0.0;
    return flat;
}

QVector<FlatOutline> Flattened(const Outlines& outlines)
{
    QVector<FlatOutline> flat;
    flat.reserve(outlines.size());
    for (const Outline& outline : outlines)
        flat << Flattened(outline);
    return flat;
}

bool LiesInside(const FlatOutline& inner, const FlatOutline& outer)
{
    // By hand: Qt's contains() says no to the flat bounds of a straight line.
    const double t = kInsideToleranceMm;
    const QRectF& in = inner.bounds;
    const QRectF out = outer.bounds.adjusted(-t, -t, t, t);
    if (!outer.bClosed || in.left() < out.left() || in.right() > out.right() || in.top() < out.top() || in.bottom() > out.bottom())
        return false;
    int count = 0;
    for (const QPolygonF& ring : inner.rings)
        count += int(ring.size());
    if (count == 0)
        return false;
    // Evenly along the points, the first and the last always among them.
    const int step = std::max(1, count / kSamples);
    int seen = 0;
    for (const QPolygonF& ring : inner.rings)
        for (int i = 0; i < ring.size(); ++i, ++seen)
            if ((seen % step == 0 || seen == count - 1) && !InsideOrNear(ring[i], outer.rings))
                return false;
    return true;
}

QVector<QVector<int>> ContainersOf(const Outlines& outlines, const QVector<FlatOutline>& flat)
{
    QVector<int> cuts;
    for (int i = 0; i < outlines.size(); ++i)
        if (flat[i].bClosed && !IsEngraving(outlines[i].nLayer))
            cuts << i;
    std::stable_sort(cuts.begin(), cuts.end(), [&](int a, int b) { return flat[a].dArea < flat[b].dArea; });
    QVector<QVector<int>> containers(outlines.size());
    for (int i = 0; i < outlines.size(); ++i) {
        const bool cut = flat[i].bClosed && !IsEngraving(outlines[i].nLayer);
        for (int k : std::as_const(cuts)) {
            // Of two alike, the later lies inside the earlier: never both ways.
            if (k == i || (cut && (flat[k].dArea < flat[i].dArea || (flat[k].dArea == flat[i].dArea && k > i))))
                continue;
            if (LiesInside(flat[i], flat[k]))
                containers[i] << k;
        }
    }
    return containers;
}

QVector<Outlines> GroupPieces(const Outlines& outlines, QVector<int>* pStray)
{
    const QVector<FlatOutline> flat = Flattened(outlines);
    const QVector<QVector<int>> containers = ContainersOf(outlines, flat);
    // A closed cut inside an even number of closed cuts is a piece, inside
    // an odd number a hole; anything else belongs where its smallest
    // container belongs.
    const auto isCut = [&](int i) { return flat[i].bClosed && !IsEngraving(outlines[i].nLayer); };
    const auto root = [&](int i) {
        while (i >= 0 && !(isCut(i) && containers[i].size() % 2 == 0))
            i = containers[i].isEmpty() ? -1 : containers[i].first();
        return i;
    };
    QVector<Outlines> pieces;
    QVector<int> pieceOf(outlines.size(), -1);
    for (int i = 0; i < outlines.size(); ++i)
        if (root(i) == i)
            pieceOf[i] = int(pieces.size()), pieces << Outlines{outlines[i]};
    for (int i = 0; i < outlines.size(); ++i) {
        const int top = root(i);
        if (top < 0) {
            if (pStray)
                *pStray << i;
        } else if (top != i) {
            pieces[pieceOf[top]] << outlines[i];
        }
    }
    return pieces;
}
