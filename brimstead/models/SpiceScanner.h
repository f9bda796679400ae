#pragma once
// Finds the subcircuit definitions (".SUBCKT"/".MACRO" ... ".ENDS"/".ENDM") of a SPICE netlist and their port
// lists. Nothing else of the netlist is interpreted. A header's ports end at its first parameter ("name=value") or
// at the word "PARAMS:" (any case), which introduces the parameters.
//
// Call flow of Scan:
//   Scan -> mapfile::open (throws MapExcept) -> ScanView -> { NextToken -> HandleToken }* -> mapfile::close
// The file is read into memory for the duration of one scan: the names are copied into the list and the view is
// freed before Scan returns. A name or port of a header that holds a NUL byte or another control character refuses
// the whole file: handed on as a C string it would name another subcircuit (".SUBCKT C1U<NUL>0402" would be "C1U"),
// and the other control characters would reach the host raw.

#include "brimstead/models/SpiceSubcircuitList.h"
#include "brimstead/models/mapfile.h"

#include <cstddef>
#include <string>

class CSpiceScanner {
public:
    enum TokenKind { tokenNone = 0, tokenWord = 1, tokenSubcktStart = 2, tokenSubcktEnd = 3, tokenEquals = 5,
                     tokenLineEnd = 6, tokenComment = 7 };

    // Scans the file into `list` (cleared first). Throws vorntool::mapfile::MapExcept when the file cannot be
    // read (missing, empty, in use, no regular file, too large, changed while read) or holds a header with a NUL
    // byte or another control character, with the reason; the list is then empty. Other malformed netlists never
    // fail: they yield fewer or emptier entries.
    bool Scan(const char* fileName, CSpiceSubcircuitList& list);

    // Scans bytes that are already in memory (the same rules as Scan; used by Scan itself and by fuzzing). A
    // refused header leaves the list empty.
    void ScanView(const char* data, std::size_t size, CSpiceSubcircuitList& list);

    // Starts tokenising bytes in memory from their first token (after a byte-order mark).
    void BeginView(const char* data, std::size_t size) { Reset(data, size); }
    // Advances to the next token of the current view; false when the view is exhausted.
    bool NextToken();
    TokenKind GetTokenKind() const { return m_kind; }
    const char* GetTokenBegin() const { return m_tokBegin; }
    const char* GetTokenEnd() const { return m_tokEnd; }

private:
    enum class State { Outside, ExpectName, Header, Parameters, Body };

    void Reset(const char* data, std::size_t size);
    void HandleToken();
    bool AtLineStart(const char* p) const;
    void RefuseHeaderWithControl();

    vorntool::mapfile m_file;
    const char* m_begin = nullptr; // first byte after a UTF-8 byte-order mark
    const char* m_end = nullptr;
    TokenKind m_kind = tokenNone;
    const char* m_tokBegin = nullptr;
    const char* m_tokEnd = nullptr;
    State m_state = State::Outside;
    CSpiceSubcircuitList* m_list = nullptr;
    std::string m_refusal; // why the last scan refused its bytes ("line 3: ..."); empty when it did not
};
