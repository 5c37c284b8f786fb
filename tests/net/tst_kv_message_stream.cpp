#include <QtTest>

#include <chrono>
#include <cstring>
#include <functional>
#include <numeric>
#include <string>

#include "kv_cipher.h"
#include "kv_message_stream.h"
#include "test_controller.h"
#include "../app/kv_trace_capture.h"

namespace {
struct Delivered {
    uint32_t id = 0;
    std::string payload; // for net variables "main/middle/sub=first value byte"
    bool operator==(const Delivered&) const = default;
};

std::vector<uint8_t> frame(uint32_t id, const std::string& payload, const unsigned char* key = KV_MESSAGE_KEY)
{
    KV_Cipher encipher(KV_Cipher::Direction::Encipher, key);
    std::vector<uint8_t> out;
    kv_frame_message(encipher, id, payload.data(), static_cast<uint32_t>(payload.size()), out);
    return out;
}

std::vector<uint8_t> frame_netvar(uint32_t main, uint32_t middle, uint32_t sub, uint8_t value)
{
    return frame(kv_msg::NETVAR, netvar_payload(test_netvar(main, middle, sub, value)));
}

// A header enciphered on its own, for headers no sender makes.
std::vector<uint8_t> raw_header(uint32_t id, uint32_t size, uint32_t data_length, uint32_t cob_id = KV_COB_ID)
{
    CKV_Network_Msg header = kv_make_header(id, 0);
    header.size = size;
    header.data_length = data_length;
    header.cob_id = cob_id;
    std::vector<uint8_t> out(32);
    std::memcpy(out.data(), &header, 32);
    KV_Cipher(KV_Cipher::Direction::Encipher).apply(out.data(), out.size());
    return out;
}

void append(std::vector<uint8_t>& stream, const std::vector<uint8_t>& piece)
{
    stream.insert(stream.end(), piece.begin(), piece.end());
}

struct Recorder {
    KV_Message_Stream stream;
    std::vector<Delivered> delivered;
    bool payloads_terminated = true;
    std::function<void(CKV_Network_Msg*, uint8_t*)> also; // runs inside the handler, after the recording

    Recorder()
    {
        stream.set_message_handler([this](CKV_Network_Msg* header, uint8_t* payload) {
            delivered.push_back({header->id, payload ? std::string(reinterpret_cast<char*>(payload), header->data_length)
                                                     : std::string()});
            payloads_terminated &= !payload || payload[header->size] == 0;
            if (also)
                also(header, payload);
        });
        stream.set_netvar_handler([this](const KV_Addr_Tgm& tgm) {
            delivered.push_back({kv_msg::NETVAR, std::to_string(tgm.dest_address[0]) + "/" +
                                                     std::to_string(tgm.dest_address[1]) + "/" +
                                                     std::to_string(tgm.dest_address[2]) + "=" +
                                                     std::to_string(tgm.value[0])});
        });
    }
    void feed(const std::vector<uint8_t>& bytes, size_t from = 0, size_t to = SIZE_MAX)
    {
        to = std::min(to, bytes.size());
        if (from < to)
            stream.feed(bytes.data() + from, to - from);
    }
};

// Messages of different shapes and the order they must come out in; the last
// payload has no NUL of its own.
std::vector<uint8_t> sample_stream(std::vector<Delivered>& expected)
{
    std::vector<uint8_t> bytes;
    const std::string text("kiro_vantor_boot_project.kvp", 29);
    append(bytes, frame(kv_msg::FILE_REQUEST, text));
    append(bytes, frame_netvar(1, 2, 3, 1));
    append(bytes, frame(kv_msg::KEEP_ALIVE, ""));
    append(bytes, frame(600, std::string(16, 'x')));
    expected = {{kv_msg::FILE_REQUEST, text}, {kv_msg::NETVAR, "1/2/3=1"}, {kv_msg::KEEP_ALIVE, ""},
                {600, std::string(16, 'x')}};
    return bytes;
}
} // namespace

