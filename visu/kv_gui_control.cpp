#include "kv_gui_control.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cfloat>
#include <cmath>
#include <limits>

#include "kv_control_catalog.h"
#include "kv_gui_container.h"
#include "kv_gui_format.h"
#include "kv_gui_overlay_pin.h"
#include "kv_gui_stale_veil.h"
#include "kv_gui_value_dispatch.h"
#include "kv_touch.h"
#include "kv_trace.h"
#include "kv_visu_host.h"

namespace {
uint64_t g_next_serial = 1;

// Types that operate something on a click get the pointing hand.
bool type_takes_clicks(int type)
{
    if ((type >= 100 && type <= 105) || (type >= 117 && type <= 124))
        return true;
    switch (type) {
    case 17: case 110: case 111: case 113: case 115:
    case 1119: case 1123: case 1124: case 1126: case 1504: case 1525: case 1526:
        return true;
    default:
        return false;
    }
}

// Records carry Qt 5 weights (0..99, bold = 75, -1 = default); Qt 6 counts
// 100..900. The nearest of Qt 5's named weights gives the Qt 6 one.
int kv_font_weight(int qt5)
{
    if (qt5 < 0)
        return QFont::Normal;
    if (qt5 > 99)
        return std::min(qt5, 1000); // already on the Qt 6 scale
    static constexpr std::pair<int, QFont::Weight> NAMED[] = {
        {0, QFont::Thin},      {12, QFont::ExtraLight}, {25, QFont::Light},     {50, QFont::Normal}, {57, QFont::Medium},
        {63, QFont::DemiBold}, {75, QFont::Bold},       {81, QFont::ExtraBold}, {87, QFont::Black}};
    QFont::Weight nearest = QFont::Normal;
    int distance = 1000;
    for (const auto& [old_weight, weight] : NAMED) {
        if (std::abs(qt5 - old_weight) < distance) {
            distance = std::abs(qt5 - old_weight);
            nearest = weight;
        }
    }
    return nearest;
}

QPoint rounded(const QPointF& point)
{
    return QPoint(static_cast<int>(std::lround(point.x())), static_cast<int>(std::lround(point.y())));
}
} // namespace

CKV_Gui_Control::CKV_Gui_Control(CKV_Gui_Control_Container* canvas, const KV_GUI_Control& record)
    : QWidget(canvas)
    , m_record(record)
    , m_record_loaded(record)
    , m_canvas(canvas)
    , m_serial(g_next_serial++)
{
    setObjectName(QStringLiteral("ZRQControl"));
    setAcceptDrops(true);
    setGeometry(m_record.m_x, m_record.m_y, m_record.m_width, m_record.m_height);
    setAutoFillBackground(false);
    setAttribute(Qt::WA_TranslucentBackground);

    m_check_style = new QCheckBox(this);
    m_check_style->hide();
    m_font_base = QFont(QStringLiteral("Graphik Regular"));
    m_font_base.setPixelSize(15);
    m_font_base.setHintingPreference(QFont::PreferNoHinting);
    m_font_text = m_font_base;
    m_font_text2 = m_font_base;

    host().dispatch().subscribe(this);
    m_subscribed = true;
}

CKV_Gui_Control::~CKV_Gui_Control()
{
    unsubscribe();
}

void CKV_Gui_Control::unsubscribe()
{
    if (!m_subscribed)
        return;
    m_subscribed = false;
    host().dispatch().unsubscribe(this);
}

QString CKV_Gui_Control::param(const char* label) const
{
    return QString::fromStdString(kv_param_value(m_record, label));
}

QString CKV_Gui_Control::text_param(const char* label) const
{
    return host().visu_text(param(label));
}

QString CKV_Gui_Control::name_text() const
{
    return host().visu_text(QString::fromStdString(m_record.m_str_name));
}

double CKV_Gui_Control::param_double(const char* label) const
{
    return kv_atof(kv_param_value(m_record, label));
}

