#include "win32/base/file_path.h"

#include "win32/base/ansi.h"

namespace zc::win {
namespace {

// Room for the longest name a call may add inside a folder ("\name.ext" of 8.3) below
// the classic limit.
constexpr size_t kClassicLimit = 248;

bool IsDrivePath(TextView path) {
  return path.size() >= 3 && path[1] == u':' && (path[2] == u'\\' || path[2] == u'/') &&
         ((path[0] | 0x20) >= u'a' && (path[0] | 0x20) <= u'z');
}

}  // namespace

std::wstring WidePath(TextView path) {
  if (path.size() < kClassicLimit) return ToWide(path);
  // The "\\?\" form is taken literally: only "\" separates, "." and ".." are names.
  // A path with such elements keeps its classic form (and the classic limit).
  Text full(path);
  for (char16_t& c : full) {
    if (c == u'/') c = u'\\';
  }
  if (full.find(u"\\.\\") != Text::npos || full.find(u"\\..\\") != Text::npos) return ToWide(path);
  if (IsDrivePath(full)) return L"\\\\?\\" + ToWide(full);
  if (full.rfind(u"\\\\", 0) == 0 && full.rfind(u"\\\\?\\", 0) != 0 && full.rfind(u"\\\\.\\", 0) != 0) {
    return L"\\\\?\\UNC\\" + ToWide(TextView(full).substr(2));
  }
  return ToWide(path);
}

}  // namespace zc::win
