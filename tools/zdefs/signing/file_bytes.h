#pragma once
// Whole files as bytes, by UTF-8 path (zdefs' arguments are UTF-8 on every system).

#include <optional>
#include <string>
#include <string_view>

namespace zc::zdefs {

std::optional<std::string> ReadFileBytes(const std::string& path);

// Writes a new file at PATH, never replacing anything there: the bytes go to PATH.tmp,
// created exclusively without following a link (a file or link already there makes the
// write fail), with its final mode from the start (0600 when `secret`, else 0644),
// flushed to the disk, then linked in as PATH, which fails when PATH exists, and the
// temporary name removed. On failure nothing is left behind that this call made, and
// `why`, when given, says what failed.
bool WriteFileBytes(const std::string& path, std::string_view bytes, bool secret = false, std::string* why = nullptr);

bool FileExists(const std::string& path);

}  // namespace zc::zdefs
