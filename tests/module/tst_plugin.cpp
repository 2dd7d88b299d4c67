// The module as a host sees it: loaded by path, reached through its two
// exported names, the plug-in object and the engine by their slots. The
// declarations below are a separately built host's view: a virtual function
// added, removed or moved in ours makes these calls land elsewhere.
#include "TestSupport.h"

#include "CShape.h"
#include "CShapeList.h"
#include "IKerfmate.h"

#include <QApplication>
#include <QDialog>
#include <QLibrary>
#include <QSet>
#include <QTimer>
#include <QtTest>

namespace frozen {
// Slot 0 the destructor, slot 1 Create.
class PlugIn
{
public:
    virtual ~PlugIn();
    virtual CShapeList* Create(IGeometryEngine* pEngine, void* pHostArg, QWidget* pParent) = 0;
};

// Slots 0 to 22 are the host's own; the builds are 23 to 26.
class Engine
{
public:
    virtual ~Engine();
    virtual void Slot1();  virtual void Slot2();  virtual void Slot3();  virtual void Slot4();
    virtual void Slot5();  virtual void Slot6();  virtual void Slot7();  virtual void Slot8();
    virtual void Slot9();  virtual void Slot10(); virtual void Slot11(); virtual void Slot12();
    virtual void Slot13(); virtual void Slot14(); virtual void Slot15(); virtual void Slot16();
    virtual void Slot17(); virtual void Slot18(); virtual void Slot19(); virtual void Slot20();
    virtual void Slot21(); virtual void Slot22();
    virtual bool CreateSeal(SSealBoxParam param, CShapeList* pMain);
    virtual bool CreateRectBox(SRectBoxParam param, CShapeList* pMain, CShapeList* pAux, SFaceLabels* pLabels);
    virtual bool CreateGear(SGearBoxParam param, CShapeList* pMain);
    virtual bool CreateFilletBox(SFilletBoxParam param, CShapeList* pMain, CShapeList* pAux);
};
} // namespace frozen

namespace {
// Ends the next generator dialog the way a user would, once it is up.
void EndDialog(const QString& how)
{
    QTimer::singleShot(0, qApp, [how] {
        QWidget* pDialog = nullptr;
        if (!QTest::qWaitFor([&] { return (pDialog = QApplication::activeModalWidget()) != nullptr; }))
            return;
        if (how == QLatin1String("ok"))
            QTest::mouseClick(pDialog->findChild<QWidget*>(QStringLiteral("pushButton_ok")), Qt::LeftButton);
        else if (how == QLatin1String("escape"))
            QTest::keyClick(pDialog, Qt::Key_Escape);
        else
            pDialog->close(); // the window's close button
    });
}
} // namespace

class TestPlugin : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init() { m_config = std::make_unique<TempConfig>(); }
    void cleanup();

    void endings_data();
    void endings();
    void engineBuildsSitAtTheirSlots();

private:
    CShapeList* Create(IGeometryEngine* pEngine, const QString& how);

    QLibrary m_library;
    frozen::PlugIn* (*m_new)() = nullptr;
    void (*m_release)(frozen::PlugIn*) = nullptr;
    std::unique_ptr<TempConfig> m_config;
};

void TestPlugin::initTestCase()
{
    m_library.setFileName(qEnvironmentVariable("KERFMATE_MODULE"));
    QVERIFY2(m_library.load(), qPrintable(m_library.errorString()));
    m_new = reinterpret_cast<decltype(m_new)>(m_library.resolve("NewInterface"));
    m_release = reinterpret_cast<decltype(m_release)>(m_library.resolve("ReleaseInterface"));
    QVERIFY(m_new && m_release);
    m_release(nullptr); // does nothing
}

void TestPlugin::cleanup()
{
    QVERIFY(QApplication::topLevelWidgets().isEmpty());
    m_config.reset();
}

CShapeList* TestPlugin::Create(IGeometryEngine* pEngine, const QString& how)
{
    frozen::PlugIn* pPlugIn = m_new();
    EndDialog(how);
    // Whatever the host passes as its own argument is never touched.
    CShapeList* pResult = pPlugIn->Create(pEngine, reinterpret_cast<void*>(quintptr(0x1)), nullptr);
    m_release(pPlugIn);
    return pResult;
}

void TestPlugin::endings_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<QStringList>("log");
    QTest::newRow("OK") << "ok" << QStringList{"Create"};
    QTest::newRow("Escape") << "escape" << QStringList{"Create", "Create_Cancel"};
    QTest::newRow("close button") << "close" << QStringList{"Create", "Create_Cancel"};
}

void TestPlugin::endings()
{
    QFETCH(QString, how);
    QFETCH(QStringList, log);
    RecordingEngine engine;
    const long shapes = CShape::LiveCount();
    const long lists = CShapeList::LiveCount();

    CShapeList* pResult = Create(&engine, how);

    QCOMPARE(m_config->log(1), log);
    const QSet<QString> built(engine.builds.begin(), engine.builds.end());
    QCOMPARE(built, (QSet<QString>{"rect", "fillet", "gear", "seal"}));
    QCOMPARE(engine.builds.last(), QStringLiteral("rect")); // each built on opening, the box last
    QCOMPARE(QFile::exists(m_config->kerfmateIni()), how == QLatin1String("ok"));
    QCOMPARE(pResult != nullptr, how == QLatin1String("ok"));
    if (pResult) {
        // Only the host's copy of the box's main list is alive, not its preview-only second list.
        QCOMPARE(pResult->GetCount(), 1u);
        QCOMPARE(pResult->GetShape(0)->GetPath(false)->boundingRect(),
                 QRectF(0, 0, engine.rect.dWidth, engine.rect.dHeight));
        QCOMPARE(CShape::LiveCount(), shapes + 1);
        QCOMPARE(CShapeList::LiveCount(), lists + 1);
        pResult->DeleteAll();
        CShapeList::Release(pResult);
    }
    QCOMPARE(CShape::LiveCount(), shapes);
    QCOMPARE(CShapeList::LiveCount(), lists);
}

void TestPlugin::engineBuildsSitAtTheirSlots()
{
    RecordingEngine engine;
    auto* pHostView = static_cast<frozen::Engine*>(OpaqueEngine(&engine));
    CShapeList* pMain = CShapeList::New();
    CShapeList* pAux = CShapeList::New();
    const SSealBoxParam seal{71.0};
    const SRectBoxParam rect{72.0};
    const SGearBoxParam gear{{3.0, 12}, {3.0, 23}, 3.0};
    const SFilletBoxParam fillet{{}, {12.0, 1.2, 2.0, 5}};
    SFaceLabels labels;

    pHostView->CreateSeal(seal, pMain);
    pHostView->CreateRectBox(rect, pMain, pAux, &labels);
    pHostView->CreateGear(gear, pMain);
    pHostView->CreateFilletBox(fillet, pMain, pAux);

    QCOMPARE(engine.builds, (QStringList{"seal", "rect", "gear", "fillet"}));
    QCOMPARE(engine.seal, seal);
    QCOMPARE(engine.rect, rect);
    QCOMPARE(engine.gear, gear);
    QCOMPARE(engine.fillet, fillet);
    for (CShapeList* pList : {pMain, pAux}) {
        pList->DeleteAll();
        CShapeList::Release(pList);
    }
}

QTEST_MAIN(TestPlugin)
#include "tst_plugin.moc"
