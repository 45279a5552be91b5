// The machine layer's pure rules: turning device-form image paths into drive-letter
// paths, and the text conversions of registry results and root-key texts.

#include <benchmark/benchmark.h>

#include <vector>

#include "core/machine/process_inventory.h"
#include "core/machine/process_termination.h"
#include "core/machine/registry_values.h"

namespace zc {
namespace {

DeviceMap TypicalDeviceMap() {
  return {{u"\\Device\\HarddiskVolume1", u'C'},
          {u"\\Device\\HarddiskVolume3", u'D'},
          {u"\\Device\\CdRom0", u'E'},
          {u"\\Device\\HarddiskVolume2", u'Z'}};
}

void BM_ReplaceDeviceName_LastDrive(benchmark::State& state) {
  const DeviceMap map = TypicalDeviceMap();
  const Text path = u"\\Device\\HarddiskVolume2\\Program Files\\Vendor\\Tool\\agent.exe";
  for (auto _ : state) benchmark::DoNotOptimize(ReplaceDeviceName(path, map));
}
BENCHMARK(BM_ReplaceDeviceName_LastDrive);

void BM_ReplaceDeviceName_NoMatch(benchmark::State& state) {
  const DeviceMap map = TypicalDeviceMap();
  const Text path = u"\\Device\\Mup\\server\\share\\folder\\remote.exe";
  for (auto _ : state) benchmark::DoNotOptimize(ReplaceDeviceName(path, map));
}
BENCHMARK(BM_ReplaceDeviceName_NoMatch);

void BM_TrimAtNul(benchmark::State& state) {
  Text name(260, u'\0');
  name.replace(0, 11, u"svchost.exe");
  for (auto _ : state) benchmark::DoNotOptimize(TrimAtNul(name));
}
BENCHMARK(BM_TrimAtNul);

void BM_RegistryValueToText_Bytes(benchmark::State& state) {
  const RegistryValue value{std::vector<uint8_t>(static_cast<size_t>(state.range(0)), 0x41)};
  for (auto _ : state) benchmark::DoNotOptimize(RegistryValueToText(value));
  state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_RegistryValueToText_Bytes)->Arg(64)->Arg(4096);

void BM_RegistryValueToText_Number(benchmark::State& state) {
  const RegistryValue value{int32_t{-2147483647}};
  for (auto _ : state) benchmark::DoNotOptimize(RegistryValueToText(value));
}
BENCHMARK(BM_RegistryValueToText_Number);

void BM_ParseRootKeyText(benchmark::State& state) {
  const Text texts[] = {u"-2147483647", u"&H80000002"};
  size_t i = 0;
  for (auto _ : state) benchmark::DoNotOptimize(ParseRootKeyText(texts[i++ & 1]));
}
BENCHMARK(BM_ParseRootKeyText);

void BM_TaskkillByImageNameCommand(benchmark::State& state) {
  const Text name = u"zombie-agent.exe";
  for (auto _ : state) benchmark::DoNotOptimize(TaskkillByImageNameCommand(name));
}
BENCHMARK(BM_TaskkillByImageNameCommand);

}  // namespace
}  // namespace zc
