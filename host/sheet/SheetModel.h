// The sheet as a document: its parts and the board they lie on. Views draw
// it and undo commands change it; nothing here knows of either.
#pragma once

#include "Part.h"

#include <QObject>
#include <QSizeF>
#include <QVector>

class SheetModel : public QObject
{
    Q_OBJECT

public:
    static constexpr double kDefaultWidthMm = 600.0;
    static constexpr double kDefaultHeightMm = 400.0;
    // Between parts placed anew, and between the pieces of one part.
    static constexpr double kGapMm = 5.0;

    explicit SheetModel(QObject* pParent = nullptr);

    const QVector<Part>& Parts() const { return m_parts; }
    const Part* Find(int nId) const;
    QSizeF SheetSize() const { return m_sheet; }
    bool IsEmpty() const { return m_parts.isEmpty(); }

    // A fresh id for a part about to be added.
    int NextId() const { return m_nextId; }
    // Adds the part under its id (taken anew when 0), at index (the end when -1).
    int Add(Part part, int index = -1);
    // The part taken off, and where it stood; false when there is none.
    bool Remove(int nId, Part* pRemoved = nullptr, int* pIndex = nullptr);
    void Replace(const Part& part); // same id: new pieces, name, parameters or place
    void SetSheetSize(const QSizeF& size);
    // Replaces everything, as opening a file does.
    void Reset(const QVector<Part>& parts, const QSizeF& sheet);

    // Where a part of this size fits on the sheet without touching another,
    // kGapMm from them and the edges, scanning rows from the top left; the
    // first spot right of or below everything when none is free (*pFits false).
    QPointF FreeSpot(const QSizeF& size, bool* pFits = nullptr) const;
    QRectF PartsBounds() const;
    // Every part on the sheet, as the laser gets them.
    Outlines AllOutlines() const;

signals:
    void PartAdded(int nId);
    void PartChanged(int nId);
    void PartRemoved(int nId);
    void SheetChanged();
    void Changed(); // after any of the above

private:
    int IndexOf(int nId) const;

    QVector<Part> m_parts;
    QSizeF m_sheet;
    int m_nextId = 1;
};
