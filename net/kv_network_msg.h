#pragma once
// The 32-byte header in front of every controller message, the message
// identifiers the link itself uses, and the framing of a message for sending.

#include <bit>
#include <cstdint>
#include <vector>

#include "kv_addr_tgm.h"
#include "kv_address.h"

class KV_Addr_Db;
class KV_Cipher;

#pragma pack(push, 1)
struct CKV_Network_Msg {
    uint32_t id = 0;
    uint32_t size = 0;        // payload bytes on the wire, whole cipher blocks
    uint32_t data_length = 0; // meaningful payload bytes
    uint32_t cob_id = 0;
    int64_t time_sec = 0;
    int64_t time_usec = 0;
};
#pragma pack(pop)

static_assert(sizeof(CKV_Network_Msg) == 32, "the header is part of the wire format");
static_assert(std::endian::native == std::endian::little, "headers and net variables are read in place");

constexpr uint32_t KV_COB_ID = 8562;
constexpr uint32_t KV_MSG_HEADER_SIZE = sizeof(CKV_Network_Msg);
// Header plus payload of one message never exceed this.
constexpr uint32_t KV_MSG_LIMIT = 0xFFFFFF;
constexpr uint32_t KV_MSG_MAX_DATA_LENGTH = KV_MSG_LIMIT - KV_MSG_HEADER_SIZE;
// Net variables travel with their value bytes plus one terminating byte.
constexpr uint32_t KV_NETVAR_FIXED_BYTES = 45;
constexpr uint32_t KV_NETVAR_MIN_DATA_LENGTH = 44; // this many or fewer carry no value

// Payload bytes on the wire for data_length meaningful bytes.
constexpr uint64_t kv_wire_size(uint64_t data_length)
{
    return (data_length + 15) / 16 * 16;
}
// The largest payload a sender produces.
constexpr uint32_t KV_MSG_MAX_SIZE = static_cast<uint32_t>(kv_wire_size(KV_MSG_MAX_DATA_LENGTH));

// Message identifiers used by the link, the login and the project download.
namespace kv_msg {
constexpr uint32_t LOGIN = 9;
constexpr uint32_t LOGIN_ACCEPTED = 11;
constexpr uint32_t LOGIN_REFUSED = 12;
constexpr uint32_t NETVAR = 13;
constexpr uint32_t FILE_REQUEST = 25;
constexpr uint32_t FILE = 26;
constexpr uint32_t FILE_MISSING = 27;
constexpr uint32_t FILE_PROGRESS = 28;
constexpr uint32_t PROJECT_RECORD = 30;
constexpr uint32_t PROJECT_HANDLED = 33;
constexpr uint32_t ALIVE = 34;
constexpr uint32_t ALL_SENT = 35;
constexpr uint32_t PROJECT_CHANGED = 103;
constexpr uint32_t CLOCK_SETTINGS = 180;
constexpr uint32_t ALL_SENT_ANSWER = 181;
constexpr uint32_t CLOCK_APPLY = 182;
constexpr uint32_t CLOCK_APPLY_2 = 183;
constexpr uint32_t SCENE_SETTINGS = 192;
constexpr uint32_t SCENE_APPLY = 193;
constexpr uint32_t SCENE_TEXT = 194;
constexpr uint32_t CAMERA_REQUEST = 202; // text: camera GUID
constexpr uint32_t CAMERA_IMAGE = 203;   // camera GUID, ";", image bytes
constexpr uint32_t CAMERA_FAILED = 204;  // text: camera GUID, ";", reason
constexpr uint32_t SNAPSHOT_REQUEST = 1208; // text: snapshot block GUID, ";", n (0 the newest)
constexpr uint32_t PROJECT_REQUEST = 305;
constexpr uint32_t LOGGED_IN = 306;
constexpr uint32_t BLOCK_SHOWN = 600;   // text: a logic block's record, its settings shown
constexpr uint32_t BLOCK_CHANGED = 602; // text: a logic block's record with changed settings
constexpr uint32_t PROJECT_RELOAD = 650;
constexpr uint32_t LOGIN_ONLINE = 1000;
constexpr uint32_t ONLINE_SERIAL_WRONG = 1002;
constexpr uint32_t ONLINE_PASSWORD_WRONG = 1003;
constexpr uint32_t ONLINE_NOT_REGISTERED = 1006;
constexpr uint32_t ONLINE_ACCEPTED = 1007;
constexpr uint32_t ONLINE_SERIALS = 1010;
constexpr uint32_t MAIN_SWITCH = 1103;
constexpr uint32_t SCENE_PAGE_TEXT = 1197; // the scene the page has just stored
constexpr uint32_t CONNECTION_LOST = 1100; // local only, never on the wire
constexpr uint32_t READY = 1198;
constexpr uint32_t KEEP_ALIVE = 2000;
} // namespace kv_msg

// The name under which the controller keeps the boot project.
constexpr const char* KV_BOOT_PROJECT_FILE = "kiro_vantor_boot_project.kvp";
// Message 26: a NUL-padded file name field, then the file content.
constexpr uint32_t KV_FILE_NAME_FIELD = 255;

// A header for id and data_length, stamped with the current time.
CKV_Network_Msg kv_make_header(uint32_t id, uint32_t data_length);

// Header and payload enciphered, ready to write, in out (replaced). Fails,
// leaving out empty and tracing, when the message would exceed KV_MSG_LIMIT.
bool kv_frame_message(KV_Cipher& cipher, uint32_t id, const void* payload, uint32_t data_length,
                      std::vector<uint8_t>& out);

// Payload bytes of a net variable on the wire (before the fill bytes); 0 when
// its m_data_length does not fit the value field.
uint32_t kv_netvar_data_length(const KV_Addr_Tgm& tgm);

// Module numbers the app sends with: itself as source, the controller's server
// as destination.
constexpr uint32_t KV_MODULE_APP = 4;
constexpr uint32_t KV_MODULE_SERVER = 2;

// A WRITE net variable carrying the current value of record, sent from sender.
KV_Addr_Tgm kv_make_netvar(const KV_Addr_Db& record, const KV_Group_Address& sender);
