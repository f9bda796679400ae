// The spin, password, hot-spot and scroll-bar cells: stepping through the arrows, masking, the hot spot's
// click and the scroll bar's room.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "grid/controls/CGXButton.h"
#include "grid/controls/CGXHotSpotEdit.h"
#include "grid/controls/CGXPasswordControl.h"
#include "grid/controls/CGXSpinEdit.h"
#include "grid/controls/CGXVScrollEdit.h"
#include "grid/controls/tests/edittest.h"
#include "grid/core/CGXStylesMap.h"
#include "platform/window/AutomationProvider.h"

namespace enginetest {
namespace {

CGXStyle Control(WORD id) {
  CGXStyle style;
  style.SetControl(id);
  return style;
}

// A step moves the number the cell keeps (a double) by exactly one, in its own direction, over the whole range
// where a double holds every whole number (2^53 either way); past it, or for no finite number, there is no step.
TEST(SpinStep, BoundsWrapStartAndTheEndsOfTheKeptNumber) {
  using B = CGXSpinEdit::Bounds;
  constexpr int64_t two53 = int64_t{1} << 53;
  const std::optional<int64_t> none;
  struct Case {
    const char* text;
    B bounds;
    bool up;
    std::optional<int64_t> expected;
  } cases[] = {
      {"5", {1, 5, {}, true}, true, 1},      // wraps to the minimum
      {"1", {1, 5, {}, true}, false, 5},     // and to the maximum
      {"5", {1, 5, {}, false}, true, 5},     // held without wrap
      {"5", {{}, 5, {}, true}, true, 5},     // wrap needs the other bound
      {"", {20, {}, 10, false}, true, 20},   // the start value, raised to the minimum
      {"", {{}, {}, 10, false}, false, 10},  // the start value alone
      {"abc", {}, true, 1},                  // no number reads as 0
      {"9", {1, 5, {}, false}, false, 5},    // outside the bounds: clamped after the step
      {"2.5", {}, true, 3},                  // a fraction steps its whole part
      // The 32-bit ends are no ends: the step goes on past them.
      {"2147483647", {}, true, 2147483648},
      {"-2147483648", {}, false, -2147483649},
      {"3000000000", {}, true, 3000000001},
      {"-3000000000", {}, false, -3000000001},
      {"3e9", {}, true, 3000000001},
      {"99999999999", {}, false, 99999999998},
      {"4999999999", {{}, 5000000000, {}, false}, true, 5000000000},  // bounds past 32 bits
      {"5000000000", {{}, 5000000000, {}, false}, true, 5000000000},
      {"-5000000000", {-5000000000, -1, {}, true}, false, -1},
      {"", {{}, {}, 8000000000, false}, true, 8000000000},
      // The ends of the whole numbers a double holds: a step past them, or from past them, is no step.
      {"9007199254740991", {}, true, two53},
      {"9007199254740992", {}, true, none},
      {"9007199254740992", {}, false, two53 - 1},
      {"-9007199254740992", {}, false, none},
      {"-9007199254740992", {}, true, -two53 + 1},
      {"9007199254740993", {}, false, none},
      {"9007199254740993", {1, 5, {}, false}, false, none},  // not clamped from where it cannot be read exactly
      {"1e20", {}, true, none},
      {"99999999999999999999", {}, false, none},
      {"-1e400", {}, true, none},
      {"1e400", {}, false, none},
      {"inf", {}, true, none},  // no finite number, as 1e400: it read as 0
      {"-inf", {1, 5, {}, false}, false, none},
      {"NaN", {}, true, none},
      {"1e+15", {}, true, 1000000000000001},  // a number as a number cell keeps it
      {"123456789012345", {}, false, 123456789012344},
  };
  for (const Case& c : cases)
    EXPECT_EQ(CGXSpinEdit::Step(c.text, c.bounds, c.up), c.expected) << c.text << " up " << c.up;
}

// Bounds and start values are read over the whole range of 64 bits; one past it is held at its end.
TEST(SpinStep, BoundsAreReadPast32Bits) {
  const struct {
    const char* text;
    std::optional<int64_t> read;
  } cases[] = {{"5000000000", 5000000000},
               {"-5000000000", -5000000000},
               {"2.5e9", 2500000000},
               {"1e30", std::numeric_limits<int64_t>::max()},
               {"-1e30", std::numeric_limits<int64_t>::min()},
               {"", std::nullopt}};
  for (const auto& c : cases) {
    CGXStyle style;
    style.SetUserAttribute(GX_IDS_UA_SPINBOUND_MIN, c.text)
        .SetUserAttribute(GX_IDS_UA_SPINBOUND_MAX, c.text)
        .SetUserAttribute(GX_IDS_UA_SPINSTART, c.text);
    const CGXSpinEdit::Bounds b = CGXSpinEdit::ReadBounds(style);
    EXPECT_EQ(b.minimum, c.read) << c.text;
    EXPECT_EQ(b.maximum, c.read) << c.text;
    EXPECT_EQ(b.start, c.read) << c.text;
  }
}

TEST_F(EditCellTest, TheVariantsAreMadeForTheirIdsAndTheSpinAttributesRegistered) {
  g = MakeRecordingGrid();
  EXPECT_EQ(g->ControlForId(52519)->GetControlClass(), &CGXSpinEdit::gxClassCGXSpinEdit);
  EXPECT_EQ(g->ControlForId(52537)->GetControlClass(), &CGXPasswordControl::gxClassCGXPasswordControl);
  EXPECT_EQ(g->ControlForId(52518)->GetControlClass(), &CGXHotSpotEdit::gxClassCGXHotSpotEdit);
  EXPECT_EQ(g->ControlForId(52521)->GetControlClass(), &CGXVScrollEdit::gxClassCGXVScrollEdit);
  CGXStylesMap map;
  CGXSpinEdit::RegisterUserAttributes(&map);
  const auto& attributes = map.GetUserAttributeMap();
  for (WORD id : {51014, 51015, 51016, 51021}) EXPECT_EQ(attributes.count(id), 1u) << id;
}

TEST_F(EditCellTest, SpinArrowsSplitTheColumnRightOfTheTextForOddAndEvenHeights) {
  g = MakeRecordingGrid();
  auto* spin = ControlOf<CGXSpinEdit>(g, GX_IDS_CTRL_SPINEDIT);
  for (int height : {17, 18, 5}) {
    const CRect inner(10, 3, 60, 3 + height);
    spin->LayOutChildren(1, 1, inner);
    const CRect up = spin->UpButton()->GetRect(), down = spin->DownButton()->GetRect();
    EXPECT_EQ(up.left, inner.right);
    EXPECT_EQ(up.Width(), 14);
    EXPECT_EQ(up.top, inner.top + 1);
    EXPECT_EQ(down.bottom, inner.bottom - 1);
    EXPECT_EQ(up.bottom, down.top);  // they share the middle line
    EXPECT_EQ(up.Height(), (height - 2) / 2) << height;
  }
}

TEST_F(EditCellTest, ClickingTheSpinArrowsStepsTheValueAndTellsTheGrid) {
  CGXStyle style = Control(GX_IDS_CTRL_SPINEDIT);
  style.SetUserAttribute(GX_IDS_UA_SPINBOUND_MAX, "5");
  Grid("4", style);
  const CRect cell = g->CalcCellRect(2, 1);
  const int arrowX = cell.Width() - 8;
  Click(g, 2, 1, arrowX, 4);  // the upper half: up
  EXPECT_EQ(Text(), "5");
  EXPECT_TRUE(edit->GetModifiedState());
  g->CGXGridCore::UpdateWindow();
  Pump();
  Click(g, 2, 1, arrowX, 4);  // at the maximum: held
  EXPECT_EQ(Text(), "5");
  Click(g, 2, 1, arrowX, cell.Height() - 4);  // down
  EXPECT_EQ(Text(), "4");
  const Log log = g->Take();
  EXPECT_GE(std::count(log.begin(), log.end(), "clicked 2,1"), 3);
  Key(VK_DOWN);
  EXPECT_EQ(Value(2, 1), "4");
}

// A spin cell's text stays within its maximum length, typed or stepped by an arrow (up past 99, down past -9, an
// empty cell's start value); a step that fits is taken.
TEST_F(EditCellTest, ASpinCellKeepsItsMaximumLengthAtEveryDoor) {
  enum Door { typed, up, down };
  const struct {
    const char *value, *start;
    Door door;
    const char* expected;
  } cases[] = {{"99", "", typed, "10"}, {"99", "", up, "99"},  {"-9", "", down, "-9"},
               {"", "100", up, ""},     {"98", "", up, "99"}, {"-8", "", down, "-9"}};
  for (const auto& c : cases) {
    Grid(c.value, Control(GX_IDS_CTRL_SPINEDIT).SetMaxLength(2).SetUserAttribute(GX_IDS_UA_SPINSTART, c.start));
    const CRect cell = g->CalcCellRect(2, 1);
    if (c.door == typed)
      Type("100");
    else
      Click(g, 2, 1, cell.Width() - 8, c.door == up ? 4 : cell.Height() - 4);
    Key(VK_RETURN);
    EXPECT_EQ(Value(2, 1), c.expected) << c.value << " door " << c.door;
  }
}

TEST_F(EditCellTest, ASpinCellThatIsReadOnlyDoesNotStep) {
  CGXStyle style = Control(GX_IDS_CTRL_SPINEDIT);
  style.SetReadOnly(TRUE);
  Grid("4", style);
  Click(g, 2, 1, g->CalcCellRect(2, 1).Width() - 8, 4);
  EXPECT_EQ(Text(), "4");
  EXPECT_FALSE(edit->GetModifiedState());
}

// An arrow on a number it cannot move by exactly one (past 2^53 either way, or no finite number: "inf" and "nan"
// stepped to 1) leaves the text as it is and says why, once a click; a step back inside the range is taken. A
// number format stores every digit of the step: through 14 digits 123456789012345 up stored 123456789012340, and
// 123456789012340 stayed.
TEST_F(EditCellTest, ASpinArrowLeavesANumberItCannotStepByOneAsItIsAndSaysWhy) {
  const std::string past = "The arrows step whole numbers up to 9007199254740992 either way";
  const CGXStyle spin = Control(GX_IDS_CTRL_SPINEDIT);
  const struct {
    const char* value;
    bool up;
    const char* stored;
    const std::string* box = nullptr;
    CGXStyle style = Control(GX_IDS_CTRL_SPINEDIT);
  } cases[] = {{"9007199254740992", true, "9007199254740992", &past},
               {"-9007199254740992", false, "-9007199254740992", &past},
               {"9007199254740993", false, "9007199254740993", &past},
               {"1e20", true, "1e20", &past},
               {"inf", true, "inf", &past},
               {"nan", false, "nan", &past},
               {"1e400", true, "1e400", &past},
               {"9007199254740992", false, "9007199254740991"},
               {"3000000000", true, "3000000001"},
               {"123456789012345", true, "123456789012346", nullptr, CGXStyle(spin).SetFormat(5).SetPlaces(0)},
               {"123456789012340", false, "123456789012339", nullptr, CGXStyle(spin).SetFormat(2).SetPlaces(0)},
               {"1e+15", true, "1000000000000001", nullptr, CGXStyle(spin).SetFormat(23).SetPlaces(0)}};
  // Every box answered OK, until the test ends however it ends.
  struct Answered {
    plat::ScriptedAutomation automation;
    Answered() {
      automation.Reply(plat::SystemUiKind::MessageBox, {IDOK, {}, 0}, {}, true);
      plat::SetAutomationProvider(&automation);
    }
    ~Answered() { plat::SetAutomationProvider(nullptr); }
  } answered;
  for (const auto& c : cases) {
    Grid(c.value, c.style);
    plat::ClearShownLog();
    const CRect cell = g->CalcCellRect(2, 1);
    Click(g, 2, 1, cell.Width() - 8, c.up ? 4 : cell.Height() - 4);
    Key(VK_RETURN);
    EXPECT_EQ(Value(2, 1), c.stored) << c.value << (c.up ? " up" : " down");
    std::vector<std::string> boxes;
    for (const auto& shown : plat::ShownLog())
      if (shown.request.kind == plat::SystemUiKind::MessageBox) boxes.emplace_back(shown.request.text);
    if (c.box) {
      ASSERT_EQ(boxes.size(), 1u) << c.value;
      EXPECT_EQ(boxes[0].rfind(*c.box, 0), 0u) << boxes[0];
    } else {
      EXPECT_TRUE(boxes.empty()) << c.value;
    }
  }
}

TEST_F(EditCellTest, APasswordCellShowsAsterisksAndGivesNothingToTheClipboard) {
  Grid("secret", Control(GX_IDS_CTRL_PASSWORD));
  CString shown;
  edit->GetEditText(shown);
  EXPECT_EQ(std::string(shown), "******");
  // Drawn as a static cell holding six asterisks.
  Canvas masked(80, 20, RGB(255, 255, 255)), stars(80, 20, RGB(255, 255, 255));
  CGXStyle secret;
  g->ComposeCellStyle(2, 1, secret, TRUE);
  CGXStyle asterisks = secret;
  asterisks.SetControl(GX_IDS_CTRL_STATIC).SetValue("******");
  edit->DrawCell(&masked.dc, CRect(0, 0, 80, 20), 3, 1, secret, nullptr);
  g->ControlForId(GX_IDS_CTRL_STATIC)->DrawCell(&stars.dc, CRect(0, 0, 80, 20), 3, 1, asterisks, nullptr);
  int inked = 0, differing = 0;
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 80; ++x) {
      inked += masked.At(x, y) != RGB(255, 255, 255);
      differing += masked.At(x, y) != stars.At(x, y);
    }
  EXPECT_GT(inked, 10);
  EXPECT_EQ(differing, 0);
  Activate();
  EXPECT_EQ(Text(), "secret");  // the window holds the real text
  EXPECT_EQ(edit->GetPasswordChar(), '*');
  EXPECT_EQ(edit->CreatedStyle() & (ES_PASSWORD | ES_MULTILINE), static_cast<DWORD>(ES_PASSWORD));
  PutOnClipboard("kept");
  edit->SetSel(0, -1);
  plat::InputRouter::Instance().KeyDown(VK_CONTROL);
  Key('X');
  EXPECT_EQ(Clipboard(), "kept");  // cut does nothing
  EXPECT_EQ(Text(), "secret");
  Key('C');
  plat::InputRouter::Instance().KeyUp(VK_CONTROL);
  EXPECT_EQ(Clipboard(), "");  // emptied, nothing copied
}

TEST_F(EditCellTest, TheHotSpotClickReachesTheGrid) {
  Grid("abc", Control(GX_IDS_CTRL_HOTSPOT));
  auto* hot = static_cast<CGXHotSpotEdit*>(edit);
  const CRect cell = g->CalcCellRect(2, 1);
  const CRect inner = hot->ComputeInnerRect(2, 1);
  hot->LayOutChildren(2, 1, inner);
  const CRect button = hot->Button()->GetRect();
  EXPECT_EQ(button.left, inner.right);
  EXPECT_EQ(button.Width(), 13);
  EXPECT_LE(button.bottom, cell.bottom);
  g->Take();
  Click(g, 2, 1, button.CenterPoint().x - cell.left, button.CenterPoint().y - cell.top);
  const Log log = g->Take();
  EXPECT_NE(std::find(log.begin(), log.end(), "clicked 2,1"), log.end());
}

TEST_F(EditCellTest, TheScrollBarEditLeavesRoomForItsBar) {
  CGXStyle style = Control(GX_IDS_CTRL_SCROLLEDIT);
  style.SetWrapText(TRUE);
  Grid("one two three four five six", style);
  g->SetRowHeight(2, 2, 60);
  CGXStyle plain;
  plain.SetWrapText(TRUE);
  const CRect cell = g->CalcCellRect(2, 1);
  const CRect withBar = edit->ComputeInnerRect(cell, style);
  const CRect without = ControlOf<CGXEditControl>(g, GX_IDS_CTRL_EDIT)->ComputeInnerRect(cell, plain);
  EXPECT_EQ(without.right - withBar.right, GetSystemMetrics(SM_CXVSCROLL));
  Activate();
  EXPECT_TRUE(edit->CreatedStyle() & WS_VSCROLL);
  CRect window;
  edit->GetWindowRect(&window);
  g->ScreenToClient(&window);
  EXPECT_LE(window.right, withBar.right + 1);
}

// A bound holds at every door a text comes into a cell by: typed (the store's validation), pasted on the cell (the
// paste's store) and replaced. A spin cell's own bounds hold there as the validation bounds of the edit and
// password cells do; an empty text is no value out of bounds.
TEST_F(EditCellTest, ABoundedCellTakesATextAtEveryDoorOrAtNone) {
  const CGXStyle valid =
      CGXStyle().SetUserAttribute(GX_IDS_UA_VALID_MIN, "0").SetUserAttribute(GX_IDS_UA_VALID_MAX, "100");
  const CGXStyle password = CGXStyle(valid).SetControl(GX_IDS_CTRL_PASSWORD);
  const CGXStyle spin = Control(GX_IDS_CTRL_SPINEDIT)
                            .SetUserAttribute(GX_IDS_UA_SPINBOUND_MIN, "1")
                            .SetUserAttribute(GX_IDS_UA_SPINBOUND_MAX, "20");
  const struct {
    const CGXStyle& style;
    const char* text;
    bool taken;
  } cases[] = {{valid, "500", false}, {valid, "50", true},   {valid, "", true},   {password, "-1", false},
               {password, "7", true}, {spin, "25", false},   {spin, "0", false},  {spin, "abc", false},
               {spin, "2.5", false},  {spin, "7", true},     {spin, "", true}};
  for (const auto& c : cases)
    for (int door = 0; door < 3; ++door) {  // typed, pasted, replaced
      Grid("12", c.style);
      CString text = c.text;
      CGXStyle composed;
      g->ComposeCellStyle(2, 1, composed, TRUE);
      const BOOL taken = door == 1   ? g->SetCellTextThroughControl(2, 1, text, GX_INVALIDATE)
                         : door == 2 ? edit->StoreReplacedText(text, 2, 1, composed, FALSE)
                                     : (edit->SetEditText(text), edit->ValidateValue());
      if (door == 0 && taken) Key(VK_DOWN);
      EXPECT_EQ(!!taken, c.taken) << c.style.GetControl() << " \"" << c.text << "\" door " << door;
      EXPECT_EQ(Value(2, 1), c.taken ? c.text : "12") << c.style.GetControl() << " \"" << c.text << "\" " << door;
    }
}

}  // namespace
}  // namespace enginetest
