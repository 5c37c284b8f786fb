#include "kv_gui_heizkreis.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include "kv_gui_container.h"
#include "kv_gui_raumr.h"
#include "kv_visu_host.h"

namespace {
// The step commands of the "Einstellungen" part, as the popup names them.
struct Adjustment {
    int slot;
    const char* name;
};

const Adjustment ADJUSTMENTS[] = {
    {KV_HEIZKREIS_HEATING_CURVE, "Heizkurve"},
    {KV_HEIZKREIS_HEATING_SHIFT, "Parallelverschiebung Heizen"},
    {KV_HEIZKREIS_COOLING_CURVE, "Kühlkurve"},
    {KV_HEIZKREIS_COOLING_SHIFT, "Parallelverschiebung Kühlen"},
};
} // namespace

CKV_Gui_Control_App_Heizkreis::CKV_Gui_Control_App_Heizkreis(CKV_Gui_Control_Container* canvas,
                                                             const KV_GUI_Control& record)
    : CKV_Gui_Control(canvas, record)
    , m_values(*this)
    , m_link(*this)
{
}

CKV_Gui_Control_App_Heizkreis::~CKV_Gui_Control_App_Heizkreis()
{
    delete m_popup;
    delete m_times;
}

void CKV_Gui_Control_App_Heizkreis::apply_record()
{
    for (int slot = 0; slot < KV_HEIZKREIS_SLOTS; ++slot)
        m_raw[size_t(slot)] = entry_value(slot);
    for (int slot = KV_CLIMATE_MODE; slot <= KV_CLIMATE_SET_FROST; ++slot)
        m_values.receive(slot, m_raw[size_t(slot)]);
    m_link.link();
    CKV_Gui_Control::apply_record();
}

void CKV_Gui_Control_App_Heizkreis::on_value(const KV_Addr_Db&, int entry, double value)
{
    if (entry < 0 || entry >= KV_HEIZKREIS_SLOTS)
        return;
    m_raw[size_t(entry)] = value;
    // Beyond the set points the slots differ from a room controller's.
    if (entry <= KV_CLIMATE_SET_FROST)
        m_values.receive(entry, value);
    changed();
}

void CKV_Gui_Control_App_Heizkreis::on_message(const CKV_Network_Msg& header, const unsigned char* payload)
{
    CKV_Gui_Control::on_message(header, payload);
    if (m_link.relink_on(header, payload))
        changed();
}

void CKV_Gui_Control_App_Heizkreis::on_release(const QPoint&)
{
    if (host().run_mode())
        open_popup();
}

void CKV_Gui_Control_App_Heizkreis::open_popup()
{
    if (!m_popup)
        m_popup = new CKV_Gui_Control_App_Heizkreis_Popup(*this, window());
    m_popup->refresh();
    m_popup->show_over_window();
    m_link.send(kv_msg::BLOCK_SHOWN);
}

QStringList CKV_Gui_Control_App_Heizkreis::lines() const
{
    const QString mode = kv_mode_name(m_values.mode());
    return {text_param("Text").trimmed(),
            tr("Vorlauf %1").arg(kv_degrees(value(KV_HEIZKREIS_FLOW))),
            tr("Außen %1").arg(kv_degrees(value(KV_HEIZKREIS_OUTSIDE))),
            tr("Raum %1").arg(kv_degrees(value(KV_HEIZKREIS_ROOM))),
            mode.isEmpty() ? QStringLiteral("–") : mode,
            value(KV_HEIZKREIS_PUMP) != 0.0 ? tr("Pumpe ein") : tr("Pumpe aus")};
}

void CKV_Gui_Control_App_Heizkreis::step(int mode, int steps)
{
    m_values.step_set_point(mode, steps, param_double("Schrittweite"), param_double("Minimum"),
                            param_double("Maximum"));
    changed();
}

void CKV_Gui_Control_App_Heizkreis::step_comfort(int steps)
{
    step(KV_MODE_COMFORT, steps);
}

void CKV_Gui_Control_App_Heizkreis::step_frost(int steps)
{
    if (frost_changeable())
        step(KV_MODE_FROST, steps);
}

void CKV_Gui_Control_App_Heizkreis::choose_mode(int mode)
{
    m_values.write_mode(mode);
    m_raw[KV_CLIMATE_MODE] = mode;
    changed();
}

void CKV_Gui_Control_App_Heizkreis::adjust(int slot, int direction)
{
    write_value(slot, direction < 0 ? -1.0 : 1.0);
}

void CKV_Gui_Control_App_Heizkreis::set_manual(bool manual)
{
    if (m_link.set_manual(manual))
        changed();
}

void CKV_Gui_Control_App_Heizkreis::open_times()
{
    if (!settings())
        return;
    if (m_popup)
        m_popup->hide();
    if (!m_times)
        m_times = new CKV_Gui_Control_App_Overlay_Timer(std::make_unique<KV_Heating_Program>(m_link),
                                                        canvas()->scroll_area());
    m_times->set_visible_animated(true);
}

void CKV_Gui_Control_App_Heizkreis::changed()
{
    emit values_changed();
    update();
}

