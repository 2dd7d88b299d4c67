// The reference engine, judged by properties any correct engine has, over
// tables of records; and records no dialog would send.
#include "TestSupport.h"

#include "CShape.h"
#include "CShapeList.h"
#include "EngineBuild.h"
#include "Curves.h"
#include "ReferenceEngine.h"

#include <QFontDatabase>
#include <clipper.hpp>
#include <QtMath>
#include <QtTest>
#include <cfloat>
#include <functional>
#include <numeric>

Q_DECLARE_METATYPE(SRectBoxParam)
Q_DECLARE_METATYPE(SFilletBoxParam)
Q_DECLARE_METATYPE(SGearBoxParam)
Q_DECLARE_METATYPE(SSealBoxParam)

namespace {

// Both lists of one build, disposed of as the host does.
struct Output
{
    CShapeList *pMain = CShapeList::New(), *pAux = CShapeList::New();
    ~Output() { pMain->DeleteAll(), pAux->DeleteAll(), CShapeList::Release(pMain), CShapeList::Release(pAux); }
    CShape* Main(int i) const { return pMain->GetShape(uint(i)); }
    int MainCount() const { return int(pMain->GetCount()); }
};

QPainterPath PathOf(CShape* shape) { return *shape->GetPath(false); }
QList<QPolygonF> Contours(CShape* shape) { return PathOf(shape).toSubpathPolygons(); }

double Area(const QPainterPath& path)
{
    double area = 0.0;
    for (const QPolygonF& p : path.toFillPolygons())
        for (int i = 0, n = p.size(); i < n; ++i) // each polygon of a fill runs one way round
            area += (p[i].x() * p[(i + 1) % n].y() - p[(i + 1) % n].x() * p[i].y()) / 2.0;
    return std::abs(area);
}

// One closed contour whose edges meet only at their shared corners.
bool Simple(const QList<QPolygonF>& contours)
{
    const QPolygonF p = contours.value(0);
    const int n = p.size() - 1;
    for (int i = 0; i < n; ++i)
        for (int j = i + 2; j < n && !(i == 0 && j == n - 1); ++j)
            if (QLineF(p[i], p[i + 1]).intersects(QLineF(p[j], p[j + 1]), nullptr) == QLineF::BoundedIntersection)
                return false;
    return contours.size() == 1 && p.isClosed();
}

bool Finite(const Output& out) { return Sound(out.pMain) && Sound(out.pAux); }

bool Reaches(QPointF a, QPointF b, const QRectF& r)
{
    return std::max(a.x(), b.x()) >= r.left() && std::min(a.x(), b.x()) <= r.right()
           && std::max(a.y(), b.y()) >= r.top() && std::min(a.y(), b.y()) <= r.bottom();
}

// No two contours cross and each one inside another turns so that the ink
// changes at it: an even-odd fill engraves what a winding fill does, with no
// sliver left out where letters overlap. Curves are sampled to 1/20000 of
// the path's height, and a point within 1e-7 of it from a line touches it.
bool FillsAlike(const QPainterPath& path)
{
    const double unit = 1e4 / path.boundingRect().height();
    const QList<QPolygonF> c = path.toSubpathPolygons(QTransform::fromScale(unit, unit));
    const int n = c.size();
    QVector<QRectF> box(n);
    QVector<int> parent(n, -1), winding(n, 0), depth(n, 0);
    for (int i = 0; i < n; ++i)
        box[i] = c[i].boundingRect();
    const auto side = [](QPointF o, QPointF a, QPointF b) {
        const double z = (a.x() - o.x()) * (b.y() - o.y()) - (a.y() - o.y()) * (b.x() - o.x());
        return (z > 1e-3 * QLineF(o, a).length()) - (z < -1e-3 * QLineF(o, a).length());
    };
    for (int a = 0; a < n; ++a)
        for (int b = 0; b < n; ++b) {
            if (a == b || !box[a].intersects(box[b]))
                continue;
            for (int i = 0; b > a && i + 1 < c[a].size(); ++i)
                for (int j = 0; Reaches(c[a][i], c[a][i + 1], box[b]) && j + 1 < c[b].size(); ++j)
                    if (side(c[a][i], c[a][i + 1], c[b][j]) * side(c[a][i], c[a][i + 1], c[b][j + 1]) < 0
                        && side(c[b][j], c[b][j + 1], c[a][i]) * side(c[b][j], c[b][j + 1], c[a][i + 1]) < 0)
                        return false;
            const auto area = [&](int k) { return box[k].width() * box[k].height(); };
            if (box[b].contains(box[a]) && c[b].containsPoint(c[a][0], Qt::OddEvenFill)
                && (parent[a] < 0 || area(b) < area(parent[a])))
                parent[a] = b;
        }
    std::function<void(int)> settle = [&](int k) {
        if (winding[k] || depth[k])
            return;
        const int p = parent[k];
        if (p >= 0)
            settle(p), depth[k] = depth[p] + 1;
        double turn = 0; // twice the signed area
        for (int i = 0; i + 1 < c[k].size(); ++i)
            turn += c[k][i].x() * c[k][i + 1].y() - c[k][i + 1].x() * c[k][i].y();
        winding[k] = (p >= 0 ? winding[p] : 0) + (turn > 0 ? 1 : -1);
    };
    for (int k = 0; k < n; ++k)
        if (settle(k), (winding[k] != 0) != (depth[k] % 2 == 0))
            return false;
    return true;
}

template <typename T, typename Change>
T With(T value, Change change)
{
    return change(value), value;
}

} // namespace

class TestEngine : public QObject
{
    Q_OBJECT

private slots:
    void rectBoxAssembles_data();
    void rectBoxAssembles();
    void fingersNoNarrowerThanTwoKerfs();
    void gearPairsTurn_data();
    void gearPairsTurn();
    void gearScalesWithItsModule_data();
    void gearScalesWithItsModule();
    void hingeBridgesHold_data();
    void hingeBridgesHold();
    void roundedBoxWraps_data();
    void roundedBoxWraps();
    void sealLinesKeepToTheirRoom_data();
    void sealLinesKeepToTheirRoom();
    void sealTextReadsAsWritten_data();
    void sealTextReadsAsWritten();
    void faceLabelsComeFromATextFace();
    void badRecords_data();
    void badRecords();
    void deliveryChecksEveryOutline_data();
    void deliveryChecksEveryOutline();

private:
    TempConfig m_config;
    CReferenceEngine m_engine;
};

