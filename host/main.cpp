// kerfmate-host: a small host that loads the Kerfmate module, runs its
// dialog and exports the generated part.
#include "HostRunner.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QDir>
#include <QLocale>
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
} // namespace

int main(int argc, char* argv[])
{
    QStringList args;
    for (int i = 0; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Runs the Kerfmate part generator and exports the part."));
    parser.addHelpOption();
    const QCommandLineOption module(QStringLiteral("module"), QStringLiteral("The module to load."),
                                    QStringLiteral("path"), QStringLiteral(KERFMATE_DEFAULT_MODULE));
    const QCommandLineOption out(QStringLiteral("out"), QStringLiteral("Write the part as SVG (mm)."),
                                 QStringLiteral("file.svg"));
    const QCommandLineOption dxf(QStringLiteral("dxf"), QStringLiteral("Write the part as DXF (mm)."),
                                 QStringLiteral("file.dxf"));
    const QCommandLineOption lang(QStringLiteral("lang"), QStringLiteral("Language: en, zh or de."),
                                  QStringLiteral("code"), QStringLiteral("en"));
    const QCommandLineOption theme(QStringLiteral("theme"), QStringLiteral("The host theme's name."),
                                   QStringLiteral("name"));
    const QCommandLineOption accept(QStringLiteral("accept"),
                                    QStringLiteral("Confirm with OK once the dialog is shown."));
    const QCommandLineOption generator(QStringLiteral("generator"),
                                       QStringLiteral("Pick generator 0-3 before confirming."),
                                       QStringLiteral("n"));
    const QCommandLineOption screenshot(QStringLiteral("screenshot"),
                                        QStringLiteral("Save the dialog once its preview is drawn."),
                                        QStringLiteral("file.png"));
    const QCommandLineOption log(QStringLiteral("log"), QStringLiteral("Append the module's log lines to this file."),
                                 QStringLiteral("file"));
    parser.addOptions({module, out, dxf, lang, theme, accept, generator, screenshot, log});
    if (!parser.parse(args)) {
        std::fprintf(stderr, "kerfmate-host: %s\n", qPrintable(parser.errorText()));
        return ExitUsage;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        std::printf("%s", qPrintable(parser.helpText()));
        return ExitOk;
    }

    if (parser.isSet(log))
        qputenv("KERFMATE_LOG_FILE", parser.value(log).toLocal8Bit());

    HostOptions options;
    options.strModule = parser.value(module);
    options.strSvg = parser.value(out);
    options.strDxf = parser.value(dxf);
    options.strLanguage = parser.value(lang);
    options.strTheme = parser.value(theme);
    options.strScreenshot = parser.value(screenshot);
    options.bAccept = parser.isSet(accept);
    if (parser.isSet(generator)) {
        bool ok = false;
        options.nGenerator = parser.value(generator).toInt(&ok);
        if (!ok || options.nGenerator < 0 || options.nGenerator > 3) {
            std::fprintf(stderr, "kerfmate-host: --generator takes 0, 1, 2 or 3\n");
            return ExitUsage;
        }
    }
    if (options.bAccept && options.strSvg.isEmpty() && options.strDxf.isEmpty())
        options.strSvg = QStringLiteral("kerfmate.svg");

    // No display and no platform chosen: run the dialog offscreen.
    if (!HasDisplay() && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        options.bHeadless = true;
    }
    options.bHeadless = options.bHeadless || qgetenv("QT_QPA_PLATFORM") == "offscreen";
    if (options.bHeadless) {
        g_defaultHandler = qInstallMessageHandler(HeadlessMessages);
        // Qt wants a private runtime folder even when it draws nowhere.
        if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
            qputenv("XDG_RUNTIME_DIR", QDir::tempPath().toLocal8Bit() + "/kerfmate-runtime-" + QByteArray::number(getuid()));
    }

    // The module parses numbers the C way; so does the host.
    std::setlocale(LC_NUMERIC, "C");
    QLocale::setDefault(QLocale::c());

    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Kerfmate"));
    QApplication::setApplicationName(QStringLiteral("kerfmate-host"));
    return RunHost(options);
}
