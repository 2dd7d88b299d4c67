#include "CTranslator.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

namespace {
QString BuiltInPath(const QString& code)
{
    return QStringLiteral(":/kerfmate/i18n/%1.json").arg(code);
}
} // namespace

CTranslator::CTranslator()
{
    m_strLanguage = QStringLiteral("en");
    ReadCatalogue(BuiltInPath(m_strLanguage), m_wordings);
}

CTranslator* CTranslator::GetInstance()
{
    static CTranslator instance;
    return &instance;
}

QString CTranslator::GetWording(const QString& key) const
{
    return m_wordings.value(key, key);
}

QStringList CTranslator::AvailableLanguages()
{
    return {QStringLiteral("en"), QStringLiteral("zh"), QStringLiteral("de")};
}

bool CTranslator::SetLanguage(const QString& code)
{
    QHash<QString, QString> wordings;
    if (!AvailableLanguages().contains(code) || !ReadCatalogue(BuiltInPath(code), wordings))
        return false;
    m_strLanguage = code;
    m_wordings.swap(wordings);
    AnnounceLanguageChange();
    return true;
}

QString CTranslator::GetLanguage() const
{
    return m_strLanguage;
}

bool CTranslator::LoadCatalogue(const QString& path)
{
    QHash<QString, QString> extra;
    if (!ReadCatalogue(path, extra))
        return false;
    for (auto it = extra.cbegin(); it != extra.cend(); ++it)
        m_wordings.insert(it.key(), it.value());
    AnnounceLanguageChange();
    return true;
}

bool CTranslator::ReadCatalogue(const QString& path, QHash<QString, QString>& out)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(file.readAll(), &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject())
        return false;
    const QJsonObject obj = doc.object();
    QHash<QString, QString> result;
    for (auto it = obj.constBegin(); it != obj.constEnd(); ++it) {
        if (!it.value().isString())
            return false;
        result.insert(it.key(), it.value().toString());
    }
    out.swap(result);
    return true;
}

void CTranslator::AnnounceLanguageChange()
{
    // QApplication hands this on to every top-level widget, and each widget
    // to its children, which is how open dialogs re-read their texts.
    if (QCoreApplication* app = QCoreApplication::instance()) {
        QEvent event(QEvent::LanguageChange);
        QCoreApplication::sendEvent(app, &event);
    }
}
