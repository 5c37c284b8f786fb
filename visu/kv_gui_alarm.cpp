#include "kv_gui_alarm.h"

#include <QPainter>
#include <algorithm>

#include "kv_gui_container.h"
#include "kv_logic.h"
#include "kv_visu_host.h"

namespace {
std::vector<const KV_LOGIC_Control*> alarm_blocks(KV_Visu_Host& host)
{
    std::vector<const KV_LOGIC_Control*> result;
    for (const KV_LOGIC_Control* block : host.logic_blocks())
        if (block && block->m_typ == KV_LOGIC_TYPE_ALARM)
            result.push_back(block);
    return result;
}

// The display's address entries are the alarm inputs, one per block in
// project order, so that their telegrams reach it like any bound value.
KV_GUI_Control bound_to_alarms(CKV_Gui_Control_Container* canvas, const KV_GUI_Control& record)
{
    KV_GUI_Control copy = record;
    copy.m_list_addr.clear();
    for (const KV_LOGIC_Control* block : alarm_blocks(canvas->host())) {
        const auto input = block->input(0);
        copy.m_list_addr.push_back(input ? input->m_addr : KV_Group_Address{});
    }
    return copy;
}

QString message_of(const KV_LOGIC_Control& block)
{
    for (const KV_LOGIC_Param& param : block.m_list_param)
        if (param.m_str_name == "Text" && !param.m_str_value.empty())
            return QString::fromStdString(param.m_str_value);
    return QString::fromStdString(block.m_str_name);
}
} // namespace

CKV_Gui_Control_Alarmanzeige::CKV_Gui_Control_Alarmanzeige(CKV_Gui_Control_Container* canvas,
                                                           const KV_GUI_Control& record)
    : CKV_Gui_Control(canvas, bound_to_alarms(canvas, record))
{
}

void CKV_Gui_Control_Alarmanzeige::apply_record()
{
    CKV_Gui_Control::apply_record();
    m_show_counts = param_int("Anzahl anzeigen") != 0;
    m_compact = param_int("Ansicht") == 1;
    const std::vector<const KV_LOGIC_Control*> blocks = alarm_blocks(host());
    const size_t count = std::min(blocks.size(), record().m_list_addr.size());
    std::vector<Alarm> previous = std::move(m_alarms);
    m_alarms.assign(count, Alarm{});
    for (size_t i = 0; i < count; ++i) {
        m_alarms[i].text = message_of(*blocks[i]);
        if (i < previous.size())
            m_alarms[i].state = previous[i].state;
        take(i, entry_value(static_cast<int>(i)));
    }
    update();
}

void CKV_Gui_Control_Alarmanzeige::take(size_t index, double value)
{
    Alarm& alarm = m_alarms[index];
    if (value != 0.0)
        alarm.state = PENDING;
    else if (alarm.state == PENDING)
        alarm.state = WAS_PENDING;
}

void CKV_Gui_Control_Alarmanzeige::on_value(const KV_Addr_Db&, int entry, double value)
{
    if (entry < 0 || static_cast<size_t>(entry) >= m_alarms.size())
        return;
    take(static_cast<size_t>(entry), value);
    update();
}

int CKV_Gui_Control_Alarmanzeige::count(State state) const
{
    return static_cast<int>(
        std::count_if(m_alarms.begin(), m_alarms.end(), [state](const Alarm& alarm) { return alarm.state == state; }));
}

CKV_Gui_Control_Alarmanzeige::State CKV_Gui_Control_Alarmanzeige::worst_state() const
{
    State worst = NO_ALARM;
    for (const Alarm& alarm : m_alarms)
        worst = std::max(worst, alarm.state);
    return worst;
}

QString CKV_Gui_Control_Alarmanzeige::state_text(State state)
{
    switch (state) {
    case PENDING:
        return QStringLiteral("Alarm anstehend");
    case WAS_PENDING:
        return QStringLiteral("Alarm war anstehend");
    default:
        return QStringLiteral("Kein Alarm");
    }
}

void CKV_Gui_Control_Alarmanzeige::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    prepare_painter(painter);
    const QRectF box = frame_box();
    painter.setPen(QPen(or_default(bordercolor(), btncolorslideroff()), std::max(1, borderwidth())));
    painter.setBrush(or_default(backgroundcolor(), Qt::transparent));
    painter.drawRoundedRect(box, borderradius(), borderradius());

    auto colour_of = [this](State state) {
        switch (state) {
        case PENDING:
            return btncolorswitchon();
        case WAS_PENDING:
            return btn_cta_default_color();
        default:
            return or_default(btncolortext(), static_text_color());
        }
    };
    painter.setFont(text_font());
    const int line = painter.fontMetrics().height() + 2;
    QRect row(6, 4, width() - 12, line);
    const State worst = worst_state();
    painter.setPen(colour_of(worst));
    QString head = state_text(worst);
    if (m_show_counts)
        head += QStringLiteral(" (%1 / %2)").arg(count(PENDING)).arg(count(WAS_PENDING));
    painter.drawText(row, Qt::AlignLeft | Qt::AlignVCenter, head);
    if (m_compact)
        return;
    for (const Alarm& alarm : m_alarms) {
        row.translate(0, line);
        if (row.top() >= height())
            break;
        const QRectF mark(row.left(), row.center().y() - 4, 8, 8);
        painter.setPen(Qt::NoPen);
        painter.setBrush(colour_of(alarm.state));
        painter.drawEllipse(mark);
        painter.setPen(colour_of(alarm.state));
        painter.drawText(row.adjusted(14, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
                         alarm.text + QStringLiteral(": ") + state_text(alarm.state));
    }
}
