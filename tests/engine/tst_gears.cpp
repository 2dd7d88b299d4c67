// Gear pairs turned through a pitch, and scaled with their module.
#include "EngineChecks.h"

class TestGears : public QObject
{
    Q_OBJECT

private slots:
    void gearPairsTurn_data();
    void gearPairsTurn();
    void gearScalesWithItsModule_data();
    void gearScalesWithItsModule();

private:
    TempConfig m_config;
    CReferenceEngine m_engine;
};

void TestGears::gearPairsTurn_data()
{
    QTest::addColumn<SGearBoxParam>("param");
    const int counts[][2] = {{8, 8}, {8, 9}, {8, 20}, {8, 60}, {12, 17}, {12, 1000}, {17, 1000}, {1000, 1000}};
    for (const auto& pair : counts)
        for (double m : {1.0, 50.0})
            if (m < 50 || pair[1] < 1000)
                QTest::addRow("%d/%d module %g", pair[0], pair[1], m)
                    << SGearBoxParam{{m, pair[0]}, {m, pair[1]}, m, 0.0};
}

void TestGears::gearPairsTurn()
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

void TestGears::gearScalesWithItsModule_data()
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
void TestGears::gearScalesWithItsModule()
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

QTEST_MAIN(TestGears)
#include "tst_gears.moc"
