#include "kv_gui_tile_temperature.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>
#include <tuple>

#include "kv_gui_container.h"
#include "kv_visu_host.h"

namespace {
// Limit labels of the four modes' set points.
const char* const LIMITS[4][2] = {
    {"Minimum", "Maximum"},
    {"Minimum Standby", "Maximum Standby"},
    {"Minimum Nacht", "Maximum Nacht"},
    {"Minimum Frost", "Maximum Frost"},
};

int limit_row(int mode)
{
    return kv_mode_set_point_slot(mode) - KV_CLIMATE_SET_COMFORT;
}
} // namespace

CKV_Gui_Control_Tile_Temperature::CKV_Gui_Control_Tile_Temperature(CKV_Gui_Control_Container* canvas,
                                                                   const KV_GUI_Control& record)
    : CKV_Gui_Control_Tile_Touch_Base(canvas, record)
    , m_values(*this)
    , m_link(*this)
{
}

void CKV_Gui_Control_Tile_Temperature::apply_record()
{
    for (int slot = 0; slot < KV_CLIMATE_SLOTS; ++slot)
        m_values.receive(slot, entry_value(slot));
    const auto read_file = [this](const QString& file) { return host().file_data(file); };
    m_heating_icon.load(QStringLiteral(":/images/svg/heizen_color.svg"), read_file);
    m_cooling_icon.load(QStringLiteral(":/images/svg/kuehlen_color.svg"), read_file);
    m_window_icon.load(QStringLiteral(":/images/svg/fenster_offen_color.svg"), read_file);
    load_mode_icon();
    m_link.link();
    CKV_Gui_Control_Tile_Touch_Base::apply_record();
}

void CKV_Gui_Control_Tile_Temperature::load_mode_icon()
{
    m_mode_icon.load(kv_mode_tile_icon(m_values.mode()), [this](const QString& file) { return host().file_data(file); });
}

void CKV_Gui_Control_Tile_Temperature::on_value(const KV_Addr_Db&, int entry, double value)
{
    if (!m_values.receive(entry, value))
        return;
    if (entry == KV_CLIMATE_MODE)
        load_mode_icon();
    emit values_changed();
    update();
}

double CKV_Gui_Control_Tile_Temperature::minimum(int mode) const
{
    return param_double(LIMITS[limit_row(mode)][0]);
}

double CKV_Gui_Control_Tile_Temperature::maximum(int mode) const
{
    return param_double(LIMITS[limit_row(mode)][1]);
}

void CKV_Gui_Control_Tile_Temperature::step_set_point(int steps)
{
    const int mode = m_values.mode();
    m_values.step_set_point(steps, step(), minimum(mode), maximum(mode));
    emit values_changed();
    update();
}

void CKV_Gui_Control_Tile_Temperature::choose_mode(int mode)
{
    m_values.write_mode(mode);
    load_mode_icon();
    emit values_changed();
    update();
}

void CKV_Gui_Control_Tile_Temperature::set_manual(bool manual)
{
    if (!m_link.set_manual(manual))
        return;
    emit values_changed();
    update();
}

void CKV_Gui_Control_Tile_Temperature::step_preset(int mode, int steps)
{
    CTRL_Settings_Heizkreis* settings = m_link.settings();
    if (!settings || !kv_mode_known(mode))
        return;
    const double from = settings->preset(mode).value_or(m_values.set_point(mode));
    settings->set_preset(mode, kv_set_point_stepped(from, step(), steps, minimum(mode), maximum(mode)));
    m_link.changed();
    emit values_changed();
}

void CKV_Gui_Control_Tile_Temperature::on_message(const CKV_Network_Msg& header, const unsigned char* payload)
{
    CKV_Gui_Control_Tile_Touch_Base::on_message(header, payload);
    if (m_link.relink_on(header, payload)) {
        emit values_changed();
        update();
    }
}

void CKV_Gui_Control_Tile_Temperature::open_overlay()
{
    CKV_Gui_Control_Tile_Touch_Base::open_overlay();
    m_link.send(kv_msg::BLOCK_SHOWN);
}

QString CKV_Gui_Control_Tile_Temperature::state_text() const
{
    QString text = settings() && settings()->manual() ? tr("Manuell") : tr("Automatik");
    const QString name = kv_mode_name(m_values.mode());
    if (!name.isEmpty())
        text += QStringLiteral(" (%1)").arg(name);
    return text;
}

std::shared_ptr<CKV_Gui_Control_Tile_Overlay_Base> CKV_Gui_Control_Tile_Temperature::create_overlay()
{
    return std::make_shared<CKV_Gui_Control_Tile_Temperature_Overlay>(*this, canvas()->scroll_area());
}

