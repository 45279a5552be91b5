#include "core/restore/treatment_recorder.h"

#include <algorithm>
#include <optional>

#include "core/machine/registry_values.h"
#include "core/restore/pending_deletions.h"
#include "core/restore/record_entries.h"
#include "core/restore/record_reader.h"
#include "core/restore/record_seal.h"
#include "core/restore/service_group_list.h"
#include "core/restore/service_setting_lines.h"

namespace zc {
namespace {

constexpr uint32_t kDirectoryBit = 0x10;
constexpr uint32_t kNumberType = 4;
constexpr char16_t kStartValueName[] = u"Start";
constexpr int32_t kCurrentUser = static_cast<int32_t>(0x80000001u);
constexpr int32_t kLocalMachine = static_cast<int32_t>(0x80000002u);
// Subkeys of a service's key that the system keeps itself (its security descriptor, its
// triggers, its devices): they come back through the service manager or not at all.
constexpr std::u16string_view kSystemSubkeys[] = {u"security", u"triggerinfo", u"enum"};
constexpr int kPrivateDepth = 4;  // how deep private subkeys are followed
constexpr uint32_t kStopped = 1;

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
  runningServices_.clear();
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

void TreatmentRecorder::RegistryValue(int32_t root, RegistryView view, TextView keyPath, TextView valueName,
                                      TextView userSid) {
  // Only HKLM's software keys have a 32-bit branch of their own; a user's SID names a
  // hive of HKEY_USERS only for a value of HKCU.
  RegistryKeyPlace key{root, view, Text(keyPath), root == kCurrentUser ? Text(userSid) : Text()};
  const bool twoViews = root == kLocalMachine && FoldCase(keyPath).rfind(u"software\\", 0) == 0;
  if (!twoViews) key.view = RegistryView::Native;
  std::optional<RawRegistryValue> value = p_.registry.ReadValueAt(key, valueName);
  if (!value) return;
  RegistryValueStep step{root, key.path, Text(valueName), std::move(*value), key.view, key.userSid};
  Append(StepLine(number_, step));
}

void TreatmentRecorder::RegistryValue(int32_t root, TextView keyPath, TextView valueName) {
  const auto [logical, view] = LogicalKeyAndView(root, keyPath);
  RegistryValue(root, view, logical, valueName);
}

void TreatmentRecorder::PendingDeletion(TextView path) {
  Append(StepLine(number_, PendingDeletionStep{QueuedPathForm(path), false}));
}

void TreatmentRecorder::ServiceStart(int32_t root, TextView serviceKeyPath, TextView serviceName) {
  ServiceStartStep step{Text(serviceName), std::nullopt};
  const std::optional<RawRegistryValue> start = p_.registry.ReadRawValue(root, serviceKeyPath, kStartValueName);
  if (start && start->type == kNumberType && start->data.size() == 4) {
    step.start = static_cast<uint32_t>(start->data[0]) | static_cast<uint32_t>(start->data[1]) << 8 |
                 static_cast<uint32_t>(start->data[2]) << 16 | static_cast<uint32_t>(start->data[3]) << 24;
  }
  Runs(serviceName);  // seen before it is stopped
  Append(StepLine(number_, step));
}

void TreatmentRecorder::ServiceDelete(TextView serviceName) {
  std::optional<ServiceConfig> config = p_.services.QueryConfig(serviceName);
  if (!config) return;
  const bool wasRunning = Runs(serviceName);
  // The parts first: the service's own entry comes last, so a record cut short by a
  // crash holds no service without the parts it had.
  const std::vector<RecordLine> parts = ServiceSettingFields(p_.services.QuerySettings(serviceName));
  for (const RecordLine& part : parts) {
    ServiceSettingStep setting{Text(serviceName), {}};
    RecordLine line = StepLine(number_, setting);
    line.fields.insert(line.fields.end(), part.fields.begin(), part.fields.end());
    Append(line);
  }
  const int32_t root = RootKeyFromText(p_.texts.Get(enc::ServiceRootText));
  const RegistryKeyPlace serviceKey{root, RegistryView::Native, p_.texts.Get(enc::ServiceKeyPrefix) + Text(serviceName),
                                    {}};
  for (const Text& subkey : p_.registry.SubkeyNames(serviceKey).value_or(std::vector<Text>())) {
    const Text folded = FoldCase(subkey);
    if (std::find(std::begin(kSystemSubkeys), std::end(kSystemSubkeys), folded) != std::end(kSystemSubkeys)) continue;
    RecordPrivateValues(serviceName, serviceKey, subkey);
  }
  for (const Text& group : GroupsListing(p_.texts, p_.registry, serviceName)) {
    Append(StepLine(number_, ServiceGroupStep{Text(serviceName), group}));
  }
  Append(StepLine(number_, ServiceDeleteStep{std::move(*config), wasRunning}));
}

void TreatmentRecorder::RecordPrivateValues(TextView serviceName, const RegistryKeyPlace& serviceKey,
                                            TextView subkey) {
  if (static_cast<int>(std::count(subkey.begin(), subkey.end(), u'\\')) >= kPrivateDepth) return;
  RegistryKeyPlace key = serviceKey;
  key.path.push_back(u'\\');
  key.path.append(subkey);
  for (const Text& name : p_.registry.ValueNames(key).value_or(std::vector<Text>())) {
    std::optional<RawRegistryValue> value = p_.registry.ReadValueAt(key, name);
    if (value) Append(StepLine(number_, ServiceValueStep{Text(serviceName), Text(subkey), name, std::move(*value)}));
  }
  for (const Text& inner : p_.registry.SubkeyNames(key).value_or(std::vector<Text>())) {
    RecordPrivateValues(serviceName, serviceKey, Text(subkey) + u"\\" + inner);
  }
}

bool TreatmentRecorder::Runs(TextView serviceName) {
  const Text folded = FoldCase(serviceName);
  const bool seen = std::find(runningServices_.begin(), runningServices_.end(), folded) != runningServices_.end();
  uint32_t state = 0;
  const bool runs = p_.services.QueryState(serviceName, state) == SystemError::None && state != kStopped;
  if (runs && !seen) runningServices_.push_back(folded);
  return runs || seen;
}

void TreatmentRecorder::Append(const RecordLine& line) {
  if (recordPath_.empty()) return;  // no treatment begun
  std::string bytes = SealRecordLine(store_.Key(), folderName_, FormatRecordLine(line));
  // A line cut short by a crash gets its own line end, so the new entry stands alone.
  if (needsLineEnd_) bytes.insert(0, "\r\n");
  if (p_.files.AppendWhole(recordPath_, bytes)) needsLineEnd_ = false;
}

}  // namespace zc
