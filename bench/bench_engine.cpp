// The reference engine's builds as a user's edit triggers them: the
// defaults, and the heaviest parts the dialog can ask for.
#include "ReferenceEngine.h"
#include "ShapeLists.h"
#include "TextField.h"

#include <QString>
#include <benchmark/benchmark.h>

namespace {

template <typename Build>
void RunBuilds(benchmark::State& state, Build build)
{
    CReferenceEngine engine;
    for (auto _ : state) {
        CShapeList* pMain = CShapeList::New();
        CShapeList* pAux = CShapeList::New();
        benchmark::DoNotOptimize(build(engine, pMain, pAux));
        DisposeOwningList(pMain);
        DisposeOwningList(pAux);
    }
}

// Three lines of the most characters the dialog takes.
SSealBoxParam LongSeal(const QString& sample)
{
    SSealBoxParam seal;
    QString line;
    while (line.size() < 50)
        line += sample;
    line.truncate(50);
    for (SSealTextParam* text : {&seal.sText1, &seal.sText2, &seal.sText3})
        StringToUtf8Field(line, text->Text, int(sizeof text->Text));
    return seal;
}

void BM_SealDefault(benchmark::State& state)
{
    RunBuilds(state, [](CReferenceEngine& e, CShapeList* m, CShapeList*) { return e.CreateSeal(SSealBoxParam(), m); });
}

void BM_SealThreeLongLatinLines(benchmark::State& state)
{
    const SSealBoxParam seal = LongSeal(QStringLiteral("Regional Chess Championship "));
    RunBuilds(state, [&](CReferenceEngine& e, CShapeList* m, CShapeList*) { return e.CreateSeal(seal, m); });
}

void BM_SealThreeLongChineseLines(benchmark::State& state)
{
    const SSealBoxParam seal = LongSeal(QStringLiteral("上海市第一中学国际象棋锦标赛一等奖"));
    RunBuilds(state, [&](CReferenceEngine& e, CShapeList* m, CShapeList*) { return e.CreateSeal(seal, m); });
}

// Joined letters, right to left: every neighbour pair is merged into one outline.
void BM_SealThreeLongArabicLines(benchmark::State& state)
{
    const SSealBoxParam seal = LongSeal(QStringLiteral("جامعة القاهرة للعلوم والتكنولوجيا "));
    RunBuilds(state, [&](CReferenceEngine& e, CShapeList* m, CShapeList*) { return e.CreateSeal(seal, m); });
}

void BM_GearDefault(benchmark::State& state)
{
    RunBuilds(state, [](CReferenceEngine& e, CShapeList* m, CShapeList*) { return e.CreateGear(SGearBoxParam(), m); });
}

void BM_Gear1000And1000(benchmark::State& state)
{
    SGearBoxParam gear;
    gear.sGear1.nGCount = gear.sGear2.nGCount = 1000;
    RunBuilds(state, [&](CReferenceEngine& e, CShapeList* m, CShapeList*) { return e.CreateGear(gear, m); });
}

void BM_RectBoxDefault(benchmark::State& state)
{
    SFaceLabels labels;
    const char* names[] = {"Front", "Behind", "Left", "Right", "Top", "Bottom"};
    char* fields[] = {labels.szFront, labels.szBehind, labels.szLeft, labels.szRight, labels.szTop, labels.szBottom};
    for (int i = 0; i < 6; ++i)
        std::strcpy(fields[i], names[i]);
    RunBuilds(state, [&](CReferenceEngine& e, CShapeList* m, CShapeList* a) {
        return e.CreateRectBox(SRectBoxParam(), m, a, &labels);
    });
}

// The largest rounded box with the largest corner and the tightest hinge
// the dialog's widgets allow.
void BM_FilletBox850DenseHinge(benchmark::State& state)
{
    SFilletBoxParam box;
    box.dWidth = box.dDepth = box.dHeight = 850.0;
    box.dThickness = 1.0;
    box.dLaserWidth = 0.1;
    box.sCorner.dRadius = 99.0;
    box.sCorner.dXSpace = 0.0;
    box.sCorner.dYSpace = 0.0;
    box.sCorner.nYCount = 99;
    RunBuilds(state, [&](CReferenceEngine& e, CShapeList* m, CShapeList* a) { return e.CreateFilletBox(box, m, a); });
}

} // namespace

BENCHMARK(BM_RectBoxDefault)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GearDefault)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SealDefault)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SealThreeLongLatinLines)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SealThreeLongChineseLines)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SealThreeLongArabicLines)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Gear1000And1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FilletBox850DenseHinge)->Unit(benchmark::kMillisecond);
