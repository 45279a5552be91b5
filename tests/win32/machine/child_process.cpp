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

namespace {

// Removes a folder with everything in it, at any depth and path length. Attributes are
// cleared first: read-only and system entries would not be removed.
void RemoveTree(const std::wstring& folder) {
  WIN32_FIND_DATAW found{};
  HANDLE listing = ::FindFirstFileW((folder + L"\\*").c_str(), &found);
  if (listing != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = found.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring full = folder + L"\\" + name;
      ::SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        // A link is removed itself; what it points at is not ours.
        if (!::RemoveDirectoryW(full.c_str())) ::DeleteFileW(full.c_str());
      } else if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(full);
      } else {
        ::DeleteFileW(full.c_str());
      }
    } while (::FindNextFileW(listing, &found));
    ::FindClose(listing);
  }
  ::RemoveDirectoryW(folder.c_str());
}

}  // namespace

TemporaryFolder::~TemporaryFolder() {
  const int length = ::MultiByteToWideChar(CP_ACP, 0, path_.c_str(), -1, nullptr, 0);
  if (length <= 1) return;
  std::wstring wide(static_cast<size_t>(length - 1), L'\0');
  ::MultiByteToWideChar(CP_ACP, 0, path_.c_str(), -1, wide.data(), length);
  RemoveTree(L"\\\\?\\" + wide);
}

}  // namespace zc::win::testing
