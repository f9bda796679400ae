// Engine tests: the current cell, its moves and their notifications, keys, directional moves and the
// mouse, driven through injected input and direct calls, with recording controls and features.
#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "grid/core/CGXData.h"
#include "grid/core/CGXGridGlobals.h"
#include "grid/core/CGXGridHint.h"
#include "grid/core/CGXRangeList.h"
#include "grid/core/tests/enginetest.h"
#include "platform/base/CException.h"
#include "platform/base/StringApi.h"
#include "platform/base/VirtualClock.h"
#include "platform/window/AutomationProvider.h"

namespace enginetest {
namespace {

std::string Cell(const char* what, ROWCOL r, ROWCOL c) {
  return std::string(what) + " " + std::to_string(r) + "," + std::to_string(c);
}

// A grid that logs the notifications of its controls and the hints it would send to other views.
class NotifyingGrid : public CGXGridWnd {
 public:
  BOOL OnStartEditing(ROWCOL r, ROWCOL c) override { return log.push_back(Cell("start", r, c)), TRUE; }
  BOOL OnEndEditing(ROWCOL r, ROWCOL c) override { return log.push_back(Cell("end", r, c)), TRUE; }
  void OnCanceledEditing(ROWCOL r, ROWCOL c) override { log.push_back(Cell("cancel", r, c)); }
  BOOL NotifyCellModified(ROWCOL r, ROWCOL c) override { return log.push_back(Cell("modified", r, c)), modifiedAnswer; }
  BOOL OnCellStored(ROWCOL r, ROWCOL c) override { return log.push_back(Cell("stored", r, c)), storedAnswer; }
  BOOL OnLeftCell(ROWCOL r, ROWCOL c, ROWCOL nr, ROWCOL nc) override {
    log.push_back(Cell("left", r, c) + ">" + std::to_string(nr) + "," + std::to_string(nc));
    return TRUE;
  }
  void OnCellChanged(ROWCOL r, ROWCOL c) override { log.push_back(Cell("entered", r, c)); }
  BOOL OnGridDbcsChar(const CString& text, UINT, UINT) override { return dbcs.push_back(text), TRUE; }
  BOOL OnGridSysChar(UINT ch, UINT, UINT) override { return sysChars.push_back(ch), TRUE; }
  void OnMoveExtentHook(ROWCOL r, ROWCOL c) override { extents.emplace_back(r, c); }
  void NotifyOtherViews(CGXGridHint* h) override {
    hints.push_back({h->m_id, h->m_row1, h->m_col1, h->m_flags});
    if (h->m_id == 24) h->m_result = otherViewsAgree;
  }
  int HitTest(const POINT& pt, ROWCOL* row, ROWCOL* col, CRect* rect) override {
    if (fillHandle && pt.x == fillAt.x && pt.y == fillAt.y) {
      if (row) *row = 2;
      if (col) *col = 2;
      return GX_FILLHANDLEHIT;
    }
    return CGXGridWnd::HitTest(pt, row, col, rect);
  }
  void BindToDocument() { m_pDocument = reinterpret_cast<CDocument*>(this); }  // never dereferenced here
  struct SentHint {
    DWORD id;
    ROWCOL row, col;
    UINT flags;
  };
  Log log;
  std::vector<SentHint> hints;
  std::vector<CString> dbcs;
  std::vector<UINT> sysChars;
  std::vector<std::pair<ROWCOL, ROWCOL>> extents;
  BOOL storedAnswer = TRUE, otherViewsAgree = TRUE, fillHandle = FALSE, modifiedAnswer = TRUE;
  POINT fillAt{0, 0};
};

// The user-selection feature: keeps the selection list as the engine asks and logs every call.
struct SelectFeature : CGXGridUserSelectRangeImp {
  explicit SelectFeature(Log* l) : log(l) {}
  BOOL MoveByKey(CGXGridCore* g, int direction, ROWCOL count) override {
    log->push_back("key " + std::to_string(direction) + " " + std::to_string(count));
    return g->MoveCurrentCellBy(direction, count, TRUE);
  }
  void OnPressStarted(CGXGridCore*, UINT, POINT, int code, ROWCOL r, ROWCOL c) override {
    log->push_back(Cell(("press " + std::to_string(code)).c_str(), r, c));
  }
  void OnPressMoved(CGXGridCore*, UINT, POINT, ROWCOL r, ROWCOL c) override { log->push_back(Cell("extend", r, c)); }
  void OnPressReleased(CGXGridCore*, UINT, POINT) override { log->push_back("release"); }
  void ClearSelection(CGXGridCore* g) override {
    log->push_back("clear");
    g->GetParam()->GetSelection().DeleteAll();
  }
  void SelectCell(CGXGridCore* g, ROWCOL r, ROWCOL c) override {
    log->push_back(Cell("select", r, c));
    g->GetParam()->GetSelection().AddTail(new CGXRange(r, c));
  }
  BOOL OnClickedCell(CGXGridCore*, ROWCOL r, ROWCOL c, UINT, POINT) override {
    return log->push_back(Cell("clicked", r, c)), TRUE;
  }
  Log* log;
};

// A store with a message for the grid after each stored value (as a computing store reports an error).
struct MessageData : CGXData {
  void RequestMessage() override { calls.push_back("notice"); }
  void Recalc(BOOL) override {
    calls.push_back("recalc");
    ++recalcs;
  }
  BOOL GetMessage(CString& text) override {
    if (message.IsEmpty()) return FALSE;
    text = message;
    message.Empty();
    return TRUE;
  }
  int recalcs = 0;
  CString message;
  Log calls;
};

class CurrentTest : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    automation.Reply(plat::SystemUiKind::MessageBox, {IDOK, {}, 0}, {}, true);
    plat::SetAutomationProvider(&automation);
    plat::ClearShownLog();
  }
  void TearDown() override {
    EngineTest::TearDown();
    plat::SetAutomationProvider(nullptr);
    plat::SetLeadBytePredicate(nullptr);
  }
  NotifyingGrid* MakeEditingGrid(ROWCOL rows = 8, ROWCOL cols = 5) {
    auto* g = MakeGrid<NotifyingGrid>(rows, cols, 300, 200);
    control = new EditingControl(g, &g->log);
    control->warning = "Not a number";
    UseInEveryCell(g, control);
    g->SetCellValue(2, 2, "old");
    SetFocus(*g);
    g->MoveCurrentCellTo(2, 2, GX_UPDATENOW);
    g->log.clear();
    return g;
  }
  static POINT At(HWND h, ROWCOL r, ROWCOL c) { return plat::InputRouter::ClientPoint(h, 50 * c + 25, 20 * r + 10); }
  static size_t Boxes() { return plat::ShownLog().size(); }

  plat::ScriptedAutomation automation;
  EditingControl* control = nullptr;
};

TEST_F(CurrentTest, LeavingAModifiedCellValidatesStoresNotifiesAndResetsInOrder) {
  NotifyingGrid* g = MakeEditingGrid();
  plat::InputRouter::Instance().TypeText("42");
  Pump();
  ASSERT_TRUE(control->GetEditingState());
  ASSERT_TRUE(g->MoveCurrentCellTo(4, 3, GX_UPDATENOW));
  const Log expected = {"validate", "store", "stored 2,2", "left 2,2>4,3", "reset", "entered 4,3"};
  EXPECT_EQ(g->log, expected);
  EXPECT_EQ(g->GetCellValue(2, 2), CString("42"));
  EXPECT_EQ(CurrentRow(g), 4u);
  EXPECT_EQ(CurrentCol(g), 3u);
  // An unmodified cell is left without validation or store; the stored notification still comes.
  g->log.clear();
  ASSERT_TRUE(g->MoveCurrentCellTo(5, 3, GX_UPDATENOW));
  const Log plain = {"stored 4,3", "left 4,3>5,3", "reset", "entered 5,3"};
  EXPECT_EQ(g->log, plain);
  EXPECT_EQ(Boxes(), 0u);
}

TEST_F(CurrentTest, ARefusedValidationShowsTheWarningOnceAndDropsTheKeysTypedAhead) {
  NotifyingGrid* g = MakeEditingGrid();
  plat::InputRouter::Instance().TypeText("bad");
  Pump();
  control->accept = FALSE;
  // Keys typed ahead of the refusal are still queued for the grid when the move is asked for.
  ::PostMessage(*g, WM_CHAR, 'x', 1);
  ::PostMessage(*g, WM_KEYDOWN, VK_DOWN, 1);
  EXPECT_FALSE(g->MoveCurrentCellTo(3, 2, GX_UPDATENOW));
  Pump();
  ASSERT_EQ(Boxes(), 1u);
  EXPECT_EQ(plat::ShownLog()[0].request.text, "Not a number");
  EXPECT_EQ(CurrentRow(g), 2u);
  EXPECT_EQ(control->text, CString("bad"));  // nothing typed ahead arrived
  EXPECT_TRUE(control->GetEditingState());
  EXPECT_TRUE(control->GetModifiedState());
  EXPECT_TRUE(g->GetWarningText().IsEmpty());
  EXPECT_EQ(g->GetCellValue(2, 2), CString("old"));
  EXPECT_EQ(std::count(g->log.begin(), g->log.end(), "store"), 0);
}

