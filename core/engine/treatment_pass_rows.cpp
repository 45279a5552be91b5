// The pass's rows: the Finding a row holds, and the row of a Finding left for an
// administrator when the pass runs without administrator rights.

#include "core/engine/own_account_scope.h"
#include "core/engine/treatment_pass.h"

namespace zc {

Text TreatmentPass::FlagCode(TextView flag) { return Text(flag.substr(0, flag.find(u' '))); }

Finding TreatmentPass::ReadRow(int32_t row) {
  return {results_.GetCellText(row, kColumnName),   results_.GetCellText(row, kColumnProcessId),
          results_.GetCellText(row, kColumnPath),   results_.GetCellText(row, kColumnDetail),
          results_.GetCellText(row, kColumnKind),   results_.GetCellText(row, kColumnEntryName),
          FlagCode(results_.GetCellText(row, kColumnFlag))};
}

std::vector<Text> TreatmentPass::NeedsAdministrator(const TreatmentPlan& plan) {
  if (!recorder_.KeepsOwnAccountStore()) return {};
  return StepsNeedingAdministrator(texts_, plan, m_.userRights, runningUserSid_);
}

void TreatmentPass::LeaveForAdministrator(int32_t row, TreatedFinding& treated, const std::vector<Text>& steps) {
  const Text reason = texts_.Get(enc::AdminNeededReason);
  for (const Text& step : steps) treated.failures.push_back(reason + step);
  // The check's code stays at the front of the cell, as for an incomplete treatment.
  const Text code = FlagCode(results_.GetCellText(row, kColumnFlag));
  results_.SetCellText(row, kColumnFlag, code.empty() ? treated.failures.front() : code + u" " + treated.failures.front());
  lastPass_.push_back(std::move(treated));
  ++leftForAdministrator_;
}

}  // namespace zc
