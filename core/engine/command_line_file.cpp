#include "core/engine/command_line_file.h"

#include "core/machine/registry_values.h"

namespace zc {
namespace {

constexpr int32_t kLocalMachine = static_cast<int32_t>(0x80000002u);
constexpr char16_t kServicesKey[] = u"SYSTEM\\CurrentControlSet\\Services\\";
constexpr char16_t kParametersKey[] = u"\\Parameters";
constexpr char16_t kServiceDllValue[] = u"ServiceDll";

bool StartsWithFolded(TextView text, TextView lead) {
  return text.size() >= lead.size() && FoldCase(text.substr(0, lead.size())) == FoldCase(lead);
}

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }

// The last element's extension, if any: ".exe" is added only to a name without one.
bool HasExtension(TextView path) {
  const size_t slash = path.find_last_of(u"\\/");
  const size_t dot = path.find_last_of(u'.');
  return dot != TextView::npos && (slash == TextView::npos || dot > slash);
}

TextView FileName(TextView path) {
  const size_t slash = path.find_last_of(u"\\/");
  return slash == TextView::npos ? path : path.substr(slash + 1);
}

}  // namespace

bool CommandLineFiles::IsFile(TextView path) {
  return !path.empty() && files_.FileLength(path).has_value();
}

Text CommandLineFiles::FullForm(TextView text) {
  Text full = environment_.ExpandVariables(text);
  const Text windows = processes_.WindowsFolder();
  if (StartsWithFolded(full, u"\\??\\")) {
    full.erase(0, 4);
  } else if (StartsWithFolded(full, u"\\\\?\\") && !StartsWithFolded(full, u"\\\\?\\UNC\\")) {
    full.erase(0, 4);
  } else if (!windows.empty() && StartsWithFolded(full, u"\\SystemRoot\\")) {
    full = windows + full.substr(11);
  } else if (!windows.empty() && StartsWithFolded(full, u"system32\\")) {
    full = windows + u"\\" + full;
  }
  return full;
}

Text CommandLineFiles::ServiceDllOf(TextView serviceName) {
  if (serviceName.empty()) return {};
  const Text dll = ReadRegistryText(registry_, kLocalMachine, Text(kServicesKey) + Text(serviceName) + kParametersKey,
                                    kServiceDllValue);
  if (dll.empty()) return {};
  const Text file = FullForm(dll);
  return IsFile(file) ? file : Text();
}

Text CommandLineFiles::FileOf(TextView commandLine, TextView serviceName) {
  Text text(commandLine);
  while (!text.empty() && IsBlank(text.front())) text.erase(0, 1);
  while (!text.empty() && IsBlank(text.back())) text.pop_back();
  if (text.empty()) return {};

  Text file;
  Text arguments;
  if (text.front() == u'"') {
    // Quoted: the file is what the quotes hold, whatever follows.
    const size_t close = text.find(u'"', 1);
    const Text quoted = text.substr(1, close == Text::npos ? Text::npos : close - 1);
    const Text full = FullForm(quoted);
    if (IsFile(full)) {
      file = full;
    } else if (!HasExtension(full) && IsFile(full + u".exe")) {
      file = full + u".exe";
    }
    if (close != Text::npos) arguments = text.substr(close + 1);
  } else {
    // Unquoted: each blank in turn ends the file's name; the first existing file wins.
    const Text full = FullForm(text);
    for (size_t end = 0; end <= full.size() && file.empty(); ++end) {
      if (end < full.size() && !IsBlank(full[end])) continue;
      const Text candidate = full.substr(0, end);
      if (candidate.empty() || IsBlank(candidate.back())) continue;
      if (IsFile(candidate)) {
        file = candidate;
      } else if (!HasExtension(candidate) && IsFile(candidate + u".exe")) {
        file = candidate + u".exe";
      }
      if (!file.empty() && end < full.size()) arguments = full.substr(end);
    }
  }
  if (file.empty()) return {};

  // The shared service host runs the service's DLL: that is the service's own file.
  if (FoldCase(FileName(file)) == u"svchost.exe" && arguments.find(u"-k") != Text::npos) {
    const Text dll = ServiceDllOf(serviceName);
    return dll;  // the host itself is never the suspect's file
  }
  return file;
}

}  // namespace zc
