// Undo and redo through the command factory: lists, transactions, blocks, the engine's recordings.
#include "grid/features/CGXCommand.h"
#include "grid/features/CGXCommandFactoryImp.h"
#include "grid/features/tests/featuretest.h"
#include "platform/framework/CCmdTarget.h"

namespace {

using featuretest::FeatureTest;

class UndoTest : public FeatureTest {
 protected:
  CGXGridWnd* Make(ROWCOL rows = 6, ROWCOL cols = 4) {
    CGXGridWnd* g = MakeGrid(rows, cols);
    EXPECT_NE(g->GetCommandFactory(), nullptr);
    EXPECT_NE(g->GetClearCellsImp(), nullptr);
    // The fixture's sizing of the grid recorded commands; the tests start from empty lists.
    ClearUndo(g);
    return g;
  }
  static INT_PTR Undos(CGXGridCore* g) { return g->GetParam()->GetUndoList().GetCount(); }
  static INT_PTR Redos(CGXGridCore* g) { return g->GetParam()->GetRedoList().GetCount(); }
  static CString HeadName(CObList& list) { return static_cast<CGXCommand*>(list.GetHead())->GetName(); }
};

// A command that logs its execution and can fail.
class LogCmd : public CGXCommand {
 public:
  LogCmd(std::vector<std::string>& log, std::string name, BOOL ok = TRUE) : m_log(log), m_name(std::move(name)), m_ok(ok) {}
  BOOL Execute(CGXGridCore*, int type) override {
    m_log.push_back(m_name + ":" + std::to_string(type));
    return m_ok;
  }
  CString GetName() override { return m_name.c_str(); }
  std::vector<std::string>& m_log;
  std::string m_name;
  BOOL m_ok;
};

TEST_F(UndoTest, TheListsKeepTheLimitPlusOneNewestAtTheHead) {
  CGXGridWnd* g = Make();
  std::vector<std::string> log;
  for (int i = 1; i <= 514; ++i) g->AddCommand(new LogCmd(log, std::to_string(i)), 0);
  EXPECT_EQ(Undos(g), 513);
  EXPECT_EQ(HeadName(g->GetParam()->GetUndoList()), "514");
  EXPECT_EQ(static_cast<CGXCommand*>(g->GetParam()->GetUndoList().GetTail())->GetName(), "2");
  // Type 2 files into the redo list; a new do empties it.
  g->AddCommand(new LogCmd(log, "r"), 2);
  EXPECT_EQ(Redos(g), 1);
  g->AddCommand(new LogCmd(log, "d"), 0);
  EXPECT_EQ(Redos(g), 0);
  g->RemoveLastCommand(0);
  EXPECT_EQ(HeadName(g->GetParam()->GetUndoList()), "514");
}

TEST_F(UndoTest, TransactionsGroupCommandsAndRollBackOnceInReverse) {
  CGXGridWnd* g = Make();
  std::vector<std::string> log;
  g->BeginTransaction("empty");
  g->CommitTransaction();
  EXPECT_EQ(Undos(g), 0);  // nothing recorded: no entry

  g->BeginTransaction("outer");
  g->AddCommand(new LogCmd(log, "a"), 0);
  g->BeginTransaction("inner");  // nested: no second block
  g->AddCommand(new LogCmd(log, "b"), 0);
  g->CommitTransaction();
  EXPECT_EQ(Undos(g), 1);
  g->CommitTransaction();
  EXPECT_EQ(Undos(g), 1);
  EXPECT_EQ(HeadName(g->GetParam()->GetUndoList()), "outer");
  EXPECT_EQ(g->GetParam()->m_nTransactionLevel, 0u);

  g->BeginTransaction("rolled");
  g->AddCommand(new LogCmd(log, "c"), 0);
  g->AddCommand(new LogCmd(log, "d"), 0);
  g->RollbackTransaction();
  EXPECT_EQ(log, (std::vector<std::string>{"d:1", "c:1"}));
  EXPECT_EQ(Undos(g), 1);
  EXPECT_EQ(Redos(g), 0);
}

TEST_F(UndoTest, ABlockFailingInItsSecondCommandStaysWithoutARedoBlock) {
  CGXGridWnd* g = Make();
  std::vector<std::string> log;
  g->BeginTransaction("two");
  g->AddCommand(new LogCmd(log, "first", FALSE), 0);
  g->AddCommand(new LogCmd(log, "second", TRUE), 0);
  g->CommitTransaction();
  // Newest first: "second" runs, then "first" fails.
  EXPECT_FALSE(g->Undo());
  EXPECT_EQ(log, (std::vector<std::string>{"second:2", "first:2"}));
  EXPECT_EQ(Undos(g), 1);
  EXPECT_EQ(Redos(g), 0);
}

TEST_F(UndoTest, TheEnginesRecordingsUndoAndRedoExactly) {
  CGXGridWnd* g = Make(8, 4);
  g->SetCellValue(2, 2, "b2");
  g->SetCellValue(5, 1, "e1");
  g->SetRowHeight(3, 3, 33, nullptr, GX_UPDATENOW);
  g->SetFrozenRows(2, 0, GX_UPDATENOW);
  ASSERT_TRUE(g->InsertRows(2, 2));
  ASSERT_TRUE(g->RemoveRows(6, 7));
  EXPECT_EQ(g->GetRowCount(), 8u);
  EXPECT_EQ(g->GetCellValue(4, 2), "b2");
  const INT_PTR recorded = Undos(g);
  EXPECT_EQ(recorded, 6);
  EXPECT_EQ(HeadName(g->GetParam()->GetUndoList()), "Removing rows ...");

  // Undo everything: the grid is as it was.
  for (INT_PTR i = 0; i < recorded; ++i) ASSERT_TRUE(g->Undo()) << i;
  EXPECT_FALSE(g->Undo());
  EXPECT_EQ(g->GetRowCount(), 8u);
  EXPECT_EQ(g->GetCellValue(2, 2), "");
  EXPECT_EQ(g->GetCellValue(5, 1), "");
  EXPECT_EQ(g->GetRowHeight(3), 20);
  EXPECT_EQ(g->GetFrozenRows(), 0u);
  EXPECT_EQ(Redos(g), recorded);

  // Redo everything: the grid is as after the changes.
  for (INT_PTR i = 0; i < recorded; ++i) ASSERT_TRUE(g->Redo()) << i;
  EXPECT_EQ(g->GetRowCount(), 8u);
  EXPECT_EQ(g->GetCellValue(4, 2), "b2");
  EXPECT_EQ(g->GetCellValue(7, 1), "");  // row 5's "e1" moved to 7 and was removed
  EXPECT_EQ(g->GetRowHeight(5), 33);
  EXPECT_EQ(g->GetFrozenRows(), 2u);
  EXPECT_EQ(Undos(g), recorded);
  EXPECT_EQ(Redos(g), 0);
}

TEST_F(UndoTest, RemovedRowsComeBackWithTheirCellsAndStyles) {
  CGXGridWnd* g = Make(6, 3);
  CGXStyle bold;
  bold.SetValue("x").SetEnabled(FALSE);
  g->SetStyleRange(CGXRange(3, 2), bold);
  CGXStyle rowStyle;
  rowStyle.SetReadOnly(TRUE);
  g->SetStyleRange(CGXRange().AssignRows(4, 4), rowStyle);
  ASSERT_TRUE(g->RemoveRows(3, 4));
  EXPECT_EQ(g->GetRowCount(), 4u);
  ASSERT_TRUE(g->Undo());
  EXPECT_EQ(g->GetRowCount(), 6u);
  CGXStyle back;
  ASSERT_TRUE(g->ReadStoredStyle(3, 2, back, gxCopy, 0));
  EXPECT_EQ(back.GetValue(), "x");
  EXPECT_FALSE(back.GetEnabled());
  ASSERT_TRUE(g->ReadStoredStyle(4, 0, back, gxCopy, GX_BASESTYLE));
  EXPECT_TRUE(back.GetReadOnly());
}

TEST_F(UndoTest, RemovingTooManyRowsAsksAndCancelKeepsThem) {
  CGXGridWnd* g = Make(40000, 2);
  automation.Reply(plat::SystemUiKind::MessageBox, {IDCANCEL, {}, 0}, "too large");
  Automate();
  EXPECT_FALSE(g->RemoveRows(1, 40000));
  EXPECT_EQ(g->GetRowCount(), 40000u);
  ASSERT_FALSE(plat::ShownLog().empty());
  EXPECT_EQ(plat::ShownLog().back().request.text, "Operation is too large for the undo buffer. Do you want to continue?");
  // OK goes on without keeping the cells.
  EXPECT_TRUE(g->RemoveRows(1, 40000));
  EXPECT_EQ(g->GetRowCount(), 0u);
  EXPECT_TRUE(g->Undo());
  EXPECT_EQ(g->GetRowCount(), 40000u);
}

// A menu entry's update: keeps the text it is given.
struct MenuUI : CCmdUI {
  void SetText(LPCSTR t) override { text = t; }
  CString text;
};

TEST_F(UndoTest, MenuTextsNameTheNewestCommand) {
  CGXGridWnd* g = Make();
  MenuUI undo, redo;
  auto update = [&] {
    g->UpdateUndoMenuText({{reinterpret_cast<DWORD_PTR>(&undo)}});
    g->UpdateRedoMenuText({{reinterpret_cast<DWORD_PTR>(&redo)}});
  };
  update();
  EXPECT_FALSE(undo.m_bEnabled);
  EXPECT_EQ(undo.text, "Undo ");
  g->SetRowHeight(2, 2, 30, nullptr, GX_UPDATENOW);
  update();
  EXPECT_TRUE(undo.m_bEnabled);
  EXPECT_EQ(undo.text, "Undo Change Row Heights");
  EXPECT_FALSE(redo.m_bEnabled);
  g->Undo();
  update();
  EXPECT_TRUE(redo.m_bEnabled);
  EXPECT_EQ(redo.text, "Redo Change Row Heights");
}

}  // namespace
