#include "core/engine/registry_infection_check.h"

#include "core/engine/finding_texts.h"
#include "core/machine/registry_values.h"

namespace zc {

Text RegistryInfectionCheck::ReadEntry(TextView rootText, TextView entry) {
  return ReadRegistryText(registry_, RootKeyFromText(texts_.Get(rootText)),
                          texts_.Get(enc::InfectionKeyPath), entry);
}

void RegistryInfectionCheck::AddFinding(TextView entry, const Text& value, TextView flag) {
  rowBuffer_[kColumnName] = NameFromValue(value, entry);
  rowBuffer_[kColumnProcessId] = Text(kNoneText);
  rowBuffer_[kColumnPath] = value;
  rowBuffer_[kColumnDetail] = Text(kNotApplicableText);
  rowBuffer_[kColumnKind] = kKindRegistryInfection;
  rowBuffer_[kColumnEntryName] = Text(entry);
  rowBuffer_[kColumnFlag] = Text(flag);
  results_.AddRow(rowBuffer_, 0);
  reportedEntries_.Add(entry);
}

void RegistryInfectionCheck::Run() {
  for (const Text& entry : definitions_.RegistryEntryList) {
    if (reportedEntries_.Contains(entry)) continue;
    // Both roots are read before either row is added; the second root's row comes first.
    const Text firstValue = ReadEntry(enc::ServiceRootText, entry);
    const Text secondValue = ReadEntry(enc::InfectionRootText, entry);
    if (!secondValue.empty()) AddFinding(entry, secondValue, u"1");
    if (!firstValue.empty()) AddFinding(entry, firstValue, u"2");
  }
}

}  // namespace zc
