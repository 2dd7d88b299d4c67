// kerfmate-host run as a script runs it: options, --set through the dialog,
// exit codes, and its files read back by readers the project did not write.
#include "CShape.h"
#include "CShapeList.h"
#include "Outline.h"
#include "PathData.h"
#include "Readers.h"
#include "ReferenceEngine.h"
#include "SheetDocument.h"
#include "NestJudge.h"
#include "TestSupport.h"

#include <QSvgRenderer>
#include <QtTest>
#include <QtWidgets>

namespace {
struct Run { int exitCode = -1; QString out; }; // out: standard output and error

QStringList Sets(const QStringList& pairs)
{
    QStringList args;
    for (const QString& pair : pairs)
        args << QStringLiteral("--set") << pair;
    return args;
}

const QStringList kBox = QStringList({"--generator", "0"})
    + Sets({"length=100", "width=80", "height=60", "length-groove=25", "width-groove=20", "height-groove=15",
            "thickness=3", "kerf=0.1"});

// The same box straight from the engine, where a new sheet puts it (5 mm
// in from its corner): what every file must show, and its page (the
// outlines' bounds and a 2 mm margin).
QList<QPolygonF> EngineBox(QRectF* pPage)
{
    SRectBoxParam box;
    box.dWidth = 100, box.dDepth = 80, box.dHeight = 60, box.dThickness = 3, box.dLaserWidth = 0.1;
    box.dFluteOfWidth = 25, box.dFluteOfHeight = 20, box.dFluteOfDepth = 15;
    CShapeList* main = CShapeList::New();
    CShapeList* aux = CShapeList::New();
    CReferenceEngine().CreateRectBox(box, main, aux, nullptr);
    QList<QPolygonF> polygons;
    QRectF bounds;
    for (unsigned int i = 0; i < main->GetCount(); ++i) {
        polygons += main->GetShape(i)->GetPath(false)->toSubpathPolygons();
        bounds = bounds.united(polygons.last().boundingRect());
    }
    for (QPolygonF& polygon : polygons)
        polygon.translate(QPointF(5, 5) - bounds.topLeft());
    *pPage = bounds.translated(QPointF(5, 5) - bounds.topLeft()).adjusted(-2, -2, 2, 2);
    for (CShapeList* list : {main, aux})
        list->DeleteAll(), CShapeList::Release(list);
    return polygons;
}

// The engine's parts as a sheet holds them, one below the other: two boxes,
// a rounded box, gears (the large one's bore holds small pieces) and badges.
QVector<Part> EngineParts()
{
    CReferenceEngine engine;
    QVector<Part> parts;
    const auto add = [&parts](const std::function<void(CShapeList*, CShapeList*)>& build) {
        CShapeList *main = CShapeList::New(), *aux = CShapeList::New();
        build(main, aux);
        parts << MakePart(OutlinesOf(*main), 5);
        parts.last().nId = int(parts.size());
        parts.last().position = QPointF(0, 150.0 * parts.size());
        for (CShapeList* list : {main, aux})
            list->DeleteAll(), CShapeList::Release(list);
    };
    SRectBoxParam box;
    box.dWidth = 100, box.dDepth = 80, box.dHeight = 60;
    for (int i = 0; i < 2; ++i)
        add([&](CShapeList* m, CShapeList* a) { engine.CreateRectBox(box, m, a, nullptr); });
    add([&](CShapeList* m, CShapeList* a) { engine.CreateFilletBox(SFilletBoxParam(), m, a); });
    SGearBoxParam gears;
    gears.dModulus = 2, gears.sGear1 = SGearParam(3, 12), gears.sGear2 = SGearParam(60, 45);
    add([&](CShapeList* m, CShapeList*) { engine.CreateGear(gears, m); });
    add([&](CShapeList* m, CShapeList*) { engine.CreateGear(SGearBoxParam(), m); });
    for (double diameter : {50.0, 30.0}) {
        SSealBoxParam seal;
        seal.D1 = diameter, seal.D2 = diameter * 0.7;
        add([&](CShapeList* m, CShapeList*) { engine.CreateSeal(seal, m); });
    }
    return parts;
}

// An SVG's outlines, each layer (sheet) apart, and whether each is a cut.
QList<QList<QPainterPath>> SvgLayers(const QString& file, QList<QList<bool>>* pCuts)
{
    QFile svg(file);
    const QString text = svg.open(QIODevice::ReadOnly) ? QString::fromUtf8(svg.readAll()) : QString();
    QList<QList<QPainterPath>> layers;
    for (const QString& layer : text.split(QStringLiteral("<g id=\"sheet-")).mid(text.contains("<g id=") ? 1 : 0)) {
        layers << QList<QPainterPath>(), *pCuts << QList<bool>();
        static const QRegularExpression element(QStringLiteral("stroke=\"(#[0-9a-f]+)\"[^>]* d=\"([^\"]*)\""));
        for (const QRegularExpressionMatch& m : element.globalMatch(layer)) {
            QPainterPath path;
            FromPathData(m.captured(2), &path, 1e9);
            layers.last() << path, pCuts->last() << (m.captured(1) == QLatin1String("#ff0000"));
        }
    }
    return layers;
}

// The largest residual of the best turn and shift (never a mirror) from a's points onto b's.
double RigidResidual(const QPolygonF& a, const QPolygonF& b)
{
    if (a.size() != b.size() || a.isEmpty())
        return qInf();
    QPointF ca, cb;
    for (int i = 0; i < a.size(); ++i)
        ca += a[i] / a.size(), cb += b[i] / b.size();
    double dot = 0, cross = 0;
    for (int i = 0; i < a.size(); ++i) {
        const QPointF p = a[i] - ca, q = b[i] - cb;
        dot += p.x() * q.x() + p.y() * q.y(), cross += p.x() * q.y() - p.y() * q.x();
    }
    const QTransform turn = QTransform().rotateRadians(std::atan2(cross, dot));
    double worst = 0;
    for (int i = 0; i < a.size(); ++i)
        worst = std::max(worst, QLineF(turn.map(a[i] - ca), b[i] - cb).length());
    return worst;
}

} // namespace

