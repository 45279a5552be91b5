#pragma once
// Brings a deleted service back whole, through the service manager only: it is created
// from its configuration, each further setting and its security descriptor are set
// again, the values of its private subkeys are written back under its new key and read
// back, its name goes back on the shared hosts' group lists that named it, and it is
// started when it was running. Its key is never written back as a whole: the service
// manager would not know the service until the next start.

#include <vector>

#include "core/base/text.h"
#include "core/platform/raw_registry_api.h"
#include "core/platform/service_manager_api.h"
#include "core/restore/restore_plan.h"
#include "core/texts/constant_texts.h"

namespace zc {

struct ServiceRestoreOutcome {
  bool created = false;
  std::vector<Text> partsNotBack;  // "FailureActions", "Parameters\ServiceDll", "Svchost\netsvcs", ...
  bool startFailed = false;
};

// The name a part goes by in a report.
Text ServicePartName(ServicePart part);

ServiceRestoreOutcome RecreateWholeService(const ConstantTexts& texts, ServiceManagerApi& services,
                                           RawRegistryApi& registry, const RecreateService& step);

}  // namespace zc
