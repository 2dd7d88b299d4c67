#include "SheetView.h"

#include <QGraphicsScene>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyleOptionGraphicsItem>
#include <QUndoCommand>
#include <QUndoStack>
#include <QWheelEvent>
#include <cmath>
#include <functional>

namespace {
constexpr int kRulerPx = 20;

// Adds parts to the sheet or takes them off; owns them while they are off.
class PartsCommand : public QUndoCommand
{
public:
    PartsCommand(SheetView* pView, const QList<PartItem*>& parts, bool bAdd)
        : m_pView(pView)
        , m_parts(parts)
        , m_bAdd(bAdd)
    {
    }
    ~PartsCommand() override
    {
        for (PartItem* pPart : m_parts)
            if (!pPart->scene())
                delete pPart;
    }
    void redo() override { Put(m_bAdd); }
    void undo() override { Put(!m_bAdd); }

private:
    void Put(bool bOnSheet)
    {
        for (PartItem* pPart : m_parts) {
            if (bOnSheet)
                m_pView->scene()->addItem(pPart);
            else
                m_pView->scene()->removeItem(pPart);
        }
        emit m_pView->PartsChanged();
    }

    SheetView* m_pView;
    QList<PartItem*> m_parts;
    bool m_bAdd;
};

class MoveCommand : public QUndoCommand
{
public:
    MoveCommand(SheetView* pView, const QHash<PartItem*, QPointF>& from)
        : m_pView(pView)
        , m_from(from)
    {
        for (auto it = from.cbegin(); it != from.cend(); ++it)
            m_to.insert(it.key(), it.key()->pos());
    }
    void redo() override { Place(m_to); }
    void undo() override { Place(m_from); }

private:
    void Place(const QHash<PartItem*, QPointF>& positions)
    {
        for (auto it = positions.cbegin(); it != positions.cend(); ++it)
            it.key()->setPos(it.value());
        emit m_pView->PartsChanged();
    }

    SheetView* m_pView;
    QHash<PartItem*, QPointF> m_from;
    QHash<PartItem*, QPointF> m_to;
};

// Steps of 1, 2 or 5 times a power of ten, the first at least minMm long.
double NiceStep(double minMm)
{
    const double power = std::pow(10.0, std::floor(std::log10(std::max(minMm, 1e-3))));
    for (double factor : {1.0, 2.0, 5.0, 10.0})
        if (factor * power >= minMm)
            return factor * power;
    return 10 * power;
}
} // namespace

PartItem::PartItem(const Outlines& outlines, const QString& strName)
    : m_strName(strName)
{
    const QRectF bounds = BoundsOf(outlines);
    m_size = bounds.size();
    for (Outline outline : outlines) {
        outline.path.translate(-bounds.topLeft());
        m_outlines.append(outline);
    }
    setFlags(ItemIsSelectable | ItemIsMovable);
    setToolTip(strName);
}

QRectF PartItem::boundingRect() const
{
    // Room for the hairlines and the selection frame.
    return QRectF(QPointF(), m_size).adjusted(-1, -1, 1, 1);
}

QPainterPath PartItem::shape() const
{
    // A part is picked anywhere inside its bounds, not only on its lines.
    QPainterPath area;
    area.addRect(QRectF(QPointF(), m_size));
    return area;
}

void PartItem::paint(QPainter* pPainter, const QStyleOptionGraphicsItem* pOption, QWidget*)
{
    pPainter->setRenderHint(QPainter::Antialiasing);
    for (const Outline& outline : m_outlines) {
        pPainter->setPen(QPen(LayerColour(outline.nLayer), 0));
        pPainter->drawPath(outline.path);
    }
    if (pOption->state & QStyle::State_Selected) {
        QPen frame(QColor(0, 120, 215), 0, Qt::DashLine);
        pPainter->setPen(frame);
        pPainter->setBrush(QColor(0, 120, 215, 24));
        pPainter->drawRect(QRectF(QPointF(), m_size).adjusted(-0.5, -0.5, 0.5, 0.5));
    }
}

Outlines PartItem::Placed() const
{
    Outlines placed = m_outlines;
    for (Outline& outline : placed)
        outline.path.translate(pos());
    return placed;
}

