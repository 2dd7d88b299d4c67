// A file written whole or not at all: into a temporary beside it, every
// write and the flush to the disk checked, then renamed over the old one.
// A full disk, a kill or an error leaves the previous file as it was.
#pragma once

#include <QByteArray>
#include <QString>

// False with the reason when anything fails; a path that names a directory,
// a device, a FIFO or a socket (or a link to one) is never replaced.
bool WriteWholeFile(const QString& path, const QByteArray& bytes, QString* pError);
