#pragma once
// Splitting a text at a separator the way the definitions set needs it: every piece is
// kept, empty ones included, so "|a|b|" gives four pieces and "a|b" two; an empty text
// gives no pieces at all. Occurrences are taken from the left without overlap, so
// "@@@" split at "@@" gives "" and "@".

#include <vector>

#include "core/base/text.h"

namespace zc {

// `separator` must not be empty; an empty separator gives the whole text as one piece.
std::vector<Text> SplitPieces(TextView text, TextView separator);

}  // namespace zc
