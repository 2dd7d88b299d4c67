// The reference engine as a whole: records no dialog would send, and every
// outline it delivers checked.
#include "EngineChecks.h"

class TestEngine : public QObject
{
    Q_OBJECT

private slots:
    void badRecords_data();
    void badRecords();
    void deliveryChecksEveryOutline_data();
    void deliveryChecksEveryOutline();

private:
    TempConfig m_config;
    CReferenceEngine m_engine;
};

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
    // Below three fingers a side is cut butt to butt and said; below one it is refused.
    edge("fingers", Rect([](auto& b) { b.dWidth = 23, b.dThickness = 10; }), Rect([](auto& b) { b.dWidth = 22.99, b.dThickness = 10; }),
         "CreateRectBox adjusted: Length 22.99 mm is too short for fingers between two 10 mm boards, so its joints are cut butt to butt, to be glued: fingers need at least 23 mm");
    edge("coverless fingers", Rect([](auto& b) { b.dDepth = 21, b.dThickness = 10, b.bNoTop = b.bNoBottom = true; }),
         Rect([](auto& b) { b.dHeight = 4.79, b.dThickness = 4.2, b.dLaserWidth = 0.8, b.bInSize = true; }), "CreateRectBox adjusted: Height 4.79 mm is too short for fingers between two 4.2 mm boards, so its joints are cut butt to butt, to be glued: fingers need at least 4.8 mm");
    QTest::newRow("box side's least, open top") << Rect([](auto& b) { b.dWidth = 21, b.dThickness = 10, b.bNoTop = true; }) << "CreateRectBox adjusted: Length 21 mm";
    QTest::newRow("box side's least past it") << Rect([](auto& b) { b.dWidth = 20.99, b.dThickness = 10; })
        << "CreateRectBox refused: Length 20.99 mm leaves no room for a finger between two 10 mm boards: it needs at least 21 mm";
    edge("board", Rect([](auto& b) { b.dThickness = 50, b.dWidth = b.dDepth = b.dHeight = 300; }),
         Rect([](auto& b) { b.dThickness = 50.01, b.dWidth = b.dDepth = b.dHeight = 300; }),
         "CreateRectBox refused: dThickness 50.01 is outside 0 to 50");
    QTest::newRow("kerf as thick as the board") << Rect([](auto& b) { b.dThickness = b.dLaserWidth = 1; }) << "CreateRectBox refused: dLaserWidth 1 is outside 0 to 1 (1 excluded)";
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
