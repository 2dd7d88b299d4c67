#include "DlgKerfmate.h"
#include "ui_DlgKerfmate.h"

#include "CShape.h"
#include "ShapeLists.h"

#include <QCoreApplication>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <QTimer>
#include <cmath>

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

    const QRectF b = path.boundingRect();
    const double fx = double(pView->width()) / b.width();
    const double fy = double(pView->height()) / b.height();
    double s = std::min(fx, fy) * 0.85;
    // A single point or a degenerate outline has no extent to fit: draw it
    // at its own size rather than at an infinite or undefined scale.
    if (!std::isfinite(s) || s <= 0.0)
        s = 1.0;

    const QPointF viewCentre = QPointF(pView->rect().center());
    path.translate(viewCentre - b.center());

    const QPointF c = path.boundingRect().center();
    QTransform t;
    t.translate(c.x(), c.y());
    t.scale(s, s);
    t.translate(-c.x(), -c.y());
    return t.map(path);
}
