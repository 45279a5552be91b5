#include "win32/trust/catalog_signature.h"

#include <mscat.h>
#include <softpub.h>

#include <cstddef>
#include <optional>
#include <vector>

#include "win32/base/system_library.h"

namespace zc::win {
namespace {

using AcquireContext2 = BOOL(WINAPI*)(HCATADMIN* admin, const GUID* subsystem, PCWSTR hashAlgorithm,
                                      PCCERT_STRONG_SIGN_PARA strongSign, DWORD flags);
using CalcHashFromFileHandle2 = BOOL(WINAPI*)(HCATADMIN admin, HANDLE file, DWORD* size, BYTE* hash, DWORD flags);

constexpr DWORD kLargestHash = 64;    // SHA-512 would be the largest a catalog could use
constexpr int kMostCatalogsTried = 16;  // catalogs listing one file, tried in turn

// The catalog member's subject with the catalog database's context, which a SHA-256
// catalog needs (Windows 8 and later read the last field when the size says it is there).
struct CatalogMemberWithAdmin {
  WINTRUST_CATALOG_INFO member;
  HCATADMIN admin;
};
static_assert(sizeof(WINTRUST_CATALOG_INFO) == offsetof(WINTRUST_CATALOG_INFO, pcCatalogContext) + sizeof(void*),
              "the headers of this build end the member subject before the catalog context");

// A catalog database context, released once.
class CatalogAdmin {
 public:
  CatalogAdmin() = default;
  CatalogAdmin(const CatalogAdmin&) = delete;
  CatalogAdmin& operator=(const CatalogAdmin&) = delete;
  ~CatalogAdmin() {
    if (admin_ != nullptr) ::CryptCATAdminReleaseContext(admin_, 0);
  }
  HCATADMIN* put() { return &admin_; }
  HCATADMIN get() const { return admin_; }

