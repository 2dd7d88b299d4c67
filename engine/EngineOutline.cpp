#include "EngineOutline.h"

#include <QtMath>
#include <clipper.hpp>
#include <algorithm>
#include <cmath>
#include <vector>

namespace EngineOutline {

namespace {
constexpr int kMaxFingersPerEdge = 999;
constexpr int kMinFingersForJoint = 3;
// Only bounds the work for a radius no record reaches.
constexpr int kMaxArcSegments = 1 << 16;
constexpr double kSamePointEpsilon = 1e-7;
// Clipper's offsets run on integers of 2^-40 mm (about a picometre): grown
// panels keep their area to 1e-8 mm2, as exact as doubles allow, and a
// strip round a 5 m box stays far inside the 2^62 Clipper computes exactly.
constexpr double kOffsetScale = double(1LL << 40);
// No corner of a part is sharper than a right angle, whose mitre reaches
// sqrt(2) times the offset: every corner stays sharp.
constexpr double kMitreLimit = 2.0;
// Cross products below this (relative to the edge lengths) count as straight.
constexpr double kCollinearEpsilon = 1e-9;

int LargestOddAtMost(double value)
{
    const int n = int(std::floor(value));
    return n % 2 == 0 ? n - 1 : n;
}

double WidthError(double length, int count, double fingerSize)
{
    return std::abs(length / count - fingerSize);
}

double Cross(const QPointF& a, const QPointF& b) { return a.x() * b.y() - a.y() * b.x(); }
double Dot(const QPointF& a, const QPointF& b) { return a.x() * b.x() + a.y() * b.y(); }
double Length(const QPointF& v) { return std::hypot(v.x(), v.y()); }

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
} // namespace

int FingerCount(double length, double fingerSize, double minFinger)
{
    if (!(length > 0.0) || !(fingerSize > 0.0) || !(minFinger > 0.0))
        return 1;
    const int most = LargestOddAtMost(std::min(length / minFinger, double(kMaxFingersPerEdge)));
    if (most < kMinFingersForJoint)
        return 1;
    // The odd counts on either side of the ideal one; the nearer width wins.
    const int below = std::clamp(LargestOddAtMost(std::min(length / fingerSize, double(kMaxFingersPerEdge))),
                                 kMinFingersForJoint, most);
    const int above = std::min(below + 2, most);
    return WidthError(length, above, fingerSize) < WidthError(length, below, fingerSize) ? above : below;
}

QVector<Run> FingerRuns(double start, double length, int count, bool keepEven, double cutDepth)
{
    QVector<Run> runs;
    count = std::max(1, count);
    runs.reserve(count);
    const double step = length / count;
    for (int i = 0; i < count; ++i) {
        const bool kept = (i % 2 == 0) == keepEven;
        const double s1 = i + 1 == count ? start + length : start + (i + 1) * step;
        runs.append({start + i * step, s1, kept ? 0.0 : cutDepth});
    }
    return runs;
}

QVector<Run> ReversedRuns(const QVector<Run>& runs, double total)
{
    QVector<Run> reversed;
    reversed.reserve(runs.size());
    for (auto it = runs.crbegin(); it != runs.crend(); ++it)
        reversed.append({total - it->s1, total - it->s0, it->depth});
    return reversed;
}

void AppendProfiledEdge(QPolygonF& outline, const EdgeFrame& edge, const QVector<Run>& runs,
                        double entryDepth, double exitDepth)
{
    if (runs.isEmpty())
        return;
    outline << edge.At(runs.first().s0, entryDepth);
    for (const Run& run : runs)
        outline << edge.At(run.s0, run.depth) << edge.At(run.s1, run.depth);
    outline << edge.At(runs.last().s1, exitDepth);
}

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

QPolygonF OffsetOutward(const QPolygonF& polygon, double distance)
{
    const int n = polygon.size();
    if (n < 3 || distance == 0.0)
        return polygon;
    // Every edge moved out, neighbours meeting at their mitre: where no edge
    // turns back, this is the boundary of the grown area itself.
    const double side = SignedArea(polygon) > 0.0 ? -1.0 : 1.0; // outward: left of travel when clockwise on screen
    auto outwardNormal = [&](int i) {
        const QPointF d = polygon[(i + 1) % n] - polygon[i];
        const double len = Length(d);
        return len > 0.0 ? side * QPointF(-d.y(), d.x()) / len : QPointF();
    };
    QPolygonF mitred;
    mitred.reserve(n);
    for (int i = 0; i < n; ++i) {
        const QPointF before = outwardNormal((i + n - 1) % n);
        const QPointF after = outwardNormal(i);
        const double denominator = 1.0 + Dot(before, after);
        const QPointF mitre = denominator > kCollinearEpsilon ? (before + after) / denominator : after;
        mitred.append(polygon[i] + distance * mitre);
    }
    // Where an edge is shorter than its corners' mitres move it, its offset
    // turns back and the outline would carry a hook: there the grown area's
    // boundary comes from Clipper's union. (No slot is narrower than twice
    // the kerf, so none closes; one that did would fail the build's check.)
    bool turnsBack = false;
    for (int i = 0; i < n && !turnsBack; ++i)
        turnsBack = !(Dot(mitred[(i + 1) % n] - mitred[i], polygon[(i + 1) % n] - polygon[i]) > 0.0);
    if (!turnsBack)
        return mitred;
    ClipperLib::Path path;
    path.reserve(size_t(n));
    for (const QPointF& p : polygon)
        path.push_back({ClipperLib::cInt(std::llround(p.x() * kOffsetScale)),
                        ClipperLib::cInt(std::llround(p.y() * kOffsetScale))});
    ClipperLib::ClipperOffset offset(kMitreLimit);
    offset.AddPath(path, ClipperLib::jtMiter, ClipperLib::etClosedPolygon);
    ClipperLib::Paths grown;
    offset.Execute(grown, distance * kOffsetScale);
    // The outline itself, not a hole that a notch closed by the beam may leave.
    const auto outer = std::max_element(grown.begin(), grown.end(), [](const auto& a, const auto& b) {
        return std::abs(ClipperLib::Area(a)) < std::abs(ClipperLib::Area(b));
    });
    if (outer == grown.end())
        return polygon;
    QPolygonF result;
    result.reserve(int(outer->size()));
    for (const ClipperLib::IntPoint& p : *outer)
        result.append(QPointF(double(p.X) / kOffsetScale, double(p.Y) / kOffsetScale));
    if ((SignedArea(result) > 0.0) != (SignedArea(polygon) > 0.0))
        std::reverse(result.begin(), result.end());
    return result;
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
