#include "Joints.h"

#include <algorithm>
#include <cmath>

namespace EngineOutline {

namespace {
constexpr int kMaxFingersPerEdge = 999;

int LargestOddAtMost(double value)
{
    // A length that is a whole number of fingers stays one, rounding aside.
    const int n = int(std::floor(value + 1e-9));
    return n % 2 == 0 ? n - 1 : n;
}

double WidthError(double length, int count, double fingerSize)
{
    return std::abs(length / count - fingerSize);
}
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

} // namespace EngineOutline
