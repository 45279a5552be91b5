#include "win32/trust/win32_file_trust.h"

#include <windows.h>

#include "win32/base/file_path.h"
#include "win32/base/system_library.h"
#include "win32/base/unique_handle.h"
#include "win32/trust/authenticode_verification.h"
#include "win32/trust/catalog_signature.h"

namespace zc::win {
namespace {

using IsFileProtected = BOOL(WINAPI*)(HANDLE rpcHandle, const wchar_t* path);

}  // namespace

bool ProtectedBySystem(TextView path) {
  if (path.empty()) return false;
  // sfc.dll hands the call on to sfc_os.dll, which holds it on every version since.
  for (const wchar_t* name : {L"sfc.dll", L"sfc_os.dll"}) {
    UniqueModule library = LoadSystemLibrary(name);
    if (!library) continue;
    const auto isProtected = reinterpret_cast<IsFileProtected>(
        reinterpret_cast<void*>(::GetProcAddress(library.get(), "SfcIsFileProtected")));
    if (isProtected == nullptr) continue;
    const std::wstring full = WidePath(path);
    return isProtected(nullptr, full.c_str()) != FALSE;
  }
  return false;
}

FileTrust Win32FileTrust::Examine(TextView path) {
  FileTrust trust;
  trust.protectedBySystem = ProtectedBySystem(path);

  const std::wstring widePath = WidePath(path);
  UniqueFile file(::CreateFileW(widePath.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return trust;

  SignatureCheck check = VerifyEmbeddedSignature(file.get(), widePath);
  if (LacksEmbeddedSignature(check.status)) check = VerifyThroughCatalogs(file.get(), widePath);
  if (check.status != ERROR_SUCCESS) return trust;
  trust.signer = check.signer;
  trust.publisher = std::move(check.publisher);
  return trust;
}

}  // namespace zc::win
