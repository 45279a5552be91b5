#include "win32/machine/ansi_stream_decoder.h"

#include <windows.h>

#include "win32/base/ansi.h"

namespace zc::win {

Text AnsiStreamDecoder::Decode(std::string_view piece) {
  std::string bytes = std::move(pending_);
  pending_.clear();
  bytes.append(piece);

  // A trail byte may look like a lead byte, so the characters are walked from the start.
  size_t i = 0;
  while (i < bytes.size()) {
    i += ::IsDBCSLeadByte(static_cast<BYTE>(bytes[i])) ? 2 : 1;
  }
  if (i > bytes.size()) {
    pending_.assign(1, bytes.back());
    bytes.pop_back();
  }
  return FromAnsi(bytes);
}

Text AnsiStreamDecoder::Finish() {
  const std::string rest = std::move(pending_);
  pending_.clear();
  return FromAnsi(rest);
}

}  // namespace zc::win
