#include "core/engine/service_check.h"

#include "core/engine/finding_texts.h"
#include "core/machine/registry_values.h"

namespace zc {

void ServiceCheck::Run() {
  for (const Text& name : definitions_.ServiceNameList) {
    if (reportedServices_.Contains(name)) continue;
    const Text value = ReadRegistryText(registry_, RootKeyFromText(texts_.Get(enc::ServiceRootText)),
                                        texts_.Get(enc::ServiceCheckKeyPrefix) + name,
                                        texts_.Get(enc::ServiceImageValueName));
    if (value.empty()) continue;

    rowBuffer_[kColumnName] = name.empty() ? Text(kUnnamedServiceText) : NameFromValue(value, name);
    rowBuffer_[kColumnProcessId] = Text(kNoneText);
    rowBuffer_[kColumnPath] = value;
    rowBuffer_[kColumnDetail] = name;
    rowBuffer_[kColumnKind] = kKindServiceHide;
    rowBuffer_[kColumnEntryName].clear();
    rowBuffer_[kColumnFlag].clear();
    results_.AddRow(rowBuffer_, 0);
    reportedServices_.Add(name);
  }
}

}  // namespace zc
