// Shared fixture for the control tests: a dialog-like host window (3-D face background) that records what
// its controls tell it, helpers to drive input, and screenshot comparison with committed reference images.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/controls/winctrl.h"
#include "platform/window/InputRouter.h"
#include "platform/window/Pump.h"
#include "platform/window/tests/WindowTestSupport.h"

namespace plat::test {

struct Note {
  int id;
  UINT code;
  bool operator==(const Note&) const = default;
};
std::ostream& operator<<(std::ostream& os, const Note& n);

class ControlTest : public WindowTest {
 protected:
  void SetUp() override;

  HWND Make(const char* cls, const char* text, DWORD style, RECT r, int id, DWORD exStyle = 0);
  // WM_COMMAND notifications that reached the host since the last ClearLog, in order.
  std::vector<Note> Notes() const;
  std::vector<UINT> NoteCodes(int id) const;
  // Host messages among `which`, in order.
  std::vector<UINT> HostMessages(std::vector<UINT> which) const;

  InputRouter& in() { return InputRouter::Instance(); }
  void ClickAt(HWND h, int x, int y) {
    in().Click(MouseButton::Left, InputRouter::ClientPoint(h, x, y));
    RunUntilIdle();
  }
  void Key(int vk, int modifier = 0) {
    if (modifier) in().KeyDown(modifier);
    in().KeyPress(vk);
    if (modifier) in().KeyUp(modifier);
    RunUntilIdle();
  }
  void Type(const char* text) {
    in().TypeText(text);
    RunUntilIdle();
  }
  std::string Text(HWND h) const;

  // Extra handling on the host: return a value to answer a message, nullopt to let the default run.
  std::function<std::optional<LRESULT>(UINT, WPARAM, LPARAM)> hostHook;
  HWND host{};
};

// A top-level window as painted (after pumping; the host, or a popup such as a dropped list), compared with
// platform/controls/tests/reference/<name>.
// BRIM_UPDATE_REFERENCES=1 rewrites the reference; a mismatch writes the actual and diff images to the temporary
// directory.
void ExpectMatchesReference(HWND host, const std::string& name);

}  // namespace plat::test

#define EXPECT_NOTES(actual, ...)                         \
  do {                                                    \
    std::vector<plat::test::Note> expected_{__VA_ARGS__}; \
    EXPECT_EQ(actual, expected_);                         \
  } while (0)
