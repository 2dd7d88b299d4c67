#include "CutOrder.h"

#include "Pieces.h"

#include <QLineF>

namespace {
QPointF StartOf(const Outline& outline)
{
    return outline.path.elementCount() ? QPointF(outline.path.elementAt(0)) : QPointF();
}

// Greedy: of the outlines not yet taken whose every insider is taken, the
// one nearest to the beam; its end is where the beam stops next. Those free
// to go lie in a grid by their starts, searched ring by ring outwards.
void Tour(const Outlines& sheet, const QVector<int>& pending, const QVector<QVector<int>>& containers, QPointF* pBeam,
          Outlines* pOrdered)
{
    QVector<int> waiting(sheet.size(), 0); // insiders not yet cut
    QVector<bool> taken(sheet.size(), false);
    QRectF area;
    for (int i : pending) {
        for (int k : containers[i])
            ++waiting[k];
        area = area.united(QRectF(StartOf(sheet[i]), QSizeF(1e-9, 1e-9)));
    }
    CellGrid free(area, int(pending.size()));
    for (int i : pending)
        if (waiting[i] == 0)
            free.Insert(i, QRectF(StartOf(sheet[i]), QSizeF(0, 0)));
    for (int left = int(pending.size()); left > 0; --left) {
        int best = -1;
        double nearest = qInf();
        // Out to where nothing farther out can be nearer than the nearest so far.
        for (int r = 0; free.Ring(*pBeam, r, [&](int i) {
                 if (const double d = QLineF(*pBeam, StartOf(sheet[i])).length(); d < nearest || (d == nearest && i < best))
                     nearest = d, best = i;
             }) && !(best >= 0 && nearest <= free.Beyond(*pBeam, r));
             ++r) {
        }
        if (best < 0) { // containment is acyclic, so never; but nothing is ever left out
            for (int i : pending)
                if (!taken[i])
                    *pOrdered << sheet[i];
            return;
        }
        free.Remove(best, StartOf(sheet[best]));
        taken[best] = true;
        for (int k : containers[best])
            if (--waiting[k] == 0)
                free.Insert(k, QRectF(StartOf(sheet[k]), QSizeF(0, 0)));
        *pOrdered << sheet[best];
        *pBeam = sheet[best].path.currentPosition();
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
