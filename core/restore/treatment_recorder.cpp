#include "core/restore/treatment_recorder.h"

#include <algorithm>
#include <optional>

#include "core/restore/record_entries.h"
#include "core/restore/record_reader.h"
#include "core/restore/record_seal.h"

namespace zc {
namespace {

constexpr uint32_t kDirectoryBit = 0x10;
constexpr uint32_t kNumberType = 4;
constexpr char16_t kStartValueName[] = u"Start";

TextView FileNameOf(TextView path) {
  const size_t cut = path.find_last_of(u'\\');
  return cut == TextView::npos ? path : path.substr(cut + 1);
}

}  // namespace

Text TreatmentRecorder::RecordPath(const ConstantTexts& texts, TextView backupFolder) {
  Text path(backupFolder);
  if (!path.empty() && path.back() != u'\\') path.push_back(u'\\');
  return path + texts.Get(enc::RecordFileName);
}

bool TreatmentRecorder::Begin(TextView backupFolder, TextView name, TextView kind) {
  recordPath_.clear();
  if (!store_.PrepareFolder(backupFolder)) return false;
  folderName_ = store_.NameUnderRoot(backupFolder).value_or(Text());
  recordPath_ = RecordPath(p_.texts, backupFolder);
  const std::string content = p_.files.ReadWholeFile(recordPath_).value_or(std::string());
  needsLineEnd_ = !content.empty() && content.back() != '\n';
  int highest = 0;
  for (const TreatmentRecord& treatment : ReadTreatmentRecord(content).treatments) {
    highest = std::max(highest, treatment.number);
  }
  number_ = highest + 1;
  Append(BeginLine(number_, p_.clock.LocalTimeText(), name, kind));
  return true;
}

void TreatmentRecorder::EndedProcess(TextView name, uint32_t processId, TextView imagePath) {
  Append(StepLine(number_, EndedProcessStep{Text(name), processId, Text(imagePath)}));
}

void TreatmentRecorder::File(TextView path, TextView backupPath) {
  FileStep step;
  step.originalPath = Text(path);
  const std::optional<uint32_t> attributes = p_.files.Attributes(path);
  step.attributes = attributes && !(*attributes & kDirectoryBit) ? *attributes : 0;
  // The original's digest, or the copy's when the original cannot be read; the restore
  // copies back only a copy that still has it.
  std::optional<FileDigest> digest;
  if (!backupPath.empty()) {
    digest = p_.hashes.Digest(path);
    if (!digest) digest = p_.hashes.Digest(backupPath);
  }
  if (digest) {
    step.backupName = Text(FileNameOf(backupPath));
    step.length = digest->length;
    step.sha256 = digest->sha256;
  } else {
    step.sha256 = Text(64, u'0');  // nothing kept: only the placeholder is undone
  }
  Append(StepLine(number_, step));
}

void TreatmentRecorder::RegistryValue(int32_t root, TextView keyPath, TextView valueName) {
  std::optional<RawRegistryValue> value = p_.registry.ReadRawValue(root, keyPath, valueName);
  if (!value) return;
  Append(StepLine(number_, RegistryValueStep{root, Text(keyPath), Text(valueName), std::move(*value)}));
}

void TreatmentRecorder::ServiceStart(int32_t root, TextView serviceKeyPath, TextView serviceName) {
  ServiceStartStep step{Text(serviceName), std::nullopt};
  const std::optional<RawRegistryValue> start = p_.registry.ReadRawValue(root, serviceKeyPath, kStartValueName);
  if (start && start->type == kNumberType && start->data.size() == 4) {
    step.start = static_cast<uint32_t>(start->data[0]) | static_cast<uint32_t>(start->data[1]) << 8 |
                 static_cast<uint32_t>(start->data[2]) << 16 | static_cast<uint32_t>(start->data[3]) << 24;
  }
  Append(StepLine(number_, step));
}

void TreatmentRecorder::ServiceDelete(TextView serviceName) {
  std::optional<ServiceConfig> config = p_.services.QueryConfig(serviceName);
  if (!config) return;
  Append(StepLine(number_, ServiceDeleteStep{std::move(*config)}));
}

void TreatmentRecorder::Append(const RecordLine& line) {
  if (recordPath_.empty()) return;  // no treatment begun
  std::string bytes = SealRecordLine(store_.Key(), folderName_, FormatRecordLine(line));
  // A line cut short by a crash gets its own line end, so the new entry stands alone.
  if (needsLineEnd_) bytes.insert(0, "\r\n");
  if (p_.files.AppendWhole(recordPath_, bytes)) needsLineEnd_ = false;
}

}  // namespace zc
