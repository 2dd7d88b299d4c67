// What both boxes share: reading the board values of a box record, flat
// parts with their labels, and laying the parts out on the sheet.
#pragma once

#include "GeometryRecords.h"

#include <QPainterPath>
#include <QPolygonF>
#include <QSizeF>
#include <QString>
#include <QVector>

namespace EngineBuild {
class Part;
}

namespace EngineBoxParts {

// Outside measures and board values of a box, in millimetres.
struct BoxFrame
{
    double dLength = 0.0;   // along x
    double dWidth = 0.0;    // along y
    double dHeight = 0.0;   // along z
    double dThickness = 0.0;
    double dKerf = 0.0;
    double dMinFinger = 0.0; // narrowest finger or slot worth cutting
};

// Checks the board values of a box record and turns inside measures into
// outside ones. False, and the part refused, when a value is not finite or
// out of its range, or a side leaves no room between its two corners.
bool ResolveBoxFrame(const SRectBoxParam& param, BoxFrame* pFrame, EngineBuild::Part& part);

// A groove size must be positive and finite; too large or too small ones
// are coarsened when the fingers are counted.
bool FingerSizeValid(const char* field, double dFinger, EngineBuild::Part& part);

// One flat piece of a box, in its own coordinates until laid out: its
// nominal outline fills [0, size] and the kerf adds half its width all round.
struct FlatPart
{
    QSizeF size;
    QPolygonF outline;          // cut line, kerf already applied
    QVector<QPainterPath> cuts; // open cut lines inside the part
    QVector<QPainterPath> marks;// preview-only engraving, closed
    QString label;              // engraved name, centred on the part
    QPointF labelCentre;
    double labelRoom = 0.0;     // largest label width and height that fit

    void Translate(const QPointF& offset);
};

// Places the parts row by row, left to right, with a gap between them, and
// sets the part's bounds to the sheet they take.
void LayOutRows(QVector<QVector<FlatPart>>& rows, double dKerf, EngineBuild::Part& part);

// Outlines and cuts to the main list (cut layer), labels and marks to the
// second one (engrave layer, made only when withAux), in row order.
void EmitParts(const QVector<QVector<FlatPart>>& rows, EngineBuild::Part& part, bool withAux);

} // namespace EngineBoxParts
