// The right-angle box as the user meets it: what its widgets show, the
// record and face labels the engine receives, what Kerfmate.ini keeps and
// what the log says.
#include "DialogFixture.h"

#include "CTranslator.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QGraphicsPathItem>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSlider>
#include <QtTest>
#include <cmath>

namespace {
const QString kGroup = QStringLiteral("DLG_RECT_BOX");

void SetField(SRectBoxParam& record, int nOffset, double dValue)
{
    std::memcpy(reinterpret_cast<char*>(&record) + nOffset, &dValue, sizeof dValue);
}
} // namespace

class TestRectBox : public QObject, private DialogFixture
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void freshDialog_data();
    void freshDialog();
    void dimensionResetsItsGroove_data();
    void dimensionResetsItsGroove();
    void sliderAndSpinBoxFollowEachOther_data();
    void sliderAndSpinBoxFollowEachOther();
    void measuresChoice_data();
    void measuresChoice();
    void coverCheckBoxes_data();
    void coverCheckBoxes();
    void faceLabels_data();
    void faceLabels();
    void previewGetsBothListsResultOnlyTheMain();
    void okSavesFromAnotherPage_data();
    void okSavesFromAnotherPage();
    void savedValuesComeBack();
    void escapeSavesNothing();
    void loadedGroovesAreReplaced();
    void wildSettingsKeepTheDialogUsable_data();
    void wildSettingsKeepTheDialogUsable();
    void thousandBuildsLeaveNoShapes();

private:
    QByteArray LastRecord() const { return LastRecordOf(QStringLiteral("rect")); }
};

void TestRectBox::init()
{
    SetUpDialogTest();
}

void TestRectBox::cleanup()
{
    // Drops the test catalogue of the face label cases.
    CTranslator::GetInstance()->SetLanguage(QStringLiteral("en"));
    TearDownDialogTest();
}

void TestRectBox::freshDialog_data()
{
    QTest::addColumn<int>("rulerUnit"); // -1: no cfg.ini
    QTest::addColumn<double>("length");
    QTest::addColumn<double>("lengthMin");
    QTest::addColumn<double>("lengthMax");
    QTest::addColumn<double>("groove");
    QTest::addColumn<double>("grooveMin");
    QTest::addColumn<int>("sliderMin");
    QTest::addColumn<int>("sliderMax");
    QTest::addColumn<double>("thickness");
    QTest::addColumn<double>("laserWidth");

    // Inch values are the millimetres / 25.4 at two decimals.
    QTest::newRow("no cfg.ini: mm") << -1 << 50.0 << 10.0 << 850.0 << 12.5 << 3.0 << 30 << 125 << 3.0 << 0.3;
    QTest::newRow("unit 1: mm") << 1 << 50.0 << 10.0 << 850.0 << 12.5 << 3.0 << 30 << 125 << 3.0 << 0.3;
    QTest::newRow("unit 3: mm") << 3 << 50.0 << 10.0 << 850.0 << 12.5 << 3.0 << 30 << 125 << 3.0 << 0.3;
    QTest::newRow("unit 7: mm") << 7 << 50.0 << 10.0 << 850.0 << 12.5 << 3.0 << 30 << 125 << 3.0 << 0.3;
    QTest::newRow("unit 0: inch") << 0 << 1.97 << 0.4 << 33.46 << 0.49 << 0.12 << 1 << 4 << 0.12 << 0.01;
    QTest::newRow("unit 2: inch") << 2 << 1.97 << 0.4 << 33.46 << 0.49 << 0.12 << 1 << 4 << 0.12 << 0.01;
}

