#include "win32/machine/folder_relative_file.h"

#include <winternl.h>

#include <cstddef>
#include <cstring>
#include <vector>

namespace zc::win {
namespace {

constexpr size_t kLongestNameBytes = 0xFFFE;
constexpr FILE_INFORMATION_CLASS kFileRenameInformation = static_cast<FILE_INFORMATION_CLASS>(10);

bool IsOneName(std::wstring_view name) {
  return !name.empty() && name.size() * sizeof(wchar_t) <= kLongestNameBytes &&
         name.find_first_of(L"\\/") == std::wstring_view::npos && name != L"." && name != L"..";
}

}  // namespace

SystemError ErrorOfStatus(LONG status) {
  return status >= 0 ? SystemError::None : static_cast<SystemError>(::RtlNtStatusToDosError(status));
}

SystemError OpenInFolder(HANDLE folder, std::wstring_view name, const FolderRelativeOpen& how, UniqueFile& opened) {
  opened.reset();
  if (!IsOneName(name)) return SystemError::InvalidParameter;
  UNICODE_STRING text{};
  text.Buffer = const_cast<wchar_t*>(name.data());
  text.Length = static_cast<USHORT>(name.size() * sizeof(wchar_t));
  text.MaximumLength = text.Length;
  OBJECT_ATTRIBUTES object{};
  InitializeObjectAttributes(&object, &text, OBJ_CASE_INSENSITIVE, folder, nullptr);
  IO_STATUS_BLOCK io{};
  HANDLE handle = INVALID_HANDLE_VALUE;
  const NTSTATUS status = ::NtCreateFile(&handle, how.access, &object, &io, nullptr, FILE_ATTRIBUTE_NORMAL, how.share,
                                         how.disposition, how.options, nullptr, 0);
  if (status < 0) return ErrorOfStatus(status);
  opened.reset(handle);
  return SystemError::None;
}

SystemError RenameIntoFolder(HANDLE file, HANDLE folder, std::wstring_view name) {
  if (!IsOneName(name)) return SystemError::InvalidParameter;
  const size_t nameBytes = name.size() * sizeof(wchar_t);
  std::vector<unsigned char> buffer(offsetof(FILE_RENAME_INFORMATION, FileName) + nameBytes + sizeof(wchar_t), 0);
  auto* rename = reinterpret_cast<FILE_RENAME_INFORMATION*>(buffer.data());
  rename->ReplaceIfExists = FALSE;
  rename->RootDirectory = folder;
  rename->FileNameLength = static_cast<ULONG>(nameBytes);
  std::memcpy(rename->FileName, name.data(), nameBytes);
  IO_STATUS_BLOCK io{};
  return ErrorOfStatus(
      ::NtSetInformationFile(file, &io, rename, static_cast<ULONG>(buffer.size()), kFileRenameInformation));
}

}  // namespace zc::win
