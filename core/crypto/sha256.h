#pragma once
// SHA-256 and HMAC-SHA-256 over bytes, for the seal on each entry of the treatment
// record. The digest is 32 bytes.

#include <array>
#include <cstdint>
#include <string_view>

namespace zc {

using Sha256Digest = std::array<uint8_t, 32>;

Sha256Digest Sha256(std::string_view bytes);

// HMAC with SHA-256; a key longer than 64 bytes is hashed first.
Sha256Digest HmacSha256(std::string_view key, std::string_view message);

}  // namespace zc
