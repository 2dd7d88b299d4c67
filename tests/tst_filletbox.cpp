// The rounded box as the user meets it: groove limits from the corner,
// presets, load clamps, the record the engine receives, Kerfmate.ini and
// the log.
#include "DialogFixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSlider>
#include <QSpinBox>
#include <QtTest>
#include <climits>

namespace {
const QString kGroup = QStringLiteral("DLG_FILLET_BOX");
constexpr int kLengthGrooveOffset = 32;
constexpr int kWidthGrooveOffset = 24;

// The groove limit for an outside-measured side of 3 mm board.
double Limit(double dSide, double dRadius = 12.0, double dWalls = 6.0)
{
    return ((dSide - dWalls) / 2 - dRadius) / 3;
}
} // namespace

class TestFilletBox : public QObject, private DialogFixture
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void freshDialog_data();
    void freshDialog();
    void dimensionSetsGrooveLimit_data();
    void dimensionSetsGrooveLimit();
    void grooveLimitStaysOnOtherEdits_data();
    void grooveLimitStaysOnOtherEdits();
    void sliderAndSpinBoxFollowEachOther_data();
    void sliderAndSpinBoxFollowEachOther();
    void measuresChoice_data();
    void measuresChoice();
    void checkBoxes_data();
    void checkBoxes();
    void cornerEdits_data();
    void cornerEdits();
    void presets_data();
    void presets();
    void loadClampsBoxValues_data();
    void loadClampsBoxValues();
    void loadCornerCount_data();
    void loadCornerCount();
    void loadReferenceSize_data();
    void loadReferenceSize();
    void okSavesFromAnotherPage_data();
    void okSavesFromAnotherPage();
    void savedValuesComeBackEscapeSavesNothing();
    void thousandBuildsLeaveNoShapes();

private:
    void ShowFilletPage();
    QByteArray LastRecord() const { return LastRecordOf(QStringLiteral("fillet")); }
    double GrooveInRecord(int nOffset) const { return FieldAt<double>(LastRecord(), nOffset); }
};

void TestFilletBox::init()
{
    SetUpDialogTest();
}

void TestFilletBox::cleanup()
{
    TearDownDialogTest();
}

void TestFilletBox::ShowFilletPage()
{
    auto* combo = Widget<QComboBox>(QStringLiteral("comboBox_boxSwitch"));
    QTest::keyClick(combo, Qt::Key_Down);
    QCOMPARE(combo->currentIndex(), 1);
    QVERIFY(Widget<QWidget>(QStringLiteral("widget_FilletBoxParams"))->isVisible());
}

void TestFilletBox::freshDialog_data()
{
    QTest::addColumn<int>("rulerUnit");
    QTest::addColumn<double>("factor"); // millimetres per shown unit
    QTest::addColumn<double>("side");
    QTest::addColumn<double>("groove");
    QTest::addColumn<int>("sliderMin");
    QTest::addColumn<int>("sliderMax");
    QTest::addColumn<QList<double>>("corner"); // radius, X, Y as shown
    QTest::addColumn<QList<double>>("cornerMax");
    QTest::addColumn<QStringList>("presetTexts");

    QTest::newRow("mm") << 1 << 1.0 << 50.0 << 3.33 << 30 << 33 << QList<double>{12, 1.2, 2}
                        << QList<double>{99, 99.99, 99.99} << QStringList{"25~50mm", "50~100mm", "100~200mm"};
    QTest::newRow("inch") << 2 << 25.4 << 1.97 << 0.13 << 1 << 1 << QList<double>{0.47, 0.05, 0.08}
                          << QList<double>{3.9, 3.94, 3.94}
                          << QStringList{"0.98~1.97inch", "1.97~3.94inch", "3.94~7.87inch"};
}

