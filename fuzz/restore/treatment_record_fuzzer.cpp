// Arbitrary record files through the treatment record's reader and the restore's plan:
// a record lies in a folder anyone may write to, so neither may crash on it, and every
// treatment the reader accepts must come out the same when written again and re-read.
// Records over the restore's limit are not read at all. No input the fuzzer makes can
// carry the seal of a key it does not know, and every entry sealed with the key passes.

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/restore/record_entries.h"
#include "core/restore/record_line.h"
#include "core/restore/record_reader.h"
#include "core/restore/record_seal.h"
#include "core/restore/restore_plan.h"
#include "core/restore/restore_runner.h"

namespace {

constexpr std::string_view kKey = "0123456789abcdef0123456789abcdef";
constexpr char16_t kFolderName[] = u"x";

std::string Rewritten(const zc::RecordReading& reading, std::string_view key) {
  std::string content;
  auto add = [&](const zc::RecordLine& line) { content += zc::SealRecordLine(key, kFolderName, zc::FormatRecordLine(line)); };
  for (const zc::TreatmentRecord& treatment : reading.treatments) {
    add(zc::BeginLine(treatment.number, treatment.time, treatment.name, treatment.kind, treatment.format));
    for (const zc::TreatmentStep& step : treatment.steps) add(zc::StepLine(treatment.number, step));
    if (treatment.restored) add(zc::RestoredLine(treatment.number, treatment.restoredTime));
  }
  return content;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (static_cast<int64_t>(size) > zc::kMaxRecordBytes) return 0;  // refused before it is read
  const std::string_view content(reinterpret_cast<const char*>(data), size);
  const zc::RecordReading reading = zc::ReadTreatmentRecord(content);
  if (!reading.treatments.empty() && zc::RecordIsSealed(kKey, kFolderName, content)) std::abort();

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

  const std::string sealed = Rewritten(reading, kKey);
  const zc::RecordReading again = zc::ReadTreatmentRecord(sealed);
  if (!again.faults.empty() || again.treatments != reading.treatments) std::abort();
  if (!zc::RecordIsSealed(kKey, kFolderName, sealed)) std::abort();
  if (!reading.treatments.empty() && zc::RecordIsSealed(kKey, u"y", sealed)) std::abort();
  return 0;
}
