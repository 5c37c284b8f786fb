#include "kv_gui_clock_control.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QStringList>
#include <QVBoxLayout>
#include <algorithm>
#include <vector>

#include "kv_gui_clock_time_form.h"
#include "kv_gui_container.h"
#include "kv_gui_overlay_preset.h"
#include "kv_network_msg.h"
#include "kv_touch.h"
#include "kv_visu_host.h"

namespace {
// Every clock control alive, so that a commit reaches those on other pages.
std::vector<CKV_Gui_Control_App_Uhr*>& live_clock_controls()
{
    static std::vector<CKV_Gui_Control_App_Uhr*> controls;
    return controls;
}
} // namespace

// ---------------------------------------------------------------- editor

CKV_Gui_Clock_Editor::CKV_Gui_Clock_Editor(KV_Visu_Host& host, const std::string& clock_guid,
                                           const KV_Clock_Value_Texts& texts, QWidget* page)
    : QWidget(page)
    , m_host(host)
    , m_guid(clock_guid)
    , m_texts(texts)
{
    setObjectName(QStringLiteral("kv_gui_clock_editor"));
    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("kv_gui_clock_editor_panel"));
    panel->setAutoFillBackground(true);
    auto* column = new QVBoxLayout(panel);
    m_choice = new QComboBox(panel);
    m_choice->setObjectName(QStringLiteral("m_rc_tm_list"));
    kv_touch_combo(m_choice);
    column->addWidget(m_choice);
    m_form = new CKV_Gui_Clock_Time_Form({"m_rc_tm_time_h", "m_rc_tm_time_m", "m_rc_tm_day", "m_rc_tm_month",
                                          "m_rc_tm_days", "m_rc_tm_value"},
                                         nullptr);
    // A yearly date's calendar makes the form taller than a landscape page: it scrolls.
    QScrollArea* scroll = kv_panel_scroll(m_form, panel);
    scroll->setMinimumWidth(m_form->sizeHint().width());
    column->addWidget(scroll, 1);
    auto* buttons = new QHBoxLayout;
    auto* cancel = new QPushButton(tr("Abbrechen"), panel);
    auto* ok = new QPushButton(tr("OK"), panel);
    ok->setObjectName(QStringLiteral("kv_clock_editor_ok"));
    for (QPushButton* button : {cancel, ok}) {
        button->setMinimumHeight(KV_FINGER_PX);
        buttons->addWidget(button);
    }
    column->addLayout(buttons);

    auto* outer = new QVBoxLayout(this);
    outer->addWidget(panel, 0, Qt::AlignHCenter);

    connect(m_choice, &QComboBox::activated, this, &CKV_Gui_Clock_Editor::show_time);
    connect(cancel, &QPushButton::clicked, this, &QWidget::hide);
    connect(ok, &QPushButton::clicked, this, &CKV_Gui_Clock_Editor::accept);
    hide();
}

void CKV_Gui_Clock_Editor::open(int index)
{
    const KV_Clock* clock = kv_find_clock(m_host.clock_settings(), m_guid);
    if (!clock)
        return;
    m_choice->clear();
    for (const KV_Clock_Time& time : clock->m_list_time) {
        const QString name = QString::fromStdString(time.m_str_name);
        m_choice->addItem(name.isEmpty() ? kv_clock_time_text(time, KV_CLOCK_TIME_CONTROL) : name);
    }
    if (parentWidget())
        setGeometry(parentWidget()->rect());
    show_time(std::clamp(index, 0, std::max(0, m_choice->count() - 1)));
    show();
    raise();
}

void CKV_Gui_Clock_Editor::show_time(int index)
{
    const KV_Clock* clock = kv_find_clock(m_host.clock_settings(), m_guid);
    const bool exists = clock && index >= 0 && size_t(index) < clock->m_list_time.size();
    m_form->setEnabled(exists);
    if (!exists)
        return;
    m_choice->setCurrentIndex(index);
    m_form->set_time(clock->m_list_time[size_t(index)], kv_clock_choices(m_host, *clock, m_texts));
}

void CKV_Gui_Clock_Editor::accept()
{
    hide();
    if (!kv_clock_store_time(m_host.clock_settings(), m_guid, m_choice->currentIndex(), m_form->time()))
        return; // the controller replaced the record meanwhile
    emit committed();
}

void CKV_Gui_Clock_Editor::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), QColor(0, 0, 0, 120));
}

// ---------------------------------------------------------------- control

CKV_Gui_Control_App_Uhr::CKV_Gui_Control_App_Uhr(CKV_Gui_Control_Container* canvas, const KV_GUI_Control& record)
    : CKV_Gui_Control(canvas, record)
{
    live_clock_controls().push_back(this);
    connect(&m_hold, &KV_Press_Hold::held, this, &CKV_Gui_Control_App_Uhr::open_editor);
}

CKV_Gui_Control_App_Uhr::~CKV_Gui_Control_App_Uhr()
{
    auto& controls = live_clock_controls();
    controls.erase(std::remove(controls.begin(), controls.end(), this), controls.end());
}

