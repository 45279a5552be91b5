// The notification-area icon record as the platform reads it, the drawn program icon
// and the per-user settings store.

#include <gtest/gtest.h>

#include "win32/app/program_icon.h"
#include "win32/app/registry_settings.h"
#include "win32/app/tray_icon.h"

namespace zc::win {
namespace {

TEST(TrayRecordTest, FilledRecordCarriesTheBalloonLayout) {
  TrayIconRecord record{1, 23, 512, 1000, 1, u"알림 영역에서 감시합니다."};
  HWND receiver = reinterpret_cast<HWND>(0x1234);
  HICON icon = reinterpret_cast<HICON>(0x5678);
  const NOTIFYICONDATAW data = BuildTrayRecord(record, receiver, icon);
  EXPECT_EQ(data.cbSize, 952u);  // the wide balloon layout of a 64-bit program
  EXPECT_EQ(data.hWnd, receiver);
  EXPECT_EQ(data.uID, 1u);
  EXPECT_EQ(data.uFlags, 23u);
  EXPECT_EQ(data.uCallbackMessage, 512u);
  EXPECT_EQ(data.hIcon, icon);
  EXPECT_STREQ(data.szTip, L"");
  EXPECT_STREQ(data.szInfo, L"알림 영역에서 감시합니다.");
  EXPECT_EQ(data.uTimeout, 1000u);
  EXPECT_STREQ(data.szInfoTitle, L"");
  EXPECT_EQ(data.dwInfoFlags, 1u);
}

TEST(TrayRecordTest, UnfilledRecordIsAllZeroAndALongBalloonIsCut) {
  const NOTIFYICONDATAW empty = BuildTrayRecord(TrayIconRecord{}, reinterpret_cast<HWND>(1), nullptr);
  const auto* bytes = reinterpret_cast<const unsigned char*>(&empty);
  for (size_t i = 0; i < sizeof(empty); ++i) ASSERT_EQ(bytes[i], 0) << i;

  TrayIconRecord record{1, 23, 512, 1000, 1, Text(400, u'x')};
  const NOTIFYICONDATAW data = BuildTrayRecord(record, nullptr, nullptr);
  EXPECT_EQ(std::wstring(data.szInfo), std::wstring(255, L'x'));

  // A character outside the BMP that would straddle the cut is left out whole.
  record.balloonText = Text(254, u'x') + u"\U0001F600";
  const NOTIFYICONDATAW cut = BuildTrayRecord(record, nullptr, nullptr);
  EXPECT_EQ(std::wstring(cut.szInfo), std::wstring(254, L'x'));
  record.balloonText = Text(253, u'x') + u"\U0001F600";
  EXPECT_EQ(std::wstring(BuildTrayRecord(record, nullptr, nullptr).szInfo), std::wstring(253, L'x') + L"\U0001F600");
}

TEST(ProgramIconTest, IsDrawnInBothSizesWithATransparentGround) {
  for (int size : {16, 32}) {
    EXPECT_TRUE(CreateProgramIcon(size)) << size;
    const auto pixels = ProgramIconPixels(size);
    EXPECT_EQ(pixels.front() >> 24, 0u);                           // corner: transparent
    EXPECT_EQ(pixels[pixels.size() / 2 + size / 2], 0xFFFFFFFFu);  // centre: the white cross
  }
}

// The executable carries the same icon as a resource, so Explorer shows it too.
TEST(ProgramIconTest, TheProgramFileCarriesItAsItsFirstIconResource) {
  char self[MAX_PATH] = {};
  ASSERT_GT(GetModuleFileNameA(nullptr, self, MAX_PATH), 0u);
  std::string program(self);
  program = program.substr(0, program.find_last_of('\\')) + "\\..\\..\\..\\win32\\app\\ZombieCure.exe";
  UniqueModule file(LoadLibraryExA(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
  ASSERT_TRUE(file) << program;
  HANDLE icon = LoadImageA(file.get(), MAKEINTRESOURCEA(1), IMAGE_ICON, 32, 32, 0);
  ASSERT_NE(icon, nullptr);
  DestroyIcon(static_cast<HICON>(icon));
}

TEST(RegistrySettingsTest, StoresTextsPerApplicationSectionAndKey) {
  RegistrySettings settings;
  const Text app = u"zc-settings-test-" + DecimalText(GetCurrentProcessId());
  EXPECT_EQ(settings.GetSetting(app, u"sdg22f", u"ssat3"), std::nullopt);
  ASSERT_TRUE(settings.SaveSetting(app, u"sdg22f", u"ssat3", u"On"));
  EXPECT_EQ(settings.GetSetting(app, u"sdg22f", u"ssat3"), Text(u"On"));
  ASSERT_TRUE(settings.SaveSetting(app, u"sdg22f", u"ssat3", u"off"));
  EXPECT_EQ(settings.GetSetting(app, u"sdg22f", u"ssat3"), Text(u"off"));
  EXPECT_EQ(settings.GetSetting(app, u"other", u"ssat3"), std::nullopt);
  RegDeleteTreeW(HKEY_CURRENT_USER, (L"Software\\" + std::wstring(app.begin(), app.end())).c_str());
}

}  // namespace
}  // namespace zc::win
