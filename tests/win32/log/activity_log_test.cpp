// The activity log under Wine with the Korean locale (code page 949): the activity log file.

#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <regex>
#include <string>

#include "core/crypto/text_cipher.h"
#include "core/texts/constant_texts.h"
#include "core/base/character_references.h"
#include "tests/win32/base/ansi_of.h"
#include "win32/base/ansi.h"
#include "win32/log/log_failure_reporter.h"
#include "win32/log/win32_activity_log.h"

namespace zc::win {
namespace {

std::wstring Wide(const Text& text) { return ToWide(text); }

Text LogFileName() {
  SilentFailureReporter silent;
  return ConstantTexts(silent).Get(enc::LogFileName);
}

class ActivityLogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(::GetACP(), 949u) << "the test bed runs with the Korean locale";
    wchar_t temp[MAX_PATH] = {};
    ASSERT_GT(::GetTempPathW(MAX_PATH, temp), 0u);
    const std::wstring test_name = FromUtf8Wide(::testing::UnitTest::GetInstance()->current_test_info()->name());
    dir_ = std::wstring(temp) + L"zc_log_" + std::to_wstring(::GetCurrentProcessId()) + L"_" + test_name + L"_기록";
    ::CreateDirectoryW(dir_.c_str(), nullptr);
    folder_ = FromWide(dir_) + u"\\";
    file_ = dir_ + L"\\" + Wide(LogFileName());
  }

  void TearDown() override {
    ::SetFileAttributesW(file_.c_str(), FILE_ATTRIBUTE_NORMAL);
    ::DeleteFileW(file_.c_str());
    ::RemoveDirectoryW(dir_.c_str());
  }

  static std::wstring FromUtf8Wide(const char* utf8) { return ToWide(FromUtf8(utf8)); }

  static bool Exists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

  static std::string Read(const std::wstring& path) {
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return "<missing>";
    std::string content;
    char buffer[4096];
    DWORD got = 0;
    while (::ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) content.append(buffer, got);
    ::CloseHandle(file);
    return content;
  }

  static void Write(const std::wstring& path, const std::string& bytes) {
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    ::CloseHandle(file);
  }

  // One log line: "[" + short date + " " + long time + "] " + text + CR LF, in CP949.
  static void ExpectLine(const std::string& line, const Text& text) {
    const std::string tail = "] " + AnsiOf(text) + "\r\n";
    ASSERT_GE(line.size(), tail.size() + 2) << line;
    EXPECT_EQ(line.front(), '[');
    EXPECT_EQ(line.substr(line.size() - tail.size()), tail);
    const std::string stamp = line.substr(1, line.size() - tail.size() - 1);
    EXPECT_TRUE(StampNearNow(stamp)) << stamp;
  }

  // The stamp equals the general date format of a moment within the last minute.
  static bool StampNearNow(const std::string& stamp) {
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    FILETIME ft{};
    ::SystemTimeToFileTime(&now, &ft);
    ULARGE_INTEGER t{};
    t.LowPart = ft.dwLowDateTime;
    t.HighPart = ft.dwHighDateTime;
    for (int back = 0; back <= 60; ++back) {
      ULARGE_INTEGER u = t;
      u.QuadPart -= static_cast<ULONGLONG>(back) * 10'000'000ULL;
      FILETIME f{u.LowPart, u.HighPart};
      SYSTEMTIME s{};
      ::FileTimeToSystemTime(&f, &s);
      wchar_t date[128] = {};
      wchar_t time[128] = {};
      ::GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &s, nullptr, date, 128);
      ::GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &s, nullptr, time, 128);
      if (AnsiOf(FromWide(std::wstring(date) + L" " + time)) == stamp) return true;
    }
    return false;
  }

  static std::vector<std::string> Lines(const std::string& content) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < content.size()) {
      const size_t end = content.find("\r\n", start);
      if (end == std::string::npos) {
        lines.push_back(content.substr(start));
        break;
      }
      lines.push_back(content.substr(start, end + 2 - start));
      start = end + 2;
    }
    return lines;
  }

  Win32ActivityLog log_;
  std::wstring dir_;
  Text folder_;
  std::wstring file_;
};

TEST_F(ActivityLogTest, TheLogFileNameIsAKoreanTextInCodePage949) {
  const Text name = LogFileName();
  ASSERT_FALSE(name.empty());
  EXPECT_EQ(FromAnsi(AnsiOf(name)), name);
}

TEST_F(ActivityLogTest, FirstCallCreatesSecondCallAppends) {
  const Text first = u"좀비를 치료했습니다. 파일 위치 [C:\\악성\\zombie.exe]";
  const Text second = u"두 번째 줄";
  ASSERT_FALSE(Exists(file_));
  log_.Log_Trans(first, folder_);
  ASSERT_TRUE(Exists(file_));
  auto lines = Lines(Read(file_));
  ASSERT_EQ(lines.size(), 1u);
  ExpectLine(lines[0], first);

  log_.Log_Trans(second, folder_);
  lines = Lines(Read(file_));
  ASSERT_EQ(lines.size(), 2u);
  ExpectLine(lines[0], first);
  ExpectLine(lines[1], second);
  // Code page 949: two bytes per Hangul syllable.
  EXPECT_NE(lines[1].find(std::string("\xB5\xCE \xB9\xF8\xC2\xB0 \xC1\xD9")), std::string::npos);
}

TEST_F(ActivityLogTest, AppendsToAnExistingFileWithoutTouchingIt) {
  Write(file_, "earlier line\r\n");
  log_.Log_Trans(u"추가", folder_);
  const auto lines = Lines(Read(file_));
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], "earlier line\r\n");
  ExpectLine(lines[1], u"추가");
}