SheetView::SheetView(QUndoStack& undo, QWidget* pParent)
    : QGraphicsView(pParent)
    , m_undo(undo)
{
    setScene(new QGraphicsScene(this));
    setDragMode(RubberBandDrag);
    setTransformationAnchor(AnchorUnderMouse);
    setViewportUpdateMode(FullViewportUpdate); // the rulers follow the view
    setRenderHint(QPainter::Antialiasing);
    // Named, not left to the machine: the rulers' figures.
    setFont(QFont(QStringLiteral("DejaVu Sans"), 8));
    scene()->setSceneRect(SheetRect());
}

QList<PartItem*> SheetView::Parts() const
{
    QList<PartItem*> parts;
    for (QGraphicsItem* pItem : scene()->items(Qt::AscendingOrder))
        if (pItem->type() == PartItem::Type)
            parts.append(static_cast<PartItem*>(pItem));
    return parts;
}

QPointF SheetView::FreeSpot(const QSizeF& size) const
{
    // Right of every part, or below every part when the row is full: both
    // lie outside all parts, so nothing overlaps whatever was moved where.
    QRectF taken;
    for (const PartItem* pPart : Parts())
        taken = taken.united(pPart->PartRect());
    if (taken.isNull())
        return QPointF(kGapMm, kGapMm);
    if (taken.right() + kGapMm + size.width() <= kSheetWidthMm - kGapMm)
        return QPointF(taken.right() + kGapMm, std::max(kGapMm, taken.top()));
    return QPointF(kGapMm, taken.bottom() + kGapMm);
}

void SheetView::AddPart(const Outlines& outlines, const QString& strName)
{
    auto* pPart = new PartItem(outlines, strName);
    pPart->setPos(FreeSpot(pPart->PartRect().size()));
    m_undo.push(new PartsCommand(this, {pPart}, true));
    scene()->clearSelection();
    pPart->setSelected(true);
    scene()->setSceneRect(SheetRect());
}

void SheetView::DeleteSelected()
{
    QList<PartItem*> parts;
    for (PartItem* pPart : Parts())
        if (pPart->isSelected())
            parts.append(pPart);
    if (!parts.isEmpty())
        m_undo.push(new PartsCommand(this, parts, false));
}

Outlines SheetView::AllOutlines() const
{
    Outlines all;
    for (const PartItem* pPart : Parts())
        all += pPart->Placed();
    return all;
}

QRectF SheetView::SheetRect() const
{
    QRectF sheet(0, 0, kSheetWidthMm, kSheetHeightMm);
    for (const PartItem* pPart : Parts())
        sheet = sheet.united(pPart->PartRect().adjusted(0, 0, kGapMm, kGapMm));
    return sheet;
}

void SheetView::ZoomToFit()
{
    // The parts when there are any, else the empty sheet; beside the rulers.
    QRectF area;
    for (const PartItem* pPart : Parts())
        area = area.united(pPart->PartRect());
    area = (area.isNull() ? SheetRect() : area).adjusted(-kGapMm, -kGapMm, kGapMm, kGapMm);
    scene()->setSceneRect(SheetRect());
    const QRectF free = QRectF(viewport()->rect()).adjusted(kRulerPx, kRulerPx, 0, 0);
    const double scaleBy = std::min(free.width() / area.width(), free.height() / area.height());
    if (!(scaleBy > 0))
        return;
    resetTransform();
    scale(scaleBy, scaleBy);
    centerOn(area.center() - QPointF(kRulerPx, kRulerPx) / (2 * scaleBy));
}

void SheetView::drawBackground(QPainter* pPainter, const QRectF& rect)
{
    pPainter->fillRect(rect, QColor(0xd8, 0xd8, 0xd8));
    const QRectF sheet = SheetRect();
    pPainter->fillRect(sheet, Qt::white);
    // Minor lines 10 mm (a quarter inch) apart while they stay 4 pixels apart; major 50 mm (an inch),
    // so the grid counts what the rulers count.
    const double pxPerMm = transform().m11();
    const double minor = m_bInches ? 25.4 / 4 : 10.0, major = m_bInches ? 25.4 : 50.0;
    for (const auto& [step, colour] : {std::pair(minor, QColor(0xee, 0xee, 0xee)), std::pair(major, QColor(0xcc, 0xcc, 0xcc))}) {
        if (step * pxPerMm < 4)
            continue;
        pPainter->setPen(QPen(colour, 0));
        for (double x = sheet.left(); x <= sheet.right(); x += step)
            pPainter->drawLine(QPointF(x, sheet.top()), QPointF(x, sheet.bottom()));
        for (double y = sheet.top(); y <= sheet.bottom(); y += step)
            pPainter->drawLine(QPointF(sheet.left(), y), QPointF(sheet.right(), y));
    }
    pPainter->setPen(QPen(Qt::darkGray, 0));
    pPainter->drawRect(sheet);
}

