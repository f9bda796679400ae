#include "platform/controls/RichRtf.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <map>
#include <vector>

namespace plat::controls {
namespace {

constexpr int kMaxDepth = 256;        // deeper groups are read as if flat (their braces still count)
constexpr size_t kMaxTable = 4096;    // font and colour table entries
constexpr size_t kMaxWord = 32;       // letters of a control word kept (the rest is read and dropped)
constexpr int kMaxParamDigits = 10;   // digits of a parameter kept
constexpr int kMinTwips = 20, kMaxTwips = 32760;  // 1 to 1638 points

// Code page 1252's characters 0x80..0x9F as Unicode (0 where the code page has none).
constexpr std::array<unsigned, 32> kHigh1252 = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char From16(long u) {
  if (u < 0) u += 65536;
  if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) return static_cast<char>(u);
  for (size_t i = 0; i < kHigh1252.size(); ++i)
    if (kHigh1252[i] == static_cast<unsigned>(u)) return static_cast<char>(0x80 + i);
  return '?';
}

enum class Dest { Text, Skip, FontTable, ColorTable };

struct FontEntry {
  std::string face;
  BYTE charset = 0;
  BYTE pitchFamily = 0;
};

struct State {
  RichCharFormat cf;
  RichParaFormat pf;
  int uc = 1;
  Dest dest = Dest::Text;
  bool explicitFont = false;
};

class Reader {
 public:
  Reader(std::string_view in, const RichCharFormat& base, const RichParaFormat& basePara)
      : in_(in), base_(base), basePara_(basePara) {}

  RichFragment Run() {
    State s{base_, basePara_};
    stack_.push_back(s);
    // The outer group ends the document; anything after it is no part of it.
    while (pos_ < in_.size() && !done_) Step();
    out_.paras.push_back(done_ ? endPf_ : Top().pf);  // the last paragraph's format as the document closed
    return std::move(out_);
  }

 private:
  State& Top() { return stack_.back(); }

  void Step() {
    const char c = in_[pos_++];
    switch (c) {
      case '{': Open(); return;
      case '}': Close(); return;
      case '\\': Control(); return;
      case '\r':
      case '\n': return;
      case '\t': Char('\t', true); return;
      default:
        if (static_cast<unsigned char>(c) < 0x20) return;
        Char(c, true);
        return;
    }
  }

  void Open() {
    skip_ = 0;
    ++depth_;
    if (depth_ > kMaxDepth) return;
    stack_.push_back(Top());
    // A group that starts with \* is skipped unless its word is one we read.
    if (pos_ + 1 < in_.size() && in_[pos_] == '\\' && in_[pos_ + 1] == '*') {
      pos_ += 2;
      Top().dest = Dest::Skip;
    }
  }

  void Close() {
    skip_ = 0;
    if (depth_ == 0) {  // a stray brace outside every group
      done_ = true;
      return;
    }
    if (depth_ <= kMaxDepth) {
      const Dest ending = Top().dest;
      if (ending == Dest::FontTable && !entry_.face.empty()) FontText(';');  // an entry without its ';'
      if (ending == Dest::FontTable && Top().dest != stack_[stack_.size() - 2].dest) CommitFontTable();
      if (depth_ == 1) endPf_ = Top().pf;
      stack_.pop_back();
    }
    --depth_;
    if (depth_ == 0) done_ = true;
  }

  // ---- Control words and symbols ------------------------------------------------------------------------

  void Control() {
    if (pos_ >= in_.size()) return;
    const char c = in_[pos_];
    if (!IsLetter(c)) {
      ++pos_;
      Symbol(c);
      return;
    }
    std::string word;
    while (pos_ < in_.size() && IsLetter(in_[pos_])) {
      if (word.size() < kMaxWord) word += in_[pos_];
      ++pos_;
    }
    bool hasParam = false;
    long param = 0;
    bool negative = false;
    if (pos_ < in_.size() && in_[pos_] == '-' && pos_ + 1 < in_.size() && IsDigit(in_[pos_ + 1])) {
      negative = true;
      ++pos_;
    }
    int digits = 0;
    while (pos_ < in_.size() && IsDigit(in_[pos_])) {
      if (digits++ < kMaxParamDigits) param = std::min(param * 10 + (in_[pos_] - '0'), 2147483647L);
      hasParam = true;
      ++pos_;
    }
    if (negative) param = -param;
    if (pos_ < in_.size() && in_[pos_] == ' ') ++pos_;  // the delimiting space belongs to the word
    if (skip_ > 0) {  // a \uN fallback
      --skip_;
      return;
    }
    Word(word, hasParam, param);
  }

