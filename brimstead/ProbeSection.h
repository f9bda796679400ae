// Probe sections of the ".dao" file: lines "KEY = value", read back as a block of NUL-terminated entries.
//
// The records write their values as blank-separated words (a probe name, a state word, layer names in double
// quotes). Reading is tolerant: a line of any length is read whole, a quoted layer name is one word whatever it
// holds, and the records take their fixed words from the end of the line, so that a probe name with blanks in it
// still reads as one name. The words are split from the line's end, so that whatever a name holds (quotes
// included) it never takes in the fixed words after it; a name with blanks at its ends or in quotes of its own is
// written in double quotes, which the reader takes off.
#pragma once

#include "platform/base/CString.h"

#include <cstddef>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

struct CProbeLine {
  CString key;                  // the text before the first '=', trimmed
  CString value;                // the text after it, trimmed
  std::vector<CString> words;   // the value split at blanks and tabs; "..." is one word without its quotes
  std::vector<int> starts;      // where each word begins in the value (a quoted one at its quote)

  // The words from `first` to `last` (inclusive) joined by single blanks.
  CString Join(int first, int last) const;
  // The value's text before word `index` (all of it past the last word), without the blanks that end it and
  // without one pair of enclosing double quotes where what they hold has blanks at an end or enclosing quotes of its
  // own: a name as it was given, its runs of blanks, tabs and quotes kept. Any other name in quotes is read with
  // them, as earlier versions wrote a probe so named.
  CString TextBefore(int index) const;
  // Whether word `index` can be the line's state word: any word after a name; as the first word (the line of a
  // probe the host gave no name) only "Enabled" or "Disabled", so that a line that lost its state names no probe.
  bool HasStateAt(int index) const;
};

// The lines of a section block ("key=value" entries, each ended by a NUL, an empty entry ending the block).
// Entries without '=' and comment entries (';') are skipped.
std::vector<CProbeLine> ReadProbeLines(const std::string& block);

// The records of a list that a section's lines name, found by the text a line names its record by (a probe's name,
// a pin's "<component>.<pin>"). Each record's text is made once, as it is added, and a line's text is one hash
// look-up, so that n lines applied to n records cost about n steps, not n times n. A text that several records give
// is taken by successive lines of that text: the lowest rank first, records of one rank in the order they were
// added; a line whose text has no record left takes none. Texts are compared byte for byte.
class CProbeLineTargets {
public:
  // Record `record` (its index in the list) under `text`; records are added in list order.
  void Add(const CString& text, int record, size_t rank = 0);
  // The record a line of `text` names, which no earlier line took; -1 for none.
  int Take(const CString& text);
  // The records taken so far, in the order of their lines.
  const std::vector<int>& Taken() const { return m_Taken; }

private:
  struct Bearers {
    std::vector<std::pair<size_t, int>> ranked;   // (rank, record), ordered by rank at the first take
    size_t next = 0;                              // the first not taken
    bool ordered = false;
  };
  std::unordered_map<std::string, Bearers> m_ByText;
  std::vector<int> m_Taken;
};

// The records of a list by the name their host probe gives them (none for a probe without a name), in list order.
template <class Array>
CProbeLineTargets TargetsByName(Array& records) {
  CProbeLineTargets targets;
  for (int i = 0; i < records.GetSize(); ++i) {
    const char* name = records[i].GetName();
    targets.Add(name ? name : "", i);
  }
  return targets;
}

// The list in the order a section gives it: the records its lines took, in line order, then the others in theirs.
template <class Array>
void PutTakenFirst(Array& records, const std::vector<int>& taken) {
  std::vector<bool> isTaken(static_cast<size_t>(records.GetSize()), false);
  Array ordered;
  for (int i : taken) {
    ordered.Add(records[i]);
    isTaken[static_cast<size_t>(i)] = true;
  }
  for (int i = 0; i < records.GetSize(); ++i)
    if (!isTaken[static_cast<size_t>(i)])
      ordered.Add(records[i]);
  records.Copy(ordered);
}

// "<key>%02d = " for line `index`, as the sections number their lines.
CString ProbeLineStart(const char* key, int index);

// A probe section's text as a record writes it, and whether each of its lines reads back as written.
struct CProbeSectionText {
  CString text;
  bool readsBack = true;
  CString refusedKey;    // the first line that would not read back: its key and name
  CString refusedName;
  CString refusedLayer;  // the line's layer name that no quoted word can hold, when it was the cause

  // Appends `start` (the key and " = "), the name and, when there are any, a blank, the words a reader takes from
  // the line's end (a state, a position, a layer name in double quotes) joined by blanks, and a blank. The name is
  // written as it is, or in double quotes where its edge blanks or enclosing quotes need them. A name or word with
  // a line break, or a word whose quotes change the words, would not read back: `readsBack` turns false.
  void AddLine(const CString& start, const CString& name, const std::vector<CString>& words);
  // Appends a line break or the block's ending as it is.
  void Add(const char* text) { this->text += text; }
};

// Replaces the file's section by the text; a text with a line that would not read back as written is refused
// (false, settings_io::RefuseValue with the line's key and name) and nothing is written.
bool WriteProbeSection(const char* section, const CProbeSectionText& text, const char* file);
