// A pair of meshing spur gears, each cut as the basic rack of its module
// cuts it: involute flanks from the rack's straight flanks, root fillets
// (and undercut on small gears) from the trochoid its rounded tip sweeps.
#include "ReferenceEngine.h"

#include "CShape.h"
#include "EngineBuild.h"
#include "Curves.h"

#include <QTransform>
#include <QtMath>
#include <cmath>
#include <functional>
#include <optional>

using namespace EngineOutline;

namespace {

constexpr double kAddendum = 1.0;       // in modules, before a shift
constexpr double kDedendum = 1.25;      // in modules: how deep the rack cuts, before a shift
constexpr double kRackTipRadius = 0.38; // in modules: the rack's rounded tip corners, where they fit
constexpr int kMinHalvings = 2;         // of a curve's parameter range, however flat it is
constexpr int kMaxHalvings = 12;
constexpr int kCrossingScan = 64;       // steps when looking for where undercut starts
constexpr int kBisections = 60;

double Involute(double angle)
{
    return std::tan(angle) - angle;
}

// The basic rack a pair is cut with: its pressure angle and the rounding of
// its tips, in modules.
struct Rack
{
    double dAngle = 0.0;
    double dTipRounding = 0.0;
    double Sin() const { return std::sin(dAngle); }
    double Cos() const { return std::cos(dAngle); }
};

// The rack of this pressure angle with the standard tip rounding, or the
// largest that fits on its narrower tips at steeper angles.
Rack RackOf(double angle)
{
    const double halfTip = M_PI / 4.0 - kDedendum * std::tan(angle);
    return {angle, std::min(kRackTipRadius, halfTip * std::cos(angle) / (1.0 - std::sin(angle)))};
}

// One gear of a pair: its teeth, its shift in modules (the rack moved out
// by shift x module) and its tip radius.
struct GearCut
{
    double dModule = 0.0;
    int nTeeth = 0;
    Rack rack;
    double dShift = 0.0;
    double dTip = 0.0;

