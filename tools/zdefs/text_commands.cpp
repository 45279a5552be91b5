// zdefs' text and envelope commands:
//
//   zdefs text-encrypt TEXT               stored form of TEXT (UTF-8) under the text key
//   zdefs text-decrypt HEX                DecryptText of HEX with the text key, as UTF-8
//   zdefs envelope-encrypt KEYHEX DATAHEX EncryptData(DATA, KEY) as uppercase hex
//   zdefs envelope-decrypt KEYHEX DATAHEX DecryptData(DATA, KEY) as uppercase hex
//
// Each prints one line; a result of no bytes (or the empty text) is an empty line. The
// cipher's failure reports go to stderr as "zdefs: LABEL: description" and do not change
// the exit code (0). Bad arguments (a wrong count, a TEXT that is not valid UTF-8, KEYHEX
// or DATAHEX not hexadecimal with an even digit count) print the usage on stderr and exit 2.

#include <iostream>
#include <optional>

#include "core/crypto/aes.h"
#include "core/crypto/text_cipher.h"
#include "tools/zdefs/command.h"

namespace zc::zdefs {
namespace {

class StderrReporter final : public FailureReporter {
 public:
  explicit StderrReporter(std::ostream& err) : err_(err) {}
  void Report(TextView label, TextView description) override {
    err_ << "zdefs: " << ToUtf8(label) << ": " << ToUtf8(description) << "\n";
  }

 private:
  std::ostream& err_;
};

int Digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// Hexadecimal argument to bytes; "" is zero bytes. Nothing for an odd count or a non-digit.
std::optional<std::vector<std::uint8_t>> ParseHex(const std::string& hex) {
  if (hex.size() % 2 != 0) return std::nullopt;
  std::vector<std::uint8_t> bytes;
  bytes.reserve(hex.size() / 2);
  for (std::size_t i = 0; i < hex.size(); i += 2) {
    const int high = Digit(hex[i]);
    const int low = Digit(hex[i + 1]);
    if (high < 0 || low < 0) return std::nullopt;
    bytes.push_back(static_cast<std::uint8_t>(high * 16 + low));
  }
  return bytes;
}

// Valid UTF-8 reads back byte for byte; anything else (a stray or missing continuation
// byte, an overlong form, a surrogate, a value above U+10FFFF) reads as U+FFFD instead.
bool IsValidUtf8(const std::string& text) { return ToUtf8(FromUtf8(text)) == text; }

std::string UpperHex(const std::vector<std::uint8_t>& bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(bytes.size() * 2);
  for (const std::uint8_t b : bytes) {
    out.push_back(kDigits[b >> 4]);
    out.push_back(kDigits[b & 0x0F]);
  }
  return out;
}

int TextEncrypt(const std::vector<std::string>& args, std::istream&, std::ostream& out, std::ostream& err) {
  if (args.size() != 1) return PrintUsage("text-encrypt", err);
  if (!IsValidUtf8(args[0])) {
    err << "zdefs: TEXT is not valid UTF-8\n";
    return PrintUsage("text-encrypt", err);
  }
  StderrReporter reporter(err);
  out << ToUtf8(EncryptText(FromUtf8(args[0]), kTextKey, reporter)) << "\n";
  return 0;
}

int TextDecrypt(const std::vector<std::string>& args, std::istream&, std::ostream& out, std::ostream& err) {
  if (args.size() != 1) return PrintUsage("text-decrypt", err);
  StderrReporter reporter(err);
  out << ToUtf8(DecryptText(FromUtf8(args[0]), kTextKey, reporter)) << "\n";
  return 0;
}

template <bool kEncrypt>
int Envelope(const std::vector<std::string>& args, std::istream&, std::ostream& out, std::ostream& err) {
  const char* name = kEncrypt ? "envelope-encrypt" : "envelope-decrypt";
  if (args.size() != 2) return PrintUsage(name, err);
  const auto key = ParseHex(args[0]);
  const auto data = ParseHex(args[1]);
  if (!key || !data) {
    err << "zdefs: " << (key ? "DATAHEX" : "KEYHEX") << " must be hexadecimal digits, two per byte\n";
    return PrintUsage(name, err);
  }
  StderrReporter reporter(err);
  AES aes(reporter);
  const ByteArray result = kEncrypt ? aes.EncryptData(*data, *key) : aes.DecryptData(*data, *key);
  out << (result ? UpperHex(*result) : std::string()) << "\n";
  return 0;
}

const CommandRegistration kTextEncrypt{{"text-encrypt", "text-encrypt TEXT", TextEncrypt}};
const CommandRegistration kTextDecrypt{{"text-decrypt", "text-decrypt HEX", TextDecrypt}};
const CommandRegistration kEnvelopeEncrypt{
    {"envelope-encrypt", "envelope-encrypt KEYHEX DATAHEX", Envelope<true>}};
const CommandRegistration kEnvelopeDecrypt{
    {"envelope-decrypt", "envelope-decrypt KEYHEX DATAHEX", Envelope<false>}};

}  // namespace
}  // namespace zc::zdefs
