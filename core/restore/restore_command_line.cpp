#include "core/restore/restore_command_line.h"

namespace zc {

std::optional<Text> RestoreFolderArgument(const std::vector<Text>& arguments) {
  if (arguments.empty() || FoldCase(arguments[0]) != u"/restore") return std::nullopt;
  return arguments.size() > 1 ? arguments[1] : Text();
}

Text RestoreCommandArguments(TextView folder) {
  Text arguments = u"/restore";
  while (folder.size() > 3 && (folder.back() == u'\\' || folder.back() == u'/')) folder.remove_suffix(1);
  for (const char16_t c : folder) {
    if (c == u'"' || c < 0x20 || c == 0x7F) return arguments;
  }
  // A drive root keeps its separator; doubled before the quote it stays one.
  Text quoted(folder);
  if (!quoted.empty() && quoted.back() == u'\\') quoted.push_back(u'\\');
  return arguments + u" \"" + quoted + u"\"";
}

}  // namespace zc
