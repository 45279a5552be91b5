#pragma once
// The group lists of the shared service hosts: under the key
// HKLM\SOFTWARE\Microsoft\Windows NT\CurrentVersion\Svchost one multiple-text value per group, named after the group,
// lists the services a host started with "-k <group>" runs. A service deleted from the
// service manager is taken off its list, and put back on it when the service is made
// again. Each change reads the list by its byte length, changes one name (letter case
// ignored), leaves every other name as it was, writes once and reads the list back.

#include <vector>

#include "core/base/text.h"
#include "core/platform/raw_registry_api.h"
#include "core/texts/constant_texts.h"

namespace zc {

enum class GroupListChange {
  Changed,    // written and read back as intended
  Unchanged,  // nothing to do: not listed (removing), already listed (adding)
  Failed,     // not a list, not written, or it read back otherwise
};

// The groups whose list names the service.
std::vector<Text> GroupsListing(const ConstantTexts& texts, RawRegistryApi& registry, TextView serviceName);

GroupListChange RemoveFromServiceGroup(const ConstantTexts& texts, RawRegistryApi& registry, TextView group,
                                       TextView serviceName);

// Adds the name at the end of the group's list (making the list when the group has none).
GroupListChange AddToServiceGroup(const ConstantTexts& texts, RawRegistryApi& registry, TextView group,
                                  TextView serviceName);

}  // namespace zc
