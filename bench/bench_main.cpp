// What a user waits for: the dialog opening, and the live preview of a large
// part (queueing a build with SetPreview, and the timer tick that draws it).
#include "TestSupport.h"

#include "CShape.h"
#include "CShapeList.h"
#include "DlgKerfmate.h"
#include "ReferenceEngine.h"

#include <QApplication>
#include <QComboBox>
#include <QGraphicsView>
#include <benchmark/benchmark.h>

namespace {
// A part of many small outlines, like a dense engraving or a hinge lattice;
// it keeps nothing between builds.
class ManyShapesEngine : public IGeometryEngine
{
public:
    int nShapes = 0;
    bool CreateGear(SGearBoxParam, CShapeList* pMain) override
    {
        for (int i = 0; i < nShapes; ++i) {
            QPainterPath path;
            path.addRect((i % 100) * 3.0, (i / 100) * 3.0, 2.0, 2.0);
            pMain->AddTail(new CShapeVector(path));
        }
        return true;
    }
};

struct PreviewFixture
{
    explicit PreviewFixture(int nShapes)
    {
        engine.nShapes = nShapes;
        UseEngine(&engine);
        dlg = std::make_unique<DlgKerfmate>(nullptr);
        dlg->findChild<QGraphicsView*>(QStringLiteral("graphicsView_preview"))->setFixedSize(800, 700);
        dlg->show();
        dlg->findChild<QComboBox*>(QStringLiteral("comboBox_boxSwitch"))->setCurrentIndex(2);
    }
    // One gear build, as the user's Return in the module field makes.
    void Build() { QMetaObject::invokeMethod(dlg.get(), "on_lineEdit_gearModulus_editingFinished"); }
    void Tick() { QMetaObject::invokeMethod(dlg.get(), "UpdatePreviewSlot", Qt::DirectConnection); }

    TempConfig config;
    ManyShapesEngine engine;
    std::unique_ptr<DlgKerfmate> dlg;
};

// The engine's work plus SetPreview's clone of its output.
void BM_BuildAndSetPreview(benchmark::State& state)
{
    PreviewFixture f(int(state.range(0)));
    for (auto _ : state) {
        f.Build();
        state.PauseTiming();
        f.Tick();
        state.ResumeTiming();
    }
}

// One tick that draws the queued outlines: collect, fit, add one item.
void BM_PreviewTick(benchmark::State& state)
{
    PreviewFixture f(int(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        f.Build();
        state.ResumeTiming();
        f.Tick();
    }
}

// Construction loads, pushes and builds all four generators.
void BM_DialogConstruction(benchmark::State& state)
{
    TempConfig config;
    CReferenceEngine engine;
    UseEngine(&engine);
    for (auto _ : state) {
        DlgKerfmate dlg(nullptr);
        benchmark::DoNotOptimize(dlg.GetResultList());
    }
}
} // namespace

BENCHMARK(BM_BuildAndSetPreview)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PreviewTick)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DialogConstruction)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
