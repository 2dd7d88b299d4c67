// The rounded box: two rounded covers inside one wall strip with living hinges.
#include "ReferenceEngine.h"

#include "EngineBoxParts.h"
#include "EngineBuild.h"
#include "Curves.h"
#include "Joints.h"
#include "Offset.h"

#include <QtMath>
#include <algorithm>
#include <array>
#include <cmath>

using namespace EngineOutline;
using EngineBoxParts::BoxFrame;
using EngineBoxParts::FlatPart;

namespace {

using EngineBuild::Changed;
using EngineBuild::Millimetres;

constexpr int kSides = 4;
constexpr int kThirdSide = 2;
constexpr int kMaxHingeColumns = 500; // per bend zone; spacing widens beyond it
constexpr double kBend = M_PI_2;      // every corner of the box
// Values the user is told about are ones the dialog can show: 0.01 mm.
constexpr double kShownStep = 0.01;
// Fine enough for a spacing or a radius to the shown step.
constexpr int kSearchSteps = 40;

// Walking clockwise on screen from the start of the front side.
const std::array<QPointF, kSides> kSideDirections{QPointF(1, 0), QPointF(0, 1), QPointF(-1, 0), QPointF(0, -1)};

// The pattern every bend zone gets once the hinge rules hold.
struct Hinge
{
    double dSpacing = 0.0; // between slit columns
    double dBridge = 0.0;
    int nSlits = 1;        // in a column that is not shifted
};

struct RoundedPlan
{
    BoxFrame frame;
    double dRadius = 0.0;
    double dBend = 0.0; // one bend's length along the strip's neutral line
    std::array<double, kSides> straight{};
    std::array<int, kSides> fingers{}; // 0: a plain side
    double dStripLength = 0.0;
    Hinge hinge;

