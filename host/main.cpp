// kerfmate-host: a small host for the Kerfmate module. With a display and no
// export option it is a program of its own (a sheet of parts); otherwise it
// runs the module's dialog once, as a script would, and writes the part.
#include "CTranslator.h"
#include "HeadlessRun.h"
#include "HostConfig.h"
#include "HostEngine.h"
#include "HostTrace.h"
#include "MainWindow.h"
#include "ModuleHost.h"
#include "Outlines.h"
#include "Parameters.h"
#include "SheetView.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFontDatabase>
#include <QLocale>
#include <QTimer>
#include <clocale>
#include <cstdio>
#include <unistd.h>

namespace {
QtMessageHandler g_defaultHandler = nullptr;

// The offscreen platform reports window hints it cannot honour; a headless
// run has no windows to hint, so that is noise.
void HeadlessMessages(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (message.contains(QLatin1String("does not support propagateSizeHints"))
        || message.contains(QLatin1String("does not support raise")))
        return;
    g_defaultHandler(type, context, message);
}

bool HasDisplay()
{
    return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

const char kExitCodes[] = "\nExit codes: 0 exported, 1 cancelled, 2 bad option or a --set value the dialog refused,\n"
                          "3 module not loadable, 4 entry point missing, 5 file not writable,\n"
                          "6 dialog never got ready, 7 the part is empty: the engine refused it\n"
                          "(stderr says why and what would work; nothing written).\n";

// Everything the command line says, checked before anything is loaded.
// Returns -1 to go on, else the exit code.
int ParseOptions(const QStringList& args, HostOptions& options)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Runs the Kerfmate part generator. With a display and no export option it opens a window\n"
                       "with a sheet of parts; otherwise it runs the generator dialog once and writes the part."));
    parser.addHelpOption();
    const QCommandLineOption module(QStringLiteral("module"), QStringLiteral("The module to load."),
                                    QStringLiteral("path"), QStringLiteral(KERFMATE_DEFAULT_MODULE));
    const QCommandLineOption out(QStringLiteral("out"),
                                 QStringLiteral("Write the part; .svg, .dxf or .pdf by the extension (repeatable)."),
                                 QStringLiteral("file"));
    const QCommandLineOption dxf(QStringLiteral("dxf"), QStringLiteral("The same as --out file.dxf."),
                                 QStringLiteral("file.dxf"));
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
                                        QStringLiteral("Save the dialog (with --window, the window) once drawn."),
                                        QStringLiteral("file.png"));
    const QCommandLineOption log(QStringLiteral("log"), QStringLiteral("Append the module's log lines to this file."),
                                 QStringLiteral("file"));
    const QCommandLineOption window(QStringLiteral("window"),
                                    QStringLiteral("Open the window even with --accept or --screenshot."));
    parser.addOptions({module, out, dxf, lang, theme, accept, generator, set, screenshot, log, window});
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
        std::printf("%s%s%s", qPrintable(help), qPrintable(ParameterHelp(IsInch(ReadRulerUnit()))), kExitCodes);
        return ExitOk;
    }
    if (parser.isSet(log))
        qputenv("KERFMATE_LOG_FILE", parser.value(log).toLocal8Bit());

    options.strModule = parser.value(module);
    options.strLanguage = parser.value(lang);
    if (!options.strLanguage.isEmpty() && !CTranslator::AvailableLanguages().contains(options.strLanguage)) {
        HostError(QStringLiteral("unknown language %1 (known: %2)")
                      .arg(options.strLanguage, CTranslator::AvailableLanguages().join(QLatin1String(", "))));
        return ExitUsage;
    }
    options.outputs = parser.values(out) + parser.values(dxf);
    for (const QString& path : options.outputs)
        if (FormatOf(path) == FileFormat::Unknown) {
            HostError(QStringLiteral("%1: unknown file type (use .svg, .dxf or .pdf)").arg(path));
            return ExitUsage;
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
    if (plan.bAccept && options.outputs.isEmpty() && !options.bWindow)
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
    // Without an export option and with a display, the program is the window;
    // without a display nobody could use or close it.
    const bool scripted = plan.bAccept || !options.outputs.isEmpty() || !plan.strScreenshot.isEmpty();
    options.bWindow = options.bWindow || (!scripted && plan.sets.isEmpty() && HasDisplay());
    if (!scripted && !HasDisplay() && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        HostError(QStringLiteral("no display for the window; for a run without one use --accept --out FILE"));
        return ExitUsage;
    }
    return -1;
}

