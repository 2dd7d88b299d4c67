// Reading a file the user names (a sheet, a drawing to import) without
// trusting it: only a regular file, only as large as such a file can be.
#pragma once

#include <QByteArray>
#include <QString>

// Far more than any sheet or drawing needs: anything larger is damage.
constexpr qint64 kMostFileBytes = qint64(64) << 20;

// The whole file, or false with the reason: a folder, a FIFO, a device or
// a socket (never opened so that it could block), a file larger than
// kMostFileBytes (never read), or one that cannot be read.
bool ReadBoundedFile(const QString& path, QByteArray* pBytes, QString* pError);
