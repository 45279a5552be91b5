#include "win32/machine/win32_environment.h"

#include <userenv.h>

#include <string>

#include "win32/base/ansi.h"
#include "win32/base/token_user.h"
#include "win32/base/unique_handle.h"
#include "win32/machine/user_token.h"

namespace zc::win {
namespace {

constexpr DWORD kLongestExpansion = 32768;  // the platform's limit for one expanded text

bool IsRunningAccount(const std::wstring& sid) {
  UniqueHandle token;
  if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, token.put())) return false;
  const std::optional<std::wstring> own = TokenUserSidText(token.get());
  return own && _wcsicmp(own->c_str(), sid.c_str()) == 0;
}

}  // namespace

Text Win32Environment::ExpandVariables(TextView text) {
  const std::wstring source = ToWide(text);
  std::wstring expanded(source.size() + 256, L'\0');
  for (int attempt = 0; attempt < 3; ++attempt) {
    const DWORD needed = ::ExpandEnvironmentStringsW(source.c_str(), expanded.data(), static_cast<DWORD>(expanded.size()));
    if (needed == 0) return Text(text);  // nothing could be expanded: the text as it is
    if (needed <= expanded.size()) {
      expanded.resize(needed - 1);  // without the terminating zero
      return FromWide(expanded);
    }
    expanded.assign(needed, L'\0');
  }
  return Text(text);
}

std::optional<Text> ExpandWithUserToken(HANDLE token, TextView text) {
  const std::wstring source = ToWide(text);
  if (source.size() >= kLongestExpansion) return std::nullopt;
  // The call tells no length it would need: room for the longest text there can be.
  std::wstring expanded(kLongestExpansion, L'\0');
  if (!::ExpandEnvironmentStringsForUserW(token, source.c_str(), expanded.data(), kLongestExpansion))
    return std::nullopt;
  expanded.resize(::wcsnlen(expanded.c_str(), kLongestExpansion));
  return FromWide(expanded);
}

std::optional<Text> Win32Environment::ExpandVariablesFor(TextView userSid, TextView text) {
  const std::wstring sid = ToWide(userSid);
  if (sid.empty() || IsRunningAccount(sid)) return ExpandVariables(text);
  const UniqueHandle found = TokenOfUser(sid);
  if (!found) return std::nullopt;
  // A copy of our own, with the access the expansion asks for.
  UniqueHandle token;
  if (!::DuplicateTokenEx(found.get(), TOKEN_QUERY | TOKEN_IMPERSONATE | TOKEN_DUPLICATE, nullptr,
                          SecurityImpersonation, TokenPrimary, token.put()))
    return std::nullopt;
  return ExpandWithUserToken(token.get(), text);
}

}  // namespace zc::win