void CKV_Gui_Control_App_Uhr::apply_record()
{
    CKV_Gui_Control::apply_record();
    m_guid = param("Uhr").toStdString();
    m_state = entry_value(shown_entry());
    reload();
}

void CKV_Gui_Control_App_Uhr::reload()
{
    const KV_Clock* clock = kv_find_clock(host().clock_settings(), m_guid);
    m_shown = clock ? kv_clock_next_time(*clock, QDateTime::currentDateTime()) : -1;
    const KV_Clock_Time* time = m_shown < 0 ? nullptr : &clock->m_list_time[size_t(m_shown)];
    m_time = time ? kv_clock_time_text(*time, KV_CLOCK_TIME_CONTROL) : QString();
    m_when = time ? kv_clock_when_text(*time) : QString();
    m_value = kv_clock_value_text(time, clock ? kv_clock_data_type(host(), *clock) : 0, kv_clock_value_texts(*this));
    update();
}

void CKV_Gui_Control_App_Uhr::on_value(const KV_Addr_Db&, int entry, double value)
{
    if (entry != shown_entry())
        return;
    m_state = value;
    update();
}

void CKV_Gui_Control_App_Uhr::on_message(const CKV_Network_Msg& header, const unsigned char* payload)
{
    CKV_Gui_Control::on_message(header, payload);
    if (header.id == kv_msg::CLOCK_SETTINGS)
        reload();
}

QString CKV_Gui_Control_App_Uhr::state_image_name() const
{
    return param(m_state != 0.0 ? "Icon Ein" : "Icon Aus");
}

CKV_Gui_Control_App_Uhr::View CKV_Gui_Control_App_Uhr::view() const
{
    const int view = param_int("Ansicht");
    return view >= HORIZONTAL && view <= POPUP ? View(view) : COMPACT;
}

void CKV_Gui_Control_App_Uhr::on_press(const QPoint&)
{
    if (opens_on_hold())
        m_hold.start(std::max(0.1, param_double("Zeit Popup")));
}

void CKV_Gui_Control_App_Uhr::on_release(const QPoint&)
{
    m_hold.stop();
    // Released before the hold: only an unlinked control says why nothing opens.
    if (!opens_on_hold() || (!m_hold.fired() && !kv_find_clock(host().clock_settings(), m_guid)))
        open_editor();
}

void CKV_Gui_Control_App_Uhr::open_editor()
{
    if (!kv_find_clock(host().clock_settings(), m_guid)) {
        host().show_message(QString::fromUtf8(UNLINKED_MESSAGE));
        return;
    }
    if (!m_editor) {
        m_editor = new CKV_Gui_Clock_Editor(host(), m_guid, kv_clock_value_texts(*this), canvas()->scroll_area());
        connect(m_editor, &CKV_Gui_Clock_Editor::committed, this, [this] { commit(host(), m_guid, this); });
    }
    m_editor->open(m_shown);
}

void CKV_Gui_Control_App_Uhr::commit(KV_Visu_Host& host, const std::string& clock_guid,
                                     CKV_Gui_Control_App_Uhr* origin)
{
    kv_clock_send(host);
    for (CKV_Gui_Control_App_Uhr* control : live_clock_controls())
        if (control != origin && &control->host() == &host && control->type() == TYPE_CLOCK &&
            control->clock_guid() == clock_guid)
            control->reload();
    if (origin)
        origin->reload();
}

void CKV_Gui_Control_App_Uhr::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    prepare_painter(painter);
    painter.setPen(border_pen());
    painter.setBrush(or_default(backgroundcolor(), or_default(btncolorface(), Qt::white)));
    painter.drawRoundedRect(frame_box(), borderradius(), borderradius());

    QRect text_box = rect().adjusted(4, 2, -4, -2);
    const View shown_view = view();
    const QPixmap image = host().named_image(state_image_name());
    if (!image.isNull()) {
        const int side = shown_view == POPUP ? std::min(height() * 2 / 3, width() - 8)
                                             : std::min(height() - 4, width() / 4);
        const QRect icon = shown_view == POPUP ? QRect((width() - side) / 2, 4, side, side)
                                               : QRect(4, (height() - side) / 2, side, side);
        painter.drawPixmap(icon, image.scaled(icon.size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
        if (shown_view == POPUP)
            text_box.setTop(icon.bottom() + 2);
        else
            text_box.setLeft(icon.right() + 6);
    }
    painter.setFont(text_font());
    painter.setPen(or_default(btncolortext(), QColor(0x3B, 0x3B, 0x3B)));
    const QString times = m_shown < 0 ? m_value : QStringList{m_time, m_when, m_value}.join(QStringLiteral("   "));
    switch (shown_view) {
    case HORIZONTAL:
        painter.drawText(text_box, Qt::AlignLeft | Qt::AlignVCenter, text_param("Text") + QStringLiteral("   ") + times);
        break;
    case COMPACT:
        painter.drawText(text_box, Qt::AlignLeft | Qt::AlignVCenter, text_param("Text") + QLatin1Char('\n') + times);
        break;
    case POPUP:
        painter.drawText(text_box, Qt::AlignHCenter | Qt::AlignTop, text_param("Text"));
        break;
    }
}
