#include "core/app/policy_precedence.h"

namespace zc {

Text EffectiveDefinitionsAddress(TextView policyAddress, TextView builtIn) {
  return Text(policyAddress.empty() ? builtIn : policyAddress);
}

bool StartsAtLogon(const ProgramPolicies& policies, bool userOptionOn) {
  return policies.startAtLogonForAllUsers || userOptionOn;
}

bool UserChoosesStartAtLogon(const ProgramPolicies& policies) { return !policies.startAtLogonForAllUsers; }

bool MayOpenHomepage(const ProgramPolicies& policies) { return !policies.neverOpenHomepage; }

Text EffectiveProxy(const ProgramPolicies& policies, bool runsAsLocalSystem) {
  return runsAsLocalSystem ? policies.localSystemProxy : Text();
}

}  // namespace zc
