#include "core/engine/interpreter_arguments.h"

#include "core/engine/command_words.h"

namespace zc {
namespace {

using Payloads = std::vector<PayloadName>;

PayloadName Named(PayloadKind kind, TextView text, TextView folder = {}) {
  PayloadName name;
  name.kind = kind;
  name.text = Text(text);
  name.folder = Text(folder);
  return name;
}

Payloads NotIdentified() { return {Named(PayloadKind::NotIdentified, {})}; }

bool IsOneOf(TextView word, std::initializer_list<TextView> names) {
  const Text folded = FoldCase(word);
  for (TextView name : names)
    if (folded == name) return true;
  return false;
}

// --- the command interpreter ---------------------------------------------------------

bool IsInterpreterSpecial(char16_t c) {
  return c == u'&' || c == u'<' || c == u'>' || c == u'(' || c == u')' || c == u'@' || c == u'^' || c == u'|';
}

// The interpreter's own commands: they run no file of their own ("if" and "for" are
// among them: the commands inside them are not followed).
bool IsInternalCommand(TextView word) {
  return IsOneOf(word, {u"assoc", u"break", u"cd", u"chdir", u"cls", u"color", u"copy", u"date", u"del", u"dir",
                        u"dpath", u"echo", u"endlocal", u"erase", u"exit", u"for", u"ftype", u"goto", u"if",
                        u"keys", u"md", u"mkdir", u"mklink", u"move", u"path", u"pause", u"popd", u"prompt",
                        u"pushd", u"rd", u"rem", u"ren", u"rename", u"rmdir", u"set", u"setlocal", u"shift",
                        u"time", u"title", u"type", u"ver", u"verify", u"vol"});
}

// The interpreter's quote rule for the text after /c, /r or /k.
Text ApplyQuoteRule(TextView command, bool stripAlways, const HostReading& reading) {
  Text text(command);
  if (text.empty() || text.front() != u'"') return text;
  size_t quotes = 0;
  for (char16_t c : text) quotes += c == u'"' ? 1 : 0;
  bool keep = false;
  if (!stripAlways && quotes == 2) {
    const size_t close = text.find(u'"', 1);
    const TextView between = TextView(text).substr(1, close - 1);
    bool special = false, blank = false;
    for (char16_t c : between) {
      special = special || IsInterpreterSpecial(c);
      blank = blank || IsCommandBlank(c);
    }
    keep = !special && blank && reading.namesProgram && reading.namesProgram(between);
  }
  if (keep) return text;
  text.erase(0, 1);
  const size_t last = text.rfind(u'"');
  if (last != Text::npos) text.erase(last, 1);
  return text;
}

// The commands a line chains with &, &&, ||, |, carets removed.
std::vector<Text> SplitChain(TextView line) {
  std::vector<Text> commands(1);
  bool inQuotes = false;
  for (size_t i = 0; i < line.size(); ++i) {
    const char16_t c = line[i];
    if (c == u'"') inQuotes = !inQuotes;
    if (!inQuotes && c == u'^' && i + 1 < line.size()) {
      commands.back().push_back(line[++i]);
      continue;
    }
    if (!inQuotes && (c == u'&' || c == u'|')) {
      Text& current = commands.back();
      if (c == u'&' && !current.empty() && (current.back() == u'>' || current.back() == u'<')) {
        current.push_back(c);  // 2>&1: a redirection, not a chain
        continue;
      }
      if (i + 1 < line.size() && line[i + 1] == c) ++i;
      commands.emplace_back();
      continue;
    }
    commands.back().push_back(c);
  }
  return commands;
}

// The command without grouping parentheses, the echo-off sign and redirections.
Text BareCommand(TextView piece) {
  TextView text = TrimBlanks(piece);
  while (!text.empty() && (text.front() == u'(' || text.front() == u'@')) text = TrimBlanks(text.substr(1));
  bool inQuotes = false;
  size_t open = 0, close = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c == u'"') inQuotes = !inQuotes;
    if (inQuotes) continue;
    if (c == u'>' || c == u'<') {
      size_t cut = i;
      if (cut > 0 && text[cut - 1] >= u'0' && text[cut - 1] <= u'9' && (cut == 1 || IsCommandBlank(text[cut - 2])))
        --cut;
      text = TrimBlanks(text.substr(0, cut));
      break;
    }
    open += c == u'(' ? 1 : 0;
    close += c == u')' ? 1 : 0;
  }
  while (!text.empty() && text.back() == u')' && close > open) {
    text = TrimBlanks(text.substr(0, text.size() - 1));
    --close;
  }
  return Text(text);
}