  void Symbol(char c) {
    switch (c) {
      case '\\':
      case '{':
      case '}': Char(c, true); return;
      case '~': Char('\xA0', true); return;
      case '_': Char('-', true); return;
      case '-': Consume(); return;  // optional hyphen: nothing shown
      case '\'': {
        int value = 0, got = 0;
        while (got < 2 && pos_ < in_.size() && HexValue(in_[pos_]) >= 0) value = value * 16 + HexValue(in_[pos_++]), ++got;
        if (got == 2) Char(static_cast<char>(value), true);
        return;
      }
      case '*': return;  // outside a group start: nothing to skip
      case '\r':
      case '\n': Break(); return;  // "\<newline>" is \par
      default: Consume(); return;
    }
  }

  void Word(const std::string& w, bool has, long p) {
    State& s = Top();
    // Destinations.
    if (w == "fonttbl") {
      s.dest = Dest::FontTable;
      return;
    }
    if (w == "colortbl") {
      s.dest = Dest::ColorTable;
      colors_.clear();
      color_ = {};
      return;
    }
    static const char* const kSkipped[] = {
        "stylesheet", "info",      "pict",       "object",      "header",      "headerl",    "headerr",
        "headerf",    "footer",    "footerl",    "footerr",     "footerf",     "footnote",   "annotation",
        "listtable",  "listoverridetable",       "revtbl",      "rsidtbl",     "filetbl",    "themedata",
        "colorschememapping",      "latentstyles",              "datastore",   "xmlnstbl",   "pntext",
        "pn",         "generator", "fldinst",    "bkmkstart",   "bkmkend",     "nonshppict", "shp",
        "atnid",      "atnauthor", "template",   "userprops",   "xe",          "tc",         "txe"};
    for (const char* k : kSkipped)
      if (w == k) {
        s.dest = Dest::Skip;
        return;
      }
    if (s.dest == Dest::Skip) return;
    if (s.dest == Dest::FontTable) return FontWord(w, has, p);
    if (s.dest == Dest::ColorTable) return ColorWord(w, p);
    // Header words.
    if (w == "deff") {
      deff_ = has ? p : 0;
      return;
    }
    if (w == "uc") {
      s.uc = static_cast<int>(std::clamp(p, 0L, 10L));
      return;
    }
    if (w == "u") {
      Char(From16(std::clamp(p, -32768L, 65535L)), true);
      skip_ = s.uc;
      return;
    }
    const bool on = !has || p != 0;
    RichCharFormat& f = s.cf;
    if (w == "b") f.bold = on;
    else if (w == "i") f.italic = on;
    else if (w == "ul") f.underline = on;
    else if (w == "ulnone") f.underline = false;
    else if (w == "strike") f.strike = on;
    else if (w == "fs") {
      if (has && p > 0) f.twips = static_cast<int>(std::clamp(p * 10, static_cast<long>(kMinTwips), static_cast<long>(kMaxTwips)));
    } else if (w == "f") {
      ApplyFont(s, has ? p : 0);
    } else if (w == "cf") {
      ApplyColor(f, has ? p : 0);
    } else if (w == "plain") {
      const RichCharFormat d = Default();
      f = d;
      s.explicitFont = false;
    } else if (w == "pard") {
      s.pf = basePara_;
    } else if (w == "ql" || w == "qj") {
      s.pf.alignment = PFA_LEFT;
    } else if (w == "qc") {
      s.pf.alignment = PFA_CENTER;
    } else if (w == "qr") {
      s.pf.alignment = PFA_RIGHT;
    } else if (w == "par") {
      Break();
    } else if (w == "line") {
      Char('\v', false);
    } else if (w == "tab") {
      Char('\t', false);
    } else if (w == "emdash") Char('\x97', false);
    else if (w == "endash") Char('\x96', false);
    else if (w == "bullet") Char('\x95', false);
    else if (w == "lquote") Char('\x91', false);
    else if (w == "rquote") Char('\x92', false);
    else if (w == "ldblquote") Char('\x93', false);
    else if (w == "rdblquote") Char('\x94', false);
    // Everything else (\rtf1, \ansi, \ansicpg, \deflang, \viewkind, \lang ...) shapes nothing here.
  }

