// Undo, redo and clearing as users reach them: typed into the edit cells of a grid window with the focus,
// then the keys of the engine (Ctrl+Z, Ctrl+R, Alt+Backspace, Ctrl+Backspace, Delete, Ctrl+Delete).
#include <algorithm>
#include <string>

#include "grid/controls/CGXCheckBox.h"
#include "grid/controls/CGXEditControl.h"
#include "grid/controls/CGXPushbutton.h"
#include "grid/controls/gxcellsupport.h"
#include "grid/features/CGXCutPasteImp.h"
#include "grid/features/CGXExcelLikeFillImp.h"
#include "grid/features/gxexchangestrings.h"
#include "grid/features/tests/cliptest.h"
#include "platform/display/ReferenceImage.h"
#include "platform/window/AutomationProvider.h"

namespace {

using featuretest::FeatureTest;

// A grid that keeps one cell of its own from every clear through its OnDeleteCell hook.
class RefusingGrid : public CGXGridWnd {
 public:
  BOOL OnDeleteCell(ROWCOL row, ROWCOL col) override { return !(row == refusedRow && col == refusedCol); }
  ROWCOL refusedRow = 0, refusedCol = 0;
};

class KeyboardTest : public FeatureTest {
 protected:
  // A focused grid whose cells hold `before` values; the lists start empty and the current cell is (1, 1).
  CGXGridWnd* Make() {
    CGXGridWnd* g = MakeGrid(5, 3, 200, 140);
    g->SetCellValue(1, 1, "old");
    g->SetCellValue(2, 2, "2.5");
    CGXStyle tinted;
    tinted.SetInteriorColor(RGB(255, 255, 160)).SetValue("kept");
    g->SetStyleRange(CGXRange(3, 3), tinted);
    ClearUndo(g);
    ::SetFocus(*g);
    EXPECT_TRUE(g->MoveCurrentCellTo(1, 1, GX_UPDATENOW));
    Pump();
    return g;
  }
  static std::string Value(CGXGridCore* g, ROWCOL r, ROWCOL c) { return std::string(g->GetCellValue(r, c)); }
  static INT_PTR Undos(CGXGridCore* g) { return g->GetParam()->GetUndoList().GetCount(); }
  static INT_PTR Redos(CGXGridCore* g) { return g->GetParam()->GetRedoList().GetCount(); }
  static void ExpectMatchesReference(HWND hwnd, const std::string& name) {
    plat::Desktop::PaintAll();
    auto image = plat::Desktop::Capture(hwnd);
    ASSERT_TRUE(image);
    const plat::ReferenceMatch match =
        plat::MatchReferenceImage(*image, "grid/features/tests/reference/" + name + ".png");
    EXPECT_TRUE(match.Matches()) << match.message;
  }
  static bool Tinted(CGXGridCore* g, ROWCOL r, ROWCOL c) {
    CGXStyle s;
    return g->ReadStoredStyle(r, c, s, gxCopy, 0) && s.IsIncluded(GX_IN_INTERIOR);
  }
};

TEST_F(KeyboardTest, TypedValuesGoBackAndForthWithEveryUndoAndRedoKey) {
  CGXGridWnd* g = Make();
  Type("new");  // replaces "old"
  Key(VK_DOWN);
  Type("12");
  Key(VK_DOWN);
  EXPECT_EQ(Value(g, 1, 1), "new");
  EXPECT_EQ(Value(g, 2, 1), "12");
  ASSERT_EQ(Undos(g), 2);
  ASSERT_EQ(::GetFocus(), g->m_hWnd);  // the edit window left with the cell

  Chord(VK_CONTROL, 'Z');
  EXPECT_EQ(Value(g, 2, 1), "");
  EXPECT_EQ(Value(g, 1, 1), "new");
  Chord(VK_MENU, VK_BACK);
  EXPECT_EQ(Value(g, 1, 1), "old");
  EXPECT_EQ(Undos(g), 0);
  EXPECT_EQ(Redos(g), 2);
  Chord(VK_CONTROL, 'Z');  // nothing left: nothing changes
  EXPECT_EQ(Value(g, 1, 1), "old");

  Chord(VK_CONTROL, 'R');
  EXPECT_EQ(Value(g, 1, 1), "new");
  EXPECT_EQ(Value(g, 2, 1), "");
  Chord(VK_CONTROL, VK_BACK);
  EXPECT_EQ(Value(g, 2, 1), "12");
  EXPECT_EQ(Undos(g), 2);
  EXPECT_EQ(Redos(g), 0);
  // Everything else is as it was.
  EXPECT_EQ(Value(g, 2, 2), "2.5");
  EXPECT_EQ(Value(g, 3, 3), "kept");
  EXPECT_TRUE(Tinted(g, 3, 3));
}

TEST_F(KeyboardTest, UndoWhileEditingDiscardsOnlyTheEdit) {
  CGXGridWnd* g = Make();
  Type("first");
  Key(VK_DOWN);
  Type("pending");  // row 2 is being edited, not stored
  Chord(VK_CONTROL, 'Z');
  g->CGXGridCore::UpdateWindow();
  Pump();
  EXPECT_EQ(Value(g, 2, 1), "");
  EXPECT_EQ(Value(g, 1, 1), "first");
  EXPECT_EQ(Undos(g), 1);
}

TEST_F(KeyboardTest, DeleteInAnEditCellEmptiesOnlyTheCurrentCell) {
  CGXGridWnd* g = Make();
  g->GetParam()->GetSelection().AddTail(new CGXRange(1, 1, 2, 2));
  Key(VK_DELETE);  // the edit cell takes it: an empty edit of the current cell
  Key(VK_DOWN);
  EXPECT_EQ(Value(g, 1, 1), "");
  EXPECT_EQ(Value(g, 2, 2), "2.5");
  EXPECT_EQ(Undos(g), 1);
  Chord(VK_CONTROL, 'Z');
  EXPECT_EQ(Value(g, 1, 1), "old");
}

// The edit cell's own Delete empties the cell as a clear does: a cell the grid's OnDeleteCell refuses keeps its
// value, also when the grid's Delete has the key after the cell.
TEST_F(KeyboardTest, DeleteInAnEditCellTheGridRefusesKeepsItsValue) {
  auto* g = MakeGrid<RefusingGrid>(5, 3, 200, 140);
  g->SetCellValue(1, 1, "old");
  g->refusedRow = g->refusedCol = 1;
  ClearUndo(g);
  ::SetFocus(*g);
  ASSERT_TRUE(g->MoveCurrentCellTo(1, 1, GX_UPDATENOW));
  Pump();
  Key(VK_DELETE);
  Key(VK_DOWN);
  EXPECT_EQ(Value(g, 1, 1), "old");
  EXPECT_EQ(Undos(g), 0);
}

// A grid that pastes styles leaves Delete to the grid: it clears the selection.
TEST_F(KeyboardTest, DeleteClearsTheSelectedValuesAndCtrlDeleteTheirStyles) {
  CGXGridWnd* g = Make();
  g->GetParam()->m_bPasteStyles = TRUE;
  g->GetParam()->GetSelection().AddTail(new CGXRange(2, 2, 3, 3));
  g->MoveCurrentCellTo(2, 2, GX_UPDATENOW);
  g->RedrawAll(GX_INVALIDATE);
  Pump();
  ExpectMatchesReference(*g, "gridfeatures-before-delete");

  Key(VK_DELETE);
  EXPECT_EQ(Value(g, 2, 2), "");
  EXPECT_EQ(Value(g, 3, 3), "");
  EXPECT_TRUE(Tinted(g, 3, 3));         // Delete keeps the styles
  EXPECT_EQ(Value(g, 1, 1), "old");     // outside the selection
  EXPECT_EQ(Undos(g), 1);
  ExpectMatchesReference(*g, "gridfeatures-after-delete");

  Chord(VK_CONTROL, 'Z');
  EXPECT_EQ(Value(g, 2, 2), "2.5");
  EXPECT_EQ(Value(g, 3, 3), "kept");
  EXPECT_TRUE(Tinted(g, 3, 3));

  plat::InputRouter::Instance().KeyDown(VK_CONTROL);
  Key(VK_DELETE);
  plat::InputRouter::Instance().KeyUp(VK_CONTROL);
  Pump();
  EXPECT_FALSE(Tinted(g, 3, 3));
  EXPECT_EQ(Value(g, 3, 3), "");  // the value was part of the stored style
  EXPECT_EQ(Value(g, 1, 1), "old");
  ExpectMatchesReference(*g, "gridfeatures-after-ctrl-delete");

  Chord(VK_CONTROL, 'Z');
  EXPECT_TRUE(Tinted(g, 3, 3));
  EXPECT_EQ(Value(g, 3, 3), "kept");
  EXPECT_EQ(Value(g, 2, 2), "2.5");
  ExpectMatchesReference(*g, "gridfeatures-before-delete");  // exactly as before
  Chord(VK_CONTROL, 'R');
  EXPECT_FALSE(Tinted(g, 3, 3));
}

// A current cell that takes no typed text keeps its value under Delete and its style under Ctrl+Delete: a static
// text, a check box and a push button show a value the program gave them, and nothing could be typed back in.
TEST_F(KeyboardTest, DeleteLeavesACellThatTakesNoTypedTextAsItIs) {
  CGXGridWnd* g = Make();
  g->AddCellControl(GX_IDS_CTRL_CHECKBOX, new CGXCheckBox(g), TRUE);
  g->AddCellControl(GX_IDS_CTRL_PUSHBTN, new CGXPushbutton(g), TRUE);
  for (const WORD id : {GX_IDS_CTRL_STATIC, GX_IDS_CTRL_CHECKBOX, GX_IDS_CTRL_PUSHBTN}) {
    SCOPED_TRACE(id);
    g->SetStyleRange(CGXRange(2, 2), CGXStyle().SetControl(id).SetValue("1"));
    ClearUndo(g);
    ASSERT_TRUE(g->MoveCurrentCellTo(2, 2, GX_UPDATENOW));
    Key(VK_DELETE);
    Chord(VK_CONTROL, VK_DELETE);
    CGXStyle style;
    g->ComposeCellStyle(2, 2, style);
    EXPECT_EQ(Value(g, 2, 2), "1");
    EXPECT_EQ(style.GetControl(), id);
    EXPECT_EQ(Undos(g), 0);
    ASSERT_TRUE(g->MoveCurrentCellTo(1, 1, GX_UPDATENOW));
  }
}

// Every clear follows one rule, whatever starts it: Delete, Ctrl+Delete, Ctrl+X and Shift+Delete on a cell alone
// or over a range whose current cell is an edit cell, a fill shrunk over the cell or writing an empty value into
// it, and a paste of an empty text. An edit cell is emptied; a read-only or disabled edit cell, a static text, a
// check box and a cell the grid's OnDeleteCell refuses keep their value and style, and are no part of the undo.
class ClearRuleTest : public cliptest::ClipTest {
 protected:
  static INT_PTR Undos(CGXGridCore* g) { return g->GetParam()->GetUndoList().GetCount(); }
  // Copies the styles of `source` to the clipboard and pastes them over `target`, as the grid's paste does.
  static void PasteStyles(CGXGridCore* g, const CGXRange& source, const CGXRange& target) {
    CGXRangeList copied;
    copied.AddTail(new CGXRange(source));
    ASSERT_TRUE(OpenClipboard(g->GridHwnd()));  // the grid owns the clipboard, as a copy makes it
    EmptyClipboard();
    CloseClipboard();
    ASSERT_TRUE(g->CopyStylesToClipboard(copied, 0));
    auto* paste = dynamic_cast<CGXCutPasteImp*>(g->GetCutPasteImp());
    ASSERT_NE(paste, nullptr);
    ASSERT_TRUE(OpenClipboard(g->GridHwnd()));
    paste->PasteFromClipboard(g, target);
    CloseClipboard();
  }
};

TEST_F(ClearRuleTest, EveryClearKeepsTheCellsThatMayNotBeCleared) {
  enum class Kind { Edit, ReadOnly, Disabled, Static, CheckBox, Refused };
  enum class Op { Delete, CtrlDelete, CtrlX, ShiftDelete, FillShrunk, FillEmpty, PasteEmpty, PasteEmptyStyles, CutMoved, ReplaceAllEmpty };
  enum class Scope { Alone, Range };
  const struct KindCase {
    Kind kind;
    const char* name;
  } kinds[] = {{Kind::Edit, "edit"},     {Kind::ReadOnly, "read-only edit"}, {Kind::Disabled, "disabled edit"},
               {Kind::Static, "static"}, {Kind::CheckBox, "check box"},      {Kind::Refused, "refused by the grid"}};
  const struct OpCase {
    Op op;
    const char* name;
    bool clearsStyle;  // what an edit cell loses besides its value
  } ops[] = {{Op::Delete, "Delete", false},        {Op::CtrlDelete, "Ctrl+Delete", true},
             {Op::CtrlX, "Ctrl+X", true},          {Op::ShiftDelete, "Shift+Delete", true},
             {Op::FillShrunk, "fill shrunk", false}, {Op::FillEmpty, "fill of an empty value", false},
             {Op::PasteEmpty, "paste of an empty text", false}, {Op::PasteEmptyStyles, "paste of an empty cell", true},
             {Op::CutMoved, "cut moved by its paste", true},
             {Op::ReplaceAllEmpty, "Replace All by an empty text", false}};
  const COLORREF tint = RGB(255, 255, 160);
  auto styleOf = [](CGXGridCore* g, ROWCOL r, ROWCOL c) {
    CGXStyle s;
    g->ComposeCellStyle(r, c, s);
    return s;
  };
  for (const OpCase& op : ops) {
    const bool key = op.op <= Op::ShiftDelete, cut = op.op == Op::CtrlX || op.op == Op::ShiftDelete;
    for (const KindCase& k : kinds) {
      for (const Scope scope : {Scope::Alone, Scope::Range}) {
        // Fill and paste name their cells themselves; a cut that its paste moves is tried over the range.
        if (!key && scope != (op.op == Op::CutMoved ? Scope::Range : Scope::Alone)) continue;
        SCOPED_TRACE(std::string(op.name) + " on a " + k.name + (scope == Scope::Alone ? " alone" : " in a range"));
        plat::Clipboard::Instance().Reset();
        Automate();
        auto* g = MakeGrid<RefusingGrid>(4, 3);
        UseWindowlessEditStandIn(g);
        g->AddCellControl(GX_IDS_CTRL_CHECKBOX, new CGXCheckBox(g), TRUE);
        g->GetParam()->m_bFillEnabled = 1;
        // The edit cell (2, 1) beside the cell of the kind tried, (2, 2); both tinted.
        g->SetStyleRange(CGXRange(2, 1), CGXStyle().SetControl(GX_IDS_CTRL_EDIT).SetValue("e").SetInteriorColor(tint));
        CGXStyle kindStyle;
        kindStyle.SetControl(GX_IDS_CTRL_EDIT).SetValue("k").SetInteriorColor(tint);
        switch (k.kind) {
          case Kind::ReadOnly: kindStyle.SetReadOnly(TRUE); break;
          case Kind::Disabled: kindStyle.SetEnabled(FALSE); break;
          case Kind::Static: kindStyle.SetControl(GX_IDS_CTRL_STATIC); break;
          case Kind::CheckBox: kindStyle.SetControl(GX_IDS_CTRL_CHECKBOX).SetValue("1"); break;
          case Kind::Refused: g->refusedRow = 2, g->refusedCol = 2; break;
          case Kind::Edit: break;
        }
        g->SetStyleRange(CGXRange(2, 2), kindStyle);
        const std::string kindValue(kindStyle.GetValue());
        ClearUndo(g);
        ::SetFocus(*g);
        // Alone: the cell is current (a disabled cell cannot be: it is the selection, the current cell an empty
        // one); in a range: the edit cell is current and both are selected.
        if (scope == Scope::Range) {
          Select(g, CGXRange(2, 1, 2, 2));
          ASSERT_TRUE(g->MoveCurrentCellTo(2, 1, GX_UPDATENOW));
        } else if (k.kind == Kind::Disabled) {
          Select(g, CGXRange(2, 2));
          ASSERT_TRUE(g->MoveCurrentCellTo(4, 3, GX_UPDATENOW));
        } else {
          ASSERT_TRUE(g->MoveCurrentCellTo(2, 2, GX_UPDATENOW));
        }
        Pump();
        auto* fill = dynamic_cast<CGXExcelLikeFillImp*>(g->GetExcelLikeFillImp());
        ASSERT_NE(fill, nullptr);
        switch (op.op) {
          case Op::Delete: Key(VK_DELETE); break;
          case Op::CtrlDelete: Chord(VK_CONTROL, VK_DELETE); break;
          case Op::CtrlX: Chord(VK_CONTROL, 'X'); break;
          case Op::ShiftDelete: Chord(VK_SHIFT, VK_DELETE); break;
          case Op::FillShrunk: fill->FillCells(g, CGXRange(1, 2, 2, 2), CGXRange(1, 2, 1, 2)); break;
          case Op::FillEmpty: fill->FillCells(g, CGXRange(3, 2), CGXRange(2, 2, 3, 2)); break;
          case Op::PasteEmpty: {
            // An empty field for the cell, then a text for the cell right of it: the paste goes on past it.
            const std::string text("\tz", 3);
            const CGXRange target(2, 2, 2, 3);
            GXForwardArgs paste;
            paste.v = {reinterpret_cast<DWORD_PTR>(text.c_str()), text.size() + 1,
                       reinterpret_cast<DWORD_PTR>(&target)};
            g->TextExchangeForward2(paste);
            EXPECT_EQ(Value(g, 2, 3), "z");
            break;
          }
          case Op::PasteEmptyStyles: {
            // The styles of an empty cell and of one holding "z", copied and pasted over the cell and its right.
            g->SetCellValue(3, 3, "z");
            ClearUndo(g);
            PasteStyles(g, CGXRange(3, 2, 3, 3), CGXRange(2, 2, 2, 3));
            EXPECT_EQ(Value(g, 2, 3), "z");
            break;
          }
          case Op::CutMoved:
            // The cut cells wait for the paste, which moves them to row 4.
            g->GetParam()->m_bDirectCutPaste = TRUE;
            Chord(VK_CONTROL, 'X');
            g->GetParam()->GetSelection().DeleteAll();
            ASSERT_TRUE(g->MoveCurrentCellTo(4, 1, GX_UPDATENOW));
            Chord(VK_CONTROL, 'V');
            EXPECT_EQ(Value(g, 4, 1), "e");
            EXPECT_EQ(Value(g, 4, 2), kindValue);
            break;
          case Op::ReplaceAllEmpty: {
            // Down the column from the cell above: the cell's whole text replaced by nothing empties it.
            ASSERT_TRUE(g->MoveCurrentCellTo(1, 2, GX_UPDATENOW));
            plat::ClearShownLog();
            GXForwardArgs replace;
            replace.v = {reinterpret_cast<DWORD_PTR>("k"), reinterpret_cast<DWORD_PTR>(""), FALSE};
            g->FindReplaceForward6(replace);
            break;
          }
        }
        const bool cleared = k.kind == Kind::Edit;
        const bool rangeCleared = scope == Scope::Range;  // the edit cell of the range
        EXPECT_EQ(Value(g, 2, 2), cleared ? "" : kindValue);
        EXPECT_EQ(styleOf(g, 2, 2).GetInterior().GetColor() == tint, !(cleared && op.clearsStyle));
        if (!cleared) {
          EXPECT_EQ(styleOf(g, 2, 2).GetControl(), kindStyle.GetControl());
        }
        EXPECT_EQ(Value(g, 2, 1), rangeCleared ? "" : "e");
        EXPECT_EQ(styleOf(g, 2, 1).GetInterior().GetColor() == tint, !(rangeCleared && op.clearsStyle));
        // A cut copies the whole range, also what it may not clear (a read-only cell alone is not cut).
        if (cut && !(scope == Scope::Alone && k.kind == Kind::ReadOnly)) {
          EXPECT_NE(cliptest::Text().find(kindValue), std::string::npos) << cliptest::Text();
          if (scope == Scope::Range) {
            EXPECT_EQ(cliptest::Text().find('e'), 0u) << cliptest::Text();
          }
        }
        // One undo step when anything was cleared, none otherwise; it gives back exactly what was.
        const bool paste = op.op == Op::PasteEmpty || op.op == Op::PasteEmptyStyles;
        // A kept cell that the replacement found says why it kept its value (a check box holds no "k").
        if (op.op == Op::ReplaceAllEmpty && !cleared && k.kind != Kind::CheckBox) {
          const auto& shown = plat::ShownLog();
          const std::string kept(gx::LoadGridString(GX_IDS_REPLACE_KEPT).GetString());
          EXPECT_TRUE(std::any_of(shown.begin(), shown.end(), [&](const auto& s) { return s.request.text == kept; }));
        }
        EXPECT_EQ(Undos(g), paste || cleared || rangeCleared ? 1 : 0);
        Chord(VK_CONTROL, 'Z');
        if (op.op == Op::CutMoved) {
          EXPECT_EQ(Value(g, 4, 1), "");
          EXPECT_EQ(Value(g, 4, 2), "");
        }
        EXPECT_EQ(Value(g, 2, 2), kindValue);
        EXPECT_EQ(Value(g, 2, 1), "e");
        EXPECT_EQ(styleOf(g, 2, 2).GetInterior().GetColor(), tint);
        EXPECT_EQ(styleOf(g, 2, 1).GetInterior().GetColor(), tint);
        EXPECT_EQ(styleOf(g, 2, 2).GetControl(), kindStyle.GetControl());
        EXPECT_EQ(styleOf(g, 2, 2).GetReadOnly(), kindStyle.GetReadOnly());
      }
    }
  }
}

// Every other change the user makes to cells follows the rule of typing: a read-only or disabled cell keeps its
// value and style under a paste of a text, of styles or of cells copied or cut in the grid, a fill of values or
// styles, Replace and Replace All. A paste that would give such a cell a value is refused whole with a message (a
// cell pasted over with an empty one is passed over); a fill and a replacement leave the cell and change the
// others, and Replace All says why at the end. Undo gives back exactly what was changed, and redo makes it again.
TEST_F(ClearRuleTest, NoChangeReachesACellTheUserMayNotChange) {
  enum class Kind { Edit, ReadOnly, Disabled };
  enum class Op { PasteText, PasteStyles, FillValues, FillStyles, ReplaceAll, Replace, Copied, Cut, CutEmpty };
  const struct KindCase {
    Kind kind;
    const char* name;
  } kinds[] = {{Kind::Edit, "edit"}, {Kind::ReadOnly, "read-only edit"}, {Kind::Disabled, "disabled edit"}};
  const struct OpCase {
    Op op;
    const char* name;
    bool refused;           // the whole paste is refused over a cell that may not be changed
    const char* edited;     // what an edit cell holds after it
    const char* companion;  // what the edit cell below it holds after it, where it is not refused
  } ops[] = {{Op::PasteText, "paste of a text", true, "x", "y"},
             {Op::PasteStyles, "paste of styles", true, "x", "y"},
             {Op::FillValues, "fill of values", false, "x", "x"},
             {Op::FillStyles, "fill of styles", false, "x", "x"},
             {Op::ReplaceAll, "Replace All", false, "x", "x"},
             {Op::Replace, "Replace", false, "x", "x"},
             {Op::Copied, "paste of copied cells", true, "x", "y"},
             {Op::Cut, "paste of cut cells", true, "x", "y"},
             {Op::CutEmpty, "paste of cut cells, the cell's empty", false, "", "y"}};
  const COLORREF tint = RGB(255, 255, 160);
  for (const OpCase& op : ops) {
    for (const KindCase& k : kinds) {
      // A disabled cell never becomes current: Replace, which works on the current cell, does not reach it.
      if (op.op == Op::Replace && k.kind == Kind::Disabled) continue;
      SCOPED_TRACE(std::string(op.name) + ", " + k.name);
      plat::Clipboard::Instance().Reset();
      plat::ClearShownLog();
      Automate();
      auto* g = MakeGrid<RefusingGrid>(4, 3);
      UseWindowlessEditStandIn(g);
      g->m_nClipboardFlags = 0x0008 | 0x0010;
      g->GetParam()->m_bFillEnabled = op.op == Op::FillStyles ? 3 : 1;
      g->GetParam()->m_bDirectCopyPaste = g->GetParam()->m_bDirectCutPaste = TRUE;
      // The cell of the kind tried at (2, 2), tinted, over an edit cell (3, 2); both hold "k". The block the
      // pastes take, (2, 3) over (3, 3), holds "x" over "y"; the fill's source is (1, 2), "x".
      CGXStyle kindStyle;
      kindStyle.SetControl(GX_IDS_CTRL_EDIT).SetValue("k").SetInteriorColor(tint);
      if (k.kind == Kind::ReadOnly) kindStyle.SetReadOnly(TRUE);
      if (k.kind == Kind::Disabled) kindStyle.SetEnabled(FALSE);
      g->SetStyleRange(CGXRange(2, 2), kindStyle);
      g->SetCellValue(3, 2, "k");
      g->SetCellValue(1, 2, "x");
      g->SetStyleRange(CGXRange(2, 3), CGXStyle().SetValue(op.op == Op::CutEmpty ? "" : "x"));
      g->SetCellValue(3, 3, "y");
      ClearUndo(g);
      ::SetFocus(*g);
      ASSERT_TRUE(g->MoveCurrentCellTo(1, 2, GX_UPDATENOW));
      Pump();
      const CGXRange block(2, 3, 3, 3);
      switch (op.op) {
        case Op::PasteText: {
          const std::string text("x\r\ny");
          const CGXRange target(2, 2, 3, 2);
          GXForwardArgs paste;
          paste.v = {reinterpret_cast<DWORD_PTR>(text.c_str()), text.size() + 1,
                     reinterpret_cast<DWORD_PTR>(&target)};
          g->TextExchangeForward2(paste);
          break;
        }
        case Op::PasteStyles: {
          PasteStyles(g, block, CGXRange(2, 2, 3, 2));
          break;
        }
        case Op::FillValues:
        case Op::FillStyles: {
          auto* fill = dynamic_cast<CGXExcelLikeFillImp*>(g->GetExcelLikeFillImp());
          ASSERT_NE(fill, nullptr);
          fill->FillCells(g, CGXRange(1, 2), CGXRange(1, 2, 3, 2));
          break;
        }
        case Op::ReplaceAll:
        case Op::Replace: {
          // Down the column from the cell above; Replace pressed until it reached the edit cell below.
          GXForwardArgs replace;
          if (op.op == Op::ReplaceAll) {
            replace.v = {reinterpret_cast<DWORD_PTR>("k"), reinterpret_cast<DWORD_PTR>("x"), FALSE};
            g->FindReplaceForward6(replace);
          } else {
            replace.v = {reinterpret_cast<DWORD_PTR>("k"), TRUE, FALSE, reinterpret_cast<DWORD_PTR>("x")};
            for (int press = 0; press < 3; ++press) g->FindReplaceForward5(replace);
            ASSERT_TRUE(g->MoveCurrentCellTo(1, 1, GX_UPDATENOW));
          }
          break;
        }
        case Op::Copied:
        case Op::Cut:
        case Op::CutEmpty:
          // The cells copied (cut) wait for the paste, which copies (moves) them onto (2, 2).
          Select(g, block);
          ASSERT_TRUE(g->MoveCurrentCellTo(2, 3, GX_UPDATENOW));
          Chord(VK_CONTROL, op.op == Op::Copied ? 'C' : 'X');
          g->GetParam()->GetSelection().DeleteAll();
          ClearUndo(g);
          ASSERT_TRUE(g->MoveCurrentCellTo(1, 1, GX_UPDATENOW));
          {
            CGXRange target(2, 2);
            GXForwardArgs paste;
            paste.v = {reinterpret_cast<DWORD_PTR>(&target)};
            g->CutPasteForward11(paste);
          }
          break;
      }
      const bool kept = k.kind != Kind::Edit, refused = kept && op.refused;
      CGXStyle style;
      g->ComposeCellStyle(2, 2, style);
      EXPECT_EQ(Value(g, 2, 2), kept ? "k" : op.edited);
      EXPECT_EQ(Value(g, 3, 2), refused ? "k" : op.companion);
      if (kept) {
        EXPECT_EQ(style.GetInterior().GetColor(), tint);
        EXPECT_EQ(style.GetReadOnly(), kindStyle.GetReadOnly());
        EXPECT_EQ(gx::StyleDisabled(style), k.kind == Kind::Disabled);
      }
      // A refused paste and a replacement kept out say why.
      const UINT message = refused                                ? GX_IDS_PASTE_UNCHANGEABLE
                           : kept && op.op == Op::ReplaceAll ? GX_IDS_REPLACE_UNCHANGEABLE
                                                             : 0;
      const auto& shown = plat::ShownLog();
      const std::string why(message ? gx::LoadGridString(message).GetString() : "");
      EXPECT_EQ(std::count_if(shown.begin(), shown.end(), [&](const auto& s) { return s.request.text == why; }),
                message ? 1 : 0);
      // One undo step, none for a refused paste; a replacement outside the dialog is a step per cell.
      const bool replace = op.op == Op::ReplaceAll || op.op == Op::Replace;
      const INT_PTR steps = refused ? 0 : replace && !kept ? 2 : 1;
      EXPECT_EQ(Undos(g), steps);
      const std::string after = Values(g, 1, 2, 3, 3);
      for (INT_PTR step = 0; step < steps; ++step) Chord(VK_CONTROL, 'Z');
      EXPECT_EQ(Values(g, 1, 2, 3, 3), std::string("x,|k,") + (op.op == Op::CutEmpty ? "" : "x") + "|k,y");
      g->ComposeCellStyle(2, 2, style);
      EXPECT_EQ(style.GetInterior().GetColor(), tint);
      EXPECT_EQ(style.GetReadOnly(), kindStyle.GetReadOnly());
      EXPECT_EQ(gx::StyleDisabled(style), k.kind == Kind::Disabled);
      // Redo makes it again, the kept cell as it is.
      for (INT_PTR step = 0; step < steps; ++step) Chord(VK_CONTROL, 'R');
      EXPECT_EQ(Values(g, 1, 2, 3, 3), after);
      EXPECT_EQ(g->CanChangeCell(2, 2), !kept);
    }
  }
}

}  // namespace
