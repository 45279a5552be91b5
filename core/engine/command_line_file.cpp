#include "core/engine/command_line_file.h"

#include "core/engine/command_words.h"
#include "core/engine/file_target.h"
#include "core/engine/path_forms.h"
#include "core/machine/registry_values.h"

namespace zc {
namespace {

// How deep commands run by commands are followed (cmd /c cmd /c ...): the commands of
// eight hosts in a row are read, no deeper.
constexpr int kNestingLimit = 8;

// A %NAME% reference: a % with another after it.
bool HoldsVariable(TextView text) {
  const size_t open = text.find(u'%');
  return open != TextView::npos && text.find(u'%', open + 1) != TextView::npos;
}

void AddOnce(std::vector<Text>& files, const Text& file) {
  const Text folded = FoldCase(file);
  for (const Text& known : files)
    if (FoldCase(known) == folded) return;
  files.push_back(file);
}

}  // namespace

bool CommandLineFiles::IsFile(TextView path) {
  // A relative name would be looked for in this program's own current folder.
  return IsFullPath(path) && files_.FileLength(path).has_value();
}

Text CommandLineFiles::ExistingFile(TextView path, std::initializer_list<TextView> extensions) {
  const Text full = NormalizedPath(path);
  if (IsFile(full)) return full;
  if (HasExtension(full)) return {};
  for (TextView extension : extensions) {
    const Text withExtension = full + Text(extension);
    if (IsFile(withExtension)) return withExtension;
  }
  return {};
}

Text CommandLineFiles::Expanded(TextView text) {
  if (userSid_.empty()) return environment_.ExpandVariables(text);
  if (!HoldsVariable(text)) return Text(text);
  if (std::optional<Text> expanded = environment_.ExpandVariablesFor(userSid_, text)) return std::move(*expanded);
  // Never the running account's instead: they name another person's folders.
  variablesUnknown_ = true;
  return Text(text);
}

Text CommandLineFiles::FullForm(TextView text) {
  Text full = Expanded(text);
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

bool CommandLineFiles::InWindowsSystemFolder(TextView file) {
  const Text windows = processes_.WindowsFolder();
  if (windows.empty()) return false;
  const Text folder = FoldCase(FolderPartOf(NormalizedPath(file)));
  return folder == FoldCase(windows + u"\\System32") || folder == FoldCase(windows + u"\\SysWOW64");
}

Text CommandLineFiles::ServiceDllOf(TextView serviceName) {
  if (serviceName.empty()) return {};
  const Text dll = ReadRegistryText(registry_, RootKeyFromText(texts_.Get(enc::ServiceRootText)),
                                    texts_.Get(enc::ServiceKeyPrefix) + Text(serviceName) +
                                        texts_.Get(enc::ServiceParametersKey),
                                    texts_.Get(enc::ServiceDllValueName));
  if (dll.empty()) return {};
  return ExistingFile(FullForm(WithoutQuotes(TrimBlanks(dll))), {});
}

Text CommandLineFiles::FromAppPaths(TextView name) {
  const Text key = texts_.Get(enc::AppPathsKeyPrefix) + Text(name) + (HasExtension(name) ? Text() : Text(u".exe"));
  for (const char16_t* root : {enc::SearchUserRootText, enc::SearchMachineRootText}) {
    // The running account's own registrations are not another user's.
    if (!userSid_.empty() && TextView(root) == TextView(enc::SearchUserRootText)) continue;
    const Text value = ReadRegistryText(registry_, RootKeyFromText(texts_.Get(root)), key, {});
    if (value.empty()) continue;
    const Text file = ExistingFile(FullForm(WithoutQuotes(TrimBlanks(value))), {});
    if (!file.empty()) return file;
  }
  return {};
}

std::vector<Text> CommandLineFiles::SearchPath(const Where& where) {
  Text path;
  if (where.startedBy == StartedBy::ServiceManager && !where.nested) {
    // Services are started with the system's environment, not this program's.
    path = environment_.ExpandVariables(ReadRegistryText(registry_,
                                                         RootKeyFromText(texts_.Get(enc::SearchMachineRootText)),
                                                         texts_.Get(enc::SystemEnvironmentKey),
                                                         texts_.Get(enc::SystemPathValueName)));
  } else {
    const Text reference = texts_.Get(enc::PathVariableReference);
    path = Expanded(reference);
    if (path == reference) path.clear();  // not set
  }
  std::vector<Text> folders;
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = path.find(u';', start);
    if (end == Text::npos) end = path.size();
    const Text folder = WithoutQuotes(TrimBlanks(TextView(path).substr(start, end - start)));
    if (IsFullPath(folder)) folders.push_back(folder);  // "." and other relative entries are skipped
    start = end + 1;
  }
  return folders;
}

Text CommandLineFiles::FolderOf(TextView folder, const Where& where) {
  const Text full = FullForm(WithoutQuotes(TrimBlanks(folder)));
  if (IsFullPath(full)) return NormalizedPath(full);
  if (where.currentFolder.empty()) return {};
  return JoinedPath(where.currentFolder, full);
}

Text CommandLineFiles::FindProgram(TextView name, const Where& where, bool& foundBySearch) {
  foundBySearch = false;
  const Text full = FullForm(WithoutQuotes(TrimBlanks(name)));
  if (full.empty()) return {};
  // Process creation adds ".exe"; the command interpreter tries its other program kinds too.
  const std::initializer_list<TextView> programKinds = {u".exe"};
  const std::initializer_list<TextView> interpreterKinds = {u".exe", u".com", u".bat", u".cmd"};
  const auto kinds = where.nested ? interpreterKinds : programKinds;
  if (IsFullPath(full)) return ExistingFile(full, kinds);
  const bool currentFolderSearched = where.startedBy == StartedBy::Process || where.nested;
  if (HasFolderPart(full)) {
    if (!currentFolderSearched || where.currentFolder.empty()) return {};
    return ExistingFile(JoinedPath(where.currentFolder, full), kinds);
  }
  foundBySearch = true;
  if (where.startedBy == StartedBy::Shell && !where.nested) {
    const Text registered = FromAppPaths(full);
    if (!registered.empty()) return registered;
  }
  std::vector<Text> folders;
  if (currentFolderSearched && !where.currentFolder.empty()) folders.push_back(where.currentFolder);
  const Text windows = processes_.WindowsFolder();
  if (!windows.empty()) {
    folders.push_back(windows + u"\\System32");
    folders.push_back(windows);
  }
  for (Text& folder : SearchPath(where)) folders.push_back(std::move(folder));
  for (const Text& folder : folders) {
    const Text file = ExistingFile(JoinedPath(folder, full), kinds);
    if (!file.empty()) return file;
  }
  return {};
}

Text CommandLineFiles::FindLibrary(TextView name, TextView hostFile, const Where& where) {
  const Text full = FullForm(WithoutQuotes(TrimBlanks(name)));
  if (full.empty()) return {};
  if (IsFullPath(full)) return ExistingFile(full, {u".dll"});
  if (HasFolderPart(full)) {
    if (where.currentFolder.empty()) return {};
    return ExistingFile(JoinedPath(where.currentFolder, full), {u".dll"});
  }
  // The library search order: the host's folder, the system folder (SysWOW64 for a
  // 32-bit host), the Windows folder, the current folder, the search path.
  std::vector<Text> folders;
  const Text hostFolder(FolderPartOf(hostFile));
  if (!hostFolder.empty()) folders.push_back(hostFolder);
  const Text windows = processes_.WindowsFolder();
  if (!windows.empty()) {
    const bool wow64Host = !hostFolder.empty() && FoldCase(hostFolder) == FoldCase(windows + u"\\SysWOW64");
    folders.push_back(windows + (wow64Host ? u"\\SysWOW64" : u"\\System32"));
    folders.push_back(windows);
  }
  if (!where.currentFolder.empty()) folders.push_back(where.currentFolder);
  for (Text& folder : SearchPath(where)) folders.push_back(std::move(folder));
  for (const Text& folder : folders) {
    const Text file = ExistingFile(JoinedPath(folder, full), {u".dll"});
    if (!file.empty()) return file;
  }
  return {};
}

Text CommandLineFiles::FindFile(TextView name, TextView folder) {
  const Text full = FullForm(WithoutQuotes(TrimBlanks(name)));
  if (full.empty()) return {};
  if (IsFullPath(full)) return ExistingFile(full, {});
  if (folder.empty()) return {};  // relative to a folder nobody knows
  return ExistingFile(JoinedPath(folder, full), {});
}

void CommandLineFiles::ResolvePayload(const PayloadName& payload, TextView hostFile, const Where& where, int depth,
                                      bool topLevel, Progress& progress) {
  CommandTarget& target = progress.target;
  switch (payload.kind) {
    case PayloadKind::NotIdentified:
      return;
    case PayloadKind::ServiceDll: {
      const Text dll = ServiceDllOf(payload.text.empty() ? TextView(where.serviceName) : TextView(payload.text));
      if (dll.empty()) return;
      AddOnce(target.files, dll);
      if (topLevel) target.dllHost = true;
      return;
    }
    case PayloadKind::Library: {
      const Text library = FindLibrary(payload.text, hostFile, where);
      if (library.empty()) return;
      if (!payload.insteadWhenWindowsOwn.empty() && InWindowsSystemFolder(library)) {
        // Windows' own library runs the payload; the library is no more the bot's than the host.
        for (const PayloadName& inner : payload.insteadWhenWindowsOwn)
          ResolvePayload(inner, hostFile, where, depth, topLevel, progress);
        return;
      }
      AddOnce(target.files, library);
      if (topLevel && payload.loadedIntoHost) target.dllHost = true;
      return;
    }
    case PayloadKind::File: {
      const Text folder = payload.folder.empty() ? where.currentFolder : FolderOf(payload.folder, where);
      const Text file = FindFile(payload.text, folder);
      if (!file.empty()) AddOnce(target.files, file);
      return;
    }
    case PayloadKind::Command: {
      if (depth + 1 > kNestingLimit) return;
      Where inner = where;
      inner.nested = true;
      if (!payload.folder.empty()) inner.currentFolder = FolderOf(payload.folder, where);
      ResolveCommand(payload.text, inner, depth + 1, false, progress);
      return;
    }
  }
}

void CommandLineFiles::ResolveCommand(TextView commandLine, const Where& where, int depth, bool topLevel,
                                      Progress& progress) {
  // Variables are expanded before the line is read, as the shell and the service
  // manager expand them.
  const Text text(TrimBlanks(Expanded(commandLine)));
  if (text.empty()) return;

  Text written;  // the program's name as the line writes it
  Text program;  // the existing file it names
  TextView arguments;
  bool foundBySearch = false;
  if (text.front() == u'"') {
    // Quoted: the program is what the quotes hold, whatever follows.
    const size_t close = text.find(u'"', 1);
    written = text.substr(1, close == Text::npos ? Text::npos : close - 1);
    program = FindProgram(written, where, foundBySearch);
    if (close != Text::npos) arguments = TextView(text).substr(close + 1);
  } else {
    // Unquoted: each blank in turn ends the program's name; the first existing file wins.
    for (size_t end = 0; end <= text.size() && program.empty(); ++end) {
      if (end < text.size() && !IsCommandBlank(text[end])) continue;
      const TextView candidate = TextView(text).substr(0, end);
      if (candidate.empty() || IsCommandBlank(candidate.back())) continue;
      program = FindProgram(candidate, where, foundBySearch);
      if (!program.empty()) {
        written = Text(candidate);
        arguments = TextView(text).substr(end);
      }
    }
    if (program.empty()) {
      // Nothing there: a host is still known by the name the line gives it.
      size_t end = 0;
      while (end < text.size() && !IsCommandBlank(text[end])) ++end;
      written = text.substr(0, end);
      arguments = TextView(text).substr(end);
    }
  }

  const HostProgram* host = FindHostProgram(program.empty() ? TextView(written) : TextView(program));
  if (host == nullptr) {
    // A program of Windows' own that a command chain finds by its name (ping, timeout,
    // reg) is a tool of the chain, not its payload.
    const bool windowsTool = where.nested && foundBySearch && InWindowsSystemFolder(program);
    if (!program.empty() && !windowsTool) AddOnce(progress.target.files, program);
    return;
  }
  if (topLevel) {
    progress.target.host = program;
    progress.hostAtTop = true;
  }
  Where nestedWhere = where;
  nestedWhere.nested = true;
  HostReading reading;
  reading.namesProgram = [this, &nestedWhere](TextView name) {
    bool bySearch = false;
    return !FindProgram(name, nestedWhere, bySearch).empty();
  };
  for (const PayloadName& payload : host->read(arguments, reading))
    ResolvePayload(payload, program, where, depth, topLevel, progress);
}

CommandTarget CommandLineFiles::TargetOf(TextView commandLine, const CommandContext& context) {
  Where where;
  where.startedBy = context.startedBy;
  where.serviceName = Text(context.serviceName);
  const Text folder = WithoutQuotes(TrimBlanks(context.currentFolder));
  if (context.startedBy == StartedBy::Process && IsFullPath(folder)) where.currentFolder = NormalizedPath(folder);
  userSid_ = Text(context.userSid);
  variablesUnknown_ = false;
  Progress progress;
  ResolveCommand(commandLine, where, 0, true, progress);
  if (variablesUnknown_) {
    // Read with the wrong person's variables, or none, the line may name another
    // person's file, or split where it should not: it names none.
    progress.target.files.clear();
    progress.target.userVariablesUnknown = true;
  }
  progress.target.payloadNotIdentified =
      progress.hostAtTop && progress.target.files.empty() && !progress.target.userVariablesUnknown;
  if (!progress.hostAtTop) progress.target.host.clear();
  return progress.target;
}

Text CommandLineFiles::FileOf(TextView commandLine, TextView serviceName) {
  CommandContext context;
  context.startedBy = serviceName.empty() ? StartedBy::Shell : StartedBy::ServiceManager;
  context.serviceName = serviceName;
  const CommandTarget target = TargetOf(commandLine, context);
  return target.files.empty() ? Text() : target.files.front();
}

}  // namespace zc
