#pragma once
// The connection scan: captures the machine's connection listing once, ends at once the
// owners of connections that match a kill pattern (never a critical process, one of
// the session's core processes or a shared service host: see process_end_rules.h), and lists the owners of connections
// that match an outbound or inbound tunnel pattern as Findings, with their image path
// and the services they host. A process is listed at most once until the seen ids are
// cleared.

#include <cstdint>
#include <optional>
#include <unordered_set>
#include <vector>

#include "core/definitions/definitions_set.h"
#include "core/machine/process_inventory.h"
#include "core/engine/listing_source.h"
#include "core/engine/process_end_rules.h"
#include "core/platform/registry_api.h"
#include "core/platform/result_list.h"
#include "core/platform/shell_api.h"
#include "core/texts/constant_texts.h"

namespace zc {

// A process a kill pattern's line named in the last scan.
struct KillMatch {
  uint32_t processId = 0;
  Text name;
  bool ended = false;  // handed to the system to end (the rules let it, and the pass runs)
};

class ConnectionScan {
 public:
  ConnectionScan(const ConstantTexts& texts, const DefinitionsSet& definitions, ListingSource& listings,
                 ProcessInventory& inventory, ProcessEndRules& endRules, ShellApi& shell, RegistryApi& registry,
                 ResultList& results, RowBuffer& rowBuffer)
      : texts_(texts), definitions_(definitions), listings_(listings), inventory_(inventory), endRules_(endRules),
        shell_(shell), registry_(registry), results_(results), rowBuffer_(rowBuffer) {}

  void ScanConnections();

  // Whether the kill pass ends what it matches (the monitor's and a treating run's
  // scan), or only notes it (a scan that must change nothing).
  void SetEndsKillMatches(bool ends) { endsKillMatches_ = ends; }
  const std::vector<KillMatch>& LastKillMatches() const { return lastKillMatches_; }

  // Empties SeenProcessIds: every process is listed again when it matches.
  void ClearSeenProcessIds() { seenProcessIds_.clear(); }
  bool HasSeen(uint32_t processId) const { return seenProcessIds_.count(processId) != 0; }
  size_t SeenCount() const { return seenProcessIds_.size(); }

 private:
  bool IsExcludedName(const Text& name) const;
  void RefreshDeviceMap();
  // Ends the process a kill pattern's line names, unless the rules keep it.
  void EndMatchedProcess(TextView idText);
  void ListProcess(uint32_t processId, const Text& name, TextView kind);

  const ConstantTexts& texts_;
  const DefinitionsSet& definitions_;
  ListingSource& listings_;
  ProcessInventory& inventory_;
  ProcessEndRules& endRules_;
  ShellApi& shell_;
  RegistryApi& registry_;
  ResultList& results_;
  RowBuffer& rowBuffer_;
  std::unordered_set<uint32_t> seenProcessIds_;
  // The device map and the service listing are taken when a scan lists its first
  // process and serve every other process it lists; a scan that lists nothing needs
  // neither.
  bool deviceMapRefreshed_ = false;
  bool endsKillMatches_ = true;
  std::vector<KillMatch> lastKillMatches_;
  std::optional<Text> serviceListing_;
};

}  // namespace zc
