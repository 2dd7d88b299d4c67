#include "NestGeometry.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <unordered_map>

namespace NestGeometry {
namespace {
using Wide = __int128;

Wide Cross(const Pt& o, const Pt& a, const Pt& b)
{
    return Wide(a.x - o.x) * Wide(b.y - o.y) - Wide(a.y - o.y) * Wide(b.x - o.x);
}

Wide CrossOf(const Pt& u, const Pt& v)
{
    return Wide(u.x) * Wide(v.y) - Wide(u.y) * Wide(v.x);
}

Pt Minus(const Pt& a, const Pt& b)
{
    return {a.x - b.x, a.y - b.y};
}

// p inside the triangle a, b, c (counter-clockwise) or on its edges.
bool InTriangle(const Pt& p, const Pt& a, const Pt& b, const Pt& c)
{
    return Cross(a, b, p) >= 0 && Cross(b, c, p) >= 0 && Cross(c, a, p) >= 0;
}

// The lowest corner (least y, then least x) first.
Ring FromLowest(const Ring& ring)
{
    const auto lowest = std::min_element(ring.cbegin(), ring.cend(), [](const Pt& a, const Pt& b) {
        return a.y != b.y ? a.y < b.y : a.x < b.x;
    });
    Ring out(lowest, ring.cend());
    out.insert(out.end(), ring.cbegin(), lowest);
    return out;
}

bool IsConvex(const Ring& ring)
{
    const size_t n = ring.size();
    for (size_t i = 0; i < n; ++i)
        if (Cross(ring[i], ring[(i + 1) % n], ring[(i + 2) % n]) < 0)
            return false;
    return n >= 3;
}

// Ear clipping, then the diagonals whose removal leaves a convex part
// removed (Hertel and Mehlhorn): at most four times the fewest parts.
bool Split(const Ring& ring, std::vector<Ring>* pParts)
{
    const int n = int(ring.size());
    std::vector<int> prev(n), next(n);
    for (int i = 0; i < n; ++i)
        prev[i] = (i + n - 1) % n, next[i] = (i + 1) % n;
    std::vector<std::vector<int>> polys;
    int left = n, at = 0, tried = 0;
    while (left > 3) {
        const int p = prev[at], q = next[at];
        bool ear = Cross(ring[p], ring[at], ring[q]) > 0;
        for (int r = next[q]; ear && r != p; r = next[r])
            if (ring[r] != ring[p] && ring[r] != ring[at] && ring[r] != ring[q] && InTriangle(ring[r], ring[p], ring[at], ring[q]))
                ear = false;
        if (ear) {
            polys.push_back({p, at, q});
            next[p] = q, prev[q] = p;
            --left, tried = 0;
            at = q;
        } else if (++tried > left) {
            return false;
        } else {
            at = next[at];
        }
    }
    polys.push_back({prev[at], at, next[at]});
    // Merge across diagonals while the union stays convex.
    std::unordered_map<std::uint64_t, int> owner; // directed edge to its polygon
    const auto key = [n](int a, int b) { return std::uint64_t(a) * std::uint64_t(n) + std::uint64_t(b); };
    for (int k = 0; k < int(polys.size()); ++k)
        for (size_t i = 0; i < polys[k].size(); ++i)
            owner[key(polys[k][i], polys[k][(i + 1) % polys[k].size()])] = k;
    std::vector<bool> dead(polys.size(), false);
    for (int k = 0; k < int(polys.size()); ++k) {
        bool merged = true;
        while (merged && !dead[k]) {
            merged = false;
            const std::vector<int>& P = polys[k];
            for (size_t i = 0; i < P.size() && !merged; ++i) {
                const int a = P[i], b = P[(i + 1) % P.size()];
                const auto found = owner.find(key(b, a));
                if (found == owner.end() || found->second == k || dead[found->second])
                    continue;
                const std::vector<int>& Q = polys[found->second];
                // P from b round to a, then Q from after a round to before b.
                std::vector<int> both;
                for (size_t j = 0; j < P.size(); ++j)
                    both.push_back(P[(i + 1 + j) % P.size()]);
                const size_t qa = size_t(std::find(Q.cbegin(), Q.cend(), a) - Q.cbegin());
                for (size_t j = 1; j + 1 < Q.size(); ++j)
                    both.push_back(Q[(qa + j) % Q.size()]);
                Ring corners;
                for (int v : both)
                    corners.push_back(ring[v]);
                if (!IsConvex(corners))
                    continue;
                dead[found->second] = true;
                polys[k] = both;
                for (size_t j = 0; j < both.size(); ++j)
                    owner[key(both[j], both[(j + 1) % both.size()])] = k;
                merged = true;
            }
        }
    }
    Wide whole = TwiceArea(ring), sum = 0;
    std::vector<Ring> parts;
    for (size_t k = 0; k < polys.size(); ++k) {
        if (dead[k])
            continue;
        Ring part;
        for (int v : polys[k])
            part.push_back(ring[v]);
        part = Cleaned(part);
        if (part.empty())
            continue;
        sum += TwiceArea(part);
        parts.push_back(FromLowest(part));
    }
    if (sum != whole)
        return false;
    *pParts = parts;
    return true;
}
} // namespace

Wide TwiceArea(const Ring& ring)
{
    Wide twice = 0;
    for (size_t i = 0, n = ring.size(); i < n; ++i)
        twice += CrossOf(ring[i], ring[(i + 1) % n]);
    return twice;
}

Box BoundsOf(const Ring& ring)
{
    Box box{std::numeric_limits<Coord>::max(), std::numeric_limits<Coord>::max(), std::numeric_limits<Coord>::min(),
            std::numeric_limits<Coord>::min()};
    for (const Pt& p : ring)
        box.x0 = std::min(box.x0, p.x), box.y0 = std::min(box.y0, p.y), box.x1 = std::max(box.x1, p.x),
        box.y1 = std::max(box.y1, p.y);
    return ring.empty() ? Box() : box;
}

Ring Cleaned(Ring ring)
{
    while (ring.size() > 1 && ring.front() == ring.back())
        ring.pop_back();
    if (TwiceArea(ring) < 0)
        std::reverse(ring.begin(), ring.end());
    // Drop repeated and collinear corners until none is left.
    for (bool changed = true; changed && ring.size() >= 3;) {
        changed = false;
        Ring kept;
        const size_t n = ring.size();
        for (size_t i = 0; i < n; ++i) {
            const Pt& p = kept.empty() ? ring[(i + n - 1) % n] : kept.back();
            if (ring[i] == p || Cross(p, ring[i], ring[(i + 1) % n]) == 0)
                changed = true;
            else
                kept.push_back(ring[i]);
        }
        ring.swap(kept);
    }
    if (ring.size() < 3 || TwiceArea(ring) <= 0)
        return Ring();
    return ring;
}

Ring Hull(const Ring& ring)
{
    Ring points = ring;
    std::sort(points.begin(), points.end());
    points.erase(std::unique(points.begin(), points.end()), points.end());
    if (points.size() < 3)
        return Ring();
    Ring hull(2 * points.size());
    size_t k = 0;
    for (size_t i = 0; i < points.size(); ++i) {
        while (k >= 2 && Cross(hull[k - 2], hull[k - 1], points[i]) <= 0)
            --k;
        hull[k++] = points[i];
    }
    for (size_t i = points.size() - 1, t = k + 1; i-- > 0;) {
        while (k >= t && Cross(hull[k - 2], hull[k - 1], points[i]) <= 0)
            --k;
        hull[k++] = points[i];
    }
    hull.resize(k - 1);
    return Cleaned(hull);
}

Ring Turned(const Ring& ring, double dDegrees)
{
    const double turns = dDegrees / 90.0;
    Ring out;
    out.reserve(ring.size());
    if (turns == std::floor(turns)) {
        const int quarter = ((int(turns) % 4) + 4) % 4;
        for (const Pt& p : ring)
            out.push_back(quarter == 0 ? p : quarter == 1 ? Pt{-p.y, p.x} : quarter == 2 ? Pt{-p.x, -p.y} : Pt{p.y, -p.x});
        return out;
    }
    const double radians = dDegrees * M_PI / 180.0, c = std::cos(radians), s = std::sin(radians);
    for (const Pt& p : ring)
        out.push_back({Coord(std::llround(double(p.x) * c - double(p.y) * s)), Coord(std::llround(double(p.x) * s + double(p.y) * c))});
    return out;
}

std::vector<Ring> ConvexParts(const Ring& ring)
{
    const Ring clean = Cleaned(ring);
    if (clean.empty())
        return {};
    if (IsConvex(clean))
        return {FromLowest(clean)};
    std::vector<Ring> parts;
    if (Split(clean, &parts))
        return parts;
    const Ring hull = Hull(clean);
    return hull.empty() ? std::vector<Ring>{} : std::vector<Ring>{FromLowest(hull)};
}

NoFit NoFitOf(const Ring& a, const Ring& b)
{
    // a + (-b): both counter-clockwise from their lowest corner, edges merged by angle.
    Ring c;
    c.reserve(b.size());
    for (const Pt& p : b)
        c.push_back({-p.x, -p.y});
    c = FromLowest(c);
    const size_t n = a.size(), m = c.size();
    NoFit nfp;
    nfp.corners.reserve(n + m);
    Pt at{a[0].x + c[0].x, a[0].y + c[0].y};
    size_t i = 0, j = 0;
    while (i < n || j < m) {
        nfp.corners.push_back(at);
        const Pt ea = Minus(a[(i + 1) % n], a[i % n]), ec = Minus(c[(j + 1) % m], c[j % m]);
        const Wide turn = i == n ? -1 : j == m ? 1 : CrossOf(ea, ec);
        if (turn >= 0)
            at.x += ea.x, at.y += ea.y, ++i;
        if (turn <= 0)
            at.x += ec.x, at.y += ec.y, ++j;
    }
    nfp.box = BoundsOf(nfp.corners);
    Coord most = 1;
    for (const Pt& p : nfp.corners)
        most = std::max({most, std::abs(p.x), std::abs(p.y)});
    nfp.dScale = double(most);
    nfp.edges.resize(nfp.corners.size());
    for (size_t k = 0; k < nfp.corners.size(); ++k) {
        const Pt& v = nfp.corners[k];
        const Pt e = Minus(nfp.corners[(k + 1) % nfp.corners.size()], v);
        const double length = std::hypot(double(e.x), double(e.y));
        // The offset from whole numbers, so that a far corner costs no precision.
        nfp.edges[k] = {-double(e.y) / length, double(e.x) / length, double(Wide(e.y) * v.x - Wide(e.x) * v.y) / length};
    }
    nfp.hintEdge = nfp.edges.front();
    return nfp;
}

double Depth(const NoFit& nfp, const Pt& d)
{
    if (!(nfp.box.x0 < d.x && d.x < nfp.box.x1 && nfp.box.y0 < d.y && d.y < nfp.box.y1))
        return 0.0;
    const size_t n = nfp.corners.size();
    // Doubles decide a side unless it is within a thousand times their
    // rounding of the edge; there whole numbers do.
    const double dx = double(d.x), dy = double(d.y);
    const double doubt = std::max(nfp.dScale, std::max(std::abs(dx), std::abs(dy))) * 2e-12;
    const auto within = [&](const NoFit::Edge& e) { return e.nx * dx + e.ny * dy + e.c; };
    const auto inside = [&](size_t k) {
        const double s = within(nfp.edges[k]);
        if (std::abs(s) > doubt)
            return s;
        const Pt& v = nfp.corners[k];
        const Pt& w = nfp.corners[k + 1 == n ? 0 : k + 1];
        const Wide exact = Wide(w.x - v.x) * Wide(d.y - v.y) - Wide(w.y - v.y) * Wide(d.x - v.x);
        return exact > 0 ? std::max(s, 1e-300) : exact < 0 ? std::min(s, -1e-300) : 0.0;
    };
    if (within(nfp.hintEdge) < -doubt || inside(nfp.hint) <= 0)
        return 0.0;
    double depth = std::numeric_limits<double>::infinity();
    for (size_t k = 0; k < n; ++k) {
        const double s = inside(k);
        if (s <= 0) {
            nfp.hint = k, nfp.hintEdge = nfp.edges[k];
            return 0.0;
        }
        depth = std::min(depth, s);
    }
    return depth;
}

int Shapes::Add(const Ring& ring)
{
    Shape shape;
    shape.ring = ring;
    const Box box = BoundsOf(ring);
    shape.w = box.x1, shape.h = box.y1;
    shape.dArea = double(TwiceArea(ring)) / 2;
    shape.dScale = std::sqrt(double(TwiceArea(Hull(ring))) / 2);
    shape.dDiameter = std::hypot(double(shape.w), double(shape.h));
    for (const Ring& part : ConvexParts(ring)) {
        shape.parts.push_back(int(convex.size()));
        const Box b = BoundsOf(part);
        convex.push_back({part, b, double(std::min(b.x1 - b.x0, b.y1 - b.y0))});
    }
    shapes.push_back(shape);
    return int(shapes.size()) - 1;
}

NoFitCache::NoFitCache(const Shapes& shapes)
    : m_shapes(shapes)
    , m_keys(size_t(1) << 18, 0)
    , m_at(size_t(1) << 18, 0)
{
}

const NoFit& NoFitCache::Get(int a, int b)
{
    const std::uint64_t key = ((std::uint64_t(std::uint32_t(a)) << 32) | std::uint32_t(b)) + 1;
    const size_t mask = m_keys.size() - 1;
    size_t slot = size_t((key * 0x9E3779B97F4A7C15ull) >> 40) & mask;
    for (; m_keys[slot] != 0; slot = (slot + 1) & mask)
        if (m_keys[slot] == key)
            return m_made[m_at[slot]];
    const Ring& ra = m_shapes.convex[size_t(a)].corners;
    const Ring& rb = m_shapes.convex[size_t(b)].corners;
    if (m_made.size() >= m_keys.size() / 2 || m_corners > (size_t(1) << 21)) { // full enough: forget them all
        std::fill(m_keys.begin(), m_keys.end(), 0);
        m_made.clear();
        m_corners = 0;
        return Get(a, b);
    }
    nWork += ra.size() + rb.size();
    m_corners += ra.size() + rb.size();
    m_keys[slot] = key;
    m_at[slot] = std::uint32_t(m_made.size());
    m_made.push_back(NoFitOf(ra, rb));
    return m_made.back();
}

double Overlap(const Shapes& shapes, int a, const Pt& pa, int b, const Pt& pb, NoFitCache& cache)
{
    const Shape& A = shapes.shapes[size_t(a)];
    const Shape& B = shapes.shapes[size_t(b)];
    const Pt d{pb.x - pa.x, pb.y - pa.y};
    double sum = 0.0;
    for (int i : A.parts) {
        const Convex& ca = shapes.convex[size_t(i)];
        for (int j : B.parts) {
            const Convex& cb = shapes.convex[size_t(j)];
            if (!ca.box.Overlaps(cb.box.Moved(d)))
                continue;
            const NoFit& nfp = cache.Get(i, j);
            cache.nWork += nfp.corners.size();
            if (const double depth = Depth(nfp, d); depth > 0)
                sum += depth * std::min(ca.dWidth, cb.dWidth);
        }
    }
    return sum;
}

} // namespace NestGeometry
