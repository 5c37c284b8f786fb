#include "kv_message_stream.h"

#include <cstddef>
#include <cstring>
#include <utility>

#include "kv_trace.h"

namespace {
// Copies 16 to 300 bytes as 16-byte moves, the last one overlapping:
// fixed-size moves stay inline, where a library call per net variable would
// cost as much as deciphering it.
inline void copy_short(uint8_t* dst, const uint8_t* src, size_t length)
{
    size_t i = 0;
    for (; i + KV_CIPHER_BLOCK <= length; i += KV_CIPHER_BLOCK)
        std::memcpy(dst + i, src + i, KV_CIPHER_BLOCK);
    if (i < length)
        std::memcpy(dst + length - KV_CIPHER_BLOCK, src + length - KV_CIPHER_BLOCK, KV_CIPHER_BLOCK);
}

// What no sender produces: waiting for such a payload would hold the
// connection's memory for nothing, and handlers trust these lengths.
inline bool plausible(const CKV_Network_Msg& header)
{
    return header.cob_id == KV_COB_ID && header.size <= KV_MSG_MAX_SIZE && header.size % KV_CIPHER_BLOCK == 0 &&
           header.data_length <= header.size &&
           (header.id != kv_msg::NETVAR || header.data_length <= sizeof(KV_Addr_Tgm));
}

void trace_rejected(const CKV_Network_Msg& header)
{
    if (header.cob_id != KV_COB_ID)
        TRACE(kv_trace::LEVEL_ERR, kv_trace::AREA_ZRQ, "NETWORK_CLIENT::unknown cob_id: %d\n", static_cast<int>(header.cob_id));
    else if (header.size > KV_MSG_MAX_SIZE || header.size % KV_CIPHER_BLOCK != 0 || header.data_length > header.size)
        TRACE(kv_trace::LEVEL_ERR, kv_trace::AREA_ZRQ, "NETWORK_CLIENT::implausible header: ID: %u, SIZE: %u, DATA_LENGTH: %u\n",
              header.id, header.size, header.data_length);
    else
        TRACE(kv_trace::LEVEL_ERR, kv_trace::AREA_ZRQ, "NETWORK_CLIENT::net variable too long: %u\n", header.data_length);
}
} // namespace

KV_Message_Stream::KV_Message_Stream(const unsigned char* key)
    : m_cipher(KV_Cipher::Direction::Decipher, key)
{
}

void KV_Message_Stream::feed(const uint8_t* data, size_t length)
{
    append(data, length);
    if (m_feeding)
        return;
    m_feeding = true;
    while (cut_one()) {
    }
    compact();
    m_feeding = false;
}

void KV_Message_Stream::reset()
{
    m_begin = m_plain_end = m_end = 0;
    m_has_pending = false;
    m_large = {};
    // A flood grew the buffer: a new link starts small again, so that a
    // panel running for months holds no more than its last burst needs.
    if (m_capacity > INITIAL_CAPACITY) {
        m_buffer.reset();
        m_capacity = 0;
    }
}

void KV_Message_Stream::append(const uint8_t* data, size_t length)
{
    if (length == 0)
        return;
    reserve_tail(length);
    // Complete a block left over from the previous piece first.
    const size_t partial = m_end - m_plain_end;
    if (partial > 0) {
        const size_t fill = std::min(KV_CIPHER_BLOCK - partial, length);
        std::memcpy(m_buffer.get() + m_end, data, fill);
        m_end += fill;
        data += fill;
        length -= fill;
        if (m_end - m_plain_end < KV_CIPHER_BLOCK)
            return;
        m_cipher.apply(m_buffer.get() + m_plain_end, KV_CIPHER_BLOCK);
        m_plain_end = m_end;
    }
    const size_t whole = length / KV_CIPHER_BLOCK * KV_CIPHER_BLOCK;
    m_cipher.apply(data, m_buffer.get() + m_end, whole);
    std::memcpy(m_buffer.get() + m_end + whole, data + whole, length - whole);
    m_plain_end = m_end + whole;
    m_end += length;
}

void KV_Message_Stream::reserve_tail(size_t length)
{
    if (m_capacity - m_end >= length)
        return;
    const size_t used = m_end - m_begin;
    size_t capacity = std::max(m_capacity, INITIAL_CAPACITY);
    while (capacity < used + length)
        capacity *= 2;
    if (capacity == m_capacity && m_begin > 0) {
        std::memmove(m_buffer.get(), m_buffer.get() + m_begin, used);
    } else {
        auto grown = std::make_unique_for_overwrite<uint8_t[]>(capacity);
        if (used > 0)
            std::memcpy(grown.get(), m_buffer.get() + m_begin, used);
        m_buffer = std::move(grown);
        m_capacity = capacity;
    }
    m_plain_end -= m_begin;
    m_end -= m_begin;
    m_begin = 0;
}

