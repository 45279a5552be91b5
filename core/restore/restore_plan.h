#pragma once
// Turns a read treatment record into the steps that undo it: every treatment not yet
// restored, newest first, each one's steps in the reverse of the order they were taken.
// A record whose entries point anywhere the treatment could not have touched (a backup
// name that leaves the backup folder, a relative original path, a registry key the
// treatment never deletes from, a service name with a separator) is refused whole.

#include <cstdint>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "core/restore/record_reader.h"
#include "core/restore/treatment_record.h"

namespace zc {

struct RestoreLimits {
  std::vector<std::pair<int32_t, Text>> valueKeys;  // (root, key path) of deleted values
  int32_t serviceRoot = 0;
  Text serviceKeyPrefix;  // followed by a service name, it names the service's key
};

struct PlaceFileBack {
  FileStep file;
  Text backupPath;   // empty when no copy was kept: only the placeholder goes
  Text pendingPath;  // non-empty: its deletion at restart is queued, as the queue names it
};
struct PutValueBack {
  RegistryValueStep value;  // in its view; with a SID, into that user's loaded hive
};
struct PrivateServiceValue {
  Text subkey;  // relative to the service's key
  Text valueName;
  RawRegistryValue value;
};
struct RecreateService {
  ServiceConfig config;  // with the start type it had before the treatment, when recorded
  ServiceSettings settings;
  std::vector<PrivateServiceValue> privateValues;
  std::vector<Text> groups;  // the shared hosts' group lists that named it
  bool start = false;        // it was running
};
struct SetStartBack {
  Text serviceName;
  int32_t root = 0;
  Text keyPath;
  uint32_t start = 0;
};
using UndoStep = std::variant<PlaceFileBack, PutValueBack, RecreateService, SetStartBack>;

struct PlannedTreatment {
  int number = 0;
  Text name;
  std::vector<UndoStep> steps;
};

struct RestorePlan {
  std::vector<PlannedTreatment> treatments;  // newest first
  std::vector<std::string> faults;           // non-empty: the record must not be acted on
};

RestorePlan PlanRestore(const RecordReading& reading, TextView backupFolder, const RestoreLimits& limits);

// A full path on a drive ("C:\dir\file"), without "." or ".." parts, empty parts or
// characters a file name cannot hold.
bool IsPlainFullPath(TextView path);
// A file name without any separator, drive or wildcard, and not "." or "..".
bool IsPlainFileName(TextView name);

}  // namespace zc
