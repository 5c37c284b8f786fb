#pragma once
// The net variable: the value of one group address on its way to or from the
// controller. 300 bytes, integers little-endian, exactly as on the wire.

#include <cstdint>

#pragma pack(push, 1)
struct KV_Addr_Tgm {
    uint32_t source_module = 0;
    uint32_t dest_module = 0;
    uint32_t command = 0; // 0 READ, 1 RESPONSE, 2 WRITE
    uint32_t source_address[3] = {0, 0, 0};
    uint32_t dest_address[3] = {0, 0, 0};
    uint32_t data_type = 0;
    uint32_t m_data_length = 0;
    unsigned char value[255] = {};
    unsigned char alignment = 0;
};
#pragma pack(pop)

static_assert(sizeof(KV_Addr_Tgm) == 300, "net variable layout is part of the wire format");

constexpr uint32_t KV_TGM_READ = 0;
constexpr uint32_t KV_TGM_RESPONSE = 1;
constexpr uint32_t KV_TGM_WRITE = 2;
