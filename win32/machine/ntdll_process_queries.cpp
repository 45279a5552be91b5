#include "win32/machine/ntdll_process_queries.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "win32/base/ansi.h"

namespace zc::win {
namespace {

using NtStatus = LONG;
using QueryInformationProcess = NtStatus(NTAPI*)(HANDLE process, ULONG infoClass, void* buffer, ULONG size,
                                                 ULONG* returned);

constexpr ULONG kProcessBasicInformation = 0;
constexpr ULONG kProcessBreakOnTermination = 29;
constexpr ULONG kProcessCommandLineInformation = 60;

constexpr NtStatus kStatusAccessDenied = static_cast<NtStatus>(0xC0000022);
constexpr NtStatus kStatusInfoLengthMismatch = static_cast<NtStatus>(0xC0000004);
constexpr NtStatus kStatusBufferTooSmall = static_cast<NtStatus>(0xC0000023);
constexpr NtStatus kStatusBufferOverflow = static_cast<NtStatus>(0x80000005);

// A counted UTF-16 string of the system, as a 64-bit process lays it out: the byte
// length, the room in bytes, and the address of the characters.
struct CountedString64 {
  USHORT lengthInBytes;
  USHORT roomInBytes;
  ULONG padding;
  ULONG64 address;
};
static_assert(sizeof(CountedString64) == 16);

struct ProcessBasicInformation64 {
  NtStatus exitStatus;
  ULONG padding;
  ULONG64 environmentBlock;  // the PEB
  ULONG64 affinityMask;
  LONG basePriority;
  ULONG padding2;
  ULONG64 processId;
  ULONG64 parentProcessId;
};
static_assert(sizeof(ProcessBasicInformation64) == 48);

// Offsets inside the 64-bit environment block and parameters block.
constexpr ULONG64 kParametersPointerInEnvironmentBlock = 0x20;
constexpr ULONG64 kCurrentFolderInParameters = 0x38;  // CurrentDirectory.DosPath
constexpr ULONG64 kCommandLineInParameters = 0x70;
constexpr ULONG kParametersHeaderNeeded = 0x80;  // the block must reach past the command line
constexpr ULONG kParametersNormalized = 0x1;     // addresses are absolute, not offsets in the block

// The longest text a counted string can hold: its length is 16 bits of bytes.
constexpr size_t kCountedStringMaxBytes = 0xFFFE;
// A parameters block is a few kilobytes plus its strings; a larger claim is damage.
constexpr ULONG kParametersBlockMaxBytes = 16 * 1024 * 1024;

QueryInformationProcess NtQuery() {
  const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
  if (ntdll == nullptr) return nullptr;
  return reinterpret_cast<QueryInformationProcess>(
      reinterpret_cast<void*>(::GetProcAddress(ntdll, "NtQueryInformationProcess")));
}

bool ReadExactly(HANDLE process, ULONG64 address, void* into, size_t size) {
  SIZE_T read = 0;
  return address != 0 &&
         ::ReadProcessMemory(process, reinterpret_cast<const void*>(static_cast<uintptr_t>(address)), into, size,
                             &read) &&
         read == size;
}

bool PlausibleCountedString(const CountedString64& text) {
  return text.lengthInBytes % 2 == 0 && text.lengthInBytes <= text.roomInBytes &&
         text.lengthInBytes <= kCountedStringMaxBytes && (text.lengthInBytes == 0 || text.address != 0);
}

std::optional<Text> ReadCountedString(HANDLE process, CountedString64 text, ULONG64 blockBase, bool normalized) {
  if (!PlausibleCountedString(text)) return std::nullopt;
  if (text.lengthInBytes == 0) return Text();
  const ULONG64 address = normalized ? text.address : blockBase + text.address;
  std::wstring chars(text.lengthInBytes / 2, L'\0');
  if (!ReadExactly(process, address, chars.data(), text.lengthInBytes)) return std::nullopt;
  return FromWide(chars);
}

}  // namespace

std::optional<Text> QueryCommandLine(HANDLE process) {
  const QueryInformationProcess query = NtQuery();
  if (query == nullptr) return std::nullopt;
  // The answer is a counted string followed by its characters, in the caller's buffer.
  ULONG size = sizeof(CountedString64) + 2048;
  constexpr ULONG kLargest = sizeof(CountedString64) + kCountedStringMaxBytes + 2;
  for (int attempt = 0; attempt < 3; ++attempt) {
    std::vector<ULONG64> buffer((size + 7) / 8);
    const ULONG bufferBytes = static_cast<ULONG>(buffer.size() * 8);
    ULONG needed = 0;
    const NtStatus status = query(process, kProcessCommandLineInformation, buffer.data(), bufferBytes, &needed);
    if (status == kStatusInfoLengthMismatch || status == kStatusBufferTooSmall || status == kStatusBufferOverflow) {
      if (needed <= bufferBytes || needed > kLargest) return std::nullopt;
      size = needed;
      continue;
    }
    if (status < 0 || bufferBytes < sizeof(CountedString64)) return std::nullopt;
    CountedString64 text{};
    std::memcpy(&text, buffer.data(), sizeof(text));
    if (!PlausibleCountedString(text)) return std::nullopt;
    if (text.lengthInBytes == 0) return Text();
    // The characters must lie inside the buffer the call filled.
    const auto begin = reinterpret_cast<uintptr_t>(buffer.data());
    const auto chars = static_cast<uintptr_t>(text.address);
    if (chars < begin + sizeof(CountedString64) || chars + text.lengthInBytes > begin + bufferBytes) {
      return std::nullopt;
    }
    return FromWide(std::wstring_view(reinterpret_cast<const wchar_t*>(chars), text.lengthInBytes / 2));
  }
  return std::nullopt;
}

std::optional<ProcessParametersBlock> ReadProcessParametersBlock(HANDLE process) {
  const QueryInformationProcess query = NtQuery();
  if (query == nullptr) return std::nullopt;
  ProcessBasicInformation64 basic{};
  ULONG returned = 0;
  if (query(process, kProcessBasicInformation, &basic, sizeof(basic), &returned) < 0 ||
      basic.environmentBlock == 0) {
    return std::nullopt;
  }
  ULONG64 parameters = 0;
  if (!ReadExactly(process, basic.environmentBlock + kParametersPointerInEnvironmentBlock, &parameters,
                   sizeof(parameters))) {
    return std::nullopt;
  }
  // The block starts with its room and its length in bytes, then its flags.
  ULONG header[3] = {};
  if (!ReadExactly(process, parameters, header, sizeof(header))) return std::nullopt;
  const ULONG blockLength = header[1];
  if (blockLength < kParametersHeaderNeeded || blockLength > kParametersBlockMaxBytes) return std::nullopt;
  const bool normalized = (header[2] & kParametersNormalized) != 0;

  CountedString64 folder{};
  CountedString64 commandLine{};
  if (!ReadExactly(process, parameters + kCurrentFolderInParameters, &folder, sizeof(folder)) ||
      !ReadExactly(process, parameters + kCommandLineInParameters, &commandLine, sizeof(commandLine))) {
    return std::nullopt;
  }
  std::optional<Text> folderText = ReadCountedString(process, folder, parameters, normalized);
  std::optional<Text> commandLineText = ReadCountedString(process, commandLine, parameters, normalized);
  // Every started process has at least its program's name there, and neither text holds
  // a NUL. An empty text or one with NULs is a block not filled in yet: Wine fills it in
  // as the process starts, lengths first (measured).
  const auto unfilled = [](const std::optional<Text>& text) {
    return !text || text->empty() || text->find(u'\0') != Text::npos;
  };
  if (unfilled(folderText) || unfilled(commandLineText)) return std::nullopt;
  return ProcessParametersBlock{std::move(*commandLineText), std::move(*folderText)};
}

std::optional<bool> QueryBreakOnTermination(HANDLE process, bool& accessDenied) {
  accessDenied = false;
  const QueryInformationProcess query = NtQuery();
  if (query == nullptr) return std::nullopt;
  ULONG flag = 0;
  ULONG returned = 0;
  const NtStatus status = query(process, kProcessBreakOnTermination, &flag, sizeof(flag), &returned);
  if (status == kStatusAccessDenied) accessDenied = true;
  if (status < 0) return std::nullopt;
  return flag != 0;
}

Text FolderWithoutTrailingSeparator(TextView folder) {
  Text result(folder);
  const auto isSeparator = [](char16_t c) { return c == u'\\' || c == u'/'; };
  while (!result.empty() && isSeparator(result.back())) {
    const bool driveRoot = result.size() == 3 && result[1] == u':';
    if (driveRoot) break;
    result.pop_back();
  }
  return result;
}

}  // namespace zc::win
