// What the sweep reads from a written file, and the checks kept apart from it.
#pragma once

#include <QPolygonF>
#include <QString>
#include <optional>
#include <vector>

namespace Sweep {

struct Outline
{
    QPolygonF points;
    bool bClosed = false;
    bool bCut = false;
};

using Verdict = std::optional<QString>; // a broken promise, said

inline double Cross(const QPointF& a, const QPointF& b) { return a.x() * b.y() - a.y() * b.x(); }

// The pair: a ring of a module under every bore, and a mesh that turns
// with no play, no bite and the promised contact ratio.
Verdict CheckGears(const std::vector<Outline>& outlines, double module, int z1, int z2, double* pContact);

} // namespace Sweep