    double Pitch() const { return dModule * nTeeth / 2.0; }
    double Base() const { return Pitch() * rack.Cos(); }
    double Root() const { return Pitch() - dModule * (kDedendum - dShift); }
    double FullTip() const { return Pitch() + dModule * (kAddendum + dShift); }
    // Half the tooth's angle at radius r, from the involute.
    double HalfAngle(double r) const
    {
        const double alpha = rack.dAngle;
        return (M_PI / 2.0 + 2.0 * dShift * std::tan(alpha)) / nTeeth + Involute(alpha)
               - Involute(std::acos(std::min(1.0, Base() / r)));
    }
    // The least shift that cuts no undercut: the rack's straight flank
    // ends no deeper than where the line of action touches the base circle.
    double LeastShiftWithoutUndercut() const
    {
        const double s = rack.Sin();
        return kDedendum - rack.dTipRounding * (1.0 - s) - nTeeth * s * s / 2.0;
    }
};

// A gear point seen from the gear's centre: radius, and angle from the middle
// of the tooth it belongs to.
struct SidePoint
{
    double r;
    double psi;
};

QPointF InToothFrame(const SidePoint& p)
{
    return p.r * QPointF(std::cos(p.psi), std::sin(p.psi));
}

double DistanceToChord(const QPointF& p, const QPointF& a, const QPointF& b)
{
    const QPointF ab = b - a;
    const double length = std::hypot(ab.x(), ab.y());
    const QPointF ap = p - a;
    return length > 0.0 ? std::abs(ab.x() * ap.y() - ab.y() * ap.x()) / length : std::hypot(ap.x(), ap.y());
}

using Curve = std::function<QPointF(double)>;

// Appends the points of curve(t) for t past t0 up to t1, halving the range
// until no chord strays more than kChordTolerance from the curve, and for
// each chord the curve's point halfway along it.
void Sample(const Curve& curve, double t0, const QPointF& p0, double t1, const QPointF& p1, int depth,
            QVector<QPointF>& out, QVector<QPointF>& halfway)
{
    const double tm = (t0 + t1) / 2.0;
    const QPointF pm = curve(tm);
    if (depth >= kMaxHalvings || (depth >= kMinHalvings && DistanceToChord(pm, p0, p1) <= kChordTolerance)) {
        out << p1;
        halfway << pm;
        return;
    }
    Sample(curve, t0, p0, tm, pm, depth + 1, out, halfway);
    Sample(curve, tm, pm, t1, p1, depth + 1, out, halfway);
}

void Sample(const Curve& curve, double t0, double t1, QVector<QPointF>& out, QVector<QPointF>& halfway)
{
    Sample(curve, t0, curve(t0), t1, curve(t1), 0, out, halfway);
}

// A chord across a hollow of the outline lies outside the material, so an
// exact mate that just grazes the hollow would cut into it. Moving such
// chords into the material by their bulge keeps the whole outline inside
// the true tooth. Material lies to the right of travel.
void KeepChordsInside(QVector<QPointF>& points, const QVector<QPointF>& halfway)
{
    QVector<QPointF> shift(points.size());
    for (int i = 0; i + 1 < points.size(); ++i) {
        const QPointF along = points[i + 1] - points[i];
        const double length = std::hypot(along.x(), along.y());
        if (!(length > 0.0))
            continue;
        const QPointF right(along.y() / length, -along.x() / length);
        const QPointF bulge = QPointF::dotProduct(halfway[i] - points[i], right) * right;
        for (int j : {i, i + 1})
            if (QPointF::dotProduct(bulge, right) > 0.0 && bulge.manhattanLength() > shift[j].manhattanLength())
                shift[j] = bulge;
    }
    for (int i = 0; i < points.size(); ++i)
        points[i] += shift[i];
}

// One gear as its basic rack cuts it. The rack rolls on the pitch circle,
// its middle line gear.dShift modules outside it; a rack point (u along the
// pitch line, v outward from the gear) seen from the gear turned by phi lies
// at Rot(-phi) (u - r phi, r + v), with the rack tooth at u = 0 cutting the
// space whose middle is at +90 degrees.
class RackCut
{
public:
    explicit RackCut(const GearCut& gear)
        : m_z(gear.nTeeth)
        , m_s(gear.rack.Sin())
        , m_c(gear.rack.Cos())
        , m_r(gear.Pitch())
        , m_rb(gear.Base())
        , m_ra(gear.dTip)
        , m_rf(gear.Root())
        , m_rho(gear.rack.dTipRounding * gear.dModule)
        // The rack's tooth is as thick as its space on its middle line,
        // which the shift moves out: on the pitch line its flank lies
        // further in.
        , m_quarterPitch(M_PI * gear.dModule / 4.0 - gear.dShift * gear.dModule * m_s / m_c)
    {
        const double s = m_s, c = m_c;
        // Centre of the rack's right tip rounding: tangent to the tip line and the flank.
        m_vc = -(kDedendum - gear.dShift) * gear.dModule + m_rho;
        m_uc = m_quarterPitch + m_vc * s / c - m_rho / c;
        // Flank points are parametrised by k: they lie k cos(pressure angle)
        // from the pitch point along the line of action, deeper as k grows.
        const double vTangent = m_vc - m_rho * s;
        m_kFilletJoin = -vTangent / (s * c);
        m_kBase = m_r * s / c;
        m_kTip = (m_r * s - std::sqrt(m_ra * m_ra - m_rb * m_rb)) / c;
    }

    // Where the involute starts, above the fillet or the undercut.
    double FormRadius() const { return Flank(Join().second).r; }

