#include "win32/machine/win32_environment.h"

#include <windows.h>

#include <string>

#include "win32/base/ansi.h"

namespace zc::win {

Text Win32Environment::ExpandVariables(TextView text) {
  const std::wstring source = ToWide(text);
  std::wstring expanded(source.size() + 256, L'\0');
  for (int attempt = 0; attempt < 3; ++attempt) {
    const DWORD needed = ::ExpandEnvironmentStringsW(source.c_str(), expanded.data(), static_cast<DWORD>(expanded.size()));
    if (needed == 0) return Text(text);  // nothing could be expanded: the text as it is
    if (needed <= expanded.size()) {
      expanded.resize(needed - 1);  // without the terminating zero
      return FromWide(expanded);
    }
    expanded.assign(needed, L'\0');
  }
  return Text(text);
}

}  // namespace zc::win
