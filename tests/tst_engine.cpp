// The reference geometry engine, judged by the outlines it hands back:
// sizes, joints that interlock, kerf, gear form and mesh, seal layout, and
// what happens to records no dialog would send.
#include "TestSupport.h"

#include "CShape.h"
#include "CShapeList.h"
#include "ReferenceEngine.h"

#include <QElapsedTimer>
#include <QtMath>
#include <QtTest>
#include <cmath>
#include <functional>

Q_DECLARE_METATYPE(SRectBoxParam)
Q_DECLARE_METATYPE(SFilletBoxParam)
Q_DECLARE_METATYPE(SGearBoxParam)
Q_DECLARE_METATYPE(SSealBoxParam)

namespace {

// Both lists of one build, disposed of as the host does.
struct Output
{
    CShapeList* pMain = CShapeList::New();
    CShapeList* pAux = CShapeList::New();

    Output() = default;
    Output(const Output&) = delete;
    Output& operator=(const Output&) = delete;
    ~Output()
    {
        for (CShapeList* list : {pMain, pAux}) {
            list->DeleteAll();
            CShapeList::Release(list);
        }
    }
    CShape* Main(int i) const { return pMain->GetShape(uint(i)); }
    int MainCount() const { return int(pMain->GetCount()); }
    int AuxCount() const { return int(pAux->GetCount()); }
};

QPainterPath PathOf(CShape* shape) { return *shape->GetPath(false); }
QRectF Bounds(const Output& out, int i) { return PathOf(out.Main(i)).boundingRect(); }

QPolygonF OutlineOf(CShape* shape)
{
    const QList<QPolygonF> polygons = PathOf(shape).toSubpathPolygons();
    return polygons.isEmpty() ? QPolygonF() : polygons.first();
}

double Area(const QPolygonF& polygon)
{
    double twice = 0.0;
    for (int i = 0; i < polygon.size(); ++i)
        twice += polygon[i].x() * polygon[(i + 1) % polygon.size()].y()
                 - polygon[(i + 1) % polygon.size()].x() * polygon[i].y();
    return std::abs(twice) / 2.0;
}

double Perimeter(const QPolygonF& polygon)
{
    double sum = 0.0;
    for (int i = 0; i < polygon.size(); ++i)
        sum += QLineF(polygon[i], polygon[(i + 1) % polygon.size()]).length();
    return sum;
}

#define QVERIFY_NEAR(actual, expected, tolerance)                                                               \
    QVERIFY2(std::abs((actual) - (expected)) <= (tolerance),                                                    \
             qPrintable(QStringLiteral("%1 = %2, expected %3").arg(#actual).arg(actual, 0, 'g', 10)              \
                            .arg(expected, 0, 'g', 10)))

// Material along a line through a part: sampled at an odd count of points
// in the middle of equal steps, which never fall on a finger boundary.
QVector<bool> Sample(const QPainterPath& part, QPointF from, QPointF to, int samples = 1001)
{
    QVector<bool> inside;
    for (int i = 0; i < samples; ++i)
        inside.append(part.contains(from + (to - from) * ((i + 0.5) / samples)));
    return inside;
}

int Transitions(const QVector<bool>& values)
{
    int count = 0;
    for (int i = 1; i < values.size(); ++i)
        count += values[i] != values[i - 1];
    return count;
}

// A copy of value with one change made.
template <typename T, typename Change>
T With(T value, Change change)
{
    change(value);
    return value;
}

SRectBoxParam RectBox(double length, double width, double height, double thickness, double kerf)
{
    SRectBoxParam box;
    box.dWidth = length;
    box.dDepth = width;
    box.dHeight = height;
    box.dThickness = thickness;
    box.dLaserWidth = kerf;
    box.dFluteOfWidth = length / 6.0;
    box.dFluteOfHeight = width / 6.0;
    box.dFluteOfDepth = height / 6.0;
    return box;
}

SFaceLabels Labels(const QStringList& names)
{
    SFaceLabels labels;
    char* fields[] = {labels.szFront, labels.szBehind, labels.szLeft, labels.szRight, labels.szTop, labels.szBottom};
    for (int i = 0; i < 6; ++i)
        qstrncpy(fields[i], names.value(i).toUtf8().constData(), sizeof labels.szFront);
    return labels;
}

// A panel's own frame: its bounding box less half the kerf on every side.
QPointF PanelOrigin(CShape* panel, double kerf)
{
    return PathOf(panel).boundingRect().topLeft() + QPointF(kerf / 2.0, kerf / 2.0);
}

QPair<double, double> RadiusRange(const QPolygonF& outline, const QPointF& centre)
{
    double low = qInf(), high = 0.0;
    for (const QPointF& p : outline) {
        low = std::min(low, QLineF(centre, p).length());
        high = std::max(high, QLineF(centre, p).length());
    }
    return {low, high};
}

void SetText(SSealTextParam& text, const QString& value, const char* family = "DejaVu Sans")
{
    qstrncpy(text.Text, value.toUtf8().constData(), sizeof text.Text);
    qstrncpy(text.Facename, family, sizeof text.Facename);
}

enum Panel { Front, Behind, Left, Right, Top, Bottom };

} // namespace

class TestEngine : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void rectPanels_data();
    void rectPanels();
    void rectMatingEdgesInterlock_data();
    void rectMatingEdgesInterlock();