void TestEngine::rectBoxAssembles_data()
{
    QTest::addColumn<SRectBoxParam>("box");
    const SRectBoxParam box = With(SRectBoxParam(), [](auto& b) { b.dWidth = 80, b.dDepth = 60, b.dHeight = 40; });
    QTest::newRow("closed") << box;
    QTest::newRow("open tube") << With(box, [](auto& b) { b.bNoTop = b.bNoBottom = true; });
    QTest::newRow("open top") << With(box, [](auto& b) { b.bNoTop = true; });
    QTest::newRow("fingers asked finer than they may be")
        << With(box, [](auto& b) { b.dFluteOfWidth = b.dFluteOfHeight = b.dFluteOfDepth = 0.5; });
    QTest::newRow("inside measures") << With(box, [](auto& b) { b.bInSize = true; });
    QTest::newRow("kerf 2.5 on a 3 mm board") << With(box, [](auto& b) { b.dLaserWidth = 2.5; });
    QTest::newRow("grooves differ per direction")
        << With(box, [](auto& b) { b.dWidth = 100, b.dFluteOfWidth = 25, b.dFluteOfHeight = 5, b.dFluteOfDepth = 7; });
    QTest::newRow("45.6 mm edge, 9.9 mm fingers") << With(box, [](auto& b) { b.dWidth = 51.6, b.dFluteOfWidth = 9.9; });
    QTest::newRow("groove longer than the side") << With(SRectBoxParam(), [](auto& b) { b.dFluteOfWidth = 80; });
}

void TestEngine::rectBoxAssembles()
{
    QFETCH(SRectBoxParam, box);
    SFaceLabels labels;
    for (char* name : {labels.szFront, labels.szBehind, labels.szLeft, labels.szRight, labels.szTop, labels.szBottom})
        qstrcpy(name, "Face");
    Output out, exact;
    QVERIFY(m_engine.CreateRectBox(box, out.pMain, out.pAux, &labels) && Finite(out));
    QVERIFY(m_engine.CreateRectBox(With(box, [](auto& b) { b.dLaserWidth = 0; }), exact.pMain, exact.pAux, nullptr));
    const int panels = 6 - box.bNoTop - box.bNoBottom;
    QVERIFY(out.MainCount() == panels && int(out.pAux->GetCount()) == panels);
    const double d = box.dLaserWidth / 2.0, t = box.dThickness, grow = box.bInSize ? 2 * t : 0;
    for (int i = 0; i < panels; ++i) {
        QVERIFY(Simple(Contours(out.Main(i))));
        // The kerf moves every edge of a right-angled outline out by d.
        const double grown = Area(PathOf(exact.Main(i))) + PathOf(exact.Main(i)).length() * d + 4 * d * d;
        QVERIFY(std::abs(Area(PathOf(out.Main(i))) - grown) < 1e-6);
    }
    // Assembled, every point on the middle lines of the twelve edges' corner
    // prisms lies in exactly one panel. A face: the axis across its board,
    // where the board starts, and the axes of the panel's own x and y.
    const double size[3] = {box.dWidth + grow, box.dDepth + grow, box.dHeight + grow};
    struct Face { int across; double from; int u, v; };
    QVector<Face> faces{{1, 0, 0, 2}, {1, size[1] - t, 0, 2}, {0, 0, 1, 2}, {0, size[0] - t, 1, 2}};
    for (bool bottom : {false, true})
        if (!(bottom ? box.bNoBottom : box.bNoTop))
            faces.append({2, bottom ? size[2] - t : 0, 0, 1});
    auto owner = [&](const double p[3]) {
        int found = -1;
        for (int f = 0; f < faces.size(); ++f)
            if (const QPainterPath panel = PathOf(exact.Main(f)); p[faces[f].across] > faces[f].from
                && p[faces[f].across] < faces[f].from + t
                && panel.contains(panel.boundingRect().topLeft() + QPointF(p[faces[f].u], p[faces[f].v])))
                found = found < 0 ? f : 99;
        return found;
    };
    const double finger[3] = {box.dFluteOfWidth, box.dFluteOfHeight, box.dFluteOfDepth};
    for (int axis = 0; axis < 3; ++axis)
        for (int edge = 0; edge < 4; ++edge) {
            double p[3];
            const int b = (axis + 1) % 3, c = (axis + 2) % 3;
            p[b] = edge & 1 ? size[b] - t / 2 : t / 2;
            p[c] = edge & 2 ? size[c] - t / 2 : t / 2;
            int runs = 0, last = -2;
            for (int i = 0; i < 1009; ++i) { // no sample on a finger's end
                p[axis] = size[axis] * (i + 0.5) / 1009;
                const int who = owner(p);
                QVERIFY2(who >= 0 && who < 99, qPrintable(QStringLiteral("axis %1 at %2").arg(axis).arg(p[axis])));
                if (p[axis] > t && p[axis] < size[axis] - t && who != last)
                    ++runs, last = who;
            }
            // A joint has the odd count (from 3) of fingers nearest the groove asked, none too narrow.
            const double inner = size[axis] - 2 * t, least = CReferenceEngine::kMinFingerWidth;
            const auto miss = [&](int n) { return std::abs(inner / n - finger[axis]); };
            for (int n = 3; runs > 1 && inner / n >= least; n += 2)
                QVERIFY(runs % 2 && inner / runs >= least && miss(runs) <= miss(n));
        }
}

// A finger narrower than two kerfs would be burnt away: grooves asked finer
// make the box of grooves asked at that width.
void TestEngine::fingersNoNarrowerThanTwoKerfs()
{
    for (double kerf : {0.3, 0.6, 0.8}) {
        const double least = std::max(CReferenceEngine::kMinFingerWidth, 2 * kerf);
        Output fine, atLeast;
        for (const auto& asked : {std::pair(&fine, 0.75 * least), std::pair(&atLeast, least)})
            QVERIFY(m_engine.CreateRectBox(With(SRectBoxParam(), [&](auto& b) {
                b.dLaserWidth = kerf, b.dFluteOfWidth = b.dFluteOfHeight = b.dFluteOfDepth = asked.second;
            }), asked.first->pMain, asked.first->pAux, nullptr));
        for (int i = 0; i < 6; ++i)
            QVERIFY2(PathOf(fine.Main(i)) == PathOf(atLeast.Main(i)), qPrintable(QStringLiteral("kerf %1, panel %2").arg(kerf).arg(i)));
    }
}

void TestEngine::gearPairsTurn_data()
{
    QTest::addColumn<SGearBoxParam>("param");
    const int counts[][2] = {{8, 8}, {8, 9}, {8, 20}, {8, 60}, {12, 17}, {12, 1000}, {17, 1000}, {1000, 1000}};
    for (const auto& pair : counts)
        for (double m : {1.0, 50.0})
            if (m < 50 || pair[1] < 1000)
                QTest::addRow("%d/%d module %g", pair[0], pair[1], m)
                    << SGearBoxParam{{m, pair[0]}, {m, pair[1]}, m, 0.0};
}

