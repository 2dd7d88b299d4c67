// Nesting the project's own parts onto 600 x 400 mm boards (margin 5 mm,
// spacing 2 mm plus the kerf, 90 degree turns): sheets used and material
// used, against a shelf placement of the same pieces' bounding boxes, and
// the time a nest takes. Material used is every sheet but the last whole,
// and of the last only the strip its parts take (full height from the left,
// or full width from the top, the smaller): the rest of that board is an
// offcut for the next job.
#include "CShapeList.h"
#include "CutOrder.h"
#include "NestShapes.h"
#include "Nesting.h"
#include "ReferenceEngine.h"
#include "ShapeLists.h"
#include "SheetDocument.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <random>

namespace {
SheetSetup Board()
{
    return SheetSetup(); // 600 x 400 mm, margin 5, spacing 2, turns of 90 degrees
}

// A part as the generator at its dialog index made it: its kerf is the
// one parameter the nest reads.
template <typename Build>
Part MakeFrom(int nGenerator, Build build, double dKerf)
{
    CShapeList* pMain = CShapeList::New();
    CShapeList* pAux = CShapeList::New();
    CReferenceEngine engine;
    build(engine, pMain, pAux);
    Part part = MakePart(OutlinesOf(*pMain), SheetModel::kGapMm);
    part.nGenerator = nGenerator;
    if (dKerf > 0)
        part.parameters.insert(QStringLiteral("kerf"), dKerf);
    DisposeOwningList(pMain);
    DisposeOwningList(pAux);
    return part;
}

Part Box()
{
    SRectBoxParam box;
    box.dWidth = 100, box.dDepth = 80, box.dHeight = 60, box.dThickness = 3, box.dLaserWidth = 0.1;
    box.dFluteOfWidth = 25, box.dFluteOfHeight = 20, box.dFluteOfDepth = 15;
    return MakeFrom(0, [&](CReferenceEngine& e, CShapeList* m, CShapeList* a) { e.CreateRectBox(box, m, a, nullptr); }, 0.1);
}

Part RoundedBox()
{
    SFilletBoxParam box;
    box.dWidth = 100, box.dDepth = 80, box.dHeight = 60, box.dThickness = 3, box.dLaserWidth = 0.1;
    return MakeFrom(1, [&](CReferenceEngine& e, CShapeList* m, CShapeList* a) { e.CreateFilletBox(box, m, a); }, 0.1);
}

Part Gears(double dModule, int nTeeth1, int nTeeth2, double dBore2)
{
    SGearBoxParam gears;
    gears.dModulus = dModule;
    gears.sGear1 = SGearParam(3.0, nTeeth1);
    gears.sGear2 = SGearParam(dBore2, nTeeth2);
    return MakeFrom(2, [&](CReferenceEngine& e, CShapeList* m, CShapeList*) { e.CreateGear(gears, m); }, 0.0);
}

Part Badge(double dDiameter)
{
    SSealBoxParam seal;
    seal.D1 = dDiameter;
    seal.D2 = dDiameter * 0.75;
    for (SSealTextParam* text : {&seal.sText1, &seal.sText2, &seal.sText3})
        std::strcpy(text->Facename, "DejaVu Sans");
    return MakeFrom(3, [&](CReferenceEngine& e, CShapeList* m, CShapeList*) { e.CreateSeal(seal, m); }, 0.0);
}

// The fixed sets, each part where it was made (all at the origin: the nest
// takes every piece from wherever it lies).
QVector<Part> Set(int nSet)
{
    QVector<Part> parts;
    switch (nSet) {
    case 0: parts = {Box()}; break;
    case 1: parts = {Box(), Box(), Box()}; break;
    case 2: parts = {RoundedBox()}; break;
    case 4: parts = Set(3) + Set(3); break;
    default:
        // 18 box panels, a rounded box's 3 pieces, 8 gear pairs (one with a
        // 50 mm bore the small pieces can use) and 5 badges: 42 pieces.
        parts = {Box(), Box(), Box(), RoundedBox(), Gears(2, 10, 40, 50)};
        for (int i = 0; i < 7; ++i)
            parts << Gears(1 + i % 2, 12 + 2 * i, 20 + 3 * i, 3);
        for (double diameter : {60.0, 50.0, 48.0, 40.0, 40.0})
            parts << Badge(diameter);
    }
    for (int i = 0; i < parts.size(); ++i)
        parts[i].nId = i + 1;
    return parts;
}

struct Usage
{
    int nSheets = 0;
    double dMaterial = 0; // mm^2, the last sheet's offcut left out
    double dPieces = 0;   // mm^2
};

// The last sheet's used strip: full height from its left edge to the
// farthest right piece plus the margin, or full width down to the lowest.
double UsedStrip(const QRectF& used, const SheetSetup& setup)
{
    const QSizeF board = setup.size;
    return std::min((used.right() + setup.dMarginMm) * board.height(), (used.bottom() + setup.dMarginMm) * board.width());
}

Usage Measure(const QVector<Part>& parts, const SheetSetup& setup)
{
    Usage usage;
    for (const Part& part : parts) {
        usage.nSheets = std::max(usage.nSheets, part.nSheet + 1);
        for (const Outlines& piece : part.pieces)
            usage.dPieces += PieceArea(piece);
    }
    QRectF last;
    for (const Part& part : parts)
        if (part.nSheet == usage.nSheets - 1)
            last = last.united(part.Bounds());
    usage.dMaterial = (usage.nSheets - 1) * setup.size.width() * setup.size.height() + UsedStrip(last, setup);
    return usage;
}

// First fit, decreasing height: each piece's box turned lying flat, on the
// first shelf of any sheet with room, else on a new shelf, else a new sheet.
Usage Shelves(const QVector<Part>& parts, const SheetSetup& setup, double spacing)
{
    QVector<QSizeF> boxes;
    Usage usage;
    for (const Part& part : parts)
        for (const Outlines& piece : part.pieces) {
            const QSizeF size = BoundsOf(Mapped(piece, part.Placement())).size();
            boxes << (size.height() > size.width() ? size.transposed() : size);
            usage.dPieces += PieceArea(piece);
        }
    std::stable_sort(boxes.begin(), boxes.end(), [](const QSizeF& a, const QSizeF& b) { return a.height() > b.height(); });
    struct Shelf { int sheet; double y, height, x; };
    QVector<Shelf> shelves;
    QVector<double> sheetBottom; // where the next shelf of each sheet starts
    const double right = setup.size.width() - setup.dMarginMm, bottom = setup.size.height() - setup.dMarginMm;
    for (const QSizeF& box : std::as_const(boxes)) {
        auto it = std::find_if(shelves.begin(), shelves.end(), [&](const Shelf& s) {
            return s.x + box.width() <= right && box.height() <= s.height;
        });
        if (it == shelves.end()) {
            int sheet = 0;
            while (sheet < sheetBottom.size() && sheetBottom[sheet] + box.height() > bottom)
                ++sheet;
            if (sheet == sheetBottom.size())
                sheetBottom << setup.dMarginMm;
            shelves << Shelf{sheet, sheetBottom[sheet], box.height(), setup.dMarginMm};
            sheetBottom[sheet] += box.height() + spacing;
            it = shelves.end() - 1;
        }
        it->x += box.width() + spacing;
        usage.nSheets = std::max(usage.nSheets, it->sheet + 1);
    }
    QRectF lastUsed;
    for (const Shelf& s : std::as_const(shelves))
        if (s.sheet == usage.nSheets - 1)
            lastUsed = lastUsed.united(QRectF(setup.dMarginMm, s.y, s.x - spacing - setup.dMarginMm, s.height));
    usage.dMaterial = (usage.nSheets - 1) * setup.size.width() * setup.size.height() + UsedStrip(lastUsed, setup);
    return usage;
}

// The material use no nest can pass: each piece grown by half the spacing
// takes its area alone (only a hole, shrunk as much, may hold others), and
// all of it lies inside the margin less that half.
double Ceiling(const QVector<Part>& parts, const SheetSetup& setup, double spacing)
{
    using namespace NestShapes;
    const double half = spacing / 2, inset = setup.dMarginMm - half;
    const auto grownArea = [&](const Path& ring, double byMm) {
        ClipperLib::ClipperOffset offset(2.0, 0.001 * kUnitsPerMm); // round corners drawn inside the arc: never more
        offset.AddPath(ring, ClipperLib::jtRound, ClipperLib::etClosedPolygon);
        Paths out;
        offset.Execute(out, byMm * kUnitsPerMm);
        double area = 0;
        for (const Path& path : out)
            area += ClipperLib::Area(path) / (kUnitsPerMm * kUnitsPerMm);
        return std::abs(area);
    };
    double pieces = 0, taken = 0;
    for (const Part& part : parts)
        for (const Outlines& piece : part.pieces) {
            const PieceShape shape = ShapeOf(Mapped(piece, part.Placement()));
            pieces += PieceArea(piece);
            taken += grownArea(shape.outer, half);
            for (const Path& hole : shape.holes)
                taken -= grownArea(Ring(hole), -half);
        }
    const QSizeF board = setup.size;
    return pieces * (board.width() - 2 * inset) * (board.height() - 2 * inset) / (taken * board.width() * board.height());
}

void BM_Nest(benchmark::State& state)
{
    const QVector<Part> parts = Set(int(state.range(0)));
    NestRequest request;
    request.parts = parts;
    for (const Part& part : parts)
        request.moving << part.nId;
    request.setup = Board();
    request.nNextId = int(parts.size()) + 1;
    NestOutcome outcome;
    for (auto _ : state)
        outcome = Nest(request);
    if (!outcome.bDone) {
        state.SkipWithError(outcome.strError.toUtf8().constData());
        return;
    }
    const Usage nest = Measure(outcome.parts, request.setup);
    const Usage shelf = Shelves(parts, request.setup, outcome.dSpacingMm);
    state.counters["pieces"] = outcome.nPieces;
    state.counters["in_holes"] = outcome.nInHoles;
    state.counters["placed_again"] = outcome.nPlacedAgain; // by the last check: the search erred
    state.counters["sheets"] = nest.nSheets;
    state.counters["shelf_sheets"] = shelf.nSheets;
    state.counters["use_%"] = 100 * nest.dPieces / nest.dMaterial;
    state.counters["shelf_use_%"] = 100 * shelf.dPieces / shelf.dMaterial;
    state.counters["material_saved_%"] = 100 * (1 - nest.dMaterial / shelf.dMaterial);
    state.counters["ceiling_use_%"] = 100 * Ceiling(parts, request.setup, outcome.dSpacingMm);
}
// A first layout alone, no search, of many small pieces 3 to 15 mm a side
// at random, as one drawing imported: its time grows with the pieces, not
// with their square.
void BM_FirstLayout(benchmark::State& state)
{
    std::mt19937 rng(4);
    std::uniform_real_distribution<double> side(3, 15);
    Part part;
    part.nId = 1, part.nGenerator = -1, part.bGrouped = true;
    for (qint64 i = 0; i < state.range(0); ++i) {
        Outline outline;
        outline.path.addRect(QRectF(0, 0, side(rng), side(rng)));
        part.pieces << Outlines{outline};
    }
    NestRequest request;
    request.parts = {part};
    request.moving << part.nId;
    request.setup = Board();
    request.nNextId = 2;
    request.dSeconds = 0;
    NestOutcome outcome;
    for (auto _ : state)
        outcome = Nest(request);
    if (!outcome.bDone)
        return state.SkipWithError(outcome.strError.toUtf8().constData());
    const Usage nest = Measure(outcome.parts, request.setup);
    state.counters["sheets"] = nest.nSheets;
    state.counters["use_%"] = 100 * nest.dPieces / nest.dMaterial;
}
// Opening a saved sheet of the mixed set twice (84 pieces): reading the
// document and every outline's path data back.
void BM_OpenSheet(benchmark::State& state)
{
    const QByteArray text = SheetDocument::Write({SheetSetup(), Set(4)});
    SheetDocument::Contents read;
    for (auto _ : state)
        if (!SheetDocument::Read(text, &read, nullptr))
            state.SkipWithError("the sheet did not read back");
    state.counters["kB"] = text.size() / 1024.0;
}
// The beam's travel between cuts on a sheet, in the order the engine made
// the outlines and in cut order (engraving first, inside out, nearest
// next), and the time the ordering takes: 0 the dialog's default box, 1 an
// 850 mm box, both placed as a new part is; 2 the mixed set nested.
void BM_CutOrder(benchmark::State& state)
{
    SheetModel model;
    if (state.range(0) < 2) {
        SRectBoxParam box; // the dialog's defaults
        if (state.range(0) == 1)
            box.dWidth = box.dDepth = box.dHeight = 850, box.dFluteOfWidth = box.dFluteOfDepth = box.dFluteOfHeight = 850 / 4.0;
        Part part = MakeFrom(0, [&](CReferenceEngine& e, CShapeList* m, CShapeList* a) { e.CreateRectBox(box, m, a, nullptr); }, 0);
        part.position = model.FreeSpot(part.Size(), &part.nSheet);
        model.Add(part);
    } else {
        NestRequest request{Set(3), {}, Board(), 100};
        for (const Part& part : request.parts)
            request.moving << part.nId;
        model.SetParts(Nest(request).parts);
    }
    const Outlines sheet = model.SheetOutlines().value(0);
    Outlines ordered;
    for (auto _ : state)
        ordered = CutOrdered(sheet);
    state.counters["outlines"] = sheet.size();
    state.counters["travel_m"] = TravelMm(sheet) / 1000;
    state.counters["ordered_travel_m"] = TravelMm(ordered) / 1000;
    state.counters["travel_saved_%"] = 100 * (1 - TravelMm(ordered) / TravelMm(sheet));
}
} // namespace

BENCHMARK(BM_CutOrder)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenSheet)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FirstLayout)->Arg(2000)->Arg(10000)->Arg(40000)->Unit(benchmark::kSecond)->Iterations(1)->Repetitions(3)
    ->ReportAggregatesOnly(true);
// 0: one box's six panels, 1: three boxes, 2: a rounded box, 3: the mixed
// set, 4: the mixed set twice (84 pieces, more than one board).
BENCHMARK(BM_Nest)->DenseRange(0, 4)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3)
    ->ReportAggregatesOnly(true);
