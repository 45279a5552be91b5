#include "win32/machine/environment_text.h"

#include <windows.h>

#include <vector>

namespace zc::win {

Text EnvironmentText(TextView name) {
  const std::wstring wideName(name.begin(), name.end());
  std::vector<wchar_t> value(256);
  for (int attempt = 0; attempt < 3; ++attempt) {
    const DWORD length = ::GetEnvironmentVariableW(wideName.c_str(), value.data(), static_cast<DWORD>(value.size()));
    if (length == 0) return {};
    if (length < value.size()) return Text(reinterpret_cast<const char16_t*>(value.data()), length);
    value.resize(length);
  }
  return {};
}

}  // namespace zc::win
