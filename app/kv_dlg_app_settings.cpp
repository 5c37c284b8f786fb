#include "kv_dlg_app_settings.h"

#include "kv_app_dirs.h"
#include "kv_app_version.h"
#include "kv_dlg_settings.h"
#include "kv_local_project.h"
#include "kv_style.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QFile>
#include <QFileDialog>
#include <QFrame>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {
QLabel* make_label(const char* name, const QString& text)
{
    auto* label = new QLabel(text);
    label->setObjectName(QLatin1String(name));
    return label;
}

// A rounded group of rows on the form.
QFrame* make_group(const QList<QWidget*>& rows)
{
    auto* frame = new QFrame;
    frame->setObjectName(QStringLiteral("m_frame_group"));
    auto* layout = new QVBoxLayout(frame);
    for (QWidget* row : rows)
        layout->addWidget(row);
    return frame;
}

template <class Button>
Button* make_button(const char* name, const QString& text)
{
    auto* button = new Button(text);
    button->setObjectName(QLatin1String(name));
    return button;
}
} // namespace

CKV_Dlg_App_Settings::CKV_Dlg_App_Settings(CKV_Dlg_Settings& settings, const QString& language, QWidget* parent)
    : QWidget(parent)
    , m_settings(settings)
{
    setObjectName(QStringLiteral("CKV_Dlg_App_Settings"));
    setAttribute(Qt::WA_StyledBackground);

    m_radioButton_light = make_button<QRadioButton>("m_radioButton_light", QStringLiteral("Light Mode"));
    m_radioButton_dark = make_button<QRadioButton>("m_radioButton_dark", QStringLiteral("Dark Mode"));
    m_checkBox_push = make_button<QCheckBox>("m_checkBox_push", QStringLiteral("Push Benachrichtigung"));
    m_checkBox_stay_active = make_button<QCheckBox>("m_checkBox_stay_active", QStringLiteral("Screen aktiv lassen"));
    m_radioButton_de = make_button<QRadioButton>("m_radioButton_de", QStringLiteral("Deutsch"));
    m_radioButton_en = make_button<QRadioButton>("m_radioButton_en", QStringLiteral("English"));
    m_label_working_dir = make_label("m_label_working_dir", m_settings.m_str_working_dir__);
    m_label_working_dir->setWordWrap(true);
    m_label_working_dir->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_pushButton_working_dir = make_button<QPushButton>("m_pushButton_working_dir", QStringLiteral("Ändern …"));
    m_label_restart = make_label("m_label_restart", QString());
    m_label_restart->setWordWrap(true);
    m_pushButton_restart = make_button<QPushButton>("m_pushButton_restart", QString());

    // Radio buttons of different groups must not exclude each other.
    auto* style_group = new QButtonGroup(this);
    style_group->addButton(m_radioButton_light, KV_STYLE_LIGHT);
    style_group->addButton(m_radioButton_dark, KV_STYLE_DARK);
    auto* language_group = new QButtonGroup(this);
    language_group->addButton(m_radioButton_de);
    language_group->addButton(m_radioButton_en);

    m_radioButton_dark->setChecked(m_settings.m_app_styleSheet == KV_STYLE_DARK);
    m_radioButton_light->setChecked(m_settings.m_app_styleSheet != KV_STYLE_DARK);
    m_checkBox_stay_active->setChecked(m_settings.stay_active());
    (language == QLatin1String("en") ? m_radioButton_en : m_radioButton_de)->setChecked(true);
    set_connected(false);
    m_label_restart->hide();
    m_pushButton_restart->hide();

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(make_label("m_label_title", QStringLiteral("Einstellungen")));
    layout->addWidget(make_group({m_radioButton_light, m_radioButton_dark}));
    layout->addWidget(make_group({m_checkBox_push, m_checkBox_stay_active}));
    layout->addWidget(make_group({m_radioButton_de, m_radioButton_en}));
    layout->addWidget(make_group({make_label("m_label_working_dir_title", QStringLiteral("Arbeitsverzeichnis")),
                                  m_label_working_dir, m_pushButton_working_dir}));
    layout->addWidget(m_label_restart);
    layout->addWidget(m_pushButton_restart, 0, Qt::AlignLeft);
    layout->addStretch(1);

    connect(style_group, &QButtonGroup::idClicked, this, &CKV_Dlg_App_Settings::style_chosen);
    connect(m_checkBox_push, &QCheckBox::clicked, this, &CKV_Dlg_App_Settings::push_changed);
    connect(m_checkBox_stay_active, &QCheckBox::clicked, this, [this](bool on) {
        m_settings.set_stay_active(on);
        emit stay_active_changed(on);
    });
    connect(m_radioButton_de, &QRadioButton::clicked, this, [this] { choose_language(QStringLiteral("de")); });
    connect(m_radioButton_en, &QRadioButton::clicked, this, [this] { choose_language(QStringLiteral("en")); });
    connect(m_pushButton_working_dir, &QPushButton::clicked, this, &CKV_Dlg_App_Settings::choose_working_dir);
    connect(m_pushButton_restart, &QPushButton::clicked, qApp, &QApplication::closeAllWindows);
}

void CKV_Dlg_App_Settings::set_connected(bool connected)
{
    m_checkBox_push->setEnabled(connected);
    if (!connected)
        m_checkBox_push->setChecked(false);
}

void CKV_Dlg_App_Settings::set_push(bool on)
{
    m_checkBox_push->setChecked(on && m_checkBox_push->isEnabled());
}

bool CKV_Dlg_App_Settings::is_push_on() const
{
    return m_checkBox_push->isChecked();
}

void CKV_Dlg_App_Settings::add_group(QWidget* group)
{
    auto* column = static_cast<QVBoxLayout*>(layout());
    column->insertWidget(column->indexOf(m_label_restart), group);
}

void CKV_Dlg_App_Settings::choose_language(const QString& language)
{
    show_restart_hint(language == QLatin1String("en"));
    emit language_chosen(language);
}

void CKV_Dlg_App_Settings::show_restart_hint(bool english)
{
    m_label_restart->setText(QString::fromUtf8(english ? RESTART_HINT_EN : RESTART_HINT_DE));
    m_pushButton_restart->setText(QString::fromUtf8(english ? RESTART_BUTTON_EN : RESTART_BUTTON_DE));
    m_label_restart->show();
    m_pushButton_restart->show();
}

void CKV_Dlg_App_Settings::choose_working_dir()
{
    QString dir = choose_directory(m_settings.m_str_working_dir__);
    if (dir.isEmpty())
        return;
    if (!dir.endsWith(QLatin1Char('/')))
        dir += QLatin1Char('/');
    const QString problem = kv_prepare_working_dir(dir);
    if (!problem.isEmpty()) {
        show_message(problem);
        return;
    }
    // The targets come along: a folder without a local project gets a copy of the current one.
    const QString current = QString::fromStdString(kv_local_project_path(m_settings.m_str_working_dir__));
    const QString chosen = QString::fromStdString(kv_local_project_path(dir));
    if (!QFile::exists(chosen))
        QFile::copy(current, chosen);
    m_settings.set_working_dir(dir);
    m_label_working_dir->setText(dir);
    show_restart_hint(m_radioButton_en->isChecked());
}

QString CKV_Dlg_App_Settings::choose_directory(const QString& current)
{
    return QFileDialog::getExistingDirectory(this, QStringLiteral("Arbeitsverzeichnis"), current);
}

void CKV_Dlg_App_Settings::show_message(const QString& text)
{
    QMessageBox::information(this, QLatin1String(KV_APP_NAME), text, QMessageBox::Ok);
}
