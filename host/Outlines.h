// A part as the laser sees it: outlines in millimetres (y down), each on the
// cut or the engrave layer, and the three files other programs read.
#pragma once

#include <QColor>
#include <QPainterPath>
#include <QRectF>
#include <QString>
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

// The shapes' outlines as placed; shapes with nothing to draw are left out.
Outlines OutlinesOf(CShapeList& shapes);
QRectF BoundsOf(const Outlines& outlines);
// Every coordinate a number: what leaves the host must be drawable.
bool IsFinite(const Outlines& outlines);

// The blank border round the part in every exported file.
constexpr double kPartMarginMm = 2.0;

enum class FileFormat { Unknown, Svg, Dxf, Pdf };
FileFormat FormatOf(const QString& path);

// Writes the part in the format its extension names; false with a reason in
// *pError when the extension is unknown or the file cannot be written.
bool WritePart(const Outlines& outlines, const QString& path, QString* pError);
