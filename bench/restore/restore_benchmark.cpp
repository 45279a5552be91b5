// Reading and planning the largest record the restore accepts: one treatment of
// service pairs (a Start entry and a deletion each) filling up to 1 MiB, and the
// same count as a flat 32,000 pairs in memory. Both run on the window's thread when a
// record is chosen, so they must stay far below anything a user would notice.

#include <benchmark/benchmark.h>

#include <string>

#include "core/restore/record_entries.h"
#include "core/restore/record_reader.h"
#include "core/restore/restore_plan.h"
#include "core/restore/restore_runner.h"

namespace zc {
namespace {

std::string ServicePairs(int pairs, size_t limit) {
  std::string content = FormatRecordLine(BeginLine(1, u"2026-12-10 10:00:00", u"a.exe", u"service Hide"));
  for (int i = 0; i < pairs; ++i) {
    const Text name = u"Svc" + DecimalText(i);
    ServiceConfig config;
    config.name = name;
    config.imagePath = u"C:\\s\\" + name + u".exe";
    config.serviceType = 0x10;
    config.startType = 4;
    config.account = u"LocalSystem";
    std::string pair = FormatRecordLine(StepLine(1, ServiceStartStep{name, 2})) +
                       FormatRecordLine(StepLine(1, ServiceDeleteStep{config}));
    if (content.size() + pair.size() > limit) break;
    content += pair;
  }
  return content;
}

RestoreLimits Limits() {
  RestoreLimits limits;
  limits.serviceRoot = static_cast<int32_t>(0x80000002u);
  limits.serviceKeyPrefix = u"SYSTEM\\CurrentControlSet\\Services\\";
  return limits;
}

void BM_ReadAndPlan(benchmark::State& state, size_t limit) {
  const std::string content = ServicePairs(32000, limit);
  for (auto _ : state) {
    const RecordReading reading = ReadTreatmentRecord(content);
    const RestorePlan plan = PlanRestore(reading, u"C:\\b\\a.exe", Limits());
    benchmark::DoNotOptimize(plan.treatments.data());
  }
  state.counters["bytes"] = static_cast<double>(content.size());
}

void BM_ReadAndPlanAFullRecord(benchmark::State& state) { BM_ReadAndPlan(state, kMaxRecordBytes); }
void BM_ReadAndPlan32000ServicePairs(benchmark::State& state) { BM_ReadAndPlan(state, std::string::npos); }

BENCHMARK(BM_ReadAndPlanAFullRecord)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadAndPlan32000ServicePairs)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace zc


