#include "core/engine/listing_rules.h"

#include <algorithm>

namespace zc {
namespace {

constexpr TextView kLineEnd = u"\r\n";
constexpr TextView kServicesEnd = u"   ";

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }

// The line of `text` that holds position `at`: from just after the CR LF before it to
// the next CR LF at or after it (or the text's ends). A position between a CR and its LF
// belongs to the line that CR LF ends.
TextView LineAt(TextView text, size_t at) {
  at = std::min(at, text.size());
  // Between a line's CR and its LF is still that line.
  if (at > 0 && at < text.size() && text[at - 1] == u'\r' && text[at] == u'\n') --at;
  const size_t previous = text.substr(0, at).rfind(kLineEnd);
  const size_t start = previous == TextView::npos ? 0 : previous + kLineEnd.size();
  const size_t end = std::min(text.find(kLineEnd, at), text.size());
  return text.substr(start, end - start);
}

TextView LastField(TextView line) {
  size_t end = line.size();
  while (end > 0 && IsBlank(line[end - 1])) --end;
  size_t start = end;
  while (start > 0 && !IsBlank(line[start - 1])) --start;
  return line.substr(start, end - start);
}

// Where `field` + one space first stands on `line` as a field of its own (at the line's
// start or after a blank), searching from `from`; npos when nowhere.
size_t FindWholeField(TextView line, TextView fieldAndSpace, size_t from) {
  for (size_t at = line.find(fieldAndSpace, from); at != TextView::npos; at = line.find(fieldAndSpace, at + 1)) {
    if (at == 0 || IsBlank(line[at - 1])) return at;
  }
  return TextView::npos;
}

}  // namespace

Text IdTextOfMatchedLine(TextView listing, TextView pattern, size_t matchAt) {
  // The line on which the match ends: a pattern that itself ends with a CR LF names
  // the line after it, as the text that follows the match does.
  const size_t matchEnd = std::min(matchAt + pattern.size(), listing.size());
  return Text(LastField(LineAt(listing, matchEnd)));
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

bool AnyLineNamesAProcessId(TextView listing) {
  size_t lineStart = 0;
  while (lineStart < listing.size()) {
    const size_t lineEnd = std::min(listing.find(kLineEnd, lineStart), listing.size());
    if (ReadProcessId(LastField(listing.substr(lineStart, lineEnd - lineStart))) != 0) return true;
    lineStart = lineEnd + kLineEnd.size();
  }
  return false;
}

uint32_t FirstProcessIdAfterMatches(TextView listing, TextView pattern, size_t firstAt) {
  if (pattern.empty()) return 0;
  for (size_t at = firstAt; at != TextView::npos && at < listing.size();
       at = listing.find(pattern, at + pattern.size())) {
    const uint32_t id = ReadProcessId(IdTextOfMatchedLine(listing, pattern, at));
    if (id != 0) return id;
  }
  return 0;
}

Text ServicesTextOf(TextView serviceListing, uint32_t processId) {
  Text lead = DecimalText(processId);
  lead.push_back(u' ');
  size_t lineStart = 0;
  while (lineStart <= serviceListing.size()) {
    const size_t lineEnd = std::min(serviceListing.find(kLineEnd, lineStart), serviceListing.size());
    const TextView line = serviceListing.substr(lineStart, lineEnd - lineStart);
    const size_t at = FindWholeField(line, lead, 0);
    if (at != TextView::npos) {
      const size_t from = at + lead.size();
      const size_t next = FindWholeField(line, lead, from);
      TextView services = line.substr(from, next == TextView::npos ? TextView::npos : next - from);
      return Text(services.substr(0, services.find(kServicesEnd)));
    }
    if (lineEnd == serviceListing.size()) break;
    lineStart = lineEnd + kLineEnd.size();
  }
  return {};
}

}  // namespace zc
