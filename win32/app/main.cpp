// The program: builds every real adapter, the text constants, the definitions, the
// checks, the treatment pass and the main window, runs start-up and then the window's
// message loop until the program ends. With "/restore FOLDER" it only restores the
// treatments recorded in that backup folder; with "/prepare-store" (run by the installers)
// it only makes the backup store's root; with "/scan" it runs the silent scan for
// management tools and opens no window. An unelevated start first removes the user's
// copy an earlier per-user installer left. A second start in the user's session brings
// the running copy forward and ends; "/treat-now" (given by an unelevated copy to the
// elevated one it starts) makes an elevated copy check once and treat at once.

#include <windows.h>

#include <vector>

#include "core/app/program.h"
#include "core/app/start_kind.h"
#include "core/app/user_copy_cleanup.h"
#include "core/restore/restore_command_line.h"
#include "core/restore/restore_list.h"
#include "core/scan/scan_arguments.h"
#include "core/texts/constant_texts.h"
#include "core/texts/definitions_key.h"
#include "win32/app/form1_window.h"
#include "win32/app/machine_adapters.h"
#include "win32/base/program_arguments.h"
#include "win32/desktop/win32_session_copy.h"
#include "win32/machine/win32_user_install.h"
#include "win32/restore/message_box_confirmation.h"
#include "win32/restore/prepare_store_command.h"
#include "win32/restore/restore_command.h"
#include "win32/restore/restore_window.h"
#include "win32/restore/store_for_this_copy.h"
#include "win32/scan/scan_command.h"
#include "win32/signing/cng_signatures.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  const std::vector<zc::Text> arguments = zc::win::ProgramArguments();
  if (zc::win::AsksToPrepareStore(arguments)) return zc::win::RunPrepareStoreCommand();
  if (const auto folder = zc::RestoreFolderArgument(arguments)) return zc::win::RunRestoreCommand(*folder);
  // A silent scan opens no window; what it writes goes to the standard handles a
  // management tool gave the program, if any (zcscan.exe is its console form).
  if (zc::AsksForSilentScan(arguments)) return zc::win::RunScanCommand(arguments);

  // One copy per session: a second start brings the running copy forward and ends.
  zc::win::MachineAdapters machine;
  const zc::StartKind startKind = zc::StartKindOf(arguments, machine.elevation);
  zc::win::Win32SessionCopy sessionCopy;
  if (!zc::GoesOnInSession(sessionCopy, startKind)) return 0;

  zc::win::Form1Window window;
  if (!window.Create(instance)) return 1;

  const zc::ConstantTexts& texts = machine.texts;
  zc::win::MessageBoxConfirmation confirmation(texts);
  zc::RestoreRunner restoreRunner(machine.restoreMachine.ForRestore(texts, machine.log, confirmation, &machine.events),
                                  zc::RestoreRunner::TreatmentLimits(texts));
  // Without administrator rights the window also lists the account's own store, whose
  // records it restores itself; an elevated copy never lists it.
  const zc::StoreLocation ownStore =
      machine.elevation.IsElevated() ? zc::StoreLocation{} : zc::win::RunningAccountsOwnStore(texts);
  zc::RestoreRunner ownRestoreRunner(
      machine.restoreMachine.ForRestore(texts, machine.log, confirmation, &machine.events, ownStore),
      zc::RestoreRunner::TreatmentLimits(texts));
  zc::RestoreList restoreList(texts, restoreRunner, ownStore.root.empty() ? nullptr : &ownRestoreRunner);
  zc::win::RestoreWindow restoreWindow(texts, restoreList, ownStore.root);
  window.SetRestoreOpener([&restoreWindow](HWND owner) { restoreWindow.Open(owner); });
  zc::win::CngSignatures signatures;

  zc::win::Win32UserInstall userInstall;
  zc::RemoveOldUserCopy({texts, userInstall, machine.registry, machine.elevation, machine.ownLog.log, machine.events});
  zc::Program program(texts, machine.Platform(), {window, window.Pump(), window.Results(), window.Timers()},
                      zc::enc::kDefinitionsUnsigned ? zc::DefinitionsSigner::Unsigned()
                                                    : zc::DefinitionsSigner(zc::enc::DefinitionsPublicKey, signatures),
                      machine.policies);
  window.Bind(program.form(), [&program](zc::TimerId timer) { program.Tick(timer); });
  program.form().UseStart({startKind, &machine.ownLog.log});
  program.form().Form_Load();
  return window.RunMessageLoop();
}
