// zdefs' two commands for definitions sets:
//
//   zdefs build SOURCE [--version TEXT] [--serial NUMBER] [--expires UNIX-SECONDS|+DAYS]
//       Writes the wire text of a readable source file (definitions_source.h) to `out`.
//       --version replaces the source's published version. --serial (default: the
//       current Unix time) and --expires (default: 90 days on) go into element 0, which
//       the signature covers with the rest (set_freshness.h). Exit 0; 1 when the source is
//       faulty (the error names file and line); 2 on a usage error or an unreadable file.
//
//   zdefs show WIRE-FILE|-
//       Parses a wire text ("-" reads it from `in`) exactly as the program does at
//       start-up and prints what it reads. Exit 0 when start-up would go on with it; 1,
//       with the reason on `err`, when start-up would end on it (a parse error, a newer
//       published version, a pattern list longer than its table); 2 on a usage error or
//       an unreadable file.

#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <optional>
#include <sstream>
#include <ctime>

#include "core/definitions/load_definitions.h"
#include "core/definitions/set_freshness.h"
#include "core/definitions/version.h"
#include "core/texts/constant_texts.h"
#include "tools/zdefs/command.h"
#include "tools/zdefs/definitions_source.h"

namespace zc::zdefs {
namespace {

std::optional<std::string> ReadAll(std::istream& in) {
  std::ostringstream bytes;
  bytes << in.rdbuf();
  if (in.bad()) return std::nullopt;
  return std::move(bytes).str();
}

// `path` is UTF-8 on every system (zdefs' arguments are), also where file names are wide.
std::optional<std::string> ReadFile(const std::string& path) {
  const auto* utf8 = reinterpret_cast<const char8_t*>(path.data());
  std::ifstream file(std::filesystem::path(utf8, utf8 + path.size()), std::ios::binary);
  if (!file) return std::nullopt;
  return ReadAll(file);
}

// A text for one output line: control characters written as escapes.
std::string Printable(TextView text) {
  std::string out;
  for (const char16_t c : text) {
    if (c == u'\r') {
      out += "\\r";
    } else if (c == u'\n') {
      out += "\\n";
    } else if (c == u'\t') {
      out += "\\t";
    } else if (c < 0x20 || c == 0x7F) {
      static constexpr char kDigits[] = "0123456789ABCDEF";
      out += "\\x";
      out += kDigits[c >> 4];
      out += kDigits[c & 15];
    } else {
      out += ToUtf8(TextView(&c, 1));
    }
  }
  return out;
}

std::string JoinedPieces(const std::vector<Text>& pieces) {
  Text text;
  for (size_t i = 0; i < pieces.size(); ++i) text += (i > 0 ? u"|" : u"") + pieces[i];
  return Printable(text);
}

// "1 entry", "3 entries".
std::string Entries(size_t count) { return std::to_string(count) + (count == 1 ? " entry" : " entries"); }

void PrintEntries(std::ostream& out, const Text* entries, size_t count) {
  for (size_t i = 0; i < count; ++i) out << "  [" << i << "] " << Printable(entries[i]) << '\n';
}

// The failure reports of the deciphering are not printed one by one; each element that
// does not decipher gets one note instead.
class QuietReporter final : public FailureReporter {
 public:
  void Report(TextView, TextView) override {}
};

// Whole decimal digits (at most 18, so that any sum below stays in range).
std::optional<int64_t> Digits(const std::string& text) {
  if (text.empty() || text.size() > 18) return std::nullopt;
  int64_t value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return value;
}

// --expires: Unix seconds, or "+N" days from now.
std::optional<int64_t> ExpiryOf(const std::string& text, int64_t now) {
  if (!text.empty() && text[0] == '+') {
    const std::optional<int64_t> days = Digits(text.substr(1));
    if (!days || *days > 100000) return std::nullopt;
    return now + *days * 86400;
  }
  return Digits(text);
}

constexpr int64_t kDefaultLifeDays = 90;

int RunBuild(const std::vector<std::string>& args, std::istream&, std::ostream& out, std::ostream& err) {
  std::string path;
  std::optional<std::string> version, serialText, expiresText;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--version" && i + 1 < args.size()) {
      version = args[++i];
    } else if (args[i] == "--serial" && i + 1 < args.size()) {
      serialText = args[++i];
    } else if (args[i] == "--expires" && i + 1 < args.size()) {
      expiresText = args[++i];
    } else if (path.empty() && !args[i].empty() && args[i][0] != '-') {
      path = args[i];
    } else {
      path.clear();
      break;
    }
  }
  if (path.empty()) return PrintUsage("build", err);
  // By default the serial is the time of the build, so every later build is newer, and
  // the set lives 90 days.
  const int64_t now = static_cast<int64_t>(std::time(nullptr));
  const std::optional<int64_t> serial = serialText ? Digits(*serialText) : std::optional<int64_t>(now);
  const std::optional<int64_t> expires =
      expiresText ? ExpiryOf(*expiresText, now) : std::optional<int64_t>(now + kDefaultLifeDays * 86400);
  if (!serial || *serial == 0 || !expires) return PrintUsage("build", err);
  const std::optional<std::string> text = ReadFile(path);
  if (!text) {
    err << "zdefs build: cannot read " << path << '\n';
    return kUsageError;
  }
  SourceError error;
  std::optional<DefinitionsSource> source = ParseDefinitionsSource(*text, error);
  if (!source) {
    err << path;
    if (error.line > 0) err << ':' << error.line;
    err << ": error: " << error.message << '\n';
    return 1;
  }
  if (version) {
    if (version->empty()) return PrintUsage("build", err);
    source->version = FromUtf8(*version);
  }
  source->freshness = SetFreshness{static_cast<uint64_t>(*serial), *expires};
  out << BuildWireText(*source);
  out.flush();
  return out ? 0 : 1;
}

