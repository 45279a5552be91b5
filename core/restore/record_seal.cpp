#include "core/restore/record_seal.h"

#include "core/crypto/sha256.h"
#include "core/restore/record_line.h"

namespace zc {
namespace {

constexpr std::string_view kSealField = "\tseal=";
constexpr std::string_view kClosing = "\tend";
constexpr size_t kSealDigits = 64;

std::string SealOf(std::string_view key, TextView folderName, std::string_view body) {
  std::string message = ToUtf8(folderName);
  message.push_back('\n');
  message.append(body);
  const Sha256Digest tag = HmacSha256(key, message);
  return HexBytes(std::vector<uint8_t>(tag.begin(), tag.end()));
}

bool LineIsSealed(std::string_view key, TextView folderName, std::string_view line) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  if (line.size() < kClosing.size() || line.substr(line.size() - kClosing.size()) != kClosing) return false;
  const std::string_view withoutEnd = line.substr(0, line.size() - kClosing.size());
  if (withoutEnd.size() < kSealField.size() + kSealDigits) return false;
  const size_t sealAt = withoutEnd.size() - kSealDigits - kSealField.size();
  if (withoutEnd.substr(sealAt, kSealField.size()) != kSealField) return false;
  const std::string_view seal = withoutEnd.substr(sealAt + kSealField.size());
  const std::string expected = SealOf(key, folderName, withoutEnd.substr(0, sealAt));
  // Every digit is compared: how far a guess matched must not show in the time taken.
  unsigned char difference = 0;
  for (size_t i = 0; i < kSealDigits; ++i) difference |= static_cast<unsigned char>(seal[i] ^ expected[i]);
  return difference == 0;
}

}  // namespace

std::string SealRecordLine(std::string_view key, TextView folderName, std::string line) {
  if (key.empty()) return line;
  const size_t closing = line.rfind(kClosing);
  if (closing == std::string::npos) return line;
  const std::string seal = SealOf(key, folderName, std::string_view(line).substr(0, closing));
  line.insert(closing, std::string(kSealField) + seal);
  return line;
}

bool RecordIsSealed(std::string_view key, TextView folderName, std::string_view content) {
  if (key.empty()) return false;
  size_t start = 0;
  while (start < content.size()) {
    size_t end = content.find('\n', start);
    if (end == std::string_view::npos) end = content.size();
    const std::string_view text = content.substr(start, end - start);
    start = end + 1;
    if (text.empty() || text == "\r" || text.front() == '#') continue;
    RecordLine parsed;
    if (ParseRecordLine(text, parsed) == LineParse::Cut) continue;
    if (!LineIsSealed(key, folderName, text)) return false;
  }
  return true;
}

}  // namespace zc
