#include "host/BoardFile.h"
#include "host/HostBoard.h"
#include "host/HostLedger.h"
#include "host/tests/HostTestBoards.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>

namespace host {
namespace {

TEST(BoardFile, SampleBoardsLoadWithTheirContents) {
  HostLedger ledger;
  auto demo = LoadBoardFile(test::SampleBoard("demo8.json"), ledger);
  EXPECT_EQ(demo->FileName(), "demo8.json");
  int metal = 0;
  for (const auto& layer : demo->Layers())
    metal += layer->IsMetal();
  EXPECT_EQ(metal, 8);
  EXPECT_EQ(demo->Layers().size(), 15u);
  int decoupling = 0;
  for (const auto& c : demo->Components())
    decoupling += demo->Decoupling().IsDecouplingCapacitor(c.get());
  EXPECT_EQ(decoupling, 60);
  EXPECT_EQ(demo->Decoupling().Groups().size(), 7u);
  int pairs = 0;
  for (const auto& p : demo->Probes())
    pairs += p->GetPartner() != nullptr;
  EXPECT_EQ(pairs, 6);   // three differential via pairs, each via names its partner
  EXPECT_EQ(demo->Picks().size(), 7u);

  auto sensor = LoadBoardFile(test::SampleBoard("sensor4.json"), ledger);
  metal = 0;
  for (const auto& layer : sensor->Layers())
    metal += layer->IsMetal();
  EXPECT_EQ(metal, 4);
  EXPECT_TRUE(ledger.IsBalanced()) << ledger.Report();
}

// Each layer answers its kind: signal layers 0, dielectrics 1, planes 2. The module takes the first layer of neither
// kind 0 nor 1 as the reference plane (the ESL calculator's default), so each sample board must have one.
TEST(BoardFile, LayersAnswerTheirKindAndTheSampleBoardsNameTheirPlanes) {
  HostLedger ledger;
  auto board = LoadBoardText(R"({"name": "b", "layers": [{"name": "TOP", "kind": "signal", "thickness": 0.035},
      {"name": "D1", "kind": "dielectric", "thickness": 0.1}, {"name": "GND", "kind": "plane", "thickness": 0.035},
      {"name": "D2", "kind": "dielectric", "thickness": 0.1}, {"name": "BOT", "kind": "metal", "thickness": 0.035}],
      "nets": []})", "kinds.json", ledger);
  std::vector<int> kinds;
  for (const auto& layer : board->Layers())
    kinds.push_back(layer->GetKind());
  EXPECT_EQ(kinds, (std::vector<int>{0, 1, 2, 1, 0}));
  EXPECT_TRUE(board->FindLayer("GND")->IsMetal());

  for (const auto& [file, planes] : {std::pair<const char*, std::vector<std::string>>{
                                         "demo8.json", {"L2_GND", "L4_PWR", "L5_PWR", "L7_GND"}},
                                     {"sensor4.json", {"GND", "PWR"}}}) {
    auto sample = LoadBoardFile(test::SampleBoard(file), ledger);
    std::vector<std::string> found;
    for (const auto& layer : sample->Layers())
      if (layer->GetKind() != 0 && layer->GetKind() != 1)
        found.push_back(layer->Name());
    EXPECT_EQ(found, planes) << file;
  }
}

