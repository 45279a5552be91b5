#pragma once
// The account's local application data folder and the folders made in it, in memory; a
// folder can be refused (as a file or a link at its path would make it).

#include <set>

#include "core/platform/own_log_folder_api.h"

namespace zc::fakes {

class FakeOwnLogFolder : public OwnLogFolderApi {
 public:
  Text localAppData = u"C:\\Users\\kim\\AppData\\Local";
  SystemError makeAnswer = SystemError::None;
  std::set<Text> made;

  Text LocalAppDataFolder() override { return localAppData; }
  SystemError MakeFolder(TextView path) override {
    if (makeAnswer == SystemError::None) made.emplace(path);
    return makeAnswer;
  }
};

}  // namespace zc::fakes
