#include "brimstead/ProbeSection.h"

#include "brimstead/RecordArray.h"

#include <gtest/gtest.h>

namespace {

std::string Block(std::initializer_list<const char*> entries) {
  std::string block;
  for (const char* entry : entries) {
    block += entry;
    block.push_back('\0');
  }
  block.push_back('\0');
  return block;
}

TEST(ProbeSection, LinesSplitIntoKeyValueAndWords) {
  const auto lines = ReadProbeLines(Block({"PROBE_00 = U1.A 1  Enabled AutoReference ", "no equals sign",
                                           "PROBE_01=V 7 Disabled \"L 1\" - \"L4\" ", "NET = GND "}));
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0].key, "PROBE_00");
  EXPECT_EQ(lines[0].value, "U1.A 1  Enabled AutoReference");
  EXPECT_EQ(lines[0].words, (std::vector<CString>{"U1.A", "1", "Enabled", "AutoReference"}));
  EXPECT_EQ(lines[0].Join(0, 1), "U1.A 1");
  EXPECT_EQ(lines[1].words, (std::vector<CString>{"V", "7", "Disabled", "L 1", "-", "L4"}));
  EXPECT_EQ(lines[2].value, "GND");
}

// A name is read as it was written before its line's fixed words: runs of blanks, tabs and quotes in it stay. Quotes
// around it are taken off only where what they hold needs them; a name in quotes of its own is read with them, as
// files of earlier versions hold it.
TEST(ProbeSection, TheTextBeforeAWordKeepsTheNameAsWritten) {
  const auto lines = ReadProbeLines(
      Block({"PROBE_00 = DQ  1\t\"a b\" Enabled ", "PROBE_01 = V 7 Disabled \"L 1\" - \"L4\" ", "PROBE_02 = Enabled ",
             "PROBE_03 = \"VB\" Enabled \"TOP\" - \"L4\" ", "NET = \"VCC 3V3\"", "PROBE_05 = \"\" Enabled ",
             "PROBE_06 = \"\tVB \" Enabled ", "PROBE_07 = \"\"VB\"\" Enabled "}));
  ASSERT_EQ(lines.size(), 8u);
  ASSERT_EQ(lines[0].words.size(), 4u);
  EXPECT_EQ(lines[0].TextBefore(3), "DQ  1\t\"a b\"");
  EXPECT_EQ(lines[0].Join(0, 2), "DQ 1 a b");
  EXPECT_EQ(lines[1].TextBefore(2), "V 7");
  EXPECT_EQ(lines[1].TextBefore(6), "V 7 Disabled \"L 1\" - \"L4\"");
  EXPECT_EQ(lines[2].TextBefore(0), "");
  EXPECT_EQ(lines[3].TextBefore(1), "\"VB\"");
  EXPECT_EQ(lines[4].TextBefore(2), "\"VCC 3V3\"");
  EXPECT_EQ(lines[5].TextBefore(1), "\"\"");
  EXPECT_EQ(lines[6].TextBefore(1), "\tVB ");
  EXPECT_EQ(lines[7].TextBefore(1), "\"VB\"");
}

TEST(ProbeSection, AnEmptyEntryEndsTheBlockAndLongLinesReadWhole) {
  const std::string longName(300, 'x');
  std::string block = "PROBE_00 = " + longName + " Enabled ";
  block.push_back('\0');
  block.push_back('\0');
  block += "PROBE_01 = after Enabled";
  block.push_back('\0');
  const auto lines = ReadProbeLines(block);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].words[0].GetLength(), 300);
  EXPECT_TRUE(ReadProbeLines(std::string()).empty());
  EXPECT_EQ(ProbeLineStart("VIA_", 7), "VIA_07 = ");
  EXPECT_EQ(ProbeLineStart("VIA_", 123), "VIA_123 = ");
}

