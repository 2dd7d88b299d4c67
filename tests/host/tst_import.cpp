// Drawings other programs made, imported as parts and judged by readers
// this program does not use: QtSvg and ezdxf draw the same files, and every
// imported outline lies within 0.02 mm of what they draw; bad files are
// refused with the reason; every export cuts engraving first, then from the
// inside out.
#include "CShape.h"
#include "CShapeList.h"
#include "ExportFormats.h"
#include "HostEngine.h"
#include "Import.h"
#include "MainWindow.h"
#include "ModuleHost.h"
#include "ReferenceEngine.h"
#include "Readers.h"
#include "SheetModel.h"
#include "TestSupport.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <functional>
#include <sys/stat.h>

namespace {
const QString kData = QStringLiteral(KERFMATE_IMPORT_DATA);
const QString kFrame = QStringLiteral("<rect x='2' y='2' width='96' height='96'/>");

// Every outline of the import where it lay in the file, in millimetres.
QList<QPolygonF> InFile(const Import::Imported& imported, int* pEngraved = nullptr)
{
    QList<QPolygonF> rings;
    for (const Outlines& piece : imported.part.pieces)
        for (const Outline& outline : piece) {
            rings += outline.path.translated(imported.origin).toSubpathPolygons();
            if (pEngraved)
                *pEngraved += IsEngraving(outline.nLayer);
        }
    return rings;
}

QList<QPolygonF> Rings(const QList<DrawnPath>& drawn, double scale = 1, double ySign = 1)
{
    QList<QPolygonF> rings;
    for (const DrawnPath& path : drawn)
        rings << QTransform::fromScale(scale, ySign * scale).map(path.points);
    return rings;
}

// Within 0.02 mm both ways: nothing of either drawing is missing from the other.
void CompareDrawn(const QList<QPolygonF>& ours, const QList<QPolygonF>& theirs)
{
    QVERIFY(!ours.isEmpty() && !theirs.isEmpty());
    const double there = FarthestFrom(ours, theirs), back = FarthestFrom(theirs, ours);
    QVERIFY2(there <= 0.02 && back <= 0.02, qPrintable(QStringLiteral("%1 mm and %2 mm apart").arg(there).arg(back)));
}

QByteArray Dxf(const QByteArray& entities, const QByteArray& before = QByteArray())
{
    return before + "0\nSECTION\n2\nENTITIES\n" + entities + "0\nENDSEC\n0\nEOF\n";
}

QByteArray Svg(const QByteArray& content, const QByteArray& root = "width='100mm' height='100mm' viewBox='0 0 100 100'")
{
    return "<svg xmlns='http://www.w3.org/2000/svg' xmlns:xlink='http://www.w3.org/1999/xlink' "
           "xmlns:inkscape='http://www.inkscape.org/namespaces/inkscape' " + root + ">" + content + "</svg>";
}

Part Engine(const std::function<void(CReferenceEngine&, CShapeList*, CShapeList*)>& build)
{
    CReferenceEngine engine;
    CShapeList *main = CShapeList::New(), *aux = CShapeList::New();
    build(engine, main, aux);
    Part part = MakePart(OutlinesOf(*main), SheetModel::kGapMm);
    for (CShapeList* list : {main, aux})
        list->DeleteAll(), CShapeList::Release(list);
    return part;
}
} // namespace

class TestImport : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_dir.reset(new QTemporaryDir); }
    void samplesMatchTheirMakers_data();
    void samplesMatchTheirMakers();
    void everySvgKindAsQtSvgDrawsIt_data();
    void everySvgKindAsQtSvgDrawsIt();
    void everyDxfKindAsEzdxfDrawsIt_data();
    void everyDxfKindAsEzdxfDrawsIt();
    void badFilesAreRefusedWithTheReason_data();
    void badFilesAreRefusedWithTheReason();
    void everyExportCutsInsideOut_data();
    void everyExportCutsInsideOut();
    void aBoxAndAPlateNestOnOneBoard();
    void theWindowImportsInOneUndoStep();

