// Shared fixture for the foundation tests: a clean window system with the classic colours, no visual-style
// library (or a recording one on request), an automation provider, memory-bitmap helpers for pixel tests and
// reference screenshots under foundation/tests/reference.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "foundation/VisualStyles.h"
#include "platform/gdi/CDC.h"
#include "platform/window/AutomationProvider.h"

namespace foundation::test {

class FoundationTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Loads `library` as the visual-style library (common controls 6) and redoes the start-up.
  void UseTheme(ThemeLibrary* library);
  static void Pump();

  plat::ScriptedAutomation automation;
};

// A w × h colour memory DC filled with `fill`.
struct MemoryImage {
  MemoryImage(int w, int h, COLORREF fill);
  ~MemoryImage();
  COLORREF At(int x, int y) const { return dc.GetPixel(x, y) & 0xFFFFFF; }
  CDC dc;
  CBitmap bitmap;
  CBitmap* old = nullptr;
  int width, height;
};

// Registers a packed bitmap resource (built from rows of palette indexes '0'..'9', 'a'..'f') in the test
// instance module. `colours` is the colour table.
void RegisterTestBitmap(UINT id, int bpp, std::initializer_list<COLORREF> colours,
                        std::initializer_list<const char*> rows);
// Registers raw resource bytes (kept alive by the fixture) under an id.
void RegisterRawBitmap(UINT id, std::vector<BYTE> bytes);

// The window (children included) compared with foundation/tests/reference/<name>.png;
// BRIM_UPDATE_REFERENCES=1 rewrites the image.
void ExpectMatchesReference(HWND hwnd, const std::string& name);

}  // namespace foundation::test
