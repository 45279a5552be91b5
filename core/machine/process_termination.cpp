#include "core/machine/process_termination.h"

namespace zc {
namespace {

Text QuotedCommand(std::string_view lead, TextView argument) {
  if (!CanQuoteAsOneArgument(argument)) return {};
  Text command = FromAscii(lead);
  command.push_back(u'"');
  command.append(argument);
  command.push_back(u'"');
  return command;
}

void LaunchHidden(ShellApi& shell, const Text& command) {
  if (command.empty()) return;
  shell.Launch(command, WindowState::Hidden);  // fire and forget
}

}  // namespace

bool CanQuoteAsOneArgument(TextView text) {
  for (const char16_t c : text) {
    if (c == u'"' || c < 0x20 || c == 0x7F) return false;
  }
  return text.empty() || text.back() != u'\\';
}

Text TaskkillByImageNameCommand(TextView imageName) {
  return QuotedCommand("taskkill /f /im ", imageName);
}

Text TaskkillByProcessIdCommand(TextView idText) {
  return QuotedCommand("taskkill /f /pid ", idText);
}

void KillByImageName(ShellApi& shell, TextView imageName) {
  LaunchHidden(shell, TaskkillByImageNameCommand(imageName));
}

void KillByProcessId(ShellApi& shell, TextView idText) {
  LaunchHidden(shell, TaskkillByProcessIdCommand(idText));
}

}  // namespace zc