private:
    QString Write(const QString& name, const QByteArray& bytes)
    {
        QFile file(m_dir->filePath(name));
        return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() ? file.fileName() : QString();
    }
    std::unique_ptr<QTemporaryDir> m_dir;
};

// The committed samples (scripts/import-samples.sh): pieces, the largest's
// holes and the engraved outlines as drawn, the geometry as the maker's own
// library reads it, or QtSvg Inkscape's own paths of it. mm: millimetres per DXF unit, or the SVG page's width.
void TestImport::samplesMatchTheirMakers_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<double>("mm");
    QTest::addColumn<double>("pageHeight");
    QTest::addColumn<int>("pieces");
    QTest::addColumn<int>("holes");
    QTest::addColumn<int>("engraved");
    QTest::newRow("Inkscape, mm") << "inkscape-mm.svg" << 130.0 << 90.0 << 5 << 4 << 2;
    QTest::newRow("Inkscape, px") << "inkscape-px.svg" << 400 / 96.0 * 25.4 << 300 / 96.0 * 25.4 << 3 << 2 << 3;
    for (const auto& [version, mm] : {std::pair("r12-unitless", 1.0), {"r2000-inch", 25.4}, {"r2004-cm", 10.0},
                                      {"r2007-mm", 1.0}, {"r2010-mm", 1.0}, {"r2013-inch", 25.4}, {"r2018-mm", 1.0}})
        QTest::newRow(version) << QStringLiteral("ezdxf-%1.dxf").arg(QLatin1String(version)) << mm << 0.0 << 4 << 7 << 2;
}

void TestImport::samplesMatchTheirMakers()
{
    QFETCH(QString, file);
    QFETCH(double, mm);
    QFETCH(double, pageHeight);
    QFETCH(int, pieces);
    QFETCH(int, holes);
    QFETCH(int, engraved);
    Import::Imported imported;
    QString error;
    QVERIFY2(Import::ReadFile(kData + '/' + file, &imported, &error), qPrintable(error));
    QCOMPARE(imported.part.nGenerator, -1);
    QCOMPARE(imported.part.pieces.size(), pieces);
    int most = 0, engravedRead = 0;
    for (const Outlines& piece : imported.part.pieces)
        most = std::max(most, int(std::count_if(piece.cbegin(), piece.cend(), [](const Outline& o) { return !IsEngraving(o.nLayer); })));
    QCOMPARE(most - 1, holes);
    const QList<QPolygonF> ours = InFile(imported, &engravedRead);
    QCOMPARE(engravedRead, engraved);
    QCOMPARE(imported.notes.isEmpty(), !file.contains(QLatin1String("unitless")));
    if (file.endsWith(QLatin1String(".svg")))
        CompareDrawn(ours, Rings(SvgDrawn(kData + '/' + QString(file).replace(".svg", ".paths.svg"), QRectF(0, 0, mm, pageHeight))));
    else
        CompareDrawn(ours, Rings(DxfDrawn(kData + '/' + file, mm), mm, -1)); // DXF's y points up
}

