// The program's event messages as Event Viewer reads them from ZombieCure.exe: every event
// id the core reports, with its severity bits, is in the message table in Korean and in
// English with the inserted text in it; the adapter gives ReportEventW the type those bits
// name. (Wine's ReportEventW stores nothing, so the table is what can be read back here.)

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "core/platform/event_ids.h"
#include "win32/base/ansi.h"
#include "win32/log/win32_event_log.h"

namespace zc::win {
namespace {

std::wstring ProgramPath() {
  std::wstring path = L"Z:" + ToWide(FromUtf8(ZC_PROGRAM_PATH));
  for (wchar_t& c : path) {
    if (c == L'/') c = L'\\';
  }
  return path;
}

// The message `id` in `language` with "<inserted>" as %1; empty when there is none.
std::wstring Message(HMODULE program, DWORD id, WORD language) {
  const wchar_t* inserted = L"<inserted>";
  const DWORD_PTR arguments[] = {reinterpret_cast<DWORD_PTR>(inserted)};
  wchar_t* text = nullptr;
  const DWORD length =
      ::FormatMessageW(FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_ARGUMENT_ARRAY,
                       program, id, MAKELANGID(language, SUBLANG_DEFAULT), reinterpret_cast<LPWSTR>(&text), 0,
                       reinterpret_cast<va_list*>(const_cast<DWORD_PTR*>(arguments)));
  std::wstring message = length ? std::wstring(text, length) : std::wstring();
  ::LocalFree(text);
  return message;
}

bool HasHangul(const std::wstring& text) {
  for (wchar_t c : text) {
    if (c >= 0xAC00 && c <= 0xD7A3) return true;
  }
  return false;
}

TEST(ProgramEvents, EveryEventIdHasItsKoreanAndEnglishMessage) {
  HMODULE program = ::LoadLibraryExW(ProgramPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(program, nullptr);
  for (const uint32_t id : events::kAllEvents) {
    const std::wstring korean = Message(program, id, LANG_KOREAN);
    const std::wstring english = Message(program, id, LANG_ENGLISH);
    EXPECT_NE(korean.find(L"<inserted>"), std::wstring::npos) << std::hex << id;
    EXPECT_NE(english.find(L"<inserted>"), std::wstring::npos) << std::hex << id;
    if (id != events::kCandyButtonError) {  // the button's message is its entry alone
      EXPECT_TRUE(HasHangul(korean)) << std::hex << id;
      EXPECT_FALSE(HasHangul(english)) << std::hex << id;
    }
    // The same code with other severity bits is no message: the bits are part of the id.
    EXPECT_EQ(Message(program, id ^ 0x40000000u, LANG_ENGLISH), L"") << std::hex << id;
  }
  ::FreeLibrary(program);
}

TEST(ProgramEvents, TheEventTypeFollowsTheSeverityBits) {
  EXPECT_EQ(EventTypeOf(0xC000076Cu), EVENTLOG_ERROR_TYPE);
  EXPECT_EQ(EventTypeOf(0x800003E8u), EVENTLOG_WARNING_TYPE);
  EXPECT_EQ(EventTypeOf(0x4000044Cu), EVENTLOG_INFORMATION_TYPE);
  EXPECT_EQ(EventTypeOf(0x0000044Cu), EVENTLOG_INFORMATION_TYPE);
  // The ids the program reports, written out: a change of code or severity shows here.
  EXPECT_EQ(events::kFindingReported, 0x800003E8u);
  EXPECT_EQ(events::kTreatmentIncomplete, 0xC000044Du);
  EXPECT_EQ(events::kUserCopyRemoved, 0x40000578u);
  EXPECT_EQ(events::kCandyButtonError, 0xC000076Cu);
}

TEST(ProgramEvents, TheAdapterReportsThroughTheNamedSource) {
  Win32EventLog log(u"ZombieCure");
  EXPECT_EQ(log.Report(events::kStorePrepared, u"test event"), SystemError::None);
  EXPECT_EQ(log.Report(events::kCandyButtonError, u"CandyButton.zAddMsg: test"), SystemError::None);
}

}  // namespace
}  // namespace zc::win
