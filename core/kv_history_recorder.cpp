#include "kv_history_recorder.h"

#include <cstring>

#include "kv_history_store.h"
#include "kv_settings_devices.h"

KV_History_Recorder::KV_History_Recorder(CKV_History_Store& store)
    : m_store(store)
{
}

void KV_History_Recorder::set_logger_groups(const std::vector<KV_Settings_Logger_Group>& groups)
{
    m_logged.clear();
    for (const KV_Settings_Logger_Group& group : groups)
        for (const KV_Settings_Logger_Group::Curve& curve : group.m_list_curve)
            m_logged.insert(curve.m_addr);
}

bool KV_History_Recorder::on_telegram(const KV_Addr_Tgm& telegram, const KV_Addr_Tree& tree, bool shown_on_page,
                                      int64_t now_ms)
{
    if (telegram.command != KV_TGM_WRITE && telegram.command != KV_TGM_RESPONSE)
        return false;
    const KV_Group_Address dest{telegram.dest_address[0], telegram.dest_address[1], telegram.dest_address[2]};
    if (dest.is_null() || !(m_logged.count(dest) || (m_record_pages && shown_on_page)))
        return false;
    const KV_Addr_Db* record = tree.find_address(dest);
    m_scratch.m_data_typ = record ? record->m_data_typ : telegram.data_type;
    m_scratch.m_data_signed = record ? record->m_data_signed : 0;
    std::memcpy(m_scratch.m_data, telegram.value, KV_ADDR_VALUE_SIZE);
    const double value = value_as_double(m_scratch);
    m_store.add(dest, now_ms, value);
    m_latest[dest] = {now_ms, value};
    return true;
}

std::optional<KV_History_Recorder::Latest> KV_History_Recorder::latest(const KV_Group_Address& address) const
{
    const auto it = m_latest.find(address);
    if (it == m_latest.end())
        return std::nullopt;
    return it->second;
}
