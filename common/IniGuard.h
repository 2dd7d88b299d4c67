// Qt's INI reader turns a value that starts "@Variant(" or "@DateTime(" into
// an object by deserialising bytes from the file, and a damaged file can make
// that ask for gigabytes. The module keeps only numbers and texts in its
// file, so such entries are bad values: they are taken out before Qt ever
// reads the file.
#pragma once

#include <QByteArray>
#include <QString>

// The path QSettings may read in place of file: file itself, or a private
// copy without such entries.
QString SafeIniToRead(const QString& file);

// Takes such entries out of file itself before it is rewritten; false when
// it holds some and cannot be rewritten.
bool CleanIniForWriting(const QString& file);
