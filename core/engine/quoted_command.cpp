#include "core/engine/quoted_command.h"

#include "core/machine/process_termination.h"

namespace zc {

Text CommandWithQuotedArgument(TextView prefix, TextView argument) {
  const Text trimmed = TrimSpaces(argument);
  if (trimmed.empty() || !CanQuoteAsOneArgument(trimmed)) return {};
  Text command(prefix);
  command.push_back(u'"');
  command += trimmed;
  command.push_back(u'"');
  return command;
}

Text CommandWithQuotedFolder(TextView prefix, TextView folder) {
  while (!folder.empty() && folder.back() == u'\\') folder.remove_suffix(1);
  return CommandWithQuotedArgument(prefix, folder);
}

}  // namespace zc