    void filletParts_data();
    void filletParts();

    void gearForm_data();
    void gearForm();

    void seal_data();
    void seal();

    void badRecords_data();
    void badRecords();

private:
    CReferenceEngine m_engine;
    long m_shapesBefore = 0;
    long m_listsBefore = 0;
};

void TestEngine::init()
{
    m_shapesBefore = CShape::LiveCount();
    m_listsBefore = CShapeList::LiveCount();
}

void TestEngine::cleanup()
{
    QCOMPARE(CShape::LiveCount(), m_shapesBefore);
    QCOMPARE(CShapeList::LiveCount(), m_listsBefore);
}

// --- right-angle box

void TestEngine::rectPanels_data()
{
    QTest::addColumn<SRectBoxParam>("box");
    QTest::addColumn<bool>("labelled");
    QTest::addColumn<int>("panels");
    QTest::addColumn<double>("length"); // outside
    QTest::addColumn<double>("width");
    QTest::addColumn<double>("height");

    const SRectBoxParam box = RectBox(80, 60, 40, 3, 0.2);
    QTest::newRow("closed") << box << true << 6 << 80.0 << 60.0 << 40.0;
    QTest::newRow("no top") << With(box, [](auto& b) { b.bNoTop = true; }) << true << 5 << 80.0 << 60.0 << 40.0;
    QTest::newRow("no bottom") << With(box, [](auto& b) { b.bNoBottom = true; }) << true << 5 << 80.0 << 60.0 << 40.0;
    QTest::newRow("open tube") << With(box, [](auto& b) { b.bNoTop = b.bNoBottom = true; }) << true << 4 << 80.0
                               << 60.0 << 40.0;
    QTest::newRow("inside measures add two boards, no labels")
        << With(box, [](auto& b) { b.bInSize = true; }) << false << 6 << 86.0 << 66.0 << 46.0;
    QTest::newRow("kerf 2.5 on a 3 mm board") << With(box, [](auto& b) { b.dLaserWidth = 2.5; }) << true << 6 << 80.0
                                              << 60.0 << 40.0;
}

void TestEngine::rectPanels()
{
    QFETCH(SRectBoxParam, box);
    QFETCH(bool, labelled);
    QFETCH(int, panels);
    QFETCH(double, length);
    QFETCH(double, width);
    QFETCH(double, height);

    const QStringList names{"Front", "Behind", "左", "Right side", "Top", QString(70, QLatin1Char('x'))};
    SFaceLabels labels = Labels(names);
    Output out;
    QVERIFY(m_engine.CreateRectBox(box, out.pMain, out.pAux, labelled ? &labels : nullptr));
    QCOMPARE(out.MainCount(), panels);
    QCOMPARE(out.AuxCount(), labelled ? panels : 0);
    const double kerf = box.dLaserWidth, d = kerf / 2.0;
    Output plain;
    QVERIFY(m_engine.CreateRectBox(With(box, [](auto& b) { b.dLaserWidth = 0; }), plain.pMain, plain.pAux, nullptr));
    for (int i = 0; i < panels; ++i) {
        const Panel face = i < Top ? Panel(i) : box.bNoTop ? Bottom : Panel(i);
        CShape* panel = out.Main(i);
        QCOMPARE(panel->GetLayer(), int(CShape::LayerCut));
        const QList<QPolygonF> outlines = PathOf(panel).toSubpathPolygons();
        QCOMPARE(outlines.size(), 1);
        QVERIFY(outlines.first().isClosed());
        // The kerf moves every edge out by half its width: a right-angled outline
        // gains perimeter * d plus four d x d corners.
        const QPolygonF before = OutlineOf(plain.Main(i));
        QCOMPARE(outlines.first().size(), before.size());
        QVERIFY_NEAR(Area(outlines.first()), Area(before) + Perimeter(before) * d + 4 * d * d, 1e-6);
        const QSizeF size = face <= Behind ? QSizeF(length, height)
                            : face <= Right ? QSizeF(width, height)
                                            : QSizeF(length, width);
        const QRectF bounds = Bounds(out, i);
        QVERIFY_NEAR(bounds.width(), size.width() + kerf, 1e-6);
        QVERIFY_NEAR(bounds.height(), size.height() + kerf, 1e-6);
        // Laid out flat: no two panels share any area.
        for (int j = 0; j < i; ++j)
            QVERIFY(!bounds.intersects(Bounds(out, j)));
        if (!labelled)
            continue;
        auto* label = dynamic_cast<CShapeText*>(out.pAux->GetShape(uint(i)));
        QVERIFY(label);
        QCOMPARE(label->GetLayer(), int(CShape::LayerEngrave));
        QCOMPARE(label->GetText(), names[face].left(63));
        const QRectF text = PathOf(label).boundingRect();
        QVERIFY(!text.isEmpty() && bounds.contains(text));
        QVERIFY_NEAR(text.center().x(), bounds.center().x(), 1e-6);
        QVERIFY_NEAR(text.center().y(), bounds.center().y(), 1e-6);
    }
    // A wall edge without its cover is straight; with it, fingered.
    const double t = box.dThickness, mid = t / 2.0;
    for (Panel wall : {Front, Behind, Left, Right}) {
        const double across = wall <= Behind ? length : width;
        const QPointF o = PanelOrigin(out.Main(wall), kerf);
        const QPainterPath path = PathOf(out.Main(wall));
        const QVector<bool> top = Sample(path, o + QPointF(t, mid), o + QPointF(across - t, mid));
        const QVector<bool> bottom = Sample(path, o + QPointF(t, height - mid), o + QPointF(across - t, height - mid));
        QCOMPARE(Transitions(top) == 0 && top.first(), bool(box.bNoTop));
        QCOMPARE(Transitions(bottom) == 0 && bottom.first(), bool(box.bNoBottom));
    }
}