void TestRectBox::freshDialog()
{
    QFETCH(int, rulerUnit);
    QFETCH(double, length);
    QFETCH(double, lengthMin);
    QFETCH(double, lengthMax);
    QFETCH(double, groove);
    QFETCH(double, grooveMin);
    QFETCH(int, sliderMin);
    QFETCH(int, sliderMax);
    QFETCH(double, thickness);
    QFETCH(double, laserWidth);
    if (rulerUnit >= 0)
        m_config->writeRulerUnit(rulerUnit);

    Open();

    for (const char* name : {"spinBox_rectLength", "spinBox_rectWidth", "spinBox_rectHeight"}) {
        QCOMPARE(Spin(name)->value(), length);
        QCOMPARE(Spin(name)->minimum(), lengthMin);
        QCOMPARE(Spin(name)->maximum(), lengthMax);
    }
    for (const char* name : {"FluteLength", "FluteWidth", "FluteHeight"}) {
        QDoubleSpinBox* spin = Spin(QStringLiteral("doubleSpinBox_rect") + QLatin1String(name));
        QSlider* slider = Widget<QSlider>(QStringLiteral("horizontalSlider_rect") + QLatin1String(name));
        QCOMPARE(spin->value(), groove);
        QCOMPARE(spin->maximum(), groove);
        QCOMPARE(spin->minimum(), grooveMin);
        QCOMPARE(slider->minimum(), sliderMin);
        QCOMPARE(slider->maximum(), sliderMax);
        QCOMPARE(slider->value(), sliderMax);
    }
    QCOMPARE(Spin("doubleSpinBox_rectThickness")->value(), thickness);
    QCOMPARE(Spin("doubleSpinBox_rectLaserWidth")->value(), laserWidth);
    QVERIFY(Widget<QRadioButton>("radioButton_rectOutside")->isChecked());
    QVERIFY(!Widget<QRadioButton>("radioButton_rectInside")->isChecked());
    QVERIFY(!Widget<QCheckBox>("checkBox_rectNoTop")->isChecked());
    QVERIFY(!Widget<QCheckBox>("checkBox_rectNoBottom")->isChecked());

    // Built last, with exactly the defaults, whatever the unit shows.
    QCOMPARE(m_engine.last()->op, QStringLiteral("rect"));
    QCOMPARE(LastRecord(), RecordBytes(SRectBoxParam()));
    // Pushing the values ran none of the box's handlers.
    QVERIFY(m_config->logSentences().filter(QStringLiteral("rect")).isEmpty());
}

void TestRectBox::dimensionResetsItsGroove_data()
{
    QTest::addColumn<int>("rulerUnit");
    QTest::addColumn<QString>("dimension");
    QTest::addColumn<QString>("grooveName");
    QTest::addColumn<QString>("earlierGroove"); // typed first, then overridden
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("dimensionOffset");
    QTest::addColumn<double>("dimensionMm");
    QTest::addColumn<int>("grooveOffset");
    QTest::addColumn<double>("grooveMm");
    QTest::addColumn<double>("grooveShown");
    QTest::addColumn<int>("sliderMin");
    QTest::addColumn<int>("sliderMax");
    QTest::addColumn<int>("sliderValue");

    QTest::newRow("length 80") << 1 << "Length" << "FluteLength" << "8" << "80" << 0 << 80.0 << 24 << 20.0
                               << 20.0 << 30 << 200 << 200;
    QTest::newRow("width 60") << 1 << "Width" << "FluteWidth" << "8" << "60" << 16 << 60.0 << 32 << 15.0 << 15.0
                              << 30 << 150 << 150;
    QTest::newRow("height 100") << 1 << "Height" << "FluteHeight" << "8" << "100" << 8 << 100.0 << 40 << 25.0
                                << 25.0 << 30 << 250 << 250;
    QTest::newRow("inch length 2.00") << 2 << "Length" << "FluteLength" << "0.3" << "2.00" << 0 << 2 * 25.4 << 24
                                      << 2 * 25.4 / 4 << 0.5 << 1 << 5 << 5;
    // The record keeps the quarter although the spin box stops at 3 mm.
    QTest::newRow("length 10") << 1 << "Length" << "FluteLength" << "8" << "10" << 0 << 10.0 << 24 << 2.5 << 3.0
                               << 30 << 30 << 30;
    // A limit update truncates the slider position.
    QTest::newRow("length 18.24") << 1 << "Length" << "FluteLength" << "8" << "18.24" << 0 << 18.24 << 24
                                  << 18.24 / 4 << 4.56 << 30 << 45 << 45;
}

