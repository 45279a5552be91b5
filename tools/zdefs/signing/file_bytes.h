#pragma once
// Whole files as bytes, by UTF-8 path (zdefs' arguments are UTF-8 on every system).

#include <optional>
#include <string>
#include <string_view>

namespace zc::zdefs {

std::optional<std::string> ReadFileBytes(const std::string& path);

// Writes to PATH.tmp, then renames it over PATH, so PATH is never left half written.
// `secret`: the file is readable by its owner only (on systems with permissions).
bool WriteFileBytes(const std::string& path, std::string_view bytes, bool secret = false);

bool FileExists(const std::string& path);

}  // namespace zc::zdefs
