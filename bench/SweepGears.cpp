#include "SweepChecks.h"
#include "ReferenceEngine.h"

#include <QLineF>
#include <QtMath>
#include <algorithm>
#include <cmath>
#include <set>

namespace Sweep {
namespace {

struct Gear
{
    QPolygonF points;
    QPointF centre;
    int teeth = 0;
    double tip = 0.0;
};

QPointF Turned(const QPointF& p, const QPointF& centre, double angle)
{
    const QPointF d = p - centre;
    return centre + QPointF(d.x() * std::cos(angle) - d.y() * std::sin(angle),
                            d.x() * std::sin(angle) + d.y() * std::cos(angle));
}

// Distance from p to edge a-b; *pAlong: where the nearest point lies, 0 to 1.
double DistanceToEdge(const QPointF& p, const QPointF& a, const QPointF& b, double* pAlong = nullptr)
{
    const QPointF ab = b - a;
    const double along = std::clamp(QPointF::dotProduct(p - a, ab) / QPointF::dotProduct(ab, ab), 0.0, 1.0);
    if (pAlong)
        *pAlong = along;
    return QLineF(p, a + along * ab).length();
}

// The pair turned through one pitch of gear 1 at the ratio of the teeth:
// at each step the flanks in contact (within eps), counted per side of
// gear 1's teeth; their mean over the pitch is the contact ratio, and a
// step with none is play. Also the deepest that one gear cuts into the other.
struct Mesh
{
    double contact[2] = {qInf(), qInf()};
    int fewest = 1 << 30;
    double overlap = 0.0;
};

Mesh Turn(const Gear& one, const Gear& two, double eps)
{
    constexpr int kSteps = 120;
    Mesh mesh;
    double sum[2] = {0.0, 0.0};
    const double pitch = 2.0 * M_PI / one.teeth;
    const double twoArea = [&] {
        double a = 0.0;
        for (int i = 0; i < two.points.size(); ++i)
            a += Cross(two.points[i], two.points[(i + 1) % two.points.size()]);
        return a;
    }();
    std::vector<QPointF> oneAt(one.points.size()), twoTurned(two.points.size());
    for (int step = 0; step < kSteps; ++step) {
        const double angle = pitch * step / kSteps;
        const double back = -angle * one.teeth / two.teeth;
        // Turned once per step: the pairs below would otherwise turn each point thousands of times.
        for (int i = 0; i < one.points.size(); ++i)
            oneAt[i] = Turned(one.points[i], one.centre, angle);
        for (int j = 0; j < two.points.size(); ++j)
            twoTurned[j] = Turned(two.points[j], two.centre, back);
        // Near the mesh only: points of either gear within the other's tip.
        std::vector<int> a, b;
        for (int i = 0; i < one.points.size(); ++i)
            if (QLineF(oneAt[i], two.centre).length() < two.tip + eps)
                a.push_back(i);
        for (int j = 0; j < two.points.size(); ++j)
            if (QLineF(twoTurned[j], one.centre).length() < one.tip + eps)
                b.push_back(j);
        std::set<std::pair<int, int>> touching; // tooth of gear 1, side
        auto toothSide = [&](int i) {
            const QPointF d = one.points[i] - one.centre;
            const double at = std::atan2(d.y(), d.x()) + pitch / 2.0;
            const double within = at - std::floor(at / pitch) * pitch - pitch / 2.0;
            return std::make_pair(int(std::floor(at / pitch)), within > 0.0 ? 1 : 0);
        };
        const int m = two.points.size();
        auto twoAt = [&](int j) { return twoTurned[(j + m) % m]; };
        for (int i : a) {
            const QPointF p = oneAt[i];
            double nearest = qInf(), along = 0.0;
            int edge = -1;
            for (int j : b) {
                double t = 0.0;
                const double d = DistanceToEdge(p, twoAt(j), twoAt(j + 1), &t);
                if (d < nearest)
                    nearest = d, edge = j, along = t;
            }
            if (edge < 0)
                continue;
            if (nearest < eps)
                touching.insert(toothSide(i));
            // Inside gear 2: left of the nearest edge (as gear 2 winds), or
            // at a corner, inside both edges there (one, where it bends in).
            const int corner = along <= 0.0 ? edge : along >= 1.0 ? edge + 1 : -1;
            const auto leftOf = [&](int j) { return Cross(twoAt(j + 1) - twoAt(j), p - twoAt(j)) * twoArea > 0.0; };
            bool inside = leftOf(edge);
            if (corner >= 0) {
                const bool convex =
                    Cross(twoAt(corner) - twoAt(corner - 1), twoAt(corner + 1) - twoAt(corner)) * twoArea > 0.0;
                inside = convex ? leftOf(corner - 1) && leftOf(corner) : leftOf(corner - 1) || leftOf(corner);
            }
            if (inside)
                mesh.overlap = std::max(mesh.overlap, nearest);
        }
        for (int j : b) {
            const QPointF q = twoTurned[j];
            for (int i : a) {
                const int k = (i + 1) % one.points.size();
                if (DistanceToEdge(q, oneAt[i], oneAt[k]) < eps)
                    touching.insert(toothSide(i));
            }
        }
        int sides[2] = {0, 0};
        for (const auto& [tooth, side] : touching)
            ++sides[side];
        mesh.fewest = std::min({mesh.fewest, sides[0], sides[1]});
        sum[0] += sides[0], sum[1] += sides[1];
    }
    mesh.contact[0] = sum[0] / kSteps, mesh.contact[1] = sum[1] / kSteps;
    return mesh;
}

} // namespace

Verdict CheckGears(const std::vector<Outline>& outlines, double module, int z1, int z2, double* pContact)
{
    std::vector<const Outline*> closed;
    for (const Outline& o : outlines)
        if (o.bClosed && o.bCut)
            closed.push_back(&o);
    std::sort(closed.begin(), closed.end(), [](auto* a, auto* b) { return a->points.size() > b->points.size(); });
    if (closed.size() < 2)
        return QStringLiteral("no pair of gears");
    Gear gears[2];
    for (int g = 0; g < 2; ++g) {
        Gear& gear = gears[g];
        gear.points = closed[g]->points;
        if (gear.points.first() == gear.points.last())
            gear.points.removeLast();
        for (const QPointF& p : gear.points)
            gear.centre += p / gear.points.size();
        for (const QPointF& p : gear.points)
            gear.tip = std::max(gear.tip, QLineF(p, gear.centre).length());
    }
    if (closed[0] > closed[1]) // gear 1 is written first, wherever the host laid it
        std::swap(gears[0], gears[1]);
    gears[0].teeth = z1, gears[1].teeth = z2;
    for (size_t i = 2; i < closed.size(); ++i) { // bores
        QPointF centre;
        for (const QPointF& p : closed[i]->points)
            centre += p / closed[i]->points.size();
        const Gear& gear = QLineF(centre, gears[0].centre).length() < QLineF(centre, gears[1].centre).length()
                               ? gears[0]
                               : gears[1];
        double root = qInf(), bore = 0.0;
        for (const QPointF& p : gear.points)
            root = std::min(root, QLineF(p, gear.centre).length());
        for (const QPointF& p : closed[i]->points)
            bore = std::max(bore, QLineF(p, centre).length());
        if (root - bore < CReferenceEngine::kMinRing * module - 0.02)
            return QStringLiteral("a ring of %1 mm under a bore at module %2").arg(root - bore).arg(module);
    }
    // The host lays a pair out apart, each gear as cut: gear 2 goes back to
    // where it meshes, the centre distance right of gear 1.
    const QPointF meshed = gears[0].centre + QPointF(module * (z1 + z2) / 2.0, 0.0) - gears[1].centre;
    for (QPointF& p : gears[1].points)
        p += meshed;
    gears[1].centre += meshed;
    // Sampled flanks lie up to the chord tolerance inside the true ones on either gear.
    const double eps = 2.0 * 0.01 + 1e-3;
    const Mesh mesh = Turn(gears[0], gears[1], eps);
    *pContact = std::min(mesh.contact[0], mesh.contact[1]);
    if (mesh.overlap > eps)
        return QStringLiteral("the gears cut %1 mm into each other while turning").arg(mesh.overlap);
    if (mesh.fewest < 1)
        return QStringLiteral("play: at some angle no flank of a side touches");
    if (*pContact < CReferenceEngine::kMinContactRatio)
        return QStringLiteral("contact ratio %1").arg(*pContact);
    return std::nullopt;
}

} // namespace Sweep
