#include "BoundedFile.h"

#include <QFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

bool ReadBoundedFile(const QString& path, QByteArray* pBytes, QString* pError)
{
    const auto fail = [pError](const QString& reason) {
        if (pError)
            *pError = reason;
        return false;
    };
    // Opened without waiting, then judged by what was opened: a FIFO put in
    // the file's place after a look would otherwise hold the program.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return fail(QStringLiteral("it cannot be read (%1)").arg(QString::fromLocal8Bit(std::strerror(errno))));
    struct stat info = {};
    QString why;
    if (::fstat(fd, &info) != 0)
        why = QStringLiteral("it cannot be read (%1)").arg(QString::fromLocal8Bit(std::strerror(errno)));
    else if (S_ISDIR(info.st_mode))
        why = QStringLiteral("it is a folder, not a file");
    else if (!S_ISREG(info.st_mode))
        why = QStringLiteral("it is not a regular file (a FIFO, a device or a socket)");
    else if (info.st_size >= kMostFileBytes)
        why = QStringLiteral("it is %1 MiB, more than the %2 MiB any sheet or drawing takes")
                  .arg(info.st_size >> 20).arg(kMostFileBytes >> 20);
    if (!why.isEmpty()) {
        ::close(fd);
        return fail(why);
    }
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return fail(QStringLiteral("it cannot be read (%1)").arg(file.errorString()));
    }
    // Read to a bound, not to the size seen: the file may grow meanwhile.
    const QByteArray bytes = file.read(kMostFileBytes);
    if (file.error() != QFileDevice::NoError)
        return fail(QStringLiteral("it cannot be read (%1)").arg(file.errorString()));
    if (bytes.size() >= kMostFileBytes)
        return fail(QStringLiteral("it is more than the %1 MiB any sheet or drawing takes").arg(kMostFileBytes >> 20));
    *pBytes = bytes;
    return true;
}