// Each element, path command, unit and transform, inside a frame, against QtSvg's drawing of it.
void TestImport::everySvgKindAsQtSvgDrawsIt_data()
{
    QTest::addColumn<QByteArray>("root");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QSizeF>("page");
    QTest::addColumn<int>("engraved");
    const QByteArray mm = "width='100mm' height='100mm' viewBox='0 0 100 100'";
    const QSizeF square(100, 100);
    const QList<std::pair<const char*, const char*>> shapes{
        {"rect", "<rect x='10' y='10' width='40' height='20'/>"},
        {"rect rounded", "<rect x='10' y='10' width='40' height='20' rx='5'/>"},
        {"rect rx and ry", "<rect x='10' y='10' width='40' height='40' rx='12' ry='4'/>"},
        {"circle", "<circle cx='50' cy='50' r='20'/>"},
        {"ellipse", "<ellipse cx='50' cy='50' rx='30' ry='10'/>"},
        {"polygon", "<polygon points='10,10 60,15 30,70'/>"},
        {"path M L H V Z", "<path d='M10 10 L50 15 H70 V60 Z'/>"},
        {"path m l h v z, implicit lines", "<path d='m10 10 40 5 l5-5h20v50z m5 5 10 0 0 10z'/>"},
        {"path C S", "<path d='M10 50 C10 20 40 20 40 50 S70 80 70 50 Z'/>"},
        {"path c s", "<path d='M10 50 c0-30 30-30 30 0 s30 30 30 0 z'/>"},
        {"path Q T", "<path d='M10 50 Q20 20 30 50 T50 50 T70 50 Z'/>"},
        {"path q t", "<path d='M10 50 q10-30 20 0 t20 0 t20 0 z'/>"},
        {"path A, large and sweep", "<path d='M20 50 A30 15 30 1 1 60 50 A10 20 0 0 0 20 50 Z'/>"},
        {"path a, flags run on", "<path d='M30 50 a20 20 0 1060 0 a25 10 0 0 1-60 0z'/>"},
        {"use", "<defs><circle id='c' r='5'/></defs><use xlink:href='#c' x='30' y='30'/><use href='#c' x='60' y='60'/>"},
        {"translate", "<g transform='translate(20,30)'><rect width='30' height='20'/></g>"},
        {"scale", "<g transform='scale(2,1.5)'><rect x='10' y='10' width='20' height='20'/></g>"},
        {"rotate about a point", "<g transform='rotate(30 50 50)'><rect x='30' y='40' width='40' height='20'/></g>"},
        {"skewX", "<g transform='skewX(20)'><rect x='10' y='20' width='30' height='40'/></g>"},
        {"skewY", "<g transform='skewY(-15)'><rect x='20' y='30' width='40' height='30'/></g>"},
        {"matrix and a list, nested",
         "<g transform='matrix(0.8 0.3 -0.2 0.9 20 5)'><g transform='translate(10) rotate(10)'><circle cx='30' cy='30' r='12'/></g></g>"},
        {"hidden", "<rect x='10' y='10' width='40' height='20'/><circle cx='70' cy='70' r='5' style='display:none'/>"}};
    for (const auto& [name, content] : shapes)
        QTest::newRow(name) << mm << QByteArray(content) << square << 0;
    QTest::newRow("cm") << QByteArray("width='10cm' height='10cm' viewBox='0 0 100 100'") << QByteArray(shapes[3].second) << square << 0;
    QTest::newRow("in") << QByteArray("width='4in' height='4in' viewBox='0 0 100 100'") << QByteArray(shapes[3].second) << QSizeF(101.6, 101.6) << 0;
    QTest::newRow("pt") << QByteArray("width='72pt' height='72pt' viewBox='0 0 100 100'") << QByteArray(shapes[3].second) << QSizeF(25.4, 25.4) << 0;
    QTest::newRow("px, 96 to the inch") << QByteArray("width='96' height='96' viewBox='0 0 100 100'") << QByteArray(shapes[3].second)
                                        << QSizeF(25.4, 25.4) << 0;
    QTest::newRow("no viewBox: pixels") << QByteArray("width='100' height='100'") << QByteArray(shapes[0].second)
                                        << QSizeF(100 / 96.0 * 25.4, 100 / 96.0 * 25.4) << 0;
    QTest::newRow("viewBox wider than the page: centred") << QByteArray("width='100mm' height='50mm' viewBox='0 0 100 100'")
                                                         << QByteArray(shapes[3].second) << QSizeF(100, 50) << 0;
    QTest::newRow("a layer labelled engrave") << mm << QByteArray("<g inkscape:label='Engraving'><circle cx='50' cy='50' r='9'/><path d='M20 20 h30'/></g>")
                                              << square << 2;
    QTest::newRow("a blue stroke, inherited") << mm << QByteArray("<g style='stroke:#0000ff'><circle cx='50' cy='50' r='9'/></g><line x1='10' y1='10' x2='20' y2='30' stroke='rgb(0,0,255)'/>")
                                              << square << 2;
    QTest::newRow("an open path keeps its layer: a slit, or blue a line") << mm
        << QByteArray("<polyline points='10,10 40,40 60,20'/><polyline points='10,20 40,50' stroke='#0000ff'/>") << square << 1;
}