// start ["title"] [/d FOLDER] [options] COMMAND
Payloads ReadStart(TextView rest) {
  const std::vector<CommandWord> words = SplitCommandWords(rest);
  size_t i = 0;
  Text folder;
  if (!words.empty() && words[0].quoted) i = 1;  // the window title
  while (i < words.size() && words[i].text.size() > 1 && words[i].text.front() == u'/') {
    const Text option = FoldCase(TextView(words[i].text).substr(1));
    if (option == u"d" && i + 1 < words.size()) {
      folder = words[i + 1].text;
      i += 2;
    } else if (option.size() > 1 && option.front() == u'd') {
      folder = words[i].text.substr(2);
      ++i;
    } else if (option == u"node" || option == u"affinity" || option == u"machine") {
      i += 2;
    } else {
      ++i;
    }
  }
  if (i >= words.size()) return {};
  return {Named(PayloadKind::Command, TrimBlanks(rest.substr(words[i].begin)), folder)};
}

Payloads ReadInterpreterCommand(TextView piece) {
  const Text text = BareCommand(piece);
  const std::vector<CommandWord> words = SplitCommandWords(text);
  if (words.empty()) return {};
  const Text& first = words[0].text;
  const TextView rest = TextView(text).substr(words[0].end);
  if (IsOneOf(first, {u"start"})) return ReadStart(rest);
  if (IsOneOf(first, {u"call"})) {
    const TextView called = TrimBlanks(rest);
    if (called.empty() || called.front() == u':') return {};  // a label of the batch file
    return {Named(PayloadKind::Command, called)};
  }
  if (IsInternalCommand(first)) return {};
  return {Named(PayloadKind::Command, text)};
}

// --- PowerShell -----------------------------------------------------------------------

bool NamesInlineCommand(TextView name) {
  return name == u"e" || name == u"ec" || AbbreviatesOption(name, u"encodedcommand", 2) ||
         AbbreviatesOption(name, u"encodedarguments", 8) || AbbreviatesOption(name, u"command", 1) ||
         AbbreviatesOption(name, u"commandwithargs", 8) || name == u"cwa";
}

bool TakesValue(TextView name) {
  return name == u"ep" || AbbreviatesOption(name, u"executionpolicy", 2) ||
         AbbreviatesOption(name, u"windowstyle", 1) || AbbreviatesOption(name, u"version", 1) ||
         AbbreviatesOption(name, u"inputformat", 2) || name == u"if" || AbbreviatesOption(name, u"outputformat", 1) ||
         name == u"of" || AbbreviatesOption(name, u"psconsolefile", 2) ||
         AbbreviatesOption(name, u"configurationname", 3) || AbbreviatesOption(name, u"workingdirectory", 2) ||
         name == u"wd" || AbbreviatesOption(name, u"settingsfile", 2) ||
         AbbreviatesOption(name, u"custompipename", 2);
}

