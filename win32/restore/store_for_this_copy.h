#pragma once
// Which backup store this copy of the program treats into and restores from: the
// machine's, with administrator rights; without them, the running account's own under
// its local application data folder (its user's SID read from this process's token).

#include "core/platform/elevation_api.h"
#include "core/restore/store_location.h"
#include "core/texts/constant_texts.h"

namespace zc::win {

// The running account's own store; an empty root when its local application data folder
// or its SID cannot be read (then nothing is written there).
StoreLocation RunningAccountsOwnStore(const ConstantTexts& texts);

// The machine's store for an elevated copy, the account's own otherwise.
StoreLocation StoreForThisCopy(const ConstantTexts& texts, ElevationApi& elevation);

}  // namespace zc::win
