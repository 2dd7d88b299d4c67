#include "SheetView.h"

#include "CTranslator.h"
#include "Rulers.h"
#include "SheetCommands.h"
#include "SheetModel.h"

#include <QGraphicsScene>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionGraphicsItem>
#include <QUndoStack>
#include <QWheelEvent>
#include <cmath>

namespace {
QString Wording(const char* pszKey)
{
    return CTranslator::GetInstance()->GetWording(QString::fromUtf8(pszKey));
}
} // namespace

PartItem::PartItem(const Part& part)
    : m_nId(part.nId)
{
    setFlags(ItemIsSelectable);
    Show(part);
}

void PartItem::Show(const Part& part)
{
    prepareGeometryChange();
    m_outlines = part.Placed();
    m_bounds = BoundsOf(m_outlines);
    setToolTip(part.strName);
    update();
}

QRectF PartItem::boundingRect() const
{
    // Room for the hairlines and the selection frame.
    return m_bounds.adjusted(-1, -1, 1, 1);
}

QPainterPath PartItem::shape() const
{
    // A part is picked anywhere inside its bounds, not only on its lines.
    QPainterPath area;
    area.addRect(m_bounds);
    return area;
}

void PartItem::paint(QPainter* pPainter, const QStyleOptionGraphicsItem* pOption, QWidget*)
{
    pPainter->setRenderHint(QPainter::Antialiasing);
    for (const Outline& outline : std::as_const(m_outlines)) {
        pPainter->setPen(QPen(LayerColour(outline.nLayer), 0));
        pPainter->drawPath(outline.path);
    }
    if (pOption->state & QStyle::State_Selected) {
        pPainter->setPen(QPen(QColor(0, 120, 215), 0, Qt::DashLine));
        pPainter->setBrush(QColor(0, 120, 215, 24));
        pPainter->drawRect(m_bounds.adjusted(-0.5, -0.5, 0.5, 0.5));
    }
}

SheetView::SheetView(SheetModel& model, QUndoStack& undo, QWidget* pParent)
    : QGraphicsView(pParent)
    , m_model(model)
    , m_undo(undo)
{
    setScene(new QGraphicsScene(this));
    setDragMode(RubberBandDrag);
    setTransformationAnchor(AnchorUnderMouse);
    setViewportUpdateMode(FullViewportUpdate); // the rulers follow the view
    setRenderHint(QPainter::Antialiasing);
    setMouseTracking(true);
    // Named, not left to the machine: the rulers' figures.
    setFont(QFont(QStringLiteral("DejaVu Sans"), 8));
    connect(&model, &SheetModel::PartAdded, this, &SheetView::Added);
    connect(&model, &SheetModel::PartRemoved, this, [this](int nId) { delete m_items.take(nId); });
    connect(&model, &SheetModel::PartChanged, this, [this](int nId) {
        if (PartItem* pItem = m_items.value(nId))
            pItem->Show(*m_model.Find(nId));
    });
    connect(&model, &SheetModel::Changed, this, &SheetView::UpdateSceneRect);
    connect(scene(), &QGraphicsScene::selectionChanged, this, &SheetView::SelectionChanged);
    for (const Part& part : model.Parts())
        Added(part.nId);
    UpdateSceneRect();
}

SheetView::~SheetView()
{
    // The scene deletes its items as it goes: no selection to report then.
    disconnect(scene(), nullptr, this, nullptr);
}

void SheetView::Added(int nId)
{
    auto* pItem = new PartItem(*m_model.Find(nId));
    m_items.insert(nId, pItem);
    scene()->addItem(pItem);
}

QList<int> SheetView::SelectedIds() const
{
    QList<int> ids;
    for (const Part& part : m_model.Parts()) // in the sheet's order
        if (m_items.value(part.nId) && m_items.value(part.nId)->isSelected())
            ids << part.nId;
    return ids;
}

void SheetView::Select(const QList<int>& ids)
{
    scene()->clearSelection();
    for (int nId : ids)
        if (PartItem* pItem = m_items.value(nId))
            pItem->setSelected(true);
}

