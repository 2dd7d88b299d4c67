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

namespace {

// Both lists of one build, disposed of as the host does.
struct Output
{
    CShapeList* pMain = CShapeList::New();
    CShapeList* pAux = CShapeList::New();
    bool bBuilt = false;

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

bool Near(double actual, double expected, double tolerance = 1e-6)
{
    return std::abs(actual - expected) <= tolerance;
}

#define QVERIFY_NEAR(actual, expected, tolerance)                                                               \
    QVERIFY2(Near((actual), (expected), (tolerance)),                                                           \
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

int ToothCount(const QPolygonF& outline, const QPointF& centre, double pitchRadius)
{
    int lobes = 0;
    for (int i = 0; i < outline.size(); ++i) {
        const bool out = QLineF(centre, outline[i]).length() > pitchRadius;
        const bool before = QLineF(centre, outline[(i + outline.size() - 1) % outline.size()]).length() > pitchRadius;
        lobes += out && !before;
    }
    return lobes;
}

QPair<double, double> RadiusRange(const QPolygonF& outline, const QPointF& centre)
{
    double low = qInf(), high = 0.0;
    for (const QPointF& p : outline) {
        const double r = QLineF(centre, p).length();
        low = std::min(low, r);
        high = std::max(high, r);
    }
    return {low, high};
}

double PathArea(const QPainterPath& path)
{
    double area = 0.0;
    for (const QPolygonF& polygon : path.toFillPolygons())
        area += Area(polygon);
    return area;
}

void SetText(SSealTextParam& text, const QString& value, const char* family = "DejaVu Sans")
{
    qstrncpy(text.Text, value.toUtf8().constData(), sizeof text.Text);
    qstrncpy(text.Facename, family, sizeof text.Facename);
}

bool AllFinite(CShapeList* list)
{
    for (uint i = 0; i < list->GetCount(); ++i) {
        const QRectF r = list->GetShape(i)->GetPath(false)->boundingRect();
        if (!std::isfinite(r.left()) || !std::isfinite(r.right()) || !std::isfinite(r.top())
            || !std::isfinite(r.bottom()) || r.width() > 1e6 || r.height() > 1e6)
            return false;
    }
    return true;
}

template <typename T>
T FromBytes(const QByteArray& bytes)
{
    T value;
    std::memcpy(static_cast<void*>(&value), bytes.constData(), sizeof(T));
    return value;
}

enum Panel { Front, Behind, Left, Right, Top, Bottom };

} // namespace

class TestEngine : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void rectCovers_data();
    void rectCovers();
    void rectPanelSizes_data();
    void rectPanelSizes();
    void rectMatingEdgesInterlock_data();
    void rectMatingEdgesInterlock();
    void rectKerfGrowsEveryOutline_data();
    void rectKerfGrowsEveryOutline();
    void rectLabelsCentredOnPanels();

    void filletParts_data();
    void filletParts();
    void filletCoverTabsFillStripSlots_data();
    void filletCoverTabsFillStripSlots();
    void filletHingeSlitsStayInBendZones_data();
    void filletHingeSlitsStayInBendZones();

    void gearForm_data();
    void gearForm();

