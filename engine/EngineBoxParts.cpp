#include "EngineBoxParts.h"

#include "CShape.h"
#include "EngineBuild.h"
#include "Curves.h"
#include "ReferenceEngine.h"
#include "TextOutline.h"

#include <algorithm>
#include <cmath>

namespace EngineBoxParts {

using EngineBuild::Millimetres;

namespace {
constexpr double kPartGap = 5.0;
constexpr double kLabelHeightShare = 0.2; // of the room a label may take
constexpr double kMinLabelHeight = 1.0;
constexpr double kMaxLabelHeight = 10.0;
constexpr double kLabelWidthShare = 0.8;

// In the general text face: a face name is no place for a font choice.
CShape* CentredLabel(const QString& text, const QPointF& centre, double room)
{
    const double height = std::clamp(room * kLabelHeightShare, kMinLabelHeight, kMaxLabelHeight);
    CShapeText probe(text, QString(), height);
    const QRectF bounds = probe.GetPath(true)->boundingRect();
    if (bounds.isEmpty())
        return nullptr;
    const double shrink = std::min(1.0, room * kLabelWidthShare / bounds.width());
    auto* label = new CShapeText(text, QString(), height * shrink);
    // A text's outline scales with its height: no second layout to find it.
    const QRectF fitted(bounds.topLeft() * shrink, bounds.size() * shrink);
    label->SetTransform(QTransform::fromTranslate(centre.x() - fitted.center().x(),
                                                  centre.y() - fitted.center().y()));
    return label;
}
} // namespace

bool ResolveBoxFrame(const SRectBoxParam& param, BoxFrame* pFrame, EngineBuild::Part& part)
{
    using EngineBuild::Ends;
    const double t = param.dThickness;
    if (!part.Require("dThickness", t, 0.0, CReferenceEngine::kMaxThickness, Ends::OpenLow))
        return false;
    // The kerf stays below the board.
    const bool boardBounds = t <= CReferenceEngine::kMaxKerf;
    if (!part.Require("dLaserWidth", param.dLaserWidth, 0.0, boardBounds ? t : CReferenceEngine::kMaxKerf,
                      boardBounds ? Ends::OpenHigh : Ends::Closed))
        return false;

    const double grow = param.bInSize ? 2.0 * t : 0.0;
    BoxFrame frame;
    frame.dThickness = t;
    frame.dKerf = param.dLaserWidth;
    frame.dMinFinger = std::max(CReferenceEngine::kMinFingerWidth, 2.0 * frame.dKerf);
    const double low = 2.0 * t + frame.dMinFinger - grow, high = CReferenceEngine::kMaxBoxSide - grow;
    const struct
    {
        const char* field;
        const char* name; // as the dialog labels it
        double value;
    } sides[] = {{"dWidth", "Length", param.dWidth},
                 {"dDepth", "Width", param.dDepth},
                 {"dHeight", "Height", param.dHeight}};
    for (const auto& side : sides) {
        // Too short to hold two boards and one finger between them: what
        // would do, the side or the board.
        if (std::isfinite(side.value) && side.value < low && side.value <= high) {
            const double board = (side.value + grow - frame.dMinFinger) / 2.0;
            QString sentence = QStringLiteral("%1 %2 leaves no room for a finger between two %3 boards: it needs "
                                              "at least %4")
                                   .arg(QLatin1String(side.name), Millimetres(side.value), Millimetres(t),
                                        Millimetres(std::ceil(low * 100.0 - 1e-6) / 100.0));
            if (!param.bInSize && board > 0.0)
                sentence += QStringLiteral(", or a board of at most %1")
                                .arg(Millimetres(std::floor(board * 100.0) / 100.0));
            part.Refuse(sentence);
            return false;
        }
        if (!part.Require(side.field, side.value, low, high))
            return false;
    }
    frame.dLength = param.dWidth + grow;
    frame.dWidth = param.dDepth + grow;
    frame.dHeight = param.dHeight + grow;
    *pFrame = frame;
    return true;
}

bool FingerSizeValid(const char* field, double dFinger, EngineBuild::Part& part)
{
    return part.Require(field, dFinger, 0.0, CReferenceEngine::kMaxBoxSide, EngineBuild::Ends::OpenLow);
}

void FlatPart::Translate(const QPointF& offset)
{
    outline.translate(offset);
    for (QPainterPath& cut : cuts)
        cut.translate(offset);
    for (QPainterPath& mark : marks)
        mark.translate(offset);
    labelCentre += offset;
}

void LayOutRows(QVector<QVector<FlatPart>>& rows, double dKerf, EngineBuild::Part& part)
{
    double top = 0.0;
    double right = 0.0;
    for (QVector<FlatPart>& row : rows) {
        double left = 0.0;
        double rowHeight = 0.0;
        for (FlatPart& flat : row) {
            flat.Translate(QPointF(left + dKerf / 2.0, top + dKerf / 2.0));
            left += flat.size.width() + dKerf + kPartGap;
            rowHeight = std::max(rowHeight, flat.size.height() + dKerf);
        }
        right = std::max(right, left - kPartGap);
        if (!row.isEmpty())
            top += rowHeight + kPartGap;
    }
    part.bounds = QRectF(0.0, 0.0, right, top - kPartGap);
}

void EmitParts(const QVector<QVector<FlatPart>>& rows, EngineBuild::Part& part, bool withAux)
{
    for (const QVector<FlatPart>& row : rows) {
        for (const FlatPart& flat : row) {
            part.AddMain(new CShapeVector(EngineOutline::ClosedPath(flat.outline), CShape::LayerCut), true);
            for (const QPainterPath& cut : flat.cuts)
                part.AddMain(new CShapeVector(cut, CShape::LayerCut), false);
            if (!withAux)
                continue;
            for (const QPainterPath& mark : flat.marks)
                part.AddAux(new CShapeVector(mark, CShape::LayerEngrave), true);
            if (!flat.label.isEmpty())
                part.AddAux(CentredLabel(flat.label, flat.labelCentre, flat.labelRoom), true);
        }
    }
}

} // namespace EngineBoxParts
