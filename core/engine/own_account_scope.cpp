#include "core/engine/own_account_scope.h"

namespace zc {
namespace {

constexpr int32_t kCurrentUser = static_cast<int32_t>(0x80000001u);

Text ValuePlace(const PlannedValue& value) {
  Text place = value.root == kCurrentUser ? (value.otherUser ? u"HKEY_USERS\\" + value.userSid : Text(u"HKCU"))
                                          : Text(u"HKLM");
  place += u"\\" + value.keyPath + u"\\" + value.valueName;
  if (value.view == RegistryView::Wow32) place += u" (32-bit)";
  return place;
}

}  // namespace

std::vector<Text> StepsNeedingAdministrator(const ConstantTexts& texts, const TreatmentPlan& plan,
                                            UserRightsApi* rights, TextView ownSid) {
  std::vector<Text> steps;
  for (const PlannedService& service : plan.services) steps.push_back(texts.Get(enc::AdminStepService) + service.name);
  for (const PlannedValue& value : plan.values) {
    // The running account's own hive only; HKLM and another user's hive are the machine's.
    if (value.root != kCurrentUser || value.otherUser) steps.push_back(ValuePlace(value));
  }
  for (const PlannedProcess& process : plan.processes) {
    if (!rights || rights->MayEndProcess(process.id) != RightVerdict::May) {
      steps.push_back(texts.Get(enc::AdminStepProcess) + process.name + u" (PID " + DecimalText(process.id) + u")");
    }
  }
  for (const PlannedFile& file : plan.files) {
    if (!rights || ownSid.empty() || rights->MayDelete(ownSid, file.path) != RightVerdict::May) {
      steps.push_back(file.path);
    }
  }
  return steps;
}

}  // namespace zc
