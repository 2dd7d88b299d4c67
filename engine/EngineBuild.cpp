#include "EngineBuild.h"

#include "CShape.h"
#include "CShapeList.h"
#include "OutlineChecks.h"
#include "ILog.h"

#include <QPainterPath>
#include <cmath>

namespace EngineBuild {

namespace {

// The host's log level for what the engine reports; the module uses 0 and 1.
constexpr int kEngineLogLevel = 2;
QString Number(double value)
{
    return QString::number(value, 'g', 10);
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
            if (!part.Refused() && !EngineOutline::Sound(*piece.shape, piece.bClosed, part.bounds, corners))
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
