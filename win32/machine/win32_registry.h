#pragma once
// The registry through its ANSI calls. The root key is the predefined handle's number
// (HKEY_CURRENT_USER is -2147483647); key paths, value names and texts cross in the
// ANSI code page.

#include <windows.h>

#include "core/platform/registry_api.h"

namespace zc::win {

class Win32Registry : public RegistryApi {
 public:
  static constexpr unsigned kFirstReadBytes = 1024;

  int32_t DeleteRegistryValue(int32_t root, TextView keyPath, TextView valueName) override;
  // RegOpenKeyExW(KEY_SET_VALUE) + RegDeleteValueW; a missing key or value is done.
  SystemError RemoveValue(int32_t root, RegistryView view, TextView keyPath, TextView valueName) override;
  RegistryValue ReadRegistryValueInView(int32_t root, RegistryView view, TextView keyPath,
                                        TextView valueName) override;
  // RegOpenKeyExW(KEY_SET_VALUE) + RegSetValueExW(REG_DWORD): the key must exist.
  SystemError SetExistingDword(int32_t root, TextView keyPath, TextView valueName, int32_t data) override;
  void WriteRegistryString(int32_t root, TextView keyPath, TextView valueName,
                           TextView data) override;
  void WriteRegistryDword(int32_t root, TextView keyPath, TextView valueName,
                          int32_t data) override;

  // Texts (types 1 and 2, unexpanded) lose their terminating zero, multiple texts
  // (type 7) their final double zero; texts stored without them (as WriteRegistryString
  // stores them) keep every character. Binary data (3) comes back as it is, a 32-bit
  // number (4) as the number. Anything else, and a value that cannot be read, is empty.
  RegistryValue ReadRegistryValue(int32_t root, TextView keyPath, TextView valueName) override;

 private:
  static RegistryValue ReadOpenedValue(HKEY opened, TextView valueName);
};

}  // namespace zc::win