void TestEngine::rectMatingEdgesInterlock_data()
{
    QTest::addColumn<SRectBoxParam>("box");
    QTest::addColumn<double>("fingerAlongLength");
    QTest::addColumn<double>("fingerAlongWidth");
    QTest::addColumn<double>("fingerAlongHeight");

    SRectBoxParam box = RectBox(100, 70, 50, 3, 0);
    box.dFluteOfWidth = 25;
    box.dFluteOfHeight = 5;
    box.dFluteOfDepth = 12.5;
    QTest::newRow("grooves differ per direction") << box << 25.0 << 5.0 << 12.5;
    box = With(SRectBoxParam(), [](auto& b) { b.dLaserWidth = 0; });
    QTest::newRow("defaults") << box << 12.5 << 12.5 << 12.5;
    box.dFluteOfWidth = 80;
    QTest::newRow("groove longer than the side") << box << 44.0 / 3.0 << 12.5 << 12.5;
}

void TestEngine::rectMatingEdgesInterlock()
{
    QFETCH(SRectBoxParam, box);
    QFETCH(double, fingerAlongLength);
    QFETCH(double, fingerAlongWidth);
    QFETCH(double, fingerAlongHeight);
    Output out;
    QVERIFY(m_engine.CreateRectBox(box, out.pMain, out.pAux, nullptr));
    const double L = box.dWidth, W = box.dDepth, H = box.dHeight, t = box.dThickness, mid = t / 2.0;
    auto band = [&](Panel panel, QPointF from, QPointF to) {
        const QPointF origin = PanelOrigin(out.Main(panel), 0.0);
        return Sample(PathOf(out.Main(panel)), origin + from, origin + to);
    };
    struct Joint
    {
        const char* name;
        QVector<bool> one;
        QVector<bool> other;
    };
    const Joint joints[] = {
        {"front/bottom", band(Front, {t, H - mid}, {L - t, H - mid}), band(Bottom, {t, mid}, {L - t, mid})},
        {"front/left", band(Front, {mid, t}, {mid, H - t}), band(Left, {W - mid, t}, {W - mid, H - t})},
        {"top/left", band(Top, {mid, t}, {mid, W - t}), band(Left, {t, mid}, {W - t, mid})},
        {"behind/top", band(Behind, {t, mid}, {L - t, mid}), band(Top, {t, W - mid}, {L - t, W - mid})},
        {"bottom/right", band(Bottom, {L - mid, t}, {L - mid, W - t}), band(Right, {t, H - mid}, {W - t, H - mid})},
    };
    for (const Joint& joint : joints) {
        for (int i = 0; i < joint.one.size(); ++i)
            QVERIFY2(joint.one[i] != joint.other[i], joint.name);
        const int fingers = Transitions(joint.one) + 1;
        QVERIFY2(fingers >= 3 && fingers % 2 == 1, joint.name);
    }
    // Fingers come out close to the groove size asked for.
    const double sides[] = {L - 2 * t, H - 2 * t, W - 2 * t};
    const double wanted[] = {fingerAlongLength, fingerAlongHeight, fingerAlongWidth};
    for (int i = 0; i < 3; ++i) {
        const double finger = sides[i] / (Transitions(joints[i].one) + 1);
        QVERIFY2(finger > wanted[i] * 0.7 && finger < wanted[i] * 1.4, qPrintable(QString::number(finger)));
    }
    // The corners belong to front and behind only.
    const QPointF corner(mid, mid);
    QVERIFY(PathOf(out.Main(Front)).contains(PanelOrigin(out.Main(Front), 0) + corner));
    for (Panel panel : {Left, Top, Bottom})
        QVERIFY(!PathOf(out.Main(panel)).contains(PanelOrigin(out.Main(panel), 0) + corner));
}

// --- rounded box

namespace {
SFilletBoxParam FilletBox(double length, double width, double height, double radius, double kerf)
{
    SFilletBoxParam box;
    box.dWidth = length;
    box.dDepth = width;
    box.dHeight = height;
    box.sCorner.dRadius = radius;
    box.dLaserWidth = kerf;
    box.dFluteOfHeight = 10;
    box.dFluteOfWidth = 6;
    return box;
}
} // namespace