// Board files are UTF-8; the module reads code page 1252. Every text is converted on the way in, and a name that
// the code page cannot show is refused rather than handed over as another name.
TEST(BoardFile, TextsReachTheModuleInCodePage1252) {
  HostLedger ledger;
  auto board = LoadBoardText(R"({"name": "Carte \u00e9t\u00e9", "description": "5 \u20ac",
      "layers": [{"name": "T\u00d6P", "kind": "signal", "thickness": 0.035}],
      "nets": [{"name": "GND", "type": "supply"}, {"name": "V\u00e9", "type": "supply", "reference": "GND"}],
      "components": [{"name": "U\u00b5", "side": "T\u00d6P", "pins": [{"name": "1", "net": "V\u00e9", "at": [0, 0],
                                                                  "size": 0.3}]}],
      "picks": ["U\u00b5.1"]})", "utf8.json", ledger);
  EXPECT_EQ(board->Name(), "Carte \xE9t\xE9");
  EXPECT_EQ(board->Description(), "5 \x80");
  ASSERT_NE(board->FindNet("V\xE9"), nullptr);
  EXPECT_STREQ(board->FindNet("V\xE9")->GetName(), "V\xE9");
  EXPECT_STREQ(board->FindLayer("T\xD6P")->GetName(), "T\xD6P");
  ASSERT_EQ(board->Picks().size(), 1u);
  EXPECT_STREQ(board->Picks()[0]->GetName(), "U\xB5.1");

  for (const auto& [text, message] : {
           std::pair<std::string, std::string>{
               R"({"name": "b", "layers": [{"name": "\u4e2d", "kind": "signal", "thickness": 0.035}], "nets": []})",
               "bad.json:1:35: /layers/0/name: expected a text whose every character code page 1252 has, found the text "
               "\"\xE4\xB8\xAD\""},
           {R"({"name": "b", "layers": [{"name": "T", "kind": "signal", "thickness": 0.035}], "nets": [],
                "components": [{"name": "U1", "side": "\u2192", "pins": []}]})",
            "bad.json:2:55: /components/0/side: expected a text whose every character code page 1252 has, found the text "
            "\"\xE2\x86\x92\""}}) {
    try {
      LoadBoardText(text, "bad.json", ledger);
      ADD_FAILURE() << text;
    } catch (const BoardFileError& e) {
      EXPECT_EQ(std::string(e.what()), message);
    }
  }
}

TEST(BoardFile, MissingFileIsNamed) {
  HostLedger ledger;
  try {
    LoadBoardFile("/nonexistent/board.json", ledger);
    FAIL();
  } catch (const BoardFileError& e) {
    EXPECT_EQ(std::string(e.what()), "/nonexistent/board.json: cannot be opened for reading (No such file or directory)");
  }
}

// The parser would end the text at a NUL byte and pass over what follows; a board file holds none.
TEST(BoardFile, ANulByteAfterTheDocumentIsRefused) {
  HostLedger ledger;
  const std::string board = R"({"name": "b", "layers": [{"name": "T", "kind": "signal", "thickness": 0.035}], "nets": []})";
  try {
    LoadBoardText(board + std::string("\n\0{}", 4), "bad.json", ledger);
    FAIL();
  } catch (const BoardFileError& e) {
    EXPECT_EQ(std::string(e.what()), "bad.json:2:1: expected valid JSON (a NUL byte)");
  }
}

