// What the host passed to the latest Create call. Build routines read the
// engine from here; nothing clears it between calls.
#pragma once

#include <cstdint>

class IGeometryEngine;

struct SHostContext
{
    void* pHostArg = nullptr;
    IGeometryEngine* pEngine = nullptr;
    int32_t nReserved = 100;
};

extern SHostContext HostContext;
