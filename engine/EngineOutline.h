// Helpers the reference engine's generators share: profiled edges, finger
// runs, exact outward offsets, arc sampling and record text fields.
#pragma once

#include <QPainterPath>
#include <QPointF>
#include <QPolygonF>
#include <QString>
#include <QVector>
#include <vector>

namespace EngineOutline {

// Largest gap between a sampled curve and its chords, in millimetres.
constexpr double kChordTolerance = 0.01;

// A stretch [s0, s1] along a profiled edge where the material reaches to
// `depth` from the edge's outer line (0 = up to the outer line).
struct Run
{
    double s0;
    double s1;
    double depth;
};

// An edge in a part's plane: point(s, depth) = origin + s * dir + depth * inward.
struct EdgeFrame
{
    QPointF origin;
    QPointF dir;
    QPointF inward;

    QPointF At(double s, double depth) const { return origin + s * dir + depth * inward; }
};

// The inward normal for a unit direction in y-down coordinates, walking clockwise.
inline QPointF InwardOf(const QPointF& dir) { return QPointF(-dir.y(), dir.x()); }

// The odd number of equal fingers whose width is nearest `fingerSize`, at
// least 3 and none narrower than `minFinger`; 1 when even three do not fit.
int FingerCount(double length, double fingerSize, double minFinger);

// [start, start + length] cut into `count` equal segments; the kept ones
// (even indices, or odd ones when keepEven is false) reach the outer line,
// the others are cut back to `cutDepth`.
QVector<Run> FingerRuns(double start, double length, int count, bool keepEven, double cutDepth);

// The same runs seen from the other end of an edge of length `total`.
QVector<Run> ReversedRuns(const QVector<Run>& runs, double total);

// Appends the outline of one edge: a step from entryDepth onto the first run,
// every run, and a step off the last run to exitDepth.
void AppendProfiledEdge(QPolygonF& outline, const EdgeFrame& edge, const QVector<Run>& runs,
                        double entryDepth, double exitDepth);

// Points on a circular arc from angle a0 to a1 (radians, y-down), both ends
// included, with at most `tolerance` chord error. Every circle and arc of the
// engine is sampled here.
QVector<QPointF> ArcPoints(const QPointF& centre, double radius, double a0, double a1, double tolerance);

// A closed circle within kChordTolerance.
QPainterPath Circle(const QPointF& centre, double radius);

// Drops repeated points and points on a straight line through their neighbours.
QPolygonF CleanPolygon(const QPolygonF& polygon);

// Moves every edge of a simple closed polygon outward by `distance`: corners
// stay sharp (edge offsets meet at their mitre), and where an edge's offset
// would turn back, the result is the boundary of the grown area (Clipper's),
// so it never carries a hook. The winding stays the polygon's.
QPolygonF OffsetOutward(const QPolygonF& polygon, double distance);

double SignedArea(const QPolygonF& polygon);

// Walks a closed contour corner by corner, seen from a point: when every
// edge turns the same way round it and all of them together go round it
// once, each edge has a sector of the turn to itself and meets no edge but
// its two neighbours, so the contour is simple. Gears, circles and the like
// are settled so in one pass, without keeping their corners.
class StarWalk
{
public:
    explicit StarWalk(const QPointF& centre) : m_cx(centre.x()), m_cy(centre.y()) {}
    // The next corner; one repeating the last is no edge.
    void Add(double x, double y)
    {
        x -= m_cx, y -= m_cy;
        if (m_count == 0) {
            m_firstX = x, m_firstY = y;
        } else if (x != m_x || y != m_y) {
            Edge(x, y);
        } else {
            return;
        }
        m_x = x, m_y = y, ++m_count;
    }
    // Whether the contour, closed back to its first corner, was seen whole
    // from the point; then ready for the next contour.
    bool Simple();

private:
    void Edge(double x, double y)
    {
        const double cross = m_x * y - m_y * x;
        if (m_way == 0.0)
            m_way = cross;
        m_astray |= !(cross * m_way > 0.0);
        // Turning one way, the contour crosses the ray from the point along
        // +x in one direction only, once per round.
        m_up += (m_y < 0.0) & (y >= 0.0);
        m_down += (m_y >= 0.0) & (y < 0.0);
    }

    double m_cx, m_cy;
    double m_firstX = 0.0, m_firstY = 0.0, m_x = 0.0, m_y = 0.0;
    double m_way = 0.0;
    bool m_astray = false;
    int m_up = 0, m_down = 0;
    int m_count = 0;
};

// Whether the closed contour through these corners (the last may repeat the
// first) is simple: no edge crosses or touches another except its two
// neighbours at their shared corners, and no corner turns straight back
// along its edge. Drops repeated corners and closes the list on the way.
bool ContourSimple(std::vector<QPointF>& corners);

QPainterPath ClosedPath(const QPolygonF& polygon);

// The text of a zero-terminated UTF-8 record field; a full field has no terminator.
template <size_t N>
QString FieldText(const char (&field)[N])
{
    return QString::fromUtf8(field, int(qstrnlen(field, N)));
}

} // namespace EngineOutline