    double SideStart(int k) const
    {
        double s = 0.0;
        for (int i = 0; i < k; ++i)
            s += straight[i] + dBend;
        return s;
    }
};

double BendLength(double radius, double thickness)
{
    return kBend * (radius - thickness / 2.0);
}

double SlitLength(double height, double bridge, int slits)
{
    return (height - (slits + 1) * bridge) / slits;
}

// The outer columns keep half a spacing, and a bridge beyond the kerf, from
// the zone's ends: the strip's outline and the slots there lie half a kerf out.
double ColumnMargin(double spacing, double kerf)
{
    return std::max(spacing / 2.0, CReferenceEngine::kMinHingeBridge + kerf / 2.0);
}

int ColumnsFitting(double bend, double spacing, double kerf)
{
    const double room = bend - 2.0 * ColumnMargin(spacing, kerf);
    return room < 0.0 ? 0 : int(std::min(room / spacing, double(kMaxHingeColumns - 1))) + 1;
}

// The spacing the columns get: as planned, or wider where a long bend would
// need more than kMaxHingeColumns.
double ColumnSpacing(double bend, double spacing, double kerf)
{
    const double room = bend - 2.0 * ColumnMargin(spacing, kerf);
    return ColumnsFitting(bend, spacing, kerf) == kMaxHingeColumns ? std::max(spacing, room / (kMaxHingeColumns - 1))
                                                                  : spacing;
}

// The bend one bar between two columns takes, in radians: its twist within
// the working shear strain, and no more than closes the slit's inner side.
double BendPerBar(const BoxFrame& f, double spacing, const Hinge& h)
{
    const double twistLength = (SlitLength(f.dHeight, h.dBridge, h.nSlits) - h.dBridge) / 2.0;
    const double bar = std::min(spacing - f.dKerf, f.dThickness);
    const double slitWidth = std::max(f.dKerf, CReferenceEngine::kMinSlitWidth);
    return std::min(CReferenceEngine::kHingeShearStrain * twistLength / bar, 2.0 * slitWidth / f.dThickness);
}

// Columns a bend needs, their bars sharing its 90 degrees.
int ColumnsNeeded(const BoxFrame& f, double bend, const Hinge& h)
{
    const double bars = std::ceil(kBend / BendPerBar(f, ColumnSpacing(bend, h.dSpacing, f.dKerf), h) - 1e-9);
    return bars < kMaxHingeColumns ? int(bars) + 1 : kMaxHingeColumns + 1;
}

bool HingeHolds(const BoxFrame& f, double bend, const Hinge& h)
{
    return ColumnsFitting(bend, h.dSpacing, f.dKerf) >= ColumnsNeeded(f, bend, h);
}

double ShownDown(double value)
{
    return std::floor(value / kShownStep + 1e-9) * kShownStep;
}

// Where holds(x) turns, found to far below the shown step: the largest x in
// [low, high] for which it holds, given it holds at low and not at high
// (bLeast false), or the least, given it does not at low and does at high.
// Rounded to the shown step when the rounded value still lies within and holds.
template <typename Holds>
double Turning(double low, double high, bool bLeast, Holds holds)
{
    const double lowest = low, highest = high;
    for (int i = 0; i < kSearchSteps; ++i) {
        const double middle = (low + high) / 2.0;
        (holds(middle) != bLeast ? low : high) = middle;
    }
    const double found = bLeast ? high : low;
    const double shown = bLeast ? std::ceil(found / kShownStep - 1e-9) * kShownStep : ShownDown(found);
    return shown >= lowest && shown <= highest && holds(shown) ? shown : found;
}

// The widest column spacing up to `wanted` at which the hinge holds, or 0
// when not even the narrowest does.
double WorkingSpacing(const BoxFrame& f, double bend, Hinge h, double wanted)
{
    const double narrowest = CReferenceEngine::kMinHingeBridge + f.dKerf;
    h.dSpacing = wanted;
    if (HingeHolds(f, bend, h))
        return wanted;
    h.dSpacing = narrowest;
    if (!HingeHolds(f, bend, h))
        return 0.0;
    return Turning(narrowest, wanted, false, [&](double spacing) {
        h.dSpacing = spacing;
        return HingeHolds(f, bend, h);
    });
}

// Slits at least kSlitToBridge bridges long: fewer of them, and with one
// too short, narrower bridges. False, and the part refused, when the strip is
// too low even for one slit on the narrowest bridges.
bool LongEnoughSlits(const BoxFrame& f, Hinge& h, EngineBuild::Part& part)
{
    const double ratio = CReferenceEngine::kSlitToBridge;
    while (h.nSlits > 1 && SlitLength(f.dHeight, h.dBridge, h.nSlits) < ratio * h.dBridge)
        --h.nSlits;
    if (SlitLength(f.dHeight, h.dBridge, 1) >= ratio * h.dBridge)
        return true;
    const double narrowest = CReferenceEngine::kMinHingeBridge + f.dKerf;
    h.dBridge = ShownDown(f.dHeight / (ratio + 2.0));
    if (h.dBridge >= narrowest)
        return true;
    part.Refuse(QStringLiteral("Height %1 is too low for a hinge: it needs at least %2")
                    .arg(Millimetres(f.dHeight),
                         Millimetres(std::ceil((ratio + 2.0) * narrowest / kShownStep - 1e-9) * kShownStep)));
    return false;
}

// The asked pattern brought to one that holds, each change a clause in
// `changes`. False when no pattern holds, the part refused when the strip is
// too low for one.
bool PlanHinge(const SCornerParam& corner, RoundedPlan& plan, EngineBuild::Part& part, QStringList& changes)
{
    const BoxFrame& f = plan.frame;
    const double narrowest = CReferenceEngine::kMinHingeBridge + f.dKerf;
    Hinge& h = plan.hinge;
    h.dBridge = std::max(corner.dYSpace, narrowest);
    if (h.dBridge > corner.dYSpace)
        changes << Changed("Y spacing", corner.dYSpace, h.dBridge)
                       + QStringLiteral(", the narrowest bridge that holds");
    const int asked = std::clamp(int(corner.nYCount), 1, CReferenceEngine::kMaxSlitsPerColumn);
    if (asked != corner.nYCount)
        changes << Changed("Y count", corner.nYCount, asked, false)
                       + (asked > corner.nYCount ? QStringLiteral(", one slit")
                                                 : QStringLiteral(", the most a column takes"));
    h.nSlits = asked;
    const double bridge = h.dBridge;
    if (!LongEnoughSlits(f, h, part))
        return false;
    const int forLength = h.nSlits;
    // Fewer, longer slits twist further: as many as still let a hinge hold.
    h.dSpacing = narrowest;
    while (h.nSlits > 1 && !HingeHolds(f, plan.dBend, h))
        --h.nSlits;
    if (!HingeHolds(f, plan.dBend, h))
        return false;

    QStringList what, why;
    if (h.nSlits < asked)
        what << Changed("Y count", asked, h.nSlits, false);
    if (h.dBridge < bridge)
        what << Changed("Y spacing", bridge, h.dBridge);
    if (forLength < asked || h.dBridge < bridge)
        why << QStringLiteral("every slit is at least %1 times as long as its bridge")
                   .arg(CReferenceEngine::kSlitToBridge);
    if (h.nSlits < forLength)
        why << QStringLiteral("the slits are long enough to twist");
    if (!what.isEmpty())
        changes << what.join(QStringLiteral(" and ")) + QStringLiteral(" so that ") + why.join(QStringLiteral(" and "));

    const double wanted = std::max(corner.dXSpace, narrowest);
    if (wanted > corner.dXSpace)
        changes << Changed("X spacing", corner.dXSpace, wanted) + QStringLiteral(", the narrowest bar that holds");
    h.dSpacing = WorkingSpacing(f, plan.dBend, h, wanted);
    if (h.dSpacing < wanted)
        changes << Changed("X spacing", wanted, h.dSpacing)
                       + QStringLiteral(" so that each bend has the %1 slit columns %2 board needs")
                             .arg(ColumnsNeeded(f, plan.dBend, h))
                             .arg(Millimetres(f.dThickness));
    return true;
}

// Whether a pattern with these bridges holds on a bend of this radius: one
// slit per column, as long as the bridges allow, twists furthest, and the
// narrowest spacing gives the most columns.
bool SomeHingeHolds(const BoxFrame& f, double bridge, double radius)
{
    return HingeHolds(f, BendLength(radius, f.dThickness), {CReferenceEngine::kMinHingeBridge + f.dKerf, bridge, 1});
}

// The refusal when no pattern holds: the least radius that would take one.
void RefuseHinge(const RoundedPlan& plan, double asked, double largest, EngineBuild::Part& part)
{
    const BoxFrame& f = plan.frame;
    const QString board =
        QStringLiteral("%1 board with a %2 kerf").arg(Millimetres(f.dThickness), Millimetres(f.dKerf));
    const double far = CReferenceEngine::kMaxBoxSide / 2.0;
    const double bridge = plan.hinge.dBridge;
    if (!SomeHingeHolds(f, bridge, far)) {
        part.Refuse(QStringLiteral("No hinge can wrap a corner of %1").arg(board));
        return;
    }
    const double least = Turning(plan.dRadius, far, true, [&](double r) { return SomeHingeHolds(f, bridge, r); });
    if (least <= largest)
        part.Refuse(QStringLiteral("Radius %1 is too tight for a hinge in %2: it needs at least %3")
                        .arg(Millimetres(asked), board, Millimetres(least)));
    else
        part.Refuse(QStringLiteral("A hinge in %1 needs a radius of at least %2, which needs a box at least %3 long "
                                   "and wide")
                        .arg(board, Millimetres(least), Millimetres(2.0 * least)));
}

bool MakePlan(const SFilletBoxParam& param, RoundedPlan* pPlan, EngineBuild::Part& part)
{
    RoundedPlan plan;
    const SCornerParam& corner = param.sCorner;
    const double most = CReferenceEngine::kMaxBoxSide;
    if (!EngineBoxParts::ResolveBoxFrame(param, &plan.frame, part)
        || !EngineBoxParts::FingerSizeValid("dFluteOfWidth", param.dFluteOfWidth, part)
        || !EngineBoxParts::FingerSizeValid("dFluteOfHeight", param.dFluteOfHeight, part)
        || !part.Require("sCorner.dRadius", corner.dRadius, 0.0, most)
        || !part.Require("sCorner.dXSpace", corner.dXSpace, 0.0, most)
        || !part.Require("sCorner.dYSpace", corner.dYSpace, 0.0, most))
        return false;
    const BoxFrame& f = plan.frame;
    const double largest = std::min(f.dLength, f.dWidth) / 2.0;
    plan.dRadius = std::clamp(corner.dRadius, f.dThickness, largest);
    QStringList changes;
    if (plan.dRadius != corner.dRadius)
        changes << Changed("Radius", corner.dRadius, plan.dRadius)
                       + (plan.dRadius > corner.dRadius ? QStringLiteral(", the board's thickness")
                                                        : QStringLiteral(", half the box's shorter side"));
    plan.dBend = BendLength(plan.dRadius, f.dThickness);
    if (!PlanHinge(corner, plan, part, changes)) {
        RefuseHinge(plan, corner.dRadius, largest, part);
        return false;
    }
    if (!changes.isEmpty())
        part.Adjust(changes.join(QStringLiteral("; ")));
    for (int k = 0; k < kSides; ++k) {
        const bool lengthSide = k % 2 == 0;
        plan.straight[k] = (lengthSide ? f.dLength : f.dWidth) - 2.0 * plan.dRadius;
        const bool plain = (k == kThirdSide && param.bNoFlute3Edge) || plan.straight[k] < f.dMinFinger;
        const double finger = lengthSide ? param.dFluteOfHeight : param.dFluteOfWidth;
        plan.fingers[k] = plain ? 0 : FingerCount(plan.straight[k], finger, f.dMinFinger);
        plan.dStripLength += plan.straight[k] + plan.dBend;
    }
    *pPlan = plan;
    return true;
}

// A cover sits inside the strip: cut back by one board except for its tabs.
QPolygonF CoverOutline(const RoundedPlan& plan)
{
    const double t = plan.frame.dThickness;
    const double r = plan.dRadius;
    QPolygonF outline;
    QPointF start(r, 0.0);
    for (int k = 0; k < kSides; ++k) {
        const EdgeFrame edge{start, kSideDirections[k], InwardOf(kSideDirections[k])};
        const double length = plan.straight[k];
        if (length > 0.0) {
            const QVector<Run> runs = plan.fingers[k] > 0 ? FingerRuns(0.0, length, plan.fingers[k], true, t)
                                                          : QVector<Run>{{0.0, length, t}};
            AppendProfiledEdge(outline, edge, runs, t, t);
        }
        const QPointF centre = edge.At(length, r);
        const QPointF toStart = -edge.inward;
        const double a0 = std::atan2(toStart.y(), toStart.x());
        outline << ArcPoints(centre, r - t, a0, a0 + M_PI_2, kChordTolerance);
        start = centre - InwardOf(kSideDirections[(k + 1) % kSides]) * r;
    }
    return OffsetOutward(CleanPolygon(outline), plan.frame.dKerf / 2.0);
}

// One long edge of the strip: slots facing a cover's tabs, full elsewhere.
QVector<Run> StripEdgeRuns(const RoundedPlan& plan, bool bCovered)
{
    if (!bCovered)
        return {{0.0, plan.dStripLength, 0.0}};
    QVector<Run> runs;
    for (int k = 0; k < kSides; ++k) {
        const double s = plan.SideStart(k);
        if (plan.fingers[k] > 0)
            runs += FingerRuns(s, plan.straight[k], plan.fingers[k], false, plan.frame.dThickness);
        else if (plan.straight[k] > 0.0)
            runs.append({s, s + plan.straight[k], 0.0});
        runs.append({s + plan.straight[k], s + plan.straight[k] + plan.dBend, 0.0});
    }
    return runs;
}

QPolygonF StripOutline(const RoundedPlan& plan, bool bTopCovered, bool bBottomCovered)
{
    const double P = plan.dStripLength;
    const double H = plan.frame.dHeight;
    const QVector<Run> top = StripEdgeRuns(plan, bTopCovered);
    const QVector<Run> bottom = ReversedRuns(StripEdgeRuns(plan, bBottomCovered), P);
    QPolygonF outline;
    AppendProfiledEdge(outline, {QPointF(0, 0), QPointF(1, 0), QPointF(0, 1)}, top, top.first().depth,
                       top.last().depth);
    AppendProfiledEdge(outline, {QPointF(P, H), QPointF(-1, 0), QPointF(0, -1)}, bottom, bottom.first().depth,
                       bottom.last().depth);
    return OffsetOutward(CleanPolygon(outline), plan.frame.dKerf / 2.0);
}

// Slit spans [y0, y1] of one hinge column; odd columns put their bridges
// in the middle of the even columns' slits, so that their end slits are
// half as long less half a bridge.
QVector<QPair<double, double>> ColumnSlits(double height, const Hinge& hinge, bool shifted)
{
    const double bridge = hinge.dBridge;
    const double slit = SlitLength(height, bridge, hinge.nSlits);
    const double pitch = slit + bridge;
    QVector<QPair<double, double>> spans;
    for (int i = 0; i < hinge.nSlits; ++i) {
        const double y0 = bridge + i * pitch;
        if (!shifted) {
            spans.append({y0, y0 + slit});
            continue;
        }
        const double middle = y0 + slit / 2.0;
        spans.append({i == 0 ? bridge : middle - pitch + bridge / 2.0, middle - bridge / 2.0});
        if (i + 1 == hinge.nSlits)
            spans.append({middle + bridge / 2.0, height - bridge});
    }
    return spans;
}

QPainterPath HingeSlits(const RoundedPlan& plan, double zoneStart)
{
    const Hinge& hinge = plan.hinge;
    const int columns = ColumnsFitting(plan.dBend, hinge.dSpacing, plan.frame.dKerf);
    const double spacing = ColumnSpacing(plan.dBend, hinge.dSpacing, plan.frame.dKerf);
    const double first = zoneStart + (plan.dBend - (columns - 1) * spacing) / 2.0;
    const QVector<QPair<double, double>> spans[2] = {ColumnSlits(plan.frame.dHeight, hinge, false),
                                                     ColumnSlits(plan.frame.dHeight, hinge, true)};
    QPainterPath slits;
    slits.reserve(2 * columns * (hinge.nSlits + 1));
    for (int c = 0; c < columns; ++c) {
        const double x = first + c * spacing;
        for (const auto& span : spans[c % 2]) {
            slits.moveTo(x, span.first);
            slits.lineTo(x, span.second);
        }
    }
    return slits;
}

FlatPart CoverPart(const RoundedPlan& plan)
{
    FlatPart part;
    part.size = QSizeF(plan.frame.dLength, plan.frame.dWidth);
    part.outline = CoverOutline(plan);
    return part;
}

FlatPart StripPart(const RoundedPlan& plan, const SFilletBoxParam& param)
{
    FlatPart part;
    part.size = QSizeF(plan.dStripLength, plan.frame.dHeight);
    part.outline = StripOutline(plan, !param.bNoTop, !param.bNoBottom);
    for (int k = 0; k < kSides; ++k) {
        const double zoneStart = plan.SideStart(k) + plan.straight[k];
        part.cuts.append(HingeSlits(plan, zoneStart));
        QPainterPath zone;
        zone.addRect(QRectF(zoneStart, 0.0, plan.dBend, plan.frame.dHeight));
        part.marks.append(zone);
    }
    return part;
}

} // namespace

bool CReferenceEngine::CreateFilletBox(SFilletBoxParam param, CShapeList* pMain, CShapeList* pAux)
{
    EngineBuild::ReadFlags(param);
    EngineBuild::Part part;
    RoundedPlan plan;
    if (MakePlan(param, &plan, part)) {
        QVector<QVector<FlatPart>> rows(2);
        if (!param.bNoTop)
            rows[0] << CoverPart(plan);
        if (!param.bNoBottom)
            rows[0] << CoverPart(plan);
        rows[1] << StripPart(plan, param);
        EngineBoxParts::LayOutRows(rows, plan.frame.dKerf, part);
        EngineBoxParts::EmitParts(rows, part, pAux != nullptr);
    }
    return EngineBuild::Deliver("CreateFilletBox", part, pMain, pAux, &m_report);
}
