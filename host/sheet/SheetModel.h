// The sheet as a document: its parts and the board they lie on. Views draw
// it and undo commands change it; nothing here knows of either.
#pragma once

#include "Part.h"

#include <QObject>
#include <QSizeF>
#include <QVector>
#include <cmath>
#include <functional>

// The board every sheet is cut from, and how nesting fills it. All sheets of
// a document are alike: as many as the parts need.
struct SheetSetup
{
    static constexpr double kDefaultWidthMm = 600.0;
    static constexpr double kDefaultHeightMm = 400.0;
    // What a board and its nest take, from the command line, the window and a file alike.
    static constexpr double kLeastSideMm = 10.0;
    static constexpr double kMostSideMm = 100'000.0;
    static constexpr double kMostGapMm = 100.0; // the margin, and the spacing
    // Whole degrees that divide a turn, or 0 for none.
    static bool TurnStepAllowed(double step)
    {
        return step == 0 || (step >= 1 && step <= 360 && step == std::floor(step) && std::fmod(360.0, step) == 0);
    }

    QSizeF size{kDefaultWidthMm, kDefaultHeightMm};
    double dMarginMm = 5.0;  // kept clear along the board's edges
    double dSpacingMm = 2.0; // material left between two parts; the beam's width comes on top
    int nTurnStep = 90;      // degrees a nested piece may turn by; 0: never
    bool bFreeTurns = false; // each piece also turned square to its own narrowest box
    bool bRoll = false;      // a roll or long stock: one board, its height what the nest uses

    bool operator==(const SheetSetup& o) const
    {
        return size == o.size && dMarginMm == o.dMarginMm && dSpacingMm == o.dSpacingMm && nTurnStep == o.nTurnStep
               && bFreeTurns == o.bFreeTurns && bRoll == o.bRoll;
    }
    bool operator!=(const SheetSetup& o) const { return !(*this == o); }
};

// What a maker reads of a part that overhangs the board: which edges and by
// how much, in inches or millimetres; wording gives each sentence in the
// maker's language. Empty when it lies on the board.
QString OverhangMessage(const QSizeF& overhangMm, bool bInches, const std::function<QString(const char*)>& wording);

class SheetModel : public QObject
{
    Q_OBJECT

public:
    static constexpr double kDefaultWidthMm = SheetSetup::kDefaultWidthMm;
    static constexpr double kDefaultHeightMm = SheetSetup::kDefaultHeightMm;
    // Between parts placed anew, and between the pieces of one part.
    static constexpr double kGapMm = 5.0;

    explicit SheetModel(QObject* pParent = nullptr);

    const QVector<Part>& Parts() const { return m_parts; }
    const Part* Find(int nId) const;
    const SheetSetup& Setup() const { return m_setup; }
    QSizeF SheetSize() const { return m_setup.size; }
    bool IsEmpty() const { return m_parts.isEmpty(); }
    // Sheets in use: one past the last that holds a part, at least one.
    int SheetCount() const;
    // The sheets lie side by side, left to right, this far apart.
    double SheetGap() const;
    QPointF SheetOrigin(int nSheet) const;
    // The sheet under a point of the row of sheets; the last one past its end.
    int SheetAt(const QPointF& at) const;

    // A fresh id for a part about to be added.
    int NextId() const { return m_nextId; }
    // Adds the part under its id (taken anew when 0), at index (the end when -1).
    int Add(Part part, int index = -1);
    // The part taken off, and where it stood; false when there is none.
    bool Remove(int nId, Part* pRemoved = nullptr, int* pIndex = nullptr);
    void Replace(const Part& part); // same id: new pieces, name, parameters or place
    // Every part at once, in this order: those missing are taken off, new ids added.
    void SetParts(const QVector<Part>& parts);
    void SetSetup(const SheetSetup& setup);
    // Replaces everything, as opening a file does.
    void Reset(const QVector<Part>& parts, const SheetSetup& setup);

    // Where a part of this size fits on a sheet without touching another,
    // kGapMm from them and the margin from the edges, scanning each sheet's
    // rows from the top left, then a new sheet; the margin's corner of the
    // first empty sheet when not even an empty board takes it (*pFits false).
    // The part nSkip (an id) counts as not there.
    QPointF FreeSpot(const QSizeF& size, int* pSheet, bool* pFits = nullptr, int nSkip = 0) const;
    // Where a part lands when it is made, made again or copied: a grouped
    // part whose pieces run past the board's usable area is laid out again in
    // rows that wrap at its width (a part turned other than square keeps its
    // layout); then it goes where FreeSpot finds room, or stays where it lies
    // when bInPlace and it lies on the board there. *pOverhang: how far it
    // reaches past the board's right and bottom edges, 0 x 0 when on it.
    Part Landed(Part part, bool bInPlace, QSizeF* pOverhang) const;
    // The part as it lies in the row of sheets.
    QRectF SceneBounds(const Part& part) const;
    QRectF PartsBounds() const; // of every part, in the row of sheets
    // The part moved in the row of sheets: onto the sheet its middle is over.
    Part Rehomed(const Part& part) const;
    // Every part on each sheet, in that sheet's frame, as the laser gets them.
    QVector<Outlines> SheetOutlines() const;
    // Area of every part's pieces (holes taken out) over that of the sheets in use.
    double MaterialUse() const;

signals:
    void PartAdded(int nId);
    void PartChanged(int nId);
    void PartRemoved(int nId);
    void SheetChanged();
    void Changed(); // after any of the above

private:
    int IndexOf(int nId) const;
    QRectF Room() const; // the board less its margin

    QVector<Part> m_parts;
    SheetSetup m_setup;
    int m_nextId = 1;
};
