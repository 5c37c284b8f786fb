#include "kv_dlg_zielsysteminfo.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTransform>
#include <QVBoxLayout>

namespace {
constexpr int PICTURE_SIZE = 96;
constexpr int LOADING_TICK_MS = 50;
constexpr int LOADING_STEP_DEGREES = 15;

QPixmap load_picture(const QString& path)
{
    // A missing resource gives a null pixmap: the label then shows nothing.
    const QPixmap pixmap(path);
    return pixmap.isNull() ? pixmap : pixmap.scaled(PICTURE_SIZE, PICTURE_SIZE, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

QPushButton* make_button(QWidget* parent, const char* object_name, const QString& text)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QString::fromLatin1(object_name));
    return button;
}
} // namespace

CKV_Dlg_App_Zielsysteminfo::CKV_Dlg_App_Zielsysteminfo(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("CKV_Dlg_App_Zielsysteminfo"));
    createGui();
    QMetaObject::connectSlotsByName(this);
    m_timer_loading.setInterval(LOADING_TICK_MS);
    connect(&m_timer_loading, &QTimer::timeout, this, &CKV_Dlg_App_Zielsysteminfo::slot_rotate_loading);
    show_connecting();
}

void CKV_Dlg_App_Zielsysteminfo::createGui()
{
    auto* layout = new QVBoxLayout(this);
    layout->addStretch();
    m_label_picture = new QLabel(this);
    m_label_picture->setObjectName(QStringLiteral("m_label_picture"));
    m_label_picture->setAlignment(Qt::AlignCenter);
    m_label_picture->setMinimumSize(PICTURE_SIZE, PICTURE_SIZE);
    layout->addWidget(m_label_picture);
    m_label_title = new QLabel(this);
    m_label_title->setObjectName(QStringLiteral("m_label_title"));
    m_label_title->setAlignment(Qt::AlignCenter);
    m_label_title->setWordWrap(true);
    layout->addWidget(m_label_title);
    m_label_text = new QLabel(this);
    m_label_text->setObjectName(QStringLiteral("m_label_text"));
    m_label_text->setAlignment(Qt::AlignCenter);
    m_label_text->setWordWrap(true);
    layout->addWidget(m_label_text);
    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("m_progress_project"));
    m_progress->setRange(0, 100);
    m_progress->hide();
    layout->addWidget(m_progress);

    m_widget_serials = new QWidget(this);
    m_widget_serials->setObjectName(QStringLiteral("m_widget_serials"));
    m_layout_serials = new QVBoxLayout(m_widget_serials);
    layout->addWidget(m_widget_serials);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    m_pushButton_auswahl = make_button(this, "m_pushButton_auswahl", QStringLiteral("Zur Auswahl"));
    m_pushButton_erneut = make_button(this, "m_pushButton_erneut", QStringLiteral("Erneut versuchen"));
    m_pushButton_missing = make_button(this, "m_pushButton_missing", QStringLiteral("OK"));
    m_pushButton_entfernen_abbrechen =
        make_button(this, "m_pushButton_entfernen_abbrechen", QStringLiteral("Abbrechen"));
    m_pushButton_entfernen_ja = make_button(this, "m_pushButton_entfernen_ja", QStringLiteral("Löschen"));
    for (QPushButton* button : {m_pushButton_auswahl, m_pushButton_erneut, m_pushButton_missing,
                                m_pushButton_entfernen_abbrechen, m_pushButton_entfernen_ja})
        buttons->addWidget(button);
    buttons->addStretch();
    layout->addLayout(buttons);
    layout->addStretch();
}

void CKV_Dlg_App_Zielsysteminfo::show_mode(Mode mode, Picture picture, const QString& title, const QString& text)
{
    m_mode = mode;
    set_picture(picture);
    m_label_title->setText(title);
    m_label_title->setVisible(!title.isEmpty());
    m_label_text->setText(text);
    if (mode != Mode::Serial_Choice)
        clear_serials();
    m_widget_serials->setVisible(mode == Mode::Serial_Choice);

    const bool failed = mode == Mode::Connection_Failed || mode == Mode::Project_Failed;
    m_pushButton_auswahl->setVisible(failed);
    m_pushButton_erneut->setVisible(failed);
    m_pushButton_missing->setVisible(mode == Mode::Message || mode == Mode::Serial_Choice);
    m_pushButton_entfernen_abbrechen->setVisible(mode == Mode::Delete_Question);
    m_pushButton_entfernen_ja->setVisible(mode == Mode::Delete_Question);
}

