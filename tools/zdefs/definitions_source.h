#pragma once
// The maker's readable form of a definitions set (UTF-8, one entry a line):
//
//     # comment lines and blank lines are skipped
//     [input-tunnel]        connection patterns listed as "inPut Tun" (at most 100)
//     :48121
//     [output-tunnel]       connection patterns listed as "outPut Tun" (at most 100)
//     [version]             the published version: exactly one value
//     2
//     [homepage]            the homepage address: exactly one value
//     http://example.test/
//     [registry-entries]    autorun value names
//     [services]            service names
//     [kill-patterns]       connection patterns whose process is ended at once
//
// Every section appears exactly once, in any order; a list section may stay empty. An
// entry is its line without surrounding blanks; written in double quotes it is taken
// literally between the first and the last quote, so "  :80 " keeps its blanks and
// "#1" is an entry, not a comment. Entries may not be empty and may not hold "|" or a
// control character.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/base/text.h"
#include "core/definitions/set_freshness.h"

namespace zc::zdefs {

struct DefinitionsSource {
  std::vector<Text> inputTunnel;
  std::vector<Text> outputTunnel;
  Text version;
  Text homepage;
  std::vector<Text> registryEntries;
  std::vector<Text> serviceNames;
  std::vector<Text> killPatterns;
  // The set's serial and expiry, written into element 0 (see set_freshness.h); not part
  // of the readable form: `zdefs build` gives them.
  std::optional<SetFreshness> freshness;
};

struct SourceError {
  size_t line = 0;  // 1-based; 0 when the error concerns the whole file
  std::string message;
};

// Reads a source text; `error` gets the first fault when the result is empty.
std::optional<DefinitionsSource> ParseDefinitionsSource(std::string_view utf8, SourceError& error);

// The plain texts of the wire elements 1, 3, 5, 7, 9, 11 and 13, in that order. The two
// pattern lists get outer bars, because the program's tables skip the first and the last
// piece ("|a|b|"; an empty list is "|"). The other lists are joined as they are; an
// empty one is the empty text.
std::vector<Text> PlainElements(const DefinitionsSource& source);

// The wire text: fourteen elements joined by "@@", the odd ones enciphered under the
// program's text key (an empty plain text stays an empty element), element 0 the
// enciphered "SERIAL|EXPIRES" when the source has them, the other even ones empty,
// closed by one more "@@" and a line end so that a trailing line end never touches
// element 13.
std::string BuildWireText(const DefinitionsSource& source);

}  // namespace zc::zdefs
