#include "Nesting.h"

#include "NestFrames.h"
#include "NestShapes.h"
#include "SheetCommands.h"

#include <QtMath>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <numeric>
#include <optional>
#include <thread>

namespace {
using namespace NestShapes;
using namespace NestFrames;
using ClipperLib::cInt;
namespace G = NestGeometry;
namespace S = NestSearch;

// Flattened curves lie up to this much inside the curve: a curved piece is
// grown by it, and its outline simplified by as much again.
constexpr double kCurveMm = 0.01;
// A piece of more corners is simplified (growing it by the tolerance) until
// it has no more; the search slows with every corner.
constexpr size_t kMostCorners = 48;
constexpr double kMostSlackMm = 0.2;
// Turns a piece may take that the search tries: every k-th when there are more.
constexpr int kMostTurns = 72;
// Past this many pieces the first layout is kept: the search's tables grow with the square.
constexpr int kMostSearched = 1500;
// A piece this large (mm) is larger than any board.
constexpr double kLargestMm = 2e5;
// Where a piece may lie and still come back exact to a hair.
constexpr double kFarthestMm = 1e9;
// The longest roll a nest lays out: the file's longest board.
constexpr double kRollMm = 1e5;

// A piece moved rigidly: turned about origin by degrees, origin then at
// to. Kept so, not as a matrix, that a piece from far off comes back exact.
struct Move
{
    QPointF origin, to;
    double dDegrees = 0;

    QPointF Turn(const QPointF& v) const
    {
        const double radians = qDegreesToRadians(dDegrees), c = std::cos(radians), s = std::sin(radians);
        return QPointF(v.x() * c - v.y() * s, v.x() * s + v.y() * c);
    }
    QPointF Map(const QPointF& p) const { return to + Turn(p - origin); }
    // This move, then other.
    Move Then(const Move& other) const { return {origin, other.to + other.Turn(to - other.origin), dDegrees + other.dDegrees}; }
    // Whether both move the sheet alike where at lies.
    bool Alike(const Move& o, const QPointF& at) const
    {
        const QPointF d = Map(at) - o.Map(at);
        return std::abs(std::remainder(dDegrees - o.dDegrees, 360.0)) < 1e-9 && std::abs(d.x()) + std::abs(d.y()) < 1e-6;
    }
};

struct Piece
{
    int nPart = 0, nIndex = 0;
    bool bMoving = false, bTooLarge = false;
    QRectF bounds;   // as it lies
    QPointF origin;  // of its own frame (units from here), bounds' top left
    PieceShape shape;
    Path grown;      // the outer cut grown by half the spacing; its hull when no bay of it holds anything
    double dArea = 0;
    int nHost = -1;      // the piece in whose hole it lies
    bool bHosts = false; // others lie in its holes
    int nSheet = -1;     // where the nest put it, or where it stays
    Move move;           // from where it lay to where the nest put it
};

// Indices 0..n-1, the largest area first (ties in their order).
template <typename Area>
std::vector<int> LargestFirst(size_t n, Area area)
{
    std::vector<int> order(n);
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return area(a) > area(b); });
    return order;
}

std::vector<double> TurnsOf(const Path& ring, const SheetSetup& setup)
{
    const double start = setup.bFreeTurns ? SquaringTurn(ring) : 0.0;
    std::vector<double> turns;
    const int count = setup.nTurnStep > 0 ? 360 / setup.nTurnStep : 1;
    const int every = (count + kMostTurns - 1) / kMostTurns;
    for (int k = 0; k < count; k += every)
        turns.push_back(start + k * setup.nTurnStep);
    return turns;
}

G::Ring RingOf(const Path& path)
{
    G::Ring ring;
    for (const IntPoint& p : path)
        ring.push_back({p.X, p.Y});
    return G::Cleaned(ring);
}

// A piece's grown outer cut as frame lays it, in every turn it may take.
const TurnedPiece& TurnedIn(ShapeTable& table, const Frame& frame, const Piece& piece, const SheetSetup& setup)
{
    G::Ring ring = RingOf(piece.grown);
    for (G::Pt& p : ring)
        p = frame.To(p);
    return table.Of(G::Cleaned(ring), TurnsOf(piece.grown, setup));
}

