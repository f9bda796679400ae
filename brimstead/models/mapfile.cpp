#include "brimstead/models/mapfile.h"

#include "platform/base/FileMapping.h"
#include "platform/base/GlobalMemory.h"
#include "platform/base/SystemError.h"

namespace vorntool {
namespace {

// The system's text for the thread's last error, without its closing line break.
std::string LastErrorText()
{
    const DWORD code = GetLastError();
    if (code == ERROR_SHARING_VIOLATION)
        return "The file is in use by another view.";
    if (code == ERROR_FILE_INVALID)
        return "The file is empty.";
    char* text = nullptr;
    const DWORD length =
        FormatMessage(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_FROM_SYSTEM,
                      nullptr, code, 0, reinterpret_cast<LPSTR>(&text), 0, nullptr);
    std::string result = length && text ? std::string(text, length) : "error number " + std::to_string(code);
    if (text)
        LocalFree(text);
    while (!result.empty() && (result.back() == '\n' || result.back() == '\r'))
        result.pop_back();
    return result;
}

} // namespace

mapfile::~mapfile()
{
    close();
}

void mapfile::fail(const std::string& reason)
{
    close();
    throw MapExcept("Failed to open file '" + m_fileName + "'\n" + reason);
}

bool mapfile::open(const char* fileName, bool writable, bool exclusive)
{
    close();
    m_fileName = fileName ? fileName : "";

    // The platform's file calls take the module's path dialect ('\\' separates too). A view that is not
    // exclusive shares reading; a holder of the other kind makes the open fail at once instead of waiting.
    m_file = CreateFile(m_fileName.c_str(), GENERIC_READ | (writable ? GENERIC_WRITE : 0u),
                        exclusive ? 0u : FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (m_file == INVALID_HANDLE_VALUE) {
        m_file = nullptr;
        fail(LastErrorText());
    }
    DWORD high = 0;
    const DWORD low = GetFileSize(m_file, &high);
    if (low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR)
        fail(LastErrorText());
    const std::size_t size = (static_cast<std::size_t>(high) << 32) | low;
    // An empty file fails here (there is nothing to map).
    m_mapping = CreateFileMapping(m_file, nullptr, writable ? PAGE_READWRITE : PAGE_READONLY, 0, 0, nullptr);
    if (!m_mapping)
        fail(LastErrorText());
    void* view = MapViewOfFile(m_mapping, writable ? FILE_MAP_WRITE : FILE_MAP_READ, 0, 0, 0);
    if (!view)
        fail(LastErrorText());

    m_view = static_cast<char*>(view);
    m_size = size;
    // The view keeps the file's bytes; the handles (and the open's lock) go at once.
    closeHandles();
    return true;
}

bool mapfile::close()
{
    if (m_view) {
        UnmapViewOfFile(m_view);
        m_view = nullptr;
        m_size = 0;
    }
    closeHandles();
    return true;
}

void mapfile::closeHandles()
{
    if (m_mapping) {
        CloseHandle(m_mapping);
        m_mapping = nullptr;
    }
    if (m_file) {
        CloseHandle(m_file); // also drops the lock
        m_file = nullptr;
    }
}

} // namespace vorntool
