#include "core/restore/service_group_list.h"

#include <algorithm>
#include <optional>

#include "core/machine/registry_values.h"
#include "core/restore/multi_text.h"

namespace zc {
namespace {

RegistryKeyPlace GroupsKey(const ConstantTexts& texts) {
  return {RootKeyFromText(texts.Get(enc::ServiceRootText)), RegistryView::Native, texts.Get(enc::ServiceGroupsKeyPath),
          {}};
}

bool SameName(TextView a, TextView b) { return FoldCase(a) == FoldCase(b); }

bool Lists(const std::vector<Text>& items, TextView serviceName) {
  return std::any_of(items.begin(), items.end(), [&](const Text& item) { return SameName(item, serviceName); });
}

GroupListChange Change(const ConstantTexts& texts, RawRegistryApi& registry, TextView group, TextView serviceName,
                       bool add) {
  const RegistryKeyPlace key = GroupsKey(texts);
  const std::optional<RawRegistryValue> before = registry.ReadValueAt(key, group);
  if (before && before->type != kMultiTextType) return GroupListChange::Failed;
  if (!before && !add) return GroupListChange::Unchanged;
  std::vector<Text> items = before ? MultiTextItems(before->data) : std::vector<Text>();
  if (Lists(items, serviceName) == add) return GroupListChange::Unchanged;
  if (add) {
    items.emplace_back(serviceName);
  } else {
    items.erase(std::remove_if(items.begin(), items.end(), [&](const Text& item) { return SameName(item, serviceName); }),
                items.end());
  }
  const RawRegistryValue after{kMultiTextType, MultiTextData(items)};
  if (!registry.WriteValueAt(key, group, after)) return GroupListChange::Failed;
  return registry.ReadValueAt(key, group) == after ? GroupListChange::Changed : GroupListChange::Failed;
}

}  // namespace

std::vector<Text> GroupsListing(const ConstantTexts& texts, RawRegistryApi& registry, TextView serviceName) {
  std::vector<Text> groups;
  const RegistryKeyPlace key = GroupsKey(texts);
  for (const Text& group : registry.ValueNames(key).value_or(std::vector<Text>())) {
    const std::optional<RawRegistryValue> list = registry.ReadValueAt(key, group);
    if (list && list->type == kMultiTextType && Lists(MultiTextItems(list->data), serviceName)) groups.push_back(group);
  }
  return groups;
}

GroupListChange RemoveFromServiceGroup(const ConstantTexts& texts, RawRegistryApi& registry, TextView group,
                                       TextView serviceName) {
  return Change(texts, registry, group, serviceName, false);
}

GroupListChange AddToServiceGroup(const ConstantTexts& texts, RawRegistryApi& registry, TextView group,
                                  TextView serviceName) {
  return Change(texts, registry, group, serviceName, true);
}

}  // namespace zc
