// The print device beyond its archive form: the printer context made from its blocks, the dialogs, copies,
// comparison, and blocks the platform would not print with.
#include <cstring>
#include <vector>

#include "grid/core/CGXPrintDevice.h"
#include "grid/core/tests/enginetest.h"
#include "platform/base/GlobalMemory.h"
#include "platform/framework/CFrameWnd.h"
#include "platform/framework/CPrintInfo.h"
#include "platform/framework/CWinApp.h"
#include "platform/framework/CommonDialogs.h"
#include "platform/gdi/CDC.h"
#include "platform/gdi/PrintJob.h"
#include "platform/gdi/Printers.h"
#include "platform/window/AutomationProvider.h"

namespace {

using Bytes = std::vector<BYTE>;

Bytes NamesOf(const char* printer) { return plat::PackDevNames({"WINSPOOL", printer, std::string(printer) + ":", false}); }

Bytes ModeOf(const char* printer) {
  const DEVMODEA m = plat::MakeDevMode(printer);
  const auto* p = reinterpret_cast<const BYTE*>(&m);
  return Bytes(p, p + sizeof m);
}

void Set(CGXPrintDevice& d, const Bytes& names, const Bytes& mode) {
  d.SetDeviceInfo(names.data(), names.size(), mode.data(), mode.size());
}

std::string PrinterOf(HDC dc) {
  const plat::PrintJob* job = plat::PrintJobOf(dc);
  return job ? job->setup().deviceName : std::string();
}

HGLOBAL Block(const Bytes& b) {
  HGLOBAL h = ::GlobalAlloc(0x102, b.size());
  std::memcpy(::GlobalLock(h), b.data(), b.size());
  ::GlobalUnlock(h);
  return h;
}

class PrintDeviceTest : public enginetest::EngineTest {
 protected:
  void TearDown() override {
    plat::SetAutomationProvider(nullptr);
    EngineTest::TearDown();
  }
  plat::ScriptedAutomation automation;
};

TEST_F(PrintDeviceTest, ThePrinterContextIsMadeOnceFromTheBlocksAndAgainWhenTheyChange) {
  CGXPrintDevice d;
  Set(d, NamesOf("Recording"), ModeOf("Recording"));
  HDC dc = d.GetPrinterDC();
  ASSERT_NE(dc, nullptr);
  EXPECT_EQ(PrinterOf(dc), "Recording");
  EXPECT_EQ(d.GetPrinterDC(), dc);  // cached
  Set(d, NamesOf("PNG"), ModeOf("PNG"));
  HDC other = d.GetPrinterDC();
  ASSERT_NE(other, nullptr);
  EXPECT_EQ(PrinterOf(other), "PNG");
  d.ResetPrinterDC();
  EXPECT_NE(d.GetPrinterDC(), nullptr);
  d.FreeDevice();
  EXPECT_TRUE(d.GetDevNames().empty());
}

TEST_F(PrintDeviceTest, WithoutTheImplementationThereIsNoContextButTheBlocksStay) {
  CGXGridGlobals& g = CGXGridGlobals::Get();
  CGXAbstractPrintDeviceImp* imp = g.m_pPrintDeviceImp;
  ASSERT_NE(imp, nullptr);  // installed at start-up
  g.m_pPrintDeviceImp = nullptr;
  CGXPrintDevice d;
  g.m_pPrintDeviceImp = imp;
  Set(d, NamesOf("Recording"), {});
  EXPECT_EQ(d.GetDevNames(), NamesOf("Recording"));
  EXPECT_EQ(d.GetPrinterDC(), nullptr);
  EXPECT_FALSE(d.IsSameDevice(nullptr, nullptr));
}

TEST_F(PrintDeviceTest, TheDefaultPrinterFillsAnEmptyDeviceWithTrueTypeFontsAsTrueType) {
  CGXPrintDevice d;
  ASSERT_NE(d.GetPrinterDC(), nullptr);  // an empty device takes the default printer first
  auto names = plat::UnpackDevNames(d.GetDevNames().data(), d.GetDevNames().size());
  ASSERT_TRUE(names);
  EXPECT_EQ(names->device, plat::DefaultPrinterName());
  ASSERT_GE(d.GetDevMode().size(), sizeof(DEVMODEA));
  DEVMODEA mode;
  std::memcpy(&mode, d.GetDevMode().data(), sizeof mode);
  EXPECT_EQ(mode.dmTTOption, 1);
  // A device with blocks keeps them.
  CGXPrintDevice r;
  Set(r, NamesOf("Recording"), {});
  r.NeedDeviceInfo();
  EXPECT_EQ(r.GetDevNames(), NamesOf("Recording"));
  EXPECT_TRUE(r.GetDevMode().empty());
}

TEST_F(PrintDeviceTest, BlocksThePlatformRefusesAreKeptButPrintOnTheDefaultPrinter) {
  const Bytes goodNames = NamesOf("Recording");
  Bytes badNames = goodNames;
  badNames[2] = 0xFF;  // the device name's offset points far outside the block
  Bytes badMode = ModeOf("Recording");
  DEVMODEA m;
  std::memcpy(&m, badMode.data(), sizeof m);
  m.dmSize = 9999;  // a size field larger than the block
  std::memcpy(badMode.data(), &m, sizeof m);
  Bytes unknown = ModeOf("Recording");
  std::memcpy(unknown.data(), "Nonesuch", 9);  // a printer the platform does not have

  for (const auto& [names, mode] : {std::pair{badNames, ModeOf("Recording")}, std::pair{goodNames, badMode},
                                    std::pair{goodNames, unknown}, std::pair{Bytes(3, 1), Bytes{}}}) {
    CGXPrintDevice d;
    Set(d, names, mode);
    HDC dc = d.GetPrinterDC();
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(PrinterOf(dc), plat::DefaultPrinterName());
    EXPECT_EQ(d.GetDevNames(), names);  // byte for byte
    EXPECT_EQ(d.GetDevMode(), mode);
  }
}

TEST_F(PrintDeviceTest, AssignmentCopiesAndComparisonIsByteForByte) {
  CGXPrintDevice a;
  Set(a, NamesOf("Recording"), ModeOf("Recording"));
  CGXPrintDevice b;
  b = a;
  EXPECT_EQ(b.GetDevNames(), a.GetDevNames());
  EXPECT_EQ(b.GetDevMode(), a.GetDevMode());
  b = b;
  EXPECT_EQ(b.GetDevNames(), a.GetDevNames());
  HGLOBAL names = nullptr, mode = nullptr;
  a.CopyToHandles(&names, &mode);
  ASSERT_NE(names, nullptr);
  ASSERT_NE(mode, nullptr);
  EXPECT_EQ(::GlobalSize(names), a.GetDevNames().size());
  EXPECT_TRUE(b.IsSameDevice(names, mode));
  static_cast<BYTE*>(::GlobalLock(mode))[40] ^= 1;
  ::GlobalUnlock(mode);
  EXPECT_FALSE(b.IsSameDevice(names, mode));
  EXPECT_FALSE(b.IsSameDevice(names, nullptr));
  ::GlobalFree(names);
  ::GlobalFree(mode);
  // A device without DEVNAMES hands out no blocks.
  CGXPrintDevice empty;
  empty.SetDeviceInfo(nullptr, 0, nullptr, 0);
  empty.CopyToHandles(&names, &mode);
  EXPECT_EQ(names, nullptr);
  EXPECT_EQ(mode, nullptr);
  // Handles in, copies kept.
  HGLOBAL n = Block(NamesOf("PNG")), m = Block(ModeOf("PNG"));
  empty.SetDeviceHandles(n, m);
  EXPECT_EQ(empty.GetDevNames(), NamesOf("PNG"));
  ::GlobalFree(n);
  ::GlobalFree(m);
  EXPECT_EQ(empty.GetDevMode(), ModeOf("PNG"));
}

TEST_F(PrintDeviceTest, ThePrintDialogChangesTheDeviceOnlyWhenConfirmed) {
  plat::SetAutomationProvider(&automation);
  CWinApp app("Printing");
  CGXPrintDevice d;
  Set(d, NamesOf("PNG"), ModeOf("PNG"));
  const Bytes names = d.GetDevNames(), mode = d.GetDevMode();
  automation.Reply(plat::SystemUiKind::Print, {IDCANCEL, {}});
  {
    CPrintDialog dialog(FALSE);
    EXPECT_EQ(d.DoPrintDialog(&dialog), IDCANCEL);
  }
  EXPECT_EQ(d.GetDevNames(), names);
  EXPECT_EQ(d.GetDevMode(), mode);
  // The application was handed the device's printer before the dialog ran.
  CPrintDialog shown(FALSE);
  app.GetPrinterDeviceDefaults(&shown.m_pd);
  EXPECT_EQ(shown.GetDeviceName(), "PNG");
  automation.Reply(plat::SystemUiKind::Print, {IDOK, "Recording"});
  {
    CPrintDialog dialog(FALSE);
    EXPECT_EQ(d.DoPrintDialog(&dialog), IDOK);
  }
  auto chosen = plat::UnpackDevNames(d.GetDevNames().data(), d.GetDevNames().size());
  ASSERT_TRUE(chosen);
  EXPECT_EQ(chosen->device, "Recording");
  EXPECT_EQ(PrinterOf(d.GetPrinterDC()), "Recording");
}

// A view's prepare-printing step runs on the device's printer; a printer chosen there becomes the device's.
TEST_F(PrintDeviceTest, PreparingAViewsPrintingTakesThePrinterChosenThere) {
  struct View : CView {
    void OnDraw(CDC*) override {}
  } view;
  plat::SetAutomationProvider(&automation);
  CWinApp app("Printing");
  CGXPrintDevice d;
  Set(d, NamesOf("PNG"), ModeOf("PNG"));
  automation.Reply(plat::SystemUiKind::Print, {IDOK, "PNG"});
  {
    CPrintInfo info;
    ASSERT_TRUE(d.PreparePrinting(&view, &info));
    EXPECT_EQ(PrinterOf(info.m_pPD->m_pd.hDC), "PNG");
  }
  EXPECT_EQ(d.GetDevNames(), NamesOf("PNG"));  // the same printer: the device's blocks stay
  automation.Reply(plat::SystemUiKind::Print, {IDOK, "Recording"});
  {
    CPrintInfo info;
    ASSERT_TRUE(d.PreparePrinting(&view, &info));
  }
  auto chosen = plat::UnpackDevNames(d.GetDevNames().data(), d.GetDevNames().size());
  ASSERT_TRUE(chosen);
  EXPECT_EQ(chosen->device, "Recording");
  automation.Reply(plat::SystemUiKind::Print, {IDCANCEL, {}});
  CPrintInfo cancelled;
  EXPECT_FALSE(d.PreparePrinting(&view, &cancelled));
  EXPECT_EQ(chosen->device, "Recording");
}

}  // namespace
