// The bundled host's change log: one line per call through which the module changes the board (the model
// library's Add and Remove; the decoupling interface's group creation and deletion, renames, member moves and
// model assignments, HostDecoupling.h), in the style of the callback log, for pdnhost to print and tests to read.
#pragma once

#include <string>
#include <vector>

namespace host {

class HostChangeLog {
public:
  void Add(std::string line) { m_lines.push_back(std::move(line)); }
  const std::vector<std::string>& Lines() const { return m_lines; }

private:
  std::vector<std::string> m_lines;
};

}  // namespace host