void TestFilletBox::freshDialog()
{
    QFETCH(int, rulerUnit);
    QFETCH(double, factor);
    QFETCH(double, side);
    QFETCH(double, groove);
    QFETCH(int, sliderMin);
    QFETCH(int, sliderMax);
    QFETCH(QList<double>, corner);
    QFETCH(QList<double>, cornerMax);
    QFETCH(QStringList, presetTexts);
    m_config->writeRulerUnit(rulerUnit);

    Open();

    for (const char* name : {"spinBox_filletLength", "spinBox_filletWidth", "spinBox_filletHeight"}) {
        QCOMPARE(Spin(QLatin1String(name))->value(), side);
        QCOMPARE(Spin(QLatin1String(name))->minimum(), 0.0);
        QCOMPARE(Spin(QLatin1String(name))->maximum(), factor == 1.0 ? 850.0 : 33.46);
    }
    for (const char* name : {"FluteLength", "FluteWidth"}) {
        QCOMPARE(Spin(QStringLiteral("doubleSpinBox_fillet") + QLatin1String(name))->value(), groove);
        QSlider* slider = Widget<QSlider>(QStringLiteral("horizontalSlider_fillet") + QLatin1String(name));
        QCOMPARE(slider->minimum(), sliderMin);
        QCOMPARE(slider->maximum(), sliderMax);
        QCOMPARE(slider->value(), sliderMax);
    }
    const QStringList cornerNames{"spinBox_filletCornerRadius", "doubleSpinBox_filletCornerXSpace",
                                  "doubleSpinBox_filletCornerYSpace"};
    for (int i = 0; i < cornerNames.size(); ++i) {
        QCOMPARE(Spin(cornerNames[i])->value(), corner[i]);
        QCOMPARE(Spin(cornerNames[i])->maximum(), cornerMax[i]);
    }
    QCOMPARE(Widget<QSpinBox>(QStringLiteral("spinBox_filletCornerYCount"))->value(), 2);
    const QStringList presetNames{"radioButton_filletSize25", "radioButton_filletSize50",
                                  "radioButton_filletSize100"};
    for (int i = 0; i < presetNames.size(); ++i) {
        QCOMPARE(Widget<QRadioButton>(presetNames[i])->text(), presetTexts[i]);
        QCOMPARE(Widget<QRadioButton>(presetNames[i])->isChecked(), i == 1);
    }
    QVERIFY(Widget<QRadioButton>(QStringLiteral("radioButton_filletOutside"))->isChecked());

    // The grooves reach the record through their spin boxes, in the shown
    // unit; everything else, the unused third groove too, is the default.
    SFilletBoxParam expected;
    expected.dFluteOfHeight = expected.dFluteOfWidth = Limit(50) / factor * factor;
    QCOMPARE(LastRecord(), RecordBytes(expected));
    QCOMPARE(FieldAt<double>(LastRecord(), 40), 12.5);
}

void TestFilletBox::dimensionSetsGrooveLimit_data()
{
    QTest::addColumn<int>("rulerUnit");
    QTest::addColumn<QString>("radius"); // typed first unless empty
    QTest::addColumn<bool>("inside");    // clicked first
    QTest::addColumn<QString>("dimension");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<double>("grooveMm");
    QTest::addColumn<double>("grooveShown");
    QTest::addColumn<int>("sliderMax");

    QTest::newRow("length 100") << 1 << "" << false << "Length" << "100" << Limit(100) << 11.67 << 116;
    QTest::newRow("width 100") << 1 << "" << false << "Width" << "100" << Limit(100) << 11.67 << 116;
    QTest::newRow("inside length 100") << 1 << "" << true << "Length" << "100" << Limit(100, 12, 0) << 12.67
                                       << 126;
    QTest::newRow("length 40 radius 20: floor") << 1 << "20" << false << "Length" << "40" << 3.0 << 3.0 << 30;
    QTest::newRow("length 300: ceiling") << 1 << "" << false << "Length" << "300" << 30.0 << 30.0 << 300;
    QTest::newRow("width 300: ceiling") << 1 << "" << false << "Width" << "300" << 30.0 << 30.0 << 300;
    QTest::newRow("inch length 4") << 2 << "" << false << "Length" << "4" << Limit(4 * 25.4) << 0.47 << 4;
}

