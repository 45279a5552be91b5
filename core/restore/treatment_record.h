#pragma once
// What one treatment did, as its record in the backup folder keeps it: every step that
// destroyed something, with what is needed to undo it, and whether it has been undone.

#include <cstdint>
#include <optional>
#include <variant>
#include <vector>

#include "core/base/text.h"
#include "core/platform/raw_registry_api.h"
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

// A registry value about to be deleted, with its type and data.
struct RegistryValueStep {
  int32_t root = 0;
  Text keyPath;
  Text valueName;
  RawRegistryValue value;
  bool operator==(const RegistryValueStep&) const = default;
};

// A service's Start value before it was set to 4; nothing when it had none (or not a
// number).
struct ServiceStartStep {
  Text serviceName;
  std::optional<uint32_t> start;
  bool operator==(const ServiceStartStep&) const = default;
};

// A service about to be deleted, with its configuration.
struct ServiceDeleteStep {
  ServiceConfig config;
  bool operator==(const ServiceDeleteStep&) const = default;
};

using TreatmentStep =
    std::variant<EndedProcessStep, FileStep, RegistryValueStep, ServiceStartStep, ServiceDeleteStep>;

struct TreatmentRecord {
  int number = 0;  // 1, 2, ... within one backup folder, in the order they were made
  Text time;       // "YYYY-MM-DD HH:MM:SS", local time
  Text name;       // the Finding's name
  Text kind;       // the Finding's kind
  std::vector<TreatmentStep> steps;  // in the order they were taken
  bool restored = false;
  Text restoredTime;
  bool operator==(const TreatmentRecord&) const = default;
};

}  // namespace zc
