// The round badge or seal: rim, inner circle, star and three lines of text.
#include "ReferenceEngine.h"

#include "CShape.h"
#include "CShapeList.h"
#include "EngineOutline.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QRawFont>
#include <QTextBoundaryFinder>
#include <QtMath>
#include <cmath>

using namespace EngineOutline;

namespace {

constexpr int kCircleSegments = 180;
constexpr int kStarPoints = 5;
// Inner to outer radius of a regular pentagram: sin 18 degrees / sin 54 degrees.
const double kStarInnerRatio = std::sin(qDegreesToRadians(18.0)) / std::sin(qDegreesToRadians(54.0));
constexpr double kStarToTextGap = 1.0;
constexpr int kLayoutPixelSize = 100; // glyphs are laid out large, then scaled to millimetres
constexpr double kFallbackCapShare = 0.7;

QPainterPath Circle(double radius)
{
    QPolygonF circle;
    for (int i = 0; i < kCircleSegments; ++i) {
        const double a = 2.0 * M_PI * i / kCircleSegments;
        circle << radius * QPointF(std::cos(a), std::sin(a));
    }
    return ClosedPath(circle);
}

// Points up (-y in screen coordinates).
QPainterPath Star(double outerRadius)
{
    QPolygonF star;
    for (int i = 0; i < 2 * kStarPoints; ++i) {
        const double radius = i % 2 == 0 ? outerRadius : outerRadius * kStarInnerRatio;
        const double a = -M_PI_2 + M_PI * i / kStarPoints;
        star << radius * QPointF(std::cos(a), std::sin(a));
    }
    return ClosedPath(star);
}

// A text line's font and its scale from layout pixels to millimetres.
struct TextStyle
{
    QFont font;
    double dScale = 0.0;
    double dSpace = 0.0; // extra letter gap, in layout pixels
};

// Capitals come out dHeight tall; so does any taller glyph of the line
// (ideographs, ascenders), so that the line keeps within its band.
TextStyle StyleFor(const SSealTextParam& text, const QString& line, bool bKeepSpacing)
{
    QString family = FieldText(text.Facename);
    if (family.isEmpty() || !QFontDatabase::hasFamily(family))
        family = QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
    TextStyle style;
    style.font = QFont(family);
    style.font.setPixelSize(kLayoutPixelSize);
    const QRawFont raw = QRawFont::fromFont(style.font);
    const double capHeight = raw.isValid() && raw.capHeight() > 0 ? raw.capHeight()
                                                                 : kFallbackCapShare * kLayoutPixelSize;
    QPainterPath ink;
    ink.addText(0.0, 0.0, style.font, line);
    style.dScale = text.dHeight / std::max(capHeight, -ink.boundingRect().top());
    style.dSpace = bKeepSpacing ? text.dSpace / style.dScale : 0.0;
    return style;
}

// One glyph cluster in millimetres, the middle of its baseline on the
// origin, and how far that middle lies from the middle of the whole line.
struct LineGlyph
{
    QPainterPath outline;
    double dFromMiddle;
};

QVector<LineGlyph> LayOutLine(const SSealTextParam& text, bool bKeepSpacing)
{
    const QString line = FieldText(text.Text);
    const TextStyle style = StyleFor(text, line, bKeepSpacing);
    const QFontMetricsF metrics(style.font);
    const QTransform toMillimetres = QTransform::fromScale(style.dScale, style.dScale);
    QVector<LineGlyph> glyphs;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, line);
    double pen = 0.0;
    for (int start = 0, end = finder.toNextBoundary(); end > 0; start = end, end = finder.toNextBoundary()) {
        const QString cluster = line.mid(start, end - start);
        const double advance = metrics.horizontalAdvance(cluster);
        if (!glyphs.isEmpty())
            pen += style.dSpace;
        QPainterPath outline;
        outline.addText(-advance / 2.0, 0.0, style.font, cluster);
        glyphs.append({toMillimetres.map(outline), pen + advance / 2.0});
        pen += advance;
    }
    for (LineGlyph& glyph : glyphs)
        glyph.dFromMiddle = (glyph.dFromMiddle - pen / 2.0) * style.dScale;
    return glyphs;
}

