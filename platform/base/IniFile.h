// IniFile: the text of a private-profile (INI) file as an editable list of lines.
//
// Reading accepts LF and CR-LF; writing uses CR-LF. Lines keep their bytes unless an edit touches them,
// so files keep their order, comments and layout. Section and key names match ignoring case (code page
// 1252 tables) and keep the spelling they were written with; where a name occurs twice, the first wins.
//   [name]        a section header (name trimmed, text after ']' ignored)
//   key=value     an entry: key and value trimmed
//   ;text         a comment (never an entry)
//   other text    an entry without value (found by its trimmed text, value empty)
// Lines before the first header belong to no section.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace plat {

class IniFile {
 public:
  static IniFile Parse(std::string_view text);
  // Names that read back as what they are: no line breaks; a section name without ']'; a key without
  // '=' that does not start (after blanks) with '[' or ';'.
  static bool IsValidSectionName(std::string_view name);
  static bool IsValidKey(std::string_view key);
  static bool IsValidValue(std::string_view value);
  // A line of a whole section: no line break, and not starting (after blanks) with '['.
  static bool IsValidSectionLine(std::string_view line);
  std::string Serialize() const;

  bool HasSection(std::string_view section) const;
  // The trimmed value as stored (quotes kept); nullopt when the section or key is missing.
  std::optional<std::string_view> FindValue(std::string_view section, std::string_view key) const;
  std::vector<std::string> SectionNames() const;
  // Each key once, first spelling, in file order.
  std::vector<std::string> KeyNames(std::string_view section) const;
  // "key=value" for each entry (the text alone for entries without '='), and each comment line, trimmed,
  // in file order: what a section holds, so that writing it back loses nothing.
  std::vector<std::string> SectionLines(std::string_view section) const;
  // The same lines, each followed by a NUL, as one text (the form the section reader hands out). The
  // last answer is remembered until the next edit: callers that grow a buffer ask again and again.
  const std::string& SectionText(std::string_view section) const;

  // Edits; each returns whether the text changed.
  // Replaces the first such key in place (keeping its spelling) or appends it after the section's last
  // non-blank line; a missing section is appended at the end of the file.
  bool SetValue(std::string_view section, std::string_view key, std::string_view value);
  bool DeleteKey(std::string_view section, std::string_view key);
  // Removes the header and every line up to the next header.
  bool DeleteSection(std::string_view section);
  // The section's lines become `lines` (blank lines after its last entry stay, for the layout); a missing
  // section is appended at the end of the file.
  bool ReplaceSection(std::string_view section, const std::vector<std::string>& lines);

  std::size_t LineCount() const;

 private:
  enum class Kind { Blank, Comment, Header, Entry };
  struct Line {
    Kind kind;
    std::string raw;
    std::string name;   // section name or key
    std::string value;  // entries only
    bool hasEquals = false;
  };
  // A header and the lines up to the next one. Keys are found through a map from the folded name to the
  // first entry of that name, built on the first lookup and kept while entries only get appended or
  // replaced in place, so that listing or writing many keys stays linear.
  struct Section {
    Line header;
    std::vector<Line> lines;
    mutable std::unordered_map<std::string, std::size_t> keys;
    mutable bool keysValid = false;

    std::size_t FindKey(std::string_view key) const;  // index in `lines`, or npos
    std::size_t ContentEnd() const;                   // after the last non-blank line
  };
  static Line ParseLine(std::string_view raw);
  static std::string Fold(std::string_view name);
  // The first section of that name, or null.
  const Section* FindSection(std::string_view section) const;
  Section* FindSection(std::string_view section);
  Section& AppendSection(std::string_view section);
  void Changed();

  std::vector<Line> preamble_;  // lines before the first header: no section's
  std::vector<Section> sections_;
  // Folded section name -> index of its first section, rebuilt after a section is removed.
  mutable std::unordered_map<std::string, std::size_t> sectionIndex_;
  mutable bool sectionIndexValid_ = false;
  // The remembered section text.
  mutable std::string memoSection_;
  mutable std::string memoText_;
  mutable bool memoValid_ = false;
};

}  // namespace plat