void TestFilletBox::dimensionSetsGrooveLimit()
{
    QFETCH(int, rulerUnit);
    QFETCH(QString, radius);
    QFETCH(bool, inside);
    QFETCH(QString, dimension);
    QFETCH(QString, typed);
    QFETCH(double, grooveMm);
    QFETCH(double, grooveShown);
    QFETCH(int, sliderMax);
    m_config->writeRulerUnit(rulerUnit);
    Open();
    ShowFilletPage();
    if (!radius.isEmpty())
        Enter(Spin(QStringLiteral("spinBox_filletCornerRadius")), radius);
    if (inside)
        ClickIndicator(Widget<QRadioButton>(QStringLiteral("radioButton_filletInside")));
    const QString grooveName = QStringLiteral("Flute") + dimension;
    QDoubleSpinBox* dimensionSpin = Spin(QStringLiteral("spinBox_fillet") + dimension);
    QDoubleSpinBox* grooveSpin = Spin(QStringLiteral("doubleSpinBox_fillet") + grooveName);
    QSlider* slider = Widget<QSlider>(QStringLiteral("horizontalSlider_fillet") + grooveName);
    Settle();
    QSignalSpy changes(dimensionSpin, &QDoubleSpinBox::valueChanged);

    Enter(dimensionSpin, typed);

    const int offset = dimension == QLatin1String("Length") ? kLengthGrooveOffset : kWidthGrooveOffset;
    QCOMPARE(GrooveInRecord(offset), grooveMm);
    QCOMPARE(grooveSpin->value(), grooveShown);
    QCOMPARE(slider->maximum(), sliderMax);
    QCOMPARE(slider->value(), int(grooveShown * 10));
    // Each value builds, then sets the groove, which logs and builds again.
    VerifyPerChange(changes,
                    {dimensionSpin->objectName() + QStringLiteral(" was changed."),
                     grooveSpin->objectName() + QStringLiteral(" was changed.")},
                    2);
}

void TestFilletBox::grooveLimitStaysOnOtherEdits_data()
{
    QTest::addColumn<QString>("edit");
    QTest::newRow("corner radius") << "spinBox_filletCornerRadius";
    QTest::newRow("thickness") << "doubleSpinBox_filletThickness";
    QTest::newRow("inside") << "radioButton_filletInside";
    QTest::newRow("preset") << "radioButton_filletSize100";
    QTest::newRow("height") << "spinBox_filletHeight";
}

void TestFilletBox::grooveLimitStaysOnOtherEdits()
{
    QFETCH(QString, edit);
    Open();
    ShowFilletPage();
    Settle();

    if (auto* button = m_dlg->findChild<QRadioButton*>(edit))
        ClickIndicator(button);
    else
        Spin(edit)->setValue(5.0);

    QCOMPARE(m_engine.count(), 1);
    for (const char* name : {"doubleSpinBox_filletFluteLength", "doubleSpinBox_filletFluteWidth"}) {
        QCOMPARE(Spin(QLatin1String(name))->value(), 3.33);
        QCOMPARE(Spin(QLatin1String(name))->maximum(), 3.33);
    }
    QCOMPARE(GrooveInRecord(kLengthGrooveOffset), Limit(50));
    QCOMPARE(GrooveInRecord(kWidthGrooveOffset), Limit(50));
    QVERIFY(m_config->logSentences().filter(QStringLiteral("Flute")).isEmpty());
}

void TestFilletBox::sliderAndSpinBoxFollowEachOther_data()
{
    QTest::addColumn<QString>("grooveName");
    QTest::addColumn<int>("sliderMovedTo"); // -1: type instead
    QTest::addColumn<QString>("typed");
    QTest::addColumn<double>("spinShows");
    QTest::addColumn<int>("sliderShows");
    QTest::addColumn<int>("offset");

    QTest::newRow("length slider 45") << "FluteLength" << 45 << "" << 4.5 << 45 << kLengthGrooveOffset;
    QTest::newRow("width slider 50") << "FluteWidth" << 50 << "" << 5.0 << 50 << kWidthGrooveOffset;
    // Typing truncates the slider to the tenth below.
    QTest::newRow("typed 4.56") << "FluteLength" << -1 << "4.56" << 4.56 << 45 << kLengthGrooveOffset;
    QTest::newRow("typed 9.99") << "FluteWidth" << -1 << "9.99" << 9.99 << 99 << kWidthGrooveOffset;
}

