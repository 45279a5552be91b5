// Autorun values as real infections leave them, found and treated on the real machine
// layer: a quoted command line with arguments in a folder whose name has a blank, an
// unquoted one, an expandable one, a name no Korean code page holds, a path past the
// classic 260-character limit and a value in the machine's 32-bit registry view. Each
// file is backed up and replaced by its placeholder at its own path, and nothing is
// made anywhere else.

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "core/base/character_references.h"
#include "core/engine/backup_copy.h"
#include "core/engine/registry_infection_check.h"
#include "core/engine/treatment_pass.h"
#include "core/machine/registry_values.h"
#include "core/texts/constant_texts.h"
#include "tests/fakes/fake_result_list.h"
#include "tests/win32/engine/quick_window.h"
#include "win32/base/ansi.h"
#include "win32/base/file_path.h"
#include "win32/base/unique_handle.h"
#include "win32/log/win32_activity_log.h"
#include "win32/machine/win32_environment.h"
#include "win32/machine/win32_connection_owner.h"
#include "win32/machine/win32_process_details.h"
#include "win32/trust/win32_file_trust.h"
#include "win32/machine/win32_files.h"
#include "win32/machine/win32_processes.h"
#include "win32/machine/win32_registry.h"
#include "win32/machine/win32_shell.h"
#include "win32/restore/restore_machine.h"