int CKV_Gui_Control::param_int(const char* label) const
{
    return kv_atoi(kv_param_value(m_record, label));
}

QColor CKV_Gui_Control::param_color(const char* label, const QColor& fallback) const
{
    const QString text = param(label).trimmed();
    if (text.isEmpty())
        return fallback;
    const QColor color(text.startsWith(QLatin1Char('#')) ? text : QLatin1Char('#') + text);
    return color.isValid() ? color : fallback;
}

bool CKV_Gui_Control::pin_required() const
{
    return !kv_param_value(m_record, KV_PARAM_PIN).empty();
}

void CKV_Gui_Control::show_pin_overlay()
{
    if (m_pin_overlay)
        return; // already asking
    auto* overlay = new CKV_Gui_Overlay_Pin(param(KV_PARAM_PIN), window());
    m_pin_overlay = overlay;
    const QPoint point = m_press_point;
    connect(overlay, &CKV_Gui_Overlay_Pin::accepted, this, [this, overlay, point] {
        overlay->deleteLater();
        on_press(point);
        on_release(point);
    });
    connect(overlay, &CKV_Gui_Overlay_Pin::cancelled, overlay, &QObject::deleteLater);
    overlay->show_over(window());
}

bool CKV_Gui_Control::shows_values() const
{
    return std::any_of(m_record.m_list_addr.begin(), m_record.m_list_addr.end(),
                       [](const KV_Group_Address& address) { return !address.is_null(); });
}

void CKV_Gui_Control::set_stale(bool stale)
{
    if (stale == is_stale())
        return;
    if (stale) {
        m_stale_veil = new KV_Gui_Stale_Veil(this);
    } else {
        delete m_stale_veil;
        m_stale_veil = nullptr;
    }
}

KV_Visu_Host& CKV_Gui_Control::host() const
{
    return m_canvas->host();
}

void CKV_Gui_Control::refresh()
{
    update();
    show();
}

void CKV_Gui_Control::apply_record()
{
    apply_font();
}

void CKV_Gui_Control::attach_to_parent()
{
    CKV_Gui_Control* parent = parent_control();
    if (!parent)
        return;
    setParent(parent);
    show();
    raise();
    move(inside_parent(QRect(m_record.m_x, m_record.m_y, m_record.m_width, m_record.m_height)));
}

QPoint CKV_Gui_Control::inside_parent(const QRect& box) const
{
    const CKV_Gui_Control* parent = qobject_cast<const CKV_Gui_Control*>(parentWidget());
    // Children of the popup calls keep their place.
    if (!parent || parent->type() == 200 || parent->type() == 202)
        return box.topLeft();
    QPoint place = box.topLeft();
    if (box.x() + box.width() > parent->width())
        place.setX(parent->width() - box.width());
    if (box.y() + box.height() > parent->height())
        place.setY(parent->height() - box.height());
    return place;
}

void CKV_Gui_Control::changed()
{
    set_modified();
    apply_record();
    update();
}

bool CKV_Gui_Control::telegram_concerns(const KV_Addr_Db& address, const KV_Addr_Tgm& telegram)
{
    const KV_Group_Address dest{telegram.dest_address[0], telegram.dest_address[1], telegram.dest_address[2]};
    if (address.m_addr_write == dest)
        return true;
    return std::find(address.m_addr_listen.begin(), address.m_addr_listen.end(), dest) != address.m_addr_listen.end();
}

bool CKV_Gui_Control::address_concerned(const KV_Group_Address& address, const KV_Addr_Tgm& telegram) const
{
    if (address.is_null())
        return false;
    const KV_Addr_Db* record = host().address_tree().find_address(address);
    return record && telegram_concerns(*record, telegram);
}

