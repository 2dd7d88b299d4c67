// Host log: one line per call, "level<TAB>sentence", appended to the file
// named by KERFMATE_LOG_FILE (looked up at every call; unset means no log).
#pragma once

void ILog_WriteLogF(int level, const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 2, 3)))
#endif
    ;
