// The engine's own share of a monitoring cycle, with in-memory fakes standing in for the
// console commands and the registry: one connection scan over a 10,000-line listing
// with 100 patterns in each of the three lists, and one run of each registry check over
// 100 entries.

#include <benchmark/benchmark.h>

#include <string>

#include "core/engine/connection_scan.h"
#include "core/engine/listing_route.h"
#include "core/engine/registry_infection_check.h"
#include "core/engine/service_check.h"
#include "tests/fakes/fake_connection_table.h"
#include "tests/fakes/fake_console.h"
#include "tests/fakes/fake_service_table.h"
#include "tests/fakes/fake_processes.h"
#include "tests/fakes/fake_process_details.h"
#include "tests/fakes/fake_registry.h"
#include "tests/fakes/fake_result_list.h"
#include "tests/fakes/fake_shell.h"

namespace zc {
namespace {

constexpr int kLines = 10000;
constexpr int kPatterns = 100;

Text A(const std::string& s) { return FromAscii(s); }

Text Address(int n) { return A("198.51." + std::to_string(n / 250) + "." + std::to_string(n % 250) + ":443"); }

// netstat -ano lines, the owning id right-aligned at the end.
Text ConnectionListing() {
  Text listing = A("\r\nActive Connections\r\n\r\n  Proto  Local Address          Foreign Address        State           PID\r\n");
  for (int i = 0; i < kLines; ++i) {
    std::string pid = std::to_string(1000 + i % 400);
    listing += A("  TCP    10.0.0.5:" + std::to_string(49152 + i % 16000) + "         ") + Address(i) +
               A("        ESTABLISHED     " + std::string(6 - pid.size(), ' ') + pid + "\r\n");
  }
  return listing;
}

Text ServiceListing() {
  Text listing = A("Image Name                     PID Services\r\n");
  for (int i = 0; i < 400; ++i) {
    listing += A("proc" + std::to_string(i) + ".exe                 " + std::to_string(1000 + i) + " N/A\r\n");
  }
  return listing;
}

struct ScanWorld {
  SilentFailureReporter reporter;
  ConstantTexts texts{reporter};
  DefinitionsSet definitions;
  fakes::FakeConsole console;
  fakes::FakeProcesses processes;
  ProcessInventory inventory{processes};
  fakes::FakeShell shell;
  fakes::FakeRegistry registry;
  fakes::FakeResultList results;
  RowBuffer rowBuffer;
  fakes::FakeConnectionTable connectionTable;
  fakes::FakeServiceTable serviceTable;
  ListingRoute listings{texts, console, connectionTable, serviceTable, ListingRouteChoice::Console};
  fakes::FakeProcessDetails processDetails;
  ProcessEndRules endRules{processes, processDetails};
  ConnectionScan scan{texts, definitions, listings, inventory, endRules, shell, registry, results, rowBuffer};

