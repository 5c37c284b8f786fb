#include "kv_gui_tile_clock.h"

#include "kv_gui_clock_control.h"
#include "kv_gui_container.h"
#include "kv_visu_host.h"

// ---------------------------------------------------------------- program

KV_Clock_Program::KV_Clock_Program(KV_Visu_Host& host, const std::string& guid, const KV_Clock_Value_Texts& texts)
    : m_host(host)
    , m_guid(guid)
    , m_texts(texts)
{
}

std::vector<KV_Clock_Time>* KV_Clock_Program::times()
{
    KV_Clock* clock = kv_find_clock(m_host.clock_settings(), m_guid);
    return clock ? &clock->m_list_time : nullptr;
}

void KV_Clock_Program::commit()
{
    CKV_Gui_Control_App_Uhr::commit(m_host, m_guid, nullptr);
}

KV_Time_Choices KV_Clock_Program::choices()
{
    const KV_Clock* clock = kv_find_clock(m_host.clock_settings(), m_guid);
    return clock ? kv_clock_choices(m_host, *clock, m_texts) : KV_Time_Choices{};
}

QString KV_Clock_Program::value_text(const KV_Clock_Time& time)
{
    const KV_Clock* clock = kv_find_clock(m_host.clock_settings(), m_guid);
    return kv_clock_value_text(&time, clock ? kv_clock_data_type(m_host, *clock) : 0, m_texts);
}

// ---------------------------------------------------------------- tile

void CKV_Gui_Control_Tile_Clock::apply_record()
{
    m_guid = param("Uhr").toStdString();
    m_current = entry_value(shown_entry());
    CKV_Gui_Control_Tile_Touch_Base::apply_record();
}

void CKV_Gui_Control_Tile_Clock::on_value(const KV_Addr_Db&, int entry, double value)
{
    if (entry != shown_entry())
        return;
    m_current = value;
    update();
}

void CKV_Gui_Control_Tile_Clock::on_release(const QPoint& point)
{
    // A clock has nothing to switch on a tap: the tap opens the times as well.
    if (touch_area().contains(point))
        open_overlay();
}

bool CKV_Gui_Control_Tile_Clock::is_off() const
{
    const KV_Clock* clock = kv_find_clock(host().clock_settings(), m_guid);
    return !clock || !clock->m_active;
}

QString CKV_Gui_Control_Tile_Clock::state_text() const
{
    const KV_Clock_Value_Texts texts = kv_clock_value_texts(*this);
    return m_current == 0.0 ? texts.off_text() : texts.on_text();
}

std::shared_ptr<CKV_Gui_Control_Tile_Overlay_Base> CKV_Gui_Control_Tile_Clock::create_overlay()
{
    return std::make_shared<CKV_Gui_Control_App_Overlay_Timer>(
        std::make_unique<KV_Clock_Program>(host(), m_guid, kv_clock_value_texts(*this)), canvas()->scroll_area());
}
