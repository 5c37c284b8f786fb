#include "kv_cipher.h"

#include <climits>
#include <openssl/evp.h>

#include "kv_trace.h"

const unsigned char KV_MESSAGE_KEY[KV_MESSAGE_KEY_LENGTH] = {
    'k', 'i', 'r', 'o', 'v', 'a', 'n', 't', 'o', 'r', '3', '-', 'z', 'r', 'q', '-',
    'm', 'e', 's', 's', 'a', 'g', 'e', '-', 'k', 'e', 'y', '-', '2', '0', '2', '6',
};

KV_Cipher::KV_Cipher(Direction direction, const unsigned char* key)
    : m_ctx(EVP_CIPHER_CTX_new())
{
    const int enc = direction == Direction::Encipher ? 1 : 0;
    if (!m_ctx || EVP_CipherInit_ex(m_ctx, EVP_aes_256_ecb(), nullptr, key, nullptr, enc) != 1 ||
        EVP_CIPHER_CTX_set_padding(m_ctx, 0) != 1) {
        TRACE(kv_trace::LEVEL_ERR, kv_trace::AREA_ZRQ, "CIPHER: cannot set up AES-256-ECB\n");
        EVP_CIPHER_CTX_free(m_ctx);
        m_ctx = nullptr;
    }
}

KV_Cipher::~KV_Cipher()
{
    EVP_CIPHER_CTX_free(m_ctx);
}

bool KV_Cipher::apply(const uint8_t* in, uint8_t* out, size_t length)
{
    if (!m_ctx || length % KV_CIPHER_BLOCK != 0)
        return false;
    // EVP takes int lengths; whole blocks keep ECB independent of the split.
    constexpr size_t chunk = (INT_MAX / KV_CIPHER_BLOCK) * KV_CIPHER_BLOCK;
    while (length > 0) {
        const size_t n = length < chunk ? length : chunk;
        int written = 0;
        if (EVP_CipherUpdate(m_ctx, out, &written, in, static_cast<int>(n)) != 1 ||
            static_cast<size_t>(written) != n)
            return false;
        in += n;
        out += n;
        length -= n;
    }
    return true;
}
