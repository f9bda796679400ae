// The input mask data as pure functions: parsing masks, typing raw and displayed text, insertion and
// deletion with their shifts, caret positions, validity, prompts, free text, double-byte characters behind
// an emulated lead-byte table, and random edits against a simple model of the input positions.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "grid/extras/CGXMaskData.h"
#include "platform/base/StringApi.h"

namespace {

// A mask with cleared data.
struct Mask : CGXMaskData {
  explicit Mask(const char* mask) {
    SetMask(mask);
    ClearData();
  }
};

CString Shown(const CGXMaskData& m) {
  CString out;
  m.GetDisplayText(out);
  return out;
}

CString Data(const CGXMaskData& m, BOOL trim = TRUE) {
  CString out;
  m.GetData(out, 0, -1, trim);
  return out;
}

TEST(MaskData, APhoneMaskTakesTenDigitsAroundItsLiterals) {
  Mask m("(###) ###-####");
  EXPECT_EQ(m.GetMaskLength(), 14);
  EXPECT_EQ(Shown(m), "(___) ___-____");
  EXPECT_EQ(m.GetNextInputPos(-1), 1);
  EXPECT_EQ(m.GetNextInputPos(3), 6);
  EXPECT_EQ(m.GetNextInputPos(13), -1);
  EXPECT_EQ(m.GetPrevInputPos(6), 3);
  EXPECT_EQ(m.GetPrevInputPos(1), -1);
  EXPECT_EQ(m.PushData("5551234567", -1, FALSE), 14);
  EXPECT_EQ(Shown(m), "(555) 123-4567");
  EXPECT_EQ(Data(m), "5551234567");
  EXPECT_TRUE(m.IsValid());
  // Displayed text with the literals reads back the same; a wrong literal is refused.
  Mask n("(###) ###-####");
  EXPECT_EQ(n.SetDisplayText("(555) 123-4567", -1, FALSE), 14);
  EXPECT_EQ(Data(n), "5551234567");
  EXPECT_EQ(n.SetDisplayText("[555] 123-4567", -1, FALSE), -1);
  EXPECT_EQ(n.SetDisplayText("(55x) 123-4567", -1, FALSE), -1);
}

TEST(MaskData, PlaceholdersTestAndConvertCharacters) {
  Mask upper("UU"), lower("LL"), digits("##"), any("&?A");
  EXPECT_EQ(upper.PushData("ab", -1, FALSE), 2);
  EXPECT_EQ(Data(upper), "AB");
  lower.PushData("AB", -1, FALSE);
  EXPECT_EQ(Data(lower), "ab");
  EXPECT_EQ(digits.PushData("1x", -1, FALSE), 1);  // stops at the letter
  EXPECT_EQ(Shown(digits), "1_");
  EXPECT_EQ(any.PushData("%b7", -1, FALSE), 3);
  EXPECT_EQ(any.PushData("%7", -1, FALSE), 1);  // '?' takes no digit
  // An escaped placeholder is a literal; a '\' at the end is dropped.
  Mask escaped("\\#A\\");
  EXPECT_EQ(escaped.GetMaskLength(), 2);
  EXPECT_TRUE(escaped.IsLiteral(0));
  EXPECT_FALSE(escaped.IsLiteral(1));
  EXPECT_EQ(Shown(escaped), "#_");
  // A space empties a position: a blank in the data, gone with trimming.
  Mask m("###");
  m.PushData("1 3", -1, FALSE);
  EXPECT_EQ(Shown(m), "1_3");
  EXPECT_EQ(Data(m), "1 3");
  m.PushData("12 ", -1, FALSE);
  EXPECT_EQ(Data(m, FALSE), "12 ");
  EXPECT_EQ(Data(m), "12");
}

TEST(MaskData, InsertShiftsRightAndDeleteShiftsLeft) {
  Mask m("(###) ###-####");
  m.PushData("12", -1, FALSE);
  int next = 0;
  ASSERT_TRUE(m.InsertAt(1, "9", next));
  EXPECT_EQ(Shown(m), "(912) ___-____");
  EXPECT_EQ(next, 2);
  m.PushData("1234567890", -1, FALSE);
  EXPECT_FALSE(m.InsertAt(1, "9", next));  // full: no room to shift
  EXPECT_EQ(Shown(m), "(123) 456-7890");
  m.DeleteRange(2, 1);  // the 1 goes, the rest moves left over the literals
  EXPECT_EQ(Shown(m), "(234) 567-890_");
  m.DeleteRange(9, 3);  // the 4 up to the hyphen (4, 5, 6, 7)
  EXPECT_EQ(Shown(m), "(238) 90_-____");
  m.DeleteRange(14, 1);
  EXPECT_EQ(Shown(m), "(___) ___-____");
  EXPECT_FALSE(m.InsertAt(15, "1", next));
}

// Shifts across placeholders of different classes: a letter never lands on a digit position.
TEST(MaskData, ShiftsNeverPutACharacterAgainstItsMask) {
  Mask m("??##");
  m.PushData("ab1", -1, FALSE);
  int next = 0;
  EXPECT_FALSE(m.InsertAt(0, "c", next));  // 'b' would move onto a digit position
  EXPECT_EQ(Shown(m), "ab1_");
  EXPECT_TRUE(m.InsertAt(2, "9", next));
  EXPECT_EQ(Shown(m), "ab91");
  m.DeleteRange(1, 0);  // '9' cannot move onto a letter position: only the 'a' goes
  EXPECT_EQ(Shown(m), "_b91");
  EXPECT_TRUE(m.IsValid());
  m.DeleteRange(3, 2);  // digits move onto digits
  EXPECT_EQ(Shown(m), "_b1_");
}

TEST(MaskData, CaretPositionsSnapToTheTypedText) {
  Mask m("(###) ###-####");
  EXPECT_EQ(m.GetValidCaretPos(9), 1);  // nothing typed: the first input position
  m.PushData("123", -1, FALSE);
  EXPECT_EQ(m.GetValidCaretPos(2), 2);   // on a typed character
  EXPECT_EQ(m.GetValidCaretPos(4), 4);   // the literal just after one
  EXPECT_EQ(m.GetValidCaretPos(11), 4);  // after the last typed one
  m.PushData("1234567890", -1, FALSE);
  EXPECT_EQ(m.GetValidCaretPos(14), 14);
  Mask first("##");
  first.PushData("1", -1, FALSE);
  EXPECT_EQ(first.GetValidCaretPos(2), 1);
}

TEST(MaskData, PromptsAndValidity) {
  Mask m("##-##");
  EXPECT_FALSE(m.SetPromptChar("ab", FALSE));
  EXPECT_TRUE(m.SetPromptChar("*", TRUE));
  EXPECT_EQ(Shown(m), "**-**");
  m.PushData("1", -1, FALSE);
  EXPECT_TRUE(m.SetPromptChar("", TRUE));
  EXPECT_EQ(Shown(m), "1_-__");
  EXPECT_TRUE(m.IsValid());  // an unfilled mask is valid
  Mask bad("##");
  EXPECT_EQ(bad.SetDisplayText("1a", -1, FALSE), -1);
  EXPECT_EQ(Shown(bad), "1_");
}

TEST(MaskData, WithoutAMaskTheTextIsFree) {
  Mask m("");
  EXPECT_TRUE(m.IsFreeText());
  m.SetMaxLength(4);
  CString any = "%";
  EXPECT_TRUE(m.IsValidInput(7, any));
  EXPECT_EQ(m.PushData("ab", -1, FALSE), 2);
  int next = 0;
  EXPECT_TRUE(m.InsertAt(1, "x", next));
  EXPECT_TRUE(m.InsertAt(0, "y", next));
  EXPECT_FALSE(m.InsertAt(0, "z", next));  // at the maximum length
  EXPECT_EQ(Shown(m), "yaxb");
  m.DeleteRange(3, 1);
  EXPECT_EQ(Shown(m), "yb");
  EXPECT_EQ(m.SetDisplayText("abcdef", -1, FALSE), 6);
  EXPECT_EQ(Shown(m), "abcd");  // cut to the maximum length
  EXPECT_EQ(m.GetValidCaretPos(9), 4);
}

TEST(MaskData, DoubleByteCharactersAreOnePosition) {
  plat::SetLeadBytePredicate([](BYTE b) { return b >= 0x81 && b <= 0x9F; });
  Mask m("\x82\xA0-&&");  // a double-byte literal, a hyphen and two inputs
  EXPECT_EQ(m.GetMaskLength(), 4);
  EXPECT_TRUE(m.IsLiteral(0));
  EXPECT_EQ(m.PushData("\x83\x41z", -1, FALSE), 4);
  EXPECT_EQ(Shown(m), "\x82\xA0-\x83\x41z");
  EXPECT_EQ(m.CharToBytePos(3), 5);
  EXPECT_EQ(m.ByteToCharPos(5), 3);
  EXPECT_EQ(m.ByteToCharPos(3), 2);
  EXPECT_TRUE(m.SetPromptChar("\x82\x40", TRUE));
  EXPECT_FALSE(m.SetPromptChar("\x41\x40", TRUE));  // two single-byte characters
  plat::SetLeadBytePredicate(nullptr);
}

// Random typing, inserting and deleting on "A-AA-AAA" against a model: the list of the six input
// characters (prompt for empty).
TEST(MaskData, RandomEditsAgreeWithAModelOfTheInputPositions) {
  std::mt19937 random(20261207);
  const std::vector<int> inputs = {0, 2, 3, 5, 6, 7};
  for (int round = 0; round < 200; ++round) {
    Mask m("A-AA-AAA");
    std::string model(6, '_');
    for (int step = 0; step < 12; ++step) {
      const int k = static_cast<int>(random() % 6);
      const char c = "abc123"[random() % 6];
      switch (random() % 3) {
        case 0: {  // overwrite one position
          m.PushData(CString(c), inputs[static_cast<size_t>(k)], FALSE);
          model[static_cast<size_t>(k)] = c;
          break;
        }
        case 1: {  // insert: refused when the last position holds a character
          int next = 0;
          const bool ok = m.InsertAt(inputs[static_cast<size_t>(k)], CString(c), next);
          EXPECT_EQ(ok, model.back() == '_');
          if (ok) {
            model.insert(static_cast<size_t>(k), 1, c);
            model.pop_back();
          }
          break;
        }
        default: {  // delete the input positions k..j-1
          const int j = k + 1 + static_cast<int>(random() % static_cast<unsigned>(6 - k));
          const int end = j == 6 ? 8 : inputs[static_cast<size_t>(j)];
          m.DeleteRange(end, inputs[static_cast<size_t>(k)]);
          model.erase(static_cast<size_t>(k), static_cast<size_t>(j - k));
          model.append(static_cast<size_t>(j - k), '_');
          break;
        }
      }
      std::string expected = model.substr(0, 1) + "-" + model.substr(1, 2) + "-" + model.substr(3);
      ASSERT_EQ(std::string(Shown(m)), expected) << "round " << round << " step " << step;
      ASSERT_TRUE(m.IsValid());
    }
  }
}

}  // namespace

TEST(MaskData, DataOfAPartEndsAtItsLastPositionAndAnEndOfZeroIsThatPosition) {
  Mask m("##-##");
  EXPECT_EQ(m.PushData("1234", -1, FALSE), 5);
  auto part = [&](int from, int to) {
    CString out;
    m.GetData(out, from, to);
    return out;
  };
  EXPECT_EQ(part(0, 0), "1");   // an end of 0 is position 0, not the end of the data
  EXPECT_EQ(part(0, 1), "12");
  EXPECT_EQ(part(1, 3), "23");  // the literal in between is left out
  EXPECT_EQ(part(2, 2), "");    // a literal alone
  EXPECT_EQ(part(3, -1), "34");
  EXPECT_EQ(part(0, 99), "1234");
  // Free text: the characters of the part.
  CGXMaskData free;
  free.SetMaxLength(10);
  free.PushData("abc", -1, FALSE);
  CString out;
  free.GetData(out, 0, 0);
  EXPECT_EQ(out, "a");
}