    // How far the undercut cuts into the tooth at most, across it, measured
    // from the involute (below the base circle, from its radial foot).
    double UndercutDepth() const
    {
        if (m_kFilletJoin <= m_kBase)
            return 0.0;
        const QPair<double, double> join = Join();
        const double phiRoot = m_uc / m_r;
        double depth = 0.0;
        for (int i = 0; i <= kCrossingScan; ++i) {
            const SidePoint p = Fillet(phiRoot + (join.first - phiRoot) * i / kCrossingScan);
            depth = std::max(depth, p.r * (Flank(FlankAt(std::max(p.r, m_rb))).psi - p.psi));
        }
        return depth;
    }

    // One tooth, its middle on +x, from the middle of the space before it up
    // to (not including) the middle of the space after it.
    QVector<QPointF> Tooth() const
    {
        const QVector<QPointF> side = Side();
        const double rootHalf = M_PI / m_z;
        const double filletStart = rootHalf - m_uc / m_r;
        const double tipHalf = std::atan2(side.last().y(), side.last().x());
        const QPointF origin;
        auto mirrored = [](const QPointF& p) { return QPointF(p.x(), -p.y()); };

        QVector<QPointF> tooth = ArcPoints(origin, m_rf, -rootHalf, -filletStart, kChordTolerance);
        tooth.removeLast();
        for (const QPointF& p : side)
            tooth << mirrored(p);
        tooth << ArcPoints(origin, m_ra, -tipHalf, tipHalf, kChordTolerance).mid(1);
        for (int i = side.size() - 2; i >= 0; --i)
            tooth << side[i];
        const QVector<QPointF> root = ArcPoints(origin, m_rf, filletStart, rootHalf, kChordTolerance);
        tooth << root.mid(1, root.size() - 2);
        return tooth;
    }

private:
    SidePoint ToSide(double x, double y, double phi) const
    {
        const double gx = x * std::cos(phi) + y * std::sin(phi);
        const double gy = -x * std::sin(phi) + y * std::cos(phi);
        return {std::hypot(gx, gy), std::atan2(gy, gx) - M_PI_2 + M_PI / m_z};
    }

    // What the straight flank leaves: the involute.
    SidePoint Flank(double k) const
    {
        const double s = m_s, c = m_c;
        return ToSide(k * c * c, m_r - k * s * c, (m_quarterPitch - k) / m_r);
    }

    // What the tip rounding leaves: the point of the rounding whose normal
    // passes through the pitch point, the rack turned by phi.
    SidePoint Fillet(double phi) const
    {
        const double du = m_uc - m_r * phi, dv = m_vc;
        const double length = std::hypot(du, dv);
        const double u = m_uc + m_rho * du / length, v = m_vc + m_rho * dv / length;
        return ToSide(u - m_r * phi, m_r + v, phi);
    }

    // The flank point at radius r, on the involute above the base circle.
    double FlankAt(double r) const
    {
        return (m_r * m_s - std::sqrt(std::max(0.0, r * r - m_rb * m_rb))) / m_c;
    }

    // Whether the involute has taken over at phi: the fillet's point lies on
    // or above the base circle and cuts no deeper into the tooth than the involute.
    bool InvoluteTakesOver(double phi) const
    {
        const SidePoint fillet = Fillet(phi);
        return fillet.r >= m_rb && Flank(FlankAt(fillet.r)).psi - fillet.psi <= 0.0;
    }

    // The fillet parameter and flank parameter where the tooth's side turns
    // from fillet to involute.
    QPair<double, double> Join() const
    {
        const double phiRoot = m_uc / m_r;
        const double phiJoin = (m_quarterPitch - m_kFilletJoin) / m_r;
        if (m_kFilletJoin <= m_kBase)
            return {phiJoin, m_kFilletJoin};
        // Undercut: the rack's flank reaches below the base circle, and its
        // tip rounding cuts into the involute. Find the crossing from the root up.
        double inside = phiRoot, outside = phiJoin;
        for (int i = 1; i <= kCrossingScan; ++i) {
            const double phi = phiRoot + (phiJoin - phiRoot) * i / kCrossingScan;
            if (InvoluteTakesOver(phi)) {
                outside = phi;
                break;
            }
            inside = phi;
        }
        for (int i = 0; i < kBisections; ++i) {
            const double phi = (inside + outside) / 2.0;
            (InvoluteTakesOver(phi) ? outside : inside) = phi;
        }
        return {outside, FlankAt(Fillet(outside).r)};
    }