void TestImport::everySvgKindAsQtSvgDrawsIt()
{
    QFETCH(QByteArray, root);
    QFETCH(QByteArray, content);
    QFETCH(QSizeF, page);
    QFETCH(int, engraved);
    const QByteArray frame = root.contains("viewBox") ? kFrame.toUtf8() : QByteArray("<rect x='1' y='1' width='98' height='98'/>");
    const QString file = Write(QStringLiteral("kind.svg"), Svg("<g style='fill:none;stroke:#ff0000'>" + frame + content + "</g>", root));
    Import::Imported imported;
    QString error;
    QVERIFY2(Import::ReadFile(file, &imported, &error), qPrintable(error));
    int engravedRead = 0;
    const QList<QPolygonF> ours = InFile(imported, &engravedRead);
    QCOMPARE(engravedRead, engraved);
    CompareDrawn(ours, Rings(SvgDrawn(file, QRectF(QPointF(), page))));
}

// Entities, versions and units the samples leave out, written by ezdxf into
// a frame and drawn by it: seen from below, partial, arrayed, nested, in feet.
void TestImport::everyDxfKindAsEzdxfDrawsIt_data()
{
    QTest::addColumn<QString>("version");
    QTest::addColumn<int>("units");
    QTest::addColumn<double>("mm");
    QTest::addColumn<QString>("code");
    const QString below = QStringLiteral("dxfattribs={'extrusion': (0, 0, -1)}");
    QTest::newRow("ARC and CIRCLE seen from below") << "R2010" << 4 << 1.0
        << "msp.add_arc((-50, 50), 10, 20, 160, " + below + ")\nmsp.add_circle((-30, 60), 6, " + below + ")";
    QTest::newRow("ELLIPSE arc, and one from below") << "R2013" << 4 << 1.0
        << "msp.add_ellipse((50, 30), (20, 5), 0.4, 0.5, 2.5)\nmsp.add_ellipse((50, 70), (15, 8), 0.5, " + below + ")";
    QTest::newRow("LWPOLYLINE from below, bulged") << "R2004" << 4 << 1.0
        << "msp.add_lwpolyline([(-20, 20, 0.5), (-60, 20, 0), (-60, 50, -0.7), (-20, 50, 0)], format='xyb', close=True, " + below + ")";
    QTest::newRow("INSERT in rows and columns, nested, mirrored") << "R2018" << 4 << 1.0
        << "inner = doc.blocks.new('IN')\ninner.add_circle((0, 0), 2)\nouter = doc.blocks.new('OUT', base_point=(1, 1))\n"
           "outer.add_lwpolyline([(0, 0), (8, 0), (8, 6)], close=True)\nouter.add_blockref('IN', (5, 2), dxfattribs={'xscale': 0.5, 'yscale': 0.5})\n"
           "msp.add_blockref('OUT', (10, 10), dxfattribs={'rotation': 15}).grid(size=(3, 4), spacing=(20, 15))\n"
           "msp.add_blockref('OUT', (90, 80), dxfattribs={'xscale': -1.5})";
    QTest::newRow("rational SPLINE, 3-D POLYLINE") << "R2000" << 4 << 1.0
        << "msp.add_rational_spline([(10, 10), (40, 60), (70, 10), (90, 50)], [1, 3, 0.5, 1], degree=2)\n"
           "msp.add_polyline3d([(20, 70, 1), (50, 85, 4), (80, 70, 2)], close=True)";
    QTest::newRow("a block's outline on layer 0 takes its INSERT's layer") << "R2010" << 4 << 1.0
        << "b = doc.blocks.new('B')\nb.add_circle((0, 0), 5)\nmsp.add_blockref('B', (50, 50), dxfattribs={'layer': 'Engrave'})";
    QTest::newRow("feet") << "R2007" << 2 << 304.8 << "msp.add_circle((50, 50), 20)";
    QTest::newRow("centimetres") << "R2010" << 5 << 10.0 << "msp.add_arc((40, 40), 10, 90, 0)";
}

