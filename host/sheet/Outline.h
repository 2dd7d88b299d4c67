// A part as the laser sees it: outlines in millimetres (y down), each on the
// cut or the engrave layer.
#pragma once

#include <QColor>
#include <QPainterPath>
#include <QRectF>
#include <QVector>

class CShapeList;

struct Outline
{
    QPainterPath path;
    int nLayer = 0; // CShape::Layer
};
using Outlines = QVector<Outline>;

// Red cuts, blue engraves: the colours laser software maps to layers.
QColor LayerColour(int nLayer);
bool IsEngraving(int nLayer);

// The shapes' outlines as placed; shapes with nothing to draw are left out.
Outlines OutlinesOf(CShapeList& shapes);
QRectF BoundsOf(const Outlines& outlines);
// Every coordinate a number: what leaves the host must be drawable.
bool IsFinite(const Outlines& outlines);
Outlines Mapped(const Outlines& outlines, const QTransform& transform);
// The path's subpaths as polygons, curves within about 0.01 mm.
QList<QPolygonF> FlatPolygons(const QPainterPath& path);
// Positive when the polygon turns clockwise on the sheet (y down).
double RingArea(const QPolygonF& polygon);
// What a piece takes from the board: the inside of its largest closed cut,
// less the closed cuts inside that, which fall out.
double PieceArea(const Outlines& piece);