  // ---- Tables -------------------------------------------------------------------------------------------

  void FontWord(const std::string& w, bool has, long p) {
    if (w == "f") {
      font_ = has ? p : 0;
      entry_ = {};
    } else if (w == "fcharset") {
      entry_.charset = static_cast<BYTE>(std::clamp(p, 0L, 255L));
    } else if (w == "fprq") {
      entry_.pitchFamily = static_cast<BYTE>((entry_.pitchFamily & 0xF0) | std::clamp(p, 0L, 2L));
    } else {
      static const std::pair<const char*, BYTE> kFamilies[] = {{"fnil", 0x00},    {"froman", 0x10}, {"fswiss", 0x20},
                                                               {"fmodern", 0x30}, {"fscript", 0x40}, {"fdecor", 0x50},
                                                               {"ftech", 0x00},   {"fbidi", 0x00}};
      for (const auto& [name, bits] : kFamilies)
        if (w == name) entry_.pitchFamily = static_cast<BYTE>((entry_.pitchFamily & 0x0F) | bits);
    }
  }

  void FontText(char c) {
    if (c == ';') {
      while (!entry_.face.empty() && entry_.face.back() == ' ') entry_.face.pop_back();
      // A nameless entry names no font (the writer could not write it back).
      if (!entry_.face.empty() && (fonts_.size() < kMaxTable || fonts_.count(font_))) fonts_[font_] = entry_;
      entry_ = {};
      return;
    }
    // Names keep what the writer can write back (CleanFace): no braces, backslashes or control bytes.
    if (c == '{' || c == '}' || c == '\\' || static_cast<unsigned char>(c) < 0x20) return;
    if (entry_.face.size() < 31 && !(entry_.face.empty() && c == ' ')) entry_.face += c;
  }

  // The table just read: text so far that named no font of its own takes the default font.
  void CommitFontTable() {
    const RichCharFormat d = Default();
    for (State& st : stack_)
      if (!st.explicitFont) {
        st.cf.face = d.face;
        st.cf.charset = d.charset;
        st.cf.pitchFamily = d.pitchFamily;
      }
  }

  void ColorWord(const std::string& w, long p) {
    const auto v = static_cast<BYTE>(std::clamp(p, 0L, 255L));
    if (w == "red") color_.r = v, color_.set = true;
    else if (w == "green") color_.g = v, color_.set = true;
    else if (w == "blue") color_.b = v, color_.set = true;
  }

  void ColorText(char c) {
    if (c != ';') return;
    if (colors_.size() < kMaxTable) colors_.push_back(color_);
    color_ = {};
  }

  RichCharFormat Default() const {
    RichCharFormat d = base_;
    auto it = fonts_.find(deff_);
    if (it != fonts_.end() && !it->second.face.empty()) {
      d.face = it->second.face;
      d.charset = it->second.charset;
      d.pitchFamily = it->second.pitchFamily;
    }
    return d;
  }

  void ApplyFont(State& s, long n) {
    auto it = fonts_.find(n);
    const RichCharFormat d = Default();
    if (it == fonts_.end() || it->second.face.empty()) {
      s.cf.face = d.face;  // a font missing from the table: the default font
      s.cf.charset = d.charset;
      s.cf.pitchFamily = d.pitchFamily;
    } else {
      s.cf.face = it->second.face;
      s.cf.charset = it->second.charset;
      s.cf.pitchFamily = it->second.pitchFamily;
    }
    s.explicitFont = true;
  }

