#include "win32/machine/win32_pinned_files.h"

#include <windows.h>
#include <winternl.h>

#include <string>
#include <utility>

#include "win32/base/last_error.h"
#include "win32/base/unique_handle.h"
#include "win32/machine/folder_relative_file.h"
#include "win32/machine/held_folders.h"
#include "win32/machine/open_file_path.h"
#include "win32/machine/win32_file_hash.h"

namespace zc::win {
namespace {

constexpr ACCESS_MASK kStepAccess =
    DELETE | FILE_READ_DATA | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES | SYNCHRONIZE;
constexpr ULONG kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
constexpr ULONG kFileOptions = FILE_NON_DIRECTORY_FILE | FILE_SYNCHRONOUS_IO_NONALERT | FILE_SEQUENTIAL_ONLY;
constexpr FolderRelativeOpen kOpenAsItself{kStepAccess, kShareAll, FILE_OPEN, kFileOptions | FILE_OPEN_REPARSE_POINT};
// Through a reparse point that only keeps the data elsewhere, so that its filter serves it.
constexpr FolderRelativeOpen kOpenThroughData{kStepAccess, kShareAll, FILE_OPEN, kFileOptions};
constexpr FolderRelativeOpen kLookAt{FILE_READ_ATTRIBUTES | SYNCHRONIZE, kShareAll, FILE_OPEN,
                                     FILE_OPEN_REPARSE_POINT | FILE_SYNCHRONOUS_IO_NONALERT};
constexpr FolderRelativeOpen kNewCopy{FILE_WRITE_DATA | FILE_WRITE_ATTRIBUTES | DELETE | SYNCHRONIZE, 0, FILE_CREATE,
                                      kFileOptions};
constexpr FolderRelativeOpen kNewPlaceholder{FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES | SYNCHRONIZE,
                                             FILE_SHARE_READ | FILE_SHARE_WRITE, FILE_CREATE,
                                             FILE_DIRECTORY_FILE | FILE_SYNCHRONOUS_IO_NONALERT};

// Windows 10 1607's class and flags; older headers and systems do not know them.
constexpr auto kFileDispositionInfoEx = static_cast<FILE_INFO_BY_HANDLE_CLASS>(21);
constexpr DWORD kDispositionDelete = 0x1;
constexpr DWORD kDispositionPosixSemantics = 0x2;
struct DispositionInfoEx {
  DWORD flags;
};
constexpr DWORD kPieceBytes = 64 * 1024;

bool SameFile(HANDLE a, HANDLE b) {
  BY_HANDLE_FILE_INFORMATION first{};
  BY_HANDLE_FILE_INFORMATION second{};
  return ::GetFileInformationByHandle(a, &first) && ::GetFileInformationByHandle(b, &second) &&
         first.dwVolumeSerialNumber == second.dwVolumeSerialNumber && first.nFileIndexHigh == second.nFileIndexHigh &&
         first.nFileIndexLow == second.nFileIndexLow;
}

bool Rewound(HANDLE file) {
  LARGE_INTEGER start{};
  return ::SetFilePointerEx(file, start, nullptr, FILE_BEGIN) != FALSE;
}

std::optional<int64_t> LengthOf(HANDLE file) {
  LARGE_INTEGER size{};
  if (!::GetFileSizeEx(file, &size)) return std::nullopt;
  return size.QuadPart;
}

SystemError SetAttributesOf(HANDLE handle, DWORD attributes) {
  FILE_BASIC_INFO basic{};  // times left at zero stay as they are
  basic.FileAttributes = attributes;
  return ResultOf(::SetFileInformationByHandle(handle, FileBasicInfo, &basic, sizeof basic));
}

// The classes a system without POSIX deletes answers for the newer class.
bool MeansUnsupported(DWORD error) {
  return error == ERROR_INVALID_PARAMETER || error == ERROR_NOT_SUPPORTED || error == ERROR_INVALID_FUNCTION ||
         error == ERROR_CALL_NOT_IMPLEMENTED || error == ERROR_INVALID_LEVEL;
}

SystemError MarkForDelete(HANDLE handle) {
  DispositionInfoEx posix{kDispositionDelete | kDispositionPosixSemantics};
  if (::SetFileInformationByHandle(handle, kFileDispositionInfoEx, &posix, sizeof posix)) return SystemError::None;
  const DWORD error = ::GetLastError();
  if (!MeansUnsupported(error)) return static_cast<SystemError>(error);
  FILE_DISPOSITION_INFO classic{TRUE};
  return ResultOf(::SetFileInformationByHandle(handle, FileDispositionInfo, &classic, sizeof classic));
}

// Copies from the start of `from` to its end into `to`. None when every byte of the
// file's length arrived and was flushed; NotConfirmed when the length changed meanwhile.
SystemError CopyWhole(HANDLE from, HANDLE to) {
  const std::optional<int64_t> length = LengthOf(from);
  if (!length || !Rewound(from)) return LastError();
  std::string piece(kPieceBytes, '\0');
  int64_t copied = 0;
  for (;;) {
    DWORD read = 0;
    if (!::ReadFile(from, piece.data(), kPieceBytes, &read, nullptr)) return LastError();
    if (read == 0) break;
    DWORD written = 0;
    if (!::WriteFile(to, piece.data(), read, &written, nullptr)) return LastError();
    if (written != read) return SystemError::NotConfirmed;
    copied += read;
  }
  if (copied != *length) return SystemError::NotConfirmed;
  return ResultOf(::FlushFileBuffers(to));
}

// A new file's folder, opened as itself, and its name.
struct NewFilePlace {
  UniqueFile folder;
  std::wstring name;
};

SystemError PlaceOfNewFile(TextView newFile, NewFilePlace& place) {
  const std::optional<PathParts> parts = PartsOfFullPath(newFile);
  if (!parts) return SystemError::PathNotFound;
  place.name = parts->names.back();
  const SystemError opened = OpenFolderAsItself(JoinedPath(*parts, parts->names.size() - 1), place.folder);
  return opened == SystemError::FileNotFound ? SystemError::PathNotFound : opened;
}

class Win32SuspectFile : public SuspectFile {
 public:
  Win32SuspectFile(HeldFolders folders, std::wstring name, UniqueFile file)
      : folders_(std::move(folders)), name_(std::move(name)), file_(std::move(file)) {}

