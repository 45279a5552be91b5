// The program: builds every real adapter, the text constants, the definitions, the
// checks, the treatment pass and the main window, runs start-up and then the window's
// message loop until the program ends.

#include <windows.h>

#include "core/app/program.h"
#include "core/texts/constant_texts.h"
#include "core/texts/definitions_key.h"
#include "win32/app/form1_window.h"
#include "win32/app/registry_settings.h"
#include "win32/desktop/win32_window_enum.h"
#include "win32/log/log_failure_reporter.h"
#include "win32/log/win32_activity_log.h"
#include "win32/machine/win32_console.h"
#include "win32/machine/win32_files.h"
#include "win32/machine/win32_processes.h"
#include "win32/machine/win32_registry.h"
#include "win32/machine/win32_shell.h"
#include "win32/net/winhttp_client.h"
#include "win32/signing/cng_signatures.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  zc::win::Form1Window window;
  if (!window.Create(instance)) return 1;

  zc::win::Win32ActivityLog log;
  zc::win::LogFailureReporter failures(log);  // the cipher's reports go to the program's folder
  zc::ConstantTexts texts(failures);
  zc::win::WinHttpClient http;
  zc::win::Win32Registry registry;
  zc::win::Win32Processes processes;
  zc::win::Win32Console console;
  zc::win::Win32Shell shell;
  zc::win::Win32Files files;
  zc::win::Win32WindowEnum windows;
  zc::win::RegistrySettings settings;
  zc::win::CngSignatures signatures;

  zc::Program program(texts, {http, registry, processes, console, shell, files, windows, settings, log},
                      {window, window.Pump(), window.Results(), window.Timers()},
                      zc::DefinitionsSigner(zc::enc::DefinitionsPublicKey, signatures));
  window.Bind(program.form(), [&program](zc::TimerId timer) { program.Tick(timer); });
  program.form().Form_Load();
  return window.RunMessageLoop();
}
