#include "kv_dlg_settings.h"

#include "kv_app_context.h"
#include "kv_app_version.h"
#include "kv_style.h"
#include "kv_touch.h"
#include "kv_trace.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QLabel>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMainWindow>
#include <QMessageBox>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QToolButton>

#include <climits>

namespace {
const QString common_scope = QStringLiteral("Common");

QString view_state_scope(int view)
{
    return QStringLiteral("_ViewState_%1").arg(view);
}

int to_spin_value(quint32 value)
{
    return value > quint32(INT_MAX) ? INT_MAX : int(value);
}

QSpinBox* make_spin_box(const char* name, int maximum)
{
    auto* box = new QSpinBox;
    box->setObjectName(QLatin1String(name));
    box->setRange(0, maximum);
    return box;
}

QCheckBox* make_check_box(const char* name, const QString& text)
{
    auto* box = new QCheckBox(text);
    box->setObjectName(QLatin1String(name));
    return box;
}

QComboBox* make_style_combo(const char* name)
{
    auto* combo = new QComboBox;
    combo->setObjectName(QLatin1String(name));
    combo->addItems({QStringLiteral("Light"), QStringLiteral("Dark")});
    kv_touch_combo(combo);
    return combo;
}
} // namespace

CKV_Dlg_Settings::CKV_Dlg_Settings(QWidget* parent)
    : QDialog(parent)
{
    kv_app().settings = this;
    load();
    build_dialog();
    fill_dialog();
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) && !set_app_style(int(m_app_styleSheet)))
        TRACE(kv_trace::LEVEL_MSG, kv_trace::AREA_ZRQ, "UNKNOWN APP STYLE: %u\n", m_app_styleSheet);
    m_download_manager = new QNetworkAccessManager(this);
    connect(m_download_manager, &QNetworkAccessManager::finished, this, &CKV_Dlg_Settings::slot_downloadFinished);
    if (m_check_version_ != 0)
        slot_check_version();
}

CKV_Dlg_Settings::~CKV_Dlg_Settings()
{
    if (kv_app().settings == this)
        kv_app().settings = nullptr;
}

void CKV_Dlg_Settings::load()
{
    QSettings store(QLatin1String(KV_SETTINGS_ORGANISATION), common_scope);
    read(store, kv_app().dirs.project_dir);
    m_store_problem.clear();
    if (store.status() == QSettings::NoError)
        return;
    const QString why = store.status() == QSettings::AccessError ? QStringLiteral("kein Zugriff")
                                                                 : QStringLiteral("Format fehlerhaft");
    m_store_problem = QStringLiteral("Die Einstellungen in \"%1\" konnten nicht gelesen werden (%2), es gelten die "
                                     "Vorgaben.")
                          .arg(store.fileName(), why);
    TRACE(kv_trace::LEVEL_ERR, kv_trace::AREA_ZRQ, "SETTINGS STORE NOT READ: %s (%s)\n", qPrintable(store.fileName()),
          store.status() == QSettings::AccessError ? "access" : "format");
}

QString CKV_Dlg_Settings::stored_working_dir()
{
    QSettings store(QLatin1String(KV_SETTINGS_ORGANISATION), common_scope);
    KV_Common_Settings settings;
    settings.read(store, kv_app().dirs.project_dir);
    return settings.m_str_working_dir__;
}

void CKV_Dlg_Settings::save() const
{
    QSettings store(QLatin1String(KV_SETTINGS_ORGANISATION), common_scope);
    write(store);
    store.sync();
}

void CKV_Dlg_Settings::write_key(const char* key, const QVariant& value)
{
    QSettings store(QLatin1String(KV_SETTINGS_ORGANISATION), common_scope);
    store.setValue(QLatin1String(key), value);
    store.sync();
}

void CKV_Dlg_Settings::save_geometry(const QString& organisation, const QWidget* window)
{
    QSettings store(organisation, QStringLiteral("ViewState"));
    store.setValue(QStringLiteral("_geometry"), window->saveGeometry());
    store.sync();
}

bool CKV_Dlg_Settings::restore_geometry(const QString& organisation, QWidget* window)
{
    QSettings store(organisation, QStringLiteral("ViewState"));
    const QByteArray geometry = store.value(QStringLiteral("_geometry")).toByteArray();
    return !geometry.isEmpty() && window->restoreGeometry(geometry);
}

