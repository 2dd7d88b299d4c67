// Where a run spends its time: with KERFMATE_HOST_TRACE set, each step
// prints the milliseconds since main() began to standard error.
#pragma once

void HostTraceStart();
bool HostTracing();
void HostTrace(const char* pszStep);
