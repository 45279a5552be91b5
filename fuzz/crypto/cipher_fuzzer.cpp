// Arbitrary envelopes and stored forms through DecryptData and DecryptText. A downloaded
// definitions set reaches both with whatever the server sent, so neither may crash, and
// whatever the cipher itself produces must come back unchanged.
//
// Input: the first byte picks the password's length (0-40 bytes, longer than the 32 the
// key uses); the password follows, then the data.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "core/crypto/aes.h"
#include "core/crypto/text_cipher.h"
#include "fuzz/fuzz_require.h"

using zc::fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace zc;
  if (size == 0) return 0;
  const size_t passwordSize = std::min<size_t>(data[0] % 41, size - 1);
  const std::vector<uint8_t> password(data + 1, data + 1 + passwordSize);
  const std::vector<uint8_t> payload(data + 1 + passwordSize, data + size);
  SilentFailureReporter silent;

  {
    // The payload read as an envelope: any result is a plain byte array no longer than it.
    AES aes(silent);
    const ByteArray opened = aes.DecryptData(ByteArray(payload), ByteArray(password));
    if (opened) Require(opened->size() <= payload.size());
  }
  {
    // The payload sealed and opened again gives itself back.
    AES aes(silent);
    const ByteArray sealed = aes.EncryptData(ByteArray(payload), ByteArray(password));
    if (!payload.empty()) {
      Require(sealed.has_value() && sealed->size() % 32 == 0 && sealed->size() > payload.size());
      AES opener(silent);
      const ByteArray opened = opener.DecryptData(ByteArray(*sealed), ByteArray(password));
      Require(opened.has_value() && *opened == payload);
    }
  }

  // The payload as a stored form (one character a byte, as the code page gives it) and,
  // pairing the bytes, as a UTF-16 text under the password read as characters.
  Text stored(payload.begin(), payload.end());
  Text key;
  for (size_t i = 0; i + 1 < password.size(); i += 2)
    key.push_back(static_cast<char16_t>(password[i] | password[i + 1] << 8));
  DecryptText(stored, key, silent);
  DecryptText(stored, kTextKey, silent);
  Text plain;
  for (size_t i = 0; i + 1 < payload.size(); i += 2)
    plain.push_back(static_cast<char16_t>(payload[i] | payload[i + 1] << 8));
  const Text enciphered = EncryptText(plain, key, silent);
  if (!plain.empty() && !key.empty()) {
    Require(!enciphered.empty());
    Require(DecryptText(enciphered, key, silent) == plain);
  }
  return 0;
}
