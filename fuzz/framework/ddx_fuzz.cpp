// Arbitrary text typed into a dialog's edit field and read by the dialog data exchange as every number type:
// read or refused with the prompt, never a crash. A value read is written back and read again; what the
// exchange writes itself always reads back, and the second round trip changes nothing.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/base/CException.h"
#include "platform/framework/CDataExchange.h"
#include "platform/framework/CWnd.h"
#include "platform/window/AutomationProvider.h"

namespace {

constexpr int kField = 100;

CWnd* Dialog() {
  static CWnd* dialog = [] {
    static plat::ScriptedAutomation automation;
    automation.Reply(plat::SystemUiKind::MessageBox, {IDOK, {}, 0}, {}, /*repeat=*/true);
    plat::SetAutomationProvider(&automation);
    HWND parent = CreateWindowEx(0, "STATIC", "", WS_POPUP, 0, 0, 200, 100, nullptr, nullptr, nullptr, nullptr);
    HWND edit = CreateWindowEx(0, "EDIT", "", WS_CHILD | ES_AUTOHSCROLL, 0, 0, 100, 20, parent,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(kField)), nullptr, nullptr);
    if (!parent || !edit) std::abort();
    return CWnd::FromHandle(parent);
  }();
  return dialog;
}

// Reads the field as T; false when the exchange refused the text.
template <class T>
bool Read(T& value) {
  CDataExchange dx(Dialog(), TRUE);
  try {
    DDX_Text(&dx, kField, value);
    return true;
  } catch (CException* e) {
    e->Delete();
    return false;
  }
}

template <class T>
void Write(T value) {
  CDataExchange dx(Dialog(), FALSE);
  DDX_Text(&dx, kField, value);
}

template <class T>
void RoundTrip(const std::string& text) {
  Dialog()->SetDlgItemText(kField, text.c_str());
  T first{};
  if (!Read(first)) return;
  Write(first);
  T second{};
  if (!Read(second)) std::abort();  // the exchange's own text is refused
  Write(second);
  T third{};
  if (!Read(third) || !(third == second || (std::isnan(static_cast<double>(third)) && std::isnan(static_cast<double>(second)))))
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > 512) return 0;
  std::string text(reinterpret_cast<const char*>(data), size);
  text = text.c_str();  // a window text ends at its first zero byte
  RoundTrip<int>(text);
  RoundTrip<UINT>(text);
  RoundTrip<long>(text);
  RoundTrip<short>(text);
  RoundTrip<BYTE>(text);
  RoundTrip<double>(text);
  RoundTrip<float>(text);
  plat::ClearShownLog();
  return 0;
}