void CKV_Gui_Control_Tile_Temperature::paint_content(QPainter& painter)
{
    CKV_Gui_Control_Tile_Touch_Base::paint_content(painter);
    // Mode and indicators stand in a row at the right, level with the icon.
    const QRect icon = icon_box();
    const int side = std::max(16, int(std::lround(icon.height() * 0.6)));
    QRect box(width() - icon.left() - side, icon.top(), side, side);
    m_mode_icon.set_color(icon_color(true));
    m_mode_icon.draw(painter, box);
    for (const auto& [shown, indicator] : {std::pair{m_values.heating(), &m_heating_icon},
                                           std::pair{m_values.cooling(), &m_cooling_icon},
                                           std::pair{m_values.window_open(), &m_window_icon}}) {
        if (!shown)
            continue;
        box.translate(0, side + side / 4);
        indicator->draw(painter, box);
    }

    // Room temperature large above the title, the set point beside it.
    const QRect value_box(title_box().left(), title_box().top() - int(title_box().height() * 1.6), title_box().width(),
                          int(title_box().height() * 1.6));
    QString value = kv_degrees(m_values.room_temperature());
    if (param_int("Sollwert Anzeigen") != 0)
        value += QStringLiteral("  ") + tr("Soll %1").arg(kv_degrees(m_values.current_set_point()));
    painter.setPen(or_default(btncolortext(), QColor(0x3B, 0x3B, 0x3B)));
    painter.setFont(scaled_style(display() == SMARTPHONE ? 4 : 2));
    painter.drawText(value_box, Qt::AlignLeft | Qt::AlignBottom,
                     painter.fontMetrics().elidedText(value, Qt::ElideRight, value_box.width()));
}

// ---------------------------------------------------------------- overlay

CKV_Gui_Control_Tile_Temperature_Overlay::CKV_Gui_Control_Tile_Temperature_Overlay(
    CKV_Gui_Control_Tile_Temperature& tile, QWidget* page)
    : CKV_Gui_Control_Tile_Overlay_Base(page)
    , m_tile(tile)
{
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(24, 72, 24, 24);
    column->setSpacing(16);

    auto* set_point = new QHBoxLayout;
    QPushButton* minus = add_button(QStringLiteral("kv_temp_minus"), QStringLiteral("−"));
    m_set_point = new QLabel(this);
    m_set_point->setObjectName(QStringLiteral("kv_temp_set_point"));
    m_set_point->setAlignment(Qt::AlignCenter);
    m_set_point->setFont(panel_font(36, true));
    QPushButton* plus = add_button(QStringLiteral("kv_temp_plus"), QStringLiteral("+"));
    connect(minus, &QPushButton::clicked, this, [this] { m_tile.step_set_point(-1); });
    connect(plus, &QPushButton::clicked, this, [this] { m_tile.step_set_point(1); });
    set_point->addWidget(minus);
    set_point->addWidget(m_set_point, 1);
    set_point->addWidget(plus);
    column->addLayout(set_point);
    m_room = new QLabel(this);
    m_room->setAlignment(Qt::AlignCenter);
    column->addWidget(m_room);

    auto* modes = new QHBoxLayout;
    for (int mode = KV_MODE_COMFORT; mode <= KV_MODE_FROST; ++mode) {
        QPushButton* button =
            add_button(QStringLiteral("kv_temp_mode_%1").arg(mode), kv_mode_name(mode), true);
        button->setIcon(QIcon(kv_mode_icon(mode)));
        button->setIconSize(QSize(32, 32));
        connect(button, &QPushButton::clicked, this, [this, mode] { m_tile.choose_mode(mode); });
        m_modes[mode - 1] = button;
        modes->addWidget(button);
    }
    column->addLayout(modes);

    if (m_tile.settings()) {
        auto* operation = new QHBoxLayout;
        m_manual = add_button(QStringLiteral("kv_temp_manual"), tr("Manuell"), true);
        m_automatic = add_button(QStringLiteral("kv_temp_automatic"), tr("Automatisch"), true);
        connect(m_manual, &QPushButton::clicked, this, [this] { m_tile.set_manual(true); });
        connect(m_automatic, &QPushButton::clicked, this, [this] { m_tile.set_manual(false); });
        operation->addWidget(m_manual);
        operation->addWidget(m_automatic);
        column->addLayout(operation);
        column->addWidget(build_presets());
        column->addWidget(build_times());
    }
    column->addStretch();

    connect(&m_tile, &CKV_Gui_Control_Tile_Temperature::values_changed, this,
            &CKV_Gui_Control_Tile_Temperature_Overlay::refresh);
    refresh();
}

QPushButton* CKV_Gui_Control_Tile_Temperature_Overlay::add_button(const QString& name, const QString& text,
                                                                  bool checkable)
{
    auto* button = new QPushButton(text, this);
    button->setObjectName(name);
    button->setMinimumSize(56, 56);
    button->setCheckable(checkable);
    return button;
}

