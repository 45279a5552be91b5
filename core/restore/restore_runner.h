#pragma once
// Undoes the treatments recorded in one backup folder: every treatment not yet restored,
// newest first. A file goes back only when its backup copy still has the recorded
// digest, and only after our empty placeholder folder has gone (any other folder, and
// any different file now at the place, is left alone and reported). A registry value
// goes back with its type and data unless a different value has taken its place. A
// deleted service is created again from its configuration; a Start value is set back.
// Before anything is done, every record's steps are listed in one question (files to put
// back and where, values with their data, services) and nothing happens without an
// explicit yes. A record that is not known to be ours (see backup_store.h) is then
// acted on only step by step, each step shown in full and taken only on the user's
// yes, and never creates a service, sets a service's Start or writes under HKLM. Trust
// is judged afresh for every restore: one runner restores many folders. Only a folder directly under
// the backup root is restored, and a record over 1 MiB is not read.
// Each step done goes into the folder's activity log; a treatment whose steps all
// succeeded gets a "restored" entry appended to its record. A record that is missing or
// cannot be read changes nothing.

#include <string>
#include <vector>

#include "core/base/text.h"
#include "core/platform/activity_log.h"
#include "core/platform/clock_api.h"
#include "core/platform/event_log_api.h"
#include "core/platform/file_hash_api.h"
#include "core/platform/raw_registry_api.h"
#include "core/platform/restore_files_api.h"
#include "core/platform/security_api.h"
#include "core/platform/service_manager_api.h"
#include "core/restore/record_line.h"
#include "core/restore/restore_plan.h"
#include "core/restore/store_location.h"
#include "core/texts/constant_texts.h"

namespace zc {

// Asks the user whether to restore a record (the list of its steps), and whether to take
// one step of a record that is not known to be ours.
class StepConfirmation {
 public:
  virtual ~StepConfirmation() = default;
  // `question` says what would be done, in full. True only for an explicit yes.
  virtual bool Confirm(TextView question) = 0;
};

// Records longer than this are not read.
inline constexpr int64_t kMaxRecordBytes = 1024 * 1024;

// A record file's bytes: nothing when it cannot be read or is over the limit (at most the
// limit and one byte are read, so a huge file is never read whole).
struct RecordFile {
  std::optional<std::string> content;
  bool tooLarge = false;
};
RecordFile ReadRecordFile(RestoreFilesApi& files, TextView path);

struct RestoreParts {
  const ConstantTexts& texts;
  RestoreFilesApi& files;
  FileHashApi& hashes;
  RawRegistryApi& registry;
  ServiceManagerApi& services;
  ClockApi& clock;
  ActivityLog& log;
  SecurityApi& security;
  StepConfirmation& confirm;
  EventLogApi* events = nullptr;  // each restore's event, where the program writes them
  // The store whose folders are restored: the machine's unless told otherwise. A
  // standard user's own store never takes a step beyond that user's hive and files.
  StoreLocation store{};
};

struct RestoreOutcome {
  // One line for each step that could not be done, or why the record was refused.
  std::vector<Text> problems;
  bool recordRefused = false;  // the record is missing or cannot be trusted: nothing was changed
  int restoredTreatments = 0;
  bool Succeeded() const { return problems.empty(); }
};

// The message box text for an outcome with problems: the refusal of the record, or the
// steps that could not be done, one a line.
Text RestoreProblemsMessage(const ConstantTexts& texts, const RestoreOutcome& outcome);

class RestoreRunner {
 public:
  RestoreRunner(const RestoreParts& parts, RestoreLimits limits) : p_(parts), limits_(std::move(limits)) {}

  // Restores the treatments recorded in the folder, then writes one event: restored, or
  // the folder and every problem.
  RestoreOutcome Restore(TextView backupFolder);

  // The limits of what this program's treatment touches, from its text constants.
  static RestoreLimits TreatmentLimits(const ConstantTexts& texts);

 private:
  enum class StepResult { Done, AlreadyInPlace, Failed };
  // Lists the plan's steps and asks once; true on an explicit yes, or when no step may
  // be taken at all.
  bool ConfirmOverview(const RestorePlan& plan, bool trusted);
  bool MayTake(const UndoStep& step, bool trusted, Text& said);
  // A step this record may not take at all: one beyond an own store's account, or one
  // that changes the whole machine on the word of a record not known to be ours.
  bool Refused(const UndoStep& step, bool trusted) const;
  Text Describe(const UndoStep& step) const;
  RestoreOutcome RestoreFolder(TextView backupFolder);
  StepResult Run(const PlaceFileBack& step, Text& said);
  StepResult Run(const PutValueBack& step, Text& said);
  StepResult Run(const RecreateService& step, Text& said);
  StepResult Run(const SetStartBack& step, Text& said);
  bool IsOurPlaceholder(TextView path, uint32_t attributes);
  bool CancelQueuedDeletion(const PlaceFileBack& step, Text& said);
  Text Said(TextView enciphered, TextView subject) const;
  bool AppendEntry(const RecordLine& line);

  RestoreParts p_;
  RestoreLimits limits_;
  // The record being restored, for the entries the restore appends to it.
  Text recordPath_;
  Text folderName_;
  std::string sealKey_;
  bool needsLineEnd_ = false;  // the record ends in a line cut short by a crash
  int treatment_ = 0;          // the treatment whose steps are being undone
};

}  // namespace zc