class TestHost : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        qputenv("XDG_CONFIG_HOME", m_dir->path().toUtf8()); // the host inherits it
    }
    void runs_data();
    void runs();
    void everySetNameReachesItsField_data();
    void everySetNameReachesItsField();
    void sweepSliceHolds_data();
    void sweepSliceHolds();
    void readersSeeTheEngineOutlines();
    void piecesHoldWhatLiesOnThem_data();
    void piecesHoldWhatLiesOnThem();
    void nestedSheetsKeepEveryPieceWhole_data();
    void nestedSheetsKeepEveryPieceWhole();

private:
    Run Host(const QStringList& args);
    QString Path(const QString& name) const { return m_dir->filePath(name); }
    QString Data() const { return Path("Kerfmate/Gleamworks/Resources/Data"); }
    std::unique_ptr<QTemporaryDir> m_dir;
};

Run TestHost::Host(const QStringList& args)
{
    QProcess process;
    process.setWorkingDirectory(m_dir->path());
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(qEnvironmentVariable("KERFMATE_HOST"), args);
    // Far below the old 30 s give-up: no run may wait for what never comes.
    if (!process.waitForFinished(20000) || process.exitStatus() != QProcess::NormalExit)
        return Run();
    return {process.exitCode(), QString::fromUtf8(process.readAll())};
}

