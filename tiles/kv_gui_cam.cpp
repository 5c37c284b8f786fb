#include "kv_gui_cam.h"

#include <QPainter>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>

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

bool kv_camera_payload(const CKV_Network_Msg& header, const unsigned char* payload, const std::string& guid,
                       QByteArray& rest)
{
    if (!payload)
        return false;
    const QByteArray data = QByteArray::fromRawData(reinterpret_cast<const char*>(payload), int(header.data_length));
    const qsizetype split = data.indexOf(';');
    if (split < 0 || data.left(split) != QByteArray::fromStdString(guid))
        return false;
    rest = data.mid(split + 1);
    return true;
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
    QByteArray rest;
    if (!released() || !kv_camera_payload(header, payload, m_guid, rest))
        return;
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

// ---------------------------------------------------------------- snapshots

CKV_Gui_Control_App_IP_Cam_Snapshot::~CKV_Gui_Control_App_IP_Cam_Snapshot() = default;

void CKV_Gui_Control_App_IP_Cam_Snapshot::on_value(const KV_Addr_Db&, int entry, double)
{
    if (entry != COUNT)
        return;
    // A new snapshot moves the stored ones back: an open panel shows the newest.
    if (m_overlay && m_overlay->state() != CKV_Gui_Control_Tile_Overlay_Base::State::Hidden)
        show_snapshot(0);
    update();
}

void CKV_Gui_Control_App_IP_Cam_Snapshot::show_snapshot(int index)
{
    m_index = std::clamp(index, 0, std::max(0, count() - 1));
    if (count() > 0)
        host().send_text(kv_msg::SNAPSHOT_REQUEST, guid() + ';' + std::to_string(m_index));
    if (m_overlay)
        m_overlay->update();
}

void CKV_Gui_Control_App_IP_Cam_Snapshot::trigger()
{
    write_value(TRIGGER, 1.0);
}

void CKV_Gui_Control_App_IP_Cam_Snapshot::reset()
{
    write_value(RESET, 1.0);
}

void CKV_Gui_Control_App_IP_Cam_Snapshot::on_message(const CKV_Network_Msg& header, const unsigned char* payload)
{
    if (header.id != kv_msg::CAMERA_IMAGE) {
        CKV_Gui_Control::on_message(header, payload);
        return;
    }
    QByteArray rest;
    QImage image;
    if (!kv_camera_payload(header, payload, guid(), rest) || !image.loadFromData(rest))
        return;
    m_image = image;
    if (m_overlay)
        m_overlay->update();
    update();
}

void CKV_Gui_Control_App_IP_Cam_Snapshot::on_release(const QPoint&)
{
    if (!host().run_mode() || guid().empty())
        return;
    if (!m_overlay)
        m_overlay = std::make_unique<CKV_Gui_Control_App_Overlay_Ip_Cam_Snapshot>(*this, canvas()->scroll_area());
    m_overlay->set_visible_animated(true);
    show_snapshot(0);
}

void CKV_Gui_Control_App_IP_Cam_Snapshot::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    prepare_painter(painter);
    painter.setPen(border_pen());
    painter.setBrush(or_default(btncolorface(), or_default(backgroundcolor(), Qt::transparent)));
    painter.drawRoundedRect(frame_box(), borderradius(), borderradius());
    painter.setFont(text_font());
    painter.setPen(or_default(btncolortext(), static_text_color()));
    const QString count_text = QString::number(count());
    // "Kompakt" puts icon, text and count under each other, "Horizontal"
    // beside each other.
    const bool compact = param_int("Aurichtung") == 1;
    QRect text_box = compact ? rect() : rect().adjusted(8, 0, -8, 0);
    const QPixmap icon = host().named_image(param("Icon"));
    if (!icon.isNull()) {
        const int side = compact ? std::min(width() - 8, height() / 2) : std::min(height() - 8, width() / 4);
        const QRect box = compact ? QRect((width() - side) / 2, 4, side, side) : QRect(8, (height() - side) / 2, side, side);
        painter.drawPixmap(box, icon.scaled(box.size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
        if (compact)
            text_box.setTop(box.bottom() + 2);
        else
            text_box.setLeft(box.right() + 8);
    }
    if (compact)
        painter.drawText(text_box, Qt::AlignCenter, text_param("Text") + QLatin1Char('\n') + count_text);
    else
        painter.drawText(text_box, Qt::AlignVCenter | Qt::AlignLeft, text_param("Text") + QStringLiteral(": ") + count_text);
}

CKV_Gui_Control_App_Overlay_Ip_Cam_Snapshot::CKV_Gui_Control_App_Overlay_Ip_Cam_Snapshot(
    CKV_Gui_Control_App_IP_Cam_Snapshot& snapshots, QWidget* page)
    : CKV_Gui_Control_Tile_Overlay_Base(page)
    , m_snapshots(snapshots)
    , m_trigger(new QPushButton(snapshots.text_param("Text"), this))
    , m_reset(new QPushButton(tr("Zurücksetzen"), this))
{
    m_trigger->setObjectName(QStringLiteral("kv_snapshot_trigger"));
    m_trigger->setGeometry(8, 8, 160, 40);
    connect(m_trigger, &QPushButton::clicked, this, [this] { m_snapshots.trigger(); });
    m_reset->setObjectName(QStringLiteral("kv_snapshot_reset"));
    m_reset->setGeometry(176, 8, 160, 40);
    m_reset->setVisible(m_snapshots.can_reset());
    connect(m_reset, &QPushButton::clicked, this, [this] { m_snapshots.reset(); });
}

void CKV_Gui_Control_App_Overlay_Ip_Cam_Snapshot::paint_panel(QPainter& painter)
{
    const QRectF box(8, 56, width() - 16, height() - 96);
    kv_draw_camera_image(painter, box, m_snapshots.image(), m_snapshots.param_int("Bild Strecken") != 0);
    painter.setPen(Qt::white);
    painter.setFont(panel_font(16));
    painter.drawText(QRectF(8, height() - 36, width() - 16, 28), Qt::AlignCenter,
                     QStringLiteral("%1 / %2").arg(m_snapshots.count() == 0 ? 0 : m_snapshots.shown_index() + 1)
                         .arg(m_snapshots.count()));
}

void CKV_Gui_Control_App_Overlay_Ip_Cam_Snapshot::mousePressEvent(QMouseEvent* event)
{
    m_press = event->position();
    CKV_Gui_Control_Tile_Overlay_Base::mousePressEvent(event);
}

void CKV_Gui_Control_App_Overlay_Ip_Cam_Snapshot::mouseReleaseEvent(QMouseEvent* event)
{
    CKV_Gui_Control_Tile_Overlay_Base::mouseReleaseEvent(event);
    if (state() != State::Open || (event->position() - m_press).manhattanLength() > 4)
        return;
    if (event->position().x() < width() / 3.0)
        m_snapshots.show_snapshot(m_snapshots.shown_index() + 1);
    else if (event->position().x() > width() * 2.0 / 3.0)
        m_snapshots.show_snapshot(m_snapshots.shown_index() - 1);
}