bool CKV_Gui_Control::on_telegram(const KV_Addr_Tgm& telegram)
{
    if (telegram.command == KV_TGM_READ)
        return false;
    if (telegram.dest_address[0] == 0 && telegram.dest_address[1] == 0 && telegram.dest_address[2] == 0)
        return false;
    const KV_Addr_Tree& tree = host().address_tree();
    bool matched = false;
    for (size_t i = 0; i < m_record.m_list_addr.size(); ++i) {
        const KV_Addr_Db* address = tree.find_address(m_record.m_list_addr[i]);
        if (!address || !telegram_concerns(*address, telegram))
            continue;
        matched = true;
        const double value = value_as_double(*address);
        on_value(*address, static_cast<int>(i), value);
        for (CKV_Gui_Control* popup : m_popups)
            popup->on_value(*address, static_cast<int>(i), value);
    }
    if (address_concerned(m_record.m_addr_disable, telegram) || address_concerned(m_record.m_addr_hide, telegram)) {
        matched = true;
        update();
    }
    return matched;
}

void CKV_Gui_Control::on_message(const CKV_Network_Msg& header, const unsigned char* payload)
{
    for (CKV_Gui_Control* popup : m_popups)
        popup->on_message(header, payload);
}

void CKV_Gui_Control::on_value(const KV_Addr_Db&, int, double)
{
}

void CKV_Gui_Control::update_cursor()
{
    if (!host().run_mode())
        return;
    const Qt::CursorShape shape = type_takes_clicks(type()) ? Qt::PointingHandCursor : Qt::ArrowCursor;
    if (shape == m_cursor)
        return;
    m_cursor = shape;
    setCursor(shape);
}

void CKV_Gui_Control::notify_children(int code)
{
    if (code != 100 && code != 300)
        return;
    for (CKV_Gui_Control* child : children_controls())
        child->refresh();
}

void CKV_Gui_Control::set_selected(bool selected)
{
    m_selected = selected;
    update();
}

void CKV_Gui_Control::on_press(const QPoint&)
{
}

void CKV_Gui_Control::on_release(const QPoint&)
{
}

void CKV_Gui_Control::apply_font()
{
    const QStringList parts = QString::fromStdString(m_record.m_str_font).split(QLatin1Char(','));
    if (parts.size() < 4)
        return;
    QFont font(parts[0], parts[1].toInt(), kv_font_weight(parts[2].toInt()), parts[3].toInt() != 0);
    font.setHintingPreference(QFont::PreferNoHinting);
    if (zrqdesign()) {
        int pixels = std::max(5, static_cast<int>(parts[1].toInt() * 1.5 * m_scale_x));
        font.setPixelSize(pixels);
        if (QFontMetrics(font).height() > 0.7 * height()) {
            pixels = std::max(5, static_cast<int>(0.7 * height()));
            font.setPixelSize(pixels);
        }
    }
    m_font_text = font;
}

void CKV_Gui_Control::set_modified()
{
    m_canvas->set_modified(true);
}

QString CKV_Gui_Control::description() const
{
    return QString::fromUtf8(kv_control_display_name(type()));
}

QList<CKV_Gui_Control*> CKV_Gui_Control::children_controls() const
{
    QList<CKV_Gui_Control*> result;
    if (m_record.m_str_guid.empty())
        return result;
    for (CKV_Gui_Control* other : m_canvas->controls()) {
        if (other != this && other->record().m_str_guid_parent_control == m_record.m_str_guid)
            result.append(other);
    }
    return result;
}

CKV_Gui_Control* CKV_Gui_Control::parent_control() const
{
    const std::string& parent_guid = m_record.m_str_guid_parent_control;
    if (parent_guid.empty())
        return nullptr;
    for (CKV_Gui_Control* other : m_canvas->controls()) {
        if (other != this && other->record().m_str_guid == parent_guid)
            return other;
    }
    return nullptr;
}

void CKV_Gui_Control::set_min_width(int value)
{
    if (m_min_width != value)
        m_min_width = value;
}

void CKV_Gui_Control::set_min_height(int value)
{
    if (m_min_height != value)
        m_min_height = value;
}

