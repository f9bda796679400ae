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

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
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
  // The same names, each followed by a NUL, as one text (the form the list readers hand out). Remembered until
  // the names can change, as SectionText is: a caller growing its buffer asks again and again, and a file of many
  // sections must not be listed anew for each ask.
  const std::string& SectionNamesText() const;
  const std::string& KeyNamesText(std::string_view section) const;
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
  // A line keeps its bytes only; its name (section name or key) and value (entries only), trimmed, are parts of
  // them, so that a line costs one text however it is read.
  struct Line {
    Kind kind = Kind::Blank;
    std::string raw;
    std::size_t nameAt = 0, nameLength = 0;
    std::size_t valueAt = 0, valueLength = 0;
    bool hasEquals = false;

    std::string_view Name() const { return std::string_view(raw).substr(nameAt, nameLength); }
    std::string_view Value() const { return std::string_view(raw).substr(valueAt, valueLength); }
  };
  // Folded name -> index of the first item of that name: open addressing, each slot a hash and the index + 1 (0: a
  // free slot). The names stay with the items; `nameOf(index)` gives an item's for the comparison. No allocation
  // per name, so that indexing a million sections is a matter of milliseconds.
  class NameTable {
   public:
    void Clear();
    void Reserve(std::size_t count);
    // Adds the item unless one of that name is there; whether it was added.
    template <class NameOf>
    bool Insert(std::string_view name, std::size_t index, const NameOf& nameOf);
    // The first item of that name, or npos.
    template <class NameOf>
    std::size_t Find(std::string_view name, const NameOf& nameOf) const;
    // Marks the items the table holds: each first of its name.
    void MarkFirsts(std::vector<bool>& first) const;
    std::size_t Size() const { return count_; }

   private:
    struct Slot {
      std::uint64_t hash = 0;
      std::size_t index = 0;  // + 1
    };
    void Grow(std::size_t capacity);
    std::vector<Slot> slots_;
    std::size_t count_ = 0;
  };

  // A header and the lines up to the next one. Keys are found through a table from the folded name to the
  // first entry of that name, built on the first lookup and kept while entries only get appended or
  // replaced in place, so that listing or writing many keys stays linear.
  struct Section {
    Line header;
    std::vector<Line> lines;
    mutable NameTable keys;
    mutable bool keysValid = false;

    std::size_t FindKey(std::string_view key) const;  // index in `lines`, or npos
    auto KeyName() const {
      return [this](std::size_t i) { return lines[i].Name(); };
    }
    std::size_t ContentEnd() const;                   // after the last non-blank line
  };
  // The line `raw`, read from `skip` on (what precedes is kept as bytes of the line only).
  static Line ParseLine(std::string_view raw, std::size_t skip = 0);
  auto SectionName() const {
    return [this](std::size_t i) { return sections_[i].header.Name(); };
  }
  void IndexSections() const;
  // The first section of that name, or null.
  const Section* FindSection(std::string_view section) const;
  Section* FindSection(std::string_view section);
  Section& AppendSection(std::string_view section);
  void Changed();
  void SectionsChanged();

  std::vector<Line> preamble_;  // lines before the first header: no section's
  std::vector<Section> sections_;
  // Folded section name -> index of its first section, rebuilt after a section is removed.
  mutable NameTable sectionIndex_;
  mutable bool sectionIndexValid_ = false;
  // A remembered answer of a reader: the text and the section it is of.
  struct Memo {
    std::string section;
    std::string text;
    bool valid = false;
  };
  mutable Memo sectionMemo_;  // SectionText, until the next edit
  mutable Memo keysMemo_;     // KeyNamesText, until the next edit
  mutable Memo namesMemo_;    // SectionNamesText, until a section is added or removed
};

}  // namespace plat