class TestKvMessageStream : public QObject {
    Q_OBJECT
private slots:
    void split_at_every_byte_position()
    {
        std::vector<Delivered> expected;
        const std::vector<uint8_t> bytes = sample_stream(expected);
        for (size_t cut = 0; cut <= bytes.size(); ++cut) {
            Recorder r;
            r.feed(bytes, 0, cut);
            r.feed(bytes, cut);
            QVERIFY2(r.delivered == expected, qPrintable(QString("cut at %1").arg(cut)));
            QVERIFY(r.payloads_terminated);
            QCOMPARE(r.stream.buffered_bytes(), size_t(0));
            QVERIFY(!r.stream.has_pending_header());
        }
    }

    void bad_headers_drop_buffered_input_and_recover_data()
    {
        QTest::addColumn<QByteArray>("bad");
        QTest::addColumn<QByteArray>("expected_line");
        const auto bytes = [](const std::vector<uint8_t>& v) { return QByteArray(reinterpret_cast<const char*>(v.data()), v.size()); };
        const unsigned char other_key[32] = {'w', 'r', 'o', 'n', 'g'};
        const QByteArray implausible = "NETWORK_CLIENT::implausible header";
        QTest::newRow("wrong cob_id") << bytes(raw_header(kv_msg::KEEP_ALIVE, 0, 0, 4711))
                                      << QByteArray("NETWORK_CLIENT::unknown cob_id: 4711");
        QTest::newRow("foreign key") << bytes(frame(kv_msg::LOGIN_ACCEPTED, "", other_key))
                                     << QByteArray("NETWORK_CLIENT::unknown cob_id");
        QTest::newRow("size beyond any sender")
            << bytes(raw_header(kv_msg::FILE, KV_MSG_MAX_SIZE + 16, KV_MSG_MAX_SIZE)) << implausible;
        QTest::newRow("size all ones") << bytes(raw_header(kv_msg::FILE, 0xFFFFFFF0u, 0xFFFFFFF0u)) << implausible;
        QTest::newRow("size not whole blocks") << bytes(raw_header(600, 17, 17)) << implausible;
        QTest::newRow("data_length beyond size") << bytes(raw_header(600, 16, 17)) << implausible;
        QTest::newRow("netvar beyond its structure")
            << bytes(raw_header(kv_msg::NETVAR, 304, 301)) << QByteArray("NETWORK_CLIENT::net variable too long: 301");
    }
    void bad_headers_drop_buffered_input_and_recover()
    {
        QFETCH(QByteArray, bad);
        QFETCH(QByteArray, expected_line);
        std::vector<uint8_t> bytes(bad.begin(), bad.end());
        append(bytes, frame(kv_msg::KEEP_ALIVE, ""));
        Recorder r;
        Trace_Capture trace;
        r.feed(bytes);
        QVERIFY(r.delivered.empty());
        QCOMPARE(r.stream.buffered_bytes(), size_t(0));
        QVERIFY(!r.stream.has_pending_header());
        const QByteArray lines = trace.text();
        QVERIFY2(lines.contains("ERR:ZRQ") && lines.contains(expected_line), lines.constData());

        r.feed(frame(kv_msg::LOGGED_IN, ""));
        QVERIFY(r.delivered == (std::vector<Delivered>{{kv_msg::LOGGED_IN, ""}}));
    }

    // Payloads up to the largest a message holds are handed over whole.
    void large_payload_is_handed_over_whole_and_in_order()
    {
        static_assert(KV_MSG_MAX_DATA_LENGTH > KV_Message_Stream::LARGE_PAYLOAD);
        std::string large(KV_MSG_MAX_DATA_LENGTH, '\0');
        for (size_t i = 0; i < large.size(); ++i)
            large[i] = char(i * 7 % 251);
        std::vector<uint8_t> bytes;
        append(bytes, frame_netvar(1, 2, 3, 1));
        append(bytes, frame(kv_msg::FILE, large));
        append(bytes, frame(kv_msg::KEEP_ALIVE, ""));
        append(bytes, frame(kv_msg::FILE, large));
        Recorder r;
        std::vector<std::vector<uint8_t>> taken;
        bool same_buffer = true;
        r.also = [&](CKV_Network_Msg* header, uint8_t* payload) {
            if (header->id == kv_msg::FILE) {
                taken.push_back(r.stream.take_payload());
                same_buffer &= taken.back().data() == payload && taken.back()[header->size] == 0;
            }
        };
        for (size_t at = 0; at < bytes.size(); at += 4099)
            r.feed(bytes, at, at + 4099);
        QVERIFY(r.delivered == (std::vector<Delivered>{{kv_msg::NETVAR, "1/2/3=1"}, {kv_msg::FILE, large},
                                                       {kv_msg::KEEP_ALIVE, ""}, {kv_msg::FILE, large}}));
        QVERIFY(same_buffer);
        QCOMPARE(taken.size(), size_t(2));
        QCOMPARE(r.stream.buffered_bytes(), size_t(0));
        QVERIFY(r.stream.take_payload().empty()); // only inside a handler
    }

