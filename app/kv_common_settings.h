#pragma once
#include <QString>
#include <QtGlobal>

class QSettings;

// The user's preferences of the "Common" scope, one member per key, named as
// the key. Numbers are unsigned 32-bit; absent keys take the defaults below,
// present but unconvertible numbers read as 0.
struct KV_Common_Settings
{
    QString m_str_working_dir__;
    QString m_str_last_archiv_dir_to;
    QString m_str_last_archiv_dir_from;
    quint32 m_open_last_project_1 = 0;
    quint32 m_autosave_ = 30;
    quint32 m_history = 10;
    quint32 m_check_version_ = 1;
    // Address of the maker's version file; empty: the check asks nobody.
    QString m_str_version_url;
    QString m_str_last_project;
    QString m_str_last_esf_import_dir;
    QString m_str_last_image_import_dir;
    quint32 m_raster_move___ = 10;
    quint32 m_raster_view___ = 10;
    quint32 m_last_orientation = 2;
    quint32 m_raster_on_gui = 1;
    quint32 m_raster_on_logic = 1;
    quint32 m_diag_max_rows = 200;
    quint32 m_toolbar_on_off_state = 1;
    quint32 m_warning_schweiz = 1;
    quint32 m_app_stay_active = 1;
    QString m_app_str_last_guid;
    quint32 _m_app_full_screen = 0;
    quint32 m_last_view = 0;
    quint32 m_styleSheet = 0;
    quint32 m_app_styleSheet = 0;
    bool m_live_update = false;

    // Reads every key from `store`, which must be open on the "Common" scope.
    // The working directory is read first (default `project_dir`); the
    // archive directories and the last project default to paths inside it.
    void read(QSettings& store, const QString& project_dir);

    // Writes every key to `store`.
    void write(QSettings& store) const;
};