Payloads ReadPowerShell(TextView arguments, bool bareScriptPath) {
  const std::vector<CommandWord> words = SplitCommandWords(arguments);
  for (size_t i = 0; i < words.size(); ++i) {
    const Text& word = words[i].text;
    if (word == u"-") return NotIdentified();  // commands from standard input
    if (word.size() > 1 && (word.front() == u'-' || word.front() == u'/')) {
      TextView name = TextView(word).substr(1);
      if (!name.empty() && name.front() == u'-') name.remove_prefix(1);
      const size_t colon = name.find(u':');
      if (colon != TextView::npos) name = name.substr(0, colon);
      const Text folded = FoldCase(name);
      if (NamesInlineCommand(folded)) return NotIdentified();
      if (AbbreviatesOption(folded, u"file", 1)) {
        if (i + 1 < words.size()) return {Named(PayloadKind::File, words[i + 1].text)};
        return {};
      }
      if (TakesValue(folded)) ++i;
      continue;
    }
    // The first word that is no option: a script's path for pwsh, a command for
    // Windows PowerShell.
    if (bareScriptPath) return {Named(PayloadKind::File, word)};
    return NotIdentified();
  }
  return {};
}

// forfiles writes special characters of its command as 0xHH.
Text WithHexEscapesApplied(TextView text) {
  auto digit = [](char16_t c) -> int {
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (c >= u'a' && c <= u'f') return c - u'a' + 10;
    if (c >= u'A' && c <= u'F') return c - u'A' + 10;
    return -1;
  };
  Text out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (i + 3 < text.size() && text[i] == u'0' && (text[i + 1] == u'x' || text[i + 1] == u'X') &&
        digit(text[i + 2]) >= 0 && digit(text[i + 3]) >= 0) {
      out.push_back(static_cast<char16_t>(digit(text[i + 2]) * 16 + digit(text[i + 3])));
      i += 3;
      continue;
    }
    out.push_back(text[i]);
  }
  return out;
}

}  // namespace

Payloads ReadCommandInterpreterArguments(TextView arguments, const HostReading& reading) {
  bool stripAlways = false;
  size_t i = 0;
  TextView command;
  bool found = false;
  while (i < arguments.size() && !found) {
    while (i < arguments.size() && IsCommandBlank(arguments[i])) ++i;
    if (i + 1 >= arguments.size() || arguments[i] != u'/') return {};  // no command to run
    const char16_t letter = static_cast<char16_t>(arguments[i + 1] | 0x20);
    if (letter == u'c' || letter == u'k' || letter == u'r') {
      command = arguments.substr(i + 2);
      found = true;
      break;
    }
    ++i;
    const size_t start = i;
    while (i < arguments.size() && !IsCommandBlank(arguments[i]) && arguments[i] != u'/') ++i;
    if (i - start == 1 && letter == u's') stripAlways = true;
  }
  if (!found) return {};
  const Text line = ApplyQuoteRule(TrimBlanks(command), stripAlways, reading);
  Payloads payloads;
  for (const Text& piece : SplitChain(line)) {
    for (PayloadName& name : ReadInterpreterCommand(piece)) payloads.push_back(std::move(name));
  }
  return payloads;
}

Payloads ReadWindowsPowerShellArguments(TextView arguments, const HostReading&) {
  return ReadPowerShell(arguments, false);
}

Payloads ReadPwshArguments(TextView arguments, const HostReading&) { return ReadPowerShell(arguments, true); }

Payloads ReadTaskSchedulerArguments(TextView arguments, const HostReading&) {
  const std::vector<CommandWord> words = SplitCommandWords(arguments);
  for (size_t i = 0; i + 1 < words.size(); ++i) {
    if (IsOneOf(words[i].text, {u"/tr", u"-tr"})) return {Named(PayloadKind::Command, words[i + 1].text)};
  }
  return {};
}

Payloads ReadForFilesArguments(TextView arguments, const HostReading&) {
  const std::vector<CommandWord> words = SplitCommandWords(arguments);
  Text folder, command;
  for (size_t i = 0; i + 1 < words.size(); ++i) {
    if (IsOneOf(words[i].text, {u"/p", u"-p"})) {
      folder = words[++i].text;
    } else if (IsOneOf(words[i].text, {u"/c", u"-c"})) {
      command = WithHexEscapesApplied(words[++i].text);
    } else if (IsOneOf(words[i].text, {u"/m", u"-m", u"/d", u"-d"})) {
      ++i;
    }
  }
  if (command.empty()) return {};
  return {Named(PayloadKind::Command, command, folder)};
}

}  // namespace zc
