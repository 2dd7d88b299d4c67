// Settings bytes through the reader alone: every value it hands on is a
// text or a list of texts, and so is every value Qt's own reader finds in
// what it keeps, each one a value the reader decoded; the kept bytes lose
// nothing more when read again.
#include "IniFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

namespace {
QTemporaryDir* g_pFolder = nullptr;

bool IsText(const QVariant& value)
{
    return value.typeId() == QMetaType::QString || value.typeId() == QMetaType::QStringList;
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    new QCoreApplication(*argc, *argv);
    // In memory where there is a memory file system: a file per input.
    g_pFolder = new QTemporaryDir(QDir("/dev/shm").exists() ? QStringLiteral("/dev/shm/kerfmate-fuzz-XXXXXX")
                                                            : QDir::tempPath() + QStringLiteral("/kerfmate-fuzz-XXXXXX"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const IniFile::Content content = IniFile::Read(QByteArrayView(reinterpret_cast<const char*>(data), qsizetype(size)));
    QVariantList texts;
    for (const IniFile::Entry& entry : content.entries) {
        if (entry.bText ? !IsText(entry.value) : entry.value.isValid())
            qFatal("the reader hands on a %s", entry.value.typeName());
        if (entry.bText)
            texts << entry.value;
    }
    if (IniFile::Read(content.kept).nDropped)
        qFatal("what the reader keeps still holds values that are not text");
    static int s_nInput = 0;
    const QString path = g_pFolder->filePath(QStringLiteral("%1.ini").arg(++s_nInput));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content.kept) != content.kept.size())
        std::abort();
    file.close();
    {
        const QSettings settings(path, QSettings::IniFormat);
        for (const QString& key : settings.allKeys()) {
            const QVariant value = settings.value(key);
            if (value.isValid() && (!IsText(value) || !texts.contains(value)))
                qFatal("Qt reads %s as a %s the reader did not decode", qPrintable(key), value.typeName());
        }
    }
    QFile::remove(path);
    return 0;
}
