// The nest from outside: kerfmate-host nests sheets written here, its DXF
// is read back by ezdxf and judged with CGAL's exact arithmetic, which the
// nest does not use: every piece inside the margin, the spacing kept, none lost.
#include "CShape.h"
#include "NestGeometry.h"
#include "NestJudge.h"
#include "Nesting.h"
#include "Outline.h"
#include "SheetDocument.h"

#include <QtTest>

#include <numeric>
#include <random>

namespace {
// The board as --sheet, --margin and --spacing give it, and the turn step.
struct Stock
{
    QSizeF size;
    double margin = 0, spacing = 0;
    int turn = 90;
};
} // namespace
Q_DECLARE_METATYPE(Stock)

namespace {
QPolygonF Rect(double w, double h)
{
    return QPolygonF(QRectF(0, 0, w, h));
}

QPolygonF Plus()
{
    return QPolygonF({{2, 0}, {4, 0}, {4, 2}, {6, 2}, {6, 4}, {4, 4}, {4, 6}, {2, 6}, {2, 4}, {0, 4}, {0, 2}, {2, 2}, {2, 0}});
}

// Random star-shaped outlines, so a seed gives the same set everywhere.
QVector<QPolygonF> Stars(int count, double size, unsigned seed)
{
    std::mt19937 rng(seed);
    QVector<QPolygonF> stars;
    for (int i = 0; i < count; ++i) {
        QPolygonF star;
        const int corners = 3 + int(rng() % 8);
        for (int k = 0; k < corners; ++k) {
            const double r = size * (0.2 + 0.8 * (rng() % 1000) / 1000.0), a = 2 * M_PI * k / corners;
            star << QPointF(r * std::cos(a), r * std::sin(a));
        }
        stars << star;
    }
    return stars;
}

QVector<Part> Parts(const QVector<QPolygonF>& pieces)
{
    QVector<Part> parts;
    for (const QPolygonF& polygon : pieces) {
        Part part;
        part.nId = int(parts.size()) + 1;
        part.strName = QStringLiteral("P%1").arg(part.nId);
        QPainterPath path;
        path.addPolygon(polygon.translated(-polygon.boundingRect().topLeft()));
        path.closeSubpath();
        part.pieces = {{{path, 0}}};
        part.position = QPointF(0, 20.0 * parts.size());
        part.nSheet = int(parts.size()) % 3; // as an earlier nest left them: the sheets they leave are free
        parts << part;
    }
    return parts;
}

} // namespace

class TestNest : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_dir = std::make_unique<QTemporaryDir>(); }
    void nestsWhatFits_data();
    void nestsWhatFits();
    void farCoordinatesNeverAbort_data();
    void farCoordinatesNeverAbort();
    void rollTakesTheLengthItNeeds();
    void sameSeedSameNest();
    void pinnedStaysOversizedAlone();
    void freeTurnsSquareEachPiece_data();
    void freeTurnsSquareEachPiece();
    void noFitCacheRefills();
    void stopKeepsTheBestCancelKeepsNothing();

private:
    QString Path(const QString& name) const { return m_dir->filePath(name); }
    // Writes the sheet, nests it; the exit code and what the run said.
    int Nest(const QVector<Part>& parts, const Stock& board, const QStringList& more, QString* pOut = nullptr);
    // Why the nest is wrong, empty when it is right: outlines lost or changed,
    // outside the margin, or nearer each other than the spacing.
    QString Judged(const QVector<QPolygonF>& pieces, const Stock& board);
    std::unique_ptr<QTemporaryDir> m_dir;
};

int TestNest::Nest(const QVector<Part>& parts, const Stock& board, const QStringList& more, QString* pOut)
{
    SheetSetup setup; // the board comes from --sheet
    QFile in(Path("in.kerfmate"));
    if (!in.open(QIODevice::WriteOnly) || in.write(SheetDocument::Write({setup, parts})) <= 0)
        return -1;
    in.close();
    QProcess host;
    host.setProcessChannelMode(QProcess::MergedChannels);
    host.setWorkingDirectory(m_dir->path());
    host.start(qEnvironmentVariable("KERFMATE_HOST"),
               QStringList{"--open", Path("in.kerfmate"), "--nest", "--nest-rounds", "1", "--out", "n.dxf", "--save",
                           "n.kerfmate", "--layers", "--margin", QString::number(board.margin), "--spacing",
                           QString::number(board.spacing), "--turn", QString::number(board.turn), "--sheet",
                           QStringLiteral("%1x%2").arg(board.size.width()).arg(board.size.height())}
                   + more);
    if (!host.waitForFinished(60000) || host.exitStatus() != QProcess::NormalExit)
        return -2;
    if (pOut)
        *pOut = QString::fromUtf8(host.readAll());
    return host.exitCode();
}

