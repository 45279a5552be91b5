#include "core/restore/restore_plan.h"

#include <algorithm>
#include <unordered_map>

namespace zc {
namespace {

constexpr TextView kForbiddenInNames = u"\\/:*?\"<>|";

bool HasControlCharacter(TextView text) {
  return std::any_of(text.begin(), text.end(), [](char16_t c) { return c < 0x20; });
}

bool SameText(TextView a, TextView b) { return FoldCase(a) == FoldCase(b); }

class Planner {
 public:
  Planner(TextView backupFolder, const RestoreLimits& limits) : folder_(backupFolder), limits_(limits) {}

  PlannedTreatment Plan(const TreatmentRecord& treatment) {
    PlannedTreatment planned{treatment.number, treatment.name, {}};
    // The Start values a deleted service had, by folded name, gathered once: looking
    // them up step by step made a long record take quadratic time.
    starts_.clear();
    for (const TreatmentStep& step : treatment.steps) {
      const auto* start = std::get_if<ServiceStartStep>(&step);
      if (start && start->start) starts_.insert_or_assign(FoldCase(start->serviceName), *start->start);
    }
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
    steps.push_back(PlaceFileBack{file, backupPath});
  }

  void Add(const TreatmentRecord& treatment, const RegistryValueStep& value, std::vector<UndoStep>& steps) {
    const bool allowed = std::any_of(limits_.valueKeys.begin(), limits_.valueKeys.end(), [&](const auto& key) {
      return key.first == value.root && SameText(key.second, value.keyPath);
    });
    if (!allowed) return Fault(treatment, "the registry value lies under a key the treatment never deletes from");
    steps.push_back(PutValueBack{value});
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
    steps.push_back(RecreateService{config});
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
