// The contours of glyph outlines: curves flattened, and overlapping
// contours merged into one, as a laser must cut them.
#pragma once

#include <QPainterPath>
#include <QPolygonF>
#include <QTransform>
#include <QVector>

namespace TextOutline {

// Closed contours of path mapped by transform, each curve replaced by
// straight lines within tolerance of it.
QVector<QPolygonF> Sampled(const QPainterPath& path, const QTransform& transform, double tolerance);
// Where an outline's own contours overlap (the strokes of some CJK faces
// do), an even-odd fill would leave holes: such an outline is replaced by
// the union of its contours.
void MergeOwnContours(QPainterPath& outline);
// The union of contours (non-zero), appended to target as closed polygons.
void AppendUnion(QPainterPath& target, const QVector<QPolygonF>& contours);

} // namespace TextOutline
