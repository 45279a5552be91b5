#pragma once
// The treatment pass: takes the Findings off the result list one at a time from the
// top and treats each by its kind. Processes are ended; services are stopped, set not
// to start and deleted; registry values are deleted; the offending file is copied into
// a backup folder named after the Finding, deleted and replaced by a hidden system
// folder; what was done is written into the activity log of the backup folder, which
// is then opened in the file explorer.
//
// Every step that changes the machine is checked. A Finding is counted and its row
// taken off the list only when every step it needed succeeded; otherwise its row stays
// with the first failed step in its last cell, the log names each failed step with its
// reason and error number, and the status line says the treatment is incomplete. A
// file that cannot be deleted is moved into its backup folder where that works, else
// marked for deletion at the next restart; no placeholder is made while the file is
// still at its path.
//
// Only what the Finding names is touched: a process is ended by id only while that id
// still runs the Finding's image, by name only where its image is the Finding's file
// (see finding_processes.h); the file steps apply only to a path that names a file or
// nothing (see file_target.h), and a file without a whole backup copy stays.

#include <cstdint>
#include <vector>

#include "core/base/text.h"
#include "core/engine/backup_copy.h"
#include "core/engine/command_line_file.h"
#include "core/engine/finding_processes.h"
#include "core/platform/activity_log.h"
#include "core/platform/environment_api.h"
#include "core/platform/file_api.h"
#include "core/platform/main_window_view.h"
#include "core/platform/process_api.h"
#include "core/platform/registry_api.h"
#include "core/platform/service_manager_api.h"
#include "core/platform/result_list.h"
#include "core/platform/shell_api.h"
#include "core/restore/treatment_recorder.h"
#include "core/texts/constant_texts.h"

namespace zc {

class TreatmentPass {
 public:
  TreatmentPass(const ConstantTexts& texts, ResultList& results, MainWindowView& view, ActivityLog& log,
                FileApi& files, ShellApi& shell, ProcessApi& processes, RegistryApi& registry,
                ServiceManagerApi& services, EnvironmentApi& environment, TreatmentRecorder& recorder)
      : texts_(texts), results_(results), view_(view), log_(log), files_(files), shell_(shell),
        processes_(processes), registry_(registry), services_(services), recorder_(recorder),
        commandLines_(texts, files, environment, processes, registry) {}

  // Treats as many rows as the list holds when the pass starts. A call made while a pass
  // is running (from a click handled inside one of its waits) does nothing.
  void TreatFindings();

  // Rows taken off the list, every step done, since the program started.
  int32_t TreatedCount() const { return treatedCount_; }

  // Rows the last pass left on the list because a step failed.
  int32_t IncompleteCount() const { return incompleteCount_; }

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
    Text flag;  // the check's code at the start of the Flag cell (a registry Finding's view)
  };
  enum class Outcome { Done, Incomplete, ProgramEnded };

  Finding ReadRow(int32_t row);
  Outcome Treat(const Finding& finding);
  Outcome TreatProcess(const Finding& finding);
  Outcome TreatServiceHost(const Finding& finding);
  void TreatService(const Finding& finding);
  void TreatRegistryEntry(const Finding& finding);

  // Step groups shared by the treatments.
  void BeginBackupFolder(const Finding& finding);
  // Ends the Finding's process by id when the id still runs the Finding's image (else
  // logs that it did not), then the other running copies of that image.
  void EndSuspectProcess(const Finding& finding);
  BackupState CopyToStore(TextView path, TextView name);
  BackupState BackupCopy(const Finding& finding);
  void BackupStatus(BackupState backup);
  // Takes the file away from its path (deleted, else moved into the backup folder, else
  // marked for deletion at restart) and puts the placeholder there once the path is
  // free. True when the placeholder stands where the file was.
  bool RemoveAndBlock(const Finding& finding, BackupState backup);
  void ReportTreatment(const std::vector<Text>& lines);
  // The log lines of a Finding. All steps done: what was treated, its path, and the
  // closing lines (or the line that says why the file was kept). Otherwise the line
  // that says the treatment is incomplete, its path and one line per failed step.
  std::vector<Text> ResultLines(const Finding& finding, BackupState backup, bool blocked) const;
  Text LogFolder() const;

  // Notes a failed step of the current Finding; true when `error` is `None`.
  bool Check(TextView step, SystemError error);
  void Fail(Text line);
  Text KeptFileLine(const Finding& finding) const;
  // A registry or service Finding with its Path made the file its command line starts.
  // NotAFile for a path that names a folder, NotFound when it names no existing file
  // (`target` keeps the text as found), else NothingToLose.
  BackupState ResolveFile(const Finding& finding, Finding& target);
  bool IsEmptyFile(TextView path);
  void Status(TextView enciphered);
  int32_t ServiceRoot() const;

  const ConstantTexts& texts_;
  ResultList& results_;
  MainWindowView& view_;
  ActivityLog& log_;
  FileApi& files_;
  ShellApi& shell_;
  ProcessApi& processes_;
  RegistryApi& registry_;
  ServiceManagerApi& services_;
  // Told before each destructive step, so that the treatment can be undone.
  TreatmentRecorder& recorder_;
  FindingProcesses suspects_{processes_, shell_};
  // The file a registry or service Finding's command line starts.
  CommandLineFiles commandLines_;

  int32_t treatedCount_ = 0;
  int32_t incompleteCount_ = 0;
  std::vector<Text> failures_;  // the failed steps of the Finding being treated
  bool restartNeeded_ = false;  // a file of this pass goes at the next restart
  Text currentBackupFolder_;
  bool storeSound_ = false;  // the Finding's backup folder is safe to write into
  Text lastBackupCopy_;  // the path of the Finding's backup copy; empty when none
  bool running_ = false;
};

}  // namespace zc
