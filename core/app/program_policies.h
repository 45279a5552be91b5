#pragma once
// The machine's policies for the program, as administrators set them by Group Policy
// (the ADMX template in installer/policy): four values under
// HKEY_LOCAL_MACHINE\SOFTWARE\Policies\ZombieCure in the 64-bit view. Only administrators
// can write there, so what is read is trusted; the same key under HKEY_CURRENT_USER is
// never read (any user could write it).
//
//   DefinitionsAddress       REG_SZ     an http:// or https:// address the definitions set
//                                       is downloaded from (its signature from the address
//                                       with ".sig" after it; the key stays the built-in one)
//   LocalSystemProxy         REG_SZ     host:port, the proxy of a run as LocalSystem
//   NeverOpenHomepage        REG_DWORD  1: the homepage is never opened
//   StartAtLogonForAllUsers  REG_DWORD  1: the machine-wide log-on value starts the program;
//                                       the user's own option is shown on and cannot change
//
// A value that is set but unusable (another type, empty, too long, not an http or https
// address, not host:port, a number other than 0 or 1) counts as not set and leaves one
// line in `ignored` for the activity log. A value that cannot be read counts as not set.

#include <cstdint>
#include <vector>

#include "core/base/text.h"
#include "core/platform/raw_registry_api.h"
#include "core/texts/constant_texts.h"

namespace zc {

inline constexpr int32_t kLocalMachineRoot = static_cast<int32_t>(0x80000002u);  // HKEY_LOCAL_MACHINE

// The longest texts taken, in UTF-16 code units (as the template's text boxes allow).
inline constexpr size_t kPolicyAddressMaxLength = 2048;
inline constexpr size_t kPolicyProxyMaxLength = 512;

struct ProgramPolicies {
  Text definitionsAddress;  // empty: not set
  Text localSystemProxy;    // "host:port"; empty: not set
  bool neverOpenHomepage = false;
  bool startAtLogonForAllUsers = false;
  std::vector<Text> ignored;  // one activity-log line per value set but not usable
};

ProgramPolicies ReadProgramPolicies(RawRegistryApi& registry, const ConstantTexts& texts);

// "host:port": a host name or IPv4 address (letters, digits, "." and "-"), or an IPv6
// address in brackets, then a port from 1 to 65535 in decimal digits.
bool IsHostAndPort(TextView text);

}  // namespace zc