TEST_F(CurrentTest, AFailedStoreKeepsTheEditorAsTheUserLeftIt) {
  NotifyingGrid* g = MakeEditingGrid();
  plat::InputRouter::Instance().TypeText("abc");
  Pump();
  control->storeAnswer = FALSE;
  EXPECT_FALSE(g->MoveCurrentCellTo(3, 2, GX_UPDATENOW));
  EXPECT_EQ(CurrentRow(g), 2u);
  EXPECT_TRUE(control->IsBoundToCell(2, 2));
  EXPECT_TRUE(control->GetEditingState());
  EXPECT_TRUE(control->GetModifiedState());
  EXPECT_EQ(control->text, CString("abc"));
  // The stored notification refusing a successful store also keeps the cell.
  control->storeAnswer = TRUE;
  g->storedAnswer = FALSE;
  EXPECT_FALSE(g->MoveCurrentCellTo(3, 2, GX_UPDATENOW));
  EXPECT_EQ(CurrentRow(g), 2u);
  EXPECT_EQ(control->text, CString("abc"));
  g->storedAnswer = TRUE;
  EXPECT_TRUE(g->MoveCurrentCellTo(3, 2, GX_UPDATENOW));
  EXPECT_EQ(g->GetCellValue(2, 2), CString("abc"));
}

TEST_F(CurrentTest, AStoredValueRecalculatesAndTheStoresMessageBecomesTheWarning) {
  NotifyingGrid* g = MakeEditingGrid();
  auto* data = new MessageData;
  data->StoreRowCount(g->GetRowCount());
  data->StoreColCount(g->GetColCount());
  g->GetParam()->SetData(data, TRUE);
  CGXStyle style;
  style.SetControl(GX_IDS_CTRL_STATIC);
  g->SetStyleRange(CGXRange().AssignTable(), style);
  g->MoveCurrentCellTo(2, 2, GX_UPDATENOW);
  plat::InputRouter::Instance().TypeText("7");
  Pump();
  data->message = "Circular reference";
  ASSERT_TRUE(g->MoveCurrentCellTo(2, 3, GX_UPDATENOW));
  EXPECT_EQ(data->calls, (Log{"notice", "recalc"}));  // told of the change before it recalculates
  ASSERT_EQ(Boxes(), 1u);
  EXPECT_EQ(plat::ShownLog()[0].request.text, "Circular reference");
  EXPECT_EQ(CurrentCol(g), 3u);  // the message does not refuse the move
  // Leaving an unmodified cell recalculates nothing.
  ASSERT_TRUE(g->MoveCurrentCellTo(2, 4, GX_UPDATENOW));
  EXPECT_EQ(data->recalcs, 1);
  // Nor does a grid that keeps the store silent hear of anything but the recalculation.
  g->m_bNoDataObjectNotice = TRUE;
  data->calls.clear();
  plat::InputRouter::Instance().TypeText("8");
  Pump();
  ASSERT_TRUE(g->MoveCurrentCellTo(2, 3, GX_UPDATENOW));
  EXPECT_EQ(data->calls, (Log{"recalc"}));
}

TEST_F(CurrentTest, MovingToTheEditedCellOnlyScrollsWhileCompletingStores) {
  NotifyingGrid* g = MakeEditingGrid();
  plat::InputRouter::Instance().TypeText("x");
  Pump();
  ASSERT_TRUE(g->MoveCurrentCellTo(2, 2, GX_UPDATENOW));
  EXPECT_TRUE(g->log.empty());
  EXPECT_TRUE(control->GetEditingState());
  // Completing the edit validates and stores, and the cell stays current with its control bound again.
  ASSERT_TRUE(g->CompleteCellEdit(TRUE, GX_UPDATENOW, FALSE));
  const Log completed = {"validate", "store", "stored 2,2", "left 2,2>2,2", "reset"};
  EXPECT_EQ(g->log, completed);
  EXPECT_EQ(g->GetCellValue(2, 2), CString("x"));
  EXPECT_EQ(CurrentRow(g), 2u);
  EXPECT_TRUE(control->IsBoundToCell(2, 2));
  // Discarding ends the edit, reads the stored value again and tells the grid of the cancel.
  plat::InputRouter::Instance().TypeText("y");
  Pump();
  g->log.clear();
  EXPECT_TRUE(g->CompleteCellEdit(FALSE, GX_UPDATENOW, FALSE));
  const Log discarded = {"end 2,2", "cancel 2,2"};
  EXPECT_EQ(g->log, discarded);
  EXPECT_EQ(control->text, CString("x"));
  EXPECT_EQ(g->ControlOfCurrentCell(), control);  // fetched again after its release
}

TEST_F(CurrentTest, AMovePastTheCountsKeepsTheOldCellCurrentAndBound) {
  NotifyingGrid* g = MakeEditingGrid();
  plat::InputRouter::Instance().TypeText("7");
  Pump();
  EXPECT_FALSE(g->MoveCurrentCellTo(100, 2, GX_UPDATENOW));
  // The edit was left (validated, stored) and the cell is bound again, so editing can start anew.
  EXPECT_EQ(g->GetCellValue(2, 2), CString("7"));
  EXPECT_EQ(CurrentRow(g), 2u);
  EXPECT_EQ(CurrentCol(g), 2u);
  ASSERT_EQ(g->ControlOfCurrentCell(), control);
  EXPECT_TRUE(control->IsBoundToCell(2, 2));
  g->log.clear();
  EXPECT_TRUE(control->NotifyEditStart());
  EXPECT_EQ(g->log, (Log{"start 2,2"}));
  // A modified control passes on the grid's answer to its modification; an unmodified one does not ask.
  EXPECT_FALSE(control->NotifyModified());
  control->SetModifiedState(TRUE);
  EXPECT_TRUE(control->NotifyModified());
  g->modifiedAnswer = FALSE;
  EXPECT_FALSE(control->NotifyModified());
  EXPECT_EQ(g->log, (Log{"start 2,2", "modified 2,2", "modified 2,2"}));
  control->SetModifiedState(FALSE);
  CString text;
  control->GetEditText(text);
  EXPECT_EQ(text, CString("7"));
}

// Fails its store with the library's user exception while told to.
class ThrowingStoreControl : public EditingControl {
 public:
  using EditingControl::EditingControl;
  BOOL StoreValue() override {
    ++stores;
    if (fail) AfxThrowUserException();
    return EditingControl::StoreValue();
  }
  BOOL fail = TRUE;
  int stores = 0;
};

TEST_F(CurrentTest, AThrowingStoreLeavesNoBusyOrCompletingFlagBehind) {
  NotifyingGrid* g = MakeEditingGrid();
  auto* t = new ThrowingStoreControl(g, nullptr);
  g->AddCellControl(GX_IDS_CTRL_STATIC, t, TRUE);
  ASSERT_TRUE(g->MoveCurrentCellTo(3, 3, GX_UPDATENOW));
  ASSERT_EQ(g->ControlOfCurrentCell(), t);
  t->editing = t->modified = TRUE;
  EXPECT_TRUE(Throws<CUserException>([&] { g->MoveCurrentCellTo(4, 4, GX_UPDATENOW); }));
  // Not left "validation busy": a focus change still validates and stores.
  EXPECT_TRUE(g->OnGridFocusChange(TRUE));
  t->text = "kept";
  t->editing = t->modified = TRUE;
  t->fail = FALSE;
  EXPECT_TRUE(g->OnGridFocusChange(FALSE));
  EXPECT_EQ(g->GetCellValue(3, 3), CString("kept"));
  // Completing an edit that throws: afterwards a plain move to the edited cell must again only scroll.
  ASSERT_TRUE(g->OnGridFocusChange(TRUE));
  t->editing = t->modified = TRUE;
  t->fail = TRUE;
  EXPECT_TRUE(Throws<CUserException>([&] { g->CompleteCellEdit(TRUE, GX_UPDATENOW, FALSE); }));
  t->editing = t->modified = TRUE;
  const int stores = t->stores;
  EXPECT_TRUE(g->MoveCurrentCellTo(3, 3, GX_UPDATENOW));
  EXPECT_EQ(t->stores, stores);
  EXPECT_TRUE(t->editing);
}

// Header marking: logs which headers each move asks to redraw, among the grid's notifications.
struct MarkFeature : CGXGridMarkEditHeaderImp {
  explicit MarkFeature(Log* l) : log(l) {}
  void MarkEditHeaders(CGXGridCore*, ROWCOL r, ROWCOL c, int kind, UINT flags) override {
    log->push_back(Cell(("mark " + std::to_string(kind) + " " + std::to_string(flags)).c_str(), r, c));
  }
  Log* log;
};

TEST_F(CurrentTest, HeaderMarkingHearsWhichHeadersChangedOnLeavingAndEntering) {
  NotifyingGrid* g = MakeEditingGrid();
  g->SetFeature(new MarkFeature(&g->log));
  ASSERT_TRUE(g->MoveCurrentCellTo(2, 4, GX_INVALIDATE));  // the row stays: column headers (1)
  EXPECT_EQ(g->log, (Log{"stored 2,2", "left 2,2>2,4", "mark 1 4 2,2", "reset", "entered 2,4", "mark 1 4 2,4"}));
  g->log.clear();
  ASSERT_TRUE(g->MoveCurrentCellTo(5, 4, GX_INVALIDATE));  // the column stays: row headers (2)
  EXPECT_EQ(g->log.back(), "mark 2 4 5,4");
  g->log.clear();
  ASSERT_TRUE(g->MoveCurrentCellTo(1, 1, GX_INVALIDATE));  // both change: both (0)
  EXPECT_EQ(g->log.back(), "mark 0 4 1,1");
  g->log.clear();
  ASSERT_TRUE(g->MoveCurrentCellTo(1, 1, GX_INVALIDATE));  // the same cell entered again: none
  EXPECT_EQ(std::count_if(g->log.begin(), g->log.end(), [](const std::string& e) { return e.rfind("mark", 0) == 0; }),
            1);  // only the leave's own call, with kind -1
  // A refused target: the old cell is made current again and both its headers are marked.
  CGXStyle disabled;
  disabled.SetEnabled(FALSE);
  g->SetStyleRange(CGXRange(3, 3), disabled);
  g->log.clear();
  EXPECT_FALSE(g->MoveCurrentCellTo(3, 3, GX_INVALIDATE));
  EXPECT_EQ(g->log.back(), "mark 0 2 1,1");
  EXPECT_EQ(CurrentRow(g), 1u);
}