void TestImport::everyDxfKindAsEzdxfDrawsIt()
{
    QFETCH(QString, version);
    QFETCH(int, units);
    QFETCH(double, mm);
    QFETCH(QString, code);
    const QString file = m_dir->filePath(QStringLiteral("kind.dxf")), make = QStringLiteral("doc = ezdxf.new('%1')\ndoc.header['$INSUNITS'] = %2\n"
                                        "msp = doc.modelspace()\nmsp.add_lwpolyline([(0, 0), (100, 0), (100, 100), (0, 100)], close=True)\n"
                                        "%3\ndoc.saveas(sys.argv[1])").arg(version).arg(units).arg(code);
    bool bMade = false;
    const QString said = Ezdxf(make, {file}, &bMade);
    QVERIFY2(bMade, qPrintable(said));
    Import::Imported imported;
    QString error;
    QVERIFY2(Import::ReadFile(file, &imported, &error), qPrintable(error));
    int engraved = 0; // what lies on a layer named for engraving: one outline a row here
    CompareDrawn(InFile(imported, &engraved), Rings(DxfDrawn(file, mm), mm, -1));
    QCOMPARE(engraved, int(code.count("'Engrave'")));
}

void TestImport::badFilesAreRefusedWithTheReason_data()
{
    QTest::addColumn<QByteArray>("bytes"); // or "FIFO", "FOLDER", "1 GB", "MISSING"
    QTest::addColumn<QString>("reason");
    const QByteArray frame = kFrame.toUtf8();
    QByteArray bomb = "<defs><circle id='p0' r='1'/>";
    for (int level = 1; level <= 9; ++level) {
        bomb += "<g id='p" + QByteArray::number(level) + "'>";
        for (int i = 0; i < 10; ++i)
            bomb += "<use href='#p" + QByteArray::number(level - 1) + "'/>";
        bomb += "</g>";
    }
    QTest::newRow("no drawing") << QByteArray("\x89PNG\r\n\x1a\n") << "neither an SVG nor a DXF";
    QTest::newRow("compressed SVG") << QByteArray("\x1f\x8b\x08\x00") << "compressed";
    QTest::newRow("damaged SVG") << Svg(frame).left(120) << "damaged";
    QTest::newRow("XML, not SVG") << QByteArray("<html><body/></html>") << "not an SVG drawing";
    QTest::newRow("text") << Svg(frame + "<text x='10' y='10'>Hi</text>") << "text elements: convert them to paths first";
    QTest::newRow("image") << Svg(frame + "<image href='a.png' width='5' height='5'/>") << "images";
    QTest::newRow("clip") << Svg(frame + "<circle r='5' clip-path='url(#c)'/>") << "clip-path";
    QTest::newRow("use of itself") << Svg(frame + "<g id='a'><use href='#a'/></g>") << "inside itself";
    QTest::newRow("relative length") << Svg(frame + "<rect width='50%' height='5'/>") << "relative units";
    QTest::newRow("path data") << Svg(frame + "<path d='M 10 10 L 20 x'/>") << "path data cannot be read at character 14";
    QTest::newRow("transform") << Svg("<g transform='spin(3)'>" + frame + "</g>") << "transform";
    QTest::newRow("nothing closed") << Svg("<line x1='1' y1='1' x2='9' y2='9'/>") << "nothing in it is closed";
    QTest::newRow("a line on no piece") << Svg(frame + "<line x1='101' y1='1' x2='109' y2='9'/>") << "outside every closed outline, the first at (101.00, 1.00) mm";
    QTest::newRow("larger than any board") << Svg("<circle r='1e8'/>") << "larger than any board";
    QTest::newRow("far from its origin") << Svg("<rect x='1e13' y='5' width='20' height='20'/>") << "it reaches (1e+13, 5) mm, farther from its origin than the 1,000 km";
    QTest::newRow("DXF far from its origin") << Dxf("0\nCIRCLE\n8\n0\n10\n0\n20\n-1e15\n40\n5\n") << "it reaches (5, 1e+15) mm";
    QTest::newRow("a billion points") << Svg(frame + bomb + "</defs><use href='#p9'/>") << "more than 5,000,000 points";
    QTest::newRow("binary DXF") << QByteArray("AutoCAD Binary DXF\r\n\x1a\x00") << "binary DXF";
    QTest::newRow("DXF cut short") << Dxf("0\nCIRCLE\n8\n0\n10\n0\n20\n0\n40\n5\n").chopped(6) << "without EOF";
    QTest::newRow("DXF word for a number") << Dxf("0\nCIRCLE\n8\n0\n10\nten\n20\n0\n40\n5\n") << "line 10 holds \"ten\" where a number belongs";
    QTest::newRow("DXF billion vertices") << Dxf("0\nLWPOLYLINE\n8\n0\n90\n1000000000\n70\n1\n10\n0\n20\n0\n10\n5\n20\n0\n")
                                          << "holds 1000000000 points, not the 2";
    QTest::newRow("DXF text") << Dxf("0\nTEXT\n8\n0\n10\n0\n20\n0\n40\n5\n1\nHi\n") << "TEXT entities: text is not read";
    QTest::newRow("DXF hatch") << Dxf("0\nHATCH\n8\n0\n") << "HATCH entities";
    QTest::newRow("DXF spline of fit points") << Dxf("0\nSPLINE\n8\n0\n71\n3\n72\n0\n73\n0\n74\n2\n11\n0\n21\n0\n11\n5\n21\n5\n")
                                              << "fit points alone";
    QTest::newRow("DXF block in itself") << Dxf("0\nINSERT\n8\n0\n2\nA\n10\n0\n20\n0\n",
                                                "0\nSECTION\n2\nBLOCKS\n0\nBLOCK\n8\n0\n2\nA\n70\n0\n10\n0\n20\n0\n"
                                                "0\nINSERT\n8\n0\n2\nA\n10\n1\n20\n1\n0\nENDBLK\n8\n0\n0\nENDSEC\n")
                                         << "inserted inside itself";
    QTest::newRow("DXF unit") << Dxf("0\nCIRCLE\n8\n0\n10\n0\n20\n0\n40\n5\n", "0\nSECTION\n2\nHEADER\n9\n$INSUNITS\n70\n99\n0\nENDSEC\n")
                              << "$INSUNITS 99";
    QTest::newRow("DXF circle a point") << Dxf("0\nCIRCLE\n8\n0\n10\n5\n20\n5\n40\n0.004\n") << "at (5.00, 5.00) mm is less than 0.01 mm across: a point, nothing to cut";
    QTest::newRow("DXF tilted") << Dxf("0\nCIRCLE\n8\n0\n10\n0\n20\n0\n40\n5\n210\n1\n220\n0\n230\n0\n") << "outside the drawing's plane";
    QTest::newRow("FIFO") << QByteArray("FIFO") << "not a regular file";
    QTest::newRow("folder") << QByteArray("FOLDER") << "a folder";
    QTest::newRow("1 GB") << QByteArray("1 GB") << "1024.0 MiB, more than the 64 MiB";
    QTest::newRow("missing") << QByteArray("MISSING") << "there is no such file";
}