void TestEngine::filletParts_data()
{
    QTest::addColumn<SFilletBoxParam>("box");
    QTest::addColumn<int>("covers");

    const SFilletBoxParam box = FilletBox(120, 80, 60, 15, 0.4);
    QTest::newRow("closed with kerf") << box << 2;
    QTest::newRow("no top") << With(box, [](auto& b) { b.bNoTop = true; }) << 1;
    QTest::newRow("tube") << With(box, [](auto& b) { b.bNoTop = b.bNoBottom = true; }) << 0;
    // Without kerf, so that mating edges can be compared sample by sample.
    const SFilletBoxParam exact = FilletBox(110, 70, 40, 12, 0.0);
    QTest::newRow("all sides") << exact << 2;
    QTest::newRow("plain third side") << With(exact, [](auto& b) { b.bNoFlute3Edge = true; }) << 2;
    QTest::newRow("inside measures") << With(exact, [](auto& b) { b.bInSize = true; }) << 2;
    const auto hinge = [](double xSpace, double ySpace, int yCount) {
        return With(FilletBox(100, 80, 50, 20, 0.0), [=](auto& b) {
            b.sCorner.dXSpace = xSpace;
            b.sCorner.dYSpace = ySpace;
            b.sCorner.nYCount = yCount;
        });
    };
    QTest::newRow("hinge preset 25~50") << hinge(0.8, 2.0, 1) << 2;
    QTest::newRow("hinge preset 100~200") << hinge(1.5, 2.0, 3) << 2;
    QTest::newRow("hinge with wide columns") << hinge(4.0, 5.0, 4) << 2;
}

void TestEngine::filletParts()
{
    QFETCH(SFilletBoxParam, box);
    QFETCH(int, covers);
    Output out;
    QVERIFY(m_engine.CreateFilletBox(box, out.pMain, out.pAux));
    const int bendZones = 4;
    QCOMPARE(out.MainCount(), covers + 1 + bendZones);
    QCOMPARE(out.AuxCount(), bendZones);
    const double kerf = box.dLaserWidth, t = box.dThickness, r = box.sCorner.dRadius, mid = t / 2;
    const double grow = box.bInSize ? 2 * t : 0;
    const double L = box.dWidth + grow, W = box.dDepth + grow, H = box.dHeight + grow;
    for (int i = 0; i < covers; ++i) {
        // Tabs reach through the wall; a plain back side has none.
        QVERIFY_NEAR(Bounds(out, i).width(), L + kerf, 1e-6);
        QVERIFY_NEAR(Bounds(out, i).height(), W - (box.bNoFlute3Edge ? t : 0) + kerf, 1e-6);
        // A cover's rounded corner keeps clear of the wall: one board in from the outside.
        const QPointF cornerCentre = PanelOrigin(out.Main(i), kerf) + QPointF(r, r);
        const QPointF diagonal(-M_SQRT1_2, -M_SQRT1_2);
        QVERIFY(PathOf(out.Main(i)).contains(cornerCentre + (r - t - 0.05) * diagonal));
        QVERIFY(!PathOf(out.Main(i)).contains(cornerCentre + (r - t + kerf / 2 + 0.05) * diagonal));
    }
    // One strip as long as the neutral line round the covers.
    CShape* strip = out.Main(covers);
    QCOMPARE(PathOf(strip).toSubpathPolygons().size(), 1);
    const double bend = M_PI_2 * (r - t / 2);
    QVERIFY_NEAR(Bounds(out, covers).width(), 2 * (L - 2 * r) + 2 * (W - 2 * r) + 4 * bend + kerf, 1e-6);
    QVERIFY_NEAR(Bounds(out, covers).height(), H + kerf, 1e-6);

    // Each bend zone's hinge: cut slits across the zone, dXSpace apart, clear
    // of the strip's edges by dYSpace.
    const QPointF s = PanelOrigin(strip, kerf);
    const double straight[] = {L - 2 * r, W - 2 * r, L - 2 * r, W - 2 * r};
    double zoneStart = 0;
    for (int zone = 0; zone < bendZones; ++zone) {
        zoneStart += straight[zone];
        CShape* slits = out.Main(covers + 1 + zone);
        QCOMPARE(slits->GetLayer(), int(CShape::LayerCut));
        QMap<double, QVector<QLineF>> columns;
        for (const QPolygonF& line : PathOf(slits).toSubpathPolygons()) {
            QCOMPARE(line.size(), 2);
            const QPointF a = line[0] - s, b = line[1] - s;
            QVERIFY_NEAR(a.x(), b.x(), 1e-9);
            QVERIFY(a.x() > zoneStart && a.x() < zoneStart + bend);
            QVERIFY(std::min(a.y(), b.y()) >= box.sCorner.dYSpace - 1e-9
                    && std::max(a.y(), b.y()) <= H - box.sCorner.dYSpace + 1e-9);
            columns[std::round(a.x() * 1e6) / 1e6].append(QLineF(a, b));
        }
        const QList<double> xs = columns.keys();
        QCOMPARE(xs.size(), int(bend / box.sCorner.dXSpace));
        for (int i = 1; i < xs.size(); ++i)
            QVERIFY_NEAR(xs[i] - xs[i - 1], box.sCorner.dXSpace, 1e-6);
        // Whole columns hold nYCount slits; the columns between them bridge those slits' middles.
        for (int i = 0; i < xs.size(); ++i) {
            if (i % 2 == 0) {
                QCOMPARE(columns[xs[i]].size(), box.sCorner.nYCount);
                continue;
            }
            for (const QLineF& slit : columns[xs[0]]) {
                const double middle = (slit.y1() + slit.y2()) / 2;
                for (const QLineF& shifted : columns[xs[i]])
                    QVERIFY(middle < std::min(shifted.y1(), shifted.y2())
                            || middle > std::max(shifted.y1(), shifted.y2()));
            }
        }
        zoneStart += bend;
    }
    if (kerf > 0 || covers == 0)
        return;

    // Tabs fill the strip's slots. Sides in strip order: front (top edge of the cover), right, back, left.
    const QPointF c = PanelOrigin(out.Main(0), 0);
    struct Side
    {
        QPointF from, to;
        double stripStart, length;
    };
    const Side sides[] = {
        {{r, mid}, {L - r, mid}, 0, L - 2 * r},
        {{L - mid, r}, {L - mid, W - r}, L - 2 * r + bend, W - 2 * r},
        {{L - r, W - mid}, {r, W - mid}, L - 2 * r + W - 2 * r + 2 * bend, L - 2 * r},
        {{mid, W - r}, {mid, r}, 2 * (L - 2 * r) + W - 2 * r + 3 * bend, W - 2 * r},
    };
    for (int k = 0; k < 4; ++k) {
        const QVector<bool> tabs = Sample(PathOf(out.Main(0)), c + sides[k].from, c + sides[k].to);
        for (double y : {mid, H - mid}) {
            const QPointF along = s + QPointF(sides[k].stripStart, y);
            const QPointF end = along + QPointF(sides[k].length, 0);
            const QVector<bool> wall = Sample(PathOf(strip), along, end);
            for (int i = 0; i < tabs.size(); ++i)
                QVERIFY2(tabs[i] != wall[i], qPrintable(QStringLiteral("side %1 sample %2").arg(k).arg(i)));
            // The strip stays whole over the bend that follows.
            QCOMPARE(Transitions(Sample(PathOf(strip), end, end + QPointF(bend, 0))), 0);
        }
        const bool plain = box.bNoFlute3Edge && k == 2;
        QCOMPARE(Transitions(tabs) == 0, plain);
        QVERIFY(plain || Transitions(tabs) >= 2);
    }
}

