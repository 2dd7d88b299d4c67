#include "NestSearch.h"
#include "NestState.h"

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
using namespace Inner;

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

    // Nothing shorter to try, and nothing better to take up: only another lane's success would wake it.
    bool Idle() const { return m_target >= best.total && !bPending; }

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
        // What stays on the last board holds its length: short of it, one board fewer, or nothing to try.
        while (target < best.total) {
            const int sheet = int((target - 1) / P.length);
            if (target - Coord(sheet) * P.length >= StaysTo(P, sheet))
                break;
            target = sheet > 0 ? Coord(sheet) * P.length : best.total;
        }
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
            const Coord length = TotalOf(P, places);
            if (length >= best.total) { // met with nothing shorter: trying again would spin without end
                m_target = best.total;
                return;
            }
            best.places = places;
            best.total = length;
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
        if (control.round && !control.round(overall, rounds))
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
        if (std::all_of(lanes.cbegin(), lanes.cend(), [](const auto& lane) { return lane->Idle(); }))
            meeting.bStop = true; // the rest of the budget would change nothing
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