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
// Each Finding is first turned into a plan (treatment_planner.h), which names every
// process, service, value and file to act on and why anything else is left alone: the
// bot's payload is taken, never the Windows program or runtime that hosts it, and
// Windows' own files, processes and services stay. The pass then carries the plan out,
// recording each step before it is taken. A process is ended by id only while that id
// still runs its image, by name only where its image is the bot's own file (see
// finding_processes.h); the file steps apply only to a path that names a file or
// nothing (see file_target.h), and a file without a whole backup copy stays.

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <vector>

#include "core/base/text.h"
#include "core/definitions/definitions_set.h"
#include "core/engine/backup_copy.h"
#include "core/engine/finding_processes.h"
#include "core/engine/treatment_plan.h"
#include "core/engine/treatment_planner.h"
#include "core/platform/activity_log.h"
#include "core/platform/main_window_view.h"
#include "core/platform/result_list.h"
#include "core/restore/treatment_recorder.h"
#include "core/texts/constant_texts.h"

namespace zc {

// What one pass did with one Finding.
struct TreatedFinding {
  Finding finding;
  TreatmentPlan plan;
  bool done = false;             // every step done: its row is off the list
  bool waitsForRestart = false;  // its only unfinished step is a deletion at the next restart
  std::vector<Text> failures;    // the failed steps, as the log names them
  Text backupFolder;             // empty when the Finding got none
};

class TreatmentPass {
 public:
  TreatmentPass(const ConstantTexts& texts, const DefinitionsSet& definitions, ResultList& results,
                MainWindowView& view, ActivityLog& log, const TreatmentMachine& machine, TreatmentRecorder& recorder)
      : texts_(texts), results_(results), view_(view), log_(log), m_(machine), recorder_(recorder),
        planner_(texts, definitions, machine, suspects_) {
    planner_.SetOwnAccountOnly(recorder.KeepsOwnAccountStore());
  }

  // Treats as many rows as the list holds when the pass starts. A call made while a pass
  // is running (from a click handled inside one of its waits) does nothing.
  void TreatFindings();

  // The plan a treatment would carry out for the Finding now, changing nothing.
  TreatmentPlan Preview(const Finding& finding) {
    suspects_.Refresh();
    return planner_.Plan(finding);
  }

  // The Finding in a row of the list, as the pass reads it.
  Finding ReadRow(int32_t row);

  // The running account's SID, recorded with the values of its own user root.
  void SetRunningUserSid(Text sid) {
    runningUserSid_ = sid;
    planner_.SetRunningUserSid(std::move(sid));
  }

  // The steps of `plan` that need an administrator when this pass keeps a standard
  // user's own store (see own_account_scope.h); empty for the machine's store, where
  // every step is taken. A Finding with such steps is left on the list untouched.
  std::vector<Text> NeedsAdministrator(const TreatmentPlan& plan);

  // True while a pass runs.
  bool Running() const { return running_; }

  // Rows taken off the list, every step done, since the program started.
  int32_t TreatedCount() const { return treatedCount_; }

  // Rows the last pass left on the list because a step failed.
  int32_t IncompleteCount() const { return incompleteCount_; }

  // Every Finding of the last pass, in the order they were treated.
  const std::vector<TreatedFinding>& LastPass() const { return lastPass_; }

  // A file of the last pass goes at the next restart.
  bool RestartNeeded() const { return restartNeeded_; }

  // Whether a treated Finding's backup folder is opened in the file explorer (the
  // window's pass); a silent run opens nothing.
  void SetOpensBackupFolder(bool opens) { opensBackupFolder_ = opens; }

  // The backup folder of the Finding treated last: the store's root and its name,
  // without a trailing separator. Empty after a pass that treated nothing.
  const Text& CurrentBackupFolder() const { return currentBackupFolder_; }

 private:
  enum class Outcome { Done, Incomplete, ProgramEnded };

  // Carries out the plan of one Finding by its flow.
  Outcome Carry(const TreatmentPlan& plan);
  Outcome CarryProcess(const TreatmentPlan& plan);
  Outcome CarryServiceProcess(const TreatmentPlan& plan);
  Outcome CarrySharedHost(const TreatmentPlan& plan);
  void CarryHiddenService(const TreatmentPlan& plan);
  void CarryRegistryValue(const TreatmentPlan& plan);

