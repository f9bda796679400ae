#include "brimstead/models/SpiceScanner.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>

namespace {

inline bool IsBlank(char c) { return c == ' ' || c == '\t'; }
inline bool IsLineBreak(char c) { return c == '\r' || c == '\n'; }

// The keywords are compared whole and ignoring case (toupper of each byte).
bool EqualsKeyword(const char* b, const char* e, const char* keyword)
{
    const std::size_t n = std::strlen(keyword);
    if (static_cast<std::size_t>(e - b) != n)
        return false;
    for (std::size_t i = 0; i < n; ++i)
        if (std::toupper(static_cast<unsigned char>(b[i])) != keyword[i])
            return false;
    return true;
}

CSpiceScanner::TokenKind ClassifyWord(const char* b, const char* e)
{
    // Every keyword begins with '.', and is 5 to 7 bytes long: most words leave after one comparison.
    const auto len = e - b;
    if (*b != '.' || len < 5 || len > 7)
        return CSpiceScanner::tokenWord;
    if (EqualsKeyword(b, e, ".SUBCKT") || EqualsKeyword(b, e, ".MACRO"))
        return CSpiceScanner::tokenSubcktStart;
    if (EqualsKeyword(b, e, ".ENDS") || EqualsKeyword(b, e, ".ENDM"))
        return CSpiceScanner::tokenSubcktEnd;
    return CSpiceScanner::tokenWord;
}

} // namespace

bool CSpiceScanner::Scan(const char* fileName, CSpiceSubcircuitList& list)
{
    list.Clear();
    m_list = &list;
    m_file.close();
    m_file.open(fileName, false, true);
    ScanView(m_file.data(), m_file.size(), list);
    // Names are copies: the view is not needed any more.
    m_file.close();
    Reset(nullptr, 0);
    if (!m_refusal.empty())
        throw vorntool::mapfile::MapExcept("File '" + std::string(fileName) + "' cannot be used\n" + m_refusal);
    return true;
}

void CSpiceScanner::Reset(const char* data, std::size_t size)
{
    m_begin = data;
    m_end = data ? data + size : nullptr;
    // Editors put a UTF-8 byte-order mark before the first line; read literally it would glue itself to the
    // first keyword and the file's first subcircuit would vanish. The file starts after it.
    if (size >= 3 && static_cast<unsigned char>(data[0]) == 0xEF && static_cast<unsigned char>(data[1]) == 0xBB &&
        static_cast<unsigned char>(data[2]) == 0xBF)
        m_begin += 3;
    m_kind = tokenNone;
    m_tokBegin = nullptr;
    m_tokEnd = nullptr;
    m_state = State::Outside;
}

void CSpiceScanner::ScanView(const char* data, std::size_t size, CSpiceSubcircuitList& list)
{
    list.Clear();
    m_list = &list;
    Reset(data, size);
    m_refusal.clear();
    if (!data)
        return;
    while (NextToken())
        HandleToken();
    if (!m_refusal.empty())
        list.Clear();
}

void CSpiceScanner::RefuseHeaderWithControl()
{
    // Blanks and line breaks end a word: any control byte left in it is one the name or port would carry.
    const auto control = [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; };
    const char* const bad = std::find_if(m_tokBegin, m_tokEnd, control);
    if (bad == m_tokEnd)
        return;
    // A name is handed on as a C string: cut at a NUL it would name another subcircuit or node, and another
    // control character would reach the host and the settings file raw. The file is refused whole, and the scan
    // ends here.
    const std::size_t line = 1 + static_cast<std::size_t>(std::count(m_begin, m_tokBegin, '\n'));
    m_refusal = "line " + std::to_string(line) + ": a subcircuit's name or port holds " +
                (*bad == '\0' ? "a NUL byte" : "a control character");
    m_tokEnd = m_end;
}

bool CSpiceScanner::AtLineStart(const char* p) const
{
    return p == m_begin || IsLineBreak(p[-1]);
}

bool CSpiceScanner::NextToken()
{
    const char* p = m_tokEnd ? m_tokEnd : m_begin;
    const char* const end = m_end;
    if (!p)
        return false;

    for (;;) {
        while (p < end && IsBlank(*p))
            ++p;
        if (p >= end)
            return false;

        const char c = *p;
        if (IsLineBreak(c)) {
            const char* q = p + 1;
            while (q < end && IsLineBreak(*q))
                ++q;
            // Look ahead over whole comment lines: a "+" line after them continues the statement, and then the
            // line end, the comment lines and the "+" are all dropped.
            const char* r = q;
            while (r < end && *r == '*') {
                while (r < end && !IsLineBreak(*r))
                    ++r;
                while (r < end && IsLineBreak(*r))
                    ++r;
            }
            if (r < end && *r == '+') {
                p = r + 1;
                continue;
            }
            m_kind = tokenLineEnd;
            m_tokBegin = p;
            m_tokEnd = q;
            return true;
        }

        m_tokBegin = p;
        if ((c == '*' && AtLineStart(p)) || (c == '$' && (p == m_begin || IsBlank(p[-1])))) {
            while (p < end && !IsLineBreak(*p))
                ++p;
            m_kind = tokenComment;
        } else if (c == '=') {
            ++p;
            m_kind = tokenEquals;
        } else {
            while (p < end && !IsLineBreak(*p) && !IsBlank(*p) && *p != '=')
                ++p;
            m_kind = ClassifyWord(m_tokBegin, p);
        }
        m_tokEnd = p;
        return true;
    }
}

void CSpiceScanner::HandleToken()
{
    CSpiceSubcircuitList& list = *m_list;
    switch (m_state) {
    case State::Outside:
        if (m_kind == tokenSubcktStart) {
            list.m_names.emplace_back();
            list.m_portCounts.push_back(0);
            list.m_nodeStarts.push_back(list.m_nodes.size());
            m_state = State::ExpectName;
        }
        break;

    case State::ExpectName:
        if (m_kind == tokenWord) {
            RefuseHeaderWithControl();
            list.m_names.back().assign(m_tokBegin, m_tokEnd);
            m_state = State::Header;
        } else {
            m_state = State::Outside; // keyword with no name: the entry stays, nameless and without ports
        }
        break;

    case State::Header:
        if (m_kind == tokenWord && EqualsKeyword(m_tokBegin, m_tokEnd, "PARAMS:")) {
            // "PARAMS:" ends the ports: the parameters with their defaults follow (".SUBCKT C 1 2 PARAMS: C=1u").
            m_state = State::Parameters;
        } else if (m_kind == tokenWord) {
            RefuseHeaderWithControl();
            list.m_nodes.emplace_back(m_tokBegin, m_tokEnd);
            ++list.m_nodeStarts.back();
            ++list.m_portCounts.back();
        } else if (m_kind == tokenEquals) {
            // The word before "=" named a parameter, not a port. The start index of this subcircuit's nodes is
            // the end entry of the previous one.
            const std::size_t first = list.m_nodeStarts[list.m_nodeStarts.size() - 2];
            if (list.m_nodes.size() > first) {
                list.m_nodes.pop_back();
                --list.m_nodeStarts.back();
                --list.m_portCounts.back();
            }
            m_state = State::Parameters;
        } else if (m_kind == tokenLineEnd) {
            m_state = State::Body;
        }
        break;

    case State::Parameters:
        if (m_kind == tokenLineEnd)
            m_state = State::Body;
        break;

    case State::Body:
        // Nested definitions are not recognised: the first end keyword closes the outer subcircuit.
        if (m_kind == tokenSubcktEnd)
            m_state = State::Outside;
        break;
    }
}
