// Arbitrary connection and service listings through the rules that read them: the
// listings come from console programs on the machine and the patterns from the
// downloaded definitions, so any text may arrive.
//
// Input: NUL-separated pieces: the listing, the pattern, and a decimal process id for the
// service lookup. Bytes above 0x7F stand for Korean characters.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "core/engine/listing_rules.h"
#include "fuzz/fuzz_require.h"

namespace {

using zc::fuzz::Require;

std::vector<zc::Text> Pieces(const uint8_t* data, size_t size) {
  std::vector<zc::Text> pieces(1);
  for (size_t i = 0; i < size; ++i) {
    if (data[i] == 0) {
      pieces.emplace_back();
    } else {
      pieces.back().push_back(data[i] < 0x80 ? data[i] : static_cast<char16_t>(0xAC00 + data[i]));
    }
  }
  return pieces;
}

bool AllDigits(zc::TextView text) {
  for (const char16_t c : text)
    if (c < u'0' || c > u'9') return false;
  return !text.empty();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace zc;
  const std::vector<Text> pieces = Pieces(data, size);
  const Text& listing = pieces[0];
  const Text pattern = pieces.size() > 1 ? pieces[1] : Text();
  const uint32_t processId = pieces.size() > 2 ? ReadProcessId(pieces[2]) : 0;

  // Every occurrence of the pattern: the id text is one whole field of the listing (no
  // blank, no line end inside, a blank or a line's edge on each side), and a non-zero id
  // reads only from decimal digits.
  if (!pattern.empty()) {
    for (size_t at = listing.find(pattern); at != TextView::npos; at = listing.find(pattern, at + 1)) {
      const Text idText = IdTextOfMatchedLine(listing, pattern, at);
      Require(idText.find_first_of(u" \t") == Text::npos && idText.find(u"\r\n") == Text::npos);
      Require(listing.find(idText) != Text::npos);
      const uint32_t id = ReadProcessId(idText);
      Require(id == 0 || AllDigits(idText));
    }
    const size_t first = listing.find(pattern);
    if (first != TextView::npos) {
      // The scan's walk: occurrences that do not overlap, the first non-zero id wins.
      uint32_t firstId = 0;
      for (size_t at = first; at != TextView::npos; at = listing.find(pattern, at + pattern.size())) {
        firstId = ReadProcessId(IdTextOfMatchedLine(listing, pattern, at));
        if (firstId != 0) break;
      }
      Require(FirstProcessIdAfterMatches(listing, pattern, first) == firstId);
    }
  }
  Require(FirstProcessIdAfterMatches(listing, Text(), 0) == 0);

  // The id text read back: a decimal number reads as itself.
  const Text decimal = DecimalText(processId);
  Require(ReadProcessId(decimal) == processId || processId == 0);

  // The services text follows the id and one space on one line, where the id stands as a
  // field of its own (never the end of a longer number); it holds no line end and no run
  // of three blanks.
  const Text services = ServicesTextOf(listing, processId);
  if (!services.empty()) {
    const Text lead = decimal + u" " + services;
    bool found = false;
    for (size_t at = listing.find(lead); at != Text::npos && !found; at = listing.find(lead, at + 1))
      found = at == 0 || listing[at - 1] == u' ' || listing[at - 1] == u'\t' || listing[at - 1] == u'\n';
    Require(found);
    Require(services.find(u"\r\n") == Text::npos && services.find(u"   ") == Text::npos);
  }
  return 0;
}
