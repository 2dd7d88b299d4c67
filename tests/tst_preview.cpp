// The live preview: what reaches the view's scene, when, and what it costs
// in shape copies.
#include "TestSupport.h"

#include "CShape.h"
#include "CShapeList.h"
#include "DlgKerfmate.h"

#include <QApplication>
#include <QComboBox>
#include <QGraphicsPathItem>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <QtTest>
#include <cmath>

namespace {
// Draws whatever the test asks for, for every generator.
class ScriptedEngine : public RecordingEngine
{
public:
    QList<QPainterPath> main;
    QList<QPainterPath> aux;

    bool CreateSeal(SSealBoxParam p, CShapeList* pMain) override
    {
        calls.append({QStringLiteral("seal"), RecordBytes(p), {}});
        Fill(pMain, main);
        return true;
    }
    bool CreateGear(SGearBoxParam p, CShapeList* pMain) override
    {
        calls.append({QStringLiteral("gear"), RecordBytes(p), {}});
        Fill(pMain, main);
        return true;
    }
    bool CreateRectBox(SRectBoxParam p, CShapeList* pMain, CShapeList* pAux, SFaceLabels*) override
    {
        calls.append({QStringLiteral("rect"), RecordBytes(p), {}});
        Fill(pMain, main);
        Fill(pAux, aux);
        return true;
    }
    bool CreateFilletBox(SFilletBoxParam p, CShapeList* pMain, CShapeList* pAux) override
    {
        calls.append({QStringLiteral("fillet"), RecordBytes(p), {}});
        Fill(pMain, main);
        Fill(pAux, aux);
        return true;
    }

private:
    static void Fill(CShapeList* list, const QList<QPainterPath>& paths)
    {
        for (const QPainterPath& path : paths)
            list->AddTail(new CShapeVector(path));
    }
};

QPainterPath Rect(double x, double y, double w, double h)
{
    QPainterPath path;
    path.addRect(x, y, w, h);
    return path;
}
} // namespace

class TestPreview : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void firstDrawingIsTheLastBuildOfConstruction();
    void burstDrawsOnlyTheLatest();
    void emptyBuildKeepsThePreviousDrawing();
    void fitsOutline_data();
    void fitsOutline();
    void boxPreviewShowsBothListsButReturnsOnlyTheMain();

private:
    void Open();
    void Build(int generator); // switches to it, as a user would
    void Tick() { QTest::qWait(40); }
    QGraphicsView* View() const { return m_dlg->findChild<QGraphicsView*>(QStringLiteral("graphicsView_preview")); }
    QList<QGraphicsItem*> Items() const { return View()->scene()->items(); }
    QRectF DrawnRect() const;

    std::unique_ptr<TempConfig> m_config;
    ScriptedEngine m_engine;
    std::unique_ptr<DlgKerfmate> m_dlg;
    long m_shapesBefore = 0;
};

void TestPreview::init()
{
    m_config = std::make_unique<TempConfig>();
    m_engine = ScriptedEngine();
    m_engine.main = {Rect(0, 0, 100, 50)};
    UseEngine(&m_engine);
    m_shapesBefore = CShape::LiveCount();
}

void TestPreview::cleanup()
{
    m_dlg.reset();
    QVERIFY(QApplication::topLevelWidgets().isEmpty());
    QCOMPARE(CShape::LiveCount(), m_shapesBefore);
    m_config.reset();
}

void TestPreview::Open()
{
    m_dlg = std::make_unique<DlgKerfmate>(nullptr);
    View()->setFixedSize(400, 400);
    m_dlg->show();
    QApplication::processEvents();
    QCOMPARE(View()->size(), QSize(400, 400));
}

void TestPreview::Build(int generator)
{
    auto* combo = m_dlg->findChild<QComboBox*>(QStringLiteral("comboBox_boxSwitch"));
    if (combo->currentIndex() == generator)
        combo->setCurrentIndex((generator + 1) % 4);
    combo->setCurrentIndex(generator);
}

QRectF TestPreview::DrawnRect() const
{
    const QList<QGraphicsItem*> items = Items();
    if (items.size() != 1)
        return QRectF();
    auto* item = qgraphicsitem_cast<QGraphicsPathItem*>(items.first());
    return item ? item->path().boundingRect() : QRectF();
}

void TestPreview::firstDrawingIsTheLastBuildOfConstruction()
{
    m_engine.main = {Rect(0, 0, 100, 50)};
    m_dlg = std::make_unique<DlgKerfmate>(nullptr);
    // Nothing is drawn before the event loop runs.
    QVERIFY(Items().isEmpty());
    QCOMPARE(m_engine.last()->op, QStringLiteral("rect"));
    m_dlg->show();
    QTRY_COMPARE(Items().size(), 1);
}