// Every way a run ends: the exit code, the line that says why, the one file
// it leaves (none: no part file at all).
void TestHost::runs_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("stored"); // "file key value" in the settings before the run
    auto row = [](const char* tag, const QStringList& args, int code, const char* message, const QString& file = "",
                  const QString& stored = "") {
        QTest::newRow(tag) << args << code << QString(message) << file << stored;
    };
    // A value the dialog refuses fails the run, naming the field's range.
    auto set = [](int generator, const QStringList& pairs) {
        return QStringList({"--accept", "--out", "part.svg", "--generator", QString::number(generator)}) + Sets(pairs);
    };
    row("set box, thick", set(0, {"length=100", "thickness=12"}), 2,
        "thickness=12 was refused by the dialog (thickness: range 1.00 to 10.00 mm");
    row("set box, short: the box holds its least", set(0, {"length=5"}), 2, "length: range 10.00 to 850.00 mm");
    row("set box, short, ruler in inches", set(0, {"length=0.2"}), 2, "length: range 0.40 to 33.46 in", "",
        "cfg.ini APP_CFG/KEY_RULER_UNIT 2");
    row("set rounded, preset", set(1, {"preset=30"}), 2, "preset: 25 or 50 or 100");
    row("a refused value: no picture", {"--screenshot", "dialog.png", "--set", "thickness=12"}, 2, "thickness");
    row("set gear, teeth", set(2, {"teeth1=61"}), 2, "teeth1: the dialog's tip: Enter a value from 8 to 60; after \"6\" it held back \"1\")");
    row("set gear, teeth typed whole but too few", set(2, {"teeth1=7"}), 2, "teeth1: the dialog's tip: Enter a value from 8 to 60");
    row("set badge, inner", set(3, {"diameter=60", "inner=90"}), 2, "inner: range 30.00 to 60.00 mm");
    row("set gear, a box's name", set(2, {"length=5"}), 2, "the Modular gear has no parameter length (it has: module");
    const QStringList part = {"--accept", "--out", "part.svg", "--dxf", "part.dxf"};
    const QString data = QStringLiteral("Kerfmate/%1/Resources/Data/Kerfmate.ini");
    row("defaults", part, 0, "written to part.dxf", "part.svg");
    row("open and nest, nothing named", {"--open", QFINDTESTDATA("data/sheet/every-key.kerfmate"), "--nest", "--nest-time", "0"}, 0,
        "written to kerfmate.svg", "kerfmate.svg");
    row("rounded box, the last --generator", part + QStringList({"--generator", "2", "--generator", "1"}), 0,
        "7 shapes written", "part.svg");
    row("gear", part + QStringList({"--generator", "2"}), 0, "", "part.svg");
    row("badge, German", part + QStringList({"--generator", "3", "--lang", "de"}), 0, "", "part.svg");
    row("badge, Chinese", part + QStringList({"--generator", "3", "--lang", "zh"}), 0, "", "part.svg");
    row("theme Lumenforge", {"--accept", "--out", "t.svg", "--theme", "Lumenforge"}, 0, "", data.arg("Lumenforge"));
    row("unknown theme", {"--accept", "--out", "t.svg", "--theme", "Nonesuch"}, 0, "", data.arg("Gleamworks"));
    for (const char* lang : {"en", "zh", "de"}) // closed after the picture
        row(lang, {"--lang", lang, "--screenshot", "dialog.png"}, 1, "cancelled", "dialog.png");
    row("missing module", {"--accept", "--module", "/nonexistent/libKerfmate.so"}, 3, "cannot load the module");
    row("not a library", {"--accept", "--module", "fake.so"}, 3, "cannot load the module");
    row("no ReleaseInterface", {"--accept", "--module", qEnvironmentVariable("KERFMATE_BAD_MODULE")}, 4,
        "lacks ReleaseInterface");
    row("unknown language", {"--accept", "--lang", "fr"}, 2, "unknown language fr");
    row("generator 4", {"--accept", "--generator", "4"}, 2, "--generator takes");
    row("generator gear", {"--accept", "--generator", "gear"}, 2, "--generator takes");
    row("unknown option", {"--frobnicate"}, 2, "frobnicate");
    row("unknown extension", {"--accept", "--out", "part.png"}, 2, "part.png: unknown file type");
    row("a sheet saved as a drawing", {"--accept", "--out", "part.svg", "--save", "part.svg"}, 2, "--save writes a sheet, not a drawing");
    row("--set without =", {"--accept", "--set", "length"}, 2, "--set takes NAME=VALUE");
    row("unwritable", {"--accept", "--out", "missing/part.svg"}, 5, "could not write missing/part.svg");
    // A stored kerf the engine refuses: the first page builds nothing, decided
    // at once, and the engine's reason is what the user reads.
    row("empty part", {"--accept", "--out", "part.svg"}, 7,
        "Right angle box cannot be cut: dLaserWidth 6 is outside 0 to 3 (3 excluded); nothing written", "", "Kerfmate.ini DLG_RECT_BOX/dLaserWidth 6000");
    row("hinge refused", set(1, {"radius=0"}), 7, "Rounded box cannot be cut: Radius 0 mm is too tight for a hinge");
    row("hinge refused, in the window", set(1, {"radius=0"}) << "--window", 7, "Rounded box cannot be cut: Radius 0 mm is too tight for a hinge");
    row("set box, thick, in the window", set(0, {"thickness=12"}) << "--window", 2, "thickness=12 was refused by the dialog (thickness: range");
    row("gears adjusted", set(2, {"teeth1=8", "teeth2=8"}), 0,
        "Modular gear was adjusted to cut: Pressure angle raised from 20° to 27.5°", "part.svg");
}

void TestHost::runs()
{
    QFETCH(QStringList, args);
    QFETCH(int, exitCode);
    QFETCH(QString, message);
    QFETCH(QString, file);
    QFETCH(QString, stored);
    QFile fake(Path("fake.so"));
    QVERIFY(fake.open(QIODevice::WriteOnly) && fake.write("not an ELF file") > 0);
    if (!stored.isEmpty()) {
        QVERIFY(QDir().mkpath(Data()));
        QSettings(Data() + '/' + stored.section(' ', 0, 0), QSettings::IniFormat).setValue(stored.section(' ', 1, 1), stored.section(' ', 2));
    }
    const Run run = Host(args);
    QCOMPARE(run.exitCode, exitCode);
    QVERIFY2(run.out.contains(message), qPrintable(run.out));
    for (const char* part : {"part.svg", "kerfmate.svg", "dialog.png"})
        QCOMPARE(QFile::exists(Path(part)), file == QLatin1String(part));
    const QSettings ini(Data() + "/Kerfmate.ini", QSettings::IniFormat);
    if (exitCode == 2 || exitCode == 7) // a refused option or build saves nothing
        QCOMPARE(ini.childGroups(), stored.startsWith("Kerfmate.ini") ? QStringList(stored.section(' ', 1, 1).section('/', 0, 0)) : QStringList());
    if (file.endsWith(".svg")) {
        QFile svg(Path(file));
        const QByteArray content = svg.open(QIODevice::ReadOnly) ? svg.readAll() : QByteArray();
        QVERIFY(QSvgRenderer(content).viewBoxF().width() > 10.0 && !content.contains("nan") && !content.contains("inf"));
        QVERIFY(content.contains("mm\" height=") && content.contains("Z\"/>")); // every generator closes outlines
    } else if (file.endsWith(".png")) {
        QCOMPARE(QImage(Path(file)).size(), QSize(1320, 800));
    } else if (file.endsWith(".ini")) {
        QCOMPARE(QSettings(Path(file), QSettings::IniFormat).childGroups(),
                 QStringList({"DLG_FILLET_BOX", "DLG_GEAR_BOX", "DLG_RECT_BOX", "DLG_SEAL_BOX"}));
    }
}

