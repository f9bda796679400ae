// The date-time cell end to end on the recording test grid: reading value texts (dates, DATE numbers, the
// forced number input, empty cells), the stored form and its precision, starting edits by keys and typing,
// Delete, the clipboard, find by field, conversions for other cells during an edit, and screenshots.
#include <gtest/gtest.h>

#include "grid/core/CGXFindReplaceState.h"
#include "grid/core/CGXGridFeatures.h"
#include "grid/core/CGXRangeList.h"
#include "grid/core/tests/gxwindowtest.h"
#include "grid/extras/CGXBCalendar.h"
#include "grid/extras/CGXDateTimeCtrl.h"
#include "grid/extras/tests/extrastest.h"
#include "platform/base/GlobalMemory.h"
#include "platform/base/VirtualClock.h"
#include "platform/display/Desktop.h"
#include "platform/display/ReferenceImage.h"
#include "platform/gdi/RecordingDC.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

using namespace extrastest;

COleDateTime Dt(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) { return COleDateTime(y, mo, d, h, mi, s); }

// The grid's copy of cell ranges, recorded.
struct RecordingCopy : CGXGridCutPasteImp {
  BOOL CopyRanges(CGXGridCore*, const CGXRangeList& ranges) override {
    for (POSITION p = ranges.GetHeadPosition(); p;) copied.push_back(*ranges.GetNext(p));
    return TRUE;
  }
  std::vector<CGXRange> copied;
};

class DateTimeCellTest : public ExtrasTest {
 protected:
  void SetUp() override {
    ExtrasTest::SetUp();
    plat::VirtualClock::FixTimeOfDay(1718454600);  // 15 June 2024, 12:30 UTC
    g = MakeRecordingGrid(6, 3, 520, 200);
    g->SetColWidth(1, 3, 160, nullptr, 0);
    g->RedrawAll(GX_INVALIDATE);
    Pump();
  }
  void TearDown() override {
    CGXFindReplaceState::Get() = CGXFindReplaceState();
    plat::VirtualClock::UseRealTimeOfDay();
    ExtrasTest::TearDown();
  }
  static CGXStyle Cell(const char* value, const char* format = "dd/MM/yyyy HH:mm", WORD id = GX_IDS_CTRL_DATETIME) {
    CGXStyle s;
    s.SetControl(id).SetValue(value).SetInteriorColor(RGB(255, 255, 255));
    if (format) s.SetUserAttribute(GX_IDS_UA_DATEFORMATTYPE, "3").SetUserAttribute(GX_IDS_UA_CUSTOMFORMAT, format);
    return s;
  }
  CString Display(ROWCOL row, ROWCOL col) { return DisplayText(g, row, col); }
  CGXDateTimeCtrl* Control(WORD id = GX_IDS_CTRL_DATETIME) { return ControlOf<CGXDateTimeCtrl>(g, id); }
  // Makes the cell current and starts editing it with Home (the first field current).
  void Edit(ROWCOL row, ROWCOL col) {
    g->MoveCurrentCellTo(row, col);
    Pump();
    Key(VK_HOME);
  }
  int CurrentField() { return Control()->CurrentGadget() ? Control()->CurrentGadget()->GetFieldId() : 0; }
  static CString ClipboardText() { return CString(gxtest::ClipboardText().c_str()); }
  static void PutClipboardText(const char* text) { gxtest::PutClipboardText(text); }
  enginetest::RecordingGrid* g = nullptr;
};

