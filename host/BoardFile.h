// Reads a board of the bundled host from a JSON board file; the schema is documented in host/README.md.
#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>

namespace host {

class HostBoard;
class HostLedger;

// A board file that cannot be read: the message names the file, the line and column, the place (a JSON pointer;
// none for a syntax error) and what was expected there: "demo8.json:189:163: /vias/2/partner: expected ...".
class BoardFileError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

// The largest board file read: a thousand times the 8-layer sample board and more.
inline constexpr std::uint64_t kMaxBoardFileBytes = 256u << 20;

// Throws BoardFileError, also for what is not a regular file (a device, FIFO or directory) and for a file above
// kMaxBoardFileBytes, of which nothing is read. `ledger` counts what the board hands out and must outlive it.
std::unique_ptr<HostBoard> LoadBoardFile(const std::string& path, HostLedger& ledger);
// The same for a text in memory; `sourceName` stands for the file in messages and is the board's file name.
std::unique_ptr<HostBoard> LoadBoardText(const std::string& text, const std::string& sourceName, HostLedger& ledger);

}  // namespace host