void SheetView::SetInches(bool bInches)
{
    m_bInches = bInches;
    viewport()->update();
}

void SheetView::drawForeground(QPainter* pPainter, const QRectF&)
{
    // Rulers along the top and the left edge, in the unit the dialog shows,
    // from the sheet's corner; drawn in the viewport's pixels.
    pPainter->save();
    pPainter->resetTransform();
    const QRect area = viewport()->rect();
    const QColor band(0xf4, 0xf4, 0xf4);
    pPainter->fillRect(QRect(0, 0, area.width(), kRulerPx), band);
    pPainter->fillRect(QRect(0, 0, kRulerPx, area.height()), band);
    pPainter->setPen(Qt::darkGray);
    pPainter->setFont(font());
    const double mmPerUnit = m_bInches ? 25.4 : 1.0;
    const double label = NiceStep(48 / (transform().m11() * mmPerUnit)); // in the unit shown
    const double tick = label / 5;
    const QRectF visible = mapToScene(area).boundingRect();
    // Every tick of one ruler, labelled or not, as a value in the unit shown.
    auto ticks = [&](double fromMm, double toMm, const std::function<void(double value, bool major)>& draw) {
        for (double value = std::floor(fromMm / mmPerUnit / tick) * tick; value * mmPerUnit <= toMm; value += tick)
            draw(value, std::abs(std::remainder(value, label)) < tick / 2);
    };
    auto figure = [&](double value) { return QString::number(std::round(value / tick) * tick, 'g', 6); };
    ticks(visible.left(), visible.right(), [&](double value, bool major) {
        const int x = mapFromScene(QPointF(value * mmPerUnit, 0)).x();
        pPainter->drawLine(x, kRulerPx, x, kRulerPx - (major ? 10 : 4));
        if (major && x > kRulerPx)
            pPainter->drawText(x + 2, kRulerPx - 9, figure(value));
    });
    ticks(visible.top(), visible.bottom(), [&](double value, bool major) {
        const int y = mapFromScene(QPointF(0, value * mmPerUnit)).y();
        pPainter->drawLine(kRulerPx, y, kRulerPx - (major ? 10 : 4), y);
        if (major && y > kRulerPx) {
            pPainter->save();
            pPainter->translate(kRulerPx - 9, y + 2);
            pPainter->rotate(-90);
            pPainter->drawText(QPointF(-30, 0), figure(value).rightJustified(5));
            pPainter->restore();
        }
    });
    pPainter->fillRect(QRect(0, 0, kRulerPx, kRulerPx), band);
    pPainter->drawText(QRect(0, 0, kRulerPx, kRulerPx), Qt::AlignCenter,
                       m_bInches ? QStringLiteral("in") : QStringLiteral("mm"));
    pPainter->restore();
}

void SheetView::mousePressEvent(QMouseEvent* pEvent)
{
    QGraphicsView::mousePressEvent(pEvent);
    m_pressPositions.clear();
    for (PartItem* pPart : Parts())
        if (pPart->isSelected())
            m_pressPositions.insert(pPart, pPart->pos());
}

void SheetView::mouseReleaseEvent(QMouseEvent* pEvent)
{
    QGraphicsView::mouseReleaseEvent(pEvent);
    bool moved = false;
    for (auto it = m_pressPositions.cbegin(); it != m_pressPositions.cend(); ++it)
        moved = moved || it.key()->pos() != it.value();
    if (moved)
        m_undo.push(new MoveCommand(this, m_pressPositions));
    m_pressPositions.clear();
    scene()->setSceneRect(SheetRect());
}

void SheetView::wheelEvent(QWheelEvent* pEvent)
{
    const double factor = std::pow(1.0015, pEvent->angleDelta().y());
    scale(factor, factor);
}