void CKV_Dlg_App_Zielsysteminfo::set_picture(Picture picture)
{
    m_timer_loading.stop();
    switch (picture) {
    case Picture::None:
        m_label_picture->clear();
        break;
    case Picture::Connecting:
        m_pixmap_loading = load_picture(QStringLiteral(":/images/status/status_connecting.svg"));
        m_loading_angle = 0;
        m_label_picture->setPixmap(m_pixmap_loading);
        if (!m_pixmap_loading.isNull())
            m_timer_loading.start();
        break;
    case Picture::Success:
        m_label_picture->setPixmap(load_picture(QStringLiteral(":/images/status/status_success.svg")));
        break;
    case Picture::Failure:
        m_label_picture->setPixmap(load_picture(QStringLiteral(":/images/status/status_failure.svg")));
        break;
    }
}

void CKV_Dlg_App_Zielsysteminfo::slot_rotate_loading()
{
    m_loading_angle = (m_loading_angle + LOADING_STEP_DEGREES) % 360;
    const QPixmap turned = m_pixmap_loading.transformed(QTransform().rotate(m_loading_angle), Qt::SmoothTransformation);
    // Rotation grows the bounding box; cut the centre back to the original size.
    const QRect centre((turned.width() - m_pixmap_loading.width()) / 2, (turned.height() - m_pixmap_loading.height()) / 2,
                       m_pixmap_loading.width(), m_pixmap_loading.height());
    m_label_picture->setPixmap(turned.copy(centre));
}

void CKV_Dlg_App_Zielsysteminfo::clear_serials()
{
    // Later: the button being clicked may be the one that leads here.
    while (QLayoutItem* item = m_layout_serials->takeAt(0)) {
        if (QWidget* button = item->widget()) {
            button->hide();
            button->deleteLater();
        }
        delete item;
    }
}

void CKV_Dlg_App_Zielsysteminfo::show_connecting()
{
    show_mode(Mode::Connecting, Picture::Connecting, {}, TEXT_CONNECTING);
}

void CKV_Dlg_App_Zielsysteminfo::show_success()
{
    show_mode(Mode::Success, Picture::Success, {}, TEXT_SUCCESS);
}

void CKV_Dlg_App_Zielsysteminfo::show_connection_failed()
{
    show_mode(Mode::Connection_Failed, Picture::Failure, {}, TEXT_CONNECTION_FAILED);
}

void CKV_Dlg_App_Zielsysteminfo::show_project_failed(const QString& reason)
{
    show_mode(Mode::Project_Failed, Picture::Failure, {},
              reason.isEmpty() ? TEXT_PROJECT_FAILED : TEXT_PROJECT_FAILED + QLatin1Char('\n') + reason);
}

void CKV_Dlg_App_Zielsysteminfo::set_progress(int percent)
{
    m_progress->setVisible(percent >= 0);
    if (percent >= 0)
        m_progress->setValue(percent);
}

int CKV_Dlg_App_Zielsysteminfo::progress() const
{
    return m_progress->isHidden() ? -1 : m_progress->value();
}

void CKV_Dlg_App_Zielsysteminfo::show_message(const QString& title, const QString& text)
{
    show_mode(Mode::Message, Picture::Failure, title, text);
}

void CKV_Dlg_App_Zielsysteminfo::show_delete_question(const QString& route_name)
{
    show_mode(Mode::Delete_Question, Picture::None, {},
              QStringLiteral("Sind Sie sich sicher, dass sie das Zielsystem \"%1\" löschen wollen?").arg(route_name));
}

void CKV_Dlg_App_Zielsysteminfo::show_serial_choice(const QStringList& serials)
{
    show_mode(Mode::Serial_Choice, Picture::None, QStringLiteral("Mehrere Seriennummern gefunden"),
              QStringLiteral("Bitte wählen Sie die Seriennummer Ihres Zielsystems:"));
    clear_serials();
    for (const QString& serial : serials) {
        auto* button = new QPushButton(serial, m_widget_serials);
        connect(button, &QPushButton::clicked, this, [this, serial] { emit serial_chosen(serial); });
        m_layout_serials->addWidget(button);
    }
}

QString CKV_Dlg_App_Zielsysteminfo::title() const
{
    return m_label_title->text();
}

QString CKV_Dlg_App_Zielsysteminfo::text() const
{
    return m_label_text->text();
}

void CKV_Dlg_App_Zielsysteminfo::on_m_pushButton_auswahl_clicked()
{
    emit back_to_list();
}

void CKV_Dlg_App_Zielsysteminfo::on_m_pushButton_erneut_clicked()
{
    emit retry();
}

void CKV_Dlg_App_Zielsysteminfo::on_m_pushButton_missing_clicked()
{
    emit message_closed();
}

void CKV_Dlg_App_Zielsysteminfo::on_m_pushButton_entfernen_abbrechen_clicked()
{
    emit delete_cancelled();
}

void CKV_Dlg_App_Zielsysteminfo::on_m_pushButton_entfernen_ja_clicked()
{
    emit delete_confirmed();
}
