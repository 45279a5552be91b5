#include "win32/candy/leave_notifier.h"

namespace zc::win {
namespace {

// The function from a loaded library, or from one loaded now (kept in `loaded`).
FARPROC Lookup(const char* library, const char* function, UniqueModule& loaded) {
  if (HMODULE present = ::GetModuleHandleA(library)) return ::GetProcAddress(present, function);
  UniqueModule module(::LoadLibraryA(library));
  if (!module) return nullptr;
  FARPROC found = ::GetProcAddress(module.get(), function);
  if (found != nullptr) loaded = std::move(module);
  return found;
}

}  // namespace

LeaveNotifier LeaveNotifier::Find() {
  LeaveNotifier notifier;
  if (FARPROC f = Lookup("User32", "TrackMouseEvent", notifier.loaded_)) {
    notifier.function_ = reinterpret_cast<TrackFunction>(reinterpret_cast<void*>(f));
    notifier.source_ = Source::User32;
  } else if (FARPROC g = Lookup("Comctl32", "_TrackMouseEvent", notifier.loaded_)) {
    notifier.function_ = reinterpret_cast<TrackFunction>(reinterpret_cast<void*>(g));
    notifier.source_ = Source::CommonControls;
  }
  return notifier;
}

bool LeaveNotifier::Request(HWND window) const {
  if (function_ == nullptr) return false;
  TRACKMOUSEEVENT request{};
  request.cbSize = sizeof(request);  // the record's size on this platform
  request.dwFlags = TME_LEAVE;
  request.hwndTrack = window;
  request.dwHoverTime = 0;
  return function_(&request) != FALSE;
}

}  // namespace zc::win
