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

void ConnectionScan::RefreshDeviceMap() {
  if (deviceMapRefreshed_) return;
  inventory_.RefreshDeviceMap();
  deviceMapRefreshed_ = true;
}

void ConnectionScan::EndMatchedProcess(TextView idText) {
  // Only an id that reads whole as a number is ended, and only a process the rules let
  // end: a kill pattern that matches a line of a Windows process never stops Windows.
  const uint32_t id = ReadProcessId(idText);
  if (id == 0) return;
  const Text name = inventory_.GetProcessName(id);
  if (name.empty()) return;  // gone already
  RefreshDeviceMap();
  KillMatch match{id, name, false};
  if (endsKillMatches_ && endRules_.WhyNotEnd(id, name, inventory_.GetProcessImagePath(id)) == EndRefusal::None) {
    KillByProcessId(shell_, DecimalText(id));
    match.ended = true;
  }
  lastKillMatches_.push_back(std::move(match));
}

void ConnectionScan::ListProcess(uint32_t processId, const Text& name, TextView kind) {
  RefreshDeviceMap();
  const Text path = inventory_.GetProcessImagePath(processId);
  if (!serviceListing_) serviceListing_ = listings_.ServiceListing();
  const Text services = ServicesTextOf(*serviceListing_, processId);
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
  deviceMapRefreshed_ = false;
  serviceListing_.reset();
  lastKillMatches_.clear();
  const Text listing = listings_.ConnectionListing();

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

  // Kill pass.
  for (size_t i = 0; i < killPatterns.size(); ++i) {
    if (killAt[i] == MultiPatternSearch::kNotFound) continue;
    EndMatchedProcess(IdTextOfMatchedLine(listing, killPatterns[i], killAt[i]));
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
