// kerfmate-host run as a script runs it: options, --set through the dialog,
// exit codes, and its files read back by readers the project did not write.
#include "CShape.h"
#include "CShapeList.h"
#include "ReferenceEngine.h"

#include <QtSvg>
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

// The same box straight from the engine: what every file must show, and
// its page (the outlines' bounds and a 2 mm margin).
QList<QPolygonF> EngineBox(QRectF* pPage)
{
    SRectBoxParam box;
    box.dWidth = 100, box.dDepth = 80, box.dHeight = 60, box.dThickness = 3, box.dLaserWidth = 0.1;
    box.dFluteOfWidth = 25, box.dFluteOfHeight = 20, box.dFluteOfDepth = 15;
    CShapeList* main = CShapeList::New();
    CShapeList* aux = CShapeList::New();
    CReferenceEngine().CreateRectBox(box, main, aux, nullptr);
    QList<QPolygonF> polygons;
    for (unsigned int i = 0; i < main->GetCount(); ++i) {
        const QPainterPath* path = main->GetShape(i)->GetPath(false);
        polygons += path->toSubpathPolygons();
        *pPage = pPage->united(path->boundingRect().adjusted(-2, -2, 2, 2));
    }
    for (CShapeList* list : {main, aux})
        list->DeleteAll(), CShapeList::Release(list);
    return polygons;
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
    void sweepSliceHolds_data();
    void sweepSliceHolds();
    void readersSeeTheEngineOutlines();

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
// it leaves (none: no part file at all) and what OK saved.
void TestHost::runs_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("saved");  // "GROUP/key=value" in Kerfmate.ini
    QTest::addColumn<int>("storedKerf"); // the box's kerf in Kerfmate.ini before the run, in µm
    auto row = [](const char* tag, const QStringList& args, int code, const char* message, const QString& file = "",
                  const char* saved = "", int storedKerf = 0) {
        QTest::newRow(tag) << args << code << QString(message) << file << QString(saved) << storedKerf;
    };
    // --set types into the dialog's field as a user would: what the dialog
    // takes is saved on OK; what it refuses fails the run, naming its range.
    auto set = [](int generator, const QStringList& pairs) {
        return QStringList({"--accept", "--out", "part.svg", "--generator", QString::number(generator)}) + Sets(pairs);
    };
    row("set box", set(0, {"length=100", "kerf=0.15", "inside=yes"}), 0, "", "part.svg", "DLG_RECT_BOX/dLaserWidth=150");
    row("set box, thick", set(0, {"length=100", "thickness=12"}), 2,
        "thickness=12 was refused by the dialog (thickness: range 1.00 to 10.00 mm");
    row("set rounded", set(1, {"preset=100", "y-count=4"}), 0, "", "part.svg", "DLG_FILLET_BOX/sCorner.nYCount=4");
    row("set rounded, preset", set(1, {"preset=30"}), 2, "preset: 25 or 50 or 100");
    row("set gear", set(2, {"teeth1=20", "module=2"}), 0, "", "part.svg", "DLG_GEAR_BOX/sGear1.nGCount=20");
    row("set gear, teeth", set(2, {"teeth1=61"}), 2, "teeth1: the dialog's tip: ");
    row("set badge", set(3, {"seal=1", "text1=ZÜRICH 徽章"}), 0, "", "part.svg", "DLG_SEAL_BOX/sText1_Text=ZÜRICH 徽章");
    row("set badge, inner", set(3, {"diameter=60", "inner=90"}), 2, "inner: range 30.00 to 60.00 mm");
    row("set gear, a box's name", set(2, {"length=5"}), 2, "the Modular gear has no parameter length (it has: module");
    const QStringList part = {"--accept", "--out", "part.svg", "--dxf", "part.dxf"};
    const QString data = QStringLiteral("Kerfmate/%1/Resources/Data/Kerfmate.ini");
    row("defaults", part, 0, "written to part.dxf", "part.svg");
    row("rounded box", part + QStringList({"--generator", "1"}), 0, "", "part.svg");
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
    row("--set without =", {"--accept", "--set", "length"}, 2, "--set takes NAME=VALUE");
    row("unwritable", {"--accept", "--out", "missing/part.svg"}, 5, "could not write missing/part.svg");
    // A stored kerf the engine refuses: the first page builds nothing, decided
    // at once, and the engine's reason is what the user reads.
    row("empty part", {"--accept", "--out", "part.svg"}, 7,
        "Right angle box cannot be cut: dLaserWidth 6 is outside 0 to 3 (3 excluded); nothing written", "", "", 6000);
    row("hinge refused", set(1, {"radius=0"}), 7, "Rounded box cannot be cut: Radius 0 mm is too tight for a hinge");
    row("gears adjusted", set(2, {"teeth1=8", "teeth2=8"}), 0,
        "Modular gear was adjusted to cut: Pressure angle raised from 20° to 27.5°", "part.svg");
}

