#include "win32/machine/win32_file_hash.h"

#include <windows.h>
#include <bcrypt.h>

#include <vector>

#include "win32/base/file_path.h"
#include "win32/base/bcrypt_handle.h"

namespace zc::win {
namespace {

constexpr DWORD kPieceBytes = 64 * 1024;
constexpr ULONG kSha256Bytes = 32;

bool Succeeded(NTSTATUS status) { return status >= 0; }

}  // namespace

std::optional<FileDigest> Win32FileHash::Digest(TextView path) {
  UniqueFile file(::CreateFileW(WidePath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!file) return std::nullopt;
  return DigestOfOpenFile(file.get());
}

std::optional<FileDigest> DigestOfOpenFile(HANDLE file) {
  UniqueAlgorithmProvider algorithm;
  if (!Succeeded(::BCryptOpenAlgorithmProvider(algorithm.put(), BCRYPT_SHA256_ALGORITHM, nullptr, 0))) {
    return std::nullopt;
  }
  UniqueCngHash hash;
  // With no object buffer given, the provider keeps the hash object itself.
  if (!Succeeded(::BCryptCreateHash(algorithm.get(), hash.put(), nullptr, 0, nullptr, 0, 0))) return std::nullopt;

  std::vector<UCHAR> piece(kPieceBytes);
  int64_t length = 0;
  for (;;) {
    DWORD read = 0;
    if (!::ReadFile(file, piece.data(), kPieceBytes, &read, nullptr)) return std::nullopt;
    if (read == 0) break;
    if (!Succeeded(::BCryptHashData(hash.get(), piece.data(), read, 0))) return std::nullopt;
    length += read;
  }
  UCHAR digest[kSha256Bytes];
  if (!Succeeded(::BCryptFinishHash(hash.get(), digest, kSha256Bytes, 0))) return std::nullopt;

  static constexpr char kDigits[] = "0123456789abcdef";
  FileDigest result;
  result.length = length;
  for (const UCHAR byte : digest) {
    result.sha256.push_back(static_cast<char16_t>(kDigits[byte >> 4]));
    result.sha256.push_back(static_cast<char16_t>(kDigits[byte & 0xF]));
  }
  return result;
}

}  // namespace zc::win
