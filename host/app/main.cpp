// kerfmate-host: a small host for the Kerfmate module. With a display and no
// export option it is a program of its own (a sheet of parts); otherwise it
// runs the module's dialog once, as a script would, and writes the sheet.
#include "CommandLine.h"
#include "HeadlessRun.h"
#include "HostEngine.h"
#include "HostTrace.h"
#include "MainWindow.h"
#include "ModuleHost.h"
#include "ModulePath.h"
#include "SheetView.h"

#include <QApplication>
#include <QDir>
#include <QFontDatabase>
#include <QLocale>
#include <QWindow>
#include <clocale>
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

// The window run as a script: one part per --generator, confirmed at its
// first preview, then the window's picture and the files asked for.
int RunWindowScript(MainWindow& window, DialogDriver& driver, const HostOptions& options)
{
    window.SetReopenRefused(false);
    for (int generator : options.generators) {
        DialogPlan plan = options.plan;
        plan.nGenerator = generator;
        plan.strScreenshot.clear();
        driver.Arm(plan);
        window.NewPart();
        if (const int failed = DialogFailure(driver))
            return failed;
    }
    window.Sheet()->ZoomToFit();
    if (!options.plan.strScreenshot.isEmpty()) {
        // Until the window system shows the window there is nothing of it on the screen.
        while (!window.windowHandle()->isExposed())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        window.repaint();
        if (!SaveScreenPicture(window, options.plan.strScreenshot)) {
            HostError(QStringLiteral("could not write the screenshot %1").arg(options.plan.strScreenshot));
            return ExitWriteFailed;
        }
    }
    for (const QString& path : options.outputs)
        if (!window.ExportTo(path))
            return ExitWriteFailed;
    if (!options.strSave.isEmpty() && !window.SaveTo(options.strSave))
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
    if (!options.strOpen.isEmpty())
        window.OpenFile(options.strOpen);
    for (const QString& file : options.imports)
        window.ImportFrom(file);
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
    // The desktop entry's name: how Wayland finds the window's menu entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral(KERFMATE_APP_ID));

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
    if (options.strModule.isEmpty())
        options.strModule = DefaultModulePath();
    return options.bWindow ? RunWindow(options) : RunHeadless(options);
}