void TestFilletBox::sliderAndSpinBoxFollowEachOther()
{
    QFETCH(QString, grooveName);
    QFETCH(int, sliderMovedTo);
    QFETCH(QString, typed);
    QFETCH(double, spinShows);
    QFETCH(int, sliderShows);
    QFETCH(int, offset);
    Open();
    ShowFilletPage();
    // Room for the grooves to move: a 100 mm box.
    Enter(Spin(QStringLiteral("spinBox_filletLength")), QStringLiteral("100"));
    Enter(Spin(QStringLiteral("spinBox_filletWidth")), QStringLiteral("100"));
    QDoubleSpinBox* spin = Spin(QStringLiteral("doubleSpinBox_fillet") + grooveName);
    QSlider* slider = Widget<QSlider>(QStringLiteral("horizontalSlider_fillet") + grooveName);
    Settle();
    QSignalSpy changes(spin, &QDoubleSpinBox::valueChanged);

    if (sliderMovedTo >= 0)
        slider->setValue(sliderMovedTo);
    else
        Enter(spin, typed);

    QCOMPARE(spin->value(), spinShows);
    QCOMPARE(slider->value(), sliderShows);
    QCOMPARE(GrooveInRecord(offset), spinShows);
    VerifyPerChange(changes, {spin->objectName() + QStringLiteral(" was changed.")});
}

void TestFilletBox::measuresChoice_data()
{
    QTest::addColumn<QVariant>("storedInSize");
    QTest::addColumn<QString>("clicked");
    QTest::addColumn<QStringList>("sentences");
    QTest::addColumn<bool>("inSize");
    QTest::addColumn<int>("builds");

    const QString outside = QStringLiteral("radioButton_filletOutside was clicked.");
    const QString inside = QStringLiteral("radioButton_filletInside was clicked.");
    QTest::newRow("inside while outside") << QVariant() << "radioButton_filletInside"
                                          << QStringList{outside, inside} << true << 1;
    QTest::newRow("outside while inside") << QVariant(1) << "radioButton_filletOutside"
                                          << QStringList{inside, outside} << false << 1;
    QTest::newRow("outside again") << QVariant() << "radioButton_filletOutside" << QStringList() << false << 0;
}

void TestFilletBox::measuresChoice()
{
    QFETCH(QVariant, storedInSize);
    QFETCH(QString, clicked);
    QFETCH(QStringList, sentences);
    QFETCH(bool, inSize);
    QFETCH(int, builds);
    if (storedInSize.isValid())
        m_config->setIniValue(kGroup, QStringLiteral("bInSize"), storedInSize);
    Open();
    ShowFilletPage();
    QCOMPARE(Widget<QRadioButton>(QStringLiteral("radioButton_filletInside"))->isChecked(),
             storedInSize.isValid());
    Settle();

    ClickIndicator(Widget<QRadioButton>(clicked));

    QCOMPARE(m_config->logSentences(), sentences);
    QCOMPARE(m_engine.count(), builds);
    QCOMPARE(FieldAt<char>(LastRecord(), 64), char(builds ? inSize : 0));
    QCOMPARE(Widget<QRadioButton>(QStringLiteral("radioButton_filletInside"))->isChecked(), inSize);
}

void TestFilletBox::checkBoxes_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("offset");
    QTest::newRow("no top") << "checkBox_filletNoTop" << 65;
    QTest::newRow("no bottom") << "checkBox_filletNoBottom" << 66;
    QTest::newRow("no groove on the third side") << "checkBox_3edgeNoFlute" << 104;
}

void TestFilletBox::checkBoxes()
{
    QFETCH(QString, name);
    QFETCH(int, offset);
    Open();
    ShowFilletPage();
    const QByteArray before = LastRecord();
    Settle();

    ClickIndicator(Widget<QCheckBox>(name));
    QCOMPARE(FieldAt<char>(LastRecord(), offset), char(1));
    QByteArray expected = before;
    expected[offset] = 1;
    QCOMPARE(LastRecord(), expected);
    ClickIndicator(Widget<QCheckBox>(name));
    QCOMPARE(LastRecord(), before);

    QCOMPARE(m_config->logSentences(), QStringList(2, name + QStringLiteral(" was clicked.")));
    QCOMPARE(m_engine.count(), 2);
}

