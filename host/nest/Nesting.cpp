#include "Nesting.h"

#include "NestShapes.h"
#include "SheetCommands.h"

#include <libnest2d/libnest2d.hpp>

#include <QtMath>
#include <cmath>
#include <deque>
#include <future>
#include <memory>

// The library places only convex pieces by their no-fit polygons; ours
// takes any outline, so a piece may reach into another's bay.
namespace libnest2d::nfp {
template <> struct MaxNfpLevel<PolygonImpl>
{
    static const BP2D_CONSTEXPR NfpLevel value = NfpLevel::BOTH_CONCAVE;
};
template <NfpLevel level> struct AnyOutlineNfp
{
    NfpResult<PolygonImpl> operator()(const PolygonImpl& stationary, const PolygonImpl& orbiter) const
    {
        return NestShapes::NoFitPolygon(stationary, orbiter);
    }
};
template <> struct NfpImpl<PolygonImpl, NfpLevel::ONE_CONVEX> : AnyOutlineNfp<NfpLevel::ONE_CONVEX> {};
template <> struct NfpImpl<PolygonImpl, NfpLevel::BOTH_CONCAVE> : AnyOutlineNfp<NfpLevel::BOTH_CONCAVE> {};
} // namespace libnest2d::nfp

namespace {
using namespace NestShapes;
using libnest2d::Item;
using RoomPlacer = libnest2d::placers::_NofitPolyPlacer<libnest2d::PolygonImpl, libnest2d::PolygonImpl>;
using PlacerConfig = RoomPlacer::Config;

// Grown outlines keep at least the spacing; this much more lets them have
// few corners (and covers the whole units' rounding).
constexpr double kSlackMm = 0.05;
// How hard the optimiser looks along each no-fit polygon (0 to 1).
constexpr float kAccuracy = 0.5f;

struct Piece
{
    int nPart = 0, nIndex = 0;
    bool bMoving = false;
    PieceShape shape;
    Path grown;          // the outer cut grown by half the spacing; its hull when no bay of it holds anything
    int nHost = -1;      // the piece in whose hole it lies
    bool bHosts = false; // others lie in its holes
    int nSheet = -1;     // where the nest put it
    QTransform move;     // from where it lay to where the nest put it
};

QTransform MoveOf(const Item& item)
{
    const libnest2d::Point t = item.translation();
    return QTransform().translate(t.X / kUnitsPerMm, t.Y / kUnitsPerMm).rotateRadians(item.rotation());
}

// The turn that squares the piece's narrowest enclosing box to the sheet.
double SquaringTurn(const Path& ring)
{
    const Path hull = Hull(ring);
    double best = qInf(), turn = 0.0;
    for (size_t i = 0; i + 1 < hull.size(); ++i) {
        const double angle = std::atan2(double(hull[i + 1].Y - hull[i].Y), double(hull[i + 1].X - hull[i].X));
        const double c = std::cos(-angle), s = std::sin(-angle);
        double x0 = qInf(), x1 = -qInf(), y0 = qInf(), y1 = -qInf();
        for (const IntPoint& p : hull) {
            const double x = p.X * c - p.Y * s, y = p.X * s + p.Y * c;
            x0 = std::min(x0, x), x1 = std::max(x1, x), y0 = std::min(y0, y), y1 = std::max(y1, y);
        }
        if ((x1 - x0) * (y1 - y0) < best)
            best = (x1 - x0) * (y1 - y0), turn = -angle;
    }
    return turn;
}

std::vector<libnest2d::Radians> Turns(const SheetSetup& setup)
{
    std::vector<libnest2d::Radians> turns{0.0};
    for (int degrees = setup.nTurnStep; setup.nTurnStep > 0 && degrees < 360; degrees += setup.nTurnStep)
        turns.emplace_back(qDegreesToRadians(double(degrees)));
    return turns;
}

// The turn a piece starts from; the others it may take are steps from it.
double StartTurn(const Path& ring, const SheetSetup& setup)
{
    return setup.bFreeTurns ? SquaringTurn(ring) : 0.0;
}

// Places each piece at the best corner of the room the others leave it:
// the sheet's room for the piece (where its box lies inside the sheet) less
// the no-fit polygons of the pieces already there, every corner of that
// tried at each turn. The library's own placer searches along the no-fit
// polygons from a few corners and misses spots beside long pieces.
struct SheetRules
{
    std::vector<libnest2d::Radians> turns{0.0};
    enum Sweep { Across, Down, Shorter } sweep = Shorter; // the pile's edge kept least: right, bottom or the nearer
    double dUp = 0.02, dLeft = 0.02; // how much a piece's own bottom and right edges weigh
};

class CornerPlacer
    : public libnest2d::placers::PlacerBoilerplate<CornerPlacer, libnest2d::PolygonImpl, libnest2d::Box, SheetRules>
{
    using Base = libnest2d::placers::PlacerBoilerplate<CornerPlacer, libnest2d::PolygonImpl, libnest2d::Box, SheetRules>;

public:
    explicit CornerPlacer(const libnest2d::Box& bin)
        : Base(bin)
    {
    }

    template <class Range = libnest2d::ConstItemRange<typename Base::DefaultIter>>
    PackResult trypack(Item& item, const Range& = Range())
    {
        const libnest2d::Radians start = item.rotation();
        QRectF pile;
        for (const Item& placed : items_)
            pile = pile.united(Rect(placed.boundingBox()));
        double best = qInf();
        libnest2d::Radians bestTurn = start;
        libnest2d::Point bestAt;
        for (const libnest2d::Radians& turn : config_.turns) {
            item.rotation(start + turn);
            item.translation({0, 0});
            const libnest2d::Box box = item.boundingBox();
            // Where the piece may go: its box inside the sheet...
            const IntPoint low(bin_.minCorner().X - box.minCorner().X, bin_.minCorner().Y - box.minCorner().Y);
            const IntPoint high(bin_.maxCorner().X - box.maxCorner().X, bin_.maxCorner().Y - box.maxCorner().Y);
            if (high.X < low.X || high.Y < low.Y)
                continue;
            ClipperLib::Clipper clipper;
            clipper.AddPath({low, {high.X, low.Y}, high, {low.X, high.Y}}, ClipperLib::ptSubject, true);
            // ...and clear of every piece there.
            const IntPoint reference = item.referenceVertex();
            for (const Item& placed : items_) {
                const libnest2d::PolygonImpl& fixed = placed.transformedShape();
                auto nfp = placed.isContourConvex() && item.isContourConvex()
                               ? libnest2d::nfp::nfpConvexOnly(fixed, item.transformedShape())
                               : NoFitPolygon(fixed, item.transformedShape());
                libnest2d::placers::correctNfpPosition(nfp, placed, item);
                libnest2d::sl::translate(nfp.first, IntPoint(-reference.X, -reference.Y));
                // One winding each: where two overlap neither may cancel the other.
                clipper.AddPath(Ring(nfp.first.Contour), ClipperLib::ptClip, true);
                for (const Path& hole : nfp.first.Holes)
                    clipper.AddPath(Ring(hole, true), ClipperLib::ptClip, true);
            }
            Paths room;
            clipper.Execute(ClipperLib::ctDifference, room, ClipperLib::pftNonZero, ClipperLib::pftNonZero);
            for (const Path& ring : room)
                for (const IntPoint& at : ring) {
                    const double score = Score(Rect(box).translated(at.X, at.Y), pile);
                    if (score < best)
                        best = score, bestTurn = start + turn, bestAt = at;
                }
        }
        if (!std::isfinite(best)) {
            item.rotation(start);
            return PackResult(1.0);
        }
        item.rotation(bestTurn);
        item.translation(bestAt);
        return PackResult(item);
    }

private:
    static QRectF Rect(const libnest2d::Box& box)
    {
        return QRectF(QPointF(box.minCorner().X, box.minCorner().Y), QPointF(box.maxCorner().X, box.maxCorner().Y));
    }

    // The pile stays a strip along one edge, so the rest of the sheet is one
    // offcut; in it each piece goes as high and as far left as it can.
    double Score(const QRectF& at, const QRectF& pile) const
    {
        const double x0 = double(bin_.minCorner().X), y0 = double(bin_.minCorner().Y);
        const double width = double(bin_.width()), height = double(bin_.height());
        const QRectF all = pile.isNull() ? at : pile.united(at);
        const double across = (all.right() - x0) / width, down = (all.bottom() - y0) / height;
        const double sweep = config_.sweep == SheetRules::Across ? across
                             : config_.sweep == SheetRules::Down ? down
                                                                 : std::min(across, down);
        return sweep + config_.dUp * (at.bottom() - y0) / height + config_.dLeft * (at.right() - x0) / width;
    }
};

PlacerConfig RoomConfig(const SheetSetup& setup)
{
    PlacerConfig config;
    config.rotations = Turns(setup);
    config.alignment = PlacerConfig::Alignment::DONT_ALIGN;
    config.starting_point = PlacerConfig::Alignment::CENTER;
    config.accuracy = kAccuracy;
    return config;
}

struct Layout
{
    std::vector<std::pair<int, std::pair<int, QTransform>>> placed; // piece, sheet (-1: none takes it) and move
    int nSheets = 0;
    double dUsed = 0.0; // of the last sheet: the strip its pieces take, as a share of the board
    QString strError;

