#pragma once
// Every platform and window part of the program as an in-memory fake, handed over the
// way the program takes them. The listings come from the console fake.

#include "core/app/program.h"
#include "core/engine/listing_route.h"
#include "core/texts/constant_texts.h"
#include "fake_form1_view.h"
#include "tests/fakes/fake_activity_log.h"
#include "tests/fakes/fake_connection_table.h"
#include "tests/fakes/fake_console.h"
#include "tests/fakes/fake_clock.h"
#include "tests/fakes/fake_elevation.h"
#include "tests/fakes/fake_environment.h"
#include "tests/fakes/fake_files.h"
#include "tests/fakes/fake_http.h"
#include "tests/fakes/fake_processes.h"
#include "tests/fakes/fake_recording.h"
#include "tests/fakes/fake_registry.h"
#include "tests/fakes/fake_result_list.h"
#include "tests/fakes/fake_service_manager.h"
#include "tests/fakes/fake_service_table.h"
#include "tests/fakes/fake_settings.h"
#include "tests/fakes/fake_shell.h"
#include "tests/fakes/fake_timers.h"
#include "tests/fakes/fake_window_enum.h"
#include "tests/fakes/fake_connection_owner.h"
#include "tests/fakes/fake_file_trust.h"
#include "tests/fakes/fake_process_details.h"
#include "tests/fakes/fake_event_log.h"
#include "tests/fakes/fake_treatment_lock.h"
#include "tests/fakes/fake_user_hives.h"
#include "tests/fakes/fake_user_rights.h"
#include "tests/fakes/fake_pinned_files.h"

namespace zc {

struct ProgramFakes {
  Text T(TextView enciphered) const { return texts.Get(enciphered); }

  // The platform parts, with `web` answering the program's requests.
  PlatformParts Platform(HttpApi& web) {
    return {web,      registry, processes, console, listings,           shell,    files,
            windows,  settings, log,       recording.recorder, services, elevation, clock, environment,
            processDetails, trust, connectionOwners, recording.registry, events, treatmentLock, userHives, userRights, suspectFiles};
  }
  PlatformParts Platform() { return Platform(http); }
  WindowParts Window() { return {view, pump, results, timers}; }

  fakes::FakeFailureReporter reporter;
  ConstantTexts texts{reporter};
  fakes::FakeHttp http;
  fakes::FakeRegistry registry;
  fakes::FakeProcesses processes;
  fakes::FakeConsole console;
  fakes::FakeConnectionTable connectionTable;
  fakes::FakeServiceTable serviceTable;
  ListingRoute listings{texts, console, connectionTable, serviceTable, ListingRouteChoice::Console};
  fakes::FakeShell shell;
  fakes::FakeFiles files;
  fakes::FakeWindowEnum windows;
  fakes::FakeSettings settings;
  fakes::FakeActivityLog log;
  fakes::FakeForm1View view;
  fakes::FakeEventPump pump;
  fakes::FakeResultList results;
  fakes::FakeTimers timers;
  fakes::FakeRecording recording{texts};
  fakes::FakeServiceManager services;
  fakes::FakeProcessDetails processDetails;
  fakes::FakeFileTrust trust;
  fakes::FakeConnectionOwner connectionOwners;
  fakes::FakeElevation elevation;
  fakes::FakeClock clock;
  fakes::FakeEnvironment environment;
  fakes::FakeEventLog events;
  fakes::FakeTreatmentLock treatmentLock;
  fakes::FakeUserHives userHives;
  fakes::FakeUserRights userRights;
  fakes::FakeSuspectFiles suspectFiles{files};
};

}  // namespace zc