  void ApplyColor(RichCharFormat& f, long n) {
    if (n < 0 || static_cast<size_t>(n) >= colors_.size() || !colors_[static_cast<size_t>(n)].set) {
      f.autoColor = base_.autoColor;  // "auto", or a colour missing from the table: the default colour
      f.color = base_.color;
      return;
    }
    const Color& c = colors_[static_cast<size_t>(n)];
    f.autoColor = false;
    f.color = RGB(c.r, c.g, c.b);
  }

  // ---- Text ---------------------------------------------------------------------------------------------

  // One character of the text (or of a table entry). `counts` marks a character that a \uN fallback may be.
  void Char(char c, bool counts) {
    if (counts && skip_ > 0) {
      --skip_;
      return;
    }
    switch (Top().dest) {
      case Dest::Text: out_.Append(std::string_view(&c, 1), Top().cf); return;
      case Dest::FontTable: FontText(c); return;
      case Dest::ColorTable: ColorText(c); return;
      case Dest::Skip: return;
    }
  }

  void Consume() {
    if (skip_ > 0) --skip_;
  }

  void Break() {
    if (skip_ > 0) {
      --skip_;
      return;
    }
    if (Top().dest == Dest::Text) out_.Break(Top().pf, Top().cf);
  }

  static bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
  static bool IsDigit(char c) { return c >= '0' && c <= '9'; }
  static int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  }

  struct Color {
    BYTE r = 0, g = 0, b = 0;
    bool set = false;
  };

  std::string_view in_;
  size_t pos_ = 0;
  RichCharFormat base_;
  RichParaFormat basePara_;
  std::vector<State> stack_;
  int depth_ = 0;
  bool done_ = false;
  int skip_ = 0;
  long deff_ = 0;
  std::map<long, FontEntry> fonts_;
  long font_ = 0;
  FontEntry entry_;
  std::vector<Color> colors_;
  Color color_;
  RichFragment out_;
  RichParaFormat endPf_;
};

void AppendEscaped(std::string& out, char ch) {
  const auto c = static_cast<unsigned char>(ch);
  switch (c) {
    case '\\': out += "\\\\"; return;
    case '{': out += "\\{"; return;
    case '}': out += "\\}"; return;
    case '\t': out += "\\tab "; return;
    case '\v': out += "\\line "; return;
    default: break;
  }
  if (c >= 0x80 || c < 0x20) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "\\'%02x", c);
    out += buf;
  } else {
    out += ch;
  }
}

std::string CleanFace(const std::string& face) {
  std::string out;
  for (char c : face)
    if (c != ';' && c != '{' && c != '}' && c != '\\' && static_cast<unsigned char>(c) >= 0x20) out += c;
  return out;
}

}  // namespace

bool LooksLikeRtf(std::string_view in) {
  const size_t at = in.find_first_not_of(" \t\r\n");
  return at != std::string_view::npos && in[at] == '{';
}

RichFragment ReadRtf(std::string_view in, const RichCharFormat& base, const RichParaFormat& basePara) {
  if (!LooksLikeRtf(in)) return RichFragment::FromPlain(in, base, basePara);
  return Reader(in.substr(in.find('{')), base, basePara).Run();
}

std::string EscapeRtfText(std::string_view plain) {
  std::string out;
  out.reserve(plain.size() + plain.size() / 8);
  for (size_t i = 0; i < plain.size(); ++i) {
    const char c = plain[i];
    if (c == '\r' || c == '\n') {
      out += "\\par ";
      if (c == '\r' && i + 1 < plain.size() && plain[i + 1] == '\n') ++i;
      continue;
    }
    AppendEscaped(out, c);
  }
  return out;
}

