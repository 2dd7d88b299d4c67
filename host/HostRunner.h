// Loads the module, runs its dialog, and exports what it hands back.
#pragma once

#include <QString>

struct HostOptions
{
    QString strModule;
    QString strSvg;        // empty: no SVG
    QString strDxf;        // empty: no DXF
    QString strLanguage = QStringLiteral("en");
    QString strTheme;
    QString strScreenshot; // grab the dialog once its preview is drawn
    int nGenerator = -1;   // pick this generator as a user would
    bool bAccept = false;  // confirm with OK once the dialog is ready
    bool bHeadless = false;
};

enum HostExit {
    ExitOk = 0,
    ExitCancelled = 1,
    ExitUsage = 2,
    ExitModuleMissing = 3,
    ExitSymbolMissing = 4,
    ExitWriteFailed = 5,
    ExitDialogTimeout = 6,
};

int RunHost(const HostOptions& options);
