#include "CommandLine.h"

#include "CTranslator.h"
#include "CUiPermissionsManager.h"
#include "ExportFormats.h"
#include "HostConfig.h"
#include "HostEngine.h"
#include "Nesting.h"
#include "ModulePath.h"
#include "Parameters.h"
#include "SheetDocument.h"
#include "SheetModel.h"

#include <QCommandLineParser>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <cstdio>

namespace {
const char kExitCodes[] = "\nExit codes: 0 done, 1 cancelled, 2 bad option or a --set value the dialog refused,\n"
                          "3 module not loadable, 4 entry point missing, 5 file not writable,\n"
                          "6 dialog never got ready, 7 the part is empty: the engine refused it\n"
                          "(stderr says why and what would work; nothing written),\n"
                          "8 the --open sheet cannot be read, 9 the nest failed: a piece is larger than the board\n"
                          "or it was cancelled, 10 an --import drawing cannot be read (stderr says why; nothing written),\n"
                          "130 a second Ctrl+C while nesting: stopped at once, nothing written.\n";
} // namespace

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

namespace {
// The board's size and the nest's numbers; a sentence when one is no number or out of range.
QString ReadSheetOptions(const QCommandLineParser& parser, const QCommandLineOption& sheet, const QCommandLineOption& margin,
                         const QCommandLineOption& spacing, const QCommandLineOption& turn, HostOptions& options)
{
    using S = SheetSetup;
    if (parser.isSet(sheet)) {
        const QRegularExpressionMatch size = QRegularExpression(QStringLiteral("^([0-9.]+)[x×]([0-9.]+)(mm|in)?$"))
                                                 .match(parser.value(sheet).trimmed());
        const double unit = size.captured(3) == QLatin1String("in") ? 25.4 : 1.0;
        bool wide = false, long_ = false;
        options.sheet = QSizeF(size.captured(1).toDouble(&wide), size.captured(2).toDouble(&long_)) * unit;
        const auto side = [](double mm) { return mm >= S::kLeastSideMm && mm <= S::kMostSideMm; };
        // A length of 0: a roll of that width, as long as the nest needs.
        if (!size.hasMatch() || !wide || !long_ || !side(options.sheet.width())
            || !(options.sheet.height() == 0 || side(options.sheet.height())))
            return QStringLiteral("--sheet takes WIDTHxLENGTH from %1x%1 to %2x%2 mm (a length of 0: a roll of that width), not %3")
                .arg(S::kLeastSideMm).arg(S::kMostSideMm).arg(parser.value(sheet));
    }
    for (const auto& [option, pValue] : {std::pair(&margin, &options.dMarginMm), std::pair(&spacing, &options.dSpacingMm)}) {
        bool ok = true;
        if (parser.isSet(*option) && (*pValue = parser.value(*option).toDouble(&ok), !ok || !(*pValue >= 0 && *pValue <= S::kMostGapMm)))
            return QStringLiteral("--%1 takes 0 to %2 mm, not %3").arg(option->names().first()).arg(S::kMostGapMm).arg(parser.value(*option));
    }
    bool ok = true;
    if (parser.isSet(turn) && (options.nTurnStep = parser.value(turn).toInt(&ok), !ok || !S::TurnStepAllowed(options.nTurnStep)))
        return QStringLiteral("--turn takes 0 or a whole number of degrees that divides 360, not %1").arg(parser.value(turn));
    return QString();
}

// The search's budget, rounds and seed.
QString ReadSearchOptions(const QCommandLineParser& parser, const QCommandLineOption& time, const QCommandLineOption& rounds,
                          const QCommandLineOption& seed, HostOptions& options)
{
    bool ok = true;
    if (parser.isSet(time) && (options.dNestSeconds = parser.value(time).toDouble(&ok),
                               !ok || !(options.dNestSeconds >= 0 && options.dNestSeconds <= NestRequest::kMostSeconds)))
        return QStringLiteral("--nest-time takes 0 to %1 seconds, not %2").arg(NestRequest::kMostSeconds).arg(parser.value(time));
    if (parser.isSet(rounds) && (options.nNestRounds = parser.value(rounds).toInt(&ok), !ok || options.nNestRounds < 1))
        return QStringLiteral("--nest-rounds takes a whole number from 1, not %1").arg(parser.value(rounds));
    if (parser.isSet(seed) && (options.nSeed = parser.value(seed).toULongLong(&ok), !ok))
        return QStringLiteral("--seed takes a whole number from 0, not %1").arg(parser.value(seed));
    return QString();
}
} // namespace

