// The rounded box as the user meets it: groove limits from the corner,
// presets, load clamps, the record the engine receives, Kerfmate.ini and
// the log.
#include "DialogFixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QtTest>
#include <climits>
#include <functional>

namespace {
const QString kGroup = QStringLiteral("DLG_FILLET_BOX");
const QString kFillet = QStringLiteral("fillet");
const QStringList kPresets{"radioButton_filletSize25", "radioButton_filletSize50", "radioButton_filletSize100"};

// What a fresh dialog builds, with some fields changed: both grooves at
// ((50 - 6) / 2 - 12) / 3, the limit of an outside-measured 50 mm box.
QByteArray Fillet(const std::function<void(SFilletBoxParam&)>& change = {})
{
    SFilletBoxParam record;
    record.dFluteOfHeight = record.dFluteOfWidth = 10.0 / 3;
    if (change)
        change(record);
    return RecordBytes(record);
}
} // namespace

class TestFilletBox : public QObject, private DialogFixture
{
    Q_OBJECT

private slots:
    void init() { SetUpDialogTest(); }
    void cleanup() { TearDownDialogTest(); }

    void freshDialog_data();
    void freshDialog();
    void dimensionSetsGrooveLimit_data();
    void dimensionSetsGrooveLimit();
    void sliderAndSpinBoxFollowEachOther_data();
    void sliderAndSpinBoxFollowEachOther();
    void clicks_data();
    void clicks();
    void otherEditsKeepTheGrooveLimit_data();
    void otherEditsKeepTheGrooveLimit();
    void presets_data();
    void presets();
    void storedValues_data();
    void storedValues();
    void okSavesFromAnotherPage();

private:
    void ShowFilletPage();
    QByteArray LastRecord() const { return LastRecordOf(kFillet); }
    // Radius, X and Y spacing, count.
    QList<double> CornerInRecord() const
    {
        const SCornerParam corner = m_engine.lastRecord<SFilletBoxParam>(kFillet).sCorner;
        return {corner.dRadius, corner.dXSpace, corner.dYSpace, double(corner.nYCount)};
    }
    // The length groove lives in dFluteOfHeight, the width groove in dFluteOfWidth.
    double GrooveInRecord(const QString& side) const
    {
        const SFilletBoxParam record = m_engine.lastRecord<SFilletBoxParam>(kFillet);
        return side == QLatin1String("Length") ? record.dFluteOfHeight : record.dFluteOfWidth;
    }
    QDoubleSpinBox* Groove(const QString& side) const { return Spin("doubleSpinBox_filletFlute" + side); }
    QSlider* Slider(const QString& side) const { return Widget<QSlider>("horizontalSlider_filletFlute" + side); }
};

void TestFilletBox::ShowFilletPage()
{
    auto* combo = Widget<QComboBox>(QStringLiteral("comboBox_boxSwitch"));
    QTest::keyClick(combo, Qt::Key_Down);
    QVERIFY(Widget<QWidget>(QStringLiteral("widget_FilletBoxParams"))->isVisible());
}

void TestFilletBox::freshDialog_data()
{
    QTest::addColumn<int>("rulerUnit");
    // Value, minimum and maximum of each side, groove, slider, corner radius, X and Y spacing.
    QTest::addColumn<QList<QList<double>>>("shown");
    QTest::addColumn<QStringList>("presetTexts");

    QTest::newRow("mm") << 1
                        << QList<QList<double>>{{50, 0, 850}, {3.33, 3, 3.33}, {33, 30, 33},
                                                {12, 0, 99},  {1.2, 0, 99.99}, {2, 0, 99.99}}
                        << QStringList{"25~50mm", "50~100mm", "100~200mm"};
    QTest::newRow("inch") << 2
                          << QList<QList<double>>{{1.97, 0, 33.46}, {0.13, 0.12, 0.13}, {1, 1, 1},
                                                  {0.47, 0, 3.9},   {0.05, 0, 3.94},    {0.08, 0, 3.94}}
                          << QStringList{"0.98~1.97inch", "1.97~3.94inch", "3.94~7.87inch"};
}

