#include "win32/machine/running_under_wine.h"

#include <windows.h>

namespace zc::win {

bool RunningUnderWine() {
  const HMODULE ntdll = ::GetModuleHandleA("ntdll");
  return ntdll != nullptr && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

}  // namespace zc::win