// A line takes the record of its text that no earlier line took: of records sharing a text the lowest rank first,
// records of one rank in the order they were added. Texts are told apart byte for byte.
TEST(ProbeLineTargets, SharedTextsAreTakenByRankThenInListOrder) {
  CProbeLineTargets targets;
  targets.Add("U.1.1", 0, 3);
  targets.Add("VB", 1);
  targets.Add("U.1.1", 2, 1);
  targets.Add("VB", 3);
  targets.Add("VB ", 4);
  targets.Add("U.1.1", 5, 1);
  targets.Add("V\xc3\xa9", 6);
  targets.Add("", 7);
  const std::pair<const char*, int> lines[] = {
      {"VB", 1},    {"U.1.1", 2}, {"U.1.1", 5}, {"VB", 3}, {"VB", -1},         {"U.1.1", 0}, {"U.1.1", -1},
      {"vb", -1},   {" VB", -1},  {"VB ", 4},   {"V", -1}, {"V\xc3\xa9", 6}, {"", 7},      {"", -1}};
  for (const auto& [text, record] : lines)
    EXPECT_EQ(targets.Take(text), record) << '"' << text << '"';
  EXPECT_EQ(targets.Taken(), (std::vector<int>{1, 2, 5, 3, 0, 4, 6, 7}));

  CProbeLineTargets none;
  EXPECT_EQ(none.Take(""), -1);
  EXPECT_TRUE(none.Taken().empty());

  // The list then holds the records taken in line order and the others after them in their order.
  CRecordArray<int> list;
  for (int i = 0; i < 10; ++i)
    list.Add(i);
  PutTakenFirst(list, targets.Taken());
  std::vector<int> order;
  for (int i = 0; i < list.GetSize(); ++i)
    order.push_back(list[i]);
  EXPECT_EQ(order, (std::vector<int>{1, 2, 5, 3, 0, 4, 6, 7, 8, 9}));
}

}  // namespace

// A probe line is written as it always was where that reads back, its name in quotes where its edge blanks or its
// own enclosing quotes need them (a quote inside it never takes in the words after it), and refused only for a line
// break or a word that cannot hold its quotes.
TEST(ProbeSection, ALineIsWrittenOnlyWhenItReadsBackAsWritten) {
  const struct {
    const char* name;
    std::vector<CString> words;
    bool readsBack;
    const char* written;   // the name as written: null for as it is
    const char* layer = "";   // the layer name refused, when that was the cause
  } cases[] = {
      {"DQ  1\t\"a b\"", {"Enabled", "AutoReference"}, true, nullptr},
      {"", {"Disabled", "\"L 1\"", "-", "\"L4\""}, true, nullptr},
      {"PCIE_RX0", {}, true, nullptr}, {"PCIE_RX0\nN", {}, false, nullptr}, {"V\r7", {"Enabled"}, false, nullptr},
      {" V7", {"Enabled"}, true, "\" V7\""}, {"V7 ", {"Enabled"}, true, "\"V7 \""},
      {"V \"7", {"Enabled"}, true, nullptr}, {"\"V7\"", {}, true, nullptr}, {"\"\"V7\"\"", {}, true, "\"\"\"V7\"\"\""},
      {"\" a \"", {"Enabled", "\"L 1\"", "-", "\"L4\""}, true, "\"\" a \"\""},
      {"a \"", {"Enabled", "\"L 1\"", "-", "\"L4\""}, true, nullptr},
      {"V7", {"Enabled", "\"L\"1\"", "-", "\"L4\""}, false, nullptr, "L\"1"},
      {"V7", {"Enabled", "\"L1\"", "-", "\"L\n4\""}, false, nullptr, "L\n4"},
      {"V\n7", {"Enabled", "\"L\"1\"", "-", "\"L4\""}, false, nullptr},
  };
  for (const auto& c : cases) {
    CProbeSectionText text;
    text.AddLine("PROBE_00 = ", c.name, c.words);
    CString line = CString("PROBE_00 = ") + (c.written ? c.written : c.name);
    for (const CString& word : c.words)
      line += " " + word;
    EXPECT_EQ(text.text, c.words.empty() ? line : line + " ") << c.name;
    const auto read = ReadProbeLines(std::string(text.text.GetString()) + std::string(2, '\0'));
    ASSERT_EQ(read.size(), 1u);
    if (c.readsBack) {
      EXPECT_EQ(read[0].TextBefore(static_cast<int>(read[0].words.size() - c.words.size())), CString(c.name));
    }
    text.AddLine("PROBE_01 = ", "V8", {"Enabled"});
    EXPECT_EQ(text.readsBack, c.readsBack) << c.name;  // a later line that reads back changes nothing
    if (!c.readsBack) {
      EXPECT_EQ(text.refusedKey, "PROBE_00");
      EXPECT_EQ(text.refusedName, c.name);
      EXPECT_EQ(text.refusedLayer, c.layer) << c.name;
    }
  }
}