void CKV_Gui_Control::add_popup(CKV_Gui_Control* popup)
{
    if (popup && !m_popups.contains(popup))
        m_popups.append(popup);
}

int CKV_Gui_Control::place_scaled(double sx, double sy)
{
    const KV_GUI_Control& design = m_record_loaded;
    m_record.m_x = static_cast<int32_t>(design.m_x * sx);
    m_record.m_y = static_cast<int32_t>(design.m_y * sy);
    m_record.m_width = std::max(1, static_cast<int>(design.m_width * sx));
    m_record.m_height = std::max(1, static_cast<int>(design.m_height * sy));
    // The clamp of attaching holds at every size.
    const QPoint place = inside_parent(QRect(m_record.m_x, m_record.m_y, m_record.m_width, m_record.m_height));
    m_record.m_x = place.x();
    m_record.m_y = place.y();
    m_scale_x = sx;
    m_scale_y = sy;
    setGeometry(m_record.m_x, m_record.m_y, m_record.m_width, m_record.m_height);
    apply_font();
    for (CKV_Gui_Control* child : children_controls())
        child->place_scaled(sx, sy);
    return m_record.m_y + m_record.m_height;
}

KV_Group_Address CKV_Gui_Control::entry_address(int index) const
{
    if (index < 0 || static_cast<size_t>(index) >= m_record.m_list_addr.size())
        return {};
    return m_record.m_list_addr[static_cast<size_t>(index)];
}

bool CKV_Gui_Control::write_value(int index, double value)
{
    const KV_Group_Address address = entry_address(index);
    if (address.is_null())
        return false;
    KV_Addr_Db* record = host().address_tree().find_address(address);
    if (!record) {
        TRACE(kv_trace::LEVEL_MSG, kv_trace::AREA_ZRQ, "WRITE_VALUE ADDRESS NOT FOUND: %s\n",
              address_to_text(address).c_str());
        return false;
    }
    set_value_from_double(*record, value);
    if (host().is_connected())
        host().send_netvar(record->m_addr_write, value);
    return true;
}

double CKV_Gui_Control::entry_value(int index) const
{
    const KV_Addr_Db* record = host().address_tree().find_address(entry_address(index));
    return record ? value_as_double(*record) : 0.0;
}

bool CKV_Gui_Control::address_set(const KV_Group_Address& address) const
{
    if (address.is_null())
        return false;
    const KV_Addr_Db* record = host().address_tree().find_address(address);
    return record && value_as_double(*record) != 0.0;
}

bool CKV_Gui_Control::disabled_by_address() const
{
    return address_set(m_record.m_addr_disable);
}

bool CKV_Gui_Control::hidden_by_address() const
{
    return address_set(m_record.m_addr_hide);
}

void CKV_Gui_Control::apply_press_through()
{
    setAttribute(Qt::WA_TransparentForMouseEvents,
                 host().run_mode() && !operable() && children_controls().isEmpty());
}

bool CKV_Gui_Control::press_cancelled() const
{
    return m_moved || m_canvas->takeovers() != m_press_takeovers;
}

void CKV_Gui_Control::mousePressEvent(QMouseEvent* event)
{
    const bool run = host().run_mode();
    if ((run && !operable()) || disabled_by_address() || hidden_by_address()) {
        event->ignore();
        return;
    }
    if (!host().popup_open()) {
        raise();
        setFocus();
    }
    m_press_point = rounded(event->position());
    m_press_global = event->globalPosition();
    m_press_takeovers = m_canvas->takeovers();
    // A finger that stops a running flick only stops it.
    m_moved = run && m_canvas->scroll_area()->press_caught_flick();
    // Only live pages operate; the release then finds nothing pressed.
    if (event->button() != Qt::LeftButton || !run) {
        update_cursor();
        return;
    }
    if (pin_required()) {
        // The operation runs, press and release together, once the PIN is in.
        m_pin_pending = true;
        show_pin_overlay();
        update_cursor();
        return;
    }
    m_pressed = true;
    on_press(m_press_point);
    update();
    update_cursor();
}

