#include "win32/signing/cng_signatures.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "win32/signing/bcrypt_handle.h"

namespace zc::win {
namespace {

constexpr ULONG kCoordinateBytes = kP256ValueBytes / 2;
constexpr ULONG kDigestBytes = 32;

// "BCryptImportKeyPair failed (status 0xC000000D)".
Text Failed(const char16_t* step, NTSTATUS status) {
  static constexpr char16_t kDigits[] = u"0123456789ABCDEF";
  Text hex;
  for (int shift = 28; shift >= 0; shift -= 4) hex += kDigits[(static_cast<ULONG>(status) >> shift) & 15];
  return Text(step) + u" failed (status 0x" + hex + u")";
}

// SHA-256 of `message`; an empty result and the reason in `problem` when CNG fails.
std::vector<UCHAR> Sha256(std::string_view message, Text& problem) {
  UniqueAlgorithmProvider sha256;
  NTSTATUS status = ::BCryptOpenAlgorithmProvider(sha256.put(), BCRYPT_SHA256_ALGORITHM, nullptr, 0);
  if (!BCRYPT_SUCCESS(status)) {
    problem = Failed(u"BCryptOpenAlgorithmProvider(SHA256)", status);
    return {};
  }
  UniqueCngHash hash;
  status = ::BCryptCreateHash(sha256.get(), hash.put(), nullptr, 0, nullptr, 0, 0);
  if (!BCRYPT_SUCCESS(status)) {
    problem = Failed(u"BCryptCreateHash", status);
    return {};
  }
  // BCryptHashData takes at most 4 GiB a call; the message is fed in pieces.
  constexpr size_t kPiece = 1u << 30;
  for (size_t offset = 0; offset < message.size(); offset += kPiece) {
    const size_t size = std::min(kPiece, message.size() - offset);
    status = ::BCryptHashData(hash.get(), reinterpret_cast<PUCHAR>(const_cast<char*>(message.data() + offset)),
                              static_cast<ULONG>(size), 0);
    if (!BCRYPT_SUCCESS(status)) {
      problem = Failed(u"BCryptHashData", status);
      return {};
    }
  }
  std::vector<UCHAR> digest(kDigestBytes);
  status = ::BCryptFinishHash(hash.get(), digest.data(), kDigestBytes, 0);
  if (!BCRYPT_SUCCESS(status)) {
    problem = Failed(u"BCryptFinishHash", status);
    return {};
  }
  return digest;
}

}  // namespace

SignatureCheck CngSignatures::VerifyP256(const P256PublicKey& key, std::string_view message,
                                         const P256Signature& signature) {
  UniqueAlgorithmProvider ecdsa;
  NTSTATUS status = ::BCryptOpenAlgorithmProvider(ecdsa.put(), BCRYPT_ECDSA_P256_ALGORITHM, nullptr, 0);
  if (!BCRYPT_SUCCESS(status))
    return {SignatureVerdict::KeyRejected, Failed(u"BCryptOpenAlgorithmProvider(ECDSA_P256)", status)};

  // The public key blob: its header, then X and Y, each 32 bytes big-endian.
  std::array<UCHAR, sizeof(BCRYPT_ECCKEY_BLOB) + kP256ValueBytes> blob{};
  BCRYPT_ECCKEY_BLOB header{};
  header.dwMagic = BCRYPT_ECDSA_PUBLIC_P256_MAGIC;
  header.cbKey = kCoordinateBytes;
  std::memcpy(blob.data(), &header, sizeof header);
  std::memcpy(blob.data() + sizeof header, key.data(), key.size());
  UniqueCngKey publicKey;
  status = ::BCryptImportKeyPair(ecdsa.get(), nullptr, BCRYPT_ECCPUBLIC_BLOB, publicKey.put(), blob.data(),
                                 static_cast<ULONG>(blob.size()), 0);
  if (!BCRYPT_SUCCESS(status)) return {SignatureVerdict::KeyRejected, Failed(u"BCryptImportKeyPair", status)};

  Text problem;
  std::vector<UCHAR> digest = Sha256(message, problem);
  if (digest.empty()) return {SignatureVerdict::KeyRejected, problem};

  P256Signature raw = signature;  // the call takes a non-const buffer
  status = ::BCryptVerifySignature(publicKey.get(), nullptr, digest.data(), static_cast<ULONG>(digest.size()),
                                   raw.data(), static_cast<ULONG>(raw.size()), 0);
  if (BCRYPT_SUCCESS(status)) return {SignatureVerdict::Valid, {}};
  // STATUS_INVALID_SIGNATURE for a wrong one; any other failure is no valid signature either.
  return {SignatureVerdict::Invalid, Failed(u"BCryptVerifySignature", status)};
}

}  // namespace zc::win