    // One side of a tooth, root to tip, at positive angles.
    QVector<QPointF> Side() const
    {
        const QPair<double, double> join = Join();
        QVector<QPointF> side{InToothFrame(Fillet(m_uc / m_r))}, halfway;
        Sample([this](double phi) { return InToothFrame(Fillet(phi)); }, m_uc / m_r, join.first, side, halfway);
        Sample([this](double k) { return InToothFrame(Flank(k)); }, join.second, m_kTip, side, halfway);
        // Walking root to tip at positive angles, the tooth lies to the right.
        KeepChordsInside(side, halfway);
        return side;
    }

    int m_z;
    double m_s, m_c, m_r, m_rb, m_ra, m_rf, m_rho, m_quarterPitch;
    double m_uc = 0.0, m_vc = 0.0;
    double m_kFilletJoin = 0.0, m_kBase = 0.0, m_kTip = 0.0;
};

// A pair as it is cut, and how well it meshes.
struct PairCut
{
    GearCut gears[2];
    double dContact = 0.0;  // contact ratio
    double dUndercut = 0.0; // deeper of the two, in millimetres
};

// Lowers a tip that would come to a point until its land is kMinTipLand
// modules wide.
void KeepTipLand(GearCut& gear)
{
    const double land = CReferenceEngine::kMinTipLand * gear.dModule;
    auto wide = [&](double r) { return 2.0 * r * gear.HalfAngle(r) >= land; };
    double low = gear.Base(), high = gear.FullTip();
    if (wide(high) || !wide(low)) {
        gear.dTip = wide(high) ? high : low;
        return;
    }
    for (int i = 0; i < kBisections; ++i) {
        const double middle = (low + high) / 2.0;
        (wide(middle) ? low : high) = middle;
    }
    gear.dTip = low;
}

// The share of the line of action on which both flanks are involute and
// within both tips, in base pitches. The pair turns at its pitch circles.
double ContactRatio(const GearCut& a, const GearCut& b, double formA, double formB)
{
    const auto along = [](double r, double base) { return std::sqrt(std::max(0.0, r * r - base * base)); };
    const double line = (a.Pitch() + b.Pitch()) * a.rack.Sin();
    const double from = std::max(along(formA, a.Base()), line - along(b.dTip, b.Base()));
    const double to = std::min(along(a.dTip, a.Base()), line - along(formB, b.Base()));
    return std::max(0.0, to - from) / (M_PI * a.dModule * a.rack.Cos());
}

// The pair cut by this rack with gear 1 shifted by `shift` and gear 2 by
// its negative, so that the pitch circles still roll on each other.
PairCut Cut(double module, int z1, int z2, const Rack& rack, double shift)
{
    PairCut pair{{{module, z1, rack, shift, 0.0}, {module, z2, rack, -shift, 0.0}}};
    double form[2];
    for (int g = 0; g < 2; ++g) {
        KeepTipLand(pair.gears[g]);
        const RackCut cut(pair.gears[g]);
        form[g] = cut.FormRadius();
        pair.dUndercut = std::max(pair.dUndercut, cut.UndercutDepth());
    }
    pair.dContact = ContactRatio(pair.gears[0], pair.gears[1], form[0], form[1]);
    return pair;
}

bool Meshes(const PairCut& pair)
{
    return pair.dContact >= CReferenceEngine::kMinContactRatio
           && pair.dUndercut <= CReferenceEngine::kMaxUndercut * pair.gears[0].dModule;
}

// The pair as the least remedy cuts it: the standard rack first, then
// steeper ones; on each, the gear with fewer teeth shifted out just enough
// to lose its undercut, the other in by as much, or where the other cannot
// take that, shifts between the two; none when nothing meshes.
std::optional<PairCut> ChoosePair(double module, int z1, int z2)
{
    constexpr int kSteps = 4;
    const double sign = z1 <= z2 ? 1.0 : -1.0; // gear 1's shift over the pinion's
    for (double degrees : CReferenceEngine::kPressureAngles) {
        const Rack rack = RackOf(qDegreesToRadians(degrees));
        const GearCut pinion{module, std::min(z1, z2), rack}, wheel{module, std::max(z1, z2), rack};
        const double need = pinion.LeastShiftWithoutUndercut(), room = -wheel.LeastShiftWithoutUndercut();
        const double low = std::max(0.0, std::min(need, room));
        const double high = std::min(std::max(0.0, std::max(need, room)), low + 1.0);
        for (int i = 0; i <= kSteps; ++i) {
            const PairCut pair = Cut(module, z1, z2, rack, sign * (low + (high - low) * i / kSteps));
            if (Meshes(pair))
                return pair;
        }
    }
    return std::nullopt;
}

void AddGear(EngineBuild::Part& part, const GearCut& gear, double bore, const QPointF& centre, double firstToothAxis)
{
    const QVector<QPointF> tooth = RackCut(gear).Tooth();
    QPainterPath one;
    one.reserve(tooth.size());
    one.addPolygon(tooth);
    // Tooth by tooth, each joined to the last by the edge between them.
    QPainterPath outline;
    outline.reserve(tooth.size() * gear.nTeeth + 1);
    // Each tooth turned one pitch further than the last: a rotation applied
    // a thousand times drifts by some 1e-13 of the radius.
    const double pitch = 2.0 * M_PI / gear.nTeeth;
    const double stepC = std::cos(pitch), stepS = std::sin(pitch);
    double c = std::cos(firstToothAxis), s = std::sin(firstToothAxis);
    for (int i = 0; i < gear.nTeeth; ++i) {
        outline.connectPath(QTransform(c, s, -s, c, centre.x(), centre.y()).map(one));
        const double next = c * stepC - s * stepS;
        s = s * stepC + c * stepS, c = next;
    }
    outline.closeSubpath();
    part.AddMain(new CShapeVector(outline, CShape::LayerCut), true);
    if (bore > 0.0)
        part.AddMain(new CShapeVector(Circle(centre, bore / 2.0), CShape::LayerCut), true);
}

// The fewest teeth, from `from` up, that mesh with `other` teeth (0: with
// as many again); 0 for none.
int LeastMeshingTeeth(double module, int from, int other)
{
    const int most = CReferenceEngine::kMaxTeeth;
    // The largest gear is the kindest partner: when it does not mesh, none does.
    if (other > 0 && !ChoosePair(module, most, other))
        return 0;
    for (int z = from; z <= most; ++z)
        if (ChoosePair(module, z, other > 0 ? other : z))
            return z;
    return 0;
}

void RefuseUnmeshable(EngineBuild::Part& part, double module, int z1, int z2)
{
    const int more1 = LeastMeshingTeeth(module, z1 + 1, z2), more2 = LeastMeshingTeeth(module, z2 + 1, z1);
    QString remedy;
    if (more1 > 0 && (more2 == 0 || more1 - z1 <= more2 - z2))
        remedy = QStringLiteral("give gear 1 at least %1 teeth").arg(more1);
    else if (more2 > 0)
        remedy = QStringLiteral("give gear 2 at least %1 teeth").arg(more2);
    else
        remedy = QStringLiteral("give both gears at least %1 teeth")
                     .arg(LeastMeshingTeeth(module, std::max(z1, z2) + 1, 0));
    part.Refuse(QStringLiteral("Gears of %1 and %2 teeth cannot turn smoothly (contact ratio %3) with any profile "
                               "shift or pressure angle up to %4°: %5")
                    .arg(z1)
                    .arg(z2)
                    .arg(CReferenceEngine::kMinContactRatio)
                    .arg(std::end(CReferenceEngine::kPressureAngles)[-1])
                    .arg(remedy));
}

// The bore leaves a ring of at least a module below the tooth roots.
bool BoreFits(EngineBuild::Part& part, const GearCut& gear, double bore, int index)
{
    const double ring = CReferenceEngine::kMinRing * gear.dModule;
    const double largest = std::floor(2.0 * (gear.Root() - ring) * 100.0 + 1e-6) / 100.0;
    if (bore <= largest)
        return true;
    const QString what = QStringLiteral("Gear %1's diameter %2 leaves less than %3 of ring between the bore and the "
                                        "tooth roots")
                             .arg(index)
                             .arg(EngineBuild::Millimetres(bore), EngineBuild::Millimetres(ring));
    part.Refuse(largest > 0.0 ? what + QStringLiteral(": make it at most %1").arg(EngineBuild::Millimetres(largest))
                              : what + QStringLiteral(": a gear of %1 teeth has no room for a bore").arg(gear.nTeeth));
    return false;
}

} // namespace

