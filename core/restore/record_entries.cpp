#include "core/restore/record_entries.h"

#include <algorithm>
#include <limits>
#include <tuple>

#include "core/restore/record_field_reader.h"
#include "core/restore/service_setting_lines.h"

namespace zc {
namespace {

constexpr char kProcessAction[] = "process";
constexpr char kFileAction[] = "file";
constexpr char kRegistryAction[] = "registry-value";
constexpr char kServiceStartAction[] = "service-start";
constexpr char kServiceAction[] = "service";
constexpr char kPendingAction[] = "pending-deletion";
constexpr char kServiceSettingAction[] = "service-setting";
constexpr char kServiceValueAction[] = "service-value";
constexpr char kServiceGroupAction[] = "service-group";
constexpr char16_t kNone[] = u"none";
constexpr int32_t kLocalMachine = static_cast<int32_t>(0x80000002u);
constexpr TextView kSoftware = u"software\\";
constexpr TextView kRedirected = u"wow6432node";

Text Number(long long value) { return DecimalText(value); }

Text HexRoot(int32_t root) {
  const std::string digits = "0123456789ABCDEF";
  Text text = u"0x";
  for (int shift = 28; shift >= 0; shift -= 4) {
    text.push_back(static_cast<char16_t>(digits[(static_cast<uint32_t>(root) >> shift) & 0xF]));
  }
  return text;
}

}  // namespace

RecordLine BeginLine(int treatment, TextView time, TextView name, TextView kind, int format) {
  RecordLine line{kBeginAction, {}};
  line.Add("treatment", Number(treatment));
  line.Add("time", Text(time));
  line.Add("name", Text(name));
  line.Add("kind", Text(kind));
  if (format > 1) line.Add("format", Number(format));
  return line;
}

RecordLine PendingCancelledLine(int treatment, TextView queuedPath) {
  return StepLine(treatment, PendingDeletionStep{Text(queuedPath), true});
}

std::pair<Text, RegistryView> LogicalKeyAndView(int32_t root, TextView keyPath) {
  const Text folded = FoldCase(keyPath);
  const TextView rest = TextView(folded).substr(std::min(folded.size(), kSoftware.size()));
  const bool redirected = root == kLocalMachine && folded.compare(0, kSoftware.size(), kSoftware) == 0 &&
                          rest.substr(0, kRedirected.size()) == kRedirected &&
                          (rest.size() == kRedirected.size() || rest[kRedirected.size()] == u'\\');
  if (!redirected) return {Text(keyPath), RegistryView::Native};
  const size_t after = kSoftware.size() + kRedirected.size();
  Text logical(keyPath.substr(0, kSoftware.size() - 1));
  if (after < keyPath.size()) logical += Text(keyPath.substr(after));
  return {logical, RegistryView::Wow32};
}

bool NamesRedirectedBranch(int32_t root, TextView keyPath) {
  return LogicalKeyAndView(root, keyPath).second == RegistryView::Wow32;
}

RecordLine RestoredLine(int treatment, TextView time) {
  RecordLine line{kRestoredAction, {}};
  line.Add("treatment", Number(treatment));
  line.Add("time", Text(time));
  return line;
}

RecordLine StepLine(int treatment, const TreatmentStep& step) {
  RecordLine line;
  const auto number = Number(treatment);
  if (const auto* process = std::get_if<EndedProcessStep>(&step)) {
    line = {kProcessAction, {}};
    line.Add("treatment", number);
    line.Add("name", process->name);
    line.Add("id", Number(process->processId));
    line.Add("image", process->imagePath);
  } else if (const auto* file = std::get_if<FileStep>(&step)) {
    line = {kFileAction, {}};
    line.Add("treatment", number);
    line.Add("path", file->originalPath);
    line.Add("backup", file->backupName);
    line.Add("length", Number(file->length));
    line.Add("sha256", file->sha256);
    line.Add("attributes", Number(file->attributes));
  } else if (const auto* value = std::get_if<RegistryValueStep>(&step)) {
    line = {kRegistryAction, {}};
    line.Add("treatment", number);
    line.Add("root", HexRoot(value->root));
    line.Add("key", value->keyPath);
    line.Add("value", value->valueName);
    line.Add("type", Number(value->value.type));
    line.Add("data", FromAscii(HexBytes(value->value.data)));
    line.Add("view", value->view == RegistryView::Wow32 ? u"32" : u"64");
    if (!value->userSid.empty()) line.Add("user", value->userSid);
  } else if (const auto* pending = std::get_if<PendingDeletionStep>(&step)) {
    line = {kPendingAction, {}};
    line.Add("treatment", number);
    line.Add("path", pending->queuedPath);
    if (pending->cancelled) line.Add("cancelled", u"1");
  } else if (const auto* setting = std::get_if<ServiceSettingStep>(&step)) {
    line = {kServiceSettingAction, {}};
    line.Add("treatment", number);
    line.Add("service", setting->serviceName);
    const std::vector<RecordLine> parts = ServiceSettingFields(setting->settings);
    if (!parts.empty()) line.fields.insert(line.fields.end(), parts.front().fields.begin(), parts.front().fields.end());
  } else if (const auto* serviceValue = std::get_if<ServiceValueStep>(&step)) {
    line = {kServiceValueAction, {}};
    line.Add("treatment", number);
    line.Add("service", serviceValue->serviceName);
    line.Add("key", serviceValue->subkey);
    line.Add("value", serviceValue->valueName);
    line.Add("type", Number(serviceValue->value.type));
    line.Add("data", FromAscii(HexBytes(serviceValue->value.data)));
  } else if (const auto* group = std::get_if<ServiceGroupStep>(&step)) {
    line = {kServiceGroupAction, {}};
    line.Add("treatment", number);
    line.Add("service", group->serviceName);
    line.Add("group", group->group);
  } else if (const auto* start = std::get_if<ServiceStartStep>(&step)) {
    line = {kServiceStartAction, {}};
    line.Add("treatment", number);
    line.Add("service", start->serviceName);
    line.Add("start", start->start ? Number(*start->start) : Text(kNone));
  } else if (const auto* service = std::get_if<ServiceDeleteStep>(&step)) {
    const ServiceConfig& config = service->config;
    line = {kServiceAction, {}};
    line.Add("treatment", number);
    line.Add("service", config.name);
    line.Add("display", config.displayName);
    line.Add("image", config.imagePath);
    line.Add("service-type", Number(config.serviceType));
    line.Add("start-type", Number(config.startType));
    line.Add("error-control", Number(config.errorControl));
    line.Add("group", config.loadOrderGroup);
    for (const Text& dependency : config.dependencies) line.Add("dependency", dependency);
    line.Add("account", config.account);
    line.Add("description", config.description);
    line.Add("running", service->wasRunning ? u"1" : u"0");
  }
  return line;
}

StepParse StepFromLine(const RecordLine& line) {
  FieldReader read(line);
  TreatmentStep step;
  if (line.action == kProcessAction) {
    EndedProcessStep process;
    process.name = read.Text_("name");
    process.processId = read.Whole<uint32_t>("id");
    process.imagePath = read.Text_("image");
    step = process;
  } else if (line.action == kFileAction) {
    FileStep file;
    file.originalPath = read.Text_("path");
    file.backupName = read.Text_("backup");
    file.length = read.Whole<int64_t>("length");
    file.sha256 = read.Sha256("sha256");
    file.attributes = read.Whole<uint32_t>("attributes");
    step = file;
  } else if (line.action == kRegistryAction) {
    RegistryValueStep value;
    value.root = static_cast<int32_t>(read.Whole<uint32_t>("root", 16));
    value.keyPath = read.Text_("key");
    value.valueName = read.Text_("value");
    value.value.type = read.Whole<uint32_t>("type");
    value.value.data = read.Bytes("data");
    const std::optional<Text> view = line.Get("view");
    if (!view) {
      // Written before the view had a field of its own: the key names the branch.
      std::tie(value.keyPath, value.view) = LogicalKeyAndView(value.root, value.keyPath);
    } else if (*view == u"32" || *view == u"64") {
      value.view = *view == u"32" ? RegistryView::Wow32 : RegistryView::Native;
      // The view says which branch: a key that names one as well would reach the other.
      if (NamesRedirectedBranch(value.root, value.keyPath)) read.Fail("key", "names WOW6432Node beside a view");
    } else {
      read.Fail("view", "is neither 64 nor 32");
    }
    value.userSid = line.Get("user").value_or(Text());
    step = value;
  } else if (line.action == kPendingAction) {
    PendingDeletionStep pending;
    pending.queuedPath = read.Text_("path");
    pending.cancelled = line.Get("cancelled") == Text(u"1");
    step = pending;
  } else if (line.action == kServiceSettingAction) {
    ServiceSettingStep setting;
    setting.serviceName = read.Text_("service");
    setting.settings = ServiceSettingFromLine(line, read);
    step = setting;
  } else if (line.action == kServiceValueAction) {
    ServiceValueStep serviceValue;
    serviceValue.serviceName = read.Text_("service");
    serviceValue.subkey = read.Text_("key");
    serviceValue.valueName = read.Text_("value");
    serviceValue.value.type = read.Whole<uint32_t>("type");
    serviceValue.value.data = read.Bytes("data");
    step = serviceValue;
  } else if (line.action == kServiceGroupAction) {
    step = ServiceGroupStep{read.Text_("service"), read.Text_("group")};
  } else if (line.action == kServiceStartAction) {
    ServiceStartStep start;
    start.serviceName = read.Text_("service");
    if (line.Get("start") != Text(kNone)) start.start = read.Whole<uint32_t>("start");
    step = start;
  } else if (line.action == kServiceAction) {
    ServiceConfig config;
    config.name = read.Text_("service");
    config.displayName = read.Text_("display");
    config.imagePath = read.Text_("image");
    config.serviceType = read.Whole<uint32_t>("service-type");
    config.startType = read.Whole<uint32_t>("start-type");
    config.errorControl = read.Whole<uint32_t>("error-control");
    config.loadOrderGroup = line.Get("group").value_or(Text());
    config.dependencies = line.GetAll("dependency");
    config.account = line.Get("account").value_or(Text());
    config.description = line.Get("description").value_or(Text());
    step = ServiceDeleteStep{config, line.Get("running") == Text(u"1")};
  } else {
    return std::monostate{};
  }
  if (!read.problem().empty()) return read.problem();
  return step;
}

}  // namespace zc
