#include "core/restore/restore_plan.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

#include "core/restore/service_setting_lines.h"

namespace zc {
namespace {

constexpr TextView kForbiddenInNames = u"\\/:*?\"<>|";

bool HasControlCharacter(TextView text) {
  return std::any_of(text.begin(), text.end(), [](char16_t c) { return c < 0x20; });
}

bool SameText(TextView a, TextView b) { return FoldCase(a) == FoldCase(b); }

constexpr int32_t kCurrentUser = static_cast<int32_t>(0x80000001u);
constexpr int32_t kLocalMachine = static_cast<int32_t>(0x80000002u);

// "S-1-" and then numbers joined by '-': the text form of a security identifier.
bool IsSidText(TextView sid) {
  if (sid.size() < 5 || sid.size() > 184 || sid.substr(0, 4) != u"S-1-") return false;
  bool digit = false;
  for (const char16_t c : sid.substr(4)) {
    if (c >= u'0' && c <= u'9') {
      digit = true;
    } else if (c == u'-' && digit) {
      digit = false;
    } else {
      return false;
    }
  }
  return digit;
}

// A key path below a service's key: plain names joined by '\'.
bool IsRelativeKeyPath(TextView path) {
  if (path.empty()) return false;
  size_t start = 0;
  for (;;) {
    const size_t cut = path.find(u'\\', start);
    const TextView part = path.substr(start, cut == TextView::npos ? TextView::npos : cut - start);
    if (part.empty() || part == u"." || part == u".." || part.size() > 255 || HasControlCharacter(part)) return false;
    if (cut == TextView::npos) return true;
    start = cut + 1;
  }
}

class Planner {
 public:
  Planner(TextView backupFolder, const RestoreLimits& limits) : folder_(backupFolder), limits_(limits) {}

  PlannedTreatment Plan(const TreatmentRecord& treatment) {
    PlannedTreatment planned{treatment.number, treatment.name, {}};
    // The Start values a deleted service had, by folded name, gathered once: looking
    // them up step by step made a long record take quadratic time.
    starts_.clear();
    pending_.clear();
    queuedPaths_.clear();
    cancelled_.clear();
    services_.clear();
    for (const TreatmentStep& step : treatment.steps) {
      const auto* start = std::get_if<ServiceStartStep>(&step);
      if (start && start->start) starts_.insert_or_assign(FoldCase(start->serviceName), *start->start);
      Gather(treatment, step);
    }
    for (const TreatmentStep& step : treatment.steps) {
      const auto* file = std::get_if<FileStep>(&step);
      if (file) pending_.erase(FoldCase(u"\\??\\" + file->originalPath));
    }
    // What is left names no file the treatment took.
    if (!pending_.empty()) Fault(treatment, "a deletion at restart names no file of the treatment");
    for (auto step = treatment.steps.rbegin(); step != treatment.steps.rend(); ++step) {
      std::visit([&](const auto& taken) { Add(treatment, taken, planned.steps); }, *step);
    }
    return planned;
  }
  std::vector<std::string>& faults() { return faults_; }

 private:
  void Add(const TreatmentRecord&, const EndedProcessStep&, std::vector<UndoStep>&) {}

  void Add(const TreatmentRecord& treatment, const FileStep& file, std::vector<UndoStep>& steps) {
    if (!IsPlainFullPath(file.originalPath)) {
      // A service's image path with quotes or arguments: no file was copied from it and
      // no placeholder could be made at it, so there is nothing to undo.
      if (file.backupName.empty()) return;
      return Fault(treatment, "the file path is not a plain full path");
    }
    if (!file.backupName.empty() && !IsPlainFileName(file.backupName)) {
      return Fault(treatment, "the backup name leaves the backup folder");
    }
    Text backupPath;
    if (!file.backupName.empty()) backupPath = folder_ + u"\\" + file.backupName;
    Text pendingPath;
    const Text queued = FoldCase(u"\\??\\" + file.originalPath);
    if (queuedPaths_.count(queued) && !cancelled_.count(queued)) pendingPath = u"\\??\\" + file.originalPath;
    steps.push_back(PlaceFileBack{file, backupPath, pendingPath});
  }

  void Add(const TreatmentRecord& treatment, const RegistryValueStep& value, std::vector<UndoStep>& steps) {
    const bool allowed = std::any_of(limits_.valueKeys.begin(), limits_.valueKeys.end(), [&](const auto& key) {
      return key.first == value.root && SameText(key.second, value.keyPath);
    });
    if (!allowed) return Fault(treatment, "the registry value lies under a key the treatment never deletes from");
    if (!value.userSid.empty() && (value.root != kCurrentUser || !IsSidText(value.userSid))) {
      return Fault(treatment, "the registry value names a user that is not a SID of HKCU");
    }
    PutValueBack put{value};
    // Only HKLM's software keys have a 32-bit branch; elsewhere the views are one.
    const bool twoViews = value.root == kLocalMachine && FoldCase(value.keyPath).rfind(u"software\\", 0) == 0;
    if (!twoViews) put.value.view = RegistryView::Native;
    steps.push_back(put);
  }

  void Add(const TreatmentRecord& treatment, const ServiceStartStep& start, std::vector<UndoStep>& steps) {
    if (!IsServiceName(start.serviceName)) return Fault(treatment, "the service name is not a plain name");
    if (!start.start) return;  // it had no Start value to put back
    steps.push_back(SetStartBack{start.serviceName, limits_.serviceRoot,
                                 limits_.serviceKeyPrefix + start.serviceName, *start.start});
  }