void TestRectBox::dimensionResetsItsGroove()
{
    QFETCH(int, rulerUnit);
    QFETCH(QString, dimension);
    QFETCH(QString, grooveName);
    QFETCH(QString, earlierGroove);
    QFETCH(QString, typed);
    QFETCH(int, dimensionOffset);
    QFETCH(double, dimensionMm);
    QFETCH(int, grooveOffset);
    QFETCH(double, grooveMm);
    QFETCH(double, grooveShown);
    QFETCH(int, sliderMin);
    QFETCH(int, sliderMax);
    QFETCH(int, sliderValue);
    m_config->writeRulerUnit(rulerUnit);
    Open();
    QDoubleSpinBox* dimensionSpin = Spin(QStringLiteral("spinBox_rect") + dimension);
    QDoubleSpinBox* grooveSpin = Spin(QStringLiteral("doubleSpinBox_rect") + grooveName);
    QSlider* slider = Widget<QSlider>(QStringLiteral("horizontalSlider_rect") + grooveName);

    Enter(grooveSpin, earlierGroove);
    QVERIFY(std::fabs(FieldAt<double>(LastRecord(), grooveOffset) - 12.5) > 1);
    Settle();
    QSignalSpy changes(dimensionSpin, &QDoubleSpinBox::valueChanged);
    Enter(dimensionSpin, typed);

    SRectBoxParam expected;
    SetField(expected, dimensionOffset, dimensionMm);
    SetField(expected, grooveOffset, grooveMm);
    QCOMPARE(LastRecord(), RecordBytes(expected));
    QCOMPARE(grooveSpin->value(), grooveShown);
    QCOMPARE(slider->minimum(), sliderMin);
    QCOMPARE(slider->maximum(), sliderMax);
    QCOMPARE(slider->value(), sliderValue);
    // The groove moved without its handler running.
    VerifyPerChange(changes, {dimensionSpin->objectName() + QStringLiteral(" was changed.")});
}

void TestRectBox::sliderAndSpinBoxFollowEachOther_data()
{
    QTest::addColumn<int>("rulerUnit");
    QTest::addColumn<QString>("grooveName");
    QTest::addColumn<int>("sliderMovedTo"); // -1: type instead
    QTest::addColumn<QString>("typed");
    QTest::addColumn<double>("spinShows");
    QTest::addColumn<int>("sliderShows");
    QTest::addColumn<int>("grooveOffset");
    QTest::addColumn<double>("grooveMm");

    QTest::newRow("length slider 45") << 1 << "FluteLength" << 45 << "" << 4.5 << 45 << 24 << 4.5;
    QTest::newRow("width slider 77") << 1 << "FluteWidth" << 77 << "" << 7.7 << 77 << 32 << 7.7;
    QTest::newRow("height slider 100") << 1 << "FluteHeight" << 100 << "" << 10.0 << 100 << 40 << 10.0;
    QTest::newRow("inch slider 3") << 2 << "FluteLength" << 3 << "" << 0.3 << 3 << 24 << 0.3 * 25.4;
    // Typing rounds the slider to the nearest tenth.
    QTest::newRow("typed 4.56") << 1 << "FluteLength" << -1 << "4.56" << 4.56 << 46 << 24 << 4.56;
    QTest::newRow("typed 4.54") << 1 << "FluteHeight" << -1 << "4.54" << 4.54 << 45 << 40 << 4.54;
}

