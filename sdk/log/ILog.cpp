#include "ILog.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <unistd.h>

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

    // One write per line so that concurrent writers never interleave a line;
    // a FIFO that nobody reads refuses the line at once instead of blocking.
    const std::string line = std::to_string(level) + '\t' + sentence + '\n';
    const int fd = ::open(path, O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0644);
    if (fd >= 0) {
        [[maybe_unused]] const ssize_t written = ::write(fd, line.data(), line.size());
        ::close(fd);
    }
}