  // `matching` patterns of each tunnel list match a line of the listing; the rest and
  // every kill pattern match none.
  explicit ScanWorld(int matching) {
    console.SetOutput(texts.Get(enc::ConnectionListCommand), ConnectionListing());
    console.SetOutput(texts.Get(enc::ServiceListCommand), ServiceListing());
    processes.AddDrive(u"C:\\", u"\\Device\\HarddiskVolume1");
    for (int i = 0; i < 400; ++i) {
      processes.AddProcess(static_cast<uint32_t>(1000 + i), A("proc" + std::to_string(i) + ".exe"),
                           A("\\Device\\HarddiskVolume1\\p\\proc" + std::to_string(i) + ".exe"));
    }
    auto fill = [](std::vector<Text>& list, PatternTable& table, int first, int matchingCount) {
      list = {Text()};
      for (int i = 0; i < kPatterns; ++i) {
        const Text pattern = i < matchingCount ? Address(first + i * 97) : A("203.0.113." + std::to_string(first + i) + ":8080");
        table[static_cast<size_t>(i)] = pattern;
        list.push_back(pattern);
      }
      list.emplace_back();
    };
    fill(definitions.OutputTunnelPatterns, definitions.OutputTunnelTable, 0, matching);
    fill(definitions.InputTunnelPatterns, definitions.InputTunnelTable, 5000, matching);
    definitions.ConnectionKillPatterns.emplace_back();
    for (int i = 0; i < kPatterns; ++i) definitions.ConnectionKillPatterns.push_back(A("192.0.2." + std::to_string(i) + ":6667"));
    definitions.ConnectionKillPatterns.emplace_back();
  }
};

// What one scan asked of the machine, on average: listings captured, drive lists read
// (one per device-map refresh), process snapshots taken (one per name query).
void PerScan(benchmark::State& state, const ScanWorld& world) {
  const double scans = static_cast<double>(state.iterations());
  state.counters["captures"] = static_cast<double>(world.console.calls.size()) / scans;
  state.counters["driveLists"] = static_cast<double>(world.processes.driveListings) / scans;
  state.counters["snapshots"] = static_cast<double>(world.processes.nameQueries) / scans;
}

// No pattern matches: the cost of searching 300 patterns in the listing.
void BM_ConnectionScanNoMatch(benchmark::State& state) {
  ScanWorld world(0);
  for (auto _ : state) world.scan.ScanConnections();
  PerScan(state, world);
}
BENCHMARK(BM_ConnectionScanNoMatch)->Unit(benchmark::kMillisecond);

// Five patterns of each list match processes that are already listed, as in every
// scan after the first one that found them.
void BM_ConnectionScanSeenMatches(benchmark::State& state) {
  ScanWorld world(5);
  world.scan.ScanConnections();
  for (auto _ : state) world.scan.ScanConnections();
  state.counters["rows"] = static_cast<double>(world.results.rows.size());
}
BENCHMARK(BM_ConnectionScanSeenMatches)->Unit(benchmark::kMillisecond);

// Five patterns of each list match processes not listed yet: ten processes listed per
// scan, each with its path and services (the seen ids and the rows are emptied between
// scans).
void BM_ConnectionScanListsNew(benchmark::State& state) {
  ScanWorld world(5);
  for (auto _ : state) {
    world.scan.ClearSeenProcessIds();
    world.results.rows.clear();
    world.results.images.clear();
    world.scan.ScanConnections();
  }
  PerScan(state, world);
}
BENCHMARK(BM_ConnectionScanListsNew)->Unit(benchmark::kMillisecond);

constexpr int32_t kHklm = fakes::kHkeyLocalMachine;
constexpr int32_t kHkcu = fakes::kHkeyCurrentUser;

struct CheckWorld {
  SilentFailureReporter reporter;
  ConstantTexts texts{reporter};
  DefinitionsSet definitions;
  fakes::FakeRegistry registry;
  fakes::FakeResultList results;
  RowBuffer rowBuffer;
  ServiceCheck services{texts, definitions, registry, results, rowBuffer};
  RegistryInfectionCheck entries{texts, definitions, registry, results, rowBuffer};

  explicit CheckWorld(bool present) {
    for (int i = 0; i < kPatterns; ++i) {
      const Text name = A("Entry" + std::to_string(i));
      definitions.ServiceNameList.push_back(name);
      definitions.RegistryEntryList.push_back(name);
      if (!present) continue;
      registry.SetText(kHklm, texts.Get(enc::ServiceCheckKeyPrefix) + name, texts.Get(enc::ServiceImageValueName),
                       A("C:\\Windows\\system32\\e" + std::to_string(i) + ".exe"));
      registry.SetText(kHkcu, texts.Get(enc::InfectionKeyPath), name, A("C:\\Users\\u\\e" + std::to_string(i) + ".exe"));
    }
  }
};

// Nothing present: every entry is probed on every run.
template <typename Check>
void NothingFound(benchmark::State& state, Check CheckWorld::*check) {
  CheckWorld world(false);
  for (auto _ : state) (world.*check).Run();
}

// Everything present: 100 rows added per run (the list and the reported names are
// emptied between runs, outside the timing).
template <typename Check>
void AllFound(benchmark::State& state, Check CheckWorld::*check) {
  CheckWorld world(true);
  for (auto _ : state) {
    (world.*check).Run();
    state.PauseTiming();
    (world.*check).ClearReported();
    world.results.rows.clear();
    world.results.images.clear();
    state.ResumeTiming();
  }
}

void BM_ServiceCheckNothingFound(benchmark::State& state) { NothingFound(state, &CheckWorld::services); }
void BM_RegistryInfectionCheckNothingFound(benchmark::State& state) { NothingFound(state, &CheckWorld::entries); }
void BM_ServiceCheckAllFound(benchmark::State& state) { AllFound(state, &CheckWorld::services); }
void BM_RegistryInfectionCheckAllFound(benchmark::State& state) { AllFound(state, &CheckWorld::entries); }
BENCHMARK(BM_ServiceCheckNothingFound)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RegistryInfectionCheckNothingFound)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ServiceCheckAllFound)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RegistryInfectionCheckAllFound)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace zc
