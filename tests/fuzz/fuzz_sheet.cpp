// Sheet files through the reader: whatever it takes it writes so that the
// same reader takes it again, and that text is a fixed point: opened and
// saved once more it is byte for byte the same.
#include "SheetDocument.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    SheetDocument::Contents contents, again;
    if (!SheetDocument::Read(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)), &contents, nullptr))
        return 0;
    for (const Part& part : contents.parts)
        if (!IsFinite(part.Placed()))
            std::abort();
    const QByteArray written = SheetDocument::Write(contents);
    QString why;
    if (!SheetDocument::Read(written, &again, &why))
        qFatal("what was written is refused: %s", qPrintable(why));
    if (SheetDocument::Write(again) != written)
        qFatal("a second save differs from the first");
    return 0;
}
