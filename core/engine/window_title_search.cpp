#include "core/engine/window_title_search.h"

namespace zc {

WindowHandle WindowTitleSearch::FindWindowByTitle(TextView fragment) {
  fragment_ = Text(fragment);
  found_ = 0;
  windows_.EnumerateTopLevelWindows(
      [this](WindowHandle window, const Text& title) { return wndenum_proc(window, title); });
  return found_;
}

bool WindowTitleSearch::wndenum_proc(WindowHandle window, const Text& title) {
  if (!Contains(title, fragment_)) return true;
  found_ = window;
  return false;
}

}  // namespace zc
