// What the host keeps for the module: the theme's resource folder and the
// ruler unit in its cfg.ini, which the module's dialog reads when it opens.
#pragma once

#include <QString>
#include <QStringList>

// The folder of the current theme (CUiPermissionsManager), as the module
// finds it: a sibling of the host's own configuration folder.
QString HostResourceFolder();
QString HostConfigFile(); // <resource folder>/Data/cfg.ini
// The host makes the Data folder; the module only writes into it.
void MakeDataFolder();

// 1 millimetres, 0 inches; what the module reads as APP_CFG/KEY_RULER_UNIT.
enum RulerUnit { RulerInch = 0, RulerMm = 1 };
int ReadRulerUnit();
bool IsInch(int nRulerUnit); // 0 and 2 mean inches, as for the module
bool WriteRulerUnit(int nRulerUnit);

// The themes a host can run with; the first is the default.
QStringList HostThemes();