  // Step groups shared by the flows.
  void BeginBackupFolder(const TreatmentPlan& plan);
  // Ends each planned process while its id still runs its image (else logs that it did
  // not), then, for the bot's own program, its other running copies.
  void EndProcesses(const TreatmentPlan& plan);
  // Records the service's Start value, then disables it under its existing key.
  void DisableService(const PlannedService& service);
  // Asks the service manager to stop the service and counts the stop done when the
  // manager then reports it stopped or gone, whatever the request's answer.
  void StopService(const PlannedService& service);
  // Records the service, takes it out of its host group's list and deletes it.
  void DeleteService(const PlannedService& service);
  void DeleteValues(const TreatmentPlan& plan);
  // The backup state a plan without a file to take reports.
  static BackupState FileBackupState(const TreatmentPlan& plan);
  BackupState CopyToStore(const PlannedFile& file);
  BackupState BackupCopy(const PlannedFile& file);
  void BackupStatus(BackupState backup);
  // Takes the file away from its path (deleted, else moved into the backup folder, else
  // marked for deletion at restart outside the Windows folder) and puts the placeholder
  // there once the path is free. True when the placeholder stands where the file was.
  bool RemoveAndBlock(const PlannedFile& file, BackupState backup);
  // Backs up and blocks every planned file; false when one of them got no placeholder.
  bool TakeFiles(const TreatmentPlan& plan, BackupState& backup, bool copyFirst);
  void ReportTreatment(const std::vector<Text>& lines);
  // The log lines of a Finding. All steps done: what was treated, its path, and the
  // closing lines (or the line that says why the file was kept). Otherwise the line
  // that says the treatment is incomplete, its path and one line per failed step.
  std::vector<Text> ResultLines(const TreatmentPlan& plan, BackupState backup, bool blocked) const;
  // One line for each thing the plan left alone; those that keep the row are failures.
  void NoteKept(const TreatmentPlan& plan);
  Text KeptLine(const TreatmentPlan& plan, const KeptItem& item) const;
  Text LogFolder() const;

  // The file's one opening for every step of this Finding (see pinned_file_api.h), made
  // at its first step; nothing when the machine has no such openings or the opening was
  // refused (the failure is noted once).
  SuspectFile* Pinned(const PlannedFile& file);
  // The file's opening was refused because another program holds it without delete
  // sharing: its steps go by path (a copy, then the deletion at restart).
  bool TakenByPath(const PlannedFile& file) const;
  // The backup copy, read through the opening.
  BackupState CopyPinned(const PlannedFile& file);
  // RemoveAndBlock's steps through the opening: attributes, delete (else a move aside,
  // else a deletion at restart by name once the opening is let go), the placeholder in
  // the held folder.
  bool RemoveAndBlockPinned(const PlannedFile& file, BackupState backup);

  // Marks the file for deletion at the next restart (never in the Windows folder) and
  // notes it.
  void QueueForRestart(const PlannedFile& file);

  // Leaves the Finding in `row` as it is for an administrator's treatment: its row says
  // the first step that needs one, and the pass's record lists them all.
  void LeaveForAdministrator(int32_t row, TreatedFinding& treated, const std::vector<Text>& steps);

  // The code a check wrote into the Flag cell, without a failure reason a treatment added.
  static Text FlagCode(TextView flag);

  // Notes a failed step of the current Finding; true when `error` is `None`.
  bool Check(TextView step, SystemError error);
  void Fail(Text line);
  Text KeptFileLine(const PlannedFile& file) const;
  bool IsEmptyFile(TextView path);
  void Status(TextView enciphered);
  int32_t ServiceRoot() const;

  const ConstantTexts& texts_;
  ResultList& results_;
  MainWindowView& view_;
  ActivityLog& log_;
  TreatmentMachine m_;
  // Told before each destructive step, so that the treatment can be undone.
  TreatmentRecorder& recorder_;
  FindingProcesses suspects_{m_.processes, m_.shell};
  TreatmentPlanner planner_;

  int32_t treatedCount_ = 0;
  int32_t incompleteCount_ = 0;
  int32_t leftForAdministrator_ = 0;  // rows of the last pass that need an administrator
  Text runningUserSid_;
  std::vector<Text> failures_;  // the failed steps of the Finding being treated
  std::vector<Text> keptLines_; // what the Finding's plan left alone, for its log
  bool restartNeeded_ = false;  // a file of this pass goes at the next restart
  int32_t restartLines_ = 0;    // the failures of this Finding that are deletions at restart
  bool beganBackupFolder_ = false;  // the Finding being treated has a backup folder
  bool opensBackupFolder_ = true;
  std::vector<TreatedFinding> lastPass_;
  // The openings of this Finding's files, by path; let go when the Finding is done.
  std::map<Text, std::unique_ptr<SuspectFile>> pinned_;
  std::map<Text, SystemError> pinRefused_;  // paths whose opening was refused, and why
  Text currentBackupFolder_;
  bool storeSound_ = false;  // the Finding's backup folder is safe to write into
  Text lastBackupCopy_;  // the path of the Finding's backup copy; empty when none
  bool running_ = false;
};

}  // namespace zc