TEST_F(CurrentTest, LosingTheFocusStoresTheEditUnlessACellPopupIsOpen) {
  NotifyingGrid* g = MakeEditingGrid();
  auto* other = new CWnd;
  ASSERT_TRUE(other->CreateEx(0, "GXWND", "", WS_POPUP | WS_VISIBLE, 400, 0, 50, 50, nullptr, nullptr));
  g->SetFocus();
  Pump();
  plat::InputRouter::Instance().TypeText("15");
  Pump();
  // A drop-down popup of the cell takes the focus: the edit goes on.
  CGXGridGlobals::Get().m_bPopupActive = TRUE;
  other->SetFocus();
  Pump();
  EXPECT_TRUE(control->GetEditingState());
  EXPECT_EQ(g->GetCellValue(2, 2), CString("old"));
  CGXGridGlobals::Get().m_bPopupActive = FALSE;
  g->SetFocus();
  Pump();
  // Any other window: validated, stored, editing ends; the cell stays current.
  g->log.clear();
  other->SetFocus();
  Pump();
  EXPECT_EQ(g->GetCellValue(2, 2), CString("15"));
  EXPECT_FALSE(control->GetEditingState());
  EXPECT_FALSE(control->GetModifiedState());
  EXPECT_EQ(g->log, (Log{"validate", "store", "stored 2,2"}));
  EXPECT_EQ(CurrentRow(g), 2u);
  other->DestroyWindow();
  delete other;
}

TEST_F(CurrentTest, TheValidateMessageShowsTheWarningAndRefreshesTheCellOnTheNextFocus) {
  NotifyingGrid* g = MakeEditingGrid();
  EXPECT_EQ(::SendMessage(*g, 0x0792, 0, 0), 0);  // nothing edited: valid
  plat::InputRouter::Instance().TypeText("zz");
  Pump();
  control->accept = FALSE;
  EXPECT_EQ(::SendMessage(*g, 0x0792, 1, 0), 0);  // skipped
  EXPECT_EQ(Boxes(), 0u);
  EXPECT_EQ(::SendMessage(*g, 0x0792, 0, 0), 1);
  ASSERT_EQ(Boxes(), 1u);
  EXPECT_EQ(plat::ShownLog()[0].request.text, "Not a number");
  EXPECT_EQ(GetFocus(), g->m_hWnd);  // the focus came back from the box
  EXPECT_TRUE(control->GetEditingState());
}

TEST_F(CurrentTest, ACompletedEditFetchesTheControlThatTheCellNamesNow) {
  NotifyingGrid* g = MakeEditingGrid();
  auto* other = new CGXStatic(g);
  g->AddCellControl(52000, other);
  CGXStyle style;
  style.SetControl(52000);
  g->SetStyleRange(CGXRange(2, 2), style);
  EXPECT_EQ(g->ControlOfCurrentCell(), control);  // kept while the cell stays current
  ASSERT_TRUE(g->CompleteCellEdit(TRUE, GX_UPDATENOW, FALSE));
  EXPECT_EQ(g->ControlOfCurrentCell(), other);
}

TEST_F(CurrentTest, CompletingAnEditAsksTheOtherViewsAndCountsTheirAnswer) {
  NotifyingGrid* g = MakeEditingGrid();
  g->InstallUpdateHintImp();
  g->m_bHintSwitch = TRUE;
  EXPECT_TRUE(g->CompleteCellEdit(TRUE, GX_UPDATENOW, TRUE));
  EXPECT_TRUE(g->hints.empty());  // no document: no other views
  g->BindToDocument();
  g->otherViewsAgree = FALSE;
  EXPECT_FALSE(g->CompleteCellEdit(TRUE, GX_UPDATENOW, TRUE));
  ASSERT_EQ(g->hints.size(), 1u);
  EXPECT_EQ(g->hints[0].id, 24u);
  EXPECT_TRUE(g->CompleteCellEdit(TRUE, GX_UPDATENOW, FALSE));  // without the hint argument nothing is asked
  EXPECT_EQ(g->hints.size(), 1u);
}

TEST_F(CurrentTest, CurrentCellMovesAreHintedOnlyWhenAskedFor) {
  NotifyingGrid* g = MakeEditingGrid();
  g->InstallUpdateHintImp();
  g->m_bHintSwitch = TRUE;
  g->BindToDocument();
  g->MoveCurrentCellTo(3, 3, GX_UPDATENOW | 0x08);
  EXPECT_TRUE(g->hints.empty());
  g->GetParam()->m_bHintCurrentCellMoves = TRUE;
  g->MoveCurrentCellTo(4, 3, GX_UPDATENOW | 0x08);
  ASSERT_EQ(g->hints.size(), 1u);
  EXPECT_EQ(g->hints[0].id, static_cast<DWORD>(gxHintCurrentCellMoved));
  EXPECT_EQ(g->hints[0].row, 4u);
  EXPECT_EQ(g->hints[0].col, 3u);
  EXPECT_EQ(g->hints[0].flags, static_cast<UINT>(GX_UPDATENOW | 0xE0));  // without 0x08, with 0xE0
  g->MoveCurrentCellTo(5, 3, GX_UPDATENOW | 0x40);
  EXPECT_EQ(g->hints.size(), 1u);
  // A refused move is hinted too (the other views check their own current cell).
  plat::InputRouter::Instance().TypeText("q");
  Pump();
  control->accept = FALSE;
  EXPECT_FALSE(g->MoveCurrentCellTo(6, 3, GX_UPDATENOW));
  ASSERT_EQ(g->hints.size(), 2u);
  EXPECT_EQ(g->hints[1].row, 6u);
}

TEST_F(CurrentTest, TheCurrentCellJoinsTheSelectionWhenTheSwitchIsOn) {
  NotifyingGrid* g = MakeEditingGrid(10, 6);
  Log sel;
  g->SetFeature(new SelectFeature(&sel));
  CGXRangeList& list = g->GetParam()->GetSelection();
  g->MoveCurrentCellTo(3, 3, GX_UPDATENOW);
  EXPECT_TRUE(sel.empty());  // switch off: the selection is left alone
  g->GetParam()->m_bCurrentCellJoinsSelection = TRUE;
  list.AddTail(new CGXRange(6, 1, 8, 2));
  g->MoveCurrentCellTo(4, 4, GX_UPDATENOW);
  EXPECT_EQ(sel, (Log{"clear", "select 4,4"}));
  ASSERT_EQ(list.GetCount(), 1);
  EXPECT_EQ(*list.GetHead(), CGXRange(4, 4));
  // A cell inside the selection keeps it; 0x80 keeps it; a header cell only clears it.
  sel.clear();
  list.AddTail(new CGXRange(5, 1, 7, 3));
  g->MoveCurrentCellTo(6, 2, GX_UPDATENOW);
  g->MoveCurrentCellTo(1, 5, GX_UPDATENOW | 0x80);
  EXPECT_TRUE(sel.empty());
  g->MoveCurrentCellTo(0, 3, GX_UPDATENOW);
  EXPECT_EQ(sel, (Log{"clear"}));
  // Directional moves: with selection changes allowed the target joins; without, the move passes 0x80.
  g->MoveCurrentCellTo(2, 2, GX_UPDATENOW | 0x80);
  sel.clear();
  ASSERT_TRUE(g->MoveCurrentCellBy(GX_DOWN, 1, FALSE));
  EXPECT_TRUE(sel.empty());
  ASSERT_TRUE(g->MoveCurrentCellBy(GX_DOWN, 1, TRUE));
  EXPECT_EQ(sel, (Log{"clear", "select 4,2"}));
  // The clear-on-move switch clears a selection without the target before the move.
  sel.clear();
  g->GetParam()->m_bClearSelectionOnMove = TRUE;
  ASSERT_TRUE(g->MoveCurrentCellBy(GX_RIGHT, 1, TRUE));
  EXPECT_EQ(sel, (Log{"clear", "clear", "select 4,3"}));
}

TEST_F(CurrentTest, KeysGoThroughTheSelectionFeatureAndEscapeClearsTheSelection) {
  NotifyingGrid* g = MakeEditingGrid(10, 6);
  Log sel;
  g->SetFeature(new SelectFeature(&sel));
  auto& in = plat::InputRouter::Instance();
  in.KeyPress(VK_DOWN);
  in.KeyDown(VK_CONTROL);
  in.KeyPress(VK_HOME);
  in.KeyUp(VK_CONTROL);
  Pump();
  EXPECT_EQ(sel, (Log{"key 3 1", "key 11 1"}));
  EXPECT_EQ(CurrentRow(g), 1u);
  EXPECT_EQ(CurrentCol(g), 1u);
  sel.clear();
  in.KeyPress(VK_ESCAPE);
  Pump();
  EXPECT_EQ(sel, (Log{"clear"}));
  g->GetParam()->m_bCurrentCellJoinsSelection = TRUE;
  sel.clear();
  in.KeyPress(VK_ESCAPE);
  Pump();
  EXPECT_TRUE(sel.empty());
}

