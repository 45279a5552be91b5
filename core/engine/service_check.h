#pragma once
// The service check: probes the services that the definitions name by reading one
// registry value under each service's key, and lists every service whose value is
// present as a "service Hide" Finding. A service is listed once until the reported
// names are cleared.

#include "core/definitions/definitions_set.h"
#include "core/engine/reported_names.h"
#include "core/platform/registry_api.h"
#include "core/platform/result_list.h"
#include "core/texts/constant_texts.h"

namespace zc {

class ServiceCheck {
 public:
  ServiceCheck(const ConstantTexts& texts, const DefinitionsSet& definitions, RegistryApi& registry,
               ResultList& results, RowBuffer& rowBuffer)
      : texts_(texts), definitions_(definitions), registry_(registry), results_(results),
        rowBuffer_(rowBuffer) {}

  void Run();

  // Empties ReportedServices: every service still present is listed again.
  void ClearReported() { reportedServices_.Clear(); }
  const ReportedNames& ReportedServices() const { return reportedServices_; }

 private:
  const ConstantTexts& texts_;
  const DefinitionsSet& definitions_;
  RegistryApi& registry_;
  ResultList& results_;
  RowBuffer& rowBuffer_;
  ReportedNames reportedServices_;
};

}  // namespace zc
