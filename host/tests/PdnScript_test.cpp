// pdnhost's script reader: what each step reads into, and the file-and-line error of each kind of bad line.
#include "host/PdnScript.h"

#include "platform/framework/ControlCodes.h"
#include "platform/window/windowapi.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

using host::ParseScript;
using host::ScriptAction;
using host::ScriptError;

TEST(PdnScript, ReadsEveryStep) {
  const auto steps = ParseScript(
      "# a comment\n"
      "\n"
      "  click 1065\r\n"
      "type 1234 \"0.5 \\\"m\\\"\\t\"\n"
      "pick \"Unit\" mOhm\n"
      "key ctrl+shift+F4\n"
      "answer message yes \"Zuvar\"\n"
      "answer save \"out/x.dao\"\n"
      "answer open cancel\n"
      "host mayclose no\n"
      "call LoadSettings \"a b.dao\"\n"
      "screenshot p.png\n"
      "expect state \"Save && Close\" hidden\n"
      "expect log \"callback: Run\"\n"
      "click 1009 at 12 40 ctrl\n"
      "type 1010 at 60 30 Core\n"
      "cell 1003 0 2\n"
      "drag 1003 4 1\n"
      "viewer pick U1.D4 \"U1.G7\"",
      "s");
  ASSERT_EQ(steps.size(), 17u);
  EXPECT_EQ(steps[0].line, 3);
  EXPECT_EQ(steps[0].source, "click 1065");
  EXPECT_EQ(steps[0].control.id, 1065);
  EXPECT_EQ(steps[1].action, ScriptAction::Type);
  EXPECT_EQ(steps[1].text, "0.5 \"m\"\t");
  EXPECT_TRUE(steps[2].control.byCaption);
  EXPECT_EQ(steps[2].control.caption, "Unit");
  EXPECT_EQ(steps[2].text, "mOhm");
  EXPECT_EQ(steps[3].key.vk, VK_F4);
  EXPECT_EQ(steps[3].key.xName, "F4");
  EXPECT_TRUE(steps[3].key.ctrl && steps[3].key.shift && !steps[3].key.alt);
  EXPECT_EQ(steps[4].button, IDYES);
  EXPECT_EQ(steps[4].match, "Zuvar");
  EXPECT_EQ(steps[5].action, ScriptAction::AnswerSave);
  EXPECT_EQ(steps[5].text, "out/x.dao");
  EXPECT_EQ(steps[6].button, IDCANCEL);
  EXPECT_FALSE(steps[7].answer);
  EXPECT_EQ(steps[8].operation, "LoadSettings");
  EXPECT_EQ(steps[8].text, "a b.dao");
  EXPECT_EQ(steps[10].state, host::ScriptState::Hidden);
  EXPECT_EQ(steps[11].line, 14);
  EXPECT_TRUE(steps[12].atPoint && steps[12].withCtrl && !steps[12].withShift);
  EXPECT_EQ(steps[12].x, 12);
  EXPECT_EQ(steps[12].y, 40);
  EXPECT_TRUE(steps[13].atPoint && !steps[13].withCtrl);
  EXPECT_EQ(steps[13].y, 30);
  EXPECT_EQ(steps[13].text, "Core");
  EXPECT_FALSE(steps[0].atPoint);
  EXPECT_EQ(steps[14].action, ScriptAction::Cell);
  EXPECT_EQ(steps[14].control.id, 1003);
  EXPECT_EQ(steps[14].row, 0);
  EXPECT_EQ(steps[14].col, 2);
  EXPECT_EQ(steps[15].action, ScriptAction::Drag);
  EXPECT_EQ(steps[15].row, 4);
  EXPECT_EQ(steps[15].col, 1);
  EXPECT_EQ(steps[16].action, ScriptAction::ViewerPick);
  EXPECT_EQ(steps[16].ids, (std::vector<std::string>{"U1.D4", "U1.G7"}));
}

