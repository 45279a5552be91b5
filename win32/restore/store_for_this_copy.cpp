#include "win32/restore/store_for_this_copy.h"

#include <vector>

#include "win32/base/ansi.h"
#include "win32/base/token_user.h"
#include "win32/machine/win32_own_log_folder.h"

namespace zc::win {

StoreLocation RunningAccountsOwnStore(const ConstantTexts& texts) {
  std::vector<BYTE> user = ProcessUserBytes();
  const std::wstring sid = user.empty() ? std::wstring() : SidText(UserSidIn(user));
  if (sid.empty()) return {StoreKeeper::OwnAccount, {}, {}};
  Win32OwnLogFolder folders;
  return OwnAccountStore(texts, folders.LocalAppDataFolder(), FromWide(sid));
}

StoreLocation StoreForThisCopy(const ConstantTexts& texts, ElevationApi& elevation) {
  return elevation.IsElevated() ? StoreLocation{} : RunningAccountsOwnStore(texts);
}

}  // namespace zc::win