    void sealCirclesAndStar_data();
    void sealCirclesAndStar();
    void sealTextLayout_data();
    void sealTextLayout();
    void sealModeMirrors();

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

void TestEngine::rectCovers_data()
{
    QTest::addColumn<bool>("noTop");
    QTest::addColumn<bool>("noBottom");
    QTest::addColumn<int>("panels");
    QTest::newRow("closed") << false << false << 6;
    QTest::newRow("no top") << true << false << 5;
    QTest::newRow("no bottom") << false << true << 5;
    QTest::newRow("open tube") << true << true << 4;
}

void TestEngine::rectCovers()
{
    QFETCH(bool, noTop);
    QFETCH(bool, noBottom);
    QFETCH(int, panels);
    SRectBoxParam box = RectBox(90, 70, 50, 3, 0.0);
    box.bNoTop = noTop;
    box.bNoBottom = noBottom;
    SFaceLabels labels = Labels({"F", "B", "L", "R", "T", "D"});
    Output out;
    QVERIFY(m_engine.CreateRectBox(box, out.pMain, out.pAux, &labels));
    QCOMPARE(out.MainCount(), panels);
    QCOMPARE(out.AuxCount(), panels);
    QStringList names;
    for (int i = 0; i < panels; ++i) {
        CShape* panel = out.Main(i);
        QCOMPARE(panel->GetLayer(), int(CShape::LayerCut));
        const QList<QPolygonF> outlines = PathOf(panel).toSubpathPolygons();
        QCOMPARE(outlines.size(), 1);
        QVERIFY(outlines.first().isClosed());
        auto* label = dynamic_cast<CShapeText*>(out.pAux->GetShape(uint(i)));
        QVERIFY(label);
        QCOMPARE(label->GetLayer(), int(CShape::LayerEngrave));
        names << label->GetText();
    }
    QCOMPARE(names.contains("T"), !noTop);
    QCOMPARE(names.contains("D"), !noBottom);
    // Laid out flat: no two panels share any area.
    for (int i = 0; i < panels; ++i)
        for (int j = i + 1; j < panels; ++j)
            QVERIFY(!PathOf(out.Main(i)).boundingRect().intersects(PathOf(out.Main(j)).boundingRect()));
    // A wall edge without its cover is straight; with it, fingered.
    const double t = box.dThickness, mid = t / 2.0, H = box.dHeight;
    for (Panel wall : {Front, Behind, Left, Right}) {
        const double across = wall <= Behind ? box.dWidth : box.dDepth;
        const QPointF o = PanelOrigin(out.Main(wall), 0.0);
        const QVector<bool> top = Sample(PathOf(out.Main(wall)), o + QPointF(t, mid), o + QPointF(across - t, mid));
        const QVector<bool> bottom =
            Sample(PathOf(out.Main(wall)), o + QPointF(t, H - mid), o + QPointF(across - t, H - mid));
        QCOMPARE(Transitions(top) == 0 && top.first(), noTop);
        QCOMPARE(Transitions(bottom) == 0 && bottom.first(), noBottom);
    }
}

void TestEngine::rectPanelSizes_data()
{
    QTest::addColumn<QByteArray>("record");
    QTest::addColumn<double>("length");
    QTest::addColumn<double>("width");
    QTest::addColumn<double>("height");
    SRectBoxParam box = RectBox(80, 60, 40, 3, 0.2);
    QTest::newRow("outside measures") << RecordBytes(box) << 80.0 << 60.0 << 40.0;
    box.bInSize = true;
    QTest::newRow("inside measures add two boards") << RecordBytes(box) << 86.0 << 66.0 << 46.0;
    box = RectBox(300, 25, 120, 6, 0.5);
    QTest::newRow("long thick box") << RecordBytes(box) << 300.0 << 25.0 << 120.0;
    QTest::newRow("defaults") << RecordBytes(SRectBoxParam()) << 50.0 << 50.0 << 50.0;
}

void TestEngine::rectPanelSizes()
{
    QFETCH(QByteArray, record);
    QFETCH(double, length);
    QFETCH(double, width);
    QFETCH(double, height);
    const SRectBoxParam box = FromBytes<SRectBoxParam>(record);
    Output out;
    QVERIFY(m_engine.CreateRectBox(box, out.pMain, out.pAux, nullptr));
    QCOMPARE(out.MainCount(), 6);
    QCOMPARE(out.AuxCount(), 0);
    const QSizeF expected[] = {{length, height}, {length, height}, {width, height},
                               {width, height},  {length, width},  {length, width}};
    for (int i = 0; i < 6; ++i) {
        const QRectF bounds = PathOf(out.Main(i)).boundingRect();
        QVERIFY_NEAR(bounds.width(), expected[i].width() + box.dLaserWidth, 1e-6);
        QVERIFY_NEAR(bounds.height(), expected[i].height() + box.dLaserWidth, 1e-6);
    }
}

void TestEngine::rectMatingEdgesInterlock_data()
{
    QTest::addColumn<QByteArray>("record");
    QTest::addColumn<double>("fingerAlongLength");
    QTest::addColumn<double>("fingerAlongWidth");
    QTest::addColumn<double>("fingerAlongHeight");
    SRectBoxParam box = RectBox(100, 70, 50, 3, 0);
    QTest::newRow("fine grooves") << RecordBytes(box) << box.dFluteOfWidth << box.dFluteOfHeight << box.dFluteOfDepth;
    box.dFluteOfWidth = 25;
    box.dFluteOfHeight = 5;
    box.dFluteOfDepth = 12.5;
    QTest::newRow("grooves differ per direction") << RecordBytes(box) << 25.0 << 5.0 << 12.5;
    box = SRectBoxParam();
    box.dLaserWidth = 0;
    QTest::newRow("quarter of the side") << RecordBytes(box) << 12.5 << 12.5 << 12.5;
    box.dFluteOfWidth = 80;
    QTest::newRow("groove longer than the side") << RecordBytes(box) << 44.0 / 3.0 << 12.5 << 12.5;
}

void TestEngine::rectMatingEdgesInterlock()
{
    QFETCH(QByteArray, record);
    QFETCH(double, fingerAlongLength);
    QFETCH(double, fingerAlongWidth);
    QFETCH(double, fingerAlongHeight);
    const SRectBoxParam box = FromBytes<SRectBoxParam>(record);
    Output out;
    QVERIFY(m_engine.CreateRectBox(box, out.pMain, out.pAux, nullptr));
    const double L = box.dWidth, W = box.dDepth, H = box.dHeight, t = box.dThickness;
    auto band = [&](Panel panel, QPointF from, QPointF to) {
        const QPointF origin = PanelOrigin(out.Main(panel), 0.0);
        return Sample(PathOf(out.Main(panel)), origin + from, origin + to);
    };
    struct Joint
    {
        const char* name;
        QVector<bool> one;
        QVector<bool> other;
        double finger;
    };
    const double mid = t / 2.0;
    const Joint joints[] = {
        {"front/bottom", band(Front, {t, H - mid}, {L - t, H - mid}), band(Bottom, {t, mid}, {L - t, mid}),
         fingerAlongLength},
        {"behind/top", band(Behind, {t, mid}, {L - t, mid}), band(Top, {t, W - mid}, {L - t, W - mid}),
         fingerAlongLength},
        {"front/left", band(Front, {mid, t}, {mid, H - t}), band(Left, {W - mid, t}, {W - mid, H - t}),
         fingerAlongHeight},
        {"top/left", band(Top, {mid, t}, {mid, W - t}), band(Left, {t, mid}, {W - t, mid}), fingerAlongWidth},
        {"bottom/right", band(Bottom, {L - mid, t}, {L - mid, W - t}), band(Right, {t, H - mid}, {W - t, H - mid}),
         fingerAlongWidth},
    };
    for (const Joint& joint : joints) {
        for (int i = 0; i < joint.one.size(); ++i)
            QVERIFY2(joint.one[i] != joint.other[i], joint.name);
        const int fingers = Transitions(joint.one) + 1;
        QVERIFY2(fingers >= 3 && fingers % 2 == 1, joint.name);
    }
    // Fingers come out close to the groove size asked for.
    const double fingerSizes[] = {(L - 2 * t) / (Transitions(joints[0].one) + 1),
                                  (H - 2 * t) / (Transitions(joints[2].one) + 1),
                                  (W - 2 * t) / (Transitions(joints[3].one) + 1)};
    const double wanted[] = {fingerAlongLength, fingerAlongHeight, fingerAlongWidth};
    for (int i = 0; i < 3; ++i)
        QVERIFY2(fingerSizes[i] > wanted[i] * 0.7 && fingerSizes[i] < wanted[i] * 1.4,
                 qPrintable(QString::number(fingerSizes[i])));
    // The corners belong to front and behind only.
    const QPointF corner(mid, mid);
    QVERIFY(PathOf(out.Main(Front)).contains(PanelOrigin(out.Main(Front), 0) + corner));
    for (Panel panel : {Left, Top, Bottom})
        QVERIFY(!PathOf(out.Main(panel)).contains(PanelOrigin(out.Main(panel), 0) + corner));
}

void TestEngine::rectKerfGrowsEveryOutline_data()
{
    QTest::addColumn<double>("kerf");
    QTest::addColumn<bool>("inside");
    QTest::newRow("0.1") << 0.1 << false;
    QTest::newRow("0.3 inside") << 0.3 << true;
    QTest::newRow("0.8") << 0.8 << false;
    QTest::newRow("2.5 on 3 mm board") << 2.5 << false;
}

void TestEngine::rectKerfGrowsEveryOutline()
{
    QFETCH(double, kerf);
    QFETCH(bool, inside);
    SRectBoxParam box = RectBox(90, 70, 50, 3, 0.0);
    box.bInSize = inside;
    Output plain;
    QVERIFY(m_engine.CreateRectBox(box, plain.pMain, plain.pAux, nullptr));
    box.dLaserWidth = kerf;
    Output cut;
    QVERIFY(m_engine.CreateRectBox(box, cut.pMain, cut.pAux, nullptr));
    QCOMPARE(cut.MainCount(), plain.MainCount());
    const double d = kerf / 2.0;
    for (int i = 0; i < plain.MainCount(); ++i) {
        const QPolygonF before = OutlineOf(plain.Main(i));
        const QPolygonF after = OutlineOf(cut.Main(i));
        QCOMPARE(after.size(), before.size());
        const QRectF b0 = before.boundingRect(), b1 = after.boundingRect();
        QVERIFY_NEAR(b1.width(), b0.width() + kerf, 1e-9);
        QVERIFY_NEAR(b1.height(), b0.height() + kerf, 1e-9);
        // A right-angled outline moved out by d gains perimeter * d plus four d x d corners.
        QVERIFY_NEAR(Area(after), Area(before) + Perimeter(before) * d + 4 * d * d, 1e-6);
    }
    // Tabs get wider by the kerf, slots narrower by it: sample a slot of the left panel's edge.
    const double t = box.dThickness;
    const QPointF o0 = PanelOrigin(plain.Main(Left), 0), o1 = PanelOrigin(cut.Main(Left), kerf);
    const double height = PathOf(plain.Main(Left)).boundingRect().height();
    const QVector<bool> s0 = Sample(PathOf(plain.Main(Left)), o0 + QPointF(t / 2, 0), o0 + QPointF(t / 2, height), 4001);
    const QVector<bool> s1 = Sample(PathOf(cut.Main(Left)), o1 + QPointF(t / 2, 0), o1 + QPointF(t / 2, height), 4001);
    QVERIFY_NEAR(double(s1.count(true) - s0.count(true)) * height / 4001, kerf * (Transitions(s0) / 2),
                 3 * height / 4001.0 * Transitions(s0));
}

void TestEngine::rectLabelsCentredOnPanels()
{
    const QStringList names{"Front", "Behind", "左", "Right side", "Top", QString(70, QLatin1Char('x'))};
    SFaceLabels labels = Labels(names);
    Output out;
    QVERIFY(m_engine.CreateRectBox(RectBox(120, 80, 60, 3, 0.3), out.pMain, out.pAux, &labels));
    QCOMPARE(out.AuxCount(), 6);
    for (int i = 0; i < 6; ++i) {
        auto* label = dynamic_cast<CShapeText*>(out.pAux->GetShape(uint(i)));
        QVERIFY(label);
        QCOMPARE(label->GetText(), names[i].left(63));
        const QRectF panel = PathOf(out.Main(i)).boundingRect();
        const QRectF text = PathOf(label).boundingRect();
        QVERIFY(!text.isEmpty());
        QVERIFY(panel.contains(text));
        QVERIFY_NEAR(text.center().x(), panel.center().x(), 1e-6);
        QVERIFY_NEAR(text.center().y(), panel.center().y(), 1e-6);
    }
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

double NeutralPerimeter(const SFilletBoxParam& box)
{
    const double t = box.dThickness;
    return 2 * (box.dWidth - 2 * box.sCorner.dRadius) + 2 * (box.dDepth - 2 * box.sCorner.dRadius)
           + 2 * M_PI * (box.sCorner.dRadius - t / 2);
}
} // namespace

void TestEngine::filletParts_data()
{
    QTest::addColumn<bool>("noTop");
    QTest::addColumn<bool>("noBottom");
    QTest::addColumn<double>("kerf");
    QTest::addColumn<int>("covers");
    QTest::newRow("closed") << false << false << 0.0 << 2;
    QTest::newRow("closed with kerf") << false << false << 0.4 << 2;
    QTest::newRow("no top") << true << false << 0.2 << 1;
    QTest::newRow("tube") << true << true << 0.2 << 0;
}

void TestEngine::filletParts()
{
    QFETCH(bool, noTop);
    QFETCH(bool, noBottom);
    QFETCH(double, kerf);
    QFETCH(int, covers);
    SFilletBoxParam box = FilletBox(120, 80, 60, 15, kerf);
    box.bNoTop = noTop;
    box.bNoBottom = noBottom;
    Output out;
    QVERIFY(m_engine.CreateFilletBox(box, out.pMain, out.pAux));
    const int bendZones = 4;
    QCOMPARE(out.MainCount(), covers + 1 + bendZones);
    QCOMPARE(out.AuxCount(), bendZones);
    for (int i = 0; i < covers; ++i) {
        const QRectF bounds = PathOf(out.Main(i)).boundingRect();
        QVERIFY_NEAR(bounds.width(), 120 + kerf, 1e-6);
        QVERIFY_NEAR(bounds.height(), 80 + kerf, 1e-6);
    }
    CShape* strip = out.Main(covers);
    QCOMPARE(PathOf(strip).toSubpathPolygons().size(), 1);
    const QRectF bounds = PathOf(strip).boundingRect();
    QVERIFY_NEAR(bounds.width(), NeutralPerimeter(box) + kerf, 1e-6);
    QVERIFY_NEAR(bounds.height(), 60 + kerf, 1e-6);
    for (int i = covers + 1; i < out.MainCount(); ++i) {
        QCOMPARE(out.Main(i)->GetLayer(), int(CShape::LayerCut));
        QVERIFY(bounds.contains(PathOf(out.Main(i)).boundingRect()));
    }
    // A cover's rounded corner keeps clear of the wall: one board in from the outside.
    const double t = box.dThickness, r = box.sCorner.dRadius;
    for (int i = 0; i < covers; ++i) {
        const QPointF o = PanelOrigin(out.Main(i), kerf);
        const QPointF cornerCentre = o + QPointF(r, r);
        const QPointF diagonal(-M_SQRT1_2, -M_SQRT1_2);
        QVERIFY(PathOf(out.Main(i)).contains(cornerCentre + (r - t - 0.05) * diagonal));
        QVERIFY(!PathOf(out.Main(i)).contains(cornerCentre + (r - t + kerf / 2 + 0.05) * diagonal));
    }
}

void TestEngine::filletCoverTabsFillStripSlots_data()
{
    QTest::addColumn<bool>("noThirdSide");
    QTest::addColumn<bool>("inside");
    QTest::newRow("all sides") << false << false;
    QTest::newRow("plain third side") << true << false;
    QTest::newRow("inside measures") << false << true;
}

void TestEngine::filletCoverTabsFillStripSlots()
{
    QFETCH(bool, noThirdSide);
    QFETCH(bool, inside);
    SFilletBoxParam box = FilletBox(110, 70, 40, 12, 0.0);
    box.bNoFlute3Edge = noThirdSide;
    box.bInSize = inside;
    Output out;
    QVERIFY(m_engine.CreateFilletBox(box, out.pMain, out.pAux));
    const double t = box.dThickness, r = box.sCorner.dRadius, mid = t / 2;
    const double grow = inside ? 2 * t : 0;
    const double L = box.dWidth + grow, W = box.dDepth + grow, H = box.dHeight + grow;
    CShape* cover = out.Main(0);
    CShape* strip = out.Main(2);
    const QPointF c = PanelOrigin(cover, 0), s = PanelOrigin(strip, 0);
    QVERIFY_NEAR(PathOf(strip).boundingRect().width(),
                 2 * (L - 2 * r) + 2 * (W - 2 * r) + 2 * M_PI * (r - t / 2), 1e-6);
    const double bend = M_PI_2 * (r - t / 2);
    // Sides in strip order: front (top edge of the cover), right, back, left.
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
        const QVector<bool> tabs = Sample(PathOf(cover), c + sides[k].from, c + sides[k].to);
        for (double y : {mid, H - mid}) {
            const QPointF along(sides[k].stripStart, y);
            const QVector<bool> wall =
                Sample(PathOf(strip), s + along, s + along + QPointF(sides[k].length, 0));
            for (int i = 0; i < tabs.size(); ++i)
                QVERIFY2(tabs[i] != wall[i], qPrintable(QStringLiteral("side %1 sample %2").arg(k).arg(i)));
        }
        const bool plain = noThirdSide && k == 2;
        QCOMPARE(Transitions(tabs) == 0, plain);
        if (!plain)
            QVERIFY(Transitions(tabs) >= 2);
    }
    // The strip stays whole over the bends.
    for (int k = 0; k < 4; ++k) {
        const double start = sides[k].stripStart + sides[k].length;
        for (double y : {mid, H - mid})
            QCOMPARE(Transitions(Sample(PathOf(strip), s + QPointF(start, y), s + QPointF(start + bend, y))), 0);
    }
}

void TestEngine::filletHingeSlitsStayInBendZones_data()
{
    QTest::addColumn<double>("xSpace");
    QTest::addColumn<double>("ySpace");
    QTest::addColumn<int>("yCount");
    QTest::newRow("preset 25~50") << 0.8 << 2.0 << 1;
    QTest::newRow("preset 50~100") << 1.2 << 2.0 << 2;
    QTest::newRow("preset 100~200") << 1.5 << 2.0 << 3;
    QTest::newRow("wide columns") << 4.0 << 5.0 << 4;
}

void TestEngine::filletHingeSlitsStayInBendZones()
{
    QFETCH(double, xSpace);
    QFETCH(double, ySpace);
    QFETCH(int, yCount);
    SFilletBoxParam box = FilletBox(100, 80, 50, 20, 0.0);
    box.sCorner.dXSpace = xSpace;
    box.sCorner.dYSpace = ySpace;
    box.sCorner.nYCount = yCount;
    Output out;
    QVERIFY(m_engine.CreateFilletBox(box, out.pMain, out.pAux));
    const double t = box.dThickness, r = box.sCorner.dRadius, H = box.dHeight;
    const QPointF s = PanelOrigin(out.Main(2), 0);
    const double bend = M_PI_2 * (r - t / 2);
    const double straight[] = {100 - 2 * r, 80 - 2 * r, 100 - 2 * r, 80 - 2 * r};
    double zoneStart = 0;
    for (int zone = 0; zone < 4; ++zone) {
        zoneStart += straight[zone];
        const QPainterPath slits = PathOf(out.Main(3 + zone));
        QMap<double, QVector<QLineF>> columns;
        for (const QPolygonF& line : slits.toSubpathPolygons()) {
            QCOMPARE(line.size(), 2);
            const QPointF a = line[0] - s, b = line[1] - s;
            QVERIFY_NEAR(a.x(), b.x(), 1e-9);
            QVERIFY(a.x() > zoneStart && a.x() < zoneStart + bend);
            QVERIFY(std::min(a.y(), b.y()) >= ySpace - 1e-9 && std::max(a.y(), b.y()) <= H - ySpace + 1e-9);
            columns[std::round(a.x() * 1e6) / 1e6].append(QLineF(a, b));
        }
        const QList<double> xs = columns.keys();
        QCOMPARE(xs.size(), int(bend / xSpace));
        for (int i = 1; i < xs.size(); ++i)
            QVERIFY_NEAR(xs[i] - xs[i - 1], xSpace, 1e-6);
        // Whole columns hold yCount slits; the columns between them bridge those slits' middles.
        for (int i = 0; i < xs.size(); ++i) {
            const QVector<QLineF>& column = columns[xs[i]];
            if (i % 2 == 0) {
                QCOMPARE(column.size(), yCount);
                continue;
            }
            for (const QLineF& slit : columns[xs[0]]) {
                const double middle = (slit.y1() + slit.y2()) / 2;
                for (const QLineF& shifted : column)
                    QVERIFY(middle < std::min(shifted.y1(), shifted.y2()) || middle > std::max(shifted.y1(), shifted.y2()));
            }
        }
        zoneStart += bend;
    }
}

// --- gears

void TestEngine::gearForm_data()
{
    QTest::addColumn<double>("module");
    QTest::addColumn<int>("teeth1");
    QTest::addColumn<int>("teeth2");
    QTest::addColumn<double>("bore1");
    QTest::addColumn<double>("bore2");
    QTest::newRow("defaults") << 1.0 << 12 << 23 << 3.0 << 3.0;
    QTest::newRow("equal pair") << 2.0 << 20 << 20 << 8.0 << 8.0;
    QTest::newRow("large ratio") << 3.0 << 8 << 60 << 2.0 << 30.0;
    QTest::newRow("many teeth, no bore") << 0.5 << 150 << 41 << 0.0 << 5.0;
}

void TestEngine::gearForm()
{
    QFETCH(double, module);
    QFETCH(int, teeth1);
    QFETCH(int, teeth2);
    QFETCH(double, bore1);
    QFETCH(double, bore2);
    SGearBoxParam param;
    param.dModulus = module;
    param.sGear1 = SGearParam(bore1, teeth1);
    param.sGear2 = SGearParam(bore2, teeth2);
    Output out;
    QVERIFY(m_engine.CreateGear(param, out.pMain));
    QCOMPARE(out.MainCount(), 2 + (bore1 > 0) + (bore2 > 0));

    const QPointF centres[] = {QPointF(0, 0), QPointF(module * (teeth1 + teeth2) / 2.0, 0)};
    const int teeth[] = {teeth1, teeth2};
    const double bores[] = {bore1, bore2};
    int index = 0;
    QPainterPath gears[2];
    for (int g = 0; g < 2; ++g) {
        CShape* outline = out.Main(index++);
        QCOMPARE(outline->GetLayer(), int(CShape::LayerCut));
        gears[g] = PathOf(outline);
        const QPolygonF polygon = OutlineOf(outline);
        const double pitch = module * teeth[g] / 2.0;
        QCOMPARE(ToothCount(polygon, centres[g], pitch), teeth[g]);
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
            const QRectF bore = PathOf(out.Main(index++)).boundingRect();
            QVERIFY_NEAR(bore.center().x(), centres[g].x(), 1e-9);
            QVERIFY_NEAR(bore.center().y(), centres[g].y(), 1e-9);
            QVERIFY_NEAR(bore.width(), bores[g], 1e-9);
        }
    }
    // Meshing: at the centre distance the teeth fill each other's spaces without overlapping.
    const double overlap = PathArea(gears[0].intersected(gears[1]));
    QVERIFY2(overlap < 0.005 * module * module, qPrintable(QString::number(overlap)));
    const QPointF contact(module * teeth1 / 2.0, 0);
    QVERIFY(gears[0].contains(contact - QPointF(0.1 * module, 0)));
    QVERIFY(!gears[1].contains(contact - QPointF(0.1 * module, 0)));
}

