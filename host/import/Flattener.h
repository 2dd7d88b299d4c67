// Drawing commands in a file's own units, as flattened strokes in
// millimetres: every curve is mapped first and then flattened within
// kFlatnessMm, so that a scaled or skewed curve is no coarser than another.
#pragma once

#include "Import.h"

#include <QTransform>

namespace Import {

class Flattener
{
public:
    explicit Flattener(Drawing& drawing) : m_drawing(drawing) {}

    // From the file's units (where the commands are given) to millimetres.
    void SetTransform(const QTransform& toMm);
    void SetEngrave(bool bEngrave) { m_bEngrave = bEngrave; }

    void MoveTo(const QPointF& p);
    void LineTo(const QPointF& p);
    void QuadTo(const QPointF& c, const QPointF& p);
    void CubicTo(const QPointF& c1, const QPointF& c2, const QPointF& p);
    // Along centre + cos(t) u + sin(t) v from t0 through sweep (radians),
    // a line leading to its start (a move when no subpath is open); pEnd,
    // when given, is its end exactly.
    void Arc(const QPointF& centre, const QPointF& u, const QPointF& v, double t0, double dSweep,
             const QPointF* pEnd = nullptr);
    // A point already in millimetres (a curve flattened by its reader).
    void LineToMm(const QPointF& mm);
    void Close(); // back to the subpath's start, which is then the pen's place
    void End();   // the open subpath ends where it is

    QPointF Current() const { return m_current; } // in the file's units
    // Room for n more points; false (for good) once the drawing holds too many.
    bool Room(double n);
    bool Full() const { return m_bFull; }
    bool Finite() const { return m_bFinite; }
    // Why a drawing that is not Finite() cannot be held.
    QString Unheld() const;

private:
    void Add(const QPointF& mm);

    Drawing& m_drawing;
    QTransform m_toMm;
    double m_dScale = 1.0; // the most the transform stretches a length
    bool m_bEngrave = false;
    Stroke m_stroke;
    QPointF m_current, m_start;
    qint64 m_nPoints = 0;
    bool m_bFull = false;
    bool m_bFinite = true;
    QPointF m_far; // the first point too far out to hold, when one was
    bool m_bFar = false;
};

} // namespace Import
