#pragma once
// Read (or read-write) view of one whole file in memory.
//
// The module reads SPICE netlists through this view so that a scan walks the bytes in place. A read view holds a
// copy of the file, read through a descriptor: another program that shortens or rewrites the file while it is
// read or scanned (a library regenerated or synced) makes the open fail with a message, never the scan crash on
// pages that are gone. A writable view maps the file shared, so that its writes reach the file.
// `open` throws `MapExcept` on every failure; the other operations never throw.

#include <cstddef>
#include <exception>
#include <functional>
#include <memory>
#include <string>

namespace vorntool {

class mapfile {
public:
    // Raised when a file cannot be opened or mapped. Copyable; thrown by value.
    class MapExcept : public std::exception {
    public:
        explicit MapExcept(std::string message, bool emptyFile = false)
            : m_message(std::move(message)), m_emptyFile(emptyFile) {}
        const char* what() const noexcept override { return m_message.c_str(); }
        // Whether the file was refused for being empty (a netlist without subcircuits, to a reader of them).
        bool emptyFile() const { return m_emptyFile; }

    private:
        std::string m_message;
        bool m_emptyFile;
    };

    mapfile() = default;
    ~mapfile();
    mapfile(const mapfile&) = delete;
    mapfile& operator=(const mapfile&) = delete;

    // Opens a view of the whole existing regular file. `exclusive` opens it sharing nothing (shared reading
    // otherwise), so the open fails while another holds the file open in a conflicting way. Once the view exists
    // the file's handles are closed: the view holds no lock, and another exclusive open of the same file (another
    // scanner, another process) succeeds while it stays open. Throws MapExcept with
    // "Failed to open file '<name>'\n<reason>": an empty file is an error, since there is nothing to view, and so
    // are a folder, a FIFO or a device (refused at once), a file larger than modelfile::kMaxModelFileBytes and a
    // file whose size changed while it was read. Any earlier view of this object is closed first.
    bool open(const char* fileName, bool writable, bool exclusive);
    // Test seam: called before each piece of a read view's reading, with the file's name and the bytes read so
    // far, so that a test can change the file under the reader. Returns the previous hook; empty removes it.
    using ReadHook = std::function<void(const std::string& fileName, std::size_t offset)>;
    static ReadHook SetReadHook(ReadHook hook);
    // Frees or unmaps the view. Always true.
    bool close();

    const char* data() const { return m_view; }
    char* data() { return m_view; } // writable only for a view opened writable
    std::size_t size() const { return m_size; }
    const std::string& fileName() const { return m_fileName; }
    bool isOpen() const { return m_view != nullptr; }

private:
    [[noreturn]] void fail(const std::string& reason, bool emptyFile = false);
    void closeHandles();
    void readCopy(std::size_t size);

    char* m_view = nullptr;
    std::unique_ptr<char[]> m_copy; // a read view's bytes (m_view points into them); empty for a mapped view
    // The whole file size: a 64-bit process maps files beyond 4 GB whole rather than cutting them to the low
    // 32 bits of their size.
    std::size_t m_size = 0;
    std::string m_fileName;
    // The handles, open only while `open` runs.
    void* m_file = nullptr;
    void* m_mapping = nullptr;
};

} // namespace vorntool
