// The module as the host sees it: loaded by path, driven through its two
// exported names and the plug-in object's Create.
#include "TestSupport.h"

#include "CShape.h"
#include "CShapeList.h"
#include "IKerfmate.h"

#include <QApplication>
#include <QDialog>
#include <QLibrary>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

namespace {
using NewInterfaceFn = IKerfmate* (*)();
using ReleaseInterfaceFn = void (*)(IKerfmate*);

QDialog* OpenDialog()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String("DlgKerfmate") && w->isVisible())
            return qobject_cast<QDialog*>(w);
    return nullptr;
}

// Ends the dialog the way a user would, as soon as it is up.
void EndDialogSoon(const QString& how)
{
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, timer, [timer, how] {
        QDialog* dialog = OpenDialog();
        if (!dialog)
            return;
        timer->stop();
        timer->deleteLater();
        if (how == QLatin1String("ok"))
            QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("pushButton_ok")), Qt::LeftButton);
        else if (how == QLatin1String("escape"))
            QTest::keyClick(dialog, Qt::Key_Escape);
        else
            dialog->close(); // the window's close button
    });
    timer->start(20);
}
} // namespace

class TestPlugin : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void exportsOnlyTheEntryPoints();
    void releaseNullDoesNothing();
    void endings_data();
    void endings();
    void confirmedListOutlivesTheDialog();
    void eachCreateBuildsThroughItsOwnEngine();
    void hostArgumentIsOpaque();

private:
    QLibrary m_library;
    NewInterfaceFn m_new = nullptr;
    ReleaseInterfaceFn m_release = nullptr;
    std::unique_ptr<TempConfig> m_config;
};

void TestPlugin::initTestCase()
{
    const QString path = qEnvironmentVariable("KERFMATE_MODULE");
    QVERIFY2(!path.isEmpty(), "KERFMATE_MODULE names the built module");
    m_library.setFileName(path);
    QVERIFY2(m_library.load(), qPrintable(m_library.errorString()));
    m_new = reinterpret_cast<NewInterfaceFn>(m_library.resolve("NewInterface"));
    m_release = reinterpret_cast<ReleaseInterfaceFn>(m_library.resolve("ReleaseInterface"));
    QVERIFY(m_new);
    QVERIFY(m_release);
}

void TestPlugin::init()
{
    m_config = std::make_unique<TempConfig>();
}

void TestPlugin::cleanup()
{
    QTRY_VERIFY(QApplication::topLevelWidgets().isEmpty());
    m_config.reset();
}

void TestPlugin::exportsOnlyTheEntryPoints()
{
    QProcess nm;
    nm.start(QStringLiteral("nm"), {QStringLiteral("-D"), QStringLiteral("--defined-only"), m_library.fileName()});
    if (!nm.waitForFinished() || nm.exitCode() != 0)
        QSKIP("nm is not available");
    QStringList names;
    for (const QByteArray& line : nm.readAllStandardOutput().split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() == 3)
            names << QString::fromLatin1(fields.at(2));
    }
    names.sort();
    QCOMPARE(names, QStringList({QStringLiteral("NewInterface"), QStringLiteral("ReleaseInterface")}));
}

void TestPlugin::releaseNullDoesNothing()
{
    m_release(nullptr);
    IKerfmate* a = m_new();
    IKerfmate* b = m_new();
    QVERIFY(a && b && a != b);
    m_release(a);
    m_release(b);
}

void TestPlugin::endings_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("returnsList");
    QTest::newRow("ok") << "ok" << true;
    QTest::newRow("escape") << "escape" << false;
    QTest::newRow("close button") << "close" << false;
}

void TestPlugin::endings()
{
    QFETCH(QString, how);
    QFETCH(bool, returnsList);

    RecordingEngine engine;
    IKerfmate* plugin = m_new();
    const long shapesBefore = CShape::LiveCount();
    const long listsBefore = CShapeList::LiveCount();
    EndDialogSoon(how);
    CShapeList* result = plugin->Create(&engine, nullptr, nullptr);
    m_release(plugin);

    QCOMPARE(result != nullptr, returnsList);
    QVERIFY(engine.count() >= 4); // every generator is built when the dialog opens
    const QStringList create = m_config->logSentences(1);
    if (returnsList) {
        QCOMPARE(create, QStringList({"Create"}));
        QVERIFY(QFile::exists(m_config->kerfmateIni()));
        // Only the host's copy is left alive.
        QCOMPARE(CShapeList::LiveCount(), listsBefore + 1);
        QCOMPARE(CShape::LiveCount(), shapesBefore + long(result->GetCount()));
        result->DeleteAll();
        CShapeList::Release(result);
    } else {
        QCOMPARE(create, QStringList({"Create", "Create_Cancel"}));
        QVERIFY2(!QFile::exists(m_config->kerfmateIni()), "a cancelled run saves nothing");
    }
    QCOMPARE(CShapeList::LiveCount(), listsBefore);
    QCOMPARE(CShape::LiveCount(), shapesBefore);
}

void TestPlugin::confirmedListOutlivesTheDialog()
{
    RecordingEngine engine;
    IKerfmate* plugin = m_new();
    EndDialogSoon(QStringLiteral("ok"));
    CShapeList* result = plugin->Create(&engine, nullptr, nullptr);
    m_release(plugin);
    QVERIFY(result);
    QVERIFY(OpenDialog() == nullptr);
    QVERIFY(result->GetCount() > 0);
    // The right-angle box is built last when the dialog opens; its main
    // list (not the preview-only second list) is what the host gets.
    const auto record = engine.lastRecord<SRectBoxParam>(QStringLiteral("rect"));
    QCOMPARE(engine.last()->op, QStringLiteral("rect"));
    const QRectF bounds = result->GetShape(0)->GetPath(false)->boundingRect();
    QCOMPARE(bounds.size(), QSizeF(record.dWidth, record.dHeight));
    QCOMPARE(result->GetCount(), 1u);
    result->DeleteAll();
    CShapeList::Release(result);
}

void TestPlugin::eachCreateBuildsThroughItsOwnEngine()
{
    RecordingEngine first;
    RecordingEngine second;
    IKerfmate* plugin = m_new();

    EndDialogSoon(QStringLiteral("escape"));
    QVERIFY(!plugin->Create(&first, nullptr, nullptr));
    const int firstCalls = first.count();
    QVERIFY(firstCalls >= 4);

    EndDialogSoon(QStringLiteral("escape"));
    QVERIFY(!plugin->Create(&second, nullptr, nullptr));
    QCOMPARE(first.count(), firstCalls);
    QCOMPARE(second.count(), firstCalls);
    m_release(plugin);
}

void TestPlugin::hostArgumentIsOpaque()
{
    // Whatever the host passes there is never touched.
    RecordingEngine engine;
    IKerfmate* plugin = m_new();
    EndDialogSoon(QStringLiteral("escape"));
    QVERIFY(!plugin->Create(&engine, reinterpret_cast<void*>(quintptr(0x1)), nullptr));
    m_release(plugin);
}

QTEST_MAIN(TestPlugin)
#include "tst_plugin.moc"
