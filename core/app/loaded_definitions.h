#pragma once
// The main window's definitions set behind the narrow port its start-up uses: one
// download and parse, the version rule, the homepage and the pattern tables. The
// highest serial started with is kept in the per-user settings (key "serial"): the
// threat is a set served again on the way to this machine, which cannot write there.

#include <utility>

#include "core/app/form1_ports.h"
#include "core/definitions/definitions_set.h"
#include "core/definitions/definitions_signer.h"
#include "core/definitions/set_freshness.h"
#include "core/platform/clock_api.h"
#include "core/platform/event_log_api.h"
#include "core/platform/http_api.h"
#include "core/platform/settings_api.h"
#include "core/texts/constant_texts.h"

namespace zc {

class LoadedDefinitions : public DefinitionsPort {
 public:
  // `policyAddress`: the machine policy's definitions address; empty: not set.
  LoadedDefinitions(const ConstantTexts& texts, HttpApi& http, SettingsApi& settings, ClockApi& clock,
                    DefinitionsSet& set, const DefinitionsSigner& signer, EventLogApi& events,
                    Text policyAddress = {})
      : texts_(texts), http_(http), settings_(settings), clock_(clock), set_(set), signer_(signer), events_(events),
        policyAddress_(std::move(policyAddress)) {}

  // Downloads, checks and parses the set, then judges how current it is (see
  // set_freshness.h) against the highest serial this machine has started with.
  // A set that cannot be downloaded or is refused leaves an event in the Windows event
  // log.
  DefinitionsLoadResult Load() override;
  // The serial and expiry the set loaded last carries; nothing for a set without them.
  const std::optional<SetFreshness>& Freshness() const { return freshness_; }
  void RememberAccepted() override;
  bool IsNewerVersionPublished() override;
  Text HomepageUrl() override { return set_.HomepageUrl; }
  bool FillPatternTables() override;

 private:
  const ConstantTexts& texts_;
  HttpApi& http_;
  // The highest serial this machine has started with, as kept in the settings.
  std::optional<uint64_t> HighestAccepted();
  DefinitionsLoadResult Judge();

  SettingsApi& settings_;
  ClockApi& clock_;
  DefinitionsSet& set_;
  DefinitionsSigner signer_;
  EventLogApi& events_;
  std::optional<SetFreshness> freshness_;  // of the set loaded last
  Text policyAddress_;
};

}  // namespace zc
