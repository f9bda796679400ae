// Menus: building, item state by command and by position, templates, and TrackPopupMenu headless.
#include <deque>
#include <functional>
#include <optional>
#include <stdexcept>

#include "platform/base/ResourceTable.h"
#include "platform/window/AutomationProvider.h"
#include "platform/window/InputRouter.h"
#include "platform/window/Menus.h"
#include "platform/window/MessageQueue.h"
#include "platform/window/PopupMenuWindow.h"
#include "platform/window/tests/WindowTestSupport.h"

namespace plat::test {
namespace {

constexpr UINT ID_EDIT_CUT = 57635;
constexpr UINT ID_EDIT_COPY = 57634;
constexpr UINT ID_EDIT_PASTE = 57637;

class MenusTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    owner = Top();
    menu = CreatePopupMenu();
    sub = CreatePopupMenu();
    AppendMenu(menu, MF_STRING, ID_EDIT_CUT, "Cu&t");
    AppendMenu(menu, MF_STRING | MF_GRAYED, ID_EDIT_COPY, "&Copy");
    AppendMenu(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenu(sub, MF_STRING, ID_EDIT_PASTE, "&Paste");
    AppendMenu(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(sub), "More");
  }
  void TearDown() override {
    DestroyMenu(menu);
    WindowTest::TearDown();
  }
  HWND owner{};
  HMENU menu{}, sub{};
};

TEST_F(MenusTest, ItemStateByCommandReachesIntoSubmenus) {
  EXPECT_EQ(GetMenuItemCount(menu), 4);
  EXPECT_EQ(GetMenuItemID(menu, 0), ID_EDIT_CUT);
  EXPECT_EQ(GetMenuItemID(menu, 3), static_cast<UINT>(-1));  // a popup has no command
  EXPECT_EQ(GetSubMenu(menu, 3), sub);
  EXPECT_EQ(EnableMenuItem(menu, ID_EDIT_COPY, MF_ENABLED), static_cast<int>(MF_GRAYED));
  EXPECT_EQ(EnableMenuItem(menu, ID_EDIT_PASTE, MF_GRAYED), static_cast<int>(MF_ENABLED));
  EXPECT_EQ(GetMenuState(sub, 0, MF_BYPOSITION) & MF_GRAYED, MF_GRAYED);
  EXPECT_EQ(EnableMenuItem(menu, 4242, MF_GRAYED), -1);
  EXPECT_EQ(CheckMenuItem(menu, ID_EDIT_CUT, MF_CHECKED), MF_UNCHECKED);
  EXPECT_EQ(GetMenuState(menu, ID_EDIT_CUT, MF_BYCOMMAND) & MF_CHECKED, MF_CHECKED);
  char text[16];
  EXPECT_EQ(GetMenuString(menu, 1, text, sizeof text, MF_BYPOSITION), 5);
  EXPECT_STREQ(text, "&Copy");
  // RemoveMenu keeps the submenu alive, DeleteMenu destroys it.
  EXPECT_TRUE(RemoveMenu(menu, 3, MF_BYPOSITION));
  EXPECT_TRUE(IsMenu(sub));
  AppendMenu(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(sub), "More");
  EXPECT_TRUE(DeleteMenu(menu, 3, MF_BYPOSITION));
  EXPECT_FALSE(IsMenu(sub));
  EXPECT_EQ(GetMenuItemCount(sub), -1);  // stale handle
}

TEST_F(MenusTest, TemplateLoadsNestedLevelsAndRefusesTruncation) {
  // Header, "File" popup { "Open" 100, separator, "Exit" 101 (end) }, "Help" 102 (end).
  std::vector<BYTE> t = {0, 0, 0, 0};
  auto word = [&](WORD w) { t.push_back(static_cast<BYTE>(w & 0xFF)); t.push_back(static_cast<BYTE>(w >> 8)); };
  auto text = [&](const char* s) { for (; *s; ++s) word(static_cast<BYTE>(*s)); word(0); };
  word(MF_POPUP); text("File");
  word(0); word(100); text("Open");
  word(0); word(0); text("");
  word(MF_END); word(101); text("Exit");
  word(MF_END); word(102); text("Help");
  HMENU bar = LoadMenuIndirect(t.data(), t.size());
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(GetMenuItemCount(bar), 2);
  HMENU file = GetSubMenu(bar, 0);
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(GetMenuItemCount(file), 3);
  EXPECT_EQ(GetMenuState(file, 1, MF_BYPOSITION) & MF_SEPARATOR, MF_SEPARATOR);
  EXPECT_EQ(GetMenuItemID(bar, 1), 102u);
  DestroyMenu(bar);
  EXPECT_FALSE(IsMenu(file));
  for (std::size_t cut = 0; cut < t.size(); cut += 3) EXPECT_EQ(LoadMenuIndirect(t.data(), cut), nullptr) << cut;

  // The same bytes as a module's menu resource.
  HINSTANCE module = ResourceTable::ModuleHandle("menu-tests");
  static std::vector<BYTE> stored;
  stored = t;
  ResourceTable::AddResource(module, RT_MENU, MAKEINTRESOURCE(200), stored);
  HMENU loaded = LoadMenu(module, MAKEINTRESOURCE(200));
  ASSERT_NE(loaded, nullptr);
  EXPECT_EQ(GetMenuItemID(GetSubMenu(loaded, 0), 2), 101u);
  EXPECT_EQ(LoadMenu(module, MAKEINTRESOURCE(201)), nullptr);
  DestroyMenu(loaded);
  ResourceTable::RemoveModule(module);
}

TEST_F(MenusTest, TrackPopupMenuAsksTheProviderAndSendsTheChoice) {
  EXPECT_THROW(TrackPopupMenu(menu, TPM_RIGHTBUTTON, 10, 20, 0, owner, nullptr), AutomationMissing);
  ScriptedAutomation script;
  script.Reply(SystemUiKind::PopupMenu, SystemAnswer{static_cast<int>(ID_EDIT_PASTE), {}, 0})
      .Reply(SystemUiKind::PopupMenu, SystemAnswer{static_cast<int>(ID_EDIT_COPY), {}, 0})
      .Reply(SystemUiKind::PopupMenu, SystemAnswer{static_cast<int>(ID_EDIT_CUT), {}, 0});
  SetAutomationProvider(&script);
  ClearLog();
  EXPECT_TRUE(TrackPopupMenu(menu, 0, 10, 20, 0, owner, nullptr));
  // Opening the menu cancels modes first (the owner has the focus), then the owner fills it in.
  EXPECT_MESSAGES(Log(owner), WM_CANCELMODE, WM_INITMENUPOPUP, WM_COMMAND);
  EXPECT_EQ(LOWORD(Entries(owner, WM_COMMAND)[0].wParam), ID_EDIT_PASTE);
  ClearLog();
  EXPECT_FALSE(TrackPopupMenu(menu, 0, 10, 20, 0, owner, nullptr));  // grayed: nothing chosen
  EXPECT_TRUE(Entries(owner, WM_COMMAND).empty());
  EXPECT_EQ(TrackPopupMenu(menu, TPM_RETURNCMD, 10, 20, 0, owner, nullptr), static_cast<BOOL>(ID_EDIT_CUT));
  EXPECT_TRUE(Entries(owner, WM_COMMAND).empty());
  ASSERT_EQ(ShownLog().size(), 3u);
  EXPECT_NE(ShownLog()[0].request.text.find("&Copy (disabled)"), std::string::npos);
  SetAutomationProvider(nullptr);
}

// Stands in for the presenter: each wait runs the next scripted step (input a user would give).
class FakeDisplay : public EventSource {
 public:
  std::deque<std::function<void()>> steps;
  bool WaitForEvents(std::optional<std::uint64_t>) override {
    if (steps.empty()) throw std::runtime_error("the menu is still up and the script is over");
    auto step = std::move(steps.front());
    steps.pop_front();
    step();
    return true;
  }
};

POINT OnMenu(int x, int y) {
  HWND shown = FindWindow(PopupMenuWindow::kClassName, nullptr);
  EXPECT_NE(shown, nullptr);
  return InputRouter::ClientPoint(shown, x, y);
}

TEST_F(MenusTest, OnScreenMenuTakesAClickOrTheKeyboardAndCancelsOnEscapeOrOutside) {
  FakeDisplay display;
  MessageQueue::Instance().eventSource = &display;
  InputRouter& in = InputRouter::Instance();
  ClearLog();
  display.steps.push_back([&] { in.Click(MouseButton::Left, OnMenu(20, 10)); });  // first row: Cut
  EXPECT_TRUE(TrackPopupMenu(menu, 0, 30, 40, 0, owner, nullptr));
  EXPECT_EQ(LOWORD(Entries(owner, WM_COMMAND).at(0).wParam), ID_EDIT_CUT);
  EXPECT_EQ(FindWindow(PopupMenuWindow::kClassName, nullptr), nullptr);  // gone again

  // Keyboard: down to the grayed Copy, Enter does nothing there, Esc cancels.
  ClearLog();
  display.steps.push_back([&] { in.KeyPress(VK_DOWN); in.KeyPress(VK_DOWN); in.KeyPress(VK_RETURN); });
  display.steps.push_back([&] { in.KeyPress(VK_ESCAPE); });
  EXPECT_FALSE(TrackPopupMenu(menu, 0, 30, 40, 0, owner, nullptr));
  EXPECT_TRUE(Entries(owner, WM_COMMAND).empty());
  EXPECT_TRUE(Entries(owner, WM_KEYDOWN).empty());  // the menu kept the keys

  // Down, Enter on Cut with TPM_RETURNCMD; then a press outside cancels.
  display.steps.push_back([&] { in.KeyPress(VK_DOWN); in.KeyPress(VK_RETURN); });
  EXPECT_EQ(TrackPopupMenu(menu, TPM_RETURNCMD, 30, 40, 0, owner, nullptr), static_cast<BOOL>(ID_EDIT_CUT));
  display.steps.push_back([&] { in.Click(MouseButton::Left, POINT{5, 5}); });
  EXPECT_FALSE(TrackPopupMenu(menu, 0, 30, 40, 0, owner, nullptr));

  // "More" opens its submenu with Right; Left goes back; Right again and Enter chooses Paste in it.
  ClearLog();
  display.steps.push_back([&] { in.KeyPress(VK_UP); in.KeyPress(VK_RIGHT); });
  display.steps.push_back([&] {
    int menus = 0;
    EnumWindows([](HWND h, LPARAM l) -> BOOL {
      char name[16];
      GetClassName(h, name, sizeof name);
      if (std::string(name) == PopupMenuWindow::kClassName) ++*reinterpret_cast<int*>(l);
      return TRUE;
    }, reinterpret_cast<LPARAM>(&menus));
    EXPECT_EQ(menus, 2);  // the menu and its submenu
    in.KeyPress(VK_LEFT);
  });
  display.steps.push_back([&] { in.KeyPress(VK_RIGHT); });
  display.steps.push_back([&] { in.KeyPress(VK_DOWN); in.KeyPress(VK_RETURN); });
  EXPECT_TRUE(TrackPopupMenu(menu, 0, 30, 40, 0, owner, nullptr));
  EXPECT_EQ(LOWORD(Entries(owner, WM_COMMAND).at(0).wParam), ID_EDIT_PASTE);
  EXPECT_EQ(FindWindow(PopupMenuWindow::kClassName, nullptr), nullptr);
  MessageQueue::Instance().eventSource = nullptr;
}

}  // namespace
}  // namespace plat::test
