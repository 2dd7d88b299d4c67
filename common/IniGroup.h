// One generator's group of Kerfmate.ini by the stored-value conventions:
// flags as 1 or 0, lengths times 1000, counts as numbers. A load and a save
// walk the same keys through a reader or a writer.
#pragma once

#include "Settings.h"

#include <QString>
#include <cstdint>

class IniReader
{
public:
    explicit IniReader(const QString& group);

    // Every read defaults to the field's current value, so a missing key
    // leaves the field alone.
    void Flag(const QString& key, bool& bField) const;
    void Number(const QString& key, double& dField) const;
    void Integer(const QString& key, int32_t& nField) const;
    // Read as a number and truncated, so a hand-edited "3.9" gives 3.
    void Count(const QString& key, int32_t& nField) const;
    void Text(const QString& key, QString& strField) const;

private:
    QString m_group;
    QString m_file;
};

// Writes as a single batch: the file is rewritten once, when the writer
// goes out of scope (or the batch it joins ends).
class IniWriter
{
public:
    explicit IniWriter(const QString& group);

    void Flag(const QString& key, bool bField) const;
    void Number(const QString& key, double dField) const;
    void Integer(const QString& key, int32_t nField) const;
    void Count(const QString& key, int32_t nField) const { Integer(key, nField); }
    void Text(const QString& key, const QString& strField) const;

private:
    QString m_group;
    QString m_file;
    IniWriteBatch m_batch; // copying is deleted with it
};
