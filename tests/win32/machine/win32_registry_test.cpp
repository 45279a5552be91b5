#include "win32/machine/win32_registry.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "core/machine/registry_values.h"
#include "win32/base/ansi.h"

namespace zc::win {
namespace {

class Win32RegistryTest : public ::testing::Test {
 protected:
  const int32_t hkcu = RootKeyFromText(u"-2147483647");
  const std::string keyPath = "Software\\ZcMachineTest" + std::to_string(::GetCurrentProcessId());
  const Text key = FromAnsi(keyPath);
  Win32Registry registry;

  void TearDown() override { ::RegDeleteTreeA(HKEY_CURRENT_USER, keyPath.c_str()); }

  // Stores raw data the way other programs may have stored it.
  void SetRaw(const char* name, DWORD type, const std::string& data) {
    HKEY k = nullptr;
    ASSERT_EQ(::RegCreateKeyA(HKEY_CURRENT_USER, keyPath.c_str(), &k), ERROR_SUCCESS);
    ::RegSetValueExA(k, name, 0, type, reinterpret_cast<const BYTE*>(data.data()),
                     static_cast<DWORD>(data.size()));
    ::RegCloseKey(k);
  }
  // Type and size as stored.
  std::pair<DWORD, DWORD> RawTypeAndSize(const char* name) {
    DWORD type = 0, size = 0;
    ::RegGetValueA(HKEY_CURRENT_USER, keyPath.c_str(), name, RRF_RT_ANY | RRF_NOEXPAND, &type,
                   nullptr, &size);
    return {type, size};
  }
  Text ReadText(TextView name) { return RegistryValueToText(registry.ReadRegistryValue(hkcu, key, name)); }
};

// The text is handed over without its terminating zero; the platform itself adds the
// zero it finds right after the data, so the stored size may be one more.
TEST_F(Win32RegistryTest, WrittenTextReadsBackWhole) {
  registry.WriteRegistryString(hkcu, key, u"text", u"abc");
  EXPECT_EQ(RawTypeAndSize("text").first, DWORD{REG_SZ});
  EXPECT_LE(RawTypeAndSize("text").second, 4u);
  EXPECT_EQ(ReadText(u"text"), u"abc");

  const Text korean = FromUtf8("C:\\좀비\\치료.exe");
  registry.WriteRegistryString(hkcu, key, u"korean", korean);
  EXPECT_EQ(ReadText(u"korean"), korean);

  // Names and data no Korean ANSI code page holds go through whole, both ways.
  const Text thai = u"\"C:\\Users\\ไวรัส\\\U0001F600.exe\" /s";
  registry.WriteRegistryString(hkcu, key, u"ไวรัส", thai);
  EXPECT_EQ(ReadText(u"ไวรัส"), thai);
  EXPECT_EQ(ReadText(u"?????"), u"");  // no best-fit name reaches another value
  registry.WriteRegistryString(hkcu, key, u"?????", u"other");
  EXPECT_EQ(ReadText(u"ไวรัส"), thai);
  EXPECT_EQ(registry.RemoveValue(hkcu, RegistryView::Native, key, u"ไวรัส"), SystemError::None);
  EXPECT_EQ(ReadText(u"ไวรัส"), u"");
  EXPECT_EQ(ReadText(u"?????"), u"other");

  registry.WriteRegistryString(hkcu, key, u"", u"default value");
  EXPECT_EQ(ReadText(u""), u"default value");
}

TEST_F(Win32RegistryTest, TextTypesFromOtherWriters) {
  SetRaw("sz", REG_SZ, std::string("abc\0", 4));
  {
    // Three bytes with no zero after them: stored as three bytes, no terminator.
    HKEY k = nullptr;
    ASSERT_EQ(::RegCreateKeyA(HKEY_CURRENT_USER, keyPath.c_str(), &k), ERROR_SUCCESS);
    ::RegSetValueExA(k, "bare", 0, REG_SZ, reinterpret_cast<const BYTE*>("xyzX"), 3);
    ::RegCloseKey(k);
    ASSERT_EQ(RawTypeAndSize("bare").second, 3u);
  }
  SetRaw("expand", REG_EXPAND_SZ, std::string("%SystemRoot%\\x.exe\0", 19));
  SetRaw("multi", REG_MULTI_SZ, std::string("a\0bc\0\0", 6));
  SetRaw("emptysz", REG_SZ, "");
  const std::string longText(3000, 'L');
  SetRaw("long", REG_SZ, longText + '\0');

  EXPECT_EQ(ReadText(u"sz"), u"abc");
  EXPECT_EQ(ReadText(u"bare"), u"xyz");  // no character is lost
  EXPECT_EQ(ReadText(u"expand"), u"%SystemRoot%\\x.exe");
  EXPECT_EQ(ReadText(u"multi"), Text(u"a\0bc", 4));
  EXPECT_EQ(ReadText(u"emptysz"), u"");
  EXPECT_EQ(ReadText(u"long"), FromAnsi(longText));
}

TEST_F(Win32RegistryTest, NumbersAndBytes) {
  registry.WriteRegistryDword(hkcu, key, u"four", 4);
  EXPECT_EQ(RawTypeAndSize("four"), std::make_pair(DWORD{REG_DWORD}, DWORD{4}));
  const RegistryValue four = registry.ReadRegistryValue(hkcu, key, u"four");
  ASSERT_TRUE(std::holds_alternative<int32_t>(four));
  EXPECT_EQ(std::get<int32_t>(four), 4);
  EXPECT_EQ(RegistryValueToText(four), u"4");

  registry.WriteRegistryDword(hkcu, key, u"negative", -2);
  EXPECT_EQ(ReadText(u"negative"), u"-2");

  SetRaw("bin", REG_BINARY, std::string("A\0\x00\xAC\x07", 5));
  const RegistryValue bytes = registry.ReadRegistryValue(hkcu, key, u"bin");
  ASSERT_TRUE(std::holds_alternative<std::vector<uint8_t>>(bytes));
  EXPECT_EQ(std::get<std::vector<uint8_t>>(bytes), (std::vector<uint8_t>{0x41, 0, 0, 0xAC, 7}));
  const std::string bigBinary(2000, '\x5A');
  SetRaw("bigbin", REG_BINARY, bigBinary);
  EXPECT_EQ(std::get<std::vector<uint8_t>>(registry.ReadRegistryValue(hkcu, key, u"bigbin")).size(), 2000u);
}

TEST_F(Win32RegistryTest, WhatCannotBeReadIsEmpty) {
  SetRaw("bigendian", REG_DWORD_BIG_ENDIAN, std::string("\0\0\0\4", 4));
  SetRaw("link", REG_LINK, std::string("x\0", 2));
  SetRaw("qword", REG_QWORD, std::string(8, '\1'));
  SetRaw("shortdword", REG_DWORD, std::string("\4", 1));
  const Text names[] = {u"bigendian", u"link", u"qword", u"shortdword", u"missing"};
  for (const Text& name : names) {
    EXPECT_TRUE(std::holds_alternative<std::monostate>(registry.ReadRegistryValue(hkcu, key, name)))
        << ToUtf8(name);
  }
  EXPECT_TRUE(std::holds_alternative<std::monostate>(
      registry.ReadRegistryValue(hkcu, key + u"\\missing", u"x")));
  EXPECT_TRUE(std::holds_alternative<std::monostate>(registry.ReadRegistryValue(0, key, u"x")));
}

TEST_F(Win32RegistryTest, DeleteReturnsTheOpensErrorOrTheCloseStatus) {
  registry.WriteRegistryString(hkcu, key, u"victim", u"v");
  registry.WriteRegistryString(hkcu, key, u"other", u"o");
  EXPECT_EQ(registry.DeleteRegistryValue(hkcu, key, u"victim"), 0);
  EXPECT_EQ(ReadText(u"victim"), u"");
  EXPECT_EQ(ReadText(u"other"), u"o");
  EXPECT_EQ(registry.DeleteRegistryValue(hkcu, key, u"victim"), 0);  // already gone

  EXPECT_EQ(registry.DeleteRegistryValue(hkcu, key + u"\\missing", u"other"), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(ReadText(u"other"), u"o");
}

TEST_F(Win32RegistryTest, WritesUnderAMissingKeyCreateIt) {
  const Text deeper = key + u"\\a\\b";
  registry.WriteRegistryDword(hkcu, deeper, u"Start", 4);
  EXPECT_EQ(RegistryValueToText(registry.ReadRegistryValue(hkcu, deeper, u"Start")), u"4");
  registry.WriteRegistryString(0, key, u"nowhere", u"x");  // no such root: ignored
}

// HKLM\SOFTWARE has a branch of its own for 32-bit programs: a value written there
// (what "reg add ... /reg:32" or a 32-bit program writes) is read and deleted only in
// that view, and the 64-bit view reaches it under SOFTWARE\WOW6432Node.
TEST(Win32RegistryViewTest, The32BitViewOfTheMachinesSoftwareIsItsOwn) {
  Win32Registry registry;
  const int32_t hklm = static_cast<int32_t>(reinterpret_cast<intptr_t>(HKEY_LOCAL_MACHINE));
  const Text key = u"Software\\ZcViewTest" + DecimalText(::GetCurrentProcessId());
  HKEY opened = nullptr;
  ASSERT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, ToWide(key).c_str(), 0, nullptr, 0,
                              KEY_SET_VALUE | KEY_WOW64_32KEY, nullptr, &opened, nullptr),
            ERROR_SUCCESS);
  const wchar_t data[] = L"C:\\x86\\run32.exe";
  ::RegSetValueExW(opened, L"Run32", 0, REG_SZ, reinterpret_cast<const BYTE*>(data), sizeof(data));
  ::RegCloseKey(opened);