void TestEngine::gearPairsTurn()
{
    QFETCH(SGearBoxParam, param);
    Output out;
    QVERIFY(m_engine.CreateGear(param, out.pMain) && Finite(out) && out.MainCount() == 4); // gears and bores
    const double m = param.dModulus;
    const int z1 = param.sGear1.nGCount, z2 = param.sGear2.nGCount, teeth[2] = {z1, z2};
    const double d = m * (z1 + z2) / 2, tip[2] = {m * (z1 + 3) / 2, m * (z2 + 3) / 2}; // tips grow by shifts under m/2
    const QPointF centres[2] = {QPointF(), QPointF(d, 0)}, pitchPoint(m * z1 / 2, 0);
    // Material can only overlap where both tip circles do, near the pitch point.
    const double x = (d * d + tip[0] * tip[0] - tip[1] * tip[1]) / (2 * d);
    const double lens = QLineF(pitchPoint, QPointF(x, std::sqrt(tip[0] * tip[0] - x * x))).length();
    QPainterPath near[2];
    double high[2] = {0, 0}, low[2] = {qInf(), qInf()};
    for (int g = 0; g < 2; ++g) {
        for (const QPointF& p : PathOf(out.Main(2 * g)).toFillPolygon()) {
            const double r = QLineF(centres[g], p).length();
            high[g] = std::max(high[g], r), low[g] = std::min(low[g], r);
        }
        const QRectF bore = PathOf(out.Main(2 * g + 1)).boundingRect();
        QVERIFY(QLineF(bore.center(), centres[g]).length() < 1e-9 * tip[g] && std::abs(bore.width() - m) < 0.02);
        // No point moves further than this while gear 1 turns by one pitch.
        const double reach = lens + tip[g] * 2 * M_PI / teeth[g] + m;
        QPainterPath window;
        window.addEllipse(pitchPoint, reach, reach);
        near[g] = PathOf(out.Main(2 * g)).intersected(window);
    }
    // Each tip clears the other gear's root by a quarter module; a ring of a module holds each bore.
    for (int g = 0; g < 2; ++g)
        QVERIFY(d - high[g] - low[1 - g] >= 0.25 * m - 0.01 && high[g] < tip[g] && low[g] - m / 2 >= m - 0.01);
    // Clipper's exact integer clipping, at 0.1 nm for module 1 (the overlap allowed is 1e-6 square modules).
    const double unit = 1e7 / m;
    const QList<QPolygonF> nearPolygons[2] = {near[0].toFillPolygons(), near[1].toFillPolygons()};
    const auto mapped = [unit](const QList<QPolygonF>& polygons, const QTransform& t) {
        ClipperLib::Paths paths;
        for (const QPolygonF& polygon : polygons) {
            paths.emplace_back();
            for (const QPointF& p : t.map(polygon))
                paths.back().emplace_back(qRound64(p.x() * unit), qRound64(p.y() * unit));
        }
        return paths;
    };
    const auto overlap = [&](double turn, double extra) {
        const QTransform two = QTransform().translate(d, 0).rotateRadians(-turn * z1 / z2 + extra).translate(-d, 0);
        ClipperLib::Clipper clipper;
        clipper.AddPaths(mapped(nearPolygons[0], QTransform().rotateRadians(turn)), ClipperLib::ptSubject, true);
        clipper.AddPaths(mapped(nearPolygons[1], two), ClipperLib::ptClip, true);
        ClipperLib::Paths both;
        clipper.Execute(ClipperLib::ctIntersection, both, ClipperLib::pftNonZero, ClipperLib::pftNonZero);
        return both;
    };
    const auto area = [unit](const ClipperLib::Paths& paths) {
        double sum = 0;
        for (const ClipperLib::Path& path : paths)
            sum += ClipperLib::Area(path);
        return std::abs(sum) / (unit * unit);
    };
    // Turned at the right ratio they never overlap. Turned a hair further
    // either way (beyond the chords' 0.01 mm on each gear), gear 2 bites at
    // once: no play anywhere, and on average as many bites as the contact
    // ratio, which large teeth show without the chords' blur.
    const double play = (0.025 + 0.001 * m) / (m * z2 / 2);
    double worst = 0, contacts[2] = {0, 0};
    constexpr int kSteps = 60;
    for (int step = 0; step < kSteps; ++step) {
        const double turn = 2 * M_PI / z1 * step / kSteps;
        worst = std::max(worst, area(overlap(turn, 0)));
        for (int side : {0, 1}) {
            int bites = 0;
            for (const ClipperLib::Path& bite : overlap(turn, side ? play : -play))
                bites += ClipperLib::Orientation(bite);
            QVERIFY2(bites >= 1, qPrintable(QStringLiteral("play at step %1").arg(step)));
            contacts[side] += bites / double(kSteps);
        }
    }
    QVERIFY2(worst <= 1e-6 * m * m, qPrintable(QStringLiteral("overlap %1 mm2").arg(worst)));
    QVERIFY2(m < 50 || std::min(contacts[0], contacts[1]) >= CReferenceEngine::kMinContactRatio,
             qPrintable(QStringLiteral("contact ratio %1 / %2").arg(contacts[0]).arg(contacts[1])));
}

void TestEngine::gearScalesWithItsModule_data()
{
    QTest::addColumn<int>("z1");
    QTest::addColumn<int>("z2");
    QTest::addColumn<double>("m");
    for (const auto& [z1, z2] : {std::pair(20, 30), std::pair(8, 9), std::pair(12, 60)})
        for (double m : {7.0, 0.5})
            QTest::addRow("%d/%d module %g", z1, z2, m) << z1 << z2 << m;
}

// Every length of a gear pair, the rack's roundings and the bores' rings
// included, is so many modules: module m is module 1 grown m times, to the
// chords' 0.01 mm on either.
void TestEngine::gearScalesWithItsModule()
{
    QFETCH(int, z1);
    QFETCH(int, z2);
    QFETCH(double, m);
    Output one, grown;
    QVERIFY(m_engine.CreateGear(SGearBoxParam{{1.0, z1}, {1.0, z2}, 1.0, 0.0}, one.pMain));
    QVERIFY(m_engine.CreateGear(SGearBoxParam{{m, z1}, {m, z2}, m, 0.0}, grown.pMain));
    QCOMPARE(grown.MainCount(), one.MainCount());
    for (int i = 0; i < one.MainCount(); ++i) {
        const QList<QPolygonF> to = PathOf(one.Main(i)).toSubpathPolygons(QTransform::fromScale(m, m));
        double farthest = 0;
        for (const QPolygonF& contour : Contours(grown.Main(i)))
            for (const QPointF& p : contour) {
                double nearest = qInf();
                for (const QPolygonF& c : to)
                    nearest = std::min(nearest, DistanceTo(p, c));
                farthest = std::max(farthest, nearest);
            }
        QVERIFY2(farthest < 0.011 * (m + 1), qPrintable(QStringLiteral("shape %1 strays %2 mm").arg(i).arg(farthest)));
    }
}

