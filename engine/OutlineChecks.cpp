#include "OutlineChecks.h"

#include "CShape.h"
#include "Curves.h"

#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace EngineOutline {

namespace {
// Rounding slack when coordinates are compared with the part's bounds.
constexpr double kRelativeSlack = 1e-9;
// Outlines of up to this many points are checked from a copy of their corners.
constexpr int kShortOutline = 4096;

// Exact signs: a point on an edge counts as touching it.
int Turn(const QPointF& a, const QPointF& b, const QPointF& c)
{
    const double cross = Cross(b - a, c - a);
    return (cross > 0.0) - (cross < 0.0);
}

// p, on the line through a and b, lies between them.
bool Within(const QPointF& a, const QPointF& b, const QPointF& p)
{
    return std::min(a.x(), b.x()) <= p.x() && p.x() <= std::max(a.x(), b.x()) && std::min(a.y(), b.y()) <= p.y()
           && p.y() <= std::max(a.y(), b.y());
}

bool EdgesMeet(const QPointF& a, const QPointF& b, const QPointF& c, const QPointF& d)
{
    const int t1 = Turn(a, b, c), t2 = Turn(a, b, d), t3 = Turn(c, d, a), t4 = Turn(c, d, b);
    if (t1 * t2 < 0 && t3 * t4 < 0)
        return true;
    return (t1 == 0 && Within(a, b, c)) || (t2 == 0 && Within(a, b, d)) || (t3 == 0 && Within(c, d, a))
           || (t4 == 0 && Within(c, d, b));
}

// A run of edges along which x never shrinks or never grows: no two of its
// edges can meet but by turning straight back, which is looked for apart,
// and two runs meet only where their edges do, found in one walk along x.
struct Stretch
{
    int first;
    int count;
    int way; // +1: x grows along the contour, -1: it shrinks, 0: upright edges only
    double left, right, top, bottom;
};

// One closed contour as its corners; edge i runs from corner i to i + 1,
// the last corner repeating the first.
class Contour
{
public:
    explicit Contour(const std::vector<QPointF>& corners) : m_p(corners), m_n(int(corners.size()) - 1) {}

    bool Simple() const
    {
        if (m_n < 3)
            return false;
        if (StarShaped())
            return true;
        for (int i = 0; i < m_n; ++i) {
            const QPointF& a = m_p[i == 0 ? m_n - 1 : i - 1];
            const QPointF& v = m_p[i];
            const QPointF& b = m_p[i + 1];
            if (Turn(a, v, b) == 0 && Dot(v - a, b - v) < 0.0)
                return false; // a hook: the outline turns back along itself
        }
        const std::vector<Stretch> stretches = Stretches();
        std::vector<std::pair<double, int>> byLeft(stretches.size());
        for (size_t i = 0; i < stretches.size(); ++i)
            byLeft[i] = {stretches[i].left, int(i)};
        std::sort(byLeft.begin(), byLeft.end());
        std::vector<const Stretch*> open;
        for (const auto& entry : byLeft) {
            const double left = entry.first;
            const Stretch& s = stretches[size_t(entry.second)];
            open.erase(std::remove_if(open.begin(), open.end(), [left](const Stretch* o) { return o->right < left; }),
                       open.end());
            for (const Stretch* o : open)
                if (o->top <= s.bottom && s.top <= o->bottom && Meet(*o, s))
                    return false;
            open.push_back(&s);
        }
        return true;
    }

private:
    // Whether every edge, seen from the corners' mean, turns the same way
    // and all of them together go round it once. Then each edge has its own
    // sector of the turn and meets no other edge but its neighbours: gears,
    // circles and covers are settled in one pass.
    bool StarShaped() const
    {
        double cx = 0.0, cy = 0.0;
        for (int i = 0; i < m_n; ++i)
            cx += m_p[i].x(), cy += m_p[i].y();
        cx /= m_n, cy /= m_n;
        const double way = Turn(QPointF(cx, cy), m_p[0], m_p[1]);
        int rounds = 0;
        double ax = m_p[0].x() - cx, ay = m_p[0].y() - cy;
        for (int i = 1; i <= m_n; ++i) {
            const double bx = m_p[i].x() - cx, by = m_p[i].y() - cy;
            if (!((ax * by - ay * bx) * way > 0.0))
                return false;
            // Turning one way, the contour crosses the ray from the centre
            // along +x in one direction only, once per round.
            rounds += way > 0.0 ? ay < 0.0 && by >= 0.0 : ay >= 0.0 && by < 0.0;
            ax = bx, ay = by;
        }
        return rounds == 1;
    }

    double Left(int edge) const { return std::min(m_p[edge].x(), m_p[edge + 1].x()); }
    double Right(int edge) const { return std::max(m_p[edge].x(), m_p[edge + 1].x()); }
    bool Neighbours(int a, int b) const
    {
        const int d = std::abs(a - b);
        return d <= 1 || d == m_n - 1;
    }