void TestImport::badFilesAreRefusedWithTheReason()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, reason);
    const QString path = m_dir->filePath(QStringLiteral("drawing.svg"));
    if (bytes == "FIFO")
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    else if (bytes == "FOLDER")
        QVERIFY(QDir().mkdir(path));
    else if (bytes == "1 GB")
        QVERIFY(QFile(Write(QStringLiteral("drawing.svg"), Svg(kFrame.toUtf8()))).resize(qint64(1) << 30));
    else if (bytes != "MISSING")
        QVERIFY(!Write(QStringLiteral("drawing.svg"), bytes).isEmpty());
    Import::Imported imported;
    imported.origin = QPointF(-7, -7);
    QString error;
    QVERIFY(!Import::ReadFile(path, &imported, &error));
    QVERIFY2(error.contains(reason), qPrintable(error));
    QCOMPARE(imported.origin, QPointF(-7, -7)); // untouched
    // The host says it too, exits 10 and writes nothing.
    if (QTest::currentDataTag() != QLatin1String("text"))
        return;
    QProcess host;
    host.start(qEnvironmentVariable("KERFMATE_HOST"), {"--import", path, "--out", m_dir->filePath("out.svg")});
    QVERIFY(host.waitForFinished(30000));
    QCOMPARE(host.exitCode(), 10);
    QVERIFY(QString::fromUtf8(host.readAllStandardError()).contains(reason));
    QVERIFY(!QFile::exists(m_dir->filePath("out.svg")));
}