void TestEngine::hingeBridgesHold_data()
{
    QTest::addColumn<SFilletBoxParam>("box");
    const auto hinge = [](double xSpace, double ySpace, int yCount, double kerf) {
        SFilletBoxParam b;
        b.dWidth = 120, b.dDepth = 80, b.dHeight = 60, b.sCorner.dRadius = 20, b.dLaserWidth = kerf;
        return b.sCorner.dXSpace = xSpace, b.sCorner.dYSpace = ySpace, b.sCorner.nYCount = yCount, b;
    };
    QTest::newRow("defaults") << SFilletBoxParam();
    QTest::newRow("0.5 spacings, 0.6 kerf") << hinge(0.5, 0.5, 4, 0.6);
    QTest::newRow("spacing 0") << hinge(0, 0, 8, 0.3);
    QTest::newRow("preset 25~50") << hinge(0.8, 2.0, 1, 0.1);
    QTest::newRow("wide columns, no top, plain third side")
        << With(hinge(4.0, 5.0, 4, 0.8), [](auto& b) { b.bNoTop = b.bNoFlute3Edge = true; });
}

void TestEngine::hingeBridgesHold()
{
    QFETCH(SFilletBoxParam, box);
    Output out;
    QVERIFY(m_engine.CreateFilletBox(box, out.pMain, out.pAux) && Finite(out));
    const int covers = 2 - box.bNoTop - box.bNoBottom;
    QVERIFY(out.MainCount() == covers + 1 + 4 && out.pAux->GetCount() == 4);
    for (int zone = 0; zone < 4; ++zone) // the bend zones are marked, never cut
        QCOMPARE(out.pAux->GetShape(uint(zone))->GetLayer(), int(CShape::LayerEngrave));
    for (int i = 0; i <= covers; ++i)
        QVERIFY(Simple(Contours(out.Main(i))));
    // Any two cut lines keep the kerf plus the floor between them: no slit
    // comes nearer to the strip's outline or to another slit.
    const double least = CReferenceEngine::kMinHingeBridge + box.dLaserWidth - 1e-6;
    const QPainterPath strip = PathOf(out.Main(covers));
    for (int zone = 0; zone < 4; ++zone) {
        const QList<QPolygonF> slits = Contours(out.Main(covers + 1 + zone));
        double nearest = qInf(), columnStep = qInf();
        for (const QPolygonF& a : slits) {
            QPainterPath keepOut;
            keepOut.addRoundedRect(QRectF(a[0], a[1]).adjusted(-least, -least, least, least), least, least);
            QVERIFY(a.size() == 2 && a[0].x() == a[1].x() && strip.contains(keepOut));
            for (const QPolygonF& b : slits) {
                const double dx = std::abs(a[0].x() - b[0].x());
                const double dy = std::max({0.0, b[0].y() - a[1].y(), a[0].y() - b[1].y()});
                nearest = &a == &b ? nearest : std::min(nearest, std::hypot(dx, dy));
                columnStep = dx > 1e-9 ? std::min(columnStep, dx) : columnStep;
            }
        }
        // Every bend has a hinge; columns as far apart as asked, or as the report says,
        // and each column's bridges beside the next one's slits.
        QVERIFY(slits.size() >= 2 && nearest >= least);
        QMap<double, QList<double>> columns;
        for (const QPolygonF& a : slits)
            columns[a[0].x()] << a[0].y();
        for (auto it = columns.cbegin(); std::next(it) != columns.cend(); ++it)
            QVERIFY(it.value() != std::next(it).value());
        const QString step = QString::number(columnStep, 'f', 2).remove(QRegularExpression("\\.?0+$")) + " mm";
        QVERIFY(std::abs(columnStep - std::max(box.sCorner.dXSpace, least)) < 1e-5
                || m_engine.LastReport().sentence.contains(
                    QString("X spacing lowered from %1 mm to %2").arg(box.sCorner.dXSpace).arg(step)));
    }
}

void TestEngine::roundedBoxWraps_data()
{
    QTest::addColumn<SFilletBoxParam>("box");
    const auto box = [](double l, double w, double h, double r) {
        SFilletBoxParam b;
        b.dWidth = l, b.dDepth = w, b.dHeight = h, b.sCorner.dRadius = r, b.dLaserWidth = 0;
        return b;
    };
    QTest::newRow("defaults") << box(50, 50, 50, 12);
    QTest::newRow("long, wide corners") << box(120, 80, 60, 20);
    QTest::newRow("plain third side, no bottom") << With(box(100, 70, 40, 10), [](auto& b) { b.bNoFlute3Edge = b.bNoBottom = true; });
    QTest::newRow("inside measures, fine fingers")
        << With(box(90, 60, 50, 15), [](auto& b) { b.bInSize = true, b.dFluteOfWidth = 4, b.dFluteOfHeight = 6; });
    QTest::newRow("thick board, no bottom") << With(box(80, 80, 30, 26), [](auto& b) { b.dThickness = 6, b.bNoBottom = true; });
}

