#include <QtTest>

#include <chrono>
#include <cstring>
#include <numeric>

#include "kv_cipher.h"
#include "kv_network_msg.h"
#include "../app/kv_trace_capture.h"

class TestKvNetworkMsg : public QObject {
    Q_OBJECT
private slots:
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

    void netvar_length_is_value_plus_fixed_part()
    {
        KV_Addr_Tgm tgm;
        const uint32_t cases[][2] = {{1, 46}, {255, 300}, {256, 0}}; // value length, data length
        for (const auto& [value_length, data_length] : cases) {
            tgm.m_data_length = value_length;
            QCOMPARE(kv_netvar_data_length(tgm), data_length);
        }
    }
};

QTEST_GUILESS_MAIN(TestKvNetworkMsg)
#include "tst_kv_network_msg.moc"
