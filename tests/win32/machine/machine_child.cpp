// A small console program that the machine-layer tests start, capture and end.
//   machine_child print N        writes N bytes of numbered lines to standard output
//   machine_child stderr TEXT    writes TEXT to standard error only
//   machine_child late MS TEXT   sleeps MS milliseconds, writes TEXT and exits at once
//   machine_child split MS       writes the two bytes of one double-byte character
//                                (code page 949) with a pause of MS between them
//   machine_child sleep MS       sleeps MS milliseconds, writes nothing
//   machine_child showstate FILE [MS]
//                                after MS milliseconds, writes its start-up flags and
//                                window state to FILE
//   machine_child cwd            writes its current folder
//   machine_child load PATH MS   loads the library PATH (taken from the wide command
//                                line, so any character may be in it), then sleeps MS
//   machine_child exit           writes nothing and ends

#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

void WriteAll(HANDLE out, const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    DWORD written = 0;
    if (!::WriteFile(out, bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &written,
                     nullptr) ||
        written == 0) {
      return;
    }
    done += written;
  }
}

std::string NumberedLines(size_t size) {
  std::string text;
  text.reserve(size + 16);
  for (unsigned line = 0; text.size() < size; ++line) {
    char buffer[32];
    std::snprintf(buffer, sizeof(buffer), "line %07u\r\n", line);
    text += buffer;
  }
  text.resize(size);
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  const std::string mode = argv[1];
  const HANDLE out = ::GetStdHandle(STD_OUTPUT_HANDLE);
  const HANDLE err = ::GetStdHandle(STD_ERROR_HANDLE);
  const auto number = [&](int i) { return argc > i ? std::strtoul(argv[i], nullptr, 10) : 0ul; };

  if (mode == "print") {
    WriteAll(out, NumberedLines(number(2)));
  } else if (mode == "stderr" && argc > 2) {
    WriteAll(err, argv[2]);
  } else if (mode == "late" && argc > 3) {
    ::Sleep(number(2));
    WriteAll(out, argv[3]);
  } else if (mode == "split") {
    WriteAll(out, "\xB0");  // lead byte of U+AC00 in code page 949
    ::Sleep(number(2));
    WriteAll(out, "\xA1");  // its trail byte
  } else if (mode == "sleep") {
    ::Sleep(number(2));
  } else if (mode == "showstate" && argc > 2) {
    ::Sleep(number(3));
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    ::GetStartupInfoA(&startup);
    if (FILE* f = std::fopen(argv[2], "w")) {
      std::fprintf(f, "%lu %u", static_cast<unsigned long>(startup.dwFlags),
                   static_cast<unsigned>(startup.wShowWindow));
      std::fclose(f);
    }
  } else if (mode == "cwd") {
    char folder[MAX_PATH] = {};
    ::GetCurrentDirectoryA(MAX_PATH, folder);
    WriteAll(out, folder);
  } else if (mode == "load" && argc > 3) {
    int count = 0;
    wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (wide == nullptr || count < 3 || ::LoadLibraryW(wide[2]) == nullptr) return 3;
    ::LocalFree(wide);
    ::Sleep(number(3));
  } else if (mode != "exit") {
    return 2;
  }
  return 0;
}