// Every --set name of a generator in one run per unit, each value typed into
// its field; Kerfmate.ini after OK holds each field ("key=value", lengths in
// thousandths of a millimetre). Lengths are typed in the ruler's unit.
void TestHost::everySetNameReachesItsField_data()
{
    QTest::addColumn<int>("generator");
    QTest::addColumn<int>("unit");
    QTest::addColumn<QString>("sets");
    QTest::addColumn<QString>("saved");
    const auto row = [](const char* tag, int generator, int unit, const char* sets, const char* saved) {
        QTest::newRow(tag) << generator << unit << QString::fromUtf8(sets) << QString::fromUtf8(saved);
    };
    row("box, mm", 0, 1, "length=120 width=70 height=90 length-groove=20 width-groove=11 height-groove=15 thickness=4 "
        "kerf=0.25 inside=1 no-top=1 no-bottom=1", "dWidth=120000 dDepth=70000 dHeight=90000 dFluteOfWidth=20000 "
        "dFluteOfHeight=11000 dFluteOfDepth=15000 dThickness=4000 dLaserWidth=250 bInSize=1 bNoTop=1 bNoBottom=1");
    // The kerf's range check takes 0.1 to 0.8 whatever the unit: no inch kerf can be typed.
    row("box, inches", 0, 2, "length=4 width=3 height=2 length-groove=0.5 width-groove=0.4 height-groove=0.3 "
        "thickness=0.2 inside=0 no-top=0", "dWidth=101600 dDepth=76200 dHeight=50800 dFluteOfWidth=12700 "
        "dFluteOfHeight=10160 dFluteOfDepth=7620 dThickness=5080 bInSize=0 bNoTop=0");
    row("rounded, mm", 1, 1, "inside=1 length=126 width=102 height=90 length-groove=10 width-groove=8 thickness=4 "
        "kerf=0.35 no-top=1 no-bottom=0 no-groove-3=1 preset=100 radius=15 x-spacing=1.7 y-spacing=2.3 y-count=4",
        "bInSize=1 dWidth=126000 dDepth=102000 dHeight=90000 dFluteOfHeight=10000 dFluteOfWidth=8000 dThickness=4000 "
        "dLaserWidth=350 bNoTop=1 bNoBottom=0 sCorner.bNoFlute3Edge=1 nTemp=2 sCorner.dRadius=15000 "
        "sCorner.dXSpace=1700 sCorner.dYSpace=2300 sCorner.nYCount=4");
    row("rounded, inches", 1, 2, "length=5 width=4 height=3 length-groove=0.5 width-groove=0.4 thickness=0.2 kerf=0.02 "
        "preset=25 radius=0.5 x-spacing=0.1 y-spacing=0.12 y-count=3", "dWidth=127000 dDepth=101600 dHeight=76200 "
        "dFluteOfHeight=12700 dFluteOfWidth=10160 dThickness=5080 dLaserWidth=508 nTemp=0 sCorner.dRadius=12700 "
        "sCorner.dXSpace=2540 sCorner.dYSpace=3048 sCorner.nYCount=3");
    row("gear, mm", 2, 1, "module=2 teeth1=15 bore1=5 teeth2=45 bore2=6", "dModulus=2000 sGear1.nGCount=15 "
        "sGear1.dCDiameter=5000 sGear2.nGCount=45 sGear2.dCDiameter=6000");
    row("gear, inches", 2, 2, "module=3 teeth1=20 bore1=0.2 teeth2=30 bore2=0.25", "dModulus=3000 sGear1.nGCount=20 "
        "sGear1.dCDiameter=5080 sGear2.nGCount=30 sGear2.dCDiameter=6350");
    row("badge, mm", 3, 1, "seal=1 diameter=80 inner=50 text1=Ab height1=5 offset1=2 spacing1=1.5 font1=DejaVu_Serif "
        "text2=Cd height2=6 offset2=3 spacing2=2.5 font2=DejaVu_Sans_Mono text3=Ef height3=8 offset3=4 "
        "font3=WenQuanYi_Zen_Hei", "bTextReverse=1 D1=80000 D2=50000 sText1_Text=Ab sText1_dHeight=5000 "
        "sText1_dOffset=2000 sText1_dSpace=1500 sText1_Facename=DejaVu_Serif sText2_Text=Cd sText2_dHeight=6000 "
        "sText2_dOffset=3000 sText2_dSpace=2500 sText2_Facename=DejaVu_Sans_Mono sText3_Text=Ef sText3_dHeight=8000 "
        "sText3_dOffset=4000 sText3_Facename=WenQuanYi_Zen_Hei");
    row("badge, inches", 3, 2, "seal=0 diameter=3 inner=2 height1=0.2 offset1=0.1 spacing1=0.05 height2=0.25 offset2=0.12 "
        "spacing2=0.1 height3=0.3 offset3=0.1", "bTextReverse=0 D1=76200 D2=50800 sText1_dHeight=5080 "
        "sText1_dOffset=2540 sText1_dSpace=1270 sText2_dHeight=6350 sText2_dOffset=3048 sText2_dSpace=2540 "
        "sText3_dHeight=7620 sText3_dOffset=2540");
}

