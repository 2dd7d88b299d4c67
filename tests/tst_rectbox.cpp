// The right-angle box as the user meets it: what its widgets show, the
// record and face labels the engine receives, what Kerfmate.ini keeps and
// what the log says.
#include "DialogFixture.h"

#include "CTranslator.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPushButton>
#include <QSlider>
#include <QtTest>
#include <functional>

namespace {
const QString kGroup = QStringLiteral("DLG_RECT_BOX");

// The defaults with some fields changed, as the engine receives them.
QByteArray Rect(const std::function<void(SRectBoxParam&)>& change = {})
{
    SRectBoxParam record;
    if (change)
        change(record);
    return RecordBytes(record);
}
} // namespace

class TestRectBox : public QObject, private DialogFixture
{
    Q_OBJECT

private slots:
    void init() { SetUpDialogTest(); }
    void cleanup();

    void freshDialog_data();
    void freshDialog();
    void dimensionResetsItsGroove_data();
    void dimensionResetsItsGroove();
    void sliderAndSpinBoxFollowEachOther_data();
    void sliderAndSpinBoxFollowEachOther();
    void clicks_data();
    void clicks();
    void faceLabels();
    void storedValuesOpenWithFreshGrooves();
    void okSavesFromAnotherPageEscapeSavesNothing();
    void thousandBuildsLeaveNoShapes();

private:
    QByteArray LastRecord() const { return LastRecordOf(QStringLiteral("rect")); }
    QDoubleSpinBox* DoubleSpin(const QString& name) const { return Spin("doubleSpinBox_rect" + name); }
    QSlider* Slider(const QString& name) const { return Widget<QSlider>("horizontalSlider_rect" + name); }
};

void TestRectBox::cleanup()
{
    CTranslator::GetInstance()->SetLanguage(QStringLiteral("en")); // drops the face label catalogue
    TearDownDialogTest();
}

void TestRectBox::freshDialog_data()
{
    QTest::addColumn<int>("rulerUnit"); // -1: no cfg.ini
    // Value, minimum and maximum of each dimension, groove and slider; thickness and compensation.
    QTest::addColumn<QList<QList<double>>>("shown");

    const QList<QList<double>> mm{{50, 10, 850}, {12.5, 3, 12.5}, {125, 30, 125}, {3, 0.3}};
    const QList<QList<double>> inch{{1.97, 0.4, 33.46}, {0.49, 0.12, 0.49}, {4, 1, 4}, {0.12, 0.01}};
    QTest::newRow("no cfg.ini: mm") << -1 << mm;
    QTest::newRow("unit 7: mm") << 7 << mm;
    QTest::newRow("unit 0: inch") << 0 << inch;
    QTest::newRow("unit 2: inch") << 2 << inch;
}

void TestRectBox::freshDialog()
{
    QFETCH(int, rulerUnit);
    QFETCH(QList<QList<double>>, shown);
    if (rulerUnit >= 0)
        m_config->writeRulerUnit(rulerUnit);

    Open();

    for (const QString side : {"Length", "Width", "Height"}) {
        QCOMPARE(Shown(Spin(QStringLiteral("spinBox_rect") + side)), shown[0]);
        QCOMPARE(Shown(DoubleSpin(QStringLiteral("Flute") + side)), shown[1]);
        QCOMPARE(Shown(Slider(QStringLiteral("Flute") + side)), shown[2]);
    }
    QCOMPARE(Values({"doubleSpinBox_rectThickness", "doubleSpinBox_rectLaserWidth"}), shown[3]);
    QVERIFY(Widget<QRadioButton>("radioButton_rectOutside")->isChecked());
    QVERIFY(!Widget<QCheckBox>("checkBox_rectNoTop")->isChecked());
    QVERIFY(!Widget<QCheckBox>("checkBox_rectNoBottom")->isChecked());
    // Built last, with exactly the defaults whatever the unit shows, and
    // without running any of the box's handlers.
    QCOMPARE(m_engine.last()->op, QStringLiteral("rect"));
    QCOMPARE(LastRecord(), Rect());
    QVERIFY(m_config->logSentences().filter(QStringLiteral("rect")).isEmpty());
}

