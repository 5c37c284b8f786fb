#include "kv_common_settings.h"

#include <QSettings>

namespace {
quint32 read_number(const QSettings& store, const char* key, quint32 fallback)
{
    const QVariant value = store.value(QLatin1String(key));
    if (!value.isValid())
        return fallback;
    return value.toUInt();
}

QString read_text(const QSettings& store, const char* key, const QString& fallback)
{
    return store.value(QLatin1String(key), fallback).toString();
}
} // namespace

// Each key and its member, once, for reading and writing alike.
#define KV_COMMON_NUMBERS(X) \
    X(m_open_last_project_1) X(m_autosave_) X(m_history) X(m_check_version_) X(m_raster_move___) \
    X(m_raster_view___) X(m_last_orientation) X(m_raster_on_gui) X(m_raster_on_logic) X(m_diag_max_rows) \
    X(m_toolbar_on_off_state) X(m_warning_schweiz) X(m_app_stay_active) X(_m_app_full_screen) X(m_last_view) \
    X(m_styleSheet) X(m_app_styleSheet)
#define KV_COMMON_TEXTS(X) \
    X(m_str_working_dir__) X(m_str_last_archiv_dir_to) X(m_str_last_archiv_dir_from) X(m_str_last_project) \
    X(m_str_last_esf_import_dir) X(m_str_last_image_import_dir) X(m_app_str_last_guid) \
    X(m_str_version_url)

void KV_Common_Settings::read(QSettings& store, const QString& project_dir)
{
    const KV_Common_Settings defaults;
#define KV_READ_NUMBER(key) key = read_number(store, #key, defaults.key);
    KV_COMMON_NUMBERS(KV_READ_NUMBER)
#undef KV_READ_NUMBER

    m_str_working_dir__ = read_text(store, "m_str_working_dir__", project_dir);
    const QString archive_dir = m_str_working_dir__ + QLatin1String("archiv/");
    m_str_last_archiv_dir_to = read_text(store, "m_str_last_archiv_dir_to", archive_dir);
    m_str_last_archiv_dir_from = read_text(store, "m_str_last_archiv_dir_from", archive_dir);
    m_str_last_project = read_text(store, "m_str_last_project", m_str_working_dir__ + QLatin1String("app_demo.kvp"));
    m_str_last_esf_import_dir = read_text(store, "m_str_last_esf_import_dir", QString());
    m_str_last_image_import_dir = read_text(store, "m_str_last_image_import_dir", QString());
    m_app_str_last_guid = read_text(store, "m_app_str_last_guid", QString());
    m_str_version_url = read_text(store, "m_str_version_url", QString());

    m_live_update = store.value(QLatin1String("m_live_update"), false).toBool();
}

void KV_Common_Settings::write(QSettings& store) const
{
#define KV_WRITE(key) store.setValue(QLatin1String(#key), key);
    KV_COMMON_NUMBERS(KV_WRITE)
    KV_COMMON_TEXTS(KV_WRITE)
#undef KV_WRITE
    store.setValue(QLatin1String("m_live_update"), m_live_update);
}