int RunShow(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err) {
  if (args.size() != 1 || args[0].empty()) return PrintUsage("show", err);
  const std::optional<std::string> bytes = args[0] == "-" ? ReadAll(in) : ReadFile(args[0]);
  if (!bytes) {
    err << "zdefs show: cannot read " << args[0] << '\n';
    return kUsageError;
  }
  // The program reads the body through the ANSI code page; a wire text is ASCII, where
  // that and UTF-8 agree.
  const Text body = FromUtf8(*bytes);

  QuietReporter reporter;
  const ConstantTexts texts(reporter);
  DefinitionsSet set;
  const DefinitionsResult parsed = ParseDefinitions(body, texts, set);
  const std::vector<Text>& elements = set.DefinitionsElements;
  out << "elements: " << elements.size() << '\n';
  if (!parsed.ok()) {
    err << "zdefs show: start-up would end: " << ToUtf8(DescribeDefinitionsResult(parsed)) << '\n';
    return 1;
  }

  const struct {
    size_t element;
    const char* name;
    const std::vector<Text>* list;
  } lists[] = {
      {1, "input tunnel patterns", &set.InputTunnelPatterns},
      {3, "output tunnel patterns", &set.OutputTunnelPatterns},
      {9, "registry entries", &set.RegistryEntryList},
      {11, "service names", &set.ServiceNameList},
      {13, "kill patterns", &set.ConnectionKillPatterns},
  };
  const Text latest = LatestVersion(set, texts);
  auto note = [&](size_t element, bool readEmpty) {
    if (readEmpty && !elements[element].empty())
      err << "zdefs show: note: element " << element << " does not decipher; the program reads it as empty\n";
  };
  for (const auto& l : lists) {
    out << "element " << l.element << " (" << l.name << "): " << JoinedPieces(*l.list) << '\n';
    note(l.element, l.list->empty());
  }
  out << "element 7 (homepage): " << Printable(set.HomepageUrl) << '\n';
  note(7, set.HomepageUrl.empty());
  const std::optional<SetFreshness> freshness = ReadSetFreshness(texts.Get(elements[0]));
  if (freshness) {
    out << "element 0 (serial and expiry): serial " << freshness->serial << ", expires " << freshness->expiresAt
        << " (Unix time, UTC)\n";
  } else {
    out << "element 0 (serial and expiry): none; a program that checks signatures refuses this set\n";
  }
  out << "element 5 (latest version): " << Printable(latest) << '\n';
  note(5, latest.empty());

  std::vector<std::string> reasons;
  const int64_t own = OwnVersion(texts);
  const double published = ReadLeadingNumber(latest);
  out << "LatestVersion: " << Printable(latest) << " (reads as " << published << "; the program's own version is "
      << own << ")\n";
  out << "HomepageUrl: " << Printable(set.HomepageUrl) << '\n';
  if (IsNewerVersionPublished(set, texts)) {
    std::ostringstream reason;
    reason << "the published version " << published << " is newer than the program's own version " << own
           << "; the program shows its notice, opens the homepage and ends";
    reasons.push_back(reason.str());
  }

  const DefinitionsResult tables = FillPatternTables(set);
  const struct {
    const char* name;
    const std::vector<Text>* patterns;
    const PatternTable* table;
    DefinitionsError tooLong;
  } tableViews[] = {
      {"input tunnel table", &set.InputTunnelPatterns, &set.InputTunnelTable, DefinitionsError::InputTunnelListTooLong},
      {"output tunnel table", &set.OutputTunnelPatterns, &set.OutputTunnelTable,
       DefinitionsError::OutputTunnelListTooLong},
  };
  for (const auto& t : tableViews) {
    if (tables.error == t.tooLong) {
      out << t.name << ": " << Entries(t.patterns->size() - 2) << ", more than its " << kPatternTableSlots
          << " slots\n";
      break;  // the program stops at the first list that does not fit
    }
    const size_t count = PatternEntryCount(*t.patterns);
    out << t.name << ": " << Entries(count) << '\n';
    PrintEntries(out, t.table->data(), count);
  }
  if (!tables.ok()) reasons.push_back(ToUtf8(DescribeDefinitionsResult(tables)));

  for (const auto& l : lists) {
    if (l.element == 1 || l.element == 3) continue;
    out << l.name << ": " << Entries(l.list->size()) << '\n';
    PrintEntries(out, l.list->data(), l.list->size());
  }

  for (const std::string& reason : reasons) err << "zdefs show: start-up would end: " << reason << '\n';
  return reasons.empty() ? 0 : 1;
}

const CommandRegistration kBuild{
    {"build", "build SOURCE [--version TEXT] [--serial NUMBER] [--expires UNIX-SECONDS|+DAYS]", RunBuild}};
const CommandRegistration kShow{{"show", "show WIRE-FILE|-", RunShow}};

}  // namespace
}  // namespace zc::zdefs
