#include <QtTest>

#include <cstring>
#include <string>

#include "kv_cipher.h"
#include "kv_message_stream.h"
#include "trace_capture.h"

namespace {
// One delivered message as the tests compare it.
struct Delivered {
    uint32_t id = 0;
    std::string payload; // data_length bytes; for net variables the dest address and first value byte
    bool operator==(const Delivered&) const = default;
};

std::vector<uint8_t> frame(uint32_t id, const std::string& payload, const unsigned char* key = KV_MESSAGE_KEY)
{
    KV_Cipher encipher(KV_Cipher::Direction::Encipher, key);
    std::vector<uint8_t> out;
    kv_frame_message(encipher, id, payload.data(), static_cast<uint32_t>(payload.size()), out);
    return out;
}

KV_Addr_Tgm netvar(uint32_t main, uint32_t middle, uint32_t sub, uint8_t value)
{
    KV_Addr_Tgm tgm;
    tgm.source_module = 2;
    tgm.dest_module = 4;
    tgm.command = KV_TGM_WRITE;
    tgm.dest_address[0] = main;
    tgm.dest_address[1] = middle;
    tgm.dest_address[2] = sub;
    tgm.data_type = 1;
    tgm.m_data_length = 1;
    tgm.value[0] = value;
    return tgm;
}

std::vector<uint8_t> frame_netvar(const KV_Addr_Tgm& tgm)
{
    return frame(kv_msg::NETVAR, std::string(reinterpret_cast<const char*>(&tgm), kv_netvar_data_length(tgm)));
}

// A header enciphered on its own, for headers no sender makes.
std::vector<uint8_t> raw_header(uint32_t id, uint32_t size, uint32_t data_length, uint32_t cob_id)
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

std::string tgm_summary(const KV_Addr_Tgm& tgm)
{
    return std::to_string(tgm.dest_address[0]) + "/" + std::to_string(tgm.dest_address[1]) + "/" +
           std::to_string(tgm.dest_address[2]) + "=" + std::to_string(tgm.value[0]);
}

// A stream with handlers that record what comes out.
struct Recorder {
    KV_Message_Stream stream;
    std::vector<Delivered> delivered;
    std::vector<bool> payload_terminated;

