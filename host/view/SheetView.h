// The sheet on screen: draws the model's parts on the board with its grid
// and rulers; a drag moves the selected parts and arrow keys nudge them,
// both as undo steps on the model.
#pragma once

#include "Part.h"

#include <QGraphicsItem>
#include <QGraphicsView>
#include <QHash>

class QUndoStack;
class SheetModel;

// One part as drawn: its placed outlines in their layer colours.
class PartItem : public QGraphicsItem
{
public:
    enum { Type = UserType + 1 };
    PartItem(const Part& part, const QPointF& sheetOrigin);

    int type() const override { return Type; }
    QRectF boundingRect() const override;
    QPainterPath shape() const override;
    void paint(QPainter* pPainter, const QStyleOptionGraphicsItem* pOption, QWidget* pWidget) override;

    int Id() const { return m_nId; }
    void Show(const Part& part, const QPointF& sheetOrigin); // draws the part as it now is, on its sheet

private:
    int m_nId;
    Outlines m_outlines; // placed, in millimetres along the row of sheets
    QRectF m_bounds;
    bool m_bPinned = false;
};

class SheetView : public QGraphicsView
{
    Q_OBJECT

public:
    static constexpr int kRulerPx = 20;

    SheetView(SheetModel& model, QUndoStack& undo, QWidget* pParent = nullptr);
    ~SheetView() override;

    QList<int> SelectedIds() const;
    void Select(const QList<int>& ids);
    PartItem* ItemOf(int nId) const { return m_items.value(nId); }
    void ZoomToFit();
    void ScrollTo(int nId);
    // The rulers and grid count inches instead of millimetres.
    void SetInches(bool bInches);
    bool Inches() const { return m_bInches; }

signals:
    void SelectionChanged();
    void EditRequested(int nId);
    void CursorMoved(const QPointF& mm);

protected:
    void drawBackground(QPainter* pPainter, const QRectF& rect) override;
    void drawForeground(QPainter* pPainter, const QRectF& rect) override;
    void mousePressEvent(QMouseEvent* pEvent) override;
    void mouseMoveEvent(QMouseEvent* pEvent) override;
    void mouseReleaseEvent(QMouseEvent* pEvent) override;
    void mouseDoubleClickEvent(QMouseEvent* pEvent) override;
    void keyPressEvent(QKeyEvent* pEvent) override;
    void wheelEvent(QWheelEvent* pEvent) override;
    void resizeEvent(QResizeEvent* pEvent) override;

private:
    void Added(int nId);
    void ShowAll();
    void UpdateSceneRect();
    void MoveSelected(const QPointF& by, int nMerge);

    SheetModel& m_model;
    QUndoStack& m_undo;
    QHash<int, PartItem*> m_items;
    bool m_bInches = false;
    // A drag: the parts as they were at the press, and where it began.
    QVector<Part> m_dragged;
    QPointF m_dragFrom;
    int m_nDrag = 0;
};
