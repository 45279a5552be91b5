#pragma once
// Texts inside the program are UTF-16 and cross into Windows through the wide calls.
// The ANSI code page (949 on a Korean Windows) is met only where a file must hold ANSI
// text or a program prints it: there a text is converted exactly or not at all (no
// best-fit look-alikes, no substitute characters).

#include <optional>
#include <string>
#include <string_view>

#include "core/base/text.h"

namespace zc::win {

// The text in the ANSI code page, or nothing when some character has no exact form in
// it (an unpaired surrogate included).
std::optional<std::string> ToAnsiExactly(TextView text);

// Whether the ANSI code page holds this one code point exactly.
bool AnsiCodePageHolds(char32_t codePoint);

// ANSI text (a file's bytes, a program's output) as UTF-16.
Text FromAnsi(std::string_view ansi);

// The core's UTF-16 text as the platform's wide string, and back (same code units).
std::wstring ToWide(TextView text);
Text FromWide(std::wstring_view wide);

}  // namespace zc::win
