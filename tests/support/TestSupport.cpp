#include "TestSupport.h"

#include "CShape.h"
#include "CShapeList.h"
#include "CTranslator.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QDir>
#include <QJsonDocument>
#include <QLineEdit>
#include <QRadioButton>
#include <QSettings>
#include <QStandardPaths>
#include <QStyleOptionButton>
#include <QTest>
#include <cmath>

TempConfig::TempConfig()
{
    qputenv("XDG_CONFIG_HOME", m_dir.path().toUtf8());
    qputenv("KERFMATE_LOG_FILE", (m_dir.path() + QStringLiteral("/host.log")).toUtf8());
}

TempConfig::~TempConfig() { qunsetenv("KERFMATE_LOG_FILE"); }

QString TempConfig::dataDir() const
{
    // Where the host keeps its files for the default theme.
    const QString dir = QDir::cleanPath(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation)
                                        + QStringLiteral("/../Gleamworks/Resources/Data"));
    QDir().mkpath(dir);
    return dir;
}

void TempConfig::setRulerUnit(const QVariant& unit) const
{
    QSettings(dataDir() + QStringLiteral("/cfg.ini"), QSettings::IniFormat)
        .setValue(QStringLiteral("APP_CFG/KEY_RULER_UNIT"), unit);
}

void TempConfig::setIni(const QString& group, const QVariantMap& values) const
{
    QSettings settings(kerfmateIni(), QSettings::IniFormat);
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        settings.setValue(group + QLatin1Char('/') + it.key(), it.value());
}

QVariant TempConfig::ini(const QString& group, const QString& key) const
{
    return QSettings(kerfmateIni(), QSettings::IniFormat).value(group + QLatin1Char('/') + key);
}

bool TempConfig::loadWordings(const QJsonObject& wordings) const
{
    QFile file(m_dir.filePath(QStringLiteral("wordings.json")));
    return file.open(QIODevice::WriteOnly) && file.write(QJsonDocument(wordings).toJson()) > 0 && file.flush()
           && CTranslator::GetInstance()->LoadCatalogue(file.fileName());
}