namespace zc::win {
namespace {

std::wstring Long(TextView path) { return L"\\\\?\\" + ToWide(path); }

DWORD Attributes(TextView path) { return ::GetFileAttributesW(Long(path).c_str()); }

int64_t SizeOf(TextView path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!::GetFileAttributesExW(Long(path).c_str(), GetFileExInfoStandard, &data)) return -1;
  return static_cast<int64_t>(data.nFileSizeLow);
}

Text ProgramNextToTest(TextView name) {
  wchar_t own[MAX_PATH] = {};
  ::GetModuleFileNameW(nullptr, own, MAX_PATH);
  const Text folder = FromWide(own);
  return folder.substr(0, folder.find_last_of(u'\\') + 1) + Text(name);
}

std::set<Text> NamesIn(TextView folder) {
  std::set<Text> names;
  WIN32_FIND_DATAW found{};
  HANDLE listing = ::FindFirstFileW((Long(folder) + L"\\*").c_str(), &found);
  if (listing == INVALID_HANDLE_VALUE) return names;
  do {
    const Text name = FromWide(found.cFileName);
    if (name != u"." && name != u"..") names.insert(name);
  } while (::FindNextFileW(listing, &found));
  ::FindClose(listing);
  return names;
}

void RemoveTree(TextView folder) {
  for (const Text& name : NamesIn(folder)) {
    const Text full = Text(folder) + u"\\" + name;
    ::SetFileAttributesW(Long(full).c_str(), FILE_ATTRIBUTE_NORMAL);
    if (Attributes(full) & FILE_ATTRIBUTE_DIRECTORY) {
      RemoveTree(full);
    } else {
      ::DeleteFileW(Long(full).c_str());
    }
  }
  ::SetFileAttributesW(Long(folder).c_str(), FILE_ATTRIBUTE_NORMAL);
  ::RemoveDirectoryW(Long(folder).c_str());
}

// The lines of an activity log, read back into the texts that were logged: the file is
// ANSI, with character references for what the code page lacks; the stamps go.
std::vector<Text> LoggedLines(TextView logPath) {
  std::string bytes;
  UniqueAny<FileHandleTraits> file(::CreateFileW(Long(logPath).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  char buffer[4096];
  DWORD got = 0;
  while (file && ::ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
  const Text text = WithoutCharacterReferences(FromAnsi(bytes));
  std::vector<Text> lines;
  size_t start = 0;
  for (size_t end; (end = text.find(u"\r\n", start)) != Text::npos; start = end + 2) {
    const Text line = text.substr(start, end - start);
    const size_t close = line.find(u"] ");
    lines.push_back(close == Text::npos ? u"<no stamp>" + line : line.substr(close + 2));
  }
  return lines;
}

// Closes the file explorer windows the treatment opened on its backup folders.
void CloseExplorerWindows(const std::vector<Text>& titles) {
  std::vector<Text> left = titles;
  for (DWORD waited = 0; !left.empty() && waited <= 15000; waited += 100, ::Sleep(100)) {
    for (auto title = left.begin(); title != left.end();) {
      if (HWND window = ::FindWindowW(L"ExplorerWClass", ToWide(*title).c_str())) {
        ::PostMessageW(window, WM_CLOSE, 0, 0);
        title = left.erase(title);
      } else {
        ++title;
      }
    }
  }
}

struct Planted {
  Text entry;      // the value's name
  Text value;      // the value's text as a real installer leaves it
  Text file;       // the file that text starts
  DWORD type = REG_SZ;
  bool machine32 = false;  // in the machine's 32-bit view, else the user's key
};

class Win32CommandLineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const Text id = DecimalText(::GetCurrentProcessId());
    root_ = u"C:\\zccmd" + id;
    variable_ = u"ZCCMD" + id;
    RemoveTree(root_);
    const Text blank = root_ + u"\\a b";
    const Text deep = root_ + u"\\" + Text(100, u'x') + u"\\" + Text(100, u'y') + u"\\" + Text(60, u'z');
    ASSERT_TRUE(::SetEnvironmentVariableW(ToWide(variable_).c_str(), ToWide(blank).c_str()));
    planted_ = {
        {u"ZcCmdQuoted" + id, u"\"" + blank + u"\\quoted.exe\" /background", blank + u"\\quoted.exe"},
        {u"ZcCmdUnquoted" + id, blank + u"\\unquoted.exe -s", blank + u"\\unquoted.exe"},
        {u"ZcCmdExpand" + id, u"%" + variable_ + u"%\\expanded.exe", blank + u"\\expanded.exe", REG_EXPAND_SZ},
        {u"ZcCmdThai" + id, u"\"" + root_ + u"\\ไวรัส\U0001F600.exe\" -x", root_ + u"\\ไวรัส\U0001F600.exe"},
        {u"ZcCmdLong" + id, deep + u"\\long.exe", deep + u"\\long.exe"},
        {u"ZcCmdView" + id, root_ + u"\\wow\\view32.exe /q", root_ + u"\\wow\\view32.exe", REG_SZ, true},
    };
    ASSERT_GT(planted_[4].file.size(), 260u);
    for (const Text& folder : {root_, blank, root_ + u"\\wow", root_ + u"\\" + Text(100, u'x'),
                               root_ + u"\\" + Text(100, u'x') + u"\\" + Text(100, u'y'), deep}) {
      ASSERT_TRUE(::CreateDirectoryW(Long(folder).c_str(), nullptr)) << ToUtf8(folder);
    }
    const std::wstring victim = ToWide(ProgramNextToTest(u"engine_victim.exe"));
    for (const Planted& p : planted_) {
      ASSERT_TRUE(::CopyFileW(victim.c_str(), Long(p.file).c_str(), FALSE)) << ToUtf8(p.file);
      ASSERT_EQ(Store(p), ERROR_SUCCESS) << ToUtf8(p.entry);
      definitions_.RegistryEntryList.push_back(p.entry);
    }
  }

  void TearDown() override {
    for (const Planted& p : planted_) {
      registry_.RemoveValue(Root(p), p.machine32 ? RegistryView::Wow32 : RegistryView::Native, KeyPath(), p.entry);
    }
    ::SetEnvironmentVariableW(ToWide(variable_).c_str(), nullptr);
    std::vector<Text> titles;
    for (const Planted& p : planted_) titles.push_back(FileName(p.file));
    CloseExplorerWindows(titles);
    for (const Text& title : titles) RemoveTree(Backup(title));
    for (const Planted& p : planted_) RemoveTree(Backup(BackupName(FileName(p.value))));  // had the names been used
    RemoveTree(root_);
  }

  Text KeyPath() const { return texts_.Get(enc::InfectionKeyPath); }
  int32_t Root(const Planted& p) const {
    return RootKeyFromText(texts_.Get(p.machine32 ? enc::ServiceRootText : enc::InfectionRootText));
  }
  static Text FileName(TextView path) { return Text(path.substr(path.find_last_of(u'\\') + 1)); }
  Text Backup(TextView name) const { return texts_.Get(enc::BackupPrefix) + Text(name); }

  // Stores the value the way its installer did: its own type, its own view.
  LSTATUS Store(const Planted& p) {
    HKEY key = nullptr;
    const REGSAM view = p.machine32 ? KEY_WOW64_32KEY : 0;
    LSTATUS status = ::RegCreateKeyExW(reinterpret_cast<HKEY>(static_cast<intptr_t>(Root(p))),
                                       ToWide(KeyPath()).c_str(), 0, nullptr, 0, KEY_SET_VALUE | view, nullptr, &key,
                                       nullptr);
    if (status != ERROR_SUCCESS) return status;
    const std::wstring data = ToWide(p.value);
    status = ::RegSetValueExW(key, ToWide(p.entry).c_str(), 0, p.type, reinterpret_cast<const BYTE*>(data.c_str()),
                              static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
    ::RegCloseKey(key);
    return status;
  }

  std::vector<Text> StandardLines(TextView name, TextView path) const {
    return {Text(name) + texts_.Get(enc::LogTreatedText),
            Text(name) + texts_.Get(enc::LogPathText) + Text(path) + texts_.Get(enc::LogLineEnd),
            texts_.Get(enc::LogClosingFirst), texts_.Get(enc::LogClosingSecond)};
  }

  SilentFailureReporter reporter_;
  ConstantTexts texts_{reporter_};
  DefinitionsSet definitions_;
  fakes::FakeResultList results_;
  RowBuffer rowBuffer_;
  Win32Processes processes_;
  Win32Shell shell_;
  Win32Registry registry_;
  Win32Files files_;
  Win32Environment environment_;
  Win32ProcessDetails processDetails_;
  Win32FileTrust trust_;
  Win32ConnectionOwner connectionOwners_;
  Win32ActivityLog log_;
  QuickWindow window_;
  RestoreMachine restoreMachine_;
  TreatmentRecorder recorder_{restoreMachine_.ForRecording(texts_)};

  Text root_, variable_;
  std::vector<Planted> planted_;
};

TEST_F(Win32CommandLineTest, EachFormIsListedAsFoundAndItsFileTreatedWhereItIs) {
  const int64_t size = SizeOf(planted_[0].file);
  ASSERT_GT(size, 0);

  RegistryInfectionCheck check(texts_, definitions_, registry_, results_, rowBuffer_);
  check.Run();
  ASSERT_EQ(results_.rows.size(), planted_.size());
  for (const Planted& p : planted_) {
    const auto row = std::find_if(results_.rows.begin(), results_.rows.end(),
                                  [&](const RowBuffer& r) { return r[kColumnEntryName] == p.entry; });
    ASSERT_NE(row, results_.rows.end()) << ToUtf8(p.entry);
    // The row shows the text as found; the name is what follows its last "\".
    EXPECT_EQ((*row)[kColumnPath], p.value) << ToUtf8(p.entry);
    EXPECT_EQ((*row)[kColumnName], FileName(p.value)) << ToUtf8(p.entry);
    EXPECT_EQ((*row)[kColumnFlag], p.machine32 ? u"3" : u"1") << ToUtf8(p.entry);
  }

  TreatmentPass pass(texts_, definitions_, results_, window_, log_,
                     {files_, shell_, processes_, processDetails_, registry_, restoreMachine_.services, environment_, trust_,
                      connectionOwners_, restoreMachine_.registry},
                     recorder_);
  pass.TreatFindings();
  EXPECT_TRUE(results_.rows.empty());
  EXPECT_EQ(window_.countText, DecimalText(static_cast<long long>(planted_.size())) + u"건");

  for (const Planted& p : planted_) {
    SCOPED_TRACE(ToUtf8(p.entry));
    const Text name = FileName(p.file);
    EXPECT_EQ(SizeOf(Backup(name) + u"\\" + name), size) << "backed up under the file's own name";
    const DWORD placeholder = Attributes(p.file);
    EXPECT_NE(placeholder, INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(placeholder & 0x16u, 0x16u) << "a hidden system folder where the file was";
    EXPECT_EQ(LoggedLines(Backup(name) + u"\\" + texts_.Get(enc::LogFileName)), StandardLines(name, p.file));
    EXPECT_EQ(ReadRegistryTextInView(registry_, Root(p), p.machine32 ? RegistryView::Wow32 : RegistryView::Native,
                                     KeyPath(), p.entry),
              u"");
  }
  // Nothing was made at the command lines' own texts: each folder holds only the
  // placeholders of the files that were there.
  EXPECT_EQ(NamesIn(root_ + u"\\a b"), (std::set<Text>{u"quoted.exe", u"unquoted.exe", u"expanded.exe"}));
  EXPECT_EQ(NamesIn(root_), (std::set<Text>{u"a b", u"wow", Text(100, u'x'), u"ไวรัส\U0001F600.exe"}));
  EXPECT_EQ(NamesIn(root_ + u"\\wow"), (std::set<Text>{u"view32.exe"}));
  EXPECT_EQ(Attributes(Backup(u"unquoted.exe -s")), INVALID_FILE_ATTRIBUTES);
}

}  // namespace
}  // namespace zc::win
