#include "SheetModel.h"

#include <algorithm>
#include <cmath>

SheetModel::SheetModel(QObject* pParent)
    : QObject(pParent)
    , m_sheet(kDefaultWidthMm, kDefaultHeightMm)
{
}

int SheetModel::IndexOf(int nId) const
{
    for (int i = 0; i < m_parts.size(); ++i)
        if (m_parts[i].nId == nId)
            return i;
    return -1;
}

const Part* SheetModel::Find(int nId) const
{
    const int i = IndexOf(nId);
    return i < 0 ? nullptr : &m_parts[i];
}

int SheetModel::Add(Part part, int index)
{
    if (part.nId <= 0 || IndexOf(part.nId) >= 0)
        part.nId = m_nextId;
    m_nextId = std::max(m_nextId, part.nId + 1);
    m_parts.insert(index < 0 || index > m_parts.size() ? m_parts.size() : index, part);
    emit PartAdded(part.nId);
    emit Changed();
    return part.nId;
}

bool SheetModel::Remove(int nId, Part* pRemoved, int* pIndex)
{
    const int i = IndexOf(nId);
    if (i < 0)
        return false;
    if (pRemoved)
        *pRemoved = m_parts[i];
    if (pIndex)
        *pIndex = i;
    m_parts.removeAt(i);
    emit PartRemoved(nId);
    emit Changed();
    return true;
}

void SheetModel::Replace(const Part& part)
{
    const int i = IndexOf(part.nId);
    if (i < 0)
        return;
    m_parts[i] = part;
    emit PartChanged(part.nId);
    emit Changed();
}

void SheetModel::SetSheetSize(const QSizeF& size)
{
    m_sheet = size;
    emit SheetChanged();
    emit Changed();
}

void SheetModel::Reset(const QVector<Part>& parts, const QSizeF& sheet)
{
    for (const Part& part : std::as_const(m_parts))
        emit PartRemoved(part.nId);
    m_parts.clear();
    m_nextId = 1;
    m_sheet = sheet;
    emit SheetChanged();
    for (const Part& part : parts)
        m_parts.append(part), m_nextId = std::max(m_nextId, part.nId + 1);
    for (const Part& part : parts)
        emit PartAdded(part.nId);
    emit Changed();
}

QRectF SheetModel::PartsBounds() const
{
    QRectF bounds;
    for (const Part& part : m_parts)
        bounds = bounds.united(part.Bounds());
    return bounds;
}

Outlines SheetModel::AllOutlines() const
{
    Outlines all;
    for (const Part& part : m_parts)
        all += part.Placed();
    return all;
}

QPointF SheetModel::FreeSpot(const QSizeF& size, bool* pFits) const
{
    QVector<QRectF> taken;
    for (const Part& part : m_parts)
        taken << part.Bounds().adjusted(-kGapMm, -kGapMm, kGapMm, kGapMm);
    // Candidate corners: the sheet's, and right of and below every part.
    QVector<double> xs{kGapMm}, ys{kGapMm};
    for (const QRectF& r : taken)
        xs << r.right(), ys << r.bottom();
    std::sort(xs.begin(), xs.end());
    std::sort(ys.begin(), ys.end());
    const QRectF room(kGapMm, kGapMm, m_sheet.width() - 2 * kGapMm, m_sheet.height() - 2 * kGapMm);
    for (double y : ys)
        for (double x : xs) {
            const QRectF spot(QPointF(x, y), size);
            if (!room.contains(spot))
                continue;
            if (std::none_of(taken.cbegin(), taken.cend(), [&](const QRectF& r) { return r.intersects(spot); })) {
                if (pFits)
                    *pFits = true;
                return spot.topLeft();
            }
        }
    if (pFits)
        *pFits = false;
    const QRectF all = PartsBounds();
    return all.isNull() ? QPointF(kGapMm, kGapMm) : QPointF(kGapMm, all.bottom() + kGapMm);
}
