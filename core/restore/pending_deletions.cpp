#include "core/restore/pending_deletions.h"

#include <optional>
#include <vector>

#include "core/machine/registry_values.h"
#include "core/restore/multi_text.h"

namespace zc {
namespace {

RegistryKeyPlace QueueKey(const ConstantTexts& texts) {
  return {RootKeyFromText(texts.Get(enc::ServiceRootText)), RegistryView::Native, texts.Get(enc::PendingOperationsKey),
          {}};
}

bool StartsWith(TextView text, TextView prefix) { return text.substr(0, prefix.size()) == prefix; }

}  // namespace

Text QueuedPathForm(TextView path) {
  if (StartsWith(path, u"\\??\\")) return Text(path);
  if (StartsWith(path, u"\\\\?\\UNC\\")) return u"\\??\\UNC\\" + Text(path.substr(8));
  if (StartsWith(path, u"\\\\?\\")) return u"\\??\\" + Text(path.substr(4));
  if (StartsWith(path, u"\\\\")) return u"\\??\\UNC\\" + Text(path.substr(2));
  return u"\\??\\" + Text(path);
}

PendingCancel CancelPendingDeletion(const ConstantTexts& texts, RawRegistryApi& registry, TextView queuedPath) {
  const RegistryKeyPlace key = QueueKey(texts);
  const Text valueName = texts.Get(enc::PendingOperationsValue);
  const std::optional<RawRegistryValue> before = registry.ReadValueAt(key, valueName);
  if (!before) return registry.KeyOpens(key) ? PendingCancel::NotQueued : PendingCancel::Failed;
  if (before->type != kMultiTextType) return PendingCancel::Failed;
  std::vector<Text> items = MultiTextItems(before->data);
  if (items.size() % 2 != 0) items.emplace_back();  // a last source whose empty target lost the closing zero
  const Text wanted = FoldCase(queuedPath);
  std::vector<Text> kept;
  bool queued = false;
  for (size_t i = 0; i < items.size(); i += 2) {
    if (FoldCase(items[i]) != wanted) {
      kept.push_back(items[i]);
      kept.push_back(items[i + 1]);
    } else if (items[i + 1].empty()) {
      queued = true;  // every deletion of the path goes: one left would still delete it
    } else {
      return PendingCancel::Changed;  // to be renamed at the start, not deleted
    }
  }
  if (!queued) return PendingCancel::NotQueued;
  // Another installer may have queued something meanwhile: its entry must not be lost.
  if (registry.ReadValueAt(key, valueName) != before) return PendingCancel::Changed;
  const RawRegistryValue after{kMultiTextType, MultiTextData(kept)};
  if (!registry.WriteValueAt(key, valueName, after)) return PendingCancel::Failed;
  return registry.ReadValueAt(key, valueName) == after ? PendingCancel::Cancelled : PendingCancel::Failed;
}

}  // namespace zc