TEST_F(CurrentTest, ACoveredCellBecomesCurrentAsItsTopLeftCellAndMovesStepOverIt) {
  NotifyingGrid* g = MakeEditingGrid(10, 6);
  g->SetFeature(new CoveredBlock(CGXRange(2, 2, 3, 4)));
  ASSERT_TRUE(g->MoveCurrentCellTo(3, 4, GX_UPDATENOW));
  EXPECT_EQ(CurrentRow(g), 2u);
  EXPECT_EQ(CurrentCol(g), 2u);
  ASSERT_TRUE(g->MoveCurrentCellBy(GX_DOWN, 1));  // past the range's last row
  EXPECT_EQ(CurrentRow(g), 4u);
  ASSERT_TRUE(g->MoveCurrentCellTo(2, 2, GX_UPDATENOW));
  ASSERT_TRUE(g->MoveCurrentCellBy(GX_RIGHT, 1));  // past its last column
  EXPECT_EQ(CurrentCol(g), 5u);
  // Left from (2, 5) skips the covered cells that are not the range's first column.
  ASSERT_TRUE(g->MoveCurrentCellBy(GX_LEFT, 1));
  EXPECT_EQ(CurrentCol(g), 2u);
  // Up from (4, 3) lands on row 3, which is covered but not the range's top: skipped to row 2, the top-left.
  ASSERT_TRUE(g->MoveCurrentCellTo(4, 3, GX_UPDATENOW));
  ASSERT_TRUE(g->MoveCurrentCellBy(GX_UP, 1));
  EXPECT_EQ(CurrentRow(g), 2u);
  EXPECT_EQ(CurrentCol(g), 2u);
}

TEST_F(CurrentTest, FindEnabledCellSkipsHiddenAndDisabledCellsAndStopsAtTheEdge) {
  NotifyingGrid* g = MakeEditingGrid(10, 6);
  UseTestHideCells(g);
  g->HideRows(4, 4, TRUE, 0);
  CGXStyle disabled;
  disabled.SetEnabled(FALSE);
  g->SetStyleRange(CGXRange(5, 2), disabled);
  ROWCOL r = 3, c = 2;
  ASSERT_TRUE(g->FindEnabledCell(GX_DOWN, &r, &c));
  EXPECT_EQ(r, 3u);  // the given cell first
  r = 4;
  ASSERT_TRUE(g->FindEnabledCell(GX_DOWN, &r, &c));
  EXPECT_EQ(r, 6u);
  g->SetStyleRange(CGXRange(1, 2, 3, 2), disabled);
  r = 5;
  EXPECT_FALSE(g->FindEnabledCell(GX_UP, &r, &c));
  EXPECT_EQ(r, 5u);  // unchanged at the edge; row 0 is never examined
  EXPECT_FALSE(g->FindEnabledCell(GX_TOPROW, &r, &c));
  // A move never lands in a hidden row.
  g->MoveCurrentCellTo(3, 1, GX_UPDATENOW);
  ASSERT_TRUE(g->MoveCurrentCellBy(GX_DOWN, 1));
  EXPECT_EQ(CurrentRow(g), 5u);
}

// A key move stops at a covered range that is shown through any of its rows and columns, also when its first
// row or column has no size: the current cell becomes the range's top-left cell, as on a click, and a move
// out of it leaves past its last row (column) on one of its shown lines. Lines without a size outside ranges
// are still skipped. Key 0 is a click on the start cell.
TEST_F(CurrentTest, KeysStopAtACoveredRangeShownThroughAnyOfItsLines) {
  struct Case {
    const char* what;
    CGXRange block, hidden;  // hidden: the rows (top..bottom) and the columns (left..right) of size 0
    ROWCOL fromRow, fromCol;
    UINT key;
    BOOL ctrl;
    ROWCOL toRow, toCol;
  };
  const CGXRange topRowBlock(3, 3, 4, 3), leftColBlock(3, 2, 4, 3), row3(3, 0, 3, 0), col2(0, 2, 0, 2);
  const Case cases[] = {
      {"first row hidden: down", topRowBlock, row3, 2, 3, VK_DOWN, FALSE, 3, 3},
      {"first row hidden: up", topRowBlock, row3, 5, 3, VK_UP, FALSE, 3, 3},
      {"first row hidden: right", topRowBlock, row3, 4, 2, VK_RIGHT, FALSE, 3, 3},
      {"first row hidden: left", topRowBlock, row3, 4, 4, VK_LEFT, FALSE, 3, 3},
      {"first row hidden: tab", topRowBlock, row3, 4, 2, VK_TAB, FALSE, 3, 3},
      {"first row hidden: enter", topRowBlock, row3, 4, 2, VK_RETURN, FALSE, 3, 3},
      {"first row hidden: click", topRowBlock, row3, 4, 3, 0, FALSE, 3, 3},
      {"first row hidden: down out", topRowBlock, row3, 3, 3, VK_DOWN, FALSE, 5, 3},
      {"first row hidden: right out", topRowBlock, row3, 3, 3, VK_RIGHT, FALSE, 4, 4},
      {"first row hidden: left out", topRowBlock, row3, 3, 3, VK_LEFT, FALSE, 4, 2},
      {"first column hidden: right", leftColBlock, col2, 3, 1, VK_RIGHT, FALSE, 3, 2},
      {"first column hidden: left", leftColBlock, col2, 3, 4, VK_LEFT, FALSE, 3, 2},
      {"first column hidden: down", leftColBlock, col2, 2, 3, VK_DOWN, FALSE, 3, 2},
      {"first column hidden: click", leftColBlock, col2, 4, 3, 0, FALSE, 3, 2},
      {"first column hidden: down out", leftColBlock, col2, 3, 2, VK_DOWN, FALSE, 5, 3},
      {"first column hidden: up out", leftColBlock, col2, 3, 2, VK_UP, FALSE, 2, 3},
      {"first column hidden: right out", leftColBlock, col2, 3, 2, VK_RIGHT, FALSE, 3, 4},
      {"both hidden: down", leftColBlock, CGXRange(3, 2, 3, 2), 2, 3, VK_DOWN, FALSE, 3, 2},
      {"both hidden: right", leftColBlock, CGXRange(3, 2, 3, 2), 4, 1, VK_RIGHT, FALSE, 3, 2},
      {"both hidden: right out", leftColBlock, CGXRange(3, 2, 3, 2), 3, 2, VK_RIGHT, FALSE, 4, 4},
      {"sized: down", topRowBlock, CGXRange(), 2, 3, VK_DOWN, FALSE, 3, 3},
      {"sized: right out", topRowBlock, CGXRange(), 3, 3, VK_RIGHT, FALSE, 3, 4},
      {"every row hidden: down", topRowBlock, CGXRange(3, 0, 4, 0), 2, 3, VK_DOWN, FALSE, 5, 3},
      {"plain hidden row: down", CGXRange(), row3, 2, 3, VK_DOWN, FALSE, 4, 3},
      {"plain hidden row: up", CGXRange(), row3, 4, 3, VK_UP, FALSE, 2, 3},
      {"plain hidden column: right", CGXRange(), col2, 2, 1, VK_RIGHT, FALSE, 2, 3},
      {"ctrl+up", CGXRange(1, 3, 2, 3), CGXRange(1, 0, 1, 0), 6, 3, VK_UP, TRUE, 1, 3},
      {"ctrl+down", CGXRange(7, 3, 8, 3), CGXRange(7, 0, 7, 0), 1, 3, VK_DOWN, TRUE, 7, 3},
      {"ctrl+left", CGXRange(2, 1, 2, 2), CGXRange(0, 1, 0, 1), 2, 4, VK_LEFT, TRUE, 2, 1},
      {"ctrl+right", CGXRange(2, 4, 2, 5), CGXRange(0, 4, 0, 4), 2, 1, VK_RIGHT, TRUE, 2, 4},
      {"ctrl+right on the range at the edge", CGXRange(3, 4, 4, 5), row3, 3, 4, VK_RIGHT, TRUE, 3, 4},
      {"ctrl+home", CGXRange(1, 1, 2, 2), CGXRange(1, 1, 1, 1), 5, 4, VK_HOME, TRUE, 1, 1},
      {"ctrl+end", CGXRange(7, 4, 8, 5), CGXRange(7, 4, 7, 4), 1, 1, VK_END, TRUE, 7, 4},
      {"page up", CGXRange(1, 3, 2, 3), CGXRange(1, 0, 1, 0), 6, 3, VK_PRIOR, FALSE, 1, 3},
      {"page down", CGXRange(7, 3, 8, 3), CGXRange(7, 0, 7, 0), 1, 3, VK_NEXT, FALSE, 7, 3},
  };
  for (const Case& k : cases) {
    NotifyingGrid* g = MakeEditingGrid(8, 5);
    if (k.block.top) g->SetFeature(new CoveredBlock(k.block));
    if (k.hidden.top) g->SetRowHeight(k.hidden.top, k.hidden.bottom, 0);
    if (k.hidden.left) g->SetColWidth(k.hidden.left, k.hidden.right, 0);
    auto& in = plat::InputRouter::Instance();
    if (k.key) {
      g->MoveCurrentCellTo(k.fromRow, k.fromCol, GX_UPDATENOW);
      g->log.clear();
      if (k.ctrl) in.KeyDown(VK_CONTROL);
      in.KeyPress(static_cast<int>(k.key));
      if (k.ctrl) in.KeyUp(VK_CONTROL);
    } else {
      const CRect cell = g->CalcCellRect(k.fromRow, k.fromCol);
      in.Click(plat::MouseButton::Left, plat::InputRouter::ClientPoint(*g, cell.CenterPoint().x, cell.CenterPoint().y));
    }
    Pump();
    EXPECT_EQ(CurrentRow(g), k.toRow) << k.what;
    EXPECT_EQ(CurrentCol(g), k.toCol) << k.what;
    // A key that stays on the cell neither leaves nor enters it.
    if (k.key && k.toRow == k.fromRow && k.toCol == k.fromCol) {
      EXPECT_EQ(g->log, Log{}) << k.what;
    }
  }
}

