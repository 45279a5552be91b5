#include "core/machine/process_inventory.h"

namespace zc {

Text TrimAtNul(TextView text) {
  return Text(text.substr(0, text.find(u'\0')));
}

Text ReplaceDeviceName(TextView devicePath, const DeviceMap& map) {
  for (const DeviceMapEntry& entry : map) {
    const TextView device = entry.deviceName;
    if (device.empty()) continue;  // a drive whose device query failed names no path
    if (devicePath.substr(0, device.size()) != device) continue;
    const TextView rest = devicePath.substr(device.size());
    if (!rest.empty() && rest.front() != u'\\') continue;  // volume 1 is not volume 10
    Text path{entry.driveLetter, u':'};
    path.append(rest);
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
