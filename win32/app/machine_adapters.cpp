#include "win32/app/machine_adapters.h"

#include "core/app/policy_precedence.h"
#include "win32/machine/environment_text.h"
#include "win32/machine/local_system_account.h"
#include "win32/restore/store_for_this_copy.h"

namespace zc::win {

MachineAdapters::MachineAdapters()
    : policies(ReadProgramPolicies(policyRegistry, texts)),
      http(EffectiveProxy(policies, RunsAsLocalSystem())),
      listings(texts, console, connectionTable, serviceTable,
               ParseListingRouteChoice(texts, EnvironmentText(texts.Get(enc::ListingRouteVariable)))),
      // Without administrator rights the treatment keeps the account's own store.
      recorder(restoreMachine.ForRecording(texts, StoreForThisCopy(texts, elevation))),
      events(texts.Get(enc::EventSourceName)) {}

PlatformParts MachineAdapters::Platform() {
  return {http,        registry,       processes,        console,        listings,
          shell,       files,          windows,          settings,       log,
          recorder,    restoreMachine.services,          elevation,      restoreMachine.clock,
          environment, processDetails, trust,            connectionOwners, restoreMachine.registry,
          events,      treatmentLock,  userHives,        userRights,     suspectFiles};
}

}  // namespace zc::win
