#include "win32/candy/candy_button_window.h"

#include "core/candy/candy_persistence.h"
#include "win32/base/ansi.h"
#include "win32/candy/candy_button_control.h"

namespace zc::win {
namespace {

LRESULT CALLBACK CandyWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    auto* control = static_cast<CandyButtonControl*>(create->lpCreateParams);
    ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(control));
    if (control != nullptr) control->Attach(window);
  }
  auto* control = reinterpret_cast<CandyButtonControl*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
  LRESULT result = 0;
  if (control != nullptr && control->HandleMessage(message, wParam, lParam, result)) return result;
  if (message == WM_NCDESTROY && control != nullptr) {
    control->Detach();
    ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
  }
  return ::DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

bool RegisterCandyButtonClass(HINSTANCE instance) {
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof(existing);
  if (::GetClassInfoExW(instance, kCandyButtonClass, &existing)) return true;
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.style = CS_DBLCLKS;
  windowClass.lpfnWndProc = &CandyWindowProcedure;
  windowClass.hInstance = instance;
  windowClass.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
  windowClass.lpszClassName = kCandyButtonClass;
  return ::RegisterClassExW(&windowClass) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

CandyButtonWindow::CandyButtonWindow(std::unique_ptr<CandyButtonControl> control) : control_(std::move(control)) {}

CandyButtonWindow::~CandyButtonWindow() {
  if (control_ && control_->Window() != nullptr && ::IsWindow(control_->Window()))
    ::DestroyWindow(control_->Window());
}

HWND CandyButtonWindow::Handle() const { return control_->Window(); }
int CandyButtonWindow::Id() const { return Handle() != nullptr ? ::GetDlgCtrlID(Handle()) : 0; }
void CandyButtonWindow::SetEnabled(bool enabled) { control_->Model().SetEnabled(enabled); }
void CandyButtonWindow::SetBadge(HICON badge) { control_->SetBadge(badge); }
bool CandyButtonWindow::Enabled() const { return control_->Model().Properties().enabled; }
void CandyButtonWindow::SetClickHandler(std::function<void()> handler) { control_->clickHandler = std::move(handler); }
void CandyButtonWindow::SetEventHandler(std::function<void(const candy::CandyEvent&)> handler) {
  control_->eventHandler = std::move(handler);
}
candy::CandyButton& CandyButtonWindow::Model() { return control_->Model(); }
candy::CandyInteraction& CandyButtonWindow::Interaction() { return control_->Interaction(); }

std::unique_ptr<CandyButtonWindow> CreateCandyButton(HWND parent, int id, const candy::CandyButtonValues& values,
                                                     const CandyButtonOptions& options) {
  return CreateCandyButton(parent, id, values.left, values.top, values.width, values.height, values, options);
}

std::unique_ptr<CandyButtonWindow> CreateCandyButton(HWND parent, int id, int x, int y, int width, int height,
                                                     const candy::CandyButtonValues& values,
                                                     const CandyButtonOptions& options) {
  auto instance = reinterpret_cast<HINSTANCE>(::GetWindowLongPtrW(parent, GWLP_HINSTANCE));
  if (instance == nullptr) instance = ::GetModuleHandleW(nullptr);
  if (!RegisterCandyButtonClass(instance)) return nullptr;
  auto control = std::make_unique<CandyButtonControl>(options.hookFailures);
  const std::wstring name = ToWide(values.caption);
  HWND window = ::CreateWindowExW(0, kCandyButtonClass, name.c_str(), WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS,
                                  x, y, width, height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                  instance, control.get());
  if (window == nullptr) return nullptr;
  auto owner = std::make_unique<CandyButtonWindow>(std::move(control));
  candy::CandyButton& model = owner->Model();
  RECT client{};
  ::GetClientRect(window, &client);
  model.SetSize(client.right, client.bottom);
  const candy::HostAmbient ambient{true, values.instanceName, values.font};
  candy::MemoryPropertyStore store = candy::StoreOf(values);
  candy::ReadProperties(model, store, ambient);
  owner->Interaction().OnResizeOrShow();
  return owner;
}

}  // namespace zc::win