// --- badge and seal

namespace {
SSealBoxParam Seal(bool star, bool reverse)
{
    SSealBoxParam seal;
    seal.bStar = star;
    seal.bTextReverse = reverse;
    SetText(seal.sText1, "COMPETITION");
    SetText(seal.sText2, "First Prize");
    SetText(seal.sText3, "Medal");
    return seal;
}

QRectF Bounds(const Output& out, int i) { return PathOf(out.Main(i)).boundingRect(); }
} // namespace

void TestEngine::sealCirclesAndStar_data()
{
    QTest::addColumn<double>("outer");
    QTest::addColumn<double>("inner");
    QTest::addColumn<bool>("star");
    QTest::addColumn<double>("starSize");
    QTest::newRow("defaults") << 60.0 << 45.0 << true << 10.0;
    QTest::newRow("no star") << 60.0 << 45.0 << false << 10.0;
    QTest::newRow("star of size 0") << 80.0 << 30.0 << true << 0.0;
    QTest::newRow("single ring") << 100.0 << 100.0 << true << 25.0;
}

void TestEngine::sealCirclesAndStar()
{
    QFETCH(double, outer);
    QFETCH(double, inner);
    QFETCH(bool, star);
    QFETCH(double, starSize);
    SSealBoxParam seal = Seal(star, false);
    seal.D1 = outer;
    seal.D2 = inner;
    seal.dStarSize = starSize;
    Output out;
    QVERIFY(m_engine.CreateSeal(seal, out.pMain));
    const bool starDrawn = star && starSize > 0;
    QCOMPARE(out.MainCount(), 2 + starDrawn + 3);
    for (int i = 0; i < 2; ++i) {
        // The rim is cut, the inner circle engraved: the badge stays whole.
        QCOMPARE(out.Main(i)->GetLayer(), int(i == 0 ? CShape::LayerCut : CShape::LayerEngrave));
        const QRectF circle = Bounds(out, i);
        const double diameter = i == 0 ? outer : inner;
        QVERIFY_NEAR(circle.width(), diameter, 1e-9);
        QVERIFY_NEAR(circle.height(), diameter, 1e-9);
        QVERIFY_NEAR(circle.center().x(), 0.0, 1e-9);
    }
    for (int i = 2; i < out.MainCount(); ++i)
        QCOMPARE(out.Main(i)->GetLayer(), int(CShape::LayerEngrave));
    if (starDrawn) {
        const QPolygonF points = OutlineOf(out.Main(2));
        QCOMPARE(points.size() - points.isClosed(), 10);
        QVERIFY_NEAR(Bounds(out, 2).top(), -starSize / 2, 1e-9);
        QVERIFY(PathOf(out.Main(2)).contains(QPointF(0, 0)));
    }
}

