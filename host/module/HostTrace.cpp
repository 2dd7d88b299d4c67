#include "HostTrace.h"

#include <QElapsedTimer>
#include <QtGlobal>
#include <cstdio>

namespace {
QElapsedTimer g_clock;
bool g_bOn = false;
} // namespace

void HostTraceStart()
{
    g_bOn = qEnvironmentVariableIsSet("KERFMATE_HOST_TRACE");
    g_clock.start();
}

bool HostTracing()
{
    return g_bOn;
}

void HostTrace(const char* pszStep)
{
    if (g_bOn)
        std::fprintf(stderr, "kerfmate-host: %6.1f ms %s\n", g_clock.nsecsElapsed() / 1e6, pszStep);
}