TEST_F(DateTimeCellTest, ValueTextsReadAsDatesNumbersOrTheEmptyDefault) {
  SetCell(g, 1, 1, Cell("36526.5"));
  SetCell(g, 2, 1, Cell("1/1/2000"));
  CGXStyle forced = Cell("1/1/2000");
  forced.SetUserAttribute(GX_IDS_UA_DATETIMEASNUMBER, "1");
  SetCell(g, 3, 1, forced);
  SetCell(g, 4, 1, Cell("0"));
  SetCell(g, 5, 1, Cell("0.0x"));
  EXPECT_EQ(Display(1, 1), "01/01/2000 12:00");
  EXPECT_EQ(Display(2, 1), "01/01/2000 00:00");
  EXPECT_EQ(Display(3, 1), "31/12/1899 00:00");  // the number 1
  EXPECT_EQ(Display(4, 1), "30/12/1899 00:00");  // the DATE 0, not an empty value
  CString out;
  EXPECT_FALSE(g->ControlForCell(5, 1)->GetDisplayText(out, 5, 1, nullptr, Cell("0.0x")));  // unreadable

  // Empty cells start at midnight of day 0 for a time format and at today (the virtual clock) for a date.
  CGXStyle time = Cell("", nullptr);
  time.SetUserAttribute(GX_IDS_UA_DATEFORMATTYPE, "0");
  SetCell(g, 1, 2, time);
  SetCell(g, 2, 2, Cell("", nullptr).SetUserAttribute(GX_IDS_UA_DATEFORMATTYPE, "1"));
  Edit(1, 2);
  EXPECT_EQ(Control()->GetDateTime(), Dt(1899, 12, 30));
  Edit(2, 2);
  const COleDateTime now = COleDateTime::GetCurrentTime();
  EXPECT_EQ(now.GetYear(), 2024);
  EXPECT_EQ(Control()->GetDateTime(), Dt(now.GetYear(), now.GetMonth(), now.GetDay()));
  EXPECT_FALSE(Control()->GetModifiedState());
}

TEST_F(DateTimeCellTest, EditsStoreTheDateNumberWithItsPrecision) {
  SetCell(g, 1, 1, Cell("1/1/2000"));
  CGXStyle wide = Cell("36526.123456789012345");
  wide.SetUserAttribute(GX_IDS_UA_DATETIMEPRECISION, "20");
  SetCell(g, 2, 1, wide);
  CGXStyle narrow = Cell("36526.123456789012345");
  narrow.SetUserAttribute(GX_IDS_UA_DATETIMEPRECISION, "5");
  SetCell(g, 3, 1, narrow);
  Edit(1, 1);
  EXPECT_EQ(CurrentField(), GXDT_DAY);
  for (int i = 0; i < 3; ++i) Key(VK_RIGHT);
  EXPECT_EQ(CurrentField(), GXDT_HOUR24);
  Type("12");  // the hour; fast input moves on to the minutes
  EXPECT_EQ(CurrentField(), GXDT_MINUTE);
  EXPECT_TRUE(Control()->GetModifiedState());
  Key(VK_RETURN);
  EXPECT_EQ(g->GetCellValue(1, 1), "36526.5");
  EXPECT_EQ(Display(1, 1), "01/01/2000 12:00");
  // The precision is read when the control takes a cell: 20 counts as 15, 5 as 13.
  const char* const number = "36526.123456789012345";
  Edit(2, 1);
  EXPECT_EQ(Control()->GetPrecision(), 15);
  CString text = number;
  EXPECT_TRUE(Control()->ConvertTextForCell(text, 2, 1, wide));
  EXPECT_EQ(text, "36526.123456789");
  Edit(3, 1);
  EXPECT_EQ(Control()->GetPrecision(), 13);
  text = number;
  EXPECT_TRUE(Control()->ConvertTextForCell(text, 3, 1, narrow));
  EXPECT_EQ(text, "36526.12345679");
  // Without store-as-number the value is stored as a date-time text that reads back.
  Control()->SetStoreAsNumber(FALSE);
  Edit(1, 1);
  Key(VK_UP);
  g->MoveCurrentCellTo(2, 1);
  Pump();
  EXPECT_EQ(Display(1, 1), "02/01/2000 12:00");
  EXPECT_NE(g->GetCellValue(1, 1).Find("2000"), -1);
}

