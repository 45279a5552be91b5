// The program as Windows sees it from its file: a manifest that asks for no elevation,
// the current common controls, GDI scaling, long paths and every supported Windows; a
// version resource with the product's facts; a terminal-server-aware header.

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "win32/base/ansi.h"

namespace zc::win {
namespace {

// The build's path of the program (a Linux path: Wine's Z: drive is the root).
std::wstring ProgramPath() {
  std::wstring path = L"Z:" + ToWide(FromUtf8(ZC_PROGRAM_PATH));
  for (wchar_t& c : path) {
    if (c == L'/') c = L'\\';
  }
  return path;
}

std::string Manifest() {
  HMODULE module = ::LoadLibraryExW(ProgramPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  if (!module) return {};
  std::string text;
  if (HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24))) {
    if (HGLOBAL loaded = ::LoadResource(module, found)) {
      text.assign(static_cast<const char*>(::LockResource(loaded)), ::SizeofResource(module, found));
    }
  }
  ::FreeLibrary(module);
  return text;
}

TEST(ProgramResourcesTest, TheManifestAsksForWhatTheProgramNeeds) {
  const std::string manifest = Manifest();
  ASSERT_FALSE(manifest.empty()) << "no manifest resource 1";
  for (const char* element : {
           R"(<requestedExecutionLevel level="asInvoker" uiAccess="false"/>)",
           R"(name="Microsoft.Windows.Common-Controls" version="6.0.0.0")",
           R"(>true</gdiScaling>)",
           R"(>true</longPathAware>)",
           "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",  // Windows 7
           "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",  // 8
           "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",  // 8.1
           "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",  // 10 and 11
           "version=\"" ZC_EXPECTED_FILE_VERSION "\"",
       }) {
    EXPECT_NE(manifest.find(element), std::string::npos) << element;
  }
  EXPECT_EQ(manifest.find("requireAdministrator"), std::string::npos);
}

std::wstring VersionValue(const std::vector<BYTE>& block, const wchar_t* name) {
  void* value = nullptr;
  UINT length = 0;
  const std::wstring query = std::wstring(L"\\StringFileInfo\\041204B0\\") + name;
  if (!::VerQueryValueW(block.data(), query.c_str(), &value, &length) || length == 0) return {};
  return std::wstring(static_cast<const wchar_t*>(value), length - 1);
}

TEST(ProgramResourcesTest, TheVersionResourceNamesTheProduct) {
  const std::wstring path = ProgramPath();
  DWORD ignored = 0;
  const DWORD size = ::GetFileVersionInfoSizeW(path.c_str(), &ignored);
  ASSERT_GT(size, 0u);
  std::vector<BYTE> block(size);
  ASSERT_TRUE(::GetFileVersionInfoW(path.c_str(), 0, size, block.data()));
  EXPECT_EQ(VersionValue(block, L"ProductName"), L"좀비 PC 치료기");
  EXPECT_EQ(VersionValue(block, L"FileDescription"), L"좀비 PC 치료기");
  EXPECT_EQ(VersionValue(block, L"CompanyName"), L"ZombieCure");
  EXPECT_EQ(VersionValue(block, L"ProductVersion"), ToWide(FromUtf8(ZC_EXPECTED_VERSION)));
  EXPECT_EQ(VersionValue(block, L"FileVersion"), ToWide(FromUtf8(ZC_EXPECTED_FILE_VERSION)));
  EXPECT_EQ(VersionValue(block, L"OriginalFilename"), L"ZombieCure.exe");
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(::VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
  EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
}

TEST(ProgramResourcesTest, TheProgramIsTerminalServerAware) {
  HANDLE file = ::CreateFileW(ProgramPath().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  std::vector<BYTE> head(4096);
  DWORD read = 0;
  ::ReadFile(file, head.data(), static_cast<DWORD>(head.size()), &read, nullptr);
  ::CloseHandle(file);
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(head.data());
  ASSERT_EQ(dos->e_magic, IMAGE_DOS_SIGNATURE);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS64*>(head.data() + dos->e_lfanew);
  ASSERT_EQ(nt->Signature, IMAGE_NT_SIGNATURE);
  EXPECT_NE(nt->OptionalHeader.DllCharacteristics & IMAGE_DLLCHARACTERISTICS_TERMINAL_SERVER_AWARE, 0);
  EXPECT_EQ(nt->OptionalHeader.Subsystem, IMAGE_SUBSYSTEM_WINDOWS_GUI);
}

}  // namespace
}  // namespace zc::win