QString TestNest::Judged(const QVector<QPolygonF>& pieces, const Stock& board)
{
    const QVector<QList<QPolygonF>> sheets = SheetCuts({Path("n.dxf")});
    std::vector<double> areas; // every piece once, by its area
    for (const QPolygonF& piece : pieces)
        areas.push_back(std::abs(RingArea(piece)));
    for (const QList<QPolygonF>& sheet : sheets)
        for (const QPolygonF& cut : sheet) {
            const double area = std::abs(RingArea(cut));
            const auto same = std::find_if(areas.begin(), areas.end(), [area](double a) { return std::abs(a - area) < 1e-4 * a + 1e-3; });
            if (same == areas.end())
                return QStringLiteral("a piece of area %1 that was not asked for").arg(area);
            areas.erase(same);
        }
    return areas.empty() ? JudgeNest(sheets, ::Board{board.size, board.margin, board.spacing})
                         : QStringLiteral("%1 pieces of %2 not written").arg(areas.size()).arg(pieces.size());
}

// Sets whose pieces each fit the board nest at every spacing and turn, 0
// too, where pieces touch: a plus beside a bar, squares, triangles touching
// along a slant and L pieces into each other's notch that fill the room.
void TestNest::nestsWhatFits_data()
{
    QTest::addColumn<QVector<QPolygonF>>("pieces");
    QTest::addColumn<Stock>("board");
    QTest::addColumn<int>("sheets"); // how many the nest needs at the most
    QTest::addColumn<double>("strip"); // of the last sheet, mm^2, the most its pieces may take; 0: any
    const QVector<QPolygonF> plusAndBar{Plus(), Rect(1, 4)};
    for (int turn : {0, 90, 45, 1})
        QTest::addRow("plus and bar, spacing 0, turn %d", turn) << plusAndBar << Stock{{1000, 1000}, 0, 0, turn} << 1 << 0.0;
    QTest::newRow("plus and bar, spacing 0.1") << plusAndBar << Stock{{1000, 1000}, 5, 0.1, 90} << 1 << 0.0;
    const QVector<QPolygonF> squares(4, Rect(50, 50));
    for (int turn : {0, 90, 180})
        QTest::addRow("four squares fill the board, turn %d", turn) << squares << Stock{{100, 100}, 0, 0, turn} << 1 << 0.0;
    QTest::newRow("touching strips fill the board") << QVector<QPolygonF>{Rect(100, 30), Rect(100, 30), Rect(30, 40), Rect(70, 40)}
                                                   << Stock{{100, 100}, 0, 0, 90} << 1 << 0.0;
    const QPolygonF halfSquare({{0, 0}, {100, 0}, {0, 100}}), ell({{0, 0}, {100, 0}, {100, 50}, {50, 50}, {50, 100}, {0, 100}});
    for (int turn : {0, 90})
        QTest::addRow("four bars fill the board, turn %d", turn) << QVector<QPolygonF>(4, Rect(295, 195)) << Stock{{600, 400}, 5, 0, turn} << 1 << 0.0;
    QTest::newRow("two triangles fill the board") << QVector<QPolygonF>(2, halfSquare) << Stock{{100, 100}, 0, 0, 90} << 1 << 0.0;
    QTest::newRow("two L pieces fill the board") << QVector<QPolygonF>(2, ell) << Stock{{100, 150}, 0, 0, 90} << 1 << 0.0;
    QTest::newRow("squares at spacing 1 fill the board") << QVector<QPolygonF>(4, Rect(49.5, 49.5)) << Stock{{100, 100}, 0, 1, 90} << 1 << 0.0;
    for (const auto& [tag, spacing, turn] : {std::tuple("stars, spacing 0", 0.0, 90), std::tuple("stars, spacing 2", 2.0, 30),
                                             std::tuple("stars, spacing 5, no turns", 5.0, 0)})
        QTest::newRow(tag) << Stars(30, 20, 7) << Stock{{200, 120}, 3, spacing, turn} << 4 << 0.0;
    // Stacked they would take the less of the board's length, side by side along its top the less of it all.
    QTest::newRow("two bars lie along the top") << QVector<QPolygonF>(2, Rect(140, 20)) << Stock{{300, 100}, 2, 1, 90} << 1
                                                << 25.0 * 300;
    QTest::newRow("bars on a tall board take a strip along its side") << QVector<QPolygonF>(10, Rect(8, 380)) << Stock{{300, 600}, 5, 0.5, 0}
                                                                      << 1 << 100.0 * 600;
}

