#pragma once
// The two password digests a route carries: MD5 of the controller password
// and PBKDF2-HMAC-SHA512 of the online password. Both as lower-case hex.

#include <QString>

#include <string>
#include <string_view>

namespace kv_crypto {

constexpr int PBKDF2_ITERATIONS = 10000;
constexpr int PBKDF2_KEY_BYTES = 64;

// 32 hex characters. The caller passes the bytes (Latin-1 for passwords).
std::string md5_hex(std::string_view bytes);

// The digest of a controller password as the login sends it: MD5 of its
// Latin-1 bytes. Route forms and the simulator must agree on it.
std::string password_md5(const QString& password);

// 2 * key_bytes hex characters; empty when the library refuses the input.
std::string pbkdf2_sha512_hex(std::string_view password, std::string_view salt,
                              int iterations = PBKDF2_ITERATIONS, int key_bytes = PBKDF2_KEY_BYTES);

} // namespace kv_crypto
