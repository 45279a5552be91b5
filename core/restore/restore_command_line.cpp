#include "core/restore/restore_command_line.h"

namespace zc {

std::optional<Text> RestoreFolderArgument(const std::vector<Text>& arguments) {
  if (arguments.empty() || FoldCase(arguments[0]) != u"/restore") return std::nullopt;
  return arguments.size() > 1 ? arguments[1] : Text();
}

}  // namespace zc