  EXPECT_EQ(RegistryValueToText(registry.ReadRegistryValueInView(hklm, RegistryView::Wow32, key, u"Run32")),
            u"C:\\x86\\run32.exe");
  EXPECT_EQ(RegistryValueToText(registry.ReadRegistryValueInView(hklm, RegistryView::Native, key, u"Run32")), u"");
  EXPECT_EQ(RegistryValueToText(
                registry.ReadRegistryValueInView(hklm, RegistryView::Native, Wow32KeyPath(hklm, key), u"Run32")),
            u"C:\\x86\\run32.exe");
  EXPECT_EQ(registry.RemoveValue(hklm, RegistryView::Native, key, u"Run32"), SystemError::None);  // not there
  EXPECT_EQ(RegistryValueToText(registry.ReadRegistryValueInView(hklm, RegistryView::Wow32, key, u"Run32")),
            u"C:\\x86\\run32.exe");
  EXPECT_EQ(registry.RemoveValue(hklm, RegistryView::Wow32, key, u"Run32"), SystemError::None);
  EXPECT_EQ(RegistryValueToText(registry.ReadRegistryValueInView(hklm, RegistryView::Wow32, key, u"Run32")), u"");
  // A key that never existed: nothing to delete is done; the key is not made.
  EXPECT_EQ(registry.RemoveValue(hklm, RegistryView::Wow32, key + u"\\none", u"x"), SystemError::None);
  EXPECT_EQ(registry.SetExistingDword(hklm, key + u"\\none", u"Start", 4), SystemError::FileNotFound);
  EXPECT_EQ(::RegOpenKeyExW(HKEY_LOCAL_MACHINE, ToWide(key + u"\\none").c_str(), 0, KEY_READ, &opened),
            ERROR_FILE_NOT_FOUND);
  ::RegDeleteKeyExW(HKEY_LOCAL_MACHINE, ToWide(key).c_str(), KEY_WOW64_32KEY, 0);
}

}  // namespace
}  // namespace zc::win