void TestHost::everySetNameReachesItsField()
{
    QFETCH(int, generator);
    QFETCH(int, unit);
    QFETCH(QString, sets);
    QFETCH(QString, saved);
    QVERIFY(QDir().mkpath(Data()));
    QSettings(Data() + "/cfg.ini", QSettings::IniFormat).setValue("APP_CFG/KEY_RULER_UNIT", unit);
    const QString spaced = sets.replace('_', ' ');
    QStringList args = {"--accept", "--out", "part.svg", "--save", "part.kerfmate", "--generator", QString::number(generator)};
    const QStringList given = spaced.split(QRegularExpression(" (?=[a-z0-9-]+=)"));
    for (const QString& set : given)
        args << "--set" << set;
    const Run run = Host(args);
    QVERIFY2(run.exitCode == 0, qPrintable(run.out));
    const QSettings ini(Data() + "/Kerfmate.ini", QSettings::IniFormat);
    const QString group = QString::fromLatin1(std::array{"DLG_RECT_BOX", "DLG_FILLET_BOX", "DLG_GEAR_BOX", "DLG_SEAL_BOX"}[generator]);
    for (const QString& pair : saved.split(' ')) {
        const QString key = pair.section('=', 0, 0), want = pair.section('=', 1).replace('_', ' ');
        const QVariant value = ini.value(group + '/' + key);
        bool number = false;
        const double wanted = want.toDouble(&number);
        QVERIFY2(number ? std::abs(value.toDouble() - wanted) < 1e-6 * std::max(1.0, std::abs(wanted)) : value == want,
                 qPrintable(QStringLiteral("%1: %2, not %3").arg(key, value.toString(), want)));
    }
    // The part on the saved sheet holds every value the engine was given, by its
    // --set name (in mm); the preset is the dialog's own.
    SheetDocument::Contents sheet;
    QVERIFY(SheetDocument::ReadFile(Path("part.kerfmate"), &sheet, nullptr) && sheet.parts.size() == 1);
    for (const QString& set : given.filter(QRegularExpression("^(?!preset=)"))) {
        const QString name = set.section('=', 0, 0), value = set.section('=', 1);
        const QJsonValue kept = sheet.parts[0].parameters.value(name);
        QVERIFY2(kept.isString() ? kept.toString() == value : kept.isDouble() && (unit == 2 || kept.toDouble() == value.toDouble()),
                 qPrintable(name));
    }
}

// A slice of scripts/sweep.sh: settings typed as a maker typed them, each
// judged on the file the host writes (hinge columns per bend, rings under
// the bores, contact ratio, simple outlines) or on the refusal it prints.
void TestHost::sweepSliceHolds_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("outcome");
    for (const QString generator : {"0", "1", "2", "3"}) // each part as the dialog first opens, on the board
        QTest::newRow(qPrintable("defaults " + generator)) << QStringList({"--defaults", "--generator", generator}) << "built";
    QTest::newRow("box 10 in board 10") << Sets({"length=10", "thickness=10"}) << "refused with its reason";
    const auto on = [](const char* generator, const QStringList& sets) { return QStringList({"--generator", generator}) + Sets(sets); };
    QTest::newRow("hinge x 20") << on("1", {"x-spacing=20"}) << "built, adjusted";
    QTest::newRow("hinge y 16.5, count 14") << on("1", {"y-spacing=16.5", "y-count=14"}) << "built, adjusted";
    QTest::newRow("hinge 850, radius 99") << on("1", {"length=850", "height=850", "radius=99", "kerf=0.1"}) << "built";
    QTest::newRow("gears 8/8, module 50") << on("2", {"module=50", "teeth1=8", "teeth2=8"}) << "built, adjusted";
    QTest::newRow("gears 8/60, bore 3") << on("2", {"teeth1=8", "teeth2=60"}) << "built";
    QTest::newRow("badge 30, texts 30") << on("3", {"diameter=30", "height1=30", "height2=30"}) << "built, adjusted";
}

