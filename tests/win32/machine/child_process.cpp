#include "tests/win32/machine/child_process.h"

namespace zc::win::testing {

std::string PathNextToTest(const std::string& fileName) {
  char own[MAX_PATH] = {};
  ::GetModuleFileNameA(nullptr, own, MAX_PATH);
  std::string folder(own);
  folder.resize(folder.find_last_of('\\') + 1);
  return folder + fileName;
}

std::string ChildCommand(const std::string& arguments) {
  std::string command(1, '"');
  command.append(PathNextToTest("machine_child.exe")).append("\" ").append(arguments);
  return command;
}

StartedChild StartHidden(const std::string& commandLine) {
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_HIDE;
  PROCESS_INFORMATION started{};
  std::string command = commandLine;
  if (!::CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_NEW_CONSOLE,
                        nullptr, nullptr, &startup, &started)) {
    return {};
  }
  ::CloseHandle(started.hThread);
  StartedChild child;
  child.process.reset(started.hProcess);
  child.id = started.dwProcessId;
  return child;
}

bool EndsWithin(HANDLE process, DWORD milliseconds) {
  return ::WaitForSingleObject(process, milliseconds) == WAIT_OBJECT_0;
}

TemporaryFolder::TemporaryFolder() {
  char temp[MAX_PATH] = {};
  ::GetTempPathA(MAX_PATH, temp);
  // A unique name: the temporary file that reserves it makes way for the folder.
  char unique[MAX_PATH] = {};
  ::GetTempFileNameA(temp, "zcm", 0, unique);
  ::DeleteFileA(unique);
  path_ = unique;
  ::CreateDirectoryA(path_.c_str(), nullptr);
}

TemporaryFolder::~TemporaryFolder() {
  // Clear attributes first: read-only and system entries would not be removed.
  WIN32_FIND_DATAA found{};
  const std::string pattern = path_ + "\\*";
  HANDLE listing = ::FindFirstFileA(pattern.c_str(), &found);
  if (listing != INVALID_HANDLE_VALUE) {
    do {
      const std::string name = found.cFileName;
      if (name == "." || name == "..") continue;
      const std::string full = path_ + "\\" + name;
      ::SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        ::RemoveDirectoryA(full.c_str());
      } else {
        ::DeleteFileA(full.c_str());
      }
    } while (::FindNextFileA(listing, &found));
    ::FindClose(listing);
  }
  ::RemoveDirectoryA(path_.c_str());
}

}  // namespace zc::win::testing
