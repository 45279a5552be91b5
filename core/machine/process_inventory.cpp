#include "core/machine/process_inventory.h"

namespace zc {

Text TrimAtNul(TextView text) {
  return Text(text.substr(0, text.find(u'\0')));
}

Text ReplaceDeviceName(TextView devicePath, const DeviceMap& map) {
  for (const DeviceMapEntry& entry : map) {
    const TextView device = entry.deviceName;
    if (device.empty()) return Text(devicePath);  // matches everything, changes nothing
    size_t found = devicePath.find(device);
    if (found == TextView::npos) continue;

    const Text drive{entry.driveLetter, u':'};
    Text path;
    path.reserve(devicePath.size());
    size_t from = 0;
    while (found != TextView::npos) {
      path.append(devicePath.substr(from, found - from));
      path.append(drive);
      from = found + device.size();
      found = devicePath.find(device, from);
    }
    path.append(devicePath.substr(from));
    return path;
  }
  return Text(devicePath);
}

void ProcessInventory::RefreshDeviceMap() {
  deviceMap_.clear();
  for (const Text& root : processes_.ListDriveRoots()) {
    if (root.empty()) continue;  // a root always has at least its letter
    deviceMap_.push_back({processes_.QueryDeviceName(root), root.front()});
  }
}

Text ProcessInventory::GetProcessImagePath(uint32_t processId) {
  const Text devicePath = TrimAtNul(processes_.ImageFileNameInDeviceForm(processId));
  if (devicePath.empty()) return {};
  return ReplaceDeviceName(devicePath, deviceMap_);
}

Text ProcessInventory::GetProcessName(uint32_t processId) {
  return TrimAtNul(processes_.ProcessName(processId));
}

}  // namespace zc