bool HasDisplay()
{
    return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

int ParseOptions(const QStringList& args, HostOptions& options)
{
    const QString formats = QStringLiteral(".") + ExportSuffixes().join(QLatin1String(", ."));
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Runs the Kerfmate part generator. With a display and no export option it opens a window\n"
                       "with a sheet of parts; otherwise it runs the generator dialog once, places the part on\n"
                       "the sheet (the --open one, or a new one) and writes what it is asked to."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption module(
        QStringLiteral("module"),
        QStringLiteral("The module to load; without it $KERFMATE_MODULE, else %1 from this program's folder.")
            .arg(ModuleFromProgram()),
        QStringLiteral("path"));
    const QCommandLineOption out(QStringLiteral("out"),
                                 QStringLiteral("Export the sheet; %1 by the extension (repeatable). Without it or --save, --accept, --import and --nest write kerfmate.svg.").arg(formats),
                                 QStringLiteral("file"));
    const QCommandLineOption dxf(QStringLiteral("dxf"), QStringLiteral("The same as --out file.dxf."),
                                 QStringLiteral("file.dxf"));
    const QCommandLineOption open(QStringLiteral("open"),
                                  QStringLiteral("Start from this sheet; without --accept, --set, --generator or "
                                                 "--screenshot no dialog runs and the sheet is only exported or saved."),
                                  QStringLiteral("file.%1").arg(QLatin1String(SheetDocument::kSuffix)));
    const QCommandLineOption import(QStringLiteral("import"),
                                    QStringLiteral("Place this SVG or DXF drawing on the sheet as a part, its closed "
                                                   "outlines as pieces with their holes (repeatable; with --nest, nested too)."),
                                    QStringLiteral("file"));
    const QCommandLineOption save(QStringLiteral("save"), QStringLiteral("Save the sheet, with the new part, here."),
                                  QStringLiteral("file.%1").arg(QLatin1String(SheetDocument::kSuffix)));
    const QCommandLineOption lang(QStringLiteral("lang"), QStringLiteral("Language: en, zh or de."),
                                  QStringLiteral("code"));
    const QCommandLineOption theme(QStringLiteral("theme"), QStringLiteral("The host theme's name."),
                                   QStringLiteral("name"));
    const QCommandLineOption accept(QStringLiteral("accept"),
                                    QStringLiteral("Confirm with OK as soon as the preview is drawn."));
    const QCommandLineOption generator(QStringLiteral("generator"),
                                       QStringLiteral("Pick generator 0-3 first (with --window, one part each)."),
                                       QStringLiteral("n"));
    const QCommandLineOption set(QStringLiteral("set"),
                                 QStringLiteral("Type VALUE into the dialog's field NAME (repeatable; see below)."),
                                 QStringLiteral("NAME=VALUE"));
    const QCommandLineOption screenshot(QStringLiteral("screenshot"),
                                        QStringLiteral("Save the dialog (with --window, the window) once drawn, as the screen shows it."),
                                        QStringLiteral("file.png"));
    const QCommandLineOption log(QStringLiteral("log"), QStringLiteral("Append the module's log lines to this file."),
                                 QStringLiteral("file"));
    const QCommandLineOption window(QStringLiteral("window"),
                                    QStringLiteral("Open the window even with --accept or --screenshot."));
    const QCommandLineOption sheet(QStringLiteral("sheet"),
                                   QStringLiteral("The board every sheet is cut from, in millimetres (600x400), "
                                                  "or in inches with \"in\" after it (24x12in); a length of 0 (600x0) "
                                                  "is a roll or long stock: one board of that width, as long as the "
                                                  "nest needs, which --nest reports."),
                                   QStringLiteral("WxL"));
    const QCommandLineOption margin(QStringLiteral("margin"), QStringLiteral("Keep this clear along the board's edges (mm)."),
                                    QStringLiteral("mm"));
    const QCommandLineOption spacing(QStringLiteral("spacing"),
                                     QStringLiteral("Material left between two parts (mm); the kerf comes on top. Straight "
                                                    "edges keep exactly that (0: they may touch); curved ones up to "
                                                    "0.04 mm more, outlines of very many corners up to 0.7 mm more."),
                                     QStringLiteral("mm"));
    const QCommandLineOption turn(QStringLiteral("turn"),
                                  QStringLiteral("Nested pieces turn in steps of this many degrees (0 never; it divides 360)."),
                                  QStringLiteral("degrees"));
    const QCommandLineOption nest(QStringLiteral("nest"),
                                  QStringLiteral("Nest every part onto as few sheets as it takes before writing; the "
                                                 "best material use so far goes to stderr, and Ctrl+C keeps it."));
    const QCommandLineOption nestTime(QStringLiteral("nest-time"),
                                      QStringLiteral("Search this long for a better nest after the first (default %1).")
                                          .arg(NestRequest::kDefaultSeconds),
                                      QStringLiteral("seconds"));
    const QCommandLineOption nestRounds(QStringLiteral("nest-rounds"),
                                        QStringLiteral("Search this many rounds instead, however long they take (fewer once "
                                                       "nothing shorter can exist), for each layout searched (a roll first "
                                                       "when all may fit on one board, then the boards): the same seed, "
                                                       "rounds and cores give the same nest."),
                                        QStringLiteral("n"));
    const QCommandLineOption seed(QStringLiteral("seed"), QStringLiteral("Seed of the nest's search (default 1)."),
                                  QStringLiteral("n"));
    const QCommandLineOption layers(QStringLiteral("layers"),
                                    QStringLiteral("Write several sheets as layers of one SVG or DXF, not as "
                                                   "FILE-1.svg, FILE-2.svg... (a PDF is a page per sheet)."));
    parser.addOptions({module, out, dxf, open, import, save, lang, theme, accept, generator, set, screenshot, log, window, sheet,
                       margin, spacing, turn, nest, nestTime, nestRounds, seed, layers});
    if (!parser.parse(args)) {
        HostError(parser.errorText());
        return ExitUsage;
    }

    options.strTheme = parser.value(theme);
    if (parser.isSet(QStringLiteral("help"))) {
        ApplyLookAndLanguage(options.strTheme, QString());
        // Parsed before the application exists, so Qt cannot name the program itself.
        const QString help =
            parser.helpText().replace(QLatin1String("<executable_name>"), QStringLiteral("kerfmate-host"));
        std::printf("%s%s%s", qPrintable(help),
                    qPrintable(ParameterHelp(HostConfig::IsInch(HostConfig::ReadRulerUnit()))), kExitCodes);
        return ExitOk;
    }
    if (parser.isSet(QStringLiteral("version"))) {
        std::printf("kerfmate-host %s\n", KERFMATE_VERSION);
        return ExitOk;
    }
    // What a file option names must be a file the run can honour: refused
    // here, before anything is made that could not be kept.
    for (const QCommandLineOption* pOption : {&open, &save, &log})
        if (parser.isSet(*pOption) && parser.value(*pOption).isEmpty()) {
            HostError(QStringLiteral("--%1 takes a file name, not an empty one").arg(pOption->names().first()));
            return ExitUsage;
        }
    for (const QString& path : parser.values(dxf))
        if (!path.endsWith(QLatin1String(".dxf"), Qt::CaseInsensitive)) {
            HostError(QStringLiteral("--dxf takes a file ending in .dxf, not %1 (use --out for other formats)").arg(path));
            return ExitUsage;
        }
    if (parser.isSet(log)) {
        const QString path = parser.value(log);
        const QFileInfo info(path);
        QFile file(path);
        const QString why = info.exists() && !info.isFile() ? QStringLiteral("is not a regular file")
                            : !file.open(QIODevice::Append)   ? QStringLiteral("cannot be written (%1)").arg(file.errorString())
                                                              : QString();
        if (!why.isEmpty()) {
            HostError(QStringLiteral("--log %1 %2").arg(path, why));
            return ExitUsage;
        }
        qputenv("KERFMATE_LOG_FILE", path.toLocal8Bit());
    }

    options.strModule = parser.value(module);
    options.strLanguage = parser.value(lang);
    options.strOpen = parser.value(open);
    options.imports = parser.values(import);
    options.strSave = parser.value(save);
    if (!options.strLanguage.isEmpty() && !CTranslator::AvailableLanguages().contains(options.strLanguage)) {
        HostError(QStringLiteral("unknown language %1 (known: %2)")
                      .arg(options.strLanguage, CTranslator::AvailableLanguages().join(QLatin1String(", "))));
        return ExitUsage;
    }
    if (QString why = ReadSheetOptions(parser, sheet, margin, spacing, turn, options); !why.isEmpty()
        || !(why = ReadSearchOptions(parser, nestTime, nestRounds, seed, options)).isEmpty()) {
        HostError(why);
        return ExitUsage;
    }
    options.bNest = parser.isSet(nest);
    options.bLayers = parser.isSet(layers);
    options.outputs = parser.values(out) + parser.values(dxf);
    // A sheet saved under an export's name would stand where the drawing should.
    if (FormatOf(options.strSave)) {
        HostError(QStringLiteral("--save writes a sheet, not a drawing: name it .kerfmate, not %1 (use --out for drawings)").arg(options.strSave));
        return ExitUsage;
    }
    for (const QString& path : options.outputs) {
        const QString why = !FormatOf(path) ? QStringLiteral("unknown file type (use %1)").arg(formats)
                            : QFileInfo(path).completeBaseName().isEmpty() ? QStringLiteral("no file name before the extension")
                                                                           : QString();
        if (!why.isEmpty()) {
            HostError(QStringLiteral("%1: %2").arg(path, why));
            return ExitUsage;
        }
    }
    for (const QString& value : parser.values(generator)) {
        bool ok = false;
        const int n = value.toInt(&ok);
        if (!ok || n < 0 || n >= GeneratorCount) {
            HostError(QStringLiteral("--generator takes 0, 1, 2 or 3"));
            return ExitUsage;
        }
        options.generators << n;
    }
    DialogPlan& plan = options.plan;
    plan.bAccept = parser.isSet(accept);
    plan.strScreenshot = parser.value(screenshot);
    plan.nGenerator = options.generators.value(options.generators.size() - 1, -1);
    options.bWindow = parser.isSet(window);
    if ((plan.bAccept || !options.imports.isEmpty() || options.bNest) && options.outputs.isEmpty() && options.strSave.isEmpty()
        && !options.bWindow)
        options.outputs << QStringLiteral("kerfmate.svg");

    // Names are checked against every generator the run opens.
    const QList<int> opened = options.bWindow && !options.generators.isEmpty() ? options.generators
                                                                               : QList<int>{DialogDriver::GeneratorOf(plan)};
    for (const QString& item : parser.values(set)) {
        const int eq = item.indexOf(QLatin1Char('='));
        const QString name = item.left(eq).trimmed();
        for (int g : opened)
            if (eq < 0 || !FindParameter(g, name)) {
                QStringList names;
                for (const ParamSpec& spec : ParametersOf(g))
                    names << QLatin1String(spec.pszName);
                HostError(eq < 0 ? QStringLiteral("--set takes NAME=VALUE, not %1").arg(item)
                                 : QStringLiteral("--set %1: the %2 has no parameter %1 (it has: %3)")
                                       .arg(name, QLatin1String(GeneratorName(g)), names.join(QLatin1String(", "))));
                return ExitUsage;
            }
        plan.sets.append({name, item.mid(eq + 1)});
    }
    // With a sheet to start from, the dialog runs only when something asks for it.
    options.bDialog = (options.strOpen.isEmpty() && options.imports.isEmpty()) || plan.bAccept || !plan.sets.isEmpty() || !options.generators.isEmpty()
                      || !plan.strScreenshot.isEmpty();
    // Without an export option and with a display, the program is the window;
    // without a display nobody could use or close it.
    const bool scripted = plan.bAccept || !options.outputs.isEmpty() || !plan.strScreenshot.isEmpty()
                          || !options.strSave.isEmpty() || options.bNest || !options.imports.isEmpty();
    options.bWindow = options.bWindow || (!scripted && plan.sets.isEmpty() && HasDisplay());
    if (!scripted && !HasDisplay() && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        HostError(QStringLiteral("no display for the window; for a run without one use --accept --out FILE"));
        return ExitUsage;
    }
    return -1;
}
