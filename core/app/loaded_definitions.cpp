#include "core/app/loaded_definitions.h"

#include "core/definitions/load_definitions.h"
#include "core/app/form1.h"
#include "core/app/policy_precedence.h"
#include "core/definitions/version.h"
#include "core/platform/event_ids.h"

namespace zc {

namespace {

constexpr char16_t kSerialKey[] = u"serial";

}  // namespace

DefinitionsLoadResult LoadedDefinitions::Load() {
  const DefinitionsLoadResult result = Judge();
  if (result.failure != DefinitionsLoadFailure::None) events_.Report(events::kDefinitionsRefused, result.detail);
  return result;
}

DefinitionsLoadResult LoadedDefinitions::Judge() {
  freshness_.reset();
  const DefinitionsResult result = LoadDefinitions(
      http_, texts_, set_, signer_, EffectiveDefinitionsAddress(policyAddress_, texts_.Get(enc::DefinitionsAddress)));
  switch (result.error) {
    case DefinitionsError::None: {
      // The first element is there: the set has all fourteen.
      freshness_ = ReadSetFreshness(texts_.Get(set_.DefinitionsElements[0]));
      const std::optional<uint64_t> highest = HighestAccepted();
      const FreshnessVerdict verdict = JudgeFreshness(freshness_, highest, clock_.UnixSeconds(), signer_.SignsSets());
      if (verdict == FreshnessVerdict::Fresh) return {};
      return {DefinitionsLoadFailure::Definitions, DescribeFreshness(verdict, freshness_, highest)};
    }
    case DefinitionsError::RequestNotSent:
      return {DefinitionsLoadFailure::Network, DescribeDefinitionsResult(result)};
    default:
      return {DefinitionsLoadFailure::Definitions, DescribeDefinitionsResult(result)};
  }
}

void LoadedDefinitions::RememberAccepted() {
  if (!freshness_) return;
  const std::optional<uint64_t> highest = HighestAccepted();
  if (highest && *highest >= freshness_->serial) return;
  settings_.SaveSetting(kOptionApplication, kOptionSection, kSerialKey, SerialText(freshness_->serial));
}

std::optional<uint64_t> LoadedDefinitions::HighestAccepted() {
  const std::optional<Text> stored = settings_.GetSetting(kOptionApplication, kOptionSection, kSerialKey);
  return stored ? ReadStoredSerial(*stored) : std::nullopt;
}

bool LoadedDefinitions::IsNewerVersionPublished() { return zc::IsNewerVersionPublished(set_, texts_); }

bool LoadedDefinitions::FillPatternTables() { return zc::FillPatternTables(set_).ok(); }

}  // namespace zc