void TestRectBox::sliderAndSpinBoxFollowEachOther()
{
    QFETCH(int, rulerUnit);
    QFETCH(QString, grooveName);
    QFETCH(int, sliderMovedTo);
    QFETCH(QString, typed);
    QFETCH(double, spinShows);
    QFETCH(int, sliderShows);
    QFETCH(int, grooveOffset);
    QFETCH(double, grooveMm);
    m_config->writeRulerUnit(rulerUnit);
    Open();
    QDoubleSpinBox* spin = Spin(QStringLiteral("doubleSpinBox_rect") + grooveName);
    QSlider* slider = Widget<QSlider>(QStringLiteral("horizontalSlider_rect") + grooveName);
    Settle();
    QSignalSpy changes(spin, &QDoubleSpinBox::valueChanged);
    QSignalSpy sliderChanges(slider, &QSlider::valueChanged);

    if (sliderMovedTo >= 0)
        slider->setValue(sliderMovedTo);
    else
        Enter(spin, typed);

    QCOMPARE(spin->value(), spinShows);
    QCOMPARE(slider->value(), sliderShows);
    QCOMPARE(FieldAt<double>(LastRecord(), grooveOffset), grooveMm);
    VerifyPerChange(changes, {spin->objectName() + QStringLiteral(" was changed.")});
    // The spin box puts its slider in place silently: no echo back.
    QCOMPARE(sliderChanges.count(), sliderMovedTo >= 0 ? 1 : 0);
}

void TestRectBox::measuresChoice_data()
{
    QTest::addColumn<QVariant>("storedInSize");
    QTest::addColumn<QString>("clicked");
    QTest::addColumn<QStringList>("sentences");
    QTest::addColumn<bool>("inSize");
    QTest::addColumn<int>("builds");

    const QString outside = QStringLiteral("radioButton_rectOutside was clicked.");
    const QString inside = QStringLiteral("radioButton_rectInside was clicked.");
    QTest::newRow("inside while outside") << QVariant() << "radioButton_rectInside" << QStringList{outside, inside}
                                          << true << 1;
    QTest::newRow("outside while inside") << QVariant(1) << "radioButton_rectOutside"
                                          << QStringList{inside, outside} << false << 1;
    QTest::newRow("inside again") << QVariant(1) << "radioButton_rectInside" << QStringList() << true << 0;
}

void TestRectBox::measuresChoice()
{
    QFETCH(QVariant, storedInSize);
    QFETCH(QString, clicked);
    QFETCH(QStringList, sentences);
    QFETCH(bool, inSize);
    QFETCH(int, builds);
    if (storedInSize.isValid())
        m_config->setIniValue(kGroup, QStringLiteral("bInSize"), storedInSize);
    Open();
    QCOMPARE(Widget<QRadioButton>("radioButton_rectInside")->isChecked(), storedInSize.isValid());
    Settle();

    ClickIndicator(Widget<QRadioButton>(clicked));

    QCOMPARE(m_config->logSentences(), sentences);
    QCOMPARE(m_engine.count(), builds);
    QCOMPARE(Widget<QRadioButton>("radioButton_rectInside")->isChecked(), inSize);
    QCOMPARE(Widget<QRadioButton>("radioButton_rectOutside")->isChecked(), !inSize);
    if (builds > 0) {
        SRectBoxParam expected;
        expected.bInSize = inSize;
        QCOMPARE(LastRecord(), RecordBytes(expected));
    }
}

void TestRectBox::coverCheckBoxes_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("offset");
    QTest::newRow("no top") << "checkBox_rectNoTop" << 65;
    QTest::newRow("no bottom") << "checkBox_rectNoBottom" << 66;
}