void TestRectBox::dimensionResetsItsGroove_data()
{
    QTest::addColumn<int>("rulerUnit");
    QTest::addColumn<QString>("side");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QByteArray>("record");
    QTest::addColumn<double>("grooveShown");
    QTest::addColumn<QList<double>>("slider");

    QTest::newRow("length 80") << 1 << "Length" << "80" << Rect([](auto& r) { r.dWidth = 80; r.dFluteOfWidth = 20; })
                               << 20.0 << QList<double>{200, 30, 200};
    QTest::newRow("width 60") << 1 << "Width" << "60" << Rect([](auto& r) { r.dDepth = 60; r.dFluteOfHeight = 15; })
                              << 15.0 << QList<double>{150, 30, 150};
    QTest::newRow("height 100") << 1 << "Height" << "100"
                                << Rect([](auto& r) { r.dHeight = 100; r.dFluteOfDepth = 25; }) << 25.0
                                << QList<double>{250, 30, 250};
    QTest::newRow("inch length 2.00") << 2 << "Length" << "2.00"
                                      << Rect([](auto& r) { r.dWidth = 50.8; r.dFluteOfWidth = 12.7; }) << 0.5
                                      << QList<double>{5, 1, 5};
    // The record keeps the quarter although the spin box stops at 3 mm.
    QTest::newRow("length 10") << 1 << "Length" << "10" << Rect([](auto& r) { r.dWidth = 10; r.dFluteOfWidth = 2.5; })
                               << 3.0 << QList<double>{30, 30, 30};
    // A limit update truncates the slider position.
    QTest::newRow("length 18.24") << 1 << "Length" << "18.24"
                                  << Rect([](auto& r) { r.dWidth = 18.24; r.dFluteOfWidth = 4.56; }) << 4.56
                                  << QList<double>{45, 30, 45};
}

void TestRectBox::dimensionResetsItsGroove()
{
    QFETCH(int, rulerUnit);
    QFETCH(QString, side);
    QFETCH(QString, typed);
    QFETCH(QByteArray, record);
    QFETCH(double, grooveShown);
    QFETCH(QList<double>, slider);
    m_config->writeRulerUnit(rulerUnit);
    Open();
    QDoubleSpinBox* groove = DoubleSpin(QStringLiteral("Flute") + side);
    Enter(groove, rulerUnit == 2 ? QStringLiteral("0.3") : QStringLiteral("8")); // to be overridden
    QVERIFY(LastRecord() != Rect());
    QDoubleSpinBox* dimension = Spin(QStringLiteral("spinBox_rect") + side);
    Settle();
    QSignalSpy changes(dimension, &QDoubleSpinBox::valueChanged);

    Enter(dimension, typed);

    QCOMPARE(LastRecord(), record);
    QCOMPARE(groove->value(), grooveShown);
    QCOMPARE(Shown(Slider(QStringLiteral("Flute") + side)), slider);
    // The groove moved without its handler running.
    VerifyPerChange(changes, {dimension->objectName() + QStringLiteral(" was changed.")});
}

void TestRectBox::sliderAndSpinBoxFollowEachOther_data()
{
    QTest::addColumn<int>("rulerUnit");
    QTest::addColumn<QString>("groove");
    QTest::addColumn<int>("sliderMovedTo"); // -1: typed instead
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("sliderShows");
    QTest::addColumn<QByteArray>("record");

    QTest::newRow("length slider 45") << 1 << "FluteLength" << 45 << "" << 45
                                      << Rect([](auto& r) { r.dFluteOfWidth = 4.5; });
    QTest::newRow("width slider 77") << 1 << "FluteWidth" << 77 << "" << 77
                                     << Rect([](auto& r) { r.dFluteOfHeight = 7.7; });
    QTest::newRow("height slider 100") << 1 << "FluteHeight" << 100 << "" << 100
                                       << Rect([](auto& r) { r.dFluteOfDepth = 10; });
    QTest::newRow("inch slider 3") << 2 << "FluteLength" << 3 << "" << 3
                                   << Rect([](auto& r) { r.dFluteOfWidth = 0.3 * 25.4; });
    // Typing rounds the slider to the nearest tenth.
    QTest::newRow("typed 4.56") << 1 << "FluteLength" << -1 << "4.56" << 46
                                << Rect([](auto& r) { r.dFluteOfWidth = 4.56; });
    QTest::newRow("typed 4.54") << 1 << "FluteHeight" << -1 << "4.54" << 45
                                << Rect([](auto& r) { r.dFluteOfDepth = 4.54; });
}

