#include "win32/machine/win32_console.h"

#include <gtest/gtest.h>

#include "tests/win32/machine/child_process.h"
#include "win32/base/ansi.h"
#include "win32/machine/ansi_stream_decoder.h"

namespace zc::win {
namespace {

using testing::ChildCommand;

Text Capture(const std::string& arguments) {
  Win32Console console;
  return console.RunCapture(FromAnsi(ChildCommand(arguments)));
}

// Handle slots are reused lowest-first: when a call leaks no handle, a handle made
// after it takes the slot that one made before it had.
HANDLE ProbeHandle() {
  HANDLE event = ::CreateEventA(nullptr, FALSE, FALSE, nullptr);
  ::CloseHandle(event);
  return event;
}

TEST(Win32ConsoleTest, CapturesStandardOutputExactly) {
  const Text output = Capture("print 1000");
  ASSERT_EQ(output.size(), 1000u);
  EXPECT_EQ(output.substr(0, 14), u"line 0000000\r\n");
  EXPECT_EQ(output.substr(14, 14), u"line 0000001\r\n");
}

TEST(Win32ConsoleTest, CapturesStandardErrorAndLateOutput) {
  EXPECT_EQ(Capture("stderr only-on-stderr"), u"only-on-stderr");
  // Written after the first wait has timed out, right before the child exits.
  EXPECT_EQ(Capture("late 700 last-words"), u"last-words");
  EXPECT_EQ(Capture("exit"), u"");
}

TEST(Win32ConsoleTest, OutputLargerThanAnyPipeBufferIsComplete) {
  const Text output = Capture("print 1500000");
  ASSERT_EQ(output.size(), 1500000u);
  EXPECT_EQ(output.substr(output.size() - 14), u"\r\nline 0107142");
}

TEST(Win32ConsoleTest, ADoubleByteCharacterSplitAcrossReadsStaysWhole) {
  ASSERT_EQ(::GetACP(), 949u) << "the test bed runs with the Korean code page";
  EXPECT_EQ(Capture("split 700"), FromUtf8("가"));
}

TEST(Win32ConsoleTest, RunsInTheCallersFolder) {
  char folder[MAX_PATH] = {};
  ::GetCurrentDirectoryA(MAX_PATH, folder);
  EXPECT_EQ(Capture("cwd"), FromAnsi(folder));
}

TEST(Win32ConsoleTest, AMissingProgramGivesEmptyTextAndLeaksNoHandle) {
  Win32Console console;
  const HANDLE before = ProbeHandle();
  EXPECT_EQ(console.RunCapture(u"zc_no_such_program_4711.exe /x"), u"");
  EXPECT_EQ(console.RunCapture(u""), u"");
  EXPECT_EQ(ProbeHandle(), before);

  console.RunCapture(FromAnsi(ChildCommand("print 10")));
  EXPECT_EQ(ProbeHandle(), before);
}

TEST(AnsiStreamDecoderTest, HoldsBackALeadByteUntilItsTrailArrives) {
  ASSERT_EQ(::GetACP(), 949u);
  AnsiStreamDecoder decoder;
  EXPECT_EQ(decoder.Decode("ab\xB0"), u"ab");
  EXPECT_EQ(decoder.Decode("\xA1\xB0"), FromUtf8("가"));
  // 0xB0 0xA1 0xB0: the second 0xB0 is a lead byte again, the first pair a character.
  EXPECT_EQ(decoder.Decode("\xA1" "c"), FromUtf8("가c"));
  // A lead byte in trail position belongs to the character before it.
  EXPECT_EQ(decoder.Decode("\xB0\xB0"), FromAnsi("\xB0\xB0"));
  EXPECT_EQ(decoder.Finish(), u"");
  decoder.Decode("x\xB0");
  EXPECT_EQ(decoder.Finish().size(), 1u);  // the lone lead byte still gives a character
  EXPECT_EQ(decoder.Finish(), u"");
}

}  // namespace
}  // namespace zc::win