void KV_Message_Stream::compact()
{
    if (m_begin == 0)
        return;
    if (m_begin == m_end) {
        m_begin = m_plain_end = m_end = 0;
        return;
    }
    // Keep a partial message at the front so the buffer does not creep.
    std::memmove(m_buffer.get(), m_buffer.get() + m_begin, m_end - m_begin);
    m_plain_end -= m_begin;
    m_end -= m_begin;
    m_begin = 0;
}

bool KV_Message_Stream::cut_one()
{
    size_t available = m_plain_end - m_begin;
    if (!m_has_pending) {
        if (available < KV_MSG_HEADER_SIZE)
            return false;
        std::memcpy(&m_pending, m_buffer.get() + m_begin, KV_MSG_HEADER_SIZE);
        m_begin += KV_MSG_HEADER_SIZE;
        available -= KV_MSG_HEADER_SIZE;
        m_has_pending = true;
        if (!plausible(m_pending)) {
            trace_rejected(m_pending);
            reset();
            return false;
        }
    }
    if (m_pending.size >= LARGE_PAYLOAD)
        return collect_large();
    if (m_pending.size > available)
        return false;
    CKV_Network_Msg header = m_pending;
    m_has_pending = false;
    const uint8_t* payload = m_buffer.get() + m_begin;
    m_begin += header.size;
    deliver(header, payload);
    return true;
}

bool KV_Message_Stream::collect_large()
{
    const size_t size = m_pending.size;
    if (m_large.capacity() < size + 1)
        m_large.reserve(size + 1); // the NUL deliver adds fits too
    const size_t take = std::min(m_plain_end - m_begin, size - m_large.size());
    m_large.insert(m_large.end(), m_buffer.get() + m_begin, m_buffer.get() + m_begin + take);
    m_begin += take;
    if (m_large.size() < size)
        return false;
    CKV_Network_Msg header = m_pending;
    m_has_pending = false;
    std::vector<uint8_t> payload = std::exchange(m_large, {});
    payload.push_back(0);
    deliver(header, payload.data(), &payload);
    return true;
}

std::vector<uint8_t> KV_Message_Stream::take_payload()
{
    return m_delivering ? std::exchange(*m_delivering, {}) : std::vector<uint8_t>();
}

void KV_Message_Stream::deliver(CKV_Network_Msg& header, const uint8_t* payload, std::vector<uint8_t>* collected)
{
    if (header.id == kv_msg::NETVAR) {
        deliver_netvar(header, payload);
        return;
    }
    if (!m_on_message)
        return;
    if (header.size == 0) {
        m_on_message(&header, nullptr);
        return;
    }
    if (!collected) {
        // A copy: the handler may feed more bytes and move the buffer, and a
        // text payload without NUL must still end.
        m_payload.reserve(header.size + 1);
        m_payload.assign(payload, payload + header.size);
        m_payload.push_back(0);
        collected = &m_payload;
    }
    m_delivering = collected;
    m_on_message(&header, collected->data());
    m_delivering = nullptr;
}

void KV_Message_Stream::deliver_netvar(const CKV_Network_Msg& header, const uint8_t* payload)
{
    static_assert(KV_NETVAR_MIN_DATA_LENGTH >= KV_CIPHER_BLOCK, "copy_short needs a whole block");
    if (header.data_length <= KV_NETVAR_MIN_DATA_LENGTH)
        return;
    // The address straight from the payload: reading it back from m_tgm
    // right after the block copies stalls on store forwarding.
    uint32_t dest[3];
    std::memcpy(dest, payload + offsetof(KV_Addr_Tgm, dest_address), sizeof dest);
    if ((dest[0] | dest[1] | dest[2]) == 0)
        return;
    // m_tgm is zero beyond the last length copied: only a shorter net
    // variable needs clearing, instead of zeroing 300 bytes every time.
    auto* bytes = reinterpret_cast<uint8_t*>(&m_tgm);
    if (header.data_length < m_tgm_length)
        std::memset(bytes + header.data_length, 0, m_tgm_length - header.data_length);
    copy_short(bytes, payload, header.data_length);
    m_tgm_length = header.data_length;
    if (m_on_netvar)
        m_on_netvar(m_tgm);
    if (--m_netvars_until_pause == 0) {
        m_netvars_until_pause = NETVARS_PER_PAUSE;
        if (m_pause)
            m_pause();
    }
}