void CKV_Gui_Control_App_Heizkreis::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    prepare_painter(painter);
    painter.setPen(border_pen());
    painter.setBrush(or_default(backgroundcolor(), QColor(0xF2, 0xF2, 0xF2)));
    painter.drawRoundedRect(frame_box(), borderradius(), borderradius());

    const QRect inner = rect().adjusted(8, 6, -8, -6);
    const QStringList shown = lines();
    painter.setPen(or_default(btncolortext(), QColor(0x3B, 0x3B, 0x3B)));
    painter.setFont(text_font());
    // Title and mode with pump on the left, the temperatures on the right.
    const QString left = shown[0] + QLatin1Char('\n') + shown[4] + QLatin1Char('\n') + shown[5];
    const QString right = shown.mid(1, 3).join(QLatin1Char('\n'));
    painter.drawText(inner, Qt::AlignLeft | Qt::AlignVCenter, left);
    painter.drawText(inner, Qt::AlignRight | Qt::AlignVCenter, right);
}

// ---------------------------------------------------------------- popup

CKV_Gui_Control_App_Heizkreis_Popup::CKV_Gui_Control_App_Heizkreis_Popup(CKV_Gui_Control_App_Heizkreis& control,
                                                                         QWidget* window)
    : CKV_Gui_Control_Popup_Panel(window)
    , m_control(control)
{
    setObjectName(QStringLiteral("kv_heizkreis_popup"));
    QWidget* box = panel();
    QVBoxLayout* column = add_title_column(m_control.text_param("Text").trimmed(), QStringLiteral("kv_heizkreis"));

    auto* grid = new QGridLayout;
    int row = 0;
    grid->addWidget(new QLabel(tr("Betriebsart"), box), row, 0);
    QHBoxLayout* modes = kv_climate_mode_row(box, QStringLiteral("kv_heizkreis"), m_modes,
                                             [this](int mode) { m_control.choose_mode(mode); });
    if (m_control.settings()) {
        m_manual = add_button(box, QStringLiteral("kv_heizkreis_manual"), tr("Hand"), true);
        m_automatic = add_button(box, QStringLiteral("kv_heizkreis_auto"), tr("Auto"), true);
        // A second tap would uncheck the button without changing anything.
        connect(m_manual, &QPushButton::clicked, this, [this] {
            m_control.set_manual(true);
            refresh();
        });
        connect(m_automatic, &QPushButton::clicked, this, [this] {
            m_control.set_manual(false);
            refresh();
        });
        modes->addWidget(m_manual);
        modes->addWidget(m_automatic);
    }
    grid->addLayout(modes, row++, 1, 1, 3);
    if (m_control.settings()) {
        QPushButton* times = add_button(box, QStringLiteral("kv_heizkreis_time"), tr("Zeit"));
        connect(times, &QPushButton::clicked, this, [this] { m_control.open_times(); });
        grid->addWidget(times, row++, 1, 1, 3);
    }

    m_comfort = add_stepper(grid, row++, tr("Komfort"), QStringLiteral("kv_heizkreis_comfort"),
                            [this](int steps) { m_control.step_comfort(steps); });
    if (m_control.frost_changeable())
        m_frost = add_stepper(grid, row++, tr("Frost"), QStringLiteral("kv_heizkreis_frost"),
                              [this](int steps) { m_control.step_frost(steps); });

    grid->addWidget(new QLabel(tr("Einstellungen"), box), row++, 0, 1, 4);
    for (const Adjustment& adjustment : ADJUSTMENTS) {
        // Commands without an address would send nothing: not offered.
        if (m_control.entry_address(adjustment.slot).is_null())
            continue;
        const int slot = adjustment.slot;
        add_stepper(grid, row++, tr(adjustment.name), QStringLiteral("kv_heizkreis_adjust_%1").arg(slot),
                    [this, slot](int direction) { m_control.adjust(slot, direction); });
    }
    column->addLayout(grid);

    connect(&m_control, &CKV_Gui_Control_App_Heizkreis::values_changed, this,
            &CKV_Gui_Control_App_Heizkreis_Popup::refresh);
    refresh();
}

// A row "title  −  value  +"; `step` gets -1 or +1. Returns the value label.
QLabel* CKV_Gui_Control_App_Heizkreis_Popup::add_stepper(QGridLayout* grid, int row, const QString& title,
                                                         const QString& name, const std::function<void(int)>& step)
{
    QWidget* box = panel();
    grid->addWidget(new QLabel(title, box), row, 0);
    QPushButton* minus = add_button(box, name + QStringLiteral("_minus"), QStringLiteral("−"));
    auto* value = new QLabel(box);
    value->setObjectName(name);
    value->setAlignment(Qt::AlignCenter);
    QPushButton* plus = add_button(box, name + QStringLiteral("_plus"), QStringLiteral("+"));
    connect(minus, &QPushButton::clicked, this, [step] { step(-1); });
    connect(plus, &QPushButton::clicked, this, [step] { step(1); });
    grid->addWidget(minus, row, 1);
    grid->addWidget(value, row, 2);
    grid->addWidget(plus, row, 3);
    return value;
}

void CKV_Gui_Control_App_Heizkreis_Popup::refresh()
{
    const KV_Climate_Values& values = m_control.values();
    m_comfort->setText(kv_degrees(values.set_point(KV_MODE_COMFORT)));
    if (m_frost)
        m_frost->setText(kv_degrees(values.set_point(KV_MODE_FROST)));
    for (int mode = KV_MODE_COMFORT; mode <= KV_MODE_FROST; ++mode)
        m_modes[mode - 1]->setChecked(values.mode() == mode);
    if (const CTRL_Settings_Heizkreis* settings = m_control.settings()) {
        m_manual->setChecked(settings->manual());
        m_automatic->setChecked(!settings->manual());
    }
    center_panel();
}
