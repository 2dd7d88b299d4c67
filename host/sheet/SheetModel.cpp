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

QRectF SheetModel::Room() const
{
    const double margin = m_setup.dMarginMm;
    return QRectF(margin, margin, m_setup.size.width() - 2 * margin, m_setup.size.height() - 2 * margin);
}

QPointF SheetModel::FreeSpot(const QSizeF& size, int* pSheet, bool* pFits, int nSkip) const
{
    const QRectF room = Room();
    const auto found = [&](int nSheet, const QPointF& at, bool fits) {
        *pSheet = nSheet;
        if (pFits)
            *pFits = fits;
        return at;
    };
    int empty = -1;
    for (int sheet = 0; sheet <= SheetCount(); ++sheet) {
        QVector<QRectF> taken;
        for (const Part& part : m_parts)
            if (part.nSheet == sheet && part.nId != nSkip)
                taken << part.Bounds().adjusted(-kGapMm, -kGapMm, kGapMm, kGapMm);
        if (taken.isEmpty() && empty < 0)
            empty = sheet;
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
    return found(empty, room.topLeft(), false);
}

Part SheetModel::Landed(Part part, bool bInPlace, QSizeF* pOverhang) const
{
    const QSizeF room = Room().size();
    const auto fits = [&room](const QRectF& bounds) {
        return bounds.width() <= room.width() + 1e-9 && bounds.height() <= room.height() + 1e-9;
    };
    const double turn = std::fmod(std::abs(part.dRotation), 180.0);
    if (part.bGrouped && part.pieces.size() > 1 && !fits(part.Bounds()) && (turn == 0.0 || turn == 90.0)) {
        const QPointF corner = part.Bounds().topLeft();
        part.pieces = InRows(part.pieces, kGapMm, turn == 0.0 ? room.width() : room.height());
        part.position += corner - part.Bounds().topLeft();
    }
    const QRectF board(QPointF(), m_setup.size);
    if (!bInPlace || !board.contains(part.Bounds())) {
        const QPointF spot = FreeSpot(part.Bounds().size(), &part.nSheet, nullptr, bInPlace ? part.nId : 0);
        part.position += spot - part.Bounds().topLeft();
    }
    const QRectF bounds = part.Bounds();
    *pOverhang = QSizeF(std::max(0.0, bounds.right() - board.right()), std::max(0.0, bounds.bottom() - board.bottom()));
    return part;
}

QString OverhangMessage(const QSizeF& overhangMm, bool bInches, const std::function<QString(const char*)>& wording)
{
    const auto length = [bInches](double mm) {
        return bInches ? QStringLiteral("%1 in").arg(mm / 25.4, 0, 'f', 2) : QStringLiteral("%1 mm").arg(mm, 0, 'f', 1);
    };
    // Only what shows in the unit it is said in.
    const bool right = overhangMm.width() >= (bInches ? 0.127 : 0.05), below = overhangMm.height() >= (bInches ? 0.127 : 0.05);
    if (right && below)
        return wording("The part does not fit the board: it overhangs the right edge by %1 and the bottom edge by %2.")
            .arg(length(overhangMm.width()), length(overhangMm.height()));
    if (right || below)
        return wording(right ? "The part does not fit the board: it overhangs the right edge by %1."
                             : "The part does not fit the board: it overhangs the bottom edge by %1.")
            .arg(length(right ? overhangMm.width() : overhangMm.height()));
    return QString();
}