// --- gears

void TestEngine::gearForm_data()
{
    QTest::addColumn<SGearBoxParam>("param");
    const auto pair = [](double module, int teeth1, int teeth2, double bore1, double bore2) {
        SGearBoxParam param;
        param.dModulus = module;
        param.sGear1 = SGearParam(bore1, teeth1);
        param.sGear2 = SGearParam(bore2, teeth2);
        return param;
    };
    QTest::newRow("defaults") << SGearBoxParam();
    QTest::newRow("equal pair") << pair(2.0, 20, 20, 8.0, 8.0);
    QTest::newRow("large ratio") << pair(3.0, 8, 60, 2.0, 30.0);
    QTest::newRow("many teeth, no bore") << pair(0.5, 150, 41, 0.0, 5.0);
}

void TestEngine::gearForm()
{
    QFETCH(SGearBoxParam, param);
    Output out;
    QVERIFY(m_engine.CreateGear(param, out.pMain));
    const double module = param.dModulus;
    const int teeth[] = {param.sGear1.nGCount, param.sGear2.nGCount};
    const double bores[] = {param.sGear1.dCDiameter, param.sGear2.dCDiameter};
    QCOMPARE(out.MainCount(), 2 + (bores[0] > 0) + (bores[1] > 0));
    const QPointF centres[] = {QPointF(0, 0), QPointF(module * (teeth[0] + teeth[1]) / 2.0, 0)};
    int index = 0;
    QPainterPath gears[2];
    for (int g = 0; g < 2; ++g) {
        CShape* outline = out.Main(index++);
        QCOMPARE(outline->GetLayer(), int(CShape::LayerCut));
        gears[g] = PathOf(outline);
        const QPolygonF polygon = OutlineOf(outline);
        const double pitch = module * teeth[g] / 2.0;
        // Teeth: lobes that reach out past the pitch circle.
        int lobes = 0;
        for (int i = 0; i < polygon.size(); ++i)
            lobes += QLineF(centres[g], polygon[i]).length() > pitch
                     && QLineF(centres[g], polygon[(i + polygon.size() - 1) % polygon.size()]).length() <= pitch;
        QCOMPARE(lobes, teeth[g]);
        const auto range = RadiusRange(polygon, centres[g]);
        QVERIFY_NEAR(range.second, module * (teeth[g] + 2) / 2.0, 1e-9);
        QVERIFY_NEAR(range.first, module * (teeth[g] - 2.5) / 2.0, 1e-9);
        // On the pitch circle tooth and space are equally wide.
        int solid = 0;
        const int samples = 36000;
        for (int i = 0; i < samples; ++i) {
            const double a = 2 * M_PI * (i + 0.5) / samples;
            solid += gears[g].contains(centres[g] + pitch * QPointF(std::cos(a), std::sin(a)));
        }
        QVERIFY_NEAR(double(solid) / samples, 0.5, 0.01);
        if (bores[g] > 0) {
            const QRectF bore = Bounds(out, index++);
            QVERIFY_NEAR(bore.center().x(), centres[g].x(), 1e-9);
            QVERIFY_NEAR(bore.center().y(), centres[g].y(), 1e-9);
            QVERIFY_NEAR(bore.width(), bores[g], 1e-9);
        }
    }
    // Meshing: at the centre distance the teeth fill each other's spaces without overlapping.
    double overlap = 0.0;
    for (const QPolygonF& polygon : gears[0].intersected(gears[1]).toFillPolygons())
        overlap += Area(polygon);
    QVERIFY2(overlap < 0.005 * module * module, qPrintable(QString::number(overlap)));
    const QPointF contact(module * teeth[0] / 2.0, 0);
    QVERIFY(gears[0].contains(contact - QPointF(0.1 * module, 0)));
    QVERIFY(!gears[1].contains(contact - QPointF(0.1 * module, 0)));
}

