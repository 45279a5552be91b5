#include "core/machine/process_termination.h"

#include <gtest/gtest.h>

#include "tests/fakes/fake_shell.h"

namespace zc {
namespace {

TEST(TaskkillCommandTest, ExactCommandLines) {
  EXPECT_EQ(TaskkillByImageNameCommand(u"a.exe"), u"taskkill /f /im \"a.exe\"");
  EXPECT_EQ(TaskkillByProcessIdCommand(u"1234"), u"taskkill /f /pid \"1234\"");
  // Inserted unchanged: blanks, non-numbers, Korean names, the empty text.
  EXPECT_EQ(TaskkillByImageNameCommand(u"my tool.exe"), u"taskkill /f /im \"my tool.exe\"");
  EXPECT_EQ(TaskkillByProcessIdCommand(u"12ab"), u"taskkill /f /pid \"12ab\"");
  EXPECT_EQ(TaskkillByImageNameCommand(FromUtf8("좀비.exe")), FromUtf8("taskkill /f /im \"좀비.exe\""));
  EXPECT_EQ(TaskkillByImageNameCommand(u""), u"taskkill /f /im \"\"");
}

TEST(TaskkillCommandTest, TextsThatWouldBreakOutOfTheQuotesAreRefused) {
  const Text hostile[] = {
      u"a.exe\" /im \"explorer.exe",  // a quote would add arguments
      u"\"",
      u"4120\" /pid \"4",
      u"a.exe\r\nwhoami",
      u"a.exe\n",
      Text(u"a\0b", 3),
      u"a.exe\t",
      u"dir\\",  // would turn the closing quote into a literal one
  };
  for (const Text& t : hostile) {
    EXPECT_EQ(TaskkillByImageNameCommand(t), u"") << ToUtf8(t);
    EXPECT_EQ(TaskkillByProcessIdCommand(t), u"") << ToUtf8(t);
  }
}

TEST(KillTest, StartsTheToolHiddenOrNothingAtAll) {
  fakes::FakeShell shell;
  KillByImageName(shell, u"a.exe");
  KillByProcessId(shell, u"1234");
  KillByImageName(shell, u"a.exe\" /im \"explorer.exe");
  KillByProcessId(shell, u"1\" /pid \"4");
  ASSERT_EQ(shell.launches.size(), 2u);
  EXPECT_EQ(shell.launches[0].first, u"taskkill /f /im \"a.exe\"");
  EXPECT_EQ(shell.launches[0].second, WindowState::Hidden);
  EXPECT_EQ(shell.launches[1].first, u"taskkill /f /pid \"1234\"");
  EXPECT_EQ(shell.launches[1].second, WindowState::Hidden);

  shell.failAll = true;  // a launch that fails is simply forgotten
  KillByImageName(shell, u"a.exe");
}

}  // namespace
}  // namespace zc
