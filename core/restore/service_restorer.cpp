#include "core/restore/service_restorer.h"

#include "core/machine/registry_values.h"
#include "core/restore/service_group_list.h"

namespace zc {

Text ServicePartName(ServicePart part) {
  switch (part) {
    case ServicePart::FailureActions: return u"FailureActions";
    case ServicePart::FailureActionsFlag: return u"FailureActionsOnNonCrashFailures";
    case ServicePart::DelayedAutoStart: return u"DelayedAutostart";
    case ServicePart::RequiredPrivileges: return u"RequiredPrivileges";
    case ServicePart::SidType: return u"ServiceSidType";
    case ServicePart::Triggers: return u"TriggerInfo";
    case ServicePart::PreshutdownTimeout: return u"PreshutdownTimeout";
    case ServicePart::Security: return u"Security";
  }
  return u"?";
}

ServiceRestoreOutcome RecreateWholeService(const ConstantTexts& texts, ServiceManagerApi& services,
                                           RawRegistryApi& registry, const RecreateService& step) {
  ServiceRestoreOutcome outcome;
  const Text& name = step.config.name;
  outcome.created = services.Create(step.config);
  if (!outcome.created) return outcome;
  for (const ServicePart part : services.ApplySettings(name, step.settings)) {
    outcome.partsNotBack.push_back(ServicePartName(part));
  }
  // The service manager has made the service's key: its private subkeys go below it.
  const RegistryKeyPlace serviceKey{RootKeyFromText(texts.Get(enc::ServiceRootText)), RegistryView::Native,
                                    texts.Get(enc::ServiceKeyPrefix) + name, {}};
  for (const PrivateServiceValue& value : step.privateValues) {
    RegistryKeyPlace key = serviceKey;
    key.path.push_back(u'\\');
    key.path.append(value.subkey);
    const bool back = registry.WriteValueAt(key, value.valueName, value.value) &&
                      registry.ReadValueAt(key, value.valueName) == value.value;
    if (!back) outcome.partsNotBack.push_back(value.subkey + u"\\" + value.valueName);
  }
  for (const Text& group : step.groups) {
    if (AddToServiceGroup(texts, registry, group, name) == GroupListChange::Failed) {
      outcome.partsNotBack.push_back(u"Svchost\\" + group);
    }
  }
  // A service missing a part is not started: it would run without it.
  if (step.start && outcome.partsNotBack.empty()) outcome.startFailed = services.Start(name) != SystemError::None;
  return outcome;
}

}  // namespace zc
