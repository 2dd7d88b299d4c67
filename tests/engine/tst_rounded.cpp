// The rounded box: its hinge bridges hold and its wall wraps the base.
#include "EngineChecks.h"

class TestRounded : public QObject
{
    Q_OBJECT

private slots:
    void hingeBridgesHold_data();
    void hingeBridgesHold();
    void roundedBoxWraps_data();
    void roundedBoxWraps();

private:
    TempConfig m_config;
    CReferenceEngine m_engine;
};

void TestRounded::hingeBridgesHold_data()
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

void TestRounded::hingeBridgesHold()
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

void TestRounded::roundedBoxWraps_data()
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
void TestRounded::roundedBoxWraps()
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

QTEST_MAIN(TestRounded)
#include "tst_rounded.moc"
