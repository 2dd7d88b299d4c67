// The round badge or seal: rim, inner circle, star and three lines of text,
// each line fitted into its own room so that nothing touches anything else.
// The letters themselves are shaped by the Shape library's TextOutline
// (sdk/shape), which the host's face labels share; here they are only laid
// onto their arcs and fitted.
#include "ReferenceEngine.h"

#include "CShape.h"
#include "EngineBuild.h"
#include "Curves.h"
#include "TextOutline.h"

#include <QtMath>
#include <algorithm>
#include <cmath>

using namespace EngineOutline;
using EngineBuild::FieldText;
using TextOutline::Glyph;

namespace {

constexpr int kStarPoints = 5;
// Inner to outer radius of a regular pentagram: sin 18 degrees / sin 54 degrees.
const double kStarInnerRatio = std::sin(qDegreesToRadians(18.0)) / std::sin(qDegreesToRadians(54.0));
constexpr double kStarToTextGap = 1.0;
// Halvings when a size is fitted: far below any visible step.
constexpr int kFitSteps = 32;
// Below what the user can tell from a value asked.
constexpr double kFitSlack = 1e-9;
// A line set smaller than this share of its asked height is reported: the
// default badge's lines lose a few hundredths of a millimetre, which nobody
// reading the badge can tell, and a message on every badge would be noise.
constexpr double kUnnoticedShrink = 0.95;

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

// The largest x in [low, high] that passes, given that low does.
template <typename Passes>
double Largest(double low, double high, Passes passes)
{
    if (passes(high))
        return high;
    for (int i = 0; i < kFitSteps; ++i) {
        const double middle = (low + high) / 2.0;
        (passes(middle) ? low : high) = middle;
    }
    return low;
}

// One cluster that leaves ink, in layout pixels, measured from the middle
// of its advance on the baseline; y down.
struct InkedGlyph
{
    Glyph glyph;
    double dCentre; // from the middle of the line, when set without spacing
    double dIndex;  // from the middle of the line, in letter gaps
    double dLeft;
    double dRight;
    double dTop;
    double dBottom;
    TextOutline::Link next; // to the next one
};

// A line's clusters that leave ink, left to right, and the ink's extent
// over all of them.
struct LineInk
{
    LineInk() = default;
    explicit LineInk(const SSealTextParam& text)
    {
        const TextOutline::Line line = TextOutline::LaidOut(FieldText(text.Text), FieldText(text.Facename));
        strMissing = line.strMissing;
        const QVector<Glyph>& glyphs = line.glyphs;
        double total = 0.0;
        for (const Glyph& glyph : glyphs)
            total += glyph.dAdvance;
        double pen = 0.0;
        for (int i = 0; i < glyphs.size(); ++i) {
            const Glyph& glyph = glyphs[i];
            const double half = glyph.dAdvance / 2.0;
            if (!glyph.outline.isEmpty()) {
                const bool inkNext = i + 1 < glyphs.size() && !glyphs[i + 1].outline.isEmpty();
                inked.append({glyph, pen + half - total / 2.0, i - (glyphs.size() - 1) / 2.0, glyph.ink.left() - half,
                              glyph.ink.right() - half, glyph.ink.top(), glyph.ink.bottom(),
                              inkNext ? glyph.next : TextOutline::Link::Apart});
                dTop = std::min(dTop, glyph.ink.top());
                dBottom = std::max(dBottom, glyph.ink.bottom());
            }
            pen += glyph.dAdvance;
        }
    }

    bool HasInk() const { return !inked.isEmpty() && dBottom > dTop; }
    double Height() const { return dBottom - dTop; }

