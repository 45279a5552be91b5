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

namespace {

void Require(bool condition) {
  if (!condition) std::abort();
}

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

  // Every occurrence of the pattern: the id text is a piece of the listing of at most six
  // characters with no line end, and a non-zero id reads only from decimal digits.
  uint32_t firstId = 0;
  if (!pattern.empty()) {
    for (size_t at = listing.find(pattern); at != TextView::npos; at = listing.find(pattern, at + 1)) {
      const Text idText = IdTextAfterMatch(listing, pattern, at);
      Require(idText.size() <= 6 && idText.find(u"\r\n") == Text::npos);
      Require(listing.find(idText, at) != Text::npos);
      const uint32_t id = ReadProcessId(idText);
      Require(id == 0 || AllDigits(idText));
    }
    const size_t first = listing.find(pattern);
    if (first != TextView::npos) {
      // The scan's walk: occurrences that do not overlap, the first non-zero id wins.
      for (size_t at = first; at != TextView::npos; at = listing.find(pattern, at + pattern.size())) {
        firstId = ReadProcessId(IdTextAfterMatch(listing, pattern, at));
        if (firstId != 0) break;
      }
      Require(FirstProcessIdAfterMatches(listing, pattern, first) == firstId);
    }
  }
  Require(FirstProcessIdAfterMatches(listing, Text(), 0) == 0);

  // The id text read back: a decimal number reads as itself.
  const Text decimal = DecimalText(processId);
  Require(ReadProcessId(decimal) == processId || processId == 0);

  // The services text is a piece of one line of the listing, found after the id and a blank.
  const Text services = ServicesTextOf(listing, processId);
  if (!services.empty()) {
    Text lead = decimal + u" ";
    const size_t at = listing.find(lead);
    Require(at != Text::npos);
    Require(listing.compare(at + lead.size(), services.size(), services) == 0);
    Require(services.find(u"\r\n") == Text::npos && services.find(u"   ") == Text::npos);
  }
  return 0;
}
