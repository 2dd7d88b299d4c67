#include "NestSearch.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <limits>
#include <mutex>
#include <thread>
#include <cstdio>
#include <cstdlib>

namespace NestSearch {
namespace {
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

// As far left, then as low, as the item goes free from c, in ever smaller steps.
Place Slid(State& state, int i, Place c)
{
    for (int pass = 0; pass < 2; ++pass)
        for (int axis = 0; axis < 2; ++axis) {
            Coord& v = axis == 0 ? c.at.x : c.at.y;
            Coord step = 1;
            while (step * 2 <= v)
                step *= 2;
            for (; step >= 1 && v > 0; step /= 2)
                while (step <= v) {
                    v -= step;
                    if (state.Free(i, c))
                        continue;
                    v += step;
                    break;
                }
        }
    return c;
}

Coord Lowest(const Problem& problem)
{
    double area = 0;
    for (const Item& item : problem.items)
        area += item.dArea;
    return Coord(std::ceil(area / double(problem.height)));
}

// The narrowest any item can be along the boards: less than that left on the last board takes nothing.
Coord Narrowest(const Problem& problem)
{
    Coord narrowest = problem.length;
    for (const Item& item : problem.items)
        for (int shape : item.shapes)
            if (problem.pShapes->shapes[size_t(shape)].h <= problem.height)
                narrowest = std::min(narrowest, problem.pShapes->shapes[size_t(shape)].w);
    return narrowest;
}

// The widest any item must be along the boards (in its narrowest turn that fits across).
Coord Widest(const Problem& problem)
{
    Coord widest = 0;
    for (const Item& item : problem.items) {
        Coord least = problem.length;
        for (int shape : item.shapes)
            if (problem.pShapes->shapes[size_t(shape)].h <= problem.height)
                least = std::min(least, problem.pShapes->shapes[size_t(shape)].w);
        widest = std::max(widest, least);
    }
    return widest;
}

struct Finished
{
};

class Lane;

// Where the threads meet after each round: the best layout is shared and
// the budget decides whether another round runs.
class Meeting
{
public:
    std::mutex mutex;
    std::condition_variable turned;
    int nLanes = 0, nArrived = 0;
    std::uint64_t nGeneration = 0;
    bool bStop = false;
    std::function<void()> decide; // by the last to arrive, every lane waiting

    void Arrive()
    {
        std::unique_lock<std::mutex> lock(mutex);
        const std::uint64_t generation = nGeneration;
        if (++nArrived == nLanes)
            Turn();
        else
            turned.wait(lock, [&] { return nGeneration != generation; });
        if (bStop)
            throw Finished();
    }

    // A lane that failed leaves; the others go on without it.
    void Leave()
    {
        std::unique_lock<std::mutex> lock(mutex);
        --nLanes;
        if (nLanes > 0 && nArrived == nLanes)
            Turn();
    }

private:
    void Turn()
    {
        try {
            decide();
        } catch (...) {
            bStop = true;
        }
        nArrived = 0;
        ++nGeneration;
        turned.notify_all();
    }
};

class Lane : public State
{
public:
    Lane(const Problem& problem, const Layout& start, std::uint64_t seed, Meeting& meeting)
        : State(problem, seed), m_meeting(meeting), loss(size_t(n) * size_t(n), 0.0), w(size_t(n) * size_t(n), 1.0f),
          active(size_t(n) * size_t(n), 0), lossObstacle(size_t(n), 0.0), wObstacle(size_t(n), 1.0f), row(size_t(n), 0.0)
    {
        best = start;
        floor = std::max(Lowest(problem), Widest(problem));
        narrowest = Narrowest(problem);
        // The items whose hulls make up the larger three quarters of all: those a disruption swaps.
        std::vector<std::pair<double, int>> sizes;
        double all = 0;
        for (int i = 0; i < n; ++i)
            sizes.push_back({ShapeOf(i, 0).dScale, i}), all += ShapeOf(i, 0).dScale * ShapeOf(i, 0).dScale;
        std::sort(sizes.rbegin(), sizes.rend());
        double sum = 0;
        for (const auto& [scale, i] : sizes)
            if (sum < 0.75 * all)
                large.push_back(i), sum += scale * scale;
    }

