// Finger joints: the profiled edges along which panels interlock, as runs
// of material cut back to the board's depth or kept to the outer line.
#pragma once

#include <QPointF>
#include <QPolygonF>
#include <QVector>

namespace EngineOutline {

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

// Fewer fingers than this along an edge make no joint: the edge is cut butt to butt.
constexpr int kMinFingersForJoint = 3;

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

} // namespace EngineOutline
