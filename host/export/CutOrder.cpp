#include "CutOrder.h"

#include "Pieces.h"

#include <QLineF>

namespace {
QPointF StartOf(const Outline& outline)
{
    return outline.path.elementCount() ? QPointF(outline.path.elementAt(0)) : QPointF();
}

// Greedy: of the outlines not yet taken whose every insider is taken, the
// one nearest to the beam; its end is where the beam stops next.
void Tour(const Outlines& sheet, QVector<int> pending, const QVector<QVector<int>>& containers, QPointF* pBeam,
          Outlines* pOrdered)
{
    QVector<int> waiting(sheet.size(), 0); // insiders not yet cut
    for (int i : std::as_const(pending))
        for (int k : containers[i])
            ++waiting[k];
    while (!pending.isEmpty()) {
        int best = -1;
        double nearest = qInf();
        for (int j = 0; j < pending.size(); ++j) {
            const int i = pending[j];
            if (waiting[i] > 0)
                continue;
            const QPointF d = StartOf(sheet[i]) - *pBeam;
            if (const double distance = d.x() * d.x() + d.y() * d.y(); distance < nearest)
                nearest = distance, best = j;
        }
        // Containment is acyclic, so one is always free; guard all the same.
        if (best < 0)
            best = 0;
        const int i = pending[best];
        pending.remove(best);
        for (int k : containers[i])
            --waiting[k];
        *pOrdered << sheet[i];
        *pBeam = sheet[i].path.currentPosition();
    }
}
} // namespace

Outlines CutOrdered(const Outlines& sheet)
{
    const QVector<QVector<int>> containers = ContainersOf(sheet, Flattened(sheet));
    QVector<int> engraving, cuts;
    for (int i = 0; i < sheet.size(); ++i)
        (IsEngraving(sheet[i].nLayer) ? engraving : cuts) << i;
    Outlines ordered;
    ordered.reserve(sheet.size());
    QPointF beam;
    // Engraving waits for nothing: containment only orders cuts.
    Tour(sheet, engraving, QVector<QVector<int>>(sheet.size()), &beam, &ordered);
    Tour(sheet, cuts, containers, &beam, &ordered);
    return ordered;
}

double TravelMm(const Outlines& sheet)
{
    double travel = 0.0;
    QPointF beam;
    for (const Outline& outline : sheet)
        for (int i = 0; i < outline.path.elementCount(); ++i) {
            const QPainterPath::Element e = outline.path.elementAt(i);
            if (e.isMoveTo())
                travel += QLineF(beam, e).length();
            beam = e;
        }
    return travel;
}