void TestFilletBox::cornerEdits_data()
{
    QTest::addColumn<int>("rulerUnit");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("offset");
    QTest::addColumn<double>("stored"); // millimetres, or the count

    QTest::newRow("radius") << 1 << "spinBox_filletCornerRadius" << "20" << 72 << 20.0;
    QTest::newRow("X spacing") << 1 << "doubleSpinBox_filletCornerXSpace" << "2.5" << 80 << 2.5;
    QTest::newRow("Y spacing") << 1 << "doubleSpinBox_filletCornerYSpace" << "3" << 88 << 3.0;
    QTest::newRow("Y count") << 1 << "spinBox_filletCornerYCount" << "5" << 96 << 5.0;
    QTest::newRow("inch radius") << 2 << "spinBox_filletCornerRadius" << "0.5" << 72 << 0.5 * 25.4;
    QTest::newRow("inch Y count") << 2 << "spinBox_filletCornerYCount" << "7" << 96 << 7.0;
}

void TestFilletBox::cornerEdits()
{
    QFETCH(int, rulerUnit);
    QFETCH(QString, name);
    QFETCH(QString, typed);
    QFETCH(int, offset);
    QFETCH(double, stored);
    m_config->writeRulerUnit(rulerUnit);
    Open();
    ShowFilletPage();
    auto* spin = Widget<QAbstractSpinBox>(name);
    Settle();
    // The count is a whole-number spin box, the others decimal ones.
    QSignalSpy changes(spin, qobject_cast<QSpinBox*>(spin) ? SIGNAL(valueChanged(int)) : SIGNAL(valueChanged(double)));

    Enter(spin, typed);

    const QByteArray record = LastRecord();
    if (offset == 96)
        QCOMPARE(FieldAt<int32_t>(record, offset), int32_t(stored));
    else
        QCOMPARE(FieldAt<double>(record, offset), stored);
    VerifyPerChange(changes, {name + QStringLiteral(" was changed.")});
    // A hand edit leaves the preset choice as it was.
    QVERIFY(Widget<QRadioButton>(QStringLiteral("radioButton_filletSize50"))->isChecked());
}

void TestFilletBox::presets_data()
{
    QTest::addColumn<int>("rulerUnit");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QList<double>>("corner"); // radius, X, Y in mm
    QTest::addColumn<int>("count");
    QTest::addColumn<QList<double>>("shown");
    QTest::addColumn<int>("nTemp");

    QTest::newRow("100~200mm") << 1 << "radioButton_filletSize100" << QList<double>{20, 1.5, 2} << 3
                               << QList<double>{20, 1.5, 2} << 2;
    QTest::newRow("25~50mm") << 1 << "radioButton_filletSize25" << QList<double>{8, 0.8, 2} << 1
                             << QList<double>{8, 0.8, 2} << 0;
    // Clicking the checked preset again restores its corner after a hand edit.
    QTest::newRow("50~100mm again") << 1 << "radioButton_filletSize50" << QList<double>{12, 1.2, 2} << 2
                                    << QList<double>{12, 1.2, 2} << 1;
    QTest::newRow("inch 3.94~7.87") << 2 << "radioButton_filletSize100" << QList<double>{20, 1.5, 2} << 3
                                    << QList<double>{0.79, 0.06, 0.08} << 2;
}

