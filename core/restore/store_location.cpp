#include "core/restore/store_location.h"

namespace zc {

StoreLocation OwnAccountStore(const ConstantTexts& texts, TextView localAppData, TextView ownerSid) {
  StoreLocation location{StoreKeeper::OwnAccount, {}, Text(ownerSid)};
  Text folder(localAppData);
  while (!folder.empty() && folder.back() == u'\\') folder.pop_back();
  if (!folder.empty()) location.root = folder + u"\\" + texts.Get(enc::OwnStoreFolder);
  return location;
}

Text OwnStoreParent(const StoreLocation& location) {
  if (location.keeper != StoreKeeper::OwnAccount) return {};
  const size_t cut = location.root.find_last_of(u'\\');
  return cut == Text::npos ? Text() : location.root.substr(0, cut);
}

}  // namespace zc
