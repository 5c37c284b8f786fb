#include "kv_gui_translator.h"

#include <algorithm>
#include <vector>

#include "kv_project_db.h"
#include "kv_trace.h"

namespace {
const QLatin1String kLanguageSuffix(".lng");
const QLatin1String kCatalogueDir(":/translations");

// The toolkit catalogues exist for German and English; Russian is tried as
// well, every other language gets the English one.
QString catalogue_code(const QString& language_main)
{
    static const QStringList kKnown = {QStringLiteral("de"), QStringLiteral("en"), QStringLiteral("ru")};
    return kKnown.contains(language_main) ? language_main : QStringLiteral("en");
}
} // namespace

CKV_GUITranslator::CKV_GUITranslator(CKV_Project_Db& project, QObject* parent)
    : QTranslator(parent), m_project(project)
{
}

bool CKV_GUITranslator::load(const QString& language_main, const QString& language_usr)
{
    m_language_main = language_main;
    m_language_usr = language_usr;
    m_entries = {};
    m_first_index.clear();
    if (m_project.is_open() && !language_usr.isEmpty())
        load_language_file(language_usr);

    // Opening a project loads again with the same application language: the
    // catalogue in place stays.
    const QString catalogue = language_main.isEmpty() ? QString() : QStringLiteral("qt_") + catalogue_code(language_main);
    if (catalogue != m_catalogue) {
        m_catalogue = catalogue;
        m_catalogue_loaded = false;
        if (catalogue.isEmpty())
            static_cast<void>(QTranslator::load(QString())); // an empty name only drops an earlier catalogue
        else if (QTranslator::load(catalogue, kCatalogueDir, QString(), QStringLiteral(".qm")))
            m_catalogue_loaded = true;
        else
            TRACE(kv_trace::LEVEL_MSG, kv_trace::AREA_SERVER, "no catalogue %s\n", qPrintable(catalogue));
    }
    emit language_changed(m_language_usr);
    return m_catalogue_loaded || !m_entries.sources.isEmpty();
}

void CKV_GUITranslator::load_language_file(const QString& language_usr)
{
    const std::string name = (language_usr + kLanguageSuffix).toStdString();
    std::vector<unsigned char> bytes;
    if (!m_project.get_file(name, bytes)) {
        TRACE(kv_trace::LEVEL_MSG, kv_trace::AREA_SERVER, "no language file %s\n", name.c_str());
        return;
    }
    if (!kv_decode_language_file(bytes.data(), bytes.size(), m_entries)) {
        TRACE(kv_trace::LEVEL_ERR, kv_trace::AREA_SERVER, "language file %s rejected\n", name.c_str());
        return;
    }
    for (qsizetype i = 0; i < m_entries.sources.size(); ++i)
        if (!m_first_index.contains(m_entries.sources[i]))
            m_first_index.insert(m_entries.sources[i], i);
}

std::optional<QString> CKV_GUITranslator::find_translation(const QString& source) const
{
    const auto found = m_first_index.constFind(source);
    if (found == m_first_index.constEnd())
        return std::nullopt;
    return kv_unescape_translation(m_entries.translations[*found]);
}

QString CKV_GUITranslator::translate(const char* context, const char* source_text, const char* disambiguation,
                                     int n) const
{
    if (!source_text || !*source_text)
        return QString();
    if (std::optional<QString> translation = find_translation(QString::fromUtf8(source_text)))
        return *translation;
    return QTranslator::translate(context, source_text, disambiguation, n);
}

bool CKV_GUITranslator::isEmpty() const
{
    return QTranslator::isEmpty() && m_entries.sources.isEmpty();
}

QString CKV_GUITranslator::translate_text(const QString& source) const
{
    if (source.isEmpty())
        return QString();
    return find_translation(source).value_or(source);
}

QStringList CKV_GUITranslator::project_languages() const
{
    QStringList codes;
    for (const std::string& file : m_project.list_files()) {
        const QString name = QString::fromStdString(file);
        if (name.endsWith(kLanguageSuffix) && name.size() > kLanguageSuffix.size())
            codes.append(name.chopped(kLanguageSuffix.size()));
    }
    std::sort(codes.begin(), codes.end());
    return codes;
}