    QVector<InkedGlyph> inked;
    double dTop = qInf();
    double dBottom = -qInf();
    QString strMissing;
};

// Radii between which a line's ink must stay.
struct Band
{
    double dIn;
    double dOut;
};

enum class ArcSide { Upper, Lower };

// A line along an arc: upper runs clockwise over the top with the glyphs'
// tops outward, lower left to right under the centre with their tops
// inward. Each glyph is turned whole onto the arc; its outer corners must
// stay within the band and the line within +-halfAngle of the middle.
class ArcLine
{
public:
    ArcLine(const LineInk& line, ArcSide side, const Band& band, double halfAngle)
        : m_line(line), m_upper(side == ArcSide::Upper), m_band(band), m_halfAngle(halfAngle)
    {
        const QVector<InkedGlyph>& inked = m_line.inked;
        for (int k = 1; k < inked.size(); ++k) {
            const InkedGlyph &a = inked[k - 1], &b = inked[k];
            const bool joined = a.next == TextOutline::Link::Joined;
            const bool apart = a.next == TextOutline::Link::Apart;
            m_pairs.append({b.dCentre - a.dCentre, apart ? b.dIndex - a.dIndex : 0.0,
                            joined ? 0.0 : std::max({0.0, Inward(a), Inward(b)})});
        }
        m_fixed.resize(inked.size());
        m_perSpace.resize(inked.size());
    }

    // First the asked spacing, then less of it down to the font's own, then
    // smaller letters, but none smaller than leastScale: the largest scale
    // that fits (NaN when none does) and its spacing.
    QPair<double, double> Fit(double askedScale, double askedSpacing, double leastScale) const
    {
        const double scale = Largest(0.0, askedScale, [&](double s) { return Radial(s); });
        if (Angular(scale, 0.0))
            return {scale, Largest(0.0, askedSpacing, [&](double gap) { return Angular(scale, gap); })};
        const double least = std::min(leastScale, scale);
        if (!Angular(least, 0.0))
            return {qQNaN(), 0.0};
        return {Largest(least, scale, [&](double s) { return Angular(s, 0.0); }), 0.0};
    }

    QPainterPath Path(double scale, double spacing, const QTransform& mirror) const
    {
        const QPair<double, double> extent = Extent(scale, spacing);
        const double radius = m_radius, middle = (extent.first + extent.second) / 2.0;
        QVector<TextOutline::Placed> placed;
        for (int i = 0; i < m_line.inked.size(); ++i) {
            const InkedGlyph& glyph = m_line.inked[i];
            const double angle = m_fixed[i] + spacing * m_perSpace[i] - middle;
            QTransform place;
            if (m_upper)
                place.translate(radius * std::sin(angle), -radius * std::cos(angle)).rotateRadians(angle);
            else
                place.translate(radius * std::sin(angle), radius * std::cos(angle)).rotateRadians(-angle);
            place.scale(scale, scale).translate(-glyph.glyph.dAdvance / 2.0, 0.0);
            placed.append({&glyph.glyph, place * mirror});
        }
        return TextOutline::Merged(placed, kChordTolerance);
    }

private:
    double Outward(const InkedGlyph& g) const { return m_upper ? -g.dTop : g.dBottom; }
    double Inward(const InkedGlyph& g) const { return m_upper ? g.dBottom : -g.dTop; }

    // Each glyph's middle as an angle from the first one's, a fixed part and
    // a part per unit of spacing, for one scale (kept: fitting the spacing
    // asks for it many times). Neighbours keep their straight distance, and
    // the spacing, at the innermost radius either reaches, so that letters
    // apart on a straight line stay apart on the arc; letters their script
    // joins keep it on the baseline, so that they stay joined, and the
    // letters of one word of a joining script take no spacing.
    void SetAngles(double scale) const
    {
        if (scale == m_anglesScale)
            return;
        m_anglesScale = scale;
        m_radius = BaselineRadius(scale);
        double fixed = 0.0, perSpace = 0.0;
        for (int k = 0; k < m_pairs.size(); ++k) {
            const Pair& pair = m_pairs[k];
            const double at = m_radius - scale * pair.dInward;
            fixed = at > 0.0 ? fixed + scale * pair.dDistance / at : qInf();
            perSpace = at > 0.0 ? perSpace + pair.dGaps / at : 0.0;
            m_fixed[k + 1] = fixed, m_perSpace[k + 1] = perSpace;
        }
    }

    // The baseline that brings the outermost glyph corner onto the band's outer side.
    double BaselineRadius(double scale) const
    {
        const double out = m_band.dOut;
        double radius = out;
        for (const InkedGlyph& g : m_line.inked) {
            const double half = scale * std::max(std::abs(g.dLeft), std::abs(g.dRight));
            radius = std::min(radius, half < out ? std::sqrt(out * out - half * half) - scale * Outward(g) : -qInf());
        }
        return radius;
    }

