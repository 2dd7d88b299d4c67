// One part on the sheet: what made it (generator and the parameters typed
// into its dialog), its pieces' outlines in the part's own frame, and where
// it lies: position, turn and mirror.
#pragma once

#include "Outline.h"

#include <QJsonObject>
#include <QString>
#include <QTransform>

struct Part
{
    int nId = 0;              // stable while the document lives, kept in its file
    QString strName;
    int nGenerator = -1;      // the dialog's switch index; -1: none
    QJsonObject parameters;   // --set names to values, lengths in millimetres
    QVector<Outlines> pieces; // each cut free on its own; bounds start at (0, 0)
    bool bGrouped = true;     // a part of several pieces moves as one until ungrouped
    QPointF position;         // where the frame's top-left lies when not turned
    double dRotation = 0.0;   // degrees, clockwise on the sheet, about the frame's centre
    bool bMirrored = false;   // left to right, before the turn
    int nSheet = 0;           // the sheet it lies on; position is in that sheet's corner's frame
    bool bPinned = false;     // nesting leaves it where it is and fits the others round it
    // A piece cut free of a part keeps that part's id and its own place
    // among its pieces, so that editing it remakes them all; 0: not a piece.
    int nSource = 0;
    int nPiece = 0;

    QSizeF Size() const; // of the frame
    QTransform Placement() const;
    Outlines Placed() const; // every piece's outlines on the sheet
    QRectF Bounds() const;   // of Placed()
    bool Remakeable() const { return nGenerator >= 0 && !parameters.isEmpty(); }
};

// A part from the module's outlines: shapes that lie inside a closed outline
// belong to its piece; pieces closer than dGap (a gear pair laid out meshed)
// are laid out in a row, dGap apart. The frame starts at (0, 0).
Part MakePart(const Outlines& outlines, double dGap);
// Pieces left to right in their order, dGap apart, in rows dGap apart; a
// piece that would reach past dWidth starts the next row. The frame starts at (0, 0).
QVector<Outlines> InRows(const QVector<Outlines>& pieces, double dGap, double dWidth);
// Normalises pieces so that their common bounds start at (0, 0).
QVector<Outlines> Framed(const QVector<Outlines>& pieces);
