#pragma once
// The access rights of a file or folder as the system numbers them in an access mask,
// for judging who may change what. A folder reuses the file bits: write data is "add a
// file", append is "add a folder".

#include <cstdint>

namespace zc::access {

inline constexpr uint32_t kReadData = 0x0001;
inline constexpr uint32_t kWriteData = 0x0002;   // on a folder: add a file
inline constexpr uint32_t kAppendData = 0x0004;  // on a folder: add a folder
inline constexpr uint32_t kReadEa = 0x0008;
inline constexpr uint32_t kWriteEa = 0x0010;
inline constexpr uint32_t kExecute = 0x0020;
inline constexpr uint32_t kDeleteChild = 0x0040;  // a folder's: delete anything inside
inline constexpr uint32_t kReadAttributes = 0x0080;
inline constexpr uint32_t kWriteAttributes = 0x0100;
inline constexpr uint32_t kDelete = 0x00010000;
inline constexpr uint32_t kReadControl = 0x00020000;
inline constexpr uint32_t kWriteDac = 0x00040000;
inline constexpr uint32_t kWriteOwner = 0x00080000;
inline constexpr uint32_t kSynchronize = 0x00100000;
inline constexpr uint32_t kGenericAll = 0x10000000;
inline constexpr uint32_t kGenericExecute = 0x20000000;
inline constexpr uint32_t kGenericWrite = 0x40000000;
inline constexpr uint32_t kGenericRead = 0x80000000;

// Every right of a file (FILE_ALL_ACCESS).
inline constexpr uint32_t kFullControl = 0x001F01FF;
// Read, list and run (what Users get in our folders).
inline constexpr uint32_t kReadAndExecute = 0x001200A9;

// The rights that let their holder change a file: its data, attributes, extended
// attributes, its name or existence, its permissions or its owner.
inline constexpr uint32_t kChangesAFile = kWriteData | kAppendData | kWriteEa | kWriteAttributes | kDelete |
                                          kWriteDac | kWriteOwner | kGenericWrite | kGenericAll;
// A folder's: the same, and deleting anything inside it whatever that item's own rights.
inline constexpr uint32_t kChangesAFolder = kChangesAFile | kDeleteChild;

}  // namespace zc::access
