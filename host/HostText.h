// Texts at the host's boundary. Board files, scripts, the command line and pdnhost's output are UTF-8; the module
// and the names the bundled host hands it work in code page 1252. Names are converted where they cross: on the way
// in a text with a character that the code page does not have is refused (it would reach the module as another
// name), on the way out every byte has its character.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace host {

// The code page 1252 form of a UTF-8 text; nothing when the text is not valid UTF-8 or holds a character that code
// page 1252 does not have.
std::optional<std::string> Cp1252FromUtf8Strict(std::string_view utf8);
// The UTF-8 form of a code page 1252 text (every byte has one).
std::string Utf8FromCp1252(std::string_view text);
// A code page 1252 name as pdnhost echoes it, in UTF-8: backslashes, tabs, carriage returns and line feeds written
// as \\, \t, \r and \n, so that every echo stays on its line and reads back unambiguously.
std::string EscapedName(std::string_view name);

}  // namespace host