void TestNest::nestsWhatFits()
{
    QFETCH(QVector<QPolygonF>, pieces);
    QFETCH(Stock, board);
    QFETCH(int, sheets);
    QFETCH(double, strip);
    QString out;
    QCOMPARE(Nest(Parts(pieces), board, {}, &out), 0);
    const QString why = Judged(pieces, board);
    QVERIFY2(why.isEmpty(), qPrintable(why + '\n' + out));
    const QVector<QList<QPolygonF>> cuts = SheetCuts({Path("n.dxf")});
    const int written = int(cuts.size());
    QVERIFY2(written <= sheets, qPrintable(out));
    // The last sheet's offcut is cut off along the edge that leaves the more, and the use counts the rest as offcut.
    QRectF used;
    for (const QPolygonF& cut : cuts.last())
        used |= cut.boundingRect();
    const QSizeF& size = board.size;
    const double down = std::min(size.height(), used.bottom() + board.margin), right = std::min(size.width(), used.right() + board.margin);
    const double left = std::min(size.width(), size.width() - used.left() + board.margin); // from the right edge
    const double area = std::accumulate(pieces.cbegin(), pieces.cend(), 0.0, [](double a, const QPolygonF& p) { return a + std::abs(RingArea(p)); });
    const double offcut = std::min({down * size.width(), right * size.height(), left * size.height()}), whole = size.width() * size.height();
    const QRegularExpressionMatch last = QRegularExpression("last sheet used to ([0-9.]+) mm from its (top|left|right) edge: ([0-9.]+) % with").match(out);
    const double length = last.captured(2) == "top" ? down : last.captured(2) == "left" ? right : left;
    QVERIFY2(last.hasMatch() && std::abs(last.captured(1).toDouble() - length) <= 0.06
                 && (last.captured(2) == "top" ? down * size.width() : length * size.height()) <= offcut * (1 + 1e-12)
                 && (strip == 0 || offcut <= strip) && std::abs(last.captured(3).toDouble() - 100 * area / ((written - 1) * whole + offcut)) <= 0.1,
             qPrintable(out));
    // Every piece turned by whole steps of the turn asked for; at 0, not at all.
    SheetDocument::Contents saved;
    QVERIFY(SheetDocument::ReadFile(Path("n.kerfmate"), &saved, nullptr));
    for (const Part& part : std::as_const(saved.parts))
        QVERIFY2(std::abs(std::remainder(part.dRotation, board.turn ? board.turn : 360)) < 1e-6, qPrintable(QString::number(part.dRotation)));
    // The material use it reports: the pieces' area over every sheet it wrote.
    const QRegularExpressionMatch use = QRegularExpression("nested on .* material use ([0-9.]+) %").match(out);
    QVERIFY2(use.hasMatch() && std::abs(use.captured(1).toDouble() - 100 * area / (written * whole)) <= 0.06, qPrintable(out));
}

// A coordinate the file takes never stops the program: a piece far off is
// nested like any other, one larger than any board is refused, and one
// beyond any board's reach refuses the file.
void TestNest::farCoordinatesNeverAbort_data()
{
    QTest::addColumn<double>("at");
    QTest::addColumn<double>("size");
    QTest::addColumn<int>("exitCode");
    QTest::newRow("a square 999 m off") << 999e3 << 10.0 << 0;
    QTest::newRow("a square 999 m off the other way") << -999e3 << 10.0 << 0;
    QTest::newRow("a square 500 m large") << 0.0 << 5e5 << 9;
    QTest::newRow("a square just past 1 km") << 1e6 << 10.0 << 8;
    QTest::newRow("a square at 1e15") << 1e15 << 10.0 << 8;
    QTest::newRow("a square 1e15 large") << 0.0 << 1e15 << 8;
    QTest::newRow("a square at 1e120") << 1e120 << 1e110 << 8;
}

