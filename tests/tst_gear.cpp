// The modular gear page: what the engine receives, what the page shows, what
// Kerfmate.ini holds after OK, and what the log says.
#include "DialogFixture.h"

#include "CTranslator.h"
#include "DlgKerfmate.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QToolTip>
#include <QtTest>
#include <functional>

namespace {
const QString kGroup = QStringLiteral("DLG_GEAR_BOX");

QByteArray GearRecord(const std::function<void(SGearBoxParam&)>& change = {})
{
    SGearBoxParam param;
    if (change)
        change(param);
    return RecordBytes(param);
}

QLineEdit* GearField(const DlgKerfmate& dlg, const QString& name)
{
    return dlg.findChild<QLineEdit*>(QStringLiteral("lineEdit_gear") + name);
}

// Shown and active, so that focus moves as it does for a user.
bool ShowGearPage(DlgKerfmate& dlg)
{
    dlg.show();
    if (!QTest::qWaitForWindowActive(&dlg))
        return false;
    // Two steps down the generator list, as with the keyboard.
    auto* combo = dlg.findChild<QComboBox*>(QStringLiteral("comboBox_boxSwitch"));
    QTest::keyClick(combo, Qt::Key_Down);
    QTest::keyClick(combo, Qt::Key_Down);
    return combo->currentIndex() == 2 && dlg.findChild<QWidget*>(QStringLiteral("widget_GearBoxParams"))->isVisible();
}
} // namespace

class TestGear : public QObject, private DialogFixture
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void opensWithLoadedValues_data();
    void opensWithLoadedValues();
    void loadClampsEachField_data();
    void loadClampsEachField();
    void typedValuesReachEngine_data();
    void typedValuesReachEngine();
    void returnWithUnfinishedEntryStoresNothing();
    void leavingFieldCorrectsEntry_data();
    void leavingFieldCorrectsEntry();
    void resultFieldsAreRecomputed_data();
    void resultFieldsAreRecomputed();
    void okSavesGroupAndNextDialogClamps();
    void inchDiameterSurvivesReload();

private:
};

void TestGear::initTestCase()
{
    QLocale::setDefault(QLocale::c());
}

void TestGear::init()
{
    SetUpDialogTest();
}

void TestGear::cleanup()
{
    QToolTip::hideText();
    // A range tip closes on a timer; the fixture wants no window left.
    QTRY_VERIFY(QApplication::topLevelWidgets().isEmpty());
    TearDownDialogTest();
}

void TestGear::opensWithLoadedValues_data()
{
    QTest::addColumn<int>("unit");
    QTest::addColumn<QVariantMap>("file");
    QTest::addColumn<QByteArray>("record");
    QTest::addColumn<QStringList>("texts"); // modulus, diameter 1, count 1, diameter 2, count 2, space, rate

    QTest::newRow("defaults, millimetres") << 1 << QVariantMap() << GearRecord()
                                           << QStringList{"1", "3", "12", "3", "23", "17.50", "1.92"};
    QTest::newRow("defaults, inches") << 0 << QVariantMap() << GearRecord()
                                      << QStringList{"1", "0.12", "12", "0.12", "23", "0.69", "1.92"};
    QTest::newRow("defaults, ruler unit 2 is inches")
        << 2 << QVariantMap() << GearRecord() << QStringList{"1", "0.12", "12", "0.12", "23", "0.69", "1.92"};
    QTest::newRow("module 50, 60 and 60 teeth")
        << 1 << QVariantMap{{"dModulus", 50000}, {"sGear1.nGCount", 60}, {"sGear2.nGCount", 60}}
        << GearRecord([](SGearBoxParam& p) {
               p.dModulus = 50;
               p.sGear1.nGCount = 60;
               p.sGear2.nGCount = 60;
           })
        << QStringList{"50", "3", "60", "3", "60", "3000.00", "1.00"};
    QTest::newRow("stored diameters, inches")
        << 0 << QVariantMap{{"sGear1.dCDiameter", 2540}, {"sGear2.dCDiameter", 1000}}
        << GearRecord([](SGearBoxParam& p) {
               p.sGear1.dCDiameter = 2.54;
               p.sGear2.dCDiameter = 1.0;
           })
        << QStringList{"1", "0.10", "12", "0.04", "23", "0.69", "1.92"};
}