    Recorder()
    {
        stream.set_message_handler([this](CKV_Network_Msg* header, uint8_t* payload) {
            delivered.push_back({header->id, payload ? std::string(reinterpret_cast<char*>(payload), header->data_length)
                                                     : std::string()});
            payload_terminated.push_back(!payload || payload[header->size] == 0);
        });
        stream.set_netvar_handler([this](const KV_Addr_Tgm& tgm) {
            delivered.push_back({kv_msg::NETVAR, tgm_summary(tgm)});
        });
    }
    void feed(const std::vector<uint8_t>& bytes, size_t from = 0, size_t to = SIZE_MAX)
    {
        to = std::min(to, bytes.size());
        if (from < to)
            stream.feed(bytes.data() + from, to - from);
    }
};

// Three messages of different shapes and the order they must come out in.
std::vector<uint8_t> sample_stream(std::vector<Delivered>& expected)
{
    std::vector<uint8_t> bytes;
    const std::string text("kiro_vantor_boot_project.kvp", 29);
    append(bytes, frame(kv_msg::FILE_REQUEST, text));
    append(bytes, frame_netvar(netvar(1, 2, 3, 1)));
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
    void several_messages_in_one_piece()
    {
        std::vector<Delivered> expected;
        const std::vector<uint8_t> bytes = sample_stream(expected);
        Recorder r;
        r.feed(bytes);
        QVERIFY(r.delivered == expected);
        QCOMPARE(r.stream.buffered_bytes(), size_t(0));
        QVERIFY(!r.stream.has_pending_header());
        for (bool terminated : r.payload_terminated)
            QVERIFY(terminated);
    }

    void split_at_every_byte_position()
    {
        std::vector<Delivered> expected;
        const std::vector<uint8_t> bytes = sample_stream(expected);
        for (size_t cut = 0; cut <= bytes.size(); ++cut) {
            Recorder r;
            r.feed(bytes, 0, cut);
            r.feed(bytes, cut);
            QVERIFY2(r.delivered == expected, qPrintable(QString("cut at %1").arg(cut)));
            QCOMPARE(r.stream.buffered_bytes(), size_t(0));
        }
    }

    void split_at_every_pair_of_positions()
    {
        std::vector<Delivered> expected;
        const std::vector<uint8_t> bytes = sample_stream(expected);
        for (size_t first = 0; first <= bytes.size(); first += 3) {
            for (size_t second = first; second <= bytes.size(); ++second) {
                Recorder r;
                r.feed(bytes, 0, first);
                r.feed(bytes, first, second);
                r.feed(bytes, second);
                QVERIFY2(r.delivered == expected, qPrintable(QString("cuts at %1, %2").arg(first).arg(second)));
            }
        }
    }

    void one_byte_at_a_time()
    {
        std::vector<Delivered> expected;
        const std::vector<uint8_t> bytes = sample_stream(expected);
        Recorder r;
        for (size_t i = 0; i < bytes.size(); ++i) {
            r.feed(bytes, i, i + 1);
            // A message comes out with its last byte, not before.
            QVERIFY(r.delivered.size() <= expected.size());
        }
        QVERIFY(r.delivered == expected);
    }

    void text_payload_without_nul_still_ends()
    {
        Recorder r;
        r.feed(frame(1103, std::string(16, '1')));
        QCOMPARE(r.delivered.size(), size_t(1));
        QVERIFY(r.payload_terminated[0]);
    }

    void wrong_cob_id_drops_buffered_input_and_recovers()
    {
        std::vector<uint8_t> bytes = raw_header(kv_msg::KEEP_ALIVE, 0, 0, 4711);
        append(bytes, frame(kv_msg::KEEP_ALIVE, ""));
        Recorder r;
        Trace_Capture trace;
        r.feed(bytes);
        QVERIFY(r.delivered.empty());
        QCOMPARE(r.stream.buffered_bytes(), size_t(0));
        QVERIFY(!r.stream.has_pending_header());
        QVERIFY(trace.text().contains("NETWORK_CLIENT::unknown cob_id: 4711"));

        r.feed(frame(kv_msg::LOGGED_IN, ""));
        QCOMPARE(r.delivered.size(), size_t(1));
        QCOMPARE(r.delivered[0].id, kv_msg::LOGGED_IN);
    }

    void foreign_key_is_rejected()
    {
        const unsigned char other_key[32] = {'w', 'r', 'o', 'n', 'g'};
        Recorder r;
        Trace_Capture trace;
        r.feed(frame(kv_msg::LOGIN_ACCEPTED, "", other_key));
        QVERIFY(r.delivered.empty());
        QVERIFY(trace.text().contains("NETWORK_CLIENT::unknown cob_id"));
        QCOMPARE(r.stream.buffered_bytes(), size_t(0));
    }

    void implausible_headers_drop_buffered_input_and_recover_data()
    {
        QTest::addColumn<uint32_t>("id");
        QTest::addColumn<uint32_t>("size");
        QTest::addColumn<uint32_t>("data_length");
        QTest::addColumn<QByteArray>("expected_line");
        const QByteArray implausible = "NETWORK_CLIENT::implausible header";
        QTest::newRow("size beyond any sender") << kv_msg::FILE << (KV_MSG_MAX_SIZE + 16) << KV_MSG_MAX_SIZE << implausible;
        QTest::newRow("size all ones") << kv_msg::FILE << 0xFFFFFFF0u << 0xFFFFFFF0u << implausible;
        QTest::newRow("size not whole blocks") << 600u << 17u << 17u << implausible;
        QTest::newRow("data_length beyond size") << 600u << 16u << 17u << implausible;
        QTest::newRow("netvar with size beyond any sender") << kv_msg::NETVAR << 0xFFFFFFF0u << 46u << implausible;
        QTest::newRow("netvar beyond its structure")
            << kv_msg::NETVAR << 304u << 301u << QByteArray("NETWORK_CLIENT::net variable too long: 301");
    }
    void implausible_headers_drop_buffered_input_and_recover()
    {
        QFETCH(uint32_t, id);
        QFETCH(uint32_t, size);
        QFETCH(uint32_t, data_length);
        std::vector<uint8_t> bytes = raw_header(id, size, data_length, KV_COB_ID);
        append(bytes, frame(kv_msg::KEEP_ALIVE, ""));
        Recorder r;
        Trace_Capture trace;
        r.feed(bytes);
        QVERIFY(r.delivered.empty());
        QCOMPARE(r.stream.buffered_bytes(), size_t(0));
        QVERIFY(!r.stream.has_pending_header());
        const QByteArray lines = trace.text();
        QFETCH(QByteArray, expected_line);
        QVERIFY2(lines.contains("ERR:ZRQ") && lines.contains(expected_line), lines.constData());

        r.feed(frame(kv_msg::KEEP_ALIVE, ""));
        QCOMPARE(r.delivered.size(), size_t(1));
    }
    void largest_message_is_accepted()
    {
        std::string content(KV_MSG_MAX_DATA_LENGTH, 'p');
        content[0] = 'q';
        const std::vector<uint8_t> bytes = frame(kv_msg::FILE, content);
        Recorder r;
        for (size_t at = 0; at < bytes.size(); at += 65536)
            r.feed(bytes, at, at + 65536);
        QCOMPARE(r.delivered.size(), size_t(1));
        QCOMPARE(r.delivered[0].payload.size(), content.size());
        QVERIFY(r.delivered[0].payload == content);
    }

    void netvar_without_value_or_address_is_dropped_quietly()
    {
        KV_Addr_Tgm no_address = netvar(0, 0, 0, 1);
        std::vector<uint8_t> bytes = frame_netvar(no_address);
        append(bytes, frame(kv_msg::NETVAR, std::string(44, '\x01')));
        append(bytes, frame_netvar(netvar(3, 4, 5, 0)));
        Recorder r;
        Trace_Capture trace;
        r.feed(bytes);
        QCOMPARE(r.delivered.size(), size_t(1));
        QCOMPARE(r.delivered[0].payload, std::string("3/4/5=0"));
        QVERIFY(trace.text().isEmpty());
    }

    void netvar_carries_every_field_and_zero_beyond_its_length()
    {
        KV_Addr_Tgm sent = netvar(31, 7, 255, 0);
        sent.source_address[0] = 1;
        sent.source_address[1] = 1;
        sent.source_address[2] = 250;
        sent.data_type = 15;
        sent.m_data_length = 255;
        std::memset(sent.value, 'v', sizeof sent.value);
        KV_Addr_Tgm received;
        KV_Message_Stream stream;
        stream.set_netvar_handler([&](const KV_Addr_Tgm& tgm) { received = tgm; });
        const std::vector<uint8_t> bytes = frame(kv_msg::NETVAR, std::string(reinterpret_cast<const char*>(&sent), 300));
        stream.feed(bytes.data(), bytes.size());
        QCOMPARE(std::memcmp(&sent, &received, 300), 0);

        KV_Addr_Tgm short_one = netvar(1, 1, 1, 9);
        short_one.value[2] = 0xee; // beyond m_data_length + 1: never sent
        const std::vector<uint8_t> short_bytes = frame_netvar(short_one);
        stream.feed(short_bytes.data(), short_bytes.size());
        QCOMPARE(received.value[0], uint8_t(9));
        QCOMPARE(received.value[2], uint8_t(0));
    }

    void pause_after_every_102nd_netvar()
    {
        std::vector<uint8_t> bytes;
        for (int i = 0; i < 250; ++i) {
            append(bytes, frame_netvar(netvar(1, 1, 1 + i, 0)));
            if (i == 100)
                append(bytes, frame_netvar(netvar(0, 0, 0, 0))); // dropped, not counted
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

    void reset_from_a_handler_stops_delivery()
    {
        std::vector<Delivered> expected;
        const std::vector<uint8_t> bytes = sample_stream(expected);
        Recorder r;
        r.stream.set_message_handler([&](CKV_Network_Msg* header, uint8_t*) {
            r.delivered.push_back({header->id, {}});
            r.stream.reset();
        });
        r.feed(bytes);
        QCOMPARE(r.delivered.size(), size_t(1));
        QCOMPARE(r.stream.buffered_bytes(), size_t(0));
    }

    void feeding_from_a_handler_queues_behind_the_current_message()
    {
        const std::vector<uint8_t> first = frame(kv_msg::LOGIN_ACCEPTED, "");
        std::vector<uint8_t> later = frame(kv_msg::LOGGED_IN, "");
        const std::vector<uint8_t> after_first = frame(kv_msg::KEEP_ALIVE, "");
        std::vector<uint8_t> bytes = first;
        append(bytes, after_first);
        KV_Message_Stream stream;
        std::vector<uint32_t> ids;
        stream.set_message_handler([&](CKV_Network_Msg* header, uint8_t*) {
            ids.push_back(header->id);
            if (header->id == kv_msg::LOGIN_ACCEPTED) {
                // Split across a block to exercise the queued partial block.
                stream.feed(later.data(), 5);
                stream.feed(later.data() + 5, later.size() - 5);
            }
        });
        stream.feed(bytes.data(), bytes.size());
        QCOMPARE(ids, (std::vector<uint32_t>{kv_msg::LOGIN_ACCEPTED, kv_msg::KEEP_ALIVE, kv_msg::LOGGED_IN}));
    }
};

QTEST_GUILESS_MAIN(TestKvMessageStream)
#include "tst_kv_message_stream.moc"
