// Where settings live, how values are written and read back, and which
// ruler units mean inches.
#include "TestSupport.h"

#include "CUiPermissionsManager.h"
#include "Settings.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>
#include <QtTest>

class TestSettings : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void resourceFolderByTheme_data();
    void resourceFolderByTheme();
    void intRoundTrip_data();
    void intRoundTrip();
    void doubleRoundTrip_data();
    void doubleRoundTrip();
    void stringRoundTrip_data();
    void stringRoundTrip();
    void missingValuesGiveTheDefault();
    void batchReachesTheDiskAtItsEnd();
    void writesKeepOtherGroups();
    void rulerUnit_data();
    void rulerUnit();
    void unitRule_data();
    void unitRule();

private:
    std::unique_ptr<TempConfig> m_config;
    QString m_file;
};

void TestSettings::init()
{
    m_config = std::make_unique<TempConfig>();
    CUiPermissionsManager::GetInstance()->SetThemeName(QString());
    m_file = m_config->kerfmateIni();
}

void TestSettings::cleanup()
{
    EndIniWrite();
    m_config.reset();
}

void TestSettings::resourceFolderByTheme_data()
{
    QTest::addColumn<QString>("theme");
    QTest::addColumn<QString>("folder");
    QTest::newRow("Lumenforge") << "Lumenforge" << "Lumenforge";
    QTest::newRow("letter case differs") << "lumenforge" << "Gleamworks";
    QTest::newRow("trailing space") << "Lumenforge " << "Gleamworks";
    QTest::newRow("Gleamworks") << "Gleamworks" << "Gleamworks";
    QTest::newRow("empty") << "" << "Gleamworks";
}

void TestSettings::resourceFolderByTheme()
{
    QFETCH(QString, theme);
    QFETCH(QString, folder);
    CUiPermissionsManager::GetInstance()->SetThemeName(theme);
    const QString base = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    const QString expected = QDir::cleanPath(base + QStringLiteral("/../") + folder + QStringLiteral("/Resources"));
    const QString path = GetResourcePath();
    QCOMPARE(path, expected);
    QVERIFY(!path.contains(QLatin1String("..")));
    QVERIFY(path.startsWith(m_config->path()));
    QVERIFY(QDir(path).exists());
    // The Data folder below it is the host's to make.
    QVERIFY(!QDir(path + QStringLiteral("/Data")).exists() || folder == QLatin1String("Gleamworks"));
    QCOMPARE(KerfmateIniPath(), path + QStringLiteral("/Data/Kerfmate.ini"));
    QCOMPARE(HostConfigPath(), path + QStringLiteral("/Data/cfg.ini"));
}

void TestSettings::intRoundTrip_data()
{
    QTest::addColumn<int>("value");
    QTest::newRow("zero") << 0;
    QTest::newRow("flag") << 1;
    QTest::newRow("negative") << -42;
    QTest::newRow("largest") << std::numeric_limits<int>::max();
}

void TestSettings::intRoundTrip()
{
    QFETCH(int, value);
    WriteIniInt(QStringLiteral("DLG_GEAR_BOX"), QStringLiteral("sGear1.nGCount"), value, m_file);
    QCOMPARE(ReadIniInt(QStringLiteral("DLG_GEAR_BOX"), QStringLiteral("sGear1.nGCount"), 7, m_file), value);
    QCOMPARE(m_config->iniValue(QStringLiteral("DLG_GEAR_BOX"), QStringLiteral("sGear1.nGCount")).toInt(), value);
}

void TestSettings::doubleRoundTrip_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("inFile");
    QTest::newRow("2.5 mm stored as 2500") << 2500.0 << "2500";
    QTest::newRow("0.125 stored as 125") << 125.0 << "125";
    QTest::newRow("fraction survives") << 12345.678 << "12345.678";
    QTest::newRow("negative") << -80000.0 << "-80000";
}

void TestSettings::doubleRoundTrip()
{
    QFETCH(double, value);
    QFETCH(QString, inFile);
    WriteIniDouble(QStringLiteral("DLG_RECT_BOX"), QStringLiteral("dWidth"), value, m_file);
    QCOMPARE(ReadIniDouble(QStringLiteral("DLG_RECT_BOX"), QStringLiteral("dWidth"), 1.0, m_file), value);
    QFile file(m_file);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.readAll().contains("dWidth=" + inFile.toUtf8() + "\n"));
}

void TestSettings::stringRoundTrip_data()
{
    QTest::addColumn<QString>("value");
    QTest::newRow("ascii") << "COMPETITION";
    QTest::newRow("chinese") << QString::fromUtf8("一等奖 比赛");
    QTest::newRow("umlauts and symbols") << QString::fromUtf8("Größe = 5%; \"ok\"");
    QTest::newRow("empty") << "";
    QTest::newRow("long") << QString(300, QLatin1Char('x'));
}

