#include "kv_network_msg.h"

#include <chrono>
#include <cstring>

#include "kv_addr.h"
#include "kv_cipher.h"
#include "kv_trace.h"

CKV_Network_Msg kv_make_header(uint32_t id, uint32_t data_length)
{
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    const auto usec = std::chrono::duration_cast<std::chrono::microseconds>(now).count();
    CKV_Network_Msg header;
    header.id = id;
    header.size = static_cast<uint32_t>(kv_wire_size(data_length));
    header.data_length = data_length;
    header.cob_id = KV_COB_ID;
    header.time_sec = usec / 1000000;
    header.time_usec = usec % 1000000;
    return header;
}

bool kv_frame_message(KV_Cipher& cipher, uint32_t id, const void* payload, uint32_t data_length,
                      std::vector<uint8_t>& out)
{
    out.clear();
    if (static_cast<uint64_t>(data_length) + KV_MSG_HEADER_SIZE > KV_MSG_LIMIT) {
        TRACE(kv_trace::LEVEL_MSG, kv_trace::AREA_ZRQ, "NETWORK_CLIENT::SEND_MSG - MESSAGE SIZE TOO BIG: ID: %d, SIZE: %u\n",
              static_cast<int>(id), data_length);
        return false;
    }
    const CKV_Network_Msg header = kv_make_header(id, data_length);
    out.assign(KV_MSG_HEADER_SIZE + header.size, 0);
    std::memcpy(out.data(), &header, KV_MSG_HEADER_SIZE);
    if (data_length > 0)
        std::memcpy(out.data() + KV_MSG_HEADER_SIZE, payload, data_length);
    if (!cipher.apply(out.data(), out.size())) {
        TRACE(kv_trace::LEVEL_ERR, kv_trace::AREA_ZRQ, "NETWORK_CLIENT::SEND_MSG - CIPHER FAILED: ID: %u\n", id);
        out.clear();
        return false;
    }
    return true;
}

uint32_t kv_netvar_data_length(const KV_Addr_Tgm& tgm)
{
    if (tgm.m_data_length > sizeof(tgm.value))
        return 0;
    return tgm.m_data_length + KV_NETVAR_FIXED_BYTES;
}

KV_Addr_Tgm kv_make_netvar(const KV_Addr_Db& record, const KV_Group_Address& sender)
{
    KV_Addr_Tgm tgm;
    tgm.source_module = KV_MODULE_APP;
    tgm.dest_module = KV_MODULE_SERVER;
    tgm.command = KV_TGM_WRITE;
    tgm.source_address[0] = sender.main;
    tgm.source_address[1] = sender.middle;
    tgm.source_address[2] = sender.sub;
    tgm.dest_address[0] = record.m_addr_write.main;
    tgm.dest_address[1] = record.m_addr_write.middle;
    tgm.dest_address[2] = record.m_addr_write.sub;
    tgm.data_type = record.m_data_typ;
    tgm.m_data_length = static_cast<uint32_t>(type_length(record.m_data_typ));
    std::memcpy(tgm.value, record.m_data, tgm.m_data_length);
    return tgm;
}
