// The port-number table of the multi-check lists against the numbers counted row by row: texts, group counts and
// the first longest text, over random tables and after random clicks.
#include "brimstead/wizards/PortNumbers.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

using brimwiz::CPortNumbers;

// Every row's text counted from the top, as the pages numbered their rows before the table.
std::vector<std::string> CountedTexts(const std::vector<CPortNumbers::Row>& rows, unsigned base,
                                      CPortNumbers::Format format) {
  std::vector<std::string> texts(rows.size());
  long long n = base;
  size_t group = rows.size();
  long long first = 0, last = 0;
  const auto closeGroup = [&] {
    if (group < rows.size() && rows[group].collapsed && first)
      texts[group] = first == last ? std::to_string(first) : std::to_string(first) + "-" + std::to_string(last);
  };
  for (size_t i = 0; i < rows.size(); ++i) {
    if (rows[i].group) {
      closeGroup();
      group = i;
      first = last = 0;
      continue;
    }
    if (!rows[i].checked)
      continue;
    const long long from = n + 1;
    n += rows[i].ports;
    texts[i] = format == CPortNumbers::Format::Last ? std::to_string(n) : std::to_string(from) + "-" + std::to_string(n);
    first = first ? first : n;
    last = n;
  }
  closeGroup();
  return texts;
}

void ExpectAsCounted(const CPortNumbers& numbers, const std::vector<CPortNumbers::Row>& rows, unsigned base,
                     CPortNumbers::Format format) {
  const std::vector<std::string> texts = CountedTexts(rows, base, format);
  size_t longest = 0;
  for (size_t i = 0; i < rows.size(); ++i) {
    ASSERT_EQ(std::string(numbers.TextOf(static_cast<ROWCOL>(i + 1))), texts[i]) << "row " << i + 1;
    if (texts[i].size() > texts[longest].size())
      longest = i;
  }
  EXPECT_EQ(numbers.FirstLongestRow(), texts.empty() || texts[longest].empty() ? 0u : longest + 1);
  for (size_t g = 0; g < rows.size(); ++g) {
    if (!rows[g].group)
      continue;
    ROWCOL members = 0, checked = 0;
    for (size_t i = g + 1; i < rows.size() && !rows[i].group; ++i, ++members)
      checked += rows[i].checked ? 1 : 0;
    EXPECT_EQ(numbers.MembersAndChecked(static_cast<ROWCOL>(g + 1)), std::make_pair(members, checked));
    for (ROWCOL r = static_cast<ROWCOL>(g + 1); r <= g + 1 + members; ++r)
      EXPECT_EQ(numbers.GroupOf(r), g + 1);
  }
}

TEST(PortNumbers, TextsGroupsAndTheLongestRowAreThoseCountedRowByRow) {
  std::mt19937 random(55);
  for (int table = 0; table < 60; ++table) {
    SCOPED_TRACE(table);
    const bool groups = table % 2 == 0;
    const CPortNumbers::Format format = groups ? CPortNumbers::Format::Last : CPortNumbers::Format::FirstToLast;
    const unsigned base = groups ? 0 : random() % 12;
    std::vector<CPortNumbers::Row> rows(1 + random() % 300);
    for (size_t i = 0; i < rows.size(); ++i) {
      rows[i].group = groups && (i == 0 || random() % 9 == 0);
      rows[i].checked = !rows[i].group && random() % 4 != 0;
      rows[i].ports = groups ? 1 : random() % 4;   // a via of no layers takes no number
      rows[i].collapsed = rows[i].group && random() % 2;
    }
    CPortNumbers numbers;
    numbers.Reset(rows, base, format);
    ExpectAsCounted(numbers, rows, base, format);
    // Clicks: rows checked and unchecked, groups collapsed and expanded.
    for (int click = 0; click < 40; ++click) {
      const size_t i = random() % rows.size();
      if (rows[i].group) {
        rows[i].collapsed = !rows[i].collapsed;
        numbers.SetCollapsed(static_cast<ROWCOL>(i + 1), rows[i].collapsed);
      } else {
        rows[i].checked = !rows[i].checked;
        numbers.SetChecked(static_cast<ROWCOL>(i + 1), rows[i].checked);
      }
    }
    ExpectAsCounted(numbers, rows, base, format);
  }
}

TEST(PortNumbers, AnEmptyOrUncheckedTableGivesNoTexts) {
  CPortNumbers numbers;
  EXPECT_FALSE(numbers.Covers(1));
  EXPECT_EQ(numbers.FirstLongestRow(), 0u);
  EXPECT_EQ(std::string(numbers.TextOf(1)), "");
  numbers.Reset(std::vector<CPortNumbers::Row>(5), 3, CPortNumbers::Format::FirstToLast);
  EXPECT_EQ(numbers.FirstLongestRow(), 0u);
  EXPECT_EQ(numbers.GroupOf(3), 0u);
  numbers.SetChecked(4, true);
  EXPECT_EQ(std::string(numbers.TextOf(4)), "4-4");
  EXPECT_EQ(numbers.FirstLongestRow(), 4u);
  numbers.SetChecked(9, true);   // outside the table: nothing
  numbers.Clear();
  EXPECT_FALSE(numbers.Covers(4));
}

}  // namespace
