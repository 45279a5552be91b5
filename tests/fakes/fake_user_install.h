#pragma once
// The user's folders in memory, with the platform's rules: paths compare ignoring letter
// case; a folder with anything inside cannot be removed (error 145), nor a file that is
// in use (error 32); a link is never followed. Every removal is recorded.

#include <map>
#include <set>
#include <vector>

#include "core/base/text.h"
#include "core/platform/user_install_api.h"

namespace zc::fakes {

class FakeUserInstall : public UserInstallApi {
 public:
  Text localAppData = u"C:\\Users\\kim\\AppData\\Local";
  Text startMenu = u"C:\\Users\\kim\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs";
  Text runningProgram = u"C:\\Program Files\\ZombieCure\\ZombieCure.exe";
  std::set<Text> inUse;         // folded paths whose delete fails with a sharing violation
  std::set<Text> stays;         // folded paths a delete reports as done but leaves in place
  std::vector<Text> removedKeys;
  SystemError keyAnswer = SystemError::None;

  void Put(TextView path, PathKind kind) { paths_[FoldCase(path)] = kind; }
  PathKind At(TextView path) const {
    auto it = paths_.find(FoldCase(path));
    return it == paths_.end() ? PathKind::Absent : it->second;
  }

  Text LocalAppDataFolder() override { return localAppData; }
  Text StartMenuProgramsFolder() override { return startMenu; }
  Text RunningProgramPath() override { return runningProgram; }
  PathKind Inspect(TextView path) override { return At(path); }

  SystemError RemoveFile(TextView path) override {
    const Text folded = FoldCase(path);
    if (At(path) != PathKind::File) return SystemError::FileNotFound;
    if (inUse.count(folded)) return SystemError::SharingViolation;
    if (!stays.count(folded)) paths_.erase(folded);
    return SystemError::None;
  }
  SystemError RemoveEmptyFolder(TextView path) override {
    if (At(path) != PathKind::Folder) return SystemError::PathNotFound;
    const Text prefix = FoldCase(path) + u"\\";
    for (const auto& [other, kind] : paths_) {
      if (other.rfind(prefix, 0) == 0) return static_cast<SystemError>(145);  // ERROR_DIR_NOT_EMPTY
    }
    paths_.erase(FoldCase(path));
    return SystemError::None;
  }
  SystemError RemoveUserKey(TextView keyPath) override {
    removedKeys.emplace_back(keyPath);
    return keyAnswer;
  }

 private:
  std::map<Text, PathKind> paths_;
};

}  // namespace zc::fakes