// The board round a room (a hole that keeps the spacing from its edge): its
// box less the room, in two halves that hold no hole; none for a room that
// fills its box (a square-cornered hole). Nothing when the room cannot be told so.
std::optional<std::vector<G::Ring>> AroundRoom(const Path& room, const QRectF& box)
{
    std::vector<G::Ring> around;
    const cInt x0 = cInt(std::floor(box.left() * kUnitsPerMm)), x1 = cInt(std::ceil(box.right() * kUnitsPerMm));
    const cInt y0 = cInt(std::floor(box.top() * kUnitsPerMm)), y1 = cInt(std::ceil(box.bottom() * kUnitsPerMm));
    const cInt mid = (y0 + y1) / 2;
    for (const auto& [top, bottom] : {std::pair(y0, mid), std::pair(mid, y1)}) {
        ClipperLib::Clipper clipper;
        clipper.AddPath(Path{{x0, top}, {x1, top}, {x1, bottom}, {x0, bottom}}, ClipperLib::ptSubject, true);
        clipper.AddPath(room, ClipperLib::ptClip, true);
        ClipperLib::PolyTree tree;
        clipper.Execute(ClipperLib::ctDifference, tree, ClipperLib::pftNonZero, ClipperLib::pftNonZero);
        for (const ClipperLib::PolyNode* pNode : tree.Childs) {
            if (!pNode->Childs.empty()) // a hole in a half: the room is no simple ring; give it up
                return std::nullopt;
            if (G::Ring ring = RingOf(pNode->Contour); !ring.empty())
                around.push_back(ring);
        }
    }
    return around;
}

// The rings of closed cuts as the nest sees a piece: local to its frame.
Outlines Local(const Outlines& placed, const QPointF& origin)
{
    return Mapped(placed, QTransform::fromTranslate(-origin.x(), -origin.y()));
}

// What stays, as the ring it keeps others from, in whole units from corner
// (mm on the sheet), only where within is: too large to shape, its box.
G::Ring StaysRing(const Piece& piece, const QRectF& within, const QPointF& corner)
{
    const auto units = [&](const QPointF& at) {
        return G::Pt{cInt(std::llround((at.x() - corner.x()) * kUnitsPerMm)), cInt(std::llround((at.y() - corner.y()) * kUnitsPerMm))};
    };
    G::Ring ring;
    if (piece.bTooLarge) {
        const QRectF box = piece.bounds.intersected(within);
        for (const QPointF& c : {box.topLeft(), box.topRight(), box.bottomRight(), box.bottomLeft()})
            ring.push_back(units(c));
    } else {
        const G::Pt at = units(piece.origin);
        for (const IntPoint& p : piece.grown)
            ring.push_back({p.X + at.x, p.Y + at.y});
    }
    return ring;
}

