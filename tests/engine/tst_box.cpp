// The right-angle box: its panels assemble, its fingers keep to the kerf.
#include "EngineChecks.h"

class TestBox : public QObject
{
    Q_OBJECT

private slots:
    void rectBoxAssembles_data();
    void rectBoxAssembles();
    void fingersNoNarrowerThanTwoKerfs();
    void faceLabelsComeFromATextFace();

private:
    TempConfig m_config;
    CReferenceEngine m_engine;
};

void TestBox::rectBoxAssembles_data()
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

void TestBox::rectBoxAssembles()
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
void TestBox::fingersNoNarrowerThanTwoKerfs()
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

// With Debian's fonts-lyx installed (scripts/test.sh adds it), a font that
// is not named is a TeX symbol face.
void TestBox::faceLabelsComeFromATextFace()
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

QTEST_MAIN(TestBox)
#include "tst_box.moc"
