// The long-path form of the wide file calls. Wine accepts wide paths past 260 characters
// without it, so only these rules show that a Windows without the long-path setting gets
// a path it can open.

#include "win32/base/file_path.h"

#include <gtest/gtest.h>

namespace zc::win {
namespace {

TEST(WidePath, PathsPastTheClassicLimitTakeTheLongForm) {
  const Text deep = Text(150, u'x') + u"\\" + Text(150, u'y') + u"\\mal.exe";
  struct Case {
    Text path;
    std::wstring wide;
  };
  const Case cases[] = {
      {u"C:\\Temp\\mal.exe", L"C:\\Temp\\mal.exe"},                         // short: as it is
      {u"C:\\" + deep, L"\\\\?\\C:\\" + std::wstring(deep.begin(), deep.end())},
      {u"c:/" + Text(300, u'a'), L"\\\\?\\c:\\" + std::wstring(300, L'a')},  // "/" becomes "\"
      {u"\\\\server\\share\\" + deep, L"\\\\?\\UNC\\server\\share\\" + std::wstring(deep.begin(), deep.end())},
      {u"\\\\?\\C:\\" + deep, L"\\\\?\\C:\\" + std::wstring(deep.begin(), deep.end())},  // already long
      {u"C:\\a\\..\\" + deep, L"C:\\a\\..\\" + std::wstring(deep.begin(), deep.end())},    // ".." kept classic
      {u"relative\\" + deep, L"relative\\" + std::wstring(deep.begin(), deep.end())},
  };
  for (const Case& c : cases) EXPECT_EQ(WidePath(c.path), c.wide) << ToUtf8(c.path).substr(0, 40);
}

}  // namespace
}  // namespace zc::win