void CKV_Gui_Control::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_pressed || m_moved)
        return;
    const QPointF moved = event->globalPosition() - m_press_global;
    if (std::hypot(moved.x(), moved.y()) > kv_touch_slop(this)) {
        m_moved = true;
        update();
    }
}

void CKV_Gui_Control::mouseReleaseEvent(QMouseEvent* event)
{
    if (!m_pressed && !m_pin_pending && event->button() == Qt::LeftButton) {
        event->ignore(); // the press was refused
        return;
    }
    if (event->button() == Qt::LeftButton) {
        // A tap lifts inside, close to where it went down, with no scroll,
        // swipe or pinch in between; a control that owns its drag always
        // hears the lift unless a gesture took the touch.
        const QPoint point = rounded(event->position());
        const bool tap = owns_drag() ? m_canvas->takeovers() == m_press_takeovers
                                     : !press_cancelled() && rect().contains(point);
        const bool act = tap && !m_pin_pending;
        m_pressed = false;
        m_pin_pending = false;
        m_moved = false;
        update();
        if (act)
            on_release(point);
        return;
    }
    m_handle = -1;
    m_pressed = false;
    m_moved = false;
    update_cursor();
}

void CKV_Gui_Control::cancel_press()
{
    m_pressed = false;
    m_pin_pending = false;
    update();
}

void CKV_Gui_Control::mouseDoubleClickEvent(QMouseEvent* event)
{
    // A double click is two clicks for the operating controls.
    mousePressEvent(event);
}

bool CKV_Gui_Control::event(QEvent* event)
{
    const bool handled = QWidget::event(event);
    if (event->type() == QEvent::Paint && shows_pressed()) {
        const QRect area = pressed_area();
        if (!area.isEmpty()) {
            QPainter painter(this);
            painter.setRenderHint(QPainter::Antialiasing);
            QColor veil = or_default(btncolorpress(), QColor(0, 0, 0));
            veil.setAlphaF(0.25);
            painter.setPen(Qt::NoPen);
            painter.setBrush(veil);
            painter.drawRoundedRect(QRectF(area), borderradius(), borderradius());
        }
    }
    return handled;
}

void CKV_Gui_Control::paintEvent(QPaintEvent*)
{
}

void CKV_Gui_Control::showEvent(QShowEvent* event)
{
    m_shown_once = true;
    QWidget::showEvent(event);
}

QColor CKV_Gui_Control::or_default(const QColor& color, const QColor& fallback)
{
    return color.isValid() ? color : fallback;
}

qreal CKV_Gui_Control::opacity() const
{
    if (hidden_by_address())
        return 0.0;
    const qreal own = std::clamp(m_record.m_transparenz, 0, 100) / 100.0;
    return disabled_by_address() ? own * 0.4 : own;
}

void CKV_Gui_Control::prepare_painter(QPainter& painter) const
{
    painter.setOpacity(opacity());
    painter.setRenderHint(QPainter::Antialiasing);
}

QRectF CKV_Gui_Control::frame_box() const
{
    return QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
}

QPen CKV_Gui_Control::border_pen() const
{
    return bordercolor().isValid() && borderwidth() > 0 ? QPen(bordercolor(), borderwidth()) : QPen(Qt::NoPen);
}

QString format_value(const CKV_Gui_Control& control, int index, const QString& format, double factor, double offset)
{
    const KV_Group_Address address = control.entry_address(index);
    const KV_Addr_Db* record = control.host().address_tree().find_address(address);
    if (!record && !address.is_null())
        TRACE(kv_trace::LEVEL_MSG, kv_trace::AREA_ZRQ, "FORMAT_VALUE ADDRESS NOT FOUND: %s\n",
              address_to_text(address).c_str());
    return kv_format_address_value(record, format, factor, offset);
}