void TestNest::farCoordinatesNeverAbort()
{
    QFETCH(double, at);
    QFETCH(double, size);
    QFETCH(int, exitCode);
    QVector<Part> parts = Parts({Plus(), Rect(1, 1)});
    parts[1].pieces[0][0].path = QPainterPath();
    parts[1].pieces[0][0].path.addRect(QRectF(at, at, size, size)); // not framed: where the file says
    QString out;
    QCOMPARE(Nest(parts, Stock{{300, 300}, 5, 2, 90}, {}, &out), exitCode);
    const QString why = exitCode == 0 ? Judged({Plus(), Rect(10, 10)}, Stock{{300, 300}, 5, 2, 90}) : QString();
    QVERIFY2(why.isEmpty(), qPrintable(why + '\n' + out));
    SheetDocument::Contents saved; // what the nest saved opens again
    QVERIFY2(exitCode ? out.contains(exitCode == 9 ? "larger than the 300 x 300 mm board" : "is outside -1000000 to 1000000")
                            && !QFile::exists(Path("n.dxf"))
                      : SheetDocument::ReadFile(Path("n.kerfmate"), &saved, nullptr),
             qPrintable(out));
}

// On a roll the nest takes one board of the width, says the length it used,
// and the sheet saved is that long; a longer board holds the same again.
void TestNest::rollTakesTheLengthItNeeds()
{
    const QVector<QPolygonF> pieces = Stars(25, 15, 3);
    QString out;
    const QStringList rounds{"--nest-rounds", "3", "--nest-time", "0.01"}; // the same search whatever the load, and all of it
    QCOMPARE(Nest(Parts(pieces), Stock{{120, 0}, 2, 1, 90}, rounds, &out), 0);
    const QRegularExpressionMatch used = QRegularExpression("length used ([0-9.]+) mm").match(out);
    QVERIFY2(used.hasMatch() && out.contains("(3 rounds of search"), qPrintable(out));
    const double length = used.captured(1).toDouble();
    SheetDocument::Contents saved;
    QVERIFY(SheetDocument::ReadFile(Path("n.kerfmate"), &saved, nullptr));
    QVERIFY(saved.setup.bRoll && std::abs(saved.setup.size.height() - length) <= 0.1);
    QCOMPARE(SheetCuts({Path("n.dxf")}).size(), 1);
    QString why = Judged(pieces, Stock{{120, length}, 2, 1, 90});
    QVERIFY2(why.isEmpty(), qPrintable(why));
    // Up to the tenth, never down, past every sheet (a pinned square holds the second).
    QVector<Part> bar = Parts({Rect(100, 30.04), Rect(10, 10)});
    bar[1].bPinned = true, bar[1].position = QPointF();
    QCOMPARE(Nest(bar, Stock{{120, 0}, 0, 0, 0}, {}, &out), 0);
    QVERIFY2(out.contains("length used 30.1 mm"), qPrintable(out));
    for (double longer : {length + 0.5, length + 7, 2 * length}) {
        QCOMPARE(Nest(Parts(pieces), Stock{{120, longer}, 2, 1, 90}, rounds, &out), 0);
        QVERIFY2((why = Judged(pieces, Stock{{120, longer}, 2, 1, 90})).isEmpty() && SheetCuts({Path("n.dxf")}).size() == 1,
                 qPrintable(QString::number(longer) + why + '\n' + out));
    }
    QCOMPARE(Nest(Parts(pieces), Stock{{120, 0}, 2, 1, 90}, {"--nest-time", "0"}, &out), 0); // the search shortens the first fit
    QVERIFY2(QRegularExpression("length used ([0-9.]+) mm").match(out).captured(1).toDouble() > length, qPrintable(out));
}

// A seed and a number of rounds decide the nest, whatever the machine's load.
void TestNest::sameSeedSameNest()
{
    QByteArray first;
    for (int run = 0; run < 2; ++run) {
        QCOMPARE(Nest(Parts(Stars(20, 15, 5)), Stock{{150, 100}, 2, 1, 90}, {"--seed", "7", "--nest-rounds", "3"}), 0);
        QFile saved(Path("n.kerfmate"));
        QVERIFY(saved.open(QIODevice::ReadOnly));
        const QByteArray text = saved.readAll();
        QCOMPARE(text, run == 0 ? (first = text) : first);
    }
}

