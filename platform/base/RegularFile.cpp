#include "platform/base/RegularFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace plat {

namespace {

struct Descriptor {
  int fd;
  ~Descriptor() {
    if (fd >= 0)
      ::close(fd);
  }
};

// Opens the file without waiting and looks at it: Read when it is a regular file, whose size `st` then holds.
FileReadResult OpenRegular(const std::string& path, Descriptor& file, struct stat& st) {
  // O_NONBLOCK: opening a FIFO without a writer would wait for one.
  file.fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (file.fd < 0)
    return {FileReadStatus::CannotOpen, errno};
  if (::fstat(file.fd, &st) != 0)
    return {FileReadStatus::ReadFailed, errno};
  if (!S_ISREG(st.st_mode))
    return {FileReadStatus::NotRegular, 0};
  return {FileReadStatus::Read, 0};
}

}  // namespace

FileReadResult CheckRegularFile(const std::string& path) {
  Descriptor file{-1};
  struct stat st {};
  return OpenRegular(path, file, st);
}

std::FILE* OpenRegularFileStream(const std::string& path) {
  Descriptor file{-1};
  struct stat st {};
  if (!OpenRegular(path, file, st))
    return nullptr;
  ::fcntl(file.fd, F_SETFL, ::fcntl(file.fd, F_GETFL) & ~O_NONBLOCK);
  std::FILE* stream = ::fdopen(file.fd, "r");
  if (stream)
    file.fd = -1;  // the stream owns it now
  return stream;
}

FileReadResult ReadRegularFile(const std::string& path, std::uint64_t maxBytes, std::string& text) {
  text.clear();
  Descriptor file{-1};
  struct stat st {};
  if (const FileReadResult opened = OpenRegular(path, file, st); !opened)
    return opened;
  if (static_cast<std::uint64_t>(st.st_size) > maxBytes)
    return {FileReadStatus::TooLarge, 0};
  const int flags = ::fcntl(file.fd, F_GETFL);
  if (flags >= 0)
    ::fcntl(file.fd, F_SETFL, flags & ~O_NONBLOCK);
  text.reserve(static_cast<size_t>(st.st_size));
  char buffer[65536];
  for (;;) {
    const ssize_t n = ::read(file.fd, buffer, sizeof buffer);
    if (n < 0) {
      if (errno == EINTR)
        continue;
      const int error = errno;
      text.clear();
      return {FileReadStatus::ReadFailed, error};
    }
    if (n == 0)
      break;
    // The file may grow while it is read: the limit holds for what is read, not only for what stat said.
    if (text.size() + static_cast<size_t>(n) > maxBytes) {
      text.clear();
      return {FileReadStatus::TooLarge, 0};
    }
    text.append(buffer, static_cast<size_t>(n));
  }
  return {FileReadStatus::Read, 0};
}

std::string DescribeFileRead(const FileReadResult& result, std::uint64_t maxBytes) {
  switch (result.status) {
    case FileReadStatus::Read: return "was read";
    case FileReadStatus::CannotOpen: return std::string("cannot be opened for reading (") + std::strerror(result.error) + ")";
    case FileReadStatus::NotRegular: return "is not a regular file";
    case FileReadStatus::TooLarge: return "is larger than " + std::to_string(maxBytes) + " bytes";
    case FileReadStatus::ReadFailed: return std::string("cannot be read (") + std::strerror(result.error) + ")";
  }
  return "cannot be read";
}

}  // namespace plat