bool CReferenceEngine::CreateGear(SGearBoxParam param, CShapeList* pMain)
{
    EngineBuild::Part part;
    const double m = param.dModulus;
    const SGearParam* gears[] = {&param.sGear1, &param.sGear2};
    if (part.Require("dModulus", m, kMinModule, kMaxModule)
        && part.Require("sGear1.nGCount", param.sGear1.nGCount, kMinTeeth, kMaxTeeth)
        && part.Require("sGear2.nGCount", param.sGear2.nGCount, kMinTeeth, kMaxTeeth)
        && part.Require("sGear1.dCDiameter", param.sGear1.dCDiameter, 0.0, kMaxBore)
        && part.Require("sGear2.dCDiameter", param.sGear2.dCDiameter, 0.0, kMaxBore)) {
        const int z1 = param.sGear1.nGCount;
        const int z2 = param.sGear2.nGCount;
        const std::optional<PairCut> pair = ChoosePair(m, z1, z2);
        if (!pair) {
            RefuseUnmeshable(part, m, z1, z2);
        } else if (BoreFits(part, pair->gears[0], gears[0]->dCDiameter, 1)
                   && BoreFits(part, pair->gears[1], gears[1]->dCDiameter, 2)) {
            const QPointF secondCentre(m * (z1 + z2) / 2.0, 0.0);
            AddGear(part, pair->gears[0], gears[0]->dCDiameter, QPointF(), 0.0);
            // Gear 1's tooth on +x enters the space of gear 2 that faces -x.
            AddGear(part, pair->gears[1], gears[1]->dCDiameter, secondCentre, M_PI + M_PI / z2);
            const double tip1 = pair->gears[0].dTip, tip2 = pair->gears[1].dTip;
            const double half = std::max(tip1, tip2);
            part.bounds = QRectF(QPointF(-tip1, -half), QPointF(secondCentre.x() + tip2, half));
            const double degrees = qRadiansToDegrees(pair->gears[0].rack.dAngle);
            if (degrees > kPressureAngles[0] + 1e-9)
                part.Adjust(QStringLiteral("Pressure angle raised from %1° to %2° so that %3 and %4 teeth turn "
                                           "smoothly (contact ratio %5); these gears mesh only with each other")
                                .arg(kPressureAngles[0])
                                .arg(degrees)
                                .arg(z1)
                                .arg(z2)
                                .arg(pair->dContact, 0, 'f', 2));
        }
    }
    return EngineBuild::Deliver("CreateGear", part, pMain, nullptr, &m_report);
}
