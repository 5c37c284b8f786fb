#include <QtTest>

#include <chrono>
#include <cstring>

#include "kv_cipher.h"
#include "kv_network_msg.h"
#include "trace_capture.h"

namespace {
QByteArray hex(const uint8_t* data, size_t length)
{
    return QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(length)).toHex();
}

// Deciphers a framed message and returns its header; the payload stays in out.
CKV_Network_Msg decipher_frame(std::vector<uint8_t>& frame)
{
    KV_Cipher decipher(KV_Cipher::Direction::Decipher);
    decipher.apply(frame.data(), frame.size());
    CKV_Network_Msg header;
    std::memcpy(&header, frame.data(), sizeof header);
    return header;
}
} // namespace

class TestKvNetworkMsg : public QObject {
    Q_OBJECT
private slots:
    void cipher_matches_fips197_aes256_vector()
    {
        uint8_t key[32];
        for (int i = 0; i < 32; ++i)
            key[i] = static_cast<uint8_t>(i);
        const QByteArray plain = QByteArray::fromHex("00112233445566778899aabbccddeeff");
        const QByteArray cipher = QByteArray::fromHex("8ea2b7ca516745bfeafc49904b496089");

        uint8_t block[16];
        std::memcpy(block, plain.constData(), 16);
        KV_Cipher encipher(KV_Cipher::Direction::Encipher, key);
        QVERIFY(encipher.apply(block, 16));
        QCOMPARE(hex(block, 16), cipher.toHex());

        KV_Cipher decipher(KV_Cipher::Direction::Decipher, key);
        QVERIFY(decipher.apply(block, 16));
        QCOMPARE(hex(block, 16), plain.toHex());
    }

    void cipher_treats_every_block_alone_and_keeps_its_context()
    {
        // ECB: equal blocks give equal cipher blocks, whether enciphered in
        // one call or one block per call with the same context.
        uint8_t plain[64];
        for (int i = 0; i < 64; ++i)
            plain[i] = static_cast<uint8_t>(i % 16);
        uint8_t whole[64];
        KV_Cipher encipher(KV_Cipher::Direction::Encipher);
        QVERIFY(encipher.apply(plain, whole, 64));
        for (int b = 1; b < 4; ++b)
            QCOMPARE(hex(whole + 16 * b, 16), hex(whole, 16));
        uint8_t blockwise[64];
        for (int b = 0; b < 4; ++b)
            QVERIFY(encipher.apply(plain + 16 * b, blockwise + 16 * b, 16));
        QCOMPARE(hex(blockwise, 64), hex(whole, 64));

        KV_Cipher decipher(KV_Cipher::Direction::Decipher);
        QVERIFY(decipher.apply(whole, 64));
        QCOMPARE(hex(whole, 64), hex(plain, 64));
    }

    void cipher_refuses_partial_blocks()
    {
        uint8_t data[32] = {};
        KV_Cipher encipher(KV_Cipher::Direction::Encipher);
        QVERIFY(!encipher.apply(data, 15));
        QVERIFY(!encipher.apply(data, 17));
        QVERIFY(encipher.apply(data, 0));
    }

    void wire_size_rounds_up_to_whole_blocks()
    {
        QCOMPARE(kv_wire_size(0), 0u);
        QCOMPARE(kv_wire_size(1), 16u);
        QCOMPARE(kv_wire_size(16), 16u);
        QCOMPARE(kv_wire_size(17), 32u);
        QCOMPARE(KV_MSG_MAX_DATA_LENGTH, 16777183u);
        QCOMPARE(KV_MSG_MAX_SIZE, 16777184u);
    }

    void bare_message_is_one_enciphered_header()
    {
        KV_Cipher encipher(KV_Cipher::Direction::Encipher);
        std::vector<uint8_t> frame;
        const auto before = std::chrono::system_clock::now();
        QVERIFY(kv_frame_message(encipher, kv_msg::KEEP_ALIVE, nullptr, 0, frame));
        QCOMPARE(frame.size(), size_t(32));

        const CKV_Network_Msg header = decipher_frame(frame);
        QCOMPARE(header.id, kv_msg::KEEP_ALIVE);
        QCOMPARE(header.size, 0u);
        QCOMPARE(header.data_length, 0u);
        QCOMPARE(header.cob_id, 8562u);
        const int64_t sent_usec = header.time_sec * 1000000 + header.time_usec;
        const int64_t before_usec =
            std::chrono::duration_cast<std::chrono::microseconds>(before.time_since_epoch()).count();
        QVERIFY(header.time_usec >= 0 && header.time_usec < 1000000);
        QVERIFY(sent_usec >= before_usec && sent_usec - before_usec < 5000000);
    }

    void text_payload_gets_zero_fill_bytes()
    {
        const char text[] = "0123456789abcdef"; // 16 characters and the NUL
        KV_Cipher encipher(KV_Cipher::Direction::Encipher);
        std::vector<uint8_t> frame;
        QVERIFY(kv_frame_message(encipher, kv_msg::FILE_REQUEST, text, 17, frame));
        QCOMPARE(frame.size(), size_t(32 + 32));
        const CKV_Network_Msg header = decipher_frame(frame);
        QCOMPARE(header.size, 32u);
        QCOMPARE(header.data_length, 17u);
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(frame.data() + 32), 17), QByteArray(text, 17));
        for (size_t i = 32 + 17; i < frame.size(); ++i)
            QCOMPARE(frame[i], uint8_t(0));
    }

    void whole_block_payload_has_no_fill()
    {
        const uint8_t payload[16] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
        KV_Cipher encipher(KV_Cipher::Direction::Encipher);
        std::vector<uint8_t> frame;
        QVERIFY(kv_frame_message(encipher, 600, payload, 16, frame));
        QCOMPARE(frame.size(), size_t(48));
        const CKV_Network_Msg header = decipher_frame(frame);
        QCOMPARE(header.size, 16u);
        QCOMPARE(hex(frame.data() + 32, 16), hex(payload, 16));
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
        tgm.m_data_length = 1;
        QCOMPARE(kv_netvar_data_length(tgm), 46u);
        tgm.m_data_length = 255;
        QCOMPARE(kv_netvar_data_length(tgm), 300u);
        tgm.m_data_length = 256;
        QCOMPARE(kv_netvar_data_length(tgm), 0u);
    }
};

QTEST_GUILESS_MAIN(TestKvNetworkMsg)
#include "tst_kv_network_msg.moc"
