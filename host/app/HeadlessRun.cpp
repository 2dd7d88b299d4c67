#include "HeadlessRun.h"

#include "CShapeList.h"
#include "CommandLine.h"
#include "CTranslator.h"
#include "ExportFormats.h"
#include "HostEngine.h"
#include "HostTrace.h"
#include "Import.h"
#include "MadePart.h"
#include "ModuleHost.h"
#include "Nesting.h"
#include "Parameters.h"
#include "SheetDocument.h"
#include "SheetModel.h"
#include "WholeFile.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <atomic>
#include <cmath>
#include <csignal>
#include <cstdio>

namespace {
std::atomic<bool> g_stopNest{false};
const char* const kEdgeNames[] = {"top", "left", "right"}; // by NestOutcome::Edge

// Ctrl+C (or a TERM) while nesting keeps the best layout so far; a second one ends the program as usual.
void StopNest(int nSignal)
{
    g_stopNest = true;
    std::signal(nSignal, SIG_DFL);
}

// Nests every part, telling stderr how far it has got; false (and the reason said) when it cannot.
bool NestAll(SheetModel& model, const HostOptions& options)
{
    SheetSetup setup = model.Setup();
    NestRequest request{model.Parts(), {}, setup, model.NextId()};
    for (const Part& part : model.Parts())
        request.moving << part.nId;
    request.dSeconds = options.dNestSeconds >= 0 ? options.dNestSeconds : NestRequest::kDefaultSeconds;
    request.nRounds = options.nNestRounds;
    request.nSeed = options.nSeed;
    g_stopNest = false;
    const auto oldInt = std::signal(SIGINT, StopNest), oldTerm = std::signal(SIGTERM, StopNest);
    QElapsedTimer said;
    const NestOutcome outcome = Nest(request, [&said](const NestStatus& status) {
        if (status.dMaterialUse > 0 && (!said.isValid() || said.elapsed() >= 1000)) {
            said.start();
            std::fprintf(stderr, "kerfmate-host: nesting: best material use %.1f %% after %.1f s\n", 100 * status.dMaterialUse,
                         status.dSeconds);
        }
        if (g_stopNest && status.dMaterialUse <= 0) // nothing to keep yet: say why it goes on
            std::fprintf(stderr, "kerfmate-host: nesting: stopping once the first layout is whole (%d of %d pieces placed); Ctrl+C again quits\n",
                         status.nPlaced, status.nPieces);
        return g_stopNest ? NestStep::Stop : NestStep::Go;
    });
    std::signal(SIGINT, oldInt);
    std::signal(SIGTERM, oldTerm);
    if (!outcome.bDone) {
        HostError(QStringLiteral("could not nest: %1").arg(outcome.strError));
        return false;
    }
    if (outcome.nTooLarge) {
        HostError((setup.bRoll ? QStringLiteral("could not nest: %1 piece(s) are too large for the %2 mm wide roll less its margin; nothing written")
                               : QStringLiteral("could not nest: %1 piece(s) are larger than the %2 x %3 mm board less its margin; nothing written"))
                      .arg(outcome.nTooLarge)
                      .arg(setup.size.width())
                      .arg(setup.size.height()));
        return false;
    }
    setup = RollCut(setup, outcome);
    model.SetSetup(setup);
    model.SetParts(outcome.parts);
    std::printf("kerfmate-host: %d pieces nested on %d sheet(s) of %g x %g mm, %d in holes, material use %.1f %%",
                outcome.nPieces, model.SheetCount(), setup.size.width(), setup.size.height(), outcome.nInHoles,
                100 * model.MaterialUse());
    if (setup.bRoll)
        std::printf(", length used %g mm", setup.size.height());
    else
        std::printf(", the last sheet used to %.1f mm from its %s edge: %.1f %% with the rest of it kept as offcut", outcome.dLengthMm,
                    kEdgeNames[int(outcome.lastFrom)], 100 * outcome.dMaterialUse);
    std::printf(" (%d rounds of search, seed %llu)\n", outcome.nRounds, static_cast<unsigned long long>(options.nSeed));
    return true;
}
bool OpenSheet(const QString& path, SheetModel& model)
{
    SheetDocument::Contents contents;
    QString error;
    if (!SheetDocument::ReadFile(path, &contents, &error, ParameterProblem)) {
        HostError(QStringLiteral("cannot open %1: %2").arg(path, error));
        return false;
    }
    model.Reset(contents.parts, contents.setup);
    return true;
}

// Each drawing read and placed where a new part goes; -1 when all were, else the exit code.
int ImportOn(const QStringList& files, SheetModel& model)
{
    for (const QString& file : files) {
        Import::Imported imported;
        QString error;
        if (!Import::ReadFile(file, &imported, &error)) {
            HostError(QStringLiteral("cannot import %1: %2; nothing written").arg(file, error));
            return ExitImportUnreadable;
        }
        for (const QString& note : std::as_const(imported.notes))
            HostError(QStringLiteral("%1: %2").arg(file, note));
        Part& part = imported.part;
        bool fits = true;
        part.position = model.FreeSpot(part.Size(), &part.nSheet, &fits);
        if (!fits)
            HostError(QStringLiteral("no room left on the sheet for %1: it lies below it").arg(file));
        model.Add(part);
        std::printf("kerfmate-host: %lld piece(s) imported from %s\n", qint64(part.pieces.size()), qPrintable(file));
    }
    return -1;
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
    Part part;
    const bool made = result && MadePart(result, engine, &part);

    if (const int failed = DialogFailure(driver))
        return failed;
    if (const QString error = driver.LastError(); !error.isEmpty()) {
        HostError(error);
        if (driver.ScreenshotFailed())
            return ExitWriteFailed;
    }
    if (!confirmed) {
        std::printf("kerfmate-host: cancelled, nothing exported\n");
        return ExitCancelled;
    }
    const QString note = BuildMessage(engine.LastBuild(), false);
    if (!made) {
        HostError(note.isEmpty() ? QStringLiteral("the part is empty; nothing written") : note);
        return ExitPartEmpty;
    }
    if (!note.isEmpty())
        HostError(note);
    QSizeF overhang;
    part = model.Landed(part, false, &overhang);
    if (const QString said = OverhangMessage(overhang, false, [](const char* pszKey) { return QString::fromUtf8(pszKey); }); !said.isEmpty())
        HostError(said);
    model.Add(part);
    return -1;
}
} // namespace

