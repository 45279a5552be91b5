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

bool LeavesItsFolder(char16_t c) {
  return c < 0x20 || c == 0x7F || c == u'\\' || c == u'/' || c == u':' || c == u'*' || c == u'?' || c == u'"' ||
         c == u'<' || c == u'>' || c == u'|';
}

}  // namespace

Text BackupName(TextView name) {
  Text plain(name);
  for (char16_t& c : plain) {
    if (LeavesItsFolder(c)) c = u'_';
  }
  if (!plain.empty() && plain.find_first_not_of(u'.') == Text::npos) plain.assign(plain.size(), u'_');
  return plain;
}

Text FreeBackupPath(FileApi& files, TextView folder, TextView name) {
  const Text plain = BackupName(name);
  Text path = Join(folder, plain);
  for (int number = 2; files.FileLength(path).has_value(); ++number) {
    if (number > kMaxNumberedNames) return {};
    path = Join(folder, plain + u" (" + DecimalText(number) + u")");
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