// In a board file as people write them, one value to a line, a fault is named by its line and column: the value
// that is wrong, the object that lacks a member, the byte where the text stops being JSON.
TEST(BoardFile, FaultsInAMultiLineFileNameTheirLineAndColumn) {
  std::ifstream in(test::SampleBoard("demo8.json"), std::ios::binary);
  const std::string sample((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_FALSE(sample.empty());
  // The line and column of a byte of the text, counted here as an editor counts them.
  auto place = [](const std::string& text, size_t at) {
    const size_t line = 1 + static_cast<size_t>(std::count(text.begin(), text.begin() + static_cast<long>(at), '\n'));
    return std::to_string(line) + ":" + std::to_string(at - text.rfind('\n', at));
  };
  struct Case {
    std::string find;     // the text edited (its first occurrence)
    std::string replace;  // what it becomes
    std::string marker;   // where the message points: the first occurrence of this text from the edit on
    std::string rest;     // what follows "demo8.json:<line>:<column>: "
  };
  const Case cases[] = {
      {R"({"name": "L2_GND", "kind": "plane")", R"({"name": "L2_GND", "kind": "copper")", R"("copper")",
       R"(/layers/2/kind: expected "signal", "plane" or "dielectric", found the text "copper")"},
      {R"({"name": "L3_SIG", "kind": "signal", "thickness": 0.018})", R"({"name": "L3_SIG", "kind": "signal"})", "{",
       "/layers/4/thickness: expected a number (the member is missing)"},
      {R"("partner": "V_RX0_N"})", R"("partner": "V_RX9"})", R"("V_RX9")",
       R"(/vias/2/partner: expected the id of another via, found the text "V_RX9")"},
      {"\"thickness\": 0.035},\n", "\"thickness\": 0.035}\n", "{",
       "expected valid JSON (syntax error while parsing array - unexpected '{'; expected ']')"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.find);
    std::string text = sample;
    const size_t at = text.find(c.find);
    ASSERT_NE(at, std::string::npos);
    text.replace(at, c.find.size(), c.replace);
    const size_t marked = text.find(c.marker, at);
    ASSERT_NE(marked, std::string::npos);
    HostLedger ledger;
    try {
      LoadBoardText(text, "demo8.json", ledger);
      ADD_FAILURE() << "accepted";
    } catch (const BoardFileError& e) {
      EXPECT_EQ(std::string(e.what()), "demo8.json:" + place(text, marked) + ": " + c.rest);
    }
  }
}

// The board view's flags reach every probe kind; without them a probe is eligible exactly on a signal net (so no
// supply pin and no stitching via is) and selected.
TEST(BoardFile, ProbeFlagsOfEveryKindComeFromTheFile) {
  HostLedger ledger;
  auto board = LoadBoardText(std::string(R"({"name": "b", "layers": [{"name": "TOP", "kind": "metal", "thickness": 0.035}],
      "nets": [{"name": "GND", "type": "supply"}, {"name": "VCC", "type": "supply", "reference": "GND"},
               {"name": "S", "type": "signal"}],
      "components": [{"name": "U1", "side": "TOP", "pins": [
          {"name": "1", "net": "VCC", "at": [0, 0], "size": 0.3},
          {"name": "2", "net": "VCC", "at": [1, 0], "size": 0.3, "eligible": true, "selected": false}]}],
      "vias": [{"id": "V1", "net": "S", "at": [0, 1], "size": 0.3, "connected": ["TOP"]},
               {"id": "V2", "net": "S", "at": [1, 1], "size": 0.3, "connected": ["TOP"], "eligible": false,
                "selected": false},
               {"id": "V3", "net": "GND", "at": [2, 1], "size": 0.3, "connected": ["TOP"]},
               {"id": "V4", "net": "GND", "at": [3, 1], "size": 0.3, "connected": ["TOP"], "eligible": true}]})"),
                             "flags.json", ledger);
  struct Expected {
    const char* id;
    HostProbeKind kind;
    bool eligible, selected;
  };
  for (const Expected& e : {Expected{"U1.1", HostProbeSupplyPin, false, true},
                            Expected{"U1.2", HostProbeSupplyPin, true, false}, Expected{"V1", HostProbeVia, true, true},
                            Expected{"V2", HostProbeVia, false, false}, Expected{"V3", HostProbeVia, false, true},
                            Expected{"V4", HostProbeVia, true, true}}) {
    HostProbe* probe = board->FindProbe(e.id);
    ASSERT_NE(probe, nullptr) << e.id;
    EXPECT_EQ(probe->GetKind(), e.kind) << e.id;
    EXPECT_EQ(probe->IsEligible(), e.eligible) << e.id;
    EXPECT_EQ(probe->IsSelected(), e.selected) << e.id;
  }
}

struct Malformed {
  const char* text;
  const char* message;
  friend void PrintTo(const Malformed& m, std::ostream* os) { *os << m.message; }
};

class BoardFileErrors : public testing::TestWithParam<Malformed> {};

TEST_P(BoardFileErrors, NameFilePlaceAndExpectation) {
  HostLedger ledger;
  try {
    LoadBoardText(GetParam().text, "bad.json", ledger);
    FAIL() << "no error for " << GetParam().text;
  } catch (const BoardFileError& e) {
    EXPECT_EQ(std::string(e.what()), GetParam().message);
  }
}

constexpr const char* Layers = R"("layers": [{"name": "TOP", "kind": "metal", "thickness": 0.035},
                                            {"name": "D", "kind": "dielectric", "thickness": 0.1},
                                            {"name": "BOT", "kind": "metal", "thickness": 0.035}])";

std::string Board(const std::string& rest) {
  return std::string(R"({"name": "b", )") + Layers + R"(, "nets": [{"name": "GND", "type": "supply"},
      {"name": "VCC", "type": "supply", "voltage": 3.3, "reference": "GND"}, {"name": "S", "type": "signal"}])" + rest +
         "}";
}

const std::string kSyntax = "{\"name\": \"b\",, }";
const std::string kNoLayers = R"({"name": "b", "nets": []})";
const std::string kEmptyLayers = R"({"name": "b", "layers": [], "nets": []})";
const std::string kLayerKind =
    R"({"name": "b", "layers": [{"name": "TOP", "kind": "copper", "thickness": 1}], "nets": []})";
const std::string kAreaLayer = Board(R"(, "areas": [{"net": "GND", "layer": "D", "rect": [0, 0, 1, 1]}])");
const std::string kAreaRect = Board(R"(, "areas": [{"net": "GND", "layer": "TOP", "rect": [0, 0, 1]}])");
const std::string kPinNet = Board(
    R"(, "components": [{"name": "U1", "side": "TOP", "pins": [{"name": "1", "net": "VDD", "at": [0, 0], "size": 1}]}])");
