#include "SheetModel.h"

#include <QSet>
#include <algorithm>
#include <cmath>

SheetModel::SheetModel(QObject* pParent)
    : QObject(pParent)
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

int SheetModel::SheetCount() const
{
    int count = 1;
    for (const Part& part : m_parts)
        count = std::max(count, part.nSheet + 1);
    return count;
}

double SheetModel::SheetGap() const
{
    return std::max(20.0, m_setup.size.width() / 20);
}

QPointF SheetModel::SheetOrigin(int nSheet) const
{
    return QPointF(nSheet * (m_setup.size.width() + SheetGap()), 0.0);
}

int SheetModel::SheetAt(const QPointF& at) const
{
    const int under = int(std::floor((at.x() + SheetGap() / 2) / (m_setup.size.width() + SheetGap())));
    return std::clamp(under, 0, SheetCount() - 1);
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

void SheetModel::SetParts(const QVector<Part>& parts)
{
    QSet<int> kept;
    for (const Part& part : parts)
        kept << part.nId;
    for (const Part& part : QVector<Part>(m_parts))
        if (!kept.contains(part.nId))
            m_parts.removeAt(IndexOf(part.nId)), emit PartRemoved(part.nId);
    QSet<int> there;
    for (const Part& part : std::as_const(m_parts))
        there << part.nId;
    m_parts = parts;
    for (const Part& part : parts) {
        m_nextId = std::max(m_nextId, part.nId + 1);
        if (there.contains(part.nId))
            emit PartChanged(part.nId);
        else
            emit PartAdded(part.nId);
    }
    emit Changed();
}

void SheetModel::SetSetup(const SheetSetup& setup)
{
    m_setup = setup;
    emit SheetChanged();
    emit Changed();
}

void SheetModel::Reset(const QVector<Part>& parts, const SheetSetup& setup)
{
    for (const Part& part : std::as_const(m_parts))
        emit PartRemoved(part.nId);
    m_parts.clear();
    m_nextId = 1;
    m_setup = setup;
    emit SheetChanged();
    for (const Part& part : parts)
        m_parts.append(part), m_nextId = std::max(m_nextId, part.nId + 1);
    for (const Part& part : parts)
        emit PartAdded(part.nId);
    emit Changed();
}

QRectF SheetModel::SceneBounds(const Part& part) const
{
    return part.Bounds().translated(SheetOrigin(part.nSheet));
}

QRectF SheetModel::PartsBounds() const
{
    QRectF bounds;
    for (const Part& part : m_parts)
        bounds = bounds.united(SceneBounds(part));
    return bounds;
}

Part SheetModel::Rehomed(const Part& part) const
{
    Part moved = part;
    moved.nSheet = SheetAt(SceneBounds(part).center());
    moved.position += SheetOrigin(part.nSheet) - SheetOrigin(moved.nSheet);
    return moved;
}

QVector<Outlines> SheetModel::SheetOutlines() const
{
    QVector<Outlines> sheets(SheetCount());
    for (const Part& part : m_parts)
        sheets[part.nSheet] += part.Placed();
    return sheets;
}

double SheetModel::MaterialUse() const
{
    double area = 0.0;
    for (const Part& part : m_parts)
        for (const Outlines& piece : part.pieces)
            area += PieceArea(piece);
    return area / (SheetCount() * m_setup.size.width() * m_setup.size.height());
}

QPointF SheetModel::FreeSpot(const QSizeF& size, int* pSheet, bool* pFits) const
{
    const double margin = m_setup.dMarginMm;
    const QRectF room(margin, margin, m_setup.size.width() - 2 * margin, m_setup.size.height() - 2 * margin);
    const auto found = [&](int nSheet, const QPointF& at, bool fits) {
        *pSheet = nSheet;
        if (pFits)
            *pFits = fits;
        return at;
    };
    for (int sheet = 0; sheet <= SheetCount(); ++sheet) {
        QVector<QRectF> taken;
        for (const Part& part : m_parts)
            if (part.nSheet == sheet)
                taken << part.Bounds().adjusted(-kGapMm, -kGapMm, kGapMm, kGapMm);
        // Candidate corners: the room's, and right of and below every part.
        QVector<double> xs{room.left()}, ys{room.top()};
        for (const QRectF& r : taken)
            xs << r.right(), ys << r.bottom();
        std::sort(xs.begin(), xs.end());
        std::sort(ys.begin(), ys.end());
        for (double y : ys)
            for (double x : xs) {
                const QRectF spot(QPointF(x, y), size);
                if (room.contains(spot)
                    && std::none_of(taken.cbegin(), taken.cend(), [&](const QRectF& r) { return r.intersects(spot); }))
                    return found(sheet, spot.topLeft(), true);
            }
    }
    QRectF first;
    for (const Part& part : m_parts)
        if (part.nSheet == 0)
            first = first.united(part.Bounds());
    return found(0, first.isNull() ? room.topLeft() : QPointF(room.left(), first.bottom() + kGapMm), false);
}
