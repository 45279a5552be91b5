#include "win32/base/token_user.h"

#include <sddl.h>

#include "win32/base/unique_handle.h"

namespace zc::win {

std::vector<BYTE> TokenUserBytes(HANDLE token) {
  DWORD size = 0;
  ::GetTokenInformation(token, TokenUser, nullptr, 0, &size);
  if (size == 0) return {};
  std::vector<BYTE> bytes(size);
  if (!::GetTokenInformation(token, TokenUser, bytes.data(), size, &size)) return {};
  if (!::IsValidSid(UserSidIn(bytes))) return {};
  return bytes;
}

std::vector<BYTE> ProcessUserBytes() {
  UniqueHandle token;
  if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, token.put())) return {};
  return TokenUserBytes(token.get());
}

std::wstring SidText(PSID sid) {
  LPWSTR text = nullptr;
  if (!::ConvertSidToStringSidW(sid, &text)) return {};
  UniqueLocalMemory owner(text);
  return text;
}

std::optional<std::wstring> TokenUserSidText(HANDLE token) {
  std::vector<BYTE> bytes = TokenUserBytes(token);
  if (bytes.empty()) return std::nullopt;
  std::wstring text = SidText(UserSidIn(bytes));
  if (text.empty()) return std::nullopt;
  return text;
}

}  // namespace zc::win
