#include "win32/desktop/desktop_shell_start.h"

#include <windows.h>
#include <exdisp.h>
#include <oleauto.h>
#include <shldisp.h>
#include <shlguid.h>
#include <shobjidl.h>

#include "win32/base/com_ptr.h"

namespace zc::win {
namespace {

// COM on this thread for the call's duration; a thread that has it keeps it as it was.
class ComApartment {
 public:
  ComApartment() : result_(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)) {}
  ~ComApartment() {
    if (SUCCEEDED(result_)) ::CoUninitialize();
  }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;

 private:
  HRESULT result_;
};

// A BSTR owned for one call.
class OwnedBstr {
 public:
  explicit OwnedBstr(const std::wstring& text) : value_(::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
  ~OwnedBstr() { ::SysFreeString(value_); }
  OwnedBstr(const OwnedBstr&) = delete;
  OwnedBstr& operator=(const OwnedBstr&) = delete;
  BSTR get() const { return value_; }

 private:
  BSTR value_;
};

VARIANT TextVariant(const OwnedBstr& text) {
  VARIANT v;
  ::VariantInit(&v);
  v.vt = VT_BSTR;
  v.bstrVal = text.get();  // still owned by `text`
  return v;
}

// The shell's application object, reached from the desktop's active view.
HRESULT DesktopShellDispatch(ComPtr<IShellDispatch2>& dispatch) {
  ComPtr<IShellWindows> windows;
  HRESULT hr = ::CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_LOCAL_SERVER, IID_IShellWindows,
                                  reinterpret_cast<void**>(windows.put()));
  if (FAILED(hr)) return hr;
  VARIANT location;
  ::VariantInit(&location);
  VARIANT root;
  ::VariantInit(&root);
  long desktopWindow = 0;
  ComPtr<IDispatch> desktop;
  hr = windows->FindWindowSW(&location, &root, SWC_DESKTOP, &desktopWindow, SWFO_NEEDDISPATCH, desktop.put());
  if (hr != S_OK) return FAILED(hr) ? hr : E_FAIL;  // S_FALSE: no desktop window
  const auto provider = desktop.As<IServiceProvider>();
  if (!provider) return E_NOINTERFACE;
  ComPtr<IShellBrowser> browser;
  hr = provider->QueryService(SID_STopLevelBrowser, IID_IShellBrowser, reinterpret_cast<void**>(browser.put()));
  if (FAILED(hr)) return hr;
  ComPtr<IShellView> view;
  hr = browser->QueryActiveShellView(view.put());
  if (FAILED(hr)) return hr;
  if (!view) return E_FAIL;
  ComPtr<IDispatch> background;
  hr = view->GetItemObject(SVGIO_BACKGROUND, IID_IDispatch, reinterpret_cast<void**>(background.put()));
  if (FAILED(hr)) return hr;
  const auto folderView = background.As<IShellFolderViewDual>();
  if (!folderView) return E_NOINTERFACE;
  ComPtr<IDispatch> application;
  hr = folderView->get_Application(application.put());
  if (FAILED(hr)) return hr;
  dispatch = application.As<IShellDispatch2>();
  return dispatch ? S_OK : E_NOINTERFACE;
}

}  // namespace

HRESULT StartThroughDesktopShell(const std::wstring& program, const std::wstring& arguments,
                                 const std::wstring& folder) {
  ComApartment apartment;
  ComPtr<IShellDispatch2> shell;
  const HRESULT found = DesktopShellDispatch(shell);
  if (FAILED(found)) return found;
  const OwnedBstr file(program);
  const OwnedBstr args(arguments);
  const OwnedBstr directory(folder);
  const OwnedBstr verb(L"open");
  VARIANT show;
  ::VariantInit(&show);
  show.vt = VT_I4;
  show.lVal = SW_SHOWNORMAL;
  return shell->ShellExecute(file.get(), TextVariant(args), TextVariant(directory), TextVariant(verb), show);
}

}  // namespace zc::win
