// A file written whole or not at all: into a temporary beside it, every
// write and the flush to the disk checked, then renamed over the old one.
// A full disk, a kill or an error leaves the previous file as it was.
#pragma once

#include <QByteArray>
#include <QString>

#include <memory>
#include <vector>

class QSaveFile;

// False with the reason when anything fails; a path that names a directory,
// a device, a FIFO or a socket (or a link to one) is never replaced.
bool WriteWholeFile(const QString& path, const QByteArray& bytes, QString* pError);

// Files that belong together (the sheets of one nest): none replaces its old
// one until all are written, so a failure leaves every old one as it was.
class WholeFiles
{
public:
    // bNamed: each reason names its file (of several, which one failed).
    explicit WholeFiles(bool bNamed = false);
    ~WholeFiles(); // what was not committed is thrown away
    bool Add(const QString& path, const QByteArray& bytes, QString* pError);
    bool Commit(QString* pError);

private:
    std::vector<std::unique_ptr<QSaveFile>> m_files;
    bool m_bNamed;
};
