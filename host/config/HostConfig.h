// The host's own configuration rules in one place: where the theme's
// resource folder lies, the ruler unit the module reads from cfg.ini, the
// themes, and the window's remembered choices in kerfmate-host.ini.
#pragma once

#include <QSettings>
#include <QString>
#include <QStringList>

namespace HostConfig {

// The themes a host can run with; the first is the default.
QStringList Themes();
// The folder of the current theme, as the module finds it: a sibling of
// the host's own configuration folder.
QString ResourceFolder();
QString RulerFile(); // <resource folder>/Data/cfg.ini
// The host makes the Data folder; the module only writes into it.
void MakeDataFolder();

// What the module reads as APP_CFG/KEY_RULER_UNIT: 0 and 2 mean inches.
enum RulerUnit { Inches = 0, Millimetres = 1 };
bool IsInch(int nRulerUnit);
int ReadRulerUnit();
// Only ever 0 or 1 reaches cfg.ini.
bool WriteRulerUnit(RulerUnit unit);

// The window's own file, $XDG_CONFIG_HOME/Kerfmate/kerfmate-host.ini, fit
// to be read and written; a private one for this run when that is a
// device, a FIFO or cannot be read.
QString WindowSettingsFile();
// A remembered unit; anything but a clean 0 or 1 means millimetres.
RulerUnit SavedUnits(const QSettings& settings);

} // namespace HostConfig