void TestFilletBox::freshDialog()
{
    QFETCH(int, rulerUnit);
    QFETCH(QList<QList<double>>, shown);
    QFETCH(QStringList, presetTexts);
    m_config->writeRulerUnit(rulerUnit);

    Open();

    for (const QString side : {"Length", "Width", "Height"})
        QCOMPARE(Shown(Spin(QStringLiteral("spinBox_fillet") + side)), shown[0]);
    for (const QString side : {"Length", "Width"}) {
        QCOMPARE(Shown(Groove(side)), shown[1]);
        QCOMPARE(Shown(Slider(side)), shown[2]);
    }
    QCOMPARE(Shown(Spin("spinBox_filletCornerRadius")), shown[3]);
    QCOMPARE(Shown(Spin("doubleSpinBox_filletCornerXSpace")), shown[4]);
    QCOMPARE(Shown(Spin("doubleSpinBox_filletCornerYSpace")), shown[5]);
    QCOMPARE(Widget<QSpinBox>("spinBox_filletCornerYCount")->value(), 2);
    for (int i = 0; i < kPresets.size(); ++i) {
        QCOMPARE(Widget<QRadioButton>(kPresets[i])->text(), presetTexts[i]);
        QCOMPARE(Widget<QRadioButton>(kPresets[i])->isChecked(), i == 1);
    }
    QVERIFY(Widget<QRadioButton>("radioButton_filletOutside")->isChecked());

    // The grooves pass through the shown unit; everything else, the unused
    // third groove too, is the default.
    SFilletBoxParam record = m_engine.lastRecord<SFilletBoxParam>(kFillet);
    QCOMPARE(record.dFluteOfHeight, 10.0 / 3);
    QCOMPARE(record.dFluteOfWidth, 10.0 / 3);
    record.dFluteOfHeight = record.dFluteOfWidth = 10.0 / 3;
    QCOMPARE(RecordBytes(record), Fillet());
}

void TestFilletBox::dimensionSetsGrooveLimit_data()
{
    QTest::addColumn<int>("rulerUnit");
    QTest::addColumn<QString>("radius"); // typed first unless empty
    QTest::addColumn<bool>("inside");    // clicked first
    QTest::addColumn<QString>("side");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<double>("grooveMm");
    QTest::addColumn<double>("grooveShown");
    QTest::addColumn<QList<double>>("slider");

    QTest::newRow("length 100") << 1 << "" << false << "Length" << "100" << 35.0 / 3 << 11.67
                                << QList<double>{116, 30, 116};
    QTest::newRow("inside length 100") << 1 << "" << true << "Length" << "100" << 38.0 / 3 << 12.67
                                       << QList<double>{126, 30, 126};
    QTest::newRow("length 40 radius 20: floor") << 1 << "20" << false << "Length" << "40" << 3.0 << 3.0
                                                << QList<double>{30, 30, 30};
    QTest::newRow("length 300: ceiling") << 1 << "" << false << "Length" << "300" << 30.0 << 30.0
                                         << QList<double>{300, 30, 300};
    QTest::newRow("width 300: ceiling") << 1 << "" << false << "Width" << "300" << 30.0 << 30.0
                                        << QList<double>{300, 30, 300};
    QTest::newRow("inch length 4") << 2 << "" << false << "Length" << "4" << 35.8 / 3 << 0.47
                                   << QList<double>{4, 1, 4};
}

void TestFilletBox::dimensionSetsGrooveLimit()
{
    QFETCH(int, rulerUnit);
    QFETCH(QString, radius);
    QFETCH(bool, inside);
    QFETCH(QString, side);
    QFETCH(QString, typed);
    QFETCH(double, grooveMm);
    QFETCH(double, grooveShown);
    QFETCH(QList<double>, slider);
    m_config->writeRulerUnit(rulerUnit);
    Open();
    ShowFilletPage();
    if (!radius.isEmpty())
        Enter(Spin("spinBox_filletCornerRadius"), radius);
    if (inside)
        ClickIndicator(Widget<QRadioButton>("radioButton_filletInside"));
    QDoubleSpinBox* dimension = Spin(QStringLiteral("spinBox_fillet") + side);
    Settle();
    QSignalSpy changes(dimension, &QDoubleSpinBox::valueChanged);

    Enter(dimension, typed);

    QCOMPARE(GrooveInRecord(side), grooveMm);
    QCOMPARE(Groove(side)->value(), grooveShown);
    QCOMPARE(Shown(Slider(side)), slider);
    // Each value builds, then sets the groove, which logs and builds again.
    VerifyPerChange(changes,
                    {dimension->objectName() + QStringLiteral(" was changed."),
                     Groove(side)->objectName() + QStringLiteral(" was changed.")},
                    2);
}

