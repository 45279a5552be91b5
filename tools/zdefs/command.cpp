#include "tools/zdefs/command.h"

#include <algorithm>
#include <ostream>

namespace zc::zdefs {

namespace {

std::vector<Command>& Table() {
  static std::vector<Command> table;  // filled by the static registrations
  return table;
}

void PrintAllUsages(std::ostream& stream) {
  stream << "usage:\n";
  for (const Command& command : Commands()) stream << "  zdefs " << command.usage << "\n";
  stream << "  zdefs help\n";
}

}  // namespace

CommandRegistration::CommandRegistration(Command command) { Table().push_back(command); }

std::vector<Command> Commands() {
  std::vector<Command> sorted = Table();
  std::sort(sorted.begin(), sorted.end(), [](const Command& a, const Command& b) { return a.name < b.name; });
  return sorted;
}

int PrintUsage(std::string_view name, std::ostream& err) {
  for (const Command& command : Table()) {
    if (command.name == name) {
      err << "usage: zdefs " << command.usage << "\n";
      return kUsageError;
    }
  }
  PrintAllUsages(err);
  return kUsageError;
}

int Run(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err) {
  if (args.empty()) {
    PrintAllUsages(err);
    return kUsageError;
  }
  if (args[0] == "help" || args[0] == "--help" || args[0] == "-h") {
    PrintAllUsages(out);
    return 0;
  }
  for (const Command& command : Table()) {
    if (command.name == args[0]) {
      const std::vector<std::string> rest(args.begin() + 1, args.end());
      return command.run(rest, in, out, err);
    }
  }
  err << "zdefs: unknown command '" << args[0] << "'\n";
  PrintAllUsages(err);
  return kUsageError;
}

}  // namespace zc::zdefs
