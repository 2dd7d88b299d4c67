// The one geometry the nest places by and judges by: pieces as rings of
// whole units (counter-clockwise, y up as in the formulas), cut into convex
// parts; two pieces overlap exactly when a convex part of one reaches into
// a convex part of the other, which their no-fit polygon (the Minkowski
// difference) answers for any offset with integer arithmetic. Touching is
// never overlap.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace NestGeometry {

using Coord = std::int64_t;

struct Pt
{
    Coord x = 0, y = 0;
    bool operator==(const Pt& o) const { return x == o.x && y == o.y; }
    bool operator!=(const Pt& o) const { return !(*this == o); }
    bool operator<(const Pt& o) const { return x != o.x ? x < o.x : y < o.y; }
};
using Ring = std::vector<Pt>;

struct Box
{
    Coord x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    // Interiors meet (boxes that only touch do not).
    bool Overlaps(const Box& o) const { return x0 < o.x1 && o.x0 < x1 && y0 < o.y1 && o.y0 < y1; }
    Box Moved(const Pt& by) const { return {x0 + by.x, y0 + by.y, x1 + by.x, y1 + by.y}; }
};

// Twice the signed area: positive counter-clockwise.
__int128 TwiceArea(const Ring& ring);
Box BoundsOf(const Ring& ring);
// Without repeated or collinear corners, counter-clockwise; empty when no area is left.
Ring Cleaned(Ring ring);
Ring Hull(const Ring& ring);
// Turned about the origin by whole degrees exactly when they are a multiple
// of 90, else rounded to the nearest unit.
Ring Turned(const Ring& ring, double dDegrees);
// Convex rings whose union is the ring and whose insides do not meet (its
// hull when the ring cannot be split so: a ring that crosses itself).
std::vector<Ring> ConvexParts(const Ring& ring);

// Where a convex part b may not lie relative to a convex part a: b's
// offset minus a's strictly inside the polygon means their insides meet.
struct NoFit
{
    // Edge k, from corner k to k + 1, as its inward unit normal and offset:
    // nx * x + ny * y + c is how far inside that edge a point lies.
    struct Edge
    {
        double nx = 0, ny = 0, c = 0;
    };
    Ring corners; // counter-clockwise
    std::vector<Edge> edges;
    Box box;
    double dScale = 0;             // of the largest coordinate: below that a side is decided exactly
    mutable size_t hint = 0;       // the edge that last kept an offset out: the likeliest next time
    mutable Edge hintEdge;         // a copy, read with the box: most offsets are out by it alone
};
NoFit NoFitOf(const Ring& a, const Ring& b);
// How far b, at offset d from a, reaches into a (0 when they do not overlap).
double Depth(const NoFit& nfp, const Pt& d);

// A piece in one turn: its ring with its bounds' lowest corner at the origin, cut into convex parts.
struct Shape
{
    Ring ring;
    std::vector<int> parts; // into Shapes::convex
    Coord w = 0, h = 0;
    double dArea = 0;
    double dScale = 0;    // the square root of its hull's area: how large it is
    double dDiameter = 0; // of its bounds
};

struct Convex
{
    Ring corners;
    Box box;
    double dWidth = 0; // its bounds' smaller side
};

// Every shape and convex part of one nest; read-only while it runs.
struct Shapes
{
    std::vector<Shape> shapes;
    std::vector<Convex> convex;
    // Adds the ring (already with its lowest corner at the origin) and returns its index.
    int Add(const Ring& ring);
};

// The no-fit polygons a search has needed, per thread.
class NoFitCache
{
public:
    explicit NoFitCache(const Shapes& shapes);
    const NoFit& Get(int a, int b);
    std::uint64_t nWork = 0; // corners looked at: a measure of the work done, the same on every machine

private:
    const Shapes& m_shapes;
    // Open addressing: keys (0: empty) and where their polygon is; all
    // forgotten at once when it fills.
    std::vector<std::uint64_t> m_keys;
    std::vector<std::uint32_t> m_at;
    std::vector<NoFit> m_made;
    size_t m_corners = 0;
};

// How much shape b at pb reaches into shape a at pa, about the area they
// share: the sum over their convex parts that overlap of the depth times
// the narrower part's width. 0 exactly when they do not overlap.
double Overlap(const Shapes& shapes, int a, const Pt& pa, int b, const Pt& pb, NoFitCache& cache);

} // namespace NestGeometry
