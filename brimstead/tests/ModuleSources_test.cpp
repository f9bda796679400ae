// Every path the module hands to the file system goes through the platform's file calls, which read the module's
// path dialect ('\\' separates as '/' does). A direct call of the C library's (or the C++ library's) file functions
// would take "sub\demo8.brd" as one odd file name: no source of the module may make one.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// The text with comments, string literals and character literals blanked out (line breaks kept).
std::string CodeOnly(const std::string& text) {
  std::string out = text;
  enum { Code, Line, Block, String, Char } state = Code;
  for (size_t i = 0; i < out.size(); ++i) {
    const char c = out[i], next = i + 1 < out.size() ? out[i + 1] : '\0';
    switch (state) {
      case Code:
        if (c == '/' && next == '/') state = Line;
        else if (c == '/' && next == '*') state = Block;
        else if (c == '"') state = String;
        else if (c == '\'') state = Char;
        else continue;
        break;
      case Line:
        if (c == '\n') { state = Code; continue; }
        break;
      case Block:
        if (c == '*' && next == '/') { out[i] = out[i + 1] = ' '; ++i; state = Code; continue; }
        break;
      case String:
      case Char:
        if (c == '\\') { out[i] = ' '; if (i + 1 < out.size() && out[i + 1] != '\n') out[++i] = ' '; continue; }
        if (c == (state == String ? '"' : '\'')) { state = Code; continue; }
        break;
    }
    if (out[i] != '\n') out[i] = ' ';
  }
  return out;
}

bool IsWordChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

// The places in `code` that call the C library's file functions or use the standard libraries' file streams and
// file-system calls. A call counts when it is qualified with "::" or "std::", or unqualified where an expression
// starts (so member calls such as `m_file.open(` and declarations such as `bool open(` do not).
std::vector<std::string> DirectFileCalls(const std::string& code) {
  static const std::set<std::string> functions = {
      "fopen", "freopen", "fdopen", "access", "stat",   "lstat",    "fstat",    "open",    "openat",
      "creat", "remove",  "rename", "unlink", "mkdir",  "rmdir",    "opendir",  "getcwd",  "chdir",
      "realpath", "truncate", "tmpfile", "tmpnam"};
  static const std::set<std::string> stdNames = {"ifstream", "ofstream", "fstream", "filesystem"};
  static const std::set<std::string> headers = {"fstream", "filesystem", "fcntl.h", "sys/stat.h", "dirent.h",
                                                "sys/file.h"};
  std::vector<std::string> found;
  size_t line = 1;
  auto report = [&](const std::string& what) { found.push_back(std::to_string(line) + ": " + what); };
  for (size_t i = 0; i < code.size();) {
    if (code[i] == '\n') {
      ++line;
      ++i;
      continue;
    }
    if (code[i] == '#') {
      const size_t open = code.find('<', i), close = code.find('>', i), eol = code.find('\n', i);
      if (code.compare(i, 8, "#include") == 0 && open < eol && close < eol &&
          headers.count(code.substr(open + 1, close - open - 1)))
        report(code.substr(i, close + 1 - i));
      i = eol == std::string::npos ? code.size() : eol;
      continue;
    }
    if (!IsWordChar(code[i])) {
      ++i;
      continue;
    }
    size_t end = i;
    while (end < code.size() && IsWordChar(code[end])) ++end;
    const std::string word = code.substr(i, end - i);
    // What stands before the word: "::" (and the qualifier before it), or the last other character.
    size_t before = i;
    while (before > 0 && (code[before - 1] == ' ' || code[before - 1] == '\n')) --before;
    std::string qualifier;
    bool qualified = before >= 2 && code[before - 1] == ':' && code[before - 2] == ':';
    if (qualified) {
      size_t q = before - 2;
      while (q > 0 && IsWordChar(code[q - 1])) --q;
      qualifier = code.substr(q, before - 2 - q);
    }
    if (qualifier == "std" && stdNames.count(word)) {
      report("std::" + word);
    } else if (functions.count(word)) {
      size_t after = end;
      while (after < code.size() && (code[after] == ' ' || code[after] == '\n')) ++after;
      const bool call = after < code.size() && code[after] == '(';
      const char previous = before > 0 ? code[before - 1] : ';';
      const bool expressionStart = std::string("=(,!?{;&|").find(previous) != std::string::npos ||
                                   (previous == ':' && !qualified) ||
                                   (before >= 6 && code.compare(before - 6, 6, "return") == 0);
      if (call && ((qualified && (qualifier.empty() || qualifier == "std")) || (!qualified && expressionStart)))
        report((qualified ? qualifier + "::" : std::string()) + word + "(");
    }
    i = end;
  }
  return found;
}

TEST(ModuleSources, ReachTheFileSystemOnlyThroughThePlatform) {
  // The scanner itself: what it must catch and what it must let pass.
  EXPECT_EQ(DirectFileCalls(CodeOnly("if (::access(p, F_OK) != 0)")).size(), 1u);
  EXPECT_EQ(DirectFileCalls(CodeOnly("FILE* f = std::fopen(p, \"r\");")).size(), 1u);
  EXPECT_EQ(DirectFileCalls(CodeOnly("x = fopen(p, \"r\");\n#include <fstream>")).size(), 2u);
  EXPECT_EQ(DirectFileCalls(CodeOnly("std::ifstream in(p);")).size(), 1u);
  EXPECT_TRUE(DirectFileCalls(CodeOnly("m_file.open(p); bool open(const char*); bool mapfile::open(const char* f)\n"
                                       "plat::FOpen(p, \"r\"); _access(p, 0); // fopen(p)\n\"stat(\""))
                  .empty());

  const char* root = std::getenv("BRIM_SOURCE_DIR");
  ASSERT_NE(root, nullptr);
  int scanned = 0;
  for (const char* folder : {"brimstead", "shared"}) {
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(fs::path(root) / folder)) {
      const fs::path& path = entry.path();
      const std::string ext = path.extension().string();
      if (!entry.is_regular_file() || (ext != ".cpp" && ext != ".h"))
        continue;
      // Tests make their fixtures with whatever they like; they are not the module.
      if (path.string().find("/tests/") != std::string::npos)
        continue;
      std::ifstream in(path, std::ios::binary);
      std::stringstream text;
      text << in.rdbuf();
      ++scanned;
      for (const std::string& place : DirectFileCalls(CodeOnly(text.str())))
        ADD_FAILURE() << path.lexically_relative(root).string() << ":" << place;
    }
  }
  EXPECT_GT(scanned, 50);
}

}  // namespace
