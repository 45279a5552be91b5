#include "core/engine/listing_rules.h"

#include <algorithm>

namespace zc {
namespace {

constexpr TextView kLineEnd = u"\r\n";
constexpr size_t kIdWidth = 6;
constexpr TextView kServicesEnd = u"   ";

// The text from `from` up to the next occurrence of `marker` (searched from `from`),
// the next CR LF or the end of `text`. Only the rest of the line is searched for the
// marker: a listing holds thousands of lines.
TextView UpToNextMarkerOrLineEnd(TextView text, TextView marker, size_t from) {
  const size_t lineEnd = std::min(text.find(kLineEnd, from), text.size());
  // A marker that starts before the line end counts even when it runs past it.
  const TextView searched = text.substr(from, lineEnd - from + (marker.empty() ? 0 : marker.size() - 1));
  return text.substr(from, std::min(searched.find(marker), lineEnd - from));
}

}  // namespace

Text IdTextAfterMatch(TextView listing, TextView pattern, size_t matchAt) {
  const size_t from = std::min(matchAt + pattern.size(), listing.size());
  TextView rest = UpToNextMarkerOrLineEnd(listing, pattern, from);
  if (rest.size() > kIdWidth) rest.remove_prefix(rest.size() - kIdWidth);
  return TrimSpaces(rest);
}

uint32_t ReadProcessId(TextView idText) {
  if (idText.empty()) return 0;
  uint64_t value = 0;
  for (const char16_t c : idText) {
    if (c < u'0' || c > u'9') return 0;
    value = value * 10 + static_cast<uint64_t>(c - u'0');
    if (value > UINT32_MAX) return 0;
  }
  return static_cast<uint32_t>(value);
}

uint32_t FirstProcessIdAfterMatches(TextView listing, TextView pattern, size_t firstAt) {
  if (pattern.empty()) return 0;
  for (size_t at = firstAt; at != TextView::npos && at < listing.size();
       at = listing.find(pattern, at + pattern.size())) {
    const uint32_t id = ReadProcessId(IdTextAfterMatch(listing, pattern, at));
    if (id != 0) return id;
  }
  return 0;
}

Text ServicesTextOf(TextView serviceListing, uint32_t processId) {
  Text lead = DecimalText(processId);
  lead.push_back(u' ');
  const size_t at = serviceListing.find(lead);
  if (at == TextView::npos) return {};
  TextView services = UpToNextMarkerOrLineEnd(serviceListing, lead, at + lead.size());
  return Text(services.substr(0, services.find(kServicesEnd)));
}

}  // namespace zc