// The engine's parts at the sweep's ends and an imported plate, on one
// sheet, written in every format and read back in the order each file
// draws: engraving first, no outline before one inside it.
void TestImport::everyExportCutsInsideOut_data()
{
    QTest::addColumn<QString>("suffix");
    QTest::addColumn<int>("setting");
    for (const char* suffix : {"svg", "dxf", "pdf"})
        for (const auto& [setting, name] : {std::pair(0, "boxes 10 and 850"), {1, "rounded box"}, {2, "gear pairs"}, {3, "badge, plate"}})
            QTest::newRow(qPrintable(QStringLiteral("%1, %2").arg(QLatin1String(suffix), QLatin1String(name)))) << suffix << setting;
}

void TestImport::everyExportCutsInsideOut()
{
    QFETCH(QString, suffix);
    QFETCH(int, setting);
    QVector<Part> parts;
    if (setting == 0) {
        for (double side : {10.0, 850.0}) {
            SRectBoxParam box;
            box.dWidth = box.dDepth = box.dHeight = side, box.dFluteOfWidth = box.dFluteOfDepth = box.dFluteOfHeight = side / 4;
            parts << Engine([&](CReferenceEngine& e, CShapeList* m, CShapeList* a) { e.CreateRectBox(box, m, a, nullptr); });
        }
    } else if (setting == 1) {
        parts << Engine([](CReferenceEngine& e, CShapeList* m, CShapeList* a) { e.CreateFilletBox(SFilletBoxParam(), m, a); });
    } else if (setting == 2) {
        SGearBoxParam gears;
        gears.dModulus = 2, gears.sGear1 = SGearParam(3, 12), gears.sGear2 = SGearParam(60, 45);
        parts << Engine([&](CReferenceEngine& e, CShapeList* m, CShapeList*) { e.CreateGear(gears, m); })
              << Engine([](CReferenceEngine& e, CShapeList* m, CShapeList*) { e.CreateGear(SGearBoxParam(), m); });
    } else {
        parts << Engine([](CReferenceEngine& e, CShapeList* m, CShapeList*) { e.CreateSeal(SSealBoxParam(), m); });
        Import::Imported plate;
        QVERIFY(Import::ReadFile(kData + QStringLiteral("/inkscape-mm.svg"), &plate, nullptr));
        parts << plate.part;
        QPainterPath u; // open, its ends level: no Z may close it
        u.addPolygon(QPolygonF({{0, 0}, {0, 10}, {10, 10}, {10, 0}}));
        parts << MakePart({{u, CShape::LayerEngrave}}, 5);
    }
    SheetModel model;
    SheetSetup board;
    board.size = QSizeF(4000, 4000); // one sheet takes them all
    model.SetSetup(board);
    for (Part part : parts) {
        part.position = model.FreeSpot(part.Size(), &part.nSheet);
        model.Add(part);
    }
    const QString file = m_dir->filePath("sheet." + suffix);
    QString error;
    QVERIFY2(ExportSheets(model.SheetOutlines(), file, false, nullptr, &error), qPrintable(error));
    const QList<DrawnPath> drawn = suffix == QLatin1String("svg") ? SvgDrawn(file) : suffix == QLatin1String("dxf") ? DxfDrawn(file) : PdfDrawn(file);
    int outlines = 0, closed = 0;
    for (const Outline& outline : model.SheetOutlines().value(0))
        for (const QPolygonF& ring : outline.path.toSubpathPolygons())
            ++outlines, closed += ring.isClosed();
    QCOMPARE(drawn.size(), outlines);
    QCOMPARE(std::count_if(drawn.cbegin(), drawn.cend(), [](const DrawnPath& one) { return one.bClosed; }), closed);
    QVERIFY2(OrderBroken(drawn).isEmpty(), qPrintable(OrderBroken(drawn)));
}

