// The check-list drop-down: its caption, the ticks read from and stored as the cell's mask, every way of
// closing the list storing them, typing and read-only cells, and lists longer than the mask.
#include <gtest/gtest.h>

#include "grid/controls/CGXCheckListComboBox.h"
#include "grid/controls/tests/dropdowntest.h"

namespace enginetest {
namespace {

constexpr const char* kColours = "Colours\nRed\nGreen\nBlue";

class CheckListTest : public DropDownTest {
 protected:
  CCheckListBox* Checks() { return dynamic_cast<CCheckListBox*>(box->GetListBox()); }
  std::vector<int> Ticks() {
    std::vector<int> ticks;
    for (int i = 0; i < Checks()->GetCount(); ++i) ticks.push_back(Checks()->GetCheck(i));
    return ticks;
  }
};

TEST_F(CheckListTest, TheCellShowsItsCaptionAndTheListTheTicksOfTheMask) {
  Grid(GX_IDS_CTRL_CHECKLIST_COMBOBOX, kColours, "5");
  CGXStyle style;
  g->ComposeCellStyle(2, 1, style, TRUE);
  CString shown;
  EXPECT_TRUE(box->GetDisplayText(shown, 2, 1, nullptr, style));
  EXPECT_EQ(std::string(shown), "Colours");
  AltDown();
  ASSERT_NE(Checks(), nullptr);
  EXPECT_EQ(Ticks(), (std::vector<int>{1, 0, 1}));
  // The rows are as tall as their boxes: the popup holds all three, the list fills it, nothing scrolls.
  CRect list;
  Checks()->GetWindowRect(&list);
  EXPECT_EQ(list, PopupRect());
  CRect last;
  Checks()->GetItemRect(2, &last);
  CRect client;
  Checks()->GetClientRect(&client);
  EXPECT_LE(last.bottom, client.bottom);
  EXPECT_EQ(Checks()->GetTopIndex(), 0);
  // Space on the first and the third item unticks both: no tick stores an empty value.
  Key(VK_SPACE);
  Key(VK_DOWN);
  Key(VK_DOWN);
  Key(VK_SPACE);
  Key(VK_RETURN);
  EXPECT_FALSE(box->IsDroppedDown());
  EXPECT_EQ(Value(), "");
  // Green alone stores 2.
  AltDown();
  EXPECT_EQ(Ticks(), (std::vector<int>{0, 0, 0}));
  Key(VK_DOWN);
  Key(VK_SPACE);
  Key(VK_RETURN);
  EXPECT_EQ(Value(), "2");
  EXPECT_FALSE(box->GetEditingState());
}

TEST_F(CheckListTest, EveryWayOfClosingTheListStoresTheTicks) {
  enum class Close { escape, enter, tab, clickElsewhere, altDown };
  for (Close how : {Close::escape, Close::enter, Close::tab, Close::clickElsewhere, Close::altDown}) {
    Grid(GX_IDS_CTRL_CHECKLIST_COMBOBOX, kColours, "1");
    AltDown();
    ASSERT_TRUE(box->IsDroppedDown());
    Key(VK_DOWN);
    Key(VK_SPACE);  // Green too
    switch (how) {
      case Close::escape: Key(VK_ESCAPE); break;
      case Close::enter: Key(VK_RETURN); break;
      case Close::tab: Key(VK_TAB); break;
      case Close::clickElsewhere: Click(g, 4, 3, 5, 5); break;
      case Close::altDown: AltDown(); break;
    }
    EXPECT_FALSE(box->IsDroppedDown()) << static_cast<int>(how);
    EXPECT_FALSE(g->m_bListDropped) << static_cast<int>(how);
    EXPECT_EQ(Value(), "3") << static_cast<int>(how);
    if (how == Close::tab) {
      EXPECT_TRUE(g->MatchesCurrentCell(2, 2));
    }
    if (how == Close::clickElsewhere) {
      EXPECT_TRUE(g->MatchesCurrentCell(4, 3));
    }
  }
}

TEST_F(CheckListTest, TypingChangesNothingAndReadOnlyCellsStoreNothing) {
  Grid(GX_IDS_CTRL_CHECKLIST_COMBOBOX, kColours, "4");
  Type("gr");
  EXPECT_FALSE(box->GetEditingState());
  EXPECT_FALSE(box->IsDroppedDown());
  EXPECT_EQ(Value(), "4");
  CGXStyle readOnly;
  readOnly.SetReadOnly(TRUE);
  Grid(GX_IDS_CTRL_CHECKLIST_COMBOBOX, kColours, "4", readOnly);
  AltDown();
  ASSERT_TRUE(box->IsDroppedDown());  // it opens and ticks...
  Key(VK_SPACE);
  EXPECT_EQ(Ticks(), (std::vector<int>{1, 0, 1}));
  Key(VK_RETURN);
  EXPECT_EQ(Value(), "4");  // ...but closing stores nothing
  // Without a choice list: an empty caption and an empty list.
  Grid(GX_IDS_CTRL_CHECKLIST_COMBOBOX, "", "");
  AltDown();
  EXPECT_EQ(Checks()->GetCount(), 0);
  Key(VK_ESCAPE);
  EXPECT_EQ(Value(), "");
}

TEST_F(CheckListTest, TheMaskIsUnsigned32BitAndTheListShowsNoItemItCannotStore) {
  CString many = "Caption";
  for (int i = 0; i < 33; ++i) many += "\nitem";
  Grid(GX_IDS_CTRL_CHECKLIST_COMBOBOX, many, "2147483648");  // bit 31
  AltDown();
  ASSERT_EQ(Checks()->GetCount(), 32);
  EXPECT_EQ(Checks()->GetCheck(31), 1);
  EXPECT_EQ(Checks()->GetCheck(0), 0);
  Key(VK_SPACE);
  Key(VK_RETURN);
  EXPECT_EQ(Value(), "2147483649");
  // A text takes every bit of a list of 32 items or more; with no list, only the empty mask.
  CGXStyle style;
  g->ComposeCellStyle(2, 1, style, TRUE);
  CString all = "4294967295", none = "0", one = "1";
  EXPECT_TRUE(box->ConvertTextForCell(all, 2, 1, style));
  EXPECT_FALSE(box->ConvertTextForCell(one, 2, 1, CGXStyle()));
  EXPECT_TRUE(box->ConvertTextForCell(none, 2, 1, CGXStyle()));
  EXPECT_EQ(std::string(none), "");
  // Texts that are no mask tick nothing and are replaced by the ticks when the list closes.
  for (const char* bad : {"4294967296", "-1", "abc", "5x"}) {
    EXPECT_FALSE(CGXCheckListComboBox::ParseMask(bad).has_value()) << bad;
    Grid(GX_IDS_CTRL_CHECKLIST_COMBOBOX, kColours, bad);
    AltDown();
    EXPECT_EQ(Ticks(), (std::vector<int>{0, 0, 0})) << bad;
    Key(VK_RETURN);
    EXPECT_EQ(Value(), "") << bad;
  }
  EXPECT_EQ(CGXCheckListComboBox::ParseMask("4294967295").value_or(0), 0xFFFFFFFFu);
  EXPECT_EQ(std::string(CGXCheckListComboBox::FormatMask(0xFFFFFFFFu)), "4294967295");
}

}  // namespace
}  // namespace enginetest