// --- badge and seal

namespace {
SSealBoxParam Seal()
{
    SSealBoxParam seal;
    SetText(seal.sText1, "COMPETITION");
    SetText(seal.sText2, "First Prize");
    SetText(seal.sText3, "L");
    return seal;
}
} // namespace

void TestEngine::seal_data()
{
    QTest::addColumn<SSealBoxParam>("seal");
    const auto texts = [](const QString& text1, const QString& text2, const char* family) {
        return With(Seal(), [&](auto& s) {
            SetText(s.sText1, text1, family);
            SetText(s.sText2, text2, family);
        });
    };
    QTest::newRow("latin") << texts("COMPETITION", "First Prize", "DejaVu Serif");
    QTest::newRow("chinese in a missing family") << texts("上海市第一中学", "一等奖", "宋体");
    QTest::newRow("chinese in a latin family") << texts("中文", "Mixed 中文", "DejaVu Sans");
    QTest::newRow("combining marks") << texts("Ame\u0301lie", "Zoe\u0308", "");
    QTest::newRow("no star") << With(Seal(), [](auto& s) { s.bStar = false; });
    QTest::newRow("star of size 0") << With(Seal(), [](auto& s) { s.D1 = 80; s.D2 = 30; s.dStarSize = 0; });
    QTest::newRow("single ring") << With(Seal(), [](auto& s) { s.D1 = s.D2 = 100; s.dStarSize = 25; });
}

void TestEngine::seal()
{
    QFETCH(SSealBoxParam, seal);
    Output out;
    QVERIFY(m_engine.CreateSeal(seal, out.pMain));
    const bool starDrawn = seal.bStar && seal.dStarSize > 0;
    const int firstText = 2 + starDrawn, middle = firstText + 2;
    QCOMPARE(out.MainCount(), firstText + 3);
    for (int i = 0; i < 2; ++i) {
        // The rim is cut, the inner circle engraved: the badge stays whole.
        QCOMPARE(out.Main(i)->GetLayer(), int(i == 0 ? CShape::LayerCut : CShape::LayerEngrave));
        const QRectF circle = Bounds(out, i);
        const double diameter = i == 0 ? seal.D1 : seal.D2;
        QVERIFY_NEAR(circle.width(), diameter, 1e-9);
        QVERIFY_NEAR(circle.height(), diameter, 1e-9);
        QVERIFY_NEAR(circle.center().x(), 0.0, 1e-9);
    }
    for (int i = 2; i < out.MainCount(); ++i)
        QCOMPARE(out.Main(i)->GetLayer(), int(CShape::LayerEngrave));
    if (starDrawn) {
        const QPolygonF points = OutlineOf(out.Main(2));
        QCOMPARE(points.size() - points.isClosed(), 10);
        QVERIFY_NEAR(Bounds(out, 2).top(), -seal.dStarSize / 2, 1e-9);
        QVERIFY(PathOf(out.Main(2)).contains(QPointF(0, 0)));
        // The middle line sits under the star.
        QVERIFY(Bounds(out, middle).top() > Bounds(out, 2).bottom());
    }
    QVERIFY_NEAR(Bounds(out, middle).center().x(), 0.0, 1.0);

    const double rim = seal.D1 / 2;
    const SSealTextParam* lines[] = {&seal.sText1, &seal.sText2};
    for (int line = 0; line < 2; ++line) {
        const QPainterPath text = PathOf(out.Main(firstText + line));
        QVERIFY(text.elementCount() > 20);
        QVERIFY(text.toSubpathPolygons().size() >= 2);
        QVERIFY_NEAR(text.boundingRect().center().x(), 0.0, seal.D1 / 10);
        // Along the rim, upper line above the centre, lower below.
        const double inner = rim - lines[line]->dOffset - 1.5 * lines[line]->dHeight;
        for (const QPolygonF& contour : text.toSubpathPolygons())
            for (const QPointF& p : contour) {
                const double r = std::hypot(p.x(), p.y());
                QVERIFY2(r > inner && r < rim, qPrintable(QString::number(r)));
                QVERIFY(line == 0 ? p.y() < 0 : p.y() > 0);
            }
    }
    // The upper line's tallest glyph reaches up to dOffset under the rim; the
    // lower line's baseline lies there and its tallest glyph reaches dHeight in.
    const auto upper = RadiusRange(PathOf(out.Main(firstText)).toFillPolygon(), QPointF());
    QVERIFY_NEAR(upper.second, rim - seal.sText1.dOffset, 0.1 * seal.sText1.dHeight);
    const auto lower = RadiusRange(PathOf(out.Main(firstText + 1)).toFillPolygon(), QPointF());
    QVERIFY_NEAR(lower.first, rim - seal.sText2.dOffset - seal.sText2.dHeight, 0.1 * seal.sText2.dHeight);

    // A stamp is the badge mirrored left to right.
    seal.bTextReverse = true;
    Output stamp;
    QVERIFY(m_engine.CreateSeal(seal, stamp.pMain));
    QCOMPARE(stamp.MainCount(), out.MainCount());
    for (int i = 0; i < out.MainCount(); ++i) {
        const QRectF b = Bounds(out, i), s = Bounds(stamp, i);
        QVERIFY_NEAR(s.left(), -b.right(), 1e-6);
        QVERIFY_NEAR(s.right(), -b.left(), 1e-6);
        QVERIFY_NEAR(s.top(), b.top(), 1e-6);
        QCOMPARE(PathOf(stamp.Main(i)).elementCount(), PathOf(out.Main(i)).elementCount());
    }
    // The middle line's L has its stem on the left in the badge, on the right in the stamp.
    const QRectF letter = Bounds(out, middle);
    const QPointF stem(letter.left() + letter.width() * 0.1, letter.center().y() - letter.height() * 0.25);
    QVERIFY(PathOf(out.Main(middle)).contains(stem));
    QVERIFY(!PathOf(stamp.Main(middle)).contains(stem));
    QVERIFY(PathOf(stamp.Main(middle)).contains(QTransform::fromScale(-1, 1).map(stem)));
}