// Wrapped round its covers as the maker bends it, the strip's tabs fill the
// covers' slots and the covers' tabs its slots, its hinges lie on their arcs,
// and the covers fill the wall's inside.
void TestEngine::roundedBoxWraps()
{
    QFETCH(SFilletBoxParam, box);
    Output out;
    QVERIFY(m_engine.CreateFilletBox(box, out.pMain, out.pAux));
    const double t = box.dThickness, grow = box.bInSize ? 2 * t : 0, r = box.sCorner.dRadius;
    const double L = box.dWidth + grow, W = box.dDepth + grow, H = box.dHeight + grow, bend = M_PI_2 * (r - t / 2);
    const double sides[4] = {L - 2 * r, W - 2 * r, L - 2 * r, W - 2 * r}, P = 2 * (L + W - 4 * r) + 4 * bend;
    const int covers = 2 - box.bNoTop - box.bNoBottom;
    const QPainterPath strip = PathOf(out.Main(covers));
    QVERIFY(std::abs(strip.boundingRect().width() - P) < 1e-6 && std::abs(strip.boundingRect().height() - H) < 1e-6);
    // Round the mid-line from the start of the front side: the side (or the
    // arc after it, k + 4) at s, and where the wall at depth `in` from the
    // outside lies on a cover, in the cover's coordinates.
    const QPointF starts[4] = {{r, 0}, {L, r}, {L - r, W}, {0, W - r}}, ways[4] = {{1, 0}, {0, 1}, {-1, 0}, {0, -1}};
    const auto at = [&](double s, double in, int* pSide) {
        int k = 0;
        for (; s >= sides[k] + bend; ++k)
            s -= sides[k] + bend;
        const QPointF inward(-ways[k].y(), ways[k].x()), end = starts[k] + ways[k] * std::min(s, sides[k]);
        const double angle = M_PI_2 * (k - 1) + (s - sides[k]) / (r - t / 2);
        *pSide = s < sides[k] ? k : k + 4;
        return s < sides[k] ? end + inward * in : end + inward * r + QPointF(std::cos(angle), std::sin(angle)) * (r - in);
    };
    QVector<int> runs(8); // per side and arc: how often the top cover comes in or goes out within it
    bool last = false;
    int lastSide = -1;
    for (int i = 0; i < 4001; ++i) {
        const double s = P * (i + 0.37) / 4001; // never on a joint
        int side = 0;
        for (int level = 0; level < 3; ++level) {
            const double z = level == 0 ? t / 2 : level == 1 ? H / 2 : H - t / 2;
            const bool hasCover = level == 0 ? !box.bNoTop : level == 2 && !box.bNoBottom;
            const QPainterPath cover = hasCover ? PathOf(out.Main(level == 0 || box.bNoTop ? 0 : 1)) : QPainterPath();
            const QPointF corner = cover.boundingRect().topLeft();
            const bool inStrip = strip.contains(strip.boundingRect().topLeft() + QPointF(s, z));
            const bool inCover = hasCover && cover.contains(corner + at(s, t / 2, &side));
            QVERIFY2(inStrip != inCover, qPrintable(QStringLiteral("%1 mm round, %2 mm down").arg(s).arg(z)));
            QVERIFY(!hasCover || cover.contains(corner + at(s, t + 0.05, &side)));
            if (level == 0)
                runs[side] += side == lastSide && inCover != last, last = inCover, lastSide = side;
        }
    }
    // Tabs on the straight sides only, the odd count nearest the size asked
    // (the length sides' "dFluteOfHeight"); the third side, the back, plain when asked.
    for (int k = 0; k < 4 && !box.bNoTop; ++k) {
        const double finger = k % 2 ? box.dFluteOfWidth : box.dFluteOfHeight;
        const int fingers = runs[k] + 1, plain = k == 2 && box.bNoFlute3Edge;
        QVERIFY2(runs[k + 4] == 0 && (plain ? runs[k] == 0 : fingers % 2 == 1), qPrintable(QString::number(k)));
        for (int n = 3; !plain && sides[k] / n >= CReferenceEngine::kMinFingerWidth; n += 2)
            QVERIFY(std::abs(sides[k] / fingers - finger) <= std::abs(sides[k] / n - finger));
    }
    for (int zone = 0; zone < 4; ++zone) {
        const double arc = strip.boundingRect().left() + zone * bend
                           + std::accumulate(sides, sides + zone + 1, 0.0);
        for (const QPolygonF& slit : Contours(out.Main(covers + 1 + zone)))
            QVERIFY(slit.first().x() > arc && slit.first().x() < arc + bend);
    }
}

void TestEngine::sealLinesKeepToTheirRoom_data()
{
    QTest::addColumn<SSealBoxParam>("seal");
    const auto texts = [](const QStringList& lines, const char* family) {
        SSealBoxParam s;
        for (SSealTextParam* text : {&s.sText1, &s.sText2, &s.sText3})
            qstrcpy(text->Text, lines.value(int(text - &s.sText1)).toUtf8()), qstrcpy(text->Facename, family);
        return s;
    };
    const QString latin = QString("Regional Chess Championship, Spring Open 2024 ABCD").left(50);
    const QString chinese = QString("上海市第一中学国际象棋锦标赛一等奖").repeated(3).left(50);
    QTest::newRow("defaults") << texts({"COMPETITION", "First Prize", "Medal"}, "DejaVu Serif");
    QTest::newRow("chinese in a missing family, middle line lowered")
        << With(texts({"上海市第一中学", "一等奖", "奖"}, "宋体"), [](auto& s) { s.sText3.dOffset = 4; });
    QTest::newRow("50 latin characters") << texts({latin, latin, latin}, "DejaVu Sans");
    QTest::newRow("50 chinese characters") << texts({chinese, chinese, chinese}, "宋体");
    QTest::newRow("stamp, no star, no inner circle, descenders")
        << With(texts({"pygmy", "jolly", "Qg"}, ""), [](auto& s) { s.bTextReverse = true, s.bStar = false, s.D2 = 0; });
    QTest::newRow("single ring, tall letters") << With(texts({latin, chinese, "中文 Text"}, "DejaVu Sans"), [](auto& s) {
        s.D1 = s.D2 = 80, s.sText1.dHeight = s.sText2.dHeight = 12, s.sText1.dSpace = 30;
    });
    // Long lines of joined, right-to-left and tall letters, smallest and largest.
    const QString scripts[][2] = {{"latin", latin}, {"chinese", chinese}, {"arabic", "جامعة القاهرة للعلوم والتكنولوجيا"},
                                  {"hebrew", "אליפות השחמט האזורית, פרס ראשון"}, {"tall", "TTHHTTHHTTHHTTHHTTHH"}};
    for (const auto& [name, line] : scripts)
        for (double size : {4.0, 30.0})
            QTest::addRow("%s at %g mm", qPrintable(name), size) << With(texts({line, line, line}, ""), [&](auto& s) {
                s.D1 = size > 4 ? 200 : 60, s.D2 = s.D1 / 2;
                for (SSealTextParam* text : {&s.sText1, &s.sText2, &s.sText3})
                    text->dHeight = size, text->dSpace = 0;
            });
}

