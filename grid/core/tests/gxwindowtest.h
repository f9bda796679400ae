// Helpers of the grid tests that go through the window system: the clipboard's text in and out, and a
// modeless dialog holding a grid with its message loop.
#pragma once

#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "grid/core/CGXGridWnd.h"
#include "platform/base/GlobalMemory.h"
#include "platform/framework/CDialog.h"
#include "platform/framework/CWinThread.h"
#include "platform/framework/DialogTemplate.h"
#include "platform/window/windowapi.h"

namespace gxtest {

// The clipboard's text in a format, up to its zero byte (empty when the format is not there).
inline std::string ClipboardText(UINT format = CF_TEXT) {
  std::string text;
  if (OpenClipboard(nullptr)) {
    if (HANDLE h = GetClipboardData(format)) {
      text = static_cast<const char*>(GlobalLock(h));
      GlobalUnlock(h);
    }
    CloseClipboard();
  }
  return text;
}

// Empties the clipboard and puts a text on it (with its zero byte) in a format.
inline void PutClipboardText(const char* text, UINT format = CF_TEXT) {
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  const size_t n = std::strlen(text) + 1;
  HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, n);
  std::memcpy(GlobalLock(h), text, n);
  GlobalUnlock(h);
  SetClipboardData(format, h);
  CloseClipboard();
}

// A modeless dialog whose template names the grid's window class (id kGrid) beside OK and Cancel buttons;
// it records the buttons. The grid is initialised from its style with `rows` x 3 cells, (1, 1) holding
// `first` when given.
class GridDialog : public CDialog {
 public:
  static constexpr int kGrid = 100;
  explicit GridDialog(ROWCOL rows, const char* first = nullptr) : m_nRows(rows), m_first(first) {}
  BOOL Create() {
    static const DialogItemTemplate items[] = {
        {"CGXGridWnd", "", kGrid, WS_VISIBLE | WS_TABSTOP | WS_BORDER, 0, 5, 5, 150, 80},
        {"BUTTON", "OK", IDOK, WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 160, 5, 40, 14},
        {"BUTTON", "Cancel", IDCANCEL, WS_VISIBLE | WS_TABSTOP, 0, 160, 25, 40, 14},
    };
    static const DialogTemplate tmpl{WS_POPUP | WS_VISIBLE | WS_CAPTION, 0, 0, 0, 210, 100, "Grid", nullptr, 0, items};
    return CreateIndirect(&tmpl);
  }
  BOOL OnInitDialog() override {
    CDialog::OnInitDialog();
    grid = static_cast<CGXGridWnd*>(CWnd::FromHandlePermanent(::GetDlgItem(m_hWnd, kGrid)));
    if (!grid) return FALSE;
    grid->InitializeFromStyle();
    grid->SetRowCount(m_nRows, 0);
    grid->SetColCount(3, 0);
    if (m_first) grid->SetCellValue(1, 1, m_first, 0);
    return TRUE;
  }
  void OnOK() override { events.push_back("OK"); }
  void OnCancel() override { events.push_back("Cancel"); }

  CGXGridWnd* grid = nullptr;
  std::vector<std::string> events;

 private:
  ROWCOL m_nRows;
  const char* m_first;
};

// Messages as a modeless dialog's loop serves them: the thread's pre-translation (the dialog manager) first.
inline void DialogPump() {
  MSG msg;
  for (int guard = 0; guard < 100000 && PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE); ++guard) {
    if (!AfxGetThread()->PreTranslateMessage(&msg)) {
      TranslateMessage(&msg);
      DispatchMessage(&msg);
    }
  }
}

}  // namespace gxtest