void CKV_Dlg_Settings::save_state(const QString& organisation, const QMainWindow* window, int view)
{
    QSettings store(organisation, view_state_scope(view));
    store.setValue(QStringLiteral("_windowState"), window->saveState());
    store.sync();
}

bool CKV_Dlg_Settings::restore_state(const QString& organisation, QMainWindow* window, int view)
{
    QSettings store(organisation, view_state_scope(view));
    const QByteArray state = store.value(QStringLiteral("_windowState")).toByteArray();
    return !state.isEmpty() && window->restoreState(state);
}

bool CKV_Dlg_Settings::set_app_style(int index)
{
    const QString path = kv_app_style_path(index);
    if (path.isEmpty())
        return false;
    qApp->setStyleSheet(kv_read_style_sheet(path));
    m_app_styleSheet = quint32(index);
    write_key("m_app_styleSheet", m_app_styleSheet);
    // The app form and the main window switch styles too; the dialog follows.
    if (m_comboBox_Stylesheet_App) {
        const QSignalBlocker blocker(m_comboBox_Stylesheet_App);
        m_comboBox_Stylesheet_App->setCurrentIndex(index);
    }
    return true;
}

bool CKV_Dlg_Settings::stay_active() const
{
    return m_app_stay_active != 0;
}

void CKV_Dlg_Settings::set_stay_active(bool on)
{
    m_app_stay_active = on ? 1 : 0;
    write_key("m_app_stay_active", m_app_stay_active);
}

void CKV_Dlg_Settings::set_working_dir(const QString& dir)
{
    const bool changed = dir != m_str_working_dir__;
    m_str_working_dir__ = dir;
    m_lineEdit_working_dir->setText(dir);
    write_key("m_str_working_dir__", dir);
    if (changed)
        emit working_dir_changed();
}

void CKV_Dlg_Settings::slot_check_version()
{
    // Without an address nobody is asked: no request to a host that may not exist.
    if (m_str_version_url.isEmpty())
        return;
    QNetworkRequest request{QUrl(m_str_version_url)};
    request.setTransferTimeout();
    m_download_manager->get(request);
}

void CKV_Dlg_Settings::slot_downloadFinished(QNetworkReply* reply)
{
    reply->deleteLater();
    if (reply->error() != QNetworkReply::NoError) {
        TRACE(kv_trace::LEVEL_MSG, kv_trace::AREA_ZRQ, "VERSION CHECK FAILED: %s\n", qPrintable(reply->errorString()));
        return;
    }
    const QByteArray body = reply->readAll();
    const QString own = QLatin1String(KV_APP_VERSION_FULL);
    if (!kv_version_offers_update(body, own))
        return;
    const QString server = QString::fromUtf8(body.left(body.indexOf('\n'))).trimmed();
    if (ask_update(kv_update_question(own, server)))
        QDesktopServices::openUrl(kv_download_url(body, reply->request().url()));
}

void CKV_Dlg_Settings::slot_Stylesheet_App_Changed(int index)
{
    set_app_style(index);
}

bool CKV_Dlg_Settings::ask_update(const QString& question)
{
    return QMessageBox::question(this, QLatin1String(KV_APP_NAME), question, QMessageBox::Yes | QMessageBox::No)
        == QMessageBox::Yes;
}

void CKV_Dlg_Settings::show_message(const QString& text)
{
    QMessageBox::information(this, QLatin1String(KV_APP_NAME), text, QMessageBox::Ok);
}

