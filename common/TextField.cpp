#include "TextField.h"

#include <QTextCodec>
#include <cstring>

namespace {
QTextCodec* Utf8Codec()
{
    return QTextCodec::codecForName("utf-8");
}
} // namespace

bool StringToUtf8Field(QString text, char* pField, int nSize)
{
    if (!pField || nSize <= 0)
        return false;
    // A UTF-16 unit never encodes to fewer bytes, so skip hopeless texts early.
    if (text.length() > nSize)
        return false;
    const QByteArray bytes = Utf8Codec()->fromUnicode(text);
    if (bytes.size() + 1 > nSize)
        return false;
    std::memcpy(pField, bytes.constData(), size_t(bytes.size()));
    pField[bytes.size()] = '\0';
    return true;
}

QString Utf8FieldToString(const char* pField)
{
    if (!pField)
        return QString();
    // A leading U+FEFF is part of the text, not a byte order mark to drop:
    // what the engine was given must read back the same.
    QTextCodec::ConverterState state(QTextCodec::IgnoreHeader);
    return Utf8Codec()->toUnicode(pField, int(std::strlen(pField)), &state);
}

QByteArray StringToUtf8(QString text)
{
    const QByteArray encoded = Utf8Codec()->fromUnicode(text);
    return QByteArray(encoded.constData(), -1);
}

bool CopyToField(char* pField, size_t nSize, const char* pSrc, size_t nLength)
{
    if (!pField || !pSrc)
        return false;
    if (nSize == 0)
        return true;
    std::memset(pField, 0, nSize);
    std::memcpy(pField, pSrc, nLength < nSize ? nLength : nSize - 1);
    return true;
}
