// The SPICE and Touchstone panes over model directories of real files, and the port map grid.
#include "brimstead/models/editor/tests/ModelEditorTestSupport.h"
#include "brimstead/models/ModelFile.h"
#include "brimstead/models/mapfile.h"
#include "platform/base/tests/FileKinds.h"
#include "platform/display/Desktop.h"
#include "platform/gdi/Surface.h"
#include "grid/core/tests/gxwindowtest.h"
#include "platform/window/InputRouter.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>


namespace edtest {
namespace {

class PaneTest : public ModelEditorTest {
protected:
  // The message the series/shunt detection shows when the editor opens on a two-pin capacitor whose Touchstone
  // model is `text` (as "bad.s2p" in `dir`); the detection must end up off. Empty when not exactly one message
  // was shown.
  std::string DetectionMessageOf(const CString& dir, const std::string& text);
  // The Touchstone pane shows its file as invalid for `reason` (its two-port controls hidden), and OK refuses it
  // with the same reason.
  void ExpectShownInvalidAndRefused(CModelEditorTstone& pane, const char* reason) {
    EXPECT_EQ(ItemText(pane, CModelFilePaneDlg::IDC_MESSAGE), CString("Invalid format of model file! ") + reason);
    EXPECT_TRUE(Visible(pane, CModelFilePaneDlg::IDC_MESSAGE));
    EXPECT_FALSE(Visible(pane, CModelEditorTstone::IDC_TWO_PORT_GROUP));
    automation.Reply(plat::SystemUiKind::MessageBox, {IDOK, {}, 0}, "", true);
    EXPECT_FALSE(pane.ValidatePane());
    ASSERT_FALSE(Messages().empty());
    EXPECT_EQ(Messages().back(), std::string("Select valid model file\n") + reason);
  }
};

CString ListText(CListBox& list, int i) {
  CString text;
  list.GetText(i, text);
  return text;
}

// An editor of a two-pin capacitor's Touchstone model over one model directory.
void PrepareTwoPinTouchstone(CModelEditor& editor, const CString& directory) {
  SetPins(editor, {"1", "2"});
  CStringArray directories;
  directories.Add(directory);
  editor.SetModelDirectories(directories);
  editor.Record().header.kind = HostModelTouchstone;
}

// An editor of a four-pin capacitor's SPICE model over one model directory, ports 1 and 2 mapped to pins B and A.
void PrepareFourPinSpice(CModelEditor& editor, const CString& directory) {
  SetPins(editor, {"A", "B", "C", "D"});
  CStringArray directories;
  directories.Add(directory);
  editor.SetModelDirectories(directories);
  editor.Record().header.kind = HostModelSPICE;
  editor.Record().spice.portMap = {{1, "B"}, {2, "A"}};
}

// The text of a model file among the samples.
std::string SampleModel(const char* name) {
  std::ifstream in(std::string(BRIM_SAMPLE_MODELS) + "/" + name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// An editor of a two-pin capacitor's SPICE model in `file` of one model directory.
void PrepareTwoPinSpice(CModelEditor& editor, const CString& directory, const char* file, const char* subcircuit) {
  SetPins(editor, {"1", "2"});
  CStringArray directories;
  directories.Add(directory);
  editor.SetModelDirectories(directories);
  editor.Record().header.kind = HostModelSPICE;
  editor.Record().spice.fileName = file;
  editor.Record().spice.subcircuitName = subcircuit;
}

std::string PaneTest::DetectionMessageOf(const CString& dir, const std::string& text) {
  WriteFile(dir, "bad.s2p", text);
  CModelEditor editor;
  PrepareTwoPinTouchstone(editor, dir);
  automation.Reply(plat::SystemUiKind::MessageBox, {IDOK, {}, 0}, "", true);
  const std::size_t before = Messages().size();
  Open(editor);
  EXPECT_EQ(editor.TouchstonePane().m_Autodetect.GetCheck(), BST_UNCHECKED);
  editor.DestroyWindow();
  EXPECT_EQ(Messages().size(), before + 1);
  return Messages().size() == before + 1 ? Messages().back() : std::string();
}

TEST_F(PaneTest, SpiceListsEachNameOnceFromTheFirstDirectoryAndFiltersCompatibleSubcircuits) {
  const CString first = MakeDirectory("first");
  const CString second = MakeDirectory("second");
  CopyTestFile("spice/GRM21BR71E104JA01.subckt", first, "murata.sp");
  CopyTestFile("spice/C0201C101K3GACTU.subckt", second, "murata.sp");
  CopyTestFile("spice/C1206C104K1RACTU.subckt", second, "kemet.cir");
  WriteFile(second, "mixed.cir",
            ".SUBCKT ONE a\nR1 a 0 1\n.ENDS\n.SUBCKT TWO a b\nC1 a b 1n\n.ENDS\n.SUBCKT FOUR a b c d\n.ENDS\n");
  WriteFile(second, "notes.txt", "not a netlist");
  CModelEditor editor;
  SetPins(editor, {"1", "2"});
  CStringArray directories;
  directories.Add(first);
  directories.Add(second);
  editor.SetModelDirectories(directories);
  editor.Record().header.kind = HostModelSPICE;
  editor.Record().spice.fileName = "mixed.cir";
  Open(editor);
  CModelEditorSPICE& pane = editor.SpicePane();
  ASSERT_EQ(pane.m_FileList.GetCount(), 3);
  EXPECT_EQ(ListText(pane.m_FileList, 0), "kemet.cir");
  EXPECT_EQ(pane.m_Paths[static_cast<int>(pane.m_FileList.GetItemData(2))], first + "murata.sp");
  // The stored file with an empty subcircuit name: the first subcircuit, one node, refused.
  EXPECT_EQ(ListText(pane.m_FileList, pane.m_FileList.GetCurSel()), "mixed.cir");
  ASSERT_EQ(pane.m_SubcircuitList.GetCount(), 3);
  EXPECT_EQ(pane.m_SubcircuitList.GetCurSel(), 0);
  EXPECT_TRUE(Visible(pane, CModelEditorSPICE::IDC_MESSAGE));
  automation.Reply(plat::SystemUiKind::MessageBox, {IDOK, {}, 0}, "", true);
  EXPECT_FALSE(pane.ValidatePane());
  pane.m_SubcircuitList.SetCurSel(2);
  pane.OnSubcircuitSelChange();
  EXPECT_FALSE(pane.ValidatePane());
  pane.m_SubcircuitList.SetCurSel(-1);
  EXPECT_FALSE(pane.ValidatePane());
  // Two nodes for two pins: valid without looking at the grid.
  pane.m_SubcircuitList.SetCurSel(1);
  pane.OnSubcircuitSelChange();
  EXPECT_TRUE(Visible(pane, CModelEditorSPICE::IDC_PORT_MAP));
  EXPECT_EQ(pane.m_PortMap.GetCellValue(2, 1), "b");
  EXPECT_TRUE(pane.ValidatePane());
  EXPECT_EQ(Messages(), (std::vector<std::string>{"One-node subcircuits are not allowed.",
                                                  "You have to select model with number of nodes equal to 2",
                                                  "SPICE file and SUBCIRCUIT must be selected in the list."}));

  pane.CheckDlgButton(CModelEditorSPICE::IDC_COMPATIBLE, BST_CHECKED);
  pane.SendMessage(WM_COMMAND, MAKEWPARAM(CModelEditorSPICE::IDC_COMPATIBLE, BN_CLICKED),
                   reinterpret_cast<LPARAM>(pane.GetDlgItem(CModelEditorSPICE::IDC_COMPATIBLE)->m_hWnd));
  ASSERT_EQ(pane.m_SubcircuitList.GetCount(), 1);
  EXPECT_EQ(ListText(pane.m_SubcircuitList, 0), "TWO");
  pane.StoreToModel();
  EXPECT_EQ(editor.Record().spice.subcircuitName, "TWO");
  EXPECT_EQ(editor.Record().spice.portMap.at(1), "1");

  // The real vendor netlist: one two-port subcircuit.
  pane.m_FileList.SetCurSel(2);
  pane.OnFileSelChange();
  ASSERT_EQ(pane.m_SubcircuitList.GetCount(), 1);
  EXPECT_EQ(ListText(pane.m_SubcircuitList, 0), "GRM21BR71E104JA01_DC0V_25degC_MURATA");
  editor.DestroyWindow();
}

// Node positions past 65,535: each subcircuit keeps its own node names, and a subcircuit of 65,538 nodes is neither
// offered as compatible with two pins nor taken as a two-node model.
TEST_F(PaneTest, SpiceNodePositionsBeyondSixteenBitsStayTheSubcircuitsOwn) {
  const CString directory = MakeDirectory("many");
  std::string text = ".SUBCKT BIG";
  constexpr int kBigNodes = 65538;
  for (int n = 0; n < kBigNodes; ++n) text += " n" + std::to_string(n);
  text += "\n.ENDS\n.SUBCKT LAST p q\nC1 p q 1n\n.ENDS\n";
  WriteFile(directory, "big.cir", text.c_str());
  CModelEditor editor;
  PrepareTwoPinSpice(editor, directory, "big.cir", "LAST");
  Open(editor);
  CModelEditorSPICE& pane = editor.SpicePane();
  ASSERT_EQ(pane.m_Subcircuits.names.GetSize(), 2);
  EXPECT_EQ(pane.m_Subcircuits.NodeCount(0), kBigNodes);
  EXPECT_EQ(pane.m_Subcircuits.NodeCount(1), 2);
  ASSERT_EQ(ListText(pane.m_SubcircuitList, pane.m_SubcircuitList.GetCurSel()), "LAST");
  EXPECT_EQ(pane.m_PortMap.GetCellValue(1, 1), "p");
  EXPECT_EQ(pane.m_PortMap.GetCellValue(2, 1), "q");
  pane.m_SubcircuitList.SetCurSel(0);
  pane.OnSubcircuitSelChange();
  automation.Reply(plat::SystemUiKind::MessageBox, {IDOK, {}, 0}, "", true);
  EXPECT_FALSE(pane.ValidatePane()) << "65,538 nodes are not two";
  pane.CheckDlgButton(CModelEditorSPICE::IDC_COMPATIBLE, BST_CHECKED);
  pane.SendMessage(WM_COMMAND, MAKEWPARAM(CModelEditorSPICE::IDC_COMPATIBLE, BN_CLICKED),
                   reinterpret_cast<LPARAM>(pane.GetDlgItem(CModelEditorSPICE::IDC_COMPATIBLE)->m_hWnd));
  ASSERT_EQ(pane.m_SubcircuitList.GetCount(), 1);
  EXPECT_EQ(ListText(pane.m_SubcircuitList, 0), "LAST");
  editor.DestroyWindow();
}

// The record's subcircuit is found ignoring case, searched from the second entry shown and wrapping round to the
// first, among the entries the list shows (all, or the compatible ones); each entry leads to its own subcircuit.
TEST_F(PaneTest, SpiceSelectsTheRecordsSubcircuitFromTheSecondEntryShown) {
  const CString directory = MakeDirectory("dup");
  WriteFile(directory, "dup.cir",
            ".SUBCKT Cap a b\nC1 a b 1n\n.ENDS\n.SUBCKT three a b c\n.ENDS\n.SUBCKT CAP p q\nC1 p q 1n\n.ENDS\n"
            ".SUBCKT cap x y z\n.ENDS\n.SUBCKT capx m n\n.ENDS\n.SUBCKT Only u v\n.ENDS\n");
  CModelEditor editor;
  PrepareTwoPinSpice(editor, directory, "dup.cir", "cAp");
  Open(editor);
  CModelEditorSPICE& pane = editor.SpicePane();
  ASSERT_EQ(pane.m_SubcircuitList.GetCount(), 6);
  EXPECT_EQ(ListText(pane.m_SubcircuitList, 3), "cap");
  EXPECT_EQ(pane.m_SubcircuitList.GetCurSel(), 2);   // "CAP", not the first "Cap" nor the partial "capx"
  EXPECT_EQ(pane.m_PortMap.GetCellValue(1, 1), "p");
  auto selectedWith = [&](const char* subcircuit, bool compatibleOnly) {
    editor.Record().spice.subcircuitName = subcircuit;
    pane.CheckDlgButton(CModelEditorSPICE::IDC_COMPATIBLE, compatibleOnly ? BST_CHECKED : BST_UNCHECKED);
    pane.OnFileSelChange();
    CString shown;
    for (int i = 0; i < pane.m_SubcircuitList.GetCount(); ++i) shown += ListText(pane.m_SubcircuitList, i) + ",";
    const int selected = pane.m_SubcircuitList.GetCurSel();
    const int index = static_cast<int>(pane.m_SubcircuitList.GetItemData(selected));
    return std::to_string(selected) + " " + std::string(pane.m_Subcircuits.names[index]) + " " + std::string(shown);
  };
  EXPECT_EQ(selectedWith("CAP", true), "1 CAP Cap,CAP,capx,Only,");
  EXPECT_EQ(selectedWith("cap", true), "1 CAP Cap,CAP,capx,Only,");
  EXPECT_EQ(selectedWith("ONLY", true), "3 Only Cap,CAP,capx,Only,");
  EXPECT_EQ(selectedWith("cap x", true), "0 Cap Cap,CAP,capx,Only,");   // none: the first
  EXPECT_EQ(selectedWith("THREE", false), "1 three Cap,three,CAP,cap,capx,Only,");
  EXPECT_EQ(selectedWith("", false), "0 Cap Cap,three,CAP,cap,capx,Only,");
  editor.DestroyWindow();
}

TEST_F(PaneTest, SpiceFourPinsRefuseAnUnassignedPortAndAnUnreadableFileListsNothing) {
  const CString dir = MakeDirectory("models");
  WriteFile(dir, "quad.sp", ".SUBCKT QUAD n1 n2 n3 n4\n.ENDS\n");
  WriteFile(dir, "empty.sp", "");
  CModelEditor editor;
  SetPins(editor, {"A", "B", "C", "D"});
  CStringArray directories;
  directories.Add(dir);
  editor.SetModelDirectories(directories);
  editor.Record().header.kind = HostModelSPICE;
  editor.Record().spice.fileName = "quad.sp";
  editor.Record().spice.portMap = {{1, "A"}, {2, "B"}, {3, "C"}, {4, "Z"}};
  Open(editor);
  CModelEditorSPICE& pane = editor.SpicePane();
  EXPECT_EQ(pane.m_PortMap.GetPin(4), "<not assigned>");   // a pin the component does not have
  EXPECT_EQ(pane.m_PortMap.GetCellValue(3, 1), "n3");
  automation.Reply(plat::SystemUiKind::MessageBox, {IDOK, {}, 0}, "", true);
  EXPECT_FALSE(pane.ValidatePane());
  EXPECT_EQ(Messages(), std::vector<std::string>{"All model ports are to assigned to pins."});
  CGXStyle d;
  d.SetValue("D");
  pane.m_PortMap.SetStyleRange(CGXRange(4, 2), d);
  EXPECT_TRUE(pane.ValidatePane());

  pane.m_FileList.SetCurSel(0);   // empty.sp cannot be mapped
  pane.OnFileSelChange();
  EXPECT_EQ(pane.m_SubcircuitList.GetCount(), 0);
  EXPECT_EQ(ItemText(pane, CModelEditorSPICE::IDC_MESSAGE), "No compartible subcircuits in selected file!");
  editor.DestroyWindow();
}

// A four-pin capacitor's port map on both panes: a port whose cell names no pin of its list, however the cell got so
// (emptied, as a cut or a cleared range leaves it, or a text that is no pin), is refused by OK as one never given a
// pin, and is not stored; the pin cells keep their values when the grid asks to clear them, the port cells do not.
TEST_F(PaneTest, BothPortMapsRefuseAPortThatNamesNoPinAndKeepTheirPinsWhenCleared) {
  const CString dir = MakeDirectory("models");
  WriteFile(dir, "quad.sp", ".SUBCKT QUAD n1 n2 n3 n4\n.ENDS\n");
  CopyTestFile("touchstone/cst_example_4ports.s4p", dir, "four.s4p");
  const PortMap assigned{{1, "A"}, {2, "B"}, {3, "C"}, {4, "D"}};
  struct Case {
    int kind;
    const char* text;   // port 2's cell
  };
  const Case cases[] = {
      {HostModelSPICE, ""},       {HostModelSPICE, "b"},       {HostModelSPICE, "A\nB"},
      {HostModelTouchstone, ""},  {HostModelTouchstone, " B"}, {HostModelTouchstone, "<not assigned>"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.kind == HostModelSPICE ? "SPICE " : "Touchstone ") + "\"" + c.text + "\"");
    CModelEditor editor;
    SetPins(editor, {"A", "B", "C", "D"});
    CStringArray directories;
    directories.Add(dir);
    editor.SetModelDirectories(directories);
    editor.Record().header.kind = c.kind;
    editor.Record().spice.fileName = "quad.sp";
    editor.Record().spice.portMap = assigned;
    editor.Record().touchstone.fileName = "four.s4p";
    editor.Record().touchstone.portMap = assigned;
    Open(editor);
    CModelFilePaneDlg& pane = c.kind == HostModelSPICE ? static_cast<CModelFilePaneDlg&>(editor.SpicePane())
                                                       : static_cast<CModelFilePaneDlg&>(editor.TouchstonePane());
    CPortMapGrid& map = c.kind == HostModelSPICE ? editor.SpicePane().m_PortMap : editor.TouchstonePane().m_PortMap;
    ASSERT_EQ(map.GetPin(2), "B");
    EXPECT_TRUE(pane.ValidatePane());
    EXPECT_FALSE(map.OnDeleteCell(2, 2)) << "a pin cell";
    EXPECT_TRUE(map.OnDeleteCell(2, 1)) << "a port cell";
    map.SetStyleRange(CGXRange(2, 2), CGXStyle().SetValue(c.text));
    const std::size_t before = Messages().size();
    automation.Reply(plat::SystemUiKind::MessageBox, {IDOK, {}, 0}, "", true);
    EXPECT_FALSE(pane.ValidatePane());
    ASSERT_EQ(Messages().size(), before + 1);
    EXPECT_EQ(Messages().back(), "All model ports are to assigned to pins.");
    if (CString(c.text).IsEmpty()) {
      PortMap stored;
      map.StoreAssignments(stored);
      EXPECT_EQ(stored, (PortMap{{1, "A"}, {3, "C"}, {4, "D"}}));
    }
    editor.DestroyWindow();
  }
}

// The pixels of a window drawn in the message colour.
int RedPixels(HWND hwnd) {
  auto image = plat::Desktop::Capture(hwnd);
  int count = 0;
  for (int y = 0; image && y < image->height(); ++y)
    for (int x = 0; x < image->width(); ++x)
      count += plat::colorFromPixel(image->pixel(x, y)) == RGB(255, 0, 0) ? 1 : 0;
  return count;
}

// The message label of both file panes: bold, hidden at first, then the pane's message in red; a usable file hides
// it again.
TEST_F(PaneTest, FilePanesShowTheirMessageInBoldRedUntilAUsableFileIsChosen) {
  const CString dir = MakeDirectory("models");
  WriteFile(dir, "empty.sp", "");
  WriteFile(dir, "two.sp", ".SUBCKT TWO a b\nC1 a b 1n\n.ENDS\n");
  WriteFile(dir, "broken.s2p", "garbage\n");
  WriteFile(dir, "cap.s2p", SampleModel("cap_1u_0603_series.s2p"));  // a two-port the series/shunt fit reads
  struct Case {
    int kind;
    const char* good;
    const char* bad;
    const char* message;
  };
  const Case cases[] = {
      {HostModelSPICE, "two.sp", "empty.sp", "No compartible subcircuits in selected file!"},
      {HostModelTouchstone, "cap.s2p", "broken.s2p", "Invalid format of model file!"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.bad);
    CModelEditor editor;
    PrepareTwoPinTouchstone(editor, dir);
    editor.Record().header.kind = c.kind;
    editor.Record().spice.fileName = c.good;
    editor.Record().touchstone.fileName = c.good;
    Open(editor);
    editor.ShowWindow(SW_SHOW);
    const bool spice = c.kind == HostModelSPICE;
    CModelFilePaneDlg& pane = spice ? static_cast<CModelFilePaneDlg&>(editor.SpicePane()) : editor.TouchstonePane();
    CListBox& files = spice ? editor.SpicePane().m_FileList : editor.TouchstonePane().m_FileList;
    auto choose = [&](const char* name) {
      files.SetCurSel(files.FindStringExact(-1, name));
      if (spice)
        editor.SpicePane().OnFileSelChange();
      else
        editor.TouchstonePane().OnFileSelChange();
      Pump();
    };
    CWnd* label = pane.GetDlgItem(CModelFilePaneDlg::IDC_MESSAGE);
    ASSERT_NE(label, nullptr);
    ASSERT_NE(label->GetFont(), nullptr);
    LOGFONT font{};
    label->GetFont()->GetLogFont(&font);
    EXPECT_EQ(font.lfWeight, FW_BOLD);
    EXPECT_FALSE(Visible(pane, CModelFilePaneDlg::IDC_MESSAGE));

    automation.Reply(plat::SystemUiKind::MessageBox, {IDOK, {}, 0}, "", true);
    choose(c.bad);
    EXPECT_EQ(ItemText(pane, CModelFilePaneDlg::IDC_MESSAGE), c.message);
    EXPECT_TRUE(Visible(pane, CModelFilePaneDlg::IDC_MESSAGE));
    EXPECT_GT(RedPixels(label->m_hWnd), 0);

    choose(c.good);
    EXPECT_FALSE(Visible(pane, CModelFilePaneDlg::IDC_MESSAGE));
    editor.DestroyWindow();
  }
}

TEST_F(PaneTest, PortMapGivesAPinToOnePortOnlyAndIgnoresButtonClicks) {
  const CString dir = MakeDirectory("models");
  WriteFile(dir, "quad.sp", ".SUBCKT QUAD n1 n2 n3 n4\n.ENDS\n");
  CModelEditor editor;
  PrepareFourPinSpice(editor, dir);
  Open(editor);
  CPortMapGrid& grid = editor.SpicePane().m_PortMap;
  CGXStyle pinCell;
  grid.ComposeCellStyle(3, 2, pinCell);
  EXPECT_EQ(pinCell.GetControl(), GX_IDS_CTRL_CBS_DROPDOWNLIST);
  EXPECT_EQ(pinCell.GetChoiceList(), "A\nB\nC\nD");
  EXPECT_EQ(grid.GetPin(3), "<not assigned>");
  // The drop-down cell's choice as the grid receives it: the value, then the modified notification.
  CGXStyle b;
  b.SetValue("B");
  grid.SetStyleRange(CGXRange(3, 2), b);
  grid.NotifyCellModified(3, 2);
  EXPECT_EQ(grid.GetPin(1), "<not assigned>");
  EXPECT_EQ(grid.GetPin(3), "B");
  EXPECT_EQ(grid.GetPin(2), "A");
  CGXStyle first, third;
  grid.ComposeCellStyle(1, 2, first);
  grid.ComposeCellStyle(3, 2, third);
  EXPECT_EQ(first.GetTextColor(), RGB(255, 0, 0));
  EXPECT_EQ(third.GetTextColor(), RGB(0, 0, 0));
  grid.OnButtonClickedInCell(3, 2);
  EXPECT_EQ(grid.GetPin(3), "B");
  PortMap stored;
  grid.StoreAssignments(stored);
  EXPECT_EQ(stored, (PortMap{{2, "A"}, {3, "B"}}));
  editor.ShowWindow(SW_SHOW);
  ExpectMatchesReferenceIn(editor.m_hWnd, "editor_spice_portmap");
  editor.DestroyWindow();

  // Two pins: grey read-only cells showing the row numbers.
  CModelEditor twoPins;
  SetPins(twoPins, {"P", "N"});
  twoPins.SetModelDirectories(editor.Directories());
  Open(twoPins);
  CPortMapGrid& small = twoPins.SpicePane().m_PortMap;
  CGXStyle fixed;
  small.ComposeCellStyle(2, 2, fixed);
  EXPECT_EQ(fixed.GetControl(), GX_IDS_CTRL_STATIC);
  EXPECT_EQ(fixed.GetInterior().GetColor(), RGB(191, 191, 191));
  EXPECT_TRUE(fixed.GetReadOnly());
  EXPECT_EQ(small.GetPin(1), "1");
  EXPECT_EQ(small.GetPin(2), "2");
  twoPins.DestroyWindow();
}

TEST_F(PaneTest, TouchstoneListsByExtensionAndPortCountAndKeepsTheStoredChoice) {
  const CString dir = MakeDirectory("touchstone");
  CopyTestFile("touchstone/hfss_oneport.s1p", dir, "one.s1p");
  WriteFile(dir, "cap.s2p", SampleModel("cap_1u_0603_series.s2p"));  // a two-port the series/shunt fit reads
  CopyTestFile("touchstone/cst_example_4ports.s4p", dir, "four.s4p");
  CopyTestFile("touchstone/hfss_oneport.s1p", dir, "zpar.z1p");
  WriteFile(dir, "broken.s2p", "garbage\n");
  CModelEditor editor;
  PrepareTwoPinTouchstone(editor, dir);
  editor.Record().touchstone.fileName = "cap.s2p";
  editor.Record().touchstone.series = false;
  Open(editor);
  CModelEditorTstone& pane = editor.TouchstonePane();
  EXPECT_EQ(pane.m_FileList.GetCount(), 4);   // no z1p without the extended kinds
  EXPECT_TRUE(pane.IsCompatibleFile("one.s1p", true, false));
  EXPECT_FALSE(pane.IsCompatibleFile("cap.s2p", true, false));
  EXPECT_TRUE(pane.IsCompatibleFile("cap.s2p", false, true));
  EXPECT_FALSE(pane.IsCompatibleFile("four.s4p", false, false));
  EXPECT_FALSE(pane.IsCompatibleFile("broken.s2p", false, false));
  // The stored file restores its stored choice without detection.
  EXPECT_EQ(ListText(pane.m_FileList, pane.m_FileList.GetCurSel()), "cap.s2p");
  EXPECT_EQ(pane.IsDlgButtonChecked(CModelEditorTstone::IDC_SHUNT), BST_CHECKED);
  EXPECT_EQ(pane.m_Autodetect.GetCheck(), BST_UNCHECKED);
  EXPECT_TRUE(Enabled(pane, CModelEditorTstone::IDC_SERIES));

  // A one-port: shunt, fixed.
  pane.m_FileList.SetCurSel(pane.m_FileList.FindStringExact(-1, "one.s1p"));
  pane.OnFileSelChange();
  EXPECT_EQ(pane.IsDlgButtonChecked(CModelEditorTstone::IDC_SHUNT), BST_CHECKED);
  EXPECT_FALSE(Enabled(pane, CModelEditorTstone::IDC_SERIES));
  pane.StoreToModel();
  EXPECT_FALSE(editor.Record().touchstone.series);

  // A file with no port count, and four ports for two pins.
  automation.Reply(plat::SystemUiKind::MessageBox, {IDOK, {}, 0}, "", true);
  pane.m_FileList.SetCurSel(pane.m_FileList.FindStringExact(-1, "broken.s2p"));
  pane.OnFileSelChange();
  EXPECT_EQ(ItemText(pane, CModelEditorTstone::IDC_MESSAGE), "Invalid format of model file!");
  EXPECT_FALSE(pane.ValidatePane());
  pane.m_FileList.SetCurSel(pane.m_FileList.FindStringExact(-1, "four.s4p"));
  pane.OnFileSelChange();
  EXPECT_FALSE(pane.ValidatePane());
  EXPECT_EQ(Messages(), (std::vector<std::string>{"Select valid model file",
                                                  "You have to select model with number of ports equal to 2"}));

  // The compatible filter with "One-port only".
  pane.CheckRadioButton(CModelEditorTstone::IDC_ONE_PORT, CModelEditorTstone::IDC_ONE_AND_TWO_PORT,
                        CModelEditorTstone::IDC_ONE_PORT);
  pane.CheckDlgButton(CModelEditorTstone::IDC_COMPATIBLE, BST_CHECKED);
  pane.OnFilterChanged();
  ASSERT_EQ(pane.m_FileList.GetCount(), 1);
  EXPECT_EQ(ListText(pane.m_FileList, 0), "one.s1p");
  // With "One- and two-port": the one-port and the two-port file, neither the four-port nor the unreadable one.
  pane.CheckRadioButton(CModelEditorTstone::IDC_ONE_PORT, CModelEditorTstone::IDC_ONE_AND_TWO_PORT,
                        CModelEditorTstone::IDC_ONE_AND_TWO_PORT);
  pane.OnFilterChanged();
  EXPECT_EQ(pane.m_FileList.GetCount(), 2);
  EXPECT_GE(pane.m_FileList.FindStringExact(-1, "one.s1p"), 0);
  EXPECT_GE(pane.m_FileList.FindStringExact(-1, "cap.s2p"), 0);
  editor.DestroyWindow();
}

TEST_F(PaneTest, DetectionFindsTheSampleSeriesAndShuntTwoPorts) {
  // The sample models are generated from R-L-C values in each fixture (samples/models/generate.py).
  CModelEditor editor;
  PrepareTwoPinTouchstone(editor, BRIM_SAMPLE_MODELS);
  automation.Reply(plat::SystemUiKind::MessageBox, {IDOK, {}, 0}, "", true);
  Open(editor);
  CModelEditorTstone& pane = editor.TouchstonePane();
  EXPECT_EQ(pane.m_FileList.GetCount(), 5);   // one-, two- and four-ports; no "pls" without the extended kinds
  for (const char* name : {"cap_1u_0603_series.s2p", "cap_10u_0805_shunt.s2p", "cap_100n_0402.s2p"}) {
    SCOPED_TRACE(name);
    const bool series = std::string(name).find("series") != std::string::npos;
    pane.m_FileList.SetCurSel(pane.m_FileList.FindStringExact(-1, name));
    pane.OnFileSelChange();
    EXPECT_EQ(pane.m_Autodetect.GetCheck(), BST_CHECKED);
    EXPECT_EQ(pane.IsDlgButtonChecked(series ? CModelEditorTstone::IDC_SERIES : CModelEditorTstone::IDC_SHUNT),
              BST_CHECKED);
    EXPECT_FALSE(Enabled(pane, CModelEditorTstone::IDC_SERIES));
    pane.StoreToModel();
    EXPECT_EQ(editor.Record().touchstone.series, series);
  }
  // Only the first file's selection may have asked (cap_100n_0402.s2p, sorted first, is detected too).
  EXPECT_TRUE(Messages().empty()) << Messages()[0];
  editor.DestroyWindow();
}

TEST_F(PaneTest, AFileTheFitCannotReadEndsDetectionInAMessage) {
  const CString dir = MakeDirectory("touchstone");
  // Two ports by its first point, but a point the fit cannot read.
  WriteFile(dir, "odd.s2p", "# GHZ S RI R 50\n1 0 0 0 0 0 0 0 0\n2 x\n");
  CModelEditor editor;
  PrepareTwoPinTouchstone(editor, dir);
  automation.Reply(plat::SystemUiKind::MessageBox, {IDOK, {}, 0}, "", true);
  Open(editor);   // the file is selected for the first time: detection runs
  CModelEditorTstone& pane = editor.TouchstonePane();
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_NE(Messages()[0].find("cannot be recognized either as SERIES or SHUNT!"), std::string::npos);
  EXPECT_EQ(pane.m_Autodetect.GetCheck(), BST_UNCHECKED);
  EXPECT_TRUE(Enabled(pane, CModelEditorTstone::IDC_SERIES));
  editor.DestroyWindow();
}

// A file cut within a line of its data, and a file whose frequencies fall back: the detection's message says what
// is wrong and where, so that the user does not take the file for one whose fits merely agree.
TEST_F(PaneTest, TheDetectionMessageGivesTheReasonAFileCannotBeRead) {
  const CString dir = MakeDirectory("touchstone-reasons");
  struct Case {
    const char* text;
    const char* reason;
  };
  const Case cases[] = {
      {"# MHZ S RI R 50\n1 0 0 1 0 1 0 0 0\n2 0 0 1 0 1 0 0 0\n3 0 0 0.9 0",
       "(line 4: a two-port data point needs 9 values, found 5)"},
      {"# MHZ S RI R 50\n1 0 0 1 0 1 0 0 0\n3 0 0 1 0 1 0 0 0\n2 0 0 1 0 1 0 0 0\n",
       "(line 4: frequencies must not decrease)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.reason);
    const std::string message = DetectionMessageOf(dir, c.text);
    EXPECT_NE(message.find("cannot be recognized either as SERIES or SHUNT!\n"), std::string::npos) << message;
    EXPECT_NE(message.find(c.reason), std::string::npos) << message;
  }
}

// A one-port file cut within a line of its data: no fit reads it, so the pane reads its data whole when it is
// chosen. The label says what is wrong and where, and OK refuses it; the whole file is taken as before.
TEST_F(PaneTest, AOnePortFileCutShortIsShownInvalidWithItsReasonAndRefused) {
  const CString dir = MakeDirectory("touchstone-cut");
  CopyTestFile("touchstone/hfss_oneport.s1p", dir, "whole.s1p");
  std::ifstream in(std::string(dir) + "whole.s1p", std::ios::binary);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const std::size_t cut = text.find("5.012500000000000E+02 1.986852243177610E-01");
  ASSERT_NE(cut, std::string::npos);
  WriteFile(dir, "cut.s1p", text.substr(0, cut + 43));
  CModelEditor editor;
  PrepareTwoPinTouchstone(editor, dir);
  editor.Record().touchstone.fileName = "whole.s1p";
  Open(editor);
  CModelEditorTstone& pane = editor.TouchstonePane();
  EXPECT_FALSE(Visible(pane, CModelFilePaneDlg::IDC_MESSAGE));
  EXPECT_TRUE(pane.ValidatePane());

  pane.m_FileList.SetCurSel(pane.m_FileList.FindStringExact(-1, "cut.s1p"));
  pane.OnFileSelChange();
  const char* reason = "(line 11: a one-port data point needs 3 values, found 5)";
  ExpectShownInvalidAndRefused(pane, reason);
  editor.DestroyWindow();
}

// The record's own two-port file, cut within a line of its data since it was chosen: the pane, which runs no
// detection on it, showed its series or shunt choice with no word until OK. It says what is wrong and where as it
// opens, as for a file of another port count, and OK refuses it with the same reason.
TEST_F(PaneTest, TheRecordsOwnTwoPortFileCutShortIsShownInvalidWithItsReason) {
  const CString dir = MakeDirectory("touchstone-own-cut");
  WriteFile(dir, "own.s2p", "# MHZ S RI R 50\n1 0 0 1 0 1 0 0 0\n2 0 0 1 0 1 0 0 0\n3 0 0 0.9 0");
  CModelEditor editor;
  PrepareTwoPinTouchstone(editor, dir);
  editor.Record().touchstone.fileName = "own.s2p";
  editor.Record().touchstone.series = true;
  Open(editor);
  CModelEditorTstone& pane = editor.TouchstonePane();
  const char* reason = "(line 4: a two-port data point needs 9 values, found 5)";
  ExpectShownInvalidAndRefused(pane, reason);
  editor.DestroyWindow();
}

// A model file that cannot be read says why, as every reader says it: in the SPICE pane (a socket said
// "Input/output error.") and at the Touchstone pane's OK (which said only "Select valid model file" for each). A
// read that fails gives the system's reason, not that the file changed.
TEST_F(PaneTest, ModelFilesThatCannotBeReadSayWhyInBothPanes) {
  const CString dir = MakeDirectory("kinds");
  const std::string twoPort = SampleModel("cap_1u_0603_series.s2p");
  automation.Reply(plat::SystemUiKind::MessageBox, {IDOK, {}, 0}, "", true);
  for (const bool spice : {true, false}) {
    const FileKinds files(static_cast<const char*>(dir), spice ? ".cir" : ".s2p",
                          spice ? ".SUBCKT C1 1 2\n.ENDS\n" : twoPort);
    for (const FileKinds::Kind& kind : files.kinds()) {
      SCOPED_TRACE(kind.name);
      CModelEditor editor;
      PrepareTwoPinSpice(editor, dir, kind.name.c_str(), "C1");
      if (!spice) {
        editor.Record().header.kind = HostModelTouchstone;
        editor.Record().touchstone.fileName = kind.name.c_str();
      }
      Open(editor);
      if (spice) {
        EXPECT_EQ(ItemText(editor.SpicePane(), CModelEditorSPICE::IDC_MESSAGE), kind.reason.c_str());
      } else {
        // Picked (the stored file is picked as the pane opens): the reason in the label, not an invalid format.
        // A file that opens but whose reading fails is met only at OK: the pick of the stored two-port reads none
        // of its data.
        if (kind.name != "failing.s2p") {
          EXPECT_TRUE(Visible(editor.TouchstonePane(), CModelEditorTstone::IDC_MESSAGE));
          EXPECT_EQ(ItemText(editor.TouchstonePane(), CModelEditorTstone::IDC_MESSAGE), kind.reason.c_str());
        }
        EXPECT_FALSE(editor.TouchstonePane().ValidatePane());
        ASSERT_FALSE(Messages().empty());
        EXPECT_EQ(Messages().back().rfind("Select valid model file\n", 0), 0u) << Messages().back();
        EXPECT_NE(Messages().back().find(kind.reason), std::string::npos) << Messages().back();
      }
      editor.DestroyWindow();
    }
  }
}

// A model file above the model file limit (sparse files: nothing is written) says so in both panes, as it is picked
// and at OK: the Touchstone pane said "Invalid format of model file!" and "Select valid model file" alone for a file
// of zeros, and named no size for one whose first point counts its ports.
TEST_F(PaneTest, AModelFileAboveTheLimitSaysItsSizeInBothPanes) {
  const CString dir = MakeDirectory("big");
  const std::string tooLarge = "The file is larger than 268435456 bytes.";
  const std::string twoPort = SampleModel("cap_1u_0603_series.s2p");
  struct Case {
    const char* stem;
    std::uint64_t size;
    bool dataFirst;   // the file begins with a model's text, then zeros
  };
  const Case cases[] = {
      {"zeros", modelfile::kMaxModelFileBytes + 1, false},
      {"huge", std::uint64_t{10} << 30, false},
      {"begun", modelfile::kMaxModelFileBytes + 1, true},
  };
  automation.Reply(plat::SystemUiKind::MessageBox, {IDOK, {}, 0}, "", true);
  for (const bool spice : {true, false}) {
    for (const Case& c : cases) {
      const std::string name = std::string(c.stem) + (spice ? ".cir" : ".s2p");
      SCOPED_TRACE(name);
      WriteFile(dir, name, c.dataFirst ? (spice ? std::string(".SUBCKT C1 1 2\n.ENDS\n") : twoPort) : std::string());
      std::filesystem::resize_file(std::filesystem::path(static_cast<const char*>(dir)) / name, c.size);
      CModelEditor editor;
      PrepareTwoPinSpice(editor, dir, name.c_str(), "C1");
      if (!spice) {
        editor.Record().header.kind = HostModelTouchstone;
        editor.Record().touchstone.fileName = name.c_str();
      }
      const std::size_t before = Messages().size();
      Open(editor);
      CModelFilePaneDlg& pane = spice ? static_cast<CModelFilePaneDlg&>(editor.SpicePane()) : editor.TouchstonePane();
      EXPECT_EQ(ItemText(pane, CModelFilePaneDlg::IDC_MESSAGE), tooLarge.c_str());
      EXPECT_EQ(Messages().size(), before) << "no detection runs on a file that cannot be read";
      if (!spice) {
        EXPECT_FALSE(editor.TouchstonePane().ValidatePane());
        ASSERT_FALSE(Messages().empty());
        EXPECT_EQ(Messages().back(), "Select valid model file\n" + tooLarge);
      }
      editor.DestroyWindow();
      std::filesystem::remove(std::filesystem::path(static_cast<const char*>(dir)) / name);
    }
  }
}

// NaN, infinite and too large numbers in the data of a model the fit would otherwise take as series end detection
// in the same message as an unreadable point or a falling frequency, whatever column they stand in.
TEST_F(PaneTest, NonFiniteNumbersInTheDataEndDetectionInAMessage) {
  std::ifstream in(std::string(BRIM_SAMPLE_MODELS) + "/cap_1u_0603_series.s2p", std::ios::binary);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);)
    lines.push_back(line);
  ASSERT_GT(lines.size(), 100u);
  // The file with one value of one data line replaced.
  auto replaced = [&](std::size_t line, int column, const std::string& value) {
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
      if (i != line) {
        text += lines[i] + "\n";
        continue;
      }
      std::istringstream pieces(lines[i]);
      std::string piece;
      for (int k = 0; pieces >> piece; ++k)
        text += (k == column ? value : piece) + " ";
      text += "\n";
    }
    return text;
  };
  const CString dir = MakeDirectory("touchstone-nonfinite");
  struct Case { std::size_t line; int column; const char* value; };
  for (const Case c : {Case{60, 3, "nan"}, Case{60, 4, "-inf"}, Case{60, 3, "1e999"}, Case{2, 0, "1e999"}}) {
    SCOPED_TRACE(std::string(c.value) + " in column " + std::to_string(c.column));
    const std::string message = DetectionMessageOf(dir, replaced(c.line, c.column, c.value));
    EXPECT_NE(message.find("cannot be recognized either as SERIES or SHUNT!"), std::string::npos) << message;
  }
}

// A SPICE file the pane cannot use says why and lists nothing: a subcircuit name with a NUL byte (the host got the
// name cut at it) or another control character (the host got it raw), and a file shortened while it is read.
TEST_F(PaneTest, SpiceFilesThatCannotBeReadSayWhy) {
  using namespace std::string_literals;
  const CString dir = MakeDirectory("spice-refused");
  WriteFile(dir, "nul.cir", ".SUBCKT C1U\0" "0402 1 2\n.ENDS\n"s);
  WriteFile(dir, "soh.cir", ".SUBCKT C1\x01X 1 2\n.ENDS\n");
  WriteFile(dir, "vt.cir", "* ports\n.SUBCKT C1U0402 1\v 2\n.ENDS\n");
  WriteFile(dir, "ff.cir", ".SUBCKT A 1 2\n.ENDS\n\n.SUBCKT C1U\f0402 1 2\n.ENDS\n");
  WriteFile(dir, "cut.cir", ".SUBCKT C1U0402 1 2\n.ENDS\n");
  const auto previous = vorntool::mapfile::SetReadHook([](const std::string& file, std::size_t) {
    if (file.ends_with("cut.cir")) std::filesystem::resize_file(file, 4);
  });
  const char* const control = ": a subcircuit's name or port holds a control character";
  for (const auto& [file, message] : {std::pair("nul.cir", "line 1: a subcircuit's name or port holds a NUL byte"s),
                                      std::pair("soh.cir", "line 1"s + control), std::pair("vt.cir", "line 2"s + control),
                                      std::pair("ff.cir", "line 4"s + control),
                                      std::pair("cut.cir", "The file changed while it was read"s)}) {
    CModelEditor editor;
    PrepareTwoPinSpice(editor, dir, file, "C1U0402");
    Open(editor);
    EXPECT_EQ(editor.SpicePane().m_SubcircuitList.GetCount(), 0);
    EXPECT_EQ(std::string(ItemText(editor.SpicePane(), CModelEditorSPICE::IDC_MESSAGE)).rfind(message, 0), 0u);
    editor.DestroyWindow();
  }
  vorntool::mapfile::SetReadHook(previous);
}

}  // namespace
}  // namespace edtest

