// Outlines as SVG path data ("M x y L x y C ... Z"), the one text form of a
// path that both the sheet's document file and the SVG export use.
#pragma once

#include <QPainterPath>
#include <QString>

// A subpath that returns to its start is closed with Z instead of a last line
// back. Coordinates with 4 decimals, or exact (the shortest text that reads
// back as the same number) when nDecimals is -1.
QString ToPathData(const QPainterPath& path, int nDecimals = 4);
// Reads what ToPathData writes: subpaths of an M, lines (L) and curves (C)
// and a Z or none, absolute, every coordinate within dMost. The reason when
// the text is anything else; *pPath is only touched on success.
QString FromPathData(const QString& data, QPainterPath* pPath, double dMost);
