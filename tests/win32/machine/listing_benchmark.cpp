// Times one acquisition of both listings (connections, then services) per route under
// Wine or Windows and prints, per route, the median wall time and the median CPU time
// of this process, and the listings' sizes. The console route's CPU is spent mostly in
// the processes it starts (and, under Wine, in the Wine server), which this process's
// own times do not show: scripts/measure-monitoring.sh counts the whole tree.
//
//   listing_benchmark [repetitions] [tables|console|auto] [connections|services]
//
// All three routes when no route is named; both listings when neither is named.

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/engine/listing_route.h"
#include "core/texts/constant_texts.h"
#include "win32/machine/win32_connection_table.h"
#include "win32/machine/win32_console.h"
#include "win32/machine/win32_service_table.h"

namespace {

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
  LARGE_INTEGER frequency;
  ::QueryPerformanceFrequency(&frequency);
  return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double OwnCpuSeconds() {
  FILETIME created, exited, kernel, user;
  ::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernel, &user);
  const auto ticks = [](FILETIME t) { return (static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
  return static_cast<double>(ticks(kernel) + ticks(user)) / 1e7;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

const char* WayName(zc::ListingWay way) {
  switch (way) {
    case zc::ListingWay::Tables: return "tables";
    case zc::ListingWay::Console: return "console";
    case zc::ListingWay::None: break;
  }
  return "none";
}

void Run(const char* label, zc::ListingRouteChoice choice, int repetitions, const std::string& which) {
  const bool connections = which != "services", servicesToo = which != "connections";
  zc::SilentFailureReporter reporter;
  zc::ConstantTexts texts(reporter);
  zc::win::Win32Console console;
  zc::win::Win32ConnectionTable connectionTable;
  zc::win::Win32ServiceTable serviceTable;
  zc::ListingRoute route(texts, console, connectionTable, serviceTable, choice);
  std::vector<double> wall, cpu;
  size_t connectionSize = 0, serviceSize = 0;
  for (int i = 0; i < repetitions; ++i) {
    LARGE_INTEGER start, end;
    const double cpuStart = OwnCpuSeconds();
    ::QueryPerformanceCounter(&start);
    if (connections) connectionSize = route.ConnectionListing().size();
    if (servicesToo) serviceSize = route.ServiceListing().size();
    ::QueryPerformanceCounter(&end);
    cpu.push_back(OwnCpuSeconds() - cpuStart);
    wall.push_back(Seconds(start, end));
  }
  std::printf("%-8s %-11s: median %7.1f ms wall, %6.1f ms CPU of this process "
              "(connections %zu chars by %s, services %zu chars by %s)\n",
              label, which.empty() ? "both" : which.c_str(), Median(wall) * 1000, Median(cpu) * 1000, connectionSize, WayName(route.lastConnectionWay()),
              serviceSize, WayName(route.lastServiceWay()));
}

}  // namespace

int main(int argc, char** argv) {
  const int repetitions = argc > 1 ? std::max(1, std::atoi(argv[1])) : 9;
  const std::string only = argc > 2 ? argv[2] : "";
  const std::string which = argc > 3 ? argv[3] : "";
  if (only.empty() || only == "tables") Run("tables", zc::ListingRouteChoice::Tables, repetitions, which);
  if (only.empty() || only == "console") Run("console", zc::ListingRouteChoice::Console, repetitions, which);
  if (only.empty() || only == "auto") Run("auto", zc::ListingRouteChoice::Auto, repetitions, which);
  return 0;
}