TEST_F(DateTimeCellTest, TypingOnACurrentCellStartsEditingAtTheFirstField) {
  SetCell(g, 1, 1, Cell("1/1/2000"));
  g->MoveCurrentCellTo(1, 1);
  Pump();
  EXPECT_FALSE(Control()->GetEditingState());
  Type("3");
  EXPECT_TRUE(Control()->GetEditingState());
  EXPECT_EQ(CurrentField(), GXDT_DAY);
  EXPECT_TRUE(Control()->IsTypingNumber());  // "3" waits for a second digit
  Type("1");
  EXPECT_EQ(Control()->GetDateTime(), Dt(2000, 1, 31));
  EXPECT_EQ(CurrentField(), GXDT_MONTH);  // fast input moved on
  // A control character does not start an edit; a read-only cell refuses typing.
  CGXStyle readOnly = Cell("1/1/2000");
  readOnly.SetReadOnly(TRUE);
  SetCell(g, 2, 1, readOnly);
  g->MoveCurrentCellTo(2, 1);
  Pump();
  Type("4");
  EXPECT_FALSE(Control()->GetEditingState());
  EXPECT_EQ(g->GetCellValue(2, 1), "1/1/2000");
  EXPECT_EQ(g->GetCellValue(1, 1), "36556");
}

TEST_F(DateTimeCellTest, DeleteStoresAnEmptyValueAndTheCellDrawsOnlyItsButtons) {
  SetCell(g, 1, 1, Cell("1/1/2000"));
  SetCell(g, 2, 1, Cell("1/1/2000"));
  Edit(1, 1);
  Key(VK_DELETE);
  EXPECT_FALSE(Control()->GetEditingState());
  EXPECT_EQ(g->GetCellValue(1, 1), "");
  // Delete on a current cell that is not edited clears it too.
  g->MoveCurrentCellTo(2, 1);
  Pump();
  Key(VK_DELETE);
  EXPECT_EQ(g->GetCellValue(2, 1), "");
  g->MoveCurrentCellTo(3, 1);
  Pump();
  // The emptied cell: its background only (no field text), inactive and not current: no buttons either.
  auto shot = enginetest::Shot(g->GridHwnd());
  ASSERT_TRUE(shot);
  const CRect r = g->CalcCellRect(1, 1);
  CDC* dc = CDC::FromHandle(GetDC(g->GridHwnd()));
  int dark = 0;
  for (int y = r.top + 2; y < r.bottom - 2; ++y)
    for (int x = r.left + 2; x < r.right - 2; ++x) dark += (dc->GetPixel(x, y) & 0xFFFFFF) == 0;
  ReleaseDC(g->GridHwnd(), dc->GetSafeHdc());
  EXPECT_EQ(dark, 0);
}

TEST_F(DateTimeCellTest, ClipboardCopiesTheCellAndPastesDatesAndNumbers) {
  SetCell(g, 1, 1, Cell("36526.5"));
  SetCell(g, 2, 1, Cell("1/1/2000"));
  auto* copy = new RecordingCopy;
  g->SetFeature(copy);
  // Copy hands the current cell to the grid's copy, edited or not.
  Edit(1, 1);
  EXPECT_TRUE(Control()->CopyToClipboard());
  ASSERT_EQ(copy->copied.size(), 1u);
  EXPECT_EQ(copy->copied[0], CGXRange(1, 1));
  Edit(2, 1);
  PutClipboardText(g->GetCellValue(1, 1));
  EXPECT_TRUE(Control()->PasteFromClipboard());
  EXPECT_EQ(g->GetCellValue(2, 1), "36526.5");
  EXPECT_EQ(Control()->GetDateTime(), Dt(2000, 1, 1, 12, 0, 0));  // the edit shows the pasted value
  PutClipboardText("2/3/2001");
  EXPECT_TRUE(Control()->PasteFromClipboard());
  EXPECT_EQ(Display(2, 1), "03/02/2001 00:00");
  // Fields pasted as a list go into the format's fields in order.
  PutClipboardText("24, 12\r\n1999 7 45");
  EXPECT_TRUE(Control()->PasteFromClipboard());
  EXPECT_EQ(Display(2, 1), "24/12/1999 07:45");
  // A text that gives no value is refused; the cell keeps its value.
  PutClipboardText("what");
  Control()->PasteFromClipboard();
  EXPECT_EQ(Display(2, 1), "24/12/1999 07:45");
  // Not editing: nothing is pasted.
  g->MoveCurrentCellTo(3, 1);
  Pump();
  g->MoveCurrentCellTo(2, 1);
  Pump();
  EXPECT_FALSE(Control()->PasteFromClipboard());
}