namespace edtest {
namespace {

// A node name's cell copied onto a pin cell made it a plain cell (the node's style came with its value) showing a
// pin that was no choice, whose list no key opened again, and OK refused what the user could no longer change.
// The pin cell keeps its list and takes only one of its pins, chosen for that port as one picked from the list is
// (taken from the port that held it); a text that is no pin is refused with a message, the cells as they were.
TEST_F(PaneTest, APasteIntoThePortMapKeepsThePinListsAndTakesOnlyAPinForOnePort) {
  // The pin lists' cells and the clipboard, as the module registers them.
  StartGridLibrary(&RegisterCellsAndFeatures);
  const CString dir = MakeDirectory("models");
  WriteFile(dir, "quad.sp", ".SUBCKT QUAD n1 n2 n3 n4\n.ENDS\n");
  automation.Reply(plat::SystemUiKind::MessageBox, {IDOK, {}, 0}, "", true);
  struct Case {
    const char* way;
    ROWCOL sourceRow, sourceCol;  // the copied cell (row 0: the text instead)
    const char* text;
    ROWCOL row;  // the pin cell pasted on
    int modifier, key;
    const char* pins;  // the four ports' pins afterwards
    bool message;
  } cases[] = {
      {"a node name's cell", 2, 1, nullptr, 3, VK_CONTROL, 'V', "B,A,<not assigned>,<not assigned>", true},
      {"another port's pin cell", 2, 2, nullptr, 3, VK_CONTROL, 'V', "B,<not assigned>,A,<not assigned>", false},
      {"a pin's text, Shift+Insert", 0, 0, "d", 4, VK_SHIFT, VK_INSERT, "B,A,<not assigned>,D", false},
      {"two pins' lines", 0, 0, "C\r\nB", 3, VK_CONTROL, 'V', "<not assigned>,A,C,B", false},
      {"a pin, then a text no pin", 0, 0, "C\r\nZ", 3, VK_CONTROL, 'V', "B,A,<not assigned>,<not assigned>", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.way);
    CModelEditor editor;
    PrepareFourPinSpice(editor, dir);
    Open(editor);
    CPortMapGrid& grid = editor.SpicePane().m_PortMap;
    ::SetFocus(grid.m_hWnd);
    if (c.sourceRow) {
      ASSERT_TRUE(grid.MoveCurrentCellTo(c.sourceRow, c.sourceCol, GX_UPDATENOW));
      grid.Copy();
    } else {
      gxtest::PutClipboardText(c.text);
    }
    ASSERT_TRUE(grid.MoveCurrentCellTo(c.row, 2, GX_UPDATENOW));
    const std::size_t before = Messages().size();
    auto& in = plat::InputRouter::Instance();
    in.KeyDown(c.modifier);
    in.KeyPress(c.key);
    in.KeyUp(c.modifier);
    Pump();
    EXPECT_EQ(Messages().size(), before + (c.message ? 1 : 0));
    std::string pins;
    for (ROWCOL row = 1; row <= 4; ++row) {
      CGXStyle cell;
      grid.ComposeCellStyle(row, 2, cell);
      EXPECT_EQ(cell.GetControl(), GX_IDS_CTRL_CBS_DROPDOWNLIST) << row;
      EXPECT_EQ(cell.GetChoiceList(), "A\nB\nC\nD") << row;
      pins += (row > 1 ? "," : "") + std::string(grid.GetPin(row));
    }
    EXPECT_EQ(pins, c.pins);
    editor.DestroyWindow();
  }
}

}  // namespace
}  // namespace edtest