void TestSettings::stringRoundTrip()
{
    QFETCH(QString, value);
    WriteIniString(QStringLiteral("DLG_SEAL_BOX"), QStringLiteral("sText1_Text"), value, m_file);
    QCOMPARE(ReadIniString(QStringLiteral("DLG_SEAL_BOX"), QStringLiteral("sText1_Text"), QStringLiteral("x"), m_file),
             value);
}

void TestSettings::missingValuesGiveTheDefault()
{
    QCOMPARE(ReadIniInt(QStringLiteral("G"), QStringLiteral("k"), 17, m_file), 17);
    QCOMPARE(ReadIniDouble(QStringLiteral("G"), QStringLiteral("k"), 2.5, m_file), 2.5);
    QCOMPARE(ReadIniString(QStringLiteral("G"), QStringLiteral("k"), QStringLiteral("d"), m_file),
             QStringLiteral("d"));
    // A text that is not a number reads as 0.
    m_config->setIniValue(QStringLiteral("G"), QStringLiteral("k"), QStringLiteral("abc"));
    QCOMPARE(ReadIniInt(QStringLiteral("G"), QStringLiteral("k"), 17, m_file), 0);
    QCOMPARE(ReadIniDouble(QStringLiteral("G"), QStringLiteral("k"), 2.5, m_file), 0.0);
}

void TestSettings::batchReachesTheDiskAtItsEnd()
{
    BeginIniWrite(m_file);
    WriteIniInt(QStringLiteral("DLG_RECT_BOX"), QStringLiteral("bNoTop"), 1, m_file);
    WriteIniDouble(QStringLiteral("DLG_RECT_BOX"), QStringLiteral("dWidth"), 80000.0, QStringLiteral("/ignored"));
    QVERIFY(!QFile::exists(m_file));
    EndIniWrite();
    QCOMPARE(m_config->iniValue(QStringLiteral("DLG_RECT_BOX"), QStringLiteral("bNoTop")).toInt(), 1);
    QCOMPARE(m_config->iniValue(QStringLiteral("DLG_RECT_BOX"), QStringLiteral("dWidth")).toDouble(), 80000.0);
    EndIniWrite(); // a second end is harmless
}

void TestSettings::writesKeepOtherGroups()
{
    m_config->setIniValue(QStringLiteral("DLG_GEAR_BOX"), QStringLiteral("dModulus"), 2000);
    BeginIniWrite(m_file);
    WriteIniInt(QStringLiteral("DLG_RECT_BOX"), QStringLiteral("bInSize"), 0, m_file);
    EndIniWrite();
    QCOMPARE(m_config->iniValue(QStringLiteral("DLG_GEAR_BOX"), QStringLiteral("dModulus")).toInt(), 2000);
}

void TestSettings::rulerUnit_data()
{
    QTest::addColumn<QString>("stored"); // empty: no cfg.ini
    QTest::addColumn<int>("unit");
    QTest::addColumn<bool>("inches");
    QTest::newRow("no cfg.ini") << QString() << 1 << false;
    QTest::newRow("0") << "0" << 0 << true;
    QTest::newRow("1") << "1" << 1 << false;
    QTest::newRow("2") << "2" << 2 << true;
    QTest::newRow("3") << "3" << 3 << false;
    QTest::newRow("7") << "7" << 7 << false;
    QTest::newRow("-2") << "-2" << -2 << false;
    QTest::newRow("not a number reads as 0") << "inch" << 0 << true;
}

void TestSettings::rulerUnit()
{
    QFETCH(QString, stored);
    QFETCH(int, unit);
    QFETCH(bool, inches);
    if (!stored.isNull())
        m_config->writeRulerUnitRaw(stored);
    QCOMPARE(ReadRulerUnit(), unit);
    QCOMPARE(IsInchUnit(ReadRulerUnit()), inches);
}

void TestSettings::unitRule_data()
{
    QTest::addColumn<int>("unit");
    QTest::addColumn<double>("shown");
    QTest::addColumn<double>("mm");
    QTest::newRow("inches in") << 2 << 2.0 << 50.8;
    QTest::newRow("inches, unit 0") << 0 << 0.5 << 12.7;
    QTest::newRow("millimetres") << 1 << 33.46 << 33.46;
    QTest::newRow("other unit is millimetres") << 3 << 7.0 << 7.0;
}

void TestSettings::unitRule()
{
    QFETCH(int, unit);
    QFETCH(double, shown);
    QFETCH(double, mm);
    QCOMPARE(ToMm(shown, unit), mm);
    QCOMPARE(FromMm(mm, unit), shown);
}

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