void TestHost::sweepSliceHolds()
{
    QFETCH(QStringList, args);
    QFETCH(QString, outcome);
    QProcess sweep;
    sweep.start(qEnvironmentVariable("KERFMATE_SWEEP"), args + QStringList({"--host", qEnvironmentVariable("KERFMATE_HOST")}));
    QVERIFY(sweep.waitForFinished(60000));
    const QString said = QString::fromUtf8(sweep.readAllStandardOutput());
    QVERIFY2(sweep.exitCode() == 0 && said.startsWith(outcome), qPrintable(said));
}

void TestHost::readersSeeTheEngineOutlines()
{
    const Run run = Host(QStringList({"--accept", "--out", "box.svg", "--out", "box.dxf", "--out", "box.pdf"}) + kBox);
    QVERIFY2(run.exitCode == 0, qPrintable(run.out));
    QRectF page;
    const QList<QPolygonF> engine = EngineBox(&page);

    // DXF: ezdxf audits it and reads back every closed outline, y up.
    const QStringList lines = DxfEntities(Path("box.dxf"));
    QCOMPARE(lines.value(0), QStringLiteral("0 4 0:7 CUT:1 ENGRAVE:5")); // no audit errors; millimetres
    QCOMPARE(lines.size() - 1, engine.size());
    const auto point = [](const QString& field) {
        return QPointF(field.section(',', 0, 0).toDouble(), -field.section(',', 1, 1).toDouble());
    };
    for (int i = 0; i < engine.size(); ++i) {
        const QStringList fields = lines.at(i + 1).split(' ');
        QCOMPARE(fields.mid(0, 2), QStringList({"CUT", "1"}));
        // In cut order: the engine's outline that starts where this one does.
        const auto outline = std::find_if(engine.cbegin(), engine.cend(), [&](const QPolygonF& p) {
            return (p.first() - point(fields.value(2))).manhattanLength() <= 0.001;
        });
        QVERIFY(outline != engine.cend());
        QCOMPARE(fields.size() - 2, outline->size() - 1); // closed: no repeated start point
        for (int v = 2; v < fields.size(); ++v)
            QVERIFY((point(fields.at(v)) - outline->at(v - 2)).manhattanLength() <= 0.001);
    }
    // SVG: in millimetres, every outline closed with Z, cutting in red.
    QFile svgFile(Path("box.svg"));
    const QString svg = svgFile.open(QIODevice::ReadOnly) ? QString::fromUtf8(svgFile.readAll()) : QString();
    QVERIFY(svg.contains(QStringLiteral("width=\"%1mm\" height=\"%2mm\"").arg(page.width(), 0, 'f', 4).arg(page.height(), 0, 'f', 4)));
    QCOMPARE(svg.count(QStringLiteral("Z\"")), engine.size());
    QCOMPARE(svg.count(QStringLiteral("stroke=\"#ff0000\"")), engine.size());
    // PDF: one page of the part plus margin (to the nearest point).
    QFile pdf(Path("box.pdf"));
    QVERIFY(pdf.open(QIODevice::ReadOnly));
    const QRegularExpressionMatch box =
        QRegularExpression(QStringLiteral("/MediaBox \\[0 0 ([0-9.]+) ([0-9.]+)\\]")).match(QString::fromLatin1(pdf.readAll()));
    QVERIFY(box.hasMatch() && std::abs(box.captured(1).toDouble() * 25.4 / 72 - page.width()) < 0.36
            && std::abs(box.captured(2).toDouble() * 25.4 / 72 - page.height()) < 0.36);
    // Each reader draws the engine's outlines at 1:1 where they lie.
    QList<QPainterPath> paths;
    for (const QPolygonF& polygon : engine)
        paths << QPainterPath(), paths.last().addPolygon(polygon);
    const QImage expected = Drawn(paths, page);
    for (const char* file : {"box.svg", "box.dxf", "box.pdf"}) {
        const QImage read = ReadBack(Path(file), page);
        QVERIFY2(Stray(read, expected) < 0.02 && Stray(expected, read) < 0.02, file);
    }
}

