#include "core/restore/record_entries.h"

#include <charconv>
#include <limits>

namespace zc {
namespace {

constexpr char kProcessAction[] = "process";
constexpr char kFileAction[] = "file";
constexpr char kRegistryAction[] = "registry-value";
constexpr char kServiceStartAction[] = "service-start";
constexpr char kServiceAction[] = "service";
constexpr char16_t kNone[] = u"none";

Text Number(long long value) { return DecimalText(value); }

Text HexRoot(int32_t root) {
  const std::string digits = "0123456789ABCDEF";
  Text text = u"0x";
  for (int shift = 28; shift >= 0; shift -= 4) {
    text.push_back(static_cast<char16_t>(digits[(static_cast<uint32_t>(root) >> shift) & 0xF]));
  }
  return text;
}

// Reads every field a step needs; the first problem is kept and later reads return
// defaults, so a step is built in one pass and rejected at the end.
class FieldReader {
 public:
  explicit FieldReader(const RecordLine& line) : line_(line) {}

  Text Text_(std::string_view key) {
    std::optional<Text> value = line_.Get(key);
    if (!value) Fail(key, "is missing");
    return value.value_or(Text());
  }
  template <typename Number>
  Number Whole(std::string_view key, int base = 10) {
    const std::string digits = ToUtf8(Text_(key));
    std::string_view view = digits;
    if (base == 16 && view.substr(0, 2) == "0x") view.remove_prefix(2);
    Number value{};
    const auto [end, error] = std::from_chars(view.data(), view.data() + view.size(), value, base);
    if (!problem_.empty()) return {};
    if (view.empty() || error != std::errc() || end != view.data() + view.size()) Fail(key, "is not a number");
    return value;
  }
  std::vector<uint8_t> Bytes(std::string_view key) {
    std::optional<std::vector<uint8_t>> bytes = BytesFromHex(ToUtf8(Text_(key)));
    if (!bytes) Fail(key, "is not hexadecimal");
    return bytes.value_or(std::vector<uint8_t>());
  }
  Text Sha256(std::string_view key) {
    Text digest = Text_(key);
    const std::string utf8 = ToUtf8(digest);
    const bool hex = utf8.size() == 64 && utf8.find_first_not_of("0123456789abcdef") == std::string::npos;
    if (!hex) Fail(key, "is not 64 lower-case hexadecimal digits");
    return digest;
  }
  const std::string& problem() const { return problem_; }

 private:
  void Fail(std::string_view key, std::string_view what) {
    if (problem_.empty()) problem_ = "the " + line_.action + " entry's " + std::string(key) + " " + std::string(what);
  }
  const RecordLine& line_;
  std::string problem_;
};

}  // namespace

RecordLine BeginLine(int treatment, TextView time, TextView name, TextView kind) {
  RecordLine line{kBeginAction, {}};
  line.Add("treatment", Number(treatment));
  line.Add("time", Text(time));
  line.Add("name", Text(name));
  line.Add("kind", Text(kind));
  return line;
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
    step = value;
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
    step = ServiceDeleteStep{config};
  } else {
    return std::monostate{};
  }
  if (!read.problem().empty()) return read.problem();
  return step;
}

}  // namespace zc