// Small pieces into the holes of larger ones, each room a board of its own:
// the holes that fall out of a ring gear or a badge are board too, and so
// are those of a part that stays, where they lie on its board (round what
// else stays there).
int FillHoles(std::vector<Piece>& pieces, const SheetSetup& setup, const QRectF& boardRoom, double half, std::uint64_t seed)
{
    std::vector<std::pair<double, std::pair<int, Path>>> holes; // area, host, hole
    for (int i = 0; i < int(pieces.size()); ++i)
        if (!pieces[i].bTooLarge && (pieces[i].bMoving || pieces[i].nSheet >= 0))
            for (const Path& hole : pieces[i].shape.holes)
                holes.push_back({AreaMm2(hole), {i, hole}});
    std::stable_sort(holes.begin(), holes.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    int filled = 0;
    for (const auto& [area, hole] : holes) {
        const int host = hole.first;
        if (pieces[host].nHost >= 0)
            continue;
        const bool still = !pieces[host].bMoving;
        Paths rooms = Shrunk(hole.second, half, 0.0);
        if (still) { // only what of it lies inside the margin
            const QRectF in = boardRoom.translated(-pieces[host].origin);
            const cInt x0 = cInt(std::ceil(in.left() * kUnitsPerMm)), x1 = cInt(std::floor(in.right() * kUnitsPerMm));
            const cInt y0 = cInt(std::ceil(in.top() * kUnitsPerMm)), y1 = cInt(std::floor(in.bottom() * kUnitsPerMm));
            ClipperLib::Clipper clipper;
            clipper.AddPaths(rooms, ClipperLib::ptSubject, true);
            clipper.AddPath(Path{{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}}, ClipperLib::ptClip, true);
            clipper.Execute(ClipperLib::ctIntersection, rooms, ClipperLib::pftNonZero, ClipperLib::pftNonZero);
        }
        for (const Path& room : rooms) {
            const QRectF roomBounds = BoundsMm(room);
            const double roomArea = AreaMm2(room);
            std::vector<int> guests;
            for (int i = 0; i < int(pieces.size()); ++i) {
                const Piece& guest = pieces[i];
                const QRectF bounds = BoundsMm(guest.grown);
                if (i != host && guest.bMoving && !guest.bTooLarge && guest.nHost < 0 && !guest.bHosts
                    && AreaMm2(guest.grown) <= roomArea
                    && std::min(bounds.width(), bounds.height()) <= std::max(roomBounds.width(), roomBounds.height()))
                    guests.push_back(i);
            }
            if (guests.empty())
                continue;
            const std::optional<std::vector<G::Ring>> around = AroundRoom(room, roomBounds);
            if (!around)
                continue;
            ShapeTable table;
            S::Problem problem;
            problem.length = cInt(std::ceil(roomBounds.right() * kUnitsPerMm)) - cInt(std::floor(roomBounds.left() * kUnitsPerMm));
            problem.height = cInt(std::ceil(roomBounds.bottom() * kUnitsPerMm)) - cInt(std::floor(roomBounds.top() * kUnitsPerMm));
            problem.nMaxSheets = 1;
            const G::Pt low{cInt(std::floor(roomBounds.left() * kUnitsPerMm)), cInt(std::floor(roomBounds.top() * kUnitsPerMm))};
            for (G::Ring ring : *around) {
                for (G::Pt& p : ring)
                    p.x -= low.x, p.y -= low.y;
                S::Obstacle o;
                o.nShape = table.Obstacle(ring, &o.at);
                problem.obstacles.push_back(o);
            }
            // In a hole that stays, what else stays there (an earlier nest's guests) is in the way.
            for (int i = 0; still && i < int(pieces.size()); ++i) {
                const Piece& other = pieces[i];
                if (i == host || other.bMoving || other.nSheet != pieces[host].nSheet
                    || !other.bounds.adjusted(-half - 1, -half - 1, half + 1, half + 1).intersects(roomBounds.translated(pieces[host].origin)))
                    continue;
                const QPointF corner = pieces[host].origin + QPointF(double(low.x), double(low.y)) / kUnitsPerMm;
                G::Ring ring = G::Cleaned(StaysRing(other, roomBounds.translated(pieces[host].origin), corner));
                if (ring.empty())
                    continue;
                S::Obstacle o;
                o.nShape = table.Obstacle(ring, &o.at);
                problem.obstacles.push_back(o);
            }
            std::vector<const TurnedPiece*> turned;
            for (int i : guests) {
                turned.push_back(&TurnedIn(table, Frame(), pieces[i], setup));
                problem.items.push_back(turned.back()->item);
            }
            problem.pShapes = &table.shapes;
            const std::vector<int> order = LargestFirst(guests.size(), [&](int k) { return pieces[guests[size_t(k)]].dArea; });
            std::vector<S::Place> places(guests.size());
            S::FirstFit(problem, places, order, seed);
            for (size_t k = 0; k < guests.size(); ++k) {
                if (places[k].nSheet < 0)
                    continue;
                Piece& guest = pieces[guests[k]];
                const int turn = places[k].nTurn;
                const G::Pt at = places[k].at, corner = turned[k]->corner[size_t(turn)];
                const QPointF to = pieces[host].origin + QPointF(double(at.x + low.x - corner.x), double(at.y + low.y - corner.y)) / kUnitsPerMm;
                guest.move = {guest.origin, to, turned[k]->degrees[size_t(turn)]};
                guest.nHost = host;
                pieces[host].bHosts = true;
                ++filled;
            }
        }
    }
    return filled;
}

// Where part lies after moving all its pieces by move, onto sheet; its
// pieces framed anew when they did not start at the frame's corner.
Part Applied(Part part, const Move& move, int sheet)
{
    QRectF frame;
    for (const Outlines& piece : part.pieces)
        frame = frame.united(BoundsOf(piece));
    if (frame.topLeft() != QPointF()) {
        const QTransform placement = part.Placement();
        part.position += placement.map(frame.topLeft()) - placement.map(QPointF());
        for (Outlines& piece : part.pieces)
            piece = Local(piece, frame.topLeft());
    }
    const QPointF centre = QRectF(QPointF(), part.Size()).center();
    part.position = move.Map(part.position + centre) - centre;
    part.dRotation = std::fmod(std::fmod(part.dRotation + move.dDegrees, 360.0) + 360.0, 360.0);
    part.nSheet = sheet;
    return part;
}

} // namespace