    bool bBetterThan(const Layout& other) const
    {
        return strError.isEmpty() && (!other.strError.isEmpty() || nSheets < other.nSheets
                                      || (nSheets == other.nSheets && dUsed < other.dUsed));
    }
};

Layout PlaceOnSheets(const std::vector<Piece>& pieces, const QVector<Part>& parts, const SheetSetup& setup, double half,
                     SheetRules rules, const std::function<void(int)>& packed, const std::function<bool()>& stop)
{
    const auto units = [](double mm) { return ClipperLib::cInt(std::llround(mm * kUnitsPerMm)); };
    const double inset = setup.dMarginMm - half;
    const libnest2d::Box bin({units(inset), units(inset)},
                             {units(setup.size.width() - inset), units(setup.size.height() - inset)});
    const Path binRing = Hull({bin.minCorner(), {bin.maxCorner().X, bin.minCorner().Y}, bin.maxCorner(),
                               {bin.minCorner().X, bin.maxCorner().Y}});
    std::vector<Item> items;
    std::vector<int> itemPiece;
    for (int i = 0; i < int(pieces.size()); ++i) {
        const Piece& piece = pieces[i];
        if (piece.bMoving && piece.nHost < 0) {
            items.emplace_back(libnest2d::PolygonImpl(piece.grown));
            items.back().rotation(StartTurn(piece.grown, setup));
            itemPiece.push_back(i);
        } else if (!piece.bMoving) {
            // What stays is in the way only inside the room the sheet gives.
            ClipperLib::Clipper clipper;
            clipper.AddPath(piece.grown, ClipperLib::ptSubject, true);
            clipper.AddPath(binRing, ClipperLib::ptClip, true);
            Paths inside;
            clipper.Execute(ClipperLib::ctIntersection, inside, ClipperLib::pftNonZero, ClipperLib::pftNonZero);
            for (const Path& part : inside)
                if (Path ring = Hull(part); !ring.empty()) {
                    items.emplace_back(libnest2d::PolygonImpl(ring));
                    items.back().markAsFixedInBin(parts[piece.nPart].nSheet);
                    itemPiece.push_back(-1);
                }
        }
    }
    Layout layout;
    libnest2d::NestControl control;
    control.progressfn = [&packed, count = int(items.size())](unsigned remaining) {
        if (packed)
            packed(count - int(remaining));
    };
    control.stopcond = stop;
    try {
        rules.turns = Turns(setup);
        libnest2d::nest<CornerPlacer, libnest2d::FirstFitSelection>(
            items, bin, 0, libnest2d::NestConfig<CornerPlacer, libnest2d::FirstFitSelection>(rules), control);
    } catch (const std::exception& e) {
        layout.strError = QStringLiteral("the outlines could not be nested (%1)").arg(QString::fromLocal8Bit(e.what()));
        return layout;
    }
    for (size_t k = 0; k < items.size(); ++k)
        layout.nSheets = std::max(layout.nSheets, items[k].binId() + 1);
    QRectF last;
    for (size_t k = 0; k < items.size(); ++k) {
        if (items[k].binId() == layout.nSheets - 1) {
            const libnest2d::Box box = items[k].boundingBox();
            last = last.united(QRectF(QPointF(box.minCorner().X, box.minCorner().Y), QPointF(box.maxCorner().X, box.maxCorner().Y)));
        }
        if (itemPiece[k] >= 0)
            layout.placed.push_back({itemPiece[k], {items[k].binId(), MoveOf(items[k])}});
    }
    layout.dUsed = std::min((last.right() - bin.minCorner().X) / double(bin.width()),
                            (last.bottom() - bin.minCorner().Y) / double(bin.height()));
    return layout;
}

// Where part lies after moving all its pieces by move, onto sheet.
Part Applied(Part part, const QTransform& move, int sheet)
{
    const QPointF centre = QRectF(QPointF(), part.Size()).center();
    part.position = move.map(part.position + centre) - centre;
    // Whole degrees stay whole: the library's turns are radians.
    const double degrees = std::round(qRadiansToDegrees(std::atan2(move.m12(), move.m11())) * 1e9) / 1e9;
    part.dRotation = std::fmod(std::fmod(part.dRotation + degrees, 360.0) + 360.0, 360.0);
    part.nSheet = sheet;
    return part;
}

// Small pieces into the holes of larger ones, each hole a bin of its own:
// the holes that fall out of a ring gear or a badge are board too.
int FillHoles(std::vector<Piece>& pieces, const SheetSetup& setup, double half, const std::function<void()>& placed,
              const std::function<bool()>& stop)
{
    std::vector<std::pair<double, std::pair<int, Path>>> holes; // area, host, hole
    for (int i = 0; i < int(pieces.size()); ++i)
        if (pieces[i].bMoving)
            for (const Path& hole : pieces[i].shape.holes)
                holes.push_back({AreaMm2(hole), {i, hole}});
    std::stable_sort(holes.begin(), holes.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    std::vector<int> bySize;
    for (int i = 0; i < int(pieces.size()); ++i)
        if (pieces[i].bMoving)
            bySize.push_back(i);
    std::stable_sort(bySize.begin(), bySize.end(),
                     [&](int a, int b) { return AreaMm2(pieces[a].grown) > AreaMm2(pieces[b].grown); });
    int filled = 0;
    for (const auto& [area, hole] : holes) {
        const int host = hole.first;
        if (pieces[host].nHost >= 0)
            continue;
        for (const Path& room : Shrunk(hole.second, half, kSlackMm)) {
            const QRectF roomBounds = BoundsMm(room);
            const double roomArea = AreaMm2(room);
            libnest2d::PolygonImpl bin(room);
            libnest2d::PlacementStrategyLike<RoomPlacer> placer(bin, RoomConfig(setup));
            std::deque<Item> tried;
            for (int i : bySize) {
                Piece& guest = pieces[i];
                const QRectF bounds = BoundsMm(guest.grown);
                if (stop())
                    return filled;
                if (i == host || guest.nHost >= 0 || guest.bHosts || AreaMm2(guest.grown) > roomArea
                    || std::min(bounds.width(), bounds.height()) > std::max(roomBounds.width(), roomBounds.height()))
                    continue;
                Item& item = tried.emplace_back(libnest2d::PolygonImpl(guest.grown));
                item.rotation(StartTurn(guest.grown, setup));
                if (!placer.pack(item))
                    continue;
                // The library checks only the placed pieces' hull against a
                // room that is no box: the piece itself is checked here.
                ClipperLib::Clipper clipper;
                clipper.AddPath(item.transformedShape().Contour, ClipperLib::ptSubject, true);
                clipper.AddPath(room, ClipperLib::ptClip, true);
                Paths outside;
                clipper.Execute(ClipperLib::ctDifference, outside, ClipperLib::pftNonZero, ClipperLib::pftNonZero);
                if (std::any_of(outside.cbegin(), outside.cend(), [](const Path& p) { return AreaMm2(p) > 1e-6; })) {
                    placer.unpackLast();
                    continue;
                }
                guest.nHost = host;
                guest.move = MoveOf(item);
                pieces[host].bHosts = true;
                ++filled;
                placed();
            }
        }
    }
    return filled;
}

// The placement checked once more from the parts' own outlines: every
// nested piece inside its sheet's margin and the spacing from every other.
QString Checked(const QVector<Part>& parts, const QSet<int>& moved, const SheetSetup& setup, double spacing,
                const QSet<int>& tooLarge)
{
    struct Placed { Paths cuts; QRectF bounds; int sheet; bool moved; QString name; };
    std::vector<Placed> all;
    for (const Part& part : parts)
        for (const Outlines& piece : part.pieces) {
            const Outlines placed = Mapped(piece, part.Placement());
            all.push_back({Cuts(placed), BoundsOf(placed), part.nSheet, moved.contains(part.nId), part.strName});
            if (all.back().moved && !tooLarge.contains(part.nId)) {
                const double m = setup.dMarginMm - 1e-3;
                if (!QRectF(QPointF(m, m), setup.size - QSizeF(2 * m, 2 * m)).contains(all.back().bounds))
                    return QStringLiteral("%1 would reach into the sheet's margin").arg(part.strName);
            }
        }
    for (size_t a = 0; a < all.size(); ++a)
        for (size_t b = a + 1; b < all.size(); ++b) {
            const double near = spacing;
            if (all[a].sheet != all[b].sheet || !(all[a].moved || all[b].moved)
                || !all[a].bounds.adjusted(-near, -near, near, near).intersects(all[b].bounds))
                continue;
            if (!KeepApart(all[a].cuts, all[b].cuts, spacing))
                return QStringLiteral("%1 and %2 would lie closer than %3 mm").arg(all[a].name, all[b].name).arg(spacing);
        }
    return QString();
}
} // namespace

double WidestKerf(const QVector<Part>& parts)
{
    double widest = 0.0;
    for (const Part& part : parts)
        widest = std::max(widest, part.parameters.value(QStringLiteral("kerf")).toDouble(0.0));
    return widest;
}

NestOutcome Nest(const NestRequest& request, const NestProgress& progress, const NestCancel& cancel)
{
    NestOutcome outcome;
    const SheetSetup& setup = request.setup;
    const double spacing = setup.dSpacingMm + WidestKerf(request.parts);
    const double half = spacing / 2;
    outcome.dSpacingMm = spacing;
    const auto stop = [&cancel] { return cancel && cancel(); };

    std::vector<Piece> pieces;
    double narrowest = qInf();
    for (int p = 0; p < request.parts.size(); ++p) {
        const Part& part = request.parts[p];
        for (int i = 0; i < part.pieces.size(); ++i) {
            Piece piece;
            piece.nPart = p, piece.nIndex = i;
            piece.bMoving = request.moving.contains(part.nId) && !part.bPinned;
            const Outlines placed = Mapped(part.pieces[i], part.Placement());
            piece.shape = ShapeOf(placed);
            if (piece.shape.outer.empty()) { // a line or a dot: its box, a hair wide
                const QRectF box = BoundsOf(placed).adjusted(-0.01, -0.01, 0.01, 0.01);
                for (const QPointF& corner : {box.topLeft(), box.topRight(), box.bottomRight(), box.bottomLeft()})
                    piece.shape.outer.push_back(IntPoint(std::llround(corner.x() * kUnitsPerMm), std::llround(corner.y() * kUnitsPerMm)));
                piece.shape.outer = Hull(piece.shape.outer);
            }
            piece.grown = Grown(piece.shape.outer, half, kSlackMm);
            if (piece.bMoving) {
                const QRectF bounds = BoundsMm(piece.grown);
                narrowest = std::min(narrowest, std::min(bounds.width(), bounds.height()));
            }
            pieces.push_back(piece);
        }
    }
    // A bay no piece can reach into is as good as filled, and convex pieces
    // nest many times faster.
    for (Piece& piece : pieces)
        if (!HasBayFor(piece.grown, narrowest / 2))
            piece.grown = Hull(piece.grown);

    const int total = int(std::count_if(pieces.cbegin(), pieces.cend(), [](const Piece& p) { return p.bMoving; }));
    int done = 0;
    const auto placed = [&] {
        if (progress)
            progress(++done, total);
    };
    outcome.nInHoles = FillHoles(pieces, setup, half, placed, stop);

    // Then every other piece onto the sheets, round those that stay. No one
    // rule packs every set best: four sweeps run at once, two on each core,
    // and the layout on fewer sheets (then with the larger offcut) wins.
    const auto packed = [&, before = done](int count) {
        done = before + count;
        if (progress)
            progress(std::min(done, total), total);
    };
    const SheetRules sweeps[] = {{{}, SheetRules::Across, 0.02, 0.3}, {{}, SheetRules::Down, 0.3, 0.02},
                                 {{}, SheetRules::Shorter, 0.02, 0.3}, {{}, SheetRules::Across, 0.3, 0.02}};
    std::vector<std::future<Layout>> others;
    for (size_t i = 1; i < std::size(sweeps); ++i)
        others.push_back(std::async(std::launch::async, [&, rules = sweeps[i]] {
            return PlaceOnSheets(pieces, request.parts, setup, half, rules, {}, stop);
        }));
    Layout layout = PlaceOnSheets(pieces, request.parts, setup, half, sweeps[0], packed, stop);
    for (std::future<Layout>& other : others)
        if (Layout tried = other.get(); tried.bBetterThan(layout))
            layout = std::move(tried);
    if (stop())
        return outcome;
    if (!layout.strError.isEmpty()) {
        outcome.strError = layout.strError;
        return outcome;
    }
    int lastSheet = 0;
    for (const Part& part : request.parts)
        lastSheet = std::max(lastSheet, part.nSheet);
    for (const auto& [index, place] : layout.placed)
        if (place.first >= 0) {
            pieces[index].nSheet = place.first;
            pieces[index].move = place.second;
            lastSheet = std::max(lastSheet, place.first);
        }
    // A piece no sheet takes gets one of its own, in the margin's corner.
    const int firstOwnSheet = lastSheet + 1;
    for (const auto& [index, place] : layout.placed)
        if (place.first < 0) {
            Piece& piece = pieces[index];
            const QRectF bounds = BoundsMm(piece.shape.outer);
            piece.nSheet = ++lastSheet;
            piece.move = QTransform::fromTranslate(setup.dMarginMm - bounds.left(), setup.dMarginMm - bounds.top());
            ++outcome.nTooLarge;
        }
    for (Piece& piece : pieces)
        if (piece.nHost >= 0)
            piece.nSheet = pieces[piece.nHost].nSheet, piece.move = piece.move * pieces[piece.nHost].move;

    // Parts whose pieces went the same way stay whole; the others come apart.
    int nextId = request.nNextId;
    QSet<int> moved, tooLarge;
    size_t first = 0;
    for (const Part& part : request.parts) {
        const size_t end = first + size_t(part.pieces.size());
        if (!pieces[first].bMoving) {
            outcome.parts << part;
            first = end;
            continue;
        }
        bool together = true;
        for (size_t i = first + 1; i < end; ++i)
            together = together && pieces[i].nSheet == pieces[first].nSheet && qFuzzyCompare(pieces[i].move, pieces[first].move);
        const QVector<Part> apart = together ? QVector<Part>{part} : Ungrouped(part, nextId);
        nextId += together ? 0 : int(apart.size());
        for (int i = 0; i < apart.size(); ++i) {
            const Piece& piece = pieces[first + (together ? 0 : size_t(i))];
            outcome.parts << Applied(apart[i], piece.move, piece.nSheet);
            moved << outcome.parts.last().nId;
            if (piece.nSheet >= firstOwnSheet)
                tooLarge << outcome.parts.last().nId;
        }
        outcome.nPieces += int(end - first);
        first = end;
    }
    outcome.strError = Checked(outcome.parts, moved, setup, spacing, tooLarge);
    outcome.bDone = outcome.strError.isEmpty();
    return outcome;
}
