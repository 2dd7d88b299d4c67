#include "Flattener.h"

#include <QLineF>
#include <cmath>

namespace Import {
namespace {
double Length(const QPointF& p)
{
    return std::hypot(p.x(), p.y());
}

// Segments a curve needs whose second derivative is at most dBend in
// length, per unit of its parameter: a chord's sag is at most h^2/8 of it.
double Segments(double dBend, double dParameter)
{
    return std::ceil(dParameter * std::sqrt(std::max(dBend, 0.0) / (8.0 * kFlatnessMm)));
}
} // namespace

void Flattener::SetTransform(const QTransform& toMm)
{
    m_toMm = toMm;
    // The largest singular value of the linear part.
    const double a = toMm.m11(), b = toMm.m12(), c = toMm.m21(), d = toMm.m22();
    const double s = a * a + b * b + c * c + d * d;
    const double det = a * d - b * c;
    m_dScale = std::sqrt((s + std::sqrt(std::max(s * s - 4 * det * det, 0.0))) / 2);
}

bool Flattener::Room(double n)
{
    if (std::isnan(n))
        m_bFinite = false;
    if (!m_bFinite)
        return false;
    if (!m_bFull && !(n >= 0 && n <= double(kMostPoints - m_nPoints)))
        m_bFull = true;
    return !m_bFull;
}

// Out to here a double holds a point to a tenth of a micrometre; past it a
// drawing would come in rounded.
constexpr double kFarthestMm = 1e9;

QString Flattener::Unheld() const
{
    if (!m_bFar)
        return QStringLiteral("it holds a coordinate that is not a number");
    return QStringLiteral("it reaches (%1, %2) mm, farther from its origin than the %L3 km within which its points are "
                          "held exactly: move it nearer its origin")
        .arg(m_far.x(), 0, 'g', 6).arg(m_far.y(), 0, 'g', 6).arg(kFarthestMm / 1e6);
}

void Flattener::Add(const QPointF& mm)
{
    if (!std::isfinite(mm.x()) || !std::isfinite(mm.y()))
        m_bFinite = false;
    else if (m_bFinite && (std::abs(mm.x()) > kFarthestMm || std::abs(mm.y()) > kFarthestMm))
        m_bFinite = false, m_bFar = true, m_far = mm;
    if (m_bFull || !m_bFinite || !Room(1))
        return;
    if (!m_stroke.points.isEmpty() && m_stroke.points.last() == mm)
        return;
    ++m_nPoints;
    m_stroke.points << mm;
}

void Flattener::End()
{
    if (m_stroke.points.size() > 1 && !m_bFull && m_bFinite)
        m_drawing.strokes << m_stroke;
    m_stroke = Stroke();
}

void Flattener::MoveTo(const QPointF& p)
{
    End();
    m_stroke.bEngrave = m_bEngrave;
    m_current = m_start = p;
    Add(m_toMm.map(p));
}

void Flattener::LineTo(const QPointF& p)
{
    if (m_stroke.points.isEmpty())
        MoveTo(m_current);
    m_current = p;
    Add(m_toMm.map(p));
}

void Flattener::LineToMm(const QPointF& mm)
{
    if (m_stroke.points.isEmpty())
        MoveTo(m_current);
    m_current = m_toMm.inverted().map(mm);
    Add(mm);
}

void Flattener::QuadTo(const QPointF& c, const QPointF& p)
{
    if (m_stroke.points.isEmpty())
        MoveTo(m_current);
    const QPointF p0 = m_toMm.map(m_current), p1 = m_toMm.map(c), p2 = m_toMm.map(p);
    const double n = std::max(1.0, Segments(2 * Length(p0 - 2 * p1 + p2), 1.0));
    if (!Room(n))
        return;
    for (int i = 1; i <= int(n); ++i) {
        const double t = i / n, s = 1 - t;
        Add(s * s * p0 + 2 * s * t * p1 + t * t * p2);
    }
    m_current = p;
}

void Flattener::CubicTo(const QPointF& c1, const QPointF& c2, const QPointF& p)
{
    if (m_stroke.points.isEmpty())
        MoveTo(m_current);
    const QPointF p0 = m_toMm.map(m_current), p1 = m_toMm.map(c1), p2 = m_toMm.map(c2), p3 = m_toMm.map(p);
    const double bend = 6 * std::max(Length(p0 - 2 * p1 + p2), Length(p1 - 2 * p2 + p3));
    const double n = std::max(1.0, Segments(bend, 1.0));
    if (!Room(n))
        return;
    for (int i = 1; i <= int(n); ++i) {
        const double t = i / n, s = 1 - t;
        Add(s * s * s * p0 + 3 * s * s * t * p1 + 3 * s * t * t * p2 + t * t * t * p3);
    }
    m_current = p;
}

void Flattener::Arc(const QPointF& centre, const QPointF& u, const QPointF& v, double t0, double dSweep,
                    const QPointF* pEnd)
{
    const auto at = [&](double t) { return centre + std::cos(t) * u + std::sin(t) * v; };
    if (m_stroke.points.isEmpty())
        MoveTo(at(t0));
    else
        LineTo(at(t0));
    // Never fewer than eight to a turn: a tiny circle stays round.
    const double bend = std::max(Length(u), Length(v)) * m_dScale;
    const double n = std::max({1.0, Segments(bend, std::abs(dSweep)), std::ceil(std::abs(dSweep) / (M_PI / 4))});
    if (!Room(n))
        return;
    const QPointF end = pEnd ? *pEnd : at(t0 + dSweep);
    for (int i = 1; i < int(n); ++i)
        Add(m_toMm.map(at(t0 + dSweep * i / n)));
    Add(m_toMm.map(end));
    m_current = end;
}

void Flattener::Close()
{
    QPolygonF& points = m_stroke.points;
    if (points.size() > 1 && QLineF(points.first(), points.last()).length() <= kJoinMm)
        points.removeLast();
    // Closing a single line draws it twice: it stays a line.
    m_stroke.bClosed = points.size() > 2;
    End();
    m_current = m_start;
}

} // namespace Import