double WidestKerf(const QVector<Part>& parts)
{
    double widest = 0.0;
    for (const Part& part : parts)
        widest = std::max(widest, part.parameters.value(QStringLiteral("kerf")).toDouble(0.0));
    return widest;
}

SheetSetup RollCut(SheetSetup setup, const NestOutcome& outcome)
{
    if (setup.bRoll)
        setup.size.setHeight(std::clamp(std::ceil(outcome.dLengthMm * 10) / 10, SheetSetup::kLeastSideMm, SheetSetup::kMostSideMm));
    return setup;
}

NestOutcome Nest(const NestRequest& request, const NestProgress& progress)
{
    NestOutcome outcome;
    // What the nest may move: asked for and not pinned. Only the rest holds a sheet.
    const auto moves = [&request](const Part& part) { return request.moving.contains(part.nId) && !part.bPinned; };
    const SheetSetup& setup = request.setup;
    const double spacing = setup.dSpacingMm + WidestKerf(request.parts);
    const double half = spacing / 2;
    outcome.dSpacingMm = spacing;
    const QSizeF board(setup.size.width(), setup.bRoll ? kRollMm : setup.size.height());
    const double inset = setup.dMarginMm - half;

    Frame frame;
    frame.room = QRectF(QPointF(inset, inset), board - QSizeF(2 * inset, 2 * inset));
    frame.bTurned = setup.bRoll || board.height() > board.width();
    const cInt across = cInt(std::floor(frame.room.width() * kUnitsPerMm)), down = cInt(std::floor(frame.room.height() * kUnitsPerMm));
    frame.length = frame.bTurned ? down : across;
    frame.height = frame.bTurned ? across : down;

    std::vector<Piece> pieces;
    for (int p = 0; p < request.parts.size(); ++p) {
        const Part& part = request.parts[p];
        const QTransform placement = part.Placement(); // measures the whole part: once
        for (int i = 0; i < part.pieces.size(); ++i) {
            Piece piece;
            piece.nPart = p, piece.nIndex = i;
            piece.bMoving = moves(part);
            piece.nSheet = piece.bMoving ? -1 : part.nSheet; // what stays, stays there
            const Outlines placed = Mapped(part.pieces[i], placement);
            piece.bounds = BoundsOf(placed);
            piece.dArea = PieceArea(placed);
            piece.origin = piece.bounds.topLeft();
            // Beyond what whole units hold, or larger than any board: nothing to shape.
            if (!IsFinite(placed) || !(piece.bounds.width() <= kLargestMm && piece.bounds.height() <= kLargestMm)
                || !(std::abs(piece.origin.x()) <= kFarthestMm && std::abs(piece.origin.y()) <= kFarthestMm)) {
                piece.bTooLarge = true;
                pieces.push_back(piece);
                continue;
            }
            const Outlines local = Local(placed, piece.origin);
            piece.shape = ShapeOf(local);
            if (piece.shape.outer.empty()) { // a line or a dot: its box, a hair wide
                const QRectF box = BoundsOf(local).adjusted(-0.01, -0.01, 0.01, 0.01);
                for (const QPointF& corner : {box.topLeft(), box.topRight(), box.bottomRight(), box.bottomLeft()})
                    piece.shape.outer.push_back(IntPoint(std::llround(corner.x() * kUnitsPerMm), std::llround(corner.y() * kUnitsPerMm)));
                piece.shape.outer = Hull(piece.shape.outer);
            }
            // Curves flattened lie up to kCurveMm inside the curve: grown by that too.
            const bool curved = HasCurves(local);
            piece.grown = Grown(piece.shape.outer, half + (curved ? kCurveMm : 0.0), curved ? kCurveMm : 0.0);
            pieces.push_back(piece);
        }
    }
    // A bay no piece can reach into is as good as filled, and convex pieces
    // nest faster: hairlines and small bays (finger joints, gear teeth) are
    // filled. What still has too many corners is simplified, growing it a
    // little more.
    for (Piece& piece : pieces)
        if (!piece.bTooLarge) {
            const QRectF bounds = BoundsMm(piece.grown);
            const Path filled = BaysFilled(piece.grown, 0.005 * std::hypot(bounds.width(), bounds.height()), 0.01);
            piece.grown = filled;
            for (double slack = kCurveMm; piece.grown.size() > kMostCorners && slack <= kMostSlackMm; slack *= 2)
                piece.grown = Grown(filled, 0.0, slack);
        }

    const int total = int(std::count_if(pieces.cbegin(), pieces.cend(), [](const Piece& p) { return p.bMoving; }));
    bool cancelled = false, stopped = false;
    NestStatus status;
    status.nPieces = total;
    const auto ask = [&]() {
        if (!progress || stopped || cancelled)
            return !cancelled;
        const NestStep step = progress(status);
        cancelled = step == NestStep::Cancel;
        stopped = step == NestStep::Stop;
        return !cancelled;
    };
    const auto cancelledNest = [&outcome] {
        outcome.strError = QStringLiteral("cancelled");
        return outcome;
    };
    outcome.nInHoles = FillHoles(pieces, setup, frame.room, half, request.nSeed);
    status.nPlaced = outcome.nInHoles;
    if (!ask())
        return cancelledNest();

    // The main problem: every other moving piece onto the boards, round what stays.
    ShapeTable table;
    S::Problem problem;
    problem.length = frame.length;
    problem.height = frame.height;
    std::vector<int> itemPiece;
    std::vector<const TurnedPiece*> turned;
    const QRectF roomMm = frame.room;
    for (int i = 0; i < int(pieces.size()); ++i) {
        Piece& piece = pieces[i];
        if (piece.bMoving && !piece.bTooLarge && piece.nHost < 0) {
            const TurnedPiece& t = TurnedIn(table, frame, piece, setup);
            bool fits = false;
            for (int s : t.item.shapes)
                fits = fits || (table.shapes.shapes[size_t(s)].w <= problem.length && table.shapes.shapes[size_t(s)].h <= problem.height);
            if (!fits) {
                piece.bTooLarge = true;
                continue;
            }
            itemPiece.push_back(i);
            turned.push_back(&t);
        } else if (!piece.bMoving && roomMm.intersects(piece.bounds)) {
            // What stays is in the way only where the room is.
            const int sheet = piece.nSheet;
            G::Ring ring = StaysRing(piece, roomMm, roomMm.topLeft());
            for (G::Pt& p : ring)
                p = frame.To(p);
            ring = G::Cleaned(ring);
            if (ring.empty())
                continue;
            S::Obstacle o;
            o.nSheet = sheet;
            o.nShape = table.Obstacle(ring, &o.at);
            problem.obstacles.push_back(o);
        }
    }
    for (const TurnedPiece* t : turned)
        problem.items.push_back(t->item);
    problem.pShapes = &table.shapes;

    // The material use of a layout as the summary tells it: the boards
    // before the last whole, of the last the strip all it holds takes along
    // whichever side leaves the larger offcut (a roll: its length), and the
    // parts that stay there or before counted with the rest.
    double pieceArea = 0;
    std::vector<std::pair<int, double>> staysArea; // sheet, area
    int staysOn = -1;
    for (const Piece& piece : pieces) {
        pieceArea += piece.bMoving && !piece.bTooLarge ? piece.dArea : 0.0;
        if (!piece.bMoving && piece.nSheet >= 0)
            staysArea.push_back({piece.nSheet, piece.dArea}), staysOn = std::max(staysOn, piece.nSheet);
    }
    const double acrossMm = frame.bTurned ? board.width() : board.height(), alongMm = frame.bTurned ? board.height() : board.width();
    const auto stripMm = [&](double units) { return units / kUnitsPerMm + 2 * inset; }; // search units to a strip of board
    const auto use = [&](const S::Problem& on, const std::vector<S::Place>& places) {
        int last = staysOn;
        for (const S::Place& place : places)
            last = std::max(last, place.nSheet);
        G::Coord along = 0, across = 0;
        const auto reach = [&](int sheet, const G::Pt& at, int shape) {
            const G::Shape& sh = on.pShapes->shapes[size_t(shape)];
            if (sheet == last || (setup.bRoll && sheet >= 0))
                along = std::max(along, std::min(on.length, at.x + sh.w)), across = std::max(across, std::min(on.height, at.y + sh.h));
        };
        for (size_t k = 0; k < places.size(); ++k)
            reach(places[k].nSheet, places[k].at, on.items[k].shapes[size_t(std::max(places[k].nTurn, 0))]);
        for (const S::Obstacle& o : on.obstacles)
            reach(o.nSheet, o.at, o.nShape);
        double area = pieceArea;
        for (const auto& [sheet, staying] : staysArea)
            area += sheet <= last ? staying : 0.0;
        const double strip = std::min(stripMm(double(along)), alongMm) * acrossMm;
        const double material = setup.bRoll ? (last + 1) * strip
                                            : last * alongMm * acrossMm + std::min(strip, std::min(stripMm(double(across)), acrossMm) * alongMm);
        return last < 0 || material <= 0 ? 0.0 : area / material;
    };

    const auto started = std::chrono::steady_clock::now();
    const auto firstFit = [&](const S::Problem& on, S::Layout* pLayout) {
        std::vector<S::Place> places(on.items.size());
        const std::vector<int> order = LargestFirst(on.items.size(), [&](int k) { return on.items[size_t(k)].dArea; });
        const auto placed = [&](int done) {
            status.nPlaced = std::max(status.nPlaced, outcome.nInHoles + done); // a second try shows no step back
            return ask();
        };
        bool whole = S::FirstFit(on, places, order, request.nSeed, placed);
        *pLayout = S::Layout{places, S::TotalOf(on, places)};
        // On boards, rows across may leave less than columns along: that way too, kept when it takes less.
        if (whole && !setup.bRoll && on.length == problem.length && int(on.items.size()) <= kMostSearched) {
            std::vector<S::Place> low(on.items.size());
            whole = S::FirstFit(on, low, order, request.nSeed, placed, true);
            if (const cInt total = S::TotalOf(on, low); total < pLayout->total)
                *pLayout = S::Layout{low, total};
        }
        return whole && !cancelled;
    };
    // Shortens the layout given for as long as the budget allows; false when cancelled.
    const auto search = [&](const S::Problem& on, double seconds, S::Layout* pLayout, const std::function<double(const S::Layout&)>& useOf) {
        if (!stopped && int(on.items.size()) <= kMostSearched) {
            S::Control control;
            control.dSeconds = seconds;
            control.nRounds = request.nRounds;
            control.nSeed = request.nSeed;
            control.nThreads = request.nThreads > 0 ? request.nThreads : int(std::max(1u, std::min(8u, std::thread::hardware_concurrency())));
            control.round = [&](const S::Layout& best, int round) {
                status.dMaterialUse = useOf(best);
                // From the first search on, not this one's: the window's bar and stderr never step back.
                status.dSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
                status.nRound = outcome.nRounds + round;
                return ask() && !stopped;
            };
            int rounds = 0;
            *pLayout = S::Search(on, *pLayout, control, &rounds);
            outcome.nRounds += rounds;
        }
        return !cancelled;
    };
    const double seconds = std::clamp(request.dSeconds, 0.0, NestRequest::kMostSeconds);
    // What the boards' search leaves (a quarter at least) goes to the last board's other side.
    const double mainSeconds = setup.bRoll ? seconds : 0.75 * seconds;
    S::Layout layout;
    // Boards end to end keep a piece from crossing from one to the next; when
    // everything may fit on one, a roll of its width is tried first, so that a
    // longer board never takes more boards than the length a roll used.
    double moving = 0;
    for (const S::Item& item : problem.items)
        moving += item.dArea;
    if (!firstFit(problem, &layout))
        return cancelledNest();
    bool single = false, tried = false;
    if (!setup.bRoll && problem.obstacles.empty() && moving <= double(problem.length) * double(problem.height)) {
        tried = true;
        // A roll longer than the board is no layout: until one fits, the use shown is the boards' first layout's.
        const double boardsUse = use(problem, layout.places);
        S::Problem roll = problem;
        roll.length = cInt(kRollMm * kUnitsPerMm);
        S::Layout rolled;
        if (!firstFit(roll, &rolled)
            || !search(roll, seconds / 2, &rolled, [&](const S::Layout& best) {
                   return std::max(boardsUse, best.total <= problem.length ? use(roll, best.places) : 0.0);
               }))
            return cancelledNest();
        rolled.total = S::TotalOf(problem, rolled.places);
        if ((single = rolled.total <= problem.length && S::Offenders(problem, rolled.places).empty()) && rolled.total < layout.total)
            layout = rolled;
    }
    if (!single && !search(problem, tried ? mainSeconds - seconds / 2 : mainSeconds, &layout,
                           [&](const S::Layout& best) { return use(problem, best.places); }))
        return cancelledNest();
    // The verdict the search placed by, once more on the whole layout: an
    // item it would refuse is placed again where it is free.
    for (int pass = 0; pass < 2; ++pass) {
        std::vector<int> again;
        for (const auto& [a, b] : S::Offenders(problem, layout.places))
            again.push_back(b >= 0 && b != a ? b : a);
        if (again.empty())
            break;
        std::sort(again.begin(), again.end());
        again.erase(std::unique(again.begin(), again.end()), again.end());
        outcome.nPlacedAgain += pass == 0 ? int(again.size()) : 0;
        for (int i : again)
            layout.places[size_t(i)].nSheet = pass == 0 ? -1 : -2;
        if (pass == 0)
            S::FirstFit(problem, layout.places, again, request.nSeed);
    }
    const double laidUse = use(problem, layout.places);

    // The rest of the last board is an offcut for the next job: its pieces
    // are laid once more along the board's other side, and kept there when
    // that strip takes less of the board.
    std::vector<const Frame*> frames(layout.places.size(), &frame);
    Frame other = frame;
    other.bTurned = !frame.bTurned, other.length = frame.height, other.height = frame.length;
    int last = -1; // the last board the layout takes
    const int stays = staysOn;
    for (const S::Place& place : layout.places)
        last = std::max(last, place.nSheet);
    bool flipped = false;
    // When all may fit on one board but the roll along it found no way, all
    // are laid along its other side: a board as long as a roll of its width
    // used takes them, whichever side that is.
    const bool mayAll = tried && !single && last > 0;
    for (int pass = mayAll ? 0 : 1; pass < 2 && !flipped && !setup.bRoll && last >= 0 && stays < last && problem.obstacles.empty(); ++pass) {
        const bool all = pass == 0;
        S::Problem strip;
        strip.pShapes = &table.shapes;
        strip.length = cInt(kRollMm * kUnitsPerMm), strip.height = other.height;
        std::vector<size_t> onLast;
        std::vector<const TurnedPiece*> across;
        cInt deep = 0; // how far across the last board the layout reaches
        for (size_t k = 0; k < layout.places.size(); ++k)
            if (all || layout.places[k].nSheet == last) {
                const S::Place& place = layout.places[k];
                if (place.nSheet == last)
                    deep = std::max<cInt>(deep, place.at.y + table.shapes.shapes[size_t(problem.items[k].shapes[size_t(place.nTurn)])].h);
                across.push_back(&TurnedIn(table, other, pieces[size_t(itemPiece[k])], setup));
                strip.items.push_back(across.back()->item);
                onLast.push_back(k);
            }
        const double before = double(S::TotalOf(problem, layout.places) - cInt(last) * problem.length);
        const double boards = (all ? 0 : last) * alongMm * acrossMm;
        const auto stripUse = [&](cInt used) {
            return pieceArea / (boards + std::min(stripMm(double(used)), acrossMm) * alongMm);
        };
        S::Layout laid;
        const double left = seconds - std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        if (!firstFit(strip, &laid)
            || !search(strip, std::max(all ? left / 2 : left, 0.0), &laid,
                       [&](const S::Layout& best) { return std::max(all ? 0.0 : stripUse(best.total), laidUse); }))
            return cancelledNest();
        S::Problem board2 = strip;
        board2.length = other.length;
        const cInt used = S::TotalOf(board2, laid.places);
        flipped = std::all_of(laid.places.cbegin(), laid.places.cend(), [](const S::Place& p) { return p.nSheet == 0; })
               && used <= other.length && S::Offenders(board2, laid.places).empty()
               && (all || stripMm(double(used)) * alongMm < std::min(stripMm(before) * acrossMm, stripMm(double(deep)) * alongMm));
        for (size_t j = 0; flipped && j < onLast.size(); ++j) {
            layout.places[onLast[j]] = laid.places[j];
            layout.places[onLast[j]].nSheet = all ? 0 : last;
            turned[onLast[j]] = across[j];
            frames[onLast[j]] = &other;
        }
    }
    int lastSheet = std::max(stays, 0); // a moving part's old sheet is free again
    for (size_t k = 0; k < layout.places.size(); ++k) {
        const S::Place& place = layout.places[k];
        if (place.nSheet < 0)
            continue;
        Piece& piece = pieces[size_t(itemPiece[k])];
        const TurnedPiece& t = *turned[k];
        // Where the search put the ring's own origin (its frame's turn
        // undone by Back), and the piece turned about it.
        const double degrees = t.degrees[size_t(place.nTurn)], c = std::cos(qDegreesToRadians(degrees)), s = std::sin(qDegreesToRadians(degrees));
        const Frame& f = *frames[k];
        const QPointF lift(f.To({0, 0}).x, f.To({0, 0}).y);
        const QPointF at = QPointF(lift.x() * c - lift.y() * s, lift.x() * s + lift.y() * c)
                           + QPointF(double(place.at.x - t.corner[size_t(place.nTurn)].x), double(place.at.y - t.corner[size_t(place.nTurn)].y));
        const QPointF to = f.room.topLeft() + f.Back(at);
        piece.move = {piece.origin, to, degrees};
        piece.nSheet = place.nSheet;
        lastSheet = std::max(lastSheet, place.nSheet);
    }
    // A piece no sheet takes gets one of its own, in the margin's corner.
    const int firstOwnSheet = lastSheet + 1;
    for (Piece& piece : pieces)
        if (piece.bMoving && piece.nHost < 0 && piece.nSheet < 0) {
            piece.nSheet = ++lastSheet;
            piece.move = {piece.bounds.topLeft(), QPointF(setup.dMarginMm, setup.dMarginMm), 0.0};
            ++outcome.nTooLarge;
        }
    for (Piece& piece : pieces)
        if (piece.nHost >= 0)
            piece.nSheet = pieces[piece.nHost].nSheet, piece.move = piece.move.Then(pieces[piece.nHost].move);

    // Parts whose pieces went the same way stay whole; the others come apart.
    int nextId = request.nNextId;
    size_t first = 0;
    const int usedSheets = firstOwnSheet - 1;
    for (const Part& part : request.parts) {
        const size_t end = first + size_t(part.pieces.size());
        if (!pieces[first].bMoving) {
            outcome.parts << part;
            first = end;
            continue;
        }
        bool together = true;
        for (size_t i = first + 1; i < end; ++i)
            together = together && pieces[i].nSheet == pieces[first].nSheet && pieces[i].move.Alike(pieces[first].move, pieces[first].origin);
        const QVector<Part> apart = together ? QVector<Part>{part} : Ungrouped(part, nextId);
        nextId += together ? 0 : int(apart.size());
        for (int i = 0; i < apart.size(); ++i) {
            const Piece& piece = pieces[first + (together ? 0 : size_t(i))];
            outcome.parts << Applied(apart[i], piece.move, piece.nSheet);
        }
        outcome.nPieces += int(end - first);
        first = end;
    }
    // The offcut is cut off along whichever edge leaves the more of the
    // board, past everything on the last sheet, pinned parts too. A roll's
    // sheets are all the one length the sheet keeps: past everything on any.
    QRectF lastUsed;
    double area = 0;
    for (const Part& part : std::as_const(outcome.parts))
        if (part.nSheet <= usedSheets) {
            for (const Outlines& piece : part.pieces)
                area += PieceArea(piece);
            lastUsed |= part.nSheet == usedSheets || setup.bRoll ? part.Bounds() : QRectF();
        }
    // From each edge the pieces may lie against: a board nested along its
    // height holds them against its right edge.
    const double fromTop = std::min(board.height(), lastUsed.bottom() + setup.dMarginMm);
    const double fromLeft = std::min(board.width(), lastUsed.right() + setup.dMarginMm);
    const double fromRight = std::min(board.width(), board.width() - lastUsed.left() + setup.dMarginMm);
    const double fromSide = std::min(fromLeft, fromRight);
    using Edge = NestOutcome::Edge;
    outcome.lastFrom = setup.bRoll || fromTop * board.width() < fromSide * board.height() ? Edge::Top
                       : fromRight < fromLeft                                             ? Edge::Right
                                                                                          : Edge::Left;
    outcome.dLengthMm = outcome.lastFrom == Edge::Top ? fromTop : fromSide;
    // As the offcut is cut, not as the search measured it.
    const double material = setup.bRoll ? (std::max(usedSheets, 0) + 1) * board.width() * outcome.dLengthMm
                                        : std::max(usedSheets, 0) * board.width() * board.height()
                                              + outcome.dLengthMm * (outcome.lastFrom == Edge::Top ? board.width() : board.height());
    outcome.dMaterialUse = material > 0 ? area / material : 0.0;
    outcome.bDone = true;
    return outcome;
}