// --- records no dialog would send

namespace {
using Build = std::function<bool(CReferenceEngine&, Output&)>;

bool Create(CReferenceEngine& engine, const SRectBoxParam& box, Output& out)
{
    SFaceLabels labels = Labels({"a", "b", "c", "d", "e", "f"});
    return engine.CreateRectBox(box, out.pMain, out.pAux, &labels);
}
bool Create(CReferenceEngine& engine, const SFilletBoxParam& box, Output& out)
{
    return engine.CreateFilletBox(box, out.pMain, out.pAux);
}
bool Create(CReferenceEngine& engine, const SGearBoxParam& gear, Output& out)
{
    return engine.CreateGear(gear, out.pMain);
}
bool Create(CReferenceEngine& engine, const SSealBoxParam& seal, Output& out)
{
    return engine.CreateSeal(seal, out.pMain);
}

// A build of the default record with one change.
template <typename T>
Build Changed(const std::function<void(T&)>& change)
{
    return [change](CReferenceEngine& engine, Output& out) { return Create(engine, With(T(), change), out); };
}
const auto RectWith = Changed<SRectBoxParam>;
const auto FilletWith = Changed<SFilletBoxParam>;
const auto GearWith = Changed<SGearBoxParam>;
const auto SealWith = Changed<SSealBoxParam>;

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();
} // namespace

Q_DECLARE_METATYPE(Build)

