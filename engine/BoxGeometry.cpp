// The right-angle box: six finger-jointed panels.
#include "ReferenceEngine.h"

#include "EngineBoxParts.h"
#include "EngineBuild.h"
#include "Curves.h"
#include "Joints.h"
#include "Offset.h"

#include <array>
#include <cmath>

using namespace EngineOutline;
using EngineBuild::FieldText;
using EngineBuild::Millimetres;
using EngineBoxParts::BoxFrame;
using EngineBoxParts::FlatPart;

namespace {

enum class Joint { Tabs, Slots, Plain };

struct EdgeSpec
{
    Joint joint;
    double dFinger;
};

// A panel of a x b in its own frame; edges in the order top, right, bottom, left.
struct PanelSpec
{
    double a;
    double b;
    std::array<EdgeSpec, 4> edges;
    bool bOwnsCorners;
};

// The stretch between an edge's two corners.
QVector<Run> EdgeRuns(const EdgeSpec& edge, double length, const BoxFrame& frame)
{
    const double t = frame.dThickness;
    const double inner = length - 2.0 * t;
    if (edge.joint == Joint::Plain)
        return {{t, length - t, 0.0}};
    const int count = FingerCount(inner, edge.dFinger, frame.dMinFinger);
    return FingerRuns(t, inner, count, edge.joint == Joint::Tabs, t);
}

QPolygonF PanelOutline(const PanelSpec& panel, const BoxFrame& frame)
{
    const double t = frame.dThickness;
    const double cornerDepth = panel.bOwnsCorners ? 0.0 : t;
    const std::array<QPointF, 4> corners{QPointF(0, 0), QPointF(panel.a, 0), QPointF(panel.a, panel.b),
                                         QPointF(0, panel.b)};
    const std::array<QPointF, 4> directions{QPointF(1, 0), QPointF(0, 1), QPointF(-1, 0), QPointF(0, -1)};
    QPolygonF outline;
    for (int k = 0; k < 4; ++k) {
        const EdgeFrame edge{corners[k], directions[k], InwardOf(directions[k])};
        const double length = k % 2 == 0 ? panel.a : panel.b;
        // A corner the panel does not own leaves a notch of one board thickness.
        outline << edge.At(panel.bOwnsCorners ? 0.0 : t, cornerDepth);
        AppendProfiledEdge(outline, edge, EdgeRuns(panel.edges[k], length, frame), cornerDepth, cornerDepth);
    }
    return OffsetOutward(CleanPolygon(outline), frame.dKerf / 2.0);
}

FlatPart MakePart(const PanelSpec& panel, const QString& label, const BoxFrame& frame)
{
    FlatPart part;
    part.size = QSizeF(panel.a, panel.b);
    part.outline = PanelOutline(panel, frame);
    part.label = label;
    part.labelCentre = QPointF(panel.a / 2.0, panel.b / 2.0);
    part.labelRoom = std::min(panel.a, panel.b) - 2.0 * frame.dThickness;
    return part;
}

void BuildPanels(const SRectBoxParam& param, const BoxFrame& frame, const SFaceLabels* pLabels,
                 EngineBuild::Part& part, bool withAux)
{
    const double L = frame.dLength, W = frame.dWidth, H = frame.dHeight;
    const double xFinger = param.dFluteOfWidth, yFinger = param.dFluteOfHeight, zFinger = param.dFluteOfDepth;
    const Joint wallToTop = param.bNoTop ? Joint::Plain : Joint::Tabs;
    const Joint wallToBottom = param.bNoBottom ? Joint::Plain : Joint::Tabs;
    const Joint sideToTop = param.bNoTop ? Joint::Plain : Joint::Slots;
    const Joint sideToBottom = param.bNoBottom ? Joint::Plain : Joint::Slots;
    const PanelSpec frontBack{
        L, H, {{{wallToTop, xFinger}, {Joint::Tabs, zFinger}, {wallToBottom, xFinger}, {Joint::Tabs, zFinger}}}, true};
    const PanelSpec leftRight{
        W, H, {{{sideToTop, yFinger}, {Joint::Slots, zFinger}, {sideToBottom, yFinger}, {Joint::Slots, zFinger}}}, false};
    const PanelSpec cover{
        L, W, {{{Joint::Slots, xFinger}, {Joint::Tabs, yFinger}, {Joint::Slots, xFinger}, {Joint::Tabs, yFinger}}}, false};

    SFaceLabels names;
    if (pLabels)
        names = *pLabels;
    QVector<QVector<FlatPart>> rows(3);
    rows[0] << MakePart(frontBack, FieldText(names.szFront), frame)
            << MakePart(frontBack, FieldText(names.szBehind), frame);
    rows[1] << MakePart(leftRight, FieldText(names.szLeft), frame)
            << MakePart(leftRight, FieldText(names.szRight), frame);
    if (!param.bNoTop)
        rows[2] << MakePart(cover, FieldText(names.szTop), frame);
    if (!param.bNoBottom)
        rows[2] << MakePart(cover, FieldText(names.szBottom), frame);

    EngineBoxParts::LayOutRows(rows, frame.dKerf, part);
    EngineBoxParts::EmitParts(rows, part, withAux);
}

// A side too short for three fingers still makes a box, glued butt to butt;
// the maker is told, with the side fingers would need.
void SayButtJoints(const SRectBoxParam& param, const BoxFrame& frame, EngineBuild::Part& part)
{
    const double t = frame.dThickness, grow = param.bInSize ? 2.0 * t : 0.0;
    const double least = 2.0 * t + kMinFingersForJoint * frame.dMinFinger - grow;
    const bool covered = !param.bNoTop || !param.bNoBottom;
    const struct
    {
        const char* name; // as the dialog labels it
        double side;
        bool jointed;
    } sides[] = {{"Length", frame.dLength, covered}, {"Width", frame.dWidth, covered}, {"Height", frame.dHeight, true}};
    QStringList shortSides;
    for (const auto& side : sides)
        if (side.jointed && FingerCount(side.side - 2.0 * t, frame.dMinFinger, frame.dMinFinger) < kMinFingersForJoint)
            shortSides << QStringLiteral("%1 %2").arg(QLatin1String(side.name), Millimetres(side.side - grow));
    if (shortSides.isEmpty())
        return;
    const bool one = shortSides.size() == 1;
    const QString last = shortSides.takeLast();
    part.Adjust(QStringLiteral("%1 %2 too short for fingers between two %3 boards, so %4 cut butt to butt, to be "
                               "glued: fingers need at least %5")
                    .arg(one ? last : shortSides.join(QStringLiteral(", ")) + QStringLiteral(" and ") + last,
                         QLatin1String(one ? "is" : "are"), Millimetres(t),
                         QLatin1String(one ? "its joints are" : "their joints are"),
                         Millimetres(std::ceil(least * 100.0 - 1e-6) / 100.0)));
}

} // namespace

bool CReferenceEngine::CreateRectBox(SRectBoxParam param, CShapeList* pMain, CShapeList* pAux, SFaceLabels* pLabels)
{
    EngineBuild::ReadFlags(param);
    EngineBuild::Part part;
    BoxFrame frame;
    if (EngineBoxParts::ResolveBoxFrame(param, &frame, part)
        && EngineBoxParts::FingerSizeValid("dFluteOfWidth", param.dFluteOfWidth, part)
        && EngineBoxParts::FingerSizeValid("dFluteOfHeight", param.dFluteOfHeight, part)
        && EngineBoxParts::FingerSizeValid("dFluteOfDepth", param.dFluteOfDepth, part)) {
        SayButtJoints(param, frame, part);
        BuildPanels(param, frame, pLabels, part, pAux != nullptr);
    }
    return EngineBuild::Deliver("CreateRectBox", part, pMain, pAux, &m_report);
}