    void Run()
    {
        try {
            Target();
            for (;;)
                Step();
        } catch (const Finished&) {
        }
    }

    Layout best, pending;
    bool bPending = false, bCompress = false;
    std::uint64_t nRoundEnd = 0;
    Coord floor = 0, narrowest = 0;
    std::vector<int> large;

private:
    void Checkpoint()
    {
        if (cache.nWork >= nRoundEnd)
            m_meeting.Arrive();
    }

    // A shorter row of boards to make the best layout fit into.
    void Target()
    {
        if (bPending)
            best = pending, bPending = false;
        m_pool.clear();
        const double ratio = bCompress ? 0.00001 + 0.0005 * rng.Real() : m_ratio;
        const Coord unit = std::min(best.total, P.length);
        Coord target = best.total - std::max<Coord>(1, Coord(ratio * double(unit)));
        const Coord last = target - (target - 1) / P.length * P.length;
        if (last < narrowest) // the last board would take nothing: one board fewer
            target -= last;
        target = std::max(target, floor);
        m_target = target;
        Load(best.places);
        if (target >= best.total)
            return;
        nSheets = int((target + P.length - 1) / P.length);
        lastLength = target - Coord(nSheets - 1) * P.length;
        Shrink(rng.Upto(best.total), best.total - target);
    }

    void Step()
    {
        if (m_target >= best.total) { // nothing shorter can hold the pieces
            cache.nWork = std::max(cache.nWork, nRoundEnd);
            Checkpoint();
            if (bPending)
                Target();
            return;
        }
        if (Separate(bCompress ? 100 : 200, bCompress ? 5 : 3)) {
            best.places = places;
            best.total = TotalOf(P, places);
            if (!bCompress)
                m_ratio = std::min(0.02, m_ratio * 1.2);
            Target();
            return;
        }
        if (bPending || bCompress || int(m_pool.size()) >= kPool) {
            m_ratio = std::max(0.0005, m_ratio * 0.5);
            Target();
            return;
        }
        // Again from one of the closest misses, two large items swapped.
        const auto at = std::upper_bound(m_pool.begin(), m_pool.end(), total,
                                         [](double t, const std::pair<double, std::vector<Place>>& e) { return t < e.first; });
        m_pool.insert(at, {total, places});
        const double pick = std::min(0.999, std::abs(Normal()) * 0.25);
        Load(m_pool[size_t(pick * double(m_pool.size()))].second);
        Disrupt();
        Recount();
    }

    double Normal()
    {
        // Box and Muller.
        const double u = std::max(1e-12, rng.Real()), v = rng.Real();
        return std::sqrt(-2 * std::log(u)) * std::cos(2 * M_PI * v);
    }

    // Two large items of different shapes trade places.
    void Disrupt()
    {
        if (large.size() < 2)
            return;
        for (int tries = 0; tries < 16; ++tries) {
            const int a = large[size_t(rng.Below(int(large.size())))], b = large[size_t(rng.Below(int(large.size())))];
            if (P.items[size_t(a)].shapes == P.items[size_t(b)].shapes)
                continue;
            Place pa = places[size_t(a)], pb = places[size_t(b)];
            std::swap(pa.at, pb.at);
            std::swap(pa.nSheet, pb.nSheet);
            for (auto [i, c] : {std::pair(a, pa), std::pair(b, pb)}) {
                if (!Fits(i, c.nTurn, c.nSheet))
                    c.nTurn = std::max(0, AnyTurn(i, c.nSheet));
                Put(i, Clamped(i, c));
            }
            return;
        }
    }

