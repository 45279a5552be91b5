#pragma once
// The queue of file operations carried out at the next start, kept as Windows keeps it:
// PendingFileRenameOperations, a multiple-text value under the key
// HKLM\SYSTEM\CurrentControlSet\Control\Session Manager, of (source, target) pairs in the "\??\" form with an empty
// target for a deletion; every queued operation is appended to it. A restart carries
// them out in order and removes the value.

#include <string>
#include <vector>

#include "core/restore/multi_text.h"
#include "tests/fakes/fake_raw_registry.h"
#include "tests/fakes/fake_restore_files.h"

namespace zc::fakes {

inline constexpr int32_t kPendingRoot = static_cast<int32_t>(0x80000002u);
inline constexpr char16_t kPendingKey[] = u"SYSTEM\\CurrentControlSet\\Control\\Session Manager";
inline constexpr char16_t kPendingValue[] = u"PendingFileRenameOperations";

inline std::vector<Text> PendingOperations(const FakeRawRegistry& registry) {
  const std::optional<RawRegistryValue> list = registry.Get(kPendingRoot, kPendingKey, kPendingValue);
  if (!list) return {};
  std::vector<Text> items = MultiTextItems(list->data);
  if (items.size() % 2 != 0) items.emplace_back();
  return items;
}

// Queues an operation as MoveFileExW with MOVEFILE_DELAY_UNTIL_REBOOT does: a target of
// nothing deletes. Paths are given in the queue's form.
inline void QueueAtRestart(FakeRawRegistry& registry, TextView source, TextView target = {}) {
  std::vector<Text> items = PendingOperations(registry);
  items.emplace_back(source);
  items.emplace_back(target);
  registry.Set(kPendingRoot, kPendingKey, kPendingValue, {7, MultiTextData(items)});
}

// Carries out every queued deletion on the files (a path of the form "\??\C:\...").
inline void Restart(FakeRawRegistry& registry, FakeRestoreFiles& files) {
  const std::vector<Text> items = PendingOperations(registry);
  for (size_t i = 0; i + 1 < items.size(); i += 2) {
    if (items[i + 1].empty() && items[i].rfind(u"\\??\\", 0) == 0) files.entries.erase(FoldCase(items[i].substr(4)));
  }
  registry.Remove(kPendingRoot, kPendingKey, kPendingValue);
}

}  // namespace zc::fakes