void TestRectBox::coverCheckBoxes()
{
    QFETCH(QString, name);
    QFETCH(int, offset);
    Open();
    QCheckBox* box = Widget<QCheckBox>(name);
    Settle();

    ClickIndicator(box);
    QVERIFY(box->isChecked());
    QCOMPARE(FieldAt<char>(LastRecord(), offset), char(1));
    ClickIndicator(box);
    QCOMPARE(FieldAt<char>(LastRecord(), offset), char(0));

    QCOMPARE(m_config->logSentences(), QStringList(2, name + QStringLiteral(" was clicked.")));
    QCOMPARE(m_engine.count(), 2);
    QCOMPARE(LastRecord(), RecordBytes(SRectBoxParam()));
}

void TestRectBox::faceLabels_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<int>("offset");
    QTest::addColumn<QString>("wording");

    QTest::newRow("70 bytes, cut inside a character") << "FLAG_FRONT" << 0 << QString(35, QChar(0xE9));
    QTest::newRow("10 bytes, whole") << "FLAG_TOP" << 256 << "abcdefghij";
    QTest::newRow("63 bytes, whole") << "FLAG_LEFT" << 128 << QString(63, QLatin1Char('x'));
    QTest::newRow("64 bytes, last one dropped") << "FLAG_BOTTOM" << 320 << QString(64, QLatin1Char('y'));
    QTest::newRow("22 CJK characters") << "FLAG_RIGHT" << 192 << QString(22, QChar(0x5B8B));
    QTest::newRow("empty") << "FLAG_BEHIND" << 64 << "";
}

void TestRectBox::faceLabels()
{
    QFETCH(QString, key);
    QFETCH(int, offset);
    QFETCH(QString, wording);
    const QString catalogue = m_config->path() + QStringLiteral("/labels.json");
    {
        QFile file(catalogue);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QJsonDocument(QJsonObject{{key, wording}}).toJson());
    }
    QVERIFY(CTranslator::GetInstance()->LoadCatalogue(catalogue));

    Open();

    const QByteArray labels = m_engine.last(QStringLiteral("rect"))->labels;
    QCOMPARE(labels.size(), int(sizeof(SFaceLabels)));
    QByteArray expected = wording.toUtf8().left(63);
    expected.append(64 - expected.size(), '\0');
    QCOMPARE(labels.mid(offset, 64), expected);
    // The neighbours keep their own wordings.
    const int other = offset == 0 ? 64 : 0;
    const QString otherKey = offset == 0 ? QStringLiteral("FLAG_BEHIND") : QStringLiteral("FLAG_FRONT");
    QCOMPARE(QByteArray(labels.constData() + other), CTranslator::GetInstance()->GetWording(otherKey).toUtf8());
}

void TestRectBox::previewGetsBothListsResultOnlyTheMain()
{
    Open();
    Enter(Spin("spinBox_rectLength"), QStringLiteral("80"));

    // The engine drew the box and, in the second list, a half-size copy.
    QCOMPARE(m_dlg->GetResultList()->GetCount(), 1u);
    QGraphicsScene* scene = Widget<QGraphicsView>("graphicsView_preview")->scene();
    QTRY_COMPARE(scene->items().size(), 1);
    const auto drawsBothAt80By50 = [scene] {
        auto* item = qgraphicsitem_cast<QGraphicsPathItem*>(scene->items().value(0));
        if (!item || item->path().elementCount() != 10)
            return false;
        const QRectF drawn = item->path().boundingRect();
        return qRound(drawn.width() / drawn.height() * 100) == 160;
    };
    QTRY_VERIFY(drawsBothAt80By50());
}

void TestRectBox::okSavesFromAnotherPage_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("stored");

    QTest::newRow("bInSize") << "bInSize" << "1";
    QTest::newRow("bNoTop") << "bNoTop" << "1";
    QTest::newRow("bNoBottom") << "bNoBottom" << "0";
    QTest::newRow("dWidth") << "dWidth" << "80000";
    QTest::newRow("dHeight") << "dHeight" << "50000";
    QTest::newRow("dDepth") << "dDepth" << "60000";
    QTest::newRow("dFluteOfWidth") << "dFluteOfWidth" << "7500";
    QTest::newRow("dFluteOfHeight") << "dFluteOfHeight" << "15000";
    QTest::newRow("dFluteOfDepth") << "dFluteOfDepth" << "12500";
    QTest::newRow("dThickness") << "dThickness" << "3000";
    QTest::newRow("dLaserWidth") << "dLaserWidth" << "300";
}

