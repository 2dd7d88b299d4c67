#include "TestSupport.h"

#include "CShape.h"
#include "CShapeList.h"
#include "HostContext.h"

#include <QAbstractSpinBox>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QLineEdit>
#include <QStandardPaths>
#include <QTest>

TempConfig::TempConfig()
{
    qputenv("XDG_CONFIG_HOME", m_dir.path().toUtf8());
    qputenv("KERFMATE_LOG_FILE", logFile().toUtf8());
}

TempConfig::~TempConfig()
{
    qunsetenv("KERFMATE_LOG_FILE");
}

QString TempConfig::resourceDir() const
{
    const QString base = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    return QDir::cleanPath(base + QStringLiteral("/../Gleamworks/Resources"));
}

QString TempConfig::dataDir() const
{
    const QString dir = resourceDir() + QStringLiteral("/Data");
    QDir().mkpath(dir);
    return dir;
}

QString TempConfig::kerfmateIni() const
{
    return dataDir() + QStringLiteral("/Kerfmate.ini");
}

QString TempConfig::hostConfig() const
{
    return dataDir() + QStringLiteral("/cfg.ini");
}

void TempConfig::writeRulerUnit(int nUnit) const
{
    QSettings settings(hostConfig(), QSettings::IniFormat);
    settings.setValue(QStringLiteral("APP_CFG/KEY_RULER_UNIT"), nUnit);
}

void TempConfig::writeRulerUnitRaw(const QString& value) const
{
    QFile file(hostConfig());
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    file.write("[APP_CFG]\nKEY_RULER_UNIT=" + value.toUtf8() + "\n");
}

QString TempConfig::logFile() const
{
    return m_dir.path() + QStringLiteral("/host.log");
}

QStringList TempConfig::logLines() const
{
    QFile file(logFile());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

QStringList TempConfig::logSentences(int level) const
{
    QStringList sentences;
    const QString prefix = QString::number(level) + QLatin1Char('\t');
    for (const QString& line : logLines())
        if (line.startsWith(prefix))
            sentences << line.mid(prefix.size());
    return sentences;
}

void TempConfig::clearLog() const
{
    QFile::remove(logFile());
}

QVariant TempConfig::iniValue(const QString& group, const QString& key) const
{
    QSettings settings(kerfmateIni(), QSettings::IniFormat);
    return settings.value(group + QLatin1Char('/') + key);
}

void TempConfig::setIniValue(const QString& group, const QString& key, const QVariant& value) const
{
    QSettings settings(kerfmateIni(), QSettings::IniFormat);
    settings.setValue(group + QLatin1Char('/') + key, value);
}

namespace {
void AddRect(CShapeList* pList, double w, double h)
{
    QPainterPath path;
    path.addRect(0, 0, w, h);
    pList->AddTail(new CShapeVector(path));
}
} // namespace

bool RecordingEngine::CreateSeal(SSealBoxParam param, CShapeList* pMain)
{
    calls.append({QStringLiteral("seal"), RecordBytes(param), {}});
    if (!bEmptyOutput) {
        QPainterPath path;
        path.addEllipse(QPointF(0, 0), param.D1 / 2, param.D1 / 2);
        pMain->AddTail(new CShapeVector(path));
    }
    return true;
}

bool RecordingEngine::CreateRectBox(SRectBoxParam param, CShapeList* pMain, CShapeList* pAux, SFaceLabels* pLabels)
{
    calls.append({QStringLiteral("rect"), RecordBytes(param), pLabels ? RecordBytes(*pLabels) : QByteArray()});
    if (!bEmptyOutput) {
        AddRect(pMain, param.dWidth, param.dHeight);
        AddRect(pAux, param.dWidth / 2, param.dHeight / 2);
    }
    return true;
}

bool RecordingEngine::CreateGear(SGearBoxParam param, CShapeList* pMain)
{
    calls.append({QStringLiteral("gear"), RecordBytes(param), {}});
    if (!bEmptyOutput)
        AddRect(pMain, param.dModulus * param.sGear1.nGCount, param.dModulus * param.sGear2.nGCount);
    return true;
}

bool RecordingEngine::CreateFilletBox(SFilletBoxParam param, CShapeList* pMain, CShapeList* pAux)
{
    calls.append({QStringLiteral("fillet"), RecordBytes(param), {}});
    if (!bEmptyOutput) {
        AddRect(pMain, param.dWidth, param.dDepth);
        AddRect(pAux, param.dWidth / 2, param.dDepth / 2);
    }
    return true;
}

int RecordingEngine::count(const QString& op) const
{
    if (op.isEmpty())
        return calls.size();
    int n = 0;
    for (const Call& call : calls)
        n += call.op == op;
    return n;
}

const RecordingEngine::Call* RecordingEngine::last(const QString& op) const
{
    for (int i = calls.size() - 1; i >= 0; --i)
        if (op.isEmpty() || calls[i].op == op)
            return &calls[i];
    return nullptr;
}

void* OpaqueEngine(IGeometryEngine* pEngine)
{
    return pEngine;
}

void UseEngine(IGeometryEngine* pEngine)
{
    HostContext.pEngine = pEngine;
}

void TypeOver(QWidget* pField, const QString& text)
{
    // A spin box is clicked on its text, not on its arrows.
    QWidget* pTarget = pField;
    if (qobject_cast<QAbstractSpinBox*>(pField))
        pTarget = pField->findChild<QLineEdit*>();
    QTest::mouseClick(pTarget, Qt::LeftButton);
    QTest::keyClick(pField, Qt::Key_A, Qt::ControlModifier);
    if (text.isEmpty())
        QTest::keyClick(pField, Qt::Key_Delete);
    else
        QTest::keyClicks(pField, text);
}
