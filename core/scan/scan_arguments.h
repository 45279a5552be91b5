#pragma once
// The silent scan's command line: "/scan" once, "/treat" to treat what it finds, and
// "/report FILE" for a JSON report. Switches may start with "/" or "-" and are read
// without regard to letter case; anything else is a bad argument, reported with the
// argument that is wrong.

#include <optional>
#include <vector>

#include "core/base/text.h"
#include "core/texts/constant_texts.h"

namespace zc {

struct ScanRequest {
  bool treat = false;
  std::optional<Text> reportPath;
};

enum class ScanArgumentsKind {
  NotAScan,  // no switch of the silent scan: the window starts
  Scan,
  Help,      // "/?" or "/help": the usage text, nothing else
  Bad,       // the usage text and `problem`
};

struct ScanArguments {
  ScanArgumentsKind kind = ScanArgumentsKind::NotAScan;
  ScanRequest request;
  Text problem;  // for Bad: what is wrong, with the argument
};

// `arguments`: the command line after the program's path, split as the system splits it.
ScanArguments ParseScanArguments(const std::vector<Text>& arguments, const ConstantTexts& texts);

// True when `arguments` hold a switch of the silent scan (the program then opens no
// window, whatever else they hold).
bool AsksForSilentScan(const std::vector<Text>& arguments);

// The usage text, one line per entry.
std::vector<Text> ScanUsageLines(const ConstantTexts& texts);

}  // namespace zc
