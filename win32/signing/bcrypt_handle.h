#pragma once
// Move-only owners of CNG handles: algorithm providers (closed with
// BCryptCloseAlgorithmProvider), keys (BCryptDestroyKey) and hash objects
// (BCryptDestroyHash).

#include <windows.h>
#include <bcrypt.h>

#include "win32/base/unique_handle.h"

namespace zc::win {

struct AlgorithmProviderTraits {
  using Type = BCRYPT_ALG_HANDLE;
  static Type Invalid() noexcept { return nullptr; }
  static void Close(Type h) noexcept { ::BCryptCloseAlgorithmProvider(h, 0); }
};
struct CngKeyTraits {
  using Type = BCRYPT_KEY_HANDLE;
  static Type Invalid() noexcept { return nullptr; }
  static void Close(Type h) noexcept { ::BCryptDestroyKey(h); }
};
struct CngHashTraits {
  using Type = BCRYPT_HASH_HANDLE;
  static Type Invalid() noexcept { return nullptr; }
  static void Close(Type h) noexcept { ::BCryptDestroyHash(h); }
};

using UniqueAlgorithmProvider = UniqueAny<AlgorithmProviderTraits>;
using UniqueCngKey = UniqueAny<CngKeyTraits>;
using UniqueCngHash = UniqueAny<CngHashTraits>;

}  // namespace zc::win
