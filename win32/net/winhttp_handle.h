#pragma once
// The move-only owner of WinHTTP handles (sessions, connections, requests), closed with
// WinHttpCloseHandle.

#include <windows.h>
#include <winhttp.h>

#include "win32/base/unique_handle.h"

namespace zc::win {

struct WinHttpHandleTraits {
  using Type = HINTERNET;
  static Type Invalid() noexcept { return nullptr; }
  static void Close(Type h) noexcept { ::WinHttpCloseHandle(h); }
};

using UniqueInternet = UniqueAny<WinHttpHandleTraits>;

}  // namespace zc::win
