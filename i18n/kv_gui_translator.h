#pragma once
// Translator of the visualisation texts: the project's language file of the
// chosen visualisation language, plus the toolkit catalogue of the
// application language for the standard dialogs.
//
// Use: the main window owns one translator for the whole run, calls load()
// at start and whenever "m_str_language_main" or "m_str_language_usr"
// changes (and after a new project was opened), and installs it in the
// application. Pages and controls keep their source texts and show
// translate_text(source); they re-translate on language_changed().

#include <QHash>
#include <QStringList>
#include <QTranslator>
#include <optional>

#include "kv_language_file.h"

class CKV_Project_Db;

class CKV_GUITranslator : public QTranslator {
    Q_OBJECT
public:
    explicit CKV_GUITranslator(CKV_Project_Db& project, QObject* parent = nullptr);

    // Reads the language file of `language_usr` from the open project and the
    // toolkit catalogue of `language_main` ("de", "en" or "ru"; any other code
    // takes "en"). True when the catalogue loaded or the file gave entries.
    // Emits language_changed().
    bool load(const QString& language_main, const QString& language_usr);

    QString translate(const char* context, const char* source_text, const char* disambiguation = nullptr,
                      int n = -1) const override;
    bool isEmpty() const override;

    // A visualisation text in the current visualisation language, or the text
    // itself when the language file has no translation for it.
    QString translate_text(const QString& source) const;

    const QString& language_main() const { return m_language_main; }
    const QString& language_usr() const { return m_language_usr; }
    // Codes of the language files the open project carries, sorted.
    QStringList project_languages() const;

signals:
    // After every load(): visible pages show their texts again through translate_text().
    void language_changed(const QString& language_usr);

private:
    void load_language_file(const QString& language_usr);
    // The shown translation of `source` (an empty one too), none when the
    // file has no entry for it.
    std::optional<QString> find_translation(const QString& source) const;

    CKV_Project_Db& m_project;
    QString m_language_main;
    QString m_language_usr;
    QString m_catalogue; // name of the toolkit catalogue asked for last; empty for none
    bool m_catalogue_loaded = false;
    KV_Language_Entries m_entries;
    QHash<QString, qsizetype> m_first_index; // source text -> first position in m_entries
};
