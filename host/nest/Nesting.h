// Nesting: every piece of the parts asked for fitted onto as few sheets of
// the board as it takes (on a roll: onto one board of its width, as short
// as it goes), by its true outline, turned in the steps the sheet allows,
// small pieces first fitted into the holes of larger ones. Pinned parts,
// and parts not asked for, stay where they are and the others fit round
// them. A first layout comes at once; a search then shortens it for as long
// as the budget allows, keeping the best.
#pragma once

#include "Part.h"
#include "SheetModel.h"

#include <QSet>
#include <functional>

struct NestRequest
{
    QVector<Part> parts; // the whole sheet, in its order
    QSet<int> moving;    // ids of the parts to nest; pinned ones among them stay
    SheetSetup setup;    // on a roll (bRoll) the board's height is what the nest finds
    int nNextId = 1;     // the first id for pieces a nest separates from their part
    double dSeconds = kDefaultSeconds; // for the search after the first layout
    int nRounds = 0;     // when above 0, exactly this many rounds of search, whatever the time
    quint64 nSeed = 1;   // the same seed, rounds and cores give the same nest
    int nThreads = 0;    // 0: every core

    static constexpr double kDefaultSeconds = 10.0;
    static constexpr double kMostSeconds = 3600.0;
};

struct NestOutcome
{
    bool bDone = false; // false: cancelled
    QString strError;
    // The sheet after the nest, in the request's order; a part whose pieces
    // went separate ways is replaced by one part per piece where it stood.
    QVector<Part> parts;
    int nPieces = 0;   // pieces nested
    int nInHoles = 0;  // of them, inside another piece's hole
    int nTooLarge = 0; // pieces no sheet takes: each on a sheet of its own, past the others
    double dSpacingMm = 0; // kept between cuts: the spacing plus the widest kerf of the parts
    double dLengthMm = 0;  // of the last sheet (of the roll) the pieces take, with the margin at its end
    // The edge that length runs in from: down from the top, across from the left or the right.
    enum class Edge { Top, Left, Right } lastFrom = Edge::Top;
    double dMaterialUse = 0; // the pieces' area over the sheets', the last one's offcut left out
    int nRounds = 0;       // of search run
    int nPlacedAgain = 0;  // by the last check, where the search had left them: 0 unless the search erred
};

// Where a nest has got to, reported after each piece of the first layout and each round of the search.
struct NestStatus
{
    int nPlaced = 0, nPieces = 0; // of the first layout
    double dMaterialUse = 0;      // of the best layout so far (0 before the first is whole)
    double dSeconds = 0;          // since the search began
    int nRound = 0;
};
enum class NestStep { Go, Stop, Cancel }; // Stop keeps the best layout so far; Cancel leaves everything as it was
// Called from the nesting threads, a few times a second at the most.
using NestProgress = std::function<NestStep(const NestStatus&)>;

NestOutcome Nest(const NestRequest& request, const NestProgress& progress = {});
// The board a roll's nest leaves: as long as it used, to a tenth of a millimetre up.
SheetSetup RollCut(SheetSetup setup, const NestOutcome& outcome);

// The widest kerf the parts were made for (their "kerf" value), 0 when none says.
double WidestKerf(const QVector<Part>& parts);
