// Arbitrary console listings and patterns through the connection scan: the listings come
// from programs on the machine, the patterns from the downloaded definitions. The scan
// must never crash, and the one-pass pattern search must find exactly what a plain
// search finds.
//
// Input: NUL-separated pieces: connection listing, service listing, then patterns that
// go round-robin to the kill, outbound and inbound lists.

#include <cstdint>
#include <cstdlib>
#include <set>
#include <vector>

#include "core/engine/connection_scan.h"
#include "core/engine/listing_route.h"
#include "core/engine/pattern_search.h"
#include "tests/fakes/fake_connection_table.h"
#include "tests/fakes/fake_console.h"
#include "tests/fakes/fake_service_table.h"
#include "tests/fakes/fake_processes.h"
#include "tests/fakes/fake_process_details.h"
#include "tests/fakes/fake_registry.h"
#include "tests/fakes/fake_result_list.h"
#include "tests/fakes/fake_shell.h"

namespace {

std::vector<zc::Text> Pieces(const uint8_t* data, size_t size) {
  std::vector<zc::Text> pieces(1);
  for (size_t i = 0; i < size; ++i) {
    if (data[i] == 0) {
      pieces.emplace_back();
    } else {
      // Bytes above 0x7F stand for Korean characters, so patterns may hold them too.
      pieces.back().push_back(data[i] < 0x80 ? data[i] : static_cast<char16_t>(0xAC00 + data[i]));
    }
  }
  return pieces;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::vector<zc::Text> pieces = Pieces(data, size);
  const zc::Text listing = pieces[0];
  const zc::Text services = pieces.size() > 1 ? pieces[1] : zc::Text();

  zc::SilentFailureReporter reporter;
  zc::ConstantTexts texts(reporter);
  zc::DefinitionsSet definitions;
  std::vector<zc::Text>* lists[] = {&definitions.ConnectionKillPatterns, &definitions.OutputTunnelPatterns,
                                    &definitions.InputTunnelPatterns};
  for (auto* list : lists) list->emplace_back();
  std::vector<zc::Text> patterns;
  for (size_t i = 2; i < pieces.size(); ++i) {
    patterns.push_back(pieces[i]);
    lists[i % 3]->push_back(pieces[i]);
  }
  for (auto* list : lists) list->emplace_back();
  for (size_t i = 0; i < zc::PatternEntryCount(definitions.OutputTunnelPatterns); ++i)
    definitions.OutputTunnelTable[i] = definitions.OutputTunnelPatterns[i + 1];
  for (size_t i = 0; i < zc::PatternEntryCount(definitions.InputTunnelPatterns); ++i)
    definitions.InputTunnelTable[i] = definitions.InputTunnelPatterns[i + 1];

  const std::vector<size_t> found = zc::MultiPatternSearch(patterns).FirstOccurrences(listing);
  for (size_t i = 0; i < patterns.size(); ++i) {
    const size_t plain = patterns[i].empty() ? zc::TextView::npos : listing.find(patterns[i]);
    const size_t expected = plain == zc::TextView::npos ? zc::MultiPatternSearch::kNotFound : plain;
    if (found[i] != expected) std::abort();
  }

  zc::fakes::FakeConsole console;
  console.SetOutput(texts.Get(zc::enc::ConnectionListCommand), listing);
  console.SetOutput(texts.Get(zc::enc::ServiceListCommand), services);
  zc::fakes::FakeProcesses processes;
  for (uint32_t id = 0; id < 100; ++id) processes.AddProcess(id, id % 7 == 0 ? u"svchost.exe" : u"p.exe", u"\\x");
  zc::ProcessInventory inventory(processes);
  zc::fakes::FakeShell shell;
  zc::fakes::FakeRegistry registry;
  zc::fakes::FakeResultList results;
  zc::RowBuffer row;
  zc::fakes::FakeConnectionTable connectionTable;
  zc::fakes::FakeServiceTable serviceTable;
  zc::ListingRoute listings(texts, console, connectionTable, serviceTable, zc::ListingRouteChoice::Console);
  zc::fakes::FakeProcessDetails processDetails;
  zc::ProcessEndRules endRules(processes, processDetails);
  zc::ConnectionScan scan(texts, definitions, listings, inventory, endRules, shell, registry, results, row);
  scan.ScanConnections();
  scan.ScanConnections();
  // No process is listed twice, and every listed one is a live process other than id 0.
  std::set<zc::Text> ids;
  for (const zc::RowBuffer& r : results.rows) {
    if (!ids.insert(r[zc::kColumnProcessId]).second) std::abort();
    if (r[zc::kColumnName].empty() || r[zc::kColumnProcessId] == u"0") std::abort();
  }
  return 0;
}
