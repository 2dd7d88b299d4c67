// A pair of meshing involute spur gears.
#include "ReferenceEngine.h"

#include "CShape.h"
#include "CShapeList.h"
#include "EngineOutline.h"

#include <QtMath>
#include <cmath>

using namespace EngineOutline;

namespace {

const double kPressureAngle = qDegreesToRadians(20.0);
constexpr double kAddendum = 1.0;  // in modules
constexpr double kDedendum = 1.25; // in modules
constexpr int kFlankSamples = 16;
constexpr int kRootArcSamples = 6;
constexpr int kTipArcSamples = 4;
constexpr int kBoreSegments = 72;

double Involute(double angle) { return std::tan(angle) - angle; }

struct ToothForm
{
    int nTeeth;
    double dBase;  // base circle radius
    double dTip;
    double dRoot;
    double dFlankStart; // where the involute starts: base or root circle, whichever is larger
    double dHalfPitchAngle;

    ToothForm(double module, int teeth)
        : nTeeth(teeth)
        , dBase(module * teeth / 2.0 * std::cos(kPressureAngle))
        , dTip(module * (teeth + 2.0 * kAddendum) / 2.0)
        , dRoot(module * (teeth - 2.0 * kDedendum) / 2.0)
        , dFlankStart(std::max(dBase, dRoot))
        , dHalfPitchAngle(M_PI / teeth)
    {
    }

    // Half the tooth's angular width at radius r (>= base radius).
    double HalfThicknessAngle(double r) const
    {
        const double atPitch = dHalfPitchAngle / 2.0 + Involute(kPressureAngle);
        return atPitch - Involute(std::acos(std::min(1.0, dBase / r)));
    }
};

QPointF Polar(const QPointF& centre, double radius, double angle)
{
    return centre + radius * QPointF(std::cos(angle), std::sin(angle));
}

// Points on an arc from a0 towards a1, the end left for whatever follows.
void AppendArc(QPolygonF& outline, const QPointF& centre, double radius, double a0, double a1, int segments)
{
    for (int i = 0; i < segments; ++i)
        outline << Polar(centre, radius, a0 + (a1 - a0) * i / segments);
}

// One tooth centred on `axis` and the root arc that follows it.
void AppendTooth(QPolygonF& outline, const ToothForm& form, const QPointF& centre, double axis)
{
    auto flankRadius = [&](int i) {
        return form.dFlankStart + (form.dTip - form.dFlankStart) * i / kFlankSamples;
    };
    const double rootHalf = form.HalfThicknessAngle(form.dFlankStart);
    const double tipHalf = form.HalfThicknessAngle(form.dTip);
    // Below the base circle the flank runs on radially down to the root.
    outline << Polar(centre, form.dRoot, axis - rootHalf);
    for (int i = 0; i <= kFlankSamples; ++i)
        outline << Polar(centre, flankRadius(i), axis - form.HalfThicknessAngle(flankRadius(i)));
    AppendArc(outline, centre, form.dTip, axis - tipHalf, axis + tipHalf, kTipArcSamples);
    for (int i = kFlankSamples; i >= 0; --i)
        outline << Polar(centre, flankRadius(i), axis + form.HalfThicknessAngle(flankRadius(i)));
    AppendArc(outline, centre, form.dRoot, axis + rootHalf, axis + 2.0 * form.dHalfPitchAngle - rootHalf,
              kRootArcSamples);
}

QPolygonF GearOutline(const ToothForm& form, const QPointF& centre, double firstToothAxis)
{
    QPolygonF outline;
    outline.reserve(form.nTeeth * (2 * kFlankSamples + kRootArcSamples + kTipArcSamples + 4));
    for (int i = 0; i < form.nTeeth; ++i)
        AppendTooth(outline, form, centre, firstToothAxis + 2.0 * form.dHalfPitchAngle * i);
    return CleanPolygon(outline);
}

QPainterPath Bore(const QPointF& centre, double diameter)
{
    QPolygonF circle;
    for (int i = 0; i < kBoreSegments; ++i)
        circle << Polar(centre, diameter / 2.0, 2.0 * M_PI * i / kBoreSegments);
    return ClosedPath(circle);
}

bool GearValid(const SGearParam& gear, double module)
{
    if (gear.nGCount < CReferenceEngine::kMinTeeth || gear.nGCount > CReferenceEngine::kMaxTeeth)
        return false;
    const ToothForm form(module, gear.nGCount);
    return InRange(gear.dCDiameter, 0.0, 2.0 * form.dRoot) && gear.dCDiameter < 2.0 * form.dRoot;
}

void AddGear(CShapeList* pMain, const SGearParam& gear, double module, const QPointF& centre, double firstToothAxis)
{
    const ToothForm form(module, gear.nGCount);
    pMain->AddTail(new CShapeVector(ClosedPath(GearOutline(form, centre, firstToothAxis)), CShape::LayerCut));
    if (gear.dCDiameter > 0.0)
        pMain->AddTail(new CShapeVector(Bore(centre, gear.dCDiameter), CShape::LayerCut));
}

} // namespace

bool CReferenceEngine::CreateGear(SGearBoxParam param, CShapeList* pMain)
{
    const double m = param.dModulus;
    if (!pMain || !InRange(m, 0.0, kMaxModule) || !(m > 0.0))
        return false;
    if (!GearValid(param.sGear1, m) || !GearValid(param.sGear2, m))
        return false;

    const int z1 = param.sGear1.nGCount;
    const int z2 = param.sGear2.nGCount;
    const QPointF secondCentre(m * (z1 + z2) / 2.0, 0.0);
    AddGear(pMain, param.sGear1, m, QPointF(), 0.0);
    // Gear 1's tooth on +x enters the space of gear 2 that faces -x.
    AddGear(pMain, param.sGear2, m, secondCentre, M_PI + M_PI / z2);
    return true;
}
