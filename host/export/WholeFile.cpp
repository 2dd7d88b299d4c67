#include "WholeFile.h"

#include <QFileInfo>
#include <QSaveFile>
#include <cerrno>
#include <cstring>
#include <unistd.h>

bool WriteWholeFile(const QString& path, const QByteArray& bytes, QString* pError)
{
    const auto fail = [pError](const QString& reason) {
        if (pError)
            *pError = reason;
        return false;
    };
    const QFileInfo target(path);
    if (target.exists() && !QFileInfo(target.canonicalFilePath()).isFile())
        return fail(QStringLiteral("%1 is not a regular file").arg(path));
    // Through a link the file it ends at is replaced, the link kept.
    QSaveFile file(target.isSymLink() ? target.canonicalFilePath() : path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return fail(file.errorString());
    for (qint64 done = 0; done < bytes.size();) {
        const qint64 written = file.write(bytes.constData() + done, bytes.size() - done);
        if (written <= 0) {
            const QString reason = file.errorString(); // before cancelling overwrites it
            file.cancelWriting();
            return fail(reason);
        }
        done += written;
    }
    // Space the file system only promised is claimed here.
    if (!file.flush() || ::fsync(file.handle()) != 0) {
        const QString reason = QString::fromLocal8Bit(std::strerror(errno));
        file.cancelWriting();
        return fail(reason);
    }
    return file.commit() || fail(file.errorString());
}
