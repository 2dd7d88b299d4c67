#include "EngineBoxParts.h"

#include "CShape.h"
#include "CShapeList.h"
#include "EngineOutline.h"
#include "ReferenceEngine.h"

#include <algorithm>

namespace EngineBoxParts {

namespace {
constexpr double kPartGap = 5.0;
constexpr double kLabelHeightShare = 0.2; // of the room a label may take
constexpr double kMinLabelHeight = 1.0;
constexpr double kMaxLabelHeight = 10.0;
constexpr double kLabelWidthShare = 0.8;

CShape* CentredLabel(const QString& text, const QPointF& centre, double room)
{
    const double height = std::clamp(room * kLabelHeightShare, kMinLabelHeight, kMaxLabelHeight);
    CShapeText probe(text, QString(), height);
    const QRectF bounds = probe.GetPath(true)->boundingRect();
    if (bounds.isEmpty())
        return nullptr;
    const double shrink = std::min(1.0, room * kLabelWidthShare / bounds.width());
    auto* label = new CShapeText(text, QString(), height * shrink);
    const QRectF fitted = label->GetPath(true)->boundingRect();
    label->SetTransform(QTransform::fromTranslate(centre.x() - fitted.center().x(),
                                                  centre.y() - fitted.center().y()));
    return label;
}
} // namespace

bool ResolveBoxFrame(const SRectBoxParam& param, BoxFrame* pFrame)
{
    using EngineOutline::InRange;
    const double t = param.dThickness;
    if (!InRange(t, 0.0, CReferenceEngine::kMaxThickness) || !(t > 0.0))
        return false;
    if (!InRange(param.dLaserWidth, 0.0, CReferenceEngine::kMaxKerf) || !(param.dLaserWidth < t))
        return false;

    const double grow = param.bInSize ? 2.0 * t : 0.0;
    BoxFrame frame;
    frame.dLength = param.dWidth + grow;
    frame.dWidth = param.dDepth + grow;
    frame.dHeight = param.dHeight + grow;
    frame.dThickness = t;
    frame.dKerf = param.dLaserWidth;
    frame.dMinFinger = std::max(CReferenceEngine::kMinFingerWidth, 2.0 * frame.dKerf);
    for (double side : {frame.dLength, frame.dWidth, frame.dHeight})
        if (!InRange(side, 2.0 * t + frame.dMinFinger, CReferenceEngine::kMaxBoxSide))
            return false;
    *pFrame = frame;
    return true;
}

bool FingerSizeValid(double dFinger)
{
    return EngineOutline::InRange(dFinger, 0.0, CReferenceEngine::kMaxBoxSide) && dFinger > 0.0;
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

void LayOutRows(QVector<QVector<FlatPart>>& rows)
{
    double top = 0.0;
    for (QVector<FlatPart>& row : rows) {
        double left = 0.0;
        double rowHeight = 0.0;
        for (FlatPart& part : row) {
            const QRectF bounds = part.outline.boundingRect();
            part.Translate(QPointF(left, top) - bounds.topLeft());
            left += bounds.width() + kPartGap;
            rowHeight = std::max(rowHeight, bounds.height());
        }
        if (!row.isEmpty())
            top += rowHeight + kPartGap;
    }
}

void EmitParts(const QVector<QVector<FlatPart>>& rows, CShapeList* pMain, CShapeList* pAux)
{
    const bool withText = pAux && EngineOutline::CanDrawText();
    for (const QVector<FlatPart>& row : rows) {
        for (const FlatPart& part : row) {
            pMain->AddTail(new CShapeVector(EngineOutline::ClosedPath(part.outline), CShape::LayerCut));
            for (const QPainterPath& cut : part.cuts)
                pMain->AddTail(new CShapeVector(cut, CShape::LayerCut));
            if (!pAux)
                continue;
            for (const QPainterPath& mark : part.marks)
                pAux->AddTail(new CShapeVector(mark, CShape::LayerEngrave));
            if (withText && !part.label.isEmpty())
                pAux->AddTail(CentredLabel(part.label, part.labelCentre, part.labelRoom));
        }
    }
}

} // namespace EngineBoxParts
