// The module library loaded and unloaded the way a host does it: what it exports, what happens at load, the order
// of its static objects and start-up, and what unloading takes away (the keyboard hook, open wizards).
#include "brimstead/BrimsteadExports.h"
#include "host/HostCallbackLog.h"
#include "platform/base/ProgramLauncher.h"
#include "platform/base/ResourceTable.h"
#include "platform/base/tests/TempDir.h"
#include "platform/framework/CWinApp.h"
#include "platform/window/Pump.h"
#include "platform/window/windowapi.h"

#include <dlfcn.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

namespace {

std::set<std::string> DefinedDynamicSymbols(const char* library) {
  std::set<std::string> names;
  const std::string command = std::string("nm -D --defined-only ") + library;
  FILE* pipe = plat::OpenCommand(command);
  if (!pipe)
    return names;
  char line[1024];
  while (std::fgets(line, sizeof line, pipe)) {
    std::istringstream fields(line);
    std::string address, type, name;
    if (fields >> address >> type >> name)
      names.insert(name);
  }
  plat::CloseCommand(pipe);
  return names;
}

int CountTopLevelWindows() {
  int count = 0;
  EnumWindows([](HWND, LPARAM counter) -> BOOL {
    ++*reinterpret_cast<int*>(counter);
    return TRUE;
  }, reinterpret_cast<LPARAM>(&count));
  return count;
}

// Drop-down lists of combo boxes are hidden top-level windows of their own: only the shown ones count here.
int CountVisibleTopLevelWindows() {
  int count = 0;
  EnumWindows([](HWND hwnd, LPARAM counter) -> BOOL {
    if (IsWindowVisible(hwnd)) ++*reinterpret_cast<int*>(counter);
    return TRUE;
  }, reinterpret_cast<LPARAM>(&count));
  return count;
}

template <class Fn>
Fn Export(void* library, const char* name) {
  return reinterpret_cast<Fn>(dlsym(library, name));
}

class ModuleLibrary : public ::testing::Test {
protected:
  void SetUp() override { plat::ResetWindowSystem(); }
  void TearDown() override {
    ::unsetenv("BRIM_MODULE_TRACE");
    plat::ResetWindowSystem();
  }
};

TEST_F(ModuleLibrary, ExportsOnlyItsFactories) {
  const std::set<std::string> expected = {"CreateBrimstead", "CreateBypassWizard", "CreateViaModelWizard",
                                          "CreateModelExtractorWizard", "GetDecouplingModelsHelper",
                                          "CreateCapacitorModelEditorDialog",
                                          "CreateDecouplingGroupsDialog",
                                          "CreateCapacitorModelsDialog"};
  EXPECT_EQ(DefinedDynamicSymbols(BRIM_MODULE_LIBRARY), expected);
  EXPECT_EQ(DefinedDynamicSymbols(BRIM_TEST_MODULE_LIBRARY), expected);
}

TEST_F(ModuleLibrary, LoadingStartsTheApplicationAndRegistersTheDecouplingWizard) {
  ASSERT_EQ(AfxGetApp(), nullptr);
  WNDCLASS gridClass{};
  ASSERT_FALSE(GetClassInfo(AfxGetInstanceHandle(), "GXWND", &gridClass));
  const int windowsBefore = CountTopLevelWindows();
  void* library = dlopen(BRIM_MODULE_LIBRARY, RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(library, nullptr) << dlerror();
  // The application object exists and its start-up ran (the class library's start-up names the application).
  ASSERT_NE(AfxGetApp(), nullptr);
  EXPECT_STREQ(AfxGetAppName(), "Brimstead") << "the module's title string names the application";
  // The cells' bitmaps, made while the library starts (during static initialisation), are whole: check boxes,
  // radio buttons and drop-down arrows draw in the module's grids.
  const HINSTANCE gridModule = plat::ResourceTable::ModuleHandle("grid");
  for (UINT id : {20024u, 20025u, 20026u, 20019u, 20028u}) {
    HRSRC bitmap = FindResource(gridModule, MAKEINTRESOURCE(id), RT_BITMAP);
    EXPECT_GT(SizeofResource(gridModule, bitmap), 40u) << id;
  }
  // The start-up started the grid library: its window classes are there, but no window.
  EXPECT_TRUE(GetClassInfo(AfxGetInstanceHandle(), "GXWND", &gridClass));
  EXPECT_EQ(CountTopLevelWindows(), windowsBefore);
  // The cells' pictures the start-up registered have their bytes (the start-up runs before the library's other
  // static objects are made).
  const HINSTANCE grid = plat::ResourceTable::ModuleHandle("grid");
  for (UINT picture : {20024u, 20026u}) {
    HRSRC found = FindResource(grid, MAKEINTRESOURCE(picture), RT_BITMAP);
    ASSERT_NE(found, nullptr) << picture;
    EXPECT_GT(SizeofResource(grid, found), 40u) << picture;
  }

  auto createBrimstead = Export<CreateBrimsteadFn>(library, "CreateBrimstead");
  auto createBypass = Export<CreateBypassWizardFn>(library, "CreateBypassWizard");
  auto createViaModel = Export<CreateViaModelWizardFn>(library, "CreateViaModelWizard");
  auto createExtractor = Export<CreateModelExtractorWizardFn>(library, "CreateModelExtractorWizard");
  auto getHelper = Export<GetDecouplingModelsHelperFn>(library, "GetDecouplingModelsHelper");
  auto createEditor = Export<CreateCapacitorModelEditorDialogFn>(library, "CreateCapacitorModelEditorDialog");
  auto createGroups = Export<CreateDecouplingGroupsDialogFn>(library, "CreateDecouplingGroupsDialog");
  auto createModels = Export<CreateCapacitorModelsDialogFn>(library, "CreateCapacitorModelsDialog");
  ASSERT_TRUE(createBrimstead && createBypass && createViaModel && createExtractor && getHelper && createEditor &&
              createGroups && createModels);

  CBrimsteadAPITable* decoupling = createBrimstead();
  EXPECT_EQ(createBrimstead(), decoupling);
  EXPECT_TRUE(decoupling->IsLumpedAnalysis());
  host::HostCallbackLog callback;
  // The decoupling wizard is the module's own dialog, built from the templates it registered.
  ASSERT_TRUE(decoupling->SetCallback(&callback));
  const int shownBefore = CountVisibleTopLevelWindows();
  ASSERT_TRUE(decoupling->CreateModeless());
  EXPECT_EQ(CountVisibleTopLevelWindows(), shownBefore + 1);
  char caption[64] = {};
  GetWindowText(decoupling->GetWizardWindow(), caption, sizeof caption);
  EXPECT_STREQ(caption, "Brimstead");
  decoupling->Close();   // answers false whatever it did
  EXPECT_EQ(decoupling->GetWizardWindow(), nullptr);
  EXPECT_EQ(CountTopLevelWindows(), windowsBefore);
  EXPECT_EQ(callback.Lines(), (std::vector<std::string>{"Notify 1 1", "OnClosed"}));
  // The other wizards' dialogs are the module's too, each with its caption.
  const std::pair<CWizardAPI*, const char*> others[] = {{createBypass(), "Bypass Wizard"},
                                                        {createViaModel(), "Via Model Extractor"},
                                                        {createExtractor(), "PDN Model Extractor"}};
  for (const auto& [other, expected] : others) {
    SCOPED_TRACE(expected);
    callback.Clear();
    ASSERT_TRUE(other->SetCallback(&callback));
    ASSERT_TRUE(other->CreateModeless());
    GetWindowText(other->GetWizardWindow(), caption, sizeof caption);
    EXPECT_STREQ(caption, expected);
    other->Close();
    EXPECT_EQ(other->GetWizardWindow(), nullptr);
    EXPECT_EQ(callback.Lines(), (std::vector<std::string>{"Notify 1 1", "OnClosed"}));
  }
  EXPECT_EQ(CountTopLevelWindows(), windowsBefore);
  callback.Clear();
  EXPECT_TRUE(createBypass()->IsDistributedAnalysis());
  EXPECT_EQ(createViaModel()->GetNormalImpedance(), 50.0);
  EXPECT_EQ(createExtractor()->GetNormalImpedance(), 0.1);
  ASSERT_NE(getHelper(), nullptr);
  EXPECT_STREQ(getHelper()->GetModelDescription(nullptr), "<undefined>");
  // Each call makes a new editor object, deleted by the host; before a run it answers the model handed in.
  CCapacitorModelEditorAPITable* editor = createEditor();
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(editor->GetModel(), nullptr);
  editor->Delete();
  EXPECT_TRUE(callback.Lines().empty());
  // So does the groups dialog's; without a board its run does not start and opens no window.
  CDecouplingGroupsAPITable* groups = createGroups();
  ASSERT_NE(groups, nullptr);
  EXPECT_TRUE(groups->IsReady(1));
  EXPECT_EQ(groups->RunModal(), -1);
  EXPECT_EQ(CountTopLevelWindows(), windowsBefore);
  groups->Delete();
  // And the capacitor models dialog's; without a system its run answers 2 at once and opens no window.
  CCapacitorModelsAPITable* models = createModels();
  ASSERT_NE(models, nullptr);
  EXPECT_EQ(models->RunModal(), 2);
  EXPECT_EQ(CountTopLevelWindows(), windowsBefore);
  models->Delete();

  ASSERT_EQ(dlclose(library), 0);
  EXPECT_EQ(AfxGetApp(), nullptr);   // the application object went with the library
  // The templates pointed into the module's code: they went with it.
  const HINSTANCE module = plat::ResourceTable::ModuleHandle("brimstead");
  EXPECT_EQ(FindResource(module, MAKEINTRESOURCE(1000), RT_DIALOG), nullptr);
}

TEST_F(ModuleLibrary, StaticOrderStartUpAndWhatUnloadingTakesAway) {
  const TempDir temp("brim-module-trace");
  const std::string tracePath = temp / "trace.txt";
  ::setenv("BRIM_MODULE_TRACE", tracePath.c_str(), 1);   // read by the stand-in wizards from their loading on
  void* library = dlopen(BRIM_TEST_MODULE_LIBRARY, RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(library, nullptr) << dlerror();
  auto createBrimstead = Export<CreateBrimsteadFn>(library, "CreateBrimstead");
  auto createBypass = Export<CreateBypassWizardFn>(library, "CreateBypassWizard");
  ASSERT_TRUE(createBrimstead && createBypass);

  // Two modeless wizards: the hook is in place, and a character for either becomes a null message.
  host::HostCallbackLog callback;
  CBrimsteadAPITable* decoupling = createBrimstead();
  CBypassWizardAPITable* bypass = createBypass();
  decoupling->SetCallback(&callback);
  bypass->SetCallback(&callback);
  ASSERT_TRUE(decoupling->CreateModeless());
  ASSERT_TRUE(bypass->CreateModeless());
  HWND first = decoupling->GetWizardWindow();
  HWND second = bypass->GetWizardWindow();
  ASSERT_TRUE(IsWindow(first) && IsWindow(second));
  PostMessage(second, WM_CHAR, 'k', 1);
  MSG msg;
  ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, WM_NULL);

  // The host unloads with both wizards open: the hook and the windows must go with the library.
  ASSERT_EQ(dlclose(library), 0);
  EXPECT_FALSE(IsWindow(first));
  EXPECT_FALSE(IsWindow(second));
  WNDCLASS wc{};
  wc.lpfnWndProc = DefWindowProc;
  wc.lpszClassName = "BrimHostWnd";
  RegisterClass(&wc);
  HWND hostWindow = CreateWindowEx(0, "BrimHostWnd", "host", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                                   nullptr, nullptr);
  PostMessage(hostWindow, WM_CHAR, 'k', 1);
  ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));   // a hook left behind would call unloaded code
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_CHAR));
  EXPECT_EQ(msg.wParam, static_cast<WPARAM>('k'));

  // The application object is constructed before the module's other static objects and starts after them; at
  // unload the wizard windows the host left open are destroyed while the application (and the grid library it
  // started) still runs, then it exits, before the static objects are destroyed.
  std::ifstream trace(tracePath);
  std::stringstream text;
  text << trace.rdbuf();
  EXPECT_EQ(text.str(), "statics app=1 started=0\n"
                        "wizard destroyed app=1 started=1\n"
                        "wizard destroyed app=1 started=1\n"
                        "unload app=1 started=0\n");
}

// Loaded without a trace file named, as pdnhost and most tests load them, the stand-in wizards write no trace: not
// in the temporary folder (the test programs check theirs) and not at the name in /tmp they once wrote for every
// process that loaded them.
TEST_F(ModuleLibrary, TheStandInWizardsWriteNoTraceUnlessAFileIsNamed) {
  const std::string oldTrace = "/tmp/brim_module_trace_" + std::to_string(::getpid()) + ".txt";
  std::remove(oldTrace.c_str());   // left by a finished process that had this number
  void* library = dlopen(BRIM_TEST_MODULE_LIBRARY, RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(library, nullptr) << dlerror();
  auto createBrimstead = Export<CreateBrimsteadFn>(library, "CreateBrimstead");
  ASSERT_TRUE(createBrimstead);
  host::HostCallbackLog callback;
  CBrimsteadAPITable* decoupling = createBrimstead();
  decoupling->SetCallback(&callback);
  ASSERT_TRUE(decoupling->CreateModeless());
  ASSERT_EQ(dlclose(library), 0);   // the wizard goes with the library: every point that traces was passed
  EXPECT_FALSE(std::filesystem::exists(oldTrace));
}

}  // namespace
