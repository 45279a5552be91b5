#include "win32/machine/win32_security.h"

#include <windows.h>
#include <aclapi.h>
#include <bcrypt.h>
#include <sddl.h>

#include <vector>

#include "win32/base/ansi.h"
#include "win32/base/file_path.h"
#include "win32/base/unique_handle.h"

namespace zc::win {
namespace {

// Owner Administrators; SYSTEM and Administrators full control, Users read and list,
// inherited by what is made inside; not inheriting from the folder above.
constexpr wchar_t kProtectedFolder[] = L"O:BAD:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;BU)";
// Owner Administrators; SYSTEM and Administrators alone, even to read.
constexpr wchar_t kSecretFile[] = L"O:BAD:P(A;;FA;;;SY)(A;;FA;;;BA)";

constexpr ACCESS_MASK kWriteRights =
    FILE_WRITE_DATA | FILE_APPEND_DATA | FILE_WRITE_EA | FILE_WRITE_ATTRIBUTES | GENERIC_WRITE | GENERIC_ALL;
constexpr ACCESS_MASK kRemoveRights = DELETE | FILE_DELETE_CHILD | WRITE_DAC | WRITE_OWNER | GENERIC_ALL;

UniqueLocalMemory Descriptor(const wchar_t* text) {
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (!::ConvertStringSecurityDescriptorToSecurityDescriptorW(text, SDDL_REVISION_1, &descriptor, nullptr)) return {};
  return UniqueLocalMemory(descriptor);
}

// The user of this process's token; empty when it cannot be read.
std::vector<BYTE> ProcessUser() {
  UniqueHandle token;
  HANDLE raw = nullptr;
  if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &raw)) return {};
  token.reset(raw);
  DWORD size = 0;
  ::GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size);
  std::vector<BYTE> buffer(size);
  if (size == 0 || !::GetTokenInformation(token.get(), TokenUser, buffer.data(), size, &size)) return {};
  return buffer;
}

Principal Classify(PSID sid, PSID self) {
  if (!sid || !::IsValidSid(sid)) return Principal::Other;
  if (::IsWellKnownSid(sid, WinLocalSystemSid)) return Principal::System;
  if (::IsWellKnownSid(sid, WinBuiltinAdministratorsSid)) return Principal::Administrators;
  if (self && ::EqualSid(sid, self)) return Principal::Self;
  if (::IsWellKnownSid(sid, WinBuiltinUsersSid) || ::IsWellKnownSid(sid, WinAuthenticatedUserSid) ||
      ::IsWellKnownSid(sid, WinWorldSid) || ::IsWellKnownSid(sid, WinInteractiveSid)) {
    return Principal::Users;
  }
  return Principal::Other;
}

std::vector<AccessEntry> Entries(PACL dacl, PSID self) {
  std::vector<AccessEntry> entries;
  ACL_SIZE_INFORMATION size{};
  if (!::GetAclInformation(dacl, &size, sizeof size, AclSizeInformation)) {
    entries.push_back({Principal::Other, true, true, true});  // unreadable: counts as open
    return entries;
  }
  for (DWORD i = 0; i < size.AceCount; ++i) {
    void* raw = nullptr;
    if (!::GetAce(dacl, i, &raw)) continue;
    const auto* header = static_cast<const ACE_HEADER*>(raw);
    if (header->AceFlags & INHERIT_ONLY_ACE) continue;  // applies only to what is inside
    if (header->AceType == ACCESS_ALLOWED_ACE_TYPE || header->AceType == ACCESS_DENIED_ACE_TYPE) {
      const auto* ace = static_cast<const ACCESS_ALLOWED_ACE*>(raw);
      PSID sid = const_cast<DWORD*>(&ace->SidStart);
      entries.push_back({Classify(sid, self), header->AceType == ACCESS_ALLOWED_ACE_TYPE,
                         (ace->Mask & kWriteRights) != 0, (ace->Mask & kRemoveRights) != 0});
    } else {
      // Object and callback entries are not looked into: any of them counts as open.
      entries.push_back({Principal::Other, true, true, true});
    }
  }
  return entries;
}

bool SetProtected(HANDLE handle) {
  UniqueLocalMemory descriptor = Descriptor(kProtectedFolder);
  if (!descriptor) return false;
  PSID owner = nullptr;
  BOOL defaulted = FALSE, present = FALSE;
  PACL dacl = nullptr;
  if (!::GetSecurityDescriptorOwner(descriptor.get(), &owner, &defaulted) ||
      !::GetSecurityDescriptorDacl(descriptor.get(), &present, &dacl, &defaulted)) {
    return false;
  }
  return ::SetSecurityInfo(handle, SE_FILE_OBJECT,
                           OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION,
                           owner, nullptr, dacl, nullptr) == ERROR_SUCCESS;
}

}  // namespace

std::optional<SecurityFacts> Win32Security::Facts(TextView path) {
  UniqueFile file(::CreateFileW(WidePath(path).c_str(), READ_CONTROL | FILE_READ_ATTRIBUTES,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  if (!file) return std::nullopt;
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
  std::vector<BYTE> user = ProcessUser();
  PSID self = user.empty() ? nullptr : reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid;

  SecurityFacts facts;
  facts.owner = Classify(owner, self);
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

bool Win32Security::ProtectFolder(TextView path) {
  // Opened as itself: rights set through a junction would land on what it points at.
  UniqueFile folder(::CreateFileW(WidePath(path).c_str(), READ_CONTROL | WRITE_DAC | WRITE_OWNER | FILE_READ_ATTRIBUTES,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  if (!folder) return false;
  BY_HANDLE_FILE_INFORMATION info{};
  if (!::GetFileInformationByHandle(folder.get(), &info) ||
      (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) || !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
    return false;
  }
  return SetProtected(folder.get());
}

bool Win32Security::CreateSecretFile(TextView path, std::string_view bytes) {
  UniqueLocalMemory descriptor = Descriptor(kSecretFile);
  if (!descriptor) return false;
  const std::wstring wide = WidePath(path);
  // Whatever was at the name (a key from before, or a file someone planted) goes.
  ::SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_NORMAL);
  ::DeleteFileW(wide.c_str());
  SECURITY_ATTRIBUTES attributes{sizeof attributes, descriptor.get(), FALSE};
  UniqueFile file(::CreateFileW(wide.c_str(), GENERIC_WRITE, 0, &attributes, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  DWORD written = 0;
  return ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
         written == bytes.size() && ::FlushFileBuffers(file.get());
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
