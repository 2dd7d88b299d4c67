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

CellGrid::CellGrid(const QRectF& area, int nItems)
    : m_area(area)
{
    m_nSide = std::clamp(int(std::sqrt(double(nItems))), 1, 128);
    m_cell = QSizeF(std::max(area.width(), 1e-9) / m_nSide, std::max(area.height(), 1e-9) / m_nSide);
    m_cells.resize(m_nSide * m_nSide);
}

QPoint CellGrid::Cell(const QPointF& p) const
{
    const auto at = [this](double v, double start, double size) {
        return std::isfinite(v) ? std::clamp(int(std::floor((v - start) / size)), 0, m_nSide - 1) : 0;
    };
    return QPoint(at(p.x(), m_area.left(), m_cell.width()), at(p.y(), m_area.top(), m_cell.height()));
}

void CellGrid::Insert(int item, const QRectF& bounds)
{
    const QPoint from = Cell(bounds.topLeft()), to = Cell(bounds.bottomRight());
    for (int y = from.y(); y <= to.y(); ++y)
        for (int x = from.x(); x <= to.x(); ++x)
            m_cells[Index({x, y})] << item;
}

double CellGrid::Beyond(const QPointF& p, int r) const
{
    const QPoint c = Cell(p);
    const double w = m_cell.width(), h = m_cell.height();
    double nearest = qInf();
    if (c.x() - r > 0)
        nearest = std::min(nearest, p.x() - (m_area.left() + (c.x() - r) * w));
    if (c.x() + r < m_nSide - 1)
        nearest = std::min(nearest, m_area.left() + (c.x() + r + 1) * w - p.x());
    if (c.y() - r > 0)
        nearest = std::min(nearest, p.y() - (m_area.top() + (c.y() - r) * h));
    if (c.y() + r < m_nSide - 1)
        nearest = std::min(nearest, m_area.top() + (c.y() + r + 1) * h - p.y());
    return std::max(nearest, 0.0);
}

void CellGrid::Remove(int item, const QPointF& at)
{
    m_cells[Index(Cell(at))].removeOne(item);
}

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
    // Each cut in the cells its bounds cover, smallest first: an outline
    // inside one has its first point in one of them.
    const double t = kInsideToleranceMm;
    QRectF area;
    for (int k : std::as_const(cuts))
        area = area.united(flat[k].bounds.adjusted(-t, -t, t, t));
    CellGrid grid(area, int(cuts.size()));
    for (int k : std::as_const(cuts))
        grid.Insert(k, flat[k].bounds.adjusted(-t, -t, t, t));
    QVector<QVector<int>> containers(outlines.size());
    for (int i = 0; i < outlines.size(); ++i) {
        const bool cut = flat[i].bClosed && !IsEngraving(outlines[i].nLayer);
        const QPointF first = flat[i].rings.value(0).value(0, flat[i].bounds.center());
        if (!area.contains(first))
            continue;
        for (int k : grid.At(first)) {
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
