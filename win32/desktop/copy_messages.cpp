#include "win32/desktop/copy_messages.h"

namespace zc::win {

UINT ComeForwardMessage() {
  static const UINT message = ::RegisterWindowMessageW(L"ZombieCure.ComeForward.7c1e52a4");
  return message;
}

UINT ElevatedCopyReadyMessage() {
  static const UINT message = ::RegisterWindowMessageW(L"ZombieCure.ElevatedCopyReady.7c1e52a4");
  return message;
}

}  // namespace zc::win