// A box and an imported plate with holes nested onto one board by the host:
// every file keeps every one of the plate's outlines, in cut order.
void TestImport::aBoxAndAPlateNestOnOneBoard()
{
    const QString plate = kData + QStringLiteral("/inkscape-mm.svg");
    QProcess host;
    host.setWorkingDirectory(m_dir->path());
    host.start(qEnvironmentVariable("KERFMATE_HOST"), {"--generator", "0", "--accept", "--import", plate, "--nest", "--nest-rounds", "2", "--out",
                                                       "n.svg", "--out", "n.dxf", "--out", "n.pdf", "--save", "n.kerfmate"});
    QVERIFY(host.waitForFinished(120000));
    QVERIFY2(host.exitCode() == 0, host.readAllStandardError().constData());
    Import::Imported imported;
    QVERIFY(Import::ReadFile(plate, &imported, nullptr));
    // Each outline by its length, which no turn or move changes.
    const auto lengths = [](const QList<QPolygonF>& rings, double scale) {
        QList<double> out;
        for (const QPolygonF& ring : rings) {
            double length = 0;
            for (int i = 0; i + 1 < ring.size(); ++i)
                length += QLineF(ring[i], ring[i + 1]).length() * scale;
            out << std::round(length * 10) / 10;
        }
        return out;
    };
    const QList<double> wanted = lengths(InFile(imported), 1);
    for (const QString file : {"n.svg", "n.dxf", "n.pdf"}) {
        const QString path = m_dir->filePath(file);
        const QList<DrawnPath> drawn = file.endsWith("svg") ? SvgDrawn(path) : file.endsWith("dxf") ? DxfDrawn(path) : PdfDrawn(path);
        QList<double> found = lengths(Rings(drawn), file.endsWith("pdf") ? 25.4 / 72 : 1);
        for (double length : wanted) {
            const auto at = std::find_if(found.begin(), found.end(), [&](double l) { return std::abs(l - length) <= 0.15; });
            QVERIFY2(at != found.end(), qPrintable(QStringLiteral("%1: no outline %2 mm long").arg(file).arg(length)));
            found.erase(at);
        }
        QVERIFY(found.size() > 5); // the box's panels besides
        QVERIFY2(OrderBroken(drawn).isEmpty(), qPrintable(file + ": " + OrderBroken(drawn)));
    }
}

// File > Import outlines... in the window's words, one undo step.
void TestImport::theWindowImportsInOneUndoStep()
{
    const TempConfig config;
    ModuleHost module;
    HostEngine engine;
    MainWindow window(module, engine, QStringLiteral("de"), QString());
    QCOMPARE(window.findChild<QAction*>(QStringLiteral("actionImport"))->text(), QStringLiteral("Umrisse importieren..."));
    QVERIFY(window.ImportFrom(kData + QStringLiteral("/ezdxf-r2000-inch.dxf")));
    QCOMPARE(window.Model().Parts().value(0).strName, QStringLiteral("ezdxf-r2000-inch"));
    QCOMPARE(window.Model().Parts().value(0).pieces.size(), 4);
    window.UndoStack().undo();
    QVERIFY(window.Model().IsEmpty());
}

QTEST_MAIN(TestImport)
#include "tst_import.moc"
