#pragma once
// Cuts the enciphered byte stream of a controller connection into messages.
// Independent of any socket: whoever reads the connection feeds the bytes in
// whatever pieces they arrive, and complete messages come out through the
// handlers, net variables separately. Every message boundary falls on a
// cipher block boundary, so arriving bytes are deciphered at once in whole
// blocks, in one cipher call per piece.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "kv_addr_tgm.h"
#include "kv_cipher.h"
#include "kv_network_msg.h"

class KV_Message_Stream {
public:
    // Header and payload are valid only during the call; the payload holds
    // size bytes plus a terminating NUL, and is null when size is 0.
    using Message_Handler = std::function<void(CKV_Network_Msg* header, uint8_t* payload)>;
    using Netvar_Handler = std::function<void(const KV_Addr_Tgm& tgm)>;
    // Called after every NETVARS_PER_PAUSE-th net variable handed on.
    using Pause_Hook = std::function<void()>;

    static constexpr uint64_t NETVARS_PER_PAUSE = 102;
    static constexpr size_t INITIAL_CAPACITY = 64 * 1024;
    // Payloads from this size on (a project file) are collected apart as
    // they arrive: the stream buffer stays small, and the payload is copied
    // neither when the buffer grows nor when it is handed on.
    static constexpr uint32_t LARGE_PAYLOAD = 256 * 1024;

    explicit KV_Message_Stream(const unsigned char* key = KV_MESSAGE_KEY);

    void set_message_handler(Message_Handler handler) { m_on_message = std::move(handler); }
    void set_netvar_handler(Netvar_Handler handler) { m_on_netvar = std::move(handler); }
    void set_pause_hook(Pause_Hook hook) { m_pause = std::move(hook); }

    // Takes the next bytes of the stream and delivers every message they
    // complete. A call from inside a handler only queues its bytes; the
    // running call delivers them.
    void feed(const uint8_t* data, size_t length);

    // Forgets the buffered input and the pending header, and gives back a
    // buffer grown beyond its first size. Safe inside a handler.
    void reset();

    // Inside a message handler: takes the payload (size bytes plus NUL) the
    // handler was given; the payload pointer stays valid as long as the
    // returned buffer lives. Empty outside a handler or once taken.
    std::vector<uint8_t> take_payload();

    bool has_pending_header() const { return m_has_pending; }
    size_t buffered_bytes() const { return m_end - m_begin + m_large.size(); }

private:
    void append(const uint8_t* data, size_t length);
    void reserve_tail(size_t length);
    bool cut_one();
    bool collect_large();
    // collected: the payload already in a buffer of its own, or null.
    void deliver(CKV_Network_Msg& header, const uint8_t* payload, std::vector<uint8_t>* collected = nullptr);
    void deliver_netvar(const CKV_Network_Msg& header, const uint8_t* payload);
    void compact();

    KV_Cipher m_cipher;
    Message_Handler m_on_message;
    Netvar_Handler m_on_netvar;
    Pause_Hook m_pause;

    // [m_begin, m_plain_end) deciphered, [m_plain_end, m_end) the start of a
    // block still incomplete.
    std::unique_ptr<uint8_t[]> m_buffer;
    size_t m_capacity = 0;
    size_t m_begin = 0;
    size_t m_plain_end = 0;
    size_t m_end = 0;

    CKV_Network_Msg m_pending;
    bool m_has_pending = false;
    bool m_feeding = false;
    uint64_t m_netvars_until_pause = NETVARS_PER_PAUSE;
    std::vector<uint8_t> m_payload;
    std::vector<uint8_t> m_large;                  // the large payload arriving
    std::vector<uint8_t>* m_delivering = nullptr;  // the payload being handed on
    KV_Addr_Tgm m_tgm; // the net variable being handed on
    size_t m_tgm_length = 0;
};