TEST_F(ActivityLogTest, EmptyFolderTextUsesTheCurrentDirectory) {
  wchar_t previous[MAX_PATH] = {};
  ::GetCurrentDirectoryW(MAX_PATH, previous);
  ASSERT_TRUE(::SetCurrentDirectoryW(dir_.c_str()));
  log_.Log_Trans(u"현재 폴더", u"");
  ::SetCurrentDirectoryW(previous);
  const auto lines = Lines(Read(file_));
  ASSERT_EQ(lines.size(), 1u);
  ExpectLine(lines[0], u"현재 폴더");
}

TEST_F(ActivityLogTest, NothingIsInsertedBetweenFolderAndName) {
  // A folder text without the trailing backslash names a file beside the folder.
  const std::wstring beside = dir_ + Wide(LogFileName());
  log_.Log_Trans(u"옆", FromWide(dir_));
  EXPECT_TRUE(Exists(beside));
  EXPECT_FALSE(Exists(file_));
  ::DeleteFileW(beside.c_str());
}

TEST_F(ActivityLogTest, AMissingFolderWritesNothing) {
  const std::wstring missing = dir_ + L"\\없는 폴더";
  log_.Log_Trans(u"기록 안 됨", FromWide(missing) + u"\\");
  EXPECT_FALSE(Exists(missing));
  EXPECT_FALSE(Exists(missing + L"\\" + Wide(LogFileName())));
}

// A character code page 949 lacks is written as a character reference, so the line
// stays ANSI like every older line of the file and still names the file exactly.
TEST_F(ActivityLogTest, CharactersOutsideTheCodePageAreWrittenAsCharacterReferences) {
  Write(file_, AnsiOf(u"[2026-01-01 오전 1:00:00] 예전 줄") + "\r\n");
  const Text original = u"태국 \u0E01 문자 \U0001F600 & &#";
  log_.Log_Trans(original, folder_);
  const auto lines = Lines(Read(file_));
  ASSERT_EQ(lines.size(), 2u);
  ExpectLine(lines[1], u"태국 &#xE01; 문자 &#x1F600; & &#x26;#");
  const Text tail = u"] " + original + u"\r\n";
  const Text decoded = WithoutCharacterReferences(FromAnsi(lines[1]));
  ASSERT_GE(decoded.size(), tail.size());
  EXPECT_EQ(decoded.substr(decoded.size() - tail.size()), tail);
}

TEST_F(ActivityLogTest, AHiddenOrSystemLogFileCountsAsAbsentAndStaysUntouched) {
  for (const DWORD attribute : {DWORD{FILE_ATTRIBUTE_HIDDEN}, DWORD{FILE_ATTRIBUTE_SYSTEM}}) {
    ::SetFileAttributesW(file_.c_str(), FILE_ATTRIBUTE_NORMAL);
    Write(file_, "hidden content\r\n");
    ASSERT_TRUE(::SetFileAttributesW(file_.c_str(), attribute));
    log_.Log_Trans(u"숨김 파일", folder_);
    EXPECT_EQ(Read(file_), "hidden content\r\n");
    EXPECT_NE(::GetFileAttributesW(file_.c_str()) & attribute, 0u);
  }
}

TEST_F(ActivityLogTest, AReadOnlyLogFileIsListedButCannotBeWritten) {
  Write(file_, "read only\r\n");
  ASSERT_TRUE(::SetFileAttributesW(file_.c_str(), FILE_ATTRIBUTE_READONLY));
  log_.Log_Trans(u"쓰기 안 됨", folder_);
  EXPECT_EQ(Read(file_), "read only\r\n");
}

TEST_F(ActivityLogTest, AFolderInPlaceOfTheFileWritesNothing) {
  ASSERT_TRUE(::CreateDirectoryW(file_.c_str(), nullptr));
  log_.Log_Trans(u"폴더", folder_);
  const DWORD attributes = ::GetFileAttributesW(file_.c_str());
  EXPECT_NE(attributes & FILE_ATTRIBUTE_DIRECTORY, 0u);
  ::RemoveDirectoryW(file_.c_str());
}

TEST_F(ActivityLogTest, AFileLockedByAnotherProgramWritesNothing) {
  Write(file_, "locked\r\n");
  HANDLE lock = ::CreateFileW(file_.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(lock, INVALID_HANDLE_VALUE);
  log_.Log_Trans(u"잠김", folder_);
  ::CloseHandle(lock);
  EXPECT_EQ(Read(file_), "locked\r\n");
}

TEST_F(ActivityLogTest, FailureReportsBecomeLabelColonDescriptionLines) {
  LogFailureReporter reporter(log_, folder_);
  EXPECT_EQ(reporter.folder(), folder_);
  EXPECT_EQ(DecryptText(u"ABC", kTextKey, reporter), u"");
  const auto lines = Lines(Read(file_));
  ASSERT_EQ(lines.size(), 1u);
  ExpectLine(lines[0], u"PreFer: Subscript out of range");
}

TEST_F(ActivityLogTest, ByDefaultFailureReportsGoToTheProgramsFolder) {
  const Text folder = ProgramFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(folder.back(), u'\\');
  wchar_t exe[MAX_PATH] = {};
  ::GetModuleFileNameW(nullptr, exe, MAX_PATH);
  EXPECT_EQ(std::wstring(exe).rfind(ToWide(folder), 0), 0u);
  LogFailureReporter reporter(log_);
  EXPECT_EQ(reporter.folder(), folder);
}

}  // namespace
}  // namespace zc::win
