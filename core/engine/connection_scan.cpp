#include "core/engine/connection_scan.h"

#include <vector>

#include "core/engine/listing_rules.h"
#include "core/engine/pattern_search.h"
#include "core/machine/process_termination.h"
#include "core/machine/registry_values.h"

namespace zc {
namespace {

constexpr TextView kIdleProcessName = u"[System Process]";

// The entries of a pattern table that its list stands for.
std::vector<Text> TableEntries(const std::vector<Text>& list, const PatternTable& table) {
  return std::vector<Text>(table.begin(), table.begin() + static_cast<std::ptrdiff_t>(PatternEntryCount(list)));
}

bool IsListable(const Text& name) { return !name.empty() && name != kIdleProcessName; }

}  // namespace

bool ConnectionScan::IsExcludedName(const Text& name) const {
  return name == texts_.Get(enc::ExcludedProcessName1) || name == texts_.Get(enc::ExcludedProcessName2) ||
         name == texts_.Get(enc::ExcludedProcessName3);
}

void ConnectionScan::ListProcess(uint32_t processId, const Text& name, TextView kind) {
  const Text path = inventory_.GetProcessImagePath(processId);
  const Text serviceListing = console_.RunCapture(texts_.Get(enc::ServiceListCommand));
  const Text services = ServicesTextOf(serviceListing, processId);
  const Text registryPath =
      ReadRegistryText(registry_, RootKeyFromText(texts_.Get(enc::ServiceRootText)),
                       texts_.Get(enc::ServiceKeyPrefix) + services, texts_.Get(enc::ServiceImageValueName));
  const Text noService = texts_.Get(enc::NoServiceText);

  rowBuffer_[kColumnName] = name;
  rowBuffer_[kColumnProcessId] = DecimalText(processId);
  rowBuffer_[kColumnPath] = path.empty() ? registryPath : path;
  rowBuffer_[kColumnDetail] = TrimSpaces(services) != noService ? services : noService;
  rowBuffer_[kColumnKind] = Text(kind);
  rowBuffer_[kColumnEntryName].clear();
  rowBuffer_[kColumnFlag].clear();
  results_.AddRow(rowBuffer_, 0);
  seenProcessIds_.insert(processId);
}

void ConnectionScan::ScanConnections() {
  inventory_.RefreshDeviceMap();
  const Text listing = console_.RunCapture(texts_.Get(enc::ConnectionListCommand));

  // Every pattern of the scan is looked for in this one listing, all in one pass.
  const std::vector<Text>& killPatterns = definitions_.ConnectionKillPatterns;
  const std::vector<Text> outbound = TableEntries(definitions_.OutputTunnelPatterns, definitions_.OutputTunnelTable);
  const std::vector<Text> inbound = TableEntries(definitions_.InputTunnelPatterns, definitions_.InputTunnelTable);
  std::vector<Text> all;
  all.reserve(killPatterns.size() + outbound.size() + inbound.size());
  all.insert(all.end(), killPatterns.begin(), killPatterns.end());
  all.insert(all.end(), outbound.begin(), outbound.end());
  all.insert(all.end(), inbound.begin(), inbound.end());
  const std::vector<size_t> firstAt = MultiPatternSearch(std::move(all)).FirstOccurrences(listing);
  const size_t* killAt = firstAt.data();
  const size_t* outboundAt = killAt + killPatterns.size();
  const size_t* inboundAt = outboundAt + outbound.size();

  // Kill pass: the id text goes to the task-kill tool as it stands, number or not.
  for (size_t i = 0; i < killPatterns.size(); ++i) {
    if (killAt[i] == MultiPatternSearch::kNotFound) continue;
    KillByProcessId(shell_, IdTextOfMatchedLine(listing, killPatterns[i], killAt[i]));
  }

  // Outbound pass: a line that ends in no id is passed over for the pattern's next
  // line; an excluded process ends the pass.
  for (size_t i = 0; i < outbound.size(); ++i) {
    if (outboundAt[i] == MultiPatternSearch::kNotFound) continue;
    const uint32_t id = FirstProcessIdAfterMatches(listing, outbound[i], outboundAt[i]);
    if (HasSeen(id)) continue;
    const Text name = inventory_.GetProcessName(id);
    if (IsExcludedName(name)) {
      seenProcessIds_.insert(id);
      break;
    }
    if (!IsListable(name)) continue;
    ListProcess(id, name, kKindOutputTunnel);
  }

  // Inbound pass: the first matching line only.
  for (size_t i = 0; i < inbound.size(); ++i) {
    if (inboundAt[i] == MultiPatternSearch::kNotFound) continue;
    const uint32_t id = ReadProcessId(IdTextOfMatchedLine(listing, inbound[i], inboundAt[i]));
    if (id == 0 || HasSeen(id)) continue;
    const Text name = inventory_.GetProcessName(id);
    if (!IsListable(name)) continue;
    ListProcess(id, name, kKindInputTunnel);
  }
}

}  // namespace zc
