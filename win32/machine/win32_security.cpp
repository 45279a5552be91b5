#include "win32/machine/win32_security.h"

#include <windows.h>
#include <aclapi.h>
#include <bcrypt.h>
#include <sddl.h>

#include <vector>

#include "win32/base/ansi.h"
#include "win32/base/file_path.h"
#include "win32/base/token_user.h"
#include "win32/base/unique_handle.h"
#include "win32/machine/backup_privileges.h"

namespace zc::win {
namespace {

// Owner Administrators; SYSTEM and Administrators full control, Users read and list,
// inherited by what is made inside; not inheriting from the folder above.
constexpr wchar_t kProtectedFolder[] = L"O:BAD:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;BU)";
// A file inside taken over: the same, without the inheritance.
constexpr wchar_t kProtectedFile[] = L"O:BAD:P(A;;FA;;;SY)(A;;FA;;;BA)(A;;0x1200a9;;;BU)";
// Owner Administrators; SYSTEM and Administrators alone, even to read.
constexpr wchar_t kSecretFile[] = L"O:BAD:P(A;;FA;;;SY)(A;;FA;;;BA)";
// A standard user's own store: owned by the running account; SYSTEM, Administrators and
// that account full control (what is made inside inherits it), nobody else anything.
constexpr wchar_t kPrivateFolderRights[] = L"D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;FA;;;";
constexpr wchar_t kPrivateFileRights[] = L"D:P(A;;FA;;;SY)(A;;FA;;;BA)(A;;FA;;;";
// NT SERVICE\TrustedInstaller.
constexpr wchar_t kTrustedInstaller[] = L"S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464";

// A test build runs on a test bed that keeps no owners and reads every owner back as
// the running account; there that account stands for the Administrators that own an
// elevated program's files. Any other build never counts it as more than itself.
#ifdef ZC_TEST_BUILD
constexpr bool kRunningAccountStandsForAdministrators = true;
#else
constexpr bool kRunningAccountStandsForAdministrators = false;
#endif

UniqueLocalMemory Descriptor(const wchar_t* text) {
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (!::ConvertStringSecurityDescriptorToSecurityDescriptorW(text, SDDL_REVISION_1, &descriptor, nullptr)) return {};
  return UniqueLocalMemory(descriptor);
}

bool IsTrustedInstaller(PSID sid) {
  PSID known = nullptr;
  if (!::ConvertStringSidToSidW(kTrustedInstaller, &known)) return false;
  UniqueLocalMemory owned(known);
  return ::EqualSid(sid, known) != FALSE;
}

std::vector<AccessEntry> Entries(PACL dacl, PSID self) {
  std::vector<AccessEntry> entries;
  const AccessEntry open{Principal::Other, true, access::kFullControl | access::kGenericAll, false};
  ACL_SIZE_INFORMATION size{};
  if (!::GetAclInformation(dacl, &size, sizeof size, AclSizeInformation)) {
    entries.push_back(open);  // unreadable: counts as open
    return entries;
  }
  for (DWORD i = 0; i < size.AceCount; ++i) {
    void* raw = nullptr;
    if (!::GetAce(dacl, i, &raw)) {
      entries.push_back(open);
      continue;
    }
    const auto* header = static_cast<const ACE_HEADER*>(raw);
    const bool inheritOnly = (header->AceFlags & INHERIT_ONLY_ACE) != 0;
    if (header->AceType == ACCESS_ALLOWED_ACE_TYPE || header->AceType == ACCESS_DENIED_ACE_TYPE) {
      const auto* ace = static_cast<const ACCESS_ALLOWED_ACE*>(raw);
      PSID sid = const_cast<DWORD*>(&ace->SidStart);
      entries.push_back({ClassifySid(sid, self, kRunningAccountStandsForAdministrators),
                         header->AceType == ACCESS_ALLOWED_ACE_TYPE, ace->Mask, inheritOnly});
    } else {
      // Object and callback entries are not looked into: any of them counts as open.
      entries.push_back({Principal::Other, true, access::kFullControl | access::kGenericAll, inheritOnly});
    }
  }
  return entries;
}

// Opens `path` as itself (a reparse point is not followed), with backup semantics so
// that privileges held count; folders open too.
UniqueFile OpenAsItself(TextView path, DWORD rights) {
  return UniqueFile(::CreateFileW(WidePath(path).c_str(), rights, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT,
                                  nullptr));
}

bool SetOwnerAndDacl(HANDLE handle, const wchar_t* text) {
  UniqueLocalMemory descriptor = Descriptor(text);
  if (!descriptor) return false;
  PSID owner = nullptr;
  BOOL defaulted = FALSE, present = FALSE;
  PACL dacl = nullptr;
  if (!::GetSecurityDescriptorOwner(descriptor.get(), &owner, &defaulted) ||
      !::GetSecurityDescriptorDacl(descriptor.get(), &present, &dacl, &defaulted)) {
    return false;
  }
  const DWORD status =
      ::SetSecurityInfo(handle, SE_FILE_OBJECT,
                        OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION,
                        owner, nullptr, dacl, nullptr);
  ::SetLastError(status);
  return status == ERROR_SUCCESS;
}

// Gives the folder or file at `path` owner Administrators and the protected rights,
// opened as itself with the privileges that override what its rights say.
bool TakeOver(TextView path, bool folder) {
  BackupPrivileges privileges;
  if (!privileges.Held()) {
    ::SetLastError(privileges.Error());
    return false;
  }
  UniqueFile item = OpenAsItself(path, READ_CONTROL | WRITE_DAC | WRITE_OWNER | FILE_READ_ATTRIBUTES);
  if (!item) return false;
  BY_HANDLE_FILE_INFORMATION info{};
  if (!::GetFileInformationByHandle(item.get(), &info)) return false;
  const bool isFolder = (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  // Rights set on a reparse point would not be the rights of what it names; a second
  // link of a file may be anywhere.
  if ((info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) || isFolder != folder ||
      (!folder && info.nNumberOfLinks != 1)) {
    ::SetLastError(ERROR_ACCESS_DENIED);
    return false;
  }
  return SetOwnerAndDacl(item.get(), folder ? kProtectedFolder : kProtectedFile);
}

// Removes whatever is at `path`, opened as itself: a file, an empty folder or a reparse
// point (not what it points at). True when nothing is there any more.
bool RemoveAsItself(TextView path) {
  BackupPrivileges privileges;  // a user's item there may shut administrators out
  UniqueFile item = OpenAsItself(path, DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES);
  if (!item) {
    const DWORD error = ::GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
  }
  FILE_BASIC_INFO basic{};
  if (::GetFileInformationByHandleEx(item.get(), FileBasicInfo, &basic, sizeof basic) &&
      (basic.FileAttributes & FILE_ATTRIBUTE_READONLY)) {
    basic.FileAttributes &= ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY);
    if (basic.FileAttributes == 0) basic.FileAttributes = FILE_ATTRIBUTE_NORMAL;
    ::SetFileInformationByHandle(item.get(), FileBasicInfo, &basic, sizeof basic);
  }
  FILE_DISPOSITION_INFO disposition{TRUE};
  return ::SetFileInformationByHandle(item.get(), FileDispositionInfo, &disposition, sizeof disposition) != FALSE;
}

}  // namespace

Principal ClassifySid(PSID sid, PSID runningAccount, bool runningAccountStandsForAdministrators) {
  if (!sid || !::IsValidSid(sid)) return Principal::Other;
  if (::IsWellKnownSid(sid, WinLocalSystemSid)) return Principal::System;
  if (::IsWellKnownSid(sid, WinBuiltinAdministratorsSid)) return Principal::Administrators;
  if (IsTrustedInstaller(sid)) return Principal::TrustedInstaller;
  if (runningAccount && ::IsValidSid(runningAccount) && ::EqualSid(sid, runningAccount)) {
    return runningAccountStandsForAdministrators ? Principal::Administrators : Principal::Self;
  }
  if (::IsWellKnownSid(sid, WinBuiltinUsersSid) || ::IsWellKnownSid(sid, WinAuthenticatedUserSid) ||
      ::IsWellKnownSid(sid, WinWorldSid) || ::IsWellKnownSid(sid, WinInteractiveSid)) {
    return Principal::Users;
  }
  return Principal::Other;
}

std::optional<SecurityFacts> Win32Security::Facts(TextView path) {
  BackupPrivileges privileges;  // reads the rights even of what shuts administrators out
  UniqueFile file = OpenAsItself(path, READ_CONTROL | FILE_READ_ATTRIBUTES);
  if (!file) {
    const DWORD error = ::GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return std::nullopt;
    // There but unreadable: counts as open to anyone, so it is taken over or refused.
    const DWORD attributes = ::GetFileAttributesW(WidePath(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return std::nullopt;
    SecurityFacts unreadable;
    unreadable.entries.push_back({Principal::Other, true, access::kFullControl | access::kGenericAll, false});
    unreadable.folder = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    unreadable.reparsePoint = (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    return unreadable;
  }
  BY_HANDLE_FILE_INFORMATION info{};
  if (!::GetFileInformationByHandle(file.get(), &info)) return std::nullopt;
  PSID owner = nullptr;
  PACL dacl = nullptr;
  PSECURITY_DESCRIPTOR raw = nullptr;
  if (::GetSecurityInfo(file.get(), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, &owner,
                        nullptr, &dacl, nullptr, &raw) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  UniqueLocalMemory descriptor(raw);
  std::vector<BYTE> user = ProcessUserBytes();
  PSID self = user.empty() ? nullptr : reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid;

  SecurityFacts facts;
  facts.owner = ClassifySid(owner, self, kRunningAccountStandsForAdministrators);
  facts.noDacl = dacl == nullptr;
  if (dacl) facts.entries = Entries(dacl, self);
  SECURITY_DESCRIPTOR_CONTROL control = 0;
  DWORD revision = 0;
  if (::GetSecurityDescriptorControl(raw, &control, &revision)) facts.daclProtected = (control & SE_DACL_PROTECTED) != 0;
  facts.reparsePoint = (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
  facts.folder = (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  facts.links = info.nNumberOfLinks;
  return facts;
}

bool Win32Security::CreateProtectedFolder(TextView path) {
  UniqueLocalMemory descriptor = Descriptor(kProtectedFolder);
  if (!descriptor) return false;
  SECURITY_ATTRIBUTES attributes{sizeof attributes, descriptor.get(), FALSE};
  return ::CreateDirectoryW(WidePath(path).c_str(), &attributes) != FALSE;
}

bool Win32Security::ProtectFolder(TextView path) { return TakeOver(path, true); }

bool Win32Security::ProtectFile(TextView path) { return TakeOver(path, false); }

namespace {

// A new file at `path` with the rights of `descriptor`, holding `bytes`, written through.
bool WriteNewFile(TextView path, const UniqueLocalMemory& descriptor, std::string_view bytes) {
  if (!descriptor) return false;
  SECURITY_ATTRIBUTES attributes{sizeof attributes, descriptor.get(), FALSE};
  UniqueFile file(::CreateFileW(WidePath(path).c_str(), GENERIC_WRITE, 0, &attributes, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                                nullptr));
  if (!file) return false;
  DWORD written = 0;
  return ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
         written == bytes.size() && ::FlushFileBuffers(file.get());
}

}  // namespace

bool Win32Security::CreateSecretFile(TextView path, std::string_view bytes) {
  UniqueLocalMemory descriptor = Descriptor(kSecretFile);
  if (!descriptor) return false;
  // Whatever was at the name (a key from before, or something someone planted) goes.
  if (!RemoveAsItself(path)) return false;
  return WriteNewFile(path, descriptor, bytes);
}

namespace {

// The running account as owner and as the last entry of `rights`.
UniqueLocalMemory PrivateDescriptor(const wchar_t* rights) {
  std::vector<BYTE> user = ProcessUserBytes();
  if (user.empty()) return {};
  const std::wstring sid = SidText(UserSidIn(user));
  if (sid.empty()) return {};
  return Descriptor((L"O:" + sid + rights + sid + L")").c_str());
}

}  // namespace

bool Win32Security::CreatePrivateFolder(TextView path) {
  UniqueLocalMemory descriptor = PrivateDescriptor(kPrivateFolderRights);
  if (!descriptor) return false;
  SECURITY_ATTRIBUTES attributes{sizeof attributes, descriptor.get(), FALSE};
  return ::CreateDirectoryW(WidePath(path).c_str(), &attributes) != FALSE;
}

bool Win32Security::CreatePrivateFile(TextView path, std::string_view bytes) {
  return WriteNewFile(path, PrivateDescriptor(kPrivateFileRights), bytes);
}

std::string Win32Security::RandomBytes(size_t count) {
  std::string bytes(count, '\0');
  if (::BCryptGenRandom(nullptr, reinterpret_cast<PUCHAR>(bytes.data()), static_cast<ULONG>(count),
                        BCRYPT_USE_SYSTEM_PREFERRED_RNG) < 0) {
    return {};
  }
  return bytes;
}

}  // namespace zc::win
