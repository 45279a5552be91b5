// The treatment's steps on a suspect file through one opening of it: the path is looked
// up once, at the first step, and every later step (the copy, the attributes, the
// delete or the move, the placeholder) reaches the very file and folder that were
// opened then, however long the pauses between them, while the folders above it are held
// so that nobody can swap one for a junction meanwhile. Also the one step that still
// goes by name: the deletion at the next restart.

#include "core/engine/backup_copy.h"
#include "core/engine/file_target.h"
#include "core/engine/step_failure.h"
#include "core/engine/treatment_pass.h"

namespace zc {
namespace {

constexpr uint32_t kPlaceholderAttributes = kAttributeReadOnly | kAttributeHidden | kAttributeSystem;

bool NothingThere(SystemError error) {
  return error == SystemError::FileNotFound || error == SystemError::PathNotFound;
}

// Another program holds the file open without letting others delete it: no opening with
// delete access is possible until it lets go, so the file is copied and marked for
// deletion at the restart by its name, as without openings.
bool HeldByAnother(SystemError error) { return error == SystemError::SharingViolation; }

}  // namespace

bool TreatmentPass::TakenByPath(const PlannedFile& file) const {
  const auto refused = pinRefused_.find(file.path);
  return refused != pinRefused_.end() && HeldByAnother(refused->second);
}

SuspectFile* TreatmentPass::Pinned(const PlannedFile& file) {
  if (pinRefused_.count(file.path)) return nullptr;
  if (const auto it = pinned_.find(file.path); it != pinned_.end()) return it->second.get();
  SystemError error = SystemError::None;
  std::unique_ptr<SuspectFile> opened = m_.suspectFiles->Open(file.path, error);
  if (!opened) {
    pinRefused_[file.path] = error;
    // A path whose folder is gone has nothing to take; anything else keeps the file.
    if (!NothingThere(error) && !HeldByAnother(error)) Check(enc::StepPinFile, error == SystemError::None ? SystemError::InvalidHandle : error);
    return nullptr;
  }
  return (pinned_[file.path] = std::move(opened)).get();
}

BackupState TreatmentPass::CopyPinned(const PlannedFile& file) {
  lastBackupCopy_.clear();
  if (!NamesFileOrNothing(m_.files, file.path)) return BackupState::NotAFile;
  SuspectFile* pinned = Pinned(file);
  if (!pinned && TakenByPath(file))
    return CopyIntoBackup(m_.files, file.path, currentBackupFolder_, file.name, &lastBackupCopy_);
  if (!pinned) {
    const auto refused = pinRefused_.find(file.path);
    return refused != pinRefused_.end() && NothingThere(refused->second) ? BackupState::NothingToLose
                                                                         : BackupState::NotSecured;
  }
  if (!pinned->HoldsFile() || !pinned->Length()) return BackupState::NothingToLose;
  const Text destination = FreeBackupPath(m_.files, currentBackupFolder_, file.name);
  if (destination.empty()) return BackupState::NotSecured;
  if (pinned->CopyTo(destination) != SystemError::None) return BackupState::NotSecured;
  lastBackupCopy_ = destination;
  return BackupState::Secured;
}

bool TreatmentPass::RemoveAndBlockPinned(const PlannedFile& file, BackupState backup) {
  SuspectFile* pinned = Pinned(file);
  if (!pinned) return false;  // nothing there, or the refusal is noted: the file stays
  Status(enc::AttributeStatus);
  if (pinned->HoldsFile()) pinned->ClearAttributes();
  view_.Delay(1.5f);
  Status(enc::DeleteStatus);
  const bool secured = backup == BackupState::Secured;
  if (secured) {
    const SystemError removed = pinned->Delete();
    if (removed != SystemError::None) {
      // A running image cannot be deleted but can be renamed away on its own volume.
      const Text aside = FreeBackupPath(m_.files, currentBackupFolder_, file.name);
      if (!aside.empty() && pinned->MoveTo(aside) == SystemError::None) {
        log_.Log_Trans(texts_.Get(enc::LogMovedText) + aside + texts_.Get(enc::LogLineEnd), LogFolder());
      } else {
        Check(enc::StepDeleteFile, removed);
        pinned_.erase(file.path);  // let go: the restart deletes by name
        QueueForRestart(file);
        view_.Delay(2);
        return false;
      }
    }
  }
  view_.Delay(2);
  // A folder at the file's own name keeps the file from being written there again; it is
  // made only where nothing is left.
  if (!pinned->NameIsFree()) {
    if (backup == BackupState::NothingToLose) Fail(KeptFileLine(file));
    return false;
  }
  const SystemError made = pinned->MakePlaceholderFolder(kPlaceholderAttributes);
  return secured ? Check(enc::StepPlaceholder, made) : made == SystemError::None;
}

void TreatmentPass::QueueForRestart(const PlannedFile& file) {
  const Text windows = m_.processes.WindowsFolder();
  if (windows.empty() || LiesInFolder(file.path, windows)) {
    // Nothing in the Windows folder is left for the restart to delete.
    Fail(file.name + u": " + texts_.Get(enc::KeptWindowsRestartText) + file.path + texts_.Get(enc::LogLineEnd));
  } else if (m_.files.RemoveAtRestart(file.path) == SystemError::None) {
    // The exact entry the restart will carry out, so that a restore can take it back.
    recorder_.PendingDeletion(file.path);
    restartNeeded_ = true;
    ++restartLines_;
    Fail(texts_.Get(enc::LogRestartText) + file.path + texts_.Get(enc::LogLineEnd));
  }
}

}  // namespace zc
