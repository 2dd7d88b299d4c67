// Binary contracts with the host: a host built from its own declaration of
// the plug-in object and the engine calls the right function by slot.
// The frozen declarations below are that host's view; a virtual function
// added, removed or moved in ours breaks these calls.
#include "TestSupport.h"

#include "CShape.h"
#include "CShapeList.h"
#include "IKerfmate.h"

#include <QApplication>
#include <QDialog>
#include <QLibrary>
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
    virtual void Slot1();
    virtual void Slot2();
    virtual void Slot3();
    virtual void Slot4();
    virtual void Slot5();
    virtual void Slot6();
    virtual void Slot7();
    virtual void Slot8();
    virtual void Slot9();
    virtual void Slot10();
    virtual void Slot11();
    virtual void Slot12();
    virtual void Slot13();
    virtual void Slot14();
    virtual void Slot15();
    virtual void Slot16();
    virtual void Slot17();
    virtual void Slot18();
    virtual void Slot19();
    virtual void Slot20();
    virtual void Slot21();
    virtual void Slot22();
    virtual bool CreateSeal(SSealBoxParam param, CShapeList* pMain);
    virtual bool CreateRectBox(SRectBoxParam param, CShapeList* pMain, CShapeList* pAux, SFaceLabels* pLabels);
    virtual bool CreateGear(SGearBoxParam param, CShapeList* pMain);
    virtual bool CreateFilletBox(SFilletBoxParam param, CShapeList* pMain, CShapeList* pAux);
};
} // namespace frozen

class TestInterfaces : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_config = std::make_unique<TempConfig>(); }
    void cleanup() { m_config.reset(); }
    void engineBuildsSitAtTheirSlots();
    void pluginCreateSitsAtSlotOne();

private:
    std::unique_ptr<TempConfig> m_config;
};

void TestInterfaces::engineBuildsSitAtTheirSlots()
{
    RecordingEngine engine;
    auto* host = static_cast<frozen::Engine*>(OpaqueEngine(&engine));
    CShapeList* main = CShapeList::New();
    CShapeList* aux = CShapeList::New();
    SFaceLabels labels;

    SSealBoxParam seal;
    seal.D1 = 71.0;
    host->CreateSeal(seal, main);
    QCOMPARE(engine.last()->op, QStringLiteral("seal"));
    QCOMPARE(engine.lastRecord<SSealBoxParam>(QStringLiteral("seal")).D1, 71.0);

    SRectBoxParam rect;
    rect.dWidth = 72.0;
    host->CreateRectBox(rect, main, aux, &labels);
    QCOMPARE(engine.last()->op, QStringLiteral("rect"));
    QCOMPARE(engine.lastRecord<SRectBoxParam>(QStringLiteral("rect")).dWidth, 72.0);

    SGearBoxParam gear;
    gear.dModulus = 3.0;
    host->CreateGear(gear, main);
    QCOMPARE(engine.last()->op, QStringLiteral("gear"));
    QCOMPARE(engine.lastRecord<SGearBoxParam>(QStringLiteral("gear")).dModulus, 3.0);

    SFilletBoxParam fillet;
    fillet.sCorner.nYCount = 5;
    host->CreateFilletBox(fillet, main, aux);
    QCOMPARE(engine.last()->op, QStringLiteral("fillet"));
    QCOMPARE(engine.lastRecord<SFilletBoxParam>(QStringLiteral("fillet")).sCorner.nYCount, 5);

    QCOMPARE(engine.count(), 4);
    main->DeleteAll();
    aux->DeleteAll();
    CShapeList::Release(main);
    CShapeList::Release(aux);
}

void TestInterfaces::pluginCreateSitsAtSlotOne()
{
    QLibrary library(qEnvironmentVariable("KERFMATE_MODULE"));
    QVERIFY2(library.load(), qPrintable(library.errorString()));
    using NewFn = frozen::PlugIn* (*)();
    using ReleaseFn = void (*)(frozen::PlugIn*);
    auto newInterface = reinterpret_cast<NewFn>(library.resolve("NewInterface"));
    auto releaseInterface = reinterpret_cast<ReleaseFn>(library.resolve("ReleaseInterface"));
    QVERIFY(newInterface && releaseInterface);

    QTimer::singleShot(200, [] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* dialog = qobject_cast<QDialog*>(w))
                dialog->reject();
    });
    RecordingEngine engine;
    frozen::PlugIn* plugin = newInterface();
    QVERIFY(!plugin->Create(&engine, nullptr, nullptr));
    QVERIFY(engine.count() >= 4); // it ran the dialog with our engine
    releaseInterface(plugin);
    QCOMPARE(m_config->logSentences(1), QStringList({"Create", "Create_Cancel"}));
}

QTEST_MAIN(TestInterfaces)
#include "tst_interfaces.moc"
