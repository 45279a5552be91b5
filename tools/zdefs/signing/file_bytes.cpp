#include "tools/zdefs/signing/file_bytes.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace zc::zdefs {
namespace {

std::filesystem::path PathOf(const std::string& utf8) {
  const auto* units = reinterpret_cast<const char8_t*>(utf8.data());
  return std::filesystem::path(units, units + utf8.size());
}

}  // namespace

std::optional<std::string> ReadFileBytes(const std::string& path) {
  std::ifstream file(PathOf(path), std::ios::binary);
  if (!file) return std::nullopt;
  std::ostringstream bytes;
  bytes << file.rdbuf();
  if (file.bad()) return std::nullopt;
  return std::move(bytes).str();
}

bool WriteFileBytes(const std::string& path, std::string_view bytes, bool secret) {
  const std::filesystem::path target = PathOf(path);
  std::filesystem::path temporary = target;
  temporary += ".tmp";
  std::error_code ignored;
  {
    std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
    if (!file) return false;
    if (secret) {
      std::filesystem::permissions(temporary, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write,
                                   ignored);
    }
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!file.flush()) {
      file.close();
      std::filesystem::remove(temporary, ignored);
      return false;
    }
  }
  std::error_code renamed;
  std::filesystem::rename(temporary, target, renamed);
  if (renamed) std::filesystem::remove(temporary, ignored);
  return !renamed;
}

bool FileExists(const std::string& path) {
  std::error_code ignored;
  return std::filesystem::exists(PathOf(path), ignored);
}

}  // namespace zc::zdefs