TEST(PdnScript, BadLinesNameFileLineAndFault) {
  const std::pair<const char*, const char*> cases[] = {
      {"frob 1", "f.txt:2: unknown step \"frob\""},
      {"click", "f.txt:2: too few arguments; expected: click CONTROL"},
      {"click 1 2", "f.txt:2: too few arguments; expected: click CONTROL [at X Y [shift|ctrl]]"},
      {"click 1 at 2 3 4 5", "f.txt:2: too many arguments"},
      {"click 1 near 2 3", "expected \"at X Y\", found \"near\""},
      {"click 1 at 2 -3", "expected a pixel offset (a number up to 99999), found \"-3\""},
      {"click 1 at 2 3 alt", "expected shift or ctrl after the point, found \"alt\""},
      {"type 1 at 2 a", "expected: type CONTROL [at X Y] TEXT"},
      {"click 65536", "expected a control id (a number up to 65535)"},
      {"click 065535", "expected a control id (a number up to 65535)"},
      {"click -3", "expected a control id"},
      {"click \"\"", "an empty caption names no control"},
      {"type 1 \"open", "a quoted text is not closed"},
      {"type 1 \"a\"b", "a quoted text must be followed by a space"},
      {"type 1 a\"b", "a quote inside a word"},
      {"type 1 \"\\q\"", "unknown escape \\q"},
      {"key shift+", "a key chord ends with '+' and no key"},
      {"key meta+a", "expected shift, ctrl or alt before '+'"},
      {"key F13", "unknown key \"F13\""},
      {"key a+shift", "expected shift, ctrl or alt before '+', found \"a\""},
      {"answer message maybe", "expected a button"},
      {"answer print ok", "expected message, open or save"},
      {"answer save \"\"", "an empty file name"},
      {"host run perhaps", "expected yes or no"},
      {"call Explode", "unknown operation \"Explode\" (operations: Run, CloseWizard"},
      {"call Run now", "Run takes no argument"},
      {"call LoadSettings", "LoadSettings takes one argument"},
      {"expect state 1 ticked", "expected enabled, disabled"},
      {"expect colour 1 red", "expected text, state or log after expect"},
      {"expect log \"\"", "an empty text is in every line"},
      {"cell 1003 1", "too few arguments; expected: cell CONTROL ROW COL"},
      {"drag 1003 -1 2", "expected a row or column number, found \"-1\""},
      {"cell 1003 1 x", "expected a row or column number"},
      {"viewer pick", "expected: viewer pick ID..."},
      {"viewer look U1.D4", "expected: viewer pick ID..."},
      {"net pick", "expected: net pick NET"},
      {"net pick A B", "expected: net pick NET"},
      {"via port V1", "expected: via port ID on|off"},
      {"via port V1 maybe", "expected on or off after the via's id, found \"maybe\""},
      {"call IsSelectNetActive now", "IsSelectNetActive takes no argument"},
      {"click 1141 in frob", "expected dialog, pane, a control id or a caption in quotes after \"in\", found \"frob\""},
      {"screenshot ../../x.png", "screenshot ../../x.png: a file name with \"..\" leaves the --shots folder"},
      {"screenshot pages/../../x.png", "a file name with \"..\" leaves the --shots folder"},
      {"screenshot /tmp/x.png", "screenshot /tmp/x.png: expected a file name relative to the --shots folder"},
  };
  for (const auto& [line, error] : cases) {
    SCOPED_TRACE(line);
    try {
      ParseScript(std::string("click 1\n") + line + "\nclick 2\n", "f.txt");
      ADD_FAILURE() << "accepted";
    } catch (const ScriptError& e) {
      EXPECT_NE(std::string(e.what()).find(error), std::string::npos) << e.what();
      EXPECT_EQ(std::string(e.what()).rfind("f.txt:2: ", 0), 0u) << e.what();
    }
  }
  EXPECT_THROW(host::LoadScript("/nonexistent/dir/s.txt"), ScriptError);
  // Why it cannot be read, as for a board.
  EXPECT_THAT([] { host::LoadScript("/nonexistent/dir/s.txt"); },
              testing::ThrowsMessage<ScriptError>(testing::HasSubstr("s.txt: cannot be opened for reading (No such file")));
  // The largest id takes all five digits.
  const auto largest = ParseScript("click 65535\nclick 00001\n", "ids.txt");
  ASSERT_EQ(largest.size(), 2u);
  EXPECT_EQ(largest[0].control.id, 65535);
  EXPECT_EQ(largest[1].control.id, 1);
  // The model extractor's host events and queries read back.
  const auto events = ParseScript("net pick \"CLK 100\"\nvia port V_TX0_P off\ncall IsSelectNetActive\n", "e.txt");
  ASSERT_EQ(events.size(), 3u);
  EXPECT_EQ(events[0].action, ScriptAction::NetPick);
  EXPECT_EQ(events[0].ids, (std::vector<std::string>{"CLK 100"}));
  EXPECT_EQ(events[1].action, ScriptAction::ViaPort);
  EXPECT_FALSE(events[1].answer);
  EXPECT_EQ(events[2].operation, "IsSelectNetActive");
  EXPECT_THROW(ParseScript(std::string("click 1\0", 8), "z"), ScriptError);
}

}  // namespace

