#pragma once
// A treatment recorder that reads the same fake registry and service manager the pass
// changes, so that a test sees whether each value and service was recorded before the
// step that removed it (recorded after, there would be nothing left to record). Its
// backup store keeps files of its own.

#include <cstdint>
#include <optional>
#include <utility>
#include <variant>
#include <vector>

#include "core/platform/raw_registry_api.h"
#include "core/restore/treatment_recorder.h"
#include "tests/fakes/fake_clock.h"
#include "tests/fakes/fake_file_hash.h"
#include "tests/fakes/fake_registry.h"
#include "tests/fakes/fake_restore_files.h"
#include "tests/fakes/fake_security.h"
#include "tests/fakes/fake_service_manager.h"

namespace zc::fakes {

// The fake registry's typed values as the raw bytes the platform stores.
class RawRegistryOver : public RawRegistryApi {
 public:
  explicit RawRegistryOver(FakeRegistry& registry) : registry_(registry) {}

  std::optional<RawRegistryValue> ReadRawValue(int32_t root, TextView keyPath, TextView valueName) override {
    return ReadValueAt({root, RegistryView::Native, Text(keyPath), {}}, valueName);
  }
  bool WriteRawValue(int32_t root, TextView keyPath, TextView valueName, const RawRegistryValue& value) override {
    return WriteValueAt({root, RegistryView::Native, Text(keyPath), {}}, valueName, value);
  }
  // The running account's SID: its hive under HKEY_USERS is HKEY_CURRENT_USER, as on
  // Windows.
  Text currentUserSid;

  // A user's hive is HKEY_USERS\<sid>; the 32-bit view lies below WOW6432Node, as the
  // fake registry keeps it.
  std::pair<int32_t, Text> Place(const RegistryKeyPlace& key) const {
    if (!key.userSid.empty() && key.userSid == currentUserSid) return {key.root, key.path};
    if (!key.userSid.empty()) return {kUsersRoot, key.userSid + u"\\" + key.path};
    return {key.root, FakeRegistry::InView(key.root, key.view, key.path)};
  }
  bool KeyOpens(const RegistryKeyPlace& key) override {
    const auto [root, path] = Place(key);
    return registry_.HasKey(root, path);
  }
  std::optional<std::vector<Text>> SubkeyNames(const RegistryKeyPlace&) override { return std::vector<Text>{}; }
  std::optional<std::vector<Text>> ValueNames(const RegistryKeyPlace& key) override {
    const auto [root, path] = Place(key);
    return registry_.ValueNamesOf(root, path);
  }
  std::optional<RawRegistryValue> ReadValueAt(const RegistryKeyPlace& key, TextView valueName) override {
    const auto [root, keyPath] = Place(key);
    const std::optional<FakeRegistry::StoredValue> stored = registry_.Stored(root, keyPath, valueName);
    if (!stored) return std::nullopt;
    RawRegistryValue raw{stored->type, {}};
    if (const auto* text = std::get_if<Text>(&stored->value)) {
      for (const char16_t c : *text) {
        raw.data.push_back(static_cast<uint8_t>(c & 0xFF));
        raw.data.push_back(static_cast<uint8_t>(c >> 8));
      }
      raw.data.push_back(0);
      raw.data.push_back(0);
    } else if (const auto* number = std::get_if<int32_t>(&stored->value)) {
      const auto n = static_cast<uint32_t>(*number);
      raw.data = {static_cast<uint8_t>(n), static_cast<uint8_t>(n >> 8), static_cast<uint8_t>(n >> 16),
                  static_cast<uint8_t>(n >> 24)};
    } else if (const auto* bytes = std::get_if<std::vector<uint8_t>>(&stored->value)) {
      raw.data = *bytes;
    }
    return raw;
  }
  bool WriteValueAt(const RegistryKeyPlace& key, TextView valueName, const RawRegistryValue& value) override {
    const auto [root, keyPath] = Place(key);
    if (value.type == 4 && value.data.size() == 4) {
      registry_.SetDword(root, keyPath, valueName,
                         static_cast<int32_t>(value.data[0] | value.data[1] << 8 | value.data[2] << 16 |
                                              static_cast<uint32_t>(value.data[3]) << 24));
      return true;
    }
    if (value.type == 1 || value.type == 2 || value.type == 7) {
      Text text;
      for (size_t i = 0; i + 1 < value.data.size(); i += 2) {
        text.push_back(static_cast<char16_t>(value.data[i] | value.data[i + 1] << 8));
      }
      if (!text.empty() && text.back() == u'\0') text.pop_back();  // the terminator a read adds again
      registry_.SetText(root, keyPath, valueName, text, value.type);
      return true;
    }
    registry_.SetBinary(root, keyPath, valueName, value.data);
    return true;
  }

 private:
  FakeRegistry& registry_;
};

struct FakeSharedRecording {
  // `store`: the machine's store unless a test gives a standard user's own.
  FakeSharedRecording(const ConstantTexts& texts, FakeRegistry& machineRegistry, FakeServiceManager& services,
                      StoreLocation store = {})
      : registry(machineRegistry), recorder({texts, files, hashes, registry, services, clock, security, std::move(store)}) {}

  FakeRestoreFiles files;
  FakeFileHash hashes{files};
  RawRegistryOver registry;
  FakeClock clock;
  FakeSecurity security{files};
  TreatmentRecorder recorder;
};

}  // namespace zc::fakes