void TestEngine::sealLinesKeepToTheirRoom()
{
    QFETCH(SSealBoxParam, seal);
    const bool fills = QString::fromUtf8(seal.sText1.Text).size() < 20; // short lines fill their band
    Output out;
    QVERIFY(m_engine.CreateSeal(seal, out.pMain) && Finite(out));
    const bool star = seal.bStar && seal.dStarSize > 0;
    const int first = 1 + (seal.D2 > 0) + star;
    QCOMPARE(out.MainCount(), first + 3);
    for (int i = 0; i < out.MainCount(); ++i) // only the rim is cut
        QCOMPARE(out.Main(i)->GetLayer(), int(i == 0 ? CShape::LayerCut : CShape::LayerEngrave));
    for (int i = 0; i < first - star; ++i) { // the circles, on their radius to the chords' tolerance
        const QPolygonF circle = Contours(out.Main(i)).value(0);
        const double radius = (i ? seal.D2 : seal.D1) / 2;
        for (int k = 0; k + 1 < circle.size(); ++k)
            QVERIFY(std::abs(std::hypot(circle[k].x(), circle[k].y()) - radius) < 1e-9 * radius
                    && radius - QLineF(QPointF(), (circle[k] + circle[k + 1]) / 2).length() <= EngineOutline::kChordTolerance);
    }
    // The star as wide as asked where it has room; text 3 moved down by its offset.
    const QRectF starBox = star ? PathOf(out.Main(first - 1)).boundingRect() : QRectF();
    QVERIFY(!star || (starBox.width() <= seal.dStarSize + 1e-6 && (seal.dStarSize > seal.D2 / 4 || starBox.width() > 0.9 * seal.dStarSize)));
    Output unmoved;
    QVERIFY(m_engine.CreateSeal(With(seal, [](auto& s) { s.sText3.dOffset = 0; }), unmoved.pMain));
    const double moved = PathOf(out.Main(first + 2)).boundingRect().center().y() - PathOf(unmoved.Main(first + 2)).boundingRect().center().y();
    QVERIFY2(seal.sText3.dOffset <= 0 || moved > 0, qPrintable(QString::number(moved)));
    const double rim = seal.D1 / 2, inner = seal.D2 / 2, gap = CReferenceEngine::kTextClearance - 1e-6;
    const double middle = (inner > 0 && inner < rim ? inner : rim - seal.sText1.dOffset - seal.sText1.dHeight) - gap;
    const SSealTextParam* texts[] = {&seal.sText1, &seal.sText2, &seal.sText3};
    for (int line = 0; line < 3; ++line) {
        const SSealTextParam& t = *texts[line];
        const QPainterPath path = PathOf(out.Main(first + line));
        double low = qInf(), high = 0, left = 0, right = 0;
        for (const QPolygonF& contour : path.toSubpathPolygons())
            for (const QPointF& p : contour) {
                const double r = std::hypot(p.x(), p.y());
                low = std::min(low, line < 2 ? r : p.y()), high = std::max(high, line < 2 ? r : p.y());
                const double along = line < 2 ? (rim - t.dOffset) * std::atan2(p.x(), line ? p.y() : -p.y()) : p.x();
                left = std::min(left, along), right = std::max(right, along);
                QVERIFY(r < rim - gap && (inner <= 0 || std::abs(r - inner) > gap));
                // Each arc line keeps to its half; the middle line to the middle, under the star.
                QVERIFY(line == 0 ? p.y() < 0 : line == 1 ? p.y() > 0 : r < middle);
                QVERIFY(line < 2 || !star || p.y() > seal.dStarSize / 2);
            }
        // Inside its band, and as tall as asked when short.
        QVERIFY(line == 2 || (low >= rim - t.dOffset - t.dHeight - 1e-6 && high <= rim - t.dOffset + 1e-6));
        QVERIFY(!fills || high - low >= 0.9 * t.dHeight);
        // Centred: only the end letters' side bearings may tip it.
        QVERIFY2(std::abs(left + right) / 2 < 0.1 * (high - low), qPrintable(QStringLiteral("line %1 off by %2 of %3").arg(line).arg((left + right) / 2).arg(high - low)));
        QVERIFY(FillsAlike(path));
        // Letters apart when set straight stay apart on the arcs.
        const int straight = PathOf(out.Main(first + 2)).toSubpathPolygons().size();
        QVERIFY(qstrcmp(t.Text, seal.sText3.Text) || path.toSubpathPolygons().size() >= straight);
        for (int other = first - star; other < first + line; ++other) // no line touches another or the star
            QVERIFY(!path.intersects(PathOf(out.Main(other))));
    }
}

void TestEngine::sealTextReadsAsWritten_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("family");
    QTest::addColumn<QString>("printed"); // the line as it must print, set left to right
    QTest::addColumn<QString>("printedFamily");
    const QString ltr = QStringLiteral("\u202D"); // left-to-right override: set as written
    QTest::newRow("hebrew reads right to left") << "שלום עולם" << "DejaVu Sans" << ltr + "םלוע םולש" << "DejaVu Sans";
    QTest::newRow("arabic joins, right to left") << "سلام" << "DejaVu Sans" << ltr + "\uFEE1\uFEFC\uFEB3" << "";
    // fonts-lyx (scripts/test.sh adds it): faces that map symbols onto Latin codes.
    for (const char* symbols : {"esint10", "cmsy10", "msbm10", "wasy10"})
        QTest::addRow("%s as no font", symbols) << "Medal & 1st" << symbols << "Medal & 1st" << "";
}

void TestEngine::sealTextReadsAsWritten()
{
    QFETCH(QString, text);
    QFETCH(QString, family);
    QFETCH(QString, printed);
    QFETCH(QString, printedFamily);
    const auto middleLine = [this](const QString& line, const QString& face) {
        SSealBoxParam seal;
        qstrcpy(seal.sText3.Text, line.toUtf8()), qstrcpy(seal.sText3.Facename, face.toUtf8());
        Output out;
        return m_engine.CreateSeal(seal, out.pMain) ? PathOf(out.Main(out.MainCount() - 1)) : QPainterPath();
    };
    const QPainterPath drawn = middleLine(text, family);
    QVERIFY(QFontDatabase::hasFamily(family) && !drawn.isEmpty());
    QCOMPARE(drawn, middleLine(printed, printedFamily));
}

// With Debian's fonts-lyx installed (scripts/test.sh adds it), a font that
// is not named is a TeX symbol face.
void TestEngine::faceLabelsComeFromATextFace()
{
    // The points from where the outline starts, at its scale: letters as wide and as far apart.
    const auto shapes = [](const QPainterPath& p) {
        QVector<QPointF> points;
        for (int i = 0; i < p.elementCount(); ++i)
            points << (QPointF(p.elementAt(i)) - QPointF(p.elementAt(0))) / p.boundingRect().height();
        return points;
    };
    QFont general = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    general.setPixelSize(100);
    // Each face's own name on its panel, engraved, in the general face; Chinese from a face that has it.
    const char* const names[] = {"Front", "Back", "Left", "Right", "Top", "Bottom"};
    SFaceLabels labels;
    char* const fields[] = {labels.szFront, labels.szBehind, labels.szLeft, labels.szRight, labels.szTop, labels.szBottom};
    for (int i = 0; i < 6; ++i)
        qstrcpy(fields[i], names[i]);
    Output out, chinese;
    QVERIFY(m_engine.CreateRectBox(SRectBoxParam(), out.pMain, out.pAux, &labels));
    for (int face = 0; face < 6; ++face) {
        QPainterPath written;
        written.addText(0, 0, general, QLatin1String(names[face]));
        const QVector<QPointF> drawn = shapes(PathOf(out.pAux->GetShape(face))), expected = shapes(written);
        QVERIFY2(!drawn.isEmpty() && drawn.size() == expected.size(), names[face]);
        for (int i = 0; i < drawn.size(); ++i)
            QVERIFY(QLineF(drawn[i], expected[i]).length() < 1e-3);
        QCOMPARE(out.pAux->GetShape(face)->GetLayer(), int(CShape::LayerEngrave));
    }
    qstrcpy(labels.szLeft, "左");
    QVERIFY(m_engine.CreateRectBox(SRectBoxParam(), chinese.pMain, chinese.pAux, &labels));
    QVERIFY(!PathOf(chinese.pAux->GetShape(2)).isEmpty());
}