TEST_F(DateTimeCellTest, ConvertingTextsForOtherCellsLeavesTheEditIntact) {
  SetCell(g, 1, 1, Cell("1/1/2000"));
  SetCell(g, 2, 1, Cell("1/1/2000"));
  Edit(1, 1);
  Key(VK_UP);
  ASSERT_EQ(Control()->GetDateTime(), Dt(2000, 1, 2));
  CString text = "5/6/2010";
  EXPECT_TRUE(Control()->ConvertTextForCell(text, 2, 1, Cell("")));
  EXPECT_EQ(text, "40304");  // 6 May in the user's month-first locale
  text = "40303.25";
  EXPECT_TRUE(Control()->ConvertTextForCell(text, 2, 1, Cell("")));
  EXPECT_EQ(text, "40303.25");
  text = "17 3 2011";  // fields in the order of dd/MM/yyyy HH:mm
  EXPECT_TRUE(Control()->ConvertTextForCell(text, 2, 1, Cell("")));
  EXPECT_EQ(text, "40619");
  text = "31 4 2011";  // a day the month cannot hold is refused, not lowered to the month's last
  EXPECT_FALSE(Control()->ConvertTextForCell(text, 2, 1, Cell("")));
  EXPECT_EQ(text, "31 4 2011");
  text = "29 2 2012";  // a day taken once its month and year are there
  EXPECT_TRUE(Control()->ConvertTextForCell(text, 2, 1, Cell("")));
  EXPECT_EQ(Display(2, 1), "01/01/2000 00:00");
  EXPECT_EQ(COleDateTime(std::atof(text)), Dt(2012, 2, 29));
  text = ",,";
  EXPECT_FALSE(Control()->ConvertTextForCell(text, 2, 1, Cell("")));
  // The edit in progress kept its value and stores it.
  EXPECT_EQ(Control()->GetDateTime(), Dt(2000, 1, 2));
  EXPECT_TRUE(Control()->GetModifiedState());
  g->MoveCurrentCellTo(2, 1);
  Pump();
  EXPECT_EQ(g->GetCellValue(1, 1), "36527");
}

TEST_F(DateTimeCellTest, FindMatchesFieldsOneAfterAnother) {
  SetCell(g, 1, 1, Cell("12/12/2012", "dd MMMM yyyy"));
  SetCell(g, 2, 1, Cell("3/4/2001", "dd MMMM yyyy"));
  CGXFindReplaceState& state = CGXFindReplaceState::Get();
  const auto arg = [](auto v) { return static_cast<DWORD_PTR>(v); };
  const DWORD_PTR s = reinterpret_cast<DWORD_PTR>(&state);
  CGXControl* control = g->ControlForCell(1, 1);
  state.m_strFind = "mar";
  state.m_bCase = FALSE;
  EXPECT_EQ(Display(2, 1), "04 March 2001");
  EXPECT_TRUE(control->FindInCell(s, arg(2), arg(1), TRUE, FALSE));  // "March", case ignored
  EXPECT_FALSE(control->FindInCell(s, arg(1), arg(1), TRUE, FALSE));
  state.m_bCase = TRUE;
  EXPECT_FALSE(control->FindInCell(s, arg(2), arg(1), TRUE, FALSE));
  state.m_bCase = FALSE;
  state.m_strFind = "2012";
  EXPECT_TRUE(control->FindInCell(s, arg(1), arg(1), TRUE, FALSE));
  state.m_strFind = "201";  // numbers match whole
  EXPECT_FALSE(control->FindInCell(s, arg(1), arg(1), TRUE, FALSE));
  // A number past an int is no field's value: not its low 32 bits (12 + 2^32), nor a number past 64 bits.
  for (const char* past : {"4294967308", "4294967296012", "99999999999999999999"}) {
    state.m_strFind = past;
    EXPECT_FALSE(control->FindInCell(s, arg(1), arg(1), TRUE, FALSE)) << past;
  }
  // In the edited cell the search goes on from the field after the last match.
  Edit(1, 1);
  state.m_strFind = "12";
  EXPECT_TRUE(control->FindInCell(s, arg(1), arg(1), TRUE, TRUE));
  EXPECT_EQ(CurrentField(), GXDT_DAY);
  CString selected;
  Control()->GetSelectionText(selected);
  EXPECT_EQ(selected, "12");
  EXPECT_FALSE(control->FindInCell(s, arg(1), arg(1), FALSE, TRUE));  // "December" is no number
  // Replace puts the replacement into the matched field.
  state.m_strFind = "December";
  state.m_strReplace = "Feb";
  EXPECT_TRUE(control->ReplaceInCell(s, arg(1), arg(1)));
  EXPECT_EQ(Control()->GetDateTime(), Dt(2012, 2, 12));
}