void SheetView::UpdateSceneRect()
{
    // Room round the sheet to scroll, zoom and fit beside the rulers.
    const QRectF sheet = QRectF(QPointF(), m_model.SheetSize()).united(m_model.PartsBounds());
    const double room = std::max(sheet.width(), sheet.height());
    scene()->setSceneRect(sheet.adjusted(-room, -room, room, room));
    viewport()->update();
}

void SheetView::ZoomToFit()
{
    // The parts when there are any, else the sheet; clear of the rulers.
    const QRectF parts = m_model.PartsBounds();
    const QRectF area = (parts.isNull() ? QRectF(QPointF(), m_model.SheetSize()) : parts).adjusted(-5, -5, 5, 5);
    const QRectF free = QRectF(viewport()->rect()).adjusted(kRulerPx, kRulerPx, 0, 0);
    const double scaleBy = std::min(free.width() / area.width(), free.height() / area.height());
    if (!(scaleBy > 0) || !std::isfinite(scaleBy))
        return;
    resetTransform();
    scale(scaleBy, scaleBy);
    // The area's centre on the free rectangle's centre, half a ruler right of and below the viewport's.
    centerOn(area.center() - QPointF(kRulerPx, kRulerPx) / (2 * scaleBy));
}

void SheetView::ScrollTo(int nId)
{
    if (const Part* pPart = m_model.Find(nId))
        ensureVisible(pPart->Bounds(), kRulerPx + 10, kRulerPx + 10);
}

void SheetView::SetInches(bool bInches)
{
    m_bInches = bInches;
    viewport()->update();
}

void SheetView::MoveSelected(const QPointF& by, int nMerge)
{
    const QVector<Part>& from = m_dragged;
    if (from.isEmpty() || by.isNull())
        return;
    m_undo.push(new ReplaceCommand(m_model, Moved(from, by), Wording("Move"), nMerge));
}

void SheetView::mousePressEvent(QMouseEvent* pEvent)
{
    auto* pItem = pEvent->button() == Qt::LeftButton ? qgraphicsitem_cast<PartItem*>(itemAt(pEvent->pos())) : nullptr;
    if (!pItem) {
        QGraphicsView::mousePressEvent(pEvent);
        return;
    }
    setFocus(); // for the arrow keys
    if (pEvent->modifiers() & Qt::ControlModifier)
        pItem->setSelected(!pItem->isSelected());
    else if (!pItem->isSelected())
        Select({pItem->Id()});
    m_dragged.clear();
    for (int nId : SelectedIds())
        m_dragged << *m_model.Find(nId);
    m_dragFrom = mapToScene(pEvent->pos());
    ++m_nDrag;
}

void SheetView::mouseMoveEvent(QMouseEvent* pEvent)
{
    const QPointF at = mapToScene(pEvent->pos());
    emit CursorMoved(at);
    if (!m_dragged.isEmpty() && (pEvent->buttons() & Qt::LeftButton)) {
        MoveSelected(at - m_dragFrom, m_nDrag); // every step of one drag merges into one
        viewport()->update();
        return;
    }
    QGraphicsView::mouseMoveEvent(pEvent);
}

void SheetView::mouseReleaseEvent(QMouseEvent* pEvent)
{
    if (!m_dragged.isEmpty()) {
        m_dragged.clear();
        return;
    }
    QGraphicsView::mouseReleaseEvent(pEvent);
}

void SheetView::mouseDoubleClickEvent(QMouseEvent* pEvent)
{
    if (auto* pItem = qgraphicsitem_cast<PartItem*>(itemAt(pEvent->pos())))
        emit EditRequested(pItem->Id());
    else
        QGraphicsView::mouseDoubleClickEvent(pEvent);
}

