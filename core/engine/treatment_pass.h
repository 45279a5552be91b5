#pragma once
// The treatment pass: takes the Findings off the result list one at a time from the
// top and treats each by its kind. Processes are ended; services are stopped, set not
// to start and deleted; registry values are deleted; the offending file is copied into
// a backup folder named after the Finding, deleted and replaced by a hidden system
// folder; what was done is written into the activity log of the backup folder, which
// is then opened in the file explorer. Every failing step is skipped.
//
// Only what the Finding names is touched: a process is ended by id only while that id
// still runs the Finding's image, by name only where its image is the Finding's file
// (see finding_processes.h); the file steps apply only to a path that names a file or
// nothing (see file_target.h), and a file without a whole backup copy stays.

#include <cstdint>
#include <vector>

#include "core/base/text.h"
#include "core/engine/backup_copy.h"
#include "core/engine/finding_processes.h"
#include "core/platform/activity_log.h"
#include "core/platform/console_api.h"
#include "core/platform/file_api.h"
#include "core/platform/main_window_view.h"
#include "core/platform/process_api.h"
#include "core/platform/registry_api.h"
#include "core/platform/result_list.h"
#include "core/platform/shell_api.h"
#include "core/restore/treatment_recorder.h"
#include "core/texts/constant_texts.h"

namespace zc {

class TreatmentPass {
 public:
  TreatmentPass(const ConstantTexts& texts, ResultList& results, MainWindowView& view, ActivityLog& log,
                FileApi& files, ShellApi& shell, ConsoleApi& console, ProcessApi& processes,
                RegistryApi& registry, TreatmentRecorder& recorder)
      : texts_(texts), results_(results), view_(view), log_(log), files_(files), shell_(shell),
        console_(console), processes_(processes), registry_(registry), recorder_(recorder) {}

  // Treats as many rows as the list holds when the pass starts. A call made while a pass
  // is running (from a click handled inside one of its waits) does nothing.
  void TreatFindings();

  // Rows taken off the list since the program started.
  int32_t TreatedCount() const { return treatedCount_; }

  // The backup folder of the Finding treated last: BackupPrefix followed by its name,
  // without a trailing separator. Empty after a pass that treated nothing.
  const Text& CurrentBackupFolder() const { return currentBackupFolder_; }

 private:
  struct Finding {
    Text name;
    Text processId;
    Text path;
    Text detail;
    Text kind;
    Text entryName;
  };
  enum class Outcome { Treated, ProgramEnded };

  Finding ReadTopRow();
  Outcome Treat(const Finding& finding);
  Outcome TreatProcess(const Finding& finding);
  void TreatService(const Finding& finding);
  void TreatRegistryEntry(const Finding& finding);

  // Step groups shared by the treatments.
  void BeginBackupFolder(const Finding& finding);
  // Ends the Finding's process by id when the id still runs the Finding's image (else
  // logs that it did not), then the other running copies of that image.
  void EndSuspectProcess(const Finding& finding);
  BackupState CopyToStore(const Finding& finding);
  BackupState BackupCopy(const Finding& finding);
  void BackupStatus(BackupState backup);
  void RemoveAndBlock(const Finding& finding, BackupState backup);
  void ReportTreatment(const std::vector<Text>& lines);
  // The standard log lines of a Finding: what was treated, its path, and the closing
  // lines, or in their place the line that says the file was kept.
  std::vector<Text> StandardLines(const Finding& finding, BackupState backup) const;
  Text LogFolder() const;

  bool IsEmptyFile(TextView path);
  void Status(TextView enciphered);
  void LaunchServiceCommand(TextView enciphered, TextView serviceName);
  int32_t ServiceRoot() const;

  const ConstantTexts& texts_;
  ResultList& results_;
  MainWindowView& view_;
  ActivityLog& log_;
  FileApi& files_;
  ShellApi& shell_;
  ConsoleApi& console_;
  ProcessApi& processes_;
  RegistryApi& registry_;
  // Told before each destructive step, so that the treatment can be undone.
  TreatmentRecorder& recorder_;
  FindingProcesses suspects_{processes_, shell_};

  int32_t treatedCount_ = 0;
  Text currentBackupFolder_;
  bool storeSound_ = false;  // the Finding's backup folder is safe to write into
  Text lastBackupCopy_;  // the path of the Finding's backup copy; empty when none
  bool running_ = false;
};

}  // namespace zc
