#include "GeneratorCommon.h"

#include "ShapeLists.h"
#include "Settings.h"

#include <QDoubleSpinBox>
#include <QSlider>
#include <algorithm>
#include <climits>
#include <cmath>

namespace {
// Smallest groove, in millimetres and as the inch spin box minimum.
constexpr double kGrooveMinMm = 3.0;
constexpr double kGrooveMinInch = 0.11811023622047245;
constexpr double kStoredFactor = 1000.0;
} // namespace

IniReader::IniReader(const QString& group)
    : m_group(group)
    , m_file(KerfmateIniPath())
{
}

void IniReader::Flag(const char* key, bool& bField) const
{
    bField = ReadIniInt(m_group, QString::fromLatin1(key), bField ? 1 : 0, m_file) != 0;
}

void IniReader::Number(const char* key, double& dField) const
{
    dField = ReadIniDouble(m_group, QString::fromLatin1(key), dField * kStoredFactor, m_file) / kStoredFactor;
}

void IniReader::Integer(const char* key, int32_t& nField) const
{
    nField = ReadIniInt(m_group, QString::fromLatin1(key), nField, m_file);
}

QString IniReader::Text(const QString& key, const QString& strDefault) const
{
    return ReadIniString(m_group, key, strDefault, m_file);
}

void IniReader::Count(const char* key, int32_t& nField) const
{
    nField = TruncToInt(ReadIniDouble(m_group, QString::fromLatin1(key), nField, m_file));
}

IniWriter::IniWriter(const QString& group)
    : m_group(group)
    , m_file(KerfmateIniPath())
{
    BeginIniWrite(m_file);
}

IniWriter::~IniWriter()
{
    EndIniWrite();
}

void IniWriter::Flag(const char* key, bool bField) const
{
    WriteIniInt(m_group, QString::fromLatin1(key), bField ? 1 : 0, m_file);
}

void IniWriter::Number(const char* key, double dField) const
{
    WriteIniDouble(m_group, QString::fromLatin1(key), dField * kStoredFactor, m_file);
}

void IniWriter::Integer(const char* key, int32_t nField) const
{
    WriteIniInt(m_group, QString::fromLatin1(key), nField, m_file);
}

void IniWriter::Text(const QString& key, const QString& strValue) const
{
    WriteIniString(m_group, key, strValue, m_file);
}

void ShowLength(QDoubleSpinBox* pSpin, const UnitRange& range, double dMm, int nRulerUnit)
{
    if (IsInchUnit(nRulerUnit))
        pSpin->setRange(range.dInchMin, range.dInchMax);
    else
        pSpin->setRange(range.dMmMin, range.dMmMax);
    pSpin->setValue(FromMm(dMm, nRulerUnit));
}

SignalsBlocked::SignalsBlocked(std::initializer_list<QObject*> objects)
{
    m_blockers.reserve(objects.size());
    for (QObject* pObject : objects)
        m_blockers.emplace_back(pObject);
}

int TruncToInt(double value)
{
    if (std::isnan(value))
        return 0;
    if (value >= double(INT_MAX))
        return INT_MAX;
    if (value <= double(INT_MIN))
        return INT_MIN;
    return int(value);
}

double ClampToRange(double dValue, double dLower, double dUpper)
{
    return std::min(std::max(dLower, dValue), dUpper);
}

void ShowGrooveMax(QDoubleSpinBox* pSpin, QSlider* pSlider, double dMaxMm, int nRulerUnit)
{
    const SignalsBlocked blocked{pSpin, pSlider};
    const bool bInch = IsInchUnit(nRulerUnit);
    const double dShown = FromMm(dMaxMm, nRulerUnit);
    const int nTop = TruncToInt(bInch ? dMaxMm * 10 / kMmPerInch : dMaxMm * 10);
    // Maximum before minimum: a maximum under 3 mm leaves the box at 3.
    pSpin->setMaximum(dShown);
    pSpin->setMinimum(bInch ? kGrooveMinInch : kGrooveMinMm);
    pSlider->setRange(bInch ? 1 : 30, nTop);
    pSpin->setValue(dShown);
    pSlider->setValue(nTop);
}

void PlaceGrooveSlider(QSlider* pSlider, double dTenths)
{
    const QSignalBlocker blocked(pSlider);
    pSlider->setValue(TruncToInt(dTenths));
}

void FollowGrooveSlider(QSlider* pSlider, QDoubleSpinBox* pSpin)
{
    QObject::connect(pSlider, &QSlider::valueChanged, pSpin, [pSpin](int v) { pSpin->setValue(v / 10.0); });
}

void RenewResultList(CShapeList*& pResultList)
{
    DisposeOwningList(pResultList);
    pResultList = CShapeList::New();
}

void RenewBoxLists(CShapeList*& pResultList, CShapeList*& pAuxList)
{
    RenewResultList(pResultList);
    pAuxList = CShapeList::New();
}