void TestEngine::sealTextLayout_data()
{
    QTest::addColumn<QString>("text1");
    QTest::addColumn<QString>("text2");
    QTest::addColumn<QByteArray>("family");
    QTest::newRow("latin") << "COMPETITION" << "First Prize" << QByteArray("DejaVu Serif");
    QTest::newRow("chinese in a missing family") << "上海市第一中学" << "一等奖" << QByteArray("宋体");
    QTest::newRow("chinese in a latin family") << "中文" << "Mixed 中文" << QByteArray("DejaVu Sans");
    QTest::newRow("combining marks") << "Ame\u0301lie" << "Zoe\u0308" << QByteArray("");
}

void TestEngine::sealTextLayout()
{
    QFETCH(QString, text1);
    QFETCH(QString, text2);
    QFETCH(QByteArray, family);
    SSealBoxParam seal = Seal(true, false);
    SetText(seal.sText1, text1, family.constData());
    SetText(seal.sText2, text2, family.constData());
    Output out;
    QVERIFY(m_engine.CreateSeal(seal, out.pMain));
    QCOMPARE(out.MainCount(), 6);
    const double rim = seal.D1 / 2, ring = seal.D2 / 2;
    const int firstText = 3;
    for (int line = 0; line < 2; ++line) {
        const QPainterPath text = PathOf(out.Main(firstText + line));
        QVERIFY(text.elementCount() > 20);
        QVERIFY(text.toSubpathPolygons().size() >= 2);
        const QRectF bounds = text.boundingRect();
        QVERIFY_NEAR(bounds.center().x(), 0.0, seal.D1 / 10);
        // In the ring between the circles, upper line above the centre, lower below.
        for (const QPolygonF& contour : text.toSubpathPolygons())
            for (const QPointF& p : contour) {
                const double r = std::hypot(p.x(), p.y());
                QVERIFY2(r > ring - 0.5 && r < rim, qPrintable(QString::number(r)));
                QVERIFY(line == 0 ? p.y() < 0 : p.y() > 0);
            }
    }
    // The upper line's tallest glyph reaches up to dOffset under the rim; the
    // lower line's baseline lies there and its tallest glyph reaches dHeight in.
    const auto upper = RadiusRange(PathOf(out.Main(firstText)).toFillPolygon(), QPointF());
    QVERIFY_NEAR(upper.second, rim - seal.sText1.dOffset, 0.1 * seal.sText1.dHeight);
    const auto lower = RadiusRange(PathOf(out.Main(firstText + 1)).toFillPolygon(), QPointF());
    QVERIFY_NEAR(lower.first, rim - seal.sText2.dOffset - seal.sText2.dHeight, 0.1 * seal.sText2.dHeight);
    // The middle line sits under the star.
    const QRectF star = Bounds(out, 2), middle = Bounds(out, 5);
    QVERIFY(middle.top() > star.bottom());
    QVERIFY_NEAR(middle.center().x(), 0.0, 1.0);
}

