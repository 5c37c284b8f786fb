#include "kv_gui_raumr.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QSvgRenderer>
#include <QVBoxLayout>

#include "kv_visu_host.h"

namespace {
const char* const HEATING_ON = ":/images/icons/btr_heizen_ein.png";
const char* const HEATING_OFF = ":/images/icons/btr_heizen_aus.png";
const char* const COOLING_ON = ":/images/icons/btr_kuehlen_ein.png";
const char* const COOLING_OFF = ":/images/icons/btr_kuehlen_aus.png";
} // namespace

CKV_Gui_Control_App_Raumr::CKV_Gui_Control_App_Raumr(CKV_Gui_Control_Container* canvas, const KV_GUI_Control& record)
    : CKV_Gui_Control(canvas, record)
    , m_values(*this)
{
}

CKV_Gui_Control_App_Raumr::~CKV_Gui_Control_App_Raumr()
{
    delete m_popup;
}

void CKV_Gui_Control_App_Raumr::apply_record()
{
    for (int slot = 0; slot < KV_CLIMATE_SLOTS; ++slot)
        m_values.receive(slot, entry_value(slot));
    CKV_Gui_Control::apply_record();
}

void CKV_Gui_Control_App_Raumr::on_value(const KV_Addr_Db&, int entry, double value)
{
    if (!m_values.receive(entry, value))
        return;
    emit values_changed();
    update();
}

void CKV_Gui_Control_App_Raumr::on_release(const QPoint&)
{
    if (host().run_mode())
        open_popup();
}

void CKV_Gui_Control_App_Raumr::open_popup()
{
    if (!m_popup)
        m_popup = new CKV_Gui_Control_App_Raumr_Popup(*this, window());
    m_popup->refresh();
    m_popup->show_over_window();
}

void CKV_Gui_Control_App_Raumr::step_set_point(int steps)
{
    m_values.step_set_point(steps, param_double("Schrittweite"), param_double("Minimum"), param_double("Maximum"));
    emit values_changed();
    update();
}

void CKV_Gui_Control_App_Raumr::choose_mode(int mode)
{
    m_values.write_mode(mode);
    emit values_changed();
    update();
}

void CKV_Gui_Control_App_Raumr::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    prepare_painter(painter);
    painter.setPen(border_pen());
    painter.setBrush(or_default(backgroundcolor(), QColor(0xF2, 0xF2, 0xF2)));
    painter.drawRoundedRect(frame_box(), borderradius(), borderradius());

    const QRect inner = rect().adjusted(8, 6, -8, -6);
    const int side = std::min(inner.height(), 48);
    const QString mode_icon = kv_mode_icon(m_values.mode());
    QRect text_area = inner;
    if (!mode_icon.isEmpty()) {
        QSvgRenderer(mode_icon).render(&painter, QRectF(inner.right() - side, inner.top(), side, side));
        text_area.setRight(inner.right() - side - 8);
    }
    painter.setPen(or_default(btncolortext(), QColor(0x3B, 0x3B, 0x3B)));
    painter.setFont(text_font());
    const QString title = text_param("Text").trimmed();
    const QString values = kv_degrees(m_values.room_temperature()) + QStringLiteral("  ") + tr("Soll:") +
                           QLatin1Char(' ') + kv_degrees(m_values.current_set_point());
    if (param_int("Ansicht") == COMPACT) {
        painter.drawText(text_area, Qt::AlignLeft | Qt::AlignTop, title);
        painter.drawText(text_area, Qt::AlignLeft | Qt::AlignBottom, values);
    } else {
        painter.drawText(text_area, Qt::AlignLeft | Qt::AlignVCenter, title);
        painter.drawText(text_area, Qt::AlignRight | Qt::AlignVCenter, values);
    }
}

// ---------------------------------------------------------------- popup

