#pragma once
// Wine exports a version query from its ntdll; Windows does not.

namespace zc::win {

bool RunningUnderWine();

}  // namespace zc::win
