#include "core/engine/backup_copy.h"

#include <optional>

#include "core/engine/file_target.h"

namespace zc {
namespace {

constexpr int kMaxNumberedNames = 1000;

Text Join(TextView folder, TextView name) {
  Text path(folder);
  path.push_back(u'\\');
  path += name;
  return path;
}

}  // namespace

Text FreeBackupPath(FileApi& files, TextView folder, TextView name) {
  Text path = Join(folder, name);
  for (int number = 2; files.FileLength(path).has_value(); ++number) {
    if (number > kMaxNumberedNames) return {};
    path = Join(folder, Text(name) + u" (" + DecimalText(number) + u")");
  }
  return path;
}

BackupState CopyIntoBackup(FileApi& files, TextView source, TextView folder, TextView name) {
  if (!NamesFileOrNothing(files, source)) return BackupState::NotAFile;
  const std::optional<int64_t> sourceLength = files.FileLength(source);
  const Text destination = FreeBackupPath(files, folder, name);
  const bool copied = !destination.empty() && files.CopyFileTo(source, destination);
  if (!sourceLength) return BackupState::NothingToLose;
  if (copied && files.FileLength(destination) == sourceLength) return BackupState::Secured;
  return BackupState::NotSecured;
}

}  // namespace zc
