// A text goes into a fixed field whole or not at all, exactly when its bytes
// and a zero fit, and reads back the same; copies always end in a zero.
#include "TextField.h"

#include <QString>
#include <QStringDecoder>
#include <cstdint>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const int nSize = 1 + data[0]; // 1 to 256, as the records' fields
    const QByteArray bytes(reinterpret_cast<const char*>(data + 1), int(size - 1));
    // A leading U+FEFF is part of the text, as a user may type it.
    const QString text = QStringDecoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom)(bytes);
    char field[257];
    std::memset(field, 0x7f, sizeof field);
    const bool fits = StringToUtf8Field(text, field, nSize);
    if (fits != (text.toUtf8().size() < nSize) || (!fits && field[0] != 0x7f))
        std::abort();
    // A zero inside the text ends it in a zero-terminated field.
    if (fits && ((!text.contains(QChar(0)) && Utf8FieldToString(field) != text) || int(std::strlen(field)) >= nSize))
        std::abort();
    std::memset(field, 0x7f, sizeof field);
    if (!CopyToField(field, size_t(nSize), bytes.constData(), size_t(bytes.size())) || field[nSize - 1] != '\0')
        std::abort();
    return 0;
}