    bool Radial(double scale) const
    {
        const double radius = BaselineRadius(scale);
        for (const InkedGlyph& g : m_line.inked)
            if (!(radius - scale * Inward(g) >= m_band.dIn))
                return false;
        return true;
    }

    // Angles of the line's first and last ink from the first glyph's middle.
    QPair<double, double> Extent(double scale, double spacing) const
    {
        SetAngles(scale);
        double first = qInf(), last = -qInf();
        // A corner nearer the centre turns further from the glyph's middle.
        auto reach = [&](const InkedGlyph& g, bool bInner) {
            return m_radius - scale * (bInner ? Inward(g) : -Outward(g));
        };
        // The ends nearly always bound the line: walking in from them, a glyph
        // whose bound (atan t lies between 0 and t) cannot pass needs no angle.
        const int n = m_line.inked.size();
        for (int i = n - 1; i >= 0; --i) {
            const InkedGlyph& g = m_line.inked[i];
            const double angle = m_fixed[i] + spacing * m_perSpace[i];
            const double x = scale * g.dRight, to = reach(g, g.dRight > 0.0);
            if (angle + std::max(0.0, x) / to > last)
                last = std::max(last, angle + std::atan2(x, to));
        }
        for (int i = 0; i < n; ++i) {
            const InkedGlyph& g = m_line.inked[i];
            const double angle = m_fixed[i] + spacing * m_perSpace[i];
            const double x = scale * g.dLeft, to = reach(g, g.dLeft < 0.0);
            if (angle + std::min(0.0, x) / to < first)
                first = std::min(first, angle + std::atan2(x, to));
        }
        return {first, last};
    }

    bool Angular(double scale, double spacing) const
    {
        const QPair<double, double> extent = Extent(scale, spacing);
        return extent.second - extent.first <= 2.0 * m_halfAngle;
    }

    const LineInk& m_line;
    bool m_upper;
    Band m_band;
    double m_halfAngle;
    // Two neighbours: how far apart their middles are when set straight,
    // how many letter gaps take spacing between them, and how far inward
    // from the baseline they keep that distance.
    struct Pair
    {
        double dDistance;
        double dGaps;
        double dInward;
    };
    QVector<Pair> m_pairs;
    mutable double m_anglesScale = qQNaN();
    mutable double m_radius = 0.0;
    mutable QVector<double> m_fixed;    // from index 1; the first glyph's is 0
    mutable QVector<double> m_perSpace;
};

// The straight middle line, centred, its ink's top at `top`, kept inside a
// circle of radius `room`: the largest letters up to the asked size.
class MiddleLine
{
public:
    MiddleLine(const LineInk& line, double room)
        : m_line(line), m_room(room)
    {
        for (const InkedGlyph& g : line.inked) {
            m_left = std::min(m_left, g.dCentre + g.dLeft);
            m_right = std::max(m_right, g.dCentre + g.dRight);
        }
    }

    bool Fits(double scale) const
    {
        const double half = scale * (m_right - m_left) / 2.0;
        const double far = std::max(std::abs(m_top), std::abs(m_top + scale * m_line.Height()));
        return half * half + far * far <= m_room * m_room;
    }

    // How far from the centre's level letters of `scale` may reach up or
    // down and stay inside; NaN when they are too wide.
    double Reach(double scale) const
    {
        const double half = scale * (m_right - m_left) / 2.0;
        return std::sqrt(m_room * m_room - half * half);
    }

    void MoveTop(double top) { m_top = top; }

