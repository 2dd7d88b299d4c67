// Exported files as readers the project did not write see them: QtSvg,
// Debian's ezdxf and poppler's pdftoppm, each drawn as ink over a page of
// the sheet (millimetres) at kPxPerMm, to be compared with what should be there.
#pragma once

#include <QColor>
#include <QImage>
#include <QPainterPath>
#include <QStringList>

constexpr double kPxPerMm = 5.0;

// The paths drawn in hairlines over page.
QImage Drawn(const QList<QPainterPath>& paths, const QRectF& page);
// An SVG or DXF where its coordinates put it; a PDF's page nPdfPage, which
// keeps no sheet position, with its page's centre on page's centre. Null
// when unreadable.
QImage ReadBack(const QString& file, const QRectF& page, int nPdfPage = 1);
// The share of a's ink with no ink of b within two pixels.
double Stray(const QImage& a, const QImage& b);
// What script prints, run with sys and ezdxf imported and args as sys.argv[1:];
// *pOk false when it raised.
QString Ezdxf(const QString& script, const QStringList& args, bool* pOk = nullptr);
// ezdxf's reading of a DXF: "ERRORS UNITS LAYER:COLOUR...", then "LAYER CLOSED x,y x,y ..."
// per entity with y as the file has it (up); empty when unreadable.
QStringList DxfEntities(const QString& file);
// ...for several files at once, by one reader.
QList<QStringList> DxfEntities(const QStringList& files);

// A path as an outside reader draws it, in drawing order: its subpaths
// flattened finely (0.0005 mm), closed or not, in the colour of its stroke.
struct DrawnPath
{
    QPolygonF points;
    bool bClosed = false;
    QColor colour;
};
// QtSvg's drawing of an SVG with its viewBox onto page (its own viewBox when
// null), kept in proportion; only what it strokes.
QList<DrawnPath> SvgDrawn(const QString& file, const QRectF& page = QRectF());
// A PDF's page as poppler's pdftocairo turns it into an SVG, drawn by QtSvg (points).
QList<DrawnPath> PdfDrawn(const QString& file, int nPage = 1);
// ezdxf's reading of a DXF, inserts exploded, arcs and curves by their own
// points (0.0005 mm apart from the curve in a file of dMmPerUnit): its own
// units, y up; red for a layer not named like ENGRAVE, else blue.
QList<DrawnPath> DxfDrawn(const QString& file, double dMmPerUnit = 1);
// The farthest any point of a lies from b's lines.
double FarthestFrom(const QList<QPolygonF>& a, const QList<QPolygonF>& b);
// "" when engraving comes first and no outline comes before one inside it,
// else which pair breaks the order.
QString OrderBroken(const QList<DrawnPath>& drawn);
