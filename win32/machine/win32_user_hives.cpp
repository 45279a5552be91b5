#include "win32/machine/win32_user_hives.h"

#include <windows.h>

#include <algorithm>
#include <vector>

#include "win32/base/ansi.h"
#include "win32/base/token_user.h"
#include "win32/base/unique_handle.h"
#include "win32/machine/shell_token.h"

namespace zc::win {
namespace {

constexpr wchar_t kProfileList[] = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";
constexpr wchar_t kLocalSystemSid[] = L"S-1-5-18";

// A person's account: a local or domain account, or a cloud one.
bool IsPersonSid(const std::wstring& sid) {
  return (sid.rfind(L"S-1-5-21-", 0) == 0 || sid.rfind(L"S-1-12-1-", 0) == 0) &&
         sid.find(L'_') == std::wstring::npos;
}

std::optional<Text> TokenUserSid(HANDLE token) {
  const std::optional<std::wstring> sid = TokenUserSidText(token);
  return sid ? std::optional<Text>(FromWide(*sid)) : std::nullopt;
}

bool TokenElevated(HANDLE token) {
  TOKEN_ELEVATION elevation{};
  DWORD size = 0;
  return GetTokenInformation(token, TokenElevation, &elevation, sizeof elevation, &size) && elevation.TokenIsElevated;
}

std::vector<std::wstring> SubkeyNames(HKEY root, const wchar_t* path) {
  std::vector<std::wstring> names;
  UniqueKey key;
  if (RegOpenKeyExW(root, path, 0, KEY_ENUMERATE_SUB_KEYS | KEY_WOW64_64KEY, key.put()) != ERROR_SUCCESS) return names;
  for (DWORD i = 0;; ++i) {
    wchar_t name[256];
    DWORD length = 256;
    const LONG result = RegEnumKeyExW(key.get(), i, name, &length, nullptr, nullptr, nullptr, nullptr);
    if (result == ERROR_NO_MORE_ITEMS) break;
    if (result == ERROR_SUCCESS) names.emplace_back(name, length);
  }
  return names;
}

// The profile's folder, for the report; the SID when the list does not name one.
Text ProfileFolder(const std::wstring& sid) {
  const std::wstring path = std::wstring(kProfileList) + L"\\" + sid;
  wchar_t folder[MAX_PATH] = {};
  DWORD size = sizeof folder;
  if (RegGetValueW(HKEY_LOCAL_MACHINE, path.c_str(), L"ProfileImagePath",
                   RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, nullptr, folder,
                   &size) == ERROR_SUCCESS &&
      folder[0] != L'\0')
    return FromWide(folder) + u" (" + FromWide(sid) + u")";
  return FromWide(sid);
}

}  // namespace

UserHives Win32UserHives::Read() {
  UserHives hives;
  UniqueHandle token;
  if (OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.put())) {
    hives.runningUser = TokenUserSid(token.get());
    hives.elevated = TokenElevated(token.get());
  }
  hives.localSystem = hives.runningUser && *hives.runningUser == FromWide(kLocalSystemSid);
  // The person at the keyboard: the user of the session's shell.
  if (!hives.localSystem) {
    if (UniqueHandle shell = ShellProcessToken(TOKEN_QUERY)) hives.interactiveUser = TokenUserSid(shell.get());
  }

  std::vector<std::wstring> loaded;
  for (const std::wstring& name : SubkeyNames(HKEY_USERS, L"")) {
    if (IsPersonSid(name)) loaded.push_back(name);
  }
  for (const std::wstring& sid : loaded) hives.loaded.push_back(FromWide(sid));
  for (const std::wstring& sid : SubkeyNames(HKEY_LOCAL_MACHINE, kProfileList)) {
    if (IsPersonSid(sid) && std::find(loaded.begin(), loaded.end(), sid) == loaded.end())
      hives.notLoaded.push_back(ProfileFolder(sid));
  }
  return hives;
}

}  // namespace zc::win