TEST_F(CurrentTest, EndsOfTheGridAndTheirSearchesBackIntoIt) {
  NotifyingGrid* g = MakeEditingGrid(10, 6);
  g->MoveCurrentCellTo(10, 3, GX_UPDATENOW);
  g->log.clear();
  EXPECT_FALSE(g->MoveCurrentCellBy(GX_DOWN, 1));  // from the last row: nothing changes
  EXPECT_TRUE(g->log.empty());
  EXPECT_EQ(CurrentRow(g), 10u);
  // Ctrl+Home with the first cell disabled: the first enabled cell below it, then right from there.
  CGXStyle disabled;
  disabled.SetEnabled(FALSE);
  g->SetStyleRange(CGXRange(1, 1, 2, 1), disabled);
  auto& in = plat::InputRouter::Instance();
  in.KeyDown(VK_CONTROL);
  in.KeyDown(VK_HOME, 5);  // the repeat count does not matter
  in.KeyUp(VK_HOME);
  in.KeyUp(VK_CONTROL);
  Pump();
  EXPECT_EQ(CurrentRow(g), 3u);
  EXPECT_EQ(CurrentCol(g), 1u);
  // Ctrl+End: the last row, then the last column, searching back over disabled cells.
  g->SetStyleRange(CGXRange(10, 6), disabled);
  ASSERT_TRUE(g->MoveCurrentCellBy(GX_BOTTOMRIGHT, 1));
  EXPECT_EQ(CurrentRow(g), 9u);  // up first: (9, 6) is found and the search left starts there
  EXPECT_EQ(CurrentCol(g), 6u);
  ASSERT_TRUE(g->MoveCurrentCellBy(GX_TOPROW, 1));
  EXPECT_EQ(CurrentRow(g), 1u);
  ASSERT_TRUE(g->MoveCurrentCellBy(GX_LEFTCOL, 1));
  EXPECT_EQ(CurrentCol(g), 2u);  // (1, 1) is disabled
  // Moves down, right and to the ends tell the extent hook how far they may reach.
  g->extents.clear();
  g->MoveCurrentCellBy(GX_DOWN, 3);
  g->MoveCurrentCellBy(GX_RIGHTCOL, 1);
  g->MoveCurrentCellBy(GX_UP, 1);
  ASSERT_EQ(g->extents.size(), 2u);
  EXPECT_EQ(g->extents[0], (std::pair<ROWCOL, ROWCOL>(4, 2)));
  EXPECT_EQ(g->extents[1].second, CGXGridCore::GX_MOVE_TO_END);
}

TEST_F(CurrentTest, ArrowsMoveByTheRepeatCount) {
  NotifyingGrid* g = MakeEditingGrid(20, 6);
  g->MoveCurrentCellTo(2, 1, GX_UPDATENOW);
  ::SendMessage(*g, WM_KEYDOWN, VK_DOWN, 4);
  EXPECT_EQ(CurrentRow(g), 6u);
  ::SendMessage(*g, WM_KEYDOWN, VK_RIGHT, 3);
  EXPECT_EQ(CurrentCol(g), 4u);
  ::SendMessage(*g, WM_KEYDOWN, VK_UP, 100);  // stops below the header row
  EXPECT_EQ(CurrentRow(g), 1u);
}

TEST_F(CurrentTest, PageUpScrollsByTheRowsThatFitAndMovesTheCellByThem) {
  // 300x200 window: 10 rows of 20 pixels; row 0 takes the first 20.
  NotifyingGrid* g = MakeEditingGrid(100, 3);
  g->SetRowHeight(20, 29, 40, nullptr, 0);
  g->SetTopRow(30, 0);
  g->MoveCurrentCellTo(32, 1, GX_UPDATENOW);
  const ROWCOL top = g->GetTopRow();
  ASSERT_TRUE(g->MoveCurrentCellBy(GX_MOSTTOP_PAGE, 1));
  // Above row 30 only rows of 40 pixels: with row 30 (20) four of them fit into 180 pixels.
  EXPECT_EQ(g->GetTopRow(), top - 4);
  EXPECT_EQ(CurrentRow(g), 28u);
  // At the first scrolled row page up goes to the first row.
  g->SetTopRow(1, 0);
  ASSERT_TRUE(g->MoveCurrentCellBy(GX_MOSTTOP_PAGE, 1));
  EXPECT_EQ(CurrentRow(g), 1u);
}

TEST_F(CurrentTest, PageKeysMoveOnePagePerRepeat) {
  NotifyingGrid* g = MakeEditingGrid(100, 3);
  auto start = [&] {
    g->SetTopRow(1, 0);
    g->MoveCurrentCellTo(2, 1, GX_UPDATENOW);
  };
  start();
  ::SendMessage(*g, WM_KEYDOWN, VK_NEXT, 1);
  const ROWCOL onePageTop = g->GetTopRow(), onePageRow = CurrentRow(g);
  ::SendMessage(*g, WM_KEYDOWN, VK_NEXT, 1);
  ::SendMessage(*g, WM_KEYDOWN, VK_NEXT, 1);
  const ROWCOL threeTop = g->GetTopRow(), threeRow = CurrentRow(g);
  ASSERT_GT(threeTop, onePageTop);
  // One key-down with a repeat of 3 goes as far as three single presses.
  start();
  ::SendMessage(*g, WM_KEYDOWN, VK_NEXT, 3);
  EXPECT_EQ(g->GetTopRow(), threeTop);
  EXPECT_EQ(CurrentRow(g), threeRow);
  EXPECT_GT(CurrentRow(g), onePageRow);
  // Page Up likewise.
  ::SendMessage(*g, WM_KEYDOWN, VK_PRIOR, 1);
  ::SendMessage(*g, WM_KEYDOWN, VK_PRIOR, 1);
  const ROWCOL upTop = g->GetTopRow(), upRow = CurrentRow(g);
  start();
  ::SendMessage(*g, WM_KEYDOWN, VK_NEXT, 3);
  ::SendMessage(*g, WM_KEYDOWN, VK_PRIOR, 2);
  EXPECT_EQ(g->GetTopRow(), upTop);
  EXPECT_EQ(CurrentRow(g), upRow);
  // A huge repeat ends on the last row (the pages stop once nothing moves any more).
  ::SendMessage(*g, WM_KEYDOWN, VK_NEXT, 0xFFFF);
  EXPECT_EQ(CurrentRow(g), 100u);
  ::SendMessage(*g, WM_KEYDOWN, VK_PRIOR, 0xFFFF);
  EXPECT_EQ(CurrentRow(g), 1u);
  EXPECT_EQ(g->GetTopRow(), 1u);
}

TEST_F(CurrentTest, TheFrozenSeamFollowsTheRowsAsShownOrThroughTheScrolledOutRows) {
  NotifyingGrid* g = MakeEditingGrid(50, 3);
  g->SetFrozenRows(2, 0, 0);
  g->SetTopRow(10, 0);
  g->MoveCurrentCellTo(12, 1, GX_UPDATENOW);
  // Through the scrolled-out rows into the frozen rows: the steps taken there are scrolled back.
  ASSERT_TRUE(g->MoveCurrentCellBy(GX_UP, 11));
  EXPECT_EQ(CurrentRow(g), 1u);
  EXPECT_EQ(g->GetTopRow(), 3u);  // rows 3..9 were passed: the view followed them
  // As shown: the step from the top row shown lands on the last frozen row; nothing scrolls.
  g->GetParam()->m_bFrozenScroll = FALSE;
  g->SetTopRow(10, 0);
  g->MoveCurrentCellTo(11, 1, GX_UPDATENOW);
  ASSERT_TRUE(g->MoveCurrentCellBy(GX_UP, 2));
  EXPECT_EQ(CurrentRow(g), 2u);
  EXPECT_EQ(g->GetTopRow(), 10u);
  // Down from the last frozen row lands on the top row shown.
  ASSERT_TRUE(g->MoveCurrentCellBy(GX_DOWN, 1));
  EXPECT_EQ(CurrentRow(g), 10u);
}

TEST_F(CurrentTest, TheFrozenColumnSeamScrollsBackByTheColumnsPassed) {
  NotifyingGrid* g = MakeEditingGrid(10, 30);
  g->SetFrozenCols(1, 0, 0);
  g->SetLeftCol(6, 0);
  g->MoveCurrentCellTo(3, 6, GX_UPDATENOW);
  ASSERT_TRUE(g->MoveCurrentCellBy(GX_LEFT, 5));
  EXPECT_EQ(CurrentCol(g), 1u);
  EXPECT_EQ(g->GetLeftCol(), 2u);  // columns 2..5 were passed
  // Right from the frozen column lands on the left column shown.
  g->SetLeftCol(12, 0);
  ASSERT_TRUE(g->MoveCurrentCellBy(GX_RIGHT, 1));
  EXPECT_EQ(CurrentCol(g), 12u);
}