  bool HoldsFile() const override { return static_cast<bool>(file_); }

  std::optional<int64_t> Length() override {
    if (!file_) return std::nullopt;
    return LengthOf(file_.get());
  }

  std::optional<FileDigest> Hash() override {
    if (!file_ || !Rewound(file_.get())) return std::nullopt;
    return DigestOfOpenFile(file_.get());
  }

  SystemError CopyTo(TextView newFile) override {
    if (!file_) return SystemError::FileNotFound;
    NewFilePlace place;
    SystemError error = PlaceOfNewFile(newFile, place);
    if (error != SystemError::None) return error;
    UniqueFile copy;
    error = OpenInFolder(place.folder.get(), place.name, kNewCopy, copy);
    if (error != SystemError::None) return error;
    error = CopyWhole(file_.get(), copy.get());
    if (error != SystemError::None) {
      // A half copy does not stay in the store.
      FILE_DISPOSITION_INFO remove{TRUE};
      ::SetFileInformationByHandle(copy.get(), FileDispositionInfo, &remove, sizeof remove);
    }
    return error;
  }

  SystemError ClearAttributes() override {
    if (!file_) return SystemError::FileNotFound;
    return SetAttributesOf(file_.get(), FILE_ATTRIBUTE_NORMAL);
  }

  SystemError Delete() override {
    if (!file_) return SystemError::FileNotFound;
    // The older delete refuses a read-only file; the bit goes first.
    FILE_BASIC_INFO basic{};
    if (!::GetFileInformationByHandleEx(file_.get(), FileBasicInfo, &basic, sizeof basic)) return LastError();
    if (basic.FileAttributes & FILE_ATTRIBUTE_READONLY) {
      const DWORD rest = basic.FileAttributes & ~DWORD{FILE_ATTRIBUTE_READONLY};
      const SystemError cleared = SetAttributesOf(file_.get(), rest == 0 ? FILE_ATTRIBUTE_NORMAL : rest);
      if (cleared != SystemError::None) return cleared;
    }
    const SystemError marked = MarkForDelete(file_.get());
    if (marked != SystemError::None) return marked;
    file_.reset();  // the delete happens as the handle closes
    return NameIsFree() ? SystemError::None : SystemError::NotConfirmed;
  }

