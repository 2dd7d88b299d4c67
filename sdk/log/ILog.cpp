#include "ILog.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <string>

void ILog_WriteLogF(int level, const char* format, ...)
{
    const char* path = std::getenv("KERFMATE_LOG_FILE");
    if (!path || !*path || !format)
        return;

    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    const int n = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string sentence(n > 0 ? size_t(n) : 0, '\0');
    if (n > 0)
        std::vsnprintf(&sentence[0], sentence.size() + 1, format, args);
    va_end(args);

    // Newlines inside a sentence would split it into two records.
    for (char& c : sentence)
        if (c == '\n' || c == '\r')
            c = ' ';

    // One write per line so that concurrent writers never interleave a line.
    std::string line = std::to_string(level) + '\t' + sentence + '\n';
    if (FILE* f = std::fopen(path, "a")) {
        std::fwrite(line.data(), 1, line.size(), f);
        std::fclose(f);
    }
}
