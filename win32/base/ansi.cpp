#include "win32/base/ansi.h"

#include <windows.h>

namespace zc::win {

std::string ToAnsi(TextView text) {
  if (text.empty()) return {};
  const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
  const int length = static_cast<int>(text.size());
  const int needed = ::WideCharToMultiByte(CP_ACP, 0, wide, length, nullptr, 0, nullptr, nullptr);
  if (needed <= 0) return {};
  std::string out(static_cast<size_t>(needed), '\0');
  ::WideCharToMultiByte(CP_ACP, 0, wide, length, out.data(), needed, nullptr, nullptr);
  return out;
}

Text FromAnsi(std::string_view ansi) {
  if (ansi.empty()) return {};
  const int length = static_cast<int>(ansi.size());
  const int needed = ::MultiByteToWideChar(CP_ACP, 0, ansi.data(), length, nullptr, 0);
  if (needed <= 0) return {};
  Text out(static_cast<size_t>(needed), u'\0');
  ::MultiByteToWideChar(CP_ACP, 0, ansi.data(), length, reinterpret_cast<wchar_t*>(out.data()),
                        needed);
  return out;
}

std::wstring ToWide(TextView text) { return std::wstring(text.begin(), text.end()); }

Text FromWide(std::wstring_view wide) { return Text(wide.begin(), wide.end()); }

}  // namespace zc::win
