// A service that does nothing: reports itself running and stops when told to. The
// service-table test installs it under a name of its own.
#include <windows.h>

namespace {

SERVICE_STATUS_HANDLE statusHandle = nullptr;
HANDLE stopEvent = nullptr;

void Report(DWORD state) {
  SERVICE_STATUS status{};
  status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
  status.dwCurrentState = state;
  status.dwControlsAccepted = state == SERVICE_RUNNING ? SERVICE_ACCEPT_STOP : 0;
  ::SetServiceStatus(statusHandle, &status);
}

DWORD WINAPI Control(DWORD control, DWORD, void*, void*) {
  if (control == SERVICE_CONTROL_STOP) ::SetEvent(stopEvent);
  return NO_ERROR;
}

void WINAPI ServiceMain(DWORD, wchar_t** arguments) {
  statusHandle = ::RegisterServiceCtrlHandlerExW(arguments[0], Control, nullptr);
  if (statusHandle == nullptr) return;
  stopEvent = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
  Report(SERVICE_RUNNING);
  ::WaitForSingleObject(stopEvent, 120000);
  Report(SERVICE_STOPPED);
}

}  // namespace

int main() {
  wchar_t name[] = L"";
  SERVICE_TABLE_ENTRYW table[] = {{name, ServiceMain}, {nullptr, nullptr}};
  return ::StartServiceCtrlDispatcherW(table) ? 0 : 1;
}
