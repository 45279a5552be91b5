#include "core/engine/host_arguments.h"

#include "core/engine/command_words.h"

namespace zc {
namespace {

using Payloads = std::vector<PayloadName>;

PayloadName Named(PayloadKind kind, TextView text, bool loadedIntoHost = false) {
  PayloadName name;
  name.kind = kind;
  name.text = Text(text);
  name.loadedIntoHost = loadedIntoHost;
  return name;
}

Payloads NotIdentified() { return {Named(PayloadKind::NotIdentified, {})}; }

bool IsOptionWord(TextView word) { return word.size() > 1 && (word.front() == u'/' || word.front() == u'-'); }

bool IsSlashOption(TextView word) { return word.size() > 1 && word.front() == u'/'; }

bool IsOneOf(TextView word, std::initializer_list<TextView> names) {
  const Text folded = FoldCase(word);
  for (TextView name : names)
    if (folded == name) return true;
  return false;
}

// A file a host opens: an address or inline script names nothing on this machine.
PayloadName LocalFileOrNothing(TextView text) {
  return HasAddressScheme(text) ? Named(PayloadKind::NotIdentified, {}) : Named(PayloadKind::File, text);
}

// The text up to a comma, trimmed and without quotes ("x.cpl",@0 -> x.cpl).
Text FirstListItem(TextView text) {
  TextView before, after;
  SplitAtComma(text, before, after);
  return WithoutQuotes(TrimBlanks(before));
}

}  // namespace

Payloads ReadDllHostArguments(TextView arguments, const HostReading&) {
  const TextView line = TrimBlanks(arguments);
  TextView dllText, afterComma;
  TextView entry, afterEntry;
  if (SplitAtComma(line, dllText, afterComma)) {
    afterComma = TrimBlanks(afterComma);
    size_t cut = 0;
    while (cut < afterComma.size() && !IsCommandBlank(afterComma[cut])) ++cut;
    entry = afterComma.substr(0, cut);
    afterEntry = TrimBlanks(afterComma.substr(cut));
  } else {
    const std::vector<CommandWord> words = SplitCommandWords(line);
    if (words.empty()) return {};
    dllText = line.substr(0, words[0].end);
    if (words.size() > 1) {
      entry = line.substr(words[1].begin, words[1].end - words[1].begin);
      afterEntry = TrimBlanks(line.substr(words[1].end));
    }
  }
  const Text dll = WithoutQuotes(TrimBlanks(dllText));
  if (dll.empty()) return {};
  PayloadName library = Named(PayloadKind::Library, dll, true);
  if (const WindowsDllRunner* runner = FindWindowsDllRunner(dll, entry)) {
    library.insteadWhenWindowsOwn = runner->read(afterEntry);
    if (library.insteadWhenWindowsOwn.empty()) library.insteadWhenWindowsOwn = NotIdentified();
  }
  return {library};
}

Payloads ReadStartedFile(TextView afterEntry) {
  const TextView text = TrimBlanks(afterEntry);
  if (text.empty()) return {};
  if (HasAddressScheme(WithoutQuotes(text))) return NotIdentified();
  return {Named(PayloadKind::Command, text)};
}

Payloads ReadStartedCommand(TextView afterEntry) { return ReadStartedFile(afterEntry); }

Payloads ReadLoadedItem(TextView afterEntry) {
  const Text item = FirstListItem(afterEntry);
  if (item.empty()) return {};
  return {Named(PayloadKind::Library, item, true)};
}

Payloads ReadInstalledInf(TextView afterEntry) {
  const Text inf = FirstListItem(afterEntry);
  if (inf.empty()) return {};
  return {Named(PayloadKind::File, inf)};
}

Payloads ReadRegistrarArguments(TextView arguments, const HostReading&) {
  std::vector<Text> libraries;
  Text install;
  for (const CommandWord& word : SplitCommandWords(arguments)) {
    if (IsOptionWord(word.text)) {
      if (StartsWithFolded(TextView(word.text).substr(1), u"i:")) install = word.text.substr(3);
      continue;
    }
    libraries.push_back(word.text);
  }
  Payloads payloads;
  std::vector<PayloadName> installFile;
  if (!install.empty()) installFile.push_back(LocalFileOrNothing(install));
  for (const Text& library : libraries) {
    PayloadName name = Named(PayloadKind::Library, library, true);
    // With a command for its install entry, a Windows library (the script-component
    // runtime) runs that command's file: it, not the library, is the payload.
    name.insteadWhenWindowsOwn = installFile;
    payloads.push_back(std::move(name));
  }
  for (const PayloadName& file : installFile) payloads.push_back(file);
  return payloads;
}

Payloads ReadScriptHostArguments(TextView arguments, const HostReading&) {
  for (const CommandWord& word : SplitCommandWords(arguments)) {
    if (StartsWithFolded(word.text, u"//")) continue;
    return {Named(PayloadKind::File, word.text)};
  }
  return {};
}

Payloads ReadHtmlApplicationArguments(TextView arguments, const HostReading&) {
  const std::vector<CommandWord> words = SplitCommandWords(arguments);
  if (words.empty()) return {};
  const Text& first = words[0].text;
  if (HasAddressScheme(first)) return NotIdentified();
  if (EndsWithFolded(first, u".hta")) return {Named(PayloadKind::File, first)};
  // An unquoted path with blanks: the host reads its whole command line as one.
  const Text whole = WithoutQuotes(TrimBlanks(arguments));
  if (EndsWithFolded(whole, u".hta")) return {Named(PayloadKind::File, whole)};
  return NotIdentified();
}

Payloads ReadInstallerArguments(TextView arguments, const HostReading&) {
  const std::vector<CommandWord> words = SplitCommandWords(arguments);
  Payloads payloads;
  for (size_t i = 0; i + 1 < words.size(); ++i) {
    if (!IsOptionWord(words[i].text)) continue;
    const TextView option = TextView(words[i].text).substr(1);
    if (IsOneOf(option, {u"y", u"z"})) {
      payloads.push_back(Named(PayloadKind::Library, words[++i].text, true));
    } else if (IsOneOf(option, {u"i", u"package"})) {
      payloads.push_back(LocalFileOrNothing(words[++i].text));
    }
  }
  return payloads;
}

Payloads ReadJavaArguments(TextView arguments, const HostReading&) {
  const std::vector<CommandWord> words = SplitCommandWords(arguments);
  for (size_t i = 0; i < words.size(); ++i) {
    const Text& word = words[i].text;
    if (IsOneOf(word, {u"-jar"})) {
      if (i + 1 < words.size()) return {Named(PayloadKind::File, words[i + 1].text)};
      return {};
    }
    if (IsOneOf(word, {u"-cp", u"-classpath", u"--class-path", u"-p", u"--module-path", u"--upgrade-module-path",
                       u"--add-modules", u"--add-opens", u"--add-exports", u"--add-reads", u"--patch-module",
                       u"--limit-modules"})) {
      ++i;  // the value is a search path, not what runs
      continue;
    }
    if (IsOneOf(word, {u"-m", u"--module"})) return NotIdentified();
    if (IsOptionWord(word)) continue;
    return NotIdentified();  // a class name, found on the class path
  }
  return {};
}

Payloads ReadPythonArguments(TextView arguments, const HostReading&) {
  const std::vector<CommandWord> words = SplitCommandWords(arguments);
  for (size_t i = 0; i < words.size(); ++i) {
    const Text& word = words[i].text;
    if (word == u"-") return NotIdentified();  // the script comes from standard input
    if (StartsWithFolded(word, u"--")) {
      if (word == u"--check-hash-based-pycs") ++i;
      continue;
    }
    if (word.size() > 1 && word.front() == u'-') {
      const TextView cluster = TextView(word).substr(1);
      if (cluster.substr(0, 2) == u"V:") continue;  // the launcher's version choice
      for (size_t k = 0; k < cluster.size(); ++k) {
        if (cluster[k] == u'c' || cluster[k] == u'm') return NotIdentified();  // inline code, a module
        if (cluster[k] == u'W' || cluster[k] == u'X') {
          if (k + 1 == cluster.size()) ++i;  // the value is the next word
          break;
        }
      }
      continue;
    }
    return {Named(PayloadKind::File, word)};
  }
  return {};
}

Payloads ReadNodeArguments(TextView arguments, const HostReading&) {
  const std::vector<CommandWord> words = SplitCommandWords(arguments);
  for (size_t i = 0; i < words.size(); ++i) {
    const Text& word = words[i].text;
    if (word == u"-" || IsOneOf(word, {u"-e", u"--eval", u"-p", u"--print"}) || StartsWithFolded(word, u"--eval=") ||
        StartsWithFolded(word, u"--print=")) {
      return NotIdentified();
    }
    if (word == u"--") return i + 1 < words.size() ? Payloads{Named(PayloadKind::File, words[i + 1].text)} : Payloads{};
    if (IsOneOf(word, {u"-r", u"--require", u"--import", u"--loader", u"--experimental-loader",
                       u"--conditions", u"--title", u"--env-file", u"--input-type"})) {
      ++i;
      continue;
    }
    if (word.size() > 1 && word.front() == u'-') continue;
    return {Named(PayloadKind::File, word)};
  }
  return {};
}

Payloads ReadAutoItArguments(TextView arguments, const HostReading&) {
  const std::vector<CommandWord> words = SplitCommandWords(arguments);
  for (size_t i = 0; i < words.size(); ++i) {
    const Text& word = words[i].text;
    if (IsOneOf(word, {u"/autoit3executescript"})) {
      return i + 1 < words.size() ? Payloads{Named(PayloadKind::File, words[i + 1].text)} : Payloads{};
    }
    if (IsOneOf(word, {u"/autoit3executeline"})) return NotIdentified();
    if (IsSlashOption(word)) continue;
    return {Named(PayloadKind::File, word)};
  }
  return {};
}

Payloads ReadAutoHotkeyArguments(TextView arguments, const HostReading&) {
  const std::vector<CommandWord> words = SplitCommandWords(arguments);
  for (size_t i = 0; i < words.size(); ++i) {
    const Text& word = words[i].text;
    if (IsOneOf(word, {u"/ilib", u"/include"})) {
      ++i;
      continue;
    }
    if (IsSlashOption(word)) continue;
    if (word == u"*") return NotIdentified();  // the script comes from standard input
    return {Named(PayloadKind::File, word)};
  }
  return {};
}

Payloads ReadExplorerArguments(TextView arguments, const HostReading&) {
  for (const CommandWord& word : SplitCommandWords(arguments)) {
    if (IsSlashOption(word.text)) continue;  // /e, /n, /select,x and /root,x open a window only
    if (StartsWithFolded(word.text, u"::") || HasAddressScheme(word.text)) return NotIdentified();
    return {Named(PayloadKind::File, word.text)};
  }
  return {};
}

Payloads ReadFirstFileArgument(TextView arguments, const HostReading&) {
  for (const CommandWord& word : SplitCommandWords(arguments)) {
    if (IsOptionWord(word.text)) continue;
    return {Named(PayloadKind::File, word.text)};
  }
  return {};
}

Payloads ReadOdbcConfigurationArguments(TextView arguments, const HostReading&) {
  Payloads payloads;
  size_t open = arguments.find(u'{');
  while (open != TextView::npos) {
    const size_t close = arguments.find(u'}', open + 1);
    if (close == TextView::npos) break;
    const TextView action = TrimBlanks(arguments.substr(open + 1, close - open - 1));
    if (StartsWithFolded(action, u"regsvr") && action.size() > 6 && IsCommandBlank(action[6])) {
      const Text library = WithoutQuotes(TrimBlanks(action.substr(6)));
      if (!library.empty()) payloads.push_back(Named(PayloadKind::Library, library, true));
    }
    open = arguments.find(u'{', close + 1);
  }
  return payloads;
}

Payloads ReadControlPanelArguments(TextView arguments, const HostReading&) {
  for (const CommandWord& word : SplitCommandWords(arguments)) {
    if (IsSlashOption(word.text)) continue;
    const Text item = FirstListItem(word.text);
    if (EndsWithFolded(item, u".cpl")) return {Named(PayloadKind::Library, item)};  // loaded by a DLL host it starts
    return NotIdentified();  // a named item or a folder of the control panel
  }
  return {};
}

Payloads ReadServiceHostArguments(TextView arguments, const HostReading&) {
  const std::vector<CommandWord> words = SplitCommandWords(arguments);
  bool group = false;
  Text service;
  for (size_t i = 0; i < words.size(); ++i) {
    if (IsOneOf(words[i].text, {u"-k", u"/k"})) {
      group = true;
      ++i;
    } else if (IsOneOf(words[i].text, {u"-s", u"/s"}) && i + 1 < words.size()) {
      service = words[++i].text;
    }
  }
  if (!group) return {};
  return {Named(PayloadKind::ServiceDll, service, true)};
}

}  // namespace zc
