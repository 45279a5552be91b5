#pragma once
// Every platform adapter the checks, the treatment and the window's logic reach the
// machine through, handed over in one piece.

#include "core/engine/listing_source.h"
#include "core/platform/activity_log.h"
#include "core/platform/clock_api.h"
#include "core/platform/connection_owner_api.h"
#include "core/platform/console_api.h"
#include "core/platform/elevation_api.h"
#include "core/platform/environment_api.h"
#include "core/platform/event_log_api.h"
#include "core/platform/file_api.h"
#include "core/platform/file_trust_api.h"
#include "core/platform/http_api.h"
#include "core/platform/process_api.h"
#include "core/platform/pinned_file_api.h"
#include "core/platform/process_details_api.h"
#include "core/platform/raw_registry_api.h"
#include "core/platform/registry_api.h"
#include "core/platform/service_manager_api.h"
#include "core/platform/settings_api.h"
#include "core/platform/shell_api.h"
#include "core/platform/treatment_lock_api.h"
#include "core/platform/user_hives_api.h"
#include "core/platform/user_rights_api.h"
#include "core/platform/window_enum_api.h"
#include "core/restore/treatment_recorder.h"

namespace zc {

struct PlatformParts {
  HttpApi& http;
  RegistryApi& registry;
  ProcessApi& processes;
  ConsoleApi& console;
  ListingSource& listings;  // the connection scan's two listings
  ShellApi& shell;
  FileApi& files;
  WindowEnumApi& windows;
  SettingsApi& settings;
  ActivityLog& log;
  TreatmentRecorder& recorder;
  ServiceManagerApi& services;  // the treatment's service steps
  ElevationApi& elevation;      // treatment needs an administrator's token
  ClockApi& clock;              // the definitions set's expiry
  EnvironmentApi& environment;  // command lines in registry values
  ProcessDetailsApi& processDetails;    // a host process's payload, a critical process
  FileTrustApi& trust;                  // Windows' own files and signed files stay
  ConnectionOwnerApi& connectionOwners; // the service that owns a shared host's connection
  RawRegistryApi& rawRegistry;          // the shared service host's group lists
  EventLogApi& events;                  // each Finding, treatment and refused set
  TreatmentLockApi& treatmentLock;      // one treatment at a time on the machine
  UserHivesApi& userHives;              // whose hive the user root is
  UserRightsApi& userRights;            // what a user's own value may take: what that user may delete
  SuspectFileApi& suspectFiles;         // every step on a suspect file through one opening of it
};

}  // namespace zc