void TestEngine::sealModeMirrors()
{
    SSealBoxParam seal = Seal(true, false);
    SetText(seal.sText3, "L");
    Output badge, stamp;
    QVERIFY(m_engine.CreateSeal(seal, badge.pMain));
    seal.bTextReverse = true;
    QVERIFY(m_engine.CreateSeal(seal, stamp.pMain));
    QCOMPARE(stamp.MainCount(), badge.MainCount());
    const QTransform mirror = QTransform::fromScale(-1, 1);
    for (int i = 0; i < badge.MainCount(); ++i) {
        const QRectF b = Bounds(badge, i), s = Bounds(stamp, i);
        QVERIFY_NEAR(s.left(), -b.right(), 1e-6);
        QVERIFY_NEAR(s.right(), -b.left(), 1e-6);
        QVERIFY_NEAR(s.top(), b.top(), 1e-6);
        QCOMPARE(PathOf(stamp.Main(i)).elementCount(), PathOf(badge.Main(i)).elementCount());
    }
    // The L's stem is on the left in the badge and on the right in the stamp.
    const QRectF letter = Bounds(badge, 5);
    const QPointF stem(letter.left() + letter.width() * 0.1, letter.center().y() - letter.height() * 0.25);
    QVERIFY(PathOf(badge.Main(5)).contains(stem));
    QVERIFY(!PathOf(stamp.Main(5)).contains(stem));
    QVERIFY(PathOf(stamp.Main(5)).contains(mirror.map(stem)));
}

