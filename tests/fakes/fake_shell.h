#pragma once
// Records every launched command line with its window state. `onLaunch` lets a test
// give a command its effect (a taskkill ending a fake process, say); `failAll` makes
// every launch fail. Web addresses opened are kept apart, in `openedAddresses`.

#include <functional>
#include <utility>
#include <vector>

#include "core/base/text.h"
#include "core/platform/shell_api.h"

namespace zc::fakes {

class FakeShell : public ShellApi {
 public:
  std::vector<std::pair<Text, WindowState>> launches;
  std::function<void(const Text& commandLine, WindowState state)> onLaunch;
  bool failAll = false;

  bool Launch(TextView commandLine, WindowState state) override {
    if (failAll) return false;
    launches.emplace_back(Text(commandLine), state);
    if (onLaunch) onLaunch(launches.back().first, state);
    return true;
  }

  std::vector<Text> openedAddresses;
  bool OpenWebAddress(TextView address) override {
    if (failAll) return false;
    openedAddresses.emplace_back(address);
    return true;
  }

  std::vector<Text> CommandLines() const {
    std::vector<Text> out;
    for (const auto& l : launches) out.push_back(l.first);
    return out;
  }
};

}  // namespace zc::fakes