// Replace All in the edited cell puts a replacement into the matched field only as a pasted token goes there:
// digits alone in a number field ("2x" was day 2), a beginning of a name in a named one ("" was January).
TEST_F(DateTimeCellTest, AReplacedFieldTakesOnlyWhatAPastedTokenWould) {
  const struct {
    const char *find, *replace;
    COleDateTime value;
  } rows[] = {{"15", "20", Dt(2024, 6, 20)},     {"15", "2x", Dt(2024, 6, 15)}, {"15", "7/1", Dt(2024, 6, 15)},
              {"June", "Jul", Dt(2024, 7, 15)}, {"June", "", Dt(2024, 6, 15)}, {"2024", "2025x", Dt(2024, 6, 15)}};
  CGXFindReplaceState& state = CGXFindReplaceState::Get();
  for (const auto& row : rows) {
    SetCell(g, 1, 1, Cell("6/15/2024", "dd MMMM yyyy"));
    Edit(1, 1);
    state.m_strFind = row.find;
    state.m_strReplace = row.replace;
    Control()->ReplaceInCell(reinterpret_cast<DWORD_PTR>(&state), 1, 1);
    EXPECT_EQ(Control()->GetDateTime(), row.value) << row.find << " -> " << row.replace;
    Key(VK_ESCAPE);
  }
}

