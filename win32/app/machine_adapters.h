#pragma once
// Every real adapter the checks, the treatment and the window's logic reach the machine
// through, made once and handed over as the core's PlatformParts. The window and the
// silent scan are built on the same set.

#include "core/app/platform_parts.h"
#include "core/app/program_policies.h"
#include "core/engine/listing_route.h"
#include "core/restore/treatment_recorder.h"
#include "core/texts/constant_texts.h"
#include "win32/app/registry_settings.h"
#include "win32/desktop/win32_window_enum.h"
#include "win32/log/own_error_log_machine.h"
#include "win32/log/win32_activity_log.h"
#include "win32/log/win32_event_log.h"
#include "win32/machine/win32_connection_owner.h"
#include "win32/machine/win32_connection_table.h"
#include "win32/machine/win32_console.h"
#include "win32/machine/win32_elevation.h"
#include "win32/machine/win32_environment.h"
#include "win32/machine/win32_files.h"
#include "win32/machine/win32_process_details.h"
#include "win32/machine/win32_pinned_files.h"
#include "win32/machine/win32_processes.h"
#include "win32/machine/win32_raw_registry.h"
#include "win32/machine/win32_registry.h"
#include "win32/machine/win32_service_table.h"
#include "win32/machine/win32_shell.h"
#include "win32/machine/win32_treatment_lock.h"
#include "win32/machine/win32_user_hives.h"
#include "win32/net/winhttp_client.h"
#include "win32/restore/restore_machine.h"
#include "win32/trust/win32_file_trust.h"
#include "win32/trust/win32_user_rights.h"

namespace zc::win {

struct MachineAdapters {
  MachineAdapters();
  MachineAdapters(const MachineAdapters&) = delete;
  MachineAdapters& operator=(const MachineAdapters&) = delete;

  PlatformParts Platform();

  Win32Elevation elevation;
  // The program's own error log (the cipher's failure reports among its lines): the
  // user's local application data for an unelevated copy, the event log for an
  // elevated one.
  OwnErrorLogMachine ownLog{elevation};
  ConstantTexts texts{ownLog.log};
  Win32ActivityLog log;  // the treatments' logs in their backup folders
  // The machine's policies come before everything a user chose.
  Win32RawRegistry policyRegistry;
  ProgramPolicies policies;
  WinHttpClient http;
  Win32Registry registry;
  Win32Processes processes;
  Win32Console console;
  Win32ConnectionTable connectionTable;
  Win32ServiceTable serviceTable;
  ListingRoute listings;
  Win32Shell shell;
  Win32Files files;
  Win32WindowEnum windows;
  RegistrySettings settings;
  RestoreMachine restoreMachine;
  TreatmentRecorder recorder;
  Win32Environment environment;
  Win32ProcessDetails processDetails;
  Win32FileTrust trust;
  Win32ConnectionOwner connectionOwners;
  Win32EventLog events;
  Win32TreatmentLock treatmentLock;
  Win32UserHives userHives;
  Win32UserRights userRights;
  Win32SuspectFiles suspectFiles;
};

}  // namespace zc::win