// --- records no dialog would send

namespace {
using Build = std::function<bool(CReferenceEngine&, Output&)>;

Build RectWith(const std::function<void(SRectBoxParam&)>& change)
{
    return [change](CReferenceEngine& engine, Output& out) {
        SRectBoxParam box;
        change(box);
        SFaceLabels labels = Labels({"a", "b", "c", "d", "e", "f"});
        return engine.CreateRectBox(box, out.pMain, out.pAux, &labels);
    };
}

Build FilletWith(const std::function<void(SFilletBoxParam&)>& change)
{
    return [change](CReferenceEngine& engine, Output& out) {
        SFilletBoxParam box;
        change(box);
        return engine.CreateFilletBox(box, out.pMain, out.pAux);
    };
}

Build GearWith(const std::function<void(SGearBoxParam&)>& change)
{
    return [change](CReferenceEngine& engine, Output& out) {
        SGearBoxParam gear;
        change(gear);
        return engine.CreateGear(gear, out.pMain);
    };
}

Build SealWith(const std::function<void(SSealBoxParam&)>& change)
{
    return [change](CReferenceEngine& engine, Output& out) {
        SSealBoxParam seal;
        change(seal);
        return engine.CreateSeal(seal, out.pMain);
    };
}

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
        << FilletWith([](auto& b) { b.dWidth = 5000; b.dDepth = 5000; b.sCorner.dRadius = 2000; b.sCorner.dXSpace = 0; })
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
    QVERIFY(AllFinite(out.pMain));
    QVERIFY(AllFinite(out.pAux));
}

QTEST_MAIN(TestEngine)
#include "tst_engine.moc"
