#pragma once
// Reads a treatment record back into its treatments. Lines cut short by a crash while
// they were written count as absent (the step they announced never began); comment
// lines, unknown actions and unknown keys are passed over; anything else that cannot be
// read is a fault, and a record with faults must not be acted on.

#include <string>
#include <string_view>
#include <vector>

#include "core/restore/treatment_record.h"

namespace zc {

struct RecordReading {
  std::vector<TreatmentRecord> treatments;  // in the order they were begun
  std::vector<std::string> faults;          // "line 7: ..."
};

RecordReading ReadTreatmentRecord(std::string_view content);

}  // namespace zc
