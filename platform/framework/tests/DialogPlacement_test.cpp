// Where top-level windows open: a dialog template's position is the window's own top left corner (on the screen,
// or in its owner's client area), DS_CENTER centres it in the work area, and no frame ever lies partly off the
// work area, on a small desktop as on a large one (message boxes and the common dialogs' chooser too). A
// wizard-like dialog at (0, 0) once opened with its client area at the desktop's corner and its caption above the
// screen; the insert-object chooser of a tall owner opened with its caption above the screen.
#include "platform/framework/tests/FrameworkTest.h"

#include "platform/display/Desktop.h"
#include "platform/framework/ChooserBox.h"
#include "platform/framework/DialogManager.h"
#include "platform/framework/DialogTemplate.h"
#include "platform/framework/MessageBox.h"

#include <cstdlib>
#include <string>

namespace plat::test {
namespace {

constexpr DWORD kPopup = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;

INT_PTR Quiet(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

class DialogPlacement : public FrameworkTest, public ::testing::WithParamInterface<SIZE> {
protected:
  void SetUp() override {
    FrameworkTest::SetUp();
    Desktop::Configure(GetParam().cx, GetParam().cy, 30);
    work = RECT{0, 0, GetParam().cx, GetParam().cy - 30};
  }

  HWND Open(short x, short y, short cx, short cy, DWORD extraStyle = 0, HWND owner = nullptr) {
    tmpl = DialogTemplate{kPopup | extraStyle, 0, x, y, cx, cy, "Placed", "MS Shell Dlg", 8, {}};
    return CreateDialogIndirectParam(nullptr, &tmpl, owner, &Quiet, 0);
  }

  void ExpectOnWorkArea(HWND hwnd, const std::string& what) {
    RECT r{};
    ::GetWindowRect(hwnd, &r);
    EXPECT_GE(r.left, work.left) << what;
    EXPECT_GE(r.top, work.top) << what;
    // A frame larger than the work area keeps its caption there; one that fits lies wholly inside.
    if (r.right - r.left <= work.right - work.left) {
      EXPECT_LE(r.right, work.right) << what;
    }
    if (r.bottom - r.top <= work.bottom - work.top) {
      EXPECT_LE(r.bottom, work.bottom) << what;
    }
  }

  DialogTemplate tmpl{};
  RECT work{};
};

TEST_P(DialogPlacement, TheFrameOfEachKindOfTopLevelWindowLiesOnTheWorkArea) {
  // A wizard, a groups dialog, a model editor: popups without an owner at (0, 0): the frame at the corner.
  HWND wizard = Open(0, 0, 300, 180);
  RECT r{};
  ::GetWindowRect(wizard, &r);
  EXPECT_EQ(r.left, 0);
  EXPECT_EQ(r.top, 0);
  ExpectOnWorkArea(wizard, "at (0, 0)");

  // In the owner's client area: the frame's corner at the template's point there.
  HWND owner = Open(10, 10, 200, 120);
  ::SetWindowPos(owner, nullptr, 40, 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  HWND owned = Open(8, 4, 60, 40, 0, owner);
  POINT corner{0, 0};
  ::ClientToScreen(owner, &corner);
  ::GetWindowRect(owned, &r);
  const RECT units = DialogUnitsToPixels(CRect(8, 4, 8, 4), DialogBaseUnits(8));
  EXPECT_EQ(r.left, corner.x + units.left);
  EXPECT_EQ(r.top, corner.y + units.top);

  // DS_CENTER: in the middle of the work area (as far as it fits).
  HWND centred = Open(0, 0, 100, 60, DS_CENTER);
  ::GetWindowRect(centred, &r);
  if (r.right - r.left <= work.right && r.bottom - r.top <= work.bottom) {
    EXPECT_LE(std::abs((r.left + r.right) / 2 - work.right / 2), 1);
    EXPECT_LE(std::abs((r.top + r.bottom) / 2 - work.bottom / 2), 1);
  }
  ExpectOnWorkArea(centred, "DS_CENTER");

  // Past the right and bottom edges, and larger than a small desktop: moved in, caption first.
  ExpectOnWorkArea(Open(2000, 2000, 100, 60), "past the corner");
  ExpectOnWorkArea(Open(-50, -50, 100, 60), "before the corner");
  ExpectOnWorkArea(Open(0, 0, 600, 400), "larger than a small desktop");
  ExpectOnWorkArea(Open(0, 0, 600, 400, DS_CENTER), "centred and larger than a small desktop");
  ExpectOnWorkArea(Open(100, 200, 60, 40, 0, owner), "owned, past its owner");

  // A message box of an owner that lies partly off the screen stays on it too.
  ::SetWindowPos(owner, nullptr, -150, -100, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  ::ShowWindow(owner, SW_SHOWNOACTIVATE);
  HWND box = CreateMessageBoxWindow(owner, "Placed on the screen", "Box", MB_OK);
  ASSERT_NE(box, nullptr);
  ExpectOnWorkArea(box, "message box");
  ::DestroyWindow(box);
  // So does the chooser of the common dialogs and of the insert-object dialog, on screen.
  ChooserSpec spec;
  spec.caption = "Insert Object";
  spec.items = {"Text Document"};
  HWND chooser = CreateChooserWindow(owner, spec);
  ASSERT_NE(chooser, nullptr);
  ExpectOnWorkArea(chooser, "chooser");
  ::DestroyWindow(chooser);
}

INSTANTIATE_TEST_SUITE_P(Desktops, DialogPlacement, ::testing::Values(SIZE{640, 480}, SIZE{1600, 1200}),
                         [](const ::testing::TestParamInfo<SIZE>& info) {
                           return std::to_string(info.param.cx) + "x" + std::to_string(info.param.cy);
                         });

}  // namespace
}  // namespace plat::test