void TestEngine::badRecords_data()
{
    QTest::addColumn<Build>("build");
    QTest::addColumn<bool>("rejected"); // false: a sane result is fine too

    QTest::newRow("rect NaN length") << RectWith([](auto& b) { b.dWidth = kNaN; }) << true;
    QTest::newRow("rect huge height") << RectWith([](auto& b) { b.dHeight = 1e300; }) << true;
    QTest::newRow("rect negative width") << RectWith([](auto& b) { b.dDepth = -50; }) << true;
    QTest::newRow("rect zero thickness") << RectWith([](auto& b) { b.dThickness = 0; }) << true;
    QTest::newRow("rect board thicker than half the box") << RectWith([](auto& b) { b.dThickness = 25; }) << true;
    QTest::newRow("rect kerf equals board") << RectWith([](auto& b) { b.dLaserWidth = 3; }) << true;
    QTest::newRow("rect negative kerf") << RectWith([](auto& b) { b.dLaserWidth = -0.2; }) << true;
    QTest::newRow("rect infinite groove") << RectWith([](auto& b) { b.dFluteOfDepth = kInf; }) << true;
    QTest::newRow("rect zero groove") << RectWith([](auto& b) { b.dFluteOfWidth = 0; }) << true;
    QTest::newRow("rect groove bigger than side") << RectWith([](auto& b) { b.dFluteOfHeight = 500; }) << false;
    QTest::newRow("rect tiny groove on a big box")
        << RectWith([](auto& b) { b.dWidth = 4000; b.dFluteOfWidth = 1e-9; }) << false;
    QTest::newRow("rect inside measures of nothing") << RectWith([](auto& b) { b.bInSize = true; b.dWidth = 0; })
                                                     << true;

    QTest::newRow("fillet NaN radius") << FilletWith([](auto& b) { b.sCorner.dRadius = kNaN; }) << true;
    QTest::newRow("fillet radius larger than box") << FilletWith([](auto& b) { b.sCorner.dRadius = 500; }) << false;
    QTest::newRow("fillet radius 0") << FilletWith([](auto& b) { b.sCorner.dRadius = 0; }) << false;
    QTest::newRow("fillet x spacing 0") << FilletWith([](auto& b) { b.sCorner.dXSpace = 0; }) << false;
    QTest::newRow("fillet y spacing negative") << FilletWith([](auto& b) { b.sCorner.dYSpace = -1; }) << true;
    QTest::newRow("fillet slit count huge")
        << FilletWith([](auto& b) { b.sCorner.nYCount = std::numeric_limits<int32_t>::max(); }) << false;
    QTest::newRow("fillet slit count negative") << FilletWith([](auto& b) { b.sCorner.nYCount = -7; }) << false;
    QTest::newRow("fillet slits taller than the wall")
        << FilletWith([](auto& b) { b.sCorner.dYSpace = 40; b.sCorner.nYCount = 5; }) << false;
    QTest::newRow("fillet long box, dense hinge")
        << FilletWith([](auto& b) { b.dWidth = b.dDepth = 5000; b.sCorner.dRadius = 2000; b.sCorner.dXSpace = 0; })
        << false;
    QTest::newRow("fillet kerf larger than board") << FilletWith([](auto& b) { b.dLaserWidth = 4; }) << true;

    QTest::newRow("gear module 0") << GearWith([](auto& g) { g.dModulus = 0; }) << true;
    QTest::newRow("gear module NaN") << GearWith([](auto& g) { g.dModulus = kNaN; }) << true;
    QTest::newRow("gear module 1e300") << GearWith([](auto& g) { g.dModulus = 1e300; }) << true;
    QTest::newRow("gear no teeth") << GearWith([](auto& g) { g.sGear1.nGCount = 0; }) << true;
    QTest::newRow("gear a billion teeth") << GearWith([](auto& g) { g.sGear2.nGCount = 1000000000; }) << true;
    QTest::newRow("gear negative teeth") << GearWith([](auto& g) { g.sGear2.nGCount = -12; }) << true;
    QTest::newRow("gear bore beyond the root") << GearWith([](auto& g) { g.sGear1.dCDiameter = 20; }) << true;
    QTest::newRow("gear bore NaN") << GearWith([](auto& g) { g.sGear2.dCDiameter = kNaN; }) << true;
    QTest::newRow("gear 1000 teeth") << GearWith([](auto& g) { g.sGear1.nGCount = 1000; }) << false;

    QTest::newRow("seal NaN rim") << SealWith([](auto& s) { s.D1 = kNaN; }) << true;
    QTest::newRow("seal inner larger than outer") << SealWith([](auto& s) { s.D2 = 90; }) << true;
    QTest::newRow("seal huge text") << SealWith([](auto& s) { s.sText1.dHeight = 1e300; }) << true;
    QTest::newRow("seal negative spacing") << SealWith([](auto& s) { s.sText2.dSpace = -3; }) << true;
    QTest::newRow("seal star bigger than the rim") << SealWith([](auto& s) { s.dStarSize = 1e9; }) << true;
    QTest::newRow("seal unterminated fields") << SealWith([](auto& s) {
        std::memset(s.sText1.Text, 'W', sizeof s.sText1.Text);
        std::memset(s.sText1.Facename, 'Q', sizeof s.sText1.Facename);
    }) << false;
    QTest::newRow("seal broken UTF-8") << SealWith([](auto& s) { qstrcpy(s.sText2.Text, "\xE5\xAE\xff\xfe abc"); })
                                       << false;
    QTest::newRow("seal zero text height") << SealWith([](auto& s) { s.sText3.dHeight = 0; }) << false;
}

void TestEngine::badRecords()
{
    QFETCH(Build, build);
    QFETCH(bool, rejected);
    Output out;
    QElapsedTimer timer;
    timer.start();
    const bool built = build(m_engine, out);
    QVERIFY2(timer.elapsed() < 5000, "a build must not take seconds");
    if (rejected)
        QVERIFY(!built);
    if (!built) {
        QCOMPARE(out.MainCount(), 0);
        QCOMPARE(out.AuxCount(), 0);
        return;
    }
    QVERIFY(out.MainCount() > 0);
    // Every outline finite and of a sane size.
    for (CShapeList* list : {out.pMain, out.pAux})
        for (uint i = 0; i < list->GetCount(); ++i) {
            const QRectF r = list->GetShape(i)->GetPath(false)->boundingRect();
            QVERIFY(std::isfinite(r.left()) && std::isfinite(r.top()) && std::isfinite(r.width())
                    && std::isfinite(r.height()) && r.width() <= 1e6 && r.height() <= 1e6);
        }
}

QTEST_MAIN(TestEngine)
#include "tst_engine.moc"