QHBoxLayout* kv_climate_mode_row(QWidget* box, const QString& prefix, QPushButton* (&buttons)[4],
                                 const std::function<void(int)>& choose)
{
    auto* row = new QHBoxLayout;
    for (int mode = KV_MODE_COMFORT; mode <= KV_MODE_FROST; ++mode) {
        QPushButton* button = CKV_Gui_Control_Popup_Panel::add_button(box, prefix + QStringLiteral("_mode_%1").arg(mode),
                                                                      QString(), true);
        button->setIcon(QIcon(kv_mode_icon(mode)));
        button->setIconSize(QSize(36, 36));
        button->setToolTip(kv_mode_name(mode));
        QObject::connect(button, &QPushButton::clicked, box, [choose, mode] { choose(mode); });
        buttons[mode - 1] = button;
        row->addWidget(button);
    }
    return row;
}

CKV_Gui_Control_App_Raumr_Popup::CKV_Gui_Control_App_Raumr_Popup(CKV_Gui_Control_App_Raumr& control, QWidget* window)
    : CKV_Gui_Control_Popup_Panel(window)
    , m_control(control)
{
    setObjectName(QStringLiteral("kv_raumr_popup"));
    QWidget* box = panel();
    QVBoxLayout* column = add_title_column(m_control.text_param("Text").trimmed(), QStringLiteral("kv_raumr"));

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(tr("Sollwert"), box), 0, 0);
    QPushButton* minus = add_button(box, QStringLiteral("kv_raumr_minus"), QStringLiteral("−"));
    m_set_point = new QLabel(box);
    m_set_point->setObjectName(QStringLiteral("kv_raumr_set_point"));
    m_set_point->setAlignment(Qt::AlignCenter);
    QPushButton* plus = add_button(box, QStringLiteral("kv_raumr_plus"), QStringLiteral("+"));
    connect(minus, &QPushButton::clicked, this, [this] { m_control.step_set_point(-1); });
    connect(plus, &QPushButton::clicked, this, [this] { m_control.step_set_point(1); });
    grid->addWidget(minus, 0, 1);
    grid->addWidget(m_set_point, 0, 2);
    grid->addWidget(plus, 0, 3);
    m_feedback = new QLabel(box);
    m_feedback->setObjectName(QStringLiteral("kv_raumr_feedback"));
    grid->addWidget(m_feedback, 1, 0, 1, 4);

    grid->addWidget(new QLabel(tr("Betriebsart"), box), 2, 0);
    QHBoxLayout* modes =
        kv_climate_mode_row(box, QStringLiteral("kv_raumr"), m_modes, [this](int mode) { m_control.choose_mode(mode); });
    grid->addLayout(modes, 2, 1, 1, 3);

    grid->addWidget(new QLabel(tr("Heizen"), box), 3, 0);
    m_heating = new QLabel(box);
    m_cooling = new QLabel(box);
    grid->addWidget(m_heating, 3, 1);
    grid->addWidget(m_cooling, 3, 2);
    column->addLayout(grid);

    connect(&m_control, &CKV_Gui_Control_App_Raumr::values_changed, this, &CKV_Gui_Control_App_Raumr_Popup::refresh);
    refresh();
}

void CKV_Gui_Control_App_Raumr_Popup::refresh()
{
    const KV_Climate_Values& values = m_control.values();
    m_set_point->setText(kv_degrees(values.set_point(values.mode())));
    m_feedback->setText(tr("Soll:") + QLatin1Char(' ') + kv_degrees(values.current_set_point()));
    for (int mode = KV_MODE_COMFORT; mode <= KV_MODE_FROST; ++mode)
        m_modes[mode - 1]->setChecked(values.mode() == mode);
    m_heating_image = QString::fromLatin1(values.heating() ? HEATING_ON : HEATING_OFF);
    m_cooling_image = QString::fromLatin1(values.cooling() ? COOLING_ON : COOLING_OFF);
    m_heating->setPixmap(QPixmap(m_heating_image));
    m_cooling->setPixmap(QPixmap(m_cooling_image));
    center_panel();
}
