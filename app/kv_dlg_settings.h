#pragma once
#include "kv_common_settings.h"
#include "kv_version_check.h"

#include <QDialog>

class QAbstractButton;
class QCheckBox;
class QComboBox;
class QDialogButtonBox;
class QLineEdit;
class QMainWindow;
class QNetworkAccessManager;
class QNetworkReply;
class QSpinBox;
class QToolButton;

// The settings object of the app: holds every key of the "Common" scope as a
// public member, keeps window geometry and state, switches the app style,
// checks for a new version, and is at the same time the settings dialog.
// Built once by the base main window; it registers itself process-wide.
class CKV_Dlg_Settings : public QDialog, public KV_Common_Settings
{
    Q_OBJECT

public:
    // Loads every key, fills the dialog, applies the stored app style and,
    // when "m_check_version_" is not 0, starts the version check.
    explicit CKV_Dlg_Settings(QWidget* parent = nullptr);
    ~CKV_Dlg_Settings() override;

    void load();
    void save() const;
    // The working directory as load() will find it, read before the
    // settings object exists.
    static QString stored_working_dir();
    // Why the settings store could not be read at the last load; empty when
    // it could. The defaults are in force then, and the user must know.
    const QString& store_problem() const { return m_store_problem; }

    // Geometry in scope "ViewState", key "_geometry"; window state in scope
    // "_ViewState_<view>", key "_windowState"; both under `organisation` and
    // synced at once.
    static void save_geometry(const QString& organisation, const QWidget* window);
    static bool restore_geometry(const QString& organisation, QWidget* window);
    static void save_state(const QString& organisation, const QMainWindow* window, int view);
    static bool restore_state(const QString& organisation, QMainWindow* window, int view);

    // Applies app style 0 (light) or 1 (dark) and stores the index; any other
    // index changes nothing and returns false.
    bool set_app_style(int index);

    bool stay_active() const;
    void set_stay_active(bool on);

    // Stores the working directory at once; the history moves along at once
    // (working_dir_changed), the rest of the app from its next start.
    void set_working_dir(const QString& dir);

    // Shown when the full-screen option is clicked.
    static constexpr const char* FULL_SCREEN_HINT =
        "Mit dieser Option wird das Hauptmenü nur mehr mit einem Doppelklick auf einen freien Bereich der "
        "Visulalisierung angezeigt!\n\nNach Änderung der Einstellung ist ein Neustart der Anwendung notwendig.";

public slots:
    void slot_check_version();
    void slot_downloadFinished(QNetworkReply* reply);
    void slot_Stylesheet_App_Changed(int index);

    void on_buttonBox_accepted();
    void on_buttonBox_rejected();
    void on_toolButton_selWorkingDit_clicked();
    void on_m_checkbox_check_version_dev_clicked();
    void on_m_checkBox_Fullscreen_clicked();
    void on_m_comboBox_Stylesheet_currentIndexChanged(int index);
    void on_m_comboBox_Stylesheet_App_currentIndexChanged(int index);
    void on_m_pushButton_importStyle_clicked();
    void on_m_checkBox_LiveUpdate_clicked();

signals:
    void liveUpdateChanged(bool on);
    // The working directory now names another folder.
    void working_dir_changed();

protected:
    // The user's answers; message boxes titled "kirovantor3".
    virtual bool ask_update(const QString& question);
    virtual void show_message(const QString& text);

private:
    QString m_store_problem;
    void build_dialog();
    void fill_dialog();
    void read_dialog();
    // Writes one key of the "Common" scope at once.
    static void write_key(const char* key, const QVariant& value);

    QNetworkAccessManager* m_download_manager = nullptr;

    QLineEdit* m_lineEdit_working_dir = nullptr;
    QLineEdit* m_lineEdit_version_url = nullptr;
    QToolButton* m_toolButton_selWorkingDit = nullptr;
    QCheckBox* m_checkBox_open_last_project = nullptr;
    QSpinBox* m_spinBox_autosave = nullptr;
    QSpinBox* m_spinBox_history = nullptr;
    QCheckBox* m_checkbox_check_version_dev = nullptr;
    QSpinBox* m_spinBox_raster_move = nullptr;
    QSpinBox* m_spinBox_raster_view = nullptr;
    QSpinBox* m_spinBox_diag_max_rows = nullptr;
    QCheckBox* m_checkBox_Fullscreen = nullptr;
    QComboBox* m_comboBox_Stylesheet = nullptr;
    QComboBox* m_comboBox_Stylesheet_App = nullptr;
    QAbstractButton* m_pushButton_importStyle = nullptr;
    QCheckBox* m_checkBox_LiveUpdate = nullptr;
    QDialogButtonBox* m_buttonBox = nullptr;
};
