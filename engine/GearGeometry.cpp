// A pair of meshing spur gears, each cut as the basic rack of its module
// cuts it: involute flanks from the rack's straight flanks, root fillets
// (and undercut on small gears) from the trochoid its rounded tip sweeps.
#include "ReferenceEngine.h"

#include "CShape.h"
#include "EngineBuild.h"
#include "EngineOutline.h"

#include <QtMath>
#include <cmath>
#include <functional>

using namespace EngineOutline;

namespace {

const double kPressureAngle = qDegreesToRadians(20.0);
const double kSinPressure = std::sin(kPressureAngle), kCosPressure = std::cos(kPressureAngle);
constexpr double kAddendum = 1.0;       // in modules
constexpr double kDedendum = 1.25;      // in modules: how deep the rack cuts
constexpr double kRackTipRadius = 0.38; // in modules: the rack's rounded tip corners
constexpr int kMinHalvings = 2;         // of a curve's parameter range, however flat it is
constexpr int kMaxHalvings = 12;
constexpr int kCrossingScan = 64;       // steps when looking for where undercut starts
constexpr int kBisections = 60;

double TipRadius(double module, int teeth)
{
    return module * (teeth / 2.0 + kAddendum);
}

double RootRadius(double module, int teeth)
{
    return module * (teeth / 2.0 - kDedendum);
}

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

// One gear as the basic rack cuts it, without profile shift. The rack rolls
// on the pitch circle; a rack point (u along the pitch line, v outward from
// the gear) seen from the gear turned by phi lies at Rot(-phi) (u - r phi, r + v),
// with the rack tooth at u = 0 cutting the space whose middle is at +90 degrees.
class RackCut
{
public:
    RackCut(double module, int teeth)
        : m_z(teeth)
        , m_r(module * teeth / 2.0)
        , m_rb(m_r * kCosPressure)
        , m_ra(TipRadius(module, teeth))
        , m_rf(RootRadius(module, teeth))
        , m_rho(kRackTipRadius * module)
        , m_quarterPitch(M_PI * module / 4.0)
    {
        const double s = kSinPressure, c = kCosPressure;
        // Centre of the rack's right tip rounding: tangent to the tip line and the flank.
        m_vc = -kDedendum * module + m_rho;
        m_uc = m_quarterPitch + m_vc * s / c - m_rho / c;
        // Flank points are parametrised by k: they lie k cos(pressure angle)
        // from the pitch point along the line of action, deeper as k grows.
        const double vTangent = m_vc - m_rho * s;
        m_kFilletJoin = -vTangent / (s * c);
        m_kBase = m_r * s / c;
        m_kTip = (m_r * s - std::sqrt(m_ra * m_ra - m_rb * m_rb)) / c;
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
        const double s = kSinPressure, c = kCosPressure;
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
        return (m_r * kSinPressure - std::sqrt(std::max(0.0, r * r - m_rb * m_rb))) / kCosPressure;
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
    double m_r, m_rb, m_ra, m_rf, m_rho, m_quarterPitch;
    double m_uc = 0.0, m_vc = 0.0;
    double m_kFilletJoin = 0.0, m_kBase = 0.0, m_kTip = 0.0;
};

void AddGear(EngineBuild::Part& part, const SGearParam& gear, double module, const QPointF& centre,
             double firstToothAxis)
{
    const RackCut cut(module, gear.nGCount);
    const QVector<QPointF> tooth = cut.Tooth();
    QPolygonF outline;
    outline.reserve(tooth.size() * gear.nGCount + 1);
    for (int i = 0; i < gear.nGCount; ++i) {
        const double axis = firstToothAxis + 2.0 * M_PI * i / gear.nGCount;
        const double c = std::cos(axis), s = std::sin(axis);
        for (const QPointF& p : tooth)
            outline << centre + QPointF(c * p.x() - s * p.y(), s * p.x() + c * p.y());
    }
    part.AddMain(new CShapeVector(ClosedPath(outline), CShape::LayerCut), true);
    if (gear.dCDiameter > 0.0)
        part.AddMain(new CShapeVector(Circle(centre, gear.dCDiameter / 2.0), CShape::LayerCut), true);
}

bool GearValid(EngineBuild::Part& part, const SGearParam& gear, const char* teeth, const char* bore, double module)
{
    if (!part.Require(teeth, gear.nGCount, CReferenceEngine::kMinTeeth, CReferenceEngine::kMaxTeeth))
        return false;
    return part.Require(bore, gear.dCDiameter, 0.0, 2.0 * RootRadius(module, gear.nGCount),
                        EngineBuild::Ends::OpenHigh);
}

} // namespace

bool CReferenceEngine::CreateGear(SGearBoxParam param, CShapeList* pMain)
{
    EngineBuild::Part part;
    const double m = param.dModulus;
    if (part.Require("dModulus", m, kMinModule, kMaxModule)
        && GearValid(part, param.sGear1, "sGear1.nGCount", "sGear1.dCDiameter", m)
        && GearValid(part, param.sGear2, "sGear2.nGCount", "sGear2.dCDiameter", m)) {
        const int z1 = param.sGear1.nGCount;
        const int z2 = param.sGear2.nGCount;
        const QPointF secondCentre(m * (z1 + z2) / 2.0, 0.0);
        AddGear(part, param.sGear1, m, QPointF(), 0.0);
        // Gear 1's tooth on +x enters the space of gear 2 that faces -x.
        AddGear(part, param.sGear2, m, secondCentre, M_PI + M_PI / z2);
        const double tip1 = TipRadius(m, z1), tip2 = TipRadius(m, z2);
        const double half = std::max(tip1, tip2);
        part.bounds = QRectF(QPointF(-tip1, -half), QPointF(secondCentre.x() + tip2, half));
    }
    return EngineBuild::Deliver("CreateGear", part, pMain, nullptr);
}
