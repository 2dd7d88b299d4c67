#include "SheetView.h"

#include "CTranslator.h"
#include "MainWindowWording.h"
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
#include <algorithm>
#include <cmath>

namespace {
// Every sheet in use, side by side.
QRectF SheetsRect(const SheetModel& model)
{
    return QRectF(QPointF(), model.SheetSize()).united(QRectF(model.SheetOrigin(model.SheetCount() - 1), model.SheetSize()));
}
} // namespace

PartItem::PartItem(const Part& part, const QPointF& sheetOrigin)
    : m_nId(part.nId)
{
    setFlags(ItemIsSelectable);
    Show(part, sheetOrigin);
}

void PartItem::Show(const Part& part, const QPointF& sheetOrigin)
{
    prepareGeometryChange();
    m_outlines = Mapped(part.Placed(), QTransform::fromTranslate(sheetOrigin.x(), sheetOrigin.y()));
    m_bounds = BoundsOf(m_outlines);
    m_bPinned = part.bPinned;
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
    if (m_bPinned) { // a pin in the top-left corner: nesting leaves it there
        pPainter->setPen(QPen(QColor(90, 90, 90), 0));
        pPainter->setBrush(QColor(230, 160, 0));
        const double r = std::clamp(std::min(m_bounds.width(), m_bounds.height()) / 12, 1.0, 4.0);
        pPainter->drawEllipse(m_bounds.topLeft() + QPointF(r, r), r, r);
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
            pItem->Show(*m_model.Find(nId), m_model.SheetOrigin(m_model.Find(nId)->nSheet));
    });
    // A new board size moves every sheet but the first along the row.
    connect(&model, &SheetModel::SheetChanged, this, &SheetView::ShowAll);
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

void SheetView::ShowAll()
{
    for (const Part& part : m_model.Parts())
        if (PartItem* pItem = m_items.value(part.nId))
            pItem->Show(part, m_model.SheetOrigin(part.nSheet));
}

void SheetView::Added(int nId)
{
    const Part& part = *m_model.Find(nId);
    auto* pItem = new PartItem(part, m_model.SheetOrigin(part.nSheet));
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
    const QRectF sheet = SheetsRect(m_model).united(m_model.PartsBounds());
    const double room = std::max(sheet.width(), sheet.height());
    scene()->setSceneRect(sheet.adjusted(-room, -room, room, room));
    viewport()->update();
}

void SheetView::ZoomToFit()
{
    // The boards and every part, also one that reaches past them; clear of the rulers.
    const QRectF parts = m_model.PartsBounds();
    const QRectF area = (parts.isNull() ? SheetsRect(m_model) : SheetsRect(m_model).united(parts)).adjusted(-5, -5, 5, 5);
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
        ensureVisible(m_model.SceneBounds(*pPart), kRulerPx + 10, kRulerPx + 10);
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
    QVector<Part> moved = Moved(from, by);
    for (Part& part : moved)
        part = m_model.Rehomed(part);
    m_undo.push(new ReplaceCommand(m_model, moved, Wording("Move"), nMerge));
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

void SheetView::resizeEvent(QResizeEvent* pEvent)
{
    QGraphicsView::resizeEvent(pEvent);
    if (m_model.IsEmpty()) // the whole board to begin on, at any size of the window
        ZoomToFit();
}

void SheetView::drawBackground(QPainter* pPainter, const QRectF& rect)
{
    pPainter->fillRect(rect, QColor(0xd8, 0xd8, 0xd8));
    // Lines while they stay 4 pixels apart; minor ones lighter.
    const double pxPerMm = transform().m11();
    const auto [minor, major] = GridSteps(m_bInches);
    QVector<bool> over(m_model.SheetCount());
    for (const Part& part : m_model.Parts())
        over[part.nSheet] = over[part.nSheet] || !QRectF(QPointF(), m_model.SheetSize()).contains(part.Bounds());
    for (int i = 0; i < m_model.SheetCount(); ++i) {
        const QRectF sheet(m_model.SheetOrigin(i), m_model.SheetSize());
        pPainter->fillRect(sheet, Qt::white);
        for (const auto& [step, colour] : {std::pair(minor, QColor(0xee, 0xee, 0xee)), std::pair(major, QColor(0xcc, 0xcc, 0xcc))}) {
            if (step * pxPerMm < 4)
                continue;
            pPainter->setPen(QPen(colour, 0));
            for (double x = 0; x <= sheet.width(); x += step)
                pPainter->drawLine(QPointF(sheet.left() + x, sheet.top()), QPointF(sheet.left() + x, sheet.bottom()));
            for (double y = sheet.top(); y <= sheet.bottom(); y += step)
                pPainter->drawLine(QPointF(sheet.left(), y), QPointF(sheet.right(), y));
        }
        // The margin nesting keeps clear, dashed; the board's edge red while a part reaches past it.
        const double margin = m_model.Setup().dMarginMm;
        pPainter->setBrush(Qt::NoBrush);
        if (margin > 0 && 2 * margin < std::min(sheet.width(), sheet.height())) {
            pPainter->setPen(QPen(QColor(0xa0, 0xa0, 0xa0), 0, Qt::DashLine));
            pPainter->drawRect(sheet.adjusted(margin, margin, -margin, -margin));
        }
        pPainter->setPen(QPen(over[i] ? QColor(200, 0, 0) : Qt::darkGray, 0));
        pPainter->drawRect(sheet);
    }
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
    if (m_model.IsEmpty()) { // how to begin, in one line across the sheet
        const QRect sheet = mapFromScene(QRectF(QPointF(), m_model.SheetSize())).boundingRect();
        pPainter->setPen(QColor(0x70, 0x70, 0x70));
        pPainter->setFont(QFont(font().family(), 11));
        pPainter->drawText(sheet, Qt::AlignCenter | Qt::TextSingleLine,
                           Wording("Begin with Part > New part..., File > Import outlines... or File > Open..."));
    }
    pPainter->fillRect(QRect(0, 0, kRulerPx, kRulerPx), band);
    pPainter->drawText(QRect(0, 0, kRulerPx, kRulerPx), Qt::AlignCenter,
                       m_bInches ? QStringLiteral("in") : QStringLiteral("mm"));
    pPainter->restore();
}
