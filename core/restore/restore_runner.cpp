#include "core/restore/restore_runner.h"

#include <optional>

#include "core/machine/registry_values.h"
#include "core/platform/event_ids.h"
#include "core/restore/record_entries.h"
#include "core/restore/record_line.h"
#include "core/restore/record_reader.h"
#include "core/restore/record_seal.h"
#include "core/restore/restore_overview.h"
#include "core/restore/backup_store.h"
#include "core/restore/pending_deletions.h"
#include "core/restore/service_restorer.h"
#include "core/restore/treatment_recorder.h"

namespace zc {
namespace {

constexpr uint32_t kDirectoryBit = 0x10;
constexpr uint32_t kPlaceholderBits = 0x2 | 0x4;  // hidden and system; read-only may be lost
constexpr uint32_t kNumberType = 4;
constexpr char16_t kStartValueName[] = u"Start";
constexpr int32_t kCurrentUserRoot = static_cast<int32_t>(0x80000001u);

Text RootName(int32_t root) {
  switch (static_cast<uint32_t>(root)) {
    case 0x80000001u: return u"HKCU";
    case 0x80000002u: return u"HKLM";
    default: return u"root " + DecimalText(root);
  }
}

// Where a value goes, as the user reads it: "HKEY_USERS\<sid>" for a user's hive, the
// 32-bit branch marked.
Text KeyName(const RegistryValueStep& value) {
  Text name = value.userSid.empty() ? RootName(value.root) : u"HKEY_USERS\\" + value.userSid;
  name += u"\\" + value.keyPath;
  if (value.view == RegistryView::Wow32) name += u" (32-bit)";
  return name;
}

RegistryKeyPlace PlaceOf(const RegistryValueStep& value) {
  return {value.root, value.view, value.keyPath, value.userSid};
}

// A value's data as the user can judge it: text types as their text, others in hexadecimal.
Text ValueText(const RawRegistryValue& value) {
  if (value.type == 1 || value.type == 2 || value.type == 7) {
    Text text;
    for (size_t i = 0; i + 1 < value.data.size(); i += 2) {
      const char16_t c = static_cast<char16_t>(value.data[i] | value.data[i + 1] << 8);
      text.push_back(c == 0 ? u' ' : c);
    }
    while (!text.empty() && text.back() == u' ') text.pop_back();
    return text;
  }
  static constexpr char16_t kDigits[] = u"0123456789abcdef";
  Text hex = u"(type " + DecimalText(static_cast<int64_t>(value.type)) + u") ";
  for (const uint8_t byte : value.data) {
    hex.push_back(kDigits[byte >> 4]);
    hex.push_back(kDigits[byte & 0xF]);
  }
  return hex;
}

Text WithoutTrailingSeparators(TextView folder) {
  Text path(folder);
  while (path.size() > 3 && path.back() == u'\\') path.pop_back();
  return path;
}

RawRegistryValue NumberValue(uint32_t number) {
  return {kNumberType,
          {static_cast<uint8_t>(number), static_cast<uint8_t>(number >> 8), static_cast<uint8_t>(number >> 16),
           static_cast<uint8_t>(number >> 24)}};
}

}  // namespace

Text RestoreProblemsMessage(const ConstantTexts& texts, const RestoreOutcome& outcome) {
  Text message = outcome.recordRefused ? Text() : texts.Get(enc::RestoreFailedLead);
  for (const Text& problem : outcome.problems) {
    if (!message.empty()) message += u"\r\n";
    message += problem;
  }
  return message;
}

RestoreLimits RestoreRunner::TreatmentLimits(const ConstantTexts& texts) {
  RestoreLimits limits;
  const int32_t serviceRoot = RootKeyFromText(texts.Get(enc::ServiceRootText));
  const int32_t infectionRoot = RootKeyFromText(texts.Get(enc::InfectionRootText));
  const Text infectionKey = texts.Get(enc::InfectionKeyPath);
  limits.valueKeys = {{infectionRoot, infectionKey}, {serviceRoot, infectionKey}};
  limits.serviceRoot = serviceRoot;
  limits.serviceKeyPrefix = texts.Get(enc::ServiceKeyPrefix);
  return limits;
}

RecordFile ReadRecordFile(RestoreFilesApi& files, TextView path) {
  RecordFile record;
  // One byte past the limit tells a record over it: nothing more is ever read.
  record.content = files.ReadFileStart(path, static_cast<size_t>(kMaxRecordBytes) + 1);
  if (record.content && static_cast<int64_t>(record.content->size()) > kMaxRecordBytes) {
    record.content.reset();
    record.tooLarge = true;
  }
  return record;
}

RestoreOutcome RestoreRunner::Restore(TextView backupFolder) {
  RestoreOutcome outcome = RestoreFolder(backupFolder);
  if (p_.events) {
    Text text(backupFolder);
    for (const Text& problem : outcome.problems) text += u"\r\n" + problem;
    p_.events->Report(outcome.Succeeded() ? events::kRestoreDone : events::kRestoreIncomplete, text);
  }
  return outcome;
}

RestoreOutcome RestoreRunner::RestoreFolder(TextView backupFolder) {
  RestoreOutcome outcome;
  const Text folder = WithoutTrailingSeparators(backupFolder);
  const Text recordPath = TreatmentRecorder::RecordPath(p_.texts, folder);
  auto refuse = [&](TextView why, TextView subject) {
    outcome.problems.push_back(Said(why, subject));
    outcome.recordRefused = true;
    return outcome;
  };
  BackupStore store({p_.texts, p_.files, p_.security, p_.store});
  const RecordFile record = ReadRecordFile(p_.files, recordPath);
  if (record.tooLarge) return refuse(enc::RestoreRecordTooLarge, recordPath);
  const std::optional<std::string>& content = record.content;
  const RecordReading reading = content ? ReadTreatmentRecord(*content) : RecordReading{};
  if (reading.treatments.empty() && reading.faults.empty()) return refuse(enc::RestoreRecordMissing, recordPath);
  // Only a folder directly under the root, and not a junction to somewhere else.
  const std::optional<Text> name = store.NameUnderRoot(folder);
  if (!name) return refuse(enc::RestoreNotABackupFolder, folder);
  const std::optional<SecurityFacts> folderFacts = p_.security.Facts(folder);
  if (!folderFacts || folderFacts->reparsePoint || !folderFacts->folder) return refuse(enc::RestoreStoreUnsafe, folder);
  const RestorePlan plan = PlanRestore(reading, folder, limits_);
  if (!plan.faults.empty()) {
    outcome.problems.push_back(Said(enc::RestoreRecordBad, recordPath));
    for (const std::string& fault : plan.faults) outcome.problems.push_back(FromUtf8(fault));
    outcome.recordRefused = true;
    return outcome;
  }
  if (!store.PrepareRoot()) {
    refuse(enc::RestoreStoreUnsafe, store.Root());
    if (!store.Problem().empty()) outcome.problems.push_back(store.Problem());
    return outcome;
  }
  // Judged for this record alone: nothing of an earlier restore carries over.
  const bool trusted = store.Trusts(folder, *content);
  if (!ConfirmOverview(plan, trusted)) return refuse(enc::RestoreOverviewDeclined, folder);
  recordPath_ = recordPath;
  folderName_ = *name;
  sealKey_ = store.Key();
  // A line cut short by a crash must not swallow the first entry appended.
  needsLineEnd_ = !content->empty() && content->back() != '\n';

  const Text logFolder = folder + u"\\";
  for (const PlannedTreatment& treatment : plan.treatments) {
    bool whole = true;
    treatment_ = treatment.number;
    for (const UndoStep& step : treatment.steps) {
      Text said;
      StepResult result = StepResult::Failed;
      if (MayTake(step, trusted, said)) result = std::visit([&](const auto& undo) { return Run(undo, said); }, step);
      if (result == StepResult::AlreadyInPlace) continue;
      p_.log.Log_Trans(said, logFolder);
      if (result == StepResult::Failed) {
        whole = false;
        outcome.problems.push_back(said);
      }
    }
    if (!whole) continue;
    AppendEntry(RestoredLine(treatment.number, p_.clock.LocalTimeText()));
    p_.log.Log_Trans(treatment.name + p_.texts.Get(enc::RestoreTreatmentDone), logFolder);
    ++outcome.restoredTreatments;
  }
  return outcome;
}

bool RestoreRunner::AppendEntry(const RecordLine& line) {
  std::string entry = SealRecordLine(sealKey_, folderName_, FormatRecordLine(line));
  if (needsLineEnd_) entry.insert(0, "\r\n");
  if (!p_.files.AppendWhole(recordPath_, entry)) return false;
  needsLineEnd_ = false;
  return true;
}

namespace {

// Steps that run as SYSTEM or change the whole machine: a service, a Start, a value
// under HKLM. A record anyone may have written never takes them.
// Another user's hive, and the machine's queue of operations at restart, are not ours
// to change on an unknown record's word either.
bool MachineWide(const UndoStep& step) {
  if (const auto* file = std::get_if<PlaceFileBack>(&step)) return !file->pendingPath.empty();
  const auto* value = std::get_if<PutValueBack>(&step);
  return !value || value->value.root != kCurrentUserRoot || !value->value.userSid.empty();
}

// The same for a standard user's own store: the user's own hive (recorded with that
// user's SID, or none) is theirs to write; everything else needs an administrator.
bool BeyondAccount(const UndoStep& step, TextView ownerSid) {
  if (const auto* file = std::get_if<PlaceFileBack>(&step)) return !file->pendingPath.empty();
  const auto* value = std::get_if<PutValueBack>(&step);
  if (!value || value->value.root != kCurrentUserRoot) return true;
  return !value->value.userSid.empty() && FoldCase(value->value.userSid) != FoldCase(ownerSid);
}

}  // namespace

bool RestoreRunner::Refused(const UndoStep& step, bool trusted) const {
  if (p_.store.keeper == StoreKeeper::OwnAccount) return BeyondAccount(step, p_.store.ownerSid);
  return !trusted && MachineWide(step);
}

bool RestoreRunner::ConfirmOverview(const RestorePlan& plan, bool trusted) {
  std::vector<Text> steps;
  std::vector<Text> refused;
  for (const PlannedTreatment& treatment : plan.treatments) {
    for (const UndoStep& step : treatment.steps) {
      Text line = Describe(step);
      if (std::holds_alternative<RecreateService>(step)) line = p_.texts.Get(enc::RestoreItemService) + line;
      if (std::holds_alternative<SetStartBack>(step)) line = p_.texts.Get(enc::RestoreItemStart) + line;
      (Refused(step, trusted) ? refused : steps).push_back(std::move(line));
    }
  }
  if (steps.empty()) return true;  // nothing would be done: the refusals are reported
  return p_.confirm.Confirm(
      RestoreOverviewText(p_.texts, trusted, steps, refused, p_.store.keeper == StoreKeeper::OwnAccount));
}

bool RestoreRunner::MayTake(const UndoStep& step, bool trusted, Text& said) {
  if (Refused(step, trusted)) {
    said = Said(p_.store.keeper == StoreKeeper::OwnAccount ? enc::RestoreOwnStoreRefused : enc::RestoreUntrustedRefused,
                Describe(step));
    return false;
  }
  if (trusted) return true;
  if (p_.confirm.Confirm(p_.texts.Get(enc::RestoreUntrustedLead) + u"\r\n\r\n" + Describe(step))) return true;
  said = Said(enc::RestoreStepDeclined, Describe(step));
  return false;
}

Text RestoreRunner::Describe(const UndoStep& step) const {
  if (const auto* file = std::get_if<PlaceFileBack>(&step)) {
    if (file->backupPath.empty()) return p_.texts.Get(enc::RestoreItemPlaceholder) + file->file.originalPath;
    return p_.texts.Get(enc::RestoreItemFile) + file->backupPath + p_.texts.Get(enc::RestoreItemArrow) +
           file->file.originalPath;
  }
  if (const auto* value = std::get_if<PutValueBack>(&step)) {
    const RegistryValueStep& v = value->value;
    return p_.texts.Get(enc::RestoreItemValue) + KeyName(v) + u"\\" + v.valueName + p_.texts.Get(enc::RestoreItemData) +
           ValueText(v.value);
  }
  if (const auto* service = std::get_if<RecreateService>(&step)) {
    return service->config.name + u" (" + service->config.imagePath + u", " + service->config.account + u")";
  }
  const auto& start = std::get<SetStartBack>(step);
  return start.serviceName + u" (Start " + DecimalText(static_cast<int64_t>(start.start)) + u")";
}

RestoreRunner::StepResult RestoreRunner::Run(const PlaceFileBack& step, Text& said) {
  const Text& path = step.file.originalPath;
  // A file put back while its deletion is still queued would go at the next start.
  if (!step.pendingPath.empty() && !CancelQueuedDeletion(step, said)) return StepResult::Failed;
  const std::optional<uint32_t> present = p_.files.Attributes(path);
  const bool folderThere = present && (*present & kDirectoryBit);
  FileDigest expected;
  if (!step.backupPath.empty()) {
    if (present && !folderThere) {
      // A file is at the place: ours when it has the recorded content, else kept.
      const std::optional<FileDigest> there = p_.hashes.Digest(path);
      // The file never went (its deletion was left for the restart): taking that out
      // was the step.
      if (there && there->sha256 == step.file.sha256) return said.empty() ? StepResult::AlreadyInPlace : StepResult::Done;
      said = Said(enc::RestoreFileOccupied, path);
      return StepResult::Failed;
    }
    const std::optional<FileDigest> copy = p_.hashes.Digest(step.backupPath);
    if (!copy || copy->sha256 != step.file.sha256 || copy->length != step.file.length) {
      said = Said(enc::RestoreBackupChanged, step.backupPath);
      return StepResult::Failed;
    }
    expected = *copy;
  }
  if (folderThere) {
    if (!IsOurPlaceholder(path, *present)) {
      said = Said(enc::RestoreFolderNotOurs, path);
      return StepResult::Failed;
    }
    p_.files.SetAttributes(path, 0);
    if (!p_.files.RemoveEmptyFolder(path)) {
      p_.files.SetAttributes(path, *present & ~kDirectoryBit);
      said = Said(enc::RestorePlaceholderFailed, path);
      return StepResult::Failed;
    }
  }
  if (step.backupPath.empty()) {
    said = Said(enc::RestorePlaceholderDone, path);
    return folderThere ? StepResult::Done : StepResult::AlreadyInPlace;
  }
  // The copy is checked again on the one handle it is copied from: it cannot be
  // swapped between the check above and the copy.
  if (!p_.files.CopyUnchangedCopy(step.backupPath, path, expected)) {
    said = Said(enc::RestoreCopyFailed, path);
    return StepResult::Failed;
  }
  if (step.file.attributes != 0) p_.files.SetAttributes(path, step.file.attributes);
  said = Said(enc::RestoreFileDone, path);
  return StepResult::Done;
}

RestoreRunner::StepResult RestoreRunner::Run(const PutValueBack& step, Text& said) {
  const RegistryValueStep& value = step.value;
  const Text subject = value.keyPath + u"\\" + value.valueName;
  const RegistryKeyPlace key = PlaceOf(value);
  // A user's hive is there only while the user is logged on; it is never made.
  if (!value.userSid.empty() && !p_.registry.KeyOpens({kUsersRoot, RegistryView::Native, value.userSid, {}})) {
    said = Said(enc::RestoreHiveNotLoaded, KeyName(value) + u"\\" + value.valueName);
    return StepResult::Failed;
  }
  const std::optional<RawRegistryValue> now = p_.registry.ReadValueAt(key, value.valueName);
  if (now && *now == value.value) return StepResult::AlreadyInPlace;
  if (now) {
    said = Said(enc::RestoreValueOccupied, subject);
    return StepResult::Failed;
  }
  const bool written = p_.registry.WriteValueAt(key, value.valueName, value.value);
  said = Said(written ? enc::RestoreValueDone : enc::RestoreValueFailed, subject);
  return written ? StepResult::Done : StepResult::Failed;
}

RestoreRunner::StepResult RestoreRunner::Run(const RecreateService& step, Text& said) {
  if (p_.services.Exists(step.config.name)) return StepResult::AlreadyInPlace;
  const ServiceRestoreOutcome outcome = RecreateWholeService(p_.texts, p_.services, p_.registry, step);
  if (!outcome.created) {
    said = Said(enc::RestoreServiceFailed, step.config.name);
    return StepResult::Failed;
  }
  if (!outcome.partsNotBack.empty()) {
    Text parts;
    for (const Text& part : outcome.partsNotBack) parts += (parts.empty() ? u"" : u", ") + part;
    said = Said(enc::RestoreServicePartFailed, step.config.name + u": " + parts);
    return StepResult::Failed;
  }
  if (outcome.startFailed) {
    said = Said(enc::RestoreServiceStartFailed, step.config.name);
    return StepResult::Failed;
  }
  said = Said(step.start ? enc::RestoreServiceStarted : enc::RestoreServiceDone, step.config.name);
  return StepResult::Done;
}

RestoreRunner::StepResult RestoreRunner::Run(const SetStartBack& step, Text& said) {
  // Writing under a service that does not exist would only make a stray key.
  if (!p_.services.Exists(step.serviceName)) {
    said = Said(enc::RestoreStartFailed, step.serviceName);
    return StepResult::Failed;
  }
  const RawRegistryValue wanted = NumberValue(step.start);
  const std::optional<RawRegistryValue> now = p_.registry.ReadRawValue(step.root, step.keyPath, kStartValueName);
  if (now && *now == wanted) return StepResult::AlreadyInPlace;
  const bool written = p_.registry.WriteRawValue(step.root, step.keyPath, kStartValueName, wanted);
  said = Said(written ? enc::RestoreStartDone : enc::RestoreStartFailed, step.serviceName);
  return written ? StepResult::Done : StepResult::Failed;
}

bool RestoreRunner::CancelQueuedDeletion(const PlaceFileBack& step, Text& said) {
  const Text& path = step.file.originalPath;
  switch (CancelPendingDeletion(p_.texts, p_.registry, step.pendingPath)) {
    case PendingCancel::Cancelled:
      // Noted in the record, so a later restore does not wait for a restart that can
      // no longer delete anything.
      AppendEntry(PendingCancelledLine(treatment_, step.pendingPath));
      said = Said(enc::RestorePendingCancelled, path);
      return true;
    case PendingCancel::NotQueued:
      // Gone from the queue while the file is gone too: the restart has been. With the
      // file still there, nobody can say whether it will survive the next start.
      if (!p_.files.Attributes(path)) return true;
      [[fallthrough]];
    case PendingCancel::Changed:
    case PendingCancel::Failed:
      said = Said(enc::RestoreRestartFirst, path);
      return false;
  }
  return false;
}

bool RestoreRunner::IsOurPlaceholder(TextView path, uint32_t attributes) {
  return (attributes & kPlaceholderBits) == kPlaceholderBits && p_.files.IsEmptyFolder(path);
}

Text RestoreRunner::Said(TextView enciphered, TextView subject) const {
  return p_.texts.Get(enciphered) + Text(subject) + p_.texts.Get(enc::LogLineEnd);
}

}  // namespace zc