void CKV_Dlg_Settings::build_dialog()
{
    setWindowTitle(QStringLiteral("Einstellungen"));

    m_lineEdit_working_dir = new QLineEdit;
    m_lineEdit_working_dir->setObjectName(QStringLiteral("m_lineEdit_working_dir"));
    m_toolButton_selWorkingDit = new QToolButton;
    m_toolButton_selWorkingDit->setObjectName(QStringLiteral("toolButton_selWorkingDit"));
    m_toolButton_selWorkingDit->setText(QStringLiteral("..."));
    auto* working_dir_row = new QHBoxLayout;
    working_dir_row->addWidget(m_lineEdit_working_dir, 1);
    working_dir_row->addWidget(m_toolButton_selWorkingDit);

    m_checkBox_open_last_project = make_check_box("m_checkBox_open_last_project", QString());
    m_spinBox_autosave = make_spin_box("m_spinBox_autosave", 24 * 60);
    m_spinBox_autosave->setSuffix(QStringLiteral(" min"));
    m_spinBox_history = make_spin_box("m_spinBox_history", 1000);
    m_checkbox_check_version_dev = make_check_box("m_checkbox_check_version_dev", QString());
    m_lineEdit_version_url = new QLineEdit;
    m_lineEdit_version_url->setObjectName(QStringLiteral("m_lineEdit_version_url"));
    m_spinBox_raster_move = make_spin_box("m_spinBox_raster_move", 500);
    m_spinBox_raster_view = make_spin_box("m_spinBox_raster_view", 500);
    m_spinBox_diag_max_rows = make_spin_box("m_spinBox_diag_max_rows", 1000000);
    m_checkBox_Fullscreen = make_check_box("m_checkBox_Fullscreen", QString());
    m_comboBox_Stylesheet = make_style_combo("m_comboBox_Stylesheet");
    m_comboBox_Stylesheet_App = make_style_combo("m_comboBox_Stylesheet_App");
    auto* import_button = new QPushButton(QStringLiteral("Style importieren"));
    import_button->setObjectName(QStringLiteral("m_pushButton_importStyle"));
    m_pushButton_importStyle = import_button;
    m_checkBox_LiveUpdate = make_check_box("m_checkBox_LiveUpdate", QString());
    m_buttonBox = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    m_buttonBox->setObjectName(QStringLiteral("buttonBox"));

    auto* form = new QFormLayout(this);
    form->addRow(QStringLiteral("Arbeitsverzeichnis"), working_dir_row);
    form->addRow(QStringLiteral("Letztes Projekt automatisch öffnen"), m_checkBox_open_last_project);
    form->addRow(QStringLiteral("Projekt automatisch speichern (0=aus)"), m_spinBox_autosave);
    form->addRow(QStringLiteral("Projekt History anlegen (0=aus)"), m_spinBox_history);
    form->addRow(QStringLiteral("Beim Start auf neue Version prüfen"), m_checkbox_check_version_dev);
    form->addRow(QStringLiteral("Adresse der Versionsdatei"), m_lineEdit_version_url);
    form->addRow(new QLabel(QStringLiteral("Seite")));
    form->addRow(QStringLiteral("Rastergröße Objektfang in Pixel"), m_spinBox_raster_move);
    form->addRow(QStringLiteral("Rastergröße Anzeige in Pixel"), m_spinBox_raster_view);
    form->addRow(QStringLiteral("Maximale Anzahl der Telegramme"), m_spinBox_diag_max_rows);
    form->addRow(QStringLiteral("Vollbild"), m_checkBox_Fullscreen);
    form->addRow(QStringLiteral("Style Auswahl:"), m_comboBox_Stylesheet);
    form->addRow(QStringLiteral("App Style:"), m_comboBox_Stylesheet_App);
    form->addRow(QString(), m_pushButton_importStyle);
    form->addRow(QStringLiteral("Logik-Aktualisierungen nach Zeit visualisieren"), m_checkBox_LiveUpdate);
    form->addRow(m_buttonBox);

    QMetaObject::connectSlotsByName(this);
}

void CKV_Dlg_Settings::fill_dialog()
{
    // Only the style choices act on a change of their own; filling must not.
    const QSignalBlocker block_style(m_comboBox_Stylesheet);
    const QSignalBlocker block_app_style(m_comboBox_Stylesheet_App);

    m_lineEdit_working_dir->setText(m_str_working_dir__);
    m_checkBox_open_last_project->setChecked(m_open_last_project_1 != 0);
    m_spinBox_autosave->setValue(to_spin_value(m_autosave_));
    m_spinBox_history->setValue(to_spin_value(m_history));
    m_checkbox_check_version_dev->setChecked(m_check_version_ != 0);
    m_lineEdit_version_url->setText(m_str_version_url);
    m_spinBox_raster_move->setValue(to_spin_value(m_raster_move___));
    m_spinBox_raster_view->setValue(to_spin_value(m_raster_view___));
    m_spinBox_diag_max_rows->setValue(to_spin_value(m_diag_max_rows));
    m_checkBox_Fullscreen->setChecked(_m_app_full_screen != 0);
    m_comboBox_Stylesheet->setCurrentIndex(m_styleSheet < 2 ? int(m_styleSheet) : -1);
    m_comboBox_Stylesheet_App->setCurrentIndex(m_app_styleSheet < 2 ? int(m_app_styleSheet) : -1);
    m_checkBox_LiveUpdate->setChecked(m_live_update);
}