void TestFilletBox::presets()
{
    QFETCH(int, rulerUnit);
    QFETCH(QString, button);
    QFETCH(QList<double>, corner);
    QFETCH(int, count);
    QFETCH(QList<double>, shown);
    QFETCH(int, nTemp);
    m_config->writeRulerUnit(rulerUnit);
    Open();
    ShowFilletPage();
    const QStringList names{"spinBox_filletCornerRadius", "doubleSpinBox_filletCornerXSpace",
                            "doubleSpinBox_filletCornerYSpace"};
    Spin(names[0])->setValue(1.0);
    Widget<QSpinBox>(QStringLiteral("spinBox_filletCornerYCount"))->setValue(9);
    Settle();
    QSignalSpy cornerChanges(Spin(names[0]), &QDoubleSpinBox::valueChanged);
    QSignalSpy countChanges(Widget<QSpinBox>(QStringLiteral("spinBox_filletCornerYCount")), &QSpinBox::valueChanged);

    ClickIndicator(Widget<QRadioButton>(button));

    QVERIFY(Widget<QRadioButton>(button)->isChecked());
    for (int i = 0; i < names.size(); ++i)
        QCOMPARE(Spin(names[i])->value(), shown[i]);
    QCOMPARE(Widget<QSpinBox>(QStringLiteral("spinBox_filletCornerYCount"))->value(), count);
    QCOMPARE(cornerChanges.count(), 0);
    QCOMPARE(countChanges.count(), 0);
    QCOMPARE(m_config->logSentences(), QStringList{button + QStringLiteral(" was clicked.")});
    QCOMPARE(m_engine.count(), 1);
    SCornerParam expected;
    expected.dRadius = corner[0];
    expected.dXSpace = corner[1];
    expected.dYSpace = corner[2];
    expected.nYCount = count;
    QCOMPARE(LastRecord().mid(72, 32), RecordBytes(expected));

    QTest::mouseClick(Widget<QPushButton>(QStringLiteral("pushButton_ok")), Qt::LeftButton);
    QCOMPARE(m_config->iniValue(kGroup, QStringLiteral("nTemp")).toString(), QString::number(nTemp));
}

void TestFilletBox::loadClampsBoxValues_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<bool>("inSize");
    QTest::addColumn<int>("offset");
    QTest::addColumn<double>("loaded");

    QTest::newRow("length 10 outside") << "dWidth" << QVariant(10000) << false << 0 << 25.0;
    QTest::newRow("length 10 inside") << "dWidth" << QVariant(10000) << true << 0 << 20.0;
    QTest::newRow("width 10 outside") << "dDepth" << QVariant(10000) << false << 16 << 25.0;
    QTest::newRow("width 900") << "dDepth" << QVariant(900000) << false << 16 << 850.0;
    QTest::newRow("height 5") << "dHeight" << QVariant(5000) << false << 8 << 10.0;
    QTest::newRow("thickness 20") << "dThickness" << QVariant(20000) << false << 48 << 10.0;
    QTest::newRow("thickness 0.5") << "dThickness" << QVariant(500) << false << 48 << 1.0;
    QTest::newRow("laser 2") << "dLaserWidth" << QVariant(2000) << false << 56 << 0.8;
    QTest::newRow("laser 0.05") << "dLaserWidth" << QVariant(50) << false << 56 << 0.1;
    QTest::newRow("length in range") << "dWidth" << QVariant(120000) << false << 0 << 120.0;
    QTest::newRow("length not a number") << "dWidth" << QVariant("abc") << false << 0 << 25.0;
    QTest::newRow("length NaN") << "dWidth" << QVariant("nan") << false << 0 << 25.0;
    QTest::newRow("height huge") << "dHeight" << QVariant("1e300") << false << 8 << 850.0;
}

void TestFilletBox::loadClampsBoxValues()
{
    QFETCH(QString, key);
    QFETCH(QVariant, stored);
    QFETCH(bool, inSize);
    QFETCH(int, offset);
    QFETCH(double, loaded);
    m_config->setIniValue(kGroup, key, stored);
    m_config->setIniValue(kGroup, QStringLiteral("bInSize"), int(inSize));

    Open();

    QCOMPARE(FieldAt<double>(LastRecord(), offset), loaded);
    const char* widgets[] = {"spinBox_filletLength", "spinBox_filletHeight", "spinBox_filletWidth", nullptr, nullptr,
                             nullptr, "doubleSpinBox_filletThickness", "doubleSpinBox_filletLaserWidth"};
    QCOMPARE(Spin(QLatin1String(widgets[offset / 8]))->value(), loaded);
}

void TestFilletBox::loadCornerCount_data()
{
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<int>("loaded");
    QTest::addColumn<int>("shown");

    QTest::newRow("missing") << QVariant() << 2 << 2;
    QTest::newRow("3, no factor") << QVariant(3) << 3 << 3;
    QTest::newRow("3.9 truncated") << QVariant("3.9") << 3 << 3;
    QTest::newRow("-2.7 toward zero") << QVariant("-2.7") << -2 << 0;
    QTest::newRow("not a number") << QVariant("abc") << 0 << 0;
    QTest::newRow("beyond int") << QVariant("1e20") << INT_MAX << 99;
}

