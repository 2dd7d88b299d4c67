// Settings bytes through the reader alone: every value it hands on is a text
// or a list of texts, Qt's own reader finds in what it keeps only values it
// decoded alike, and what it keeps loses nothing more when read again.
#include "IniFile.h"

#include <QDir>
#include <QSettings>
#include <QTemporaryFile>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const IniFile::Content content = IniFile::Read(QByteArrayView(reinterpret_cast<const char*>(data), qsizetype(size)));
    const auto isText = [](const QVariant& value) {
        return value.typeId() == QMetaType::QString || value.typeId() == QMetaType::QStringList;
    };
    QVariantList texts;
    for (const IniFile::Entry& entry : content.entries) {
        if (entry.bText ? !isText(entry.value) : entry.value.isValid())
            qFatal("the reader hands on a %s", entry.value.typeName());
        if (entry.bText)
            texts << entry.value;
    }
    if (IniFile::Read(content.kept).nDropped)
        qFatal("what the reader keeps still holds values that are not text");
    // In memory where a memory file system is at hand.
    QTemporaryFile file((QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm") : QDir::tempPath())
                        + QStringLiteral("/kerfmate-fuzz-XXXXXX"));
    if (!file.open() || file.write(content.kept) != content.kept.size() || !file.flush())
        std::abort();
    const QSettings settings(file.fileName(), QSettings::IniFormat);
    for (const QString& key : settings.allKeys())
        if (const QVariant value = key.isEmpty() ? QVariant() : settings.value(key);
            value.isValid() && (!isText(value) || !texts.contains(value)))
            qFatal("Qt reads %s as a %s the reader did not decode", qPrintable(key), value.typeName());
    return 0;
}
