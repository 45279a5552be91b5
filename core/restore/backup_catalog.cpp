#include "core/restore/backup_catalog.h"

#include <algorithm>
#include <array>

#include "core/restore/record_reader.h"
#include "core/restore/restore_runner.h"
#include "core/restore/treatment_recorder.h"

namespace zc {
namespace {

Text Summary(const ConstantTexts& texts, const TreatmentRecord& treatment) {
  std::array<int, 4> counts{};  // files, values, services, processes
  for (const TreatmentStep& step : treatment.steps) {
    if (std::holds_alternative<FileStep>(step)) ++counts[0];
    if (std::holds_alternative<RegistryValueStep>(step)) ++counts[1];
    if (std::holds_alternative<ServiceDeleteStep>(step) || std::holds_alternative<ServiceStartStep>(step)) ++counts[2];
    if (std::holds_alternative<EndedProcessStep>(step)) ++counts[3];
  }
  const std::array<TextView, 4> labels = {enc::RestoreSummaryFile, enc::RestoreSummaryValue,
                                          enc::RestoreSummaryService, enc::RestoreSummaryProcess};
  Text summary;
  for (size_t i = 0; i < counts.size(); ++i) {
    if (counts[i] == 0) continue;
    if (!summary.empty()) summary += u", ";
    summary += texts.Get(labels[i]) + DecimalText(counts[i]);
  }
  return summary;
}

}  // namespace

std::vector<CatalogRow> ListRecordedTreatments(const ConstantTexts& texts, RestoreFilesApi& files,
                                               TextView backupRoot, bool ownStore) {
  std::vector<CatalogRow> rows;
  Text root(backupRoot);
  while (!root.empty() && root.back() == u'\\') root.pop_back();
  for (const Text& name : files.ListFolders(root)) {
    const Text folder = root + u"\\" + name;
    const Text recordPath = TreatmentRecorder::RecordPath(texts, folder);
    // A record over the limit is not read here either: the list never waits on one.
    const RecordFile record = ReadRecordFile(files, recordPath);
    if (!record.content) continue;
    for (const TreatmentRecord& treatment : ReadTreatmentRecord(*record.content).treatments) {
      rows.push_back({folder, treatment.number, treatment.name, treatment.time, Summary(texts, treatment),
                      treatment.restored, ownStore});
    }
  }
  std::stable_sort(rows.begin(), rows.end(), [](const CatalogRow& a, const CatalogRow& b) {
    return a.time != b.time ? a.time > b.time : a.number > b.number;
  });
  return rows;
}

}  // namespace zc
