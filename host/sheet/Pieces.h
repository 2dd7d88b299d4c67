// Which outline lies inside which: the one rule by which outlines make
// pieces (a closed cut with the cuts inside it as its holes) and by which
// the laser cuts from the inside out.
#pragma once

#include "Outline.h"

#include <QPoint>
#include <QPolygonF>
#include <QRectF>

#include <algorithm>

// A grid of cells over an area and the items lying in (or covering) each,
// so that a question about a point looks at a few outlines, not at all.
class CellGrid
{
public:
    // About one item to a cell, at most 128 cells to a side.
    CellGrid(const QRectF& area, int nItems);
    void Insert(int item, const QRectF& bounds); // into every cell the bounds cover
    void Remove(int item, const QPointF& at);    // from the cell at lies in
    const QVector<int>& At(const QPointF& p) const { return m_cells[Index(Cell(p))]; }
    // Calls f with the items of the cells r rings round p's cell; false
    // once the grid has no cells that far.
    template <typename F>
    bool Ring(const QPointF& p, int r, F f) const
    {
        const QPoint c = Cell(p);
        if (c.x() - r < 0 && c.y() - r < 0 && c.x() + r >= m_nSide && c.y() + r >= m_nSide)
            return false;
        for (int y = c.y() - r; y <= c.y() + r; ++y)
            for (int x = c.x() - r; x <= c.x() + r; x += (y == c.y() - r || y == c.y() + r) ? 1 : 2 * r)
                if (x >= 0 && y >= 0 && x < m_nSide && y < m_nSide)
                    for (int item : m_cells[Index({x, y})])
                        f(item);
        return true;
    }
    // How near to p anything can lie that is more than r rings out from its cell.
    double Beyond(const QPointF& p, int r) const;

private:
    QPoint Cell(const QPointF& p) const;
    int Index(const QPoint& c) const { return c.y() * m_nSide + c.x(); }

    QRectF m_area;
    QSizeF m_cell;
    int m_nSide = 1;
    QVector<QVector<int>> m_cells;
};

// A point this close outside a closed outline still lies inside it: the
// rounding of drawing programs, and curves flattened on either side
// (0.01 mm each).
constexpr double kInsideToleranceMm = 0.05;

// An outline as containment sees it: its subpaths flattened.
struct FlatOutline
{
    QList<QPolygonF> rings;
    QRectF bounds;
    bool bClosed = false; // its first subpath returns to its start
    double dArea = 0.0;   // of its first subpath; 0 when open
};
FlatOutline Flattened(const Outline& outline);
QVector<FlatOutline> Flattened(const Outlines& outlines);

// Whether inner lies inside the closed outer (odd-even over outer's
// subpaths): points along inner all inside, or within the tolerance of an edge.
bool LiesInside(const FlatOutline& inner, const FlatOutline& outer);

// For every outline, the indexes of the closed cuts it lies inside
// (smallest first); a closed cut never lies inside one smaller than itself.
QVector<QVector<int>> ContainersOf(const Outlines& outlines, const QVector<FlatOutline>& flat);

// The outlines as pieces that are cut free: each closed cut that lies in
// no other, or in a hole of one (it falls out whole), with the closed cuts
// directly inside it as its holes and every other outline inside it.
// Outlines inside no closed cut go to *pStray (their indexes), in no piece.
QVector<Outlines> GroupPieces(const Outlines& outlines, QVector<int>* pStray);
