#include "win32/machine/win32_service_settings.h"

#include <cstring>
#include <cwchar>
#include <string>

#include "win32/base/ansi.h"

namespace zc::win {
namespace {

// The trigger information level's structures, as the platform's documentation gives
// them (this compiler's headers lack them).
struct TriggerDataItem {
  DWORD dwDataType;
  DWORD cbData;
  BYTE* pData;
};
struct Trigger {
  DWORD dwTriggerType;
  DWORD dwAction;
  GUID* pTriggerSubtype;
  DWORD cDataItems;
  TriggerDataItem* pDataItems;
};
struct TriggerInfo {
  DWORD cTriggers;
  Trigger* pTriggers;
  BYTE* pReserved;
};
constexpr DWORD kTriggerInfoLevel = 8;  // SERVICE_CONFIG_TRIGGER_INFO

// One information level's answer, its size learnt from a first call; empty when the
// level is not answered.
std::vector<BYTE> QueryLevel(SC_HANDLE service, DWORD level) {
  DWORD needed = 0;
  if (!::QueryServiceConfig2W(service, level, nullptr, 0, &needed) &&
      (::GetLastError() != ERROR_INSUFFICIENT_BUFFER || needed == 0)) {
    return {};
  }
  // Room for the pointers' alignment, as a first call may report the size without it.
  std::vector<BYTE> buffer(needed + sizeof(void*));
  if (!::QueryServiceConfig2W(service, level, buffer.data(), static_cast<DWORD>(buffer.size()), &needed)) return {};
  return buffer;
}

template <typename Info>
const Info* LevelAs(const std::vector<BYTE>& buffer) {
  return buffer.size() >= sizeof(Info) ? reinterpret_cast<const Info*>(buffer.data()) : nullptr;
}

Text TextOf(const wchar_t* text) { return text ? FromWide(text) : Text(); }

std::vector<Text> MultiText(const wchar_t* list) {
  std::vector<Text> items;
  if (!list) return items;
  for (const wchar_t* item = list; *item; item += std::wcslen(item) + 1) items.push_back(FromWide(item));
  return items;
}

std::wstring MultiTextOf(const std::vector<Text>& items) {
  std::wstring list;
  for (const Text& item : items) {
    list += ToWide(item);
    list.push_back(L'\0');
  }
  list.push_back(L'\0');
  return list;
}

std::vector<uint8_t> BytesOf(const void* data, size_t size) {
  const auto* bytes = static_cast<const uint8_t*>(data);
  return data ? std::vector<uint8_t>(bytes, bytes + size) : std::vector<uint8_t>();
}

std::optional<std::vector<ServiceTrigger>> ReadTriggers(SC_HANDLE service) {
  const std::vector<BYTE> buffer = QueryLevel(service, kTriggerInfoLevel);
  const auto* info = LevelAs<TriggerInfo>(buffer);
  if (!info) return std::nullopt;
  std::vector<ServiceTrigger> triggers;
  for (DWORD i = 0; i < info->cTriggers; ++i) {
    const Trigger& raw = info->pTriggers[i];
    ServiceTrigger trigger{raw.dwTriggerType, raw.dwAction, BytesOf(raw.pTriggerSubtype, sizeof(GUID)), {}};
    if (trigger.subtype.empty()) trigger.subtype.assign(sizeof(GUID), 0);
    for (DWORD j = 0; j < raw.cDataItems; ++j) {
      const TriggerDataItem& item = raw.pDataItems[j];
      trigger.items.push_back({item.dwDataType, BytesOf(item.pData, item.cbData)});
    }
    triggers.push_back(std::move(trigger));
  }
  return triggers;
}

std::optional<std::vector<uint8_t>> ReadSecurity(SC_HANDLE service) {
  constexpr SECURITY_INFORMATION kParts = OWNER_SECURITY_INFORMATION | GROUP_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION;
  DWORD needed = 0;
  BYTE probe = 0;
  if (!::QueryServiceObjectSecurity(service, kParts, &probe, 0, &needed) &&
      (::GetLastError() != ERROR_INSUFFICIENT_BUFFER || needed == 0)) {
    return std::nullopt;
  }
  std::vector<uint8_t> descriptor(needed);
  if (!::QueryServiceObjectSecurity(service, kParts, descriptor.data(), needed, &needed)) return std::nullopt;
  descriptor.resize(::GetSecurityDescriptorLength(descriptor.data()));
  return descriptor;
}

bool Change(SC_HANDLE service, DWORD level, void* info) { return ::ChangeServiceConfig2W(service, level, info) != FALSE; }

bool WriteTriggers(SC_HANDLE service, const std::vector<ServiceTrigger>& wanted) {
  std::vector<Trigger> triggers;
  std::vector<GUID> subtypes(wanted.size());
  std::vector<std::vector<TriggerDataItem>> items(wanted.size());
  std::vector<std::vector<std::vector<uint8_t>>> data(wanted.size());
  for (size_t i = 0; i < wanted.size(); ++i) {
    if (wanted[i].subtype.size() != sizeof(GUID)) return false;
    std::memcpy(&subtypes[i], wanted[i].subtype.data(), sizeof(GUID));
    for (const ServiceTriggerData& item : wanted[i].items) {
      data[i].push_back(item.data);
      items[i].push_back({item.type, static_cast<DWORD>(item.data.size()), nullptr});
    }
    for (size_t j = 0; j < items[i].size(); ++j) items[i][j].pData = data[i][j].empty() ? nullptr : data[i][j].data();
    triggers.push_back({wanted[i].type, wanted[i].action, &subtypes[i], static_cast<DWORD>(items[i].size()),
                        items[i].empty() ? nullptr : items[i].data()});
  }
  TriggerInfo info{static_cast<DWORD>(triggers.size()), triggers.empty() ? nullptr : triggers.data(), nullptr};
  return Change(service, kTriggerInfoLevel, &info);
}

// Only the DACL is set: it says who may start, stop or change the service. An owner
// other than the caller's could be given only with the restore privilege.
bool WriteSecurity(SC_HANDLE service, std::vector<uint8_t> descriptor) {
  if (descriptor.empty() || !::IsValidSecurityDescriptor(descriptor.data())) return false;
  return ::SetServiceObjectSecurity(service, DACL_SECURITY_INFORMATION, descriptor.data()) != FALSE;
}

}  // namespace

ServiceSettings ReadServiceSettings(SC_HANDLE service) {
  ServiceSettings settings;
  const std::vector<BYTE> failure = QueryLevel(service, SERVICE_CONFIG_FAILURE_ACTIONS);
  if (const auto* info = LevelAs<SERVICE_FAILURE_ACTIONSW>(failure)) {
    ServiceFailureActions actions{info->dwResetPeriod, TextOf(info->lpRebootMsg), TextOf(info->lpCommand), {}};
    for (DWORD i = 0; i < info->cActions && info->lpsaActions; ++i) {
      actions.actions.push_back({static_cast<uint32_t>(info->lpsaActions[i].Type), info->lpsaActions[i].Delay});
    }
    settings.failureActions = std::move(actions);
  }
  const std::vector<BYTE> flag = QueryLevel(service, SERVICE_CONFIG_FAILURE_ACTIONS_FLAG);
  if (const auto* info = LevelAs<SERVICE_FAILURE_ACTIONS_FLAG>(flag)) {
    settings.failureActionsOnNonCrash = info->fFailureActionsOnNonCrashFailures != FALSE;
  }
  const std::vector<BYTE> delayed = QueryLevel(service, SERVICE_CONFIG_DELAYED_AUTO_START_INFO);
  if (const auto* info = LevelAs<SERVICE_DELAYED_AUTO_START_INFO>(delayed)) {
    settings.delayedAutoStart = info->fDelayedAutostart != FALSE;
  }
  const std::vector<BYTE> privileges = QueryLevel(service, SERVICE_CONFIG_REQUIRED_PRIVILEGES_INFO);
  if (const auto* info = LevelAs<SERVICE_REQUIRED_PRIVILEGES_INFOW>(privileges)) {
    settings.requiredPrivileges = MultiText(info->pmszRequiredPrivileges);
  }
  const std::vector<BYTE> sid = QueryLevel(service, SERVICE_CONFIG_SERVICE_SID_INFO);
  if (const auto* info = LevelAs<SERVICE_SID_INFO>(sid)) settings.sidType = info->dwServiceSidType;
  settings.triggers = ReadTriggers(service);
  const std::vector<BYTE> preshutdown = QueryLevel(service, SERVICE_CONFIG_PRESHUTDOWN_INFO);
  if (const auto* info = LevelAs<SERVICE_PRESHUTDOWN_INFO>(preshutdown)) {
    settings.preshutdownTimeoutMs = info->dwPreshutdownTimeout;
  }
  settings.securityDescriptor = ReadSecurity(service);
  return settings;
}

std::vector<ServicePart> WriteServiceSettings(SC_HANDLE service, const ServiceSettings& settings) {
  std::vector<ServicePart> failed;
  auto check = [&](ServicePart part, bool done) {
    if (!done) failed.push_back(part);
  };
  if (settings.failureActions) {
    const ServiceFailureActions& wanted = *settings.failureActions;
    std::wstring reboot = ToWide(wanted.rebootMessage);
    std::wstring command = ToWide(wanted.command);
    std::vector<SC_ACTION> actions;
    for (const ServiceFailureAction& action : wanted.actions) {
      actions.push_back({static_cast<SC_ACTION_TYPE>(action.type), action.delayMs});
    }
    SERVICE_FAILURE_ACTIONSW info{wanted.resetPeriod, reboot.data(), command.data(), static_cast<DWORD>(actions.size()),
                                  actions.empty() ? nullptr : actions.data()};
    check(ServicePart::FailureActions, Change(service, SERVICE_CONFIG_FAILURE_ACTIONS, &info));
  }
  if (settings.failureActionsOnNonCrash) {
    SERVICE_FAILURE_ACTIONS_FLAG info{*settings.failureActionsOnNonCrash ? TRUE : FALSE};
    check(ServicePart::FailureActionsFlag, Change(service, SERVICE_CONFIG_FAILURE_ACTIONS_FLAG, &info));
  }
  if (settings.delayedAutoStart) {
    SERVICE_DELAYED_AUTO_START_INFO info{*settings.delayedAutoStart ? TRUE : FALSE};
    check(ServicePart::DelayedAutoStart, Change(service, SERVICE_CONFIG_DELAYED_AUTO_START_INFO, &info));
  }
  if (settings.requiredPrivileges) {
    std::wstring list = MultiTextOf(*settings.requiredPrivileges);
    SERVICE_REQUIRED_PRIVILEGES_INFOW info{list.data()};
    check(ServicePart::RequiredPrivileges, Change(service, SERVICE_CONFIG_REQUIRED_PRIVILEGES_INFO, &info));
  }
  if (settings.sidType) {
    SERVICE_SID_INFO info{*settings.sidType};
    check(ServicePart::SidType, Change(service, SERVICE_CONFIG_SERVICE_SID_INFO, &info));
  }
  // A new service has no triggers: only a list with some is set.
  if (settings.triggers && !settings.triggers->empty()) {
    check(ServicePart::Triggers, WriteTriggers(service, *settings.triggers));
  }
  if (settings.preshutdownTimeoutMs) {
    SERVICE_PRESHUTDOWN_INFO info{*settings.preshutdownTimeoutMs};
    check(ServicePart::PreshutdownTimeout, Change(service, SERVICE_CONFIG_PRESHUTDOWN_INFO, &info));
  }
  if (settings.securityDescriptor) {
    check(ServicePart::Security, WriteSecurity(service, *settings.securityDescriptor));
  }
  return failed;
}

}  // namespace zc::win
