// kerfmate-host as a user runs it: load the module, confirm, export.
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QtTest>

namespace {
struct Run
{
    int exitCode = -1;
    QString out;
    QString err;
};
} // namespace

class TestHost : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void mainJobWritesSvg_data();
    void mainJobWritesSvg();
    void writesDxf();
    void savesSettingsUnderTheTheme_data();
    void savesSettingsUnderTheTheme();
    void screenshotIsTheDialog_data();
    void screenshotIsTheDialog();
    void refusesBadModules_data();
    void refusesBadModules();
    void refusesBadOptions_data();
    void refusesBadOptions();

private:
    Run Host(const QStringList& args, int timeoutMs = 60000);
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestHost::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
}

void TestHost::cleanup()
{
    m_dir->setAutoRemove(!QTest::currentTestFailed());
    m_dir.reset();
}

Run TestHost::Host(const QStringList& args, int timeoutMs)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_dir->path());
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process.setProcessEnvironment(env);
    process.setWorkingDirectory(m_dir->path());
    process.start(qEnvironmentVariable("KERFMATE_HOST"), args);
    Run run;
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

void TestHost::mainJobWritesSvg_data()
{
    QTest::addColumn<QStringList>("extra");
    QTest::newRow("defaults") << QStringList();
    QTest::newRow("right-angle box") << QStringList({"--generator", "0"});
    QTest::newRow("rounded box") << QStringList({"--generator", "1"});
    QTest::newRow("gear") << QStringList({"--generator", "2"});
    QTest::newRow("badge, in German") << QStringList({"--generator", "3", "--lang", "de"});
    QTest::newRow("badge, in Chinese") << QStringList({"--generator", "3", "--lang", "zh"});
}

void TestHost::mainJobWritesSvg()
{
    QFETCH(QStringList, extra);
    const QString svg = m_dir->filePath(QStringLiteral("part.svg"));
    const Run run = Host(QStringList({"--accept", "--out", svg}) + extra);
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    QVERIFY(run.out.contains(QLatin1String("written to")));

    QSvgRenderer renderer(svg);
    QVERIFY(renderer.isValid());
    QVERIFY(renderer.viewBoxF().width() > 10.0);
    QFile file(svg);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray content = file.readAll();
    QVERIFY(content.contains("mm\" height="));
    QVERIFY(content.count("<path ") >= 1);
    QVERIFY(!content.contains("nan") && !content.contains("inf"));
}

void TestHost::writesDxf()
{
    const QString dxf = m_dir->filePath(QStringLiteral("part.dxf"));
    const Run run = Host({"--accept", "--generator", "2", "--dxf", dxf});
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    QFile file(dxf);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray content = file.readAll();
    QVERIFY(content.startsWith("0\nSECTION\n"));
    QVERIFY(content.contains("\nPOLYLINE\n"));
    QVERIFY(content.count("\nVERTEX\n") > 100); // two gears with their teeth
    QVERIFY(content.endsWith("0\nEOF\n"));
}

void TestHost::savesSettingsUnderTheTheme_data()
{
    QTest::addColumn<QString>("theme");
    QTest::addColumn<QString>("folder");
    QTest::newRow("default") << "" << "Gleamworks";
    QTest::newRow("Lumenforge") << "Lumenforge" << "Lumenforge";
}

void TestHost::savesSettingsUnderTheTheme()
{
    QFETCH(QString, theme);
    QFETCH(QString, folder);
    QStringList args({"--accept", "--out", m_dir->filePath(QStringLiteral("part.svg"))});
    if (!theme.isEmpty())
        args << QStringLiteral("--theme") << theme;
    // The host makes its Data folder; the module only writes into it.
    const QString data = m_dir->filePath(QStringLiteral("Kerfmate/%1/Resources/Data").arg(folder));
    QVERIFY(QDir().mkpath(data));
    const Run run = Host(args);
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    QSettings ini(data + QStringLiteral("/Kerfmate.ini"), QSettings::IniFormat);
    QCOMPARE(ini.childGroups(),
             QStringList({"DLG_FILLET_BOX", "DLG_GEAR_BOX", "DLG_RECT_BOX", "DLG_SEAL_BOX"}));
}

void TestHost::screenshotIsTheDialog_data()
{
    QTest::addColumn<QString>("lang");
    QTest::newRow("en") << "en";
    QTest::newRow("zh") << "zh";
    QTest::newRow("de") << "de";
}

void TestHost::screenshotIsTheDialog()
{
    QFETCH(QString, lang);
    const QString png = m_dir->filePath(QStringLiteral("dialog.png"));
    const Run run = Host({"--lang", lang, "--screenshot", png});
    // Headless without --accept: the dialog is closed after the picture.
    QCOMPARE(run.exitCode, 1);
    const QImage image(png);
    QCOMPARE(image.size(), QSize(1320, 800));
}

void TestHost::refusesBadModules_data()
{
    QTest::addColumn<QString>("module");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("message");
    QTest::newRow("missing file") << "/nonexistent/libKerfmate.so" << 3 << "cannot load the module";
    QTest::newRow("not a library") << QString() << 3 << "cannot load the module";
    QTest::newRow("no ReleaseInterface") << qEnvironmentVariable("KERFMATE_BAD_MODULE") << 4
                                         << "lacks ReleaseInterface";
}

void TestHost::refusesBadModules()
{
    QFETCH(QString, module);
    QFETCH(int, exitCode);
    QFETCH(QString, message);
    if (module.isEmpty()) {
        module = m_dir->filePath(QStringLiteral("libfake.so"));
        QFile fake(module);
        QVERIFY(fake.open(QIODevice::WriteOnly));
        fake.write("not an ELF file");
    }
    const Run run = Host({"--module", module, "--accept"});
    QCOMPARE(run.exitCode, exitCode);
    QVERIFY2(run.err.contains(message), qPrintable(run.err));
    QVERIFY(!QFile::exists(m_dir->filePath(QStringLiteral("kerfmate.svg"))));
}

void TestHost::refusesBadOptions_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::newRow("unknown language") << QStringList({"--lang", "fr", "--accept"});
    QTest::newRow("generator out of range") << QStringList({"--generator", "4", "--accept"});
    QTest::newRow("generator not a number") << QStringList({"--generator", "gear", "--accept"});
    QTest::newRow("unknown option") << QStringList({"--frobnicate"});
}

void TestHost::refusesBadOptions()
{
    QFETCH(QStringList, args);
    const Run run = Host(args);
    QCOMPARE(run.exitCode, 2);
    QVERIFY(!run.err.isEmpty());
}

QTEST_GUILESS_MAIN(TestHost)
#include "tst_host.moc"
