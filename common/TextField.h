// Moving text between QString and the engine records' fixed UTF-8 fields.
#pragma once

#include <QByteArray>
#include <QString>
#include <cstddef>

// All or nothing: false, field untouched, when text plus terminator does
// not fit in nSize bytes.
bool StringToUtf8Field(QString text, char* pField, int nSize);
QString Utf8FieldToString(const char* pField);
// UTF-8 bytes up to the first zero byte.
QByteArray StringToUtf8(QString text);
// Zero-fills the field and copies at most nSize - 1 bytes; false only for
// null pointers.
bool CopyToField(char* pField, size_t nSize, const char* pSrc, size_t nLength);
