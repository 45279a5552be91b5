#include "core/engine/registry_infection_check.h"

#include "core/engine/finding_texts.h"
#include "core/machine/registry_values.h"
#include "core/platform/raw_registry_api.h"

namespace zc {

Text RegistryInfectionCheck::ReadEntry(TextView rootText, TextView entry, RegistryView view) {
  return ReadRegistryTextInView(registry_, RootKeyFromText(texts_.Get(rootText)), view,
                                texts_.Get(enc::InfectionKeyPath), entry);
}

void RegistryInfectionCheck::AddFinding(TextView entry, const Text& value, TextView flag, TextView reported) {
  rowBuffer_[kColumnName] = NameFromValue(value, entry);
  rowBuffer_[kColumnProcessId] = Text(kNoneText);
  rowBuffer_[kColumnPath] = value;
  rowBuffer_[kColumnDetail] = Text(kNotApplicableText);
  rowBuffer_[kColumnKind] = kKindRegistryInfection;
  rowBuffer_[kColumnEntryName] = Text(entry);
  rowBuffer_[kColumnFlag] = Text(flag);
  results_.AddRow(rowBuffer_, 0);
  reportedEntries_.Add(reported.empty() ? entry : reported);
}

void RegistryInfectionCheck::Run() {
  const Text keyPath = texts_.Get(enc::InfectionKeyPath);
  for (const Text& entry : definitions_.RegistryEntryList) {
    if (!reportedEntries_.Contains(entry)) {
      // Both roots are read before either row is added; the second root's row comes
      // first. The first root's key differs between the two registry views (32-bit
      // programs write to their own); the second root's is one for both and is read once.
      const Text firstValue = ReadEntry(enc::ServiceRootText, entry, RegistryView::Native);
      const Text firstValue32 = ReadEntry(enc::ServiceRootText, entry, RegistryView::Wow32);
      const Text secondValue = hives_.current ? ReadEntry(enc::InfectionRootText, entry, RegistryView::Native) : Text();
      if (!secondValue.empty()) AddFinding(entry, secondValue, kFlagSecondRoot);
      if (!firstValue.empty()) AddFinding(entry, firstValue, kFlagFirstRoot);
      if (!firstValue32.empty()) AddFinding(entry, firstValue32, kFlagFirstRoot32);
    }
    // Each other user's hive is a root of its own, reported on its own.
    for (const Text& sid : hives_.sids) {
      const Text reported = sid + u"\\" + entry;
      if (reportedEntries_.Contains(reported)) continue;
      const Text value = ReadRegistryTextInView(registry_, kUsersRoot, RegistryView::Native, sid + u"\\" + keyPath, entry);
      if (value.empty()) continue;
      AddFinding(entry, value, Text(kFlagUserHive) + sid, reported);
    }
  }
}

}  // namespace zc