    QPainterPath Path(double scale, const QTransform& mirror) const
    {
        const double shift = -(m_left + m_right) / 2.0;
        QVector<TextOutline::Placed> placed;
        for (const InkedGlyph& g : m_line.inked) {
            const QTransform place(scale, 0.0, 0.0, scale, scale * (g.dCentre + shift - g.glyph.dAdvance / 2.0),
                                   m_top - scale * m_line.dTop);
            placed.append({&g.glyph, place * mirror});
        }
        return TextOutline::Merged(placed, kChordTolerance);
    }

private:
    const LineInk& m_line;
    double m_top = 0.0;
    double m_room;
    double m_left = qInf();
    double m_right = -qInf();
};

// The asked height, raised to the least that can be cut; 0 for no line.
double AskedHeight(const SSealTextParam& text)
{
    return text.dHeight > 0.0 ? std::max(text.dHeight, CReferenceEngine::kMinTextHeight) : 0.0;
}

// The band an arc line may fill: between the inner circle and the rim when
// its outer side lies outside the inner circle and that ring has room, else
// inside the innermost circle; never more than half its outer radius deep.
// An outer side asked so deep that the asked height no longer fits below it
// comes out until it does.
Band ArcBand(const SSealTextParam& text, double rim, double inner)
{
    const double gap = CReferenceEngine::kTextClearance, least = CReferenceEngine::kMinTextHeight;
    const double wanted = rim - text.dOffset;
    const bool ring = inner > 0.0 && rim - inner >= 2.0 * gap + least && wanted > inner + gap + least;
    const double slotIn = ring ? inner : 0.0;
    const double slotOut = ring || inner <= 0.0 ? rim : inner;
    const double height = AskedHeight(text);
    const double deepest = std::max(slotIn + gap + std::max(height, least), 2.0 * height);
    const double out = std::min(std::max(wanted, deepest), slotOut - gap);
    return {std::max({out - height, slotIn + gap, out / 2.0}), out};
}

bool TextValid(EngineBuild::Part& part, const SSealTextParam& text, int line)
{
    const double limit = CReferenceEngine::kMaxSealDiameter;
    const QByteArray name = "sText" + QByteArray::number(line);
    return part.Require((name + ".dHeight").constData(), text.dHeight, 0.0, limit)
           && part.Require((name + ".dOffset").constData(), text.dOffset, -limit, limit)
           // The middle line has no spacing control, so its spacing is never read.
           && (line == 3 || part.Require((name + ".dSpace").constData(), text.dSpace, 0.0, limit));
}

bool SealValid(EngineBuild::Part& part, const SSealBoxParam& param)
{
    return part.Require("D1", param.D1, CReferenceEngine::kMinSealDiameter, CReferenceEngine::kMaxSealDiameter)
           && part.Require("D2", param.D2, 0.0, param.D1) && part.Require("dStarSize", param.dStarSize, 0.0, param.D1)
           && TextValid(part, param.sText1, 1) && TextValid(part, param.sText2, 2) && TextValid(part, param.sText3, 3);
}

QString NoFontDraws(int line, const QString& what)
{
    QStringList codes;
    for (const char32_t c : what.toUcs4())
        codes << QStringLiteral("U+%1").arg(uint(c), 4, 16, QLatin1Char('0')).toUpper();
    return QStringLiteral("sText%1 has \"%2\" (%3), which no installed font can draw")
        .arg(line)
        .arg(what, codes.join(QLatin1Char(' ')));
}

QString TooSmall(int line, const char* where)
{
    return QStringLiteral("sText%1 does not fit %2 even with letters %3 mm tall")
        .arg(line)
        .arg(QLatin1String(where))
        .arg(CReferenceEngine::kMinTextHeight);
}

// A line set noticeably smaller than asked is said, with the height it took.
void ReportShrink(EngineBuild::Part& part, int line, double fitted, double asked, const char* where)
{
    if (fitted < asked * kUnnoticedShrink)
        part.Adjust(QStringLiteral("Text %1 set %2 tall instead of %3 so that it fits %4")
                        .arg(line)
                        .arg(EngineBuild::Millimetres(fitted), EngineBuild::Millimetres(asked), QLatin1String(where)));
}

void AddSeal(EngineBuild::Part& part, const SSealBoxParam& param)
{
    const double rim = param.D1 / 2.0;
    const double inner = param.D2 / 2.0;
    const QTransform mirror = param.bTextReverse ? QTransform::fromScale(-1.0, 1.0) : QTransform();
    // Only the rim is cut; the inner circle is an engraved ring line, so the
    // badge stays one piece.
    part.AddMain(new CShapeVector(Circle(QPointF(), rim), CShape::LayerCut), true);
    if (inner > 0.0)
        part.AddMain(new CShapeVector(Circle(QPointF(), inner), CShape::LayerEngrave), true);

    const SSealTextParam* texts[] = {&param.sText1, &param.sText2, &param.sText3};
    QVector<LineInk> lines;
    for (const SSealTextParam* text : texts)
        lines.append(AskedHeight(*text) > 0.0 ? LineInk(*text) : LineInk());
    for (int i = 0; i < 3; ++i)
        if (!lines[i].strMissing.isEmpty()) {
            part.Refuse(NoFontDraws(i + 1, lines[i].strMissing));
            return;
        }

    // The star and the middle line share the disc inside the circles and the arc lines.
    double room = inner > 0.0 ? inner : rim;
    QPainterPath arcs[2];
    for (int i = 0; i < 2; ++i) {
        if (!lines[i].HasInk())
            continue;
        const SSealTextParam& text = *texts[i];
        const Band band = ArcBand(text, rim, inner);
        if (band.dOut > rim - text.dOffset + kFitSlack)
            part.Adjust(QStringLiteral("Text %1 offset lowered from %2 to %3 so that its letters fit")
                            .arg(i + 1)
                            .arg(EngineBuild::Millimetres(text.dOffset), EngineBuild::Millimetres(rim - band.dOut)));
        if (band.dOut <= room)
            room = std::min(room, band.dIn);
        // Each arc line keeps to its half of the ring, clear of the other's
        // ends by a quarter of the height it can have.
        const double asked = AskedHeight(text);
        const double endGap = std::max(CReferenceEngine::kTextClearance, std::min(asked, band.dOut - band.dIn) / 4.0);
        const double halfAngle = M_PI_2 - std::asin(std::min(1.0, endGap / band.dIn));
        const ArcLine arc(lines[i], i == 0 ? ArcSide::Upper : ArcSide::Lower, band, halfAngle);
        const double height = lines[i].Height();
        const QPair<double, double> fit =
            arc.Fit(asked / height, text.dSpace, CReferenceEngine::kMinTextHeight / height);
        if (band.dOut - band.dIn < CReferenceEngine::kMinTextHeight || !(fit.first > 0.0)) {
            part.Refuse(TooSmall(i + 1, "its half of the ring"));
            return;
        }
        ReportShrink(part, i + 1, fit.first * height, asked, "its half of the ring");
        arcs[i] = arc.Path(fit.first, fit.second, mirror);
    }
    room -= CReferenceEngine::kTextClearance;

    const bool withStar = param.bStar && param.dStarSize > 0.0;
    // The star leaves the lower half of the middle to the middle line.
    const double star = withStar ? std::min(param.dStarSize / 2.0, room / 2.0) : 0.0;
    if (withStar && star > 0.0)
        part.AddMain(new CShapeVector(Star(star) * mirror, CShape::LayerEngrave), true);
    for (const QPainterPath& arc : arcs)
        if (!arc.isEmpty())
            part.AddMain(new CShapeVector(arc, CShape::LayerEngrave), true);

    const LineInk& middle = lines[2];
    if (!middle.HasInk())
        return;
    const double height = AskedHeight(param.sText3);
    const double scale = height / middle.Height();
    const double least = CReferenceEngine::kMinTextHeight / middle.Height();
    const double wanted = (withStar ? star + kStarToTextGap : -height / 2.0) + param.sText3.dOffset;
    MiddleLine line(middle, room);
    // Moved too far up or down to fit at all, the line comes back until its
    // smallest letters do.
    const double reach = line.Reach(least);
    const double highest = withStar ? star + CReferenceEngine::kTextClearance : -reach;
    const double lowest = reach - CReferenceEngine::kMinTextHeight;
    if (!(lowest >= highest)) {
        part.Refuse(TooSmall(3, "inside the inner circle"));
        return;
    }
    line.MoveTop(std::clamp(wanted, highest, lowest));
    const double fitted = Largest(least, scale, [&](double s) { return line.Fits(s); });
    ReportShrink(part, 3, fitted * middle.Height(), height, "inside the inner circle");
    part.AddMain(new CShapeVector(line.Path(fitted, mirror), CShape::LayerEngrave), true);
}

} // namespace

bool CReferenceEngine::CreateSeal(SSealBoxParam param, CShapeList* pMain)
{
    EngineBuild::ReadFlags(param);
    EngineBuild::Part part;
    if (SealValid(part, param)) {
        AddSeal(part, param);
        const double rim = param.D1 / 2.0;
        part.bounds = QRectF(-rim, -rim, 2.0 * rim, 2.0 * rim);
    }
    return EngineBuild::Deliver("CreateSeal", part, pMain, nullptr, &m_report);
}