void TestRectBox::okSavesFromAnotherPage()
{
    QFETCH(QString, key);
    QFETCH(QString, stored);
    Open();
    Enter(Spin("spinBox_rectLength"), QStringLiteral("80"));
    Enter(Spin("spinBox_rectWidth"), QStringLiteral("60"));
    Enter(Spin("doubleSpinBox_rectFluteLength"), QStringLiteral("7.5"));
    ClickIndicator(Widget<QCheckBox>("checkBox_rectNoTop"));
    ClickIndicator(Widget<QRadioButton>("radioButton_rectInside"));
    auto* combo = Widget<QComboBox>("comboBox_boxSwitch");
    QTest::keyClick(combo, Qt::Key_Down);
    QTest::keyClick(combo, Qt::Key_Down);
    QCOMPARE(combo->currentIndex(), 2);
    QVERIFY(!QFile::exists(m_config->kerfmateIni()));

    QTest::mouseClick(Widget<QPushButton>("pushButton_ok"), Qt::LeftButton);

    QVERIFY(!m_dlg->isVisible());
    QCOMPARE(m_dlg->result(), 1);
    QCOMPARE(m_config->iniValue(kGroup, key).toString(), stored);
}

void TestRectBox::savedValuesComeBack()
{
    Open();
    Enter(Spin("spinBox_rectHeight"), QStringLiteral("120"));
    Enter(Spin("doubleSpinBox_rectFluteHeight"), QStringLiteral("9"));
    Spin("doubleSpinBox_rectThickness")->setValue(4.5);
    ClickIndicator(Widget<QCheckBox>("checkBox_rectNoBottom"));
    ClickIndicator(Widget<QRadioButton>("radioButton_rectInside"));
    const QByteArray saved = LastRecord();
    QTest::mouseClick(Widget<QPushButton>("pushButton_ok"), Qt::LeftButton);
    m_dlg.reset();
    m_engine.clear();

    Open();

    QCOMPARE(Spin("spinBox_rectHeight")->value(), 120.0);
    QCOMPARE(Spin("doubleSpinBox_rectThickness")->value(), 4.5);
    QVERIFY(Widget<QCheckBox>("checkBox_rectNoBottom")->isChecked());
    QVERIFY(Widget<QRadioButton>("radioButton_rectInside")->isChecked());
    // Every value returns except the groove, which opens at its maximum.
    QCOMPARE(Spin("doubleSpinBox_rectFluteHeight")->value(), 30.0);
    SRectBoxParam expected;
    std::memcpy(static_cast<void*>(&expected), saved.constData(), sizeof expected);
    QCOMPARE(expected.dFluteOfDepth, 9.0);
    expected.dFluteOfDepth = 30.0;
    QCOMPARE(LastRecord(), RecordBytes(expected));
}

void TestRectBox::escapeSavesNothing()
{
    Open();
    Enter(Spin("spinBox_rectLength"), QStringLiteral("80"));
    ClickIndicator(Widget<QCheckBox>("checkBox_rectNoTop"));

    QTest::keyClick(m_dlg.get(), Qt::Key_Escape);

    QVERIFY(!m_dlg->isVisible());
    QCOMPARE(m_dlg->result(), 0);
    QVERIFY(!QFile::exists(m_config->kerfmateIni()));
    m_dlg.reset();
    m_engine.clear();
    Open();
    QCOMPARE(Spin("spinBox_rectLength")->value(), 50.0);
    QVERIFY(!Widget<QCheckBox>("checkBox_rectNoTop")->isChecked());
    QCOMPARE(LastRecord(), RecordBytes(SRectBoxParam()));
}