  SystemError MoveTo(TextView newFile) override {
    if (!file_) return SystemError::FileNotFound;
    NewFilePlace place;
    SystemError error = PlaceOfNewFile(newFile, place);
    if (error != SystemError::None) return error;
    error = RenameIntoFolder(file_.get(), place.folder.get(), place.name);
    if (error == SystemError::None) {
      file_.reset();
      return SystemError::None;
    }
    if (error != static_cast<SystemError>(ERROR_NOT_SAME_DEVICE)) return error;
    // Another volume: a copy from the handle, then the delete through it.
    error = CopyTo(newFile);
    if (error != SystemError::None) return error;
    const SystemError deleted = Delete();
    if (deleted != SystemError::None && deleted != SystemError::NotConfirmed) RemoveNewFile(place);
    return deleted;
  }

  bool NameIsFree() override {
    UniqueFile found;
    return OpenInFolder(folders_.Innermost(), name_, kLookAt, found) == SystemError::FileNotFound;
  }

  SystemError MakePlaceholderFolder(uint32_t attributes) override {
    UniqueFile folder;
    const SystemError made = OpenInFolder(folders_.Innermost(), name_, kNewPlaceholder, folder);
    if (made != SystemError::None || attributes == 0) return made;
    return SetAttributesOf(folder.get(), attributes);
  }

 private:
  static void RemoveNewFile(const NewFilePlace& place) {
    UniqueFile copy;
    const FolderRelativeOpen forDelete{DELETE | SYNCHRONIZE, kShareAll, FILE_OPEN,
                                       kFileOptions | FILE_OPEN_REPARSE_POINT};
    if (OpenInFolder(place.folder.get(), place.name, forDelete, copy) != SystemError::None) return;
    FILE_DISPOSITION_INFO remove{TRUE};
    ::SetFileInformationByHandle(copy.get(), FileDispositionInfo, &remove, sizeof remove);
  }

  HeldFolders folders_;
  std::wstring name_;
  UniqueFile file_;
};

// Opens the file as itself inside its held folder; a reparse point that only keeps the
// data elsewhere is opened once more through its filter, and must still be that file.
SystemError OpenFileAsItself(HANDLE folder, const std::wstring& name, UniqueFile& file) {
  SystemError error = OpenInFolder(folder, name, kOpenAsItself, file);
  if (error != SystemError::None) return error;
  switch (ReparseKindOf(file.get())) {
    case ReparseKind::None: break;
    case ReparseKind::Redirects: return SystemError::Redirected;
    case ReparseKind::Unknown: return LastError();
    case ReparseKind::KeepsData: {
      UniqueFile served;
      error = OpenInFolder(folder, name, kOpenThroughData, served);
      if (error != SystemError::None) return error;
      if (!SameFile(file.get(), served.get())) return SystemError::Redirected;
      file = std::move(served);
      break;
    }
  }
  BY_HANDLE_FILE_INFORMATION info{};
  if (!::GetFileInformationByHandle(file.get(), &info)) return LastError();
  // A second name (a hard link) would let the steps act on a file that lives elsewhere too.
  return info.nNumberOfLinks == 1 ? SystemError::None : SystemError::Redirected;
}

}  // namespace

std::unique_ptr<SuspectFile> Win32SuspectFiles::Open(TextView path, SystemError& error) {
  const std::optional<PathParts> parts = PartsOfFullPath(path);
  if (!parts) {
    error = SystemError::PathNotFound;
    return nullptr;
  }
  HeldFolders folders;
  error = folders.Hold(*parts, parts->names.size() - 1);
  if (error != SystemError::None) return nullptr;
  const std::wstring& name = parts->names.back();
  UniqueFile file;
  error = OpenFileAsItself(folders.Innermost(), name, file);
  if (error == SystemError::FileNotFound) {
    error = SystemError::None;  // only the folders are held, for the placeholder
  } else if (error != SystemError::None) {
    return nullptr;
  } else if (!IsOpenAt(file.get(), JoinedPath(*parts, parts->names.size()))) {
    error = SystemError::Redirected;
    return nullptr;
  }
  return std::make_unique<Win32SuspectFile>(std::move(folders), name, std::move(file));
}

}  // namespace zc::win
