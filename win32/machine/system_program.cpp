#include "win32/machine/system_program.h"

#include <windows.h>

#include "win32/base/ansi.h"
#include "win32/base/system_folders.h"

namespace zc::win {
namespace {

// The first word of a command line as the system splits it: a quoted part up to its
// closing quote, or else everything up to the first blank. Empty when malformed.
TextView FirstWord(TextView commandLine) {
  if (!commandLine.empty() && commandLine.front() == u'"') {
    const size_t close = commandLine.find(u'"', 1);
    if (close == TextView::npos) return {};
    return commandLine.substr(1, close - 1);
  }
  return commandLine.substr(0, commandLine.find_first_of(u" \t"));
}

bool IsAbsolutePath(TextView path) {
  const bool driveRooted = path.size() >= 3 && path[1] == u':' && path[2] == u'\\' &&
                           ((path[0] >= u'A' && path[0] <= u'Z') || (path[0] >= u'a' && path[0] <= u'z'));
  const bool network = path.size() >= 3 && path.substr(0, 2) == u"\\\\";
  return driveRooted || network;
}

bool IsFile(const Text& path) {
  const DWORD attributes = ::GetFileAttributesW(ToWide(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

}  // namespace

Text SystemProgramFor(TextView commandLine) {
  const TextView word = FirstWord(commandLine);
  if (word.empty()) return {};
  if (word.find_first_of(u"\\/:") != TextView::npos) return IsAbsolutePath(word) ? Text(word) : Text();
  if (word == u"." || word == u"..") return {};

  Text name(word);
  if (name.find(u'.') == Text::npos) name += u".exe";
  for (const Text& folder : {SystemFolder(), WindowsFolder()}) {
    if (folder.empty()) continue;
    const Text path = folder + u"\\" + name;
    if (IsFile(path)) return path;
  }
  return {};
}

}  // namespace zc::win