const std::string kViaPartner = Board(
    R"(, "vias": [{"id": "V1", "net": "S", "at": [0, 0], "size": 0.3, "connected": ["TOP"], "partner": "V9"}])");
const std::string kPick = Board(R"(, "picks": ["U7.1"])");
const std::string kSize = Board(
    R"(, "components": [{"name": "U1", "side": "TOP", "pins": [{"name": "1", "net": "VCC", "at": [0, 0], "size": "big"}]}])");
const std::string kFlagOnSignalPin = Board(
    R"(, "components": [{"name": "U1", "side": "TOP", "pins": [{"name": "1", "net": "S", "at": [0, 0], "size": 1,
                                                             "selected": false}]}])");
const std::string kGroup = Board(R"(, "components": [{"name": "U1", "side": "TOP", "pins": []}],
    "groups": [{"name": "G", "members": ["U1"]}])");

// Numbers beyond the double range are the file's fault like any other (they once ended the program).
const std::string kHugeThickness =
    R"({"name": "b", "layers": [{"name": "TOP", "kind": "metal", "thickness": 1e999}], "nets": []})";
const std::string kHugeCoordinate = Board(R"(, "vias": [{"id": "V1", "net": "S", "at": [-1e999, 0], "size": 0.3,
    "connected": ["TOP"]}])");
const std::string kBadUtf8 = "{\"name\": \"b\xff\"}";
// A valid character is shown as it is; the bytes of a cut sequence by their numbers.
const std::string kBadUtf8InLongerText = "{\"name\": \"\xC3\xA9t\xC3\xA9 \xE2\x82\"}";
// The escape \u0000 would cut the name at the module ("VDD\u0000DDR" and "VDD\u0000IO" both "VDD"): refused in any
// text, read by the builder or not, and in member names.
const std::string kNulInAName = std::string(R"({"name": "b", "nets": [)") + "\n" +
                                R"(  {"name": "VDD\u0000DDR", "type": "supply"}, {"name": "VDD\u0000IO", "type": "supply"}]})";
const std::string kNulInAMemberName = R"({"nets": [{"name\u0000": "x"}], "name": "b"})";
const std::string kNulInAnUnreadText = R"({"name": "b", "description": "a\u0000b", "nets": []})";
// A control character (escaped, as JSON wants it) would split a name's line in the settings file: refused in every
// text.
const std::string kLineBreakInAName = std::string(R"({"name": "b", "nets": [)") + "\n" +
                                      R"(  {"name": "PCIE_RX0\nN", "type": "signal"}]})";
const std::string kTabInAnUnreadText = R"({"name": "b", "description": "a\tb", "nets": []})";
// A member named twice: the parser would keep the last value without a word.
const std::string kNameTwice = std::string(R"({"name": "b", "nets": [{"name": "GND", "type": "supply"},)") +
                               "\n" + R"(                       {"name": "VCC", "type": "supply", "name": "VDD"}]})";
const std::string kBoardNameTwice = R"({"name": "a", "name": "b", "nets": []})";
const std::string kPickedTwice = Board(R"(, "vias": [{"id": "V1", "net": "S", "at": [0, 0], "size": 0.3,
    "connected": ["TOP"]}], "picks": ["V1", "V1"])");
const std::string kTwoGroups = Board(R"(, "parts": [{"name": "C", "capacitance": 1e-7}],
    "components": [{"name": "C1", "part": "C", "side": "TOP", "pins": []}],
    "groups": [{"name": "G1", "members": ["C1"]}, {"name": "G2", "members": ["C1"]}])");
const std::string kTwiceInAGroup = Board(R"(, "parts": [{"name": "C", "capacitance": 1e-7}],
    "components": [{"name": "C1", "part": "C", "side": "TOP", "pins": []}],
    "groups": [{"name": "G1", "members": ["C1", "C1"]}])");