void CKV_Dlg_Settings::read_dialog()
{
    m_str_working_dir__ = m_lineEdit_working_dir->text();
    m_open_last_project_1 = m_checkBox_open_last_project->isChecked() ? 1 : 0;
    m_autosave_ = quint32(m_spinBox_autosave->value());
    m_history = quint32(m_spinBox_history->value());
    m_check_version_ = m_checkbox_check_version_dev->isChecked() ? 1 : 0;
    m_str_version_url = m_lineEdit_version_url->text().trimmed();
    m_raster_move___ = quint32(m_spinBox_raster_move->value());
    m_raster_view___ = quint32(m_spinBox_raster_view->value());
    m_diag_max_rows = quint32(m_spinBox_diag_max_rows->value());
    _m_app_full_screen = m_checkBox_Fullscreen->isChecked() ? 1 : 0;
    if (m_comboBox_Stylesheet->currentIndex() >= 0)
        m_styleSheet = quint32(m_comboBox_Stylesheet->currentIndex());
    if (m_comboBox_Stylesheet_App->currentIndex() >= 0)
        m_app_styleSheet = quint32(m_comboBox_Stylesheet_App->currentIndex());
    m_live_update = m_checkBox_LiveUpdate->isChecked();
}

void CKV_Dlg_Settings::on_buttonBox_accepted()
{
    const QString working_dir = m_str_working_dir__;
    read_dialog();
    save();
    accept();
    if (m_str_working_dir__ != working_dir)
        emit working_dir_changed();
}

void CKV_Dlg_Settings::on_buttonBox_rejected()
{
    fill_dialog();
    reject();
}

void CKV_Dlg_Settings::on_toolButton_selWorkingDit_clicked()
{
    QString dir = QFileDialog::getExistingDirectory(this, QStringLiteral("Arbeitsverzeichnis"), m_lineEdit_working_dir->text());
    if (dir.isEmpty())
        return;
    if (!dir.endsWith(QLatin1Char('/')))
        dir += QLatin1Char('/');
    m_lineEdit_working_dir->setText(dir);
}

void CKV_Dlg_Settings::on_m_checkbox_check_version_dev_clicked()
{
    m_check_version_ = m_checkbox_check_version_dev->isChecked() ? 1 : 0;
    write_key("m_check_version_", m_check_version_);
}

void CKV_Dlg_Settings::on_m_checkBox_Fullscreen_clicked()
{
    show_message(QString::fromUtf8(FULL_SCREEN_HINT));
}

void CKV_Dlg_Settings::on_m_comboBox_Stylesheet_currentIndexChanged(int index)
{
    // The engineering editors' style is only carried: stored, not applied.
    if (index < 0)
        return;
    m_styleSheet = quint32(index);
    write_key("m_styleSheet", m_styleSheet);
}

void CKV_Dlg_Settings::on_m_comboBox_Stylesheet_App_currentIndexChanged(int index)
{
    set_app_style(index);
}

void CKV_Dlg_Settings::on_m_pushButton_importStyle_clicked()
{
    const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("Style importieren"), QString(),
                                                      QStringLiteral("Style Sheets (*.qss)"));
    if (!path.isEmpty())
        qApp->setStyleSheet(kv_read_style_sheet(path));
}

void CKV_Dlg_Settings::on_m_checkBox_LiveUpdate_clicked()
{
    m_live_update = m_checkBox_LiveUpdate->isChecked();
    write_key("m_live_update", m_live_update);
    emit liveUpdateChanged(m_live_update);
}