    std::vector<Stretch> Stretches() const
    {
        std::vector<Stretch> stretches;
        for (int i = 0; i < m_n; ++i) {
            const QPointF& from = m_p[i];
            const QPointF& to = m_p[i + 1];
            const int sign = (to.x() > from.x()) - (to.x() < from.x());
            if (stretches.empty() || (sign != 0 && stretches.back().way == -sign))
                stretches.push_back({i, 0, sign, from.x(), from.x(), from.y(), from.y()});
            Stretch& s = stretches.back();
            if (s.way == 0)
                s.way = sign;
            ++s.count;
            s.left = std::min(s.left, to.x()), s.right = std::max(s.right, to.x());
            s.top = std::min(s.top, to.y()), s.bottom = std::max(s.bottom, to.y());
        }
        return stretches;
    }

    // The k-th edge of a stretch in the order of growing x.
    static int Edge(const Stretch& s, int k) { return s.way >= 0 ? s.first + k : s.first + s.count - 1 - k; }

    // Along x, each edge of a against the edges of b that share some of its x.
    bool Meet(const Stretch& a, const Stretch& b) const
    {
        int from = 0;
        for (int i = 0; i < a.count; ++i) {
            const int ea = Edge(a, i);
            const double left = Left(ea), right = Right(ea);
            while (from < b.count && Right(Edge(b, from)) < left)
                ++from;
            for (int j = from; j < b.count && Left(Edge(b, j)) <= right; ++j) {
                const int eb = Edge(b, j);
                if (!Neighbours(ea, eb) && EdgesMeet(m_p[ea], m_p[ea + 1], m_p[eb], m_p[eb + 1]))
                    return true;
            }
        }
        return false;
    }

    const std::vector<QPointF>& m_p;
    int m_n;
};

// A contour from element first to element last ends where it starts.
bool Closed(const QPainterPath& path, int first, int last)
{
    return last - first >= 2 && path.elementAt(last).x == path.elementAt(first).x
           && path.elementAt(last).y == path.elementAt(first).y;
}

// Every point of the path inside the bounds and finite, and every contour
// closed when bClosed; each point and each contour's end (first and last
// element, false to stop) handed on.
template <typename Point, typename Ends>
bool Walk(const QPainterPath& path, const QRectF& bounds, bool bClosed, Point point, Ends ends)
{
    const double slack = kRelativeSlack * std::max({1.0, std::abs(bounds.left()), std::abs(bounds.right()),
                                                    std::abs(bounds.top()), std::abs(bounds.bottom())});
    const double left = bounds.left() - slack, right = bounds.right() + slack;
    const double top = bounds.top() - slack, bottom = bounds.bottom() + slack;
    const int n = path.elementCount();
    int start = 0;
    for (int i = 0; i < n; ++i) {
        const QPainterPath::Element& e = path.elementAt(i);
        if (!(std::isfinite(e.x) && std::isfinite(e.y) && e.x >= left && e.x <= right && e.y >= top && e.y <= bottom))
            return false;
        if (e.isMoveTo() && i > 0) {
            if ((bClosed && !Closed(path, start, i - 1)) || !ends(start, i - 1))
                return false;
            start = i;
        }
        if (!point(e))
            return false;
    }
    return n == 0 || ((!bClosed || Closed(path, start, n - 1)) && ends(start, n - 1));
}

} // namespace

// A long outline is walked round the middle of its bounds in the same pass,
// and only when that does not settle it are its corners gathered for the
// full check; a short one's corners are gathered in the pass.
bool Sound(CShape& shape, bool bClosed, const QRectF& bounds, std::vector<QPointF>& corners)
{
    const QPainterPath& path = *shape.GetPath(false);
    if (!bClosed || shape.GetLayer() != CShape::LayerCut)
        return Walk(path, bounds, bClosed, [](const QPainterPath::Element&) { return true; },
                    [](int, int) { return true; });
    corners.clear();
    const auto check = [&]() {
        const bool simple = ContourSimple(corners);
        corners.clear();
        return simple;
    };
    if (path.elementCount() <= kShortOutline)
        return Walk(
            path, bounds, true,
            [&](const QPainterPath::Element& e) { return !e.isCurveTo() && (corners.emplace_back(e.x, e.y), true); },
            [&](int, int) { return check(); });
    StarWalk star(path.controlPointRect().center());
    return Walk(
        path, bounds, true, [&](const QPainterPath::Element& e) { return !e.isCurveTo() && (star.Add(e.x, e.y), true); },
        [&](int first, int last) {
            if (star.Simple())
                return true;
            for (int k = first; k <= last; ++k)
                corners.emplace_back(path.elementAt(k).x, path.elementAt(k).y);
            return check();
        });
}

bool StarWalk::Simple()
{
    if (m_count > 1 && (m_x != m_firstX || m_y != m_firstY))
        Edge(m_firstX, m_firstY);
    else if (m_count > 1)
        --m_count; // the closing corner repeated the first
    const bool simple = m_count >= 3 && !m_astray && (m_way > 0.0 ? m_up : m_down) == 1;
    *this = StarWalk(QPointF(m_cx, m_cy));
    return simple;
}

bool ContourSimple(std::vector<QPointF>& corners)
{
    // Repeated points make no edge; the contour ends where it started.
    corners.erase(std::unique(corners.begin(), corners.end(),
                              [](const QPointF& a, const QPointF& b) { return a.x() == b.x() && a.y() == b.y(); }),
                  corners.end());
    while (corners.size() > 1 && corners.back() == corners.front())
        corners.pop_back();
    if (!corners.empty())
        corners.push_back(corners.front());
    return Contour(corners).Simple();
}

} // namespace EngineOutline
