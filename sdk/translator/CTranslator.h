// Host translator: maps an English key to the wording of the current language.
// Built-in catalogues are JSON objects {"key": "wording"} in Qt resources.
#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

class CTranslator
{
public:
    static CTranslator* GetInstance();

    // The wording of key in the current language; the key itself when no
    // catalogue has it.
    QString GetWording(const QString& key) const;

    // Switches to a built-in catalogue ("en", "zh", "de"), drops catalogues
    // loaded from files and tells every open window (QEvent::LanguageChange).
    // An unknown code leaves everything as it was and returns false.
    bool SetLanguage(const QString& code);
    QString GetLanguage() const;
    static QStringList AvailableLanguages();

    // Lays a catalogue file over the current wordings (its keys win) and
    // tells every open window. False, and nothing changed, when the file is
    // missing or not a JSON object of strings.
    bool LoadCatalogue(const QString& path);

private:
    CTranslator();
    static bool ReadCatalogue(const QString& path, QHash<QString, QString>& out);
    static void AnnounceLanguageChange();

    QString m_strLanguage;
    QHash<QString, QString> m_wordings;
};
