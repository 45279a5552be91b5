#pragma once
// Users' rights to delete files, as Windows' access check answers them for a token: a
// user may delete what lies in the folders they own (their profile) and nothing else;
// a user who is not logged on has no token here, so nothing can be told of them. The
// running account may end its own processes (at its own integrity level) and no other.

#include <map>
#include <set>
#include <vector>

#include "core/platform/user_rights_api.h"

namespace zc::fakes {

class FakeUserRights : public UserRightsApi {
 public:
  // SID → the folders whose files that user may delete.
  std::map<Text, std::vector<Text>> deletableFolders;
  std::vector<std::pair<Text, Text>> asked;  // (SID, path) of every question
  std::set<uint32_t> ownProcesses;           // the running account's, at its own level
  std::set<uint32_t> unreadableProcesses;    // the system would not say

  RightVerdict MayEndProcess(uint32_t processId) override {
    if (unreadableProcesses.count(processId)) return RightVerdict::Unknown;
    return ownProcesses.count(processId) ? RightVerdict::May : RightVerdict::MayNot;
  }

  DeleteVerdict MayDelete(TextView userSid, TextView path) override {
    asked.emplace_back(Text(userSid), Text(path));
    const auto user = deletableFolders.find(Text(userSid));
    if (user == deletableFolders.end()) return DeleteVerdict::Unknown;
    for (const Text& folder : user->second) {
      if (path.size() > folder.size() && path.substr(0, folder.size()) == folder && path[folder.size()] == u'\\')
        return DeleteVerdict::May;
    }
    return DeleteVerdict::MayNot;
  }
};

}  // namespace zc::fakes
