#include "core/engine/file_target.h"

namespace zc {

TextView FileNameOf(TextView path) {
  const size_t cut = path.find_last_of(u"\\/");
  return cut == TextView::npos ? path : path.substr(cut + 1);
}

bool HasFolderForm(TextView path) {
  const bool driveRelative = path.size() >= 2 && path[1] == u':';
  const size_t cut = path.find_last_of(u"\\/");
  TextView last = path;
  if (cut != TextView::npos) {
    last = path.substr(cut + 1);
  } else if (driveRelative) {
    last = path.substr(2);  // "C:" is drive C's current folder; "C:.." its parent
  } else if (path.empty()) {
    return false;  // names nothing
  }
  return last.empty() || last == u"." || last == u"..";
}

bool NamesFileOrNothing(FileApi& files, TextView path) {
  return !HasFolderForm(path) && !files.IsFolder(path);
}

}  // namespace zc
