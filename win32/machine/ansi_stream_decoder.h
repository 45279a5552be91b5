#pragma once
// Converts ANSI text that arrives in pieces (reads from a pipe). A double-byte
// character whose lead byte ends one piece is held back and converted together with
// its trail byte from the next piece, instead of becoming two wrong characters.

#include <string>
#include <string_view>

#include "core/base/text.h"

namespace zc::win {

class AnsiStreamDecoder {
 public:
  // Converts `piece`, joined to a lead byte held back from the piece before.
  Text Decode(std::string_view piece);

  // Converts a lead byte still held back (the stream ended after it).
  Text Finish();

 private:
  std::string pending_;
};

}  // namespace zc::win
