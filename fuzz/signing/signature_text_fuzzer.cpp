// Feeds arbitrary signature files to the signature reader. What it accepts must be 128
// hexadecimal digits with at most one line end after them, and must write back as the
// same digits; what it refuses must come with a reason. The same bytes, read as the
// build option's key text, must get the same verdict when they hold no line end.

#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/definitions/signature_text.h"
#include "fuzz/fuzz_require.h"

using zc::fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace zc;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  Text problem;
  const std::optional<P256Signature> signature = ReadSignatureText(bytes, problem);

  std::string_view digits = bytes;
  if (digits.ends_with("\r\n")) {
    digits.remove_suffix(2);
  } else if (digits.ends_with('\n')) {
    digits.remove_suffix(1);
  }
  bool wellFormed = digits.size() == kP256HexDigits;
  for (const char c : digits) wellFormed = wellFormed && std::isxdigit(static_cast<unsigned char>(c));

  Require(signature.has_value() == wellFormed);
  Require(signature.has_value() == problem.empty());
  if (signature) {
    std::string upper(digits);
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    Require(WriteP256Hex(*signature) == upper);
  }

  Text keyText(bytes.size(), u'\0');
  for (size_t i = 0; i < bytes.size(); ++i) keyText[i] = static_cast<unsigned char>(bytes[i]);
  Text keyProblem;
  const std::optional<P256PublicKey> key = ReadPublicKeyText(keyText, keyProblem);
  if (digits.size() == bytes.size()) Require(key == signature);
  return 0;
}
