// The rounded box: two rounded covers inside one wall strip with living hinges.
#include "ReferenceEngine.h"

#include "EngineBoxParts.h"
#include "EngineBuild.h"
#include "EngineOutline.h"

#include <QtMath>
#include <algorithm>
#include <array>
#include <cmath>

using namespace EngineOutline;
using EngineBoxParts::BoxFrame;
using EngineBoxParts::FlatPart;

namespace {

constexpr int kSides = 4;
constexpr int kThirdSide = 2;
constexpr int kMaxHingeColumns = 500; // per bend zone; spacing widens beyond it
constexpr double kMinSlitLength = 0.5;

// Walking clockwise on screen from the start of the front side.
const std::array<QPointF, kSides> kSideDirections{QPointF(1, 0), QPointF(0, 1), QPointF(-1, 0), QPointF(0, -1)};

struct RoundedPlan
{
    BoxFrame frame;
    double dRadius = 0.0;
    double dBend = 0.0; // one bend's length along the strip's neutral line
    std::array<double, kSides> straight{};
    std::array<int, kSides> fingers{}; // 0: a plain side
    double dStripLength = 0.0;

    double SideStart(int k) const
    {
        double s = 0.0;
        for (int i = 0; i < k; ++i)
            s += straight[i] + dBend;
        return s;
    }
};

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
    plan.dRadius = std::clamp(corner.dRadius, f.dThickness, std::min(f.dLength, f.dWidth) / 2.0);
    plan.dBend = M_PI_2 * (plan.dRadius - f.dThickness / 2.0);
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
// in the middle of the even columns' slits.
QVector<QPair<double, double>> ColumnSlits(double height, double bridge, int count, bool shifted)
{
    double slit = 0.0;
    while (count > 0 && (slit = (height - 2.0 * bridge - (count - 1) * bridge) / count) < kMinSlitLength)
        --count;
    QVector<QPair<double, double>> spans;
    const double pitch = slit + bridge;
    for (int i = 0; i < count; ++i) {
        const double y0 = bridge + i * pitch;
        if (!shifted) {
            spans.append({y0, y0 + slit});
            continue;
        }
        const double middle = y0 + slit / 2.0;
        const double from = i == 0 ? bridge : middle - pitch + bridge / 2.0;
        spans.append({from, middle - bridge / 2.0});
        if (i + 1 == count)
            spans.append({middle + bridge / 2.0, height - bridge});
    }
    spans.erase(std::remove_if(spans.begin(), spans.end(),
                               [](const QPair<double, double>& s) { return s.second - s.first < kMinSlitLength; }),
                spans.end());
    return spans;
}

QPainterPath HingeSlits(const RoundedPlan& plan, const SCornerParam& corner, double zoneStart)
{
    // The beam takes half its width from each side of a cut line, so any two
    // cut lines stay the kerf plus the floor apart.
    const double kerf = plan.frame.dKerf;
    const double leastGap = CReferenceEngine::kMinHingeBridge + kerf;
    const double spacingWanted = std::max(corner.dXSpace, leastGap);
    // The strip's outline and the slots that end at the zone lie half a kerf
    // outside their nominal line.
    const double margin = std::max(spacingWanted / 2.0, leastGap - kerf / 2.0);
    const double room = plan.dBend - 2.0 * margin;
    QPainterPath slits;
    if (room < 0.0)
        return slits;
    const int columns = int(std::min(room / spacingWanted, double(kMaxHingeColumns - 1))) + 1;
    const double spacing = columns > 1 ? std::max(spacingWanted, room / (kMaxHingeColumns - 1)) : 0.0;
    const double first = zoneStart + (plan.dBend - (columns - 1) * spacing) / 2.0;
    const double bridge = std::max(corner.dYSpace, leastGap);
    const int count = std::clamp(int(corner.nYCount), 1, CReferenceEngine::kMaxSlitsPerColumn);

    const QVector<QPair<double, double>> spans[2] = {ColumnSlits(plan.frame.dHeight, bridge, count, false),
                                                     ColumnSlits(plan.frame.dHeight, bridge, count, true)};
    slits.reserve(2 * columns * (count + 1));
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
        part.cuts.append(HingeSlits(plan, param.sCorner, zoneStart));
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
    return EngineBuild::Deliver("CreateFilletBox", part, pMain, pAux);
}