    void netvar_without_value_or_address_is_dropped_quietly()
    {
        std::vector<uint8_t> bytes = frame_netvar(0, 0, 0, 1);
        append(bytes, frame(kv_msg::NETVAR, std::string(44, '\x01')));
        append(bytes, frame_netvar(3, 4, 5, 0));
        Recorder r;
        Trace_Capture trace;
        r.feed(bytes);
        QVERIFY(r.delivered == (std::vector<Delivered>{{kv_msg::NETVAR, "3/4/5=0"}}));
        QVERIFY(trace.text().isEmpty());
    }

    void netvar_carries_every_field_and_zero_beyond_its_length()
    {
        KV_Addr_Tgm sent;
        sent.command = KV_TGM_WRITE;
        sent.dest_address[0] = 31;
        sent.dest_address[1] = 7;
        sent.dest_address[2] = 255;
        sent.source_address[2] = 250;
        sent.data_type = 15;
        sent.m_data_length = 255;
        std::memset(sent.value, 'v', sizeof sent.value);
        KV_Addr_Tgm received;
        KV_Message_Stream stream;
        stream.set_netvar_handler([&](const KV_Addr_Tgm& tgm) { received = tgm; });
        QCOMPARE(kv_netvar_data_length(sent), 300u);
        std::vector<uint8_t> bytes = frame(kv_msg::NETVAR, std::string(reinterpret_cast<const char*>(&sent), 300));
        stream.feed(bytes.data(), bytes.size());
        QCOMPARE(std::memcmp(&sent, &received, 300), 0);

        // A one-byte value: what lies beyond it is never sent and reads as zero.
        QCOMPARE(kv_netvar_data_length(test_netvar(1, 1, 1, 9)), 46u);
        bytes = frame_netvar(1, 1, 1, 9);
        stream.feed(bytes.data(), bytes.size());
        QCOMPARE(received.value[0], uint8_t(9));
        QCOMPARE(received.value[2], uint8_t(0));
    }

    void pause_after_every_102nd_netvar()
    {
        std::vector<uint8_t> bytes;
        for (int i = 0; i < 250; ++i) {
            append(bytes, frame_netvar(1, 1, 1 + i, 0));
            if (i == 100)
                append(bytes, frame_netvar(0, 0, 0, 0)); // dropped, not counted
        }
        KV_Message_Stream stream;
        int netvars = 0;
        std::vector<int> pauses_at;
        stream.set_netvar_handler([&](const KV_Addr_Tgm&) { ++netvars; });
        stream.set_pause_hook([&] { pauses_at.push_back(netvars); });
        stream.feed(bytes.data(), bytes.size() / 2);
        stream.feed(bytes.data() + bytes.size() / 2, bytes.size() - bytes.size() / 2);
        QCOMPARE(netvars, 250);
        QCOMPARE(pauses_at, (std::vector<int>{102, 204}));
    }

    void handlers_may_reset_or_feed_the_stream()
    {
        std::vector<Delivered> expected;
        const std::vector<uint8_t> bytes = sample_stream(expected);
        Recorder r;
        r.also = [&](CKV_Network_Msg*, uint8_t*) { r.stream.reset(); };
        r.feed(bytes);
        QCOMPARE(r.delivered.size(), size_t(1));
        QCOMPARE(r.stream.buffered_bytes(), size_t(0));

        // Fed from a handler, bytes queue behind the message being delivered.
        std::vector<uint8_t> two = frame(kv_msg::LOGIN_ACCEPTED, "");
        append(two, frame(kv_msg::KEEP_ALIVE, ""));
        const std::vector<uint8_t> later = frame(kv_msg::LOGGED_IN, "");
        KV_Message_Stream stream;
        std::vector<uint32_t> ids;
        stream.set_message_handler([&](CKV_Network_Msg* header, uint8_t*) {
            ids.push_back(header->id);
            if (header->id == kv_msg::LOGIN_ACCEPTED) {
                // Split inside a block to exercise the queued partial block.
                stream.feed(later.data(), 5);
                stream.feed(later.data() + 5, later.size() - 5);
            }
        });
        stream.feed(two.data(), two.size());
        QCOMPARE(ids, (std::vector<uint32_t>{kv_msg::LOGIN_ACCEPTED, kv_msg::KEEP_ALIVE, kv_msg::LOGGED_IN}));
    }

