#include "tools/zdefs/signing/file_bytes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace zc::zdefs {
namespace {

std::filesystem::path PathOf(const std::string& utf8) {
  const auto* units = reinterpret_cast<const char8_t*>(utf8.data());
  return std::filesystem::path(units, units + utf8.size());
}

bool Fail(std::string* why, const std::string& step) {
  if (why) *why = step + ": " + std::strerror(errno);
  return false;
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

bool WriteFileBytes(const std::string& path, std::string_view bytes, bool secret, std::string* why) {
  const std::string temporary = path + ".tmp";
  const mode_t mode = secret ? 0600 : 0644;
  // O_EXCL with O_CREAT never follows a link at the last element; O_NOFOLLOW says so
  // once more. The mode is the file's from its first moment (less the umask, which can
  // only take rights away).
  const int file = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
  if (file < 0) return Fail(why, "create " + temporary);
  bool written = true;
  for (size_t done = 0; written && done < bytes.size();) {
    const ssize_t n = ::write(file, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) written = false;
    else done += static_cast<size_t>(n);
  }
  std::string step = written ? "" : "write " + temporary;
  if (written && ::fsync(file) != 0) {
    written = false;
    step = "flush " + temporary;
  }
  const int savedErrno = errno;
  if (::close(file) != 0 && written) {
    written = false;
    step = "close " + temporary;
  } else {
    errno = savedErrno;
  }
  if (written && ::link(temporary.c_str(), path.c_str()) != 0) {
    written = false;
    step = "link " + path;
  }
  const int failure = errno;
  ::unlink(temporary.c_str());
  errno = failure;
  return written ? true : Fail(why, step);
}

bool FileExists(const std::string& path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0;
}

}  // namespace zc::zdefs