    // Every item inside the shorter row of boards, seen as one strip of
    // boards end to end: the items past split move nearer its start by what
    // it lost (onto the board before when they cross its end), and what no
    // longer fits its board goes anywhere.
    void Shrink(Coord split, Coord lost)
    {
        for (int i = 0; i < n; ++i) {
            Place c = places[size_t(i)];
            const Coord w = ShapeOf(i, c.nTurn).w;
            if (Coord along = Coord(c.nSheet) * P.length + c.at.x; along + w / 2 > split) {
                along = std::max<Coord>(0, along - lost);
                c.nSheet = int(along / P.length), c.at.x = along - Coord(c.nSheet) * P.length;
                if (c.nSheet < nSheets && c.at.x + w > Room(c.nSheet) && c.at.x > Room(c.nSheet) / 2 && c.nSheet + 1 < nSheets)
                    c.nSheet += 1, c.at.x = 0; // across the end of a board: onto the next one's start
            }
            if (c.nSheet >= nSheets) {
                Put(i, Anywhere(i));
                continue;
            }
            if (!Fits(i, c.nTurn, c.nSheet)) {
                const int turn = AnyTurn(i, c.nSheet);
                if (turn < 0) {
                    Put(i, Anywhere(i));
                    continue;
                }
                c.nTurn = turn;
            }
            Put(i, Clamped(i, c));
        }
        Recount();
    }

    void Recount()
    {
        std::fill(loss.begin(), loss.end(), 0.0);
        std::fill(row.begin(), row.end(), 0.0);
        std::fill(lossObstacle.begin(), lossObstacle.end(), 0.0);
        nOverlapping = 0;
        total = 0;
        for (int i = 0; i < n; ++i)
            Count(i, true);
    }

    // The losses of item i where it lies: with the items after it only when bLater.
    void Count(int i, bool bLater)
    {
        const Shape& sh = ShapeOf(i, places[size_t(i)].nTurn);
        double obstacles = 0;
        ForOverlaps(i, places[size_t(i)], [&](int j, double o, const Shape& other) {
            if (j < 0)
                obstacles += Loss(o, sh, other);
            else if (!bLater || j > i)
                SetPair(i, j, Loss(o, sh, other));
            return false;
        });
        SetObstacle(i, obstacles);
    }

    // How much a collision between two shapes counts: about the square
    // root of the area they share, never less than a hundredth of the
    // larger's diameter, times their mean size.
    static double Loss(double overlap, const Shape& a, const Shape& b)
    {
        const double epsilon = 0.01 * std::max(a.dDiameter, b.dDiameter);
        return std::sqrt(overlap + epsilon * epsilon) * std::sqrt(a.dScale * b.dScale);
    }

    // Weighted loss of item i at c; stops once past bound.
    double Weighted(int i, const Place& c, double bound)
    {
        const Shape& sh = ShapeOf(i, c.nTurn);
        const float* weights = &w[size_t(i) * size_t(n)];
        double e = 0;
        ForOverlaps(i, c, [&](int j, double o, const Shape& other) {
            return (e += (j >= 0 ? weights[j] : wObstacle[size_t(i)]) * Loss(o, sh, other)) >= bound;
        });
        return e;
    }

    void SetPair(int i, int j, double o)
    {
        double& now = loss[size_t(i) * size_t(n) + size_t(j)];
        nOverlapping += (o > 0) - (now > 0);
        total += o - now;
        row[size_t(i)] += o - now;
        row[size_t(j)] += o - now;
        now = loss[size_t(j) * size_t(n) + size_t(i)] = o;
        const size_t key = size_t(std::min(i, j)) * size_t(n) + size_t(std::max(i, j));
        if (o > 0 && !active[key])
            active[key] = 1, activeList.push_back(key);
    }

    void SetObstacle(int i, double o)
    {
        double& now = lossObstacle[size_t(i)];
        nOverlapping += (o > 0) - (now > 0);
        total += o - now;
        row[size_t(i)] += o - now;
        now = o;
    }

    void Apply(int i, const Place& c)
    {
        for (int j : bySheet[size_t(places[size_t(i)].nSheet)])
            if (j != i)
                SetPair(i, j, 0);
        Put(i, c);
        Count(i, false);
    }

