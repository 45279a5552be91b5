#pragma once
// Which setting the program goes by: a machine policy that is set wins over the user's
// own choice and over what is built into the program. Every such decision is made here.

#include "core/app/program_policies.h"

namespace zc {

// The address the definitions set is downloaded from: the policy's (`policyAddress`,
// ProgramPolicies::definitionsAddress), else `builtIn`.
Text EffectiveDefinitionsAddress(TextView policyAddress, TextView builtIn);

// Whether the program starts at log-on: always under StartAtLogonForAllUsers (by the
// machine-wide value), else as the user's own option says.
bool StartsAtLogon(const ProgramPolicies& policies, bool userOptionOn);

// Whether the user's own "start at log-on" option may be changed and is carried out by
// a per-user log-on value: not under StartAtLogonForAllUsers.
bool UserChoosesStartAtLogon(const ProgramPolicies& policies);

// Whether the homepage may be opened (for a new version or from the icon's menu).
bool MayOpenHomepage(const ProgramPolicies& policies);

// The proxy the downloads go through, as "host:port": the policy's for a run as
// LocalSystem, whose automatic proxy is the machine's and not a user's; empty: the
// system's own proxy settings.
Text EffectiveProxy(const ProgramPolicies& policies, bool runsAsLocalSystem);

}  // namespace zc
