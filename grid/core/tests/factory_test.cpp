// The control factory's registry and the library start-up.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "grid/core/CGXControlFactory.h"
#include "grid/core/CGXStylesMap.h"
#include "grid/core/tests/gxtest.h"
#include "platform/base/ResourceTable.h"
#include "platform/window/windowapi.h"

namespace {

CGXControl* Token(int n) { return reinterpret_cast<CGXControl*>(static_cast<std::uintptr_t>(0x1000 + n)); }

class Factory : public ::testing::Test {
 protected:
  void SetUp() override { CGXControlFactory::ClearRegistriesForTest(); }
  void TearDown() override { CGXControlFactory::ClearRegistriesForTest(); }
  CGXControlFactory factory;
};

TEST_F(Factory, UnknownIdsGetTheEditControl) {
  EXPECT_EQ(factory.CreateControl(52512, nullptr), nullptr);  // nothing registered
  CGXControlFactory::RegisterControlCreator(52513, [](CGXGridCore*) { return Token(13); });
  EXPECT_EQ(factory.CreateControl(52530, nullptr), nullptr);  // the static cell never stands in
  CGXControlFactory::RegisterControlCreator(52512, [](CGXGridCore*) { return Token(12); });
  EXPECT_EQ(factory.CreateControl(52530, nullptr), Token(12));
  EXPECT_EQ(factory.CreateControl(99999, nullptr), Token(12));
  EXPECT_EQ(factory.CreateControl(52513, nullptr), Token(13));
  CGXControlFactory::RegisterControlCreator(20132, [](CGXGridCore*) { return nullptr; });
  EXPECT_EQ(factory.CreateControl(20132, nullptr), nullptr);  // a creator may refuse the grid
}

TEST_F(Factory, GridComponentsInstallThroughTheRegistryAtTheirPlaces) {
  using GC = CGXControlFactory::GridComponent;
  std::vector<std::string> order;
  CGXControlFactory::AddGridComponentInstaller([&](CGXGridCore*) { order.push_back("unplaced"); });
  CGXControlFactory::AddGridComponentInstaller(GC::ClearCells, [&](CGXGridCore*) { order.push_back("clear"); });
  CGXControlFactory::AddGridComponentInstaller(GC::CommandFactory, [&](CGXGridCore*) { order.push_back("undo"); });
  factory.InitializeGridComponents(nullptr);
  factory.InitializeGridComponents(nullptr);
  // The installers themselves decide whether a grid has their feature already.
  const std::vector<std::string> expected = {"undo", "clear", "unplaced", "undo", "clear", "unplaced"};
  EXPECT_EQ(order, expected);

  // Process-wide installers run at their places among the core's own: OLE date and time before non-OLE.
  using AC = CGXControlFactory::ApplicationComponent;
  order.clear();
  CGXControlFactory::AddApplicationComponentInstaller(AC::NoOleDateTime, [&] { order.push_back("no-ole"); });
  CGXControlFactory::AddApplicationComponentInstaller(AC::LongOperation, [&] { order.push_back("long"); });
  CGXControlFactory::AddApplicationComponentInstaller(AC::OleDateTime, [&] {
    order.push_back(CGXGridGlobals::Get().m_pParamCopyOperatorImp ? "ole after the core's parameter copy" : "ole");
  });
  factory.InitializeApplicationComponents();
  const std::vector<std::string> application = {"ole after the core's parameter copy", "no-ole", "long"};
  EXPECT_EQ(order, application);
}

TEST_F(Factory, ALibraryFillsTheRegistriesOncePerClearing) {
  static const int library = 0;
  EXPECT_TRUE(CGXControlFactory::FirstRegistration(&library));
  EXPECT_FALSE(CGXControlFactory::FirstRegistration(&library));
  CGXControlFactory::ClearRegistriesForTest();
  EXPECT_TRUE(CGXControlFactory::FirstRegistration(&library));
  // The grid window's own registrar comes back too, however often the registries were cleared.
  HINSTANCE module = plat::ResourceTable::ModuleHandle("factory-classes");
  WNDCLASS wc{};
  factory.RegisterWndClasses(module);
  EXPECT_TRUE(GetClassInfo(module, "CGXGridWnd", &wc));
  factory.RegisterWndClasses(module);
  factory.UnregisterWndClasses(module);
  EXPECT_FALSE(GetClassInfo(module, "CGXGridWnd", &wc));
}

TEST_F(Factory, RegistersControlNamesAndUserAttributes) {
  CGXStylesMap map;
  factory.RegisterAllControls(map);
  EXPECT_EQ(map.GetControlNames().size(), 37u);
  EXPECT_EQ(map.GetControlNames().at(52513), "Static Text");
  bool family = false;
  CGXControlFactory::AddUserAttributeRegistrar([&](CGXStylesMap&) { family = true; });
  factory.RegisterAllUserAttributes(map);
  EXPECT_TRUE(family);
  ASSERT_EQ(map.GetUserAttributeMap().count(52792), 1u);
  EXPECT_EQ(map.GetUserAttributeMap().at(52792)->style->GetChoiceList(), "No ellipse\nDotted....\nPound###");
  EXPECT_TRUE(map.GetUserAttributeMap().at(51022)->style->GetAutoSize());
}

TEST(GridLibrary, StartUp) {
  // The date-time feature's settings are taken afresh at the end of start-up.
  struct DateTime : CGXAbstractDateTimeImp {
    void RefreshSettings() override { ++refreshed; }
    int GetDateOrder(BOOL, int*, char*) override { return 3; }
    char GetTimeSeparator(BOOL) override { return ':'; }
    BOOL ParseDateTime(GXDateTimeRecord*, LPCTSTR, int) override { return FALSE; }
    BOOL ParseDateTimeTm(struct tm*, LPCTSTR, int) override { return FALSE; }
    void FormatDateTime(CString&, const GXDateTimeRecord*) override {}
    void FormatTime(CString&, const CTime*) override {}
    int refreshed = 0;
  };
  auto* dateTime = new DateTime;
  CGXGridGlobals::Get().AddToAutoDeleteList(dateTime);
  CGXGridGlobals::Get().m_pDateTimeImp = dateTime;
  int registered = 0;
  CGXControlFactory::AddWndClassRegistrar([&](HINSTANCE, bool unregister) { registered += unregister ? -1 : 1; });
  InitGridLibrary(1808, 0, 0);
  InitGridLibrary(1808, 0, 0);  // once per process
  CGXControlFactory::ClearRegistriesForTest();
  const CGXGridGlobals& g = CGXGridGlobals::Get();
  EXPECT_TRUE(g.m_bInitialized);
  EXPECT_EQ(registered, 1);
  EXPECT_EQ(dateTime->refreshed, 1);
  EXPECT_EQ(g.m_startupArgs[0], 1808u);
  EXPECT_EQ(g.m_cDecimalSeparator, '.');
  EXPECT_EQ(g.m_cThousandSeparator, ',');
  EXPECT_NE(g.m_nStylesClipboardFormat, 0u);
  EXPECT_NE(g.GetControlFactory(), nullptr);
  EXPECT_NE(g.m_pDocSerializeImp, nullptr);
  EXPECT_NE(g.m_pStyleCompareSubsetImp, nullptr);
  WNDCLASS wc{};
  EXPECT_TRUE(GetClassInfo(AfxGetInstanceHandle(), "GXWND", &wc));
  EXPECT_EQ(wc.style & CS_DBLCLKS, static_cast<UINT>(CS_DBLCLKS));
  EXPECT_TRUE(GetClassInfo(AfxGetInstanceHandle(), "GXNDBLCLKSWND", &wc));
  EXPECT_EQ(wc.style & CS_DBLCLKS, 0u);
  EXPECT_EQ(g.m_texts.size(), 34u);
  EXPECT_EQ(g.m_texts[26], "Move Rows");
}

TEST(GridGlobals, GridsPerObject) {
  CGXGridGlobals& g = CGXGridGlobals::Get();
  auto* grid1 = reinterpret_cast<CGXGridCore*>(0x10);
  auto* grid2 = reinterpret_cast<CGXGridCore*>(0x20);
  int data = 0, props = 0;
  g.AddGridForObject(&data, grid1);
  g.AddGridForObject(&data, grid2);
  g.AddGridForObject(&props, grid2);
  EXPECT_EQ(g.GetFirstGridForObject(&data), grid1);
  g.RemoveGrid(grid1);
  EXPECT_EQ(g.GetFirstGridForObject(&data), grid2);
  g.RemoveGrid(grid2);
  EXPECT_EQ(g.GetFirstGridForObject(&data), nullptr);
  EXPECT_EQ(g.GetFirstGridForObject(&props), nullptr);
}

}  // namespace

