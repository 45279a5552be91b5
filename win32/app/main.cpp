// The program: builds every real adapter, the text constants, the definitions, the
// checks, the treatment pass and the main window, runs start-up and then the window's
// message loop until the program ends. With "/restore FOLDER" it only restores the
// treatments recorded in that backup folder; with "/prepare-store" (run by the installers)
// it only makes the backup store's root. An unelevated start first removes the user's
// copy an earlier per-user installer left. A second start in the user's session brings
// the running copy forward and ends; "/treat-now" (given by an unelevated copy to the
// elevated one it starts) makes an elevated copy check once and treat at once.

#include <windows.h>
#include <shellapi.h>

#include <vector>

#include "core/app/program.h"
#include "core/app/start_kind.h"
#include "core/app/user_copy_cleanup.h"
#include "core/engine/listing_route.h"
#include "core/restore/restore_command_line.h"
#include "core/restore/restore_list.h"
#include "core/texts/constant_texts.h"
#include "core/texts/definitions_key.h"
#include "win32/app/form1_window.h"
#include "win32/app/registry_settings.h"
#include "win32/base/ansi.h"
#include "win32/desktop/win32_window_enum.h"
#include "win32/desktop/win32_session_copy.h"
#include "win32/log/own_error_log_machine.h"
#include "win32/log/win32_activity_log.h"
#include "win32/log/win32_event_log.h"
#include "win32/machine/environment_text.h"
#include "win32/machine/win32_elevation.h"
#include "win32/machine/win32_environment.h"
#include "win32/machine/win32_connection_owner.h"
#include "win32/machine/win32_process_details.h"
#include "win32/trust/win32_file_trust.h"
#include "win32/machine/win32_connection_table.h"
#include "win32/machine/win32_console.h"
#include "win32/machine/win32_files.h"
#include "win32/machine/win32_processes.h"
#include "win32/machine/win32_registry.h"
#include "win32/machine/win32_service_table.h"
#include "win32/machine/win32_shell.h"
#include "win32/machine/win32_user_install.h"
#include "win32/net/winhttp_client.h"
#include "win32/restore/restore_command.h"
#include "win32/restore/message_box_confirmation.h"
#include "win32/restore/prepare_store_command.h"
#include "win32/restore/restore_machine.h"
#include "win32/restore/restore_window.h"
#include "win32/signing/cng_signatures.h"

namespace {

// The arguments after the program's own path.
std::vector<zc::Text> Arguments() {
  std::vector<zc::Text> arguments;
  int count = 0;
  LPWSTR* list = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!list) return arguments;
  for (int i = 1; i < count; ++i) arguments.push_back(zc::win::FromWide(list[i]));
  LocalFree(list);
  return arguments;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  const std::vector<zc::Text> arguments = Arguments();
  if (zc::win::AsksToPrepareStore(arguments)) return zc::win::RunPrepareStoreCommand();
  if (const auto folder = zc::RestoreFolderArgument(arguments)) return zc::win::RunRestoreCommand(*folder);

  // handover27: one copy per session, the start to treat, the program's own error log.
  zc::win::Win32Elevation elevation;
  const zc::StartKind startKind = zc::StartKindOf(arguments, elevation);
  zc::win::Win32SessionCopy sessionCopy;
  if (!zc::GoesOnInSession(sessionCopy, startKind)) return 0;
  zc::win::OwnErrorLogMachine ownLog(elevation);  // also the cipher's failure reports
  // end handover27

  zc::win::Form1Window window;
  if (!window.Create(instance)) return 1;

  zc::win::Win32ActivityLog log;
  zc::ConstantTexts texts(ownLog.log);
  zc::win::WinHttpClient http;
  zc::win::Win32Registry registry;
  zc::win::Win32Processes processes;
  zc::win::Win32Console console;
  zc::win::Win32ConnectionTable connectionTable;
  zc::win::Win32ServiceTable serviceTable;
  const zc::ListingRouteChoice route =
      zc::ParseListingRouteChoice(texts, zc::win::EnvironmentText(texts.Get(zc::enc::ListingRouteVariable)));
  zc::ListingRoute listings(texts, console, connectionTable, serviceTable, route);
  zc::win::Win32Shell shell;
  zc::win::Win32Files files;
  zc::win::Win32WindowEnum windows;
  zc::win::RegistrySettings settings;
  zc::win::RestoreMachine restoreMachine;
  zc::win::MessageBoxConfirmation confirmation(texts);
  zc::RestoreRunner restoreRunner(restoreMachine.ForRestore(texts, log, confirmation), zc::RestoreRunner::TreatmentLimits(texts));
  zc::RestoreList restoreList(texts, restoreRunner);
  zc::win::RestoreWindow restoreWindow(texts, restoreList);
  window.SetRestoreOpener([&restoreWindow](HWND owner) { restoreWindow.Open(owner); });
  zc::win::CngSignatures signatures;

  zc::TreatmentRecorder recorder(restoreMachine.ForRecording(texts));
  zc::win::Win32Environment environment;
  zc::win::Win32ProcessDetails processDetails;
  zc::win::Win32FileTrust trust;
  zc::win::Win32ConnectionOwner connectionOwners;
  zc::win::Win32UserInstall userInstall;
  zc::win::Win32EventLog events(texts.Get(zc::enc::EventSourceName));
  zc::RemoveOldUserCopy({texts, userInstall, registry, elevation, ownLog.log, events});  // handover27: own log
  zc::Program program(texts,
                      {http, registry, processes, console, listings, shell, files, windows, settings, log, recorder,
                       restoreMachine.services, elevation, restoreMachine.clock, environment, processDetails, trust,
                       connectionOwners, restoreMachine.registry},
                      {window, window.Pump(), window.Results(), window.Timers()},
                      zc::enc::kDefinitionsUnsigned ? zc::DefinitionsSigner::Unsigned()
                                                    : zc::DefinitionsSigner(zc::enc::DefinitionsPublicKey, signatures));
  window.Bind(program.form(), [&program](zc::TimerId timer) { program.Tick(timer); });
  program.form().UseStart({startKind, &ownLog.log});  // handover27
  program.form().Form_Load();
  return window.RunMessageLoop();
}