QWidget* CKV_Gui_Control_Tile_Temperature_Overlay::build_presets()
{
    auto* box = new QWidget(this);
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(0, 0, 0, 0);
    auto* title = new QLabel(tr("Voreinstellungen"), box);
    title->setFont(panel_font(20, true));
    grid->addWidget(title, 0, 0, 1, 4);
    for (int mode = KV_MODE_COMFORT; mode <= KV_MODE_FROST; ++mode) {
        grid->addWidget(new QLabel(QString::fromUtf8(CTRL_Settings_Heizkreis::PRESETS[mode - 1]), box), mode, 0);
        for (const auto& [steps, text, suffix] :
             {std::tuple{-1, QStringLiteral("−"), "minus"}, std::tuple{1, QStringLiteral("+"), "plus"}}) {
            QPushButton* button = add_button(QStringLiteral("kv_temp_preset_%1_%2").arg(mode).arg(suffix), text);
            button->setParent(box);
            connect(button, &QPushButton::clicked, this, [this, mode, steps] { m_tile.step_preset(mode, steps); });
            grid->addWidget(button, mode, steps < 0 ? 1 : 3);
        }
        m_presets[mode - 1] = new QLabel(box);
        m_presets[mode - 1]->setObjectName(QStringLiteral("kv_temp_preset_%1").arg(mode));
        m_presets[mode - 1]->setAlignment(Qt::AlignCenter);
        grid->addWidget(m_presets[mode - 1], mode, 2);
    }
    return box;
}

QWidget* CKV_Gui_Control_Tile_Temperature_Overlay::build_times()
{
    auto* box = new QWidget(this);
    auto* row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    auto* title = new QLabel(tr("Schaltzeit"), box);
    title->setFont(panel_font(20, true));
    row->addWidget(title);
    m_times_button = add_button(QStringLiteral("kv_temp_times"), {});
    m_times_button->setParent(box);
    row->addWidget(m_times_button, 1);
    connect(m_times_button, &QPushButton::clicked, this, &CKV_Gui_Control_Tile_Temperature_Overlay::open_times);
    return box;
}

void CKV_Gui_Control_Tile_Temperature_Overlay::open_times()
{
    if (!m_tile.settings())
        return;
    if (!m_times) {
        // Slides in over this panel; the list rebuilds this panel's summary.
        m_times = new CKV_Gui_Control_App_Overlay_Timer(std::make_unique<KV_Heating_Program>(m_tile.link()), this);
        connect(m_times, &CKV_Gui_Control_Tile_Overlay_Base::closed, this,
                &CKV_Gui_Control_Tile_Temperature_Overlay::refresh);
    }
    m_times->set_visible_animated(true);
}

void CKV_Gui_Control_Tile_Temperature_Overlay::refresh()
{
    const KV_Climate_Values& values = m_tile.values();
    m_set_point->setText(kv_degrees(values.set_point(values.mode())));
    m_room->setText(tr("Raum %1").arg(kv_degrees(values.room_temperature())));
    for (int mode = KV_MODE_COMFORT; mode <= KV_MODE_FROST; ++mode)
        m_modes[mode - 1]->setChecked(values.mode() == mode);
    const CTRL_Settings_Heizkreis* settings = m_tile.settings();
    if (!settings)
        return;
    m_manual->setChecked(settings->manual());
    m_automatic->setChecked(!settings->manual());
    for (int mode = KV_MODE_COMFORT; mode <= KV_MODE_FROST; ++mode) {
        const auto preset = settings->preset(mode);
        m_presets[mode - 1]->setText(preset ? kv_degrees(*preset) : QStringLiteral("–"));
    }
    // The times in short, the first three: "06:30 Mo-Fr Anwesend".
    QStringList times;
    for (const KV_Clock_Time& time : settings->times())
        times << QStringList{kv_clock_time_text(time, KV_CLOCK_TIME_TILE),
                             time.m_typ == 0 ? kv_clock_weekdays_text(time) : kv_clock_once_text(time),
                             kv_mode_name(int(time.m_value))}
                     .join(QLatin1Char(' '));
    m_times_button->setText(times.isEmpty() ? tr("Keine Schaltzeit angelegt")
                                            : (times.mid(0, 3) + (times.size() > 3 ? QStringList{QStringLiteral("…")}
                                                                                     : QStringList{}))
                                                  .join(QLatin1Char('\n')));
}

void CKV_Gui_Control_Tile_Temperature_Overlay::paint_panel(QPainter& painter)
{
    CKV_Gui_Control_Tile_Overlay_Base::paint_panel(painter);
    painter.setPen(Qt::white);
    painter.setFont(panel_font(24, true));
    painter.drawText(QRect(72, 12, width() - 96, 44), Qt::AlignLeft | Qt::AlignVCenter, m_tile.text_param("Text"));
}