void TestRectBox::sliderAndSpinBoxFollowEachOther()
{
    QFETCH(int, rulerUnit);
    QFETCH(QString, groove);
    QFETCH(int, sliderMovedTo);
    QFETCH(QString, typed);
    QFETCH(int, sliderShows);
    QFETCH(QByteArray, record);
    m_config->writeRulerUnit(rulerUnit);
    Open();
    QDoubleSpinBox* spin = DoubleSpin(groove);
    Settle();
    QSignalSpy changes(spin, &QDoubleSpinBox::valueChanged);

    if (sliderMovedTo >= 0)
        Slider(groove)->setValue(sliderMovedTo);
    else
        Enter(spin, typed);

    QCOMPARE(Slider(groove)->value(), sliderShows);
    QCOMPARE(LastRecord(), record);
    VerifyPerChange(changes, {spin->objectName() + QStringLiteral(" was changed.")});
}

void TestRectBox::clicks_data()
{
    QTest::addColumn<QString>("storedFlag"); // set to 1 in Kerfmate.ini first
    QTest::addColumn<QString>("clicked");
    QTest::addColumn<QStringList>("sentences");
    QTest::addColumn<QByteArray>("record"); // empty: no build

    const QString outside = QStringLiteral("radioButton_rectOutside was clicked.");
    const QString inside = QStringLiteral("radioButton_rectInside was clicked.");
    QTest::newRow("inside while outside") << "" << "radioButton_rectInside" << QStringList{outside, inside}
                                          << Rect([](auto& r) { r.bInSize = true; });
    QTest::newRow("outside while inside") << "bInSize" << "radioButton_rectOutside" << QStringList{inside, outside}
                                          << Rect();
    QTest::newRow("inside again") << "bInSize" << "radioButton_rectInside" << QStringList() << QByteArray();
    QTest::newRow("no top") << "" << "checkBox_rectNoTop" << QStringList{"checkBox_rectNoTop was clicked."}
                            << Rect([](auto& r) { r.bNoTop = true; });
    QTest::newRow("no top off") << "bNoTop" << "checkBox_rectNoTop" << QStringList{"checkBox_rectNoTop was clicked."}
                                << Rect();
    QTest::newRow("no bottom") << "" << "checkBox_rectNoBottom"
                               << QStringList{"checkBox_rectNoBottom was clicked."}
                               << Rect([](auto& r) { r.bNoBottom = true; });
}

void TestRectBox::clicks()
{
    QFETCH(QString, storedFlag);
    QFETCH(QString, clicked);
    QFETCH(QStringList, sentences);
    QFETCH(QByteArray, record);
    if (!storedFlag.isEmpty())
        m_config->setIniValue(kGroup, storedFlag, 1);
    Open();
    Settle();

    ClickIndicator(Widget<QAbstractButton>(clicked));

    QCOMPARE(m_config->logSentences(), sentences);
    QCOMPARE(m_engine.count(), record.isEmpty() ? 0 : 1);
    if (!record.isEmpty())
        QCOMPARE(LastRecord(), record);
}

