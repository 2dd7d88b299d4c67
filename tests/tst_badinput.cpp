// Damaged settings and folders the module cannot write: the dialog still
// opens, OK still hands over the part, and saved settings are never torn.
#include "TestSupport.h"

#include "CShapeList.h"
#include "DlgKerfmate.h"
#include "ReferenceEngine.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSettings>
#include <QStandardPaths>
#include <QtTest>
#include <unistd.h>

namespace {
const char* const kGroups[] = {"DLG_RECT_BOX", "DLG_FILLET_BOX", "DLG_GEAR_BOX", "DLG_SEAL_BOX"};
const char* const kNumericKeys[] = {
    "dWidth", "dHeight", "dDepth", "dFluteOfWidth", "dFluteOfHeight", "dThickness", "dLaserWidth",
    "sCorner.dRadius", "sCorner.dXSpace", "sCorner.dYSpace", "sCorner.nYCount", "nTemp", "bInSize",
    "dModulus", "sGear1.dCDiameter", "sGear1.nGCount", "sGear2.dCDiameter", "sGear2.nGCount",
    "D1", "D2", "dStarRadius", "sText1_dHeight", "sText1_dSpace", "sText1_dOffset", "sText3_dOffset"};

QByteArray EveryKey(const QByteArray& value)
{
    QByteArray ini;
    for (const char* group : kGroups) {
        ini += '[' + QByteArray(group) + "]\n";
        for (const char* key : kNumericKeys)
            ini += QByteArray(key) + '=' + value + '\n';
    }
    return ini;
}
} // namespace

class TestBadInput : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void damagedSettings_data();
    void damagedSettings();
    void unwritableFolder_data();
    void unwritableFolder();
    void readOnlySettingsAreNotTorn();

private:
    // Opens a dialog, clicks OK; how many shapes came back.
    int OpenAndConfirm();

    std::unique_ptr<TempConfig> m_config;
    CReferenceEngine m_engine;
};

void TestBadInput::initTestCase()
{
    QLocale::setDefault(QLocale::c());
}

void TestBadInput::init()
{
    m_config = std::make_unique<TempConfig>();
    UseEngine(&m_engine);
}

void TestBadInput::cleanup()
{
    QVERIFY(QApplication::topLevelWidgets().isEmpty());
    m_config.reset();
}

int TestBadInput::OpenAndConfirm()
{
    DlgKerfmate dlg(nullptr);
    dlg.show();
    QTest::qWait(30);
    QTest::mouseClick(dlg.findChild<QPushButton*>(QStringLiteral("pushButton_ok")), Qt::LeftButton);
    if (dlg.result() != 1 || !dlg.GetResultList())
        return -1;
    return int(dlg.GetResultList()->GetCount());
}

void TestBadInput::damagedSettings_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("partExpected"); // the box still has an outline

    QByteArray binary(8192, '\0');
    QRandomGenerator random(42);
    for (char& c : binary)
        c = char(random.bounded(256));
    QTest::newRow("binary") << binary << true;
    QTest::newRow("empty") << QByteArray() << true;
    QTest::newRow("cut off mid-line") << QByteArray("[DLG_RECT_BOX]\nbInSize=1\ndWidth=120000\ndHei") << true;
    QTest::newRow("not numbers") << EveryKey("abc") << false;
    QTest::newRow("nan") << EveryKey("nan") << false;
    QTest::newRow("infinite") << EveryKey("-inf") << false;
    QTest::newRow("huge") << EveryKey("1e308") << false;
    QTest::newRow("negative") << EveryKey("-1000000") << false;
    QTest::newRow("long texts")
        << QByteArray("[DLG_SEAL_BOX]\nsText1_Text=" + QByteArray(100000, 'W') + "\nsText2_Facename="
                      + QByteArray(5000, 'F') + "\nsText3_Text=\xff\xfe\xc3\n")
        << true;
}

