#pragma once
// Console capture that answers each command line with a prepared output (empty for an
// unknown command, as for a program that cannot be started) and records every call.

#include <map>
#include <vector>

#include "core/base/text.h"
#include "core/platform/console_api.h"

namespace zc::fakes {

class FakeConsole : public ConsoleApi {
 public:
  void SetOutput(TextView commandLine, TextView output) { outputs[Text(commandLine)] = Text(output); }

  std::map<Text, Text> outputs;
  std::vector<Text> calls;

  Text RunCapture(TextView commandLine) override {
    calls.emplace_back(commandLine);
    auto it = outputs.find(Text(commandLine));
    return it == outputs.end() ? Text() : it->second;
  }
};

}  // namespace zc::fakes
