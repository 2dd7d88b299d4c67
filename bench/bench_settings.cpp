// What a damaged or crowded settings file costs a user: the dialog opening
// on each Kerfmate.ini it may meet, and judging the largest file read.
#include "TestSupport.h"

#include "DlgKerfmate.h"
#include "IniFile.h"
#include "ReferenceEngine.h"

#include <QDateTime>
#include <QFile>
#include <QPushButton>
#include <benchmark/benchmark.h>

namespace {
// The file OK saves (0); the largest one read, 256 KiB of texts in a
// generator's group (1); one too large to be read, 50 MB (2). Every opening
// finds the file changed, as the first one after a save does.
void BM_DialogOnSettingsFile(benchmark::State& state)
{
    TempConfig config;
    CReferenceEngine engine;
    UseEngine(&engine);
    DlgKerfmate(nullptr).findChild<QPushButton*>(QStringLiteral("pushButton_ok"))->click();
    QFile file(config.kerfmateIni());
    if (!file.open(QIODevice::Append))
        return state.SkipWithError("Kerfmate.ini cannot be opened");
    if (state.range(0) == 1) {
        file.write("[DLG_RECT_BOX]\n");
        for (int n = 0; file.size() < IniFile::kMaxBytes - 64; ++n)
            file.write(QStringLiteral("sPad%1=\"a text, with a comma\"\n").arg(n).toLatin1());
    } else if (state.range(0) == 2) {
        file.resize(50 << 20);
    }
    file.close();
    qint64 nSeconds = 0;
    for (auto _ : state) {
        state.PauseTiming();
        file.open(QIODevice::ReadWrite);
        file.setFileTime(QDateTime::fromSecsSinceEpoch(++nSeconds), QFileDevice::FileModificationTime);
        file.close();
        state.ResumeTiming();
        DlgKerfmate dlg(nullptr);
        benchmark::DoNotOptimize(dlg.GetResultList());
    }
}

// What OK costs: every generator's settings saved to Kerfmate.ini.
void BM_OkSavesSettings(benchmark::State& state)
{
    TempConfig config;
    CReferenceEngine engine;
    UseEngine(&engine);
    DlgKerfmate dlg(nullptr);
    auto* pOk = dlg.findChild<QPushButton*>(QStringLiteral("pushButton_ok"));
    for (auto _ : state)
        pOk->click();
}

// The largest file read, every line a value Qt would build an object from.
void BM_JudgeLargestSettingsFile(benchmark::State& state)
{
    const QByteArray line = "dWidth=\xEF\xBB\xBF@Variant(\\0\\0\\0\\x9@\\x14\\0\\0\\0\\0\\0\\0)\n";
    QByteArray bytes = "[DLG_RECT_BOX]\n";
    while (bytes.size() + line.size() <= IniFile::kMaxBytes)
        bytes += line;
    for (auto _ : state)
        benchmark::DoNotOptimize(IniFile::Read(bytes).nDropped);
    state.SetBytesProcessed(state.iterations() * bytes.size());
}
} // namespace

BENCHMARK(BM_DialogOnSettingsFile)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OkSavesSettings)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_JudgeLargestSettingsFile)->Unit(benchmark::kMillisecond);
