// kerfmate-host's command line: its options, checked before anything is
// loaded, and its exit codes.
#pragma once

#include "DialogDriver.h"

#include <QSizeF>
#include <QString>
#include <QStringList>

struct HostOptions
{
    QString strModule;
    QStringList outputs; // one per export, the format by the extension
    QString strOpen;     // a sheet to start from
    QStringList imports; // drawings placed on the sheet as parts
    QString strSave;     // where to save the sheet
    QString strLanguage; // empty: the window's saved choice, else English
    QString strTheme;
    QList<int> generators; // a headless run opens the last; the window each
    DialogPlan plan;       // sets, screenshot, accept
    // The board and the nest: each given option overrides the sheet's own.
    QSizeF sheet;         // a height of 0: a roll of that width
    double dMarginMm = -1, dSpacingMm = -1;
    int nTurnStep = -1;
    double dNestSeconds = -1; // the search's budget; -1: the default
    int nNestRounds = 0;      // above 0: exactly so many rounds of search
    quint64 nSeed = 1;
    bool bNest = false;   // nest every part before writing
    bool bLayers = false; // several sheets in one file, a layer each, not a file each
    bool bWindow = false;
    bool bDialog = true; // a headless run makes a part
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
    ExitSheetUnreadable = 8,
    ExitNestFailed = 9,
    ExitImportUnreadable = 10,
};

// Writes "kerfmate-host: <message>" to standard error.
void HostError(const QString& message);
// Theme and language as given; false (and a message) for an unknown language.
bool ApplyLookAndLanguage(const QString& strTheme, const QString& strLanguage);

bool HasDisplay();
// -1 to go on, else the code to exit with (--help and every usage error).
int ParseOptions(const QStringList& args, HostOptions& options);