void TestGear::opensWithLoadedValues()
{
    QFETCH(int, unit);
    QFETCH(QVariantMap, file);
    QFETCH(QByteArray, record);
    QFETCH(QStringList, texts);

    m_config->writeRulerUnit(unit);
    for (auto it = file.cbegin(); it != file.cend(); ++it)
        m_config->setIniValue(kGroup, it.key(), it.value());
    DlgKerfmate dlg(nullptr);
    QVERIFY(ShowGearPage(dlg));

    QCOMPARE(m_engine.last(QStringLiteral("gear"))->record, record);
    const QStringList names{"Modulus", "Diameter1", "Count1", "Diameter2", "Count2", "Space", "Rate"};
    QStringList shown;
    for (const QString& name : names)
        shown << GearField(dlg, name)->text();
    QCOMPARE(shown, texts);
}

void TestGear::loadClampsEachField_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<QByteArray>("record");

    auto modulus = [](double d) { return GearRecord([d](SGearBoxParam& p) { p.dModulus = d; }); };
    auto diameter1 = [](double d) { return GearRecord([d](SGearBoxParam& p) { p.sGear1.dCDiameter = d; }); };
    auto diameter2 = [](double d) { return GearRecord([d](SGearBoxParam& p) { p.sGear2.dCDiameter = d; }); };
    auto count1 = [](int n) { return GearRecord([n](SGearBoxParam& p) { p.sGear1.nGCount = n; }); };
    auto count2 = [](int n) { return GearRecord([n](SGearBoxParam& p) { p.sGear2.nGCount = n; }); };

    QTest::newRow("module 200000 -> 100") << "dModulus" << QVariant(200000) << modulus(100.0);
    QTest::newRow("module 2500 kept") << "dModulus" << QVariant(2500) << modulus(2.5);
    QTest::newRow("module 0 -> 1") << "dModulus" << QVariant(0) << modulus(1.0);
    QTest::newRow("module abc -> 1") << "dModulus" << QVariant("abc") << modulus(1.0);
    QTest::newRow("module nan -> 1") << "dModulus" << QVariant("nan") << modulus(1.0);
    QTest::newRow("module inf -> 100") << "dModulus" << QVariant("inf") << modulus(100.0);
    QTest::newRow("diameter 1: 500 -> 1") << "sGear1.dCDiameter" << QVariant(500) << diameter1(1.0);
    QTest::newRow("diameter 1: 3500 -> 3") << "sGear1.dCDiameter" << QVariant(3500) << diameter1(3.0);
    QTest::newRow("diameter 1: 2540 kept") << "sGear1.dCDiameter" << QVariant(2540) << diameter1(2.54);
    QTest::newRow("diameter 1: abc -> 1") << "sGear1.dCDiameter" << QVariant("abc") << diameter1(1.0);
    QTest::newRow("diameter 2: -5000 -> 1") << "sGear2.dCDiameter" << QVariant(-5000) << diameter2(1.0);
    QTest::newRow("diameter 2: 1e300 -> 3") << "sGear2.dCDiameter" << QVariant("1e300") << diameter2(3.0);
    QTest::newRow("count 1: 7 -> 8") << "sGear1.nGCount" << QVariant(7) << count1(8);
    QTest::newRow("count 1: 61 -> 60") << "sGear1.nGCount" << QVariant(61) << count1(60);
    QTest::newRow("count 1: 30 kept") << "sGear1.nGCount" << QVariant(30) << count1(30);
    QTest::newRow("count 1: abc -> 8") << "sGear1.nGCount" << QVariant("abc") << count1(8);
    QTest::newRow("count 2: 7 -> 8") << "sGear2.nGCount" << QVariant(7) << count2(8);
    QTest::newRow("count 2: 61 -> 60") << "sGear2.nGCount" << QVariant(61) << count2(60);
    QTest::newRow("count 2: int max -> 60") << "sGear2.nGCount" << QVariant(2147483647) << count2(60);
    QTest::newRow("count 2: int min -> 8") << "sGear2.nGCount" << QVariant(-2147483647 - 1) << count2(8);
}

void TestGear::loadClampsEachField()
{
    QFETCH(QString, key);
    QFETCH(QVariant, stored);
    QFETCH(QByteArray, record);

    m_config->setIniValue(kGroup, key, stored);
    DlgKerfmate dlg(nullptr);
    QVERIFY(ShowGearPage(dlg));
    QCOMPARE(m_engine.last(QStringLiteral("gear"))->record, record);
}