// A shape inside a closed outline, or on it to within 0.01 mm, belongs to
// that outline's piece; a badge whose inner circle is its rim is one piece.
void TestHost::piecesHoldWhatLiesOnThem_data()
{
    QTest::addColumn<QString>("paths"); // cut outlines, ';' between them
    QTest::addColumn<QString>("pieces"); // outlines per piece
    QTest::newRow("a hole inside") << "M0 0 L10 0 L10 10 L0 10 Z;M2 2 L4 2 L4 4 Z" << "2";
    QTest::newRow("the same outline twice") << "M0 0 L10 0 L10 10 L0 10 Z;M0 0 L10 0 L10 10 L0 10 Z" << "2";
    QTest::newRow("a line along an edge") << "M0 0 L10 0 L10 10 L0 10 Z;M0 10 L10 10" << "2";
    QTest::newRow("a square 0.049 mm out") << "M0 0 L10 0 L10 10 L0 10 Z;M-0.049 2 L4 2 L4 4 Z" << "2";
    QTest::newRow("a square 0.051 mm out") << "M0 0 L10 0 L10 10 L0 10 Z;M-0.051 2 L4 2 L4 4 Z" << "1 1";
    QTest::newRow("two apart") << "M0 0 L10 0 L10 10 L0 10 Z;M20 0 L30 0 L30 10 Z" << "1 1";
}

void TestHost::piecesHoldWhatLiesOnThem()
{
    QFETCH(QString, paths);
    QFETCH(QString, pieces);
    Outlines outlines;
    for (const QString& d : paths.split(';')) {
        outlines << Outline();
        QVERIFY(FromPathData(d, &outlines.last().path, 1e6).isEmpty());
    }
    QStringList counts;
    QVector<QRectF> bounds;
    for (const Outlines& piece : MakePart(outlines, 5).pieces) {
        counts << QString::number(piece.size());
        bounds << QRectF();
        for (const Outline& outline : piece)
            bounds.last() |= outline.path.boundingRect();
    }
    QCOMPARE(counts.join(' '), pieces);
    for (int a = 0; a < bounds.size(); ++a) // laid again where they crowd: never closer than the gap
        for (int b = a + 1; b < bounds.size(); ++b)
            QVERIFY(!bounds[a].adjusted(-2.49, -2.49, 2.49, 2.49).intersects(bounds[b].adjusted(-2.49, -2.49, 2.49, 2.49)));
    // The badge as the dialog takes it: inner circle as wide as the rim.
    if (QTest::currentDataTag() != QLatin1String("a hole inside"))
        return;
    const Run run = Host({"--generator", "3", "--accept", "--set", "diameter=45", "--set", "inner=45", "--save", "b.kerfmate"});
    SheetDocument::Contents badge;
    QFile file(Path("b.kerfmate"));
    QVERIFY2(run.exitCode == 0 && file.open(QIODevice::ReadOnly) && SheetDocument::Read(file.readAll(), &badge, nullptr), qPrintable(run.out));
    QCOMPARE(badge.parts.size(), 1);
    QCOMPARE(badge.parts[0].pieces.size(), 1);
}

// A sheet of the engine's parts nested: in every file each piece is its own
// outline turned and moved, never mirrored or bent, and the files judged by
// an outside check keep the margin and the spacing plus the widest kerf, as
// set, between every two pieces (or a piece and the hole it was put in).
// Every reader draws each sheet alike. (A piece no board holds is refused:
// tst_nest.)
void TestHost::nestedSheetsKeepEveryPieceWhole_data()
{
    QTest::addColumn<QString>("board");
    QTest::addColumn<double>("margin");
    QTest::addColumn<double>("spacing");
    QTest::addColumn<double>("kerf");
    QTest::addColumn<QStringList>("options");
    QTest::newRow("a file per sheet, 90 degree turns") << "300x300" << 4.0 << 3.0 << 0.0 << QStringList{"--turn", "90"};
    QTest::newRow("a layer per sheet, 45 degree turns") << "300x300" << 4.0 << 3.0 << 0.0 << QStringList{"--layers", "--turn", "45"};
    QTest::newRow("the kerf on top of no spacing") << "300x300" << 0.0 << 0.0 << 0.3 << QStringList{"--turn", "90"};
    QTest::newRow("touching allowed, in inches") << "12x12in" << 0.0 << 0.0 << 0.0 << QStringList{"--turn", "180"};
}