TEST_F(CurrentTest, F2StoresAndEditsAgainWithTheControlFetchedAnew) {
  NotifyingGrid* g = MakeEditingGrid();
  auto& in = plat::InputRouter::Instance();
  in.KeyPress(VK_F2);
  Pump();
  EXPECT_TRUE(control->GetEditingState());
  EXPECT_EQ(g->log, (Log{"cancel 2,2", "start 2,2"}));
  in.KeyPress(VK_F2);  // stores and keeps the cell; the control is fetched again
  in.KeyPress(VK_F2);
  Pump();
  EXPECT_TRUE(control->GetEditingState());
  EXPECT_EQ(CurrentRow(g), 2u);
}

TEST_F(CurrentTest, DoubleByteCharactersAndSystemKeysReachTheirHooks) {
  auto* g = MakeGrid<NotifyingGrid>(5, 3, 300, 200);
  UseWindowlessEditStandIn(g);  // the characters reach the grid's own hooks
  g->MoveCurrentCellTo(1, 1, GX_UPDATENOW);
  plat::SetLeadBytePredicate([](BYTE b) { return b >= 0x81 && b <= 0x9F; });
  EXPECT_EQ(::SendMessage(*g, WM_CHAR, 0x82, 1), 0);  // held: handled, nothing delivered
  EXPECT_TRUE(g->dbcs.empty());
  ::SendMessage(*g, WM_CHAR, 0xA0, 1);
  ASSERT_EQ(g->dbcs.size(), 1u);
  EXPECT_EQ(g->dbcs[0], CString("\x82\xA0"));
  ::SendMessage(*g, WM_SYSCHAR, 'f', 1);
  EXPECT_EQ(g->sysChars, std::vector<UINT>{'f'});
}

TEST_F(CurrentTest, EscapeDuringADragCancelsItAndNoKeyMovesTheCell) {
  NotifyingGrid* g = MakeEditingGrid();
  auto& in = plat::InputRouter::Instance();
  in.ButtonDown(plat::MouseButton::Left, At(*g, 3, 3));
  Pump();
  ASSERT_EQ(GetCapture(), g->m_hWnd);
  in.KeyPress(VK_DOWN);
  Pump();
  EXPECT_EQ(CurrentRow(g), 3u);
  in.KeyPress(VK_ESCAPE);
  Pump();
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(g->GetPressState(), 0);
  in.ButtonUp(plat::MouseButton::Left, At(*g, 3, 3));
  Pump();
  EXPECT_EQ(CurrentRow(g), 3u);
}

// Drag selection, resize and fill features that log what reaches them; each may take the mouse.
struct DragSelectFeature : CGXGridUserDragSelectRangeImp {
  explicit DragSelectFeature(Log* l) : log(l) {}
  BOOL OnButtonDown(CGXGridCore*, UINT, POINT, ROWCOL r, ROWCOL c) override {
    return log->push_back(Cell("drag down", r, c)), take;
  }
  BOOL OnMouseMove(CGXGridCore*, UINT, POINT) override { return take; }
  BOOL OnButtonUp(CGXGridCore*, UINT, POINT) override { return take; }
  BOOL CancelDragSelect(CGXGridCore*) override { return log->push_back("drag cancel"), FALSE; }
  Log* log;
  BOOL take = TRUE;
};

struct ResizeFeature : CGXGridUserResizeCellsImp {
  explicit ResizeFeature(Log* l) : log(l) {}
  BOOL OnHover(CGXGridCore*, UINT, POINT) override { return ++hovers, TRUE; }
  BOOL OnPress(CGXGridCore*, UINT, POINT, int code, ROWCOL, ROWCOL) override {
    return log->push_back("resize press " + std::to_string(code)), TRUE;
  }
  void OnRelease(CGXGridCore*, UINT, POINT) override { log->push_back("resize release"); }
  BOOL OnDblClk(CGXGridCore*, UINT, POINT, int code, ROWCOL, ROWCOL) override {
    return log->push_back("resize dblclk " + std::to_string(code)), TRUE;
  }
  Log* log;
  int hovers = 0;
};

struct FillFeature : CGXGridExcelLikeFillImp {
  explicit FillFeature(Log* l) : log(l) {}
  void StartFill(CGXGridCore*, ROWCOL r, ROWCOL c, UINT, POINT) override { log->push_back(Cell("fill", r, c)); }
  BOOL OnFillMove(CGXGridCore*, UINT, POINT) override { return log->push_back("fill move"), TRUE; }
  void EndFill(CGXGridCore*, UINT, POINT) override { log->push_back("fill end"); }
  Log* log;
};

struct SortFeature : CGXGridSortImp {
  explicit SortFeature(Log* l) : log(l) {}
  BOOL OnDblClkCell(CGXGridCore*, ROWCOL r, ROWCOL c, UINT, POINT) override {
    return log->push_back(Cell("sort dblclk", r, c)), TRUE;
  }
  Log* log;
};

TEST_F(CurrentTest, ThePressStartsTheSelectionAndTheDragExtendsIt) {
  NotifyingGrid* g = MakeEditingGrid(10, 5);
  Log sel;
  g->SetFeature(new SelectFeature(&sel));
  auto& in = plat::InputRouter::Instance();
  in.ButtonDown(plat::MouseButton::Left, At(*g, 3, 1));
  in.MouseMove(At(*g, 3, 2));
  in.MouseMove(At(*g, 4, 2));
  in.MouseMove(At(*g, 4, 2));
  in.ButtonUp(plat::MouseButton::Left, At(*g, 4, 2));
  Pump();
  EXPECT_EQ(sel, (Log{"press 3 3,1", "extend 3,2", "extend 4,2", "release"}));
  EXPECT_EQ(CurrentRow(g), 3u);  // without click flags the release leaves the current cell on the press cell
  // With click flags a release away from the press cell moves the current cell there.
  g->GetParam()->SetClickFlags(1);
  in.ButtonDown(plat::MouseButton::Left, At(*g, 5, 1));
  in.MouseMove(At(*g, 6, 3));
  in.ButtonUp(plat::MouseButton::Left, At(*g, 6, 3));
  Pump();
  EXPECT_EQ(CurrentRow(g), 6u);
  EXPECT_EQ(CurrentCol(g), 3u);
  g->GetParam()->SetClickFlags(0);
  // The top-left corner: the press is (0, 0) for the feature and the cell handler.
  sel.clear();
  in.Click(plat::MouseButton::Left, At(*g, 0, 0));
  Pump();
  ASSERT_FALSE(sel.empty());
  EXPECT_EQ(sel[0], "press 4 0,0");
  // A disabled cell cannot become current: the release goes to the feature as a click.
  CGXStyle disabled;
  disabled.SetEnabled(FALSE);
  g->SetStyleRange(CGXRange(7, 4), disabled);
  sel.clear();
  in.Click(plat::MouseButton::Left, At(*g, 7, 4));
  Pump();
  EXPECT_EQ(sel, (Log{"press 3 7,4", "release", "clicked 7,4"}));
}

TEST_F(CurrentTest, ADragOverTheHeadersStaysOnTheFirstRowShown) {
  NotifyingGrid* g = MakeEditingGrid(50, 5);
  Log sel;
  g->SetFeature(new SelectFeature(&sel));
  g->SetTopRow(10, 0);
  g->m_bPressAutoScroll = FALSE;  // the rows stay where they are while the mouse is over the headers
  auto& in = plat::InputRouter::Instance();
  const POINT press = plat::InputRouter::ClientPoint(*g, 75, 70);  // row 12, column 1
  in.ButtonDown(plat::MouseButton::Left, press);
  in.MouseMove(plat::InputRouter::ClientPoint(*g, 75, 10));  // over the column headers
  Pump();
  ASSERT_GE(sel.size(), 2u);
  EXPECT_EQ(sel[0], "press 3 12,1");
  EXPECT_EQ(sel[1], "extend 10,1");
  in.ButtonUp(plat::MouseButton::Left, plat::InputRouter::ClientPoint(*g, 75, 10));
  Pump();
  // With frozen rows beyond the headers it is the first frozen row.
  g->SetFrozenRows(2, 0, 0);
  sel.clear();
  plat::VirtualClock::Advance(1000);
  in.ButtonDown(plat::MouseButton::Left, press);
  in.MouseMove(plat::InputRouter::ClientPoint(*g, 75, 10));
  in.ButtonUp(plat::MouseButton::Left, plat::InputRouter::ClientPoint(*g, 75, 10));
  Pump();
  ASSERT_GE(sel.size(), 2u);
  EXPECT_EQ(sel[1], "extend 1,1");
}

