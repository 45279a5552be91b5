#pragma once
// The core's text type. Inside the program every text is Unicode, held as UTF-16 code
// units exactly as the window, the registry and the cipher's payload see them; lengths,
// positions and cuts therefore count UTF-16 code units. Texts become ANSI (the system
// code page) only where they cross into the platform, in the Win32 layer.

#include <string>
#include <string_view>

namespace zc {

using Text = std::u16string;
using TextView = std::u16string_view;

// UTF-8 <-> UTF-16 for tools, tests and sources kept in UTF-8. Invalid UTF-8 bytes
// become U+FFFD; unpaired surrogates become U+FFFD on the way out.
Text FromUtf8(std::string_view utf8);
std::string ToUtf8(TextView text);

// Appends one code point (at most U+10FFFF) as its UTF-16 units: a surrogate pair for
// one outside the Basic Multilingual Plane.
void AppendCodePoint(Text& out, char32_t codePoint);

// The code point that starts at `at`: a surrogate pair read as one, an unpaired
// surrogate as itself. `units` gets how many code units it takes (1 or 2).
char32_t CodePointAt(TextView text, size_t at, size_t& units);

// Widens 7-bit text (command words, digits) without any decoding.
Text FromAscii(std::string_view ascii);

// Decimal text of a number, no sign for non-negative values, no padding.
Text DecimalText(long long value);

// True when `needle` occurs in `haystack`, exact comparison.
inline bool Contains(TextView haystack, TextView needle) {
  return haystack.find(needle) != TextView::npos;
}

// Lower-cases the ASCII letters and the upper-case letters of Latin-1; other code
// units stay. Used where names are compared ignoring letter case.
Text FoldCase(TextView text);

// Removes leading and trailing blanks (U+0020 only).
Text TrimSpaces(TextView text);

}  // namespace zc
