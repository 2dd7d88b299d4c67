// Any text that fits a fixed field reads back exactly; copies always end in a zero.
#include "TextField.h"

#include <QString>
#include <cstdint>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const int nSize = 1 + data[0]; // 1 to 256, as the records' fields
    const QByteArray bytes(reinterpret_cast<const char*>(data + 1), int(size - 1));
    const QString text = QString::fromUtf8(bytes);
    char field[257];
    std::memset(field, 0x7f, sizeof field);
    if (StringToUtf8Field(text, field, nSize)) {
        // A zero inside the text ends it in a zero-terminated field.
        if (!text.contains(QChar(0)) && Utf8FieldToString(field) != text)
            std::abort();
        if (field[std::strlen(field)] != '\0' || int(std::strlen(field)) >= nSize)
            std::abort();
    }
    std::memset(field, 0x7f, sizeof field);
    if (!CopyToField(field, size_t(nSize), bytes.constData(), size_t(bytes.size())) || field[nSize - 1] != '\0')
        std::abort();
    return 0;
}
