// The modular gear page: what the engine receives, what the page shows, what
// Kerfmate.ini holds after OK, and what the log says.
#include "DialogFixture.h"

#include "CTranslator.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QToolTip>
#include <QtTest>

namespace {
const QString kGroup = QStringLiteral("DLG_GEAR_BOX");
const QString kGear = QStringLiteral("gear");

// The record the page should build; defaults are module 1, bores of 3 mm and 12 and 23 teeth.
QByteArray Gears(double dModule = 1, double d1 = 3, int n1 = 12, double d2 = 3, int n2 = 23)
{
    SGearBoxParam param;
    param.dModulus = dModule;
    param.sGear1 = SGearParam(d1, n1);
    param.sGear2 = SGearParam(d2, n2);
    return RecordBytes(param);
}

QString Finished(const QString& field)
{
    return QStringLiteral("lineEdit_gear%1 was editing finished.").arg(field);
}
} // namespace

class TestGear : public QObject, private DialogFixture
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }
    void init() { SetUpDialogTest(); }
    void cleanup();

    void opensWithLoadedValues_data();
    void opensWithLoadedValues();
    void typedValuesReachEngine_data();
    void typedValuesReachEngine();
    void leavingFieldCorrectsEntry_data();
    void leavingFieldCorrectsEntry();
    void okSavesInMillimetresAndReloads();

private:
    QLineEdit* Field(const QString& name) const { return Widget<QLineEdit>(QStringLiteral("lineEdit_gear") + name); }
    void ClickOk() const { QTest::mouseClick(Widget<QPushButton>(QStringLiteral("pushButton_ok")), Qt::LeftButton); }
};

void TestGear::cleanup()
{
    m_dlg.reset();
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

    const auto all = [](const QVariant& m, const QVariant& d1, const QVariant& c1, const QVariant& d2,
                        const QVariant& c2) {
        return QVariantMap{{"dModulus", m}, {"sGear1.dCDiameter", d1}, {"sGear1.nGCount", c1},
                           {"sGear2.dCDiameter", d2}, {"sGear2.nGCount", c2}};
    };
    QTest::newRow("defaults, millimetres") << 1 << QVariantMap() << Gears()
                                           << QStringList{"1", "3", "12", "3", "23", "17.50", "1.92"};
    QTest::newRow("defaults, ruler unit 2 is inches")
        << 2 << QVariantMap() << Gears() << QStringList{"1", "0.12", "12", "0.12", "23", "0.69", "1.92"};
    QTest::newRow("values in range kept, inches") << 0 << all(2500, 2540, 30, 1000, 45) << Gears(2.5, 2.54, 30, 1, 45)
                                                  << QStringList{"2.5", "0.10", "30", "0.04", "45", "3.69", "1.50"};
    QTest::newRow("below range") << 1 << all(0, 500, 7, -5000, -2147483647 - 1) << Gears(1, 1, 8, 1, 8)
                                 << QStringList{"1", "1", "8", "1", "8", "8.00", "1.00"};
    QTest::newRow("above range") << 1 << all(200000, 3500, 61, "1e300", 2147483647) << Gears(100, 3, 60, 3, 60)
                                 << QStringList{"100", "3", "60", "3", "60", "6000.00", "1.00"};
    QTest::newRow("not numbers") << 1 << all("abc", "abc", "abc", "abc", "abc") << Gears(1, 1, 8, 1, 8)
                                 << QStringList{"1", "1", "8", "1", "8", "8.00", "1.00"};
    QTest::newRow("nan and infinity")
        << 1 << QVariantMap{{"dModulus", "nan"}, {"sGear1.dCDiameter", "nan"}, {"sGear2.dCDiameter", "inf"}}
        << Gears(1, 1, 12, 3, 23) << QStringList{"1", "1", "12", "3", "23", "17.50", "1.92"};
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
    QVERIFY(OpenPage(2));

    QCOMPARE(LastRecordOf(kGear), record);
    QStringList shown;
    for (const char* name : {"Modulus", "Diameter1", "Count1", "Diameter2", "Count2", "Space", "Rate"})
        shown << Field(QLatin1String(name))->text();
    QCOMPARE(shown, texts);
}

void TestGear::typedValuesReachEngine_data()
{
    QTest::addColumn<int>("unit");
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<QStringList>("typed");
    QTest::addColumn<QByteArray>("record");
    QTest::addColumn<QString>("space");
    QTest::addColumn<QString>("rate");

    const QByteArray modulus2 = Gears(2);
    QTest::newRow("module 2, millimetres") << 1 << QStringList{"Modulus"} << QStringList{"2"} << modulus2 << "35.00"
                                           << "1.92";
    QTest::newRow("module 2, inches") << 0 << QStringList{"Modulus"} << QStringList{"2"} << modulus2 << "1.38"
                                      << "1.92";
    QTest::newRow("module 50, 60 and 60 teeth")
        << 1 << QStringList{"Modulus", "Count1", "Count2"} << QStringList{"50", "60", "60"}
        << Gears(50, 3, 60, 3, 60) << "3000.00" << "1.00";
    // Should a host style make the result fields editable, both are recomputed.
    QTest::newRow("centre distance typed over") << 1 << QStringList{"Space"} << QStringList{"99"} << Gears()
                                                << "17.50" << "1.92";
    QTest::newRow("ratio typed over") << 1 << QStringList{"Rate"} << QStringList{"99"} << Gears() << "17.50"
                                      << "1.92";
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
    QVERIFY(OpenPage(2));
    Settle();

    QStringList sentences;
    for (int i = 0; i < fields.size(); ++i) {
        Field(fields[i])->setEnabled(true);
        Field(fields[i])->setReadOnly(false);
        Enter(Field(fields[i]), typed[i]);
        sentences << Finished(fields[i]);
    }

    QCOMPARE(m_config->logSentences(), sentences);
    QCOMPARE(m_engine.count(kGear), fields.size());
    QCOMPARE(LastRecordOf(kGear), record);
    QCOMPARE(Field("Space")->text(), space);
    QCOMPARE(Field("Rate")->text(), rate);
}

