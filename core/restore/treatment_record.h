#pragma once
// What one treatment did, as its record in the backup folder keeps it: every step that
// destroyed something, with what is needed to undo it, and whether it has been undone.

#include <cstdint>
#include <optional>
#include <variant>
#include <vector>

#include "core/base/text.h"
#include "core/platform/raw_registry_api.h"
#include "core/platform/registry_api.h"
#include "core/platform/service_manager_api.h"

namespace zc {

// An ended process: kept for the reader only, nothing brings a process back.
struct EndedProcessStep {
  Text name;
  uint32_t processId = 0;
  Text imagePath;
  bool operator==(const EndedProcessStep&) const = default;
};

// A file replaced by the placeholder folder. An empty backup name means no file was
// there: only the placeholder was made.
struct FileStep {
  Text originalPath;
  Text backupName;  // a plain file name inside the backup folder
  int64_t length = 0;
  Text sha256;  // 64 lower-case hexadecimal digits
  uint32_t attributes = 0;
  bool operator==(const FileStep&) const = default;
};

// A registry value about to be deleted, with its type and data. The key is its logical
// path in its view (only HKLM's software keys have a separate 32-bit branch); a value of
// one user's own hive names that user (HKEY_USERS\<sid>), otherwise HKCU is the running
// account's own.
struct RegistryValueStep {
  int32_t root = 0;
  Text keyPath;
  Text valueName;
  RawRegistryValue value;
  RegistryView view = RegistryView::Native;
  Text userSid;
  bool operator==(const RegistryValueStep&) const = default;
};

// A file whose deletion was left for the next restart: the path exactly as the queue of
// pending operations holds it ("\??\C:\dir\file"). `cancelled` marks the entry the
// restore writes once it has taken the pair out of the queue again.
struct PendingDeletionStep {
  Text queuedPath;
  bool cancelled = false;
  bool operator==(const PendingDeletionStep&) const = default;
};

// A service's Start value before it was set to 4; nothing when it had none (or not a
// number).
struct ServiceStartStep {
  Text serviceName;
  std::optional<uint32_t> start;
  bool operator==(const ServiceStartStep&) const = default;
};

// A service about to be deleted, with its configuration and whether it was running
// (the parts below are recorded before it, each in an entry of its own).
struct ServiceDeleteStep {
  ServiceConfig config;
  bool wasRunning = false;
  bool operator==(const ServiceDeleteStep&) const = default;
};

// One part of what the service manager keeps for a service about to be deleted: the
// settings hold exactly one part (several triggers are several entries).
struct ServiceSettingStep {
  Text serviceName;
  ServiceSettings settings;
  bool operator==(const ServiceSettingStep&) const = default;
};

// A value of one of the service's private subkeys ("Parameters" and the like), the
// subkey named relative to the service's key.
struct ServiceValueStep {
  Text serviceName;
  Text subkey;
  Text valueName;
  RawRegistryValue value;
  bool operator==(const ServiceValueStep&) const = default;
};

// A shared host's group list that named the service.
struct ServiceGroupStep {
  Text serviceName;
  Text group;
  bool operator==(const ServiceGroupStep&) const = default;
};

using TreatmentStep =
    std::variant<EndedProcessStep, FileStep, RegistryValueStep, ServiceStartStep, ServiceDeleteStep,
                 PendingDeletionStep, ServiceSettingStep, ServiceValueStep, ServiceGroupStep>;

// The record format this program writes (on each treatment's "begin" entry). Format 1,
// without the field, named a 32-bit view value by its WOW6432Node key.
inline constexpr int kRecordFormat = 2;

struct TreatmentRecord {
  int number = 0;  // 1, 2, ... within one backup folder, in the order they were made
  int format = 1;  // the record format its entries were written in
  Text time;       // "YYYY-MM-DD HH:MM:SS", local time
  Text name;       // the Finding's name
  Text kind;       // the Finding's kind
  std::vector<TreatmentStep> steps;  // in the order they were taken
  bool restored = false;
  Text restoredTime;
  bool operator==(const TreatmentRecord&) const = default;
};

}  // namespace zc
