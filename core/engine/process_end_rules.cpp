#include "core/engine/process_end_rules.h"

#include <array>

#include "core/engine/finding_processes.h"

namespace zc {
namespace {

// The processes that start and keep a Windows session: ending any of them ends the
// session or the system.
constexpr std::array<TextView, 14> kCoreProcessNames = {
    u"system",   u"registry",  u"memory compression", u"secure system", u"smss.exe",   u"csrss.exe",
    u"wininit.exe", u"winlogon.exe", u"services.exe",  u"lsass.exe",     u"lsaiso.exe", u"dwm.exe",
    u"fontdrvhost.exe", u"logonui.exe"};

bool IsCoreName(TextView name) {
  const Text folded = FoldCase(name);
  for (const TextView core : kCoreProcessNames) {
    if (folded == core) return true;
  }
  return false;
}

}  // namespace

bool IsServiceHostName(TextView name) { return FoldCase(name) == u"svchost.exe"; }

bool ProcessEndRules::MayBeWindows(TextView image) {
  if (image.empty()) return true;
  const Text windows = processes_.WindowsFolder();
  return windows.empty() || LiesInFolder(image, windows);
}

bool ProcessEndRules::IsCoreImage(TextView name, TextView image) {
  return (IsCoreName(name) || IsServiceHostName(name)) && MayBeWindows(image);
}

EndRefusal ProcessEndRules::WhyNotEnd(uint32_t processId, TextView name, TextView image) {
  if (processId == 0 || processId == 4) return EndRefusal::CoreProcess;
  if (IsCoreName(name) && MayBeWindows(image)) return EndRefusal::CoreProcess;
  if (IsServiceHostName(name) && MayBeWindows(image)) return EndRefusal::SharedServiceHost;
  switch (details_.CriticalState(processId)) {
    case Criticality::NotCritical: return EndRefusal::None;
    case Criticality::Critical: return EndRefusal::Critical;
    case Criticality::Unknown: return EndRefusal::CriticalityUnknown;
  }
  return EndRefusal::CriticalityUnknown;
}

}  // namespace zc
