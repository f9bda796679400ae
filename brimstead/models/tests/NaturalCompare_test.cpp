#include "brimstead/models/NaturalCompare.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {
int Sign(int v) { return (v > 0) - (v < 0); }
} // namespace

TEST(CompareNatural, NumbersAfterEqualPrefixesCompareByValue)
{
    EXPECT_LT(CompareNatural("C2", "C10"), 0);
    EXPECT_LT(CompareNatural("C2", "C9"), 0);
    EXPECT_GT(CompareNatural("C12", "C10"), 0);
    EXPECT_EQ(CompareNatural("c3", "C3"), 0);
    EXPECT_EQ(CompareNatural("C03", "C3"), 0) << "leading zeros do not change the number";
    EXPECT_LT(CompareNatural("A9", "B1"), 0) << "the prefixes decide first";
}

TEST(CompareNatural, PrefixLengthRuleAndMissingNumbers)
{
    // "C2" and "C10": prefixes "C" and "C" are equally long, numbers 2 < 10.
    EXPECT_LT(CompareNatural("C2", "C10"), 0);
    // "C" against "C1": prefixes "C" and "C" equal; a missing number is below every number, even 0.
    EXPECT_LT(CompareNatural("C", "C0"), 0);
    EXPECT_GT(CompareNatural("C0", "C"), 0);
    // "AB1" against "A10": prefixes of different length: whole texts ignoring case.
    EXPECT_EQ(Sign(CompareNatural("AB1", "A10")), 1);
    // Neither has digits: whole texts ignoring case.
    EXPECT_EQ(CompareNatural("abc", "ABC"), 0);
    EXPECT_LT(CompareNatural("ab", "abc"), 0);
    EXPECT_EQ(CompareNatural("", ""), 0);
}

TEST(CompareNatural, DigitRunsOfAnyLengthDoNotOverflow)
{
    const std::string big = "C" + std::string(40, '9');
    const std::string bigger = "C1" + std::string(40, '0');
    EXPECT_LT(CompareNatural(big.c_str(), bigger.c_str()), 0);
    EXPECT_GT(CompareNatural(bigger.c_str(), big.c_str()), 0);
    EXPECT_EQ(CompareNatural(big.c_str(), big.c_str()), 0);
    EXPECT_LT(CompareNatural("C4294967296", "C4294967297"), 0) << "beyond 32 bits";
    EXPECT_LT(CompareNatural("C18446744073709551616", "C18446744073709551617"), 0) << "beyond 64 bits";
}

TEST(CompareNatural, NullNamesSortFirst)
{
    EXPECT_EQ(CompareNatural(nullptr, nullptr), 0);
    EXPECT_LT(CompareNatural(nullptr, ""), 0);
    EXPECT_GT(CompareNatural("A", nullptr), 0);
}

TEST(CompareNatural, SortsDesignatorsNaturally)
{
    std::vector<std::string> names = {"C10", "c2", "C1", "C100", "C9", "C11"};
    std::sort(names.begin(), names.end(),
              [](const std::string& a, const std::string& b) { return CompareNatural(a.c_str(), b.c_str()) < 0; });
    EXPECT_EQ(names, (std::vector<std::string>{"C1", "c2", "C9", "C10", "C11", "C100"}));
}
