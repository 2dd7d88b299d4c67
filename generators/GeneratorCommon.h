// What the generators share: their settings groups, values read back from
// the file, signal blocking, the result lists, and the two boxes' groove
// spin box and slider pairs.
#pragma once

#include <QSignalBlocker>
#include <QString>
#include <cstdint>
#include <initializer_list>
#include <vector>

class CShapeList;
class QDoubleSpinBox;
class QObject;
class QSlider;

// Reads one generator's group of Kerfmate.ini by the stored-value
// conventions; every read defaults to the field's current value, so a
// missing key leaves the field alone.
class IniReader
{
public:
    explicit IniReader(const QString& group);

    void Flag(const char* key, bool& bField) const;       // 1 or 0
    void Number(const char* key, double& dField) const;   // stored × 1000
    void Integer(const char* key, int32_t& nField) const;
    // Read as a number and truncated, so a hand-edited "3.9" gives 3.
    void Count(const char* key, int32_t& nField) const;
    QString Text(const QString& key, const QString& strDefault) const;

    const QString& Group() const { return m_group; }
    const QString& File() const { return m_file; }

private:
    QString m_group;
    QString m_file;
};

// Writes one generator's group as a single batch: the file is rewritten
// once, when the writer goes out of scope.
class IniWriter
{
public:
    explicit IniWriter(const QString& group);
    ~IniWriter();
    IniWriter(const IniWriter&) = delete;
    IniWriter& operator=(const IniWriter&) = delete;

    void Flag(const char* key, bool bField) const;
    void Number(const char* key, double dField) const;
    void Integer(const char* key, int32_t nField) const;
    void Count(const char* key, int32_t nField) const { Integer(key, nField); }
    void Text(const QString& key, const QString& strValue) const;

    const QString& Group() const { return m_group; }
    const QString& File() const { return m_file; }

private:
    QString m_group;
    QString m_file;
};

// Millimetre and inch ranges of one length widget.
struct UnitRange
{
    double dMmMin;
    double dMmMax;
    double dInchMin;
    double dInchMax;
};

constexpr UnitRange kThicknessRange{1.0, 10.0, 0.04, 0.39};
constexpr UnitRange kLaserWidthRange{0.1, 0.8, 0.004, 0.03};

// Sets the range for the ruler unit, then shows dMm in that unit.
void ShowLength(QDoubleSpinBox* pSpin, const UnitRange& range, double dMm, int nRulerUnit);

// Blocks the signals of the given objects until it is destroyed.
class SignalsBlocked
{
public:
    SignalsBlocked(std::initializer_list<QObject*> objects);

private:
    std::vector<QSignalBlocker> m_blockers;
};

// Truncates toward zero, saturating at the int range (NaN gives 0), so a
// wild value from the settings file cannot overflow a widget's integer.
int TruncToInt(double value);

// Lower bound first, so a NaN from the settings file ends at the lower bound.
double ClampToRange(double dValue, double dLower, double dUpper);

// A groove spin box may go from 3 mm up to dMaxMm, and its slider, counting
// tenths of the shown unit, covers the same span; both then show dMaxMm.
// Signals of both stay blocked.
void ShowGrooveMax(QDoubleSpinBox* pSpin, QSlider* pSlider, double dMaxMm, int nRulerUnit);

// Puts the slider at trunc(dTenths) without signalling.
void PlaceGrooveSlider(QSlider* pSlider, double dTenths);

// Moving the slider sets the spin box to tenths, unblocked, so the spin
// box's own handler stores the size and rebuilds.
void FollowGrooveSlider(QSlider* pSlider, QDoubleSpinBox* pSpin);

// Disposes of the previous result (it owns its shapes) and makes a fresh
// empty one.
void RenewResultList(CShapeList*& pResultList);
// The same, and a fresh second list for a box build.
void RenewBoxLists(CShapeList*& pResultList, CShapeList*& pAuxList);