void TestBadInput::damagedSettings()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, partExpected);
    {
        QFile file(m_config->kerfmateIni());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    const int shapes = OpenAndConfirm();
    QVERIFY(shapes >= 0);
    if (partExpected)
        QVERIFY(shapes > 0);

    // What OK wrote is a clean settings file with all four generators.
    QSettings ini(m_config->kerfmateIni(), QSettings::IniFormat);
    QCOMPARE(ini.status(), QSettings::NoError);
    for (const char* group : kGroups)
        QVERIFY2(ini.childGroups().contains(QLatin1String(group)), group);

    // And the next dialog opens from it.
    QVERIFY(OpenAndConfirm() >= 0);
}

void TestBadInput::unwritableFolder_data()
{
    QTest::addColumn<QString>("blocked"); // relative to the resource folder's parent
    QTest::newRow("Data is a file") << "Resources/Data";
    QTest::newRow("resource folder is a file") << "Resources";
}

void TestBadInput::unwritableFolder()
{
    QFETCH(QString, blocked);
    const QString base = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    const QString parent = QDir::cleanPath(base + QStringLiteral("/../Gleamworks"));
    QDir(parent).removeRecursively();
    const QString path = parent + QLatin1Char('/') + blocked;
    QVERIFY(QDir().mkpath(QFileInfo(path).path()));
    QFile block(path);
    QVERIFY(block.open(QIODevice::WriteOnly));
    block.write("in the way");
    block.close();

    QVERIFY(OpenAndConfirm() > 0);
    QVERIFY(QFileInfo(path).isFile());
    QCOMPARE(QFile(path).size(), qint64(10));
}

void TestBadInput::readOnlySettingsAreNotTorn()
{
    // A user's folder the host may not write: the save fails whole, the old
    // file stays as it was, and the part is still exported.
    if (geteuid() != 0)
        QSKIP("needs root to run the host as another user");
    const QString setpriv = QStandardPaths::findExecutable(QStringLiteral("setpriv"));
    if (setpriv.isEmpty())
        QSKIP("setpriv is not installed");

    QTemporaryDir home(QStringLiteral("/tmp/kerfmate-ro-XXXXXX"));
    QVERIFY(home.isValid());
    const QString data = home.path() + QStringLiteral("/Kerfmate/Gleamworks/Resources/Data");
    QVERIFY(QDir().mkpath(data));
    const QString ini = data + QStringLiteral("/Kerfmate.ini");
    const QByteArray saved = "[DLG_GEAR_BOX]\ndModulus=2000\nsGear1.nGCount=40\n";
    {
        QFile file(ini);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(saved);
    }
    const QString out = home.path() + QStringLiteral("/out");
    QVERIFY(QDir().mkpath(out));
    const auto readOnly = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther | QFile::ExeOwner
                        | QFile::ExeGroup | QFile::ExeOther;
    for (const QString& dir : {home.path(), home.path() + "/Kerfmate", home.path() + "/Kerfmate/Gleamworks",
                               home.path() + "/Kerfmate/Gleamworks/Resources", data})
        QVERIFY(QFile::setPermissions(dir, readOnly));
    QVERIFY(QFile::setPermissions(ini, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    QVERIFY(QFile::setPermissions(out, readOnly | QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther));

    QProcess host;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.path());
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), out);
    env.remove(QStringLiteral("KERFMATE_LOG_FILE"));
    host.setProcessEnvironment(env);
    host.start(setpriv, {"--reuid=65534", "--regid=65534", "--clear-groups", qEnvironmentVariable("KERFMATE_HOST"),
                         "--accept", "--generator", "2", "--out", out + "/part.svg"});
    QVERIFY(host.waitForFinished(60000));
    const QByteArray err = host.readAllStandardError();
    if (err.contains("cannot load the module"))
        QSKIP("the build folder is not readable by another user");
    QVERIFY2(host.exitCode() == 0, err.constData());
    QVERIFY(QFile::exists(out + "/part.svg"));

    QFile file(ini);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), saved);
    QCOMPARE(QDir(data).entryList(QDir::Files | QDir::Hidden), QStringList({"Kerfmate.ini"}));
    QFile::setPermissions(home.path(), readOnly | QFile::WriteOwner);
}

QTEST_MAIN(TestBadInput)
#include "tst_badinput.moc"
