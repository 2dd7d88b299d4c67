#include "SheetCommands.h"

#include "SheetModel.h"

#include <cmath>

PartsCommand::PartsCommand(SheetModel& model, const QVector<Part>& parts, bool bAdd, const QString& text)
    : QUndoCommand(text)
    , m_model(model)
    , m_parts(parts)
    , m_indexes(parts.size(), -1)
    , m_bAdd(bAdd)
{
}

void PartsCommand::Put(bool bOnSheet)
{
    if (bOnSheet) {
        for (int i = 0; i < m_parts.size(); ++i)
            m_model.Add(m_parts[i], m_indexes[i]);
        return;
    }
    for (int i = int(m_parts.size()) - 1; i >= 0; --i)
        m_model.Remove(m_parts[i].nId, &m_parts[i], &m_indexes[i]);
}

ReplaceCommand::ReplaceCommand(SheetModel& model, const QVector<Part>& after, const QString& text, int nMerge)
    : QUndoCommand(text)
    , m_model(model)
    , m_after(after)
    , m_nMerge(nMerge)
{
    for (const Part& part : after)
        if (const Part* pNow = model.Find(part.nId))
            m_before << *pNow;
}

void ReplaceCommand::redo()
{
    for (const Part& part : std::as_const(m_after))
        m_model.Replace(part);
}

void ReplaceCommand::undo()
{
    for (const Part& part : std::as_const(m_before))
        m_model.Replace(part);
}

bool ReplaceCommand::mergeWith(const QUndoCommand* pOther)
{
    const auto* pNext = static_cast<const ReplaceCommand*>(pOther);
    if (pNext->m_nMerge != m_nMerge || pNext->m_after.size() != m_after.size())
        return false;
    for (int i = 0; i < m_after.size(); ++i)
        if (pNext->m_after[i].nId != m_after[i].nId)
            return false;
    m_after = pNext->m_after;
    return true;
}

SetupCommand::SetupCommand(SheetModel& model, const SheetSetup& setup, const QString& text)
    : QUndoCommand(text)
    , m_model(model)
    , m_before(model.Setup())
    , m_after(setup)
{
}

void SetupCommand::redo()
{
    m_model.SetSetup(m_after);
}

void SetupCommand::undo()
{
    m_model.SetSetup(m_before);
}

LayoutCommand::LayoutCommand(SheetModel& model, const QVector<Part>& after, const QString& text)
    : QUndoCommand(text)
    , m_model(model)
    , m_before(model.Parts())
    , m_after(after)
{
}

void LayoutCommand::redo()
{
    m_model.SetParts(m_after);
}

void LayoutCommand::undo()
{
    m_model.SetParts(m_before);
}

QVector<Part> Turned(const QVector<Part>& parts, double dDegrees)
{
    QVector<Part> turned = parts;
    for (Part& part : turned)
        part.dRotation = std::fmod(std::fmod(part.dRotation + dDegrees, 360.0) + 360.0, 360.0);
    return turned;
}

QVector<Part> Mirrored(const QVector<Part>& parts)
{
    QVector<Part> mirrored = parts;
    for (Part& part : mirrored) {
        // Mirrored across the sheet's vertical, whatever the part's turn.
        part.bMirrored = !part.bMirrored;
        part.dRotation = std::fmod(360.0 - part.dRotation, 360.0);
    }
    return mirrored;
}

QVector<Part> Moved(const QVector<Part>& parts, const QPointF& by)
{
    QVector<Part> moved = parts;
    for (Part& part : moved)
        part.position += by;
    return moved;
}

QVector<Part> Pinned(const QVector<Part>& parts, bool bPinned)
{
    QVector<Part> pinned = parts;
    for (Part& part : pinned)
        part.bPinned = bPinned;
    return pinned;
}

QVector<Part> Ungrouped(const Part& part, int nFirstId)
{
    QVector<Part> pieces;
    const QTransform placement = part.Placement();
    for (int i = 0; i < part.pieces.size(); ++i) {
        Part piece = part;
        piece.nId = nFirstId + i;
        piece.strName = QStringLiteral("%1 (%2)").arg(part.strName).arg(i + 1);
        piece.nSource = part.nId;
        piece.nPiece = i;
        // Turned and mirrored as the part was, its corner where the part put it,
        // so that a piece remade later lies the same way.
        piece.pieces = Framed({part.pieces[i]});
        piece.position = QPointF();
        piece.position = placement.map(BoundsOf(part.pieces[i]).topLeft()) - piece.Placement().map(QPointF());
        piece.bGrouped = false;
        pieces << piece;
    }
    return pieces;
}