// An inactive cell shows its value as one run of text, each field as wide as what it shows: "6/15/2024", not the
// editing window's fields sized for "12" and "Wednesday". A click lands on the field drawn under it.
TEST_F(DateTimeCellTest, InactiveCellsDrawTheirFieldsWithoutGapsAndAClickTakesTheFieldDrawnThere) {
  SetCell(g, 1, 1, Cell("45458", "M/d/yyyy"));                 // 15 June 2024
  SetCell(g, 2, 1, Cell("45458", "dddd, MMMM d, yyyy"));
  SetCell(g, 3, 1, Cell("45458.1875", "h:mm tt"));             // 4:30 AM
  struct Run {
    int x;
    std::string text;
  };
  auto drawn = [&](ROWCOL row) {
    HDC raw = plat::CreateRecordingDC(400, 40);
    CDC dc;
    dc.Attach(raw);
    CGXStyle style;
    g->ComposeCellStyle(row, 1, style);
    g->ControlForCell(row, 1)->DrawCell(&dc, CRect(0, 0, 160, 20), row, 1, style, nullptr);
    std::vector<Run> runs;
    for (const std::string& line : plat::RecorderOf(raw)->lines()) {
      int x = 0, y = 0, used = 0;
      if (std::sscanf(line.c_str(), "text %d,%d \"%n", &x, &y, &used) != 2 || used == 0) continue;
      const size_t end = line.find('"', static_cast<size_t>(used));
      runs.push_back(Run{x, line.substr(static_cast<size_t>(used), end - static_cast<size_t>(used))});
    }
    dc.Detach();
    DeleteDC(raw);
    // Drawn from the last field to the first: put them in reading order.
    std::sort(runs.begin(), runs.end(), [](const Run& a, const Run& b) { return a.x < b.x; });
    return runs;
  };
  HDC measure = plat::CreateRecordingDC(10, 10);
  HFONT font = CreateFont(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, VARIABLE_PITCH | FF_SWISS, "Arial");
  HGDIOBJ oldFont = SelectObject(measure, font);
  auto width = [&](const std::string& t) {
    SIZE size{};
    GetTextExtentPoint32(measure, t.c_str(), static_cast<int>(t.size()), &size);
    return static_cast<int>(size.cx);
  };
  const char* expected[] = {"6/15/2024", "Saturday, June 15, 2024", "4:30 AM"};
  for (ROWCOL row = 1; row <= 3; ++row) {
    SCOPED_TRACE(expected[row - 1]);
    const std::vector<Run> runs = drawn(row);
    ASSERT_GT(runs.size(), 2u);
    std::string joined;
    for (size_t i = 0; i < runs.size(); ++i) {
      joined += runs[i].text;
      if (i > 0) {
        EXPECT_EQ(runs[i].x, runs[i - 1].x + width(runs[i - 1].text)) << "before \"" << runs[i].text << "\"";
      }
    }
    EXPECT_EQ(joined, expected[row - 1]);
    EXPECT_EQ(CString(joined.c_str()), Display(row, 1));
  }
  SelectObject(measure, oldFont);
  DeleteObject(font);
  DeleteDC(measure);

  // A click on the drawn year of the first cell edits the year (the editing window's year lies further right).
  const CRect cell = g->CalcCellRect(1, 1);
  const std::vector<Run> runs = drawn(1);
  const int yearX = cell.left + runs.back().x + 4;
  g->MoveCurrentCellTo(1, 1);
  Pump();
  ASSERT_TRUE(Control()->ActivateAt(0, yearX, cell.CenterPoint().y, TRUE));
  Pump();
  EXPECT_EQ(CurrentField(), GXDT_YEAR4);
  Key(VK_ESCAPE);
  // On the drawn minutes of "4:30 AM", the minutes: the editing window's hour field, sized for two digits,
  // reaches over that spot.
  const CRect timeCell = g->CalcCellRect(3, 1);
  const std::vector<Run> time = drawn(3);
  ASSERT_EQ(time[2].text, "30");
  g->MoveCurrentCellTo(3, 1);
  Pump();
  ASSERT_TRUE(Control()->ActivateAt(0, timeCell.left + time[2].x + 1, timeCell.CenterPoint().y, TRUE));
  Pump();
  EXPECT_EQ(CurrentField(), GXDT_MINUTE);
  Key(VK_ESCAPE);
}

TEST_F(DateTimeCellTest, InactiveCellsDrawTheirFieldsAndTheEditedOneOpensTheCalendar) {
  SetCell(g, 1, 1, Cell("36526.5"));
  SetCell(g, 2, 1, Cell("40000", "dddd, d MMMM yyyy", GX_IDS_CTRL_DATETIMENOCAL));
  SetCell(g, 3, 1, Cell("0.75", nullptr).SetUserAttribute(GX_IDS_UA_DATEFORMATTYPE, "0"));
  SetCell(g, 4, 1, Cell(""));
  Control()->SetAlwaysShowButtons(TRUE, TRUE);
  g->MoveCurrentCellTo(1, 2);
  g->RedrawAll(GX_INVALIDATE);
  Pump();
  auto shot = enginetest::Shot(g->GridHwnd());
  ASSERT_TRUE(shot);
  plat::ReferenceMatch match = plat::MatchReferenceImage(*shot, "grid/extras/tests/reference/datetime-cells.png");
  EXPECT_TRUE(match.Matches()) << match.message;

  Edit(1, 1);
  Control()->SendMessage(WM_SYSKEYDOWN, VK_DOWN, 0x20000000);  // Alt+Down
  Pump();
  ASSERT_NE(Control()->GetPopupCalendar(), nullptr);
  plat::Desktop::PaintAll();
  auto desktop = plat::Desktop::Compose();
  ASSERT_TRUE(desktop);
  match = plat::MatchReferenceImage(*desktop, "grid/extras/tests/reference/datetime-calendar.png");
  EXPECT_TRUE(match.Matches()) << match.message;
  Key(VK_ESCAPE);
  EXPECT_EQ(Control()->GetPopupCalendar(), nullptr);
}

}  // namespace
