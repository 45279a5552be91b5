#pragma once
// One line of the treatment record: an action word followed by key=value fields,
// separated by tabs, and a closing field "end". Values are UTF-8 with '%', control
// characters and DEL written as %XX, so a value never holds a tab or a line end. A line
// that lacks its closing field was cut short while being written and counts as absent.
//
//   file<TAB>treatment=2<TAB>path=C:\x\a.exe<TAB>backup=a.exe<TAB>...<TAB>end

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/base/text.h"

namespace zc {

struct RecordLine {
  std::string action;
  std::vector<std::pair<std::string, Text>> fields;  // in order; a key may repeat

  void Add(std::string key, Text value) { fields.emplace_back(std::move(key), std::move(value)); }
  // The first value of `key`; nothing when absent.
  std::optional<Text> Get(std::string_view key) const;
  // Every value of `key`, in order.
  std::vector<Text> GetAll(std::string_view key) const;
};

// The line with its closing field and a CR LF.
std::string FormatRecordLine(const RecordLine& line);

enum class LineParse { Complete, Cut, Malformed };

// Parses one line (without its line end). `Cut` for a line without its closing field,
// `Malformed` for a bad escape or a field without '='.
LineParse ParseRecordLine(std::string_view text, RecordLine& line);

std::string EscapeRecordValue(TextView value);
// Nothing when an escape is not '%' followed by two hexadecimal digits.
std::optional<Text> UnescapeRecordValue(std::string_view value);

// Bytes as two lower-case hexadecimal digits each, and back (either case; nothing for
// an odd count or a non-digit).
std::string HexBytes(const std::vector<uint8_t>& bytes);
std::optional<std::vector<uint8_t>> BytesFromHex(std::string_view hex);

}  // namespace zc