    void cipher_is_aes256_ecb()
    {
        // FIPS-197 known answer, then ECB: equal blocks give equal cipher blocks.
        uint8_t key[32];
        std::iota(key, key + 32, uint8_t(0));
        QByteArray block = QByteArray::fromHex("00112233445566778899aabbccddeeff").repeated(2);
        auto* data = reinterpret_cast<uint8_t*>(block.data());
        QVERIFY(KV_Cipher(KV_Cipher::Direction::Encipher, key).apply(data, 32));
        QCOMPARE(block.toHex(), QByteArray("8ea2b7ca516745bfeafc49904b496089").repeated(2));
        QVERIFY(KV_Cipher(KV_Cipher::Direction::Decipher, key).apply(data, 32));
        QCOMPARE(block.toHex(), QByteArray("00112233445566778899aabbccddeeff").repeated(2));
        QVERIFY(!KV_Cipher(KV_Cipher::Direction::Encipher).apply(data, 17));
    }

    void frame_is_header_and_zero_filled_blocks()
    {
        const auto now_usec = [] {
            using namespace std::chrono;
            return duration_cast<microseconds>(system_clock::now().time_since_epoch()).count();
        };
        const int cases[][2] = {{0, 32}, {16, 48}, {17, 64}}; // payload length, frame size
        for (const auto& [length, frame_size] : cases) {
            const std::string payload(length, 'p');
            KV_Cipher encipher(KV_Cipher::Direction::Encipher);
            std::vector<uint8_t> frame;
            const int64_t before = now_usec();
            QVERIFY(kv_frame_message(encipher, 600, payload.data(), length, frame));
            QCOMPARE(int(frame.size()), frame_size);

            QVERIFY(KV_Cipher(KV_Cipher::Direction::Decipher).apply(frame.data(), frame.size()));
            CKV_Network_Msg header;
            std::memcpy(&header, frame.data(), sizeof header);
            QCOMPARE(header.id, 600u);
            QCOMPARE(int(header.size), frame_size - 32);
            QCOMPARE(int(header.data_length), length);
            QCOMPARE(header.cob_id, 8562u);
            const std::string fill(frame_size - 32 - length, '\0');
            QCOMPARE(std::string(frame.begin() + 32, frame.end()), payload + fill);
            const int64_t sent = header.time_sec * 1000000 + header.time_usec;
            QVERIFY(header.time_usec >= 0 && header.time_usec < 1000000);
            QVERIFY(sent >= before && sent - before < 5000000);
        }
    }

    void size_limit_is_header_plus_payload()
    {
        std::vector<uint8_t> payload(KV_MSG_MAX_DATA_LENGTH + 1, 0x5a);
        KV_Cipher encipher(KV_Cipher::Direction::Encipher);
        std::vector<uint8_t> frame;
        QVERIFY(kv_frame_message(encipher, kv_msg::FILE, payload.data(), 16777183, frame));
        QCOMPARE(frame.size(), size_t(32 + 16777184));

        Trace_Capture trace;
        QVERIFY(!kv_frame_message(encipher, kv_msg::FILE, payload.data(), 16777184, frame));
        QVERIFY(frame.empty());
        QVERIFY(!kv_frame_message(encipher, kv_msg::FILE, payload.data(), 0xFFFFFFFFu, frame));
        const QByteArray lines = trace.text();
        QVERIFY2(lines.contains("MSG:ZRQ") &&
                     lines.contains("NETWORK_CLIENT::SEND_MSG - MESSAGE SIZE TOO BIG: ID: 26, SIZE: 16777184"),
                 lines.constData());
    }
};

QTEST_GUILESS_MAIN(TestKvMessageStream)
#include "tst_kv_message_stream.moc"
