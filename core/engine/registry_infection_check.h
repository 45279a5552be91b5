#pragma once
// The registry infection check: looks for the values that the definitions name under
// one autorun key of two root keys, and lists every value found as a "reg Infection"
// Finding, the second root's first. The first root (the machine's) is read in both
// registry views: a value that a 32-bit program wrote there is a Finding of its own,
// flagged so that the treatment deletes it from its own view. An entry is looked at again only after the
// reported entries are cleared.

#include "core/definitions/definitions_set.h"
#include "core/engine/reported_names.h"
#include "core/platform/registry_api.h"
#include "core/platform/user_hives_api.h"
#include "core/platform/result_list.h"
#include "core/texts/constant_texts.h"

namespace zc {

// The Flag cell of a registry Finding: where the value was found.
inline constexpr char16_t kFlagSecondRoot[] = u"1";   // the user's root
inline constexpr char16_t kFlagFirstRoot[] = u"2";    // the machine's root, 64-bit view
inline constexpr char16_t kFlagFirstRoot32[] = u"3";  // the machine's root, 32-bit view
// Another user's hive: the code, then that user's SID ("4:S-1-5-21-...").
inline constexpr char16_t kFlagUserHive[] = u"4:";

class RegistryInfectionCheck {
 public:
  RegistryInfectionCheck(const ConstantTexts& texts, const DefinitionsSet& definitions,
                         RegistryApi& registry, ResultList& results, RowBuffer& rowBuffer)
      : texts_(texts), definitions_(definitions), registry_(registry), results_(results),
        rowBuffer_(rowBuffer) {}

  void Run();

  // Which users' hives the user root is read in (see user_hives_api.h); the running
  // account's own until this is called.
  void SetUserHives(UserHiveChoice choice) { hives_ = std::move(choice); }
  const UserHiveChoice& UserHivesRead() const { return hives_; }

  // Empties ReportedRegistryEntries: every entry still present is listed again.
  void ClearReported() { reportedEntries_.Clear(); }
  const ReportedNames& ReportedRegistryEntries() const { return reportedEntries_; }

 private:
  Text ReadEntry(TextView rootText, TextView entry, RegistryView view);
  // `reported`: the name the Finding is remembered by; empty for the entry itself.
  void AddFinding(TextView entry, const Text& value, TextView flag, TextView reported = {});

  const ConstantTexts& texts_;
  const DefinitionsSet& definitions_;
  RegistryApi& registry_;
  ResultList& results_;
  RowBuffer& rowBuffer_;
  ReportedNames reportedEntries_;
  UserHiveChoice hives_;
};

}  // namespace zc
