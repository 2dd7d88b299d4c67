// Where the module keeps its settings, how it reads and writes them, and the
// one rule for lengths shown in inches.
#pragma once

#include <QString>

// The host's resource folder for the current theme, created if missing.
QString GetResourcePath();

// "%1/Data/Kerfmate.ini" and "%1/Data/cfg.ini" with the resource folder.
QString KerfmateIniPath();
QString HostConfigPath();

int ReadIniInt(const QString& group, const QString& key, int nDefault, const QString& file);
double ReadIniDouble(const QString& group, const QString& key, double dDefault, const QString& file);
QString ReadIniString(const QString& group, const QString& key, const QString& strDefault, const QString& file);

// Without an open batch each write rewrites the file at once; inside
// BeginIniWrite/EndIniWrite all writes reach the disk together at the end.
// A batch begun inside another joins it, and the outermost end writes; a
// write to another file than the outermost batch's is not held back.
void WriteIniInt(const QString& group, const QString& key, int nValue, const QString& file);
void WriteIniDouble(const QString& group, const QString& key, double dValue, const QString& file);
void WriteIniString(const QString& group, const QString& key, const QString& strValue, const QString& file);
void BeginIniWrite(const QString& file);
void EndIniWrite();
class IniWriteBatch
{
public:
    explicit IniWriteBatch(const QString& file) { BeginIniWrite(file); }
    ~IniWriteBatch() { EndIniWrite(); }
    IniWriteBatch(const IniWriteBatch&) = delete;
    IniWriteBatch& operator=(const IniWriteBatch&) = delete;
};

// The host's ruler unit from cfg.ini; 1 (millimetres) when unset.
int ReadRulerUnit();

// Ruler units 0 and 2 are inches, everything else millimetres. Records hold
// millimetres; widgets show the ruler unit.
constexpr double kMmPerInch = 25.4;
inline bool IsInchUnit(int nRulerUnit)
{
    return nRulerUnit == 0 || nRulerUnit == 2;
}
inline double ToMm(double dShown, int nRulerUnit)
{
    return IsInchUnit(nRulerUnit) ? dShown * kMmPerInch : dShown;
}
inline double FromMm(double dMm, int nRulerUnit)
{
    return IsInchUnit(nRulerUnit) ? dMm / kMmPerInch : dMm;
}