namespace {
using Build = std::function<bool(CReferenceEngine&, Output&)>;
bool Create(CReferenceEngine& e, const SRectBoxParam& b, Output& o) { return e.CreateRectBox(b, o.pMain, o.pAux, 0); }
bool Create(CReferenceEngine& e, const SFilletBoxParam& b, Output& o) { return e.CreateFilletBox(b, o.pMain, o.pAux); }
bool Create(CReferenceEngine& e, const SGearBoxParam& g, Output& o) { return e.CreateGear(g, o.pMain); }
bool Create(CReferenceEngine& e, const SSealBoxParam& s, Output& o) { return e.CreateSeal(s, o.pMain); }
// A build of the default record with one change.
template <typename T, typename F>
Build Changed(F f) { return [f](CReferenceEngine& e, Output& o) { return Create(e, With(T(), f), o); }; }
template <typename F> Build Rect(F change) { return Changed<SRectBoxParam>(change); }
template <typename F> Build Fillet(F change) { return Changed<SFilletBoxParam>(change); }
template <typename F> Build Gear(F change) { return Changed<SGearBoxParam>(change); }
template <typename F> Build Seal(F change) { return Changed<SSealBoxParam>(change); }
} // namespace

Q_DECLARE_METATYPE(Build)

void TestEngine::badRecords_data()
{
    QTest::addColumn<Build>("build");
    QTest::addColumn<QString>("said"); // how the log's line starts; empty: built as asked

    QTest::newRow("rect zero board") << Rect([](auto& b) { b.dThickness = 0; })
                                     << "CreateRectBox refused: dThickness 0 is outside 0 to 50 (0 excluded)";
    QTest::newRow("rect height groove alone -1") << Rect([](auto& b) { b.dFluteOfDepth = -1; })
                                                 << "CreateRectBox refused: dFluteOfDepth -1";
    QTest::newRow("10 mm box in 10 mm board") << Rect([](auto& b) { b.dWidth = 10, b.dThickness = 10; })
        << "CreateRectBox refused: Length 10 mm leaves no room for a finger between two 10 mm boards: it needs at "
           "least 21 mm, or a board of at most 4.5 mm";
    QTest::newRow("fillet y spacing -1") << Fillet([](auto& b) { b.sCorner.dYSpace = -1; })
                                         << "CreateFilletBox refused: sCorner.dYSpace -1 is outside 0 to 5000";
    QTest::newRow("fillet height 5") << Fillet([](auto& b) { b.dHeight = 5; }) << "CreateFilletBox refused: Height 5 mm";
    QTest::newRow("radius of the board") << Fillet([](auto& b) { b.sCorner.dRadius = 3; })
        << "CreateFilletBox refused: Radius 3 mm is too tight for a hinge in 3 mm board with a 0.3 mm kerf: it needs "
           "at least 6.41 mm";
    QTest::newRow("board 1, kerf 0.8, radius 1.5")
        << Fillet([](auto& b) { b.dThickness = 1, b.dLaserWidth = 0.8, b.sCorner.dRadius = 1.5; })
        << "CreateFilletBox refused: Radius 1.5 mm is too tight";
    QTest::newRow("x spacing 9") << Fillet([](auto& b) { b.sCorner.dXSpace = 9; })
        << "CreateFilletBox adjusted: X spacing lowered from 9 mm to 1.49 mm so that each bend has the 11 slit columns";
    QTest::newRow("y spacing 25") << Fillet([](auto& b) { b.sCorner.dYSpace = 25; })
        << "CreateFilletBox adjusted: Y count lowered from 2 to 1 and Y spacing lowered from 25 mm to 10 mm so that "
           "every slit is at least 3 times as long as its bridge";
    QTest::newRow("y count 14") << Fillet([](auto& b) { b.sCorner.nYCount = 14; })
                                << "CreateFilletBox adjusted: Y count lowered from 14 to 5";
    QTest::newRow("gear 3 teeth") << Gear([](auto& g) { g.sGear1.nGCount = 3; })
                                  << "CreateGear refused: sGear1.nGCount 3 is outside 4 to 1000";
    QTest::newRow("gear module 1e-305") << Gear([](auto& g) { g.dModulus = 1e-305; }) << "CreateGear refused: dModulus";
    QTest::newRow("gears 4/4") << Gear([](auto& g) { g.sGear1.nGCount = g.sGear2.nGCount = 4; })
        << "CreateGear refused: Gears of 4 and 4 teeth cannot turn smoothly (contact ratio 1.1) with any profile shift "
           "or pressure angle up to 30°: give both gears at least 8 teeth";
    QTest::newRow("gears 8/8") << Gear([](auto& g) { g.sGear1.nGCount = g.sGear2.nGCount = 8; })
                               << "CreateGear adjusted: Pressure angle raised from 20° to 27.5°";
    QTest::newRow("bore leaving no ring")
        << Gear([](auto& g) { g.dModulus = 6, g.sGear1.nGCount = 13, g.sGear1.dCDiameter = 62.99; })
        << "CreateGear refused: Gear 1's diameter 62.99 mm leaves less than 6 mm of ring between the bore and the "
           "tooth roots: make it at most 53.87 mm";
    // Each rule at its exact limit, and one step past it.
    const auto edge = [](const char* tag, const Build& at, const Build& past, const char* said) {
        QTest::newRow(qPrintable(QStringLiteral("%1 at its limit").arg(tag))) << at << "";
        QTest::newRow(qPrintable(QStringLiteral("%1 past it").arg(tag))) << past << said;
    };
    edge("box side", Rect([](auto& b) { b.dWidth = 5000; }), Rect([](auto& b) { b.dWidth = 5000.01; }),
         "CreateRectBox refused: dWidth 5000.01 is outside");
    edge("board", Rect([](auto& b) { b.dThickness = 50, b.dWidth = b.dDepth = b.dHeight = 300; }),
         Rect([](auto& b) { b.dThickness = 50.01, b.dWidth = b.dDepth = b.dHeight = 300; }),
         "CreateRectBox refused: dThickness 50.01 is outside 0 to 50");
    edge("kerf", Rect([](auto& b) { b.dThickness = 10, b.dLaserWidth = 5, b.dWidth = b.dDepth = b.dHeight = 300; }),
         Rect([](auto& b) { b.dThickness = 10, b.dLaserWidth = 5.01, b.dWidth = b.dDepth = b.dHeight = 300; }),
         "CreateRectBox refused: dLaserWidth 5.01 is outside");
    edge("hinge columns", Fillet([](auto& b) { b.sCorner.dXSpace = 1.49; }), Fillet([](auto& b) { b.sCorner.dXSpace = 1.5; }),
         "CreateFilletBox adjusted: X spacing lowered from 1.5 mm to 1.49 mm so that each bend has the 11 slit columns");
    edge("teeth", Gear([](auto& g) { g.dModulus = 0.1, g.sGear1.nGCount = 1000, g.sGear1.dCDiameter = g.sGear2.dCDiameter = 1; }),
         Gear([](auto& g) { g.dModulus = 0.1, g.sGear1.nGCount = 1001; }), "CreateGear refused: sGear1.nGCount 1001 is outside 4 to 1000");
    edge("module", Gear([](auto& g) { g.dModulus = 100; }), Gear([](auto& g) { g.dModulus = 100.01; }),
         "CreateGear refused: dModulus 100.01 is outside");
    edge("bore", Gear([](auto& g) { g.dModulus = 6, g.sGear1.nGCount = 13, g.sGear1.dCDiameter = 53.87; }),
         Gear([](auto& g) { g.dModulus = 6, g.sGear1.nGCount = 13, g.sGear1.dCDiameter = 53.88; }),
         "CreateGear refused: Gear 1's diameter 53.88 mm leaves less than 6 mm of ring between the bore and the tooth "
         "roots: make it at most 53.87 mm");
    edge("badge", Seal([](auto& s) { s.D1 = 2000, s.D2 = 1500; }), Seal([](auto& s) { s.D1 = 2000.01, s.D2 = 1500; }),
         "CreateSeal refused: D1 2000.01 is outside");
    QTest::newRow("seal NaN rim") << Seal([](auto& s) { s.D1 = qQNaN(); }) << "CreateSeal refused: D1 nan is outside";
    QTest::newRow("inner circle beyond the rim") << Seal([](auto& s) { s.D2 = 70; }) << "CreateSeal refused: D2 70";
    QTest::newRow("spacing inf") << Seal([](auto& s) { s.sText2.dSpace = qInf(); }) << "CreateSeal refused: sText2";
    QTest::newRow("a character no font draws") << Seal([](auto& s) { qstrcpy(s.sText2.Text, "Launch 🚀 day"); })
                                               << "CreateSeal refused: sText2 has \"🚀\" (U+1F680), which no installed font";
    QTest::newRow("seal text 1e-305 mm") << Seal([](auto& s) { s.sText1.dHeight = 1e-305; }) << "";
    QTest::newRow("seal text DBL_MIN mm") << Seal([](auto& s) { s.sText2.dHeight = DBL_MIN; }) << "";
    QTest::newRow("default badge, a few hundredths smaller") << Seal([](auto&) {}) << "";
    QTest::newRow("text 1 too long for its half") << Seal([](auto& s) { qstrcpy(s.sText1.Text, "KERFMATE LASER WORKS ASSOCIATION"); })
        << "CreateSeal adjusted: Text 1 set 2.93 mm tall instead of 4 mm so that it fits its half of the ring";
    QTest::newRow("text 3 too wide for the middle") << Seal([](auto& s) { qstrcpy(s.sText3.Text, "ABCDEFGHIJKLMNOP"); })
        << "CreateSeal adjusted: Text 3 set 3.62 mm tall instead of 7 mm so that it fits inside the inner circle";
    QTest::newRow("offsets 30 on 60 mm") << Seal([](auto& s) { s.sText1.dOffset = s.sText2.dOffset = 30; })
        << "CreateSeal adjusted: Text 1 offset lowered from 30 mm to 22 mm so that its letters fit; Text 1 set 1.81 mm "
           "tall instead of 4 mm so that it fits its half of the ring; Text 2 offset";
}

