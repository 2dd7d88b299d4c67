// What every outline the engine delivers is checked for: finite, inside its
// part, closed where it must be, and a closed cut simple (crossing, touching
// or turning back on itself nowhere).
#pragma once

#include <QPointF>
#include <QRectF>
#include <vector>

class CShape;

namespace EngineOutline {

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

// Inside bounds and finite; closed where bClosed; and a closed cut outline
// simple. corners is room the check may reuse from one outline to the next.
bool Sound(CShape& shape, bool bClosed, const QRectF& bounds, std::vector<QPointF>& corners);

} // namespace EngineOutline