  void Add(const TreatmentRecord& treatment, const ServiceDeleteStep& deleted, std::vector<UndoStep>& steps) {
    if (!IsServiceName(deleted.config.name)) return Fault(treatment, "the service name is not a plain name");
    ServiceConfig config = deleted.config;
    // The configuration was read after Start was set to 4: the service comes back with
    // the start type it had before.
    const auto start = starts_.find(FoldCase(config.name));
    if (start != starts_.end()) config.startType = start->second;
    RecreateService recreate{config, {}, {}, {}, deleted.wasRunning};
    const auto parts = services_.find(FoldCase(config.name));
    if (parts != services_.end()) {
      recreate.settings = parts->second.settings;
      recreate.privateValues = parts->second.privateValues;
      recreate.groups = parts->second.groups;
    }
    steps.push_back(std::move(recreate));
  }

  // Parts of a service and deletions at restart are gathered before the steps are planned.
  void Add(const TreatmentRecord&, const PendingDeletionStep&, std::vector<UndoStep>&) {}
  void Add(const TreatmentRecord&, const ServiceSettingStep&, std::vector<UndoStep>&) {}
  void Add(const TreatmentRecord&, const ServiceValueStep&, std::vector<UndoStep>&) {}
  void Add(const TreatmentRecord&, const ServiceGroupStep&, std::vector<UndoStep>&) {}

  void Gather(const TreatmentRecord& treatment, const TreatmentStep& step) {
    if (const auto* pending = std::get_if<PendingDeletionStep>(&step)) {
      const Text queued = FoldCase(pending->queuedPath);
      (pending->cancelled ? cancelled_ : queuedPaths_).insert(queued);
      if (!pending->cancelled) pending_.insert(queued);
    } else if (const auto* setting = std::get_if<ServiceSettingStep>(&step)) {
      if (!IsServiceName(setting->serviceName)) return Fault(treatment, "the service name is not a plain name");
      MergeServiceSettings(services_[FoldCase(setting->serviceName)].settings, setting->settings);
    } else if (const auto* value = std::get_if<ServiceValueStep>(&step)) {
      if (!IsServiceName(value->serviceName)) return Fault(treatment, "the service name is not a plain name");
      if (!IsRelativeKeyPath(value->subkey)) return Fault(treatment, "the service value's key leaves the service's key");
      services_[FoldCase(value->serviceName)].privateValues.push_back({value->subkey, value->valueName, value->value});
    } else if (const auto* group = std::get_if<ServiceGroupStep>(&step)) {
      if (!IsServiceName(group->serviceName)) return Fault(treatment, "the service name is not a plain name");
      if (!IsServiceName(group->group)) return Fault(treatment, "the service group is not a plain name");
      services_[FoldCase(group->serviceName)].groups.push_back(group->group);
    }
  }

  static bool IsServiceName(TextView name) {
    return !name.empty() && name.size() <= 256 && name.find_first_of(u"\\/") == TextView::npos &&
           !HasControlCharacter(name);
  }

  void Fault(const TreatmentRecord& treatment, const std::string& what) {
    faults_.push_back("treatment " + std::to_string(treatment.number) + ": " + what);
  }

  Text folder_;
  const RestoreLimits& limits_;
  std::vector<std::string> faults_;
  std::unordered_map<Text, uint32_t> starts_;  // last recorded Start of each service
  std::unordered_set<Text> queuedPaths_;       // folded paths whose deletion at restart was queued
  std::unordered_set<Text> cancelled_;         // ... and taken out again by a restore
  std::unordered_set<Text> pending_;           // queued paths not yet matched with a file
  struct ServiceParts {
    ServiceSettings settings;
    std::vector<PrivateServiceValue> privateValues;
    std::vector<Text> groups;
  };
  std::unordered_map<Text, ServiceParts> services_;  // by folded service name
};

}  // namespace

bool IsPlainFileName(TextView name) {
  return !name.empty() && name != u"." && name != u".." && name.find_first_of(kForbiddenInNames) == TextView::npos &&
         !HasControlCharacter(name);
}

bool IsPlainFullPath(TextView path) {
  const bool drive = path.size() > 3 && ((path[0] >= u'A' && path[0] <= u'Z') || (path[0] >= u'a' && path[0] <= u'z')) &&
                     path[1] == u':' && path[2] == u'\\';
  if (!drive) return false;
  size_t start = 3;
  for (;;) {
    const size_t cut = path.find(u'\\', start);
    const TextView part = path.substr(start, cut == TextView::npos ? TextView::npos : cut - start);
    if (!IsPlainFileName(part)) return false;
    if (cut == TextView::npos) return true;
    start = cut + 1;
  }
}

RestorePlan PlanRestore(const RecordReading& reading, TextView backupFolder, const RestoreLimits& limits) {
  RestorePlan plan;
  plan.faults = reading.faults;
  Planner planner(backupFolder, limits);
  for (const TreatmentRecord& treatment : reading.treatments) {
    if (!treatment.restored) plan.treatments.push_back(planner.Plan(treatment));
  }
  plan.faults.insert(plan.faults.end(), planner.faults().begin(), planner.faults().end());
  if (!plan.faults.empty()) {
    plan.treatments.clear();
    return plan;
  }
  std::sort(plan.treatments.begin(), plan.treatments.end(),
            [](const PlannedTreatment& a, const PlannedTreatment& b) { return a.number > b.number; });
  return plan;
}

}  // namespace zc
