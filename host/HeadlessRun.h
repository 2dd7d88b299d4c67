// The host's command line: options, exit codes, and the run without a
// window that loads the module, drives its dialog and writes the part.
#pragma once

#include "DialogDriver.h"

#include <QString>
#include <QStringList>

struct HostOptions
{
    QString strModule;
    QStringList outputs; // .svg, .dxf or .pdf each
    QString strLanguage; // empty: the window's saved choice, else English
    QString strTheme;
    QList<int> generators; // a headless run opens the last; the window each
    DialogPlan plan;       // sets, screenshot, accept
    bool bWindow = false;
};

enum HostExit {
    ExitOk = 0,
    ExitCancelled = 1,
    ExitUsage = 2,
    ExitModuleMissing = 3,
    ExitSymbolMissing = 4,
    ExitWriteFailed = 5,
    ExitDialogTimeout = 6,
    ExitPartEmpty = 7,
};

// Writes "kerfmate-host: <message>" to standard error.
void HostError(const QString& message);

// Theme and language as given; false (and a message) for an unknown language.
bool ApplyLookAndLanguage(const QString& strTheme, const QString& strLanguage);

int RunHeadless(const HostOptions& options);