TEST_F(CurrentTest, DragSelectionResizeAndFillTakeTheMouseFirst) {
  NotifyingGrid* g = MakeEditingGrid(10, 5);
  Log log;
  auto* drag = new DragSelectFeature(&log);
  g->SetFeature(drag);
  auto* resize = new ResizeFeature(&log);
  g->SetFeature(resize);
  auto& in = plat::InputRouter::Instance();
  in.Click(plat::MouseButton::Left, At(*g, 4, 4));
  Pump();
  EXPECT_EQ(log, (Log{"drag down 4,4"}));
  EXPECT_EQ(CurrentRow(g), 2u);  // taken: the current cell stays
  drag->take = FALSE;
  log.clear();
  // A column boundary in the header row goes to the resize feature, press, hover and release.
  POINT boundary{0, 10};
  for (int x = 40; x < 60 && !boundary.x; ++x)
    if (g->CGXGridCore::HitTest(CPoint(x, 10)) == GX_VERTLINE) boundary.x = x;
  ASSERT_NE(boundary.x, 0);
  const POINT screen = plat::InputRouter::ClientPoint(*g, boundary.x, boundary.y);
  in.MouseMove(screen);
  in.ButtonDown(plat::MouseButton::Left, screen);
  Pump();
  ::SetCapture(*g);  // the feature would capture the mouse for its resize
  in.ButtonUp(plat::MouseButton::Left, screen);
  Pump();
  ::ReleaseCapture();
  plat::VirtualClock::Advance(1000);
  in.DoubleClick(plat::MouseButton::Left, screen);
  Pump();
  EXPECT_GT(resize->hovers, 0);
  ASSERT_GE(log.size(), 3u);
  EXPECT_EQ(log[0], "resize press 1");
  EXPECT_EQ(log[1], "resize release");
  EXPECT_NE(std::find(log.begin(), log.end(), "resize dblclk 1"), log.end());
  // The fill handle: only while the fill switch is on does the fill feature hear of it.
  auto* fill = new FillFeature(&log);
  g->SetFeature(fill);
  g->fillHandle = TRUE;
  g->fillAt = POINT{120, 55};
  const POINT handle = plat::InputRouter::ClientPoint(*g, 120, 55);
  log.clear();
  plat::VirtualClock::Advance(1000);
  in.ButtonDown(plat::MouseButton::Left, handle);
  in.ButtonUp(plat::MouseButton::Left, handle);
  Pump();
  EXPECT_TRUE(log.empty());
  g->GetParam()->m_bFillEnabled = TRUE;
  plat::VirtualClock::Advance(1000);
  in.ButtonDown(plat::MouseButton::Left, handle);
  in.MouseMove(At(*g, 5, 2));
  in.ButtonUp(plat::MouseButton::Left, At(*g, 5, 2));
  Pump();
  // The auto-scroll that the press starts sends moves of its own while the button is held, so the fill
  // feature may hear more than the one real move.
  ASSERT_GE(log.size(), 3u);
  EXPECT_EQ(log.front(), "fill 2,2");
  EXPECT_EQ(log.back(), "fill end");
  EXPECT_TRUE(std::all_of(log.begin() + 1, log.end() - 1, [](const std::string& s) { return s == "fill move"; }));
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(CurrentTest, AClickAnywhereOnACoveredCurrentCellIsAPressOnTheCurrentCell) {
  NotifyingGrid* g = MakeGrid<NotifyingGrid>(10, 6, 300, 200);
  auto* c = new MouseStateRecorder<EditingControl>(g, &g->log);
  UseInEveryCell(g, c);
  g->SetFeature(new CoveredBlock(CGXRange(2, 2, 3, 4)));
  SetFocus(*g);
  ASSERT_TRUE(g->MoveCurrentCellTo(2, 2, GX_UPDATENOW));
  auto& in = plat::InputRouter::Instance();
  auto click = [&](ROWCOL r, ROWCOL col) {
    c->states.clear();
    g->log.clear();
    in.ButtonDown(plat::MouseButton::Left, At(*g, r, col));
    in.ButtonUp(plat::MouseButton::Left, At(*g, r, col));
    Pump();
  };
  click(2, 2);  // the block's top-left part
  EXPECT_EQ(c->states, (std::vector<WORD>{0x0145, 0x0151}));
  click(3, 4);  // its lower-right part: the same press on the current cell, nothing left or entered
  EXPECT_EQ(c->states, (std::vector<WORD>{0x0145, 0x0151}));
  EXPECT_EQ(g->log, Log{});
  EXPECT_EQ(CurrentRow(g), 2u);
  EXPECT_EQ(CurrentCol(g), 2u);
  // A drag inside the block stays over the press cell; leaving the block is a move away from it.
  c->states.clear();
  in.ButtonDown(plat::MouseButton::Left, At(*g, 3, 3));
  in.MouseMove(At(*g, 2, 4));
  in.MouseMove(At(*g, 5, 4));
  in.ButtonUp(plat::MouseButton::Left, At(*g, 5, 4));
  Pump();
  EXPECT_EQ(c->states, (std::vector<WORD>{0x0145, 0x0149, 0x0129, 0x0111}));
}

TEST_F(CurrentTest, TheRightButtonDuringALeftDragCancelsItAndTheCellStays) {
  NotifyingGrid* g = MakeEditingGrid(10, 5);
  Log sel;
  g->SetFeature(new SelectFeature(&sel));
  auto& in = plat::InputRouter::Instance();
  in.ButtonDown(plat::MouseButton::Left, At(*g, 5, 3));
  in.MouseMove(At(*g, 6, 3));
  in.ButtonDown(plat::MouseButton::Right, At(*g, 6, 3));
  Pump();
  EXPECT_EQ(g->GetPressState(), 0);
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(CurrentRow(g), 5u);
  EXPECT_EQ(sel.back(), "clear");  // cancel mode during a press clears the selection
  in.ButtonUp(plat::MouseButton::Right, At(*g, 6, 3));
  in.ButtonUp(plat::MouseButton::Left, At(*g, 6, 3));
  Pump();
  EXPECT_EQ(CurrentRow(g), 5u);
}

TEST_F(CurrentTest, CancelModeUnderClickFlagsStoresTheEditAndKeepsTheCell) {
  NotifyingGrid* g = MakeEditingGrid(10, 5);
  plat::InputRouter::Instance().TypeText("9");
  Pump();
  g->GetParam()->SetClickFlags(1);
  // A press on the edited cell stays with its control (it is current and bound).
  plat::InputRouter::Instance().ButtonDown(plat::MouseButton::Left, At(*g, 2, 2));
  Pump();
  ASSERT_NE(g->GetPressState(), 0);
  EXPECT_TRUE(control->GetEditingState());
  g->log.clear();
  ::SendMessage(*g, WM_CANCELMODE, 0, 0);
  EXPECT_EQ(g->GetCellValue(2, 2), CString("9"));
  EXPECT_EQ(CurrentRow(g), 2u);
  EXPECT_EQ(CurrentCol(g), 2u);
  // The edit ended; the cell stays current with its control bound again, so a new edit can start.
  EXPECT_FALSE(control->GetEditingState());
  EXPECT_TRUE(control->IsBoundToCell(2, 2));
  EXPECT_EQ(g->log.front(), "validate");
  plat::InputRouter::Instance().ButtonUp(plat::MouseButton::Left, At(*g, 2, 2));
  Pump();
}

TEST_F(CurrentTest, ADoubleClickMakesTheCellCurrentFirstThenAsksTheControlOrTheSortFeature) {
  NotifyingGrid* g = MakeEditingGrid(10, 5);
  Log log;
  g->SetFeature(new SortFeature(&log));
  auto& in = plat::InputRouter::Instance();
  in.DoubleClick(plat::MouseButton::Left, At(*g, 4, 3));
  Pump();
  EXPECT_EQ(CurrentRow(g), 4u);
  EXPECT_EQ(CurrentCol(g), 3u);
  // The cell was current and bound by then: the control is asked; it declines, so the press handling runs.
  EXPECT_NE(std::find(g->log.begin(), g->log.end(), "control dblclk"), g->log.end());
  EXPECT_TRUE(log.empty());
  control->takeDblClk = TRUE;
  // On a cell whose control is not bound (a disabled cell stays not current), the sort feature is asked.
  CGXStyle disabled;
  disabled.SetEnabled(FALSE);
  g->SetStyleRange(CGXRange(6, 1), disabled);
  in.DoubleClick(plat::MouseButton::Left, At(*g, 6, 1));
  Pump();
  EXPECT_EQ(log, (Log{"sort dblclk 6,1"}));
}

// With header marking a header shows whether its row or column holds the current cell: every way of
// moving the cell (arrows, a click, Tab) leaves the headers as a full repaint would draw them.
TEST_F(CurrentTest, HeadersOfTheOldAndNewCurrentCellRepaintOnEveryMove) {
  NotifyingGrid* g = MakeEditingGrid(8, 5);
  g->GetParam()->m_bHeaderMarking = TRUE;
  CGXStyle header;
  header.SetControl(GX_IDS_CTRL_HEADER);
  g->SetStyleRange(CGXRange(0, 0, 0, 5), header);
  g->SetStyleRange(CGXRange(0, 0, 8, 0), header);
  // Selected cells mark their headers; the current one of those is bold.
  g->GetParam()->GetSelection().AddTail(new CGXRange(2, 2));
  g->GetParam()->GetSelection().AddTail(new CGXRange(4, 4));
  g->RedrawAll(GX_UPDATENOW);
  auto expectFresh = [&](const char* what) {
    Pump();
    auto incremental = Shot(*g);
    g->RedrawAll(GX_UPDATENOW);
    EXPECT_EQ(plat::CompareImages(*incremental, *Shot(*g), 0, ""), 0) << what;
  };
  ::SendMessage(*g, WM_KEYDOWN, VK_RIGHT, 1);
  EXPECT_EQ(CurrentCol(g), 3u);
  expectFresh("arrow right");
  plat::InputRouter::Instance().Click(plat::MouseButton::Left, At(*g, 4, 4));
  Pump();
  EXPECT_EQ(CurrentRow(g), 4u);
  EXPECT_EQ(CurrentCol(g), 4u);
  expectFresh("click");
  ::SendMessage(*g, WM_KEYDOWN, VK_TAB, 1);
  EXPECT_EQ(CurrentCol(g), 5u);
  expectFresh("tab");
  ::SendMessage(*g, WM_KEYDOWN, VK_LEFT, 1);
  ::SendMessage(*g, WM_KEYDOWN, VK_DOWN, 1);
  EXPECT_EQ(CurrentRow(g), 5u);
  expectFresh("arrow left and down");
}

TEST_F(CurrentTest, TheCurrentCellsStyleIsHeldUntilTheCellChangesAnEditCompletesOrAPaintBegins) {
  NotifyingGrid* g = MakeEditingGrid();
  CGXData* data = g->GetParam()->GetData();
  auto storeBehindTheGrid = [&](ROWCOL r, ROWCOL c, const char* value) {
    CGXStyle s;
    s.SetValue(value);
    data->StoreStyle(r, c, &s, gxOverride, 0);
  };
  auto valueOf = [&](ROWCOL r, ROWCOL c) { return CString(g->GetCachedCellStyle(r, c)->GetValue()); };
  g->FreeDrawingCaches();
  EXPECT_EQ(valueOf(2, 2), CString("old"));
  storeBehindTheGrid(2, 2, "new");
  const CGXStyle* held = g->GetCachedCellStyle(2, 2);
  EXPECT_EQ(g->GetCachedCellStyle(2, 2), held);  // one held style, not composed again
  EXPECT_EQ(valueOf(2, 2), CString("old"));
  // A completed edit empties it: the next lookup composes the cell again and holds that.
  g->CompleteCellEdit(TRUE);
  EXPECT_EQ(valueOf(2, 2), CString("new"));
  storeBehindTheGrid(2, 2, "newer");
  EXPECT_EQ(valueOf(2, 2), CString("new"));
  // With the style cache switch off every lookup of the current cell composes it.
  g->m_bCacheCurrentCellStyle = FALSE;
  EXPECT_EQ(valueOf(2, 2), CString("newer"));
  g->m_bCacheCurrentCellStyle = TRUE;
  // A kept current cell keeps its style over a cache release; otherwise the release empties it.
  storeBehindTheGrid(2, 2, "newest");
  g->m_bKeepCurrentCell = TRUE;
  g->FreeDrawingCaches();
  EXPECT_EQ(valueOf(2, 2), CString("newer"));
  g->m_bKeepCurrentCell = FALSE;
  g->FreeDrawingCaches();
  EXPECT_EQ(valueOf(2, 2), CString("newest"));
  // Other cells are cached as before; a cell made current is composed once into the cache on the way.
  g->FreeDrawingCaches();
  g->StoreCurrentCell(TRUE, 5, 1);
  EXPECT_EQ(g->CachedStyleCount(), 1u);
  storeBehindTheGrid(2, 2, "after");
  EXPECT_EQ(valueOf(2, 2), CString("after"));  // no longer the current cell's held style
}

// A cell observer as another part of a program would install one; it removes itself when it goes.
struct CellObserver : CGXGridCellObserver {
  CellObserver() { CGXGridGlobals::Get().m_pCellObservers[1] = this; }
  ~CellObserver() override { CGXGridGlobals::Get().m_pCellObservers[1] = nullptr; }
  void OnCurrentCellNotice(CGXGridCore* g) override {
    ROWCOL r = 0, c = 0;
    g->QueryCurrentCell(&r, &c);
    cells.emplace_back(r, c);
  }
  std::vector<std::pair<ROWCOL, ROWCOL>> cells;
};

TEST_F(CurrentTest, CellObserversHearOfBoundCellsAndGainedFocusWhileTheFocusLockLeavesTheCellAlone) {
  CellObserver observer;
  NotifyingGrid* g = MakeEditingGrid();
  EXPECT_EQ(CGXGridGlobals::Get().m_pActiveGrid, g);  // the grid that gained the focus
  observer.cells.clear();
  g->MoveCurrentCellTo(4, 3, GX_UPDATENOW);
  ASSERT_FALSE(observer.cells.empty());
  EXPECT_EQ(observer.cells.back(), std::make_pair(ROWCOL{4}, ROWCOL{3}));
  // Under the focus lock a lost focus stores nothing; a gained focus is not passed on.
  plat::InputRouter::Instance().TypeText("5");
  Pump();
  g->log.clear();
  observer.cells.clear();
  g->m_bLockFocus = TRUE;
  EXPECT_FALSE(g->OnGridFocusChange(FALSE));
  EXPECT_FALSE(g->OnGridFocusChange(TRUE));
  EXPECT_TRUE(g->log.empty());
  EXPECT_TRUE(observer.cells.empty());
  EXPECT_TRUE(control->GetModifiedState());
  g->m_bLockFocus = FALSE;
  EXPECT_TRUE(g->OnGridFocusChange(FALSE));
  EXPECT_EQ(g->log, (Log{"validate", "store", "stored 4,3"}));
  EXPECT_TRUE(g->OnGridFocusChange(TRUE));
  EXPECT_EQ(observer.cells, (std::vector<std::pair<ROWCOL, ROWCOL>>{{4, 3}}));
  // A destroyed grid is no longer the active one.
  grid.reset();
  EXPECT_EQ(CGXGridGlobals::Get().m_pActiveGrid, nullptr);
}

TEST_F(CurrentTest, AnInitialCurrentCellIsToldToTheCellObserversAndTheParameterObjectFollowsTheCell) {
  CellObserver observer;
  auto* g = new CGXGridWnd;
  grid.reset(g);
  ASSERT_TRUE(g->CreateEx(0, "GXWND", "", WS_POPUP | WS_VISIBLE, 0, 0, 300, 200, nullptr, nullptr));
  auto* param = new CGXGridParam;
  auto* data = new CGXData;
  data->StoreRowCount(8);
  data->StoreColCount(4);
  param->SetData(data, TRUE);
  param->m_bInitialCurrentCell = TRUE;
  param->m_nInitialCurrentRow = 3;
  param->m_nInitialCurrentCol = 2;
  g->AttachParam(param, TRUE);
  g->InitializeFromStyle();
  EXPECT_EQ(observer.cells, (std::vector<std::pair<ROWCOL, ROWCOL>>{{3, 2}}));
  // The parameter object follows the current cell, for the next grid initialised on it.
  g->StoreCurrentCell(TRUE, 5, 3);
  EXPECT_EQ(param->m_nInitialCurrentRow, 5u);
  EXPECT_EQ(param->m_nInitialCurrentCol, 3u);
}

// A control that refuses the Delete key for its cell and takes a stored value as the last word.
class NotifyingControl : public EditingControl {
 public:
  using EditingControl::EditingControl;
  BOOL NotifyStored() override {
    log->push_back("control stored");
    return EditingControl::NotifyStored();
  }
  BOOL NotifyDelete() override {
    log->push_back("control delete");
    return allowDelete && EditingControl::NotifyDelete();
  }
  void HideAndInvalidate() override {
    log->push_back(Cell("refresh", GetRow(), GetCol()));
    EditingControl::HideAndInvalidate();
  }
  BOOL allowDelete = FALSE;
};

struct ClearFeature : CGXGridClearCellsImp {
  BOOL CanClear(CGXGridCore*) override { return TRUE; }
  BOOL ClearCellsForward1(CGXGridCore*, BOOL) override { return ++clears, TRUE; }
  int clears = 0;
};

TEST_F(CurrentTest, StoredAndDeleteNoticesGoThroughTheControlAndItsFirstDataFieldStopsTheDirectPaint) {
  NotifyingGrid* g = MakeEditingGrid();
  auto* notifying = new NotifyingControl(g, &g->log);
  g->AddCellControl(GX_IDS_CTRL_STATIC, notifying, TRUE);  // replaces the logging control
  auto* clear = new ClearFeature;
  g->SetFeature(clear);
  g->MoveCurrentCellTo(3, 3, GX_UPDATENOW);
  g->log.clear();
  ::SendMessage(*g, WM_KEYDOWN, VK_DELETE, 1);
  EXPECT_EQ(clear->clears, 0);
  notifying->allowDelete = TRUE;
  ::SendMessage(*g, WM_KEYDOWN, VK_DELETE, 1);
  EXPECT_EQ(clear->clears, 1);
  // The control's own stored notice decides whether the cell may be left.
  g->storedAnswer = FALSE;
  g->log.clear();
  EXPECT_FALSE(g->MoveCurrentCellTo(4, 3, GX_UPDATENOW));
  EXPECT_EQ(g->log, (Log{"control stored", "stored 3,3"}));
  EXPECT_EQ(CurrentRow(g), 3u);
  g->storedAnswer = TRUE;
  // A newly entered cell paints at once while the control's first data field is zero; otherwise the
  // control refreshes it.
  g->log.clear();
  ASSERT_TRUE(g->MoveCurrentCellTo(4, 3, GX_UPDATENOW));
  EXPECT_EQ(std::count(g->log.begin(), g->log.end(), "refresh 4,3"), 0);
  notifying->m_wFirstData = 1;
  ASSERT_TRUE(g->MoveCurrentCellTo(5, 3, GX_UPDATENOW));
  EXPECT_EQ(std::count(g->log.begin(), g->log.end(), "refresh 5,3"), 1);
}

}  // namespace
}  // namespace enginetest