void TestGear::leavingFieldCorrectsEntry_data()
{
    QTest::addColumn<int>("unit");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("held");     // unfinished: Return stores nothing
    QTest::addColumn<QString>("shown"); // after leaving
    QTest::addColumn<QString>("tip");   // empty: no tip asked for
    QTest::addColumn<QByteArray>("record");

    // Module 5 is loaded, so that a correction to the bottom shows.
    const QString tip = CTranslator::GetInstance()->GetWording(QStringLiteral("Input range %1 to %2"));
    QTest::newRow("module 2.5 -> 1") << 1 << "Modulus" << "2.5" << true << "1" << tip.arg(1).arg(50) << Gears(1);
    QTest::newRow("count 5 -> 8") << 1 << "Count1" << "5" << true << "8" << tip.arg(8).arg(60) << Gears(5, 3, 8);
    QTest::newRow("count emptied -> 8") << 1 << "Count2" << "" << true << "8" << tip.arg(8).arg(60)
                                        << Gears(5, 3, 12, 3, 8);
    QTest::newRow("diameter 1001 mm is refused at the last 1")
        << 1 << "Diameter1" << "1001" << false << "100" << QString() << Gears(5, 100);
    QTest::newRow("diameter 40 inch is refused at the 0")
        << 0 << "Diameter1" << "40" << false << "4" << QString() << Gears(5, 4 * 25.4);
    QTest::newRow("diameter with three decimals keeps two")
        << 1 << "Diameter2" << "1.234" << false << "1.23" << QString() << Gears(5, 3, 12, 1.23);
    QTest::newRow("diameter emptied stores nothing") << 1 << "Diameter2" << "" << true << "" << QString() << Gears(5);
}

void TestGear::leavingFieldCorrectsEntry()
{
    QFETCH(int, unit);
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(bool, held);
    QFETCH(QString, shown);
    QFETCH(QString, tip);
    QFETCH(QByteArray, record);

    m_config->writeRulerUnit(unit);
    m_config->setIniValue(kGroup, QStringLiteral("dModulus"), 5000);
    QVERIFY(OpenPage(2));
    m_config->clearLog();
    const int builds = m_engine.count();
    QLineEdit* edit = Field(field);

    TypeOver(edit, typed);
    if (held) {
        QTest::keyClick(edit, Qt::Key_Return);
        QCOMPARE(edit->text(), typed);
        QCOMPARE(m_engine.count(), builds);
        QVERIFY(m_config->logSentences().isEmpty());
    }
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
    QCOMPARE(LastRecordOf(kGear), record);
    QCOMPARE(m_config->logSentences(), shown.isEmpty() ? QStringList() : QStringList{Finished(field)});
}

void TestGear::okSavesInMillimetresAndReloads()
{
    m_config->writeRulerUnit(0);
    QVERIFY(OpenPage(2));
    const QStringList fields{"Modulus", "Diameter1", "Count1", "Diameter2", "Count2"};
    const QStringList typed{"7", "0.1", "9", "0.05", "41"};
    for (int i = 0; i < fields.size(); ++i)
        Enter(Field(fields[i]), typed[i]);
    QCOMPARE(LastRecordOf(kGear), Gears(7, 0.1 * 25.4, 9, 0.05 * 25.4, 41));
    ClickOk();
    m_dlg.reset();

    // Lengths in thousandths of a millimetre; the two results are not stored.
    QStringList stored;
    for (const char* key : {"dModulus", "sGear1.dCDiameter", "sGear1.nGCount", "sGear2.dCDiameter",
                            "sGear2.nGCount", "dGearRate", "dGearSpace"}) {
        const QVariant value = m_config->iniValue(kGroup, QLatin1String(key));
        stored << (value.isValid() ? QString::number(value.toDouble()) : QStringLiteral("none"));
    }
    QCOMPARE(stored, QStringList({"7000", "2540", "9", "1270", "41", "none", "none"}));

    QVERIFY(OpenPage(2));
    QCOMPARE(Field("Diameter1")->text(), QStringLiteral("0.10"));
    QCOMPARE(Field("Diameter2")->text(), QStringLiteral("0.05"));
    const SGearBoxParam reloaded = m_engine.lastRecord<SGearBoxParam>(kGear);
    QCOMPARE(reloaded.sGear1.dCDiameter, 2.54);
    QCOMPARE(reloaded.sGear2.dCDiameter, 1.27);
}

QTEST_MAIN(TestGear)
#include "tst_gear.moc"
