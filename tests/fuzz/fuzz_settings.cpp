// Kerfmate.ini bytes through the dialog: it opens, the engine takes what it
// builds without harm, and what OK saves loads back as the same records.
#include "OutlineCheck.h"
#include "TestSupport.h"

#include "DlgKerfmate.h"
#include "ReferenceEngine.h"

#include <QApplication>
#include <QFile>
#include <QPushButton>
#include <memory>

namespace {
// Records what each build gets and hands it on to the reference engine.
class CheckedEngine : public RecordingEngine
{
public:
    bool CreateSeal(SSealBoxParam p, CShapeList* pMain) override
    {
        RecordingEngine::CreateSeal(p, pMain);
        return Checked([&](CShapeList* m, CShapeList*) { return m_engine.CreateSeal(p, m); });
    }
    bool CreateRectBox(SRectBoxParam p, CShapeList* pMain, CShapeList* pAux, SFaceLabels* pLabels) override
    {
        RecordingEngine::CreateRectBox(p, pMain, pAux, pLabels);
        return Checked([&](CShapeList* m, CShapeList* a) { return m_engine.CreateRectBox(p, m, a, pLabels); });
    }
    bool CreateGear(SGearBoxParam p, CShapeList* pMain) override
    {
        RecordingEngine::CreateGear(p, pMain);
        return Checked([&](CShapeList* m, CShapeList*) { return m_engine.CreateGear(p, m); });
    }
    bool CreateFilletBox(SFilletBoxParam p, CShapeList* pMain, CShapeList* pAux) override
    {
        RecordingEngine::CreateFilletBox(p, pMain, pAux);
        return Checked([&](CShapeList* m, CShapeList* a) { return m_engine.CreateFilletBox(p, m, a); });
    }

private:
    template <typename Build>
    bool Checked(Build build)
    {
        CShapeList* pMain = CShapeList::New();
        CShapeList* pAux = CShapeList::New();
        const bool bBuilt = build(pMain, pAux);
        CheckAndDispose(bBuilt, pMain);
        CheckAndDispose(bBuilt, pAux);
        return bBuilt;
    }
    CReferenceEngine m_engine;
};

QList<QVariantMap> Records(const RecordingEngine& engine)
{
    return {Fields(engine.rect), Fields(engine.fillet), Fields(engine.gear), Fields(engine.seal)};
}

std::unique_ptr<TempConfig> g_config;
} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    new QApplication(*argc, *argv);
    g_config = std::make_unique<TempConfig>();
    qunsetenv("KERFMATE_LOG_FILE"); // a log of millions of runs helps nobody
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QFile file(g_config->kerfmateIni());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        std::abort();
    file.write(reinterpret_cast<const char*>(data), qint64(size));
    file.close();
    CheckedEngine engine;
    UseEngine(&engine);
    {
        DlgKerfmate dialog(nullptr);
        dialog.findChild<QPushButton*>(QStringLiteral("pushButton_ok"))->click();
    }
    const QList<QVariantMap> saved = Records(engine);
    DlgKerfmate reopened(nullptr);
    for (int i = 0; i < 4; ++i)
        if (!Differences(Records(engine).at(i), saved.at(i)).isEmpty())
            std::abort();
    return 0;
}
