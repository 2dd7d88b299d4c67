#include "WholeFile.h"

#include <QFileInfo>
#include <QSaveFile>
#include <cerrno>
#include <cstring>
#include <unistd.h>

WholeFiles::WholeFiles(bool bNamed) : m_bNamed(bNamed) {}
WholeFiles::~WholeFiles() = default;

bool WholeFiles::Add(const QString& path, const QByteArray& bytes, QString* pError)
{
    const auto fail = [this, pError, &path](const QString& reason) {
        if (pError)
            *pError = m_bNamed ? QStringLiteral("%1: %2").arg(path, reason) : reason;
        return false;
    };
    const QFileInfo target(path);
    if (target.exists() && !QFileInfo(target.canonicalFilePath()).isFile()) {
        if (pError) // names its file already
            *pError = QStringLiteral("%1 is not a regular file").arg(path);
        return false;
    }
    // Through a link the file it ends at is replaced, the link kept.
    auto file = std::make_unique<QSaveFile>(target.isSymLink() ? target.canonicalFilePath() : path);
    if (!file->open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return fail(file->errorString());
    for (qint64 done = 0; done < bytes.size();) {
        const qint64 written = file->write(bytes.constData() + done, bytes.size() - done);
        if (written <= 0) {
            const QString reason = file->errorString(); // before cancelling overwrites it
            file->cancelWriting();
            return fail(reason);
        }
        done += written;
    }
    // Space the file system only promised is claimed here.
    if (!file->flush() || ::fsync(file->handle()) != 0) {
        const QString reason = QString::fromLocal8Bit(std::strerror(errno));
        file->cancelWriting();
        return fail(reason);
    }
    m_files.push_back(std::move(file));
    return true;
}

bool WholeFiles::Commit(QString* pError)
{
    for (const std::unique_ptr<QSaveFile>& file : m_files)
        if (!file->commit()) {
            if (pError)
                *pError = m_bNamed ? QStringLiteral("%1: %2").arg(file->fileName(), file->errorString()) : file->errorString();
            return false;
        }
    m_files.clear();
    return true;
}

bool WriteWholeFile(const QString& path, const QByteArray& bytes, QString* pError)
{
    WholeFiles file;
    return file.Add(path, bytes, pError) && file.Commit(pError);
}
