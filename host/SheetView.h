// The sheet: parts laid out in millimetres on a grid with rulers, moved,
// deleted and added through the undo stack.
#pragma once

#include "Outlines.h"

#include <QGraphicsItem>
#include <QGraphicsView>
#include <QHash>

class QUndoStack;

// One part as the module handed it over, drawn in its layer colours.
class PartItem : public QGraphicsItem
{
public:
    enum { Type = UserType + 1 };

    // The outlines are moved so that their bounds start at the item's origin.
    PartItem(const Outlines& outlines, const QString& strName);

    int type() const override { return Type; }
    QRectF boundingRect() const override;
    QPainterPath shape() const override;
    void paint(QPainter* pPainter, const QStyleOptionGraphicsItem* pOption, QWidget* pWidget) override;

    QString Name() const { return m_strName; }
    QRectF PartRect() const { return QRectF(pos(), m_size); } // the outlines' bounds on the sheet
    Outlines Placed() const;                                  // in sheet millimetres

private:
    Outlines m_outlines;
    QSizeF m_size;
    QString m_strName;
};

class SheetView : public QGraphicsView
{
    Q_OBJECT

public:
    static constexpr double kSheetWidthMm = 600.0;
    static constexpr double kSheetHeightMm = 400.0;
    static constexpr double kGapMm = 10.0;

    SheetView(QUndoStack& undo, QWidget* pParent = nullptr);

    QList<PartItem*> Parts() const;
    // Beside the parts already there, never over one.
    void AddPart(const Outlines& outlines, const QString& strName);
    void DeleteSelected();
    void ZoomToFit();
    Outlines AllOutlines() const;
    // The rulers count inches instead of millimetres, as the dialog shows lengths.
    void SetInches(bool bInches);

signals:
    void PartsChanged();

protected:
    void drawBackground(QPainter* pPainter, const QRectF& rect) override;
    void drawForeground(QPainter* pPainter, const QRectF& rect) override;
    void mousePressEvent(QMouseEvent* pEvent) override;
    void mouseReleaseEvent(QMouseEvent* pEvent) override;
    void wheelEvent(QWheelEvent* pEvent) override;

private:
    QPointF FreeSpot(const QSizeF& size) const;
    QRectF SheetRect() const; // the sheet, grown to hold every part

    QUndoStack& m_undo;
    QHash<PartItem*, QPointF> m_pressPositions;
    bool m_bInches = false;
};