void SheetView::keyPressEvent(QKeyEvent* pEvent)
{
    // A nudge is a step of its own: 1 mm (1/16 in), with Shift 10 mm (1/2 in).
    const bool bLarge = pEvent->modifiers() & Qt::ShiftModifier;
    const double step = m_bInches ? (bLarge ? 12.7 : 25.4 / 16) : (bLarge ? 10.0 : 1.0);
    QPointF by;
    switch (pEvent->key()) {
    case Qt::Key_Left: by = QPointF(-step, 0); break;
    case Qt::Key_Right: by = QPointF(step, 0); break;
    case Qt::Key_Up: by = QPointF(0, -step); break;
    case Qt::Key_Down: by = QPointF(0, step); break;
    default: QGraphicsView::keyPressEvent(pEvent); return;
    }
    m_dragged.clear();
    for (int nId : SelectedIds())
        m_dragged << *m_model.Find(nId);
    MoveSelected(by, -1);
    m_dragged.clear();
}

void SheetView::wheelEvent(QWheelEvent* pEvent)
{
    const double factor = std::pow(1.0015, pEvent->angleDelta().y());
    scale(factor, factor);
}

void SheetView::drawBackground(QPainter* pPainter, const QRectF& rect)
{
    pPainter->fillRect(rect, QColor(0xd8, 0xd8, 0xd8));
    const QRectF sheet(QPointF(), m_model.SheetSize());
    pPainter->fillRect(sheet, Qt::white);
    // Lines while they stay 4 pixels apart; minor ones lighter.
    const double pxPerMm = transform().m11();
    const auto [minor, major] = GridSteps(m_bInches);
    for (const auto& [step, colour] : {std::pair(minor, QColor(0xee, 0xee, 0xee)), std::pair(major, QColor(0xcc, 0xcc, 0xcc))}) {
        if (step * pxPerMm < 4)
            continue;
        pPainter->setPen(QPen(colour, 0));
        for (double x = sheet.left(); x <= sheet.right(); x += step)
            pPainter->drawLine(QPointF(x, sheet.top()), QPointF(x, sheet.bottom()));
        for (double y = sheet.top(); y <= sheet.bottom(); y += step)
            pPainter->drawLine(QPointF(sheet.left(), y), QPointF(sheet.right(), y));
    }
    // The board's edge; red while a part reaches past it.
    const bool over = !sheet.contains(m_model.PartsBounds()) && !m_model.IsEmpty();
    pPainter->setPen(QPen(over ? QColor(200, 0, 0) : Qt::darkGray, 0));
    pPainter->setBrush(Qt::NoBrush);
    pPainter->drawRect(sheet);
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
    const QRectF visible = mapToScene(area).boundingRect();
    const double pxPerMm = transform().m11();
    for (const RulerTick& tick : RulerTicks(visible.left(), visible.right(), pxPerMm, m_bInches)) {
        const int x = mapFromScene(QPointF(tick.dMm, 0)).x();
        pPainter->drawLine(x, kRulerPx, x, kRulerPx - (tick.bLabelled ? 10 : 4));
        if (tick.bLabelled && x > kRulerPx)
            pPainter->drawText(x + 2, kRulerPx - 9, tick.label);
    }
    for (const RulerTick& tick : RulerTicks(visible.top(), visible.bottom(), pxPerMm, m_bInches)) {
        const int y = mapFromScene(QPointF(0, tick.dMm)).y();
        pPainter->drawLine(kRulerPx, y, kRulerPx - (tick.bLabelled ? 10 : 4), y);
        if (tick.bLabelled && y > kRulerPx) {
            pPainter->save();
            pPainter->translate(kRulerPx - 9, y + 2);
            pPainter->rotate(-90);
            pPainter->drawText(QPointF(-30, 0), tick.label.rightJustified(5));
            pPainter->restore();
        }
    }
    pPainter->fillRect(QRect(0, 0, kRulerPx, kRulerPx), band);
    pPainter->drawText(QRect(0, 0, kRulerPx, kRulerPx), Qt::AlignCenter,
                       m_bInches ? QStringLiteral("in") : QStringLiteral("mm"));
    pPainter->restore();
}