void TestPreview::burstDrawsOnlyTheLatest()
{
    Open();
    Tick();
    const long settled = CShape::LiveCount();

    m_engine.main = {Rect(0, 0, 10, 10)};
    Build(2);
    m_engine.main = {Rect(0, 0, 20, 10)};
    Build(3);
    m_engine.main = {Rect(0, 0, 10, 40)};
    Build(2);
    // The result list and one queued copy; the first two copies are gone.
    QCOMPARE(CShape::LiveCount(), settled + 1);

    Tick();
    QCOMPARE(Items().size(), 1);
    const QRectF drawn = DrawnRect();
    QCOMPARE(qRound(drawn.height() / drawn.width()), 4); // the 10 by 40 outline
    QCOMPARE(CShape::LiveCount(), settled); // the drawn copy is released too
}

void TestPreview::emptyBuildKeepsThePreviousDrawing()
{
    Open();
    Tick();
    QGraphicsItem* before = Items().value(0);
    QVERIFY(before);
    const QRectF drawnBefore = DrawnRect();

    m_engine.main.clear();
    Build(2);
    Tick();
    QCOMPARE(Items().size(), 1);
    QCOMPARE(Items().first(), before);
    QCOMPARE(DrawnRect(), drawnBefore);
}

void TestPreview::fitsOutline_data()
{
    QTest::addColumn<QRectF>("outline");
    QTest::addColumn<QSizeF>("drawn");
    QTest::addColumn<bool>("centred");
    QTest::newRow("wide: width decides") << QRectF(0, 0, 100, 50) << QSizeF(340, 170) << true;
    QTest::newRow("tall: height decides") << QRectF(-7, 3, 50, 100) << QSizeF(170, 340) << true;
    QTest::newRow("tall and narrow") << QRectF(0, 0, 10, 200) << QSizeF(17, 340) << true;
    QTest::newRow("tiny") << QRectF(0, 0, 0.5, 0.25) << QSizeF(340, 170) << true;
    QTest::newRow("line of no height") << QRectF(0, 0, 80, 0) << QSizeF(340, 0) << true;
    QTest::newRow("single point") << QRectF(5, 5, 0, 0) << QSizeF(0, 0) << false;
}

void TestPreview::fitsOutline()
{
    QFETCH(QRectF, outline);
    QFETCH(QSizeF, drawn);
    QFETCH(bool, centred);

    Open();
    QPainterPath path;
    path.moveTo(outline.topLeft());
    path.lineTo(outline.topRight());
    path.lineTo(outline.bottomRight());
    path.lineTo(outline.bottomLeft());
    path.closeSubpath();
    m_engine.main = {path};
    Build(2);
    Tick();

    const QRectF rect = DrawnRect();
    QVERIFY(std::isfinite(rect.width()) && std::isfinite(rect.height()));
    QVERIFY(std::isfinite(rect.x()) && std::isfinite(rect.y()));
    QVERIFY2(qAbs(rect.width() - drawn.width()) < 1e-6 && qAbs(rect.height() - drawn.height()) < 1e-6,
             qPrintable(QStringLiteral("%1 x %2").arg(rect.width()).arg(rect.height())));
    // Centred on the view's centre pixel (a lone point has no outline).
    if (!centred)
        return;
    QVERIFY2(qAbs(rect.center().x() - 199.0) < 1e-6 && qAbs(rect.center().y() - 199.0) < 1e-6,
             qPrintable(QStringLiteral("centre %1, %2").arg(rect.center().x()).arg(rect.center().y())));
}

void TestPreview::boxPreviewShowsBothListsButReturnsOnlyTheMain()
{
    m_engine.main = {Rect(0, 0, 100, 50)};
    m_engine.aux = {Rect(100, 0, 100, 50)};
    Open();
    Build(1); // rounded box
    Tick();
    QCOMPARE(DrawnRect().size(), QSizeF(340, 85));
    QCOMPARE(m_dlg->GetResultList()->GetCount(), 1u);
    QCOMPARE(m_dlg->GetResultList()->GetShape(0)->GetPath(false)->boundingRect(), QRectF(0, 0, 100, 50));

    Build(0); // right-angle box
    Tick();
    QCOMPARE(DrawnRect().size(), QSizeF(340, 85));
    QCOMPARE(m_dlg->GetResultList()->GetCount(), 1u);
}

QTEST_MAIN(TestPreview)
#include "tst_preview.moc"