// A pinned part stays where it lies; a piece no board takes gets the next
// sheet to itself, past every sheet the others take.
void TestNest::pinnedStaysOversizedAlone()
{
    NestRequest request;
    request.parts = Parts({Rect(90, 40), Rect(120, 80), Rect(500, 20), Rect(30, 30), Rect(90, 40), Rect(30, 30)});
    request.parts[3].bPinned = true, request.parts[3].position = QPointF(100, 5);
    request.parts[5].bPinned = true, request.parts[5].position = QPointF(60, 10), request.parts[5].nSheet = 1;
    for (const Part& part : request.parts)
        request.moving << part.nId;
    request.nNextId = int(request.parts.size()) + 1;
    request.setup.size = QSizeF(250, 100);
    request.nRounds = 1;
    const NestOutcome outcome = ::Nest(request);
    QVERIFY(outcome.bDone);
    QVERIFY(outcome.nTooLarge == 1 && outcome.nPlacedAgain == 0);
    QMap<int, int> parts; // on each sheet
    QMap<int, Part> byId;
    for (const Part& part : outcome.parts)
        ++parts[part.nSheet], byId[part.nId] = part;
    const Part &pinned = byId.value(request.parts[3].nId), &large = byId.value(request.parts[2].nId);
    QVERIFY(pinned.position == request.parts[3].position && pinned.nSheet == request.parts[3].nSheet);
    QVERIFY(large.nSheet == 2 && parts == (QMap<int, int>{{0, 3}, {1, 2}, {2, 1}})); // parts on each sheet
    // Nothing comes nearer what stays, nor each other, than the 2 mm spacing:
    // boxes grown by 2 / sqrt(2) meet for every pair nearer than that.
    for (const Part& a : outcome.parts)
        for (const Part& b : outcome.parts)
            QVERIFY(a.nId == b.nId || a.nSheet != b.nSheet || !a.Bounds().adjusted(-1.4, -1.4, 1.4, 1.4).intersects(b.Bounds()));
    for (const Part& part : outcome.parts) // the offcut is cut past all the last sheet holds, pinned parts too
        QVERIFY(part.nSheet != large.nSheet - 1 || (outcome.lastFrom == NestOutcome::Edge::Top ? part.Bounds().bottom() : outcome.lastFrom == NestOutcome::Edge::Right ? request.setup.size.width() - part.Bounds().left() : part.Bounds().right()) <= outcome.dLengthMm);
    // Pinned past where the others end, nothing shorter can exist: the search ends at once.
    request.parts = Parts({Rect(10, 10), Rect(90, 40), Rect(90, 40)}); // the first on sheet 0
    request.parts[0].bPinned = true, request.parts[0].position = QPointF(180, 80);
    request.setup.size = QSizeF(200, 100), request.nRounds = 0, request.dSeconds = 60;
    QCOMPARE(::Nest(request).nRounds, 1);
    request.dSeconds = 0; // no time, no search
    QCOMPARE(::Nest(request).nRounds, 0);
    // A square-cornered hole holds pieces like any other: here only it can.
    request.parts = Parts({Rect(300, 300), Rect(50, 50), Rect(50, 50)});
    request.parts[0].pieces[0] << Outline{QPainterPath(), 0};
    request.parts[0].pieces[0].last().path.addRect(20, 20, 260, 260);
    request.setup.size = QSizeF(350, 310), request.setup.dMarginMm = 0, request.nRounds = 1;
    QCOMPARE(::Nest(request).nInHoles, 2);
    // A hole that stays holds them where it lies on the board (here past its edge), round what else stays in it.
    request.parts[0].bPinned = true, request.parts[0].nSheet = 1, request.parts[0].position = QPointF(0, 100);
    request.parts[1].bPinned = true, request.parts[1].nSheet = 1, request.parts[1].position = request.parts[0].position + QPointF(22, 22);
    const NestOutcome kept = ::Nest(request);
    const QRectF hole = QRectF(21.9, 21.9, 256.2, 256.2).translated(request.parts[0].position), stays = request.parts[1].Bounds().adjusted(-1.9, -1.9, 1.9, 1.9);
    QCOMPARE(kept.nInHoles, 1);
    for (const Part& p : kept.parts)
        QVERIFY(p.nSheet == 1 && (p.nId != request.parts[2].nId || (hole.contains(p.Bounds()) && !stays.intersects(p.Bounds()))));
    request.parts[0].pieces[0].last().nLayer = CShape::LayerEngrave; // marked, not cut out: no hole
    QCOMPARE(::Nest(request).nInHoles, 0);
}