INSTANTIATE_TEST_SUITE_P(
    Malformations, BoardFileErrors,
    testing::Values(
        Malformed{kHugeThickness.c_str(),
                  "bad.json:1:76: expected valid JSON (number overflow parsing '1e999')"},
        Malformed{kHugeCoordinate.c_str(),
                  "bad.json:4:158: expected valid JSON (number overflow parsing '-1e999')"},
        Malformed{kBadUtf8.c_str(),
                  "bad.json:1:12: expected valid JSON (syntax error while parsing value - invalid string: ill-formed "
                  "UTF-8 byte; last read: '\"b\\xFF')"},
        Malformed{kBadUtf8InLongerText.c_str(),
                  "bad.json:1:19: expected valid JSON (syntax error while parsing value - invalid string: ill-formed "
                  "UTF-8 byte; last read: '\"\xC3\xA9t\xC3\xA9 \\xE2\\x82\"')"},
        Malformed{kNulInAName.c_str(), "bad.json:2:12: /nets/0/name: expected a text without the escape \\u0000, found "
                                       "the text \"VDD\\u0000DDR\""},
        Malformed{kNulInAMemberName.c_str(), "bad.json:1:11: /nets/0: expected member names without the escape \\u0000, "
                                             "found the text \"name\\u0000\""},
        Malformed{kNulInAnUnreadText.c_str(), "bad.json:1:30: /description: expected a text without the escape "
                                              "\\u0000, found the text \"a\\u0000b\""},
        Malformed{kLineBreakInAName.c_str(), "bad.json:2:12: /nets/0/name: expected a text without control characters "
                                             "(line breaks, tabs and the like), found the text \"PCIE_RX0\\nN\""},
        Malformed{kTabInAnUnreadText.c_str(), "bad.json:1:30: /description: expected a text without control characters "
                                              "(line breaks, tabs and the like), found the text \"a\\tb\""},
        Malformed{kNameTwice.c_str(), "bad.json:2:66: /nets/1/name: expected a member name not used before in its "
                                      "object, found the text \"name\""},
        Malformed{kBoardNameTwice.c_str(), "bad.json:1:23: /name: expected a member name not used before in its object, "
                                           "found the text \"name\""},
        Malformed{kPickedTwice.c_str(), "bad.json:5:45: /picks/1: expected the id of a probe not picked before, found the "
                                        "text \"V1\""},
        Malformed{kTwoGroups.c_str(), "bad.json:6:78: /groups/1/members/0: expected a decoupling capacitor of no group so "
                                      "far (it is a member of \"G1\"), found the text \"C1\""},
        Malformed{kTwiceInAGroup.c_str(), "bad.json:6:49: /groups/0/members/1: expected a decoupling capacitor of no "
                                          "group so far (it is a member of \"G1\"), found the text \"C1\""}));

INSTANTIATE_TEST_SUITE_P(
    Cases, BoardFileErrors,
    testing::Values(
        Malformed{kSyntax.c_str(),
                  "bad.json:1:14: expected valid JSON (syntax error while parsing object key - unexpected ','; "
                  "expected string literal)"},
        Malformed{kNoLayers.c_str(), "bad.json:1:1: /layers: expected an array (the member is missing)"},
        Malformed{kEmptyLayers.c_str(), "bad.json:1:25: /layers: expected at least one layer"},
        Malformed{kLayerKind.c_str(),
                  "bad.json:1:50: /layers/0/kind: expected \"signal\", \"plane\" or \"dielectric\", found the text \"copper\""},
        Malformed{kAreaLayer.c_str(), "bad.json:4:146: /areas/0/layer: expected the name of a metal layer, found the text \"D\""},
        Malformed{kAreaRect.c_str(),
                  "bad.json:4:161: /areas/0/rect: expected an array of 4 numbers, found an array"},
        Malformed{kPinNet.c_str(),
                  "bad.json:4:187: /components/0/pins/0/net: expected the name of a net declared under /nets, found the "
                  "text \"VDD\""},
        Malformed{kViaPartner.c_str(), "bad.json:4:206: /vias/0/partner: expected the id of another via, found the text \"V9\""},
        Malformed{kPick.c_str(),
                  "bad.json:4:122: /picks/0: expected the id of a supply pin (\"<component>.<pin>\") or of a via, found the "
                  "text \"U7.1\""},
        Malformed{kSize.c_str(), "bad.json:4:216: /components/0/pins/0/size: expected a number, found the text \"big\""},
        Malformed{kFlagOnSignalPin.c_str(),
                  "bad.json:5:74: /components/0/pins/0/selected: expected a pin without \"selected\" (only IC pins on a "
                  "supply net with a reference net are probes), found false"},
        Malformed{kGroup.c_str(),
                  "bad.json:5:42: /groups/0/members/0: expected the name of a decoupling capacitor, found the text \"U1\""}));

}  // namespace
}  // namespace host