#include "grid/core/gxwindowhelpers.h"
#include "platform/framework/CDialog.h"
#include "platform/framework/CFrameWnd.h"
#include "platform/framework/CWinApp.h"

namespace {

TEST(WindowHelpers, FindParentOfClass) {
  WNDCLASS wc{};
  wc.lpfnWndProc = DefWindowProc;
  wc.lpszClassName = "GXHelperTestWnd";
  RegisterClass(&wc);
  HWND top = CreateWindowEx(0, "GXHelperTestWnd", "top", WS_OVERLAPPEDWINDOW, 0, 0, 200, 200, nullptr, nullptr,
                            nullptr, nullptr);
  HWND child = CreateWindowEx(0, "GXHelperTestWnd", "child", WS_CHILD | WS_VISIBLE, 0, 0, 50, 50, top, nullptr,
                              nullptr, nullptr);
  ASSERT_TRUE(top && child);
  CWnd* c = CWnd::FromHandle(child);
  EXPECT_NE(FindParentOfClass(c, RUNTIME_CLASS(CWnd)), nullptr);
  EXPECT_EQ(FindParentOfClass(c, RUNTIME_CLASS(CDialog)), nullptr);
  EXPECT_EQ(FindParentOfClass(CWnd::FromHandle(top), RUNTIME_CLASS(CWnd)), nullptr);  // no parent at all
  EXPECT_EQ(FindParentOfClass(nullptr, RUNTIME_CLASS(CWnd)), nullptr);
  DestroyWindow(top);
  CWnd::DeleteTempMap();
}

TEST(WindowHelpers, ActiveViewOfTheApplicationsMainFrame) {
  struct View : CView {
    void OnDraw(CDC*) override {}
  } view;
  CFrameWnd frame;
  CWnd plain;
  CWinApp app;
  EXPECT_EQ(GetActiveViewOfApp(), nullptr);  // no application
  plat::SetCurrentApp(&app);
  EXPECT_EQ(GetActiveViewOfApp(), nullptr);  // no main window
  app.m_pMainWnd = &plain;
  EXPECT_EQ(GetActiveViewOfApp(), nullptr);  // a main window that is no frame
  app.m_pMainWnd = &frame;
  EXPECT_EQ(GetActiveViewOfApp(), nullptr);  // a frame without a view
  frame.SetActiveView(&view, FALSE);
  EXPECT_EQ(GetActiveViewOfApp(), &view);
  frame.SetActiveView(nullptr, FALSE);
  plat::SetCurrentApp(nullptr);
}

}  // namespace