// Squared to its narrowest box, a tilted bar lies square to the board; without, it keeps its tilt.
void TestNest::freeTurnsSquareEachPiece_data()
{
    QTest::addColumn<double>("tilt");
    QTest::addColumn<bool>("free");
    for (double tilt : {30.0, -50.0, 100.0})
        for (bool free : {true, false})
            QTest::addRow("tilted %g, %s", tilt, free ? "squared" : "as it lies") << tilt << free;
}

void TestNest::freeTurnsSquareEachPiece()
{
    QFETCH(double, tilt);
    QFETCH(bool, free);
    NestRequest request;
    request.parts = Parts({Rect(100, 20)});
    request.parts[0].dRotation = tilt, request.moving << request.parts[0].nId;
    request.setup.size = QSizeF(300, 200), request.setup.bFreeTurns = free, request.nRounds = 1;
    const NestOutcome outcome = ::Nest(request);
    const double c = std::abs(std::cos(qDegreesToRadians(tilt))), s = std::abs(std::sin(qDegreesToRadians(tilt)));
    const QRectF box = outcome.parts.value(0).Bounds();
    QVERIFY(outcome.bDone && std::abs(box.width() * box.height() - (free ? 2000 : (100 * c + 20 * s) * (100 * s + 20 * c))) < 0.1);
}

// Full, the no-fit cache forgets all at once and still hands back each pair's own polygon.
void TestNest::noFitCacheRefills()
{
    NestGeometry::Shapes shapes;
    for (int i = 0; i < 400; ++i)
        shapes.Add({{0, 0}, {10 + i, 0}, {0, 7 + i % 13}});
    NestGeometry::NoFitCache cache(shapes);
    for (int k = 0; k < 2 * 400 * 400; ++k) { // past twice what it holds
        const int a = k / 400 % 400, b = k % 400;
        const NestGeometry::Ring &got = cache.Get(a, b).corners, &ra = shapes.convex[size_t(a)].corners, &rb = shapes.convex[size_t(b)].corners;
        QVERIFY(got.size() <= 6 && (k % 97 || got == NestGeometry::NoFitOf(ra, rb).corners));
    }
}

// Stop keeps the best layout found so far, every piece on it, even when a
// number of rounds was asked for; Cancel gives none. The time and material
// use shown never step back, through every search of a nest.
void TestNest::stopKeepsTheBestCancelKeepsNothing()
{
    NestRequest request;
    request.parts = Parts({Rect(350, 300), Rect(350, 300)}); // as much as a board holds, but only one to a board
    for (const Part& part : request.parts)
        request.moving << part.nId;
    request.nNextId = int(request.parts.size()) + 1;
    for (NestStep answer : {NestStep::Go, NestStep::Stop, NestStep::Cancel}) {
        request.nRounds = answer == NestStep::Go ? 2 : 1000, request.dSeconds = 60;
        int rounds = 0;
        NestStatus shown; // the last, and the most its time or material use ever stepped back
        double back = 0;
        const NestOutcome outcome = ::Nest(request, [&](const NestStatus& status) {
            back = std::max({back, shown.dSeconds - status.dSeconds, shown.dMaterialUse - status.dMaterialUse}), shown = status;
            return status.nRound > 0 && ++rounds >= 2 ? answer : NestStep::Go;
        });
        QCOMPARE(outcome.bDone, answer != NestStep::Cancel);
        QCOMPARE(outcome.parts.size(), answer != NestStep::Cancel ? request.parts.size() : 0);
        QVERIFY(back == 0 && outcome.nPlacedAgain == 0 && (answer == NestStep::Go ? outcome.nRounds > 2 : rounds == 2 && outcome.nRounds <= 2));
    }
    // Shown as the summary tells it: the last board along its shorter side, what stays counted.
    request.parts = Parts({Rect(250, 180), Rect(250, 180), Rect(250, 180), Rect(50, 50)}), request.nRounds = 1;
    request.parts[3].bPinned = true, request.parts[3].nSheet = 0;
    double shown = 0;
    const NestOutcome three = ::Nest(request, [&](const NestStatus& status) { return shown = status.dMaterialUse, NestStep::Go; });
    QVERIFY2(three.bDone && std::abs(shown - three.dMaterialUse) < 1e-3, qPrintable(QString::number(shown)));
}

QTEST_MAIN(TestNest)
#include "tst_nest.moc"
