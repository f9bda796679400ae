// The ESL calculator: units and sizes, refusals, the cross-section handed to the solver and a real solve.
#include "brimstead/models/editor/CESLCalculator.h"
#include "brimstead/models/editor/tests/ModelEditorTestSupport.h"
#include "host/BoardFile.h"
#include "host/HostBoard.h"
#include "host/HostLedger.h"

namespace edtest {
namespace {

class EslTest : public ModelEditorTest {
protected:
  void SetUp() override {
    ModelEditorTest::SetUp();
    CESLCalculator::DisplayUnit = 0;
    captured.clear();
    CESLCalculator::SetComputeFunction(&Capture);
    layers.Add("TOP", 0, 35e-6);
    layers.Add("PP1", HostLayerKindSkipped, 100e-6);
    layers.Add("GND", 0, 35e-6);
    layers.Add("CORE", HostLayerKindSkipped, 200e-6);
    layers.Add("BOTTOM", 0, 18e-6);
  }
  void TearDown() override {
    CESLCalculator::SetComputeFunction(nullptr);
    CESLCalculator::DisplayUnit = 0;
    ModelEditorTest::TearDown();
  }
  static EslResult Capture(const EslGeometry& geometry) {
    captured.push_back(geometry);
    return {answerCode, 5e-10};
  }
  static void Select(CComboBox& box, int index) {
    box.SetCurSel(index);
    box.GetParent()->SendMessage(WM_COMMAND, MAKEWPARAM(box.GetDlgCtrlID(), CBN_SELCHANGE),
                                 reinterpret_cast<LPARAM>(box.m_hWnd));
  }

  TestLayers layers;
  static inline std::vector<EslGeometry> captured;
  static inline int answerCode = 0;
};

TEST_F(EslTest, SizesAndUnitsConvertAndTheUnitCarriesToTheNextCalculator) {
  CESLCalculator::DisplayUnit = 1;
  CESLCalculator calculator(&layers, nullptr);
  INT_PTR result = 0;
  RunModal(calculator, [&] {
    EXPECT_EQ(ItemText(calculator, CESLCalculator::IDC_WIDTH), "19.69");
    EXPECT_EQ(ItemText(calculator, CESLCalculator::IDC_LENGTH), "39.37");
    EXPECT_FALSE(Enabled(calculator, CESLCalculator::IDC_WIDTH));
    Select(calculator.m_SizeList, 0);
    EXPECT_TRUE(Enabled(calculator, CESLCalculator::IDC_WIDTH));
    Select(calculator.m_WidthUnit, 0);
    calculator.SetDlgItemText(CESLCalculator::IDC_WIDTH, "1.5");
    calculator.SetDlgItemText(CESLCalculator::IDC_LENGTH, "3.25");
    Select(calculator.m_LengthUnit, 3);
    EXPECT_EQ(ItemText(calculator, CESLCalculator::IDC_WIDTH), "0.0591");
    EXPECT_EQ(ItemText(calculator, CESLCalculator::IDC_LENGTH), "0.128");
    EXPECT_EQ(calculator.m_WidthUnit.GetCurSel(), 3);
  }, &result);
  EXPECT_EQ(result, IDCANCEL);
  EXPECT_DOUBLE_EQ(calculator.GetResult(), 0.0);
  EXPECT_EQ(CESLCalculator::DisplayUnit, 3);
  CESLCalculator next(&layers, nullptr);
  RunModal(next, [&] { EXPECT_EQ(next.m_LengthUnit.GetCurSel(), 3); });
}

TEST_F(EslTest, OutOfRangeSizesTheMountLayerAndAFailedSolveKeepTheDialogOpen) {
  CESLCalculator calculator(&layers, nullptr);
  automation.Reply(plat::SystemUiKind::MessageBox, {IDOK, {}, 0}, "", true);
  RunModal(calculator, [&] {
    Select(calculator.m_SizeList, 0);
    calculator.SetDlgItemText(CESLCalculator::IDC_WIDTH, "0.05");
    calculator.OnOK();
    EXPECT_TRUE(::IsWindowVisible(calculator.m_hWnd));
    calculator.SetDlgItemText(CESLCalculator::IDC_WIDTH, "0.5");
    calculator.m_LayerList.SetCurSel(2);   // BOTTOM
    Select(calculator.m_MountSide, 1);
    calculator.OnOK();
    answerCode = 7;
    calculator.m_LayerList.SetCurSel(1);
    calculator.OnOK();
    answerCode = 0;
    EXPECT_TRUE(::IsWindowVisible(calculator.m_hWnd));
  });
  EXPECT_DOUBLE_EQ(calculator.GetResult(), 0.0);
  const std::vector<std::string> messages = Messages();
  ASSERT_EQ(messages.size(), 3u);
  EXPECT_EQ(messages[0], "Please enter a number between 0.1 and 50.");
  EXPECT_EQ(messages[1], CESLCalculator::MountLayerMessage);
  EXPECT_NE(messages[2].find("code 7"), std::string::npos);
  EXPECT_EQ(plat::ShownLog()[1].request.caption, "Brimstead");
}

// A host that lists only metal layers, or a dielectric of no thickness, leaves nothing between the body and its plane:
// the dialog names the two layers instead of passing the solver's refusal code on, and stays open.
TEST_F(EslTest, NoDielectricBetweenTheMountAndReferenceLayersIsExplained) {
  TestLayers metalOnly;
  metalOnly.Add("TOP", 0, 35e-6);
  metalOnly.Add("GND", 2, 35e-6);
  metalOnly.Add("PP2", HostLayerKindSkipped, 0.0);
  metalOnly.Add("BOTTOM", 0, 35e-6);
  CESLCalculator calculator(&metalOnly, nullptr);
  automation.Reply(plat::SystemUiKind::MessageBox, {IDOK, {}, 0}, "", true);
  RunModal(calculator, [&] {
    EXPECT_EQ(calculator.m_LayerList.GetCurSel(), 1);   // GND, the plane
    calculator.OnOK();
    Select(calculator.m_MountSide, 1);
    calculator.OnOK();
    EXPECT_TRUE(::IsWindowVisible(calculator.m_hWnd));
  });
  EXPECT_TRUE(captured.empty());
  EXPECT_DOUBLE_EQ(calculator.GetResult(), 0.0);
  const std::vector<std::string> messages = Messages();
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[0], "There is no dielectric between the mount layer \"TOP\" and the reference layer \"GND\" in the "
                         "board's layer stack.\nPlease choose a reference layer farther from the mounting side.");
  EXPECT_NE(messages[1].find("mount layer \"BOTTOM\" and the reference layer \"GND\""), std::string::npos) << messages[1];
}

// A 2225 body over a plane 1 um below a top layer without thickness: the solver refuses the extent, and the
// message says why instead of giving the bare code.
TEST_F(EslTest, AGapTooThinForTheBodyIsExplained) {
  CESLCalculator::SetComputeFunction(nullptr);
  TestLayers thin;
  thin.Add("TOP", 0, 0.0);
  thin.Add("PP1", HostLayerKindSkipped, 1e-6);
  thin.Add("GND", 2, 35e-6);
  CESLCalculator calculator(&thin, nullptr);
  automation.Reply(plat::SystemUiKind::MessageBox, {IDOK, {}, 0}, "", true);
  RunModal(calculator, [&] {
    Select(calculator.m_SizeList, 7);   // 2225
    calculator.OnOK();
    EXPECT_TRUE(::IsWindowVisible(calculator.m_hWnd));
  });
  EXPECT_DOUBLE_EQ(calculator.GetResult(), 0.0);
  const std::vector<std::string> messages = Messages();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0], "The field solver could not compute the mounting inductance: the body is too wide for its height "
                         "over the reference layer (the height must be more than a thousandth of the width) (code 3).");
}

