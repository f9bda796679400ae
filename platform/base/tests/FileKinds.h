// Files a reader must refuse with a reason, made in a folder as a user's folder may hold them: a FIFO, a socket, a
// device (a link to /dev/null), a file the system makes as it is read (a link to /proc/self/status, whose size says
// 0), a file this process may not open and one whose reading fails. The last two fail through the file layer's
// fault seam (root opens any file), installed for the object's lifetime.
#pragma once

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/base/FileFaults.h"

class FileKinds {
 public:
  struct Kind {
    std::string name, reason;  // "fifo<extension>", the reason every reader gives
  };

  // `text` is what the two regular files hold, so that a reader gets as far as their bytes.
  FileKinds(const std::filesystem::path& dir, const std::string& extension, const std::string& text)
      : faults_([dir, extension](plat::FileStep step, const std::string& path) {
          const auto is = [&](const char* name) {
            return std::filesystem::path(path).lexically_normal() == (dir / (name + extension)).lexically_normal();
          };
          return step == plat::FileStep::Open && is("unreadable") ? EACCES
                 : step == plat::FileStep::Read && is("failing")  ? EIO
                                                                  : 0;
        }) {
    ::mkfifo((dir / ("fifo" + extension)).c_str(), 0600);
    // Bound through the folder's descriptor: a socket's path holds about a hundred bytes, less than a test's folder
    // may need. The file stays a socket once the socket is closed.
    const int folder = ::open(dir.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC), sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "/proc/self/fd/%d/socket%s", folder, extension.c_str());
    ::bind(sock, reinterpret_cast<const sockaddr*>(&address), sizeof address);
    ::close(sock);
    ::close(folder);
    std::filesystem::create_symlink("/dev/null", dir / ("device" + extension));
    std::filesystem::create_symlink("/proc/self/status", dir / ("proc" + extension));
    for (const char* name : {"unreadable", "failing"}) std::ofstream(dir / (name + extension), std::ios::binary) << text;
    const std::string notRegular = "The file is not a regular file (a FIFO, a device or a socket).";
    for (const char* name : {"fifo", "socket", "device"}) kinds_.push_back({name + extension, notRegular});
    kinds_.push_back({"proc" + extension, "The file is not a regular file whose size can be known before it is read."});
    kinds_.push_back({"unreadable" + extension, "Permission denied."});
    kinds_.push_back({"failing" + extension, "Input/output error."});
  }

  const std::vector<Kind>& kinds() const { return kinds_; }

 private:
  plat::FileFaultScope faults_;
  std::vector<Kind> kinds_;
};