void TestFilletBox::sliderAndSpinBoxFollowEachOther_data()
{
    QTest::addColumn<QString>("side");
    QTest::addColumn<int>("sliderMovedTo"); // -1: typed instead
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("sliderShows");
    QTest::addColumn<double>("grooveMm");

    QTest::newRow("length slider 45") << "Length" << 45 << "" << 45 << 4.5;
    QTest::newRow("width slider 50") << "Width" << 50 << "" << 50 << 5.0;
    // Typing truncates the slider to the tenth below.
    QTest::newRow("typed 4.56") << "Length" << -1 << "4.56" << 45 << 4.56;
    QTest::newRow("typed 9.99") << "Width" << -1 << "9.99" << 99 << 9.99;
}

void TestFilletBox::sliderAndSpinBoxFollowEachOther()
{
    QFETCH(QString, side);
    QFETCH(int, sliderMovedTo);
    QFETCH(QString, typed);
    QFETCH(int, sliderShows);
    QFETCH(double, grooveMm);
    Open();
    ShowFilletPage();
    // Room for the grooves to move: a 100 mm box.
    Enter(Spin("spinBox_filletLength"), QStringLiteral("100"));
    Enter(Spin("spinBox_filletWidth"), QStringLiteral("100"));
    Settle();
    QSignalSpy changes(Groove(side), &QDoubleSpinBox::valueChanged);

    if (sliderMovedTo >= 0)
        Slider(side)->setValue(sliderMovedTo);
    else
        Enter(Groove(side), typed);

    QCOMPARE(Slider(side)->value(), sliderShows);
    QCOMPARE(GrooveInRecord(side), grooveMm);
    VerifyPerChange(changes, {Groove(side)->objectName() + QStringLiteral(" was changed.")});
}

void TestFilletBox::clicks_data()
{
    QTest::addColumn<QString>("storedFlag"); // set to 1 in Kerfmate.ini first
    QTest::addColumn<QString>("clicked");
    QTest::addColumn<QStringList>("sentences");
    QTest::addColumn<QByteArray>("record"); // empty: no build

    const QString outside = QStringLiteral("radioButton_filletOutside was clicked.");
    const QString inside = QStringLiteral("radioButton_filletInside was clicked.");
    QTest::newRow("inside while outside") << "" << "radioButton_filletInside" << QStringList{outside, inside}
                                          << Fillet([](auto& r) { r.bInSize = true; });
    // Stored inside measures open with their own grooves, (50 / 2 - 12) / 3; the click keeps them.
    QTest::newRow("outside while inside") << "bInSize" << "radioButton_filletOutside" << QStringList{inside, outside}
                                          << Fillet([](auto& r) { r.dFluteOfHeight = r.dFluteOfWidth = 13.0 / 3; });
    QTest::newRow("outside again") << "" << "radioButton_filletOutside" << QStringList() << QByteArray();
    QTest::newRow("no top") << "" << "checkBox_filletNoTop" << QStringList{"checkBox_filletNoTop was clicked."}
                            << Fillet([](auto& r) { r.bNoTop = true; });
    QTest::newRow("no top off") << "bNoTop" << "checkBox_filletNoTop"
                                << QStringList{"checkBox_filletNoTop was clicked."} << Fillet();
    QTest::newRow("no bottom") << "" << "checkBox_filletNoBottom"
                               << QStringList{"checkBox_filletNoBottom was clicked."}
                               << Fillet([](auto& r) { r.bNoBottom = true; });
    QTest::newRow("third side") << "" << "checkBox_3edgeNoFlute" << QStringList{"checkBox_3edgeNoFlute was clicked."}
                                << Fillet([](auto& r) { r.bNoFlute3Edge = true; });
    QTest::newRow("third side off") << "sCorner.bNoFlute3Edge" << "checkBox_3edgeNoFlute"
                                    << QStringList{"checkBox_3edgeNoFlute was clicked."} << Fillet();
}