std::string WriteRtf(const RichFragment& piece) {
  // Tables of what the text uses, in order of first use; colour 0 is "auto".
  std::vector<FontEntry> fonts;
  std::vector<COLORREF> colors;
  auto fontOf = [&](const RichCharFormat& f) {
    const std::string face = CleanFace(f.face);
    for (size_t i = 0; i < fonts.size(); ++i)
      if (fonts[i].face == face && fonts[i].charset == f.charset && fonts[i].pitchFamily == f.pitchFamily)
        return static_cast<int>(i);
    fonts.push_back({face, f.charset, f.pitchFamily});
    return static_cast<int>(fonts.size() - 1);
  };
  auto colorOf = [&](const RichCharFormat& f) {
    if (f.autoColor) return 0;
    for (size_t i = 0; i < colors.size(); ++i)
      if (colors[i] == f.color) return static_cast<int>(i) + 1;
    colors.push_back(f.color);
    return static_cast<int>(colors.size());
  };
  RichCharFormat first = piece.runs.empty() ? RichCharFormat{} : piece.runs.front().format;
  fontOf(first);
  for (const auto& r : piece.runs) fontOf(r.format), colorOf(r.format);

  std::string out = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl";
  char buf[96];
  static const char* const kFamily[] = {"fnil", "froman", "fswiss", "fmodern", "fscript", "fdecor"};
  for (size_t i = 0; i < fonts.size(); ++i) {
    const int family = (fonts[i].pitchFamily >> 4) & 0x0F;
    std::snprintf(buf, sizeof buf, "{\\f%zu\\%s", i, family < 6 ? kFamily[family] : "fnil");
    out += buf;
    if (fonts[i].pitchFamily & 0x0F) out += "\\fprq" + std::to_string(fonts[i].pitchFamily & 0x03);
    out += "\\fcharset" + std::to_string(fonts[i].charset) + " " + fonts[i].face + ";}";
  }
  out += "}\n{\\colortbl ;";
  for (COLORREF c : colors) {
    std::snprintf(buf, sizeof buf, "\\red%u\\green%u\\blue%u;", GetRValue(c), GetGValue(c), GetBValue(c));
    out += buf;
  }
  out += "}\n";

  // The reader starts in the default font (\f0) at the base size; write every difference from there.
  RichCharFormat cur;
  cur.face = fonts[0].face;
  cur.charset = fonts[0].charset;
  cur.pitchFamily = fonts[0].pitchFamily;
  bool first_run = true;
  RichParaFormat pf;
  size_t para = 0;
  bool paraStart = true;
  std::string words;
  auto flag = [&](bool now, bool was, const char* on, const char* off) {
    if (now != was) words += now ? on : off;
  };
  size_t at = 0;
  for (const auto& r : piece.runs) {
    const RichCharFormat& f = r.format;
    words.clear();
    if (first_run || fontOf(f) != fontOf(cur)) words += "\\f" + std::to_string(fontOf(f));
    if (first_run || (f.twips + 5) / 10 != (cur.twips + 5) / 10) words += "\\fs" + std::to_string((f.twips + 5) / 10);
    if (first_run || colorOf(f) != colorOf(cur)) words += "\\cf" + std::to_string(colorOf(f));
    flag(f.bold, cur.bold, "\\b", "\\b0");
    flag(f.italic, cur.italic, "\\i", "\\i0");
    flag(f.underline, cur.underline, "\\ul", "\\ulnone");
    flag(f.strike, cur.strike, "\\strike", "\\strike0");
    cur = f;
    first_run = false;
    const size_t end = std::min(piece.text.size(), at + static_cast<size_t>(std::max(0, r.length)));
    for (; at < end; ++at) {
      if (paraStart) {
        const RichParaFormat want = para < piece.paras.size() ? piece.paras[para] : RichParaFormat{};
        if (para == 0 || want != pf) {
          out += "\\pard";
          if (want.alignment == PFA_CENTER) out += "\\qc";
          if (want.alignment == PFA_RIGHT) out += "\\qr";
          pf = want;
          if (words.empty()) out += ' ';
        }
        paraStart = false;
      }
      if (!words.empty()) {
        out += words;
        out += ' ';
        words.clear();
      }
      const char c = piece.text[at];
      if (c == '\r') {
        out += "\\par\n";
        ++para;
        paraStart = true;
      } else {
        AppendEscaped(out, c);
      }
    }
  }
  if (paraStart) {
    // The last paragraph is empty: its alignment still counts.
    const RichParaFormat want = para < piece.paras.size() ? piece.paras[para] : RichParaFormat{};
    if (para == 0 || want != pf) {
      out += "\\pard";
      if (want.alignment == PFA_CENTER) out += "\\qc";
      if (want.alignment == PFA_RIGHT) out += "\\qr";
      out += ' ';
    }
  }
  out += "}";
  return out;
}

}  // namespace plat::controls
