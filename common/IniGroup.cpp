#include "IniGroup.h"

#include "Numbers.h"
#include "Settings.h"

namespace {
constexpr double kStoredFactor = 1000.0;
}

IniReader::IniReader(const QString& group)
    : m_group(group)
    , m_file(KerfmateIniPath())
{
}

void IniReader::Flag(const QString& key, bool& bField) const
{
    bField = ReadIniInt(m_group, key, bField ? 1 : 0, m_file) != 0;
}

void IniReader::Number(const QString& key, double& dField) const
{
    dField = ReadIniDouble(m_group, key, dField * kStoredFactor, m_file) / kStoredFactor;
}

void IniReader::Integer(const QString& key, int32_t& nField) const
{
    nField = ReadIniInt(m_group, key, nField, m_file);
}

void IniReader::Count(const QString& key, int32_t& nField) const
{
    nField = TruncToInt(ReadIniDouble(m_group, key, nField, m_file));
}

void IniReader::Text(const QString& key, QString& strField) const
{
    strField = ReadIniString(m_group, key, strField, m_file);
}

IniWriter::IniWriter(const QString& group)
    : m_group(group)
    , m_file(KerfmateIniPath())
    , m_batch(m_file)
{
}

void IniWriter::Flag(const QString& key, bool bField) const
{
    WriteIniInt(m_group, key, bField ? 1 : 0, m_file);
}

void IniWriter::Number(const QString& key, double dField) const
{
    WriteIniDouble(m_group, key, dField * kStoredFactor, m_file);
}

void IniWriter::Integer(const QString& key, int32_t nField) const
{
    WriteIniInt(m_group, key, nField, m_file);
}

void IniWriter::Text(const QString& key, const QString& strField) const
{
    WriteIniString(m_group, key, strField, m_file);
}
