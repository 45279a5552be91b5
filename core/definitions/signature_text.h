#pragma once
// The text form of a definitions signature and of the publisher's public key: the 64 raw
// bytes (r then s, or X then Y) as 128 hexadecimal digits, either case. A signature file
// may end with one line end ("\n" or "\r\n"); nothing else may come before or after the
// digits.

#include <optional>
#include <string>
#include <string_view>

#include "core/base/text.h"
#include "core/platform/signature_api.h"

namespace zc {

inline constexpr size_t kP256HexDigits = 2 * kP256ValueBytes;

// Reads a signature file's bytes. On a malformed one returns nothing and puts the reason,
// in plain words, into `problem`; the reason never repeats the bytes themselves.
std::optional<P256Signature> ReadSignatureText(std::string_view bytes, Text& problem);

// Reads the publisher's key in the form the build option takes (no line end).
std::optional<P256PublicKey> ReadPublicKeyText(TextView text, Text& problem);

// 128 upper-case hexadecimal digits, no line end.
std::string WriteP256Hex(const P256Signature& value);

}  // namespace zc
