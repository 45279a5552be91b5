#pragma once
// Texts written into a file whose code page cannot hold every character (the activity
// log is ANSI text). A character the code page lacks is written as a numeric character
// reference, "&#x1F600;", of its code point; so is the "&" of a "&#" the text itself
// holds, which keeps the form unambiguous: every "&#" in such a file begins a
// reference, and the original text is always recovered exactly. Line breaks are
// written as references too, so a text stays on its one line. Texts the code page
// holds whole are written as they are.

#include <functional>

#include "core/base/text.h"

namespace zc {

// Whether the target code page holds the code point exactly (no substitute, no look-
// alike). Called for each code point outside printable ASCII; unpaired surrogates are
// passed as themselves and are normally refused.
using CodePointTest = std::function<bool(char32_t)>;

Text WithCharacterReferences(TextView text, const CodePointTest& holds);

// The inverse: every well-formed "&#xHEX;" becomes its code point (its UTF-16 units);
// anything else stays as it is.
Text WithoutCharacterReferences(TextView text);

}  // namespace zc
