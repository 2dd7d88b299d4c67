// The layout the first fit and the search work on: where each item lies,
// which lie on each board, and how much an item placed somewhere would
// overlap the others; shared by the nest's two steps and by no one else.
#pragma once

#include "NestSearch.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace NestSearch {
namespace Inner {
using namespace NestGeometry;

constexpr double kInf = std::numeric_limits<double>::infinity();

// splitmix64: small, fast and the same everywhere.
struct Rng
{
    std::uint64_t s;
    explicit Rng(std::uint64_t seed) : s(seed * 0x9E3779B97F4A7C15ull + 0x632BE59BD9B4E019ull) {}
    std::uint64_t Next()
    {
        std::uint64_t z = (s += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    int Below(int n) { return n <= 1 ? 0 : int(Next() % std::uint64_t(n)); }
    Coord Upto(Coord n) { return n <= 0 ? 0 : Coord(Next() % std::uint64_t(n + 1)); }
    double Real() { return double(Next() >> 11) * 0x1.0p-53; }
};

// A layout being worked on: where each item lies, which lie on each board,
// and how much an item placed somewhere would overlap the others.
class State
{
public:
    State(const Problem& problem, std::uint64_t seed)
        : P(problem), S(*problem.pShapes), cache(S), rng(seed), n(int(problem.items.size()))
    {
        for (size_t k = 0; k < P.obstacles.size(); ++k) {
            const int sheet = P.obstacles[k].nSheet;
            if (sheet >= int(obstaclesOn.size()))
                obstaclesOn.resize(size_t(sheet) + 1);
            obstaclesOn[size_t(sheet)].push_back(int(k));
        }
        // Cells about as large as an item: a spot's neighbours are those in the cells it covers.
        std::vector<Coord> sizes;
        for (int i = 0; i < n; ++i)
            sizes.push_back(std::max(ShapeOf(i, 0).w, ShapeOf(i, 0).h));
        std::sort(sizes.begin(), sizes.end());
        cell = std::max<Coord>({1, sizes.empty() ? 1 : sizes[sizes.size() / 2], P.height / 64});
        rows = int(P.height / cell) + 1;
        stamp.assign(size_t(n), 0);
    }

    const Shape& ShapeOf(int i, int turn) const { return S.shapes[size_t(P.items[size_t(i)].shapes[size_t(turn)])]; }
    Coord Room(int sheet) const { return sheet == nSheets - 1 ? lastLength : P.length; }
    bool Fits(int i, int turn, int sheet) const
    {
        const Shape& shape = ShapeOf(i, turn);
        return shape.w <= Room(sheet) && shape.h <= P.height;
    }

    void Load(const std::vector<Place>& from)
    {
        places = from;
        int sheets = nSheets < 4096 ? nSheets : 1;
        for (const Place& p : places)
            sheets = std::max(sheets, p.nSheet + 1);
        bySheet.assign(size_t(sheets), {});
        grid.assign(size_t(sheets), {});
        for (int i = 0; i < n; ++i)
            if (places[size_t(i)].nSheet >= 0)
                Sheet(places[size_t(i)].nSheet).push_back(i), File(i, true);
    }

    // The cells a box covers, columns first.
    void Span(const Box& b, int* pC0, int* pC1, int* pR0, int* pR1) const
    {
        *pC0 = int(std::max<Coord>(0, b.x0) / cell), *pC1 = int(std::max<Coord>(0, b.x1 - 1) / cell);
        *pR0 = std::min(rows - 1, int(std::max<Coord>(0, b.y0) / cell));
        *pR1 = std::min(rows - 1, int(std::max<Coord>(0, b.y1 - 1) / cell));
    }

    Box BoxOf(int i) const
    {
        const Place& p = places[size_t(i)];
        const Shape& sh = ShapeOf(i, p.nTurn);
        return {p.at.x, p.at.y, p.at.x + sh.w, p.at.y + sh.h};
    }

    // Enters item i into the cells it covers where it lies, or takes it out of them.
    void File(int i, bool bIn)
    {
        const int sheet = places[size_t(i)].nSheet;
        if (sheet >= int(grid.size()))
            grid.resize(size_t(sheet) + 1);
        std::vector<std::vector<int>>& cells = grid[size_t(sheet)];
        int c0, c1, r0, r1;
        Span(BoxOf(i), &c0, &c1, &r0, &r1);
        if (bIn && size_t(c1 + 1) * size_t(rows) > cells.size())
            cells.resize(size_t(c1 + 1) * size_t(rows));
        for (int c = c0; c <= c1; ++c)
            for (int r = r0; r <= r1; ++r) {
                std::vector<int>& in = cells[size_t(c) * size_t(rows) + size_t(r)];
                if (bIn)
                    in.push_back(i);
                else
                    in.erase(std::find(in.begin(), in.end(), i));
            }
    }

    std::vector<int>& Sheet(int sheet)
    {
        if (sheet >= int(bySheet.size()))
            bySheet.resize(size_t(sheet) + 1);
        return bySheet[size_t(sheet)];
    }

    void Put(int i, const Place& at)
    {
        Place& now = places[size_t(i)];
        if (now.nSheet >= 0)
            File(i, false);
        if (now.nSheet >= 0 && now.nSheet != at.nSheet) {
            std::vector<int>& on = Sheet(now.nSheet);
            on.erase(std::find(on.begin(), on.end(), i));
        }
        if (at.nSheet >= 0 && now.nSheet != at.nSheet)
            Sheet(at.nSheet).push_back(i);
        now = at;
        if (now.nSheet >= 0)
            File(i, true);
    }

    // Calls meet(j, overlap, shape of j) for each item (j >= 0) and obstacle
    // (j = -1 - index) on c's board that item i at c overlaps; stops when it returns true.
    template <typename Meet>
    void ForOverlaps(int i, const Place& c, Meet meet)
    {
        const int shape = P.items[size_t(i)].shapes[size_t(c.nTurn)];
        const Shape& sh = S.shapes[size_t(shape)];
        const Box box{c.at.x, c.at.y, c.at.x + sh.w, c.at.y + sh.h};
        const auto near = [&](int other, const Pt& at) {
            ++cache.nWork;
            const Shape& so = S.shapes[size_t(other)];
            if (!box.Overlaps({at.x, at.y, at.x + so.w, at.y + so.h}))
                return 0.0;
            return Overlap(S, shape, c.at, other, at, cache);
        };
        if (c.nSheet < int(grid.size())) {
            if (++stampNow == 0)
                std::fill(stamp.begin(), stamp.end(), 0), stampNow = 1;
            const std::vector<std::vector<int>>& cells = grid[size_t(c.nSheet)];
            int c0, c1, r0, r1;
            Span(box, &c0, &c1, &r0, &r1);
            c1 = std::min(c1, int(cells.size() / size_t(rows)) - 1);
            for (int col = c0; col <= c1; ++col)
                for (int r = r0; r <= r1; ++r)
                    for (int j : cells[size_t(col) * size_t(rows) + size_t(r)])
                        if (j != i && stamp[size_t(j)] != stampNow) {
                            stamp[size_t(j)] = stampNow;
                            const int other = P.items[size_t(j)].shapes[size_t(places[size_t(j)].nTurn)];
                            if (const double o = near(other, places[size_t(j)].at); o > 0 && meet(j, o, S.shapes[size_t(other)]))
                                return;
                        }
        }
        if (c.nSheet < int(obstaclesOn.size()))
            for (int k : obstaclesOn[size_t(c.nSheet)]) {
                const Obstacle& ob = P.obstacles[size_t(k)];
                if (const double o = near(ob.nShape, ob.at); o > 0 && meet(-1 - k, o, S.shapes[size_t(ob.nShape)]))
                    return;
            }
    }

    bool Free(int i, const Place& c)
    {
        bool free = true;
        ForOverlaps(i, c, [&](int, double, const Shape&) { return !(free = false); });
        return free;
    }

    Place Clamped(int i, Place c) const
    {
        const Shape& sh = ShapeOf(i, c.nTurn);
        c.at.x = std::clamp<Coord>(c.at.x, 0, std::max<Coord>(0, Room(c.nSheet) - sh.w));
        c.at.y = std::clamp<Coord>(c.at.y, 0, std::max<Coord>(0, P.height - sh.h));
        return c;
    }

    // A turn of item i that fits the board, at random; -1 when none does.
    int AnyTurn(int i, int sheet)
    {
        const int turns = int(P.items[size_t(i)].shapes.size());
        const int first = rng.Below(turns);
        for (int k = 0; k < turns; ++k)
            if (Fits(i, (first + k) % turns, sheet))
                return (first + k) % turns;
        return -1;
    }

    // Anywhere on a board that takes it; the same place when none does.
    Place Anywhere(int i)
    {
        for (int tries = 0; tries < 8; ++tries) {
            const int sheet = rng.Below(nSheets), turn = AnyTurn(i, sheet);
            if (turn < 0)
                continue;
            const Shape& sh = ShapeOf(i, turn);
            return {sheet, turn, {rng.Upto(Room(sheet) - sh.w), rng.Upto(P.height - sh.h)}};
        }
        for (int sheet = 0; sheet < nSheets; ++sheet)
            if (const int turn = AnyTurn(i, sheet); turn >= 0)
                return Clamped(i, {sheet, turn, {0, 0}});
        return places[size_t(i)];
    }

    const Problem& P;
    const Shapes& S;
    NoFitCache cache;
    Rng rng;
    const int n;
    std::vector<Place> places;
    std::vector<std::vector<int>> bySheet, obstaclesOn;
    // Per board, the items in each cell of a grid over it.
    std::vector<std::vector<std::vector<int>>> grid;
    Coord cell = 1;
    int rows = 1;
    std::vector<std::uint32_t> stamp;
    std::uint32_t stampNow = 0;
    int nSheets = 1;
    Coord lastLength = 0;
};

} // namespace Inner
} // namespace NestSearch
