#pragma once
// Reading the registry's tagged results as text, and the root-key texts that name a
// predefined root key by its handle number.

#include <cstdint>
#include <optional>

#include "core/base/text.h"
#include "core/platform/registry_api.h"

namespace zc {

// Empty gives "", a number its decimal digits, a text itself, bytes their content read
// as UTF-16LE (an odd last byte becomes one more character with a zero high byte).
Text RegistryValueToText(const RegistryValue& value);

// Reads a value and converts it at once, as every caller does.
Text ReadRegistryText(RegistryApi& registry, int32_t root, TextView keyPath, TextView valueName);

// The same in one registry view.
Text ReadRegistryTextInView(RegistryApi& registry, int32_t root, RegistryView view, TextView keyPath,
                            TextView valueName);

// Where a key of the 32-bit view lies as the 64-bit view sees it: below HKLM\SOFTWARE the
// 32-bit programs' keys are kept under SOFTWARE\WOW6432Node; every other key is one for
// both views. The treatment record names a value of the 32-bit view by this path, so a
// restore puts it back into that view through any view.
Text Wow32KeyPath(int32_t root, TextView keyPath);

// A root key written as decimal ("-2147483647") or as "&H" hexadecimal ("&H80000001",
// letter case free), surrounding blanks allowed, turned into the signed 32-bit handle
// number. Decimal values from 2147483648 to 4294967295 are read as the same 32 bits.
// Nothing when the text is no such number or does not fit in 32 bits.
std::optional<int32_t> ParseRootKeyText(TextView text);

// As ParseRootKeyText, with 0 for an unreadable text: 0 names no root key, so every
// registry call on it fails and reads give the empty result.
int32_t RootKeyFromText(TextView text);

}  // namespace zc
