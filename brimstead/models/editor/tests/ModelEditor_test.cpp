// The model editor frame, its C-L-R pane, the interface object and the model views.
#include "brimstead/BrimsteadExports.h"
#include "brimstead/models/editor/CCapacitorModelEditorAPI.h"
#include "brimstead/models/editor/CEditModelName.h"
#include "brimstead/models/editor/CESLCalculator.h"
#include "brimstead/models/editor/ModelEditorResources.h"
#include "brimstead/models/editor/ModelFileList.h"
#include "brimstead/models/editor/ModelViews.h"
#include "brimstead/models/editor/tests/ModelEditorTestSupport.h"

#include <cstdlib>

#include <filesystem>
#include "platform/display/Desktop.h"
#include "platform/gdi/Surface.h"
#include "platform/window/Inspect.h"
#include "grid/core/tests/gxwindowtest.h"
#include "shared/Misc_Path.h"

namespace edtest {
namespace {

using Quantity = CModelEditorCLR::Quantity;

class EditorTest : public ModelEditorTest {};

TEST(ModelViews, ReadTheRecordLiveAnswerOnlyTheirKindAndOutliveTheirEditor) {
  CHostCapacitorModel* view = nullptr;
  CHostCapacitorModel* plsView = nullptr;
  {
    CModelEditor editor;
    view = editor.GetResultModel();   // C-L-R at the defaults
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->GetKind(), HostModelCLR);
    EXPECT_DOUBLE_EQ(view->GetCapacitance(), 1e-7);
    EXPECT_DOUBLE_EQ(view->GetESR(), 0.025);
    EXPECT_DOUBLE_EQ(view->GetESL(), 3.3e-10);
    EXPECT_EQ(view->GetFileName(), nullptr);
    EXPECT_EQ(view->GetPortPin(1), nullptr);
    editor.Record().clr.esr = 0.5;   // a view shows edits made after it was made
    EXPECT_DOUBLE_EQ(view->GetESR(), 0.5);

    editor.Record().header.kind = HostModelPLS;
    editor.Record().pls.fileName = "cap.pls";
    editor.Record().pls.series = false;
    editor.Record().pls.portMap[2] = "B";
    editor.Record().touchstone.fileName = "other.s2p";
    plsView = editor.GetResultModel();
    ASSERT_NE(plsView, nullptr);
    EXPECT_STREQ(plsView->GetFileName(), "cap.pls");
    EXPECT_FALSE(plsView->IsSeries());
    EXPECT_STREQ(plsView->GetPortPin(2), "B");
    EXPECT_EQ(plsView->GetPortPin(0), nullptr);
    EXPECT_EQ(plsView->GetPortPin(1), nullptr);
    EXPECT_DOUBLE_EQ(plsView->GetCapacitance(), 0.0);
    EXPECT_EQ(plsView->GetSubcircuitName(), nullptr);
    editor.Record().header.kind = 7;
    EXPECT_EQ(editor.GetResultModel(), nullptr);
  }
  // The editor is gone: the views still read its last state and die whole through the host's interface.
  EXPECT_STREQ(plsView->GetFileName(), "cap.pls");
  EXPECT_EQ(plsView->GetKind(), 7);
  delete view;
  delete plsView;
}

TEST(ModelEditorAPI, SplitsItsTextsAndAnswersTheGivenModelBeforeAnyRun) {
  auto* api = static_cast<CCapacitorModelEditorAPI*>(CreateCapacitorModelEditorDialog());
  api->SetPinNames("A\r\n\tB");
  api->SetPinNames("two words");
  api->SetPinNames(nullptr);
  api->SetModelDirectories("/m/a/\n\n/m/b/");
  EXPECT_EQ(api->PinNames().GetSize(), 3);
  EXPECT_EQ(api->PinNames()[2], "two words");
  EXPECT_EQ(api->ModelDirectories().GetSize(), 2);
  EXPECT_EQ(api->ModelDirectories()[1], "/m/b/");
  EXPECT_TRUE(api->SetContext(42));
  host::HostCapacitorModel model(ClrModel(nullptr, 1e-6, 0.01, 1e-9));
  EXPECT_EQ(api->GetModel(), nullptr);
  EXPECT_TRUE(api->SetModel(&model));
  EXPECT_EQ(api->GetModel(), &model);
  api->Delete();
}

TEST_F(EditorTest, AfterARunEvenACancelledOneTheInterfaceAnswersAViewOfThatRun) {
  CCapacitorModelEditorAPITable* api = CreateCapacitorModelEditorDialog();
  host::HostCapacitorModel model(ClrModel(nullptr, 2.2e-6, 0.003, 4e-10));
  api->SetModel(&model);
  api->SetPinNames("1\n2");
  automation.Then([] {
    auto* editor = static_cast<CModelEditor*>(CWnd::FromHandle(::GetActiveWindow()));
    editor->ClrPane().m_R = 0.004;   // as typed: stored by OK
    editor->OnOK();
  });
  EXPECT_EQ(api->RunModal(), 1);
  CHostCapacitorModel* result = api->GetModel();
  ASSERT_NE(result, &model);
  EXPECT_DOUBLE_EQ(result->GetCapacitance(), 2.2e-6);
  EXPECT_DOUBLE_EQ(result->GetESR(), 0.004);
  delete result;
  automation.Then([] { static_cast<CDialog*>(CWnd::FromHandle(::GetActiveWindow()))->EndDialog(IDCANCEL); });
  EXPECT_EQ(api->RunModal(), 2);
  result = api->GetModel();
  EXPECT_DOUBLE_EQ(result->GetESR(), 0.003);   // the second run's record, as loaded
  delete result;
  api->Delete();
}

TEST_F(EditorTest, ClrPaneShowsTheDefaultsChangesUnitsAndResonance) {
  CModelEditor editor;
  SetPins(editor, {"1", "2"});
  Open(editor);
  CModelEditorCLR& pane = editor.ClrPane();
  EXPECT_EQ(editor.CurrentPane(), &pane);
  EXPECT_TRUE(Visible(editor, CModelEditor::IDC_KIND_CLR));
  EXPECT_EQ(ItemText(pane, CModelEditorCLR::IDC_C_VALUE), "100.0");
  EXPECT_EQ(ItemText(pane, CModelEditorCLR::IDC_R_VALUE), "25.0");
  EXPECT_EQ(ItemText(pane, CModelEditorCLR::IDC_L_VALUE), "330.0");
  EXPECT_EQ(ItemText(pane, CModelEditorCLR::IDC_RESONANCE), "27.71");
  EXPECT_EQ(ItemText(pane, CModelEditorCLR::IDC_C_UNIT), "nF");
  EXPECT_EQ(ItemText(pane, CModelEditorCLR::IDC_R_UNIT), "mOhm");
  EXPECT_EQ(ItemText(pane, CModelEditorCLR::IDC_L_UNIT), "pH");

  pane.SendDlgItemMessage(CModelEditorCLR::IDC_C_UNIT, CB_SETCURSEL, 1, 0);
  pane.SendMessage(WM_COMMAND, MAKEWPARAM(CModelEditorCLR::IDC_C_UNIT, CBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(pane.GetDlgItem(CModelEditorCLR::IDC_C_UNIT)->m_hWnd));
  EXPECT_EQ(ItemText(pane, CModelEditorCLR::IDC_C_VALUE), "0.1");
  EXPECT_DOUBLE_EQ(pane.m_C, 1e-7);

  // Typing: a trailing letter is ignored, text that is no number keeps the value.
  pane.SendDlgItemMessage(CModelEditorCLR::IDC_C_UNIT, CB_SETCURSEL, 2, 0);
  pane.SetDlgItemText(CModelEditorCLR::IDC_C_VALUE, "47x");
  EXPECT_DOUBLE_EQ(pane.m_C, 47e-9);
  pane.SetDlgItemText(CModelEditorCLR::IDC_C_VALUE, "abc");
  EXPECT_DOUBLE_EQ(pane.m_C, 47e-9);
  // The kept value is not what the edit shows: OK is refused until each edit holds a number (a trailing letter is
  // allowed; "nan" and "inf" are no numbers here).
  EXPECT_FALSE(pane.ValidatePane());
  pane.SetDlgItemText(CModelEditorCLR::IDC_C_VALUE, "47x");
  EXPECT_TRUE(pane.ValidatePane());
  for (const char* text : {"nan", "inf", "", " "}) {
    pane.SetDlgItemText(CModelEditorCLR::IDC_L_VALUE, text);
    EXPECT_FALSE(pane.ValidatePane()) << text;
  }
  pane.SetDlgItemText(CModelEditorCLR::IDC_L_VALUE, "330");
  EXPECT_TRUE(pane.ValidatePane());
  pane.SetDlgItemText(CModelEditorCLR::IDC_C_VALUE, "0");
  EXPECT_EQ(ItemText(pane, CModelEditorCLR::IDC_RESONANCE), "N/A <C=0>");
  pane.SetDlgItemText(CModelEditorCLR::IDC_L_VALUE, "0");
  EXPECT_EQ(ItemText(pane, CModelEditorCLR::IDC_RESONANCE), "N/A");
  pane.SetDlgItemText(CModelEditorCLR::IDC_C_VALUE, "10");
  EXPECT_EQ(ItemText(pane, CModelEditorCLR::IDC_RESONANCE), "N/A <L=0>");
  editor.DestroyWindow();
}

TEST_F(EditorTest, ClrValidationBoundsAndLoadedUnits) {
  CModelEditor editor;
  SetPins(editor, {"1", "2"});
  editor.Record().clr = {0.0, 0.0, 1e-9};
  Open(editor);
  CModelEditorCLR& pane = editor.ClrPane();
  EXPECT_EQ(ItemText(pane, CModelEditorCLR::IDC_C_UNIT), "nF");   // C = 0 loads in nF
  EXPECT_EQ(ItemText(pane, CModelEditorCLR::IDC_L_VALUE), "1.0");
  EXPECT_EQ(ItemText(pane, CModelEditorCLR::IDC_L_UNIT), "nH");
  EXPECT_FALSE(pane.ValidatePane());
  for (auto [c, r, l, valid] : std::initializer_list<std::tuple<double, double, double, bool>>{
           {0.01, 0, 0, false}, {0.0099, 0, 0, true}, {1e-6, -0.001, 0, false}, {1e-6, 0, -1e-12, false}}) {
    pane.m_C = c;
    pane.m_R = r;
    pane.m_L = l;
    EXPECT_EQ(pane.ValidatePane(), valid) << c << " " << r << " " << l;
  }
  editor.DestroyWindow();
}

// Each of the three edits reads the number at its text's start as strtod does: blanks and one sign before it, any
// text after it; a second sign makes the text no number (the value stays, OK is refused).
TEST_F(EditorTest, ClrEditsTakeOneSignBeforeTheirNumber) {
  CModelEditor editor;
  SetPins(editor, {"1", "2"});
  Open(editor);
  CModelEditorCLR& pane = editor.ClrPane();
  struct Edit {
    int id;
    double& value;
    double unit;   // the unit shown for the defaults: nF, pH, mOhm
  };
  const Edit edits[] = {{CModelEditorCLR::IDC_C_VALUE, pane.m_C, 1e-9},
                        {CModelEditorCLR::IDC_L_VALUE, pane.m_L, 1e-12},
                        {CModelEditorCLR::IDC_R_VALUE, pane.m_R, 1e-3}};
  struct Row {
    const char* text;
    bool number;
    double shown;
  };
  const Row rows[] = {{"--47", false, 0}, {"+-47", false, 0}, {"-+47", false, 0}, {"- 47", false, 0},
                      {" +47", true, 47}, {"\t47", true, 47}, {"47n", true, 47}, {"+0.5e1", true, 5}};
  for (const Edit& edit : edits)
    for (const Row& row : rows) {
      pane.SetDlgItemText(edit.id, "10");
      ASSERT_DOUBLE_EQ(edit.value, 10 * edit.unit);
      pane.SetDlgItemText(edit.id, row.text);
      EXPECT_DOUBLE_EQ(edit.value, (row.number ? row.shown : 10) * edit.unit) << edit.id << " " << row.text;
      EXPECT_EQ(pane.ValidatePane(), row.number) << edit.id << " " << row.text;
    }
  editor.DestroyWindow();
}

EslResult OneNanohenry(const EslGeometry&) { return {0, 1e-9}; }

TEST_F(EditorTest, CalculatorResultShowsWithInclusiveUnitBounds) {
  CESLCalculator::SetComputeFunction(&OneNanohenry);
  TestLayers layers;
  layers.Add("TOP", 0, 35e-6);
  layers.Add("PP", HostLayerKindSkipped, 100e-6);
  layers.Add("GND", 0, 35e-6);
  CModelEditor editor;
  SetPins(editor, {"1", "2"});
  editor.SetLayers(&layers);
  Open(editor);
  CModelEditorCLR& pane = editor.ClrPane();
  automation.Then([] {
    auto* calculator = static_cast<CESLCalculator*>(CWnd::FromHandle(::GetActiveWindow()));
    calculator->m_LayerList.SetCurSel(1);
    calculator->OnOK();
  });
  pane.SendMessage(WM_COMMAND, MAKEWPARAM(CModelEditorCLR::IDC_CALCULATE, BN_CLICKED),
                   reinterpret_cast<LPARAM>(pane.GetDlgItem(CModelEditorCLR::IDC_CALCULATE)->m_hWnd));
  EXPECT_DOUBLE_EQ(pane.m_L, 1e-9);
  EXPECT_EQ(ItemText(pane, CModelEditorCLR::IDC_L_VALUE), "1000.0");
  EXPECT_EQ(ItemText(pane, CModelEditorCLR::IDC_L_UNIT), "pH");
  CESLCalculator::SetComputeFunction(nullptr);
  editor.DestroyWindow();
}

TEST_F(EditorTest, ThreePinsNeverOfferClrAndPlsShowsOnlyWhenAsked) {
  CModelEditor editor;
  SetPins(editor, {"A", "B", "C"});
  editor.Record().touchstone.fileName = "kept.s3p";
  Open(editor);
  EXPECT_EQ(editor.Record().header.kind, HostModelTouchstone);
  EXPECT_EQ(editor.Record().touchstone.fileName, "");
  EXPECT_EQ(editor.CurrentPane(), &editor.TouchstonePane());
  EXPECT_FALSE(Enabled(editor, CModelEditor::IDC_KIND_CLR));
  EXPECT_EQ(editor.IsDlgButtonChecked(CModelEditor::IDC_KIND_TOUCHSTONE), BST_CHECKED);
  EXPECT_FALSE(Visible(editor, CModelEditor::IDC_KIND_PLS));
  editor.DestroyWindow();

  CModelEditor extended;
  SetPins(extended, {"1", "2"});
  extended.SetExtendedKinds(true);
  Open(extended);
  EXPECT_TRUE(Visible(extended, CModelEditor::IDC_KIND_PLS));
  EXPECT_TRUE(Enabled(extended, CModelEditor::IDC_KIND_CLR));
  extended.DestroyWindow();

  host::CapacitorModelData pls;
  pls.kind = HostModelPLS;
  host::HostCapacitorModel plsModel(pls);
  CModelEditor editing;
  SetPins(editing, {"1", "2"});
  editing.SetModel(&plsModel);
  Open(editing);
  EXPECT_TRUE(Visible(editing, CModelEditor::IDC_KIND_PLS));
  EXPECT_EQ(editing.CurrentPane(), &editing.PlsPane());
  editing.DestroyWindow();
}

TEST_F(EditorTest, SwitchingKindStoresThePaneLeftAndOkOnAnInvalidPaneBeeps) {
  CModelEditor editor;
  SetPins(editor, {"1", "2"});
  Open(editor);
  editor.ClrPane().m_R = 0.5;
  editor.CheckRadioButton(CModelEditor::IDC_KIND_CLR, CModelEditor::IDC_KIND_PLS, CModelEditor::IDC_KIND_SPICE);
  editor.OnKindClicked();
  EXPECT_EQ(editor.Record().header.kind, HostModelSPICE);
  EXPECT_DOUBLE_EQ(editor.Record().clr.esr, 0.5);
  EXPECT_FALSE(editor.ClrPane().GetStyle() & WS_VISIBLE);
  EXPECT_TRUE(editor.SpicePane().GetStyle() & WS_VISIBLE);
  editor.CheckRadioButton(CModelEditor::IDC_KIND_CLR, CModelEditor::IDC_KIND_PLS, CModelEditor::IDC_KIND_CLR);
  editor.OnKindClicked();
  EXPECT_EQ(ItemText(editor.ClrPane(), CModelEditorCLR::IDC_R_VALUE), "500.0");

  editor.ClrPane().m_C = 0.0;
  plat::ClearRecordedBeeps();
  editor.OnOK();
  EXPECT_EQ(plat::RecordedBeeps(), std::vector<UINT>{MB_ICONASTERISK});
  EXPECT_TRUE(Messages().empty());
  EXPECT_TRUE(::IsWindow(editor.m_hWnd));
  editor.DestroyWindow();
}

TEST_F(EditorTest, LibraryListSavesUnderANameAndRemovesOnTheHostsLibrary) {
  host::HostModelLibrary library;
  library.Put(std::make_unique<host::HostCapacitorModel>(ClrModel("beta", 1e-6, 0.01, 5e-10)));
  library.Put(std::make_unique<host::HostCapacitorModel>(ClrModel("Alpha", 2e-6, 0.02, 6e-10)));
  library.Put(std::make_unique<host::HostCapacitorModel>(ClrModel("alpha", 3e-6, 0.03, 7e-10)));
  host::HostCapacitorModel chosen(ClrModel("alpha", 3e-6, 0.03, 7e-10));
  CModelEditor editor;
  SetPins(editor, {"1", "2"});
  editor.SetModelLibrary(&library);
  editor.SetModel(&chosen);
  Open(editor);
  CComboBox& list = editor.LibraryList();
  CString text;
  list.GetLBText(0, text);
  EXPECT_EQ(text, "<custom>");
  list.GetLBText(list.GetCurSel(), text);
  EXPECT_EQ(text, "alpha");   // the exact-case entry
  EXPECT_FALSE(Enabled(editor.ClrPane(), CModelEditorCLR::IDC_C_VALUE));   // a library model is read-only
  EXPECT_FALSE(Enabled(editor, CModelEditor::IDC_SAVE));
  EXPECT_TRUE(Enabled(editor, CModelEditor::IDC_REMOVE));

  // "<custom>" keeps the values as the start of a custom model.
  list.SetCurSel(0);
  editor.OnLibrarySelChange();
  EXPECT_FALSE(editor.Record().header.libraryModel);
  EXPECT_EQ(ItemText(editor.ClrPane(), CModelEditorCLR::IDC_C_VALUE), "3.0");
  EXPECT_TRUE(Enabled(editor.ClrPane(), CModelEditorCLR::IDC_C_VALUE));

  // Save as: the name dialog refuses a blank, then takes a name.
  automation.Then([] {
    auto* dialog = static_cast<CEditModelName*>(CWnd::FromHandle(::GetActiveWindow()));
    dialog->SetDlgItemText(CEditModelName::IDC_NAME, "my cap");
    dialog->OnOK();
    EXPECT_TRUE(::IsWindowVisible(dialog->m_hWnd));
    dialog->SetDlgItemText(CEditModelName::IDC_NAME, "my_cap");
    dialog->OnOK();
  });
  automation.Reply(plat::SystemUiKind::MessageBox, {IDOK, {}, 0}, "invalid characters");
  editor.OnSaveAsToLibrary();
  EXPECT_EQ(Messages(), std::vector<std::string>{"Model name contains invalid characters."});
  ASSERT_NE(library.Find("my_cap"), nullptr);
  EXPECT_DOUBLE_EQ(library.Find("my_cap")->GetCapacitance(), 3e-6);
  list.GetLBText(list.GetCurSel(), text);
  EXPECT_EQ(text, "my_cap");

  editor.OnRemoveFromLibrary();
  EXPECT_EQ(library.Find("my_cap"), nullptr);
  EXPECT_EQ(list.GetCurSel(), 0);
  EXPECT_FALSE(editor.Record().header.libraryModel);
  EXPECT_EQ(library.GetCount(), 3);

  // An empty name stores nothing and keeps the selection.
  automation.Then([] { static_cast<CDialog*>(CWnd::FromHandle(::GetActiveWindow()))->OnOK(); });
  editor.OnSaveToLibrary();
  EXPECT_EQ(library.GetCount(), 3);
  EXPECT_EQ(list.GetCurSel(), 0);
  editor.DestroyWindow();
}

// The name a model is saved under reaches the host's library: two lines pasted into its one-line field leave the
// first, and a name holding a control character (put there by a program) is refused, as a blank or a quote is.
TEST_F(EditorTest, TheModelNameTakesOneLineAndRefusesAControlCharacter) {
  automation.Reply(plat::SystemUiKind::MessageBox, {IDOK, {}, 0}, "invalid characters", true);
  struct Case {
    const char* way;
    const char* clipboard;  // pasted into the emptied field; null: `name` set as the field's text
    const char* name;
    bool refused;
  } cases[] = {
      {"two lines pasted", "my_cap\r\nsecond\r\n", "my_cap", false},
      {"a tab pasted", "my\tcap", "my\tcap", true},
      {"a control character set", nullptr, "my\x01" "cap", true},
      {"a line break set", nullptr, "my_cap\nx", false},  // the one-line field keeps its first line
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.way);
    CEditModelName dialog("", nullptr);
    OpenModuleDialog(dialog);
    CWnd* field = dialog.GetDlgItem(CEditModelName::IDC_NAME);
    ASSERT_NE(field, nullptr);
    if (c.clipboard) {
      gxtest::PutClipboardText(c.clipboard);
      field->SendMessage(WM_PASTE);
    } else {
      field->SetWindowText(c.name);
    }
    CString shown;
    field->GetWindowText(shown);
    EXPECT_EQ(std::string(shown), c.refused || c.clipboard ? c.name : "my_cap");
    const std::size_t before = Messages().size();
    dialog.OnOK();
    EXPECT_EQ(Messages().size(), before + (c.refused ? 1 : 0));
    if (dialog.m_hWnd) dialog.DestroyWindow();
  }
}

// A library model is the library's: nothing that changes its values is enabled (the C-L-R calculator, the
// Touchstone series/shunt choice, also after a click on "Autodetect"), so the host never receives a model named as
// a library model whose values differ from the library's.
TEST_F(EditorTest, ALibraryModelCannotBeChangedWhileItIsSelected) {
  host::HostModelLibrary library;
  library.Put(std::make_unique<host::HostCapacitorModel>(ClrModel("clr", 1e-6, 0.01, 5e-10)));
  const CString directory = MakeDirectory("models");
  const std::string source = std::string(std::getenv("BRIM_SOURCE_DIR") ? std::getenv("BRIM_SOURCE_DIR") : ".");
  std::filesystem::copy_file(source + "/samples/models/cap_1u_0603_series.s2p",
                             std::string(directory.GetString()) + "cap.s2p");
  host::CapacitorModelData touchstone;
  touchstone.kind = HostModelTouchstone;
  touchstone.libraryModel = true;
  touchstone.libraryModelName = "ts";
  touchstone.fileName = "cap.s2p";
  touchstone.series = true;
  library.Put(std::make_unique<host::HostCapacitorModel>(touchstone));

  {
    host::HostCapacitorModel chosen(ClrModel("clr", 1e-6, 0.01, 5e-10));
    CModelEditor editor;
    SetPins(editor, {"1", "2"});
    editor.SetModelLibrary(&library);
    editor.SetModel(&chosen);
    Open(editor);
    EXPECT_FALSE(Enabled(editor.ClrPane(), CModelEditorCLR::IDC_CALCULATE));
    editor.LibraryList().SetCurSel(0);
    editor.OnLibrarySelChange();
    EXPECT_TRUE(Enabled(editor.ClrPane(), CModelEditorCLR::IDC_CALCULATE)) << "a custom model may be calculated";
    editor.DestroyWindow();
  }
  {
    host::HostCapacitorModel chosen(touchstone);
    CModelEditor editor;
    SetPins(editor, {"1", "2"});
    CStringArray directories;
    directories.Add(directory);
    editor.SetModelDirectories(directories);
    editor.SetModelLibrary(&library);
    editor.SetModel(&chosen);
    Open(editor);
    CModelEditorTstone& pane = editor.TouchstonePane();
    for (int id : {int{CModelEditorTstone::IDC_AUTODETECT_CHECK}, int{CModelEditorTstone::IDC_SERIES},
                   int{CModelEditorTstone::IDC_SHUNT}})
      EXPECT_FALSE(Enabled(pane, id)) << id;
    for (int state : {BST_CHECKED, BST_UNCHECKED}) {
      pane.CheckDlgButton(CModelEditorTstone::IDC_AUTODETECT_CHECK, state);
      pane.SendMessage(WM_COMMAND, MAKEWPARAM(CModelEditorTstone::IDC_AUTODETECT_CHECK, BN_CLICKED),
                       reinterpret_cast<LPARAM>(pane.GetDlgItem(CModelEditorTstone::IDC_AUTODETECT_CHECK)->m_hWnd));
      EXPECT_FALSE(Enabled(pane, CModelEditorTstone::IDC_SERIES));
      EXPECT_FALSE(Enabled(pane, CModelEditorTstone::IDC_SHUNT));
    }
    CHostCapacitorModel* result = editor.GetResultModel();
    ASSERT_NE(result, nullptr);
    EXPECT_TRUE(result->IsLibraryModel());
    EXPECT_TRUE(result->IsSeries()) << "the library's reading";
    delete static_cast<CModelView*>(result);
    editor.LibraryList().SetCurSel(0);
    editor.OnLibrarySelChange();
    EXPECT_TRUE(Enabled(pane, CModelEditorTstone::IDC_AUTODETECT_CHECK)) << "a custom model may be detected";
    editor.DestroyWindow();
  }
}

// A library model handed in without its library (the wizard's table without the host's library), or named as a
// model the library does not hold, opens as "<custom>" with its values editable: what comes back is a custom model,
// never one named as the library model with values the library does not have.
TEST_F(EditorTest, ALibraryModelTheListDoesNotOfferOpensAsACustomModel) {
  host::HostModelLibrary other;
  other.Put(std::make_unique<host::HostCapacitorModel>(ClrModel("other", 1e-6, 0.01, 5e-10)));
  for (host::HostModelLibrary* library : {static_cast<host::HostModelLibrary*>(nullptr), &other}) {
    host::HostCapacitorModel chosen(ClrModel("clr", 2.2e-5, 0.005, 4e-10));
    CModelEditor editor;
    SetPins(editor, {"1", "2"});
    editor.SetModelLibrary(library);
    editor.SetModel(&chosen);
    Open(editor);
    EXPECT_EQ(editor.LibraryList().GetCurSel(), 0);
    EXPECT_TRUE(Enabled(editor.ClrPane(), CModelEditorCLR::IDC_C_VALUE));
    editor.ClrPane().SetDlgItemText(CModelEditorCLR::IDC_L_VALUE, "250");
    editor.OnOK();
    CHostCapacitorModel* result = editor.GetResultModel();
    ASSERT_NE(result, nullptr);
    EXPECT_FALSE(result->IsLibraryModel());
    EXPECT_STREQ(result->GetLibraryModelName(), "");
    EXPECT_DOUBLE_EQ(result->GetESL(), 2.5e-10);
    EXPECT_DOUBLE_EQ(result->GetCapacitance(), 2.2e-5) << "the values shown are kept";
    delete static_cast<CModelView*>(result);
  }
}

// What a model answers, as the host copies it, so that two models compare as texts.
std::string Described(CHostCapacitorModel& model) {
  const host::CapacitorModelData d = host::HostCapacitorModel::Snapshot(model)->Data();
  std::string text = "kind " + std::to_string(d.kind) + (d.libraryModel ? " library " : " custom ") +
                     d.libraryModelName + " [" + d.libraryText + "]\nfile " + d.fileName + "\nsubcircuit " +
                     d.subcircuit + "\nseries " + (d.series ? "yes" : "no") + "\nports";
  for (const auto& [port, pin] : d.portPins) text += " " + std::to_string(port) + "=" + pin;
  return text;
}

// A model of the host's library (or, unnamed, a custom one) of a model file.
host::CapacitorModelData FileModel(const char* name, int kind, const std::string& file, const char* subcircuit,
                                   std::vector<std::string> pins, bool series = true) {
  host::CapacitorModelData data = HostModel(name, kind, "board.lib");
  data.fileName = file;
  data.subcircuit = subcircuit ? subcircuit : "";
  data.series = series;
  for (std::size_t i = 0; i < pins.size(); ++i)
    if (!pins[i].empty()) data.portPins[static_cast<int>(i) + 1] = pins[i];
  return data;
}

// A model the host hands the editor names its file exactly: the list selects that file, byte for byte (never one
// whose name differs in letter case or goes on past it), a full path in a model folder included (also one whose
// name an earlier model folder holds too), or none, saying that the file is missing; every port keeps the pin the
// host gave; and OK at once gives the host back what it gave. The same holds for a library model chosen in the
// editor's list after another model was shown (its port map then shows on the screen as a full repaint shows it),
// for a full path or a missing name that a filter change stores and reads again, and for a file entry chosen and
// the model's own chosen back.
TEST_F(EditorTest, AModelIsOpenedOnTheFileItNamesAndOkGivesItBackAsItWasGiven) {
  const CString models = MakeDirectory("models");
  const CString elsewhere = MakeDirectory("elsewhere");
  // A model folder ahead of `models` holding files of names `models` holds too.
  const CString earlier = MakeDirectory("earlier");
  const std::string sample = std::string(BRIM_SAMPLE_MODELS);
  auto copy = [&](const char* from, const CString& folder, const char* as) {
    std::filesystem::copy_file(sample + from, std::string(folder.GetString()) + as);
  };
  copy("caps.cir", models, "caps.cir");
  copy("caps.cir", models, "CAPS.cir");
  copy("caps.cir", models, "caps.cir.cir");
  copy("cap_100n_0402.s2p", models, "cap_100n_0402.s2p");
  copy("cap_10u_0805_shunt.s2p", models, "CAP_100N_0402.s2p");
  copy("cap_1u_0603_series.s2p", models, "cap_100n_0402.s2p.s2p");
  copy("cap_pair_0402.s4p", models, "cap_pair_0402.s4p");
  copy("cap_pair_0402.s4p", models, "cap_pair_0402.s4p.s4p");
  copy("cap_pair_0402.s4p", elsewhere, "cap_pair_0402.s4p");
  copy("bulk.sp", earlier, "caps.cir");
  copy("cap_1u_0603_series.s2p", earlier, "cap_100n_0402.s2p");
  copy("cap_pair_0402.s4p", earlier, "cap_pair_0402.s4p");
  const std::string in = models.GetString();
  const char* const two = "1\n2";
  const char* const three = "1\n2\nG";
  const char* const four = "A1\nA2\nB1\nB2";
  const std::vector<std::string> quad{"A1", "A2", "B1", "B2"};
  constexpr int kSpice = HostModelSPICE;
  constexpr int kTouchstone = HostModelTouchstone;
  // ChooseLibraryModel: the library's model of the row's kind chosen in the editor's list. ChooseNameAndBack (SPICE):
  // the file list's entry of the model's bare file name chosen, then the model's own again.
  enum class Then { Ok, ChooseLibraryModel, ChangeFilter, ChooseNameAndBack };
  enum class Folders { Models, EarlierThenModels };
  struct Row {
    const char* name;
    const char* pins;
    host::CapacitorModelData given;
    Then then = Then::Ok;
    const char* refusal = nullptr;   // OK's message when the model is refused
    std::string label = "";          // the pane's message
    Folders folders = Folders::Models;
  };
  const host::CapacitorModelData library4 = FileModel("T4", kTouchstone, "cap_pair_0402.s4p", nullptr, quad);
  const host::CapacitorModelData library3 = FileModel("S3P", kSpice, in + "caps.cir", "C3T1U0603", {"1", "G", "2"});
  const Row rows[] = {
      {"SPICE, 2 ports, upper case beside lower case and a longer name", two,
       FileModel("S2", kSpice, "CAPS.cir", "C1U0402", {"1", "2"})},
      {"SPICE, 2 ports without pins", two, FileModel("S2", kSpice, "caps.cir", "C1U0402", {})},
      {"SPICE, 3 ports", three, FileModel("S3", kSpice, "caps.cir", "C3T1U0603", {"1", "2", "G"})},
      {"SPICE, 3 ports, full path", three, FileModel("S3", kSpice, in + "caps.cir", "C3T1U0603", {"G", "1", "2"})},
      {"SPICE, 3 ports, full path with a '.' folder and a doubled separator", three,
       FileModel("S3", kSpice, in + ".//caps.cir", "C3T1U0603", {"1", "G", "2"})},
      {"SPICE, subcircuit named in other letter case", three,
       FileModel("S3", kSpice, "CAPS.cir", "c3t1u0603", {"2", "G", "1"})},
      {"SPICE, a custom model", two, FileModel(nullptr, kSpice, "CAPS.cir", "C1U0402", {"1", "2"})},
      {"SPICE, named in a letter case no file has", two, FileModel("S2", kSpice, "Caps.cir", "C1U0402", {}),
       Then::Ok, "SPICE file and SUBCIRCUIT must be selected in the list.", "Model file \"Caps.cir\" is missing!"},
      {"SPICE, the beginning of a name", two, FileModel("S2", kSpice, "caps", "C1U0402", {}), Then::Ok,
       "SPICE file and SUBCIRCUIT must be selected in the list.", "Model file \"caps\" is missing!"},
      {"Touchstone, 2 ports, upper case", two, FileModel("T2", kTouchstone, "CAP_100N_0402.s2p", nullptr, {}, false)},
      {"Touchstone, 2 ports, lower case", two, FileModel("T2", kTouchstone, "cap_100n_0402.s2p", nullptr, {})},
      {"Touchstone, 4 ports", four, library4},
      {"Touchstone, 4 ports, full path", four,
       FileModel("T4", kTouchstone, in + "cap_pair_0402.s4p", nullptr, {"B2", "B1", "A2", "A1"})},
      {"Touchstone, 4 ports, a longer name", four,
       FileModel("T4", kTouchstone, "cap_pair_0402.s4p.s4p", nullptr, {"A2", "A1", "B2", "B1"})},
      {"Touchstone, the name without its extension", two,
       FileModel("T2", kTouchstone, "cap_100n_0402", nullptr, {}), Then::Ok,
       "Touchstone file must be selected in the list.", "Model file \"cap_100n_0402\" is missing!"},
      {"Touchstone, a full path in other letter case", four,
       FileModel("T4", kTouchstone, in + "CAP_pair_0402.s4p", nullptr, quad), Then::Ok,
       "Touchstone file must be selected in the list.", "Model file \"" + in + "CAP_pair_0402.s4p\" is missing!"},
      {"Touchstone, a full path outside the model folders", four,
       FileModel("T4", kTouchstone, std::string(elsewhere.GetString()) + "cap_pair_0402.s4p", nullptr, quad),
       Then::Ok, "Touchstone file must be selected in the list.",
       "Model file \"" + std::string(elsewhere.GetString()) + "cap_pair_0402.s4p\" is not in the model folders!"},
      {"Touchstone, a library model naming no file", two, FileModel("T2", kTouchstone, "", nullptr, {}), Then::Ok,
       "Touchstone file must be selected in the list."},
      {"Touchstone, 4 ports chosen in the list after a custom model of other pins", four,
       FileModel(nullptr, kTouchstone, "cap_pair_0402.s4p", nullptr, {"B2", "B1", "A2", "A1"}),
       Then::ChooseLibraryModel},
      {"Touchstone, a custom full path through a filter change", two,
       FileModel(nullptr, kTouchstone, in + "CAP_100N_0402.s2p", nullptr, {}, false), Then::ChangeFilter},
      {"Touchstone, a custom model's missing file through a filter change", two,
       FileModel(nullptr, kTouchstone, "Cap_100n_0402.s2p", nullptr, {}), Then::ChangeFilter,
       "Touchstone file must be selected in the list.", "Model file \"Cap_100n_0402.s2p\" is missing!"},
      {"SPICE, 3 ports, full path of a name an earlier model folder holds too", three,
       FileModel("S3", kSpice, in + "caps.cir", "C3T1U0603", {"2", "1", "G"}), Then::Ok, nullptr, "",
       Folders::EarlierThenModels},
      {"Touchstone, 2 ports, full path of a name an earlier model folder holds too", two,
       FileModel("T2", kTouchstone, in + "cap_100n_0402.s2p", nullptr, {}, false), Then::Ok, nullptr, "",
       Folders::EarlierThenModels},
      {"Touchstone, 4 ports, full path of a name an earlier model folder holds too", four,
       FileModel("T4", kTouchstone, in + "cap_pair_0402.s4p", nullptr, {"B1", "A1", "B2", "A2"}), Then::Ok, nullptr,
       "", Folders::EarlierThenModels},
      {"Touchstone, a custom full path of a name an earlier model folder holds too through a filter change", four,
       FileModel(nullptr, kTouchstone, in + "cap_pair_0402.s4p", nullptr, {"A2", "B2", "A1", "B1"}),
       Then::ChangeFilter, nullptr, "", Folders::EarlierThenModels},
      {"SPICE, a custom full path of a name an earlier model folder holds too, that name's entry chosen and back",
       three, FileModel(nullptr, kSpice, in + "caps.cir", "C3T1U0603", {"G", "2", "1"}), Then::ChooseNameAndBack,
       nullptr, "", Folders::EarlierThenModels},
      {"SPICE, full path of a name an earlier model folder holds too, chosen in the list after a custom model", three,
       FileModel(nullptr, kSpice, "caps.cir", "C3T1U0603", {"2", "1", "G"}), Then::ChooseLibraryModel, nullptr, "",
       Folders::EarlierThenModels},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    host::HostModelLibrary library;
    library.Put(std::make_unique<host::HostCapacitorModel>(library4));
    library.Put(std::make_unique<host::HostCapacitorModel>(library3));
    const host::CapacitorModelData& chosen = row.given.kind == kSpice ? library3 : library4;
    host::HostCapacitorModel custom(row.given);
    CCapacitorModelEditorAPITable* api = CreateCapacitorModelEditorDialog();
    api->SetModelDirectories(row.folders == Folders::Models ? models : earlier + "\n" + models);
    // In the host's order: the model before its capacitor's pins.
    api->SetModel(row.given.libraryModel ? library.Put(std::make_unique<host::HostCapacitorModel>(row.given))
                                         : &custom);
    api->SetModelLibrary(&library);
    api->SetPinNames(row.pins);
    plat::ClearShownLog();
    automation.Reply(plat::SystemUiKind::MessageBox, {IDOK, {}, 0}, "", true);
    std::string label;
    std::string shown;      // the port map's pins, of more than two
    std::string selected;   // the selected file's path
    automation.Then([&] {
      CModelEditor& editor = *static_cast<CCapacitorModelEditorAPI*>(api)->LastEditor();
      CModelFilePaneDlg& pane = row.given.kind == kSpice ? static_cast<CModelFilePaneDlg&>(editor.SpicePane())
                                                         : static_cast<CModelFilePaneDlg&>(editor.TouchstonePane());
      if (row.then == Then::ChooseLibraryModel) {
        CPortMapGrid& map =
            row.given.kind == kSpice ? editor.SpicePane().m_PortMap : editor.TouchstonePane().m_PortMap;
        plat::Desktop::PaintAll();   // the earlier model's pins on the screen
        editor.LibraryList().SetCurSel(editor.LibraryList().FindStringExact(-1, chosen.libraryModelName.c_str()));
        editor.OnLibrarySelChange();
        // The port map the choice painted is the one a full repaint paints: the chosen model's pins.
        plat::Desktop::PaintAll();
        const std::shared_ptr<plat::Surface> painted = plat::Desktop::Capture(map);
        map.RedrawAll(GX_INVALIDATE);
        plat::Desktop::PaintAll();
        EXPECT_EQ(plat::CompareImages(*painted, *plat::Desktop::Capture(map)), 0);
      } else if (row.then == Then::ChangeFilter) {
        editor.TouchstonePane().CheckDlgButton(CModelEditorTstone::IDC_COMPATIBLE, BST_CHECKED);
        editor.TouchstonePane().OnFilterChanged();
      } else if (row.then == Then::ChooseNameAndBack) {
        const int own = pane.m_FileList.GetCurSel();
        pane.m_FileList.SetCurSel(FindModelFileEntry(pane.m_FileList, pane.m_Paths, "caps.cir"));
        editor.SpicePane().OnFileSelChange();
        pane.m_FileList.SetCurSel(own);
        editor.SpicePane().OnFileSelChange();
      }
      if (const int path = SelectedPathIndex(pane.m_FileList, pane.m_Paths); path >= 0)
        selected = pane.m_Paths[path].GetString();
      if (Visible(pane, CModelFilePaneDlg::IDC_MESSAGE))
        label = ItemText(pane, CModelFilePaneDlg::IDC_MESSAGE).GetString();
      CPortMapGrid& map = row.given.kind == kSpice ? editor.SpicePane().m_PortMap : editor.TouchstonePane().m_PortMap;
      for (int port = 1; editor.PinCount() > 2 && port <= editor.PinCount(); ++port)
        shown += " " + std::to_string(port) + "=" + map.GetPin(static_cast<ROWCOL>(port)).GetString();
      editor.SendMessage(WM_COMMAND, IDOK);
      if (editor.ContinueModal()) editor.EndDialog(IDCANCEL);   // refused
    });
    const int result = api->RunModal();
    EXPECT_EQ(label, row.label);
    host::HostCapacitorModel expected(row.then == Then::ChooseLibraryModel ? chosen : row.given);
    if (std::string(row.pins) != two) {
      std::string ports;
      for (const auto& [port, pin] : expected.Data().portPins) ports += " " + std::to_string(port) + "=" + pin;
      EXPECT_EQ(shown, ports);
    }
    if (row.refusal) {
      EXPECT_EQ(result, 2);
      EXPECT_EQ(Messages(), std::vector<std::string>{row.refusal});
    } else {
      EXPECT_EQ(result, 1) << (Messages().empty() ? "" : Messages().front());
      std::unique_ptr<CHostCapacitorModel> back(api->GetModel());
      EXPECT_EQ(Described(*back), Described(expected));
      const std::string& file = expected.Data().fileName;
      const std::string path = (file.find('/') == std::string::npos ? in : "") + file;
      EXPECT_TRUE(PathsEqual(selected.c_str(), path.c_str())) << selected;
    }
    api->Delete();
  }
}

TEST_F(EditorTest, LibraryButtonsHaveTheirBitmapsSize) {
  CModelEditor editor;
  SetPins(editor, {"1", "2"});
  Open(editor);
  for (int id : {int{CModelEditor::IDC_SAVE}, int{CModelEditor::IDC_SAVE_AS}, int{CModelEditor::IDC_REMOVE}}) {
    CRect rect;
    editor.GetDlgItem(id)->GetWindowRect(&rect);
    EXPECT_EQ(rect.Width(), modeleditor::kLibraryBitmapWidth) << id;
    EXPECT_EQ(rect.Height(), modeleditor::kLibraryBitmapHeight) << id;
    BITMAP bm{};
    editor.LibraryButton(id).GetBitmap().GetBitmap(&bm);
    EXPECT_EQ(bm.bmWidth, modeleditor::kLibraryBitmapWidth);
  }
  editor.DestroyWindow();
}

TEST_F(EditorTest, ScreenshotOfTheClrPane) {
  CModelEditor editor;
  SetPins(editor, {"1", "2"});
  Open(editor);
  editor.ShowWindow(SW_SHOW);
  ExpectMatchesReferenceIn(editor.m_hWnd, "editor_clr");
  editor.DestroyWindow();
}

}  // namespace
}  // namespace edtest
