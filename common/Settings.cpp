#include "Settings.h"

#include "CUiPermissionsManager.h"
#include "IniFile.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>
#include <QVariant>

namespace {
// The open write batch, if any; a batch on a file that must not be
// rewritten (a device, a FIFO) is open but has no settings object, and
// writes nothing.
QSettings* g_pWriteBatch = nullptr;
int g_nBatchDepth = 0;
QString g_batchFile;

QString KeyPath(const QString& group, const QString& key)
{
    return QStringLiteral("%1%2%3").arg(group, QStringLiteral("/"), key);
}

QVariant ReadValue(const QString& group, const QString& key, const QVariant& def, const QString& file)
{
    QSettings settings(IniFile::ReadablePath(file), QSettings::IniFormat);
    return settings.value(KeyPath(group, key), def);
}

void WriteValue(const QString& group, const QString& key, const QVariant& value, const QString& file)
{
    auto write = [&](QSettings& settings) {
        settings.beginGroup(group);
        settings.setValue(key, value);
        settings.endGroup();
    };
    // Another file, written inside a batch, is written at once.
    if (g_nBatchDepth > 0 && file == g_batchFile) {
        if (g_pWriteBatch)
            write(*g_pWriteBatch);
        return;
    }
    if (!IniFile::PrepareForWriting(file))
        return;
    QSettings settings(file, QSettings::IniFormat);
    write(settings);
}
} // namespace

QString GetResourcePath()
{
    const QString theme = CUiPermissionsManager::GetInstance()->GetThemeName();
    const QString base = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    const QString folder = base
        + (theme == QLatin1String("Lumenforge") ? QStringLiteral("/../Lumenforge/Resources")
                                                : QStringLiteral("/../Gleamworks/Resources"));
    QDir dir(folder);
    if (!dir.exists())
        dir.mkpath(QStringLiteral("."));
    return QDir::cleanPath(folder);
}

QString KerfmateIniPath()
{
    return QStringLiteral("%1/Data/Kerfmate.ini").arg(GetResourcePath());
}

QString HostConfigPath()
{
    return QStringLiteral("%1/Data/cfg.ini").arg(GetResourcePath());
}

int ReadIniInt(const QString& group, const QString& key, int nDefault, const QString& file)
{
    return ReadValue(group, key, QVariant(nDefault), file).toInt();
}

double ReadIniDouble(const QString& group, const QString& key, double dDefault, const QString& file)
{
    return ReadValue(group, key, QVariant(dDefault), file).toDouble();
}

QString ReadIniString(const QString& group, const QString& key, const QString& strDefault, const QString& file)
{
    return ReadValue(group, key, QVariant(strDefault), file).toString();
}

void WriteIniInt(const QString& group, const QString& key, int nValue, const QString& file)
{
    WriteValue(group, key, QVariant(nValue), file);
}

void WriteIniDouble(const QString& group, const QString& key, double dValue, const QString& file)
{
    WriteValue(group, key, QVariant(dValue), file);
}

void WriteIniString(const QString& group, const QString& key, const QString& strValue, const QString& file)
{
    WriteValue(group, key, QVariant(strValue), file);
}

void BeginIniWrite(const QString& file)
{
    if (g_nBatchDepth++ > 0)
        return;
    g_batchFile = file;
    g_pWriteBatch = IniFile::PrepareForWriting(file) ? new QSettings(file, QSettings::IniFormat) : nullptr;
}

void EndIniWrite()
{
    if (g_nBatchDepth == 0 || --g_nBatchDepth > 0)
        return;
    delete g_pWriteBatch;
    g_pWriteBatch = nullptr;
}

int ReadRulerUnit()
{
    return ReadIniInt(QStringLiteral("APP_CFG"), QStringLiteral("KEY_RULER_UNIT"), 1, HostConfigPath());
}