void TestFilletBox::clicks()
{
    QFETCH(QString, storedFlag);
    QFETCH(QString, clicked);
    QFETCH(QStringList, sentences);
    QFETCH(QByteArray, record);
    if (!storedFlag.isEmpty())
        m_config->setIniValue(kGroup, storedFlag, 1);
    Open();
    ShowFilletPage();
    Settle();

    ClickIndicator(Widget<QAbstractButton>(clicked));

    QCOMPARE(m_config->logSentences(), sentences);
    QCOMPARE(m_engine.count(), record.isEmpty() ? 0 : 1);
    if (!record.isEmpty())
        QCOMPARE(LastRecord(), record);
}

void TestFilletBox::otherEditsKeepTheGrooveLimit_data()
{
    QTest::addColumn<int>("rulerUnit");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QList<double>>("corner"); // in the record

    const QList<double> fresh{12, 1.2, 2, 2};
    QTest::newRow("radius") << 1 << "spinBox_filletCornerRadius" << "20" << QList<double>{20, 1.2, 2, 2};
    QTest::newRow("X spacing") << 1 << "doubleSpinBox_filletCornerXSpace" << "2.5" << QList<double>{12, 2.5, 2, 2};
    QTest::newRow("Y spacing") << 1 << "doubleSpinBox_filletCornerYSpace" << "3" << QList<double>{12, 1.2, 3, 2};
    QTest::newRow("Y count") << 1 << "spinBox_filletCornerYCount" << "5" << QList<double>{12, 1.2, 2, 5};
    QTest::newRow("inch radius") << 2 << "spinBox_filletCornerRadius" << "0.5" << QList<double>{12.7, 1.2, 2, 2};
    QTest::newRow("inch Y count") << 2 << "spinBox_filletCornerYCount" << "7" << QList<double>{12, 1.2, 2, 7};
    QTest::newRow("thickness") << 1 << "doubleSpinBox_filletThickness" << "5" << fresh;
    QTest::newRow("height") << 1 << "spinBox_filletHeight" << "60" << fresh;
}

void TestFilletBox::otherEditsKeepTheGrooveLimit()
{
    QFETCH(int, rulerUnit);
    QFETCH(QString, name);
    QFETCH(QString, typed);
    QFETCH(QList<double>, corner);
    m_config->writeRulerUnit(rulerUnit);
    Open();
    ShowFilletPage();
    auto* spin = Widget<QAbstractSpinBox>(name);
    Settle();
    // The count is a whole-number spin box, the others decimal ones.
    QSignalSpy changes(spin, qobject_cast<QSpinBox*>(spin) ? SIGNAL(valueChanged(int)) : SIGNAL(valueChanged(double)));

    Enter(spin, typed);

    QCOMPARE(CornerInRecord(), corner);
    // Only the length and the width move the groove limit.
    QCOMPARE(GrooveInRecord("Length"), 10.0 / 3);
    QCOMPARE(GrooveInRecord("Width"), 10.0 / 3);
    VerifyPerChange(changes, {name + QStringLiteral(" was changed.")});
    // A hand edit leaves the preset choice as it was.
    QVERIFY(Widget<QRadioButton>(kPresets[1])->isChecked());
}

void TestFilletBox::presets_data()
{
    QTest::addColumn<int>("rulerUnit");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QList<double>>("corner"); // radius, X, Y, count in the record
    QTest::addColumn<QList<double>>("shown");
    QTest::addColumn<int>("nTemp");

    const QList<double> size100{20, 1.5, 2, 3};
    QTest::newRow("100~200mm") << 1 << "radioButton_filletSize100" << size100 << size100 << 2;
    QTest::newRow("25~50mm") << 1 << "radioButton_filletSize25" << QList<double>{8, 0.8, 2, 1}
                             << QList<double>{8, 0.8, 2, 1} << 0;
    // Clicking the checked preset again restores its corner after a hand edit.
    QTest::newRow("50~100mm again") << 1 << "radioButton_filletSize50" << QList<double>{12, 1.2, 2, 2}
                                    << QList<double>{12, 1.2, 2, 2} << 1;
    QTest::newRow("inch 3.94~7.87") << 2 << "radioButton_filletSize100" << size100
                                    << QList<double>{0.79, 0.06, 0.08, 3} << 2;
}

