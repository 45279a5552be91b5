// Arbitrary record files through the treatment record's reader and the restore's plan:
// a record lies in a folder anyone may write to, so neither may crash on it, and every
// treatment the reader accepts must come out the same when written again and re-read.

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/restore/record_entries.h"
#include "core/restore/record_line.h"
#include "core/restore/record_reader.h"
#include "core/restore/restore_plan.h"

namespace {

std::string Rewritten(const zc::RecordReading& reading) {
  std::string content;
  for (const zc::TreatmentRecord& treatment : reading.treatments) {
    content += zc::FormatRecordLine(zc::BeginLine(treatment.number, treatment.time, treatment.name, treatment.kind));
    for (const zc::TreatmentStep& step : treatment.steps) content += zc::FormatRecordLine(zc::StepLine(treatment.number, step));
    if (treatment.restored) content += zc::FormatRecordLine(zc::RestoredLine(treatment.number, treatment.restoredTime));
  }
  return content;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view content(reinterpret_cast<const char*>(data), size);
  const zc::RecordReading reading = zc::ReadTreatmentRecord(content);

  zc::RestoreLimits limits;
  limits.valueKeys = {{static_cast<int32_t>(0x80000001u), u"Software\\Run"}};
  limits.serviceRoot = static_cast<int32_t>(0x80000002u);
  limits.serviceKeyPrefix = u"SYSTEM\\CurrentControlSet\\Services\\";
  const zc::RestorePlan plan = zc::PlanRestore(reading, u"C:\\backup\\x", limits);
  if (!plan.faults.empty() && !plan.treatments.empty()) std::abort();
  for (const zc::PlannedTreatment& treatment : plan.treatments) {
    for (const zc::UndoStep& step : treatment.steps) {
      if (const auto* file = std::get_if<zc::PlaceFileBack>(&step)) {
        if (!zc::IsPlainFullPath(file->file.originalPath)) std::abort();
        if (!file->backupPath.empty() && file->backupPath.rfind(u"C:\\backup\\x\\", 0) != 0) std::abort();
      }
    }
  }

  const zc::RecordReading again = zc::ReadTreatmentRecord(Rewritten(reading));
  if (!again.faults.empty() || again.treatments != reading.treatments) std::abort();
  return 0;
}
