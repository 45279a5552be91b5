#include "core/engine/command_line_file.h"

#include "core/engine/file_target.h"
#include "core/machine/registry_values.h"

namespace zc {
namespace {


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

}  // namespace

bool CommandLineFiles::IsFile(TextView path) {
  return !path.empty() && files_.FileLength(path).has_value();
}

Text CommandLineFiles::ExistingFile(TextView candidate) {
  if (IsFile(candidate)) return Text(candidate);
  const Text withExe = Text(candidate) + u".exe";
  if (!HasExtension(candidate) && IsFile(withExe)) return withExe;
  return {};
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
  const Text dll = ReadRegistryText(registry_, RootKeyFromText(texts_.Get(enc::ServiceRootText)),
                                    texts_.Get(enc::ServiceKeyPrefix) + Text(serviceName) +
                                        texts_.Get(enc::ServiceParametersKey),
                                    texts_.Get(enc::ServiceDllValueName));
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
    file = ExistingFile(FullForm(quoted));
    if (close != Text::npos) arguments = text.substr(close + 1);
  } else {
    // Unquoted: each blank in turn ends the file's name; the first existing file wins.
    const Text full = FullForm(text);
    for (size_t end = 0; end <= full.size() && file.empty(); ++end) {
      if (end < full.size() && !IsBlank(full[end])) continue;
      const TextView candidate = TextView(full).substr(0, end);
      if (candidate.empty() || IsBlank(candidate.back())) continue;
      file = ExistingFile(candidate);
      if (!file.empty() && end < full.size()) arguments = full.substr(end);
    }
  }
  if (file.empty()) return {};

  // The shared service host runs the service's DLL: that is the service's own file.
  if (FoldCase(FileNameOf(file)) == u"svchost.exe" && arguments.find(u"-k") != Text::npos) {
    const Text dll = ServiceDllOf(serviceName);
    return dll;  // the host itself is never the suspect's file
  }
  return file;
}

CommandTarget CommandLineFiles::TargetOf(TextView commandLine, const CommandContext& context) {
  CommandTarget target;
  const Text file = FileOf(commandLine, context.serviceName);
  if (!file.empty()) target.files.push_back(file);
  return target;
}

}  // namespace zc