int DialogFailure(const DialogDriver& driver)
{
    switch (driver.LastOutcome()) {
    case DialogDriver::Refused:
        HostError(driver.LastError());
        return ExitUsage;
    case DialogDriver::TimedOut:
        HostError(driver.LastError());
        return ExitDialogTimeout;
    case DialogDriver::Empty:
        HostError(driver.LastError() + QStringLiteral("; nothing written"));
        return ExitPartEmpty;
    default:
        return ExitOk;
    }
}

int RunHeadless(const HostOptions& options)
{
    if (!ApplyLookAndLanguage(options.strTheme, options.strLanguage))
        return ExitUsage;
    SheetModel model;
    if (!options.strOpen.isEmpty() && !OpenSheet(options.strOpen, model))
        return ExitSheetUnreadable;
    SheetSetup setup = model.Setup();
    if (options.sheet.width() > 0) {
        // A roll keeps the length it had until a nest finds its own.
        setup.bRoll = options.sheet.height() == 0;
        setup.size = QSizeF(options.sheet.width(), setup.bRoll ? setup.size.height() : options.sheet.height());
    }
    setup.dMarginMm = options.dMarginMm >= 0 ? options.dMarginMm : setup.dMarginMm;
    setup.dSpacingMm = options.dSpacingMm >= 0 ? options.dSpacingMm : setup.dSpacingMm;
    setup.nTurnStep = options.nTurnStep >= 0 ? options.nTurnStep : setup.nTurnStep;
    model.SetSetup(setup);
    if (const int code = ImportOn(options.imports, model); code >= 0)
        return code;
    if (options.bDialog)
        if (const int code = MakePartOn(options, model); code >= 0)
            return code;
    if (options.bNest && !model.IsEmpty() && !NestAll(model, options))
        return ExitNestFailed;
    const QVector<Outlines> sheets = model.SheetOutlines();
    for (const QString& path : options.outputs) {
        QString reason;
        QStringList written;
        if (!ExportSheets(sheets, path, !options.bLayers, &written, &reason)) {
            HostError(QStringLiteral("could not write %1: %2").arg(path, reason));
            return ExitWriteFailed;
        }
        qint64 shapes = 0;
        for (const Outlines& sheet : sheets)
            shapes += sheet.size();
        std::printf("kerfmate-host: %lld shapes written to %s\n", shapes, qPrintable(written.join(QLatin1String(", "))));
    }
    if (!options.strSave.isEmpty()) {
        QString reason;
        QByteArray text;
        if (!SheetDocument::Saved({model.Setup(), model.Parts()}, &text, &reason, ParameterProblem)
            || !WriteWholeFile(options.strSave, text, &reason)) {
            HostError(QStringLiteral("could not save %1: %2").arg(options.strSave, reason));
            return ExitWriteFailed;
        }
        std::printf("kerfmate-host: %lld parts saved to %s\n", qint64(model.Parts().size()), qPrintable(options.strSave));
    }
    HostTrace("exported");
    return ExitOk;
}
