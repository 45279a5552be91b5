#pragma once
// One move-only owner per handle kind. Each kind names its invalid value and how it is
// closed; copies are deleted, so a handle has exactly one owner and is closed once.
//
//   UniqueHandle process(OpenProcess(...));   // closed by CloseHandle
//   if (!process) return {};
//   DWORD n = GetProcessImageFileNameA(process.get(), ...);

#include <windows.h>
#include <winsvc.h>

#include <utility>

namespace zc::win {

template <typename Traits>
class UniqueAny {
 public:
  using pointer = typename Traits::Type;

  UniqueAny() noexcept = default;
  explicit UniqueAny(pointer value) noexcept : value_(value) {}
  ~UniqueAny() { reset(); }

  UniqueAny(const UniqueAny&) = delete;
  UniqueAny& operator=(const UniqueAny&) = delete;

  UniqueAny(UniqueAny&& other) noexcept : value_(other.release()) {}
  UniqueAny& operator=(UniqueAny&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }

  pointer get() const noexcept { return value_; }
  explicit operator bool() const noexcept { return value_ != Traits::Invalid(); }

  // Closes the owned handle (if any) and takes `value` instead.
  void reset(pointer value = Traits::Invalid()) noexcept {
    pointer old = std::exchange(value_, value);
    if (old != Traits::Invalid()) Traits::Close(old);
  }

  // Gives up ownership without closing.
  pointer release() noexcept { return std::exchange(value_, Traits::Invalid()); }

  // For out-parameters: closes the current handle and returns the slot to fill.
  pointer* put() noexcept {
    reset();
    return &value_;
  }

 private:
  pointer value_ = Traits::Invalid();
};

struct KernelHandleTraits {  // processes, threads, pipes, events: null when absent
  using Type = HANDLE;
  static Type Invalid() noexcept { return nullptr; }
  static void Close(Type h) noexcept { ::CloseHandle(h); }
};
struct FileHandleTraits {  // CreateFile and snapshots: INVALID_HANDLE_VALUE when absent
  using Type = HANDLE;
  static Type Invalid() noexcept { return INVALID_HANDLE_VALUE; }
  static void Close(Type h) noexcept { ::CloseHandle(h); }
};
struct FindHandleTraits {
  using Type = HANDLE;
  static Type Invalid() noexcept { return INVALID_HANDLE_VALUE; }
  static void Close(Type h) noexcept { ::FindClose(h); }
};
struct RegistryKeyTraits {
  using Type = HKEY;
  static Type Invalid() noexcept { return nullptr; }
  static void Close(Type h) noexcept { ::RegCloseKey(h); }
};
struct ModuleTraits {  // LoadLibrary results (not GetModuleHandle ones)
  using Type = HMODULE;
  static Type Invalid() noexcept { return nullptr; }
  static void Close(Type h) noexcept { ::FreeLibrary(h); }
};
struct WindowTraits {
  using Type = HWND;
  static Type Invalid() noexcept { return nullptr; }
  static void Close(Type h) noexcept { ::DestroyWindow(h); }
};
struct MenuTraits {
  using Type = HMENU;
  static Type Invalid() noexcept { return nullptr; }
  static void Close(Type h) noexcept { ::DestroyMenu(h); }
};
struct IconTraits {
  using Type = HICON;
  static Type Invalid() noexcept { return nullptr; }
  static void Close(Type h) noexcept { ::DestroyIcon(h); }
};
template <typename GdiType>
struct GdiObjectTraits {  // pens, brushes, fonts, bitmaps, regions
  using Type = GdiType;
  static Type Invalid() noexcept { return nullptr; }
  static void Close(Type h) noexcept { ::DeleteObject(h); }
};
struct ServiceHandleTraits {  // the service manager and its services
  using Type = SC_HANDLE;
  static Type Invalid() noexcept { return nullptr; }
  static void Close(Type h) noexcept { ::CloseServiceHandle(h); }
};
struct MemoryDcTraits {
  using Type = HDC;
  static Type Invalid() noexcept { return nullptr; }
  static void Close(Type h) noexcept { ::DeleteDC(h); }
};
struct LocalMemoryTraits {  // what the system allocates with LocalAlloc for the caller
  using Type = HLOCAL;
  static Type Invalid() noexcept { return nullptr; }
  static void Close(Type h) noexcept { ::LocalFree(h); }
};
struct EventSourceTraits {  // RegisterEventSource results
  using Type = HANDLE;
  static Type Invalid() noexcept { return nullptr; }
  static void Close(Type h) noexcept { ::DeregisterEventSource(h); }
};

using UniqueHandle = UniqueAny<KernelHandleTraits>;
using UniqueLocalMemory = UniqueAny<LocalMemoryTraits>;
using UniqueFile = UniqueAny<FileHandleTraits>;
using UniqueFind = UniqueAny<FindHandleTraits>;
using UniqueKey = UniqueAny<RegistryKeyTraits>;
using UniqueModule = UniqueAny<ModuleTraits>;
using UniqueWindow = UniqueAny<WindowTraits>;
using UniqueMenu = UniqueAny<MenuTraits>;
using UniqueServiceHandle = UniqueAny<ServiceHandleTraits>;
using UniqueIcon = UniqueAny<IconTraits>;
using UniqueBrush = UniqueAny<GdiObjectTraits<HBRUSH>>;
using UniquePen = UniqueAny<GdiObjectTraits<HPEN>>;
using UniqueFont = UniqueAny<GdiObjectTraits<HFONT>>;
using UniqueBitmap = UniqueAny<GdiObjectTraits<HBITMAP>>;
using UniqueRegion = UniqueAny<GdiObjectTraits<HRGN>>;
using UniqueMemoryDc = UniqueAny<MemoryDcTraits>;
using UniqueEventSource = UniqueAny<EventSourceTraits>;

}  // namespace zc::win