void TestGear::typedValuesReachEngine_data()
{
    QTest::addColumn<int>("unit");
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<QStringList>("typed");
    QTest::addColumn<QByteArray>("record");
    QTest::addColumn<QString>("space");
    QTest::addColumn<QString>("rate");

    const QByteArray modulus2 = GearRecord([](SGearBoxParam& p) { p.dModulus = 2.0; });
    QTest::newRow("module 2, millimetres") << 1 << QStringList{"Modulus"} << QStringList{"2"} << modulus2 << "35.00"
                                           << "1.92";
    QTest::newRow("module 2, inches") << 0 << QStringList{"Modulus"} << QStringList{"2"} << modulus2 << "1.38"
                                      << "1.92";
    const QByteArray big = GearRecord([](SGearBoxParam& p) {
        p.dModulus = 50;
        p.sGear1.nGCount = 60;
        p.sGear2.nGCount = 60;
    });
    QTest::newRow("module 50, 60 and 60 teeth")
        << 1 << QStringList{"Modulus", "Count1", "Count2"} << QStringList{"50", "60", "60"} << big << "3000.00"
        << "1.00";
    QTest::newRow("module 50, 60 and 60 teeth, inches")
        << 2 << QStringList{"Modulus", "Count1", "Count2"} << QStringList{"50", "60", "60"} << big << "118.11"
        << "1.00";
    QTest::newRow("fewest teeth") << 1 << QStringList{"Count1"} << QStringList{"8"}
                                  << GearRecord([](SGearBoxParam& p) { p.sGear1.nGCount = 8; }) << "15.50"
                                  << "2.88";
    QTest::newRow("diameter 10 mm is taken as typed")
        << 1 << QStringList{"Diameter1"} << QStringList{"10"}
        << GearRecord([](SGearBoxParam& p) { p.sGear1.dCDiameter = 10.0; }) << "17.50" << "1.92";
    QTest::newRow("diameter 0.1 inch")
        << 0 << QStringList{"Diameter2"} << QStringList{"0.1"}
        << GearRecord([](SGearBoxParam& p) { p.sGear2.dCDiameter = 0.1 * 25.4; }) << "0.69" << "1.92";
    QTest::newRow("diameter with two decimals")
        << 1 << QStringList{"Diameter2"} << QStringList{"2.75"}
        << GearRecord([](SGearBoxParam& p) { p.sGear2.dCDiameter = 2.75; }) << "17.50" << "1.92";
}

void TestGear::typedValuesReachEngine()
{
    QFETCH(int, unit);
    QFETCH(QStringList, fields);
    QFETCH(QStringList, typed);
    QFETCH(QByteArray, record);
    QFETCH(QString, space);
    QFETCH(QString, rate);

    m_config->writeRulerUnit(unit);
    DlgKerfmate dlg(nullptr);
    QVERIFY(ShowGearPage(dlg));
    m_config->clearLog();
    const int builds = m_engine.count(QStringLiteral("gear"));

    QStringList sentences;
    for (int i = 0; i < fields.size(); ++i) {
        QLineEdit* edit = GearField(dlg, fields[i]);
        TypeOver(edit, typed[i]);
        QCOMPARE(edit->text(), typed[i]);
        QTest::keyClick(edit, Qt::Key_Return);
        sentences << QStringLiteral("lineEdit_gear%1 was editing finished.").arg(fields[i]);
    }

    QCOMPARE(m_config->logSentences(), sentences);
    QCOMPARE(m_engine.count(QStringLiteral("gear")), builds + fields.size());
    QCOMPARE(m_engine.last(QStringLiteral("gear"))->record, record);
    QCOMPARE(GearField(dlg, "Space")->text(), space);
    QCOMPARE(GearField(dlg, "Rate")->text(), rate);
}

void TestGear::returnWithUnfinishedEntryStoresNothing()
{
    m_config->setIniValue(kGroup, QStringLiteral("dModulus"), 5000);
    DlgKerfmate dlg(nullptr);
    QVERIFY(ShowGearPage(dlg));
    m_config->clearLog();
    const QByteArray before = m_engine.last(QStringLiteral("gear"))->record;
    const int builds = m_engine.count(QStringLiteral("gear"));
    QLineEdit* modulus = GearField(dlg, "Modulus");

    Enter(modulus, QStringLiteral("2.5"));

    // Not a whole number: the field holds it as unfinished, Return commits nothing.
    QVERIFY(!modulus->hasAcceptableInput());
    QCOMPARE(modulus->text(), QStringLiteral("2.5"));
    QCOMPARE(m_engine.count(QStringLiteral("gear")), builds);
    QCOMPARE(m_engine.last(QStringLiteral("gear"))->record, before);
    QCOMPARE(GearField(dlg, "Space")->text(), QStringLiteral("87.50"));
    QVERIFY(m_config->logSentences().isEmpty());
}

