#pragma once
// zdefs' command table. Each subcommand lives in a source file of this folder and adds
// itself to the table with a registration object, so a new subcommand is a new file
// (named *_commands.cpp or *_registration.cpp; CMakeLists.txt picks those up) and no
// other file changes:
//
//     namespace zc::zdefs {
//     namespace {
//     int RunFrobnicate(const std::vector<std::string>& args, std::istream& in,
//                       std::ostream& out, std::ostream& err) { ... }
//     const CommandRegistration kFrobnicate{{"frobnicate", "frobnicate FILE", RunFrobnicate}};
//     }  // namespace
//     }  // namespace zc::zdefs
//
// The signing commands (keygen, public-key, sign, verify) live in tools/zdefs/signing and
// are built only where OpenSSL is (the host tree).
//
// Exit codes: 0 success, 1 the work failed, 2 bad arguments (kUsageError; the command
// prints its usage with PrintUsage first).

#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

namespace zc::zdefs {

inline constexpr int kUsageError = 2;

// `args` are the words after the command's own name, UTF-8.
using CommandFunction = int (*)(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
                                std::ostream& err);

struct Command {
  std::string_view name;   // the first word on the command line
  std::string_view usage;  // the command line after "zdefs ", e.g. "text-encrypt TEXT"
  CommandFunction run;
};

// Adds a command to the table when the program (or a test) starts.
class CommandRegistration {
 public:
  explicit CommandRegistration(Command command);
};

// The table, in name order.
std::vector<Command> Commands();

// Writes "usage: zdefs <usage>" for the named command to `err` and returns kUsageError.
int PrintUsage(std::string_view name, std::ostream& err);

// The whole program: `args` are the words after "zdefs". Unknown or missing commands
// print every usage on `err` and give kUsageError; "help" prints them on `out`.
int Run(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err);

}  // namespace zc::zdefs