void TestHost::nestedSheetsKeepEveryPieceWhole()
{
    QFETCH(QString, board);
    QFETCH(double, margin);
    QFETCH(double, spacing);
    QFETCH(double, kerf);
    QFETCH(QStringList, options);
    const bool layers = options.contains("--layers");
    QVector<Part> parts = EngineParts();
    for (int i = 0; i < 2 && kerf > 0; ++i) // the boxes were made for this beam
        parts[i].nGenerator = 0, parts[i].parameters = QJsonObject{{"kerf", kerf}};
    QFile in(Path("in.kerfmate"));
    QVERIFY(in.open(QIODevice::WriteOnly) && in.write(SheetDocument::Write({SheetSetup(), parts})) > 0);
    in.close();
    const Run run = Host(QStringList{"--open", Path("in.kerfmate"), "--sheet", board, "--margin", QString::number(margin), "--spacing",
                                     QString::number(spacing), "--nest", "--nest-rounds", "2", "--out", "n.svg", "--out", "n.dxf", "--out", "n.pdf",
                                     "--save", "n.kerfmate"} + options);
    QVERIFY2(run.exitCode == 0, qPrintable(run.out));
    QFile out(Path("n.kerfmate"));
    SheetDocument::Contents nested;
    QVERIFY(out.open(QIODevice::ReadOnly) && SheetDocument::Read(out.readAll(), &nested, nullptr));
    int sheets = 0;
    for (const Part& part : nested.parts)
        sheets = std::max(sheets, part.nSheet + 1);
    QVERIFY2(sheets >= 2, "the parts take more than one board");
    QStringList svgs, dxfs;
    for (int k = 1; k <= (layers ? 1 : sheets); ++k)
        svgs << Path(layers ? QStringLiteral("n.svg") : QStringLiteral("n-%1.svg").arg(k)),
            dxfs << Path(layers ? QStringLiteral("n.dxf") : QStringLiteral("n-%1.dxf").arg(k));
    const Board judged{nested.setup.size, margin, spacing + kerf};
    QCOMPARE(judged.size, board.endsWith("in") ? QSizeF(304.8, 304.8) : QSizeF(board.section('x', 0, 0).toDouble(), board.section('x', 1).toDouble()));
    QVector<QList<QPolygonF>> cuts[2]; // the SVG's, the DXF's: the same rings in the same places
    for (int f = 0; f < 2; ++f) {
        cuts[f] = SheetCuts(f ? dxfs : svgs);
        QCOMPARE(cuts[f].size(), sheets);
        QCOMPARE(JudgeNest(cuts[f], judged), QString());
    }
    for (int k = 0; k < sheets; ++k)
        QVERIFY2(std::max(FarthestFrom(cuts[0][k], cuts[1][k]), FarthestFrom(cuts[1][k], cuts[0][k])) < 1e-3, qPrintable(QString::number(k)));
    // Each outline of each piece is in the SVG of its sheet, as it was, turned and moved.
    QList<QList<bool>> isCut;
    QList<QList<QPainterPath>> files;
    for (const QString& svg : svgs)
        files += SvgLayers(svg, &isCut);
    QCOMPARE(files.size(), sheets);
    QVector<int> left(sheets);
    for (int k = 0; k < sheets; ++k)
        left[k] = int(files[k].size());
    for (const Part& part : nested.parts) {
        for (const Outline& outline : part.Placed()) {
            QPolygonF from;
            for (int e = 0; e < outline.path.elementCount(); ++e)
                from << QPointF(outline.path.elementAt(e));
            bool found = false;
            for (QPainterPath& read : files[part.nSheet]) {
                QPolygonF to;
                for (int e = 0; e < read.elementCount(); ++e)
                    to << QPointF(read.elementAt(e));
                if ((found = RigidResidual(from, to) < 2e-3)) {
                    read = QPainterPath(), --left[part.nSheet];
                    break;
                }
            }
            QVERIFY2(found, qPrintable(part.strName));
        }
    }
    for (int k = 0; k < sheets; ++k)
        QCOMPARE(left[k], 0); // nothing else in the files
    // The pieces are the engine's own: the document's outlines against the parts', turned and moved.
    double nestedArea = 0, sourceArea = 0;
    for (const Part& part : nested.parts)
        for (const Outlines& piece : part.pieces)
            nestedArea += PieceArea(piece);
    for (const Part& part : parts)
        for (const Outlines& piece : part.pieces)
            sourceArea += PieceArea(piece);
    QVERIFY(std::abs(nestedArea - sourceArea) < 1e-6 * sourceArea);
    QVERIFY2(run.out.contains(QRegularExpression(" [1-9][0-9]* in holes")) || board == "90x70", qPrintable(run.out));
    // DXF and PDF: the same drawing, a file or a layer, and a page per sheet.
    QCOMPARE(QFile::exists(Path("n-1.dxf")), !layers);
    QCOMPARE(QFile::exists(Path("n.dxf")), layers);
    for (int k = 1; k <= sheets && !layers; ++k) {
        const QRectF page = QSvgRenderer(svgs[k - 1]).viewBoxF();
        const QImage seen = ReadBack(svgs[k - 1], page);
        for (const QImage& read : {ReadBack(dxfs[k - 1], page), ReadBack(Path("n.pdf"), page, k)})
            QVERIFY2(Stray(read, seen) < 0.02 && Stray(seen, read) < 0.02, qPrintable(QString::number(k)));
    }
}

QTEST_MAIN(TestHost)
#include "tst_host.moc"
