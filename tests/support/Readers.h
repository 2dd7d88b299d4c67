// Exported files as readers the project did not write see them: QtSvg,
// Debian's ezdxf and poppler's pdftoppm, each drawn as ink over a page of
// the sheet (millimetres) at kPxPerMm, to be compared with what should be there.
#pragma once

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
// ezdxf's reading of a DXF: "ERRORS UNITS LAYER:COLOUR...", then "LAYER CLOSED x,y x,y ..."
// per entity with y as the file has it (up); empty when unreadable.
QStringList DxfEntities(const QString& file);
// ...for several files at once, by one reader.
QList<QStringList> DxfEntities(const QStringList& files);
