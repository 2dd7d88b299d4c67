#include "EngineBuild.h"

#include "CShape.h"
#include "CShapeList.h"
#include "ILog.h"

#include <QPainterPath>
#include <cmath>

namespace EngineBuild {

namespace {

// The host's log level for what the engine reports; the module uses 0 and 1.
constexpr int kEngineLogLevel = 2;
// Rounding slack when coordinates are compared with the part's bounds.
constexpr double kRelativeSlack = 1e-9;

QString Number(double value)
{
    return QString::number(value, 'g', 10);
}

bool Inside(const QPainterPath::Element& e, const QRectF& bounds, double slack)
{
    return std::isfinite(e.x) && std::isfinite(e.y) && e.x >= bounds.left() - slack && e.x <= bounds.right() + slack
           && e.y >= bounds.top() - slack && e.y <= bounds.bottom() + slack;
}

// A contour from element first to element last ends where it starts.
bool Closed(const QPainterPath& path, int first, int last)
{
    return last - first >= 2 && path.elementAt(last).x == path.elementAt(first).x
           && path.elementAt(last).y == path.elementAt(first).y;
}

bool Sound(CShape& shape, bool bClosed, const QRectF& bounds)
{
    const QPainterPath& path = *shape.GetPath(false);
    const double slack = kRelativeSlack * std::max({1.0, std::abs(bounds.left()), std::abs(bounds.right()),
                                                    std::abs(bounds.top()), std::abs(bounds.bottom())});
    const int n = path.elementCount();
    int start = 0;
    for (int i = 0; i < n; ++i) {
        const QPainterPath::Element& e = path.elementAt(i);
        if (!Inside(e, bounds, slack))
            return false;
        if (e.isMoveTo() && i > 0) {
            if (bClosed && !Closed(path, start, i - 1))
                return false;
            start = i;
        }
    }
    return !bClosed || n == 0 || Closed(path, start, n - 1);
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

bool Deliver(const char* build, Part& part, CShapeList* pMain, CShapeList* pAux)
{
    if (!pMain)
        part.Refuse(QStringLiteral("there is no list to fill"));
    if (part.Refused()) {
        ILog_WriteLogF(kEngineLogLevel, "%s refused: %s", build, part.m_refusal.toUtf8().constData());
        return false;
    }
    for (const auto* pieces : {&part.m_main, &part.m_aux})
        for (const Part::Piece& piece : *pieces)
            if (!Sound(*piece.shape, piece.bClosed, part.bounds)) {
                ILog_WriteLogF(kEngineLogLevel,
                               "%s drew nothing: an outline was not finite, not closed or outside its part", build);
                return false;
            }
    for (Part::Piece& piece : part.m_main)
        pMain->AddTail(piece.shape.release());
    if (pAux)
        for (Part::Piece& piece : part.m_aux)
            pAux->AddTail(piece.shape.release());
    return true;
}

} // namespace EngineBuild