void TestRectBox::loadedGroovesAreReplaced()
{
    m_config->setIniValue(kGroup, QStringLiteral("dWidth"), 120000);
    m_config->setIniValue(kGroup, QStringLiteral("dFluteOfWidth"), 5000);
    m_config->setIniValue(kGroup, QStringLiteral("dFluteOfDepth"), 1000);
    m_config->setIniValue(kGroup, QStringLiteral("dLaserWidth"), 250);

    Open();

    QCOMPARE(Spin("spinBox_rectLength")->value(), 120.0);
    QCOMPARE(Spin("doubleSpinBox_rectFluteLength")->value(), 30.0);
    QCOMPARE(Spin("doubleSpinBox_rectLaserWidth")->value(), 0.25);
    SRectBoxParam expected;
    expected.dWidth = 120.0;
    expected.dFluteOfWidth = 30.0;
    expected.dLaserWidth = 0.25;
    QCOMPARE(LastRecord(), RecordBytes(expected));
}

void TestRectBox::wildSettingsKeepTheDialogUsable_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("stored");

    QTest::newRow("length not a number") << "dWidth"
                                         << "abc";
    QTest::newRow("huge length") << "dWidth"
                                 << "1e300";
    QTest::newRow("huge negative length") << "dWidth"
                                          << "-1e300";
    QTest::newRow("NaN length") << "dWidth"
                                << "nan";
    QTest::newRow("infinite height") << "dHeight"
                                     << "inf";
    QTest::newRow("NaN thickness") << "dThickness"
                                   << "nan";
}

void TestRectBox::wildSettingsKeepTheDialogUsable()
{
    QFETCH(QString, key);
    QFETCH(QString, stored);
    m_config->setIniValue(kGroup, key, stored);

    Open();

    // The widgets show something within their ranges...
    for (const char* name : {"spinBox_rectLength", "spinBox_rectHeight", "doubleSpinBox_rectThickness",
                             "doubleSpinBox_rectFluteLength", "doubleSpinBox_rectFluteHeight"}) {
        QDoubleSpinBox* spin = Spin(name);
        QVERIFY2(spin->value() >= spin->minimum() && spin->value() <= spin->maximum(), name);
    }
    // ...and the box works normally once the user sets the values again.
    Enter(Spin("spinBox_rectLength"), QStringLiteral("80"));
    Enter(Spin("spinBox_rectHeight"), QStringLiteral("40"));
    Spin("doubleSpinBox_rectThickness")->setValue(3.0);
    SRectBoxParam expected;
    expected.dWidth = 80.0;
    expected.dFluteOfWidth = 20.0;
    expected.dHeight = 40.0;
    expected.dFluteOfDepth = 10.0;
    QCOMPARE(LastRecord(), RecordBytes(expected));
    QCOMPARE(Widget<QSlider>("horizontalSlider_rectFluteLength")->value(), 200);
}

void TestRectBox::thousandBuildsLeaveNoShapes()
{
    Open();
    QDoubleSpinBox* length = Spin("spinBox_rectLength");
    Settle();

    for (int i = 0; i < 1000; ++i) {
        QTest::keyClick(length, i % 2 ? Qt::Key_Down : Qt::Key_Up);
        if (i % 100 == 0)
            QTest::qWait(15); // let the preview draw now and then
    }

    QCOMPARE(m_engine.count(QStringLiteral("rect")), 1000);
    QCOMPARE(length->value(), 50.0);
    m_dlg.reset();
    QCOMPARE(CShape::LiveCount(), m_nShapesBefore);
    QCOMPARE(CShapeList::LiveCount(), m_nListsBefore);
}

QTEST_MAIN(TestRectBox)
#include "tst_rectbox.moc"
