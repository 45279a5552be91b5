#include "win32/machine/win32_service_manager.h"

#include <windows.h>

#include <cwchar>
#include <vector>

#include "win32/base/last_error.h"
#include "win32/base/ansi.h"
#include "win32/base/unique_handle.h"
#include "win32/machine/win32_service_settings.h"

namespace zc::win {
namespace {

struct ServiceHandleTraits {
  using Type = SC_HANDLE;
  static Type Invalid() noexcept { return nullptr; }
  static void Close(Type h) noexcept { ::CloseServiceHandle(h); }
};
using UniqueService = UniqueAny<ServiceHandleTraits>;

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

// A query whose result size is learnt from a first call that fails with
// ERROR_INSUFFICIENT_BUFFER.
template <typename Query>
std::vector<BYTE> QueryGrowing(Query query) {
  DWORD needed = 0;
  query(nullptr, 0, &needed);
  if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER || needed == 0) return {};
  std::vector<BYTE> buffer(needed);
  if (!query(buffer.data(), needed, &needed)) return {};
  return buffer;
}

constexpr DWORD kStopWaitMs = 10000;  // how long a stopping service may take
constexpr DWORD kStopPollMs = 250;

// Opens a service of the local service manager with `access`; the error when it cannot.
SystemError OpenNamedService(TextView serviceName, DWORD access, UniqueService& service) {
  UniqueService manager(::OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
  if (!manager) return LastError();
  service.reset(::OpenServiceW(manager.get(), ToWide(serviceName).c_str(), access));
  return service ? SystemError::None : LastError();
}

SystemError QueryStatus(SC_HANDLE service, SERVICE_STATUS_PROCESS& status) {
  DWORD needed = 0;
  return ResultOf(::QueryServiceStatusEx(service, SC_STATUS_PROCESS_INFO, reinterpret_cast<BYTE*>(&status),
                                         sizeof(status), &needed));
}

}  // namespace

SystemError Win32ServiceManager::QueryState(TextView serviceName, uint32_t& state) {
  UniqueService service;
  if (const SystemError error = OpenNamedService(serviceName, SERVICE_QUERY_STATUS, service); error != SystemError::None) {
    return error;
  }
  SERVICE_STATUS_PROCESS status{};
  const SystemError error = QueryStatus(service.get(), status);
  if (error == SystemError::None) state = status.dwCurrentState;
  return error;
}

SystemError Win32ServiceManager::Stop(TextView serviceName) {
  UniqueService service;
  SystemError error = OpenNamedService(serviceName, SERVICE_STOP | SERVICE_QUERY_STATUS, service);
  if (error == SystemError::ServiceDoesNotExist) return SystemError::None;
  if (error != SystemError::None) return error;
  SERVICE_STATUS_PROCESS status{};
  if ((error = QueryStatus(service.get(), status)) != SystemError::None) return error;
  if (status.dwCurrentState == SERVICE_STOPPED) return SystemError::None;
  if (status.dwCurrentState != SERVICE_STOP_PENDING) {
    SERVICE_STATUS answer{};
    if (!::ControlService(service.get(), SERVICE_CONTROL_STOP, &answer)) {
      error = LastError();
      if (error != SystemError::ServiceNotActive) return error;
      return SystemError::None;
    }
  }
  for (DWORD waited = 0; waited < kStopWaitMs; waited += kStopPollMs) {
    if ((error = QueryStatus(service.get(), status)) != SystemError::None) return error;
    if (status.dwCurrentState == SERVICE_STOPPED) return SystemError::None;
    ::Sleep(kStopPollMs);
  }
  return SystemError::ServiceRequestTimeout;
}

SystemError Win32ServiceManager::Delete(TextView serviceName) {
  UniqueService service;
  SystemError error = OpenNamedService(serviceName, DELETE, service);
  if (error == SystemError::ServiceDoesNotExist) return SystemError::None;
  if (error != SystemError::None) return error;
  if (::DeleteService(service.get())) return SystemError::None;
  error = LastError();
  return error == SystemError::ServiceMarkedForDelete ? SystemError::None : error;
}

std::optional<ServiceConfig> Win32ServiceManager::QueryConfig(TextView serviceName) {
  UniqueService manager(::OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
  if (!manager) return std::nullopt;
  UniqueService service(::OpenServiceW(manager.get(), ToWide(serviceName).c_str(), SERVICE_QUERY_CONFIG));
  if (!service) return std::nullopt;

  const std::vector<BYTE> configBytes = QueryGrowing([&](BYTE* buffer, DWORD size, DWORD* needed) {
    return ::QueryServiceConfigW(service.get(), reinterpret_cast<QUERY_SERVICE_CONFIGW*>(buffer), size, needed) != FALSE;
  });
  if (configBytes.empty()) return std::nullopt;
  const auto* raw = reinterpret_cast<const QUERY_SERVICE_CONFIGW*>(configBytes.data());

  ServiceConfig config;
  config.name = Text(serviceName);
  config.displayName = TextOf(raw->lpDisplayName);
  config.imagePath = TextOf(raw->lpBinaryPathName);
  config.serviceType = raw->dwServiceType;
  config.startType = raw->dwStartType;
  config.errorControl = raw->dwErrorControl;
  config.loadOrderGroup = TextOf(raw->lpLoadOrderGroup);
  config.dependencies = MultiText(raw->lpDependencies);
  config.account = TextOf(raw->lpServiceStartName);

  const std::vector<BYTE> descriptionBytes = QueryGrowing([&](BYTE* buffer, DWORD size, DWORD* needed) {
    return ::QueryServiceConfig2W(service.get(), SERVICE_CONFIG_DESCRIPTION, buffer, size, needed) != FALSE;
  });
  if (!descriptionBytes.empty()) {
    config.description =
        TextOf(reinterpret_cast<const SERVICE_DESCRIPTIONW*>(descriptionBytes.data())->lpDescription);
  }
  return config;
}

ServiceSettings Win32ServiceManager::QuerySettings(TextView serviceName) {
  UniqueService service;
  if (OpenNamedService(serviceName, SERVICE_QUERY_CONFIG | READ_CONTROL, service) != SystemError::None) return {};
  return ReadServiceSettings(service.get());
}

std::vector<ServicePart> Win32ServiceManager::ApplySettings(TextView serviceName, const ServiceSettings& settings) {
  UniqueService service;
  if (OpenNamedService(serviceName, SERVICE_CHANGE_CONFIG | SERVICE_START | READ_CONTROL | WRITE_DAC, service) !=
      SystemError::None) {
    return WriteServiceSettings(nullptr, settings);  // every part fails on no handle
  }
  return WriteServiceSettings(service.get(), settings);
}

SystemError Win32ServiceManager::Start(TextView serviceName) {
  UniqueService service;
  if (const SystemError error = OpenNamedService(serviceName, SERVICE_START, service); error != SystemError::None) {
    return error;
  }
  if (::StartServiceW(service.get(), 0, nullptr)) return SystemError::None;
  if (::GetLastError() == ERROR_SERVICE_ALREADY_RUNNING) return SystemError::None;
  return LastError();
}

bool Win32ServiceManager::Exists(TextView serviceName) {
  UniqueService manager(::OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
  if (!manager) return false;
  UniqueService service(::OpenServiceW(manager.get(), ToWide(serviceName).c_str(), SERVICE_QUERY_STATUS));
  return static_cast<bool>(service);
}

bool Win32ServiceManager::Create(const ServiceConfig& config) {
  UniqueService manager(::OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CREATE_SERVICE));
  if (!manager) return false;
  const std::wstring name = ToWide(config.name);
  const std::wstring display = ToWide(config.displayName);
  const std::wstring image = ToWide(config.imagePath);
  const std::wstring group = ToWide(config.loadOrderGroup);
  const std::wstring dependencies = MultiTextOf(config.dependencies);
  const std::wstring account = ToWide(config.account);
  // The local system account is the default; naming it is left out.
  const bool defaultAccount = account.empty() || FoldCase(config.account) == u"localsystem";
  UniqueService service(::CreateServiceW(
      manager.get(), name.c_str(), display.empty() ? nullptr : display.c_str(), SERVICE_ALL_ACCESS,
      config.serviceType, config.startType, config.errorControl, image.c_str(), group.empty() ? nullptr : group.c_str(),
      nullptr, config.dependencies.empty() ? nullptr : dependencies.c_str(),
      defaultAccount ? nullptr : account.c_str(), nullptr));
  if (!service) return false;
  if (!config.description.empty()) {
    std::wstring description = ToWide(config.description);
    SERVICE_DESCRIPTIONW text{description.data()};
    ::ChangeServiceConfig2W(service.get(), SERVICE_CONFIG_DESCRIPTION, &text);
  }
  return true;
}

}  // namespace zc::win