void TestGear::leavingFieldCorrectsEntry_data()
{
    QTest::addColumn<int>("unit");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown"); // after leaving
    QTest::addColumn<QString>("tip");   // empty: no tip asked for
    QTest::addColumn<QByteArray>("record");

    const QString wholeTip = CTranslator::GetInstance()->GetWording(QStringLiteral("Input range %1 to %2"));
    QTest::newRow("module 2.5 -> 1") << 1 << "Modulus" << "2.5" << "1" << wholeTip.arg(1).arg(50)
                                     << GearRecord([](SGearBoxParam& p) { p.dModulus = 1.0; });
    QTest::newRow("module abc -> 1") << 1 << "Modulus" << "abc" << "1" << wholeTip.arg(1).arg(50)
                                     << GearRecord([](SGearBoxParam& p) { p.dModulus = 1.0; });
    QTest::newRow("count 5 -> 8") << 1 << "Count1" << "5" << "8" << wholeTip.arg(8).arg(60)
                                  << GearRecord([](SGearBoxParam& p) { p.sGear1.nGCount = 8; });
    QTest::newRow("count emptied -> 8") << 1 << "Count2" << "" << "8" << wholeTip.arg(8).arg(60)
                                        << GearRecord([](SGearBoxParam& p) { p.sGear2.nGCount = 8; });
    QTest::newRow("diameter 1001 mm is refused at the last 1")
        << 1 << "Diameter1" << "1001" << "100" << QString()
        << GearRecord([](SGearBoxParam& p) { p.sGear1.dCDiameter = 100.0; });
    QTest::newRow("diameter 40 inch is refused at the 0")
        << 0 << "Diameter1" << "40" << "4" << QString()
        << GearRecord([](SGearBoxParam& p) { p.sGear1.dCDiameter = 4 * 25.4; });
    QTest::newRow("diameter with three decimals keeps two")
        << 1 << "Diameter2" << "1.234" << "1.23" << QString()
        << GearRecord([](SGearBoxParam& p) { p.sGear2.dCDiameter = 1.23; });
    QTest::newRow("diameter emptied stores nothing") << 1 << "Diameter2" << "" << "" << QString() << GearRecord();
}

void TestGear::leavingFieldCorrectsEntry()
{
    QFETCH(int, unit);
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(QString, tip);
    QFETCH(QByteArray, record);

    m_config->writeRulerUnit(unit);
    DlgKerfmate dlg(nullptr);
    QVERIFY(ShowGearPage(dlg));
    m_config->clearLog();
    QLineEdit* edit = GearField(dlg, field);

    TypeOver(edit, typed);
    // The pointer leaves the field: the entry is corrected and the tip stays
    // up (moving the focus would close it again at once).
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(edit, &leave);
    QCOMPARE(edit->text(), shown);
    if (!tip.isEmpty()) {
        QVERIFY(QToolTip::isVisible());
        QCOMPARE(QToolTip::text(), tip);
    }
    // Leaving by Tab commits what the field holds.
    QTest::keyClick(edit, Qt::Key_Tab);
    QVERIFY(!edit->hasFocus());
    QCOMPARE(edit->text(), shown);
    QCOMPARE(m_engine.last(QStringLiteral("gear"))->record, record);
    const QStringList sentences = m_config->logSentences();
    QCOMPARE(sentences.size(), shown.isEmpty() ? 0 : 1);
    if (!shown.isEmpty())
        QCOMPARE(sentences.first(), QStringLiteral("lineEdit_gear%1 was editing finished.").arg(field));
}

void TestGear::resultFieldsAreRecomputed_data()
{
    QTest::addColumn<QString>("field");
    QTest::newRow("centre distance") << "Space";
    QTest::newRow("ratio") << "Rate";
}

