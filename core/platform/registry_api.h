#pragma once
// The registry as the checks, the treatment and the options use it: four operations on
// a root key given by its predefined handle number (HKEY_CURRENT_USER is 0x80000001,
// held as a signed 32-bit number), a key path and a value name. None of them reports
// a failure; see the Win32 adapter for the exact platform calls.

#include <cstdint>
#include <variant>
#include <vector>

#include "core/base/text.h"
#include "core/platform/system_error.h"

namespace zc {

// Tagged result of a read: nothing, a text (types 1, 2, 7), bytes (type 3) or a
// 32-bit number (type 4).
using RegistryValue = std::variant<std::monostate, Text, std::vector<uint8_t>, int32_t>;

// Which of the two registry views of a 64-bit system a call opens. HKLM\SOFTWARE has a
// separate branch for 32-bit programs (what they write to it lands there); HKCU\Software
// and the services key are one for both.
enum class RegistryView {
  Native,  // the 64-bit view, named explicitly (KEY_WOW64_64KEY)
  Wow32,   // the 32-bit programs' view (KEY_WOW64_32KEY)
};

class RegistryApi {
 public:
  virtual ~RegistryApi() = default;

  // Opens the key with access 0x3F and deletes the value. Returns the open's error code
  // when the key cannot be opened, otherwise the close's status (0), whatever the
  // deletion did.
  virtual int32_t DeleteRegistryValue(int32_t root, TextView keyPath, TextView valueName) = 0;

  // Deletes a value from one view and says whether it is gone: `None` when it was
  // deleted or was not there (key or value missing); otherwise the platform's error.
  virtual SystemError RemoveValue(int32_t root, RegistryView view, TextView keyPath, TextView valueName) = 0;

  // ReadRegistryValue in the given view.
  virtual RegistryValue ReadRegistryValueInView(int32_t root, RegistryView view, TextView keyPath,
                                                TextView valueName) = 0;

  // Stores `data` as a 32-bit number (type 4) under an existing key; a missing key is
  // never created (`FileNotFound`).
  virtual SystemError SetExistingDword(int32_t root, TextView keyPath, TextView valueName,
                                       int32_t data) = 0;

  // Creates the key when missing and stores `data` as a text value (type 1) without a
  // terminating zero in its stored size.
  virtual void WriteRegistryString(int32_t root, TextView keyPath, TextView valueName,
                                   TextView data) = 0;

  // Creates the key when missing and stores `data` as a 32-bit number (type 4).
  virtual void WriteRegistryDword(int32_t root, TextView keyPath, TextView valueName,
                                  int32_t data) = 0;

  // Reads a value; a key or value that cannot be read, or a type other than 1, 2, 3, 4
  // and 7, gives the empty result.
  virtual RegistryValue ReadRegistryValue(int32_t root, TextView keyPath, TextView valueName) = 0;
};

}  // namespace zc