enum class ArcSide { Upper, Lower };

// Upper: clockwise over the top, glyph tops outward. Lower: left to right
// under the centre, glyph tops inward. `radius` is the baseline's.
QPainterPath TextOnArc(const SSealTextParam& text, double radius, ArcSide side)
{
    QPainterPath line;
    if (!(radius > 0.0))
        return line;
    for (const LineGlyph& glyph : LayOutLine(text, true)) {
        const double angle = glyph.dFromMiddle / radius;
        QTransform place;
        if (side == ArcSide::Upper)
            place.translate(radius * std::sin(angle), -radius * std::cos(angle)).rotateRadians(angle);
        else
            place.translate(radius * std::sin(angle), radius * std::cos(angle)).rotateRadians(-angle);
        line.addPath(place.map(glyph.outline));
    }
    return line;
}

QPainterPath StraightText(const SSealTextParam& text, double baseline)
{
    QPainterPath line;
    for (const LineGlyph& glyph : LayOutLine(text, false))
        line.addPath(glyph.outline.translated(glyph.dFromMiddle, baseline));
    return line;
}

bool Drawn(const SSealTextParam& text)
{
    return text.dHeight > 0.0 && text.Text[0] != '\0';
}

// The middle line never reads its spacing, so it is not held against it.
bool TextValid(const SSealTextParam& text, bool bUsesSpacing)
{
    const double limit = CReferenceEngine::kMaxSealDiameter;
    return InRange(text.dHeight, 0.0, limit) && InRange(text.dOffset, -limit, limit)
           && (!bUsesSpacing || InRange(text.dSpace, 0.0, limit));
}

bool SealValid(const SSealBoxParam& param)
{
    const double limit = CReferenceEngine::kMaxSealDiameter;
    return InRange(param.D1, 0.0, limit) && param.D1 > 0.0 && InRange(param.D2, 0.0, param.D1)
           && InRange(param.dStarSize, 0.0, param.D1) && TextValid(param.sText1, true)
           && TextValid(param.sText2, true) && TextValid(param.sText3, false);
}

} // namespace

bool CReferenceEngine::CreateSeal(SSealBoxParam param, CShapeList* pMain)
{
    if (!pMain || !SealValid(param))
        return false;

    const double rim = param.D1 / 2.0;
    const bool withStar = param.bStar && param.dStarSize > 0.0;
    QVector<QPair<QPainterPath, int>> parts;
    // Only the rim is cut; the inner circle is an engraved ring line, so the
    // badge stays one piece.
    parts.append({Circle(rim), CShape::LayerCut});
    if (param.D2 > 0.0)
        parts.append({Circle(param.D2 / 2.0), CShape::LayerEngrave});
    if (withStar)
        parts.append({Star(param.dStarSize / 2.0), CShape::LayerEngrave});

    if (CanDrawText()) {
        const SSealTextParam& upper = param.sText1;
        const SSealTextParam& lower = param.sText2;
        const SSealTextParam& middle = param.sText3;
        if (Drawn(upper))
            parts.append({TextOnArc(upper, rim - upper.dOffset - upper.dHeight, ArcSide::Upper), CShape::LayerEngrave});
        if (Drawn(lower))
            parts.append({TextOnArc(lower, rim - lower.dOffset, ArcSide::Lower), CShape::LayerEngrave});
        if (Drawn(middle)) {
            const double top = withStar ? param.dStarSize / 2.0 + kStarToTextGap : -middle.dHeight / 2.0;
            parts.append({StraightText(middle, top + middle.dHeight + middle.dOffset), CShape::LayerEngrave});
        }
    }

    const QTransform mirror = param.bTextReverse ? QTransform::fromScale(-1.0, 1.0) : QTransform();
    for (const auto& part : parts)
        pMain->AddTail(new CShapeVector(mirror.map(part.first), part.second));
    return true;
}
