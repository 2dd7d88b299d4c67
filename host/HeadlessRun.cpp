#include "HeadlessRun.h"

#include "CShapeList.h"
#include "CTranslator.h"
#include "CUiPermissionsManager.h"
#include "HostEngine.h"
#include "HostTrace.h"
#include "ModuleHost.h"
#include "Outlines.h"

#include <cstdio>

void HostError(const QString& message)
{
    std::fprintf(stderr, "kerfmate-host: %s\n", qPrintable(message));
}

bool ApplyLookAndLanguage(const QString& strTheme, const QString& strLanguage)
{
    if (!strTheme.isEmpty())
        CUiPermissionsManager::GetInstance()->SetThemeName(strTheme);
    if (strLanguage.isEmpty() || CTranslator::GetInstance()->SetLanguage(strLanguage))
        return true;
    HostError(QStringLiteral("unknown language %1 (known: %2)")
                  .arg(strLanguage, CTranslator::AvailableLanguages().join(QLatin1String(", "))));
    return false;
}

int RunHeadless(const HostOptions& options)
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
    if (!ApplyLookAndLanguage(options.strTheme, options.strLanguage))
        return ExitUsage;

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
    if (!error.isEmpty())
        HostError(error);
    if (!confirmed) {
        std::printf("kerfmate-host: cancelled, nothing exported\n");
        return ExitCancelled;
    }
    const QString note = BuildMessage(engine.LastBuild(), false);
    if (outlines.isEmpty()) {
        HostError(note.isEmpty() ? QStringLiteral("the part is empty; nothing written") : note);
        return ExitPartEmpty;
    }
    if (!note.isEmpty())
        HostError(note);
    for (const QString& path : options.outputs) {
        QString reason;
        if (!WritePart(outlines, path, &reason)) {
            HostError(QStringLiteral("could not write %1: %2").arg(path, reason));
            return ExitWriteFailed;
        }
        std::printf("kerfmate-host: %lld shapes written to %s\n", qint64(outlines.size()), qPrintable(path));
    }
    HostTrace("exported");
    return ExitOk;
}
