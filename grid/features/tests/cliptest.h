// Helpers of the clipboard tests: raw clipboard blocks in and out, and a grid with the clipboard features.
#pragma once

#include <string>
#include <vector>

#include "grid/features/tests/featuretest.h"
#include <cstring>

#include "platform/base/GlobalMemory.h"
#include "platform/display/Desktop.h"
#include "platform/window/Clipboard.h"

namespace cliptest {

// Puts one block of bytes on the clipboard as another program would (emptying it first unless `keep`).
// With `keep` the opener must be the clipboard's owner (only the owner adds formats).
inline void PutBytes(UINT format, const std::string& bytes, bool keep = false, HWND opener = nullptr) {
  ASSERT_TRUE(OpenClipboard(opener));
  if (!keep) EmptyClipboard();
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, bytes.size());
  std::memcpy(GlobalLock(block), bytes.data(), bytes.size());
  GlobalUnlock(block);
  SetClipboardData(format, block);
  CloseClipboard();
}

// The whole block of a format (empty when there is none).
inline std::string Bytes(UINT format) {
  std::string out;
  if (!OpenClipboard(nullptr)) return out;
  if (HANDLE h = GetClipboardData(format)) {
    const auto* p = static_cast<const char*>(GlobalLock(static_cast<HGLOBAL>(h)));
    out.assign(p, GlobalSize(static_cast<HGLOBAL>(h)));
    GlobalUnlock(static_cast<HGLOBAL>(h));
  }
  CloseClipboard();
  return out;
}

// The clipboard's text up to its NUL.
inline std::string Text() {
  const std::string b = Bytes(CF_TEXT);
  return b.substr(0, b.find('\0'));
}

class ClipTest : public featuretest::FeatureTest {
 protected:
  void SetUp() override {
    FeatureTest::SetUp();
    plat::Clipboard::Instance().Reset();
  }
  // A grid of rows x cols whose undo lists start empty, with the clipboard flags given. Message boxes are
  // answered OK from here on, after the answers a test scripted before (the first matching rule answers).
  CGXGridWnd* Make(ROWCOL rows, ROWCOL cols, DWORD flags = 0x0008 | 0x0010) {
    if (plat::GetAutomationProvider() != &automation) Automate();
    CGXGridWnd* g = MakeGrid(rows, cols);
    g->m_nClipboardFlags = flags;
    ClearUndo(g);
    return g;
  }
  static void Select(CGXGridCore* g, const CGXRange& range) {
    g->GetParam()->GetSelection().DeleteAll();
    g->GetParam()->GetSelection().AddTail(new CGXRange(range));
  }
  static std::string Value(CGXGridCore* g, ROWCOL r, ROWCOL c) { return std::string(g->GetCellValue(r, c)); }
  // Every pixel of the window as it is on screen now (nothing repainted first).
  static std::vector<uint32_t> Snapshot(HWND h) {
    auto image = plat::Desktop::Capture(h);
    std::vector<uint32_t> out;
    for (int y = 0; y < image->height(); ++y)
      for (int x = 0; x < image->width(); ++x) out.push_back(plat::colorFromPixel(image->pixel(x, y)));
    return out;
  }
  // The values of a block, rows joined by "|", cells by ",".
  static std::string Values(CGXGridCore* g, ROWCOL top, ROWCOL left, ROWCOL bottom, ROWCOL right) {
    std::string out;
    for (ROWCOL r = top; r <= bottom; ++r) {
      if (r > top) out += "|";
      for (ROWCOL c = left; c <= right; ++c) {
        if (c > left) out += ",";
        out += Value(g, r, c);
      }
    }
    return out;
  }
};

}  // namespace cliptest
