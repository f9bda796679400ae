#include "brimstead/models/mapfile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vorntool {

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

    m_fd = ::open(m_fileName.c_str(), (writable ? O_RDWR : O_RDONLY) | O_CLOEXEC);
    if (m_fd < 0)
        fail(std::strerror(errno));

    // Non-blocking: a file that another view holds exclusively fails at once instead of waiting.
    if (::flock(m_fd, (exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB) != 0) {
        const int err = errno;
        fail(err == EWOULDBLOCK ? "The file is in use by another view." : std::strerror(err));
    }

    struct stat st {};
    if (::fstat(m_fd, &st) != 0)
        fail(std::strerror(errno));
    if (!S_ISREG(st.st_mode))
        fail("Not a regular file.");
    if (st.st_size == 0)
        fail("The file is empty.");

    void* view = ::mmap(nullptr, static_cast<std::size_t>(st.st_size), writable ? PROT_READ | PROT_WRITE : PROT_READ,
                        writable ? MAP_SHARED : MAP_PRIVATE, m_fd, 0);
    if (view == MAP_FAILED)
        fail(std::strerror(errno));

    m_view = static_cast<char*>(view);
    m_size = static_cast<std::size_t>(st.st_size);
    return true;
}

bool mapfile::close()
{
    if (m_view) {
        ::munmap(m_view, m_size);
        m_view = nullptr;
        m_size = 0;
    }
    if (m_fd >= 0) {
        ::close(m_fd); // also drops the lock
        m_fd = -1;
    }
    return true;
}

} // namespace vorntool
