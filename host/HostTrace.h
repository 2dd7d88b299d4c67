// Where a run spends its time: with KERFMATE_HOST_TRACE set, each step
// prints the milliseconds since main() began to standard error.
#pragma once

void HostTraceStart();
void HostTrace(const char* pszStep);
