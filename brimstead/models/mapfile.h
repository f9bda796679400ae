#pragma once
// Read (or read-write) view of one whole file, mapped into memory.
//
// The module reads SPICE netlists through this view so that a scan walks the bytes in place without copying.
// `open` throws `MapExcept` on every failure; the other operations never throw.

#include <cstddef>
#include <exception>
#include <string>

namespace vorntool {

class mapfile {
public:
    // Raised when a file cannot be opened or mapped. Copyable; thrown by value.
    class MapExcept : public std::exception {
    public:
        explicit MapExcept(std::string message) : m_message(std::move(message)) {}
        const char* what() const noexcept override { return m_message.c_str(); }

    private:
        std::string m_message;
    };

    mapfile() = default;
    ~mapfile();
    mapfile(const mapfile&) = delete;
    mapfile& operator=(const mapfile&) = delete;

    // Maps the whole existing file. `exclusive` opens it sharing nothing (shared reading otherwise), so the open
    // fails while another holds the file open in a conflicting way. Once the view exists the file and mapping
    // handles are closed: the view holds no lock, and another exclusive open of the same file (another scanner,
    // another process) succeeds while it stays mapped. Throws MapExcept with "Failed to open file '<name>'\n<reason>"; an empty file is an error, since there is
    // nothing to map. Any earlier view of this object is closed first.
    bool open(const char* fileName, bool writable, bool exclusive);
    // Unmaps the view. Always true.
    bool close();

    const char* data() const { return m_view; }
    char* data() { return m_view; } // writable only for a view opened writable
    std::size_t size() const { return m_size; }
    const std::string& fileName() const { return m_fileName; }
    bool isOpen() const { return m_view != nullptr; }

private:
    [[noreturn]] void fail(const std::string& reason);
    void closeHandles();

    char* m_view = nullptr;
    // The whole file size: a 64-bit process maps files beyond 4 GB whole rather than cutting them to the low
    // 32 bits of their size.
    std::size_t m_size = 0;
    std::string m_fileName;
    // The handles, open only while `open` runs.
    void* m_file = nullptr;
    void* m_mapping = nullptr;
};

} // namespace vorntool
