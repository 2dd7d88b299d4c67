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
QList<QVariantMap> Records(const RecordingEngine& engine)
{
    return {Fields(engine.rect), Fields(engine.fillet), Fields(engine.gear), Fields(engine.seal)};
}

// The reference engine takes the dialog's last records without harm.
void Build(const RecordingEngine& dialog)
{
    CReferenceEngine engine;
    CShapeList* pLists[8];
    for (CShapeList*& pList : pLists)
        pList = CShapeList::New();
    SFaceLabels labels = dialog.labels;
    const bool built[] = {engine.CreateRectBox(dialog.rect, pLists[0], pLists[1], &labels),
                          engine.CreateFilletBox(dialog.fillet, pLists[2], pLists[3]),
                          engine.CreateGear(dialog.gear, pLists[4]), engine.CreateSeal(dialog.seal, pLists[6])};
    for (int i = 0; i < 8; ++i)
        CheckAndDispose(built[i / 2], pLists[i]);
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
    RecordingEngine engine;
    UseEngine(&engine);
    {
        DlgKerfmate dialog(nullptr);
        dialog.findChild<QPushButton*>(QStringLiteral("pushButton_ok"))->click();
    }
    const QList<QVariantMap> saved = Records(engine);
    Build(engine);
    DlgKerfmate reopened(nullptr);
    for (int i = 0; i < 4; ++i)
        if (!Differences(Records(engine).at(i), saved.at(i)).isEmpty())
            qFatal("%s", qPrintable(Differences(Records(engine).at(i), saved.at(i))));
    return 0;
}
