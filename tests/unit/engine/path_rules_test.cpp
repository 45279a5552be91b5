#include <gtest/gtest.h>

#include "core/engine/file_target.h"
#include "core/engine/finding_processes.h"
#include "tests/fakes/fake_files.h"

namespace zc {
namespace {

TEST(WindowsPathTest, SameAndInsideTable) {
  struct Case {
    const char16_t* path;
    const char16_t* other;
    bool same;
    bool inside;  // path lies below other
  };
  const Case cases[] = {
      {u"C:\\Temp\\evil.exe", u"C:\\Temp\\evil.exe", true, false},
      {u"c:\\temp\\EVIL.EXE", u"C:\\Temp\\evil.exe", true, false},
      {u"C:/Temp/evil.exe", u"C:\\Temp\\evil.exe", true, false},
      {u"C:\\Temp\\evil.exe", u"D:\\Temp\\evil.exe", false, false},
      {u"C:\\Windows\\System32\\svchost.exe", u"C:\\Windows", false, true},
      {u"c:\\WINDOWS\\svchost.exe", u"C:\\Windows\\", false, true},
      {u"C:\\WindowsApps\\x.exe", u"C:\\Windows", false, false},
      {u"C:\\Windows", u"C:\\Windows", true, false},
      {u"C:\\Windows\\x.exe", u"", false, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SameWindowsPath(c.path, c.other), c.same) << ToUtf8(c.path) << " | " << ToUtf8(c.other);
    EXPECT_EQ(LiesInFolder(c.path, c.other), c.inside) << ToUtf8(c.path) << " | " << ToUtf8(c.other);
  }
}

TEST(FileTargetTest, OnlyAFileOrNothingMayGetThePlaceholder) {
  fakes::FakeFiles files;
  files.AddFolder(u"C:\\Program Files");
  files.AddFolder(u"C:\\Program Files\\Vendor");
  files.AddFile(u"C:\\Program Files\\Vendor\\app.exe");
  struct Case {
    const char16_t* path;
    bool fileOrNothing;
  };
  const Case cases[] = {
      {u"C:\\Program Files\\Vendor\\app.exe", true},   // a file
      {u"C:\\Program Files\\Vendor\\gone.exe", true},  // nothing
      {u"C:\\Program Files\\Vendor\\..\\x.exe", true},
      {u"evil.exe", true},
      {u"C:evil.exe", true},
      {u"", true},
      {u"C:\\Program Files\\Vendor", false},  // an existing folder
      {u"c:\\program files\\VENDOR", false},
      {u"C:\\Program Files\\Vendor\\", false},
      {u"C:\\Program Files\\Vendor/", false},
      {u"C:\\Program Files\\Vendor\\..", false},
      {u"C:\\Program Files\\Vendor\\.", false},
      {u"C:\\Nowhere\\", false},
      {u"C:\\", false},
      {u"C:", false},
      {u"Z:..", false},
      {u"..", false},
      {u"\\", false},
  };
  for (const Case& c : cases) EXPECT_EQ(NamesFileOrNothing(files, c.path), c.fileOrNothing) << ToUtf8(c.path);
}

}  // namespace
}  // namespace zc
