#pragma once
// Names and drive-letter image paths of running processes. The kernel reports image
// paths in device form (\Device\HarddiskVolume2\...); the inventory keeps a table that
// relates each logical drive to its device name and turns such a path back into a
// drive-letter path (C:\...). Every failure gives an empty text.

#include <cstdint>
#include <vector>

#include "core/base/text.h"
#include "core/platform/process_api.h"

namespace zc {

// One logical drive: the first target its DOS-device query reports (possibly empty) and
// the first character of its root ("C" for C:\).
struct DeviceMapEntry {
  Text deviceName;
  char16_t driveLetter;
};

// In the order the platform lists the logical drives.
using DeviceMap = std::vector<DeviceMapEntry>;

// The text before its first NUL character (all of it when there is none).
Text TrimAtNul(TextView text);

// Finds the first entry whose device name begins `devicePath` as a whole path element
// (followed by "\" or the end of the path; exact, case-sensitive) and replaces that
// leading device name by the entry's letter and ":". A device name elsewhere in the
// path, or one that only begins a longer device name (volume 1 against volume 10), does
// not match; a drive with an empty device name is passed over. With no matching entry
// the path keeps its device form.
Text ReplaceDeviceName(TextView devicePath, const DeviceMap& map);

class ProcessInventory {
 public:
  explicit ProcessInventory(ProcessApi& processes) : processes_(processes) {}

  // Rebuilds the device map from scratch: one entry per drive root, in the platform's
  // order, also for a drive whose device query fails.
  void RefreshDeviceMap();

  // Drive-letter path of the process's image file; the device-form path when no drive
  // matches; empty when the process cannot be opened or its name cannot be read.
  Text GetProcessImagePath(uint32_t processId);

  // Executable name from a fresh process snapshot; empty when the id is not in it.
  Text GetProcessName(uint32_t processId);

  const DeviceMap& deviceMap() const { return deviceMap_; }

 private:
  ProcessApi& processes_;
  DeviceMap deviceMap_;
};

}  // namespace zc