TEST_F(EslTest, TheCrossSectionForTopAndBottomMounting) {
  for (int side : {0, 1}) {
    captured.clear();
    CESLCalculator calculator(&layers, nullptr);
    INT_PTR result = 0;
    RunModal(calculator, [&] {
      calculator.m_LayerList.SetCurSel(1);   // GND
      Select(calculator.m_MountSide, side);
      calculator.OnOK();
    }, &result);
    ASSERT_EQ(result, IDOK) << side;
    ASSERT_EQ(captured.size(), 1u);
    const EslGeometry& g = captured[0];
    EXPECT_DOUBLE_EQ(g.bodyWidth, 0.0005);
    EXPECT_DOUBLE_EQ(g.bodyLength, 0.001);
    EXPECT_EQ(g.side, side ? EslMountSide::Bottom : EslMountSide::Top);
    EXPECT_DOUBLE_EQ(g.mountThickness, side ? 18e-6 : 35e-6);
    EXPECT_DOUBLE_EQ(g.gapThickness, side ? 200e-6 : 100e-6);
    EXPECT_DOUBLE_EQ(g.planeThickness, 35e-6);
    EXPECT_DOUBLE_EQ(calculator.GetResult(), 5e-10);
  }
}

TEST_F(EslTest, NoLayersLeaveOkDisabled) {
  CESLCalculator calculator(nullptr, nullptr);
  RunModal(calculator, [&] { EXPECT_FALSE(Enabled(calculator, IDOK)); });
  EXPECT_DOUBLE_EQ(calculator.GetResult(), 0.0);
}

TEST_F(EslTest, A0402OnTheSampleBoardsStackSolves) {
  CESLCalculator::SetComputeFunction(nullptr);
  host::HostLedger ledger;
  const char* source = std::getenv("BRIM_SOURCE_DIR");
  auto board = host::LoadBoardFile(std::string(source ? source : ".") + "/samples/boards/demo8.json", ledger);
  ASSERT_NE(board, nullptr);
  CHostCollection* stack = board->GetLayers();
  CESLCalculator calculator(stack, nullptr);
  INT_PTR result = 0;
  RunModal(calculator, [&] {
    calculator.m_LayerList.SetCurSel(1);   // L2_GND under TOP
    calculator.OnOK();
  }, &result);
  stack->Release();
  ASSERT_EQ(result, IDOK);
  // A body 0.5 mm wide, 1 mm long, 0.1 mm over its plane: a few hundred picohenries at most.
  EXPECT_GT(calculator.GetResult(), 1e-11);
  EXPECT_LT(calculator.GetResult(), 1e-9);
}

}  // namespace
}  // namespace edtest
