#include "win32/desktop/win32_session_copy.h"

#include <sddl.h>

#include <cstdint>
#include <string>
#include <vector>

#include "core/base/text.h"
#include "win32/base/ansi.h"
#include "win32/base/token_user.h"
#include "win32/desktop/copy_messages.h"
#include "win32/machine/running_under_wine.h"

namespace zc::win {
namespace {

constexpr wchar_t kNamespaceName[] = L"ZombieCure";

// Full access for the user and SYSTEM, labelled medium so that the user's unelevated
// copy may open what an elevated one made.
UniqueLocalMemory DescriptorFor(const std::wstring& sid) {
  const std::wstring sddl = L"D:P(A;;GA;;;" + sid + L")(A;;GA;;;SY)S:(ML;;NW;;;ME)";
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (!::ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1, &descriptor, nullptr))
    return UniqueLocalMemory();
  return UniqueLocalMemory(descriptor);
}

// This program file's path, letter case folded, as 16 hexadecimal digits (FNV-1a, 64
// bits): copies of the program in other folders are other programs.
std::wstring ProgramPathTag() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    path.resize(path.size() * 2);
  }
  uint64_t hash = 14695981039346656037ull;
  for (const char16_t c : FoldCase(FromWide(path))) {
    hash ^= static_cast<uint64_t>(c);
    hash *= 1099511628211ull;
  }
  wchar_t digits[17] = {};
  for (int i = 15; i >= 0; --i, hash >>= 4) digits[i] = L"0123456789abcdef"[hash & 0xF];
  return digits;
}

// The system has no private namespaces: the call says it is not implemented, or, under
// Wine, whose namespace calls are stubs that fail without setting any error, it failed
// and said nothing.
bool NoPrivateNamespaces(DWORD error) {
  return error == ERROR_CALL_NOT_IMPLEMENTED || (error == ERROR_SUCCESS && RunningUnderWine());
}

SessionClaim ClaimOf(HANDLE mutex, DWORD error) {
  if (mutex) return error == ERROR_ALREADY_EXISTS ? SessionClaim::AnotherRuns : SessionClaim::First;
  return error == ERROR_ACCESS_DENIED ? SessionClaim::AnotherRuns : SessionClaim::Unknown;
}

}  // namespace

SessionClaim Win32SessionCopy::Failed(const char* call, DWORD error) {
  failedCall_ = call;
  failedError_ = error;
  return SessionClaim::Unknown;
}

SessionClaim Win32SessionCopy::Claim() {
  std::vector<BYTE> user = ProcessUserBytes();
  if (user.empty()) return Failed("GetTokenInformation", ::GetLastError());
  const std::wstring sid = SidText(UserSidIn(user));
  if (sid.empty()) return Failed("ConvertSidToStringSidW", ::GetLastError());
  DWORD session = 0;
  if (!::ProcessIdToSessionId(::GetCurrentProcessId(), &session)) return Failed("ProcessIdToSessionId", ::GetLastError());
  const std::wstring program = ProgramPathTag();
  if (program.empty()) return Failed("GetModuleFileNameW", ::GetLastError());

  UniqueLocalMemory descriptor = DescriptorFor(sid);
  SECURITY_ATTRIBUTES attributes{sizeof(attributes), descriptor.get(), FALSE};
  SECURITY_ATTRIBUTES* security = descriptor ? &attributes : nullptr;

  std::wstring name;
  if (OpenNamespace(security, UserSidIn(user))) {
    name = std::wstring(kNamespaceName) + L"\\OneCopy-" + std::to_wstring(session) + L"-" + program;
  } else if (namespaceClaim_ == SessionClaim::First && NoPrivateNamespaces(failedError_)) {
    usedFallback_ = true;  // the session's own name space: only where the system lacks private ones
    name = L"Local\\ZombieCure.OneCopy." + sid + L"." + program;
  } else {
    return namespaceClaim_ == SessionClaim::AnotherRuns ? SessionClaim::AnotherRuns : SessionClaim::Unknown;
  }
  ::SetLastError(ERROR_SUCCESS);
  mutex_.reset(::CreateMutexW(security, FALSE, name.c_str()));
  const DWORD mutexError = ::GetLastError();
  const SessionClaim claim = ClaimOf(mutex_.get(), mutexError);
  return claim == SessionClaim::Unknown ? Failed("CreateMutexW", mutexError) : claim;
}

bool Win32SessionCopy::OpenNamespace(SECURITY_ATTRIBUTES* security, PSID user) {
  namespaceClaim_ = SessionClaim::First;
  ::SetLastError(ERROR_SUCCESS);
  boundary_.reset(::CreateBoundaryDescriptorW(kNamespaceName, 0));
  if (!boundary_) {
    Failed("CreateBoundaryDescriptorW", ::GetLastError());
    return false;
  }
  HANDLE boundary = boundary_.get();
  ::SetLastError(ERROR_SUCCESS);
  if (!::AddSIDToBoundaryDescriptor(&boundary, user)) {
    Failed("AddSIDToBoundaryDescriptor", ::GetLastError());
    return false;
  }
  boundary_.release();
  boundary_.reset(boundary);  // the call may have made the descriptor anew

  ::SetLastError(ERROR_SUCCESS);
  namespace_.reset(::CreatePrivateNamespaceW(security, boundary_.get(), kNamespaceName));
  if (namespace_) return true;
  const DWORD error = ::GetLastError();
  if (error != ERROR_ALREADY_EXISTS) {
    Failed("CreatePrivateNamespaceW", error);
    return false;
  }
  namespace_.reset(::OpenPrivateNamespaceW(boundary_.get(), kNamespaceName));
  if (namespace_) return true;
  const DWORD openError = ::GetLastError();
  // There, but not ours to open: made by a copy whose rights keep this one out.
  if (openError == ERROR_ACCESS_DENIED) namespaceClaim_ = SessionClaim::AnotherRuns;
  else namespaceClaim_ = SessionClaim::Unknown;
  Failed("OpenPrivateNamespaceW", openError);
  return false;
}

void Win32SessionCopy::CallRunningCopyForward() {
  ::AllowSetForegroundWindow(ASFW_ANY);
  const UINT message = ComeForwardMessage();
  if (message != 0) ::PostMessageW(HWND_BROADCAST, message, 0, 0);
}

}  // namespace zc::win
