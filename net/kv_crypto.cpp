#include "kv_crypto.h"

#include "kv_trace.h"

#include <openssl/evp.h>

#include <vector>

namespace kv_crypto {

namespace {
std::string lower_hex(const unsigned char* bytes, int length)
{
    static const char digits[] = "0123456789abcdef";
    std::string hex;
    hex.reserve(size_t(length) * 2);
    for (int i = 0; i < length; ++i) {
        hex += digits[bytes[i] >> 4];
        hex += digits[bytes[i] & 0x0F];
    }
    return hex;
}
} // namespace

std::string md5_hex(std::string_view bytes)
{
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (EVP_Digest(bytes.data(), bytes.size(), digest, &length, EVP_md5(), nullptr) != 1) {
        TRACE(kv_trace::LEVEL_ERR, kv_trace::AREA_ZRQ, "md5: digest refused\n");
        return {};
    }
    return lower_hex(digest, int(length));
}

std::string password_md5(const QString& password)
{
    return md5_hex(password.toLatin1().toStdString());
}

std::string pbkdf2_sha512_hex(std::string_view password, std::string_view salt, int iterations, int key_bytes)
{
    if (iterations < 1 || key_bytes < 1) {
        TRACE(kv_trace::LEVEL_ERR, kv_trace::AREA_ZRQ, "pbkdf2: bad parameters %d/%d\n", iterations, key_bytes);
        return {};
    }
    std::vector<unsigned char> key(static_cast<size_t>(key_bytes));
    if (PKCS5_PBKDF2_HMAC(password.data(), int(password.size()),
                          reinterpret_cast<const unsigned char*>(salt.data()), int(salt.size()), iterations,
                          EVP_sha512(), key_bytes, key.data()) != 1) {
        TRACE(kv_trace::LEVEL_ERR, kv_trace::AREA_ZRQ, "pbkdf2: derivation refused\n");
        return {};
    }
    return lower_hex(key.data(), key_bytes);
}

} // namespace kv_crypto