void TestEngine::badRecords()
{
    QFETCH(Build, build);
    QFETCH(QString, said);
    m_config.clearLog();
    Output out;
    const bool refused = said.contains(" refused: ");
    QCOMPARE(build(m_engine, out), !refused);
    QVERIFY(Finite(out) && (out.MainCount() > 0) == !refused && (!refused || !out.pAux->GetCount()));
    // One line in the log, and the same sentence in the engine's report.
    const QStringList lines = m_config.log(2);
    const EngineReport& report = m_engine.LastReport();
    QCOMPARE(lines.size(), said.isEmpty() ? 0 : 1);
    QCOMPARE(report.status,
             said.isEmpty() ? EngineReport::Built : refused ? EngineReport::Refused : EngineReport::Adjusted);
    QVERIFY2(said.isEmpty() || (lines[0].startsWith(said) && lines[0].endsWith(": " + report.sentence)),
             qPrintable(lines.value(0)));
}

void TestEngine::deliveryChecksEveryOutline_data()
{
    QTest::addColumn<QPolygonF>("outline"); // in a 10 mm square part
    QTest::addColumn<bool>("closed");       // must be
    QTest::addColumn<bool>("delivered");
    const QPolygonF square(QRectF(0, 0, 10, 10)), open = square.mid(0, 4);
    QTest::newRow("a square") << square << true << true;
    QTest::newRow("left open where it must close") << open << true << false;
    QTest::newRow("an open engraving") << open << false << true;
    QTest::newRow("crossing itself") << QPolygonF({{0, 0}, {10, 10}, {10, 0}, {0, 10}, {0, 0}}) << true << false;
    QTest::newRow("turning back along an edge") << QPolygonF({{0, 0}, {10, 0}, {5, 0}, {5, 5}, {0, 0}}) << true << false;
    QTest::newRow("outside its part") << square.translated(0.5, 0) << true << false;
    QTest::newRow("not finite") << QPolygonF({{0, 0}, {qQNaN(), 0}, {0, 5}, {0, 0}}) << false << false;
}

void TestEngine::deliveryChecksEveryOutline()
{
    QFETCH(QPolygonF, outline);
    QFETCH(bool, closed);
    QFETCH(bool, delivered);
    EngineBuild::Part part;
    part.bounds = QRectF(0, 0, 10, 10);
    QPainterPath path;
    path.addPolygon(outline);
    part.AddMain(new CShapeVector(path), closed);
    Output out;
    EngineReport report;
    QCOMPARE(EngineBuild::Deliver("CreateTest", part, out.pMain, nullptr, &report), delivered);
    QCOMPARE(out.MainCount(), int(delivered));
    QCOMPARE(report.status, delivered ? EngineReport::Built : EngineReport::Refused);
}

QTEST_MAIN(TestEngine)
#include "tst_engine.moc"
