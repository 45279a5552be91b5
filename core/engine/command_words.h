#pragma once
// The words of a command line's arguments, read the way a program's start-up code reads
// them, and the small tests the host programs' readers make on single words.

#include <vector>

#include "core/base/text.h"

namespace zc {

struct CommandWord {
  Text text;         // the word with its quotes taken away and its escapes applied
  size_t begin = 0;  // where the word starts in the line (its opening quote included)
  size_t end = 0;    // one past its last character (its closing quote included)
  bool quoted = false;  // the word began with a double quote
};

// Splits `line` into words: blanks (space, tab) outside double quotes separate words; a
// double quote opens or closes a quoted part; inside one, two double quotes stand for
// one; 2n backslashes before a double quote stand for n backslashes and the quote keeps
// its role, 2n+1 backslashes stand for n backslashes and a literal quote; other
// backslashes are literal.
std::vector<CommandWord> SplitCommandWords(TextView line);

bool IsCommandBlank(char16_t c);

// The text without leading and trailing blanks (space and tab).
TextView TrimBlanks(TextView text);

// The text without any double quotes.
Text WithoutQuotes(TextView text);

// True when `text` starts with `lead`, letter case ignored.
bool StartsWithFolded(TextView text, TextView lead);

// True when `text` ends with `tail`, letter case ignored.
bool EndsWithFolded(TextView text, TextView tail);

// True when `word` (letter case ignored) is `full` or a shortening of it of at least
// `shortest` characters, as PowerShell reads its parameter names: "fil" for "file".
bool AbbreviatesOption(TextView word, TextView full, size_t shortest);

// True when the text starts with an address scheme of two or more characters and a
// colon ("http:", "https:", "vbscript:", "javascript:", "file:", "shell:"): such a
// text names something to fetch or an inline script, not a file on this machine. A
// drive letter ("C:") is no scheme.
bool HasAddressScheme(TextView text);

// Splits the text at its first comma outside double quotes: `before` gets what precedes
// it, `after` what follows it. False (and `before` the whole text) when it has none.
bool SplitAtComma(TextView text, TextView& before, TextView& after);

}  // namespace zc