    // Down to where it overlaps least nearby: steps along a random axis,
    // longer after a success and halved after a failure.
    void Descend(int i, Place& at, double& e, double first, double last)
    {
        const Shape& sh = ShapeOf(i, at.nTurn);
        const double least = double(std::min(sh.w, sh.h));
        double steps[2] = {least * first, least * first};
        int axis = rng.Below(4);
        while ((steps[0] >= least * last || steps[1] >= least * last) && e > 0) {
            const Coord sx = Coord(steps[0]), sy = Coord(steps[1]);
            const Coord dx = axis == 1 ? 0 : sx, dy = axis == 0 ? 0 : axis == 3 ? -sy : sy;
            bool better = false;
            for (const int sign : {1, -1}) {
                Place c = at;
                c.at.x += sign * dx, c.at.y += sign * dy;
                c = Clamped(i, c);
                if (c.at == at.at)
                    continue;
                if (const double tried = Weighted(i, c, e); tried < e)
                    e = tried, at = c, better = true;
            }
            const double m = better ? 1.1 : 0.5;
            if (axis == 0 || axis >= 2)
                steps[0] *= axis >= 2 ? std::sqrt(m) : m;
            if (axis >= 1)
                steps[1] *= axis >= 2 ? std::sqrt(m) : m;
            if (sx == 0 && sy == 0)
                break;
            if (!better)
                axis = rng.Below(4);
        }
    }

    // To the spot where the item overlaps least: samples near where it lies
    // and over every board, the best three slid downhill, then the best of
    // those slid in finer steps.
    void Move(int i)
    {
        const Place now = places[size_t(i)];
        std::pair<double, Place> kept[3] = {{kInf, now}, {kInf, now}, {kInf, now}};
        const Shape& cur = ShapeOf(i, now.nTurn);
        const Coord apart = std::max<Coord>(1, std::min(cur.w, cur.h) / 10);
        const auto consider = [&](const Place& c) {
            const double e = Weighted(i, c, kept[2].first);
            if (e >= kept[2].first)
                return;
            for (auto& k : kept) // a sample close to a kept one replaces it only when better
                if (k.second.nSheet == c.nSheet && k.second.nTurn == c.nTurn && std::abs(k.second.at.x - c.at.x) < apart
                    && std::abs(k.second.at.y - c.at.y) < apart) {
                    if (e < k.first)
                        k = {e, c};
                    std::sort(std::begin(kept), std::end(kept), [](const auto& a, const auto& b) { return a.first < b.first; });
                    return;
                }
            kept[2] = {e, c};
            std::sort(std::begin(kept), std::end(kept), [](const auto& a, const auto& b) { return a.first < b.first; });
        };
        consider(now);
        for (int k = 0; k < kNear && kept[0].first > 0; ++k) {
            Place c = now;
            if (const int turn = AnyTurn(i, now.nSheet); turn >= 0)
                c.nTurn = turn;
            const Shape& sh = ShapeOf(i, c.nTurn);
            c.at.x += rng.Upto(cur.w) - cur.w / 2 + (cur.w - sh.w) / 2;
            c.at.y += rng.Upto(cur.h) - cur.h / 2 + (cur.h - sh.h) / 2;
            consider(Clamped(i, c));
        }
        for (int k = 0; k < kAnywhere && kept[0].first > 0; ++k)
            consider(Anywhere(i));
        for (auto& k : kept)
            if (k.first < kInf && k.first > 0)
                Descend(i, k.second, k.first, 0.25, 0.02);
        std::sort(std::begin(kept), std::end(kept), [](const auto& a, const auto& b) { return a.first < b.first; });
        Descend(i, kept[0].second, kept[0].first, 0.01, 0.001);
        const Place& to = kept[0].second;
        if (to.nSheet != now.nSheet || to.nTurn != now.nTurn || to.at != now.at)
            Apply(i, to);
    }

