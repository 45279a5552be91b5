#include "core/restore/service_setting_lines.h"

namespace zc {
namespace {

Text Number(uint64_t value) { return DecimalText(static_cast<long long>(value)); }
Text Bool(bool value) { return value ? u"1" : u"0"; }
Text Pair(uint32_t first, TextView second) { return Number(first) + u"/" + Text(second); }

RecordLine Setting(const char* name) {
  RecordLine line;
  line.Add("setting", FromAscii(name));
  return line;
}

// "TYPE/REST" split at its first '/'.
std::pair<Text, Text> SplitPair(TextView text) {
  const size_t cut = text.find(u'/');
  if (cut == TextView::npos) return {Text(text), Text()};
  return {Text(text.substr(0, cut)), Text(text.substr(cut + 1))};
}

}  // namespace

std::vector<RecordLine> ServiceSettingFields(const ServiceSettings& settings) {
  std::vector<RecordLine> lines;
  if (settings.failureActions) {
    RecordLine line = Setting("failure-actions");
    line.Add("reset", Number(settings.failureActions->resetPeriod));
    line.Add("reboot", settings.failureActions->rebootMessage);
    line.Add("command", settings.failureActions->command);
    for (const ServiceFailureAction& action : settings.failureActions->actions) {
      line.Add("action", Pair(action.type, Number(action.delayMs)));
    }
    lines.push_back(std::move(line));
  }
  if (settings.failureActionsOnNonCrash) {
    lines.push_back(Setting("failure-actions-flag"));
    lines.back().Add("value", Bool(*settings.failureActionsOnNonCrash));
  }
  if (settings.delayedAutoStart) {
    lines.push_back(Setting("delayed-start"));
    lines.back().Add("value", Bool(*settings.delayedAutoStart));
  }
  if (settings.requiredPrivileges) {
    lines.push_back(Setting("privileges"));
    for (const Text& privilege : *settings.requiredPrivileges) lines.back().Add("privilege", privilege);
  }
  if (settings.sidType) {
    lines.push_back(Setting("sid-type"));
    lines.back().Add("value", Number(*settings.sidType));
  }
  if (settings.triggers) {
    for (const ServiceTrigger& trigger : *settings.triggers) {
      RecordLine line = Setting("trigger");
      line.Add("type", Number(trigger.type));
      line.Add("action", Number(trigger.action));
      line.Add("subtype", FromAscii(HexBytes(trigger.subtype)));
      for (const ServiceTriggerData& item : trigger.items) {
        line.Add("data", Pair(item.type, FromAscii(HexBytes(item.data))));
      }
      lines.push_back(std::move(line));
    }
  }
  if (settings.preshutdownTimeoutMs) {
    lines.push_back(Setting("preshutdown-timeout"));
    lines.back().Add("value", Number(*settings.preshutdownTimeoutMs));
  }
  if (settings.securityDescriptor) {
    lines.push_back(Setting("security"));
    lines.back().Add("data", FromAscii(HexBytes(*settings.securityDescriptor)));
  }
  return lines;
}

ServiceSettings ServiceSettingFromLine(const RecordLine& line, FieldReader& read) {
  ServiceSettings settings;
  const Text setting = read.Text_("setting");
  if (setting == u"failure-actions") {
    ServiceFailureActions actions;
    actions.resetPeriod = read.Whole<uint32_t>("reset");
    actions.rebootMessage = read.Text_("reboot");
    actions.command = read.Text_("command");
    for (const Text& action : line.GetAll("action")) {
      const auto [type, delay] = SplitPair(action);
      actions.actions.push_back({read.WholeOf<uint32_t>("action", type), read.WholeOf<uint32_t>("action", delay)});
    }
    settings.failureActions = std::move(actions);
  } else if (setting == u"failure-actions-flag") {
    settings.failureActionsOnNonCrash = read.Flag("value");
  } else if (setting == u"delayed-start") {
    settings.delayedAutoStart = read.Flag("value");
  } else if (setting == u"privileges") {
    settings.requiredPrivileges = line.GetAll("privilege");
  } else if (setting == u"sid-type") {
    settings.sidType = read.Whole<uint32_t>("value");
  } else if (setting == u"trigger") {
    ServiceTrigger trigger;
    trigger.type = read.Whole<uint32_t>("type");
    trigger.action = read.Whole<uint32_t>("action");
    trigger.subtype = read.Bytes("subtype");
    if (trigger.subtype.size() != 16) read.Fail("subtype", "is not 16 bytes");
    for (const Text& item : line.GetAll("data")) {
      const auto [type, bytes] = SplitPair(item);
      trigger.items.push_back({read.WholeOf<uint32_t>("data", type), read.BytesOf("data", bytes)});
    }
    settings.triggers = std::vector<ServiceTrigger>{std::move(trigger)};
  } else if (setting == u"preshutdown-timeout") {
    settings.preshutdownTimeoutMs = read.Whole<uint32_t>("value");
  } else if (setting == u"security") {
    settings.securityDescriptor = read.Bytes("data");
  } else {
    read.Fail("setting", "is not a known setting");
  }
  return settings;
}

void MergeServiceSettings(ServiceSettings& settings, const ServiceSettings& more) {
  if (more.failureActions) settings.failureActions = more.failureActions;
  if (more.failureActionsOnNonCrash) settings.failureActionsOnNonCrash = more.failureActionsOnNonCrash;
  if (more.delayedAutoStart) settings.delayedAutoStart = more.delayedAutoStart;
  if (more.requiredPrivileges) settings.requiredPrivileges = more.requiredPrivileges;
  if (more.sidType) settings.sidType = more.sidType;
  if (more.triggers) {
    if (!settings.triggers) settings.triggers.emplace();
    settings.triggers->insert(settings.triggers->end(), more.triggers->begin(), more.triggers->end());
  }
  if (more.preshutdownTimeoutMs) settings.preshutdownTimeoutMs = more.preshutdownTimeoutMs;
  if (more.securityDescriptor) settings.securityDescriptor = more.securityDescriptor;
}

}  // namespace zc
