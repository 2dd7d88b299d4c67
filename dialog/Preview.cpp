#include "DlgKerfmate.h"
#include "ui_DlgKerfmate.h"

#include "CShape.h"
#include "ShapeLists.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGraphicsPathItem>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <QTimer>
#include <cmath>

namespace {
// The outline scaled about its centre to 85 % of the view's pixels, centred
// on the view's centre pixel; moves the caller's path there first.
QPainterPath FitPath(const QRect& view, QPainterPath& path)
{
    const QRectF b = path.boundingRect();
    const double fx = double(view.width()) / b.width();
    const double fy = double(view.height()) / b.height();
    double s = std::min(fx, fy) * 0.85;
    // A single point or a degenerate outline has no extent to fit: draw it
    // at its own size rather than at an infinite or undefined scale.
    if (!std::isfinite(s) || s <= 0.0)
        s = 1.0;

    path.translate(QPointF(view.center()) - b.center());

    const QPointF c = path.boundingRect().center();
    QTransform t;
    t.translate(c.x(), c.y());
    t.scale(s, s);
    t.translate(-c.x(), -c.y());
    return t.map(path);
}

// Keeps the preview in the view widget's own pixels, the ones outlines are
// fitted in. The view shows the scene from the viewport's corner on, not
// about the items' bounds: the scene learns of those only once the view has
// painted, so an outline drawn before (under a window manager the first
// tick comes before the window is shown) sat about the scene's origin, half
// outside the view. A resize fits the outline shown to the new size.
class ViewPixels : public QObject
{
public:
    explicit ViewPixels(QGraphicsView* pView)
        : QObject(pView)
        , m_pView(pView)
    {
        pView->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        pView->viewport()->installEventFilter(this);
        Pin();
    }

protected:
    bool eventFilter(QObject*, QEvent* pEvent) override
    {
        if (pEvent->type() == QEvent::Move)
            Pin();
        else if (pEvent->type() == QEvent::Resize && m_pView->scene())
            if (const QList<QGraphicsItem*> items = m_pView->scene()->items(); items.size() == 1)
                if (auto* pOutline = qgraphicsitem_cast<QGraphicsPathItem*>(items.first())) {
                    QPainterPath path = pOutline->path();
                    pOutline->setPath(FitPath(m_pView->rect(), path));
                }
        return false;
    }

private:
    // Any rectangle that fits in the view would do: only its corner counts.
    void Pin() { m_pView->setSceneRect(QRectF(m_pView->viewport()->geometry().topLeft(), QSizeF(1, 1))); }

    QGraphicsView* m_pView;
};
} // namespace

void DlgKerfmate::InitPreview()
{
    sWorking = {};
    sPending = {};
    pPreviewTimer = new QTimer(this);
    pPreviewTimer->setInterval(10);
    connect(pPreviewTimer, SIGNAL(timeout()), this, SLOT(UpdatePreviewSlot()));
    pPreviewTimer->start(10);
}

void DlgKerfmate::InitPreviewScene(QGraphicsView* pView)
{
    // The view does not own its scene: the dialog's destructor deletes it.
    pView->setScene(new QGraphicsScene());
    new ViewPixels(pView);
}

void DlgKerfmate::SetPreview(QGraphicsView* pView, CShapeList* pShapes)
{
    sPending = {};
    sPending.pView = pView;
    sPending.pShapes = pShapes ? pShapes->Clone() : nullptr;
}

void DlgKerfmate::RunBuild(BuildLists lists, const FillLists& fill)
{
    DisposeOwningList(pResultList);
    pResultList = CShapeList::New();
    if (lists == BuildLists::ResultOnly) {
        fill(pResultList, nullptr);
        SetPreview(pUi->graphicsView_preview, pResultList);
        return;
    }
    pAuxList = CShapeList::New();
    fill(pResultList, pAuxList);
    // Result first, then the second list: the preview shows both.
    CShapeList* pCombined = CShapeList::New();
    pCombined->AddTail(*pResultList);
    pCombined->AddTail(*pAuxList);
    SetPreview(pUi->graphicsView_preview, pCombined);
    DisposeOwningList(pAuxList);
    CShapeList::Release(pCombined);
}

void DlgKerfmate::UpdatePreviewSlot()
{
    sWorking = std::move(sPending);

    if (sWorking.pView && sWorking.pShapes && sWorking.pShapes->GetCount() > 0) {
        QPainterPath path;
        const unsigned int count = sWorking.pShapes->GetCount();
        for (unsigned int i = 0; i < count; ++i)
            path.addPath(*sWorking.pShapes->GetShape(i)->GetPath(false));

        QGraphicsScene* scene = sWorking.pView->scene();
        scene->clear();
        scene->addPath(FitPathToView(sWorking.pView, path), QPen(), QBrush());
        scene->update(QRectF());
    }

    sWorking = {};
}

QPainterPath DlgKerfmate::FitPathToView(QGraphicsView* pView, QPainterPath& path)
{
    QCoreApplication::processEvents();
    return FitPath(pView->rect(), path);
}
