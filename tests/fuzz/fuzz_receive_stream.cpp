// The receive loop on arbitrary byte streams in arbitrary pieces. The input
// is the plain stream (so that the fuzzer can reach valid headers); it is
// enciphered as a sender would, then fed in pieces whose sizes the first
// bytes choose. Checks: what comes out is consistent with its header, and
// feeding the whole stream at once delivers a prefix of what the pieces
// deliver (both parse the same bytes until the first rejection, after which
// the whole stream is dropped but the pieces only lose what was buffered).

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "kv_cipher.h"
#include "kv_message_stream.h"

namespace {
struct Seen {
    uint32_t id;
    uint32_t data_length;
    std::string bytes;
    bool operator==(const Seen&) const = default;
};

std::vector<Seen> run(const std::vector<uint8_t>& stream, const uint8_t* pieces, size_t piece_count)
{
    std::vector<Seen> seen;
    KV_Message_Stream cutter;
    uint64_t pauses = 0;
    cutter.set_message_handler([&](CKV_Network_Msg* header, uint8_t* payload) {
        if (header->cob_id != KV_COB_ID || header->size > KV_MSG_MAX_SIZE || header->data_length > header->size ||
            (header->size == 0) != (payload == nullptr) || (payload && payload[header->size] != 0))
            abort();
        seen.push_back({header->id, header->data_length,
                        payload ? std::string(reinterpret_cast<char*>(payload), header->data_length) : std::string()});
    });
    cutter.set_netvar_handler([&](const KV_Addr_Tgm& tgm) {
        if (tgm.dest_address[0] == 0 && tgm.dest_address[1] == 0 && tgm.dest_address[2] == 0)
            abort();
        seen.push_back({kv_msg::NETVAR, tgm.m_data_length, std::string(reinterpret_cast<const char*>(&tgm), sizeof tgm)});
    });
    cutter.set_pause_hook([&] { ++pauses; });

    size_t at = 0;
    for (size_t i = 0; at < stream.size(); ++i) {
        const size_t piece = piece_count ? 1 + pieces[i % piece_count] : stream.size();
        const size_t n = std::min(piece, stream.size() - at);
        cutter.feed(stream.data() + at, n);
        at += n;
    }
    size_t netvars = 0;
    for (const Seen& s : seen)
        netvars += s.id == kv_msg::NETVAR;
    if (pauses > netvars / KV_Message_Stream::NETVARS_PER_PAUSE)
        abort();
    return seen;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const size_t piece_count = std::min<size_t>(data[0] % 16, size - 1);
    const uint8_t* pieces = data + 1;
    data += 1 + piece_count;
    size -= 1 + piece_count;

    std::vector<uint8_t> stream(data, data + size);
    static KV_Cipher encipher(KV_Cipher::Direction::Encipher);
    encipher.apply(stream.data(), stream.size() / 16 * 16);

    const std::vector<Seen> in_pieces = run(stream, pieces, piece_count);
    const std::vector<Seen> whole = run(stream, nullptr, 0);
    if (whole.size() > in_pieces.size() || !std::equal(whole.begin(), whole.end(), in_pieces.begin()))
        abort();
    return 0;
}
