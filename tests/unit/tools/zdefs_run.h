#pragma once
// Runs zdefs in the process, as its command line would, with no standard input.

#include <sstream>
#include <string>
#include <vector>

#include "tools/zdefs/command.h"

namespace zc::zdefs {

struct Outcome {
  int status;
  std::string out;
  std::string err;
};

inline Outcome Zdefs(const std::vector<std::string>& args) {
  std::istringstream in;
  std::ostringstream out;
  std::ostringstream err;
  const int status = Run(args, in, out, err);
  return {status, out.str(), err.str()};
}

}  // namespace zc::zdefs
