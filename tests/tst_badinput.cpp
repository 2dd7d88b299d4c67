// Damaged settings and folders the module cannot write: the dialog still
// opens, OK still hands over the part, what it saves loads back the same,
// and a file it may not write is never torn.
#include "TestSupport.h"

#include "CShapeList.h"
#include "DlgKerfmate.h"

#include <QApplication>
#include <QDir>
#include <QSettings>
#include <QStandardPaths>
#include <QtTest>
#include <sys/fsuid.h>
#include <unistd.h>

namespace {
const char* const kGroups[] = {"DLG_RECT_BOX", "DLG_FILLET_BOX", "DLG_GEAR_BOX", "DLG_SEAL_BOX"};

// One value for every numeric key the generators store.
QByteArray EveryKey(const QByteArray& value)
{
    QByteArray ini;
    for (const char* group : kGroups) {
        ini += '[' + QByteArray(group) + "]\n";
        for (const char* key : {"dWidth", "dHeight", "dDepth", "dFluteOfWidth", "dFluteOfHeight", "dThickness",
                                "dLaserWidth", "sCorner.dRadius", "sCorner.dXSpace", "sCorner.nYCount", "nTemp",
                                "bInSize", "dModulus", "sGear1.dCDiameter", "sGear1.nGCount", "D1", "D2",
                                "dStarRadius", "sText1_dHeight", "sText1_dSpace", "sText3_dOffset"})
            ini += QByteArray(key) + '=' + value + '\n';
    }
    return ini;
}

QList<QVariantMap> Records(const RecordingEngine& engine)
{
    return {Fields(engine.rect), Fields(engine.fillet), Fields(engine.gear), Fields(engine.seal)};
}
} // namespace

class TestBadInput : public QObject, private DialogFixture
{
    Q_OBJECT

private slots:
    void init() { SetUp(); }
    void cleanup() { TearDown(); }
    void damagedSettings_data();
    void damagedSettings();
    void unwritableFolder_data();
    void unwritableFolder();
    void fileItMayNotWriteIsKept();

private:
    void Write(const QString& path, const QByteArray& bytes);
};

void TestBadInput::Write(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

void TestBadInput::damagedSettings_data()
{
    QTest::addColumn<QByteArray>("content");
    QByteArray binary(4096, '\0');
    for (int i = 0; i < binary.size(); ++i)
        binary[i] = char((i * 7919) % 251);
    QTest::newRow("binary") << binary;
    QTest::newRow("cut off mid-line") << QByteArray("[DLG_RECT_BOX]\nbInSize=1\ndWidth=120000\ndHei");
    QTest::newRow("not numbers") << EveryKey("abc");
    QTest::newRow("nan") << EveryKey("nan");
    QTest::newRow("infinite") << EveryKey("-inf");
    QTest::newRow("huge") << EveryKey("1e308");
    QTest::newRow("negative") << EveryKey("-1000000");
    QTest::newRow("serialised objects") << EveryKey("@Variant(\\0\\0\\0\\x9@\\x14\\0\\0\\0\\0\\0\\0)");
    QTest::newRow("long texts") << "[DLG_SEAL_BOX]\nsText1_Text=" + QByteArray(100000, 'x') + "\nsText2_Facename="
                                       + QByteArray(1000, 'y') + '\n';
}

void TestBadInput::damagedSettings()
{
    QFETCH(QByteArray, content);
    Write(m_config->kerfmateIni(), content);

    QVERIFY(Open());
    QVERIFY(ConfirmWithOk());
    QCOMPARE(m_dlg->result(), 1);
    const QList<QVariantMap> saved = Records(m_engine);

    // A clean file with all four generators...
    QSettings ini(m_config->kerfmateIni(), QSettings::IniFormat);
    QCOMPARE(ini.status(), QSettings::NoError);
    for (const char* group : kGroups)
        QVERIFY2(ini.childGroups().contains(QLatin1String(group)), group);
    // ...that the next dialog opens with the same records.
    QVERIFY(Open());
    for (int i = 0; i < 4; ++i) {
        const QString wrong = Differences(Records(m_engine).at(i), saved.at(i));
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong));
    }
}

void TestBadInput::unwritableFolder_data()
{
    QTest::addColumn<QString>("blocked"); // below the theme's folder
    QTest::newRow("Data is a file") << "Resources/Data";
    QTest::newRow("resource folder is a file") << "Resources";
}

void TestBadInput::unwritableFolder()
{
    QFETCH(QString, blocked);
    const QString theme = QDir::cleanPath(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation)
                                          + QStringLiteral("/../Gleamworks"));
    QDir(theme).removeRecursively();
    QVERIFY(QDir().mkpath(QFileInfo(theme + '/' + blocked).path()));
    Write(theme + '/' + blocked, "in the way");

    QVERIFY(Open());
    QVERIFY(ConfirmWithOk());

    QCOMPARE(m_dlg->result(), 1);
    QVERIFY(m_dlg->GetResultList()->GetCount() > 0);
    QCOMPARE(QFile(theme + '/' + blocked).size(), qint64(10));
}

void TestBadInput::fileItMayNotWriteIsKept()
{
    const QByteArray saved = "[DLG_GEAR_BOX]\ndModulus=2000\nsGear1.nGCount=40\n";
    Write(m_config->kerfmateIni(), saved);
    const QString data = QFileInfo(m_config->kerfmateIni()).path();
    // Readable by everyone on the way down, writable by nobody but root.
    for (QString dir = data; dir.startsWith(m_config->path()); dir = QFileInfo(dir).path())
        QVERIFY(QFile::setPermissions(dir, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther));
    const bool bRoot = geteuid() == 0;
    if (bRoot) { // root writes anywhere: act as nobody for the file system
        setfsgid(65534);
        setfsuid(65534);
    }
    QVERIFY(Open(2));
    QCOMPARE(m_engine.gear.sGear1.nGCount, 40);
    const bool bOk = ConfirmWithOk();
    if (bRoot) {
        setfsuid(0);
        setfsgid(0);
    }
    QVERIFY(bOk);

    QCOMPARE(m_dlg->result(), 1);
    QFile file(m_config->kerfmateIni());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), saved);
    QCOMPARE(QDir(data).entryList(QDir::Files | QDir::Hidden), QStringList{"Kerfmate.ini"});
    for (QString dir = data; dir.startsWith(m_config->path()); dir = QFileInfo(dir).path())
        QFile::setPermissions(dir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

QTEST_MAIN(TestBadInput)
#include "tst_badinput.moc"
