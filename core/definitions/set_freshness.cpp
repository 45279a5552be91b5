#include "core/definitions/set_freshness.h"

#include <limits>

namespace zc {
namespace {

// Whole decimal digits that fit `Number`; nothing for an empty text, any other
// character or an overflow.
template <typename Number>
std::optional<Number> ReadDigits(TextView text) {
  if (text.empty() || text.size() > 20) return std::nullopt;
  Number value = 0;
  for (const char16_t c : text) {
    if (c < u'0' || c > u'9') return std::nullopt;
    const Number digit = static_cast<Number>(c - u'0');
    if (value > (std::numeric_limits<Number>::max() - digit) / 10) return std::nullopt;
    value = static_cast<Number>(value * 10 + digit);
  }
  return value;
}

}  // namespace

Text SerialText(uint64_t serial) {
  Text digits;
  do {
    digits.insert(digits.begin(), static_cast<char16_t>(u'0' + serial % 10));
    serial /= 10;
  } while (serial != 0);
  return digits;
}

std::optional<SetFreshness> ReadSetFreshness(TextView plain) {
  const size_t bar = plain.find(u'|');
  if (bar == TextView::npos) return std::nullopt;
  const std::optional<uint64_t> serial = ReadDigits<uint64_t>(plain.substr(0, bar));
  const std::optional<int64_t> expires = ReadDigits<int64_t>(plain.substr(bar + 1));
  if (!serial || !expires || *serial == 0) return std::nullopt;
  return SetFreshness{*serial, *expires};
}

Text SetFreshnessText(const SetFreshness& freshness) {
  return SerialText(freshness.serial) + u"|" + DecimalText(static_cast<long long>(freshness.expiresAt));
}

FreshnessVerdict JudgeFreshness(const std::optional<SetFreshness>& freshness,
                                const std::optional<uint64_t>& highestAccepted, int64_t now, bool required) {
  if (!freshness) return required ? FreshnessVerdict::Undated : FreshnessVerdict::Fresh;
  if (highestAccepted && freshness->serial < *highestAccepted) return FreshnessVerdict::Replayed;
  if (now > freshness->expiresAt && now - freshness->expiresAt > kClockSkewAllowanceSeconds) {
    return FreshnessVerdict::Expired;
  }
  return FreshnessVerdict::Fresh;
}

Text DescribeFreshness(FreshnessVerdict verdict, const std::optional<SetFreshness>& freshness,
                       const std::optional<uint64_t>& highestAccepted) {
  switch (verdict) {
    case FreshnessVerdict::Fresh:
      return {};
    case FreshnessVerdict::Undated:
      return u"the definitions set carries no serial number and expiry time";
    case FreshnessVerdict::Replayed:
      return u"the definitions set is older than one already used: its serial number " +
             SerialText(freshness ? freshness->serial : 0) + u" is below " +
             SerialText(highestAccepted ? *highestAccepted : 0);
    case FreshnessVerdict::Expired:
      return u"the definitions set has expired: its expiry time " +
             DecimalText(static_cast<long long>(freshness ? freshness->expiresAt : 0)) + u" (Unix time, UTC) has passed";
  }
  return {};
}

std::optional<uint64_t> ReadStoredSerial(TextView text) { return ReadDigits<uint64_t>(text); }

}  // namespace zc
