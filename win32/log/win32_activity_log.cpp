#include "win32/log/win32_activity_log.h"

#include <windows.h>

#include <optional>
#include <string>

#include "core/base/character_references.h"
#include "core/crypto/text_cipher.h"
#include "core/texts/enciphered.h"
#include "win32/base/ansi.h"
#include "win32/base/file_path.h"
#include "win32/base/unique_handle.h"

namespace zc::win {

namespace {

using UniqueFind = UniqueAny<FindHandleTraits>;
using UniqueFile = UniqueAny<FileHandleTraits>;

constexpr DWORD kNotNormal = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

// Step 2: a listing of the path that matches normal files only (read-only ones included).
bool ListedAsNormalFile(const std::wstring& path) {
  WIN32_FIND_DATAW found{};
  UniqueFind find(::FindFirstFileW(path.c_str(), &found));
  if (!find) return false;
  do {
    if ((found.dwFileAttributes & kNotNormal) == 0) return true;
  } while (::FindNextFileW(find.get(), &found));
  return false;
}

// The refusals of Windows that Wine, run as root, does not make: opening a read-only
// file for writing, and CREATE_ALWAYS with normal attributes over a hidden or system
// file, both fail with ERROR_ACCESS_DENIED. Made explicit so the outcome is the same
// everywhere: such a file is left untouched and the line is not written.
bool Attributes(const std::wstring& path, DWORD& attributes) {
  attributes = ::GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES;
}

bool WindowsRefusesAppending(const std::wstring& path) {
  DWORD attributes = 0;
  return Attributes(path, attributes) && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

bool WindowsRefusesCreating(const std::wstring& path) {
  DWORD attributes = 0;
  return Attributes(path, attributes) && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
         (attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY)) != 0;
}

Text Formatted(int (*format)(LCID, DWORD, const SYSTEMTIME*, LPCWSTR, LPWSTR, int), DWORD flags,
               const SYSTEMTIME& time) {
  const int needed = format(LOCALE_USER_DEFAULT, flags, &time, nullptr, nullptr, 0);
  if (needed <= 1) return {};
  std::wstring buffer(static_cast<size_t>(needed), L'\0');
  const int written = format(LOCALE_USER_DEFAULT, flags, &time, nullptr, buffer.data(), needed);
  if (written <= 1) return {};
  buffer.resize(static_cast<size_t>(written - 1));
  return FromWide(buffer);
}

int DateFormat(LCID locale, DWORD flags, const SYSTEMTIME* time, LPCWSTR format, LPWSTR out, int size) {
  return ::GetDateFormatW(locale, flags, time, format, out, size);
}

int TimeFormat(LCID locale, DWORD flags, const SYSTEMTIME* time, LPCWSTR format, LPWSTR out, int size) {
  return ::GetTimeFormatW(locale, flags, time, format, out, size);
}

}  // namespace

Text GeneralDateNow() {
  SYSTEMTIME now{};
  ::GetLocalTime(&now);
  return Formatted(&DateFormat, DATE_SHORTDATE, now) + u" " + Formatted(&TimeFormat, 0, now);
}

void Win32ActivityLog::Log_Trans(TextView line, TextView folder) {
  // 1. The path; the file name's own deciphering must never report (that would log).
  SilentFailureReporter silent;
  const Text name = DecryptText(enc::LogFileName, kTextKey, silent);
  const Text joined = Text(folder) + name;
  if (joined.empty()) return;
  const std::wstring path = WidePath(joined);

  // 2-4. Append to a listed normal file, else create.
  UniqueFile file;
  if (ListedAsNormalFile(path)) {
    if (!WindowsRefusesAppending(path))
      file.reset(::CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
  } else if (!WindowsRefusesCreating(path)) {
    file.reset(::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr));
  }
  if (!file) return;

  // 5. One line in the ANSI code page. A character the code page lacks is written as a
  // character reference rather than lost to its substitute, so the file stays ANSI text
  // (older logs go on growing in the same form) and every name can be read back exactly.
  Text text = u"[";
  text.append(GeneralDateNow()).append(u"] ").append(line);
  const std::optional<std::string> ansi = ToAnsiExactly(WithCharacterReferences(text, &AnsiCodePageHolds));
  if (!ansi) return;
  const std::string bytes = *ansi + "\r\n";
  DWORD written = 0;
  ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  // 6. Closed by the handle's owner.
}

}  // namespace zc::win