 private:
  HCATADMIN admin_ = nullptr;
};

// The hashing calls of one catalog generation (SHA-256 or SHA-1).
struct CatalogGeneration {
  AcquireContext2 acquire2 = nullptr;  // null: the SHA-1 calls of every version
  CalcHashFromFileHandle2 hash2 = nullptr;
  const wchar_t* algorithm = nullptr;
};

bool Acquire(const CatalogGeneration& generation, CatalogAdmin& admin) {
  GUID driverAction = DRIVER_ACTION_VERIFY;
  if (generation.acquire2 != nullptr) {
    return generation.acquire2(admin.put(), &driverAction, generation.algorithm, nullptr, 0) != FALSE;
  }
  return ::CryptCATAdminAcquireContext(admin.put(), &driverAction, 0) != FALSE;
}

std::optional<std::vector<BYTE>> FileHash(const CatalogGeneration& generation, HCATADMIN admin, HANDLE file) {
  LARGE_INTEGER start{};
  if (!::SetFilePointerEx(file, start, nullptr, FILE_BEGIN)) return std::nullopt;
  std::vector<BYTE> hash(kLargestHash);
  DWORD size = kLargestHash;
  const BOOL hashed = generation.hash2 != nullptr ? generation.hash2(admin, file, &size, hash.data(), 0)
                                                  : ::CryptCATAdminCalcHashFromFileHandle(file, &size, hash.data(), 0);
  if (!hashed || size == 0 || size > kLargestHash) return std::nullopt;
  hash.resize(size);
  return hash;
}

SignatureCheck VerifyMember(const CatalogGeneration& generation, HCATADMIN admin, const CATALOG_INFO& catalog,
                            std::vector<BYTE>& hash, const std::wstring& tag, HANDLE file,
                            const std::wstring& path) {
  CatalogMemberWithAdmin subject{};
  subject.member.cbStruct = generation.acquire2 != nullptr ? sizeof(CatalogMemberWithAdmin)
                                                           : sizeof(WINTRUST_CATALOG_INFO);
  subject.member.pcwszCatalogFilePath = catalog.wszCatalogFile;
  subject.member.pcwszMemberTag = tag.c_str();
  subject.member.pcwszMemberFilePath = path.c_str();
  subject.member.hMemberFile = file;
  subject.member.pbCalculatedFileHash = hash.data();
  subject.member.cbCalculatedFileHash = static_cast<DWORD>(hash.size());
  subject.admin = admin;
  WINTRUST_DATA data{};
  data.dwUnionChoice = WTD_CHOICE_CATALOG;
  data.pCatalog = &subject.member;
  return VerifyAuthenticode(data);
}

SignatureCheck VerifyWith(const CatalogGeneration& generation, HANDLE file, const std::wstring& path) {
  SignatureCheck none;
  CatalogAdmin admin;
  if (!Acquire(generation, admin)) return none;
  std::optional<std::vector<BYTE>> hash = FileHash(generation, admin.get(), file);
  if (!hash) return none;
  const std::wstring tag = CatalogMemberTag(hash->data(), static_cast<DWORD>(hash->size()));

  SignatureCheck last = none;
  HCATINFO catalog = nullptr;
  for (int tried = 0; tried < kMostCatalogsTried; ++tried) {
    // Each call releases the previous catalog it is given; the last one is released here.
    catalog = ::CryptCATAdminEnumCatalogFromHash(admin.get(), hash->data(), static_cast<DWORD>(hash->size()), 0,
                                                 tried == 0 ? nullptr : &catalog);
    if (catalog == nullptr) break;
    CATALOG_INFO info{};
    info.cbStruct = sizeof(info);
    if (!::CryptCATCatalogInfoFromContext(catalog, &info, 0)) continue;
    last = VerifyMember(generation, admin.get(), info, *hash, tag, file, path);
    if (last.status == ERROR_SUCCESS) break;
  }
  if (catalog != nullptr) ::CryptCATAdminReleaseCatalogContext(admin.get(), catalog, 0);
  return last;
}

}  // namespace

std::wstring CatalogMemberTag(const BYTE* hash, DWORD size) {
  static constexpr wchar_t kDigits[] = L"0123456789ABCDEF";
  std::wstring tag;
  tag.reserve(size * 2);
  for (DWORD i = 0; i < size; ++i) {
    tag.push_back(kDigits[hash[i] >> 4]);
    tag.push_back(kDigits[hash[i] & 0x0F]);
  }
  return tag;
}

SignatureCheck VerifyThroughCatalogs(HANDLE file, const std::wstring& path) {
  // wintrust is loaded by the static calls already; the lookup keeps it loaded meanwhile.
  UniqueModule wintrust = LoadSystemLibrary(L"wintrust.dll");
  std::vector<CatalogGeneration> generations;
  if (wintrust) {
    const auto acquire2 = reinterpret_cast<AcquireContext2>(
        reinterpret_cast<void*>(::GetProcAddress(wintrust.get(), "CryptCATAdminAcquireContext2")));
    const auto hash2 = reinterpret_cast<CalcHashFromFileHandle2>(
        reinterpret_cast<void*>(::GetProcAddress(wintrust.get(), "CryptCATAdminCalcHashFromFileHandle2")));
    if (acquire2 != nullptr && hash2 != nullptr) {
      generations.push_back({acquire2, hash2, L"SHA256"});
      generations.push_back({acquire2, hash2, L"SHA1"});
    }
  }
  if (generations.empty()) generations.push_back({});

  SignatureCheck result;
  for (const CatalogGeneration& generation : generations) {
    SignatureCheck check = VerifyWith(generation, file, path);
    if (check.status == ERROR_SUCCESS) return check;
    // A catalog that lists the file but does not verify says more than "not listed".
    if (check.status != static_cast<LONG>(TRUST_E_NOSIGNATURE)) result = std::move(check);
  }
  return result;
}

}  // namespace zc::win
