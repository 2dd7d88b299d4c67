#include "HeadlessRun.h"

#include "CShapeList.h"
#include "CommandLine.h"
#include "CTranslator.h"
#include "ExportFormats.h"
#include "HostEngine.h"
#include "HostTrace.h"
#include "ModuleHost.h"
#include "Parameters.h"
#include "SheetDocument.h"
#include "SheetModel.h"
#include "WholeFile.h"

#include <QFile>
#include <QFileInfo>
#include <cstdio>

namespace {
bool OpenSheet(const QString& path, SheetModel& model)
{
    QFile file(path);
    SheetDocument::Contents contents;
    QString error = QStringLiteral("it is not a readable file");
    if (!QFileInfo(path).isFile() || file.size() >= (64 << 20) || !file.open(QIODevice::ReadOnly)
        || !SheetDocument::Read(file.readAll(), &contents, &error)) {
        HostError(QStringLiteral("cannot open %1: %2").arg(path, error));
        return false;
    }
    model.Reset(contents.parts, contents.sheet);
    return true;
}

// Runs the dialog and places its part on the sheet; -1 when it did, else the exit code.
int MakePartOn(const HostOptions& options, SheetModel& model)
{
    ModuleHost module;
    switch (module.Load(options.strModule)) {
    case ModuleHost::NotLoadable:
        HostError(module.ErrorString());
        return ExitModuleMissing;
    case ModuleHost::EntryMissing:
        HostError(module.ErrorString());
        return ExitSymbolMissing;
    case ModuleHost::Loaded:
        break;
    }
    HostTrace("module loaded");
    HostEngine engine;
    DialogDriver driver(engine);
    driver.Arm(options.plan);
    CShapeList* result = module.Create(&engine, nullptr);
    HostTrace("dialog closed");
    const bool confirmed = result != nullptr;
    const Outlines outlines = result ? OutlinesOf(*result) : Outlines();
    if (result) {
        result->DeleteAll();
        CShapeList::Release(result);
    }

    const QString error = driver.LastError();
    switch (driver.LastOutcome()) {
    case DialogDriver::Refused:
        HostError(error);
        return ExitUsage;
    case DialogDriver::TimedOut:
        HostError(error);
        return ExitDialogTimeout;
    case DialogDriver::Empty:
        HostError(error + QStringLiteral("; nothing written"));
        return ExitPartEmpty;
    default:
        break;
    }
    if (!error.isEmpty()) {
        HostError(error);
        if (driver.ScreenshotFailed())
            return ExitWriteFailed;
    }
    if (!confirmed) {
        std::printf("kerfmate-host: cancelled, nothing exported\n");
        return ExitCancelled;
    }
    if (outlines.isEmpty() || !IsFinite(outlines)) {
        HostError(QStringLiteral("the part is empty; nothing written"));
        return ExitPartEmpty;
    }
    const int generator = engine.LastBuild().nGenerator;
    Part part = MakePart(outlines, SheetModel::kGapMm);
    part.nGenerator = generator;
    part.strName = CTranslator::GetInstance()->GetWording(QLatin1String(GeneratorName(generator)));
    part.parameters = PartParameters(engine, generator);
    bool fits = true;
    part.position = model.FreeSpot(part.Size(), &fits);
    if (!fits)
        HostError(QStringLiteral("no room left on the sheet: the part lies below it"));
    model.Add(part);
    return -1;
}
} // namespace

int RunHeadless(const HostOptions& options)
{
    if (!ApplyLookAndLanguage(options.strTheme, options.strLanguage))
        return ExitUsage;
    SheetModel model;
    if (!options.strOpen.isEmpty() && !OpenSheet(options.strOpen, model))
        return ExitSheetUnreadable;
    if (options.bDialog)
        if (const int code = MakePartOn(options, model); code >= 0)
            return code;
    const Outlines outlines = model.AllOutlines();
    for (const QString& path : options.outputs) {
        QString reason;
        if (!ExportOutlines(outlines, path, &reason)) {
            HostError(QStringLiteral("could not write %1: %2").arg(path, reason));
            return ExitWriteFailed;
        }
        std::printf("kerfmate-host: %lld shapes written to %s\n", qint64(outlines.size()), qPrintable(path));
    }
    if (!options.strSave.isEmpty()) {
        QString reason;
        if (!WriteWholeFile(options.strSave, SheetDocument::Write({model.SheetSize(), model.Parts()}), &reason)) {
            HostError(QStringLiteral("could not save %1: %2").arg(options.strSave, reason));
            return ExitWriteFailed;
        }
        std::printf("kerfmate-host: %lld parts saved to %s\n", qint64(model.Parts().size()), qPrintable(options.strSave));
    }
    HostTrace("exported");
    return ExitOk;
}
