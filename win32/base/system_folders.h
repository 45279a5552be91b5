#pragma once
// The system folder (System32) and the Windows folder, where the programs and libraries
// of the system itself lie. Neither ends with "\"; both are empty when unreadable.

#include "core/base/text.h"

namespace zc::win {

Text SystemFolder();
Text WindowsFolder();

}  // namespace zc::win
