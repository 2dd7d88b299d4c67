// Settings files read as Qt's INI reader reads them, and judged before Qt
// reads them. Qt turns a value such as "@Variant(...)" into an object by
// deserialising bytes from the file, and a damaged file can make that ask
// for gigabytes; a FIFO or a device in place of the file blocks a read or
// never ends it. Every settings file here holds texts and numbers, so only
// values that come back as text get through, and only from a regular file
// of a settings file's size.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QVariant>

namespace IniFile {

// Anything larger is damage: the largest settings file here holds a few KiB.
constexpr qint64 kMaxBytes = 256 * 1024;

// One "key=value" line as Qt's reader cuts and decodes it.
struct Entry
{
    qsizetype nStart = 0, nEnd = 0; // its bytes in the file
    bool bText = false;             // Qt reads it as a QString or a QStringList
    QVariant value;                 // what Qt hands on; never built when not text
};

struct Content
{
    QList<Entry> entries;
    QByteArray kept; // the bytes without the entries that are not text
    int nDropped = 0;
};

Content Read(QByteArrayView ini);

// The path a QSettings may read in place of file: a private copy of it
// without the values that are not text, or an empty path when file is
// missing or damaged (not a regular file, larger than kMaxBytes, not
// readable). Each version of a file is judged once, and a damaged one
// leaves one line in the log.
QString ReadablePath(const QString& file);

// Makes file fit for a QSettings that writes it: values that are not text
// are taken out, and a file too large to be settings is emptied. False when
// it must not be written: not a regular file, or not readable.
bool PrepareForWriting(const QString& file);

// file when it may be written, else a private file that lasts as long as
// the process, so that nothing ever replaces a device or a FIFO.
QString WritablePath(const QString& file);

} // namespace IniFile
