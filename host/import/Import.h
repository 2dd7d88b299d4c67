// A maker's own artwork as parts: SVG (as Inkscape and other editors write
// it) and DXF (R12 to R2018, read with dxflib) turned into pieces, each a
// closed cut with the outlines inside it. A file is read whole or refused
// with the reason; nothing in it is left out or changed on the way.
#pragma once

#include "Part.h"

#include <QByteArray>
#include <QPolygonF>
#include <QString>
#include <QStringList>

namespace Import {

// Curves are flattened so that no point of the curve lies farther than
// this from the lines that replace it.
constexpr double kFlatnessMm = 0.01;
// Ends of lines, arcs and open paths this close are one point: they join
// into one outline, and an outline whose ends meet is closed.
constexpr double kJoinMm = 0.01;
// More points than this, once curves are flattened, is damage, not a drawing.
constexpr qint64 kMostPoints = 5'000'000;
// The largest board a sheet may have: a drawing wider is refused.
constexpr double kMostExtentMm = 100'000.0;

// One flattened subpath, in millimetres with y pointing down.
struct Stroke
{
    QPolygonF points;
    bool bClosed = false;
    bool bEngrave = false;
};

// What a reader makes of a file.
struct Drawing
{
    QVector<Stroke> strokes;
    QStringList notes; // what the maker should know, such as a unit assumed
    bool bYUp = false; // the file's own y points up: positions are told as it gives them
};

bool ReadSvg(const QByteArray& bytes, Drawing* pDrawing, QString* pError);
bool ReadDxf(const QByteArray& bytes, Drawing* pDrawing, QString* pError);

struct Imported
{
    Part part;         // generator -1, named after the file, its frame at (0, 0)
    QPointF origin;    // where that frame's corner lies in the file, in millimetres (y down)
    QStringList notes;
};

// The drawing's pieces, by its content (not its name): SVG or DXF. False
// with the reason when the file is no drawing of either kind, damaged, too
// large (the bounds of a sheet file), holds what cannot be cut as drawn
// (text, images, clips), or nothing closed to cut.
bool ReadBytes(const QByteArray& bytes, const QString& strName, Imported* pImported, QString* pError);
bool ReadFile(const QString& path, Imported* pImported, QString* pError);

} // namespace Import
