// Engine tests: the effective style of a cell, storing styles into ranges (with undo recording through a
// recording command factory), value texts, base styles, registered controls and the long-operation scope.
#include <memory>
#include <string>
#include <vector>

#include "grid/controls/CGXControl.h"
#include "grid/core/CGXData.h"
#include "grid/core/CGXLongOperation.h"
#include "grid/core/CGXStylesMap.h"
#include "grid/core/tests/enginetest.h"
#include "platform/base/CException.h"
#include "platform/base/CObArray.h"
#include "platform/base/VirtualClock.h"
#include "platform/window/AutomationProvider.h"

namespace enginetest {
namespace {

using StyleTest = EngineTest;

// A stand-in for the command factory's own undo record.
class UndoRecord : public CObject {};

// Records the undo plumbing the engine reaches through the command factory.
struct RecordingFactory : CGXCommandFactory {
  BOOL EnableDataUndoRecording(CGXGridCore*, BOOL enable) override {
    log.push_back(std::string("record:") + (enable ? "on" : "off"));
    const BOOL old = recording;
    recording = enable;
    return old;
  }
  CObject* DetachDataUndoInfo(CGXGridCore*) override {
    log.push_back("detach");
    return extra ? new UndoRecord : nullptr;
  }
  BOOL ApplyDataUndoInfo(CGXGridCore*, CObject* info, DWORD_PTR notRollback, DWORD_PTR) override {
    log.push_back(std::string("apply:") + (info ? "record" : "null") + ":" + std::to_string(notRollback));
    return FALSE;
  }
  void DiscardDataUndoInfo(CGXGridCore*) override { log.push_back("discard"); }
  void RestoreCurrentCell(CGXGridCore*, ROWCOL row, ROWCOL col, BOOL moveGrid) override {
    log.push_back("moveto:" + std::to_string(row) + "," + std::to_string(col) + "," + std::to_string(moveGrid));
  }
  std::vector<std::string> log;
  BOOL recording = TRUE;
  BOOL extra = FALSE;
};

CGXStyle Valued(const char* value) {
  CGXStyle s;
  s.SetValue(value);
  return s;
}

// A style that lives to the end of the full expression.
const CGXStyle* Ptr(const CGXStyle& s) { return &s; }



TEST_F(StyleTest, HeaderLabelsAreLettersAndNumbersUnlessTheHeaderHasAValue) {
  CGXGridWnd* g = MakeGrid(5, 60);
  EXPECT_EQ(g->GetCellValue(0, 1), "A");
  EXPECT_EQ(g->GetCellValue(0, 26), "Z");
  EXPECT_EQ(g->GetCellValue(0, 27), "AA");
  EXPECT_EQ(g->GetCellValue(0, 52), "AZ");
  EXPECT_EQ(g->GetCellValue(0, 53), "BA");
  EXPECT_EQ(g->GetCellValue(5, 0), "5");
  EXPECT_EQ(g->GetCellValue(0, 0), "");
  CGXStyle rowHeader;
  g->ComposeCellStyle(5, 0, rowHeader, TRUE);
  EXPECT_EQ(rowHeader.GetValueType(), 1);  // numeric
  g->SetStyleRange(CGXRange(0, 3), Valued("Net"));
  EXPECT_EQ(g->GetCellValue(0, 3), "Net");
  g->GetParam()->m_bLetterCols = FALSE;
  g->GetParam()->m_bNumberRows = FALSE;
  EXPECT_EQ(g->GetCellValue(0, 2), "");
  EXPECT_EQ(g->GetCellValue(4, 0), "");
}

TEST_F(StyleTest, TheCellWinsThenItsRowThenItsColumnThenTheTable) {
  CGXGridWnd* g = MakeGrid(5, 5);
  CGXStyle table, col, row;
  table.SetValue("table").SetTextColor(RGB(1, 0, 0)).SetInteriorColor(RGB(1, 1, 1)).SetMaxLength(7);
  col.SetValue("col").SetTextColor(RGB(2, 0, 0)).SetInteriorColor(RGB(2, 2, 2));
  row.SetValue("row").SetTextColor(RGB(3, 0, 0));
  g->SetStyleRange(CGXRange().AssignTable(), table);
  g->SetStyleRange(CGXRange().AssignCols(2, 2), col);
  g->SetStyleRange(CGXRange().AssignRows(3, 3), row);
  g->SetStyleRange(CGXRange(3, 2), Valued("cell"));
  CGXStyle s;
  g->ComposeCellStyle(3, 2, s, TRUE);
  EXPECT_EQ(s.GetValue(), "cell");
  EXPECT_EQ(s.GetTextColor(), RGB(3, 0, 0));           // row before column
  EXPECT_EQ(s.GetInterior().GetColor(), RGB(2, 2, 2));  // column before table
  EXPECT_EQ(s.GetMaxLength(), 7);                       // the table last
  // A column header takes the table's base style, not its column's; a row header not its row's.
  EXPECT_EQ(g->GetCellValue(0, 2), "table");
  CGXStyle colHeader, rowHeader, corner;
  g->ComposeCellStyle(0, 2, colHeader, FALSE);
  g->ComposeCellStyle(3, 0, rowHeader, FALSE);
  g->ComposeCellStyle(0, 0, corner, FALSE);
  EXPECT_EQ(colHeader.GetMaxLength(), 7);
  EXPECT_NE(colHeader.GetTextColor(), RGB(2, 0, 0));
  EXPECT_EQ(rowHeader.GetMaxLength(), 7);
  EXPECT_NE(rowHeader.GetTextColor(), RGB(3, 0, 0));
  EXPECT_FALSE(corner.IsIncluded(GX_IN_MAXLENGTH));
  // Header cells take the header base styles: the row header's control is the header control.
  EXPECT_TRUE(rowHeader.IsIncluded(GX_IN_CONTROLID));
}

TEST_F(StyleTest, NegativeNumbersTakeTheColourOfTheUserAttribute) {
  CGXGridWnd* g = MakeGrid(5, 5);
  CGXStyle s;
  s.SetUserAttribute(52797, "255").SetTextColor(RGB(0, 0, 9));
  g->SetStyleRange(CGXRange().AssignTable(), s);
  const char* values[] = {"-3.5", "0", "-0", "abc", "12"};
  const COLORREF expected[] = {RGB(255, 0, 0), RGB(0, 0, 9), RGB(0, 0, 9), RGB(0, 0, 9), RGB(0, 0, 9)};
  for (int i = 0; i < 5; ++i) {
    g->SetCellValue(1, 1, values[i]);
    CGXStyle composed;
    g->ComposeCellStyle(1, 1, composed, TRUE);
    EXPECT_EQ(composed.GetTextColor(), expected[i]) << values[i];
  }
}

TEST_F(StyleTest, RowColumnAndTableRangesGoToBaseStylesWhateverTheirBounds) {
  CGXGridWnd* g = MakeGrid(4, 3);
  const CGXRange table = CGXRange().AssignTable();
  g->SetRowCount(20, 0);  // the range object was made before the rows were added
  CGXStyle tint;
  tint.SetInteriorColor(RGB(9, 9, 9));
  EXPECT_TRUE(g->SetStyleRange(table, tint));
  CGXStyle s;
  g->ComposeCellStyle(20, 3, s, TRUE);
  EXPECT_EQ(s.GetInterior().GetColor(), RGB(9, 9, 9));
  // A whole row is stored as the row's base style, not per cell.
  EXPECT_TRUE(g->SetStyleRange(CGXRange().AssignRows(2, 2), Valued("r")));
  CGXStyle stored;
  EXPECT_TRUE(g->ReadStoredStyle(2, 0, stored, gxCopy, GX_BASESTYLE));
  EXPECT_FALSE(g->ReadStoredStyle(2, 1, stored, gxCopy, 0));
  EXPECT_EQ(g->GetCellValue(2, 3), "r");
  // Cell ranges past the counts stop at the last row and column.
  EXPECT_TRUE(g->SetStyleRange(CGXRange(19, 2, 500, 500), Valued("x")));
  EXPECT_EQ(g->GetCellValue(20, 3), "x");
  EXPECT_EQ(g->GetRowCount(), 20u);
}

TEST_F(StyleTest, CellValuesAreReturnedByValueAndNeverTakenFromBaseStylesOverTheCell) {
  CGXGridWnd* g = MakeGrid(4, 3);
  g->SetStyleRange(CGXRange().AssignRows(1, 1), Valued("row"));
  g->SetCellValue(1, 1, "a");
  // Two values in one expression: the first is not overwritten by the second.
  EXPECT_EQ(g->GetCellValue(1, 1) + "|" + g->GetCellValue(1, 2), "a|row");
  const CString keep = g->GetCellValue(1, 1);
  g->GetCellValue(1, 2);
  EXPECT_EQ(keep, "a");
  // The stored value ignores base styles.
  EXPECT_EQ(g->GetStoredCellValue(1, 2), "");
  EXPECT_EQ(g->GetStoredCellValue(1, 1), "a");
}

TEST_F(StyleTest, AValueTextNeverShowsThePreviousCellsBaseStyle) {
  CGXGridWnd* g = MakeGrid(5, 5);
  CGXStyle base = Valued("from-base");
  const WORD id = g->GetStylesMap()->RegisterStyle("Value Source", base);
  CGXStyle named;
  named.SetBaseStyle(id);
  g->SetStyleRange(CGXRange(1, 1), named);
  EXPECT_EQ(g->GetCellValue(1, 1), "from-base");
  EXPECT_EQ(g->GetCellValue(1, 2), "");  // nothing stored for this cell
  // The same through a row's base style naming it, and the stored value of a cell without one.
  g->SetStyleRange(CGXRange().AssignRows(3, 3), named);
  EXPECT_EQ(g->GetCellValue(3, 4), "from-base");
  EXPECT_EQ(g->GetCellValue(4, 4), "");
  g->SetCellValue(2, 2, "own");
  EXPECT_EQ(g->GetStoredCellValue(2, 2), "own");
  EXPECT_EQ(g->GetStoredCellValue(2, 3), "");
}

// Fails the first stored-style read it is asked for.
class FailingReadGrid : public CGXGridWnd {
 public:
  BOOL ReadStoredStyle(ROWCOL r, ROWCOL c, CGXStyle& style, int mode, int type) const override {
    if (failNext) {
      failNext = FALSE;
      AfxThrowResourceException();
    }
    return CGXGridWnd::ReadStoredStyle(r, c, style, mode, type);
  }
  mutable BOOL failNext = FALSE;
};

TEST_F(StyleTest, AThrowingReadDoesNotLeaveCompositionStoppingAtTheValue) {
  auto* g = MakeGrid<FailingReadGrid>(4, 3);
  CGXStyle row;
  row.SetTextColor(RGB(9, 0, 0));
  g->SetStyleRange(CGXRange().AssignRows(2, 2), row);
  g->SetCellValue(2, 2, "v");
  g->failNext = TRUE;
  EXPECT_TRUE(Throws<CResourceException>([&] { g->GetCellValue(2, 2); }));
  // A value-only flag left set would stop this composition at the cell's own value.
  CGXStyle s;
  g->ComposeCellStyle(2, 2, s, TRUE);
  ASSERT_TRUE(s.IsIncluded(GX_IN_TEXTCOLOR));
  EXPECT_EQ(s.GetTextColor(), RGB(9, 0, 0));
}

TEST_F(StyleTest, AControlIsOwnedOnceWhateverTheRegistrations) {
  CGXGridWnd* g = MakeGrid(5, 5);
  auto* c = new CGXStatic(g);
  g->AddCellControl(30001, c, FALSE);
  // The same object again under its id: kept (replacing it would free what is being stored).
  g->AddCellControl(30001, c, TRUE);
  ASSERT_EQ(g->ControlForId(30001), c);
  EXPECT_FALSE(c->GetEditingState());
  EXPECT_EQ(g->ControlForId(0), c);  // made the default this time
  // Under a second id it would be deleted twice: refused, the first registration stands.
  EXPECT_TRUE(Throws<CInvalidArgException>([&] { g->AddCellControl(30002, c, FALSE); }));
  EXPECT_EQ(g->ControlForId(30001), c);
  EXPECT_NE(g->ControlForId(30002), nullptr);  // the default control: nothing stored under the id
  // Replacing with another object still frees the old one (ASan would report a leak or a double free).
  auto* d = new CGXStatic(g);
  g->AddCellControl(30001, d, FALSE);
  EXPECT_EQ(g->ControlForId(30001), d);
}

TEST_F(StyleTest, AStylesArrayStoresPerCellAndANullElementDeletes) {
  CGXGridWnd* g = MakeGrid(4, 3);
  for (ROWCOL c = 1; c <= 3; ++c) g->SetCellValue(2, c, "old");
  CGXStyle n1 = Valued("n1");
  CObArray styles;
  styles.Add(&n1);
  styles.Add(nullptr);
  // A 1 x 3 range with two elements: the third cell keeps what it has.
  EXPECT_TRUE(g->ApplyStyleToRange(CGXRange(2, 1, 2, 3), nullptr, gxCopy, 0, &styles));
  EXPECT_EQ(g->GetCellValue(2, 1), "n1");
  CGXStyle stored;
  EXPECT_FALSE(g->ReadStoredStyle(2, 2, stored, gxCopy, 0));
  EXPECT_EQ(g->GetCellValue(2, 3), "old");
}

TEST_F(StyleTest, UndoRecordingGoesThroughTheCommandFactory) {
  CGXGridWnd* g = MakeGrid(4, 3);
  auto* f = new RecordingFactory;
  g->SetFeature(f);
  f->extra = TRUE;
  EXPECT_TRUE(g->ApplyStyleToRange(CGXRange(1, 1, 2, 2), Ptr(Valued("v")), gxOverride, 0, nullptr, 0, 0));
  EXPECT_EQ(f->log, (std::vector<std::string>{"record:on", "record:on", "detach", "record:on"}));
  EXPECT_TRUE(f->recording);
  // A rollback records nothing; an undo moves to the range's top-left cell.
  f->log.clear();
  EXPECT_TRUE(g->ApplyStyleToRange(CGXRange(2, 2, 3, 3), Ptr(Valued("w")), gxOverride, 0, nullptr, 0, 1));
  EXPECT_EQ(f->log, (std::vector<std::string>{"record:off", "record:on", "record:on"}));
  f->log.clear();
  EXPECT_TRUE(g->ApplyStyleToRange(CGXRange(2, 2, 3, 3), Ptr(Valued("u")), gxOverride, 0, nullptr, 0, 2));
  EXPECT_EQ(f->log.back(), "record:on");
  EXPECT_NE(std::find(f->log.begin(), f->log.end(), "moveto:2,2,1"), f->log.end());
  // An extra element behind the styles is the factory's undo record.
  f->log.clear();
  CGXStyle one = Valued("1");
  UndoRecord record;
  CObArray styles;
  styles.Add(&one);
  styles.Add(&record);
  g->ApplyStyleToRange(CGXRange(1, 1), nullptr, gxCopy, 0, &styles, 0, 3);
  EXPECT_NE(std::find(f->log.begin(), f->log.end(), "apply:record:1"), f->log.end());
  // Nothing changed (a range beyond the counts): the pending command state is dropped.
  f->log.clear();
  EXPECT_FALSE(g->ApplyStyleToRange(CGXRange(9, 9), Ptr(Valued("none")), gxOverride, 0, nullptr, 0, 0));
  EXPECT_NE(std::find(f->log.begin(), f->log.end(), "discard"), f->log.end());
  EXPECT_EQ(g->GetCellValue(1, 1), "1");
}

TEST_F(StyleTest, ALockedGridRefusesBeforeAskingCopyingOrRecording) {
  CGXGridWnd* g = MakeGrid(4, 2);
  g->SetRowCount(40000, 0);
  auto* f = new RecordingFactory;
  g->SetFeature(f);
  plat::ScriptedAutomation automation;
  plat::SetAutomationProvider(&automation);
  plat::ClearShownLog();
  automation.Reply(plat::SystemUiKind::MessageBox, {IDOK, {}, 0}, {}, true);
  g->SetReadOnly(TRUE);
  ASSERT_TRUE(g->IsLocked());
  EXPECT_FALSE(g->ApplyStyleToRange(CGXRange(1, 1, 40000, 1), Ptr(Valued("big")), gxOverride));
  EXPECT_FALSE(g->ApplyStyleToRange(CGXRange(1, 1), Ptr(Valued("small")), gxOverride));
  EXPECT_TRUE(plat::ShownLog().empty());
  EXPECT_TRUE(f->log.empty());  // no undo copy, no recording switch, no discarded record of another command
  EXPECT_EQ(g->GetCellValue(1, 1), "");
  plat::SetAutomationProvider(nullptr);
  plat::ClearShownLog();
}

TEST_F(StyleTest, ARangeWithoutUndoCopyLeavesNoDataRecordPending) {
  CGXGridWnd* g = MakeGrid(4, 2);
  g->SetRowCount(40000, 0);
  auto* f = new RecordingFactory;
  g->SetFeature(f);
  plat::ScriptedAutomation automation;
  plat::SetAutomationProvider(&automation);
  automation.Reply(plat::SystemUiKind::MessageBox, {IDOK, {}, 0});
  // Too large and answered OK: no undo copy, so nested stores must not record (their record would be
  // handed to the next command); recording is switched off and given back afterwards.
  EXPECT_TRUE(g->ApplyStyleToRange(CGXRange(1, 1, 40000, 1), Ptr(Valued("big")), gxOverride));
  EXPECT_EQ(f->log, (std::vector<std::string>{"record:off", "record:on", "record:on"}));
  EXPECT_TRUE(f->recording);
  plat::SetAutomationProvider(nullptr);
  plat::ClearShownLog();
}

// The command factory's style commands: each command owns what it is handed, as the real ones do; the
// factory keeps the commands it added (or returns none when `refuse` is set).
struct OwnedArray : CObject {
  explicit OwnedArray(CObArray* a) : array(a) {}
  ~OwnedArray() override {
    for (INT_PTR i = 0; i < array->GetSize(); ++i) delete array->GetAt(i);
    delete array;
  }
  CObArray* array;
};
struct StyleRangeCmd : OwnedArray {
  StyleRangeCmd(const CGXRange& r, int t, CObArray* a) : OwnedArray(a), range(r), type(t) {}
  CGXRange range;
  int type;
};
struct StylesMapCmd : CObject {
  StylesMapCmd(CGXStylesMap* m, int t) : map(m), commandType(t) {}
  std::unique_ptr<CGXStylesMap> map;
  int commandType;
};
struct PropertiesCmd : CObject {
  explicit PropertiesCmd(CGXProperties* p) : properties(p) {}
  std::unique_ptr<CGXProperties> properties;
};
struct BaseStyleCmd : CObject {
  BaseStyleCmd(WORD i, CGXStyle* s, const CString& n) : id(i), style(s), name(n) {}
  WORD id;
  std::unique_ptr<CGXStyle> style;
  CString name;
};

struct StyleCommandFactory : RecordingFactory {
  CObject* CreateSetStyleRangeCmd(const CGXRange& range, int type, CObArray* old) override {
    ++created;
    return refuse ? nullptr : new StyleRangeCmd(range, type, old);
  }
  CObject* CreateChangeStylesMapCmd(CGXStylesMap* old, int commandType) override {
    ++created;
    return refuse ? nullptr : new StylesMapCmd(old, commandType);
  }
  CObject* CreateChangePropertiesCmd(CGXProperties* old, int) override {
    ++created;
    return refuse ? nullptr : new PropertiesCmd(old);
  }
  CObject* CreateChangeBaseStyleCmd(WORD id, CGXStyle* old, const CString& name, int) override {
    ++created;
    return refuse ? nullptr : new BaseStyleCmd(id, old, name);
  }
  void AddCommand(CGXGridCore*, CObject* command, int commandType) override {
    types.push_back(commandType);
    commands.emplace_back(command);
  }
  template <class T>
  T* Last() const {
    return commands.empty() ? nullptr : dynamic_cast<T*>(commands.back().get());
  }
  std::vector<std::unique_ptr<CObject>> commands;
  std::vector<int> types;
  int created = 0;
  BOOL refuse = FALSE;
};

TEST_F(StyleTest, TheSetStyleRangeCommandOwnsTheOldStylesAndUndoesTheChange) {
  CGXGridWnd* g = MakeGrid(4, 3);
  g->SetCellValue(1, 2, "old");
  auto* f = new StyleCommandFactory;
  g->SetFeature(f);
  f->extra = TRUE;
  ASSERT_TRUE(g->ApplyStyleToRange(CGXRange(1, 1, 2, 2), Ptr(Valued("new")), gxOverride, 0, nullptr, 0, 0));
  auto* cmd = f->Last<StyleRangeCmd>();
  ASSERT_NE(cmd, nullptr);
  EXPECT_EQ(f->types, std::vector<int>{0});
  EXPECT_EQ(cmd->range, CGXRange(1, 1, 2, 2));
  EXPECT_EQ(cmd->type, g->m_nDefaultStorageType);  // type 0 records the grid's default storage type
  // Row-major old styles (null where nothing was stored), then the data object's record.
  ASSERT_EQ(cmd->array->GetSize(), 5);
  EXPECT_EQ(cmd->array->GetAt(0), nullptr);
  auto* oldCell = dynamic_cast<CGXStyle*>(cmd->array->GetAt(1));
  ASSERT_NE(oldCell, nullptr);
  EXPECT_EQ(oldCell->GetValue(), "old");
  EXPECT_NE(dynamic_cast<UndoRecord*>(cmd->array->GetAt(4)), nullptr);
  // Undoing applies the old styles with command type 2: the cells come back, and the undo is recorded too.
  ASSERT_TRUE(g->ApplyStyleToRange(cmd->range, nullptr, gxCopy, cmd->type, cmd->array, 0, 2));
  EXPECT_EQ(g->GetCellValue(1, 2), "old");
  EXPECT_EQ(g->GetCellValue(1, 1), "");
  EXPECT_EQ(f->types, (std::vector<int>{0, 2}));
  EXPECT_EQ(f->Last<StyleRangeCmd>()->array->GetSize(), 5);
  EXPECT_EQ(dynamic_cast<CGXStyle*>(f->Last<StyleRangeCmd>()->array->GetAt(1))->GetValue(), "new");
  // Whole rows record their base styles.
  g->ApplyStyleToRange(CGXRange().AssignRows(3, 3), Ptr(Valued("r")), gxOverride, 0, nullptr, 0, 0);
  EXPECT_EQ(f->Last<StyleRangeCmd>()->type, -1);
}

TEST_F(StyleTest, NoStyleCommandWithoutUndoAndNoLeakWhenTheFactoryMakesNone) {
  CGXGridWnd* g = MakeGrid(4, 3);
  const WORD standard = g->GetStylesMap()->GetStandardStyle();
  auto* f = new StyleCommandFactory;
  g->SetFeature(f);
  CGXStyle tint;
  tint.SetInteriorColor(RGB(1, 1, 1));
  auto everything = [&](int commandType) {
    EXPECT_TRUE(g->ApplyStyleToRange(CGXRange(1, 1, 2, 3), Ptr(Valued("x")), gxOverride, 0, nullptr, 0,
                                     commandType));
    EXPECT_TRUE(g->ReplaceStylesMap(*g->GetStylesMap(), 0, commandType));
    EXPECT_TRUE(g->ReplaceProperties(*g->GetProperties(), 0, commandType));
    EXPECT_TRUE(g->ModifyBaseStyle(standard, tint, gxOverride, 0, commandType));
  };
  // A rollback records nothing, nor does a grid with undo switched off.
  everything(1);
  g->GetParam()->m_bUndoEnabled = FALSE;
  everything(0);
  EXPECT_EQ(f->created, 0);
  // The factory makes no command: the old state is freed by the grid (the sanitizer checks it).
  g->GetParam()->m_bUndoEnabled = TRUE;
  f->extra = TRUE;
  f->refuse = TRUE;
  everything(0);
  EXPECT_EQ(f->created, 4);
  EXPECT_TRUE(f->commands.empty());
  EXPECT_EQ(g->GetCellValue(2, 3), "x");
}

TEST_F(StyleTest, ReplacingTheStylesMapPropertiesOrABaseStyleRecordsTheOldOne) {
  CGXGridWnd* g = MakeGrid(4, 3);
  const WORD standard = g->GetStylesMap()->GetStandardStyle();
  auto* f = new StyleCommandFactory;
  g->SetFeature(f);
  CGXStyle tint;
  tint.SetInteriorColor(RGB(7, 8, 9));
  const COLORREF before = g->BaseStyleById(standard).GetInterior().GetColor();
  ASSERT_TRUE(g->ModifyBaseStyle(standard, tint, gxOverride, 0, 3));
  auto* base = f->Last<BaseStyleCmd>();
  ASSERT_NE(base, nullptr);
  EXPECT_EQ(base->id, standard);
  EXPECT_EQ(base->name, "Standard");
  EXPECT_EQ(base->style->GetInterior().GetColor(), before);  // a copy taken before the change
  EXPECT_EQ(f->types.back(), 3);

  CGXStylesMap changed(*g->GetStylesMap());
  CGXStyle* std = nullptr;
  ASSERT_TRUE(changed.LookupStyle(standard, std));
  std->SetInteriorColor(RGB(1, 2, 3));
  ASSERT_TRUE(g->ReplaceStylesMap(changed, 0, 2));
  auto* map = f->Last<StylesMapCmd>();
  ASSERT_NE(map, nullptr);
  EXPECT_EQ(map->commandType, 2);
  ASSERT_TRUE(map->map->LookupStyle(standard, std));
  EXPECT_EQ(std->GetInterior().GetColor(), RGB(7, 8, 9));
  // Undo puts the old map back.
  ASSERT_TRUE(g->ReplaceStylesMap(*map->map, 0, 2));
  EXPECT_EQ(g->BaseStyleById(standard).GetInterior().GetColor(), RGB(7, 8, 9));

  CGXProperties props(*g->GetProperties());
  const int colors = props.GetColorCount();
  props.AddColorProperty("Extra", RGB(4, 4, 4));
  ASSERT_TRUE(g->ReplaceProperties(props, 0, 0));
  auto* prop = f->Last<PropertiesCmd>();
  ASSERT_NE(prop, nullptr);
  EXPECT_EQ(prop->properties->GetColorCount(), colors);
  EXPECT_EQ(g->GetProperties()->GetColorCount(), colors + 1);
}

TEST_F(StyleTest, ATooLargeRangeAsksBeforeItIsChangedWithoutUndo) {
  CGXGridWnd* g = MakeGrid(4, 2);
  g->SetRowCount(40000, 0);
  g->SetFeature(new RecordingFactory);
  plat::ScriptedAutomation automation;
  plat::SetAutomationProvider(&automation);
  automation.Reply(plat::SystemUiKind::MessageBox, {IDCANCEL, {}, 0});
  EXPECT_FALSE(g->ApplyStyleToRange(CGXRange(1, 1, 40000, 1), Ptr(Valued("big")), gxOverride));
  EXPECT_EQ(g->GetCellValue(39999, 1), "");
  ASSERT_EQ(plat::ShownLog().size(), 1u);
  EXPECT_NE(plat::ShownLog()[0].request.text.find("too large for the undo buffer"), std::string::npos);
  automation.Reply(plat::SystemUiKind::MessageBox, {IDOK, {}, 0});
  EXPECT_TRUE(g->ApplyStyleToRange(CGXRange(1, 1, 40000, 1), Ptr(Valued("big")), gxOverride));
  EXPECT_EQ(g->GetCellValue(39999, 1), "big");
  // Without undo nothing asks.
  g->GetParam()->m_bUndoEnabled = FALSE;
  EXPECT_TRUE(g->ApplyStyleToRange(CGXRange(1, 1, 40000, 1), Ptr(Valued("again")), gxOverride));
  EXPECT_EQ(plat::ShownLog().size(), 2u);
  plat::SetAutomationProvider(nullptr);
  plat::ClearShownLog();
}

// Stores like the base control and moves the clock on, so that a long operation's wait delay elapses.
class SlowControl : public CGXControl {
 public:
  using CGXControl::CGXControl;
  BOOL StoreStyle(ROWCOL r, ROWCOL c, const CGXStyle* s, int mode, int type, const CGXStyle* composed) override {
    plat::VirtualClock::Advance(400);
    return CGXControl::StoreStyle(r, c, s, mode, type, composed);
  }
};

TEST_F(StyleTest, AnAbortedRangeKeepsThePartDoneAndShowsProgress) {
  CGXGridWnd* g = MakeGrid(4, 3);
  g->AddCellControl(0x1234, new SlowControl(g));
  CGXStyle s = Valued("z");
  s.SetControl(0x1234);
  static int polls = 0;
  polls = 0;
  auto* f = new RecordingFactory;
  g->SetFeature(f);
  {
    TestLongOperation service([](CGXLongOperationScope&) -> BOOL { return ++polls == 1; });
    EXPECT_TRUE(g->ApplyStyleToRange(CGXRange(1, 1, 4, 3), &s, gxOverride));
  }
  EXPECT_EQ(polls, 1);
  // No command for the part done: the data store's record of it is discarded, not left pending.
  EXPECT_NE(std::find(f->log.begin(), f->log.end(), "discard"), f->log.end());
  EXPECT_EQ(std::find(f->log.begin(), f->log.end(), "detach"), f->log.end());
  // The first delay (750 ms) elapsed with the second cell: the cells stored until then stay changed.
  EXPECT_EQ(g->GetCellValue(1, 2), "z");
  EXPECT_EQ(g->GetCellValue(1, 3), "");
  EXPECT_EQ(CGXLongOperationScope::GetNestingLevel(), 0);
}

TEST_F(StyleTest, AStoreSetsItsStatusTextOnlyWhenItShowsProgress) {
  // The service's texts as set, and the text each poll shows.
  struct Service : TestLongOperation {
    using TestLongOperation::TestLongOperation;
    void SetStatusText(CGXLongOperationScope* scope, LPCTSTR text, BOOL copy) override {
      set.push_back(text ? text : "");
      TestLongOperation::SetStatusText(scope, text, copy);
    }
    std::vector<std::string> set;
  };
  static std::vector<std::string> shown;
  shown.clear();
  CGXGridWnd* g = MakeGrid(4, 3);
  g->AddCellControl(0x1234, new SlowControl(g));
  Service service([](CGXLongOperationScope& scope) -> BOOL {
    shown.push_back(scope.m_pszText ? scope.m_pszText : "");
    return FALSE;
  });
  // A store that ends before the first delay shows nothing and loads no text.
  ASSERT_TRUE(g->ApplyStyleToRange(CGXRange(1, 1, 2, 3), Ptr(Valued("quick")), gxOverride));
  EXPECT_TRUE(service.set.empty());
  EXPECT_TRUE(shown.empty());
  // A slow one shows its progress with its text, loaded once.
  CGXStyle slow = Valued("slow");
  slow.SetControl(0x1234);
  ASSERT_TRUE(g->ApplyStyleToRange(CGXRange(1, 1, 4, 3), &slow, gxOverride));
  EXPECT_EQ(service.set, std::vector<std::string>{"Storing cells ...."});
  ASSERT_FALSE(shown.empty());
  EXPECT_EQ(shown.front(), "Storing cells ....");
  EXPECT_EQ(g->GetCellValue(4, 3), "slow");
}

// A control that fails loudly on its second cell.
class ThrowingControl : public CGXControl {
 public:
  using CGXControl::CGXControl;
  BOOL StoreStyle(ROWCOL r, ROWCOL c, const CGXStyle* s, int mode, int type, const CGXStyle* composed) override {
    if (++calls == 2) AfxThrowResourceException();
    return CGXControl::StoreStyle(r, c, s, mode, type, composed);
  }
  int calls = 0;
};

TEST_F(StyleTest, AnExceptionFromAControlLeavesTheNestedStateRestored) {
  CGXGridWnd* g = MakeGrid(4, 3);
  auto* f = new RecordingFactory;
  g->SetFeature(f);
  g->AddCellControl(0x1235, new ThrowingControl(g));
  CGXStyle s = Valued("t");
  s.SetControl(0x1235);
  EXPECT_TRUE(Throws<CResourceException>([&] { g->ApplyStyleToRange(CGXRange(1, 1, 1, 3), &s, gxOverride); }));
  EXPECT_FALSE(g->m_bSuspendRangeNotice);
  EXPECT_TRUE(f->recording);
  EXPECT_NE(std::find(f->log.begin(), f->log.end(), "discard"), f->log.end());
  EXPECT_EQ(CGXLongOperationScope::GetNestingLevel(), 0);
}

TEST_F(StyleTest, LongOperationProgressIsClampedAndIgnoredBelowTheLevelLimit) {
  CGXLongOperationScope outer;
  SetLongOperationPercentDone(150);
  EXPECT_EQ(GetLongOperationPercentDone(), 100);
  IgnoreNestedLongOperations(TRUE);
  {
    CGXLongOperationScope inner;
    EXPECT_TRUE(IsLongOperationLevelIgnored());
    SetLongOperationPercentDone(20);
    EXPECT_EQ(GetLongOperationPercentDone(), 100);
    IgnoreNestedLongOperations(FALSE);  // an ignored level cannot lift the limit
    EXPECT_TRUE(IsLongOperationLevelIgnored());
  }
  EXPECT_FALSE(IsLongOperationLevelIgnored());
  SetLongOperationPercentDone(20);
  EXPECT_EQ(GetLongOperationPercentDone(), 20);
  IgnoreNestedLongOperations(FALSE);
  // The wait delay: 750 ms from the start, then 1500 ms from the last update once feedback started.
  CGXLongOperationScope timed;
  plat::VirtualClock::Advance(749);
  EXPECT_FALSE(timed.IsWaitDelayElapsed());
  plat::VirtualClock::Advance(1);
  EXPECT_TRUE(timed.IsWaitDelayElapsed());
  GXGetLongOperationState().m_bFeedbackStarted = TRUE;
  EXPECT_FALSE(timed.IsWaitDelayElapsed());
  plat::VirtualClock::Advance(750);
  EXPECT_TRUE(timed.IsWaitDelayElapsed());
}

TEST_F(StyleTest, ReadOnlyGridsRefuseEveryStoreAndReplace) {
  CGXGridWnd* g = MakeGrid(4, 3);
  g->SetCellValue(1, 1, "kept");
  g->SetReadOnly(TRUE);
  EXPECT_FALSE(g->SetCellValue(1, 1, "x"));
  EXPECT_FALSE(g->ReplaceStylesMap(*g->GetStylesMap()));
  EXPECT_FALSE(g->ReplaceProperties(*g->GetProperties()));
  const WORD standard = g->GetStylesMap()->GetStandardStyle();
  EXPECT_FALSE(g->ModifyBaseStyle(standard, Valued("x")));
  EXPECT_EQ(g->GetCellValue(1, 1), "kept");
  // Not enforced, the read-only flag does not lock.
  g->GetParam()->m_bReadOnlyEnforced = FALSE;
  EXPECT_TRUE(g->SetCellValue(1, 1, "x"));
}

TEST_F(StyleTest, ModifiedBaseStylesShowInEveryCellAndUnknownIdsThrow) {
  CGXGridWnd* g = MakeGrid(4, 3);
  const WORD standard = g->GetStylesMap()->GetStandardStyle();
  CGXStyle tint;
  tint.SetInteriorColor(RGB(7, 8, 9));
  EXPECT_TRUE(g->ModifyBaseStyle(standard, tint));
  CGXStyle s;
  g->ComposeCellStyle(4, 3, s, TRUE);
  EXPECT_EQ(s.GetInterior().GetColor(), RGB(7, 8, 9));
  EXPECT_EQ(g->BaseStyleById(standard).GetInterior().GetColor(), RGB(7, 8, 9));
  EXPECT_TRUE(Throws<CInvalidArgException>([&] { g->BaseStyleById(0x7FFF); }));
  // A replaced styles map is looked up again.
  CGXStylesMap copy(*g->GetStylesMap());
  CGXStyle* std = nullptr;
  ASSERT_TRUE(copy.LookupStyle(standard, std));
  std->SetInteriorColor(RGB(1, 2, 3));
  EXPECT_TRUE(g->ReplaceStylesMap(copy));
  CGXStyle after;
  g->ComposeCellStyle(4, 3, after, TRUE);
  EXPECT_EQ(after.GetInterior().GetColor(), RGB(1, 2, 3));
}

TEST_F(StyleTest, TheWorkStylePoolKeepsAtMost501Styles) {
  CGXGridWnd* g = MakeGrid(1, 1);
  std::vector<CGXStyle*> taken;
  for (int i = 0; i < 600; ++i) taken.push_back(g->NewWorkStyle());
  for (CGXStyle* s : taken) g->ReleaseWorkStyle(s);
  EXPECT_EQ(g->GetWorkStylePoolSize(), 501u);
}

// A control that counts its bindings.
class CountingControl : public CGXControl {
 public:
  using CGXControl::CGXControl;
  void InitForCell(ROWCOL r, ROWCOL c) override {
    ++inits;
    CGXControl::InitForCell(r, c);
  }
  int inits = 0;
};

TEST_F(StyleTest, TheCurrentCellsControlIsBoundAgainWhenItsRowOrColumnChanges) {
  CGXGridWnd* g = MakeGrid(5, 5);
  auto* c = new CountingControl(g);
  g->AddCellControl(GX_IDS_CTRL_EDIT, c, TRUE);
  CGXStyle style;
  style.SetControl(GX_IDS_CTRL_EDIT);
  g->SetStyleRange(CGXRange().AssignTable(), style);
  ASSERT_TRUE(g->MoveCurrentCellTo(3, 3, 0));
  ASSERT_EQ(g->ControlOfCurrentCell(), c);
  int before = c->inits;
  g->SetStyleRange(CGXRange().AssignRows(3, 3), Valued("row"));
  EXPECT_GT(c->inits, before);
  before = c->inits;
  g->SetStyleRange(CGXRange().AssignRows(4, 4), Valued("other row"));
  EXPECT_EQ(c->inits, before);
  g->SetStyleRange(CGXRange(3, 3), Valued("cell"));
  EXPECT_GT(c->inits, before);
}

TEST_F(StyleTest, RegisteredControlsAndTextThroughTheControl) {
  CGXGridWnd* g = MakeGrid(3, 3);
  g->AddCellControl(GX_IDS_CTRL_STATIC, new CGXStatic(g), FALSE, TRUE);
  EXPECT_EQ(g->GetStylesMap()->GetControlNames().count(GX_IDS_CTRL_STATIC), 1u);
  // No name for the id: refused.
  EXPECT_TRUE(Throws<CResourceException>([&] { g->AddCellControl(0x7FF0, new CGXStatic(g), FALSE, TRUE); }));
  // The control stores the text its own way: cut to the style's maximum length.
  CGXStyle limited;
  limited.SetMaxLength(3);
  g->SetStyleRange(CGXRange(2, 2), limited);
  EXPECT_TRUE(g->SetCellTextThroughControl(2, 2, "abcdef", GX_INVALIDATE));
  EXPECT_EQ(g->GetCellValue(2, 2), "abc");
  // Controls keep everything but the value when they store their text.
  CGXStyle tint;
  tint.SetInteriorColor(RGB(5, 5, 5));
  g->SetStyleRange(CGXRange(1, 1), tint);
  EXPECT_TRUE(g->StoreValueFromControl(1, 1, "typed", gxCopy, nullptr));
  CGXStyle stored;
  ASSERT_TRUE(g->ReadStoredStyle(1, 1, stored, gxCopy, 0));
  EXPECT_EQ(stored.GetValue(), "typed");
  EXPECT_EQ(stored.GetInterior().GetColor(), RGB(5, 5, 5));
}

struct TextExchange : CGXGridTextDataExchangeImp {
  BOOL CellText(CString& out, CGXGridCore*, ROWCOL row, ROWCOL col) override {
    out.Format("%u/%u", row, col);
    return TRUE;
  }
};

TEST_F(StyleTest, CopyTextAndSpansAnswerThroughTheirFeaturesOrNothing) {
  CGXGridWnd* g = MakeGrid(5, 5);
  CString text = "stale";
  g->CellTextForCopy(text, 2, 3);
  EXPECT_EQ(text, "");
  CGXRange span;
  EXPECT_EQ(g->SpanRangeOfCell(3, 3, span), nullptr);
  EXPECT_FALSE(g->CopyOneRange(CGXRange(1, 1)));
  g->SetFeature(new TextExchange);
  g->SetFeature(new CoveredBlock(CGXRange(2, 2, 3, 3)));
  g->CellTextForCopy(text, 2, 3);
  EXPECT_EQ(text, "2/3");
  ASSERT_EQ(g->SpanRangeOfCell(3, 3, span), &span);
  EXPECT_EQ(span, CGXRange(2, 2, 3, 3));
  EXPECT_EQ(g->SpanRangeOfCell(4, 4, span), nullptr);
}

TEST_F(StyleTest, TheLastShownRowFollowsTheTopRow) {
  CGXGridWnd* g = MakeGrid(100, 5);  // 300 pixels high: the header row and rows 1-14 fill it exactly
  BOOL endsBefore = TRUE;
  const ROWCOL bottom = g->GetBottomShownRow(&endsBefore);
  EXPECT_FALSE(endsBefore);
  EXPECT_EQ(bottom, g->CalcBottomRow(g->GetGridRect()));
  EXPECT_EQ(bottom, 14u);
  g->SetTopRow(10, 0);
  EXPECT_EQ(g->GetBottomShownRow(), bottom + 9);
  // The kept answer follows what else changes the shown rows with the same top row: heights, the window's
  // size and the font.
  g->SetRowHeight(10, 10, 40, nullptr, 0);
  EXPECT_EQ(g->GetBottomShownRow(), g->CalcBottomRow(g->GetGridRect()));
  EXPECT_EQ(g->GetBottomShownRow(), bottom + 8);
  g->SetWindowPos(nullptr, 0, 0, 400, 200, SWP_NOZORDER | SWP_NOMOVE);
  EXPECT_EQ(g->GetBottomShownRow(), g->CalcBottomRow(g->GetGridRect()));
  EXPECT_EQ(g->GetRightmostShownCol(), g->CalcRightmostCol(g->GetGridRect()));
}

}  // namespace
}  // namespace enginetest
