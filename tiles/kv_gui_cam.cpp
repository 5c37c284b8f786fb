#include "kv_gui_cam.h"

#include <QPainter>
#include <QPixmap>

#include "kv_gui_container.h"
#include "kv_network_msg.h"
#include "kv_visu_host.h"

namespace {
// "Status Icon": 0 "keines", 1 "grau", 2 "Kamera" (white on the dark picture area).
enum Status_Icon { NO_ICON = 0, GREY = 1 };

const QColor PICTURE_BACKGROUND(0x1B, 0x1B, 0x1B);
} // namespace

void kv_draw_camera_image(QPainter& painter, const QRectF& box, const QImage& image, bool stretch)
{
    if (image.isNull())
        return;
    if (stretch) {
        painter.drawImage(box, image);
        return;
    }
    const QSizeF size = QSizeF(image.size()).scaled(box.size(), Qt::KeepAspectRatio);
    painter.drawImage(QRectF(box.center() - QPointF(size.width() / 2, size.height() / 2), size), image);
}

CKV_Gui_Control_App_IP_Cam::CKV_Gui_Control_App_IP_Cam(CKV_Gui_Control_Container* canvas, const KV_GUI_Control& record)
    : CKV_Gui_Control(canvas, record)
{
    connect(&m_refresh, &QTimer::timeout, this, &CKV_Gui_Control_App_IP_Cam::tick);
}

CKV_Gui_Control_App_IP_Cam::~CKV_Gui_Control_App_IP_Cam() = default;

void CKV_Gui_Control_App_IP_Cam::apply_record()
{
    CKV_Gui_Control::apply_record();
    m_guid = param("GUID").toStdString();
    m_refresh.setInterval(std::max(1, param_int("Interval in s")) * 1000);
    update_activity();
}

bool CKV_Gui_Control_App_IP_Cam::released() const
{
    if (entry_address(0).is_null())
        return true;
    const bool set = entry_value(0) != 0.0;
    return param_int("Freigabe invertieren") != 0 ? !set : set;
}

bool CKV_Gui_Control_App_IP_Cam::active() const
{
    return host().run_mode() && isVisible() && released() && !m_guid.empty();
}

void CKV_Gui_Control_App_IP_Cam::update_activity()
{
    if (!released()) {
        // A locked camera keeps no picture: after the release it connects anew.
        m_image = QImage();
        m_failed = false;
        m_info.clear();
    }
    if (!active()) {
        m_refresh.stop();
    } else if (!m_refresh.isActive()) {
        m_refresh.start();
        m_missed = 0;
        request();
    }
    update();
}

void CKV_Gui_Control_App_IP_Cam::request()
{
    host().send_text(kv_msg::CAMERA_REQUEST, QString::fromStdString(m_guid).toLatin1().toStdString());
}

void CKV_Gui_Control_App_IP_Cam::tick()
{
    if (!active())
        return;
    ++m_missed;
    request();
    update();
}

void CKV_Gui_Control_App_IP_Cam::on_value(const KV_Addr_Db&, int entry, double)
{
    if (entry == 0)
        update_activity();
}

void CKV_Gui_Control_App_IP_Cam::on_message(const CKV_Network_Msg& header, const unsigned char* payload)
{
    if (header.id != kv_msg::CAMERA_IMAGE && header.id != kv_msg::CAMERA_FAILED) {
        CKV_Gui_Control::on_message(header, payload);
        return;
    }
    if (!payload || !released())
        return;
    const QByteArray data = QByteArray::fromRawData(reinterpret_cast<const char*>(payload), int(header.data_length));
    const qsizetype split = data.indexOf(';');
    if (split < 0 || data.left(split) != QByteArray::fromStdString(m_guid))
        return;
    const QByteArray rest = data.mid(split + 1);
    if (header.id == kv_msg::CAMERA_FAILED) {
        m_failed = true;
        m_info = QString::fromUtf8(rest.constData(), qstrnlen(rest.constData(), size_t(rest.size())));
    } else {
        QImage image;
        if (!image.loadFromData(rest))
            return;
        m_image = image;
        m_failed = false;
        m_missed = 0;
        m_info = QDateTime::currentDateTime().toString(QStringLiteral("hh:mm:ss"));
        if (m_overlay)
            m_overlay->update();
    }
    update();
}