    void Reweigh()
    {
        double most = 0;
        for (size_t key : activeList)
            most = std::max(most, loss[key]);
        for (int i = 0; i < n; ++i)
            most = std::max(most, lossObstacle[size_t(i)]);
        for (size_t k = 0; k < activeList.size();) {
            const size_t key = activeList[k], i = key / size_t(n), j = key % size_t(n);
            float& weight = w[key];
            weight = std::max(1.0f, weight * float(loss[key] > 0 ? 1.2 + 0.8 * loss[key] / most : 0.95));
            w[j * size_t(n) + i] = weight;
            if (weight <= 1.0f && loss[key] <= 0) {
                active[key] = 0;
                activeList[k] = activeList.back();
                activeList.pop_back();
            } else {
                ++k;
            }
        }
        for (int i = 0; i < n; ++i)
            wObstacle[size_t(i)] = std::max(1.0f, wObstacle[size_t(i)] * float(lossObstacle[size_t(i)] > 0 ? 1.2 + 0.8 * lossObstacle[size_t(i)] / most : 0.95));
    }

    // Moves the overlapping items until none overlaps (true), or the loss
    // has not shrunk for a while, several times over (false: the layout
    // is left at the least loss found).
    bool Separate(int nPatience, int nStrikes)
    {
        for (size_t key : activeList)
            w[key] = w[(key % size_t(n)) * size_t(n) + key / size_t(n)] = 1.0f, active[key] = 0;
        activeList.clear();
        std::fill(wObstacle.begin(), wObstacle.end(), 1.0f);
        std::vector<Place> kept = places;
        double least = total;
        std::vector<int> moving;
        for (int strike = 0; strike < nStrikes;) {
            const double begun = total;
            for (int still = 0; still < nPatience;) {
                moving.clear();
                for (int i = 0; i < n; ++i)
                    if (row[size_t(i)] > 0)
                        moving.push_back(i);
                for (size_t k = moving.size(); k > 1; --k)
                    std::swap(moving[k - 1], moving[size_t(rng.Below(int(k)))]);
                for (int i : moving) {
                    if (row[size_t(i)] > 0)
                        Move(i);
                    Checkpoint();
                }
                if (nOverlapping == 0)
                    return true;
                if (total < least) {
                    if (total < 0.98 * least)
                        still = 0;
                    kept = places, least = total;
                } else {
                    ++still;
                }
                Reweigh();
                if (bPending)
                    return false;
            }
            strike = begun * 0.98 <= least ? strike + 1 : 0;
            Load(kept);
            Recount();
        }
        return nOverlapping == 0;
    }