void TestFilletBox::loadCornerCount()
{
    QFETCH(QVariant, stored);
    QFETCH(int, loaded);
    QFETCH(int, shown);
    if (stored.isValid())
        m_config->setIniValue(kGroup, QStringLiteral("sCorner.nYCount"), stored);

    Open();

    QCOMPARE(FieldAt<int32_t>(LastRecord(), 96), loaded);
    QCOMPARE(Widget<QSpinBox>(QStringLiteral("spinBox_filletCornerYCount"))->value(), shown);
}

void TestFilletBox::loadReferenceSize_data()
{
    QTest::addColumn<QVariant>("nTemp");
    QTest::addColumn<QString>("checked");
    QTest::newRow("missing") << QVariant() << "radioButton_filletSize50";
    QTest::newRow("0") << QVariant(0) << "radioButton_filletSize25";
    QTest::newRow("2") << QVariant(2) << "radioButton_filletSize100";
}

void TestFilletBox::loadReferenceSize()
{
    QFETCH(QVariant, nTemp);
    QFETCH(QString, checked);
    if (nTemp.isValid())
        m_config->setIniValue(kGroup, QStringLiteral("nTemp"), nTemp);
    m_config->setIniValue(kGroup, QStringLiteral("sCorner.dRadius"), 5000);

    Open();

    for (const char* name : {"radioButton_filletSize25", "radioButton_filletSize50", "radioButton_filletSize100"})
        QCOMPARE(Widget<QRadioButton>(QLatin1String(name))->isChecked(), checked == QLatin1String(name));
    // The choice is shown; the stored corner stays.
    QCOMPARE(Spin(QStringLiteral("spinBox_filletCornerRadius"))->value(), 5.0);
    QCOMPARE(FieldAt<double>(LastRecord(), 72), 5.0);
}

void TestFilletBox::okSavesFromAnotherPage_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QVariant>("stored"); // int: exact text; double: value; invalid: absent

    QTest::newRow("bInSize") << "bInSize" << QVariant(0);
    QTest::newRow("bNoTop") << "bNoTop" << QVariant(0);
    QTest::newRow("bNoBottom") << "bNoBottom" << QVariant(1);
    QTest::newRow("dWidth") << "dWidth" << QVariant(100000.0);
    QTest::newRow("dHeight") << "dHeight" << QVariant(70000.0);
    QTest::newRow("dDepth") << "dDepth" << QVariant(50000.0);
    QTest::newRow("dFluteOfWidth") << "dFluteOfWidth" << QVariant(Limit(50) * 1000);
    QTest::newRow("dFluteOfHeight") << "dFluteOfHeight" << QVariant(Limit(100) * 1000);
    QTest::newRow("dThickness") << "dThickness" << QVariant(3000.0);
    QTest::newRow("dLaserWidth") << "dLaserWidth" << QVariant(300.0);
    QTest::newRow("sCorner.dRadius") << "sCorner.dRadius" << QVariant(20000.0);
    QTest::newRow("sCorner.dXSpace") << "sCorner.dXSpace" << QVariant(1500.0);
    QTest::newRow("sCorner.dYSpace") << "sCorner.dYSpace" << QVariant(2000.0);
    QTest::newRow("sCorner.nYCount") << "sCorner.nYCount" << QVariant(3);
    QTest::newRow("sCorner.bNoFlute3Edge") << "sCorner.bNoFlute3Edge" << QVariant(1);
    QTest::newRow("nTemp") << "nTemp" << QVariant(2);
    QTest::newRow("no third groove") << "dFluteOfDepth" << QVariant();
}