CKV_Gui_Control_App_IP_Cam::Status CKV_Gui_Control_App_IP_Cam::status() const
{
    if (!released())
        return Status::Locked;
    if (m_failed || m_missed >= MISSED_INTERVALS)
        return Status::Interrupted;
    return m_image.isNull() ? Status::Connecting : Status::Showing;
}

QString CKV_Gui_Control_App_IP_Cam::status_image_name() const
{
    const int icon = param_int("Status Icon");
    const Status shown = status();
    if (icon == NO_ICON || shown == Status::Showing)
        return {};
    const char* what = shown == Status::Locked        ? "gesperrt"
                       : shown == Status::Interrupted ? "unterbrechung"
                                                      : "verbinden";
    return QStringLiteral(":/images/icons/kamera_%1_%2.png")
        .arg(QLatin1String(what), icon == GREY ? QStringLiteral("grau") : QStringLiteral("weiss"));
}

void CKV_Gui_Control_App_IP_Cam::on_release(const QPoint&)
{
    if (!host().run_mode() || param_int("Popup anzeigen") == 0 || status() == Status::Locked)
        return;
    if (!m_overlay)
        m_overlay = std::make_unique<CKV_Gui_Control_App_Overlay_Ip_Cam>(*this, canvas()->scroll_area());
    m_overlay->set_visible_animated(true);
}

void CKV_Gui_Control_App_IP_Cam::showEvent(QShowEvent* event)
{
    CKV_Gui_Control::showEvent(event);
    update_activity();
}

void CKV_Gui_Control_App_IP_Cam::hideEvent(QHideEvent* event)
{
    CKV_Gui_Control::hideEvent(event);
    update_activity();
}

void CKV_Gui_Control_App_IP_Cam::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    prepare_painter(painter);
    const QRectF box = frame_box();
    painter.setPen(border_pen());
    painter.setBrush(param_int("Status Icon") == GREY ? or_default(backgroundcolor(), Qt::transparent)
                                                      : PICTURE_BACKGROUND);
    painter.drawRoundedRect(box, borderradius(), borderradius());
    if (status() == Status::Showing || status() == Status::Interrupted)
        kv_draw_camera_image(painter, box, m_image, param_int("Bild Strecken") != 0);

    const QString status_name = status_image_name();
    if (!status_name.isEmpty()) {
        const QPixmap icon(status_name);
        const qreal side = std::min(box.width(), box.height()) * 0.4;
        painter.drawPixmap(QRectF(box.center() - QPointF(side / 2, side / 2), QSizeF(side, side)), icon,
                           icon.rect());
    }
    if (param_int("Info anzeigen") != 0 && !m_info.isEmpty()) {
        painter.setFont(text_font());
        painter.setPen(Qt::white);
        painter.drawText(box.adjusted(6, 4, -6, -4), Qt::AlignRight | Qt::AlignBottom, m_info);
    }
}

// ---------------------------------------------------------------- overlay

CKV_Gui_Control_App_Overlay_Ip_Cam::CKV_Gui_Control_App_Overlay_Ip_Cam(const CKV_Gui_Control_App_IP_Cam& camera,
                                                                       QWidget* page)
    : CKV_Gui_Control_Tile_Overlay_Base(page)
    , m_camera(camera)
{
}

void CKV_Gui_Control_App_Overlay_Ip_Cam::paint_panel(QPainter& painter)
{
    // Below the close button row, as large as the panel allows.
    kv_draw_camera_image(painter, QRectF(8, 56, width() - 16, height() - 64), m_camera.image(), false);
}