// The window run as a script: one part per --generator, confirmed at its
// first preview, then the window's picture.
int RunWindowScript(MainWindow& window, DialogDriver& driver, const HostOptions& options)
{
    for (int generator : options.generators) {
        DialogPlan plan = options.plan;
        plan.nGenerator = generator;
        plan.strScreenshot.clear();
        driver.Arm(plan);
        window.NewPart();
        if (driver.LastOutcome() == DialogDriver::Refused || driver.LastOutcome() == DialogDriver::TimedOut) {
            HostError(driver.LastError());
            return driver.LastOutcome() == DialogDriver::Refused ? ExitUsage : ExitDialogTimeout;
        }
    }
    window.Sheet()->ZoomToFit();
    if (!options.plan.strScreenshot.isEmpty() && !window.grab().save(options.plan.strScreenshot)) {
        HostError(QStringLiteral("could not write the screenshot %1").arg(options.plan.strScreenshot));
        return ExitWriteFailed;
    }
    for (const QString& path : options.outputs)
        if (!window.ExportTo(path))
            return ExitWriteFailed;
    return ExitOk;
}

int RunWindow(const HostOptions& options)
{
    ModuleHost module;
    if (const auto loaded = module.Load(options.strModule); loaded != ModuleHost::Loaded) {
        HostError(module.ErrorString());
        return loaded == ModuleHost::NotLoadable ? ExitModuleMissing : ExitSymbolMissing;
    }
    // Named, not left to the machine; CJK text falls back to the installed CJK font.
    QApplication::setFont(QFont(QStringLiteral("DejaVu Sans"), 9));
    HostEngine engine;
    MainWindow window(module, engine, options.strLanguage, options.strTheme);
    window.show();
    if (!options.plan.bAccept && options.plan.strScreenshot.isEmpty())
        return QApplication::exec();
    DialogDriver driver(engine);
    return RunWindowScript(window, driver, options);
}
} // namespace

int main(int argc, char* argv[])
{
    HostTraceStart();
    QStringList args;
    for (int i = 0; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    QCoreApplication::setOrganizationName(QStringLiteral("Kerfmate"));
    QCoreApplication::setApplicationName(QStringLiteral("kerfmate-host"));

    HostOptions options;
    if (const int code = ParseOptions(args, options); code >= 0)
        return code;

    // No display and no platform chosen: run offscreen.
    if (!HasDisplay() && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qgetenv("QT_QPA_PLATFORM") == "offscreen") {
        g_defaultHandler = qInstallMessageHandler(HeadlessMessages);
        // Qt wants a private runtime folder even when it draws nowhere.
        if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
            qputenv("XDG_RUNTIME_DIR",
                    QDir::tempPath().toLocal8Bit() + "/kerfmate-runtime-" + QByteArray::number(getuid()));
    }

    QApplication app(argc, argv);
    HostTrace("application ready");
    if (HostTracing()) {
        // Otherwise the first font lookup inside the dialog pays for this.
        QFontDatabase::families();
        HostTrace("font database ready");
    }
    // QApplication has just set the locale from the environment; the
    // module parses numbers the C way, and so does the host.
    std::setlocale(LC_NUMERIC, "C");
    QLocale::setDefault(QLocale::c());
    return options.bWindow ? RunWindow(options) : RunHeadless(options);
}
