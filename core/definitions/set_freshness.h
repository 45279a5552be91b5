#pragma once
// How current a definitions set is. The publisher's signature proves who made a set,
// not when: an old set served again (by anyone on the way, or a stale mirror) would
// bring back patterns that were withdrawn. So each set carries, in its first element
// (enciphered like the others, and covered by the signature with the rest of the set),
// "SERIAL|EXPIRES": a serial number that grows with every set the publisher signs, and
// the second (Unix time, UTC) after which the set may no longer be used.
//
// The program keeps the highest serial it has started with on this machine and
// refuses any set below it, and any set whose expiry has passed (with an allowance for
// a clock that runs a little fast). A build that checks signatures refuses a set that
// carries no serial: every set signed before serials existed is such a set, so
// accepting them would leave the replay open. A build without a key checks what a set
// carries and accepts one without.

#include <cstdint>
#include <optional>

#include "core/base/text.h"

namespace zc {

struct SetFreshness {
  uint64_t serial = 0;
  int64_t expiresAt = 0;  // Unix seconds, UTC

  bool operator==(const SetFreshness&) const = default;
};

// How far the machine's clock may run ahead of the publisher's before a set counts as
// expired.
inline constexpr int64_t kClockSkewAllowanceSeconds = 60 * 60;

// Reads "SERIAL|EXPIRES" (decimal digits only, serial at least 1); nothing for any
// other text.
std::optional<SetFreshness> ReadSetFreshness(TextView plain);

// The text a publisher puts into the first element.
Text SetFreshnessText(const SetFreshness& freshness);

enum class FreshnessVerdict {
  Fresh,
  Undated,   // the set carries no serial and expiry, and the build requires them
  Replayed,  // its serial is below the highest this machine has accepted
  Expired,   // its expiry (plus the allowance) has passed
};

// `highestAccepted`: nothing on a machine that has accepted no set with a serial yet.
FreshnessVerdict JudgeFreshness(const std::optional<SetFreshness>& freshness,
                                const std::optional<uint64_t>& highestAccepted, int64_t now, bool required);

// The reason for a verdict other than Fresh, in plain words for the report.
Text DescribeFreshness(FreshnessVerdict verdict, const std::optional<SetFreshness>& freshness,
                       const std::optional<uint64_t>& highestAccepted);

// A serial as decimal digits (the whole unsigned range), as it is stored.
Text SerialText(uint64_t serial);

// Reads a stored serial (decimal digits); nothing for anything else.
std::optional<uint64_t> ReadStoredSerial(TextView text);

}  // namespace zc
