// Rich Text Format for the rich edit control: a reader and a writer of the same subset.
//
// Read: \rtf1 \ansi \deff, the font and colour tables, \b \i \ul \ulnone \strike \fs \f \cf \ql \qc \qr \qj
// \pard \plain \par \line \tab, \\ \{ \}, \'hh, \uN with \ucN, a few named characters (\~ \emdash \lquote ...).
// Unknown words are skipped, and so are {\* } destinations and the groups that hold no text (stylesheet,
// info, pictures, objects, headers, list tables ...). "{\rtf1 text}", the bare "{text}" and text that does
// not start with '{' (read as plain text) are all accepted.
//
// The reader never trusts its input: group depth, table sizes, words and numeric parameters are bounded;
// font and colour numbers missing from their tables fall back to the defaults; whatever is malformed (an
// unclosed group, a stray brace, a truncated escape) ends or skips only that part and keeps what was read.
//
// Write: the same subset, a font table and a colour table of what the text uses ("auto" first), one \pard
// per paragraph whose alignment changes and each run's format as differences from the one before. Reading
// what was written gives the same text and formats; writing that again gives the same bytes.
#pragma once

#include <string>
#include <string_view>

#include "platform/controls/RichText.h"

namespace plat::controls {

// `base` and `basePara`: the formats text starts in (and \plain, \pard return to) before \deff names a font.
RichFragment ReadRtf(std::string_view in, const RichCharFormat& base, const RichParaFormat& basePara);
bool LooksLikeRtf(std::string_view in);  // starts with '{' (after white space)
std::string WriteRtf(const RichFragment& piece);
// Plain text as RTF text: \ { } escaped, bytes from 0x80 (and control bytes) as \'hh, tabs as \tab and line
// breaks ("\r\n", '\r', '\n') as \par.
std::string EscapeRtfText(std::string_view plain);

}  // namespace plat::controls