namespace {

// Scripts are UTF-8; what a step types, expects or names reaches the module in code page 1252, and a text the code
// page has no form of is refused when the script is read, not typed as something else.
TEST(PdnScript, TextsAreConvertedToTheModulesCodePage) {
  const auto steps = host::ParseScript("type 1017 \"caf\xC3\xA9 \xE2\x82\xAC\"\nexpect text \"\xC3\x9C\" x\n", "s");
  ASSERT_EQ(steps.size(), 2u);
  EXPECT_EQ(steps[0].text, "caf\xE9 \x80");
  EXPECT_EQ(steps[1].control.caption, "\xDC");
  for (const char* line : {"type 1017 \"\xE4\xB8\xAD\"\n", "type 1017 \"\xC3\"\n", "type 1017 \"\xC0\xAF\"\n"}) {
    try {
      host::ParseScript(line, "s");
      ADD_FAILURE() << line;
    } catch (const host::ScriptError& error) {
      EXPECT_NE(std::string(error.what()).find("s:1: "), std::string::npos) << error.what();
      EXPECT_NE(std::string(error.what()).find("code page 1252"), std::string::npos) << error.what();
    }
  }
}

}  // namespace

namespace {

// A trailing `in PARENT` names where a step's control is; "in" as a typed text is quoted.
TEST(PdnScript, StepsNameThePartOfTheWindowTheirControlIsIn) {
  const auto steps = host::ParseScript("click 1141 in pane\nexpect state 1189 hidden in dialog\n"
                                       "pick 1189 \"0402\" in 1177\ntype 1017 \"in\"\ntype 1017 x in \"Group\"\n"
                                       "expect log in\n",
                                       "s");
  ASSERT_EQ(steps.size(), 6u);
  using Kind = host::ScriptScope::Kind;
  EXPECT_EQ(steps[0].control.scope.kind, Kind::Pane);
  EXPECT_EQ(steps[0].control.id, 1141);
  EXPECT_EQ(steps[1].control.scope.kind, Kind::Dialog);
  EXPECT_EQ(steps[1].state, host::ScriptState::Hidden);
  EXPECT_EQ(steps[2].control.scope.kind, Kind::Control);
  EXPECT_EQ(steps[2].control.scope.id, 1177);
  EXPECT_EQ(steps[2].text, "0402");
  EXPECT_EQ(steps[3].control.scope.kind, Kind::Window);
  EXPECT_EQ(steps[3].text, "in");
  EXPECT_EQ(steps[4].control.scope.caption, "Group");
  EXPECT_EQ(steps[4].text, "x");
  EXPECT_EQ(steps[5].text, "in");
  EXPECT_EQ(steps[2].control.Describe(), "1189 in 1177");
}

}  // namespace
