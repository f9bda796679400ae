#include "brimstead/models/mapfile.h"

#include "brimstead/models/ModelFile.h"
#include "platform/base/FileMapping.h"
#include "platform/base/RegularFile.h"
#include "platform/base/SystemError.h"

#include <algorithm>
#include <new>

namespace vorntool {
namespace {

// The system's text for the thread's last error, as every file reader gives it; a view's own two cases say more.
std::string LastErrorText()
{
    const DWORD code = GetLastError();
    if (code == ERROR_SHARING_VIOLATION)
        return "The file is in use by another view.";
    if (code == ERROR_FILE_INVALID)
        return "The file is empty.";
    return plat::SystemErrorText(code);
}

// A read view reads in pieces of this size (the test seam is asked before each).
constexpr std::size_t kReadPiece = std::size_t{4} << 20;

mapfile::ReadHook& TheReadHook()
{
    static mapfile::ReadHook hook;
    return hook;
}

} // namespace

mapfile::ReadHook mapfile::SetReadHook(ReadHook hook)
{
    ReadHook previous = std::move(TheReadHook());
    TheReadHook() = std::move(hook);
    return previous;
}

mapfile::~mapfile()
{
    close();
}

void mapfile::fail(const std::string& reason, bool emptyFile)
{
    close();
    throw MapExcept("Failed to open file '" + m_fileName + "'\n" + reason, emptyFile);
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
    if (size > modelfile::kMaxModelFileBytes)
        fail(plat::FileReadReason({plat::FileReadStatus::TooLarge, 0}, modelfile::kMaxModelFileBytes));
    if (!writable) {
        readCopy(size);
        closeHandles();
        return true;
    }
    // An empty file fails here (there is nothing to map).
    m_mapping = CreateFileMapping(m_file, nullptr, PAGE_READWRITE, 0, 0, nullptr);
    if (!m_mapping)
        fail(LastErrorText(), size == 0);
    void* view = MapViewOfFile(m_mapping, FILE_MAP_WRITE, 0, 0, 0);
    if (!view)
        fail(LastErrorText());

    m_view = static_cast<char*>(view);
    m_size = size;
    // The view keeps the file's bytes; the handles (and the open's lock) go at once.
    closeHandles();
    return true;
}

void mapfile::readCopy(std::size_t size)
{
    if (size == 0) {
        SetLastError(ERROR_FILE_INVALID);
        fail(LastErrorText(), true);
    }
    std::unique_ptr<char[]> copy(new (std::nothrow) char[size]);
    if (!copy)
        fail("There is not enough memory to read the file.");
    // Exactly the size the open found, and the name still that file, as it was, at the end: a file shortened,
    // grown or written over meanwhile (at the same length too) is another file than the one measured, and a part
    // of it, or a mixture, would be taken for the whole.
    const std::string changed = plat::SystemErrorText(ERROR_FILE_CHANGED);
    for (std::size_t done = 0; done < size;) {
        if (const ReadHook& hook = TheReadHook())
            hook(m_fileName, done);
        DWORD got = 0;
        if (!ReadFile(m_file, copy.get() + done, static_cast<DWORD>(std::min(size - done, kReadPiece)), &got, nullptr))
            fail(LastErrorText());
        if (got == 0)
            fail(changed);
        done += got;
    }
    if (const ReadHook& hook = TheReadHook())
        hook(m_fileName, size);
    DWORD high = 0;
    const DWORD low = GetFileSize(m_file, &high);
    if (((static_cast<std::size_t>(high) << 32) | low) != size || !plat::FileAsOpened(m_file))
        fail(changed);
    m_copy = std::move(copy);
    m_view = m_copy.get();
    m_size = size;
}
bool mapfile::close()
{
    if (m_copy) {
        m_copy.reset();
    } else if (m_view) {
        UnmapViewOfFile(m_view);
    }
    m_view = nullptr;
    m_size = 0;
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