void TestHost::runs()
{
    QFETCH(QStringList, args);
    QFETCH(int, exitCode);
    QFETCH(QString, message);
    QFETCH(QString, file);
    QFETCH(QString, saved);
    QFETCH(int, storedKerf);
    QFile fake(Path("fake.so"));
    QVERIFY(fake.open(QIODevice::WriteOnly) && fake.write("not an ELF file") > 0);
    if (storedKerf) {
        QVERIFY(QDir().mkpath(Data()));
        QSettings(Data() + "/Kerfmate.ini", QSettings::IniFormat).setValue("DLG_RECT_BOX/dLaserWidth", storedKerf);
    }
    const Run run = Host(args);
    QCOMPARE(run.exitCode, exitCode);
    QVERIFY2(run.out.contains(message), qPrintable(run.out));
    for (const char* part : {"part.svg", "kerfmate.svg"})
        QCOMPARE(QFile::exists(Path(part)), file == QLatin1String(part));
    const QSettings ini(Data() + "/Kerfmate.ini", QSettings::IniFormat);
    if (!saved.isEmpty())
        QCOMPARE(ini.value(saved.section('=', 0, 0)).toString(), saved.section('=', 1));
    if (exitCode == 2)
        QVERIFY(ini.childGroups().isEmpty()); // a refused option saves nothing
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

// A slice of scripts/sweep.sh: settings typed as a maker typed them, each
// judged on the file the host writes (hinge columns per bend, rings under
// the bores, contact ratio, simple outlines) or on the refusal it prints.
void TestHost::sweepSliceHolds_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("outcome");
    QTest::newRow("box 10 in board 10") << Sets({"length=10", "thickness=10"}) << "refused with its reason";
    QTest::newRow("hinge x 20") << QStringList({"--generator", "1"}) + Sets({"x-spacing=20"}) << "built, adjusted";
    QTest::newRow("hinge y 16.5, count 14")
        << QStringList({"--generator", "1"}) + Sets({"y-spacing=16.5", "y-count=14"}) << "built, adjusted";
    QTest::newRow("hinge 850, radius 99") << QStringList({"--generator", "1"})
                                                 + Sets({"length=850", "height=850", "radius=99", "kerf=0.1"})
                                          << "built";
    QTest::newRow("gears 8/8, module 50") << QStringList({"--generator", "2"})
                                                 + Sets({"module=50", "teeth1=8", "teeth2=8"})
                                          << "built, adjusted";
    QTest::newRow("gears 8/60, bore 3") << QStringList({"--generator", "2"}) + Sets({"teeth1=8", "teeth2=60"}) << "built";
    QTest::newRow("badge 30, texts 30") << QStringList({"--generator", "3"})
                                               + Sets({"diameter=30", "height1=30", "height2=30"})
                                        << "built, adjusted";
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
    QProcess python;
    python.start(QStringLiteral("/usr/bin/python3"), // Debian's, with python3-ezdxf
                 {"-c", "import sys, ezdxf\n"
                        "doc = ezdxf.readfile(sys.argv[1])\n"
                        "print(len(doc.audit().errors), doc.header.get('$INSUNITS', 0))\n"
                        "for e in doc.modelspace():\n"
                        "    print(e.dxf.layer, int(e.is_closed), ' '.join('%.4f,%.4f' % (p.x, p.y) for p in e.points()))",
                  Path("box.dxf")});
    QVERIFY(python.waitForFinished(30000));
    const QStringList lines = QString::fromUtf8(python.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.value(0), QStringLiteral("0 4")); // no audit errors; millimetres
    QCOMPARE(lines.size() - 1, engine.size());
    for (int i = 0; i < engine.size(); ++i) {
        const QStringList fields = lines.at(i + 1).split(' ');
        QCOMPARE(fields.mid(0, 2), QStringList({"CUT", "1"}));
        QCOMPARE(fields.size() - 2, engine.at(i).size() - 1); // closed: no repeated start point
        for (int v = 2; v < fields.size(); ++v) {
            const QPointF read(fields.at(v).section(',', 0, 0).toDouble(), -fields.at(v).section(',', 1, 1).toDouble());
            QVERIFY((read - engine.at(i).at(v - 2)).manhattanLength() <= 0.001);
        }
    }

    // SVG: in millimetres, every outline closed with Z, and QtSvg draws the
    // engine's outlines pixel for pixel at 10 px/mm.
    QFile svgFile(Path("box.svg"));
    const QString svg = svgFile.open(QIODevice::ReadOnly) ? QString::fromUtf8(svgFile.readAll()) : QString();
    QVERIFY(svg.contains(QStringLiteral("width=\"%1mm\" height=\"%2mm\"").arg(page.width(), 0, 'f', 4).arg(page.height(), 0, 'f', 4)));
    QCOMPARE(svg.count(QStringLiteral("Z\"")), engine.size());
    QCOMPARE(svg.count(QStringLiteral("stroke=\"#ff0000\"")), engine.size()); // cutting is red
    const QSize pixels = (page.size() * 10).toSize();
    auto image = [&](const std::function<void(QPainter&)>& draw) {
        QImage image(pixels, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        draw(painter);
        return image;
    };
    const QImage drawn = image([&](QPainter& painter) { QSvgRenderer(Path("box.svg")).render(&painter); });
    const QImage expected = image([&](QPainter& painter) {
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(10, 10);
        painter.translate(-page.topLeft());
        painter.setPen(QPen(Qt::red, 0.1));
        for (const QPolygonF& polygon : engine)
            painter.drawPolyline(polygon);
    });
    int inked = 0, differ = 0;
    for (int y = 0; y < pixels.height(); ++y)
        for (int x = 0; x < pixels.width(); ++x) {
            const bool ink = qGreen(expected.pixel(x, y)) < 200;
            inked += ink;
            differ += ink != (qGreen(drawn.pixel(x, y)) < 200);
        }
    QVERIFY2(inked > 1000 && differ <= inked / 50, qPrintable(QStringLiteral("%1 of %2 pixels differ").arg(differ).arg(inked)));

    // PDF: one page of the part plus margin, at 1:1 (to the nearest point).
    QFile pdf(Path("box.pdf"));
    QVERIFY(pdf.open(QIODevice::ReadOnly));
    const QRegularExpressionMatch box =
        QRegularExpression(QStringLiteral("/MediaBox \\[0 0 ([0-9.]+) ([0-9.]+)\\]")).match(QString::fromLatin1(pdf.readAll()));
    QVERIFY(box.hasMatch());
    QVERIFY(std::abs(box.captured(1).toDouble() * 25.4 / 72 - page.width()) < 0.36);
    QVERIFY(std::abs(box.captured(2).toDouble() * 25.4 / 72 - page.height()) < 0.36);
}

QTEST_MAIN(TestHost)
#include "tst_host.moc"
