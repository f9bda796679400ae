#include "platform/base/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace plat {
namespace {

mode_t DefaultMode() {
  static const mode_t mode = [] {
    const mode_t mask = ::umask(022);
    ::umask(mask);
    return static_cast<mode_t>(0666 & ~mask);
  }();
  return mode;
}

}  // namespace

bool WriteFileAtomically(const std::string& path, std::string_view text, int& err) {
  std::string target = path;
  if (char* real = ::realpath(path.c_str(), nullptr)) {
    target = real;
    std::free(real);
  }
  const std::size_t slash = target.rfind('/');
  const std::string dir = slash == std::string::npos ? "." : target.substr(0, slash == 0 ? 1 : slash);
  const std::string leaf = slash == std::string::npos ? target : target.substr(slash + 1);
  std::string temp = dir + (dir == "/" ? "" : "/") + "." + leaf + ".XXXXXX";
  const int fd = ::mkstemp(temp.data());
  if (fd < 0) {
    err = errno;
    return false;
  }
  auto fail = [&](int e) {
    err = e;
    ::close(fd);
    ::unlink(temp.c_str());
    return false;
  };
  struct stat old {};
  const mode_t mode = ::stat(target.c_str(), &old) == 0 ? (old.st_mode & 07777) : DefaultMode();
  if (::fchmod(fd, mode) != 0) return fail(errno);
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return fail(errno);
    }
    done += static_cast<std::size_t>(n);
  }
  if (::close(fd) != 0) {
    err = errno;
    ::unlink(temp.c_str());
    return false;
  }
  if (::rename(temp.c_str(), target.c_str()) != 0) {
    err = errno;
    ::unlink(temp.c_str());
    return false;
  }
  return true;
}

}  // namespace plat
