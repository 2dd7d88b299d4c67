#include "EngineBuild.h"

#include "CShape.h"
#include "CShapeList.h"
#include "EngineOutline.h"
#include "ILog.h"

#include <QPainterPath>
#include <cmath>

namespace EngineBuild {

namespace {

// The host's log level for what the engine reports; the module uses 0 and 1.
constexpr int kEngineLogLevel = 2;
// Rounding slack when coordinates are compared with the part's bounds.
constexpr double kRelativeSlack = 1e-9;
// Outlines of up to this many points are checked from a copy of their corners.
constexpr int kShortOutline = 4096;

QString Number(double value)
{
    return QString::number(value, 'g', 10);
}

// A contour from element first to element last ends where it starts.
bool Closed(const QPainterPath& path, int first, int last)
{
    return last - first >= 2 && path.elementAt(last).x == path.elementAt(first).x
           && path.elementAt(last).y == path.elementAt(first).y;
}

// Every point of the path inside the bounds and finite, and every contour
// closed when bClosed; each point and each contour's end (first and last
// element, false to stop) handed on.
template <typename Point, typename Ends>
bool Walk(const QPainterPath& path, const QRectF& bounds, bool bClosed, Point point, Ends ends)
{
    const double slack = kRelativeSlack * std::max({1.0, std::abs(bounds.left()), std::abs(bounds.right()),
                                                    std::abs(bounds.top()), std::abs(bounds.bottom())});
    const double left = bounds.left() - slack, right = bounds.right() + slack;
    const double top = bounds.top() - slack, bottom = bounds.bottom() + slack;
    const int n = path.elementCount();
    int start = 0;
    for (int i = 0; i < n; ++i) {
        const QPainterPath::Element& e = path.elementAt(i);
        if (!(std::isfinite(e.x) && std::isfinite(e.y) && e.x >= left && e.x <= right && e.y >= top && e.y <= bottom))
            return false;
        if (e.isMoveTo() && i > 0) {
            if ((bClosed && !Closed(path, start, i - 1)) || !ends(start, i - 1))
                return false;
            start = i;
        }
        if (!point(e))
            return false;
    }
    return n == 0 || ((!bClosed || Closed(path, start, n - 1)) && ends(start, n - 1));
}

// Inside its part and finite; closed where it must be; and a closed cut
// outline simple. A long one is walked round the middle of its bounds in the
// same pass, and only when that does not settle it are its corners gathered
// for the full check; a short one's corners are gathered in the pass.
bool Sound(CShape& shape, bool bClosed, const QRectF& bounds, std::vector<QPointF>& corners)
{
    const QPainterPath& path = *shape.GetPath(false);
    if (!bClosed || shape.GetLayer() != CShape::LayerCut)
        return Walk(path, bounds, bClosed, [](const QPainterPath::Element&) { return true; },
                    [](int, int) { return true; });
    corners.clear();
    const auto check = [&]() {
        const bool simple = EngineOutline::ContourSimple(corners);
        corners.clear();
        return simple;
    };
    if (path.elementCount() <= kShortOutline)
        return Walk(
            path, bounds, true,
            [&](const QPainterPath::Element& e) { return !e.isCurveTo() && (corners.emplace_back(e.x, e.y), true); },
            [&](int, int) { return check(); });
    EngineOutline::StarWalk star(path.controlPointRect().center());
    return Walk(
        path, bounds, true, [&](const QPainterPath::Element& e) { return !e.isCurveTo() && (star.Add(e.x, e.y), true); },
        [&](int first, int last) {
            if (star.Simple())
                return true;
            for (int k = first; k <= last; ++k)
                corners.emplace_back(path.elementAt(k).x, path.elementAt(k).y);
            return check();
        });
}

} // namespace

Part::Part() = default;
Part::~Part() = default;

bool Part::Require(const char* field, double value, double low, double high, Ends ends)
{
    if (Refused())
        return false;
    const bool within = std::isfinite(value) && (ends == Ends::OpenLow ? value > low : value >= low)
                        && (ends == Ends::OpenHigh ? value < high : value <= high);
    if (within)
        return true;
    QString reason = QStringLiteral("%1 %2 is outside %3 to %4").arg(QLatin1String(field), Number(value), Number(low),
                                                                     Number(high));
    if (ends != Ends::Closed)
        reason += QStringLiteral(" (%1 excluded)").arg(Number(ends == Ends::OpenLow ? low : high));
    Refuse(reason);
    return false;
}

void Part::Refuse(const QString& reason)
{
    if (!Refused())
        m_refusal = reason;
}

void Part::Adjust(const QString& clause)
{
    m_adjustment += (m_adjustment.isEmpty() ? QString() : QStringLiteral("; ")) + clause;
}

void Part::AddMain(CShape* pShape, bool bClosed)
{
    if (pShape)
        m_main.push_back({std::unique_ptr<CShape>(pShape), bClosed});
}

void Part::AddAux(CShape* pShape, bool bClosed)
{
    if (pShape)
        m_aux.push_back({std::unique_ptr<CShape>(pShape), bClosed});
}

QString Millimetres(double value)
{
    QString shown = QString::number(std::round(value * 100.0) / 100.0, 'f', 2);
    while (shown.endsWith(QLatin1Char('0')))
        shown.chop(1);
    if (shown.endsWith(QLatin1Char('.')))
        shown.chop(1);
    return shown + QStringLiteral(" mm");
}

QString Changed(const char* what, double from, double to, bool bLength)
{
    const auto shown = [&](double value) { return bLength ? Millimetres(value) : QString::number(value); };
    return QStringLiteral("%1 %2 from %3 to %4")
        .arg(QLatin1String(what), QLatin1String(to > from ? "raised" : "lowered"), shown(from), shown(to));
}

bool Deliver(const char* build, Part& part, CShapeList* pMain, CShapeList* pAux, EngineReport* pReport)
{
    if (!pMain)
        part.Refuse(QStringLiteral("there is no list to fill"));
    std::vector<QPointF> corners;
    for (const auto* pieces : {&part.m_main, &part.m_aux})
        for (const Part::Piece& piece : *pieces)
            if (!part.Refused() && !Sound(*piece.shape, piece.bClosed, part.bounds, corners))
                part.Refuse(QStringLiteral("an outline came out not finite, not closed, crossing itself or outside "
                                           "its part, so nothing was drawn"));
    *pReport = {part.Refused() ? EngineReport::Refused
                : part.m_adjustment.isEmpty() ? EngineReport::Built
                                              : EngineReport::Adjusted,
                part.Refused() ? part.m_refusal : part.m_adjustment};
    if (pReport->status != EngineReport::Built)
        ILog_WriteLogF(kEngineLogLevel, "%s %s: %s", build,
                       pReport->status == EngineReport::Refused ? "refused" : "adjusted",
                       pReport->sentence.toUtf8().constData());
    if (part.Refused())
        return false;
    for (Part::Piece& piece : part.m_main)
        pMain->AddTail(piece.shape.release());
    if (pAux)
        for (Part::Piece& piece : part.m_aux)
            pAux->AddTail(piece.shape.release());
    return true;
}

} // namespace EngineBuild
