#pragma once
// AES-256 in ECB mode under the message key: every 16-byte block of a
// controller message is enciphered on its own, without padding. One object
// per direction keeps its OpenSSL context for its whole life, because setting
// up a context costs more than enciphering a net variable.

#include <cstddef>
#include <cstdint>

typedef struct evp_cipher_ctx_st EVP_CIPHER_CTX;

constexpr size_t KV_CIPHER_BLOCK = 16;
constexpr size_t KV_MESSAGE_KEY_LENGTH = 32;

// The key shared with every controller.
extern const unsigned char KV_MESSAGE_KEY[KV_MESSAGE_KEY_LENGTH];

class KV_Cipher {
public:
    enum class Direction { Encipher, Decipher };

    explicit KV_Cipher(Direction direction, const unsigned char* key = KV_MESSAGE_KEY);
    ~KV_Cipher();
    KV_Cipher(const KV_Cipher&) = delete;
    KV_Cipher& operator=(const KV_Cipher&) = delete;

    // length must be a multiple of 16; in and out may be the same buffer.
    // False when the length is not whole blocks or OpenSSL fails.
    bool apply(const uint8_t* in, uint8_t* out, size_t length);
    bool apply(uint8_t* data, size_t length) { return apply(data, data, length); }

private:
    EVP_CIPHER_CTX* m_ctx = nullptr;
};
