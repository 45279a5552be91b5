#include "win32/base/ansi.h"

#include <windows.h>

namespace zc::win {
namespace {

bool HasUnpairedSurrogate(TextView text) {
  for (size_t i = 0, units = 1; i < text.size(); i += units) {
    const char32_t codePoint = CodePointAt(text, i, units);
    if (codePoint >= 0xD800 && codePoint <= 0xDFFF) return true;
  }
  return false;
}

}  // namespace

std::optional<std::string> ToAnsiExactly(TextView text) {
  if (text.empty()) return std::string();
  if (HasUnpairedSurrogate(text)) return std::nullopt;
  const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
  const int length = static_cast<int>(text.size());
  // A system whose ANSI code page is UTF-8 holds every character, and refuses both the
  // no-best-fit flag and the substitute report for it.
  const bool utf8 = ::GetACP() == CP_UTF8;
  const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
  BOOL substituted = FALSE;
  BOOL* report = utf8 ? nullptr : &substituted;
  const int needed = ::WideCharToMultiByte(CP_ACP, flags, wide, length, nullptr, 0, nullptr, report);
  if (needed <= 0 || substituted) return std::nullopt;
  std::string out(static_cast<size_t>(needed), '\0');
  if (::WideCharToMultiByte(CP_ACP, flags, wide, length, out.data(), needed, nullptr, report) != needed ||
      substituted) {
    return std::nullopt;
  }
  // Exact means it reads back as the same text.
  if (FromAnsi(out) != text) return std::nullopt;
  return out;
}

bool AnsiCodePageHolds(char32_t codePoint) {
  if (codePoint > 0x10FFFF) return false;
  Text one;
  AppendCodePoint(one, codePoint);
  const std::optional<std::string> ansi = ToAnsiExactly(one);
  // Best fit aside, some code pages map a character to the substitute itself without
  // reporting it; a "?" is only exact for "?".
  return ansi.has_value() && (*ansi != "?" || codePoint == u'?');
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
