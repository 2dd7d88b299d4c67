#include "NestState.h"

namespace NestSearch {
using namespace Inner;

namespace {
// As far left, then as low (or low first), as the item goes free from c,
// in ever smaller steps.
Place Slid(State& state, int i, Place c, bool bLowFirst)
{
    for (int pass = 0; pass < 2; ++pass)
        for (int axis = 0; axis < 2; ++axis) {
            Coord& v = (axis == 0) != bLowFirst ? c.at.x : c.at.y;
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
    return Coord(last) * problem.length + std::max(used, StaysTo(problem, last));
}

Coord StaysTo(const Problem& problem, int sheet)
{
    Coord reach = 0;
    for (const Obstacle& o : problem.obstacles)
        if (o.nSheet == sheet)
            reach = std::max(reach, std::min(problem.length, o.at.x + problem.pShapes->shapes[size_t(o.nShape)].w));
    return reach;
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
              const std::function<bool(int)>& placed, bool bLowFirst)
{
    State state(problem, nSeed);
    state.nSheets = problem.nMaxSheets;
    state.lastLength = problem.length;
    state.Load(places);
    // A board of more items than this is sampled, not scanned, for corners,
    // and is closed once so many items in a row found no room on it: a
    // first layout of many thousands of pieces comes in seconds, not minutes.
    constexpr size_t kScanned = 256;
    constexpr int kMisses = 64;
    std::vector<int> misses; // per board, since an item last went there
    const std::vector<int> none;
    int done = 0;
    for (int i : order) {
        if (placed && !placed(done))
            return false;
        ++done;
        if (places[size_t(i)].nSheet >= 0)
            continue;
        const Item& item = problem.items[size_t(i)];
        Place best;
        std::pair<Coord, Coord> bestKey;
        for (int sheet = 0; sheet < problem.nMaxSheets && best.nSheet < 0; ++sheet) {
            const std::vector<int>& on = sheet < int(state.bySheet.size()) ? state.bySheet[size_t(sheet)] : none;
            const bool crowded = on.size() > kScanned;
            if (crowded && sheet < int(misses.size()) && misses[size_t(sheet)] >= kMisses)
                continue;
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
                    // Beside the last items laid there, and some of the others at random.
                    const int most = 48;
                    const auto besideItem = [&](int j) {
                        const Place& p = state.places[size_t(j)]; // as laid so far
                        const Shape& s = state.ShapeOf(j, p.nTurn);
                        beside({p.at.x, p.at.y, p.at.x + s.w, p.at.y + s.h});
                    };
                    for (size_t k = 0; k < on.size() && !crowded; ++k)
                        if (on.size() <= size_t(most) || k + size_t(most) >= on.size() || state.rng.Below(int(on.size())) < most / 2)
                            besideItem(on[k]);
                    for (size_t k = on.size() - most; crowded && k < on.size(); ++k)
                        besideItem(on[k]);
                    for (int k = 0; crowded && k < most / 2; ++k)
                        besideItem(on[size_t(state.rng.Below(int(on.size()) - most))]);
                    if (sheet < int(state.obstaclesOn.size()))
                        for (int k : state.obstaclesOn[size_t(sheet)]) {
                            const Obstacle& o = problem.obstacles[size_t(k)];
                            const Shape& s = problem.pShapes->shapes[size_t(o.nShape)];
                            beside({o.at.x, o.at.y, o.at.x + s.w, o.at.y + s.h});
                        }
                    for (int k = 0; k < 24; ++k)
                        spots.push_back({state.rng.Upto(problem.length - sh.w), state.rng.Upto(problem.height - sh.h)});
                }
                // The free spots farthest left (or lowest), each slid as far as it goes.
                const auto key = [&](const Place& c) {
                    return bLowFirst ? std::pair(c.at.y + sh.h, c.at.x + sh.w) : std::pair(c.at.x + sh.w, c.at.y);
                };
                std::vector<std::pair<std::pair<Coord, Coord>, Place>> free;
                for (const Pt& spot : spots) {
                    const Place c = state.Clamped(i, {sheet, turn, spot});
                    if (state.Free(i, c))
                        free.push_back({key(c), c});
                }
                std::sort(free.begin(), free.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
                free.resize(std::min<size_t>(free.size(), 3));
                for (const auto& candidate : free) {
                    const Place c = Slid(state, i, candidate.second, bLowFirst);
                    if (best.nSheet < 0 || key(c) < bestKey)
                        best = c, bestKey = key(c);
                }
            }
            if (best.nSheet < 0 && crowded)
                misses.resize(std::max(misses.size(), size_t(sheet) + 1), 0), ++misses[size_t(sheet)];
        }
        if (best.nSheet >= 0) {
            state.Put(i, best);
            if (best.nSheet < int(misses.size()))
                misses[size_t(best.nSheet)] = 0;
        }
    }
    places = state.places;
    return !placed || placed(done);
}

} // namespace NestSearch
