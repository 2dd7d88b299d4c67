// Nesting: every piece of the parts asked for fitted onto as few sheets of
// the board as it takes, by its true outline (a no-fit-polygon placement),
// turned in the steps the sheet allows, small pieces first fitted into the
// holes of larger ones. Pinned parts, and parts not asked for, stay where
// they are and the others fit round them.
#pragma once

#include "Part.h"
#include "SheetModel.h"

#include <QSet>
#include <functional>

struct NestRequest
{
    QVector<Part> parts; // the whole sheet, in its order
    QSet<int> moving;    // ids of the parts to nest; pinned ones among them stay
    SheetSetup setup;
    int nNextId = 1;     // the first id for pieces a nest separates from their part
};

struct NestOutcome
{
    bool bDone = false; // false: cancelled, or failed with strError
    QString strError;
    // The sheet after the nest, in the request's order; a part whose pieces
    // went separate ways is replaced by one part per piece where it stood.
    QVector<Part> parts;
    int nPieces = 0;   // pieces nested
    int nInHoles = 0;  // of them, inside another piece's hole
    int nTooLarge = 0; // pieces no sheet takes: each on a sheet of its own, past the others
    double dSpacingMm = 0; // kept between cuts: the spacing plus the widest kerf of the parts
};

// done of total pieces placed; called from the nesting thread.
using NestProgress = std::function<void(int nDone, int nTotal)>;
// Polled between placements; true gives up and leaves everything unchanged.
using NestCancel = std::function<bool()>;

NestOutcome Nest(const NestRequest& request, const NestProgress& progress = {}, const NestCancel& cancel = {});

// The widest kerf the parts were made for (their "kerf" value), 0 when none says.
double WidestKerf(const QVector<Part>& parts);