void TestGear::resultFieldsAreRecomputed()
{
    QFETCH(QString, field);

    DlgKerfmate dlg(nullptr);
    QVERIFY(ShowGearPage(dlg));
    m_config->clearLog();
    const int builds = m_engine.count(QStringLiteral("gear"));
    QLineEdit* edit = GearField(dlg, field);
    // As a host style might: the result fields become editable.
    edit->setEnabled(true);
    edit->setReadOnly(false);

    Enter(edit, QStringLiteral("99"));

    QCOMPARE(m_config->logSentences(),
             QStringList{QStringLiteral("lineEdit_gear%1 was editing finished.").arg(field)});
    QCOMPARE(m_engine.count(QStringLiteral("gear")), builds + 1);
    QCOMPARE(m_engine.last(QStringLiteral("gear"))->record, GearRecord());
    QCOMPARE(GearField(dlg, "Space")->text(), QStringLiteral("17.50"));
    QCOMPARE(GearField(dlg, "Rate")->text(), QStringLiteral("1.92"));
}

void TestGear::okSavesGroupAndNextDialogClamps()
{
    {
        DlgKerfmate dlg(nullptr);
        QVERIFY(ShowGearPage(dlg));
        const QStringList fields{"Modulus", "Diameter1", "Count1", "Diameter2", "Count2"};
        const QStringList typed{"7", "10", "9", "1.5", "41"};
        for (int i = 0; i < fields.size(); ++i) {
            Enter(GearField(dlg, fields[i]), typed[i]);
        }
        m_config->clearLog();
        QTest::mouseClick(dlg.findChild<QPushButton*>(QStringLiteral("pushButton_ok")), Qt::LeftButton);
        QCOMPARE(dlg.result(), 1);
        QCOMPARE(m_config->logSentences().first(), QStringLiteral("pushButton_ok was clicked."));
    }

    QCOMPARE(m_config->iniValue(kGroup, "dModulus").toDouble(), 7000.0);
    QCOMPARE(m_config->iniValue(kGroup, "sGear1.dCDiameter").toDouble(), 10000.0);
    QCOMPARE(m_config->iniValue(kGroup, "sGear1.nGCount").toInt(), 9);
    QCOMPARE(m_config->iniValue(kGroup, "sGear2.dCDiameter").toDouble(), 1500.0);
    QCOMPARE(m_config->iniValue(kGroup, "sGear2.nGCount").toInt(), 41);
    QVERIFY(!m_config->iniValue(kGroup, "dGearRate").isValid());
    QVERIFY(!m_config->iniValue(kGroup, "dGearSpace").isValid());

    // The 10 mm diameter was built as typed; loading brings it into range.
    DlgKerfmate next(nullptr);
    QVERIFY(ShowGearPage(next));
    QCOMPARE(m_engine.last(QStringLiteral("gear"))->record, GearRecord([](SGearBoxParam& p) {
                 p.dModulus = 7.0;
                 p.sGear1 = SGearParam(3.0, 9);
                 p.sGear2 = SGearParam(1.5, 41);
             }));
    QCOMPARE(GearField(next, "Diameter1")->text(), QStringLiteral("3"));
    QCOMPARE(GearField(next, "Space")->text(), QStringLiteral("175.00"));
    QCOMPARE(GearField(next, "Rate")->text(), QStringLiteral("4.56"));
}

void TestGear::inchDiameterSurvivesReload()
{
    m_config->writeRulerUnit(0);
    {
        DlgKerfmate dlg(nullptr);
        QVERIFY(ShowGearPage(dlg));
        Enter(GearField(dlg, "Diameter1"), QStringLiteral("0.1"));
        QCOMPARE(m_engine.lastRecord<SGearBoxParam>(QStringLiteral("gear")).sGear1.dCDiameter, 0.1 * 25.4);
        QTest::mouseClick(dlg.findChild<QPushButton*>(QStringLiteral("pushButton_ok")), Qt::LeftButton);
    }
    QCOMPARE(m_config->iniValue(kGroup, "sGear1.dCDiameter").toDouble(), 2540.0);

    DlgKerfmate next(nullptr);
    QVERIFY(ShowGearPage(next));
    QCOMPARE(GearField(next, "Diameter1")->text(), QStringLiteral("0.10"));
    QCOMPARE(m_engine.lastRecord<SGearBoxParam>(QStringLiteral("gear")).sGear1.dCDiameter, 2.54);
}

QTEST_MAIN(TestGear)
#include "tst_gear.moc"