void TestFilletBox::presets()
{
    QFETCH(int, rulerUnit);
    QFETCH(QString, button);
    QFETCH(QList<double>, corner);
    QFETCH(QList<double>, shown);
    QFETCH(int, nTemp);
    m_config->writeRulerUnit(rulerUnit);
    Open();
    ShowFilletPage();
    Spin("spinBox_filletCornerRadius")->setValue(1.0);
    Widget<QSpinBox>("spinBox_filletCornerYCount")->setValue(9);
    Settle();

    ClickIndicator(Widget<QRadioButton>(button));

    QVERIFY(Widget<QRadioButton>(button)->isChecked());
    QCOMPARE(Values({"spinBox_filletCornerRadius", "doubleSpinBox_filletCornerXSpace",
                     "doubleSpinBox_filletCornerYSpace", "spinBox_filletCornerYCount"}),
             shown);
    // Shown without running the corner handlers: one sentence, one build.
    QCOMPARE(m_config->logSentences(), QStringList{button + QStringLiteral(" was clicked.")});
    QCOMPARE(m_engine.count(), 1);
    QCOMPARE(CornerInRecord(), corner);

    QTest::mouseClick(Widget<QPushButton>("pushButton_ok"), Qt::LeftButton);
    QCOMPARE(m_config->iniValue(kGroup, QStringLiteral("nTemp")).toInt(), nTemp);
}

void TestFilletBox::storedValues_data()
{
    QTest::addColumn<QVariantMap>("stored");
    QTest::addColumn<QByteArray>("record");
    QTest::addColumn<QVariantMap>("shown"); // widgets that cannot show the record as it is

    // Box values are clamped, and both grooves are worked out afresh.
    QTest::newRow("lower bounds") << QVariantMap{{"dWidth", 10000}, {"dDepth", 10000}, {"dHeight", 5000},
                                                 {"dThickness", 500}, {"dLaserWidth", 50}}
                                  << Fillet([](auto& r) {
                                         r.dWidth = r.dDepth = 25; r.dHeight = 10;
                                         r.dThickness = 1; r.dLaserWidth = 0.1;
                                         r.dFluteOfHeight = r.dFluteOfWidth = 3;
                                     })
                                  << QVariantMap();
    QTest::newRow("upper bounds") << QVariantMap{{"dWidth", "1e300"}, {"dDepth", 900000}, {"dHeight", "1e300"},
                                                 {"dThickness", 20000}, {"dLaserWidth", 2000}}
                                  << Fillet([](auto& r) {
                                         r.dWidth = r.dDepth = r.dHeight = 850; r.dThickness = 10; r.dLaserWidth = 0.8;
                                         r.dFluteOfHeight = r.dFluteOfWidth = 30;
                                     })
                                  << QVariantMap();
    QTest::newRow("inside lower bounds")
        << QVariantMap{{"bInSize", 1}, {"dWidth", 10000}, {"dDepth", 10000}}
        << Fillet([](auto& r) { r.bInSize = true; r.dWidth = r.dDepth = 20; r.dFluteOfHeight = r.dFluteOfWidth = 3; })
        << QVariantMap();
    QTest::newRow("in range, groove replaced")
        << QVariantMap{{"dWidth", 120000}, {"dFluteOfHeight", 20000}}
        << Fillet([](auto& r) { r.dWidth = 120; r.dFluteOfHeight = 15; }) << QVariantMap();
    QTest::newRow("NaN length") << QVariantMap{{"dWidth", "nan"}}
                                << Fillet([](auto& r) { r.dWidth = 25; r.dFluteOfHeight = 3; }) << QVariantMap();

    // The count is read as a number without factor and truncated toward zero.
    const auto count = [](int n) { return Fillet([n](auto& r) { r.sCorner.nYCount = n; }); };
    const QString countSpin = QStringLiteral("spinBox_filletCornerYCount");
    QTest::newRow("count 3.9") << QVariantMap{{"sCorner.nYCount", "3.9"}} << count(3) << QVariantMap{{countSpin, 3}};
    QTest::newRow("count -2.7") << QVariantMap{{"sCorner.nYCount", "-2.7"}} << count(-2)
                                << QVariantMap{{countSpin, 0}};
    QTest::newRow("count beyond int") << QVariantMap{{"sCorner.nYCount", "1e20"}} << count(INT_MAX)
                                      << QVariantMap{{countSpin, 99}};

    // The preset choice is shown, whatever the stored corner; the corner stays.
    const QByteArray radius5 = Fillet([](auto& r) {
        r.sCorner.dRadius = 5;
        r.dFluteOfHeight = r.dFluteOfWidth = 17.0 / 3; // ((50 - 6) / 2 - 5) / 3
    });
    QTest::newRow("nTemp missing") << QVariantMap{{"sCorner.dRadius", 5000}} << radius5
                                   << QVariantMap{{kPresets[1], true}};
    QTest::newRow("nTemp 2") << QVariantMap{{"sCorner.dRadius", 5000}, {"nTemp", 2}} << radius5
                             << QVariantMap{{kPresets[2], true}};
}

