#include "HostConfig.h"

#include "CUiPermissionsManager.h"
#include "IniFile.h"

#include <QDir>
#include <QStandardPaths>

namespace {
const QString kRulerKey = QStringLiteral("APP_CFG/KEY_RULER_UNIT");
} // namespace

namespace HostConfig {

QStringList Themes()
{
    return {QStringLiteral("Gleamworks"), QStringLiteral("Lumenforge")};
}

QString ResourceFolder()
{
    // The module knows these two folders; any other theme name is the default.
    QString theme = CUiPermissionsManager::GetInstance()->GetThemeName();
    if (!Themes().contains(theme))
        theme = Themes().first();
    const QString base = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    return QDir::cleanPath(QStringLiteral("%1/../%2/Resources").arg(base, theme));
}

QString RulerFile()
{
    return ResourceFolder() + QStringLiteral("/Data/cfg.ini");
}

void MakeDataFolder()
{
    QDir().mkpath(ResourceFolder() + QStringLiteral("/Data"));
}

bool IsInch(int nRulerUnit)
{
    return nRulerUnit == 0 || nRulerUnit == 2;
}

int ReadRulerUnit()
{
    const QSettings cfg(IniFile::ReadablePath(RulerFile()), QSettings::IniFormat);
    return cfg.value(kRulerKey, int(Millimetres)).toInt();
}

bool WriteRulerUnit(RulerUnit unit)
{
    MakeDataFolder();
    if (!IniFile::PrepareForWriting(RulerFile()))
        return false;
    QSettings cfg(RulerFile(), QSettings::IniFormat);
    cfg.setValue(kRulerKey, int(unit));
    cfg.sync();
    return cfg.status() == QSettings::NoError;
}

QString WindowSettingsFile()
{
    return IniFile::WritablePath(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
                                 + QStringLiteral("/Kerfmate/kerfmate-host.ini"));
}

RulerUnit SavedUnits(const QSettings& settings)
{
    const QVariant value = settings.value(QStringLiteral("units"));
    const QString text = value.toString().trimmed();
    return text == QLatin1String("0") ? Inches : Millimetres;
}

} // namespace HostConfig
