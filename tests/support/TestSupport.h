// Shared test fixtures: a throw-away config folder per test, the host log as
// lines, and an engine that records every record it is handed.
#pragma once

#include "IGeometryEngine.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QVector>
#include <cstring>

class QWidget;

// Points XDG_CONFIG_HOME and KERFMATE_LOG_FILE into a fresh temporary
// folder for as long as it lives; restores nothing (every test makes one).
class TempConfig
{
public:
    TempConfig();
    ~TempConfig();

    QString path() const { return m_dir.path(); }
    // The module's resource folder, Data folder and files under it.
    QString resourceDir() const;
    QString dataDir() const; // created on first use
    QString kerfmateIni() const;
    QString hostConfig() const;
    void writeRulerUnit(int nUnit) const;
    void writeRulerUnitRaw(const QString& value) const;

    QString logFile() const;
    QStringList logLines() const; // "level<TAB>sentence"
    QStringList logSentences(int level = 0) const;
    void clearLog() const;

    // Raw INI access for assertions without going through the module.
    QVariant iniValue(const QString& group, const QString& key) const;
    void setIniValue(const QString& group, const QString& key, const QVariant& value) const;

private:
    QTemporaryDir m_dir;
};

// Every build call with a byte copy of what it was given. Each build draws
// a rectangle sized from the record so that previews and results are real.
class RecordingEngine : public IGeometryEngine
{
public:
    struct Call
    {
        QString op; // "seal", "rect", "gear", "fillet"
        QByteArray record;
        QByteArray labels;
    };

    bool CreateSeal(SSealBoxParam param, CShapeList* pMain) override;
    bool CreateRectBox(SRectBoxParam param, CShapeList* pMain, CShapeList* pAux, SFaceLabels* pLabels) override;
    bool CreateGear(SGearBoxParam param, CShapeList* pMain) override;
    bool CreateFilletBox(SFilletBoxParam param, CShapeList* pMain, CShapeList* pAux) override;

    int count(const QString& op = QString()) const;
    const Call* last(const QString& op = QString()) const;
    template <typename T>
    T lastRecord(const QString& op) const
    {
        T value;
        const Call* call = last(op);
        if (call && call->record.size() == int(sizeof(T)))
            std::memcpy(static_cast<void*>(&value), call->record.constData(), sizeof(T));
        return value;
    }
    void clear() { calls.clear(); }

    QVector<Call> calls;
    bool bEmptyOutput = false; // build nothing, as an engine may
};

// Types text over a line edit's or spin box's whole content, as a user who
// clicks into the field, selects all and types; an empty text deletes it.
void TypeOver(QWidget* pField, const QString& text);

// The engine as a separately built host holds it: a pointer whose dynamic
// type the calling code cannot see.
void* OpaqueEngine(IGeometryEngine* pEngine);

// Makes engine the one the module's build routines call.
void UseEngine(IGeometryEngine* pEngine);

template <typename T>
QByteArray RecordBytes(const T& value)
{
    return QByteArray(reinterpret_cast<const char*>(&value), int(sizeof(T)));
}