void TestFilletBox::okSavesFromAnotherPage()
{
    QFETCH(QString, key);
    QFETCH(QVariant, stored);
    Open();
    ShowFilletPage();
    Enter(Spin(QStringLiteral("spinBox_filletLength")), QStringLiteral("100"));
    Enter(Spin(QStringLiteral("spinBox_filletHeight")), QStringLiteral("70"));
    ClickIndicator(Widget<QCheckBox>(QStringLiteral("checkBox_filletNoBottom")));
    ClickIndicator(Widget<QCheckBox>(QStringLiteral("checkBox_3edgeNoFlute")));
    ClickIndicator(Widget<QRadioButton>(QStringLiteral("radioButton_filletSize100")));
    auto* combo = Widget<QComboBox>(QStringLiteral("comboBox_boxSwitch"));
    QTest::keyClick(combo, Qt::Key_Down);
    QCOMPARE(combo->currentIndex(), 2);

    QTest::mouseClick(Widget<QPushButton>(QStringLiteral("pushButton_ok")), Qt::LeftButton);

    const QVariant value = m_config->iniValue(kGroup, key);
    if (!stored.isValid())
        QVERIFY(!value.isValid());
    else if (stored.typeId() == QMetaType::Int)
        QCOMPARE(value.toString(), stored.toString());
    else
        QCOMPARE(value.toDouble(), stored.toDouble());
}

void TestFilletBox::savedValuesComeBackEscapeSavesNothing()
{
    Open();
    ShowFilletPage();
    Enter(Spin(QStringLiteral("spinBox_filletWidth")), QStringLiteral("120"));
    ClickIndicator(Widget<QRadioButton>(QStringLiteral("radioButton_filletSize25")));
    ClickIndicator(Widget<QCheckBox>(QStringLiteral("checkBox_filletNoTop")));
    ClickIndicator(Widget<QRadioButton>(QStringLiteral("radioButton_filletInside")));
    const QByteArray saved = LastRecord();
    QTest::mouseClick(Widget<QPushButton>(QStringLiteral("pushButton_ok")), Qt::LeftButton);
    m_dlg.reset();

    // A later dialog edited and left with Escape keeps none of its edits.
    Open();
    ShowFilletPage();
    Enter(Spin(QStringLiteral("spinBox_filletWidth")), QStringLiteral("200"));
    ClickIndicator(Widget<QRadioButton>(QStringLiteral("radioButton_filletSize100")));
    QTest::keyClick(m_dlg.get(), Qt::Key_Escape);
    QCOMPARE(m_dlg->result(), 0);
    m_dlg.reset();
    m_engine.clear();

    Open();

    QCOMPARE(Spin(QStringLiteral("spinBox_filletWidth"))->value(), 120.0);
    QCOMPARE(Spin(QStringLiteral("spinBox_filletCornerRadius"))->value(), 8.0);
    QVERIFY(Widget<QRadioButton>(QStringLiteral("radioButton_filletSize25"))->isChecked());
    QVERIFY(Widget<QCheckBox>(QStringLiteral("checkBox_filletNoTop"))->isChecked());
    QVERIFY(Widget<QRadioButton>(QStringLiteral("radioButton_filletInside"))->isChecked());
    // The grooves are worked out afresh, now for inside measures and the
    // smaller corner.
    SFilletBoxParam expected;
    std::memcpy(static_cast<void*>(&expected), saved.constData(), sizeof expected);
    expected.dFluteOfHeight = Limit(50, 8, 0);
    expected.dFluteOfWidth = Limit(120, 8, 0);
    QCOMPARE(LastRecord(), RecordBytes(expected));
}

void TestFilletBox::thousandBuildsLeaveNoShapes()
{
    Open();
    ShowFilletPage();
    QDoubleSpinBox* height = Spin(QStringLiteral("spinBox_filletHeight"));
    Settle();

    for (int i = 0; i < 1000; ++i) {
        QTest::keyClick(height, i % 2 ? Qt::Key_Down : Qt::Key_Up);
        if (i % 100 == 0)
            QTest::qWait(15);
    }

    QCOMPARE(m_engine.count(QStringLiteral("fillet")), 1000);
    m_dlg.reset();
    QCOMPARE(CShape::LiveCount(), m_nShapesBefore);
    QCOMPARE(CShapeList::LiveCount(), m_nListsBefore);
}

QTEST_MAIN(TestFilletBox)
#include "tst_filletbox.moc"
