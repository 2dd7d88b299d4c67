// Every change a user makes to the sheet, as undo steps on its model.
#pragma once

#include "Part.h"
#include "SheetModel.h"

#include <QHash>
#include <QUndoCommand>

// Adds parts (redo) and takes them off again (undo); with bAdd false the other way round.
class PartsCommand : public QUndoCommand
{
public:
    PartsCommand(SheetModel& model, const QVector<Part>& parts, bool bAdd, const QString& text);
    void redo() override { Put(m_bAdd); }
    void undo() override { Put(!m_bAdd); }

private:
    void Put(bool bOnSheet);

    SheetModel& m_model;
    QVector<Part> m_parts;
    QVector<int> m_indexes; // where each stood, so that an undone removal restores the order
    bool m_bAdd;
};

// One part replaced by another of the same id: an edit, or a new place,
// turn or mirror. Steps of one drag (the same nMerge) merge into one.
class ReplaceCommand : public QUndoCommand
{
public:
    ReplaceCommand(SheetModel& model, const QVector<Part>& after, const QString& text, int nMerge = -1);
    void redo() override;
    void undo() override;
    int id() const override { return m_nMerge < 0 ? -1 : 1; }
    bool mergeWith(const QUndoCommand* pOther) override;

private:
    SheetModel& m_model;
    QVector<Part> m_before, m_after;
    int m_nMerge;
};

// The board, its margin, the spacing or the turns a nest may give.
class SetupCommand : public QUndoCommand
{
public:
    SetupCommand(SheetModel& model, const SheetSetup& setup, const QString& text);
    void redo() override;
    void undo() override;

private:
    SheetModel& m_model;
    SheetSetup m_before, m_after;
};

// Every part at once, as a nest leaves them: moved, turned, onto other
// sheets, some parts split into their pieces.
class LayoutCommand : public QUndoCommand
{
public:
    LayoutCommand(SheetModel& model, const QVector<Part>& after, const QString& text);
    void redo() override;
    void undo() override;

private:
    SheetModel& m_model;
    QVector<Part> m_before, m_after;
};

// The same parts turned, mirrored or moved: what a command must replace them with.
QVector<Part> Turned(const QVector<Part>& parts, double dDegrees);
QVector<Part> Mirrored(const QVector<Part>& parts);
QVector<Part> Moved(const QVector<Part>& parts, const QPointF& by);
QVector<Part> Pinned(const QVector<Part>& parts, bool bPinned);
// Each piece of a part as a part of its own, where it lay.
QVector<Part> Ungrouped(const Part& part, int nFirstId);
