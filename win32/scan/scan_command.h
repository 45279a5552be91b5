#pragma once
// The silent scan from the command line ("/scan [/treat] [/report FILE]"), for the
// program itself and for its console form zcscan.exe: builds the real adapters, runs
// the scan, writes the report and the lines, and returns the exit code.

#include <vector>

#include "core/base/text.h"

namespace zc::win {

int RunScanCommand(const std::vector<Text>& arguments);

}  // namespace zc::win