    static constexpr int kAnywhere = 50, kNear = 25, kPool = 4;
    Meeting& m_meeting;
    std::vector<double> loss;
    std::vector<float> w;
    std::vector<char> active;
    std::vector<size_t> activeList;
    std::vector<double> lossObstacle;
    std::vector<float> wObstacle;
    std::vector<double> row;
    int nOverlapping = 0;
    double total = 0;
    double m_ratio = 0.005;
    Coord m_target = 0;
    std::vector<std::pair<double, std::vector<Place>>> m_pool;
};
} // namespace

Coord TotalOf(const Problem& problem, const std::vector<Place>& places)
{
    int last = 0;
    for (const Place& p : places)
        last = std::max(last, p.nSheet);
    Coord used = 0;
    for (size_t i = 0; i < places.size(); ++i)
        if (places[i].nSheet == last)
            used = std::max(used, places[i].at.x + problem.pShapes->shapes[size_t(problem.items[i].shapes[size_t(places[i].nTurn)])].w);
    for (const Obstacle& o : problem.obstacles)
        if (o.nSheet == last)
            used = std::max(used, std::min(problem.length, o.at.x + problem.pShapes->shapes[size_t(o.nShape)].w));
    return Coord(last) * problem.length + used;
}

std::vector<std::pair<int, int>> Offenders(const Problem& problem, const std::vector<Place>& places)
{
    const Shapes& S = *problem.pShapes;
    NoFitCache cache(S);
    std::vector<std::pair<int, int>> offenders;
    const auto shapeOf = [&](int i) { return problem.items[size_t(i)].shapes[size_t(places[size_t(i)].nTurn)]; };
    const auto boxOf = [&](int shape, const Pt& at) {
        return Box{0, 0, S.shapes[size_t(shape)].w, S.shapes[size_t(shape)].h}.Moved(at);
    };
    for (int i = 0; i < int(places.size()); ++i) {
        const Place& a = places[size_t(i)];
        if (a.nSheet < 0)
            continue;
        const Box box = boxOf(shapeOf(i), a.at);
        if (box.x0 < 0 || box.y0 < 0 || box.x1 > problem.length || box.y1 > problem.height)
            offenders.push_back({i, i});
        for (int j = i + 1; j < int(places.size()); ++j) {
            const Place& b = places[size_t(j)];
            if (b.nSheet == a.nSheet && box.Overlaps(boxOf(shapeOf(j), b.at))
                && Overlap(S, shapeOf(i), a.at, shapeOf(j), b.at, cache) > 0)
                offenders.push_back({i, j});
        }
        for (int k = 0; k < int(problem.obstacles.size()); ++k) {
            const Obstacle& o = problem.obstacles[size_t(k)];
            if (o.nSheet == a.nSheet && box.Overlaps(boxOf(o.nShape, o.at))
                && Overlap(S, shapeOf(i), a.at, o.nShape, o.at, cache) > 0)
                offenders.push_back({i, -1 - k});
        }
    }
    return offenders;
}

bool FirstFit(const Problem& problem, std::vector<Place>& places, const std::vector<int>& order, std::uint64_t nSeed,
              const std::function<bool(int)>& placed)
{
    State state(problem, nSeed);
    state.nSheets = problem.nMaxSheets;
    state.lastLength = problem.length;
    state.Load(places);
    int done = 0;
    for (int i : order) {
        if (placed && !placed(done))
            return false;
        ++done;
        if (places[size_t(i)].nSheet >= 0)
            continue;
        const Item& item = problem.items[size_t(i)];
        Place best;
        Coord bestRight = 0, bestLow = 0;
        for (int sheet = 0; sheet < problem.nMaxSheets && best.nSheet < 0; ++sheet) {
            const std::vector<int> on = sheet < int(state.bySheet.size()) ? state.bySheet[size_t(sheet)] : std::vector<int>();
            const bool bare = on.empty() && (sheet >= int(state.obstaclesOn.size()) || state.obstaclesOn[size_t(sheet)].empty());
            for (int turn = 0; turn < int(item.shapes.size()); ++turn) {
                if (!state.Fits(i, turn, sheet))
                    continue;
                const Shape& sh = state.ShapeOf(i, turn);
                // Corners beside what lies there already, and a few anywhere.
                std::vector<Pt> spots{{0, 0}};
                const auto beside = [&](const Box& b) {
                    for (const Pt& p : {Pt{b.x1, b.y0}, Pt{b.x1, 0}, Pt{b.x0, b.y1}, Pt{0, b.y1}, Pt{b.x1, b.y1 - sh.h},
                                        Pt{b.x1 - sh.w, b.y1}})
                        spots.push_back(p);
                };
                if (!bare) {
                    const int most = 48;
                    for (size_t k = 0; k < on.size(); ++k)
                        if (on.size() <= size_t(most) || k + size_t(most) >= on.size() || state.rng.Below(int(on.size())) < most / 2) {
                            const Place& p = places[size_t(on[k])];
                            const Shape& s = state.ShapeOf(on[k], p.nTurn);
                            beside({p.at.x, p.at.y, p.at.x + s.w, p.at.y + s.h});
                        }
                    if (sheet < int(state.obstaclesOn.size()))
                        for (int k : state.obstaclesOn[size_t(sheet)]) {
                            const Obstacle& o = problem.obstacles[size_t(k)];
                            const Shape& s = problem.pShapes->shapes[size_t(o.nShape)];
                            beside({o.at.x, o.at.y, o.at.x + s.w, o.at.y + s.h});
                        }
                    for (int k = 0; k < 24; ++k)
                        spots.push_back({state.rng.Upto(problem.length - sh.w), state.rng.Upto(problem.height - sh.h)});
                }
                // The free spots farthest left, each slid as far left and down as it goes.
                std::vector<std::pair<std::pair<Coord, Coord>, Place>> free;
                for (const Pt& spot : spots) {
                    const Place c = state.Clamped(i, {sheet, turn, spot});
                    if (state.Free(i, c))
                        free.push_back({{c.at.x + sh.w, c.at.y}, c});
                }
                std::sort(free.begin(), free.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
                free.resize(std::min<size_t>(free.size(), 3));
                for (const auto& candidate : free) {
                    const Place c = Slid(state, i, candidate.second);
                    const Coord right = c.at.x + sh.w;
                    if (best.nSheet < 0 || right < bestRight || (right == bestRight && c.at.y < bestLow))
                        best = c, bestRight = right, bestLow = c.at.y;
                }
            }
        }
        if (best.nSheet >= 0)
            state.Put(i, best);
    }
    places = state.places;
    return !placed || placed(done);
}

Layout Search(const Problem& problem, const Layout& start, const Control& control, int* pRounds)
{
    Layout overall = start;
    overall.total = TotalOf(problem, start.places);
    int rounds = 0;
    if (problem.items.size() < 2 || (control.nRounds <= 0 && control.dSeconds <= 0)) {
        if (pRounds)
            *pRounds = 0;
        return overall;
    }
    // About a fifth of a second of one core's work on this machine; counted
    // in corners looked at, so that rounds end at the same point everywhere.
    constexpr std::uint64_t kRoundWork = 8000000;
    const int threads = std::max(1, control.nThreads);
    Meeting meeting;
    meeting.nLanes = threads;
    std::vector<std::unique_ptr<Lane>> lanes;
    for (int k = 0; k < threads; ++k) {
        lanes.push_back(std::make_unique<Lane>(problem, overall, control.nSeed * 1000003ull + std::uint64_t(k), meeting));
        lanes.back()->nRoundEnd = kRoundWork;
    }
    const auto began = std::chrono::steady_clock::now();
    meeting.decide = [&] {
        ++rounds;
        for (const auto& lane : lanes)
            if (lane->best.total < overall.total)
                overall = lane->best;
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
        const double perRound = seconds / rounds;
        const int expected = control.nRounds > 0 ? control.nRounds : std::max(1, int(control.dSeconds / std::max(perRound, 1e-6)));
        bool more = control.nRounds > 0 ? rounds < control.nRounds : seconds + perRound <= control.dSeconds;
        if (std::getenv("KERFMATE_NEST_TRACE")) // what each round reached, for tuning
            std::fprintf(stderr, "round %d after %.2f s: %lld\n", rounds, seconds, static_cast<long long>(overall.total));
        if (control.round && !control.round(overall, rounds, seconds))
            more = false;
        if (overall.total <= lanes.front()->floor)
            more = false;
        meeting.bStop = !more;
        for (const auto& lane : lanes) {
            if (lane->best.total > overall.total)
                lane->pending = overall, lane->bPending = true;
            lane->bCompress = rounds >= expected * 4 / 5;
            lane->nRoundEnd += kRoundWork;
        }
    };
    std::vector<std::thread> others;
    const auto run = [&meeting](Lane* pLane) {
        try {
            pLane->Run();
        } catch (...) {
            meeting.Leave();
        }
    };
    for (int k = 1; k < threads; ++k)
        others.emplace_back(run, lanes[size_t(k)].get());
    run(lanes.front().get());
    for (std::thread& t : others)
        t.join();
    if (pRounds)
        *pRounds = rounds;
    return overall;
}

} // namespace NestSearch
