#pragma once
// Everything the engine's classes need, as in-memory fakes, plus a definitions set that
// tests fill with plain lists.

#include <initializer_list>
#include <vector>

#include "core/definitions/definitions_set.h"
#include "core/engine/listing_route.h"
#include "core/machine/process_inventory.h"
#include "core/platform/result_list.h"
#include "core/texts/constant_texts.h"
#include "tests/fakes/fake_activity_log.h"
#include "tests/fakes/fake_connection_table.h"
#include "tests/fakes/fake_console.h"
#include "tests/fakes/fake_environment.h"
#include "tests/fakes/fake_files.h"
#include "tests/fakes/fake_main_window_view.h"
#include "tests/fakes/fake_processes.h"
#include "tests/fakes/fake_registry.h"
#include "tests/fakes/fake_user_rights.h"
#include "tests/fakes/fake_result_list.h"
#include "tests/fakes/fake_service_manager.h"
#include "tests/fakes/fake_service_table.h"
#include "tests/fakes/fake_shell.h"
#include "tests/fakes/fake_timers.h"
#include "tests/fakes/fake_window_enum.h"
#include "tests/fakes/fake_connection_owner.h"
#include "tests/fakes/fake_file_trust.h"
#include "tests/fakes/fake_process_details.h"
#include "tests/fakes/fake_shared_recording.h"
#include "core/engine/treatment_planner.h"

namespace zc::testing {

struct EngineWorld {
  fakes::FakeFailureReporter reporter;
  ConstantTexts texts{reporter};
  DefinitionsSet definitions;
  fakes::FakeRegistry registry;
  fakes::FakeResultList results;
  RowBuffer rowBuffer;
  fakes::FakeConsole console;
  fakes::FakeConnectionTable connectionTable;
  fakes::FakeServiceTable serviceTable;
  // The listings as the console commands print them (what most tests prepare).
  ListingRoute listings{texts, console, connectionTable, serviceTable, ListingRouteChoice::Console};
  fakes::FakeProcesses processes;
  ProcessInventory inventory{processes};
  fakes::FakeProcessDetails processDetails;
  ProcessEndRules endRules{processes, processDetails};
  fakes::FakeShell shell;
  fakes::FakeFiles files;
  fakes::FakeServiceManager services;
  fakes::FakeEnvironment environment;
  fakes::FakeMainWindowView view;
  fakes::FakeActivityLog log;
  fakes::FakeTimers timers;
  fakes::FakeWindowEnum windows;
  fakes::FakeFileTrust trust;
  fakes::FakeConnectionOwner connectionOwners;
  fakes::FakeUserRights userRights;
  fakes::RawRegistryOver rawRegistry{registry};  // the same registry, as raw values

  // The machine as the treatment reads and changes it.
  TreatmentMachine Machine() {
    return {files, shell, processes, processDetails, registry, services, environment, trust, connectionOwners,
            rawRegistry, &userRights};
  }

  // The deciphered value of a text constant.
  Text T(TextView enciphered) const { return texts.Get(enciphered); }

  // A pattern list as the definitions keep it: "|a|b|" split into its pieces, and the
  // table of its inner pieces.
  static std::vector<Text> Bracketed(std::initializer_list<Text> entries) {
    std::vector<Text> pieces{Text()};
    pieces.insert(pieces.end(), entries.begin(), entries.end());
    pieces.emplace_back();
    return pieces;
  }
  static void Fill(std::vector<Text>& list, PatternTable& table, std::initializer_list<Text> entries) {
    list = Bracketed(entries);
    table = {};
    size_t slot = 0;
    for (const Text& e : entries) table[slot++] = e;
  }
  void SetOutbound(std::initializer_list<Text> entries) {
    Fill(definitions.OutputTunnelPatterns, definitions.OutputTunnelTable, entries);
  }
  void SetInbound(std::initializer_list<Text> entries) {
    Fill(definitions.InputTunnelPatterns, definitions.InputTunnelTable, entries);
  }
};

inline constexpr int32_t kHklm = fakes::kHkeyLocalMachine;  // ServiceRootText
inline constexpr int32_t kHkcu = fakes::kHkeyCurrentUser;   // InfectionRootText

}  // namespace zc::testing
