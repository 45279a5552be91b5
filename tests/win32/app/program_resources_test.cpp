// The built ZombieCure.exe (ZC_PROGRAM_FILE) as Windows reads it: the manifest resource
// the loader applies, the file properties Explorer shows and the flags in its PE header.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "core/texts/constant_texts.h"

namespace zc::win {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

constexpr wchar_t kProgram[] = ZC_PROGRAM_FILE;

std::string ManifestOf(const wchar_t* file) {
  HMODULE module = LoadLibraryExW(file, nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  if (!module) return {};
  std::string manifest;
  // Resource 1 of type 24 is the manifest the loader reads for a program.
  if (HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24))) {
    if (HGLOBAL loaded = LoadResource(module, found)) {
      const char* bytes = static_cast<const char*>(LockResource(loaded));
      if (bytes) manifest.assign(bytes, SizeofResource(module, found));
    }
  }
  FreeLibrary(module);
  return manifest;
}

TEST(ProgramResourcesTest, TheManifestRunsAsInvokerWithCommonControlsSixOnWindows7To11) {
  const std::string manifest = ManifestOf(kProgram);
  ASSERT_FALSE(manifest.empty()) << "no RT_MANIFEST resource 1 in the program";
  EXPECT_THAT(manifest, HasSubstr(R"(<requestedExecutionLevel level="asInvoker" uiAccess="false"/>)"));
  EXPECT_THAT(manifest, HasSubstr(R"(name="Microsoft.Windows.Common-Controls" version="6.0.0.0")"));
  EXPECT_THAT(manifest, HasSubstr(R"(publicKeyToken="6595b64144ccf1df")"));
  for (const char* os : {"{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",    // 7
                         "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",    // 8
                         "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",    // 8.1
                         "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"}) {  // 10 and 11
    EXPECT_THAT(manifest, HasSubstr(std::string("<supportedOS Id=\"") + os + "\"/>"));
  }
  EXPECT_THAT(manifest, HasSubstr(">true</gdiScaling>"));
  EXPECT_THAT(manifest, HasSubstr(">true</longPathAware>"));
  // The system scales the 96-DPI layout: declaring awareness without scaling it would
  // shrink the window on a scaled display.
  EXPECT_THAT(manifest, Not(HasSubstr("dpiAware")));
}

std::wstring VersionValue(const std::vector<char>& block, const wchar_t* name) {
  std::wstring path = std::wstring(L"\\StringFileInfo\\041204b0\\") + name;
  wchar_t* value = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(block.data(), path.c_str(), reinterpret_cast<void**>(&value), &length) || !value) return L"?";
  return std::wstring(value, length > 0 ? length - 1 : 0);
}

std::wstring Wide(const Text& text) { return std::wstring(text.begin(), text.end()); }

TEST(ProgramResourcesTest, TheFilePropertiesNameTheProductAndTheVersionTheProgramShows) {
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(kProgram, &ignored);
  ASSERT_NE(size, 0u) << "no version resource (error " << GetLastError() << ")";
  std::vector<char> block(size);
  ASSERT_TRUE(GetFileVersionInfoW(kProgram, 0, size, block.data()));

  SilentFailureReporter silent;
  ConstantTexts texts(silent);
  const std::wstring product = Wide(texts.Get(enc::WindowCaption));
  const std::wstring version = Wide(texts.Get(enc::VersionText));
  ASSERT_EQ(version, L"2.0");  // the fixed numbers below are read from it
  EXPECT_EQ(VersionValue(block, L"ProductName"), product);
  EXPECT_EQ(VersionValue(block, L"FileDescription"), product);
  EXPECT_EQ(VersionValue(block, L"ProductVersion"), version);
  EXPECT_EQ(VersionValue(block, L"FileVersion"), version);
  EXPECT_EQ(VersionValue(block, L"CompanyName"), L"ZombieCure");
  EXPECT_EQ(VersionValue(block, L"OriginalFilename"), L"ZombieCure.exe");
  EXPECT_EQ(VersionValue(block, L"InternalName"), L"ZombieCure");

  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
  ASSERT_GE(length, sizeof(VS_FIXEDFILEINFO));
  EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
  EXPECT_EQ(fixed->dwFileVersionMS, 0x00020000u);
  EXPECT_EQ(fixed->dwFileVersionLS, 0u);
  EXPECT_EQ(fixed->dwProductVersionMS, 0x00020000u);
  EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
}

TEST(ProgramResourcesTest, TheHeaderMarksAGuiProgramAwareOfTerminalServers) {
  std::ifstream file(kProgram, std::ios::binary);
  ASSERT_TRUE(file);
  const std::vector<char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  ASSERT_GE(bytes.size(), sizeof(IMAGE_DOS_HEADER));
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(bytes.data());
  ASSERT_EQ(dos->e_magic, IMAGE_DOS_SIGNATURE);
  ASSERT_LE(static_cast<size_t>(dos->e_lfanew) + sizeof(IMAGE_NT_HEADERS64), bytes.size());
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS64*>(bytes.data() + dos->e_lfanew);
  ASSERT_EQ(nt->Signature, IMAGE_NT_SIGNATURE);
  ASSERT_EQ(nt->OptionalHeader.Magic, IMAGE_NT_OPTIONAL_HDR64_MAGIC);
  EXPECT_EQ(nt->OptionalHeader.Subsystem, IMAGE_SUBSYSTEM_WINDOWS_GUI);
  EXPECT_TRUE(nt->OptionalHeader.DllCharacteristics & IMAGE_DLLCHARACTERISTICS_TERMINAL_SERVER_AWARE);
}

}  // namespace
}  // namespace zc::win