void TestFilletBox::storedValues()
{
    QFETCH(QVariantMap, stored);
    QFETCH(QByteArray, record);
    QFETCH(QVariantMap, shown);
    for (auto it = stored.cbegin(); it != stored.cend(); ++it)
        m_config->setIniValue(kGroup, it.key(), it.value());

    Open();

    QCOMPARE(LastRecord(), record);
    const SFilletBoxParam r = m_engine.lastRecord<SFilletBoxParam>(kFillet);
    QCOMPARE(Values({"spinBox_filletLength", "spinBox_filletWidth", "spinBox_filletHeight",
                     "doubleSpinBox_filletThickness", "doubleSpinBox_filletLaserWidth", "spinBox_filletCornerRadius"}),
             (QList<double>{r.dWidth, r.dDepth, r.dHeight, r.dThickness, r.dLaserWidth, r.sCorner.dRadius}));
    for (auto it = shown.cbegin(); it != shown.cend(); ++it)
        QCOMPARE(Widget<QWidget>(it.key())->property(it.key().startsWith("radio") ? "checked" : "value"), it.value());
}

void TestFilletBox::okSavesFromAnotherPage()
{
    Open();
    ShowFilletPage();
    Enter(Spin("spinBox_filletLength"), QStringLiteral("96"));
    Enter(Spin("spinBox_filletWidth"), QStringLiteral("60"));
    Enter(Spin("spinBox_filletHeight"), QStringLiteral("70"));
    for (const char* name : {"checkBox_filletNoTop", "checkBox_3edgeNoFlute", "radioButton_filletSize100",
                             "radioButton_filletInside"})
        ClickIndicator(Widget<QAbstractButton>(name));
    auto* combo = Widget<QComboBox>("comboBox_boxSwitch");
    QTest::keyClick(combo, Qt::Key_Down);
    QCOMPARE(combo->currentIndex(), 2);

    QTest::mouseClick(Widget<QPushButton>("pushButton_ok"), Qt::LeftButton);

    QCOMPARE(m_dlg->result(), 1);
    // Grooves as last worked out: ((96 - 6) / 2 - 12) / 3 and ((60 - 6) / 2 - 12) / 3.
    const QStringList expected{
        "bInSize=1",           "bNoTop=1",          "bNoBottom=0",       "dWidth=96000",
        "dHeight=70000",       "dDepth=60000",      "dFluteOfWidth=5000", "dFluteOfHeight=11000",
        "dThickness=3000",     "dLaserWidth=300",   "sCorner.dRadius=20000", "sCorner.dXSpace=1500",
        "sCorner.dYSpace=2000", "sCorner.nYCount=3", "sCorner.bNoFlute3Edge=1", "nTemp=2",
        "dFluteOfDepth="};
    QCOMPARE(Saved(kGroup, expected), expected);
}

QTEST_MAIN(TestFilletBox)
#include "tst_filletbox.moc"
