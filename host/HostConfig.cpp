#include "HostConfig.h"

#include "CUiPermissionsManager.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>
#include <QStringList>

namespace {
const QString kGroup = QStringLiteral("APP_CFG");
const QString kRulerKey = QStringLiteral("KEY_RULER_UNIT");
} // namespace

QStringList HostThemes()
{
    return {QStringLiteral("Gleamworks"), QStringLiteral("Lumenforge")};
}

QString HostResourceFolder()
{
    // The module knows these two folders; any other theme name is the default.
    QString theme = CUiPermissionsManager::GetInstance()->GetThemeName();
    if (!HostThemes().contains(theme))
        theme = HostThemes().first();
    const QString base = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    return QDir::cleanPath(QStringLiteral("%1/../%2/Resources").arg(base, theme));
}

QString HostConfigFile()
{
    return HostResourceFolder() + QStringLiteral("/Data/cfg.ini");
}

int ReadRulerUnit()
{
    const QSettings cfg(HostConfigFile(), QSettings::IniFormat);
    return cfg.value(kGroup + QLatin1Char('/') + kRulerKey, int(RulerMm)).toInt();
}

bool IsInch(int nRulerUnit)
{
    return nRulerUnit == 0 || nRulerUnit == 2;
}

void MakeDataFolder()
{
    QDir().mkpath(HostResourceFolder() + QStringLiteral("/Data"));
}

bool WriteRulerUnit(int nRulerUnit)
{
    MakeDataFolder();
    QSettings cfg(HostConfigFile(), QSettings::IniFormat);
    cfg.setValue(kGroup + QLatin1Char('/') + kRulerKey, nRulerUnit);
    cfg.sync();
    return cfg.status() == QSettings::NoError;
}