QStringList TempConfig::log(int level) const
{
    QFile file(m_dir.path() + QStringLiteral("/host.log"));
    QStringList sentences;
    if (!file.open(QIODevice::ReadOnly))
        return sentences;
    const QString prefix = QString::number(level) + QLatin1Char('\t');
    for (const QString& line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n')))
        if (line.startsWith(prefix))
            sentences << line.mid(prefix.size());
    return sentences;
}

void TempConfig::clearLog() const { QFile::remove(m_dir.path() + QStringLiteral("/host.log")); }

namespace {
// A rectangle from the record, or the path a test asked for; an empty path draws nothing.
void Draw(CShapeList* pList, double w, double h, const QPainterPath& asked, bool bAsked)
{
    QPainterPath path = asked;
    if (!bAsked)
        path.addRect(0, 0, w, h);
    if (path.isEmpty())
        return;
    // Kept half as wide and placed twice as wide: only the placed outline is the part.
    auto* pShape = new CShapeVector(QTransform::fromScale(0.5, 1).map(path));
    pShape->SetTransform(QTransform::fromScale(2, 1));
    pList->AddTail(pShape);
}

template <size_t N>
QByteArray Text(const char (&field)[N])
{
    return QByteArray(field, int(qstrnlen(field, N)));
}

void AddText(QVariantMap& fields, const QString& prefix, const SSealTextParam& t)
{
    fields.insert({{prefix + ".Text", Text(t.Text)}, {prefix + ".Facename", Text(t.Facename)},
                   {prefix + ".dHeight", t.dHeight}, {prefix + ".dOffset", t.dOffset}, {prefix + ".dSpace", t.dSpace}});
}
} // namespace

bool RecordingEngine::CreateSeal(SSealBoxParam param, CShapeList* pMain)
{
    builds << QStringLiteral("seal");
    Draw(pMain, param.D1, param.D1, main, bScripted);
    return seal = param, true;
}

bool RecordingEngine::CreateRectBox(SRectBoxParam param, CShapeList* pMain, CShapeList* pAux, SFaceLabels* pLabels)
{
    builds << QStringLiteral("rect");
    labels = pLabels ? *pLabels : SFaceLabels();
    Draw(pMain, param.dWidth, param.dHeight, main, bScripted);
    Draw(pAux, param.dWidth / 2, param.dHeight / 2, aux, bScripted);
    return rect = param, true;
}

bool RecordingEngine::CreateGear(SGearBoxParam param, CShapeList* pMain)
{
    builds << QStringLiteral("gear");
    Draw(pMain, param.dModulus * param.sGear1.nGCount, param.dModulus * param.sGear2.nGCount, main, bScripted);
    return gear = param, true;
}

bool RecordingEngine::CreateFilletBox(SFilletBoxParam param, CShapeList* pMain, CShapeList* pAux)
{
    builds << QStringLiteral("fillet");
    Draw(pMain, param.dWidth, param.dDepth, main, bScripted);
    Draw(pAux, param.dWidth / 2, param.dDepth / 2, aux, bScripted);
    return fillet = param, true;
}

QVariantMap Fields(const SRectBoxParam& r)
{
    return {{"dWidth", r.dWidth},           {"dHeight", r.dHeight},       {"dDepth", r.dDepth},
            {"dFluteOfWidth", r.dFluteOfWidth}, {"dFluteOfHeight", r.dFluteOfHeight},
            {"dFluteOfDepth", r.dFluteOfDepth}, {"dThickness", r.dThickness}, {"dLaserWidth", r.dLaserWidth},
            {"bInSize", r.bInSize},         {"bNoTop", r.bNoTop},         {"bNoBottom", r.bNoBottom}};
}

QVariantMap Fields(const SFilletBoxParam& r)
{
    QVariantMap fields = Fields(static_cast<const SRectBoxParam&>(r));
    fields.insert({{"sCorner.dRadius", r.sCorner.dRadius}, {"sCorner.dXSpace", r.sCorner.dXSpace},
                   {"sCorner.dYSpace", r.sCorner.dYSpace}, {"sCorner.nYCount", r.sCorner.nYCount},
                   {"bNoFlute3Edge", r.bNoFlute3Edge}});
    return fields;
}

QVariantMap Fields(const SGearBoxParam& r)
{
    return {{"dModulus", r.dModulus},           {"sGear1.dCDiameter", r.sGear1.dCDiameter},
            {"sGear1.nGCount", r.sGear1.nGCount}, {"sGear2.dCDiameter", r.sGear2.dCDiameter},
            {"sGear2.nGCount", r.sGear2.nGCount}, {"dReserved", r.dReserved}};
}

QVariantMap Fields(const SSealBoxParam& r)
{
    QVariantMap fields{{"D1", r.D1},     {"D2", r.D2},     {"bTextReverse", r.bTextReverse},
                       {"bStar", r.bStar}, {"dStarSize", r.dStarSize}};
    AddText(fields, QStringLiteral("sText1"), r.sText1);
    AddText(fields, QStringLiteral("sText2"), r.sText2);
    AddText(fields, QStringLiteral("sText3"), r.sText3);
    return fields;
}

QVariantMap Fields(const SFaceLabels& r)
{
    return {{"szFront", Text(r.szFront)}, {"szBehind", Text(r.szBehind)}, {"szLeft", Text(r.szLeft)},
            {"szRight", Text(r.szRight)}, {"szTop", Text(r.szTop)},       {"szBottom", Text(r.szBottom)}};
}

namespace {
// Numbers compare as numbers whatever their type (an INI value is text),
// doubles within a rounding step; texts by their bytes.
bool Same(const QVariant& actual, const QVariant& expected)
{
    switch (expected.typeId()) {
    case QMetaType::Double:
    case QMetaType::Int:
    case QMetaType::Bool:
    case QMetaType::LongLong: {
        bool ok = false;
        const double a = actual.toDouble(&ok), e = expected.toDouble();
        return ok && (a == e || (std::isnan(a) && std::isnan(e))
                      || std::abs(a - e) <= 1e-9 * std::max(1.0, std::abs(e)));
    }
    default:
        return actual.toByteArray() == expected.toByteArray();
    }
}
} // namespace

QString Differences(const QVariantMap& actual, const QVariantMap& expected)
{
    QStringList found;
    for (auto it = expected.cbegin(); it != expected.cend(); ++it)
        if (!Same(actual.value(it.key()), it.value()))
            found << it.key() + QStringLiteral(": %1 != %2").arg(actual[it.key()].toString(), it.value().toString());
    return found.join(QLatin1String("; "));
}

char* RecordToString(const QVariantMap& fields)
{
    QStringList parts;
    for (auto it = fields.cbegin(); it != fields.cend(); ++it)
        parts << it.key() + QLatin1Char('=') + it.value().toString();
    return qstrdup(parts.join(QLatin1String(", ")).toUtf8().constData());
}

double DistanceTo(const QPointF& p, const QPolygonF& contour)
{
    double nearest = qInf();
    for (int i = 0; i + 1 < contour.size(); ++i) {
        const QPointF d = contour[i + 1] - contour[i];
        const double along = QPointF::dotProduct(p - contour[i], d) / std::max(1e-30, QPointF::dotProduct(d, d));
        nearest = std::min(nearest, QLineF(p, contour[i] + std::clamp(along, 0.0, 1.0) * d).length());
    }
    return nearest;
}

bool Sound(CShapeList* pList)
{
    for (unsigned int i = 0; i < pList->GetCount(); ++i)
        for (const QPolygonF& contour : pList->GetShape(i)->GetPath(false)->toSubpathPolygons())
            for (const QPointF& p : contour)
                if (!(std::abs(p.x()) <= 1e5 && std::abs(p.y()) <= 1e5))
                    return false;
    return true;
}

void* OpaqueEngine(IGeometryEngine* pEngine) { return pEngine; }

void TypeOver(QWidget* pField, const QString& text, bool bConfirm)
{
    // A spin box is clicked on its text, not on its arrows.
    auto* pSpin = qobject_cast<QAbstractSpinBox*>(pField);
    QTest::mouseClick(pSpin ? pSpin->findChild<QLineEdit*>() : pField, Qt::LeftButton);
    QTest::keyClick(pField, Qt::Key_A, Qt::ControlModifier);
    if (text.isEmpty())
        QTest::keyClick(pField, Qt::Key_Delete);
    QTest::keyClicks(pField, text);
    if (bConfirm)
        QTest::keyClick(pField, Qt::Key_Return);
}

void ClickIndicator(QAbstractButton* pButton)
{
    QStyleOptionButton option;
    option.initFrom(pButton);
    const auto element =
        qobject_cast<QRadioButton*>(pButton) ? QStyle::SE_RadioButtonIndicator : QStyle::SE_CheckBoxIndicator;
    QTest::mouseClick(pButton, Qt::LeftButton, {},
                      pButton->style()->subElementRect(element, &option, pButton).center());
}
