#include "Offset.h"

#include "Curves.h"

#include <clipper.hpp>
#include <algorithm>
#include <cmath>

namespace EngineOutline {

namespace {
// Clipper's offsets run on integers of 2^-40 mm (about a picometre): grown
// panels keep their area to 1e-8 mm2, as exact as doubles allow, and a
// strip round a 5 m box stays far inside the 2^62 Clipper computes exactly.
constexpr double kOffsetScale = double(1LL << 40);
// No corner of a part is sharper than a right angle, whose mitre reaches
// sqrt(2) times the offset: every corner stays sharp.
constexpr double kMitreLimit = 2.0;
} // namespace

QPolygonF OffsetOutward(const QPolygonF& polygon, double distance)
{
    const int n = polygon.size();
    if (n < 3 || distance == 0.0)
        return polygon;
    // Every edge moved out, neighbours meeting at their mitre: where no edge
    // turns back, this is the boundary of the grown area itself.
    const double side = SignedArea(polygon) > 0.0 ? -1.0 : 1.0; // outward: left of travel when clockwise on screen
    auto outwardNormal = [&](int i) {
        const QPointF d = polygon[(i + 1) % n] - polygon[i];
        const double len = Length(d);
        return len > 0.0 ? side * QPointF(-d.y(), d.x()) / len : QPointF();
    };
    QPolygonF mitred;
    mitred.reserve(n);
    for (int i = 0; i < n; ++i) {
        const QPointF before = outwardNormal((i + n - 1) % n);
        const QPointF after = outwardNormal(i);
        const double denominator = 1.0 + Dot(before, after);
        const QPointF mitre = denominator > kCollinearEpsilon ? (before + after) / denominator : after;
        mitred.append(polygon[i] + distance * mitre);
    }
    // Where an edge is shorter than its corners' mitres move it, its offset
    // turns back and the outline would carry a hook: there the grown area's
    // boundary comes from Clipper's union. (No slot is narrower than twice
    // the kerf, so none closes; one that did would fail the build's check.)
    bool turnsBack = false;
    for (int i = 0; i < n && !turnsBack; ++i)
        turnsBack = !(Dot(mitred[(i + 1) % n] - mitred[i], polygon[(i + 1) % n] - polygon[i]) > 0.0);
    if (!turnsBack)
        return mitred;
    ClipperLib::Path path;
    path.reserve(size_t(n));
    for (const QPointF& p : polygon)
        path.push_back({ClipperLib::cInt(std::llround(p.x() * kOffsetScale)),
                        ClipperLib::cInt(std::llround(p.y() * kOffsetScale))});
    ClipperLib::ClipperOffset offset(kMitreLimit);
    offset.AddPath(path, ClipperLib::jtMiter, ClipperLib::etClosedPolygon);
    ClipperLib::Paths grown;
    offset.Execute(grown, distance * kOffsetScale);
    // The outline itself, not a hole that a notch closed by the beam may leave.
    const auto outer = std::max_element(grown.begin(), grown.end(), [](const auto& a, const auto& b) {
        return std::abs(ClipperLib::Area(a)) < std::abs(ClipperLib::Area(b));
    });
    if (outer == grown.end())
        return polygon;
    QPolygonF result;
    result.reserve(int(outer->size()));
    for (const ClipperLib::IntPoint& p : *outer)
        result.append(QPointF(double(p.X) / kOffsetScale, double(p.Y) / kOffsetScale));
    if ((SignedArea(result) > 0.0) != (SignedArea(polygon) > 0.0))
        std::reverse(result.begin(), result.end());
    return result;
}

} // namespace EngineOutline
