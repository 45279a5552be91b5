#include "tools/zdefs/definitions_source.h"

#include <array>

#include "core/crypto/text_cipher.h"
#include "core/definitions/definitions_set.h"
#include "core/platform/activity_log.h"

namespace zc::zdefs {
namespace {

enum class Section { InputTunnel, OutputTunnel, Version, Homepage, RegistryEntries, Services, KillPatterns };
constexpr size_t kSectionCount = 7;

struct SectionInfo {
  std::string_view name;
  bool singleValue;
};
constexpr std::array<SectionInfo, kSectionCount> kSections = {{
    {"input-tunnel", false},
    {"output-tunnel", false},
    {"version", true},
    {"homepage", true},
    {"registry-entries", false},
    {"services", false},
    {"kill-patterns", false},
}};

std::string_view TrimBlanks(std::string_view s) {
  const size_t first = s.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  const size_t last = s.find_last_not_of(" \t");
  return s.substr(first, last - first + 1);
}

std::vector<Text>& ListOf(DefinitionsSource& source, Section section) {
  switch (section) {
    case Section::InputTunnel:
      return source.inputTunnel;
    case Section::OutputTunnel:
      return source.outputTunnel;
    case Section::RegistryEntries:
      return source.registryEntries;
    case Section::Services:
      return source.serviceNames;
    default:
      return source.killPatterns;
  }
}

// Checks one entry; empty message when it is acceptable.
std::string EntryFault(const Text& entry) {
  if (entry.empty()) return "an empty entry is not allowed (an empty pattern would match every line)";
  for (const char16_t c : entry) {
    if (c == u'|') return "an entry may not hold \"|\", which separates the entries";
    if (c < 0x20 || c == 0x7F) return "an entry may not hold a control character";
  }
  return {};
}

Text JoinPieces(const std::vector<Text>& pieces, bool outerBars) {
  Text text = outerBars ? Text(u"|") : Text();
  for (size_t i = 0; i < pieces.size(); ++i) {
    if (i > 0 && !outerBars) text += u'|';
    text += pieces[i];
    if (outerBars) text += u'|';
  }
  return text;
}

}  // namespace

std::optional<DefinitionsSource> ParseDefinitionsSource(std::string_view utf8, SourceError& error) {
  if (utf8.substr(0, 3) == "\xEF\xBB\xBF") utf8.remove_prefix(3);
  DefinitionsSource source;
  std::array<size_t, kSectionCount> seenAt{};  // line of each section's header, 0 if unseen
  std::array<size_t, kSectionCount> values{};
  std::optional<Section> current;
  auto fail = [&](size_t line, std::string message) {
    error = {line, std::move(message)};
    return std::nullopt;
  };

  size_t lineNumber = 0;
  size_t start = 0;
  while (start < utf8.size()) {
    size_t end = utf8.find('\n', start);
    if (end == std::string_view::npos) end = utf8.size();
    std::string_view raw = utf8.substr(start, end - start);
    start = end + 1;
    ++lineNumber;
    if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
    const std::string_view line = TrimBlanks(raw);
    if (line.empty() || line.front() == '#') continue;

    if (line.front() == '[') {
      if (line.back() != ']') return fail(lineNumber, "a section header ends with \"]\"");
      const std::string_view name = TrimBlanks(line.substr(1, line.size() - 2));
      size_t index = 0;
      while (index < kSectionCount && kSections[index].name != name) ++index;
      if (index == kSectionCount) {
        std::string known;
        for (const auto& s : kSections) known += (known.empty() ? "" : ", ") + std::string(s.name);
        return fail(lineNumber, "unknown section [" + std::string(name) + "]; the sections are " + known);
      }
      if (seenAt[index] != 0)
        return fail(lineNumber, "section [" + std::string(name) + "] appears a second time (first on line " +
                                    std::to_string(seenAt[index]) + ")");
      seenAt[index] = lineNumber;
      current = static_cast<Section>(index);
      continue;
    }

    if (!current) return fail(lineNumber, "an entry before the first section header");
    std::string_view value = line;
    if (value.front() == '"') {
      if (value.size() < 2 || value.back() != '"') return fail(lineNumber, "a quoted entry ends with a double quote");
      value = value.substr(1, value.size() - 2);
    }
    Text entry = FromUtf8(value);
    if (std::string fault = EntryFault(entry); !fault.empty()) return fail(lineNumber, fault);

    const size_t index = static_cast<size_t>(*current);
    ++values[index];
    if (kSections[index].singleValue) {
      if (values[index] > 1)
        return fail(lineNumber, "section [" + std::string(kSections[index].name) + "] takes exactly one value");
      (*current == Section::Version ? source.version : source.homepage) = std::move(entry);
    } else {
      std::vector<Text>& list = ListOf(source, *current);
      const bool tabled = *current == Section::InputTunnel || *current == Section::OutputTunnel;
      if (tabled && list.size() == kPatternTableSlots)
        return fail(lineNumber, "section [" + std::string(kSections[index].name) + "] holds at most " +
                                    std::to_string(kPatternTableSlots) + " entries");
      list.push_back(std::move(entry));
    }
  }

  for (size_t index = 0; index < kSectionCount; ++index) {
    if (seenAt[index] != 0 && kSections[index].singleValue && values[index] == 0)
      return fail(seenAt[index], "section [" + std::string(kSections[index].name) + "] needs one value");
  }
  for (size_t index = 0; index < kSectionCount; ++index) {
    if (seenAt[index] == 0) return fail(0, "section [" + std::string(kSections[index].name) + "] is missing");
  }
  return source;
}

std::vector<Text> PlainElements(const DefinitionsSource& source) {
  return {
      JoinPieces(source.inputTunnel, true),      JoinPieces(source.outputTunnel, true),
      source.version,                            source.homepage,
      JoinPieces(source.registryEntries, false), JoinPieces(source.serviceNames, false),
      JoinPieces(source.killPatterns, false),
  };
}

std::string BuildWireText(const DefinitionsSource& source) {
  SilentFailureReporter silent;
  std::string wire;
  if (source.freshness) wire += ToUtf8(EncryptText(SetFreshnessText(*source.freshness), kTextKey, silent));
  bool first = true;
  for (const Text& plain : PlainElements(source)) {
    if (!first) wire += "@@";  // closes the odd element before
    wire += "@@";              // closes the even element
    first = false;
    if (!plain.empty()) wire += ToUtf8(EncryptText(plain, kTextKey, silent));
  }
  wire += "@@\n";
  return wire;
}

}  // namespace zc::zdefs