void TestRectBox::faceLabels()
{
    // Each face its own wording: 70 bytes cut inside a character, none,
    // exactly 63, 66 of CJK, a short one, and 64.
    const QStringList keys{"FLAG_FRONT", "FLAG_BEHIND", "FLAG_LEFT", "FLAG_RIGHT", "FLAG_TOP", "FLAG_BOTTOM"};
    const QStringList wordings{QString(35, QChar(0xE9)), QString(),      QString(63, QLatin1Char('x')),
                               QString(22, QChar(0x5B8B)), "abcdefghij", QString(64, QLatin1Char('y'))};
    QJsonObject catalogue;
    QByteArray expected;
    for (int i = 0; i < keys.size(); ++i) {
        catalogue.insert(keys[i], wordings[i]);
        expected += wordings[i].toUtf8().left(63).leftJustified(64, '\0');
    }
    QFile file(m_config->path() + QStringLiteral("/labels.json"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QJsonDocument(catalogue).toJson());
    file.close();
    QVERIFY(CTranslator::GetInstance()->LoadCatalogue(file.fileName()));

    Open();

    QCOMPARE(m_engine.last(QStringLiteral("rect"))->labels, expected);
}

void TestRectBox::storedValuesOpenWithFreshGrooves()
{
    const QVariantMap stored{{"dWidth", 120000},   {"dDepth", 70000},     {"dHeight", 90000},
                             {"dFluteOfWidth", 5000}, {"dFluteOfDepth", 1000}, {"dThickness", 4500},
                             {"dLaserWidth", 250},  {"bNoBottom", 1},       {"bInSize", 1}};
    for (auto it = stored.cbegin(); it != stored.cend(); ++it)
        m_config->setIniValue(kGroup, it.key(), it.value());

    Open();

    QCOMPARE(Values({"spinBox_rectLength", "spinBox_rectWidth", "spinBox_rectHeight", "doubleSpinBox_rectFluteLength",
                     "doubleSpinBox_rectFluteWidth", "doubleSpinBox_rectFluteHeight", "doubleSpinBox_rectThickness",
                     "doubleSpinBox_rectLaserWidth"}),
             (QList<double>{120, 70, 90, 30, 17.5, 22.5, 4.5, 0.25}));
    QVERIFY(Widget<QCheckBox>("checkBox_rectNoBottom")->isChecked());
    QVERIFY(Widget<QRadioButton>("radioButton_rectInside")->isChecked());
    QCOMPARE(LastRecord(), Rect([](auto& r) {
                 r.dWidth = 120;
                 r.dDepth = 70;
                 r.dHeight = 90;
                 r.dFluteOfWidth = 30; // a quarter of each side, whatever was stored
                 r.dFluteOfHeight = 17.5;
                 r.dFluteOfDepth = 22.5;
                 r.dThickness = 4.5;
                 r.dLaserWidth = 0.25;
                 r.bNoBottom = r.bInSize = true;
             }));
}

void TestRectBox::okSavesFromAnotherPageEscapeSavesNothing()
{
    const auto edit = [this] {
        Enter(Spin("spinBox_rectLength"), QStringLiteral("80"));
        Enter(Spin("spinBox_rectWidth"), QStringLiteral("60"));
        Enter(DoubleSpin("FluteLength"), QStringLiteral("7.5"));
        ClickIndicator(Widget<QCheckBox>("checkBox_rectNoTop"));
        ClickIndicator(Widget<QRadioButton>("radioButton_rectInside"));
    };
    Open();
    edit();
    QTest::keyClick(m_dlg.get(), Qt::Key_Escape);
    QCOMPARE(m_dlg->result(), 0);
    QVERIFY(!QFile::exists(m_config->kerfmateIni()));

    Open();
    edit();
    auto* combo = Widget<QComboBox>("comboBox_boxSwitch");
    QTest::keyClick(combo, Qt::Key_Down);
    QTest::keyClick(combo, Qt::Key_Down);
    QCOMPARE(combo->currentIndex(), 2);
    QTest::mouseClick(Widget<QPushButton>("pushButton_ok"), Qt::LeftButton);

    QCOMPARE(m_dlg->result(), 1);
    const QStringList expected{"bInSize=1",        "bNoTop=1",          "bNoBottom=0",         "dWidth=80000",
                               "dHeight=50000",    "dDepth=60000",      "dFluteOfWidth=7500",  "dFluteOfHeight=15000",
                               "dFluteOfDepth=12500", "dThickness=3000", "dLaserWidth=300"};
    QCOMPARE(Saved(kGroup, expected), expected);
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
    // cleanup() finds the live shape and list counts back where they started.
}

QTEST_MAIN(TestRectBox)
#include "tst_rectbox.moc"
